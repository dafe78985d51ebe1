// The installation run as a user starts it from a medium, and the uninstaller on what it left:
// registry values with their types, the uninstaller in the Windows folder and every link read
// back through the shell, the extracted files byte for byte, the installed-file list in the
// copy of Setup.inf, the progress bar's last state on screen, cancelling during the
// extraction, and a quiet uninstall that removes the installation and nothing else.
#include "wizard_steps.h"

#include "link_reader.h"
#include "machine_state.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>

#include <shlobj.h>

using namespace e2e;
using shelllink::testing::ReadLink;

namespace {

const char kUninstallRoot[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
// The wizard in German from its first page.
const char kGerman[] = "[Defaults]\r\nSprache=german.lng\r\nfirstpage=german.lng\r\n";

// ---- a small archive writer: stored or deflated members, no folder entries

class ZipWriter {
 public:
  void Add(const std::string& name, const std::string& data, bool deflate = false) {
    const uint32_t crc = uint32_t(::crc32(0, reinterpret_cast<const Bytef*>(data.data()), uInt(data.size())));
    if (!deflate) return AddRaw(name, data, crc, uint32_t(data.size()), 0);
    Deflater d;
    d.Feed(data, Z_FINISH);
    AddRaw(name, d.out, crc, uint32_t(data.size()), 8);
  }

  // A stored member whose recorded CRC does not match its data.
  void AddDamaged(const std::string& name, const std::string& data) {
    const uint32_t crc = uint32_t(::crc32(0, reinterpret_cast<const Bytef*>(data.data()), uInt(data.size())));
    AddRaw(name, data, ~crc, uint32_t(data.size()), 0);
  }

  // A deflated member of `size` bytes that repeats `block`, made without holding it whole.
  void AddRepeated(const std::string& name, const std::string& block, uint32_t size) {
    Deflater d;
    uLong crc = ::crc32(0, nullptr, 0);
    for (uint32_t done = 0; done < size;) {
      const uint32_t length = std::min<uint32_t>(uint32_t(block.size()), size - done);
      const std::string part = block.substr(0, length);
      crc = ::crc32(crc, reinterpret_cast<const Bytef*>(part.data()), uInt(length));
      done += length;
      d.Feed(part, done == size ? Z_FINISH : Z_NO_FLUSH);
    }
    AddRaw(name, d.out, uint32_t(crc), size, 8);
  }

  std::string Bytes() const {
    std::string all = local_;
    const uint32_t directoryOffset = uint32_t(all.size());
    all += central_;
    std::string end = "PK\x05\x06";
    Put16(end, 0), Put16(end, 0), Put16(end, count_), Put16(end, count_);
    Put32(end, uint32_t(central_.size())), Put32(end, directoryOffset), Put16(end, 0);
    return all + end;
  }

 private:
  struct Deflater {
    z_stream z{};
    std::string out;
    Deflater() { ::deflateInit2(&z, 1, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY); }
    ~Deflater() { ::deflateEnd(&z); }
    void Feed(const std::string& data, int flush) {
      z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
      z.avail_in = uInt(data.size());
      char buffer[65536];
      do {
        z.next_out = reinterpret_cast<Bytef*>(buffer);
        z.avail_out = sizeof buffer;
        ::deflate(&z, flush);
        out.append(buffer, sizeof buffer - z.avail_out);
      } while (z.avail_out == 0 || (flush == Z_FINISH && z.avail_in > 0));
    }
  };

  static void Put16(std::string& s, uint32_t v) { s += char(v & 0xFF), s += char((v >> 8) & 0xFF); }
  static void Put32(std::string& s, uint32_t v) { Put16(s, v & 0xFFFF), Put16(s, v >> 16); }

  void AddRaw(const std::string& name, const std::string& stored, uint32_t crc, uint32_t size, uint32_t method) {
    const uint32_t offset = uint32_t(local_.size());
    auto common = [&](std::string& s) {
      Put16(s, 20), Put16(s, 0), Put16(s, method), Put16(s, 0x6000), Put16(s, 0x2AA4);  // 2001-05-04 12:00
      Put32(s, crc), Put32(s, uint32_t(stored.size())), Put32(s, size);
      Put16(s, uint32_t(name.size())), Put16(s, 0);
    };
    local_ += "PK\x03\x04";
    common(local_);
    local_ += name + stored;
    central_ += "PK\x01\x02";
    Put16(central_, 20);
    common(central_);
    Put16(central_, 0), Put16(central_, 0), Put16(central_, 0), Put32(central_, 0), Put32(central_, offset);
    central_ += name;
    ++count_;
  }

  std::string local_, central_;
  uint32_t count_ = 0;
};

// ---- what the installation touches, and putting it back

// The registry type of a value, REG_NONE when it is missing.
DWORD RegType(HKEY root, const std::string& key, const std::string& value) {
  DWORD type = REG_NONE;
  if (::RegGetValueA(root, key.c_str(), value.c_str(), RRF_RT_ANY, &type, nullptr, nullptr) != ERROR_SUCCESS)
    return REG_NONE;
  return type;
}

// The installation's record in the store of the machine's application data.
std::string StoreRecord(const std::string& uninstallEntry) {
  char data[MAX_PATH] = "";
  ::SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, data);
  return ReadFile(std::string(data) + "\\Talvenor Setup\\" + uninstallEntry + "\\record.ini");
}

// What an installation leaves on the machine, to hold one installation against another.
struct InstallationState {
  std::map<std::string, std::string> files;     // below the target folder, with their bytes
  std::map<std::string, std::string> registry;  // both keys' values, with type and data
  std::map<std::string, std::string> links;     // each link: target, arguments, working folder
  std::string uninstaller;                      // the copy in the Windows folder
  std::string record;                           // the store's record for the uninstaller
};

std::vector<std::string> Names(const std::map<std::string, std::string>& files) {
  std::vector<std::string> names;
  for (const auto& file : files) names.push_back(file.first);
  return names;
}

void ExpectSameState(const InstallationState& expected, const InstallationState& actual) {
  EXPECT_EQ(Names(expected.files), Names(actual.files));
  for (const auto& [name, bytes] : expected.files)
    EXPECT_TRUE(actual.files.count(name) && actual.files.at(name) == bytes) << name;
  EXPECT_EQ(expected.registry, actual.registry);
  EXPECT_EQ(expected.links, actual.links);
  EXPECT_TRUE(expected.uninstaller == actual.uninstaller);
  EXPECT_EQ(expected.record, actual.record);
}

struct Installation {
  std::string work;                        // C:\talvenor-e2e-install-<pid>-<n>\, holds the target folder
  std::string target;                      // work + "Talvenor\"
  std::string programKey;                  // below HKLM
  std::string uninstallKey;                // below HKLM
  std::string uninstallEntry;              // its name below the uninstall root
  std::string group;                       // Programs menu subfolder, may be empty
  std::vector<std::string> programsLinks;  // link names in the group folder
  std::string startupLink;                 // link name in the Startup folder, may be empty
  std::string uninstaller;                 // <windir>\UnInstall.exe
  bool uninstallerWasThere = false;

