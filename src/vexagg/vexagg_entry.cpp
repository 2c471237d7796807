// The entry of vexagg: which subcommand, with which arguments, and what the user is told.
#include "vexagg_entry.h"

#include "archive_listing.h"
#include "archive_update.h"
#include "console.h"
#include "exceptions.h"
#include "files.h"
#include "paths.h"
#include "raw_image.h"
#include "system_error.h"
#include "template_maker.h"
#include "unpack_archive.h"

#include <map>
#include <new>
#include <set>

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
    "  vexagg extract ARCHIVE [-C FOLDER] [-O] [--raw] [NAME|PATTERN ...]\n"
    "      Writes members as Marlovexine unpacks them, pictures as bitmap files coloured\n"
    "      by TivPalette.bmp, and prints the name of each file written. Without names,\n"
    "      every member; else the members whose names match a NAME or PATTERN (* and ?,\n"
    "      any case of a-z). Names that match nothing are told at the end (exit code 1).\n"
    "      -C FOLDER      writes into FOLDER, made if missing (default: the current folder)\n"
    "      -O             writes the one member chosen to standard output instead\n"
    "      --raw          writes members as stored, pictures under their own names\n"
    "  vexagg template [--bits 6|8] PALETTE OUT.bmp\n"
    "  vexagg template [--bits 6|8] ARCHIVE MEMBER OUT.bmp\n"
    "      Writes OUT.bmp, a palette template for Marlovexine and vexagg, from a palette\n"
    "      file or an archive's palette member (kb.pal, any case of a-z): raw (768 bytes,\n"
    "      or 772 with a colour count), JASC-PAL, GIMP (.gpl), RIFF PAL, or the colour\n"
    "      table of a bitmap. Prints the format, the number of colours and the bits.\n"
    "      --bits 6|8     the values are 6-bit (0-63, scaled) or 8-bit; without it, a raw\n"
    "                     palette whose values are all 63 or less is 6-bit\n"
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

// The arguments of a subcommand: its options, wherever they stand, each with its value (empty
// for those that take none; of an option given twice, the last), and its other arguments in
// order. An option's value is never taken for an option: "-C -O" writes into the folder "-O".
struct TArguments {
  std::map<std::string, std::string> options;
  std::vector<std::string> operands;

  bool Has(const std::string& option) const { return options.count(option) != 0; }
  std::string Value(const std::string& option) const {
    const auto found = options.find(option);
    return found == options.end() ? std::string() : found->second;
  }
};

// Splits `args` after the subcommand: those in `valued` take the next argument. False, with
// `reason` set, for an option not in `known` or `valued`, or one without its value.
bool SplitArguments(const std::vector<std::string>& args, const std::set<std::string>& known,
                    const std::set<std::string>& valued, TArguments& split, std::string& reason) {
  bool options = true;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (options && arg == "--") {
      options = false;
    } else if (options && valued.count(arg) != 0) {
      if (++i == args.size()) {
        reason = "option \"" + arg + "\" needs a value";
        return false;
      }
      split.options[arg] = args[i];
    } else if (options && known.count(arg) != 0) {
      split.options[arg];
    } else if (options && arg.size() > 1 && arg[0] == '-') {
      reason = "unknown option \"" + arg + "\"";
      return false;
    } else {
      split.operands.push_back(arg);
    }
  }
  return true;
}

// Reads update's options and its three paths into `request`; false, with `reason` set, for an
// unknown option or another number of paths.
bool ReadUpdateArguments(const std::vector<std::string>& args, TUpdateRequest& request,
                         std::string& reason) {
  TArguments split;
  if (!SplitArguments(args, {"--add", "--resize", "--dry-run", "-n"}, {}, split, reason))
    return false;
  request.add = split.Has("--add");
  request.resize = split.Has("--resize");
  request.dryRun = split.Has("--dry-run") || split.Has("-n");
  const std::vector<std::string>& paths = split.operands;
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

int Extract(const std::vector<std::string>& args, const std::string& appFolder) {
  TArguments split;
  std::string reason;
  if (!SplitArguments(args, {"-O", "--raw"}, {"-C"}, split, reason))
    return UsageError(reason);
  if (split.operands.empty())
    return UsageError("extract takes an archive: ARCHIVE [NAME|PATTERN ...]");
  const TPathSyntax& syntax = SystemPathSyntax();
  const std::string folder = split.Value("-C");
  // Files are listed as the user named their folder: bare names in the current one.
  const std::string shown =
      folder.empty() ? std::string() : IncludeTrailingDelimiter(folder, syntax);
  TUnpackChoice choice;
  choice.patterns.assign(split.operands.begin() + 1, split.operands.end());
  choice.raw = split.Has("--raw");
  choice.explainDirectory = true; // a file that is no archive is told as list tells it
  choice.written = [&](const std::string& fileName) {
    WriteStandardOutput(shown + fileName + "\n");
  };
  std::vector<std::string> unmatched;
  const int code = Reporting([&] {
    TFile standardOutput;
    if (split.Has("-O")) {
      standardOutput = TFile::StandardOutput();
      if (!standardOutput.IsOpen())
        RaiseLastSystemError();
      choice.sink = &standardOutput;
    }
    unmatched = UnpackArchive(split.operands[0],
                              IncludeTrailingDelimiter(folder.empty() ? "." : folder, syntax),
                              appFolder, choice);
    if (choice.sink != nullptr && !standardOutput.Close())
      RaiseLastSystemError();
    return std::string();
  });
  for (const std::string& pattern : unmatched)
    WriteStandardError("not in the archive: " + pattern + "\n");
  return code == VexaggSuccess && !unmatched.empty() ? VexaggFailure : code;
}

int MakeTemplateFrom(const std::vector<std::string>& args) {
  TArguments split;
  std::string reason;
  if (!SplitArguments(args, {}, {"--bits"}, split, reason))
    return UsageError(reason);
  TTemplateRequest request;
  const std::string bits = split.Value("--bits");
  if (bits == "6")
    request.bits = TPaletteBits::Six;
  else if (bits == "8")
    request.bits = TPaletteBits::Eight;
  else if (split.Has("--bits"))
    return UsageError("--bits takes 6 or 8, not \"" + bits + "\"");
  const std::vector<std::string>& paths = split.operands;
  if (paths.size() == 2)
    request.source = paths[0], request.outPath = paths[1];
  else if (paths.size() == 3)
    request.source = paths[0], request.member = paths[1], request.outPath = paths[2];
  else
    return UsageError("template takes PALETTE OUT.bmp, or ARCHIVE MEMBER OUT.bmp");
  return Reporting([&] { return MakeTemplate(request); });
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
  if (command == "extract")
    return Extract(args, appFolder);
  if (command == "template")
    return MakeTemplateFrom(args);
  return UsageError("unknown command \"" + command + "\"");
}

} // namespace vex
