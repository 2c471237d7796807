// The portable half of files: open errors, exact reads, output files whose folder is made
// first, whole-buffer saving, copying between files and temporary names, written over TFile
// and the system's errors.
#include "files.h"

#include "exceptions.h"
#include "paths.h"
#include "system_error.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <random>

namespace vex {

namespace {

// Two runs started in the same instant still differ: the clock, and the system's own entropy
// where the library reaches it.
std::uint32_t RandomSeed() {
  std::random_device device;
  const auto now = std::chrono::high_resolution_clock::now().time_since_epoch().count();
  return device() ^ static_cast<std::uint32_t>(now) ^ static_cast<std::uint32_t>(now >> 32);
}

} // namespace

TFile TFile::OpenOrRaise(const std::string& path, TOpenMode mode) {
  TFile file = Open(path, mode);
  if (!file.IsOpen())
    RaiseOpenError(path, mode);
  return file;
}

void TFile::RaiseOpenError(const std::string& path, TOpenMode mode) {
  const std::uint32_t code = LastSystemError();
  const std::string text = "\"" + FullPathName(path) + "\". " + SystemErrorText(code);
  if (mode == TOpenMode::CreateAlways || mode == TOpenMode::CreateNew)
    throw EFCreateError("Cannot create file " + text);
  throw EFOpenError("Cannot open file " + text);
}

void TFile::ReadExactAt(std::uint64_t offset, void* data, std::size_t count) const {
  if (ReadAt(offset, data, count) != count)
    throw EReadError();
}

TFile CreateFileWithFolder(const std::string& path, TOpenMode mode) {
  if (mode != TOpenMode::CreateAlways)
    return TFile::Open(path, mode);
  // The folder nearly always exists: try the file first and spare a folder test per member.
  // Any failure goes the long way, folder first, so the error reported is the same as if the
  // folder had been made before the file was tried.
  if (TFile file = TFile::Open(path, mode); file.IsOpen())
    return file;
  if (!ForceFolder(ExtractFilePath(path, SystemPathSyntax())))
    return TFile();
  return TFile::Open(path, mode);
}

void SaveDataToFile(const std::string& path, const void* data, std::size_t count) {
  TFile file = CreateFileWithFolder(path, TOpenMode::CreateAlways);
  if (!file.IsOpen())
    RaiseLastSystemError();
  if (count != 0 && file.Write(data, count) != count)
    RaiseLastSystemError();
  if (!file.Close())
    RaiseLastSystemError();
}

void SaveBufferToFile(const std::string& path, const TByteDynArray& buffer) {
  SaveDataToFile(path, buffer.data(), buffer.size());
}

void CopyBetweenFiles(const TFile& source, std::uint64_t offset, TFile& target,
                      std::uint64_t count) {
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

TFile CreateTemporaryBeside(const std::string& path, std::string& temporaryPath) {
  // 32 random bits: a name that a leftover or another run holds is passed over, and failing
  // this often means the folder takes no file at all, not that the names ran out.
  constexpr int Attempts = 100;
  static std::mt19937 random(RandomSeed());
  for (int n = 0; n < Attempts; ++n) {
    char part[9];
    std::snprintf(part, sizeof part, "%08x", static_cast<unsigned>(random()));
    temporaryPath = path + "." + part + ".tmp";
    TFile file = TFile::Open(temporaryPath, TOpenMode::CreateNew);
    if (file.IsOpen() || !IsAlreadyExistsError(LastSystemError()))
      return file;
  }
  return TFile();
}

} // namespace vex
