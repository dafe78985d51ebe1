// Loads the real UNZIPLIB.DLL, as the archive component does, and extracts through it.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "test_zip.h"
#include "unzip_abi.h"

using namespace ziptest;

namespace {

struct Record {
  int32_t caller;
  int32_t action;
  int32_t errorCode;
  int32_t size;
  std::string text;
};

std::vector<Record> g_records;
int32_t g_stopAtAction = 0;                     // the callback answers "stop" to the first record of this action
std::function<void(const Record&)> g_onRecord;  // what the caller does in the callback

int32_t __stdcall RecordingCallback(void* record) {
  const uint8_t* p = static_cast<const uint8_t*>(record);
  namespace r = unzipabi::record;
  Record rec{unzipabi::GetI32(p + r::kCaller), unzipabi::GetI32(p + r::kAction), unzipabi::GetI32(p + r::kErrorCode),
             unzipabi::GetI32(p + r::kSize), std::string(reinterpret_cast<const char*>(p + r::kText))};
  g_records.push_back(rec);
  if (g_onRecord) g_onRecord(rec);
  return rec.action == g_stopAtAction ? unzipabi::kStop : unzipabi::kContinue;
}

template <typename Fn>
Fn Entry(HMODULE module, const char* name) {
  // GCC warns on casting one function type to another; the detour through void(*)() is allowed.
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// Memory whose address fits the block's 32-bit fields, also in a 64-bit test build.
class LowBuffer {
 public:
  explicit LowBuffer(size_t size) : data_(static_cast<uint8_t*>(unzipabi::LowAlloc(size))) {
    if (data_ == nullptr) throw std::bad_alloc();
  }
  LowBuffer(const void* bytes, size_t size) : LowBuffer(size) { std::memcpy(data_, bytes, size); }
  explicit LowBuffer(const std::string& text) : LowBuffer(text.c_str(), text.size() + 1) {}
  ~LowBuffer() { unzipabi::LowFree(data_); }
  LowBuffer(const LowBuffer&) = delete;
  LowBuffer& operator=(const LowBuffer&) = delete;

  uint8_t* data() const { return data_; }
  uint32_t address() const { return unzipabi::Address32(data_); }

 private:
  uint8_t* data_;
};

void RemoveTree(const std::string& path) {
  WIN32_FIND_DATAA found;
  HANDLE h = FindFirstFileA((path + "\\*").c_str(), &found);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      const std::string child = path + "\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(child);
      } else {
        SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(child.c_str());
      }
    } while (FindNextFileA(h, &found));
    FindClose(h);
  }
  RemoveDirectoryA(path.c_str());
}

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string Ansi(const std::wstring& wide) {
  char text[MAX_PATH] = {};
  WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, text, sizeof text, nullptr, nullptr);
  return text;
}

std::wstring Wide(const std::string& ansi) {
  wchar_t text[MAX_PATH] = {};
  MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, text, MAX_PATH);
  return text;
}

// A function that only Wine's kernel32 has; null on Windows.
template <typename Fn>
Fn WineFunction(const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("kernel32.dll"), name)));
}

// Wine's path of a file on the host, when running under Wine.
std::string HostPath(const std::string& path) {
  const auto toUnix = WineFunction<char*(__cdecl*)(const wchar_t*)>("wine_get_unix_file_name");
  char* name = toUnix ? toUnix(Wide(path).c_str()) : nullptr;
  if (name == nullptr) return std::string();
  const std::string unixPath = name;
  HeapFree(GetProcessHeap(), 0, name);
  return unixPath;
}

