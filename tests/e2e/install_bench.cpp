// Times the real setup.exe installing archives of many small files (100 bytes each in 50
// folders), from "&Weiter>" on the ready page to the finish page, and the real UnInstall.exe
// removing each installation again.
// Not a test: it prints one line per run and the medians.
//   install_bench [runs] [settle=<seconds>] [verysilent] [update] [journal] [file counts ...]
// (defaults: 3 runs of 500, 2000 and 8000 files). With settle, the removals wait that long
// after the files were written, so that the system has written them to the disk, as it has
// when a user uninstalls, and beside the uninstaller the floor of that removal is measured:
// a plain loop of DeleteFileA over as many files, as long ago written by a plain loop of

// With update, each
// installation is made a second time over the first ("update_s"). With journal, each run is
// made twice, in turns first or second: by setup.exe and by setup_without_journal.exe, the
// same program with its journal switched off (lines starting with "unjournalled_").
#include "wizard_steps.h"

#include "span_set_builder.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace e2e;

namespace {

constexpr int kRunTimeoutMs = 600000;
const char kEntry[] = "TalvenorBench";

std::string SmallFilesArchive(int files) {
  std::vector<spantest::Member> members(static_cast<size_t>(files));
  for (int i = 0; i < files; ++i) {
    members[size_t(i)].name = "help/folder" + std::to_string(i % 50) + "/page" + std::to_string(i) + ".htm";
    members[size_t(i)].data = spantest::PatternBytes(100, uint32_t(i));
  }
  const spantest::Bytes bytes = spantest::BuildSingleArchive(members);
  return std::string(bytes.begin(), bytes.end());
}

void LayOutMedium(const Medium& medium, const std::string& archive) {
  medium.Write("german.lng", ReadFile(SourceFile("medium\\german.lng")));
  medium.Write("english.lng", ReadFile(SourceFile("medium\\english.lng")));
  medium.Write("Licence.txt", "Lizenz\r\n");
  medium.Write("Setup.zip", archive);
  medium.WriteSetupInf(std::string("[Defaults]\r\nSprache=german.lng\r\nfirstpage=german.lng\r\n") +
                       "[Program]\r\nProgramEntry=Software\\" + kEntry + "\r\n[UnInstall]\r\nUnInstallEntry=" + kEntry +
                       "\r\n[Group]\r\nGroupname=" + kEntry + "\r\n");
  medium.AddBuildFile("medium-bin\\UNZIPLIB.DLL", "UNZIPLIB.DLL");
  medium.AddBuildFile("bin\\UnInstall.exe", "UnInstall.exe");
}

// The German wizard from its first page to the ready page, the target folder typed into the
// folder dialog.
bool WalkToReadyPage(const Process& setup, HWND wizard, const std::string& target) {
  if (!WaitPage(wizard, "Sprachwahl") || !Press(wizard, "&Weiter >") || !WaitPage(wizard, "Welcome") ||
      !Press(wizard, "&Weiter >") || !WaitPage(wizard, "license") || !Press(wizard, "&Akzeptieren>") ||
      !WaitPage(wizard, "Dir") || !Press(wizard, "S&uchen..."))
    return false;
  HWND dialog = setup.WaitWindow("TForm4");
  if (!dialog) return false;
  SetText(FindChild(dialog, "Edit"), target.substr(0, target.size() - 1));
  return Press(dialog, "&Ok") && setup.WaitHidden("TForm4") && Press(wizard, "&Weiter>") && WaitPage(wizard, "ready");
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

struct Run {
  double install = -1;    // ready page to finish page
  double update = -1;     // the same again, over the installation
  double uninstall = -1;  // UnInstall.exe /quiet, start to exit
};

// Seconds from "&Weiter>" on the ready page to the finish page of `program` (a setup program
// of the build); -1 when the run did not get there.
double TimedInstallation(const std::string& archive, const std::string& target, const std::string& program) {
  Medium medium;
  LayOutMedium(medium, archive);
  CopyFileTo(BuildFile(program), medium.SetupExe());
  Process setup(medium.SetupExe());
  HWND wizard = setup.WaitWindow("TForm2");
  if (!wizard || !WalkToReadyPage(setup, wizard, target)) return -1;
  const auto start = std::chrono::steady_clock::now();
  Press(wizard, "&Weiter>");
  return WaitUntil([&] { return Visible(wizard) && FindChild(wizard, "Button", "&Ende", true); }, kRunTimeoutMs)
             ? SecondsSince(start)
             : -1;
}

Run InstallAndRemove(const std::string& archive, int files, int settleSeconds, const std::string& program,
                     bool update) {
  Run run;
  const std::string work = "C:\\talvenor-bench-" + std::to_string(::GetCurrentProcessId()) + "\\";
  const std::string target = work + "Talvenor\\";
  const InstallationTraces traces(work, std::string("Software\\") + kEntry,
                                  std::string("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + kEntry,
                                  kEntry);
  ::CreateDirectoryA(work.c_str(), nullptr);
  run.install = TimedInstallation(archive, target, program);
  if (update && run.install >= 0) run.update = TimedInstallation(archive, target, program);
  const std::string listed = IniString(target + "Setup.inf", "InstalledFiles", "Count");
  if (run.install >= 0 && listed == std::to_string(files + 1)) {
    ::Sleep(DWORD(settleSeconds) * 1000);
    const auto start = std::chrono::steady_clock::now();
    Process uninstaller(WindowsFolder() + "\\UnInstall.exe", "\"" + target + "Setup.inf\" /quiet");
    if (uninstaller.WaitExit(kRunTimeoutMs) && uninstaller.ExitCode() == 0 && !FolderExists(target))
      run.uninstall = SecondsSince(start);
  } else if (run.install >= 0) {
    std::fprintf(stderr, "setup listed %s files, %d expected\n", listed.c_str(), files + 1);
    run.install = -1;
  }
  return run;
}

// Seconds the simplest loop of CreateDirectoryA, CreateFileA, WriteFile and CloseHandle takes to
// write `files` files of 100 bytes into 50 folders below `folder`; their paths in `paths`.
double PlainWriteSeconds(const std::string& folder, int files, std::vector<std::string>& paths) {
  RemoveTree(folder);
  const auto start = std::chrono::steady_clock::now();
  ::CreateDirectoryA(folder.c_str(), nullptr);
  for (int d = 0; d < 50; ++d) ::CreateDirectoryA((folder + "folder" + std::to_string(d)).c_str(), nullptr);
  const spantest::Bytes data = spantest::PatternBytes(100, 1);
  for (int i = 0; i < files; ++i) {
    paths.push_back(folder + "folder" + std::to_string(i % 50) + "\\page" + std::to_string(i) + ".htm");
    HANDLE file =
        ::CreateFileA(paths.back().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    ::WriteFile(file, data.data(), DWORD(data.size()), &written, nullptr);
    ::CloseHandle(file);
  }
  return SecondsSince(start);
}

std::string FloorFolder() { return "C:\\talvenor-bench-floor-" + std::to_string(::GetCurrentProcessId()) + "\\"; }

// Seconds a plain DeleteFileA loop takes over `files` files of 100 bytes in 50 folders, written
// `settleSeconds` before by the simplest loop of CreateFileA, WriteFile and CloseHandle.
double PlainDeleteSeconds(int files, int settleSeconds) {
  const std::string folder = FloorFolder();
  std::vector<std::string> paths;
  PlainWriteSeconds(folder, files, paths);
  ::Sleep(DWORD(settleSeconds) * 1000);
  const auto start = std::chrono::steady_clock::now();
  for (const std::string& path : paths) ::DeleteFileA(path.c_str());
  const double seconds = SecondsSince(start);
  RemoveTree(folder);
  return seconds;
}

// Seconds from the start of setup /VERYSILENT /SUPPRESSMSGBOXES to its exit with code 0; -1
// when it fails or does not install every file.
double VerySilentSeconds(const std::string& archive, int files) {
  const std::string work = "C:\\talvenor-bench-" + std::to_string(::GetCurrentProcessId()) + "\\";
  const std::string target = work + "Talvenor\\";
  const InstallationTraces traces(work, std::string("Software\\") + kEntry,
                                  std::string("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + kEntry,
                                  kEntry);
  Medium medium;
  LayOutMedium(medium, archive);
  const auto start = std::chrono::steady_clock::now();
  Process setup(medium.SetupExe(), "/VERYSILENT /SUPPRESSMSGBOXES /DIR=\"" + target + "\"");
  if (!setup.WaitExit(kRunTimeoutMs) || setup.ExitCode() != 0) return -1;
  const double seconds = SecondsSince(start);
  const std::string listed = IniString(target + "Setup.inf", "InstalledFiles", "Count");
  if (listed == std::to_string(files + 1)) return seconds;
  std::fprintf(stderr, "setup listed %s files, %d expected\n", listed.c_str(), files + 1);
  return -1;
}

double Median(std::vector<double> values) {
  if (values.empty()) return -1;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// The figures of one setup program over all runs.
struct Figures {
  std::vector<double> installs, updates, uninstalls;
  void Add(const Run& run) {
    if (run.install >= 0) installs.push_back(run.install);
    if (run.update >= 0) updates.push_back(run.update);
    if (run.uninstall >= 0) uninstalls.push_back(run.uninstall);
  }
  // Lines for scripts: name, files, median seconds, runs that counted.
  void Print(const std::string& prefix, int files) const {
    const auto line = [&](const char* name, const std::vector<double>& values) {
      if (!values.empty() || std::strcmp(name, "update_s") != 0)
        std::printf("%s%s %d %.3f %zu\n", prefix.c_str(), name, files, Median(values), values.size());
    };
    line("install_s", installs);
    line("update_s", updates);
    line("uninstall_s", uninstalls);
  }
};

}  // namespace

// The unattended installation against its floor, run by run.
void CompareVerySilent(int runs, const std::vector<int>& counts) {
  for (int files : counts) {
    const std::string archive = SmallFilesArchive(files);
    std::vector<double> installs, floors, ratios;
    for (int r = 0; r < runs; ++r) {
      const double install = VerySilentSeconds(archive, files);
      std::vector<std::string> paths;
      const double floor = PlainWriteSeconds(FloorFolder(), files, paths);
      RemoveTree(FloorFolder());
      std::printf("run %d files %d: verysilent %.2f s, plain write %.2f s\n", r + 1, files, install, floor);
      std::fflush(stdout);
      if (install < 0) continue;
      installs.push_back(install);
      floors.push_back(floor);
      ratios.push_back(install / floor);
    }
    // Lines for scripts: name, files, median, runs that counted.
    std::printf("verysilent_s %d %.3f %zu\n", files, Median(installs), installs.size());
    std::printf("plain_write_s %d %.3f %zu\n", files, Median(floors), floors.size());
    std::printf("verysilent_ratio %d %.3f %zu\n", files, Median(ratios), ratios.size());
    std::fflush(stdout);
  }
}

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  int settleSeconds = 0;
  bool verySilent = false, update = false, journal = false;
  std::vector<int> counts;
  for (int i = 2; i < argc; ++i) {
    if (std::strncmp(argv[i], "settle=", 7) == 0)
      settleSeconds = std::atoi(argv[i] + 7);
    else if (std::strcmp(argv[i], "verysilent") == 0)
      verySilent = true;
    else if (std::strcmp(argv[i], "update") == 0)
      update = true;
    else if (std::strcmp(argv[i], "journal") == 0)
      journal = true;
    else
      counts.push_back(std::atoi(argv[i]));
  }
  const std::string prefix = settleSeconds > 0 ? "settled_" : "";
  if (counts.empty()) counts = {500, 2000, 8000};
  if (verySilent) {
    CompareVerySilent(runs, counts);
    return 0;
  }
  struct Program {
    const char* file;
    std::string prefix;
    Figures figures;
  };
  std::vector<Program> programs = {{"bin\\setup.exe", prefix, {}}};
  if (journal) programs.push_back({"bin\\setup_without_journal.exe", "unjournalled_" + prefix, {}});

  for (int files : counts) {
    const std::string archive = SmallFilesArchive(files);
    std::vector<double> plainDeletes;
    for (Program& program : programs) program.figures = Figures();
    for (int r = 0; r < runs; ++r) {
      // In turns first or second: what one run leaves the disk to do falls on both alike.
      for (size_t p = 0; p < programs.size(); ++p) {
        Program& program = programs[(p + size_t(r)) % programs.size()];
        const Run run = InstallAndRemove(archive, files, settleSeconds, program.file, update);
        if (settleSeconds > 0) plainDeletes.push_back(PlainDeleteSeconds(files, settleSeconds));
        std::printf("run %d files %d %s: install %.2f s, update %.2f s, uninstall %.2f s, plain delete %.2f s\n", r + 1,
                    files, program.file, run.install, run.update, run.uninstall,
                    plainDeletes.empty() ? -1.0 : plainDeletes.back());
        std::fflush(stdout);
        program.figures.Add(run);
      }
    }
    for (const Program& program : programs) program.figures.Print(program.prefix, files);
    if (settleSeconds > 0)
      std::printf("%splain_delete_s %d %.3f %zu\n", prefix.c_str(), files, Median(plainDeletes), plainDeletes.size());
    std::fflush(stdout);
  }
  return 0;
}
