// The portable half of files: closing, positioned and exact reads, open errors, folder making,
// whole-buffer saving and copying between files, written once over the calls of files_os.h.
#include "files.h"

#include "exceptions.h"
#include "files_os.h"
#include "paths.h"
#include "replacing_file.h"
#include "system_error.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <utility>

namespace vex {

TFile::~TFile() {
  Close();
}

TFile& TFile::operator=(TFile&& other) noexcept {
  if (this != &other) {
    Close();
    handle_ = std::exchange(other.handle_, InvalidHandle);
  }
  return *this;
}

bool TFile::Close() {
  // The handle is gone whatever the system reports, so it is never closed twice; a failure is
  // data that did not reach the disk (network file systems, shares and quotas may report it
  // only here).
  return !IsOpen() || os::CloseFileHandle(std::exchange(handle_, InvalidHandle));
}

TFile TFile::OpenOrRaise(const std::string& path, TOpenMode mode) {
  TFile file = Open(path, mode);
  if (!file.IsOpen())
    RaiseOpenError(path, mode);
  return file;
}

void TFile::RaiseOpenError(const std::string& path, TOpenMode mode) {
  const std::uint32_t code = LastSystemError();
  const std::string text = "\"" + FullPathName(path) + "\". " + SystemErrorText(code);
  if (mode == TOpenMode::CreateNew)
    throw EFCreateError("Cannot create file " + text);
  throw EFOpenError("Cannot open file " + text);
}

std::uint64_t TFile::Size() const {
  const std::optional<std::uint64_t> size = os::FileSize(handle_);
  if (!size)
    RaiseLastSystemError();
  return *size;
}

std::size_t TFile::ReadAt(std::uint64_t offset, void* data, std::size_t count) const {
  auto* out = static_cast<unsigned char*>(data);
  std::size_t done = 0;
  // A position past what the system's signed offsets hold lies past the end of every file.
  while (done < count && offset + done <= static_cast<std::uint64_t>(INT64_MAX)) {
    const std::size_t got = os::ReadSomeAt(handle_, offset + done, out + done, count - done);
    if (got == 0)
      break; // the end of the file, or a failure
    done += got;
  }
  return done;
}

void TFile::ReadExactAt(std::uint64_t offset, void* data, std::size_t count) const {
  if (ReadAt(offset, data, count) != count)
    throw EReadError();
}

bool ForceFolder(const std::string& path) {
  if (path.empty() || os::IsFolder(path))
    return true;
  // At a root the parent comes out as the path itself: the climb stops there.
  const std::string parent = ParentFolder(FullPathName(path), SystemPathSyntax());
  return parent == path || (ForceFolder(parent) && os::CreateOneFolder(path));
}

void SaveBufferToFile(const std::string& path, const TByteDynArray& buffer, TDurability durability,
                      const std::string& what) {
  TReplacingFile file(path, durability);
  if (!file.IsOpen())
    RaiseLastSystemError();
  if (!buffer.empty() && file.File().Write(buffer.data(), buffer.size()) != buffer.size())
    RaiseLastSystemError();
  file.Commit(what);
}

void CopyBetweenFiles(const TFile& source, std::uint64_t offset, TFile& target,
                      std::uint64_t count) {
  if (count >= InKernelCopyFrom) {
    const std::uint64_t copied = os::CopyInKernel(source.handle_, offset, target.handle_, count);
    offset += copied;
    count -= copied;
  }
  if (count == 0)
    return;
  // No larger than the copy needs: most members are far smaller than the buffer.
  const auto bufferSize = static_cast<std::size_t>(std::min<std::uint64_t>(count, CopyBufferSize));
  std::uint64_t done = 0;
  const std::unique_ptr<std::uint8_t[]> buffer(new std::uint8_t[bufferSize]);
  while (done < count) {
    const auto chunk = static_cast<std::size_t>(std::min<std::uint64_t>(count - done, bufferSize));
    source.ReadExactAt(offset + done, buffer.get(), chunk);
    if (target.Write(buffer.get(), chunk) != chunk)
      RaiseLastSystemError();
    done += chunk;
  }
}

} // namespace vex
