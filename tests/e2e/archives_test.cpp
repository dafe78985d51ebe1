// Archives as zip tools write them, installed by the real setup and removed by the uninstaller:
// names with umlauts stored in UTF-8 (with the flag) and in the OEM code page of a FAT host,
// and a member without a date.
#include "wizard_steps.h"

#include "test_zip.h"

#include <gtest/gtest.h>

using namespace e2e;

namespace {

const char kUninstallRoot[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

std::string Ansi(const std::wstring& wide) {
  char text[MAX_PATH] = "";
  ::WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, text, sizeof text, nullptr, nullptr);
  return text;
}

std::wstring Wide(const std::string& ansi) {
  wchar_t text[MAX_PATH] = L"";
  ::MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, text, MAX_PATH);
  return text;
}

bool WideFileExists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string WindowsFolder() {
  char buffer[MAX_PATH] = "";
  ::GetWindowsDirectoryA(buffer, MAX_PATH);
  return buffer;
}

std::string ProgramsFolder() {
  return RegString(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                   "Programs")
      .value_or("");
}

// What the installation writes, removed at the end whatever the test got to.
struct Installation {
  std::string work = "C:\\talvenor-e2e-archives-" + std::to_string(::GetCurrentProcessId()) + "\\";
  std::string target = work + "Talvenor\\";
  std::string programKey = "Software\\TalvenorE2E-Archives";
  std::string uninstallEntry = "TalvenorE2E-Archives";
  std::string group = "TalvenorE2E Archive";
  std::string uninstaller = WindowsFolder() + "\\UnInstall.exe";
  bool uninstallerWasThere = FileExists(uninstaller);

  Installation() {
    RemoveTree(work);
    ::CreateDirectoryA(work.c_str(), nullptr);
  }
  ~Installation() {
    RemoveTree(work);
    RegDeleteTree(HKEY_LOCAL_MACHINE, programKey);
    RegDeleteTree(HKEY_LOCAL_MACHINE, kUninstallRoot + uninstallEntry);
    const std::string groupFolder = ProgramsFolder() + "\\" + group;
    ::DeleteFileA((groupFolder + "\\UnInstall.lnk").c_str());
    ::RemoveDirectoryA(groupFolder.c_str());
    if (!uninstallerWasThere) ::DeleteFileA(uninstaller.c_str());
  }
  Installation(const Installation&) = delete;
  Installation& operator=(const Installation&) = delete;

  std::string SetupInf() const {
    return "[Defaults]\r\nSprache=german.lng\r\nfirstpage=german.lng\r\n[Program]\r\nProgramEntry=" + programKey +
           "\r\n[UnInstall]\r\nUnInstallEntry=" + uninstallEntry + "\r\n[Group]\r\nGroupname=" + group + "\r\n";
  }
  std::string SetupInfCopy() const { return target + "Setup.inf"; }
};

// Walks the German wizard to the ready page with the target folder typed into the folder dialog.
void WalkToReadyPage(const Process& setup, HWND wizard, const std::string& target) {
  ASSERT_TRUE(WaitPage(wizard, "Sprachwahl"));
  ASSERT_TRUE(Press(wizard, "&Weiter >"));
  ASSERT_TRUE(WaitPage(wizard, "Welcome"));
  ASSERT_TRUE(Press(wizard, "&Weiter >"));
  ASSERT_TRUE(WaitPage(wizard, "license"));
  ASSERT_TRUE(Press(wizard, "&Akzeptieren>"));
  ASSERT_TRUE(WaitPage(wizard, "Dir"));
  ASSERT_TRUE(Press(wizard, "S&uchen..."));
  HWND dialog = setup.WaitWindow("TForm4");
  ASSERT_NE(dialog, nullptr);
  SetText(FindChild(dialog, "Edit"), target.substr(0, target.size() - 1));
  ASSERT_TRUE(Press(dialog, "&Ok"));
  ASSERT_TRUE(setup.WaitHidden("TForm4"));
  ASSERT_TRUE(Press(wizard, "&Weiter>"));
  ASSERT_TRUE(WaitPage(wizard, "ready"));
}

