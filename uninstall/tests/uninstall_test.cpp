// Runs the real UnInstall.exe /quiet against installations laid out the way setup leaves
// them: files below a target folder, the copy of Setup.inf with InstalledFiles, registry
// entries below HKEY_LOCAL_MACHINE and links written with the link component.
#include "ShellLinkWriter.h"

#include "files.h"
#include "folder_links.h"
#include "handle.h"
#include "profile.h"
#include "registry.h"
#include "shell_folder_override.h"
#include "utf8_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

using shelllink::testing::ShellFolderOverride;
using testsupport::MakeFolderLink;
using testsupport::RemoveFolderLink;

namespace {

const char kUninstallRoot[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// The uninstaller built beside this test, as a Windows path (Wine shows the Linux root as Z:).
std::string UninstallerPath() {
  std::string path = "Z:" UNINSTALL_EXE;
  for (char& c : path) c = (c == '/') ? '\\' : c;
  return path;
}

// A running uninstaller, ended if it is still running when the test lets go of it.
class UninstallerProcess {
 public:
  explicit UninstallerProcess(const std::string& arguments) {
    std::string commandLine = "\"" + UninstallerPath() + "\" " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (::CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
      process_.reset(process.hProcess);
      thread_.reset(process.hThread);
    }
  }
  ~UninstallerProcess() {
    if (process_ && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) ::TerminateProcess(process_.get(), 99);
  }

  // The exit code; -2 when it did not start, -1 when it did not end within a minute.
  int Wait() {
    if (!process_) return -2;
    if (::WaitForSingleObject(process_.get(), 60000) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    ::GetExitCodeProcess(process_.get(), &code);
    return int(code);
  }

  // The next message box of the uninstaller with this caption, within 30 seconds.
  HWND WaitForBox(const std::string& caption) {
    for (int i = 0; i < 300; ++i) {
      if (HWND box = ::FindWindowA("#32770", caption.c_str())) return box;
      if (::WaitForSingleObject(process_.get(), 100) == WAIT_OBJECT_0) return nullptr;
    }
    return nullptr;
  }

 private:
  platform::UniqueHandle process_, thread_;
};

int RunUninstaller(const std::string& arguments) { return UninstallerProcess(arguments).Wait(); }

// The text of a message box (its static text control) and a click on one of its buttons.
std::string BoxText(HWND box) {
  char text[4096] = "";
  ::GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
  return text;
}

void Press(HWND box, int button) { ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0); }

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

void WriteFile(const std::string& path, const std::string& text = "data") {
  platform::ForceDirectories(platform::ExtractFilePath(path));
  std::ofstream(path, std::ios::binary) << text;
}

// A log of the uninstaller, in the ANSI code page like the paths it names.
std::string ReadLog(const std::string& path) {
  std::string utf8;
  return platform::ReadWholeFile(path, utf8) ? testsupport::AnsiFromUtf8(utf8) : std::string();
}

// The logs that /LOG without a name leaves in the temporary folder.
std::vector<std::string> TemporaryLogs() {
  std::vector<std::string> logs;
  for (const std::string& name : platform::ListFiles(platform::TempFolder()))
    if (name.rfind("Talvenor Uninstall Log ", 0) == 0) logs.push_back(name);
  return logs;
}

bool KeyExists(const std::string& path) { return platform::Registry(HKEY_LOCAL_MACHINE).OpenKeyReadOnly(path); }

bool ValueExists(const std::string& path, const std::string& name) {
  platform::Registry key(HKEY_LOCAL_MACHINE);
  return key.OpenKeyReadOnly(path) && key.HasValue(name);
}

class UninstallTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string id = std::to_string(::GetCurrentProcessId());
    root_ = platform::TempFolder() + "TalvenorUninstallTest" + id + "\\";
    std::filesystem::remove_all(root_);
    target_ = root_ + "Programme\\Talvenor\\";
    programs_ = root_ + "Startmenü\\Programme";
    startup_ = root_ + "Autostart";
    ASSERT_TRUE(platform::ForceDirectories(programs_));
    ASSERT_TRUE(platform::ForceDirectories(startup_));
    shellFolders_.Set("Programs", programs_);
    shellFolders_.Set("Startup", startup_);
    companyKey_ = "Software\\TalvenorUninstallTest" + id;
    programEntry_ = companyKey_ + "\\Talvenor";
    uninstallEntry_ = "TalvenorUninstallTest" + id;
    setupInf_ = target_ + "Setup.inf";
  }

