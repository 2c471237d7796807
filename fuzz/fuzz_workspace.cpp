// The fuzz workspace. Failures to set it up or to clean it are failures of the machine, not
// findings about the input, so they end the process with a plain message.
#include "fuzz_workspace.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>
#include <unistd.h> // mkdtemp: macOS declares it here, not in <cstdlib>

namespace fs = std::filesystem;

namespace vexfuzz {

namespace {

const char* const ArchiveFileName = "input.agg";
const char* const TemplateFileName = "TivPalette.bmp"; // where the tool looks for its template

[[noreturn]] void FailSetUp(const std::string& what, const std::error_code& error = {}) {
  const std::string why = error ? ": " + error.message() : "";
  std::fprintf(stderr, "fuzz workspace: %s%s\n", what.c_str(), why.c_str());
  std::exit(2);
}

fs::path WorkspaceRoot() {
  if (const char* root = std::getenv("VEX_FUZZ_TMPDIR"); root != nullptr && *root != '\0')
    return root;
  std::error_code ignored;
  if (fs::is_directory("/dev/shm", ignored))
    return "/dev/shm";
  return fs::temp_directory_path();
}

// A folder of a new name under `root`, made by the system: the checks build for POSIX only.
fs::path MakeUniqueFolder(const fs::path& root) {
  std::string path = (root / "vex_fuzz_XXXXXX").string();
  if (mkdtemp(path.data()) == nullptr)
    FailSetUp("cannot make a folder under " + root.string(), {errno, std::generic_category()});
  return path;
}

void ListStrays(const fs::path& folder, const std::set<std::string>& allowed, std::string& strays) {
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    if (allowed.count(it->path().filename().string()) == 0)
      strays += " " + it->path().string();
  }
}

} // namespace

TFuzzWorkspace& TFuzzWorkspace::Get() {
  static TFuzzWorkspace workspace;
  return workspace;
}

TFuzzWorkspace::TFuzzWorkspace()
    : base_(MakeUniqueFolder(WorkspaceRoot())), app_(base_ / "app"), out_(base_ / "out") {
  std::error_code error;
  if (!fs::create_directory(app_, error))
    FailSetUp("cannot make " + app_.string(), error);
}

TFuzzWorkspace::~TFuzzWorkspace() {
  std::error_code ignored;
  fs::remove_all(base_, ignored);
}

fs::path TFuzzWorkspace::ArchivePath() const {
  return app_ / ArchiveFileName;
}

fs::path TFuzzWorkspace::TemplatePath() const {
  return app_ / TemplateFileName;
}

void TFuzzWorkspace::ClearOutput() {
  std::error_code error;
  fs::remove_all(out_, error);
  if (error)
    FailSetUp("cannot empty " + out_.string(), error);
}

void TFuzzWorkspace::WriteAppFile(const fs::path& path, const std::uint8_t* data,
                                  std::size_t size) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  if (size != 0)
    file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  if (!file.good())
    FailSetUp("cannot write " + path.string());
}

std::string TFuzzWorkspace::StrayEntries() const {
  std::string strays;
  ListStrays(base_, {"app", "out"}, strays);
  ListStrays(app_, {ArchiveFileName, TemplateFileName}, strays);
  std::error_code error;
  for (fs::directory_iterator it(out_, error), end; !error && it != end; it.increment(error)) {
    std::error_code statusError;
    if (it->symlink_status(statusError).type() != fs::file_type::regular)
      strays += " " + it->path().string() + " (not a regular file)";
  }
  return strays.empty() ? strays : "written outside the output folder or not as a file:" + strays;
}

std::string ReadFileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace vexfuzz
