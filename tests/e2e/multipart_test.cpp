// Installing from a multi-part archive: Setup.zip is the last part of a set, which the archive
// component joins into one temporary archive before the unzip library extracts it. Numbered
// part files on a fixed drive are read without a prompt; on a removable drive every part is a
// disk, asked for in a message box.
#include "span_set_builder.h"
#include "wizard_steps.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <set>
#include <thread>

using namespace e2e;

namespace {

const char* const kWork = "C:\\talvenor-e2e-multipart";
const char* const kProgramEntry = "Software\\TalvenorE2EMultipart";
const char* const kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TalvenorE2EMultipart";
const char* const kGroup = "Talvenor E2E Multipart";

std::string AsText(const spantest::Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

// The installed program: files in folders, one with a data descriptor, sizes that make each
// part cut through member data.
std::vector<spantest::Member> ProgramFiles() {
  const auto member = [](const std::string& name, size_t size, uint32_t seed, bool dataDescriptor) {
    spantest::Member m;
    m.name = name;
    m.data = spantest::PatternBytes(size, seed);
    m.dataDescriptor = dataDescriptor;
    return m;
  };
  return {member("Talvenor.exe", 150000, 1, false), member("Daten/Logos/operator.bmp", 40000, 2, true),
          member("Daten/Klingeltoene/ring.mid", 70000, 3, false), member("liesmich.txt", 900, 4, false)};
}

std::string WindowsPath(std::string name) {
  for (char& c : name)
    if (c == '/') c = '\\';
  return name;
}

std::string SetupInf() {
  return std::string("[Program]\r\nProgramname=Talvenor\r\nProgramEntry=") + kProgramEntry +
         "\r\n\r\n[Defaults]\r\nSprache=german.lng\r\nfirstpage=german.lng\r\nfixed=1\r\n\r\n"
         "[Uninstall]\r\nUnInstallEntry=TalvenorE2EMultipart\r\nDisPlayName=Talvenor Mehrteilig\r\n"
         "UninstallString=UnInstallMultipart.exe\r\n\r\n[Group]\r\nGroupname=" +
         kGroup + "\r\n";
}

std::string TempPath() {
  char temp[MAX_PATH];
  ::GetTempPathA(sizeof temp, temp);
  return temp;
}

// The joined copies that the archive component makes in the temporary folder, and the
// folders it makes for them ("zip-" and 32 hexadecimal digits).
std::set<std::string> JoinedCopies() {
  std::set<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE search = ::FindFirstFileA((TempPath() + "zip*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do names.insert(found.cFileName);
  while (::FindNextFileA(search, &found));
  ::FindClose(search);
  return names;
}

// A user's process watching the temporary folder while setup runs: it renames each new
// folder of a join the moment it sees it, to put a folder with an archive of its own in its
// place. Setup holds the folder open from its creation to its removal, so that must fail.
class JoinFolderWatcher {
 public:
  JoinFolderWatcher() : before_(JoinedCopies()), thread_([this] { Run(); }) {}
  ~JoinFolderWatcher() { Stop(); }
  JoinFolderWatcher(const JoinFolderWatcher&) = delete;
  JoinFolderWatcher& operator=(const JoinFolderWatcher&) = delete;

  // The folders seen and the renames that worked; read after Stop.
  void Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }
  const std::set<std::string>& Seen() const { return seen_; }
  int Renamed() const { return renamed_; }

 private:
  void Run() {
    while (!stop_) {
      for (const std::string& name : JoinedCopies()) {
        if (before_.count(name) || name.rfind("zip-", 0) != 0) continue;
        seen_.insert(name);
        const std::string folder = TempPath() + name;
        if (::MoveFileA(folder.c_str(), (folder + "-moved").c_str())) ++renamed_;
      }
      ::Sleep(1);
    }
  }

  const std::set<std::string> before_;
  std::set<std::string> seen_;
  int renamed_ = 0;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

void LayOutMedium(const std::string& folder) {
  WriteFile(folder + "german.lng", ReadFile(SourceFile("medium\\german.lng")));
  WriteFile(folder + "Licence.txt", "Lizenz\r\n");
  WriteFile(folder + "Setup.inf", SetupInf());
  CopyFileTo(BuildFile("medium-bin\\UNZIPLIB.DLL"), folder + "UNZIPLIB.DLL");
}

TEST(Multipart, ThreePartFilesOnAFixedDriveInstallEveryFileWithoutAPrompt) {
  InstallationTraces traces(kWork, kProgramEntry, kUninstallKey, kGroup);
  const auto members = ProgramFiles();
  const spantest::BuiltSet set = spantest::BuildEvenSpanSet(members, 3);
  ASSERT_EQ(set.parts.size(), 3u);
  ASSERT_EQ(set.endRecord.disk, 2);

  // The run lists SourceDir + "setup.zip"; the component looks for its other parts under
  // that name with the number in place of the three characters before the extension.
  Medium medium;
  LayOutMedium(medium.Path());
  medium.Write("Se001.zip", AsText(set.parts[0]));
  medium.Write("Se002.zip", AsText(set.parts[1]));
  medium.Write("Setup.zip", AsText(set.parts[2]));
  const auto copiesBefore = JoinedCopies();

  const std::string target = std::string(kWork) + "\\Ziel";
  Process setup(medium.SetupExe());
  HWND wizard = setup.WaitWindow("TForm2");
  ASSERT_NE(wizard, nullptr);
  JoinFolderWatcher watcher;
  WalkToTheRun(setup, wizard, target);
  const auto started = std::chrono::steady_clock::now();
  SaveScreenShotIfAsked("multipart-copying");

  ASSERT_NO_FATAL_FAILURE(WaitFinishWithoutMessage(setup, wizard, 120000));
  ASSERT_TRUE(FinishPageShown(wizard));
  watcher.Stop();
  // One folder of the join, with a name no one can guess, never renamed, and gone again.
  ASSERT_EQ(watcher.Seen().size(), 1u);
  EXPECT_EQ(watcher.Seen().begin()->size(), 4u + 32u);
  EXPECT_EQ(watcher.Renamed(), 0);
  const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  std::printf(
      "multi-part install: run to the finish page in %.1f s (the run's own 1.5 s start and 0.5 s wait included)\n",
      seconds);
  SaveScreenShotIfAsked("multipart-finish");

  // Every member byte for byte, the installed-file list in archive order, no joined copy left.
  const std::string folder = target + "\\";
  for (const auto& m : members) EXPECT_EQ(ReadFile(folder + WindowsPath(m.name)), AsText(m.data)) << m.name;
  const std::string copy = folder + "Setup.inf";
  // The join's own progress events do not enter the list: each extracted file once, then the copy.
  std::vector<std::string> expected;
  for (const auto& m : members) expected.push_back(folder + WindowsPath(m.name));
  expected.push_back(copy);
  const auto listed = InstalledFiles(copy);
  EXPECT_EQ(listed, expected);
  for (const auto& file : listed) EXPECT_TRUE(FileExists(file)) << file;
  EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, kProgramEntry, "Programmpfad"), folder);
  EXPECT_EQ(JoinedCopies(), copiesBefore);

  Finish(setup, wizard);
  // The parts on the medium are left as they were.
  EXPECT_EQ(ReadFile(medium.Path() + "Se001.zip"), AsText(set.parts[0]));
  EXPECT_EQ(ReadFile(medium.Path() + "Setup.zip"), AsText(set.parts[2]));

  // Without a person the parts install as well: nobody is asked for them.
  const std::string second = std::string(kWork) + "\\Zweites\\";
  Process unattended(medium.SetupExe(), "/VERYSILENT /SUPPRESSMSGBOXES /DIR=\"" + second + "\"");
  ASSERT_TRUE(unattended.WaitExit(120000));
  EXPECT_EQ(unattended.ExitCode(), 0u);
  for (const auto& m : members) EXPECT_EQ(ReadFile(second + WindowsPath(m.name)), AsText(m.data)) << m.name;
}

// Files the test puts into the root of the removable drive, deleted again at the end.
class DiskFiles {
 public:
  explicit DiskFiles(std::string root) : root_(std::move(root)) {}
  ~DiskFiles() {
    for (const auto& name : names_) ::DeleteFileA((root_ + name).c_str());
  }
  DiskFiles(const DiskFiles&) = delete;
  DiskFiles& operator=(const DiskFiles&) = delete;
  void Write(const std::string& name, const std::string& bytes) {
    names_.push_back(name);
    WriteFile(root_ + name, bytes);
  }

 private:
  std::string root_;
  std::vector<std::string> names_;
};

// The disk prompt: a new message box of setup, other than `previous`.
std::optional<MessageBoxInfo> WaitPrompt(const Process& setup, HWND previous) {
  std::optional<MessageBoxInfo> box;
  WaitUntil([&] {
    box = FindMessageBox(setup);
    return box && box->hwnd != previous && !box->text.empty();
  });
  return box && box->hwnd != previous ? box : std::nullopt;
}

// The ctest fixture e2e_floppy lends the prefix a removable drive A: holding the set's last
// disk (label "PKBACK# 003"); setup runs from that disk, as from a set of floppies.
TEST(Multipart, LastDiskInARemovableDrivePromptsForTheFirstDiskAndCancelEndsTheJoinCleanly) {
  const std::string root = "A:\\";
  if (::GetDriveTypeA(root.c_str()) != DRIVE_REMOVABLE)
    GTEST_SKIP() << "no removable drive A: (the ctest fixture e2e_floppy provides one)";
  InstallationTraces traces(kWork, kProgramEntry, kUninstallKey, kGroup);
  const auto members = ProgramFiles();
  const spantest::BuiltSet set = spantest::BuildEvenSpanSet(members, 3);
  ASSERT_EQ(set.endRecord.disk, 2);
  ASSERT_EQ(set.centralHeaders.front().disk, 2) << "the directory should start on the last disk";

  DiskFiles disk(root);
  disk.Write("setup.exe", ReadFile(BuildFile("bin\\setup.exe")));
  disk.Write("UNZIPLIB.DLL", ReadFile(BuildFile("medium-bin\\UNZIPLIB.DLL")));
  disk.Write("german.lng", ReadFile(SourceFile("medium\\german.lng")));
  disk.Write("Licence.txt", "Lizenz\r\n");
  disk.Write("Setup.inf", SetupInf());
  disk.Write("Setup.zip", AsText(set.parts[2]));
  const auto copiesBefore = JoinedCopies();

  const std::string target = std::string(kWork) + "\\Ziel";
  Process setup(root + "setup.exe", "", root);
  HWND wizard = setup.WaitWindow("TForm2");
  ASSERT_NE(wizard, nullptr);
  WalkToTheRun(setup, wizard, target);

  // The last disk is in the drive: the join reads its directory without a prompt, then asks
  // for disk 1 of 3.
  const std::string prompt = "Bitte legen Sie Diskette 1 von 3 ein\nin Laufwerk: A:\\";
  auto box = WaitPrompt(setup, nullptr);
  ASSERT_TRUE(box);
  EXPECT_EQ(box->text, prompt);
  EXPECT_EQ(box->caption, "Talvenor Installation");
  SaveScreenShotIfAsked("multipart-disk-prompt");

  // OK with the wrong disk still in the drive asks again.
  ASSERT_TRUE(Answer(*box, "OK"));
  box = WaitPrompt(setup, box->hwnd);
  ASSERT_TRUE(box) << "no second prompt";
  EXPECT_EQ(box->text, prompt);

  // Cancel ends the join without a message of its own; with nothing extracted the run reports
  // the archive as not installed and goes on to the finish page, which says so. No joined
  // copy is left behind.
  ASSERT_TRUE(Answer(*box, "Cancel") || Answer(*box, "Abbrechen"));
  const auto report = WaitPrompt(setup, box->hwnd);
  ASSERT_TRUE(report) << "no report of the archive that was not installed";
  EXPECT_EQ(report->text, "Folgende Dateien konnten nicht installiert werden:\r\n" + root +
                              "setup.zip: Das Archiv fehlt, ist unlesbar oder beschädigt");
  ASSERT_TRUE(Answer(*report, "OK"));
  ASSERT_TRUE(WaitUntil([&] { return FinishPageShown(wizard); }, 60000));
  EXPECT_NE(FindChild(wizard, "Static", "Die Installation ist unvollständig.", true), nullptr);
  EXPECT_FALSE(FindMessageBox(setup).has_value());
  const std::string folder = target + "\\";
  for (const auto& m : members) EXPECT_FALSE(FileExists(folder + WindowsPath(m.name))) << m.name;
  EXPECT_EQ(InstalledFiles(folder + "Setup.inf"), std::vector<std::string>{folder + "Setup.inf"});
  EXPECT_EQ(JoinedCopies(), copiesBefore);
  Finish(setup, wizard);

  // Without a person nobody could change the disks: setup ends before it writes anything.
  const std::string second = std::string(kWork) + "\\Zweites";
  Process unattended(root + "setup.exe", "/VERYSILENT /SUPPRESSMSGBOXES /DIR=\"" + second + "\"", root);
  ASSERT_TRUE(unattended.WaitExit(60000));
  EXPECT_EQ(unattended.ExitCode(), 3u);
  EXPECT_FALSE(FolderExists(second));
}

}  // namespace