  Installation(const std::string& tag, std::string programKeyPath, std::string uninstallEntryName)
      : programKey(std::move(programKeyPath)),
        uninstallKey(kUninstallRoot + uninstallEntryName),
        uninstallEntry(std::move(uninstallEntryName)) {
    work = "C:\\talvenor-e2e-" + tag + "-" + std::to_string(::GetCurrentProcessId()) + "\\";
    target = work + "Talvenor\\";
    uninstaller = WindowsFolder() + "\\UnInstall.exe";
    uninstallerWasThere = FileExists(uninstaller);
    RemoveTree(work);
    RemoveTree(Store());
    ::CreateDirectoryA(work.c_str(), nullptr);
  }
  ~Installation() {
    RemoveTree(work);
    RemoveTree(Store());
    RegDeleteTree(HKEY_LOCAL_MACHINE, programKey);
    RegDeleteTree(HKEY_LOCAL_MACHINE, uninstallKey);
    for (const auto& link : programsLinks) ::DeleteFileA(GroupFolder().append(link + ".lnk").c_str());
    ::DeleteFileA(GroupFolder().append("UnInstall.lnk").c_str());
    if (!group.empty()) ::RemoveDirectoryA(GroupFolder().c_str());
    if (!startupLink.empty()) ::DeleteFileA(StartupLinkPath().c_str());
    if (!uninstallerWasThere) ::DeleteFileA(uninstaller.c_str());
  }
  Installation(const Installation&) = delete;
  Installation& operator=(const Installation&) = delete;

  std::string GroupFolder() const { return ShellFolderPath("Programs") + "\\" + (group.empty() ? "" : group + "\\"); }
  // The sections of Setup.inf that point the run at this installation's keys and group.
  std::string EntrySections() const {
    return "[Program]\r\nProgramEntry=" + programKey + "\r\n[UnInstall]\r\nUnInstallEntry=" + uninstallEntry +
           "\r\n[Group]\r\nGroupname=" + group + "\r\n";
  }
  // The installation's own store, where setup keeps its record and the journal of a run.
  std::string Store() const {
    char data[MAX_PATH] = "";
    ::SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, data);
    return std::string(data) + "\\Talvenor Setup\\" + uninstallEntry;
  }
  std::string StartupLinkPath() const { return ShellFolderPath("Startup") + "\\" + startupLink + ".lnk"; }
  std::string SetupInfCopy() const { return target + "Setup.inf"; }
};

InstallationState ReadState(const Installation& inst) {
  InstallationState state;
  state.files = FilesBelow(inst.target);
  for (const std::string& key : {inst.programKey, inst.uninstallKey})
    for (const auto& [name, value] : RegValues(HKEY_LOCAL_MACHINE, key)) state.registry[key + "\\" + name] = value;
  std::vector<std::string> links = {inst.GroupFolder() + "UnInstall.lnk", inst.StartupLinkPath()};
  for (const std::string& name : inst.programsLinks) links.push_back(inst.GroupFolder() + name + ".lnk");
  for (const std::string& path : links) {
    const auto link = ReadLink(path);
    state.links[path] = link.loaded ? link.target + "|" + link.arguments + "|" + link.workingDirectory : "missing";
  }
  state.uninstaller = ReadFile(inst.uninstaller);
  state.record = StoreRecord(inst.uninstallEntry);
  return state;
}

// The language files and licence of the demo medium, and the programs of the build.
void LayOutMedium(const Medium& medium, const std::string& setupInf, const std::string& archive) {
  medium.Write("german.lng", ReadFile(SourceFile("medium\\german.lng")));
  medium.Write("english.lng", ReadFile(SourceFile("medium\\english.lng")));
  medium.Write("Licence.txt", "Lizenz des Tests\r\n");
  medium.Write("Setup.zip", archive);
  medium.WriteSetupInf(setupInf);
  medium.AddBuildFile("medium-bin\\UNZIPLIB.DLL", "UNZIPLIB.DLL");
  medium.AddBuildFile("bin\\UnInstall.exe", "UnInstall.exe");
}

// A target folder as a user types it: without its trailing backslash.
std::string AsTyped(const std::string& target) { return target.substr(0, target.size() - 1); }

// The switches of an unattended run without any box into `target`, logging into `log`.
std::string Unattended(const std::string& target, const std::string& log) {
  return "/VERYSILENT /SUPPRESSMSGBOXES /DIR=\"" + AsTyped(target) + "\" /LOG=\"" + log + "\"";
}

