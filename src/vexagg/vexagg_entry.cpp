// The entry of vexagg: which subcommand, with which arguments, and what the user is told.
#include "vexagg_entry.h"

#include "archive_listing.h"
#include "archive_update.h"
#include "console.h"
#include "exceptions.h"
#include "files.h"
#include "gallery.h"
#include "open_in_browser.h"
#include "paths.h"
#include "raw_image.h"
#include "system_error.h"
#include "template_maker.h"
#include "unpack_archive.h"

#include <map>
#include <new>
#include <optional>
#include <set>

namespace vex {

const char* const VexaggVersion = MARLOVEXINE_VERSION;

namespace {

// The usage text around the commands' parts. "vexagg COMMAND --help" prints one part alone.
const char* const UsageHead = ": looks inside .agg archives and puts edited members back.\n"
                              "\n"
                              "Usage:\n";
const char* const UsageTail = "  vexagg --help, vexagg -h, vexagg COMMAND --help\n"
                              "      Prints this text, or the part of it for COMMAND.\n"
                              "  vexagg --version\n"
                              "      Prints the version and the licence.\n"
                              "\n"
                              "Exit code: 0 on success, 1 on a failure, 2 for wrong arguments.\n";

// Wrong arguments: shown as "vexagg: " and the reason, with a pointer to the usage (exit 2).
class EArgumentError : public Exception {
public:
  using Exception::Exception;
};

void ReportFailure(const Exception& failure) {
  const std::string& subject = failure.Subject();
  WriteStandardError(ConsoleText(failure.Message()) + "." +
                     (subject.empty() ? "" : "\n" + subject) + "\n");
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

// The arguments of a subcommand: its options, wherever they stand, each with its values in
// order (none for those that take none), and its other arguments in order. An option's value is
// never taken for an option: "-C -O" writes into the folder "-O".
struct TArguments {
  std::map<std::string, std::vector<std::string>> options;
  std::vector<std::string> operands;
  bool help = false; // --help or -h among the options

  bool Has(const std::string& option) const { return options.count(option) != 0; }
  // The value of an option given once; of one given twice, the last.
  std::string Value(const std::string& option) const {
    const auto found = options.find(option);
    return found == options.end() || found->second.empty() ? std::string() : found->second.back();
  }
  // Every value of an option that may be given more than once.
  std::vector<std::string> Values(const std::string& option) const {
    const auto found = options.find(option);
    return found == options.end() ? std::vector<std::string>() : found->second;
  }
};

using TCommandRun = int (*)(const TArguments& split, const std::string& appFolder);

struct TCommand {
  const char* name;
  const char* usage;            // its part of the usage text
  std::set<std::string> flags;  // options without a value
  std::set<std::string> valued; // options that take the next argument
  TCommandRun run;
};

// Splits `args` after the subcommand by the options of `command`. Raises EArgumentError for
// the first unknown option, option without its value, or empty argument, unless --help or -h
// stands among the options: whoever asks for the usage gets it. An empty argument is refused
// since it names no file or member: a missing argument would else let the next one take its
// place ("extract a.agg -C "" kb.pal" would write into "kb.pal/").
TArguments SplitArguments(const std::vector<std::string>& args, const TCommand& command) {
  TArguments split;
  std::string fault;
  const auto refuse = [&](const std::string& reason) {
    if (fault.empty())
      fault = reason;
  };
  bool options = true;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (options && arg == "--")
      options = false;
    else if (options && (arg == "--help" || arg == "-h"))
      split.help = true;
    else if (options && command.valued.count(arg) != 0) {
      if (++i == args.size())
        refuse("option \"" + arg + "\" needs a value");
      else if (args[i].empty())
        refuse("option \"" + arg + "\" has an empty value");
      else
        split.options[arg].push_back(args[i]);
    } else if (options && command.flags.count(arg) != 0)
      split.options[arg];
    else if (options && arg.size() > 1 && arg[0] == '-')
      refuse("unknown option \"" + arg + "\"");
    else if (arg.empty())
      refuse("argument " + std::to_string(i + 1) + " is empty: no file or member has that name");
    else
      split.operands.push_back(arg);
  }
  if (!fault.empty() && !split.help)
    throw EArgumentError(fault);
  return split;
}

int List(const TArguments& split, const std::string& /*appFolder*/) {
  if (split.operands.size() != 1)
    throw EArgumentError("list takes one argument: ARCHIVE");
  return Reporting([&] { return ListArchive(split.operands[0]); });
}

// The index of --transparent: decimal digits, 0 to 255. Raises EArgumentError for others.
std::uint8_t TransparentIndex(const std::string& value) {
  const bool digits = !value.empty() && value.size() <= 3 &&
                      value.find_first_not_of("0123456789") == std::string::npos;
  if (!digits || std::stoi(value) > 255)
    throw EArgumentError("--transparent takes an index from 0 to 255, not \"" + value + "\"");
  return static_cast<std::uint8_t>(std::stoi(value));
}

int Update(const TArguments& split, const std::string& appFolder) {
  const std::vector<std::string>& paths = split.operands;
  if (paths.size() != 3)
    throw EArgumentError("update takes three paths: BASE.agg FOLDER OUT.agg");
  TUpdateRequest request;
  request.add = split.Has("--add");
  request.resize = split.Has("--resize");
  request.dryRun = split.Has("--dry-run") || split.Has("-n");
  if (split.Has("--transparent"))
    request.transparentIndex = TransparentIndex(split.Value("--transparent"));
  request.basePath = paths[0], request.folder = paths[1], request.outPath = paths[2];
  request.templatePath = PaletteTemplatePath(appFolder);
  // Links and other spellings of one file are caught by the file's identity.
  if (SameExistingFile(request.basePath, request.outPath))
    throw EArgumentError("OUT.agg \"" + request.outPath + "\" is BASE.agg \"" + request.basePath +
                         "\" itself; write the new archive to another file");
  TUpdateReport report;
  const int code = Reporting([&] {
    report = UpdateArchive(request);
    return report.changes;
  });
  WriteStandardError(report.notes);
  return code;
}

// The value of --bits: how a palette's values are read, guessed without it. Raises
// EArgumentError for a value other than 6 or 8.
TPaletteBits PaletteBitsOption(const TArguments& split) {
  const std::string bits = split.Value("--bits");
  if (bits == "6")
    return TPaletteBits::Six;
  if (bits == "8")
    return TPaletteBits::Eight;
  if (split.Has("--bits"))
    throw EArgumentError("--bits takes 6 or 8, not \"" + bits + "\"");
  return TPaletteBits::Guess;
}

// What extract writes, as its options say; the palette is read later, by the run. Raises
// EArgumentError for options that exclude each other, and for --bits without a palette to read.
TUnpackChoice ExtractChoice(const TArguments& split) {
  TUnpackChoice choice;
  choice.patterns.assign(split.operands.begin() + 1, split.operands.end());
  choice.raw = split.Has("--raw");
  for (const char* option : {"--png", "--palette"})
    if (choice.raw && split.Has(option))
      throw EArgumentError(std::string(option) + " and --raw exclude each other");
  if (split.Has("--bits") && !split.Has("--palette"))
    throw EArgumentError("--bits tells how the palette of --palette is read: give one");
  if (split.Has("--png"))
    choice.pictureFile = TPictureFile::Png;
  choice.explainDirectory = true; // a file that is no archive is told as list tells it
  return choice;
}

// Unpacks as `choice` says into the folder of -C, or with -O to standard output. The palette of
// --palette is read first, its values as `bits` says: one that fails leaves nothing written, not
// even the folder. Returns the patterns that chose no member.
std::vector<std::string> RunExtract(const TArguments& split, const std::string& appFolder,
                                    TUnpackChoice choice, TPaletteBits bits) {
  const std::string& archive = split.operands[0];
  std::optional<TPaletteTemplate> palette;
  if (split.Has("--palette"))
    choice.paletteTemplate =
        &palette.emplace(ExtractionTemplate(archive, split.Value("--palette"), bits));
  const std::string templatePath = PaletteTemplatePath(appFolder);
  const TPathSyntax& syntax = SystemPathSyntax();
  const std::string folder = split.Value("-C");
  if (!split.Has("-O")) {
    // Files are listed as the user named their folder: bare names in the current one.
    const std::string shown =
        folder.empty() ? std::string() : IncludeTrailingDelimiter(folder, syntax);
    const auto sink = FolderSink(
        IncludeTrailingDelimiter(folder.empty() ? "." : folder, syntax),
        [&](const std::string& fileName) { WriteStandardOutput(shown + fileName + "\n"); });
    return UnpackArchive(archive, *sink, templatePath, choice);
  }
  TFile standardOutput = TFile::StandardOutput();
  if (!standardOutput.IsOpen())
    RaiseLastSystemError();
  const std::vector<std::string> unmatched =
      UnpackArchive(archive, *StreamSink(standardOutput), templatePath, choice);
  if (!standardOutput.Close())
    RaiseLastSystemError();
  return unmatched;
}

int Extract(const TArguments& split, const std::string& appFolder) {
  if (split.operands.empty())
    throw EArgumentError("extract takes an archive: ARCHIVE [NAME|PATTERN ...]");
  const TUnpackChoice choice = ExtractChoice(split);
  const TPaletteBits bits = PaletteBitsOption(split);
  std::vector<std::string> unmatched;
  const int code = Reporting([&] {
    unmatched = RunExtract(split, appFolder, choice, bits);
    return std::string();
  });
  for (const std::string& pattern : unmatched)
    WriteStandardError("not in the archive: " + pattern + "\n");
  return code == VexaggSuccess && !unmatched.empty() ? VexaggFailure : code;
}

// Refuses an OUT that is not a bitmap file's name, or where something other than a bitmap
// stands: arguments in the wrong order ("template TivPalette.bmp mine.pal") would otherwise
// put a bitmap in place of the user's palette. Reads the first two bytes of OUT at most.
void CheckTemplateOut(const std::string& path) {
  const std::string out = "OUT.bmp \"" + path + "\" ";
  if (!SameTextAscii(ExtractFileExt(path, SystemPathSyntax()), ".bmp"))
    throw EArgumentError(out + "does not end in .bmp: the template is a bitmap file");
  if (!EntryExists(path))
    return;
  const TFile file = TFile::Open(path, TOpenMode::ReadShareRead);
  if (!file.IsOpen()) {
    const std::uint32_t code = LastSystemError();
    throw EArgumentError(
        out + "is there, and is no bitmap file that can be replaced: " + SystemErrorText(code));
  }
  char head[2] = {};
  if (file.ReadAt(0, head, sizeof head) != sizeof head || head[0] != 'B' || head[1] != 'M')
    throw EArgumentError(out + "is there, and is no bitmap file (it does not begin with \"BM\")");
}

int MakeTemplateFrom(const TArguments& split, const std::string& /*appFolder*/) {
  TTemplateRequest request;
  request.bits = PaletteBitsOption(split);
  const std::vector<std::string>& paths = split.operands;
  if (paths.size() == 2)
    request.source = paths[0], request.outPath = paths[1];
  else if (paths.size() == 3)
    request.source = paths[0], request.member = paths[1], request.outPath = paths[2];
  else
    throw EArgumentError("template takes PALETTE OUT.bmp, or ARCHIVE MEMBER OUT.bmp");
  CheckTemplateOut(request.outPath);
  return Reporting([&] { return MakeTemplate(request); });
}

// Shows the page at `outPath`, written already, in the user's browser. When that fails the page
// stays and the user is told where it is, to open it by hand; the exit code is 1 all the same,
// since what was asked was not done all through, and a launcher that shows what a failed run
// said then shows the page's path.
int OpenPage(const std::string& outPath) {
  std::string page = outPath;
  try {
    page = FullPathName(outPath);
    OpenInBrowser(page);
    return VexaggSuccess;
  } catch (const Exception& e) {
    WriteStandardError("The page is written, but no browser could show it: " +
                       ConsoleText(e.Message()) + ".\nOpen it by hand: " + page + "\n");
  }
  return VexaggFailure;
}

// Refuses an OUT.html that does not end in .html or .htm, or that is ARCHIVE itself: arguments
// in the wrong order ("gallery page.html data.agg") would otherwise put a page in place of the
// archive. With --open, OUT.html may be left out: the page goes to the temporary folder.
int Gallery(const TArguments& split, const std::string& appFolder) {
  const bool open = split.Has("--open");
  const std::size_t paths = split.operands.size();
  if (paths != 2 && !(open && paths == 1))
    throw EArgumentError(open ? "gallery --open takes ARCHIVE and at most OUT.html"
                              : "gallery takes two paths: ARCHIVE OUT.html");
  TGalleryRequest request;
  request.archivePath = split.operands[0];
  request.paletteFiles = split.Values("--palette");
  if (paths == 2) {
    request.outPath = split.operands[1];
    const std::string ext = ExtractFileExt(request.outPath, SystemPathSyntax());
    if (!SameTextAscii(ext, ".html") && !SameTextAscii(ext, ".htm"))
      throw EArgumentError("OUT.html \"" + request.outPath + "\" does not end in .html or .htm");
    if (SameExistingFile(request.archivePath, request.outPath))
      throw EArgumentError("OUT.html \"" + request.outPath + "\" is ARCHIVE itself");
  }
  request.templatePath = PaletteTemplatePath(appFolder);
  const int code = Reporting([&] {
    if (request.outPath.empty())
      request.outPath =
          TemporaryGalleryPath(TemporaryFolder(), request.archivePath, SystemPathSyntax());
    return WriteGallery(request);
  });
  return code == VexaggSuccess && open ? OpenPage(request.outPath) : code;
}

const TCommand Commands[] = {
    {"list",
     "  vexagg list ARCHIVE\n"
     "      Prints the directory, one tab-separated row per member: index, key, name,\n"
     "      offset, size, kind (raw, or picture WxH) and the file the unpack writes.\n",
     {},
     {},
     List},
    {"update",
     "  vexagg update [--add] [--resize] [--transparent INDEX] [-n | --dry-run]\n"
     "                BASE.agg FOLDER OUT.agg\n"
     "      Writes OUT.agg with the directory of BASE.agg. Each member comes from its file\n"
     "      in FOLDER (the name Marlovexine unpacks it to, any case of a-z; for a picture\n"
     "      also NAME.png for NAME.bmp) when that is there, else from BASE.agg. Prints a\n"
     "      line per member whose bytes change: its name, replaced or added, and for\n"
     "      pictures the pixels whose index changed and how many of those had no exact\n"
     "      colour in the palette template TivPalette.bmp.\n"
     "      Entries of FOLDER that match no member are left out, one line each on\n"
     "      standard error, which ends with a summary line.\n"
     "      --add          files of known names that BASE.agg lacks become new members\n"
     "      --resize       pictures may come back at another size\n"
     "      --transparent INDEX\n"
     "                     transparent pixels (alpha 0) take INDEX (0-255); without it a\n"
     "                     picture that has any is refused\n"
     "      -n, --dry-run  does all the work and prints all the lines, but writes nothing\n",
     {"--add", "--resize", "--dry-run", "-n"},
     {"--transparent"},
     Update},
    {"extract",
     "  vexagg extract ARCHIVE [-C FOLDER] [-O] [--png | --raw]\n"
     "                 [--palette PALETTE [--bits 6|8]] [NAME|PATTERN ...]\n"
     "      Writes members as Marlovexine unpacks them, pictures as bitmap files coloured\n"
     "      by TivPalette.bmp, and prints the name of each file written. Without names,\n"
     "      every member; else the members whose names match a NAME or PATTERN (* and ?,\n"
     "      any case of a-z). Names that match nothing are told at the end (exit code 1).\n"
     "      -C FOLDER      writes into FOLDER, made if missing (default: the current folder)\n"
     "      -O             writes the one member chosen to standard output instead\n"
     "      --png          writes pictures as 8-bit indexed PNG files, NAME.png for\n"
     "                     NAME.bmp: the colours of TivPalette.bmp, the member's indices\n"
     "      --raw          writes members as stored, pictures under their own names\n"
     "      --palette PALETTE\n"
     "                     colours pictures by PALETTE instead of TivPalette.bmp: the file\n"
     "                     at that path, else ARCHIVE's member of that name (kb.pal, any\n"
     "                     case of a-z), read as template reads it; nothing is written\n"
     "                     when it is neither, or reads as no palette\n"
     "      --bits 6|8     with --palette: its values are 6-bit or 8-bit, as for template\n",
     {"-O", "--png", "--raw"},
     {"-C", "--palette", "--bits"},
     Extract},
    {"template",
     "  vexagg template [--bits 6|8] PALETTE OUT.bmp\n"
     "  vexagg template [--bits 6|8] ARCHIVE MEMBER OUT.bmp\n"
     "      Writes OUT.bmp, a palette template for Marlovexine and vexagg, from a palette\n"
     "      file or an archive's palette member (kb.pal, any case of a-z): raw (768 bytes,\n"
     "      or 772 with a colour count), JASC-PAL, GIMP (.gpl), RIFF PAL, or the colour\n"
     "      table of a bitmap. Prints the format, the number of colours and the bits.\n"
     "      OUT.bmp ends in .bmp, and replaces only a bitmap file.\n"
     "      --bits 6|8     the values are 6-bit (0-63, scaled) or 8-bit; without it, a raw\n"
     "                     palette whose values are all 63 or less is 6-bit\n",
     {},
     {"--bits"},
     MakeTemplateFrom},
    {"gallery",
     "  vexagg gallery ARCHIVE OUT.html [--palette FILE ...]\n"
     "  vexagg gallery --open ARCHIVE [OUT.html] [--palette FILE ...]\n"
     "      Writes OUT.html, one page that any browser opens offline: the archive's\n"
     "      members, and every picture drawn from its indices in the palette chosen on\n"
     "      the page: TivPalette.bmp, each member named *.pal that reads as a palette,\n"
     "      or each FILE. Beside the choice, the command that makes it the template.\n"
     "      A picture that fails the unpack's checks is listed with the reason.\n"
     "      --palette FILE a palette file, read as template reads it (repeatable)\n"
     "      --open         then shows the page in the default browser; without OUT.html,\n"
     "                     it goes to the temporary folder as marlovexine-gallery-NAME.html\n"
     "                     for ARCHIVE NAME.agg. When no browser can be started, the\n"
     "                     page's path is printed, to open by hand (exit code 1).\n",
     {"--open"},
     {"--palette"},
     Gallery},
};

std::string UsageText() {
  std::string text = std::string("vexagg ") + VexaggVersion + UsageHead;
  for (const TCommand& command : Commands)
    text += command.usage;
  return text + UsageTail;
}

const TCommand* FindCommand(const std::string& name) {
  for (const TCommand& command : Commands)
    if (name == command.name)
      return &command;
  return nullptr;
}

// The run up to its exit code; RunVexagg adds the check of standard output.
int RunCommand(const std::vector<std::string>& args, const std::string& appFolder) {
  if (args.empty()) { // no arguments: whoever types that wants to see what to type
    WriteStandardError(UsageText());
    return VexaggUsageError;
  }
  const std::string& name = args[0];
  if (name == "--help" || name == "-h") {
    WriteStandardOutput(UsageText());
    return VexaggSuccess;
  }
  if (name == "--version") {
    WriteStandardOutput(std::string("vexagg ") + VexaggVersion + "\nLicense: MIT\n");
    return VexaggSuccess;
  }
  const TCommand* command = FindCommand(name);
  try {
    if (command == nullptr)
      throw EArgumentError("unknown command \"" + name + "\"");
    const TArguments split = SplitArguments(args, *command);
    if (split.help) {
      WriteStandardOutput(std::string("Usage:\n") + command->usage);
      return VexaggSuccess;
    }
    return command->run(split, appFolder);
  } catch (const EArgumentError& e) {
    const std::string help = command == nullptr ? "vexagg --help" : "vexagg " + name + " --help";
    WriteStandardError("vexagg: " + e.Message() + "\nRun \"" + help + "\" for the usage.\n");
    return VexaggUsageError;
  }
}

} // namespace

int RunVexagg(const std::vector<std::string>& args, const std::string& appFolder) {
  return FinishingStandardOutput(RunCommand(args, appFolder), ReportFailure, VexaggFailure);
}

} // namespace vex