  void TearDown() override {
    // An empty name would delete the whole root (SetUp stopped before naming the keys).
    if (companyKey_.empty()) return;
    ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, companyKey_.c_str());
    ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, (kUninstallRoot + uninstallEntry_).c_str());
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }

  // Does what setup does: the copy of Setup.inf with its sections, the registry entries,
  // the extracted files, InstalledFiles, the uninstaller's link, the autostart link and the
  // group links.
  void Install(const std::vector<std::string>& relativeFiles) {
    const platform::ProfileFile inf(setupInf_);
    platform::ForceDirectories(target_);
    inf.WriteString("Program", "ProgramEntry", "\\" + programEntry_);
    inf.WriteString("UnInstall", "UnInstallEntry", uninstallEntry_);
    inf.WriteString("UnInstall", "DisPlayName", "Talvenor Test");
    inf.WriteString("Group", "Groupname", group_);
    inf.WriteString("GroupEntries", "Talvenor", "talv20.exe");
    inf.WriteString("GroupEntries", "Liesmich", "Daten\\liesmich.txt");
    inf.WriteString("Autostart", "ExeString", "talv20.exe /sleep");
    inf.WriteString("Autostart", "Description", "Talvenor Sleep");

    platform::Registry program(HKEY_LOCAL_MACHINE);
    program.OpenKey("\\" + programEntry_);
    program.WriteString("Programmpfad", target_);
    program.WriteBool("sleepmode", false);
    program.WriteBool("fixed", true);
    program.WriteString("Sprache", "german.lng");
    program.WriteInteger("Kommunikation", 0);
    platform::Registry uninstall(HKEY_LOCAL_MACHINE);
    uninstall.OpenKey(kUninstallRoot + uninstallEntry_);
    uninstall.WriteString("DisplayName", "Talvenor Test");
    uninstall.WriteString("UnInstallstring",
                          Quoted(platform::WindowsFolder() + "\\UnInstall.exe") + " " + Quoted(setupInf_));

    for (const std::string& file : relativeFiles) WriteFile(target_ + file);
    ListFiles(relativeFiles);

    platform::ComApartment com;
    shelllink::TShellLinkWriter links(nullptr, "progman2");
    links.CreateIn.ShellFolder = shelllink::sfProgramsMenu;
    links.CreateIn.SetSubfolder("\\" + group_);
    links.LinkName = "UnInstall";
    links.LinkTarget = platform::WindowsFolder() + "\\UnInstall.exe";
    links.ParamString = Quoted(setupInf_);
    links.CreateLink(false);

    links.CreateIn.ShellFolder = shelllink::sfStartup;
    links.CreateIn.SetSubfolder("");
    links.WorkingDirectory = target_;
    links.LinkName = "Talvenor Sleep";
    links.LinkTarget = target_ + "talv20.exe";
    links.ParamString = " /sleep";
    links.CreateLink(false);

    links.CreateIn.ShellFolder = shelllink::sfProgramsMenu;
    links.CreateIn.SetSubfolder("\\" + group_);
    links.ParamString.clear();
    for (const auto& [name, file] :
         {std::pair{"Talvenor", "talv20.exe"}, std::pair{"Liesmich", "Daten\\liesmich.txt"}}) {
      links.LinkName = name;
      links.LinkTarget = target_ + file;
      links.CreateLink(false);
    }
  }

  // InstalledFiles as the installation run writes it: the files, then the copy itself.
  void ListFiles(const std::vector<std::string>& relativeFiles, const std::vector<std::string>& absoluteFiles = {}) {
    const platform::ProfileFile inf(setupInf_);
    std::vector<std::string> entries;
    for (const std::string& f : relativeFiles) entries.push_back(target_ + f);
    entries.insert(entries.end(), absoluteFiles.begin(), absoluteFiles.end());
    entries.push_back(setupInf_);
    inf.WriteString("InstalledFiles", "Count", std::to_string(entries.size()));
    for (size_t i = 0; i < entries.size(); ++i) inf.WriteString("InstalledFiles", std::to_string(i), entries[i]);
  }

  // The uninstall entry as another installation's, whose Setup.inf copy is `setupInf`.
  void PointUninstallEntryAt(const std::string& setupInf) {
    platform::Registry uninstall(HKEY_LOCAL_MACHINE);
    uninstall.OpenKey(kUninstallRoot + uninstallEntry_);
    uninstall.WriteString("UnInstallstring", "\"C:\\windows\\UnInstall.exe\" " + Quoted(setupInf));
  }

  std::string GroupFolder() const { return group_.empty() ? programs_ : programs_ + "\\" + group_; }

  const std::vector<std::string> files_ = {"talv20.exe",
                                           "talvenor.dll",
                                           "Daten\\liesmich.txt",
                                           "Daten\\Logos\\logo1.bmp",
                                           "Daten\\Logos\\logo2.bmp",
                                           "Daten\\Klingeltöne\\ton1.mid"};
  std::string root_, target_, programs_, startup_, setupInf_;
  std::string companyKey_, programEntry_, uninstallEntry_;
  std::string group_ = "Talvenor Gruppe";
  ShellFolderOverride shellFolders_;
};