bool IsLink(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// Polls for up to ten seconds: a program of the host may still run when Wine says it ended.
bool Eventually(const std::function<bool()>& condition) {
  for (int i = 0; i < 1000 && !condition(); ++i) Sleep(10);
  return condition();
}

// Runs a program of the host, named by its path there; Wine starts them like its own.
void RunOnHost(const char* program, const std::string& arguments) {
  const auto toDos = WineFunction<wchar_t*(__cdecl*)(const char*)>("wine_get_dos_file_name");
  wchar_t* dosName = toDos ? toDos(program) : nullptr;
  if (dosName == nullptr) return;
  std::wstring command = L"\"" + std::wstring(dosName) + L"\" " + Wide(arguments);
  HeapFree(GetProcessHeap(), 0, dosName);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return;
  WaitForSingleObject(pi.hProcess, 10000);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
}

// A symbolic link to a folder. Wine accepts CreateSymbolicLinkA without making a link; a
// symbolic link of the host, which Wine shows as a reparse point, stands in for it there.
bool MakeFolderLink(const std::string& link, const std::string& target) {
  CreateSymbolicLinkA(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY);
  if (!Exists(link) && !HostPath(link).empty())
    RunOnHost("/bin/ln", "-s \"" + HostPath(target) + "\" \"" + HostPath(link) + "\"");
  return Eventually([&] { return IsLink(link); });
}

void RemoveFolderLink(const std::string& link) {
  if (!IsLink(link)) return;
  if (HostPath(link).empty())
    RemoveDirectoryA(link.c_str());
  else
    RunOnHost("/bin/rm", "-f \"" + HostPath(link) + "\"");
  Eventually([&] { return !Exists(link); });
}

class UnzipDll : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    root_ = std::string(temp) + "unziplib-test-" + std::to_string(GetCurrentProcessId());
    RemoveTree(root_);
    ASSERT_TRUE(CreateDirectoryA(root_.c_str(), nullptr));
    out_ = root_ + "\\out";
    ASSERT_TRUE(CreateDirectoryA(out_.c_str(), nullptr));
    GetCurrentDirectoryA(MAX_PATH, temp);
    previousFolder_ = temp;
    module_ = LoadLibraryA("UNZIPLIB.DLL");
    ASSERT_NE(module_, nullptr);
    exec_ = Entry<unzipabi::UnzipExecFn>(module_, "UnzipExec");
    version_ = Entry<unzipabi::GetUnzipVersionFn>(module_, "GetUnzipVersion");
    ASSERT_NE(exec_, nullptr);
    ASSERT_NE(version_, nullptr);
    g_records.clear();
    g_stopAtAction = 0;
    g_onRecord = nullptr;
  }

  void TearDown() override {
    SetCurrentDirectoryA(previousFolder_.c_str());
    RemoveFolderLink(out_ + "\\link");
    if (module_ != nullptr) FreeLibrary(module_);
    RemoveTree(root_);
  }

  // Writes the archive, makes the extraction folder current and calls the library the way the
  // archive component does.
  int32_t Extract(const std::vector<uint8_t>& archive, std::vector<std::string> specs, bool overwrite = true,
                  int32_t libraryVersion = 0) {
    const std::string archivePath = root_ + "\\Setup.zip";
    if (!archive.empty())
      std::ofstream(archivePath, std::ios::binary)
          .write(reinterpret_cast<const char*>(archive.data()), std::streamsize(archive.size()));
    std::string passwordText = "secret";
    passwordText.resize(unzipabi::kPasswordBufferSize - 1);
    const LowBuffer password(passwordText);
    const LowBuffer name(archivePath);
    std::vector<std::unique_ptr<LowBuffer>> texts;
    unzipabi::BlockValues v;
    v.caller = 0xCA11E4;
    v.callback = unzipabi::Address32(reinterpret_cast<const void*>(&RecordingCallback));
    v.password = password.address();
    v.dirNames = true;
    v.overwrite = overwrite;
    v.archiveName = name.address();
    for (const std::string& s : specs) {
      texts.push_back(std::make_unique<LowBuffer>(s));
      v.specTexts.push_back(texts.back()->address());
    }
    const std::vector<uint8_t> recordBytes = unzipabi::BuildSpecRecords(v.specTexts);
    const LowBuffer records(recordBytes.data(), recordBytes.size());
    v.specRecords = records.address();
    const std::vector<uint8_t> blockBytes = unzipabi::BuildBlock(libraryVersion != 0 ? libraryVersion : version_(), v);
    const LowBuffer block(blockBytes.data(), blockBytes.size());
    EXPECT_TRUE(SetCurrentDirectoryA(out_.c_str()));
    const int32_t result = exec_(block.data());
    SetCurrentDirectoryA(previousFolder_.c_str());
    return result;
  }

  std::vector<int32_t> Actions() const {
    std::vector<int32_t> actions;
    for (const Record& r : g_records) actions.push_back(r.action);
    return actions;
  }

  std::string root_;
  std::string out_;
  std::string previousFolder_;
  HMODULE module_ = nullptr;
  unzipabi::UnzipExecFn exec_ = nullptr;
  unzipabi::GetUnzipVersionFn version_ = nullptr;
};

::ziptest::Entry Member(const std::string& name, const std::string& data) {
  ::ziptest::Entry e;
  e.name = name;
  e.data = data;
  return e;
}

