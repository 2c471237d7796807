// Windows itself: the system's path syntax, double-byte names on the real file system, share
// modes, devices, drives that do not exist, the executable's folder, and a close that fails.
#include "app_folder.h"
#include "exceptions.h"
#include "expect_throw_msg.h"
#include "files.h"
#include "paths.h"
#include "platform_errors.h"
#include "system_error.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

#ifdef _WIN32
#include <cstdlib>
#include <cstring>
#include <windows.h>
#endif

namespace fs = std::filesystem;
using namespace vex;

namespace {

#ifdef _WIN32

// The system's syntax: "\" and ":" everywhere; lead bytes exactly those the system itself
// reports, and none where it handles no double-byte characters.
TEST(SystemPathSyntaxWin32, FollowsTheCodePage) {
  const TPathSyntax& syntax = SystemPathSyntax();
  EXPECT_EQ(syntax.delimiters, "\\:");
  EXPECT_EQ(syntax.folderDelimiter, '\\');
  if (GetSystemMetrics(SM_DBCSENABLED) == 0) {
    EXPECT_EQ(syntax.isLeadByte, nullptr);
    return;
  }
  ASSERT_NE(syntax.isLeadByte, nullptr);
  for (unsigned b = 0; b < 256; ++b) {
    SCOPED_TRACE(b);
    EXPECT_EQ(syntax.isLeadByte(static_cast<unsigned char>(b)),
              IsDBCSLeadByte(static_cast<BYTE>(b)) != 0);
  }
}

// Runs only where the system's code page is 932. Where the suite is started in a Japanese
// locale on purpose, VEX_REQUIRE_CODE_PAGE_932 is set, and any other code page is a failure
// rather than a skip.
class CodePage932Test : public vextest::TempFolderTest {
protected:
  void SetUp() override {
    if (GetACP() != 932) {
      if (std::getenv("VEX_REQUIRE_CODE_PAGE_932") != nullptr)
        FAIL() << "code page " << GetACP() << ", not 932";
      GTEST_SKIP() << "code page " << GetACP() << ", not 932";
    }
    TempFolderTest::SetUp();
  }
  std::string Under(const char* name) const { return Folder().string() + "\\" + name; }
};

TEST_F(CodePage932Test, PathsSplitOnlyAtRealDelimiters) {
  const TPathSyntax& syntax = SystemPathSyntax();
  EXPECT_EQ(ExtractFilePath("C:\\\x95\x5C\\\x83\x5C", syntax), "C:\\\x95\x5C\\");
  EXPECT_FALSE(EndsWithDelimiter("\x95\x5C", syntax));
  EXPECT_EQ(RemoveFileExt("\x95\x5C.agg", syntax), "\x95\x5C");
}

TEST_F(CodePage932Test, DoubleByteNamesOnTheFileSystem) {
  // "\x83\x5C" is U+30BD and "\x95\x5C" U+8868 once the system has read the bytes.
  const fs::path so = L"\u30BD";
  const fs::path hyo = L"\u8868";
  SaveBufferToFile(Under("\x83\x5C"
                         "name.bin"),
                   {1, 2, 3});
  EXPECT_EQ(vextest::ReadWholeFile(Folder() / (so.wstring() + L"name.bin")),
            (std::vector<std::uint8_t>{1, 2, 3}));
  // A split at the second byte would have made a folder of the first character.
  EXPECT_FALSE(fs::exists(Folder() / so));

  EXPECT_TRUE(ForceFolder(Under("\x95\x5C\\\x83\x5C")));
  EXPECT_TRUE(fs::is_directory(Folder() / hyo / so));
  SaveBufferToFile(Under("\x95\x5C\\\x83\x5C\\x.bin"), {4});
  EXPECT_EQ(vextest::ReadWholeFile(Folder() / hyo / so / "x.bin"), (std::vector<std::uint8_t>{4}));
}

// Who may open a file while another handle holds it: the archive is opened exclusively, the
// palette template shared for reading only, output files exclusively.
class ShareModeTest : public vextest::TempFolderTest {};

TEST_F(ShareModeTest, SecondOpensFollowTheShareModes) {
  const std::string path = (Folder() / "held.bin").string();
  const struct {
    const char* what;
    TOpenMode first;
    TOpenMode second;
    bool secondOpens;
  } rows[] = {
      {"archive, archive", TOpenMode::ReadExclusive, TOpenMode::ReadExclusive, false},
      {"archive, template", TOpenMode::ReadExclusive, TOpenMode::ReadShareRead, false},
      {"template, template", TOpenMode::ReadShareRead, TOpenMode::ReadShareRead, true},
      {"template, archive", TOpenMode::ReadShareRead, TOpenMode::ReadExclusive, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    vextest::WriteWholeFile(path, {1});
    {
      const TFile first = TFile::Open(path, row.first);
      ASSERT_TRUE(first.IsOpen());
      const TFile second = TFile::Open(path, row.second);
      EXPECT_EQ(second.IsOpen(), row.secondOpens);
      if (!row.secondOpens) {
        EXPECT_EQ(LastSystemError(), static_cast<std::uint32_t>(ERROR_SHARING_VIOLATION));
      }
    }
    // Both handles are closed with their objects: the file is free again.
    EXPECT_TRUE(TFile::Open(path, TOpenMode::ReadExclusive).IsOpen());
  }
}

// Only disk files are read: a device opens, but holds no positions to read at.
TEST(OpenWin32, ReadsDiskFilesOnly) {
  EXPECT_THROW_MSG(TFile::OpenOrRaise("NUL", TOpenMode::ReadShareRead), EFOpenError,
                   "Cannot open file \"\\\\.\\NUL\". " + SystemErrorText(ERROR_INVALID_PARAMETER));
}

TEST(ForceFolderWin32, StopsAtTheRootOfADriveThatDoesNotExist) {
  const DWORD drives = GetLogicalDrives();
  char letter = 0;
  for (char c = 'Q'; c <= 'Y' && letter == 0; ++c)
    if ((drives & (1u << (c - 'A'))) == 0)
      letter = c;
  ASSERT_NE(letter, 0) << "no free drive letter between Q and Y";
  const std::string drive = std::string(1, letter) + ":";
  EXPECT_TRUE(ForceFolder(drive));
  EXPECT_FALSE(ForceFolder(drive + "\\x\\"));
  EXPECT_TRUE(ForceFolder("C:\\"));
}

TEST(ExecutableFolderWin32, IsTheFolderOfTheRunningExecutable) {
  const std::string appPath = ExecutableFolder();
  ASSERT_FALSE(appPath.empty());
  EXPECT_EQ(appPath.back(), '\\');
  // The runtime's argv[0] is the program as started, which CTest gives as an absolute path.
  EXPECT_EQ(appPath, fs::absolute(__argv[0]).parent_path().string() + "\\");
}

// While it lives, CloseHandle as this executable calls it (through its import table, like
// the OS layer linked into it) closes the handle and then reports ERROR_DISK_FULL, as a
// network share may for data it never stored. The system itself is not changed.
class FailingCloseHandle {
public:
  FailingCloseHandle() : slot_(ImportSlot("kernel32.dll", "CloseHandle")) {
    if (slot_ != nullptr) {
      real_ = reinterpret_cast<CloseFunction>(*slot_);
      Put(reinterpret_cast<ULONG_PTR>(&Fail));
    }
  }
  ~FailingCloseHandle() {
    if (slot_ != nullptr)
      Put(reinterpret_cast<ULONG_PTR>(real_));
  }
  bool Installed() const { return slot_ != nullptr; }

private:
  using CloseFunction = BOOL(WINAPI*)(HANDLE);
  static inline CloseFunction real_ = nullptr;

  static BOOL WINAPI Fail(HANDLE handle) {
    if (!real_(handle))
      return FALSE;
    SetLastError(ERROR_DISK_FULL);
    return FALSE;
  }
  // The import table slot through which this executable calls `function` of `dll`.
  static ULONG_PTR* ImportSlot(const char* dll, const char* function) {
    auto* base = reinterpret_cast<unsigned char*>(GetModuleHandleA(nullptr));
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         d->Name != 0; ++d) {
      if (lstrcmpiA(reinterpret_cast<const char*>(base + d->Name), dll) != 0)
        continue;
      auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk);
      auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
      for (; names->u1.AddressOfData != 0; ++names, ++slots) {
        if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
          continue;
        const auto* byName =
            reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
        if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0)
          return reinterpret_cast<ULONG_PTR*>(&slots->u1.Function);
      }
    }
    return nullptr;
  }
  void Put(ULONG_PTR value) {
    DWORD protection = 0;
    VirtualProtect(slot_, sizeof *slot_, PAGE_READWRITE, &protection);
    *slot_ = value;
    VirtualProtect(slot_, sizeof *slot_, protection, &protection);
  }

  ULONG_PTR* slot_;
};

// A write error that the system reports only at close fails the file, with that error; the
// handle is closed all the same, so the file is free for the next open.
class CloseWin32 : public vextest::TempFolderTest {};

TEST_F(CloseWin32, AnErrorReportedAtCloseFailsTheFile) {
  const std::string path = (Folder() / "late.bin").string();
  {
    TFile file = TFile::Open(path, TOpenMode::CreateNew);
    ASSERT_TRUE(file.IsOpen());
    const FailingCloseHandle failing;
    ASSERT_TRUE(failing.Installed());
    EXPECT_FALSE(file.Close());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DISK_FULL));
  }
  EXPECT_TRUE(TFile::Open(path, TOpenMode::ReadExclusive).IsOpen());
  {
    const FailingCloseHandle failing;
    EXPECT_THROW_MSG(SaveBufferToFile(path, {1, 2, 3}), EOSError,
                     vextest::OsMessage(ERROR_DISK_FULL));
  }
  // The new bytes never reach the name, which keeps the empty file, and no temporary file stays.
  EXPECT_EQ(vextest::ReadWholeFile(path), std::vector<std::uint8_t>{});
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Folder()), {}), 1);
}

#endif // _WIN32

} // namespace
