#include "driver.h"

#include "e2e_paths.h"
#include "utf8_text.h"

#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

namespace e2e {

std::string BuildFile(const std::string& relative) { return std::string(kBuildFolder) + "\\" + relative; }

bool WaitUntil(const std::function<bool()>& condition, int timeoutMs) {
  const DWORD start = ::GetTickCount();
  for (;;) {
    if (condition()) return true;
    if (int(::GetTickCount() - start) > timeoutMs) return false;
    ::Sleep(20);
  }
}

// ---- files

TempFolder::TempFolder(const std::string& prefix) {
  char temp[MAX_PATH];
  ::GetTempPathA(MAX_PATH, temp);
  static int counter = 0;
  for (;;) {
    std::ostringstream name;
    name << temp << prefix << '_' << ::GetCurrentProcessId() << '_' << ++counter << '_' << ::GetTickCount();
    if (::CreateDirectoryA(name.str().c_str(), nullptr)) {
      path_ = name.str() + "\\";
      return;
    }
  }
}

TempFolder::~TempFolder() { RemoveTree(path_); }

void RemoveTree(const std::string& path) {
  std::string dir = path;
  if (!dir.empty() && dir.back() == '\\') dir.pop_back();
  WIN32_FIND_DATAA fd;
  HANDLE find = ::FindFirstFileA((dir + "\\*").c_str(), &fd);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = fd.cFileName;
      if (name == "." || name == "..") continue;
      const std::string full = dir + "\\" + name;
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(full);
      } else {
        ::SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileA(full.c_str());
      }
    } while (::FindNextFileA(find, &fd));
    ::FindClose(find);
  }
  ::RemoveDirectoryA(dir.c_str());
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  if (!out) throw std::runtime_error("cannot write " + path);
  out << bytes;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string ReadUtf8File(const std::string& path) { return testsupport::AnsiFromUtf8(ReadFile(path)); }

namespace {

void CollectFiles(const std::string& folder, const std::string& prefix, std::map<std::string, std::string>& files) {
  WIN32_FIND_DATAA data;
  HANDLE find = ::FindFirstFileA((folder + "\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = data.cFileName;
    if (name == "." || name == "..") continue;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      CollectFiles(folder + "\\" + name, prefix + name + "\\", files);
    else
      files[prefix + name] = ReadFile(folder + "\\" + name);
  } while (::FindNextFileA(find, &data));
  ::FindClose(find);
}

}  // namespace

std::map<std::string, std::string> FilesBelow(const std::string& folder) {
  std::map<std::string, std::string> files;
  CollectFiles(folder, "", files);
  return files;
}

bool FileExists(const std::string& path) {
  const DWORD a = ::GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::string& path) {
  const DWORD a = ::GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

void CopyFileTo(const std::string& from, const std::string& to) {
  if (!::CopyFileA(from.c_str(), to.c_str(), FALSE)) throw std::runtime_error("cannot copy " + from);
}

Medium::Medium() : folder_("medium") { CopyFileTo(BuildFile("bin\\setup.exe"), SetupExe()); }

void Medium::AddBuildFile(const std::string& relative, const std::string& name) const {
  CopyFileTo(BuildFile(relative), Path() + name);
}

// ---- processes

Process::Process(const std::string& exe, const std::string& arguments, const std::string& folder) {
  std::string commandLine = "\"" + exe + "\"";
  if (!arguments.empty()) commandLine += " " + arguments;
  STARTUPINFOA si{};
  si.cb = sizeof si;
  if (!::CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &si, &pi_))
    throw std::runtime_error("cannot start " + exe);
}

Process::~Process() {
  Kill();
  if (pi_.hThread) ::CloseHandle(pi_.hThread);
  if (pi_.hProcess) ::CloseHandle(pi_.hProcess);
}

bool Process::Running() const { return ::WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT; }

bool Process::WaitExit(int timeoutMs) { return ::WaitForSingleObject(pi_.hProcess, DWORD(timeoutMs)) == WAIT_OBJECT_0; }

DWORD Process::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  ::GetExitCodeProcess(pi_.hProcess, &code);
  return code;
}

void Process::Kill() {
  if (pi_.hProcess && Running()) {
    ::TerminateProcess(pi_.hProcess, 99);
    ::WaitForSingleObject(pi_.hProcess, 5000);
  }
}

