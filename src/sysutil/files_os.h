// The file calls the OS layer itself stands on, one definition per system in files_posix.cpp and
// files_win32.cpp: the portable code of files.cpp and replacing_file.cpp is written once over
// them. Nothing outside src/sysutil includes this header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace vex {

namespace os {

// A file descriptor or a HANDLE, as TFile holds it.
using TFileHandle = std::intptr_t;

// Closes `handle`, which is gone whatever the system reports; false, with the system's last
// error set, when it reports a write error that no write did.
bool CloseFileHandle(TFileHandle handle);
// The size of the open file in bytes; nothing, with the system's last error set, when the system
// cannot tell.
std::optional<std::uint64_t> FileSize(TFileHandle handle);
// Reads once, up to `count` bytes at `position`, wherever the file pointer stands; returns how
// many arrived, 0 at the end of the file or on failure. POSIX retries EINTR.
std::size_t ReadSomeAt(TFileHandle handle, std::uint64_t position, void* data, std::size_t count);
// Copies up to `count` bytes of `source` from `offset` to the current position of `target`
// inside the kernel; returns how many it copied, fewer (even none) wherever the system cannot
// or will not (no such call, another file system, a read or write error), for the caller to
// copy the rest another way.
std::uint64_t CopyInKernel(TFileHandle source, std::uint64_t offset, TFileHandle target,
                           std::uint64_t count);
// Whether a folder, or a link to one, stands at `path`.
bool IsFolder(const std::string& path);
// Makes the one folder `path`, whose parent must exist. False on failure, the system's last
// error set.
bool CreateOneFolder(const std::string& path);

} // namespace os

// Puts the folder that holds `path` on the disk as it now stands, a rename in it included
// (fsync of the folder). Windows journals the rename itself, and so does nothing. False on
// failure, the system's last error set; a file system that cannot flush a folder counts as
// success.
bool FlushFolderOf(const std::string& path);
// Renames the file `from` to `to`, replacing what stands at `to` in one step, so that `to`
// always holds either its old or its new file; a folder at `to` fails. With `writeThrough`
// Windows returns only once the rename is on the disk. False on failure, the system's last
// error set.
bool MoveFileReplacing(const std::string& from, const std::string& to, bool writeThrough);
// Removes the file `path`. False on failure, the system's last error set.
bool RemoveFile(const std::string& path);

} // namespace vex
