// Setup as an elevated program among things an ordinary user can change: DLLs planted on the
// medium, a target folder that is or becomes a link, values of the medium's Setup.inf that
// would leave their place, and an archive that does not fit the target drive.
//
// Setup on a medium where someone planted DLLs named like those that Windows loads into a GUI
// program: a full installation, with Windows's search order imitated (the planted names are
// loaded native first), loads none of them. The installation's uninstall entry then carries
// what "Apps & features" shows (publisher and version only where the medium names them), and
// the uninstaller removes the whole key.
#include "folder_links.h"
#include "wizard_steps.h"

#include <gtest/gtest.h>

#include <cstdint>

using namespace e2e;

namespace {

// Not version.dll: Wine's own advapi32 imports it, so Wine loads it before the program's
// first instruction (the import check of the build covers setup's own imports).
const char* const kPlantedDlls[] = {"comctl32", "msimg32", "uxtheme", "dwmapi", "cryptbase",   "winmm",
                                    "userenv",  "profapi", "propsys", "dwrite", "textshaping", "windowscodecs"};
const char kUninstallRoot[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const char kEntry[] = "TalvenorE2E-Security";
const char kProgramKey[] = "Software\\TalvenorE2E-Security";
const char kGroup[] = "TalvenorE2E Security";

std::string WindowsPath(const char* hostPath) {
  std::string path = std::string("Z:") + hostPath;
  for (char& c : path) c = (c == '/') ? '\\' : c;
  return path;
}

// Native first for the planted names in every setup.exe that starts meanwhile: Wine's
// per-program overrides (a child takes WINEDLLOVERRIDES from Wine's own environment, not from
// the one its parent hands over).
class NativeFirst {
 public:
  NativeFirst() {
    for (const char* name : kPlantedDlls) RegSetString(HKEY_CURRENT_USER, kKey, name, "native,builtin");
  }
  ~NativeFirst() { RegDeleteTree(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\setup.exe"); }
  NativeFirst(const NativeFirst&) = delete;
  NativeFirst& operator=(const NativeFirst&) = delete;

 private:
  static constexpr const char* kKey = "Software\\Wine\\AppDefaults\\setup.exe\\DllOverrides";
};

// Everything the installation writes, removed before and after the test whatever it got to.
struct Installation {
  std::string work = "C:\\talvenor-e2e-security-" + std::to_string(::GetCurrentProcessId()) + "\\";
  std::string target = work + "Talvenor\\";
  std::string uninstaller = WindowsFolder() + "\\UnInstall.exe";
  bool uninstallerWasThere = FileExists(uninstaller);
  InstallationTraces traces{work, kProgramKey, std::string(kUninstallRoot) + kEntry, kGroup};

  Installation() { ::CreateDirectoryA(work.c_str(), nullptr); }
  ~Installation() {
    if (!uninstallerWasThere) ::DeleteFileA(uninstaller.c_str());
  }
  Installation(const Installation&) = delete;
  Installation& operator=(const Installation&) = delete;
};

uint64_t PayloadBytes(const std::string& folder) {
  uint64_t bytes = 0;
  for (const auto& file : FilesBelow(folder)) bytes += file.second.size();
  return bytes;
}

// A medium with the demo archive and an UnInstall section that adds `uninstallKeys`.
void LayOutMedium(const Medium& medium, const std::string& uninstallKeys) {
  medium.Write("german.lng", ReadFile(SourceFile("medium\\german.lng")));
  medium.Write("Licence.txt", "Lizenz des Tests\r\n");
  medium.Write("Setup.zip", ReadFile(BuildFile("medium\\Setup.zip")));
  medium.AddBuildFile("medium-bin\\UNZIPLIB.DLL", "UNZIPLIB.DLL");
  medium.AddBuildFile("bin\\UnInstall.exe", "UnInstall.exe");
  medium.WriteSetupInf(std::string("[Program]\r\nProgramEntry=") + kProgramKey +
                       "\r\n[Defaults]\r\nSprache=german.lng\r\nfirstpage=german.lng\r\nfixed=1\r\n"
                       "[UnInstall]\r\nUnInstallEntry=" +
                       kEntry + "\r\nDisPlayName=Talvenor E2E\r\n" + uninstallKeys + "[Group]\r\nGroupname=" + kGroup +
                       "\r\n");
}

// A whole installation into `target` as a user makes it, from the welcome page to "&Ende"
// (without the autostart link).
void Install(const Medium& medium, const std::string& target) {
  Process setup(medium.SetupExe());
  HWND wizard = setup.WaitWindow("TForm2");
  ASSERT_NE(wizard, nullptr);
  ASSERT_NO_FATAL_FAILURE(WalkToTheRun(setup, wizard, target));
  ASSERT_TRUE(WaitUntil([&] { return FinishPageShown(wizard); }, 120000));
  ASSERT_NO_FATAL_FAILURE(Finish(setup, wizard));
  ASSERT_TRUE(FileExists(target + "talv20.exe"));
}

const std::string kKey = std::string(kUninstallRoot) + kEntry;

// A stored archive of empty members whose central directory claims `size` bytes for each.
std::string ArchiveClaiming(int members, uint32_t size) {
  const auto put16 = [](std::string& s, uint32_t v) { s += char(v & 0xFF), s += char((v >> 8) & 0xFF); };
  const auto put32 = [&](std::string& s, uint32_t v) { put16(s, v & 0xFFFF), put16(s, v >> 16); };
  std::string locals, central;
  for (int i = 0; i < members; ++i) {
    const std::string name = "f" + std::to_string(i) + ".bin";
    const uint32_t offset = uint32_t(locals.size());
    put32(locals, 0x04034b50), put16(locals, 10), put16(locals, 0), put16(locals, 0), put32(locals, 0);
    put32(locals, 0), put32(locals, 0), put32(locals, 0), put16(locals, uint32_t(name.size())), put16(locals, 0);
    locals += name;
    put32(central, 0x02014b50), put16(central, 20), put16(central, 10), put16(central, 0), put16(central, 0);
    put32(central, 0), put32(central, 0), put32(central, 0), put32(central, size);
    put16(central, uint32_t(name.size())), put16(central, 0), put16(central, 0), put16(central, 0), put16(central, 0);
    put32(central, 0), put32(central, offset);
    central += name;
  }
  std::string end;
  put32(end, 0x06054b50), put16(end, 0), put16(end, 0), put16(end, uint32_t(members)), put16(end, uint32_t(members));
  put32(end, uint32_t(central.size())), put32(end, uint32_t(locals.size())), put16(end, 0);
  return locals + central + end;
}

TEST(Security, PlantedSystemDllNamesAreNotLoadedAndTheUninstallEntryDescribesTheInstallation) {
  Installation inst;
  Medium medium;
  LayOutMedium(medium, "Publisher=Talvenor E2E Verlag\r\nDisplayVersion=2.0 E2E\r\n");
  const std::string recorder = ReadFile(WindowsPath(RECORDING_DLL));
  ASSERT_FALSE(recorder.empty());
  for (const char* name : kPlantedDlls) medium.Write(std::string(name) + ".dll", recorder);

  {
    NativeFirst nativeFirst;
    ASSERT_NO_FATAL_FAILURE(Install(medium, inst.target));
  }
  for (const char* name : kPlantedDlls)
    EXPECT_FALSE(FileExists(medium.Path() + name + ".dll.loaded")) << name << ".dll was loaded from the medium";

  EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, kKey, "DisplayName"), "Talvenor E2E");
  EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, kKey, "DisplayIcon"), inst.uninstaller);
  EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, kKey, "InstallLocation"), inst.target);
  const uint64_t bytes = PayloadBytes(BuildFile("medium-work\\payload"));
  ASSERT_GT(bytes, 0u);
  EXPECT_EQ(RegDword(HKEY_LOCAL_MACHINE, kKey, "EstimatedSize"), DWORD((bytes + 1023) / 1024));
  EXPECT_EQ(RegDword(HKEY_LOCAL_MACHINE, kKey, "NoModify"), 1u);
  EXPECT_EQ(RegDword(HKEY_LOCAL_MACHINE, kKey, "NoRepair"), 1u);
  EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, kKey, "Publisher"), "Talvenor E2E Verlag");
  EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, kKey, "DisplayVersion"), "2.0 E2E");

  Process uninstall(inst.uninstaller, "\"" + inst.target + "Setup.inf\" /quiet");
  ASSERT_TRUE(uninstall.WaitExit(60000));
  EXPECT_EQ(uninstall.ExitCode(), 0u);
  EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kKey));
  EXPECT_FALSE(FolderExists(inst.target));
}

