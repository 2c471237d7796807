// The built Windows programs as Windows sees them before it starts one: the manifest it reads,
// and the version that Explorer's Properties show, read back through the system's own calls.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// The manifest, as FindResource gives it to the loader: resource 1 of type RT_MANIFEST.
std::string ManifestOf(const char* exe) {
  const HMODULE module = LoadLibraryExA(exe, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (module == nullptr)
    return "(cannot load " + std::string(exe) + ")";
  std::string text;
  if (const HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), RT_MANIFEST)) {
    const HGLOBAL loaded = LoadResource(module, found);
    text.assign(static_cast<const char*>(LockResource(loaded)), SizeofResource(module, found));
  }
  FreeLibrary(module);
  return text;
}

struct VersionInfo {
  std::vector<char> block;
  std::string Text(const char* name) const {
    const std::string key = std::string("\\StringFileInfo\\040904E4\\") + name;
    char* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), key.c_str(), reinterpret_cast<void**>(&value), &length) ||
        length == 0)
      return "(no " + std::string(name) + ")";
    return std::string(value, length - 1); // without its terminating zero
  }
  const VS_FIXEDFILEINFO* Fixed() const {
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length);
    return length >= sizeof(VS_FIXEDFILEINFO) ? fixed : nullptr;
  }
};

VersionInfo VersionOf(const char* exe) {
  VersionInfo info;
  DWORD unused = 0;
  info.block.resize(GetFileVersionInfoSizeA(exe, &unused));
  if (info.block.empty() ||
      !GetFileVersionInfoA(exe, 0, static_cast<DWORD>(info.block.size()), info.block.data()))
    info.block.assign(16, '\0');
  return info;
}

TEST(ProgramResources, ManifestAndVersionOfBothPrograms) {
  unsigned major = 0, minor = 0;
  ASSERT_EQ(std::sscanf(MARLOVEXINE_VERSION, "%u.%u", &major, &minor), 2);
  const struct {
    const char* exe;
    const char* fileName;
  } rows[] = {{MARLOVEXINE_EXE, "Marlovexine.exe"}, {VEXAGG_EXE, "vexagg.exe"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.fileName);
    const std::string manifest = ManifestOf(row.exe);
    for (const char* part : {
             "<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>",
             "<supportedOS Id=\"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}\"/>", // Windows 7
             "<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>", // 10 and 11
             ">true/pm</dpiAware>",
             ">PerMonitorV2, PerMonitor</dpiAwareness>",
             "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
         }) {
      EXPECT_NE(manifest.find(part), std::string::npos) << part << " not in:\n" << manifest;
    }

    const VersionInfo version = VersionOf(row.exe);
    EXPECT_EQ(version.Text("ProductName"), "Marlovexine");
    EXPECT_EQ(version.Text("FileVersion"), MARLOVEXINE_VERSION);
    EXPECT_EQ(version.Text("ProductVersion"), MARLOVEXINE_VERSION);
    EXPECT_EQ(version.Text("OriginalFilename"), row.fileName);
    EXPECT_NE(version.Text("FileDescription").find(".agg"), std::string::npos);
    const VS_FIXEDFILEINFO* fixed = version.Fixed();
    ASSERT_NE(fixed, nullptr);
    EXPECT_EQ(fixed->dwFileVersionMS, major << 16 | minor);
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    EXPECT_EQ(fixed->dwProductVersionMS, major << 16 | minor);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
  }
}

} // namespace
