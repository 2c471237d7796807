// The folders a fuzz input runs in: one fresh temporary folder per process that holds the
// template folder (the executable's folder as the unpack is given it, with TivPalette.bmp and
// the input archive) and the output folder, and nothing else. After each input StrayEntries tells
// whether anything appeared where the tool must not write.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace vexfuzz {

class TFuzzWorkspace {
public:
  // The process's one workspace: made on first use, under $VEX_FUZZ_TMPDIR when that is set,
  // else under /dev/shm when it exists (an input can make and remove hundreds of files), else
  // under the system's temp folder; removed when the process ends normally.
  static TFuzzWorkspace& Get();

  // The folders as the tool takes them: with their trailing delimiter.
  std::string AppFolderString() const { return app_.string() + "/"; }
  std::string OutFolderString() const { return out_.string() + "/"; }
  const std::filesystem::path& OutFolder() const { return out_; }
  std::filesystem::path ArchivePath() const;
  std::filesystem::path TemplatePath() const;

  // Removes the output folder with everything in it; the next input starts without one.
  void ClearOutput();
  // Creates or replaces a file of the template folder: ArchivePath() or TemplatePath().
  void WriteAppFile(const std::filesystem::path& path, const std::uint8_t* data, std::size_t size);

  // What lies where it must not: anything in the workspace besides the two folders, anything
  // in the template folder besides the template and the archive, and anything in the output
  // folder that is not a regular file. "" when all is in place.
  std::string StrayEntries() const;

  ~TFuzzWorkspace();
  TFuzzWorkspace(const TFuzzWorkspace&) = delete;
  TFuzzWorkspace& operator=(const TFuzzWorkspace&) = delete;

private:
  TFuzzWorkspace();

  std::filesystem::path base_;
  std::filesystem::path app_;
  std::filesystem::path out_;
};

// The whole of a file as bytes; empty when it cannot be read.
std::string ReadFileBytes(const std::filesystem::path& path);

} // namespace vexfuzz