// Runs setup from the medium with these arguments; its exit code, or -1 when it does not end.
int RunSetup(const Medium& medium, const std::string& arguments, int timeoutMs = 60000) {
  Process setup(medium.SetupExe(), arguments);
  return setup.WaitExit(timeoutMs) ? int(setup.ExitCode()) : -1;
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The log names each file below the target folder as written.
void ExpectEveryFileLogged(const std::string& log, const std::string& target,
                           const std::map<std::string, std::string>& files) {
  for (const auto& file : files) EXPECT_TRUE(Contains(log, " Datei: " + target + file.first + " (")) << file.first;
}

// The German wizard from the language page to the ready page.
void WalkToReadyPage(const Process& setup, HWND wizard, const std::string& target) {
  ASSERT_TRUE(WaitPage(wizard, "Sprachwahl"));
  ASSERT_TRUE(Press(wizard, "&Weiter >"));
  WalkToTheReadyPage(setup, wizard, AsTyped(target));
}

// Waits for the wizard of a started setup and walks it from the language page into the run.
void WalkIntoTheRun(const Process& setup, HWND& wizard, const std::string& target) {
  wizard = setup.WaitWindow("TForm2");
  ASSERT_NE(wizard, nullptr);
  ASSERT_NO_FATAL_FAILURE(WalkToReadyPage(setup, wizard, target));
  ASSERT_TRUE(Press(wizard, "&Weiter>"));
}

bool WaitFinishPage(HWND wizard, int timeoutMs) {
  return WaitUntil([&] { return Visible(wizard) && FindChild(wizard, "Button", "&Ende", true); }, timeoutMs);
}

// ---- the progress bar on screen

// How many inner columns of the copy-progress bar are filled: the bar's border and background
// share one colour, so every inner column that differs from the border is filled.
int FilledColumns(HWND progressForm) {
  HWND panel = FindChild(progressForm, "TPanel");
  if (!panel) return -1;
  POINT origin{11, 62};
  ::ClientToScreen(panel, &origin);
  const ScreenShot shot;
  const int row = origin.y + 10;
  const COLORREF background = shot.Pixel(origin.x, row);
  int filled = 0;
  for (int x = 1; x <= 400; ++x) filled += shot.Pixel(origin.x + x, row) != background ? 1 : 0;
  return filled;
}

// Runs an installation of `archive` and returns the most columns seen filled while the
// copy-progress window was shown (the bar only grows, so that is its last state).
int LastProgressColumns(const std::string& archive, const std::string& tag) {
  Installation inst(tag, "Software\\TalvenorE2E-" + tag, "TalvenorE2E-" + tag);
  inst.group = "TalvenorE2E " + tag;
  Medium medium;
  LayOutMedium(medium, kGerman + inst.EntrySections(), archive);
  Process setup(medium.SetupExe());
  HWND wizard = setup.WaitWindow("TForm2");
  if (!wizard) return -1;
  WalkToReadyPage(setup, wizard, inst.target);
  if (::testing::Test::HasFatalFailure()) return -1;
  Press(wizard, "&Weiter>");
  HWND progress = setup.WaitWindow("TForm5");
  if (!progress) return -1;
  int most = -1;
  // The copy window stays when the run stops on an error box: the watch ends all the same.
  const DWORD start = ::GetTickCount();
  while (Visible(progress) && setup.Running() && ::GetTickCount() - start < 60000) {
    const int filled = FilledColumns(progress);
    if (Visible(progress)) most = std::max(most, filled);
  }
  EXPECT_FALSE(Visible(progress)) << "the copy window is still shown after a minute";
  EXPECT_TRUE(WaitFinishPage(wizard, kWaitMs));
  return most;
}

// ---- undoing a run

// What Wine changes by itself while setup and the test run: its own keys, the shell's lists
// of recent and known things, and the temporary folder of the test, which holds the medium.
std::vector<std::string> WinesOwnChanges() {
  char temp[MAX_PATH] = "";
  ::GetTempPathA(MAX_PATH, temp);
  return {std::string(temp), "HKCU\\Software\\Wine", "HKLM\\Software\\Wine"};
}

// What changed on the machine since an earlier state, one change a line, besides what Wine
// changes by itself.
std::string ChangesSince(const MachineState& earlier) {
  std::string text;
  for (const std::string& line : MachineState(WinesOwnChanges()).ChangesSince(earlier)) text += line + "\n";
  return text;
}

// A deflated member of 768 MB that repeats a 16 KB block: small as an archive, seconds to
// write out, so that clicks land while it is being extracted.
void AddLongMember(ZipWriter& archive, const std::string& name) {
  std::string block;
  uint32_t seed = 12345;
  while (block.size() < 16384) {
    seed = seed * 1103515245u + 12345u;
    block += char('a' + (seed >> 16) % 26);
  }
  archive.AddRepeated(name, block, 768u << 20);
}

// "Abbruch" in the copy window and "&Beenden" in the confirmation: setup ends.
void LeaveThroughTheCopyWindow(Process& setup) {
  HWND progress = setup.WaitWindow("TForm5");
  ASSERT_NE(progress, nullptr);
  ASSERT_TRUE(Press(progress, "Abbruch"));
  HWND confirmation = setup.WaitWindow("TForm6");
  ASSERT_NE(confirmation, nullptr);
  SaveScreenShotIfAsked("install-progress");
  ASSERT_TRUE(Press(confirmation, "&Beenden"));
  const bool ended = setup.WaitExit(30000);
  if (!ended) {
    if (auto box = FindMessageBox(setup)) ADD_FAILURE() << "message box: " << box->text;
  }
  EXPECT_TRUE(ended);
}

// The same while the copy window shows `file`: setup undoes the run and ends.
void EndDuringTheExtraction(Process& setup, const std::string& file) {
  ASSERT_NE(WaitChild(setup.WaitWindow("TForm5"), "Static", file, 30000), nullptr);
  ASSERT_NO_FATAL_FAILURE(LeaveThroughTheCopyWindow(setup));
}

// A medium whose unzip library holds setup still at a chosen point of the extraction
// (tests/e2e/blocking_unzip_dll.cpp): the real library lies beside it under another name.
void UseTheHoldingLibrary(const Medium& medium) {
  medium.AddBuildFile("tests\\e2e\\blocking-unzip.dll", "UNZIPLIB.DLL");
  medium.AddBuildFile("medium-bin\\UNZIPLIB.DLL", "UNZIPREAL.DLL");
}

// Starts an installation that the library holds at `point` (a member's name, or "*end" for the
// end of the extraction) and ends setup from outside there.
void KillAt(const Medium& medium, const std::string& point, const std::string& target) {
  medium.Write("block-at.txt", point + "\r\n");
  ::DeleteFileA((medium.Path() + "blocked.txt").c_str());
  Process setup(medium.SetupExe());
  HWND wizard = nullptr;
  ASSERT_NO_FATAL_FAILURE(WalkIntoTheRun(setup, wizard, target));
  ASSERT_TRUE(WaitUntil([&] { return FileExists(medium.Path() + "blocked.txt"); }, 60000)) << point;
  setup.Kill();
  ASSERT_FALSE(setup.Running());
}

// Starts setup again: one box about the journal it found, then the wizard, which "&Beenden"
// in the cancel confirmation ends before anything is written.
void StartAgainAndLeave(const Medium& medium, const std::string& boxBegins) {
  Process setup(medium.SetupExe());
  const auto box = WaitMessageBox(setup, 60000);
  ASSERT_TRUE(box.has_value()) << "no box about the interrupted run";
  EXPECT_EQ(box->text.rfind(boxBegins, 0), 0u) << box->text;
  ASSERT_TRUE(Answer(*box, "OK"));
  HWND wizard = setup.WaitWindow("TForm2");
  ASSERT_NE(wizard, nullptr);
  EXPECT_FALSE(FindMessageBox(setup).has_value()) << "one box";
  PostClose(wizard);
  HWND confirmation = setup.WaitWindow("TForm3");
  ASSERT_NE(confirmation, nullptr);
  ASSERT_TRUE(Press(confirmation, "&Beenden"));
  EXPECT_TRUE(setup.WaitExit());
}

// Installs from the medium as it is, without a link at the finish.
void InstallWhole(const Medium& medium, const std::string& target) {
  Process setup(medium.SetupExe());
  HWND wizard = nullptr;
  ASSERT_NO_FATAL_FAILURE(WalkIntoTheRun(setup, wizard, target));
  ASSERT_NO_FATAL_FAILURE(WaitFinishWithoutMessage(setup, wizard, 60000));
  ASSERT_NO_FATAL_FAILURE(Finish(setup, wizard));
}

const char kUndoneBox[] = "Die letzte Installation wurde nicht abgeschlossen.";

// An archive of a small member and 768 MB of a repeated 16 KB block: small as an archive,
// seconds to write out.
std::string LargeArchive() {
  ZipWriter archive;
  archive.Add("vorher.txt", "klein\r\n");
  AddLongMember(archive, "gross.dat");
  return archive.Bytes();
}

// ---- the tests

TEST(Install, DemoMediumFullInstallationThenQuietUninstallLeavesOnlyWhatWasThereBefore) {
  platform::ComApartment com;
  Installation inst("install", "Software\\TalvenorE2E\\Install", "TalvenorE2E-Install");
  inst.group = "TalvenorE2E Gruppe";
  inst.programsLinks = {"Talvenor", "Liesmich"};
  inst.startupLink = "TalvenorE2E Autostart";
  const std::string programs = ShellFolderPath("Programs");
  ASSERT_FALSE(programs.empty());
  ASSERT_FALSE(ShellFolderPath("Startup").empty());

  // What must survive the uninstall: a file beside the target folder, a value in the parent
  // of the program entry key, a foreign link in the Programs menu.
  WriteFile(inst.work + "sentinel.txt", "bleibt");
  RegSetString(HKEY_LOCAL_MACHINE, "Software\\TalvenorE2E", "sentinel", "bleibt");
  const std::string foreignLink = programs + "\\TalvenorE2E-fremd.lnk";
  WriteFile(foreignLink, "fremd");
  struct Sentinels {
    std::string link;
    ~Sentinels() {
      ::DeleteFileA(link.c_str());
      RegDeleteTree(HKEY_LOCAL_MACHINE, "Software\\TalvenorE2E");
    }
  } sentinels{foreignLink};

  const auto payload = FilesBelow(BuildFile("medium-work\\payload"));
  ASSERT_FALSE(payload.empty());
  Medium medium;
  LayOutMedium(medium,
               "[Program]\r\nProgramname=Talvenor\r\nProgramEntry=" + inst.programKey +
                   "\r\n\r\n[Defaults]\r\nSprache=german.lng\r\nfirstpage=german.lng\r\nfixed=0\r\n\r\n"
                   "[UnInstall]\r\nUnInstallEntry=TalvenorE2E-Install\r\nDisPlayName=Talvenor E2E\r\n"
                   "UninstallString=UnInstall.exe\r\n\r\n[Group]\r\nGroupname=" +
                   inst.group +
                   "\r\n\r\n[GroupEntries]\r\nTalvenor=talv20.exe\r\nLiesmich=liesmich.txt\r\n\r\n"
                   "[Autostart]\r\nExeString=talv20.exe /sleep\r\nDescription=" +
                   inst.startupLink + "\r\n",
               ReadFile(BuildFile("medium\\Setup.zip")));

  // The wizard keeps a log too.
  const std::string wizardLog = inst.work + "assistent.log";
  Process setup(medium.SetupExe(), "/log=\"" + wizardLog + "\"");
  HWND wizard = setup.WaitWindow("TForm2");
  ASSERT_NE(wizard, nullptr);
  ASSERT_NO_FATAL_FAILURE(WalkToReadyPage(setup, wizard, inst.target));
  const auto started = std::chrono::steady_clock::now();
  ASSERT_TRUE(Press(wizard, "&Weiter>"));
  ASSERT_TRUE(WaitFinishPage(wizard, 120000));
  const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
  std::printf("installation of the demo medium, ready page to finish page: %lld ms\n",
              static_cast<long long>(took.count()));
  EXPECT_TRUE(WaitCaption(wizard, "Installation beendet"));
  SaveScreenShotIfAsked("install-finish");

  // Registry values with their types.
  EXPECT_EQ(RegType(HKEY_LOCAL_MACHINE, inst.programKey, "Programmpfad"), DWORD(REG_SZ));
  EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, inst.programKey, "Programmpfad"), inst.target);
  EXPECT_EQ(RegType(HKEY_LOCAL_MACHINE, inst.programKey, "sleepmode"), DWORD(REG_DWORD));
  EXPECT_EQ(RegDword(HKEY_LOCAL_MACHINE, inst.programKey, "sleepmode"), 0u);
  EXPECT_EQ(RegType(HKEY_LOCAL_MACHINE, inst.programKey, "fixed"), DWORD(REG_DWORD));
  EXPECT_EQ(RegDword(HKEY_LOCAL_MACHINE, inst.programKey, "fixed"), 0u);
  EXPECT_EQ(RegType(HKEY_LOCAL_MACHINE, inst.programKey, "Sprache"), DWORD(REG_SZ));
  EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, inst.programKey, "Sprache"), "german.lng");
  EXPECT_EQ(RegType(HKEY_LOCAL_MACHINE, inst.programKey, "Kommunikation"), DWORD(REG_NONE));
  EXPECT_EQ(RegType(HKEY_LOCAL_MACHINE, inst.uninstallKey, "DisplayName"), DWORD(REG_SZ));
  EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, inst.uninstallKey, "DisplayName"), "Talvenor E2E");
  const std::string setupInfArgument = "\"" + inst.SetupInfCopy() + "\"";
  EXPECT_EQ(RegType(HKEY_LOCAL_MACHINE, inst.uninstallKey, "UnInstallstring"), DWORD(REG_SZ));
  EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, inst.uninstallKey, "UnInstallstring"),
            "\"" + inst.uninstaller + "\" " + setupInfArgument);

  // The uninstaller and its link, written before the extraction.
  EXPECT_EQ(ReadFile(inst.uninstaller), ReadFile(BuildFile("bin\\UnInstall.exe")));
  const auto uninstallLink = ReadLink(inst.GroupFolder() + "UnInstall.lnk");
  ASSERT_TRUE(uninstallLink.loaded);
  EXPECT_EQ(uninstallLink.target, inst.uninstaller);
  EXPECT_EQ(uninstallLink.arguments, setupInfArgument);

  // The extracted files byte for byte, and the installed-file list in the copy.
  auto installed = FilesBelow(inst.target);
  ASSERT_EQ(installed.count("Setup.inf"), 1u);
  installed.erase("Setup.inf");
  EXPECT_EQ(installed, payload);
  const std::string copy = inst.SetupInfCopy();
  EXPECT_EQ(IniString(copy, "InstalledFiles", "Count"), std::to_string(payload.size() + 1));
  std::vector<std::string> listed, expected;
  for (size_t i = 0; i < payload.size(); ++i) listed.push_back(IniString(copy, "InstalledFiles", std::to_string(i)));
  for (const auto& file : payload) expected.push_back(inst.target + file.first);
  std::sort(listed.begin(), listed.end());
  EXPECT_EQ(listed, expected);
  EXPECT_EQ(IniString(copy, "InstalledFiles", std::to_string(payload.size())), copy);

  // Before "&Ende" neither the group links nor the autostart link exist.
  EXPECT_FALSE(FileExists(inst.GroupFolder() + "Talvenor.lnk"));
  EXPECT_FALSE(FileExists(inst.StartupLinkPath()));
  ASSERT_TRUE(Press(wizard, "&Ende"));
  EXPECT_TRUE(setup.WaitExit(kWaitMs));
  EXPECT_EQ(setup.ExitCode(), 0u);
  const std::string log = ReadUtf8File(wizardLog);
  ExpectEveryFileLogged(log, inst.target, payload);
  EXPECT_TRUE(Contains(log, " Geschrieben: " + inst.StartupLinkPath() + " = " + inst.target + "talv20.exe\r\n")) << log;
  EXPECT_TRUE(Contains(log, " Exit-Code: 0\r\n")) << log;

  const auto autostart = ReadLink(inst.StartupLinkPath());
  ASSERT_TRUE(autostart.loaded);
  EXPECT_EQ(autostart.target, inst.target + "talv20.exe");
  EXPECT_EQ(autostart.arguments, " /sleep");
  EXPECT_EQ(autostart.workingDirectory, inst.target);
  const std::pair<const char*, const char*> entries[] = {{"Talvenor", "talv20.exe"}, {"Liesmich", "liesmich.txt"}};
  for (const auto& entry : entries) {
    const auto link = ReadLink(inst.GroupFolder() + entry.first + ".lnk");
    ASSERT_TRUE(link.loaded) << entry.first;
    EXPECT_EQ(link.target, inst.target + entry.second);
    EXPECT_EQ(link.arguments, "");
    EXPECT_EQ(link.workingDirectory, inst.target) << "left by the autostart link";
  }

  const InstallationState clicked = ReadState(inst);
  ASSERT_EQ(clicked.links.at(inst.StartupLinkPath()), inst.target + "talv20.exe| /sleep|" + inst.target);

  // The uninstaller, started as the uninstall entry says, unattended.
  Process uninstall(inst.uninstaller, setupInfArgument + " /quiet");
  ASSERT_TRUE(uninstall.WaitExit(60000));
  EXPECT_EQ(uninstall.ExitCode(), 0u);
  EXPECT_FALSE(FolderExists(inst.target));
  EXPECT_FALSE(FolderExists(inst.GroupFolder()));
  EXPECT_FALSE(FileExists(inst.StartupLinkPath()));
  EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, inst.programKey));
  EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, inst.uninstallKey));
  EXPECT_EQ(ReadFile(inst.work + "sentinel.txt"), "bleibt");
  EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, "Software\\TalvenorE2E", "sentinel"), "bleibt");
  EXPECT_EQ(ReadFile(foreignLink), "fremd");

  // The same choices without a person: the same machine state, and a log naming every file.
  const std::string unattendedLog = inst.work + "unbeaufsichtigt.log";
  ASSERT_EQ(RunSetup(medium, Unattended(inst.target, unattendedLog), 120000), 0);
  ExpectSameState(clicked, ReadState(inst));
  const std::string unattended = ReadUtf8File(unattendedLog);
  ExpectEveryFileLogged(unattended, inst.target, payload);
  EXPECT_TRUE(Contains(unattended, " Exit-Code: 0\r\n")) << unattended;
}

