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

std::string LibraryFolder(const std::string& variant) {
  return platform::ExeFolder() + "zip_test_libs\\" + variant;
}

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

}  // namespace ziptest
