// The entry: arguments, output folder, the unpack, and the one place where errors are caught.
#include "entry.h"

#include "command_line.h"
#include "console.h"
#include "exceptions.h"
#include "message_box.h"
#include "paths.h"
#include "unpack_archive.h"

#include <new>

namespace vex {

const char* const UsageText = "Marlovexine v1.1\r\n"
                              "Usage: Marlovexine.exe Archive.agg [Folder]\r\n"
                              "Folder defaults to the archive name without extension.\r\n"
                              "\r\n"
                              "Written by the Marlovexine developers\r\n"
                              "https://marlovexine.example.org\r\n"
                              "marlovexine@example.org";
const char* const SuccessText = "Operation succesful.";
const char* const BoxCaption = "Marlovexine";

namespace {

// The folder argument with its trailing delimiter, or the archive's default folder.
std::string OutputFolderFor(const std::string& archivePath, const std::string& folderArgument) {
  const TPathSyntax& syntax = SystemPathSyntax();
  return folderArgument.empty() ? DefaultOutputFolder(archivePath, syntax)
                                : IncludeTrailingDelimiter(folderArgument, syntax);
}

// The run up to its last box; RunMarlovexine adds the check of standard output.
int UnpackAndTell(const std::vector<std::string>& args, const std::string& appFolder) {
  const std::string archivePath = args.empty() ? std::string() : args[0];
  if (archivePath.empty() ||
      (CommandLineHasOptions && (archivePath == "--help" || archivePath == "-h"))) {
    ShowInformation(UsageText, BoxCaption);
    return 0;
  }
  if (CommandLineHasOptions && archivePath == "--version") {
    // The licence on a line of its own, as GNU tools print it after the name and version.
    ShowInformation("Marlovexine " MARLOVEXINE_VERSION "\r\nLicense: MIT", BoxCaption);
    return 0;
  }
  try {
    const std::string outputFolder = OutputFolderFor(archivePath, args.size() > 1 ? args[1] : "");
    UnpackArchive(archivePath, *FolderSink(outputFolder), PaletteTemplatePath(appFolder));
  } catch (const Exception& e) {
    ShowErrorBox(e);
    return 1;
  } catch (const std::bad_alloc&) {
    ShowErrorBox(EOutOfMemory());
    return 1;
  }
  ShowInformation(SuccessText, BoxCaption);
  return 0;
}

} // namespace

void ShowErrorBox(const Exception& failure) {
  const std::string& member = failure.Subject();
  const std::string& message = failure.Message();
  ShowError(member.empty() ? message + "." : message + ".\r\n" + member, BoxCaption);
}

int RunMarlovexine(const std::vector<std::string>& args, const std::string& appFolder) {
  // On POSIX the usage and success texts went to standard output: a success nobody was told
  // of (a full disk, a closed pipe) is a failure. Windows showed boxes and wrote nothing there.
  return FinishingStandardOutput(UnpackAndTell(args, appFolder), ShowErrorBox, 1);
}

} // namespace vex