TEST(Install, ProgressBarEndsAt99ForThreeEqualFilesAndAt100For300And700Bytes) {
  ZipWriter thirds;
  for (const char* name : {"eins.txt", "zwei.txt", "drei.txt"}) thirds.Add(name, std::string(1000, 'x'));
  // 3 x nearest(33.3) = 99 percent, 4 columns each.
  EXPECT_EQ(LastProgressColumns(thirds.Bytes(), "drittel"), 396);

  ZipWriter split;
  split.Add("klein.txt", std::string(300, 'k'));
  split.Add("gross.txt", std::string(700, 'g'), true);
  EXPECT_EQ(LastProgressColumns(split.Bytes(), "teile"), 400);
}

TEST(Install, WithoutProgramSectionAndGroupTheDefaultKeysAndThePlainProgramsMenuAreUsed) {
  platform::ComApartment com;
  if (RegKeyExists(HKEY_LOCAL_MACHINE, "Talvenor") ||
      RegKeyExists(HKEY_LOCAL_MACHINE, std::string(kUninstallRoot) + "Talvenor"))
    GTEST_SKIP() << "this prefix holds a Talvenor installation";
  Installation inst("default", "Talvenor", "Talvenor");
  inst.programsLinks = {"TalvenorE2E Liesmich"};
  ZipWriter archive;
  archive.Add("liesmich.txt", "Lies mich\r\n");
  Medium medium;
  LayOutMedium(medium,
               "[Defaults]\r\nSprache=german.lng\r\nfirstpage=german.lng\r\n"
               "[Group]\r\nGroupname=\r\n[GroupEntries]\r\nTalvenorE2E Liesmich=liesmich.txt\r\n",
               archive.Bytes());
  Process setup(medium.SetupExe());
  HWND wizard = nullptr;
  ASSERT_NO_FATAL_FAILURE(WalkIntoTheRun(setup, wizard, inst.target));
  ASSERT_TRUE(WaitFinishPage(wizard, 60000));

  EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, "Talvenor", "Programmpfad"), inst.target);
  EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, inst.uninstallKey, "DisplayName"), "Talvenor");
  EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, inst.uninstallKey, "UnInstallstring"),
            "\"" + inst.uninstaller + "\" \"" + inst.SetupInfCopy() + "\"");
  const auto uninstallLink = ReadLink(ShellFolderPath("Programs") + "\\UnInstall.lnk");
  ASSERT_TRUE(uninstallLink.loaded);
  EXPECT_EQ(uninstallLink.arguments, "\"" + inst.SetupInfCopy() + "\"");
  EXPECT_EQ(IniString(inst.SetupInfCopy(), "InstalledFiles", "Count"), "2");
  EXPECT_EQ(IniString(inst.SetupInfCopy(), "InstalledFiles", "0"), inst.target + "liesmich.txt");
  EXPECT_EQ(IniString(inst.SetupInfCopy(), "InstalledFiles", "1"), inst.SetupInfCopy());

  // With the autostart box cleared no Startup link is made and the group link gets no
  // working folder.
  HWND autostart = FindChild(wizard, "Button", "Talvenor mit Windows im Sleep-Modus starten", true);
  ASSERT_NE(autostart, nullptr);
  Click(autostart);
  ASSERT_TRUE(WaitUntil([&] { return ::SendMessageA(autostart, BM_GETCHECK, 0, 0) == BST_UNCHECKED; }));
  ASSERT_TRUE(Press(wizard, "&Ende"));
  EXPECT_TRUE(setup.WaitExit(kWaitMs));
  EXPECT_FALSE(FileExists(ShellFolderPath("Startup") + "\\.lnk"));
  const auto link = ReadLink(ShellFolderPath("Programs") + "\\TalvenorE2E Liesmich.lnk");
  ASSERT_TRUE(link.loaded);
  EXPECT_EQ(link.target, inst.target + "liesmich.txt");
  EXPECT_EQ(link.workingDirectory, "");
}