// The uninstaller removes what setup recorded in its own store, not what the copy of Setup.inf
// in the (user-writable) target folder lists besides.
TEST(Security, AMediumWithoutPublisherAndVersionLeavesThemOutAndATamperedListDeletesNothingElse) {
  Installation inst;
  Medium medium;
  LayOutMedium(medium, "Publisher=\r\n");
  ASSERT_NO_FATAL_FAILURE(Install(medium, inst.target));
  EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, kKey, "DisplayName"), "Talvenor E2E");
  EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, kKey, "Publisher"), std::nullopt);
  EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, kKey, "DisplayVersion"), std::nullopt);

  const std::string victim = inst.work + "fremd.txt", own = inst.target + "eigenes.txt";
  WriteFile(victim, "fremd");
  WriteFile(own, "eigenes");
  const std::string copy = inst.target + "Setup.inf";
  const std::vector<std::string> listed = InstalledFiles(copy);
  ASSERT_FALSE(listed.empty());
  std::string section = "Count=" + std::to_string(listed.size() + 2) + "\r\n";
  for (size_t i = 0; i < listed.size(); ++i) section += std::to_string(i) + "=" + listed[i] + "\r\n";
  section += std::to_string(listed.size()) + "=" + victim + "\r\n" + std::to_string(listed.size() + 1) + "=" + own;
  section.push_back('\0');
  ASSERT_TRUE(::WritePrivateProfileSectionA("InstalledFiles", section.c_str(), copy.c_str()));

  Process uninstall(inst.uninstaller, "\"" + copy + "\" /quiet");
  ASSERT_TRUE(uninstall.WaitExit(60000));
  EXPECT_EQ(uninstall.ExitCode(), 1u) << "the entries setup never wrote are reported";
  EXPECT_TRUE(FileExists(victim));
  EXPECT_TRUE(FileExists(own));
  EXPECT_FALSE(FileExists(inst.target + "talv20.exe"));
  EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kKey));
}