TEST_F(UnzipDll, VersionSelectsTheNewerBlock) { EXPECT_GT(version_(), unzipabi::kLastOldLayoutVersion); }

TEST_F(UnzipDll, ExtractsFilesWithCallbacksInOrder) {
  ZipWriter w;
  ::ziptest::Entry folder = Member("sub/", "");
  folder.method = kStored;
  w.Add(folder);
  w.Add(Member("sub/a.txt", TextData(300, 1)));
  w.Add(Member("b.bin", NoiseData(700, 2)));
  ::ziptest::Entry secret = Member("secret.txt", "for the right password only");
  secret.password = "secret";
  w.Add(secret);
  w.Add(Member("big.txt", TextData(700000, 3)));

  EXPECT_EQ(Extract(w.Finish(), {"*.*"}), 4);
  EXPECT_EQ(Slurp(out_ + "\\sub\\a.txt"), TextData(300, 1));
  EXPECT_EQ(Slurp(out_ + "\\b.bin"), NoiseData(700, 2));
  EXPECT_EQ(Slurp(out_ + "\\secret.txt"), "for the right password only");
  EXPECT_EQ(Slurp(out_ + "\\big.txt"), TextData(700000, 3));

  const std::vector<int32_t> actions = Actions();
  ASSERT_GE(actions.size(), 7u);
  EXPECT_EQ(actions[0], unzipabi::kTotalSize);
  EXPECT_EQ(g_records[0].size, 300 + 700 + 27 + 700000);
  EXPECT_EQ(actions[1], unzipabi::kTotalFiles);
  EXPECT_EQ(g_records[1].size, 4);
  EXPECT_EQ(actions[2], unzipabi::kNewFile);
  EXPECT_EQ(g_records[2].text, "sub/a.txt");
  EXPECT_EQ(g_records[2].size, 300);
  EXPECT_EQ(actions.back(), unzipabi::kBatchEnd);
  EXPECT_EQ(std::count(actions.begin(), actions.end(), unzipabi::kNewFile), 4);
  EXPECT_GE(std::count(actions.begin(), actions.end(), unzipabi::kFileProgress), 2);
  EXPECT_EQ(std::count(actions.begin(), actions.end(), unzipabi::kMessage), 0);
  for (const Record& r : g_records) EXPECT_EQ(r.caller, 0xCA11E4);
}

TEST_F(UnzipDll, KeepsTheArchiveDate) {
  ZipWriter w;
  w.Add(Member("dated.txt", "dated"));  // 2020-01-01 12:00:00 local time
  ASSERT_EQ(Extract(w.Finish(), {"*.*"}), 1);
  WIN32_FILE_ATTRIBUTE_DATA data{};
  ASSERT_TRUE(GetFileAttributesExA((out_ + "\\dated.txt").c_str(), GetFileExInfoStandard, &data));
  FILETIME local{};
  SYSTEMTIME t{};
  FileTimeToLocalFileTime(&data.ftLastWriteTime, &local);
  FileTimeToSystemTime(&local, &t);
  EXPECT_EQ(t.wYear, 2020);
  EXPECT_EQ(t.wMonth, 1);
  EXPECT_EQ(t.wDay, 1);
  EXPECT_EQ(t.wHour, 12);
  EXPECT_EQ(t.wMinute, 0);
}

TEST_F(UnzipDll, ReplacesReadOnlyFilesAndKeepsFilesWithoutOverwrite) {
  ZipWriter w;
  w.Add(Member("locked.txt", "new"));
  const std::vector<uint8_t> archive = w.Finish();
  std::ofstream(out_ + "\\locked.txt") << "old";
  SetFileAttributesA((out_ + "\\locked.txt").c_str(), FILE_ATTRIBUTE_READONLY);

  EXPECT_EQ(Extract(archive, {"*.*"}, false), 0);
  EXPECT_EQ(Slurp(out_ + "\\locked.txt"), "old");
  EXPECT_EQ(Extract(archive, {"*.*"}, true), 1);
  EXPECT_EQ(Slurp(out_ + "\\locked.txt"), "new");
}