TEST(Install, BeendenDuringTheExtractionUndoesTheRunAndLeavesTheMachineAsItWasBefore) {
  platform::ComApartment com;
  Installation inst("cancel", "Software\\TalvenorE2E-Cancel", "TalvenorE2E-Cancel");
  inst.group = "TalvenorE2E Abbruch";
  ZipWriter archive;
  archive.Add("vorher.txt", "klein\r\n");
  archive.Add("daten/auch.txt", "auch\r\n");
  AddLongMember(archive, "gross.dat");
  Medium medium;
  LayOutMedium(medium, kGerman + inst.EntrySections(), archive.Bytes());
  const MachineState before(WinesOwnChanges());

  Process setup(medium.SetupExe());
  HWND wizard = nullptr;
  ASSERT_NO_FATAL_FAILURE(WalkIntoTheRun(setup, wizard, inst.target));
  ASSERT_NE(WaitChild(setup.WaitWindow("TForm5"), "Static", inst.target + "gross.dat", 30000), nullptr);
  EXPECT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, inst.uninstallKey));
  EXPECT_TRUE(FileExists(inst.target + "daten\\auch.txt"));
  ASSERT_NO_FATAL_FAILURE(EndDuringTheExtraction(setup, inst.target + "gross.dat"));
  EXPECT_EQ(setup.ExitCode(), 5u) << "cancelled during the run and rolled back";
  EXPECT_EQ(ChangesSince(before), "");
}

