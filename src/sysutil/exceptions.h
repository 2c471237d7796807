// The tool's failures: every one is an exception of this small hierarchy, raised where the
// fault is found and caught once, in the entry, which shows its message to the user. On its
// way up, the loop that knows which member or file the failure concerns adds that subject.
#pragma once

#include <exception>
#include <new>
#include <string>
#include <utility>

namespace vex {

class Exception : public std::exception {
public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  const char* what() const noexcept override { return message_.c_str(); }
  const std::string& Message() const noexcept { return message_; }

  // The member name or file path the failure concerns; empty when it concerns the run as a
  // whole (a missing archive names itself in its message).
  const std::string& Subject() const noexcept { return subject_; }
  void SetSubject(std::string subject) { subject_ = std::move(subject); }

private:
  std::string message_;
  std::string subject_;
};

#define VEX_DECLARE_EXCEPTION(Name, Base)                                                          \
  class Name : public Base {                                                                       \
  public:                                                                                          \
    using Base::Base;                                                                              \
  };

VEX_DECLARE_EXCEPTION(EStreamError, Exception)
VEX_DECLARE_EXCEPTION(EFOpenError, EStreamError)
VEX_DECLARE_EXCEPTION(EFCreateError, EStreamError)
VEX_DECLARE_EXCEPTION(EInvalidGraphic, Exception)
VEX_DECLARE_EXCEPTION(EInvalidGraphicOperation, Exception)
VEX_DECLARE_EXCEPTION(EAssertionFailed, Exception)
#undef VEX_DECLARE_EXCEPTION

// A failure the system reported: its text in the message, and beside it the system's own code
// (errno; GetLastError's, as the message prints it), 0 where no call set one.
class EOSError : public Exception {
public:
  explicit EOSError(std::string message, int code = 0)
      : Exception(std::move(message)), code_(code) {}
  int Code() const noexcept { return code_; }

private:
  int code_;
};

// These carry fixed texts, so they are built without arguments.
#define VEX_DECLARE_FIXED_TEXT_EXCEPTION(Name, Base, text)                                         \
  class Name : public Base {                                                                       \
  public:                                                                                          \
    Name() : Base(text) {}                                                                         \
  };

VEX_DECLARE_FIXED_TEXT_EXCEPTION(EReadError, EStreamError, "Stream read error")
VEX_DECLARE_FIXED_TEXT_EXCEPTION(EWriteError, EStreamError, "Stream write error")
VEX_DECLARE_FIXED_TEXT_EXCEPTION(ERangeError, Exception, "Range check error")
VEX_DECLARE_FIXED_TEXT_EXCEPTION(EOutOfMemory, Exception, "Out of memory")
VEX_DECLARE_FIXED_TEXT_EXCEPTION(EOutOfResources, Exception, "Out of system resources")
#undef VEX_DECLARE_FIXED_TEXT_EXCEPTION

// Runs `action` on behalf of `subject`, the member or file it works on: a failure leaves it
// carrying that subject, and memory running out becomes EOutOfMemory, so that the user learns
// which member or file it was. A subject set closer to the fault is kept: writing a member
// into an archive may fail on the archive's own file, and that file is then the one to name.
template <typename Action> decltype(auto) Concerning(const std::string& subject, Action&& action) {
  try {
    return action();
  } catch (Exception& e) {
    if (e.Subject().empty())
      e.SetSubject(subject);
    throw;
  } catch (const std::bad_alloc&) {
    EOutOfMemory failure;
    failure.SetSubject(subject);
    throw failure;
  }
}

// Raises EAssertionFailed "Assertion failure (FILE, line N)" with the base name of `file`.
[[noreturn]] void RaiseAssertion(const char* file, int line);
#define VEX_ASSERT(condition)                                                                      \
  do {                                                                                             \
    if (!(condition))                                                                              \
      ::vex::RaiseAssertion(__FILE__, __LINE__);                                                   \
  } while (false)

} // namespace vex