ziptest::Entry Member(const std::string& name, const std::string& data, uint16_t versionMadeBy,
                      uint16_t flags = 0) {
  ziptest::Entry e;
  e.name = name;
  e.data = data;
  e.versionMadeBy = versionMadeBy;
  e.extraFlags = flags;
  return e;
}

TEST(Archives, NamesWithUmlautsAndAnUndatedMemberAreInstalledListedAndUninstalled) {
  constexpr uint16_t kUnix = 0x0314, kFat = 0x0014, kUtf8Flag = 0x0800;
  ziptest::ZipWriter zip;
  // "Ruftöne/Melodie Ä.mid" as bsdtar, 7z and Python write it, and as a DOS zip tool wrote it
  // (ö and Ä have the same bytes in the OEM code pages 437 and 850).
  zip.Add(Member("Ruft\xC3\xB6ne/Melodie \xC3\x84.mid", "MThd utf-8", kUnix, kUtf8Flag));
  zip.Add(Member("DOS/Ruft\x94ne/Melodie \x8E.mid", "MThd oem", kFat));
  ziptest::Entry undated = Member("ohne Datum.txt", "Datum 0", kFat);
  undated.modified = unzip::DosTime{0, 0};
  zip.Add(undated);
  const std::vector<uint8_t> bytes = zip.Finish();

  Installation inst;
  Medium medium;
  medium.Write("german.lng", ReadFile(SourceFile("medium\\german.lng")));
  medium.Write("Licence.txt", "Lizenz des Tests\r\n");
  medium.Write("Setup.zip", std::string(bytes.begin(), bytes.end()));
  medium.WriteSetupInf(inst.SetupInf());
  medium.AddBuildFile("medium-bin\\UNZIPLIB.DLL", "UNZIPLIB.DLL");
  medium.AddBuildFile("bin\\UnInstall.exe", "UnInstall.exe");

  Process setup(medium.SetupExe());
  HWND wizard = setup.WaitWindow("TForm2");
  ASSERT_NE(wizard, nullptr);
  ASSERT_NO_FATAL_FAILURE(WalkToReadyPage(setup, wizard, inst.target));
  ASSERT_TRUE(Press(wizard, "&Weiter>"));
  ASSERT_TRUE(WaitUntil([&] { return Visible(wizard) && FindChild(wizard, "Button", "&Ende", true); }, 60000));

  const std::wstring target = Wide(inst.target);
  const std::wstring melody = L"Ruft\u00F6ne\\Melodie \u00C4.mid";
  EXPECT_TRUE(WideFileExists(target + melody));
  EXPECT_TRUE(WideFileExists(target + L"DOS\\" + melody));
  EXPECT_EQ(ReadFile(inst.target + Ansi(melody)), "MThd utf-8");
  EXPECT_EQ(ReadFile(inst.target + "DOS\\" + Ansi(melody)), "MThd oem");
  EXPECT_EQ(ReadFile(inst.target + "ohne Datum.txt"), "Datum 0");

  const std::string copy = inst.SetupInfCopy();
  EXPECT_EQ(IniString(copy, "InstalledFiles", "Count"), "4");
  EXPECT_EQ(IniString(copy, "InstalledFiles", "0"), inst.target + Ansi(melody));
  EXPECT_EQ(IniString(copy, "InstalledFiles", "1"), inst.target + "DOS\\" + Ansi(melody));
  EXPECT_EQ(IniString(copy, "InstalledFiles", "2"), inst.target + "ohne Datum.txt");
  EXPECT_EQ(IniString(copy, "InstalledFiles", "3"), copy);

  ASSERT_TRUE(Press(wizard, "&Ende"));
  EXPECT_TRUE(setup.WaitExit(kWaitMs));

  Process uninstall(inst.uninstaller, "\"" + copy + "\" /quiet");
  ASSERT_TRUE(uninstall.WaitExit(60000));
  EXPECT_EQ(uninstall.ExitCode(), 0u);
  EXPECT_FALSE(WideFileExists(target + melody));
  EXPECT_FALSE(WideFileExists(target + L"DOS\\" + melody));
  EXPECT_FALSE(FolderExists(inst.target));
}

}  // namespace