TEST(Install, ADamagedMemberIsReportedAndTheFinishPageSaysTheInstallationIsIncomplete) {
  platform::ComApartment com;
  Installation inst("damaged", "Software\\TalvenorE2E-Damaged", "TalvenorE2E-Damaged");
  inst.group = "TalvenorE2E Schaden";
  ZipWriter archive;
  archive.Add("eins.txt", "eins\r\n");
  archive.AddDamaged("kaputt.txt", "kaputt\r\n");
  archive.Add("daten/zwei.txt", std::string(5000, 'z'), true);
  Medium medium;
  LayOutMedium(medium, kGerman + inst.EntrySections(), archive.Bytes());
  Process setup(medium.SetupExe());
  HWND wizard = nullptr;
  ASSERT_NO_FATAL_FAILURE(WalkIntoTheRun(setup, wizard, inst.target));

  const auto box = WaitMessageBox(setup, 60000);
  ASSERT_TRUE(box.has_value()) << "no report of the damaged member";
  EXPECT_EQ(box->caption, "Talvenor Installation");
  EXPECT_EQ(box->text.rfind("Folgende Dateien konnten nicht installiert werden:", 0), 0u) << box->text;
  // The reason in the user's language, not the library's English.
  EXPECT_NE(box->text.find("\r\nkaputt.txt: Die Prüfsumme stimmt nicht, die Daten sind beschädigt"), std::string::npos)
      << box->text;
  EXPECT_EQ(box->text.find("eins.txt"), std::string::npos) << box->text;
  SaveScreenShotIfAsked("install-failed-members");
  ASSERT_TRUE(Answer(*box, "OK"));
  ASSERT_TRUE(WaitFinishPage(wizard, kWaitMs));
  SaveScreenShotIfAsked("install-incomplete");
  EXPECT_NE(FindChild(wizard, "Static", "Die Installation ist unvollständig.", true), nullptr);
  EXPECT_EQ(FindChild(wizard, "Static", "Die Installation wurde erfolgreich abgeschlossen.  ", true), nullptr);
  EXPECT_FALSE(FindMessageBox(setup).has_value()) << "one box for the whole report";

  // The good members are there and listed; the uninstall record stays complete.
  auto installed = FilesBelow(inst.target);
  std::vector<std::string> names;
  for (const auto& file : installed) names.push_back(file.first);
  EXPECT_EQ(names, (std::vector<std::string>{"Setup.inf", "daten\\zwei.txt", "eins.txt"}));
  const std::string copy = inst.SetupInfCopy();
  EXPECT_EQ(IniString(copy, "InstalledFiles", "Count"), "3");
  EXPECT_EQ(IniString(copy, "InstalledFiles", "0"), inst.target + "eins.txt");
  EXPECT_EQ(IniString(copy, "InstalledFiles", "1"), inst.target + "daten\\zwei.txt");
  EXPECT_EQ(IniString(copy, "InstalledFiles", "2"), copy);
  EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, inst.programKey, "Programmpfad"), inst.target);
  EXPECT_TRUE(FileExists(inst.GroupFolder() + "UnInstall.lnk"));
  ASSERT_NO_FATAL_FAILURE(Finish(setup, wizard));
  EXPECT_EQ(setup.ExitCode(), 4u) << "incomplete";

  // Without a person, in English: exit code 4, and the log gives the reason in that language.
  const std::string english = inst.work + "English\\";
  const std::string logPath = inst.work + "english.log";
  EXPECT_EQ(RunSetup(medium, Unattended(english, logPath) + " /LANG=English.lng /NOAUTOSTART"), 4);
  const std::string log = ReadUtf8File(logPath);
  EXPECT_TRUE(Contains(log, english + "kaputt.txt: The checksum does not match, the data is damaged (Fehler 4)\r\n"))
      << log;
  EXPECT_TRUE(Contains(log, " Exit-Code: 4\r\n")) << log;
  EXPECT_EQ(Names(FilesBelow(english)), (std::vector<std::string>{"Setup.inf", "daten\\zwei.txt", "eins.txt"}));
  EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, inst.programKey, "Sprache"), "english.lng");
}

TEST(Install, ABadCommandLineOrAMissingArchiveEndsAnUnattendedSetupBeforeAnythingIsWritten) {
  Installation inst("vorher", "Software\\TalvenorE2E-Vorher", "TalvenorE2E-Vorher");
  inst.group = "TalvenorE2E Vorher";
  Medium medium;
  LayOutMedium(medium, kGerman + inst.EntrySections(), "");
  ASSERT_TRUE(::DeleteFileA((medium.Path() + "Setup.zip").c_str()));
  const std::string logPath = inst.work + "setup.log";
  const auto nothingWritten = [&] {
    EXPECT_FALSE(FolderExists(inst.target));
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, inst.programKey));
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, inst.uninstallKey));
    EXPECT_FALSE(FolderExists(inst.GroupFolder()));
  };

  // An unknown switch: not even the log is written.
  EXPECT_EQ(RunSetup(medium, Unattended(inst.target, logPath) + " /Unbekannt"), 1);
  EXPECT_FALSE(FileExists(logPath));
  nothingWritten();
  // A language that the medium does not have.
  EXPECT_EQ(RunSetup(medium, Unattended(inst.target, logPath) + " /LANG=francais.lng"), 1);
  EXPECT_TRUE(Contains(ReadUtf8File(logPath), " Exit-Code: 1\r\n"));
  nothingWritten();
  // No Setup.zip: the log says so.
  EXPECT_EQ(RunSetup(medium, Unattended(inst.target, logPath)), 3);
  const std::string log = ReadUtf8File(logPath);
  EXPECT_TRUE(Contains(log, medium.Path() + "Setup.zip fehlt")) << log;
  EXPECT_TRUE(Contains(log, " Exit-Code: 3\r\n")) << log;
  nothingWritten();
}