// A box whose text holds `expected`, answered with OK; then the wizard shows `page` again.
void ExpectRefusal(const Process& setup, HWND wizard, const std::string& expected, const std::string& page) {
  const auto box = WaitMessageBox(setup);
  ASSERT_TRUE(box);
  EXPECT_NE(box->text.find(expected), std::string::npos) << box->text;
  ASSERT_TRUE(Answer(*box, "OK"));
  ASSERT_TRUE(WaitPage(wizard, page));
}

void ExpectNothingInstalled() {
  EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kProgramKey));
  EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kKey));
}

// A folder link below the target is refused on the folder page before anything is created
// through it; a target folder swapped for a link after that page is refused by the run.
TEST(Security, ATargetFolderThatIsOrLiesBelowALinkIsNeverWrittenThrough) {
  Installation inst;
  Medium medium;
  LayOutMedium(medium, "");
  const std::string elsewhere = inst.work + "elsewhere\\";
  ASSERT_TRUE(::CreateDirectoryA(elsewhere.c_str(), nullptr));
  ASSERT_TRUE(::CreateDirectoryA((elsewhere + "Talvenor").c_str(), nullptr));
  const std::string link = inst.work + "link";
  ASSERT_TRUE(testsupport::MakeFolderLink(link, elsewhere));

  Process setup(medium.SetupExe());
  HWND wizard = setup.WaitWindow("TForm2");
  ASSERT_NE(wizard, nullptr);
  ASSERT_TRUE(WaitPage(wizard, "Welcome"));
  ASSERT_TRUE(Press(wizard, "&Weiter >"));
  ASSERT_TRUE(Press(wizard, "&Akzeptieren>"));
  for (const std::string& target : {link + "\\Talvenor", link + "\\Neu\\Talvenor"}) {
    ASSERT_NO_FATAL_FAILURE(ChooseTargetFolder(setup, wizard, target));
    ASSERT_NO_FATAL_FAILURE(ExpectRefusal(setup, wizard, "Zielordner kann nicht angelegt werden", "Dir"));
  }
  EXPECT_FALSE(FolderExists(elsewhere + "Neu"));

  // A real folder passes the folder page; then it becomes a link before the run starts.
  const std::string real = inst.work + "real";
  ASSERT_NO_FATAL_FAILURE(ChooseTargetFolder(setup, wizard, real + "\\Talvenor"));
  ASSERT_TRUE(WaitPage(wizard, "ready"));
  ASSERT_TRUE(::RemoveDirectoryA((real + "\\Talvenor").c_str()));
  ASSERT_TRUE(::RemoveDirectoryA(real.c_str()));
  ASSERT_TRUE(testsupport::MakeFolderLink(real, elsewhere));
  ASSERT_TRUE(Press(wizard, "&Weiter>"));
  ASSERT_NO_FATAL_FAILURE(ExpectRefusal(setup, wizard, "Zielordner kann nicht angelegt werden", "Dir"));

  EXPECT_TRUE(FilesBelow(elsewhere).empty()) << "written through a link";
  ExpectNothingInstalled();
  setup.Kill();
  testsupport::RemoveFolderLink(real);
  testsupport::RemoveFolderLink(link);
}

// Values that would place the uninstaller, the links or the keys elsewhere stop the run before
// it writes anything, with a message naming the key; so does an archive larger than the free
// space of the target's drive.
TEST(Security, BadSetupInfValuesAndTooLittleSpaceStopTheRunBeforeItWrites) {
  Installation inst;
  const auto expectRefusedRun = [&](const Medium& medium, const std::string& expected) {
    Process setup(medium.SetupExe());
    HWND wizard = setup.WaitWindow("TForm2");
    ASSERT_NE(wizard, nullptr);
    ASSERT_NO_FATAL_FAILURE(WalkToTheRun(setup, wizard, inst.target));
    ASSERT_NO_FATAL_FAILURE(ExpectRefusal(setup, wizard, expected, "ready"));
    setup.Kill();
    EXPECT_FALSE(FileExists(inst.target + "Setup.inf"));
    ExpectNothingInstalled();
  };
  Medium badValue;
  LayOutMedium(badValue, "UninstallString=..\\..\\ProgramData\\x.exe\r\n");
  ASSERT_NO_FATAL_FAILURE(expectRefusedRun(badValue, "UninstallString"));
  // 120 members that say they hold almost 4 GB each.
  Medium tooLarge;
  LayOutMedium(tooLarge, "");
  tooLarge.Write("Setup.zip", ArchiveClaiming(120, 0xFFFFFFF0u));
  ASSERT_NO_FATAL_FAILURE(expectRefusedRun(tooLarge, "nicht genug Platz"));
}

}  // namespace