std::vector<HWND> Process::Windows(bool visibleOnly) const {
  struct Search {
    DWORD pid;
    bool visibleOnly;
    std::vector<HWND> found;
  } search{pi_.dwProcessId, visibleOnly, {}};
  struct Collect {
    static BOOL CALLBACK Window(HWND wnd, LPARAM lp) {
      auto* s = reinterpret_cast<Search*>(lp);
      DWORD pid = 0;
      ::GetWindowThreadProcessId(wnd, &pid);
      if (pid == s->pid && (!s->visibleOnly || ::IsWindowVisible(wnd))) s->found.push_back(wnd);
      return TRUE;
    }
  };
  ::EnumWindows(&Collect::Window, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

namespace {
std::string ClassOf(HWND wnd) {
  char name[256] = {};
  ::GetClassNameA(wnd, name, sizeof name);
  return name;
}
}  // namespace

HWND Process::FindWindowOfClass(const std::string& className, bool visibleOnly) const {
  for (HWND wnd : Windows(visibleOnly))
    if (ClassOf(wnd) == className) return wnd;
  return nullptr;
}

HWND Process::WaitWindow(const std::string& className, int timeoutMs) const {
  HWND found = nullptr;
  WaitUntil([&] { return (found = FindWindowOfClass(className)) != nullptr; }, timeoutMs);
  return found;
}

bool Process::WaitHidden(const std::string& className, int timeoutMs) const {
  return WaitUntil([&] { return FindWindowOfClass(className) == nullptr; }, timeoutMs);
}

// ---- windows

std::vector<HWND> Children(HWND parent, const std::string& className) {
  struct Search {
    std::string cls;
    std::vector<HWND> found;
  } search{className, {}};
  struct Collect {
    static BOOL CALLBACK Child(HWND wnd, LPARAM lp) {
      auto* s = reinterpret_cast<Search*>(lp);
      if (s->cls.empty() || _stricmp(ClassOf(wnd).c_str(), s->cls.c_str()) == 0) s->found.push_back(wnd);
      return TRUE;
    }
  };
  ::EnumChildWindows(parent, &Collect::Child, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND FindChild(HWND parent, const std::string& className, const std::string& text, bool visibleOnly) {
  for (HWND wnd : Children(parent, className)) {
    if (visibleOnly && !::IsWindowVisible(wnd)) continue;
    if (text.empty() || Text(wnd) == text) return wnd;
  }
  return nullptr;
}

HWND WaitChild(HWND parent, const std::string& className, const std::string& text, int timeoutMs) {
  HWND found = nullptr;
  WaitUntil([&] { return (found = FindChild(parent, className, text, true)) != nullptr; }, timeoutMs);
  return found;
}

std::string Text(HWND wnd) {
  DWORD_PTR length = 0;
  if (!::SendMessageTimeoutA(wnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) return {};
  std::string text(length + 1, '\0');
  DWORD_PTR got = 0;
  ::SendMessageTimeoutA(wnd, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(&text[0]), SMTO_ABORTIFHUNG, 5000, &got);
  text.resize(got);
  return text;
}

void SetText(HWND wnd, const std::string& text) {
  DWORD_PTR result = 0;
  ::SendMessageTimeoutA(wnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 5000, &result);
}

void Click(HWND button) { ::PostMessageA(button, BM_CLICK, 0, 0); }
void PostClose(HWND wnd) { ::PostMessageA(wnd, WM_CLOSE, 0, 0); }
bool Visible(HWND wnd) { return wnd && ::IsWindowVisible(wnd); }

RECT ScreenRect(HWND wnd) {
  RECT r{};
  ::GetWindowRect(wnd, &r);
  return r;
}

// ---- message boxes

std::optional<MessageBoxInfo> FindMessageBox(const Process& p) {
  HWND box = p.FindWindowOfClass("#32770");
  if (!box) return std::nullopt;
  MessageBoxInfo info;
  info.hwnd = box;
  info.caption = Text(box);
  for (HWND s : Children(box, "Static")) {
    const std::string t = Text(s);
    if (!t.empty()) info.text = t;
  }
  return info;
}

std::optional<MessageBoxInfo> WaitMessageBox(const Process& p, int timeoutMs) {
  std::optional<MessageBoxInfo> box;
  WaitUntil([&] { return (box = FindMessageBox(p)).has_value(); }, timeoutMs);
  return box;
}

bool Answer(const MessageBoxInfo& box, const std::string& buttonText) {
  HWND button = FindChild(box.hwnd, "Button", buttonText);
  if (!button) return false;
  Click(button);
  return true;
}

// ---- screen

ScreenShot::ScreenShot() {
  width_ = ::GetSystemMetrics(SM_CXSCREEN);
  height_ = ::GetSystemMetrics(SM_CYSCREEN);
  HDC screen = ::GetDC(nullptr);
  HDC mem = ::CreateCompatibleDC(screen);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = width_;
  bi.bmiHeader.biHeight = -height_;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bmp = ::CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = ::SelectObject(mem, bmp);
  ::BitBlt(mem, 0, 0, width_, height_, screen, 0, 0, SRCCOPY);
  ::GdiFlush();
  const auto* px = static_cast<const uint32_t*>(bits);
  pixels_.assign(px, px + size_t(width_) * height_);
  ::SelectObject(mem, old);
  ::DeleteObject(bmp);
  ::DeleteDC(mem);
  ::ReleaseDC(nullptr, screen);
}

COLORREF ScreenShot::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
  const uint32_t p = pixels_[size_t(y) * width_ + x];
  return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

void ScreenShot::Save(const std::string& path) const {
  const int rowBytes = (width_ * 3 + 3) & ~3;
  BITMAPFILEHEADER fh{};
  BITMAPINFOHEADER ih{};
  ih.biSize = sizeof ih;
  ih.biWidth = width_;
  ih.biHeight = height_;
  ih.biPlanes = 1;
  ih.biBitCount = 24;
  ih.biSizeImage = DWORD(rowBytes * height_);
  fh.bfType = 0x4D42;
  fh.bfOffBits = sizeof fh + sizeof ih;
  fh.bfSize = fh.bfOffBits + ih.biSizeImage;
  std::string out(reinterpret_cast<const char*>(&fh), sizeof fh);
  out.append(reinterpret_cast<const char*>(&ih), sizeof ih);
  std::string row(size_t(rowBytes), '\0');
  for (int y = height_ - 1; y >= 0; --y) {
    for (int x = 0; x < width_; ++x) {
      const uint32_t p = pixels_[size_t(y) * width_ + x];
      row[size_t(3 * x)] = char(p & 0xFF);
      row[size_t(3 * x + 1)] = char((p >> 8) & 0xFF);
      row[size_t(3 * x + 2)] = char((p >> 16) & 0xFF);
    }
    out += row;
  }
  WriteFile(path, out);
}

void SaveScreenShotIfAsked(const std::string& name) {
  char folder[MAX_PATH] = {};
  if (!::GetEnvironmentVariableA("TALVENOR_SCREENSHOTS", folder, MAX_PATH)) return;
  ::Sleep(300);  // let the windows finish painting
  ScreenShot().Save(std::string(folder) + "\\" + name + ".bmp");
}

// ---- registry and profiles

std::optional<std::string> RegString(HKEY root, const std::string& key, const std::string& value) {
  char data[4096] = {};
  DWORD size = sizeof data, type = 0;
  if (::RegGetValueA(root, key.c_str(), value.c_str(), RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, &type, data,
                     &size) != ERROR_SUCCESS)
    return std::nullopt;
  return std::string(data);
}

std::optional<DWORD> RegDword(HKEY root, const std::string& key, const std::string& value) {
  DWORD data = 0, size = sizeof data;
  if (::RegGetValueA(root, key.c_str(), value.c_str(), RRF_RT_REG_DWORD, nullptr, &data, &size) != ERROR_SUCCESS)
    return std::nullopt;
  return data;
}

bool RegKeyExists(HKEY root, const std::string& key) {
  HKEY h = nullptr;
  if (::RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
  ::RegCloseKey(h);
  return true;
}

std::map<std::string, std::string> RegValues(HKEY root, const std::string& key) {
  std::map<std::string, std::string> values;
  HKEY h = nullptr;
  if (::RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return values;
  for (DWORD i = 0;; ++i) {
    char name[256];
    BYTE data[4096];
    DWORD nameSize = sizeof name, dataSize = sizeof data, type = REG_NONE;
    if (::RegEnumValueA(h, i, name, &nameSize, nullptr, &type, data, &dataSize) != ERROR_SUCCESS) break;
    values[name] = std::to_string(type) + ":" + std::string(reinterpret_cast<const char*>(data), dataSize);
  }
  ::RegCloseKey(h);
  return values;
}

void RegDeleteTree(HKEY root, const std::string& key) {
  ::RegDeleteTreeA(root, key.c_str());
  ::RegDeleteKeyA(root, key.c_str());
}

void RegSetString(HKEY root, const std::string& key, const std::string& value, const std::string& data) {
  HKEY h = nullptr;
  if (::RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr) != ERROR_SUCCESS) return;
  ::RegSetValueExA(h, value.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()), DWORD(data.size() + 1));
  ::RegCloseKey(h);
}

std::string IniString(const std::string& path, const std::string& section, const std::string& key,
                      const std::string& def) {
  char buffer[2048];
  const DWORD n =
      ::GetPrivateProfileStringA(section.c_str(), key.c_str(), def.c_str(), buffer, sizeof buffer, path.c_str());
  return std::string(buffer, n);
}

}  // namespace e2e