TEST(Install, SilentShowsOnlyTheCopyWindowAndASecondSetupMeanwhileEndsWith6) {
  Installation inst("silent", "Software\\TalvenorE2E-Silent", "TalvenorE2E-Silent");
  inst.group = "TalvenorE2E Leise";
  Medium medium;
  LayOutMedium(medium, kGerman + inst.EntrySections(), LargeArchive());
  Process first(medium.SetupExe(), "/SILENT /DIR=\"" + AsTyped(inst.target) + "\"");
  HWND progress = first.WaitWindow("TForm5");
  ASSERT_NE(progress, nullptr);
  ASSERT_NE(WaitChild(progress, "Static", inst.target + "gross.dat", 30000), nullptr);
  EXPECT_EQ(FindChild(progress, "Button", "Abbruch", true), nullptr) << "a silent run cannot be cancelled";
  EXPECT_EQ(first.Windows(), std::vector<HWND>{progress}) << "no background screen, no wizard";

  // The first one holds the lock: a second setup of the same program writes nothing.
  const std::string second = inst.work + "Zweites\\";
  const std::string logPath = inst.work + "zweites.log";
  EXPECT_EQ(RunSetup(medium, Unattended(second, logPath)), 6);
  EXPECT_TRUE(Contains(ReadUtf8File(logPath), " Exit-Code: 6\r\n"));
  EXPECT_FALSE(FolderExists(second));
  EXPECT_TRUE(first.Running()) << "the second one came too late to meet the first";

  ASSERT_TRUE(first.WaitExit(180000));
  EXPECT_EQ(first.ExitCode(), 0u);
  EXPECT_EQ(IniString(inst.SetupInfCopy(), "InstalledFiles", "Count"), "3");
}

// The earlier version of the update tests: a file that stays and one that the update changes.
ZipWriter EarlierVersion(const std::string& changed) {
  ZipWriter archive;
  archive.Add("bleibt.txt", "A bleibt\r\n");
  archive.Add(changed, "Fassung A\r\n");
  return archive;
}

// Setup.inf of an installation with a version of its own.
std::string VersionedSetupInf(const Installation& inst, const std::string& version) {
  std::string sections = inst.EntrySections();
  sections.insert(sections.find("[Group]"), "DisplayVersion=" + version + "\r\n");
  return kGerman + sections;
}

TEST(Install, EndedFromOutsideTheRunIsUndoneAtTheNextStartOfSetupOrTheUninstaller) {
  platform::ComApartment com;
  Installation inst("killed", "Software\\TalvenorE2E-Killed", "TalvenorE2E-Killed");
  inst.group = "TalvenorE2E Abgebrochen";
  const ZipWriter previous = EarlierVersion("daten/datei05.txt");
  ZipWriter archive;
  for (int i = 1; i <= 9; ++i) archive.Add("daten/datei0" + std::to_string(i) + ".txt", std::string(i * 100, 'b'));
  Medium medium;
  LayOutMedium(medium, VersionedSetupInf(inst, "2.0"), archive.Bytes());
  UseTheHoldingLibrary(medium);
  const MachineState before(WinesOwnChanges());

  // After the registry entries, before the first member: setup undoes the run at its start.
  ASSERT_NO_FATAL_FAILURE(KillAt(medium, "daten\\datei01.txt", inst.target));
  ASSERT_NO_FATAL_FAILURE(StartAgainAndLeave(medium, kUndoneBox));
  EXPECT_EQ(ChangesSince(before), "");

  // The same, undone by the uninstaller that the run had already put in the Windows folder. A
  // running program can be neither deleted nor replaced: it moves to a name of its own, which
  // goes at the next restart.
  ASSERT_NO_FATAL_FAILURE(KillAt(medium, "daten\\datei01.txt", inst.target));
  {
    Process uninstall(inst.uninstaller, "\"" + inst.SetupInfCopy() + "\" /quiet");
    ASSERT_TRUE(uninstall.WaitExit(60000));
    EXPECT_EQ(uninstall.ExitCode(), 0u);
    const std::string movedAway = inst.uninstaller + "." + std::to_string(uninstall.Id()) + ".old";
    EXPECT_EQ(ChangesSince(before), "+ " + movedAway + "\n");
    ::DeleteFileA(movedAway.c_str());
  }

  // Over an earlier version: in the middle of the extraction and just before the list of
  // written files, the earlier version comes back whole.
  medium.Write("Setup.zip", previous.Bytes());
  medium.WriteSetupInf(VersionedSetupInf(inst, "1.0"));
  medium.Write("block-at.txt", "");
  ASSERT_NO_FATAL_FAILURE(InstallWhole(medium, inst.target));
  EXPECT_NE(ChangesSince(before), "") << "the installation shows in the state";
  const auto installed = FilesBelow(inst.target);
  medium.Write("Setup.zip", archive.Bytes());
  medium.WriteSetupInf(VersionedSetupInf(inst, "2.0"));
  const MachineState withPrevious(WinesOwnChanges());
  for (const char* point : {"daten\\datei06.txt", "*end"}) {
    ASSERT_NO_FATAL_FAILURE(KillAt(medium, point, inst.target));
    ASSERT_NO_FATAL_FAILURE(StartAgainAndLeave(medium, kUndoneBox));
    EXPECT_EQ(ChangesSince(withPrevious), "") << point;
    EXPECT_EQ(FilesBelow(inst.target), installed) << point;
  }
}

TEST(Install, AnUpdateEndedByBeendenOrAnErrorLeavesThePreviousVersionWholeAndItsUninstallerComplete) {
  platform::ComApartment com;
  Installation inst("update", "Software\\TalvenorE2E-Update", "TalvenorE2E-Update");
  inst.group = "TalvenorE2E Aktualisierung";
  const ZipWriter previous = EarlierVersion("daten/geaendert.txt");
  Medium medium;
  LayOutMedium(medium, VersionedSetupInf(inst, "1.0"), previous.Bytes());
  ASSERT_NO_FATAL_FAILURE(InstallWhole(medium, inst.target));
  const auto installed = FilesBelow(inst.target);
  const MachineState withPrevious(WinesOwnChanges());

  ZipWriter update;
  update.Add("daten/geaendert.txt", "Fassung B, länger als A\r\n");
  update.Add("neu.txt", "nur in B\r\n");
  AddLongMember(update, "gross.dat");
  medium.Write("Setup.zip", update.Bytes());
  medium.WriteSetupInf(VersionedSetupInf(inst, "2.0"));
  Process setup(medium.SetupExe());
  HWND wizard = nullptr;
  ASSERT_NO_FATAL_FAILURE(WalkIntoTheRun(setup, wizard, inst.target));
  ASSERT_NO_FATAL_FAILURE(EndDuringTheExtraction(setup, inst.target + "gross.dat"));

  EXPECT_EQ(FilesBelow(inst.target), installed);
  EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, inst.uninstallKey, "DisplayVersion"), "1.0");
  EXPECT_EQ(ChangesSince(withPrevious), "");

  // An error ends the run (another program holds the old file of a member open, so it cannot
  // be kept): the error is reported, the run is undone the same way.
  {
    const std::string changed = inst.target + "daten\\geaendert.txt";
    HANDLE held = ::CreateFileA(changed.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    Process failing(medium.SetupExe());
    ASSERT_NO_FATAL_FAILURE(WalkIntoTheRun(failing, wizard, inst.target));
    const auto box = WaitMessageBox(failing, 60000);
    ::CloseHandle(held);
    ASSERT_TRUE(box.has_value()) << "the error is not reported";
    EXPECT_NE(box->text.find(changed), std::string::npos) << box->text;
    ASSERT_TRUE(Answer(*box, "OK"));
    ASSERT_NO_FATAL_FAILURE(LeaveThroughTheCopyWindow(failing));
  }
  EXPECT_EQ(FilesBelow(inst.target), installed);
  EXPECT_EQ(ChangesSince(withPrevious), "");

  Process uninstall(inst.uninstaller, "\"" + inst.SetupInfCopy() + "\" /quiet");
  ASSERT_TRUE(uninstall.WaitExit(60000));
  EXPECT_EQ(uninstall.ExitCode(), 0u);
  EXPECT_FALSE(FolderExists(inst.target));
  EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, inst.programKey));
  EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, inst.uninstallKey));
}

