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

const char* const VexaggVersion = MARLOVEXINE_VERSION;

const std::string VexaggUsageText =
    std::string("vexagg ") + VexaggVersion +
    ": looks inside .agg archives and puts edited members back.\n"
    "\n"
    "Usage:\n"
    "  vexagg list ARCHIVE\n"
    "      Prints the directory, one tab-separated row per member: index, key, name,\n"
    "      offset, size, kind (raw, or picture WxH) and the file the unpack writes.\n"
    "  vexagg update [--add] [--resize] [-n | --dry-run] BASE.agg FOLDER OUT.agg\n"
    "      Writes OUT.agg with the directory of BASE.agg. Each member comes from its file\n"
    "      in FOLDER (the name Marlovexine unpacks it to, any case of a-z) when that is\n"
    "      there, else from BASE.agg. Prints a line per member whose bytes change: its\n"
    "      name, replaced or added, and for pictures the pixels whose index changed and\n"
    "      how many of those had no exact colour in the palette template TivPalette.bmp.\n"
    "      Entries of FOLDER that match no member are left out, one line each on\n"
    "      standard error, which ends with a summary line.\n"
    "      --add          files of known names that BASE.agg lacks become new members\n"
    "      --resize       pictures may come back at another size\n"
    "      -n, --dry-run  does all the work and prints all the lines, but writes nothing\n"
    "  vexagg --help, vexagg -h\n"
    "      Prints this text.\n"
    "  vexagg --version\n"
    "      Prints the version.\n"
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

// Reads update's options, wherever they stand, and its three paths into `request`; false,
// with `reason` set, for an unknown option or another number of paths.
bool ReadUpdateArguments(const std::vector<std::string>& args, TUpdateRequest& request,
                         std::string& reason) {
  std::vector<std::string> paths;
  bool options = true;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (options && arg == "--") {
      options = false;
    } else if (options && arg == "--add") {
      request.add = true;
    } else if (options && arg == "--resize") {
      request.resize = true;
    } else if (options && (arg == "--dry-run" || arg == "-n")) {
      request.dryRun = true;
    } else if (options && arg.size() > 1 && arg[0] == '-') {
      reason = "unknown option \"" + arg + "\"";
      return false;
    } else {
      paths.push_back(arg);
    }
  }
  if (paths.size() != 3) {
    reason = "update takes three paths: BASE.agg FOLDER OUT.agg";
    return false;
  }
  request.basePath = paths[0], request.folder = paths[1], request.outPath = paths[2];
  return true;
}

int Update(const std::vector<std::string>& args, const std::string& appFolder) {
  TUpdateRequest request;
  std::string reason;
  if (!ReadUpdateArguments(args, request, reason))
    return UsageError(reason);
  request.templatePath = PaletteTemplatePath(appFolder);
  // Links and other spellings of one file are caught by the file's identity.
  if (SameExistingFile(request.basePath, request.outPath))
    return UsageError("OUT.agg \"" + request.outPath + "\" is BASE.agg \"" + request.basePath +
                      "\" itself; write the new archive to another file");
  TUpdateReport report;
  const int code = Reporting([&] {
    report = UpdateArchive(request);
    return report.changes;
  });
  WriteStandardError(report.notes);
  return code;
}

} // namespace

int RunVexagg(const std::vector<std::string>& args, const std::string& appFolder) {
  if (args.empty()) {
    WriteStandardError(VexaggUsageText);
    return VexaggUsageError;
  }
  const std::string& command = args[0];
  if (command == "--help" || command == "-h") {
    WriteStandardOutput(VexaggUsageText);
    return VexaggSuccess;
  }
  if (command == "--version") {
    WriteStandardOutput(std::string("vexagg ") + VexaggVersion + "\n");
    return VexaggSuccess;
  }
  if (command == "list") {
    if (args.size() != 2)
      return UsageError("list takes one argument: ARCHIVE");
    return Reporting([&] { return ListArchive(args[1]); });
  }
  if (command == "update")
    return Update(args, appFolder);
  return UsageError("unknown command \"" + command + "\"");
}

} // namespace vex