TEST_F(UninstallTest, RemovesEverythingSetupWroteAndTheFoldersItEmptied) {
  Install(files_);
  ::SetFileAttributesA((target_ + "talvenor.dll").c_str(), FILE_ATTRIBUTE_READONLY);
  platform::Registry other(HKEY_LOCAL_MACHINE);
  other.OpenKey(companyKey_ + "\\Andere");
  other.WriteString("Wächter", "bleibt");
  other.Close();
  ASSERT_TRUE(platform::FileExists(GroupFolder() + "\\UnInstall.lnk"));
  ASSERT_TRUE(platform::FileExists(startup_ + "\\Talvenor Sleep.lnk"));
  const auto logsBefore = TemporaryLogs();

  EXPECT_EQ(RunUninstaller(Quoted(setupInf_) + " /quiet /LOG"), 0);

  // A new log in the temporary folder names every removal and the exit code.
  auto logs = TemporaryLogs();
  for (const std::string& old : logsBefore) logs.erase(std::remove(logs.begin(), logs.end(), old), logs.end());
  ASSERT_EQ(logs.size(), 1u);
  const std::string log = ReadLog(platform::TempFolder() + logs.front());
  ::DeleteFileA((platform::TempFolder() + logs.front()).c_str());
  for (const std::string& file : files_)
    EXPECT_NE(log.find(" Entfernt: " + target_ + file + "\r\n"), std::string::npos) << file;
  EXPECT_NE(log.find(" Entfernt: " + startup_ + "\\Talvenor Sleep.lnk\r\n"), std::string::npos) << log;
  EXPECT_NE(log.find(" Entfernt: HKEY_LOCAL_MACHINE\\" + programEntry_ + "\\Programmpfad\r\n"), std::string::npos)
      << log;
  EXPECT_NE(log.find(" Entfernt: " + target_.substr(0, target_.size() - 1) + "\r\n"), std::string::npos) << log;
  EXPECT_EQ(log.find("Nicht entfernt"), std::string::npos) << log;
  EXPECT_NE(log.find(" Exit-Code: 0\r\n"), std::string::npos) << log;

  EXPECT_FALSE(platform::DirectoryExists(target_));
  EXPECT_TRUE(platform::DirectoryExists(root_ + "Programme"));
  EXPECT_FALSE(platform::DirectoryExists(GroupFolder()));
  EXPECT_TRUE(platform::DirectoryExists(programs_));
  EXPECT_TRUE(platform::DirectoryExists(startup_));
  EXPECT_TRUE(platform::ListFiles(startup_).empty());
  EXPECT_FALSE(KeyExists(programEntry_));
  EXPECT_FALSE(KeyExists(kUninstallRoot + uninstallEntry_));
  EXPECT_TRUE(KeyExists(kUninstallRoot));
  EXPECT_TRUE(ValueExists(companyKey_ + "\\Andere", "Wächter"));
}

