// The entry of vexagg: which subcommand, with which arguments, and what the user is told.
#include "vexagg_entry.h"

#include "archive_listing.h"
#include "archive_update.h"
#include "console.h"
#include "exceptions.h"
#include "files.h"
#include "raw_image.h"

#include <new>

namespace vex {

const char* const VexaggUsageText =
    "vexagg v1.1: looks inside .agg archives and puts edited members back.\n"
    "\n"
    "Usage:\n"
    "  vexagg list ARCHIVE\n"
    "      Prints the directory, one tab-separated row per member: index, key, name,\n"
    "      offset, size and kind (raw, or picture WxH).\n"
    "  vexagg update BASE.agg FOLDER OUT.agg\n"
    "      Writes OUT.agg with the directory of BASE.agg. Each member comes from the file\n"
    "      that Marlovexine unpacks it to in FOLDER when that file is there, else from\n"
    "      BASE.agg. Prints a line per picture taken from FOLDER: its name, a tab, and how\n"
    "      many of its pixels had no exact colour in the palette template TivPalette.bmp.\n"
    "  vexagg --help\n"
    "      Prints this text.\n"
    "\n"
    "Exit code: 0 on success, 1 on a failure, 2 for wrong arguments.\n";

namespace {

void ReportFailure(const Exception& failure) {
  const std::string& subject = failure.Subject();
  WriteStandardError(ConsoleText(failure.Message()) + "." +
                     (subject.empty() ? "" : "\n" + subject) + "\n");
}

int UsageError(const std::string& reason) {
  WriteStandardError("vexagg: " + reason + "\n" + VexaggUsageText);
  return VexaggUsageError;
}

// Runs `action`, which returns what goes to standard output; a failure goes to standard error
// as the unpacker shows it on POSIX: the message and ".", then the subject on a line of its own.
template <typename Action> int Reporting(Action action) {
  try {
    WriteStandardOutput(action());
    return VexaggSuccess;
  } catch (const Exception& e) {
    ReportFailure(e);
  } catch (const std::bad_alloc&) {
    ReportFailure(EOutOfMemory());
  }
  return VexaggFailure;
}

} // namespace

int RunVexagg(const std::vector<std::string>& args, const std::string& appFolder) {
  if (args.empty()) {
    WriteStandardError(VexaggUsageText);
    return VexaggUsageError;
  }
  const std::string& command = args[0];
  if (command == "--help") {
    WriteStandardOutput(VexaggUsageText);
    return VexaggSuccess;
  }
  if (command == "list") {
    if (args.size() != 2)
      return UsageError("list takes one argument: ARCHIVE");
    return Reporting([&] { return ListArchive(args[1]); });
  }
  if (command == "update") {
    if (args.size() != 4)
      return UsageError("update takes three arguments: BASE.agg FOLDER OUT.agg");
    const TUpdateRequest request{args[1], args[2], args[3], PaletteTemplatePath(appFolder)};
    // Links and other spellings of one file are caught by the file's identity.
    if (SameExistingFile(request.basePath, request.outPath))
      return UsageError("OUT.agg \"" + request.outPath + "\" is BASE.agg \"" + request.basePath +
                        "\" itself; write the new archive to another file");
    return Reporting([&] { return UpdateArchive(request); });
  }
  return UsageError("unknown command \"" + command + "\"");
}

} // namespace vex
