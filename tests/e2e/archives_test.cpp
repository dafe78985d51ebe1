// Archives as zip tools write them, installed by the real setup and removed by the uninstaller:
// names with umlauts stored in UTF-8 (with the flag) and in the OEM code page of a FAT host,
// and a member without a date.
#include "wizard_steps.h"

#include "test_zip.h"

#include <gtest/gtest.h>

using namespace e2e;

namespace {

const char kWork[] = "C:\\talvenor-e2e-archives";
const char kProgramEntry[] = "Software\\TalvenorE2E-Archives";
const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TalvenorE2E-Archives";
const char kGroup[] = "TalvenorE2E Archive";
// The uninstaller under a name of this test's own in the Windows folder.
const char kUninstaller[] = "UnInstallArchives.exe";

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

std::string SetupInf() {
  return std::string(
             "[Defaults]\r\nSprache=german.lng\r\nfirstpage=german.lng\r\nfixed=1\r\n[Program]\r\nProgramEntry=") +
         kProgramEntry + "\r\n[UnInstall]\r\nUnInstallEntry=TalvenorE2E-Archives\r\nUninstallString=" + kUninstaller +
         "\r\n[Group]\r\nGroupname=" + kGroup + "\r\n";
}

ziptest::Entry Member(const std::string& name, const std::string& data, uint16_t versionMadeBy, uint16_t flags = 0) {
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

  InstallationTraces traces(kWork, kProgramEntry, kUninstallKey, kGroup);
  CopiedUninstaller uninstaller(kUninstaller);
  Medium medium;
  medium.Write("german.lng", ReadFile(SourceFile("medium\\german.lng")));
  medium.Write("Licence.txt", "Lizenz des Tests\r\n");
  medium.Write("Setup.zip", std::string(bytes.begin(), bytes.end()));
  medium.WriteSetupInf(SetupInf());
  medium.AddBuildFile("medium-bin\\UNZIPLIB.DLL", "UNZIPLIB.DLL");
  medium.AddBuildFile("bin\\UnInstall.exe", kUninstaller);

  const std::string target = std::string(kWork) + "\\Talvenor\\";
  Process setup(medium.SetupExe());
  HWND wizard = setup.WaitWindow("TForm2");
  ASSERT_NE(wizard, nullptr);
  ASSERT_NO_FATAL_FAILURE(WalkToTheRun(setup, wizard, target.substr(0, target.size() - 1)));
  ASSERT_NO_FATAL_FAILURE(WaitFinishWithoutMessage(setup, wizard, 60000));

  const std::wstring melody = L"Ruft\u00F6ne\\Melodie \u00C4.mid";
  EXPECT_TRUE(WideFileExists(Wide(target) + melody));
  EXPECT_TRUE(WideFileExists(Wide(target) + L"DOS\\" + melody));
  EXPECT_EQ(ReadFile(target + Ansi(melody)), "MThd utf-8");
  EXPECT_EQ(ReadFile(target + "DOS\\" + Ansi(melody)), "MThd oem");
  EXPECT_EQ(ReadFile(target + "ohne Datum.txt"), "Datum 0");
  const std::string copy = target + "Setup.inf";
  EXPECT_EQ(InstalledFiles(copy), (std::vector<std::string>{target + Ansi(melody), target + "DOS\\" + Ansi(melody),
                                                            target + "ohne Datum.txt", copy}));
  // "&Ende" as it stands, autostart box ticked: this medium names no autostart program, so no
  // Startup link is made, and the uninstaller finds nothing of ours it must leave behind.
  ASSERT_TRUE(Press(wizard, "&Ende"));
  ASSERT_TRUE(setup.WaitExit());
  EXPECT_FALSE(FileExists(ShellFolderPath("Startup") + "\\.lnk"));

  Process uninstall(uninstaller.path, "\"" + copy + "\" /quiet");
  ASSERT_TRUE(uninstall.WaitExit(60000));
  EXPECT_EQ(uninstall.ExitCode(), 0u);
  EXPECT_FALSE(WideFileExists(Wide(target) + melody));
  EXPECT_FALSE(WideFileExists(Wide(target) + L"DOS\\" + melody));
  EXPECT_FALSE(FolderExists(target));
}

}  // namespace
