#include "win_test_support.h"

#include <windows.h>
#include <shellapi.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

#include "files.h"
#include "unzip_abi.h"

namespace ziptest {

TempFolder::TempFolder() {
  char unique[MAX_PATH];
  ::GetTempFileNameA(platform::TempFolder().c_str(), "ztf", 0, unique);
  ::DeleteFileA(unique);
  ::CreateDirectoryA(unique, nullptr);
  path_ = platform::IncludeTrailingBackslash(unique);
}

TempFolder::~TempFolder() {
  std::string from = path_.substr(0, path_.size() - 1);
  from.push_back('\0');
  SHFILEOPSTRUCTA op{};
  op.wFunc = FO_DELETE;
  op.pFrom = from.c_str();
  op.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
  ::SHFileOperationA(&op);
}

void WriteBytes(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

Bytes ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string ReadText(const std::string& path) {
  const Bytes b = ReadBytes(path);
  return std::string(b.begin(), b.end());
}

spantest::Member Member(const std::string& name, size_t size, const std::string& comment) {
  spantest::Member m;
  m.name = name;
  m.data = spantest::PatternBytes(size, uint32_t(size * 31 + name.size()));
  m.comment = comment;
  return m;
}

std::string LibraryFolder(const std::string& variant) { return platform::ExeFolder() + "zip_test_libs\\" + variant; }

int32_t LibraryRecord::Field(size_t offset) const {
  return offset + 4 <= block.size() ? unzipabi::GetI32(&block[offset]) : INT32_MIN;
}

LibraryRecord ReadLibraryRecord(const std::string& path) {
  LibraryRecord r;
  const Bytes raw = ReadBytes(path);
  uint32_t size = 0;
  if (raw.size() < 4) return r;
  std::memcpy(&size, raw.data(), 4);
  if (raw.size() < 4 + size) return r;
  r.present = true;
  r.block.assign(raw.begin() + 4, raw.begin() + 4 + size);
  std::istringstream lines(std::string(raw.begin() + 4 + size, raw.end()));
  std::string line;
  while (std::getline(lines, line)) {
    const size_t eq = line.find('=');
    const std::string key = line.substr(0, eq), value = line.substr(eq + 1);
    if (key == "ARCHIVE") r.archive = value;
    if (key == "PASSWORD") r.password = value;
    if (key == "SPEC") r.specs.push_back(value);
    if (key == "CWD") r.currentFolder = value;
    if (key == "ANSWERS") r.answers = value;
    if (key == "RESULT") r.result = std::stoi(value);
  }
  return r;
}

void EventLog::Attach(TZipArchive& zip) {
  zip.OnProgress = [this](forms::Component*, ProgressType type, const std::string& name, int size) {
    progress.push_back({type, name, size});
  };
  zip.OnMessage = [this](forms::Component*, int code, const std::string& text) { messages.push_back({code, text}); };
  zip.OnDirUpdate = [this](forms::Component*) { ++dirUpdates; };
}

std::vector<EventLog::Progress> EventLog::OfType(ProgressType type) const {
  std::vector<Progress> out;
  for (const Progress& p : progress)
    if (p.type == type) out.push_back(p);
  return out;
}

namespace {

struct BoxSearch {
  DWORD process;
  HWND found;
};

BOOL CALLBACK TestWindow(HWND hwnd, LPARAM lp) {
  auto* search = reinterpret_cast<BoxSearch*>(lp);
  DWORD process = 0;
  ::GetWindowThreadProcessId(hwnd, &process);
  char cls[32] = "";
  ::GetClassNameA(hwnd, cls, sizeof cls);
  if (process != search->process || std::strcmp(cls, "#32770") != 0 || !::IsWindowVisible(hwnd)) return TRUE;
  search->found = hwnd;
  return FALSE;
}

// A visible dialog window of this process: the message box being shown.
HWND FindMessageBox() {
  BoxSearch search{::GetCurrentProcessId(), nullptr};
  ::EnumWindows(TestWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace

BoxAnswerer::BoxAnswerer(std::function<int(const std::string& text)> answer, size_t limit)
    : answer_(std::move(answer)), limit_(limit), thread_([this] { Run(); }) {}

BoxAnswerer::~BoxAnswerer() {
  stop_ = true;
  thread_.join();
}

std::vector<std::string> BoxAnswerer::Texts() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return texts_;
}

void BoxAnswerer::Run() {
  while (!stop_) {
    const HWND box = FindMessageBox();
    if (!box) {
      ::Sleep(20);
      continue;
    }
    char text[2048] = "";
    ::GetDlgItemTextA(box, 0xFFFF, text, sizeof text);  // the text of a message box
    size_t seen;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      texts_.push_back(text);
      seen = texts_.size();
    }
    const int id = seen > limit_ ? IDCANCEL : answer_(text);
    const HWND button = ::GetDlgItem(box, id) ? ::GetDlgItem(box, id) : ::GetDlgItem(box, IDOK);
    ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(button), BN_CLICKED), LPARAM(button));
    for (int i = 0; i < 250 && ::IsWindow(box); ++i) ::Sleep(20);  // at most 5 s for it to close
  }
}

}  // namespace ziptest
