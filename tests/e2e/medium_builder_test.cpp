// Media written by make-medium install what their payload holds. The build writes two media
// from the demo payload and a file whose folder and name have umlauts: Setup.zip whole, and
// the same archive as a set of 1 KB parts (Se001.zip ... Setup.zip), which setup joins first.
// The packagers' round trips take a payload of 2,000 more files and empty folders: the build
// writes its medium with the Linux make-medium and signs it; here make-medium.exe writes it
// under Windows from a wide command line.
#include "wizard_steps.h"

#include <gtest/gtest.h>

#include <map>

using namespace e2e;

namespace {

const char* const kWork = "C:\\talvenor-e2e-builder";
const char* const kProgramEntry = "Software\\TalvenorE2EBuilder";
const char* const kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TalvenorE2EBuilder";
const char* const kGroup = "Talvenor E2E Builder";
const char* const kUninstaller = "UnInstallBuilder.exe";  // the medium's UninstallString
const char* const kMedia = "tests\\e2e\\builder-media\\";
const char* const kLargePayload =
    "Nutzdaten-Gr\xFC\xDF"
    "e";
// The payload's folders without files.
const std::vector<std::string> kEmptyFolders{"Leer", "Ablage\\\xC4ltere T\xF6ne"};

bool IsEmptyFolder(const std::string& path) {
  WIN32_FIND_DATAA found;
  HANDLE find = ::FindFirstFileA((path + "\\*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return false;
  bool empty = true;
  do {
    const std::string name = found.cFileName;
    empty = empty && (name == "." || name == "..");
  } while (::FindNextFileA(find, &found));
  ::FindClose(find);
  return empty;
}

// Installs from `medium` into a folder below the work folder and compares the target folder
// with `payload` byte for byte; the empty folders must be there as well.
void InstallAndCompare(const std::string& medium, const std::string& payload,
                       const std::vector<std::string>& emptyFolders = {}) {
  CopiedUninstaller uninstaller(kUninstaller);
  const auto files = FilesBelow(payload);
  ASSERT_EQ(files.count("Gr\xFC\xDF"
                        "e\\\xDC"
                        "bersicht.txt"),
            1u)
      << "the payload's umlaut name";

  const std::string target = std::string(kWork) + "\\Ziel";
  Process setup(medium + "setup.exe", "", medium);
  HWND wizard = setup.WaitWindow("TForm2");
  ASSERT_NE(wizard, nullptr);
  ASSERT_NO_FATAL_FAILURE(WalkToTheRun(setup, wizard, target));
  ASSERT_NO_FATAL_FAILURE(WaitFinishWithoutMessage(setup, wizard, 120000));

  // Byte for byte, under the payload's names, and each file once in InstalledFiles.
  const std::string folder = target + "\\";
  auto installed = FilesBelow(target);
  ASSERT_EQ(installed.erase("Setup.inf"), 1u);
  EXPECT_EQ(installed, files);
  for (const std::string& empty : emptyFolders) EXPECT_TRUE(IsEmptyFolder(folder + empty)) << empty;
  const auto listed = InstalledFiles(folder + "Setup.inf");
  EXPECT_EQ(listed.size(), files.size() + 1);
  for (const auto& file : listed) EXPECT_TRUE(FileExists(file)) << file;
  EXPECT_TRUE(FileExists(uninstaller.path));

  ASSERT_NO_FATAL_FAILURE(Finish(setup, wizard));
  // The group entries name payload files, the one with umlauts too.
  const std::string group = ProgramsMenu() + "\\" + kGroup + "\\";
  EXPECT_TRUE(FileExists(group + "Talvenor.lnk"));
  EXPECT_TRUE(FileExists(group + "Uebersicht.lnk"));

  // The uninstaller removes the empty folders with everything else.
  Process uninstall(uninstaller.path, "\"" + listed.back() + "\" /quiet");
  ASSERT_TRUE(uninstall.WaitExit(120000));
  EXPECT_EQ(uninstall.ExitCode(), 0u);
  for (const std::string& empty : emptyFolders) EXPECT_FALSE(FolderExists(folder + empty)) << empty;
  EXPECT_FALSE(FolderExists(target));
}

void InstallBuiltMedium(const std::string& kind, const std::string& payload,
                        const std::vector<std::string>& emptyFolders = {}) {
  InstallationTraces traces(kWork, kProgramEntry, kUninstallKey, kGroup);
  InstallAndCompare(BuildFile(kMedia + kind + "\\"), BuildFile(kMedia + payload), emptyFolders);
}

std::wstring Wide(const std::string& ansi) {
  std::wstring wide(ansi.size(), L'\0');
  wide.resize(size_t(::MultiByteToWideChar(CP_ACP, 0, ansi.data(), int(ansi.size()), &wide[0], int(wide.size()))));
  return wide;
}

// Quoted for the command line; a path must not end in a backslash, which would escape the quote.
std::wstring Quoted(const std::wstring& argument) { return L"\"" + argument + L"\""; }

// Runs make-medium.exe with a wide command line, as a packager's script does, its output
// into `log`; its exit code, or a negative number when it did not end within two minutes.
long RunWindowsBuilder(const std::wstring& arguments, const std::string& log) {
  SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE output = ::CreateFileA(log.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited, CREATE_ALWAYS, 0, nullptr);
  if (output == INVALID_HANDLE_VALUE) return -1;
  std::wstring commandLine = Quoted(Wide(BuildFile("bin\\make-medium.exe"))) + L" " + arguments;
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = si.hStdError = output;
  PROCESS_INFORMATION pi{};
  const bool started =
      ::CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
  ::CloseHandle(output);
  if (!started) return -2;
  DWORD code = STILL_ACTIVE;
  if (::WaitForSingleObject(pi.hProcess, 120000) == WAIT_OBJECT_0)
    ::GetExitCodeProcess(pi.hProcess, &code);
  else
    ::TerminateProcess(pi.hProcess, 99);
  ::CloseHandle(pi.hThread);
  ::CloseHandle(pi.hProcess);
  return code == STILL_ACTIVE ? -3 : long(code);
}

// The arguments of the medium builder's round trip; the programs' folder has an omega in its name.
std::wstring BuilderArguments(const std::string& out) {
  const std::wstring media = Wide(BuildFile(kMedia));
  return L"--payload " + Quoted(media + Wide(kLargePayload)) + L" --inf " +
         Quoted(Wide(SourceFile("tests\\e2e\\medium_builder_setup.inf"))) + L" --programs " +
         Quoted(media + L"Programme-\u03A9") + L" --language " + Quoted(Wide(SourceFile("medium\\german.lng"))) +
         L" --licence " + Quoted(Wide(SourceFile("medium\\Licence.txt"))) + L" --out " + Quoted(Wide(out));
}

}  // namespace

TEST(MediumBuilder, WholeArchiveInstallsThePayloadByteForByte) {
  ASSERT_TRUE(FileExists(BuildFile("tests\\e2e\\builder-media\\whole\\Setup.zip")));
  EXPECT_FALSE(FileExists(BuildFile("tests\\e2e\\builder-media\\whole\\Se001.zip")));
  InstallBuiltMedium("whole", "payload");
}

TEST(MediumBuilder, MultiPartSetOnAFixedDriveInstallsThePayloadByteForByte) {
  const std::string medium = BuildFile("tests\\e2e\\builder-media\\parts\\");
  ASSERT_TRUE(FileExists(medium + "Se001.zip"));
  ASSERT_TRUE(FileExists(medium + "Se002.zip"));
  ASSERT_TRUE(FileExists(medium + "Setup.zip"));
  InstallBuiltMedium("parts", "payload");
}

TEST(MediumBuilder, SignedMediumOfTheLinuxBuilderInstallsThousandsOfFilesAndTheEmptyFolders) {
  InstallBuiltMedium("signed", kLargePayload, kEmptyFolders);
}

TEST(MediumBuilder, WindowsBuilderWritesTheSameArchiveAndItsMediumInstallsByteForByte) {
  InstallationTraces traces(kWork, kProgramEntry, kUninstallKey, kGroup);
  ASSERT_TRUE(::CreateDirectoryA(kWork, nullptr));
  const std::string log = std::string(kWork) + "\\make-medium.log";
  const std::string mediumFolder = std::string(kWork) +
                                   "\\Medium-Gr\xFC\xDF"
                                   "e",
                    medium = mediumFolder + "\\";
  // With the build's SOURCE_DATE_EPOCH the archive is the Linux builder's byte for byte.
  ASSERT_TRUE(::SetEnvironmentVariableA("SOURCE_DATE_EPOCH", "988977600"));
  const long code = RunWindowsBuilder(BuilderArguments(mediumFolder), log);
  ::SetEnvironmentVariableA("SOURCE_DATE_EPOCH", nullptr);
  ASSERT_EQ(code, 0) << ReadFile(log);
  const std::string payload = BuildFile(kMedia + std::string(kLargePayload));
  const std::string summary = "files: " + std::to_string(FilesBelow(payload).size()) + ",";
  EXPECT_NE(ReadFile(log).find(summary), std::string::npos) << ReadFile(log);
  EXPECT_EQ(ReadFile(medium + "Setup.zip"), ReadFile(BuildFile(kMedia + std::string("signed\\Setup.zip"))));
  InstallAndCompare(medium, payload, kEmptyFolders);

  // Signing needs signtool.exe on the PATH, which this system has not.
  const std::string refused = std::string(kWork) + "\\Verweigert";
  EXPECT_EQ(RunWindowsBuilder(BuilderArguments(refused) + L" --sign-pkcs12 " +
                                  Quoted(Wide(BuildFile(kMedia + std::string("signing\\signing.p12")))) +
                                  L" --sign-password-env TALVENOR_E2E_SIGNING_PASSWORD",
                              log),
            1);
  EXPECT_NE(ReadFile(log).find("error: signtool.exe: is not on the PATH"), std::string::npos) << ReadFile(log);
  EXPECT_FALSE(FolderExists(refused));
}