// Setup keeps the old file of a member by moving it away when the member is announced: the
// library announces each member before it creates the member's file, staged or streamed.
TEST_F(UnzipDll, AnnouncesEachMemberBeforeItCreatesItsFile) {
  ZipWriter w;
  w.Add(Member("alt.txt", "new"));
  w.Add(Member("sub/neu.txt", TextData(300, 5)));
  w.Add(Member("gross.txt", TextData(3000000, 6)));  // written while it is decompressed
  std::ofstream(out_ + "\\alt.txt") << "old";
  std::vector<std::string> thereWhenAnnounced;
  g_onRecord = [&](const Record& r) {
    if (r.action != unzipabi::kNewFile) return;
    std::string file = out_ + "\\" + r.text;
    std::replace(file.begin(), file.end(), '/', '\\');
    if (Exists(file)) thereWhenAnnounced.push_back(r.text);
    if (r.text == "alt.txt") MoveFileA(file.c_str(), (root_ + "\\kept.txt").c_str());
  };

  EXPECT_EQ(Extract(w.Finish(), {"*.*"}), 3);
  EXPECT_EQ(thereWhenAnnounced, std::vector<std::string>{"alt.txt"});
  EXPECT_EQ(Slurp(root_ + "\\kept.txt"), "old");
  EXPECT_EQ(Slurp(out_ + "\\alt.txt"), "new");
  EXPECT_EQ(Slurp(out_ + "\\gross.txt"), TextData(3000000, 6));
}

TEST_F(UnzipDll, StopFromTheCallbackLeavesNoFile) {
  ZipWriter w;
  w.Add(Member("big.txt", TextData(2000000, 4)));
  w.Add(Member("later.txt", "later"));
  g_stopAtAction = unzipabi::kFileProgress;
  EXPECT_EQ(Extract(w.Finish(), {"*.*"}), 0);
  EXPECT_FALSE(Exists(out_ + "\\big.txt"));
  EXPECT_FALSE(Exists(out_ + "\\later.txt"));
  WIN32_FIND_DATAA found;
  HANDLE h = FindFirstFileA((out_ + "\\*.tmp").c_str(), &found);
  EXPECT_EQ(h, INVALID_HANDLE_VALUE) << "temporary left: " << found.cFileName;
  if (h != INVALID_HANDLE_VALUE) FindClose(h);
  EXPECT_EQ(Actions().back(), unzipabi::kBatchEnd);
}

TEST_F(UnzipDll, HostileNamesStayInsideTheFolder) {
  ZipWriter w;
  w.Add(Member("..\\escaped.txt", "x"));
  w.Add(Member("C:\\escaped.txt", "x"));
  w.Add(Member("sub\\..\\..\\escaped.txt", "x"));
  w.Add(Member("aux.txt", "x"));
  w.Add(Member("ads.txt:hidden", "x"));
  EXPECT_EQ(Extract(w.Finish(), {"*.*"}), 0);
  EXPECT_FALSE(Exists(root_ + "\\escaped.txt"));
  EXPECT_FALSE(Exists("C:\\escaped.txt"));
  EXPECT_FALSE(Exists(out_ + "\\ads.txt"));
  int refused = 0;
  for (const Record& r : g_records) refused += r.action == unzipabi::kMessage && r.errorCode != 0;
  EXPECT_EQ(refused, 5);
}

int FailedMembers() {
  int failed = 0;
  for (const Record& r : g_records) failed += r.action == unzipabi::kMessage && r.errorCode != 0;
  return failed;
}

