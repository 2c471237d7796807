// The portable half of files: open errors, exact reads, whole-buffer saving and copying
// between files, written over TFile and the system's errors.
#include "files.h"

#include "exceptions.h"
#include "paths.h"
#include "replacing_file.h"
#include "system_error.h"

#include <algorithm>
#include <memory>

namespace vex {

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

void TFile::ReadExactAt(std::uint64_t offset, void* data, std::size_t count) const {
  if (ReadAt(offset, data, count) != count)
    throw EReadError();
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
    const std::uint64_t copied = CopyInKernel(source, offset, target, count);
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