TEST_F(UninstallTest, KeepsWhatSetupDidNotWrite) {
  Install(files_);
  WriteFile(target_ + "eigene Notizen.txt");
  WriteFile(target_ + "Daten\\Logos\\eigenes Logo.bmp");
  platform::Registry program(HKEY_LOCAL_MACHINE);
  program.OpenKey(programEntry_);
  program.WriteString("Benutzer", "Anna");
  program.Close();
  shelllink::TShellLinkWriter foreign(nullptr);
  {
    platform::ComApartment com;
    foreign.CreateIn.ShellFolder = shelllink::sfProgramsMenu;
    foreign.CreateIn.SetSubfolder("\\" + group_);
    foreign.LinkName = "Fremd";
    foreign.LinkTarget = "C:\\windows\\notepad.exe";
    foreign.CreateLink(false);
  }

  EXPECT_EQ(RunUninstaller("/QUIET " + Quoted(setupInf_)), 0);

  for (const std::string& file : files_) EXPECT_FALSE(platform::FileExists(target_ + file)) << file;
  EXPECT_FALSE(platform::FileExists(setupInf_));
  EXPECT_TRUE(platform::FileExists(target_ + "eigene Notizen.txt"));
  EXPECT_TRUE(platform::FileExists(target_ + "Daten\\Logos\\eigenes Logo.bmp"));
  EXPECT_FALSE(platform::DirectoryExists(target_ + "Daten\\Klingeltöne"));
  EXPECT_EQ(platform::ListFiles(GroupFolder()), std::vector<std::string>{"Fremd.lnk"});
  EXPECT_TRUE(platform::ListFiles(startup_).empty());
  EXPECT_TRUE(ValueExists(programEntry_, "Benutzer"));
  for (const char* name : {"Programmpfad", "sleepmode", "fixed", "Sprache", "Kommunikation"})
    EXPECT_FALSE(ValueExists(programEntry_, name)) << name;
  EXPECT_FALSE(KeyExists(kUninstallRoot + uninstallEntry_));
}

