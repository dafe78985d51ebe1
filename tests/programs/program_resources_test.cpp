// The manifests and version resources of the medium's programs, read back from the built
// files of both Windows builds (the 32-bit ones as far as that tree has been built).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Program {
  const char* file;
  const char* description;
  bool manifest;
};

const Program kPrograms[] = {
    {"bin\\setup.exe", "Talvenor Installation", true},
    {"bin\\UnInstall.exe", "Talvenor Deinstallation", true},
    {"medium-bin\\UNZIPLIB.DLL", "Talvenor Entpackbibliothek", false},
};

bool Exists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The program's manifest resource (RT_MANIFEST 1) as text; "" without one.
std::string Manifest(const std::string& path) {
  HMODULE module = ::LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (!module) return {};
  std::string text;
  if (HRSRC res = ::FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24))) {
    const char* bytes = static_cast<const char*>(::LockResource(::LoadResource(module, res)));
    if (bytes) text.assign(bytes, ::SizeofResource(module, res));
  }
  ::FreeLibrary(module);
  return text;
}

struct VersionInfo {
  std::vector<char> data;
  std::string Text(const char* name) const {
    void* value = nullptr;
    UINT size = 0;
    const std::string path = std::string("\\StringFileInfo\\040704E4\\") + name;
    if (!::VerQueryValueA(data.data(), path.c_str(), &value, &size) || size == 0) return {};
    return static_cast<const char*>(value);
  }
  std::string FixedVersion() const {
    void* value = nullptr;
    UINT size = 0;
    if (!::VerQueryValueA(data.data(), "\\", &value, &size) || size < sizeof(VS_FIXEDFILEINFO)) return {};
    const auto* info = static_cast<const VS_FIXEDFILEINFO*>(value);
    return std::to_string(HIWORD(info->dwFileVersionMS)) + "." + std::to_string(LOWORD(info->dwFileVersionMS)) + "." +
           std::to_string(HIWORD(info->dwFileVersionLS));
  }
};

VersionInfo ReadVersion(const std::string& path) {
  VersionInfo info;
  DWORD handle = 0;
  const DWORD size = ::GetFileVersionInfoSizeA(path.c_str(), &handle);
  if (size == 0) return info;
  info.data.resize(size);
  if (!::GetFileVersionInfoA(path.c_str(), 0, size, info.data.data())) info.data.clear();
  return info;
}

std::vector<std::string> BuildFolders() {
  std::vector<std::string> folders{BUILD64};
  if (Exists(std::string(BUILD32) + "\\" + kPrograms[0].file)) folders.push_back(BUILD32);
  return folders;
}

TEST(ProgramResources, ManifestsAskForAdministratorRightsVisualStylesSystemResolutionAndNameTheSupportedSystems) {
  const char* const elements[] = {
      "<requestedExecutionLevel level=\"requireAdministrator\" uiAccess=\"false\"/>",
      "<supportedOS Id=\"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}\"/>",  // Windows 7
      "<supportedOS Id=\"{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}\"/>",  // Windows 8
      "<supportedOS Id=\"{1f676c76-80e1-4239-95bb-83d0f6d0da78}\"/>",  // Windows 8.1
      "<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>",  // Windows 10 and 11
      "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
      "<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true</dpiAware>",
      "<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">system</dpiAwareness>",
  };
  for (const std::string& folder : BuildFolders()) {
    for (const Program& program : kPrograms) {
      const std::string path = folder + "\\" + program.file;
      const std::string manifest = Manifest(path);
      if (!program.manifest) {
        EXPECT_EQ(manifest, "") << path;
        continue;
      }
      for (const char* element : elements)
        EXPECT_NE(manifest.find(element), std::string::npos) << path << ": " << element;
    }
  }
}

TEST(ProgramResources, VersionResourcesNameTheProductAndTheBuildVersion) {
  for (const std::string& folder : BuildFolders()) {
    for (const Program& program : kPrograms) {
      const std::string path = folder + "\\" + program.file;
      const VersionInfo info = ReadVersion(path);
      ASSERT_FALSE(info.data.empty()) << path;
      EXPECT_EQ(info.Text("ProductName"), "Talvenor") << path;
      EXPECT_EQ(info.Text("FileDescription"), program.description) << path;
      EXPECT_EQ(info.Text("FileVersion"), TALVENOR_VERSION) << path;
      EXPECT_EQ(info.Text("ProductVersion"), TALVENOR_VERSION) << path;
      EXPECT_EQ(info.FixedVersion(), TALVENOR_VERSION) << path;
    }
  }
}

}  // namespace