TEST(Install, AnUpdateThatFinishesKeepsTheOldFileOfAFailedMemberAndItsUninstallerRemovesBothVersions) {
  platform::ComApartment com;
  Installation inst("updated", "Software\\TalvenorE2E-Updated", "TalvenorE2E-Updated");
  inst.group = "TalvenorE2E Aktualisiert";
  Medium medium;
  LayOutMedium(medium, VersionedSetupInf(inst, "1.0"), EarlierVersion("daten/nur-in-a.txt").Bytes());
  ASSERT_NO_FATAL_FAILURE(InstallWhole(medium, inst.target));

  ZipWriter update;
  update.AddDamaged("bleibt.txt", "Fassung B\r\n");
  update.Add("neu.txt", "nur in B\r\n");
  medium.Write("Setup.zip", update.Bytes());
  medium.WriteSetupInf(VersionedSetupInf(inst, "2.0"));
  Process setup(medium.SetupExe());
  HWND wizard = nullptr;
  ASSERT_NO_FATAL_FAILURE(WalkIntoTheRun(setup, wizard, inst.target));
  const auto box = WaitMessageBox(setup, 60000);
  ASSERT_TRUE(box.has_value()) << "no report of the damaged member";
  // The member's line: its name, why it failed, and that the earlier file stays.
  const size_t line = box->text.find("bleibt.txt: ");
  ASSERT_NE(line, std::string::npos) << box->text;
  EXPECT_NE(box->text.substr(line, box->text.find('\r', line) - line)
                .find("(nicht aktualisiert, die bisherige Datei bleibt)"),
            std::string::npos)
      << box->text;
  ASSERT_TRUE(Answer(*box, "OK"));
  ASSERT_TRUE(WaitFinishPage(wizard, kWaitMs));
  ASSERT_NO_FATAL_FAILURE(Finish(setup, wizard));

  // The old file stays, the kept old contents are gone, and both versions' files are listed.
  const auto files = FilesBelow(inst.target);
  std::vector<std::string> names;
  for (const auto& file : files) names.push_back(file.first);
  EXPECT_EQ(names, (std::vector<std::string>{"Setup.inf", "bleibt.txt", "daten\\nur-in-a.txt", "neu.txt"}));
  EXPECT_EQ(files.at("bleibt.txt"), "A bleibt\r\n");
  WIN32_FIND_DATAA found;
  const HANDLE aside = ::FindFirstFileA((inst.target + "~Talvenor-Rollback-*").c_str(), &found);
  EXPECT_EQ(aside, INVALID_HANDLE_VALUE) << "the old contents kept aside are left: " << found.cFileName;
  if (aside != INVALID_HANDLE_VALUE) ::FindClose(aside);
  std::vector<std::string> listed = InstalledFiles(inst.SetupInfCopy());
  std::sort(listed.begin(), listed.end());
  EXPECT_EQ(listed, (std::vector<std::string>{inst.SetupInfCopy(), inst.target + "bleibt.txt",
                                              inst.target + "daten\\nur-in-a.txt", inst.target + "neu.txt"}));
  EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, inst.uninstallKey, "DisplayVersion"), "2.0");

  Process uninstall(inst.uninstaller, "\"" + inst.SetupInfCopy() + "\" /quiet");
  ASSERT_TRUE(uninstall.WaitExit(60000));
  EXPECT_EQ(uninstall.ExitCode(), 0u);
  EXPECT_FALSE(FolderExists(inst.target));
}

// A journal as setup writes it (its format is in src/install/journal.h), by hand.
std::string JournalLine(const std::vector<std::string>& fields) {
  std::string line;
  for (const std::string& field : fields) line += (line.empty() ? "" : "\t") + field;
  char crc[9];
  std::snprintf(crc, sizeof crc, "%08lx",
                ::crc32(0, reinterpret_cast<const Bytef*>(line.data()), uInt(line.size())) & 0xFFFFFFFFul);
  return line + "\t" + crc + "\r\n";
}

TEST(Install, AJournalNamingAFileOutsideTheInstallationOrDamagedIsRefusedAndNothingIsDeleted) {
  Installation inst("journal", "Software\\TalvenorE2E-Journal", "TalvenorE2E-Journal");
  const std::string store = inst.Store() + "\\";
  ::CreateDirectoryA(inst.Store().substr(0, inst.Store().rfind('\\')).c_str(), nullptr);
  ::CreateDirectoryA(store.c_str(), nullptr);
  ::CreateDirectoryA(inst.target.c_str(), nullptr);
  const std::string outside = inst.work + "draussen.txt", inside = inst.target + "drinnen.txt";
  WriteFile(outside, "bleibt");
  WriteFile(inside, "bleibt auch");
  ZipWriter archive;
  archive.Add("liesmich.txt", "Lies mich\r\n");
  Medium medium;
  LayOutMedium(medium, kGerman + inst.EntrySections(), archive.Bytes());
  const std::string start =
      "Talvenor setup journal 1\r\n" + JournalLine({"run", inst.uninstallEntry, inst.programKey, inst.target});
  const std::string damaged = JournalLine({"file", inside});
  for (const std::string& journal :
       {start + JournalLine({"file", outside}), start + damaged.substr(0, damaged.size() - 3) + "x\r\n"}) {
    WriteFile(store + "journal.txt", journal);
    ASSERT_NO_FATAL_FAILURE(StartAgainAndLeave(medium, "Das Protokoll einer unterbrochenen Installation"));
    EXPECT_EQ(ReadFile(outside), "bleibt");
    EXPECT_EQ(ReadFile(inside), "bleibt auch");
    EXPECT_FALSE(FileExists(store + "journal.txt"));
    EXPECT_EQ(ReadFile(store + "journal-refused.txt"), journal) << "kept for whoever looks into it";
  }
}

}  // namespace