// Names with umlauts (UTF-8 flag; the OEM code page of a FAT host; a Unicode Path field), a
// name that has no form in the ANSI code page, and a member dated 0.
TEST_F(UnzipDll, NamesAsTheArchiveMeansThemAndAnUndatedMember) {
  ZipWriter w;
  ::ziptest::Entry utf8 = Member("Ruft\xC3\xB6ne/Melodie \xC3\x84.mid", "utf8");
  utf8.extraFlags = 0x800;
  w.Add(utf8);
  w.Add(Member("Ruft\x94ne/OEM \x8E.mid", "oem"));  // the same letters in code pages 437 and 850
  ::ziptest::Entry omega = Member("\xCE\xA9.txt", "no ANSI form");
  omega.extraFlags = 0x800;
  w.Add(omega);
  ::ziptest::Entry undated = Member("undated.txt", "undated");
  undated.modified = unzip::DosTime{0, 0};
  w.Add(undated);
  ::ziptest::Entry unicodePath = Member("Ruftoene/Unicode.mid", "unicode path");
  unicodePath.extra = ::ziptest::UnicodePathExtra(unicodePath.name, "Ruft\xC3\xB6ne/Unicode \xC3\x84.mid");
  w.Add(unicodePath);

  EXPECT_EQ(Extract(w.Finish(), {"*.*"}), 4);
  const std::wstring folder = Wide(out_) + L"\\Ruft\u00F6ne\\";
  EXPECT_NE(GetFileAttributesW((folder + L"Melodie \u00C4.mid").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_NE(GetFileAttributesW((folder + L"OEM \u00C4.mid").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_NE(GetFileAttributesW((folder + L"Unicode \u00C4.mid").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(Slurp(out_ + "\\undated.txt"), "undated");
  std::vector<std::string> announced;
  for (const Record& r : g_records)
    if (r.action == unzipabi::kNewFile) announced.push_back(r.text);
  EXPECT_EQ(announced,
            (std::vector<std::string>{Ansi(L"Ruft\u00F6ne/Melodie \u00C4.mid"), Ansi(L"Ruft\u00F6ne/OEM \u00C4.mid"),
                                      "undated.txt", Ansi(L"Ruft\u00F6ne/Unicode \u00C4.mid")}));
  EXPECT_EQ(FailedMembers(), 1);
}

TEST_F(UnzipDll, NothingIsWrittenThroughALinkBelowTheTarget) {
  const std::string elsewhere = root_ + "\\elsewhere";
  ASSERT_TRUE(CreateDirectoryA(elsewhere.c_str(), nullptr));
  ASSERT_TRUE(MakeFolderLink(out_ + "\\link", elsewhere));
  ZipWriter w;
  w.Add(Member("link/x.txt", "x"));
  w.Add(Member("link/deeper/y.txt", "y"));
  w.Add(Member("fine.txt", "fine"));

  EXPECT_EQ(Extract(w.Finish(), {"*.*"}), 1);
  EXPECT_FALSE(Exists(elsewhere + "\\x.txt"));
  EXPECT_FALSE(Exists(elsewhere + "\\deeper"));
  EXPECT_EQ(Slurp(out_ + "\\fine.txt"), "fine");
  EXPECT_EQ(FailedMembers(), 2);
}

// A folder that held the member before is swapped for a link between two of its files: the
// second is not written through the link, whatever the library checked before.
TEST_F(UnzipDll, AFolderSwappedForALinkDuringTheExtractionIsNotWrittenThrough) {
  const std::string elsewhere = root_ + "\\elsewhere";
  ASSERT_TRUE(CreateDirectoryA(elsewhere.c_str(), nullptr));
  ZipWriter w;
  w.Add(Member("d/a.txt", "a"));
  w.Add(Member("d/b.txt", "b"));
  w.Add(Member("d/deeper/c.txt", "c"));
  bool swapped = false;
  g_onRecord = [&](const Record& r) {
    if (r.action != unzipabi::kNewFile || r.text != "d/b.txt" || swapped) return;
    swapped =
        MoveFileA((out_ + "\\d").c_str(), (out_ + "\\d-moved").c_str()) && MakeFolderLink(out_ + "\\d", elsewhere);
  };
  Extract(w.Finish(), {"*.*"});
  g_onRecord = nullptr;
  ASSERT_TRUE(swapped);
  EXPECT_EQ(Slurp(out_ + "\\d-moved\\a.txt"), "a");
  EXPECT_FALSE(Exists(elsewhere + "\\b.txt"));
  EXPECT_FALSE(Exists(elsewhere + "\\deeper"));
  EXPECT_EQ(FailedMembers(), 2);
  RemoveFolderLink(out_ + "\\d");
}

TEST_F(UnzipDll, MissingArchiveAndOldBlockAreReported) {
  EXPECT_EQ(Extract({}, {"*.*"}), 0);  // no archive file written
  ASSERT_EQ(Actions(), (std::vector<int32_t>{unzipabi::kMessage, unzipabi::kBatchEnd}));
  EXPECT_NE(g_records[0].errorCode, 0);
  EXPECT_NE(g_records[0].text.find("Setup.zip"), std::string::npos);

  g_records.clear();
  ZipWriter w;
  w.Add(Member("a.txt", "a"));
  EXPECT_EQ(Extract(w.Finish(), {"*.*"}, true, unzipabi::kLastOldLayoutVersion), 0);
  ASSERT_EQ(Actions(), (std::vector<int32_t>{unzipabi::kMessage, unzipabi::kBatchEnd}));
  EXPECT_NE(g_records[0].errorCode, 0);
  EXPECT_FALSE(Exists(out_ + "\\a.txt"));
}

}  // namespace