TEST_F(UninstallTest, LeavesListedFilesOutsideTheTargetFolderAndForeignLinksAlone) {
  Install(files_);
  const std::string outside = root_ + "Andere\\fremd.dll";
  const std::string escaping = target_ + "..\\Nachbar\\nachbar.dll";
  WriteFile(outside);
  WriteFile(root_ + "Programme\\Nachbar\\nachbar.dll");
  ListFiles(files_, {outside, escaping, "talv20.exe"});
  // A link of a group entry's name that points somewhere else is not this installation's.
  {
    platform::ComApartment com;
    shelllink::TShellLinkWriter foreign(nullptr);
    foreign.CreateIn.ShellFolder = shelllink::sfProgramsMenu;
    foreign.CreateIn.SetSubfolder("\\" + group_);
    foreign.LinkName = "Liesmich";
    foreign.LinkTarget = root_ + "Andere\\liesmich.txt";
    foreign.CreateLink(false);
  }

  const std::string logPath = root_ + "Entfernen.log";
  EXPECT_EQ(RunUninstaller(Quoted(setupInf_) + " /quiet " + Quoted("/LOG=" + logPath)), 1);

  // The log says what stayed and why.
  const std::string log = ReadLog(logPath);
  EXPECT_NE(log.find(" Nicht entfernt: " + outside + ": liegt außerhalb des Installationsordners\r\n"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find(" Entfernt: " + target_ + "talv20.exe\r\n"), std::string::npos) << log;
  EXPECT_NE(log.find(" Exit-Code: 1\r\n"), std::string::npos) << log;
  EXPECT_TRUE(platform::FileExists(outside));
  EXPECT_TRUE(platform::FileExists(root_ + "Programme\\Nachbar\\nachbar.dll"));
  EXPECT_FALSE(platform::DirectoryExists(target_));
  EXPECT_EQ(platform::ListFiles(GroupFolder()), std::vector<std::string>{"Liesmich.lnk"});
  EXPECT_FALSE(KeyExists(programEntry_));
}

// Only what lies in the target folder goes: a folder link in it is removed as a link (where
// the system can), and what it points to stays. An uninstall entry naming a Setup.inf that
// the user's locale would take for this one (it ignores a soft hyphen) is another's.
TEST_F(UninstallTest, RemovesFolderLinksButNeverWhatTheyPointTo) {
  Install(files_);
  const std::string elsewhere = root_ + "Anderswo\\";
  WriteFile(elsewhere + "logo1.bmp", "fremd");
  WriteFile(elsewhere + "eigenes.txt", "fremd");
  const std::string link = target_ + "Daten\\Logos";
  std::filesystem::remove_all(link);
  struct LinkRemover {
    std::string link;
    ~LinkRemover() { RemoveFolderLink(link); }
  } remover{link};
  ASSERT_TRUE(MakeFolderLink(link, elsewhere.substr(0, elsewhere.size() - 1)));
  ASSERT_TRUE(platform::FileExists(target_ + "Daten\\Logos\\logo1.bmp"));
  PointUninstallEntryAt(root_ + "Programme\\Tal\xADvenor\\Setup.inf");

  EXPECT_EQ(RunUninstaller(Quoted(setupInf_) + " /quiet"), 1);

  EXPECT_TRUE(platform::FileExists(elsewhere + "logo1.bmp"));
  EXPECT_TRUE(platform::FileExists(elsewhere + "eigenes.txt"));
  EXPECT_TRUE(ValueExists(kUninstallRoot + uninstallEntry_, "DisplayName"));
  EXPECT_FALSE(platform::FileExists(target_ + "talv20.exe"));
}

TEST_F(UninstallTest, RegistryEntriesOfAnotherInstallationStay) {
  group_.clear();  // links directly in the Programs menu
  Install(files_);
  platform::Registry program(HKEY_LOCAL_MACHINE);
  program.OpenKey(programEntry_);
  program.WriteString("Programmpfad", root_ + "Anderswo\\Talvenor\\");
  program.Close();
  PointUninstallEntryAt(root_ + "Anderswo\\Talvenor\\Setup.inf");

  EXPECT_EQ(RunUninstaller(Quoted(setupInf_) + " /quiet"), 1);

  EXPECT_TRUE(ValueExists(programEntry_, "Programmpfad"));
  EXPECT_TRUE(ValueExists(programEntry_, "Sprache"));
  EXPECT_TRUE(ValueExists(kUninstallRoot + uninstallEntry_, "DisplayName"));
  EXPECT_FALSE(platform::DirectoryExists(target_));
  EXPECT_TRUE(platform::ListFiles(programs_).empty());
  EXPECT_TRUE(platform::DirectoryExists(programs_));
}

TEST_F(UninstallTest, BadArgumentsChangeNothing) {
  Install(files_);
  EXPECT_EQ(RunUninstaller("/quiet"), 2);
  EXPECT_EQ(RunUninstaller(Quoted(target_ + "Fehlt.inf") + " /quiet"), 2);
  EXPECT_EQ(RunUninstaller(Quoted(setupInf_) + " /quiet /silent"), 2);
  EXPECT_EQ(RunUninstaller(Quoted(setupInf_) + " " + Quoted(setupInf_) + " /quiet"), 2);

  // A Setup.inf in a drive root would make the whole drive the target folder.
  const std::string rootInf = root_.substr(0, 3) + "Setup.inf";
  ASSERT_TRUE(::CopyFileA(setupInf_.c_str(), rootInf.c_str(), FALSE));
  EXPECT_EQ(RunUninstaller(Quoted(rootInf) + " /quiet"), 2);
  ::DeleteFileA(rootInf.c_str());

  for (const std::string& file : files_) EXPECT_TRUE(platform::FileExists(target_ + file)) << file;
  EXPECT_TRUE(platform::FileExists(setupInf_));
  EXPECT_TRUE(platform::FileExists(GroupFolder() + "\\UnInstall.lnk"));
  EXPECT_TRUE(ValueExists(programEntry_, "Programmpfad"));
}

TEST_F(UninstallTest, AsksFirstAndReportsAtTheEnd) {
  Install(files_);
  const std::string caption = "Talvenor Test Deinstallation";
  {
    UninstallerProcess declined(Quoted(setupInf_));
    HWND question = declined.WaitForBox(caption);
    ASSERT_NE(question, nullptr);
    EXPECT_NE(BoxText(question).find("Möchten Sie Talvenor Test"), std::string::npos) << BoxText(question);
    Press(question, IDNO);
    EXPECT_EQ(declined.Wait(), 1);
  }
  EXPECT_TRUE(platform::FileExists(setupInf_));
  EXPECT_TRUE(platform::FileExists(GroupFolder() + "\\UnInstall.lnk"));

  WriteFile(target_ + "eigene Notizen.txt");
  UninstallerProcess accepted(Quoted(setupInf_));
  HWND question = accepted.WaitForBox(caption);
  ASSERT_NE(question, nullptr);
  Press(question, IDYES);
  // The question closes, then the report opens under the same caption.
  HWND report = nullptr;
  for (int i = 0; i < 300 && (!report || report == question); ++i) {
    report = accepted.WaitForBox(caption);
    if (report == question) ::Sleep(100);
  }
  ASSERT_NE(report, nullptr);
  const std::string text = BoxText(report);
  EXPECT_NE(text.find("Talvenor Test wurde vollständig entfernt."), std::string::npos) << text;
  EXPECT_NE(text.find("Der Ordner " + target_ + " enthält noch weitere Dateien"), std::string::npos) << text;
  Press(report, IDOK);
  EXPECT_EQ(accepted.Wait(), 0);
  EXPECT_FALSE(platform::FileExists(setupInf_));
  EXPECT_TRUE(platform::FileExists(target_ + "eigene Notizen.txt"));
}

}  // namespace
