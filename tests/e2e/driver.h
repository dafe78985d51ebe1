// The end-to-end driver: lays out an installation medium, starts the real setup.exe and works
// its windows as a user would (find by class and text, click, type, close, answer message
// boxes, read texts and pixels), then reads back what setup left behind. Every wait is bounded.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

constexpr int kWaitMs = 15000;

// A file of the build, such as "bin\\setup.exe" (paths below the Windows build folder).
std::string BuildFile(const std::string& relative);

bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = kWaitMs);

// A fresh folder below the temporary folder, removed with everything in it at the end.
class TempFolder {
 public:
  explicit TempFolder(const std::string& prefix = "talvenor");
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::string& Path() const { return path_; }  // ends in a backslash

 private:
  std::string path_;
};

void RemoveTree(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);
// A UTF-8 text file, such as setup's log, in the ANSI code page.
std::string ReadUtf8File(const std::string& path);
// Every file below a folder with its bytes, by its path relative to the folder ("sub\\name").
std::map<std::string, std::string> FilesBelow(const std::string& folder);
bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);
void CopyFileTo(const std::string& from, const std::string& to);

// An installation medium: setup.exe and the other programs of the build in a folder.
class Medium {
 public:
  Medium();
  const std::string& Path() const { return folder_.Path(); }
  std::string SetupExe() const { return Path() + "setup.exe"; }
  void Write(const std::string& name, const std::string& bytes) const { WriteFile(Path() + name, bytes); }
  void WriteSetupInf(const std::string& text) const { Write("Setup.inf", text); }
  // Copies a file of the build into the medium under a name.
  void AddBuildFile(const std::string& relative, const std::string& name) const;

 private:
  TempFolder folder_;
};

// A started program; ended when the object goes.
class Process {
 public:
  explicit Process(const std::string& exe, const std::string& arguments = "", const std::string& folder = "");
  ~Process();
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  DWORD Id() const { return pi_.dwProcessId; }
  bool Running() const;
  bool WaitExit(int timeoutMs = kWaitMs);
  DWORD ExitCode() const;
  void Kill();

  // Top-level windows of the process.
  std::vector<HWND> Windows(bool visibleOnly = true) const;
  HWND FindWindowOfClass(const std::string& className, bool visibleOnly = true) const;
  HWND WaitWindow(const std::string& className, int timeoutMs = kWaitMs) const;
  bool WaitHidden(const std::string& className, int timeoutMs = kWaitMs) const;

 private:
  PROCESS_INFORMATION pi_{};
};

// Children, at any depth, of a class (and text, when given).
HWND FindChild(HWND parent, const std::string& className, const std::string& text = "", bool visibleOnly = false);
HWND WaitChild(HWND parent, const std::string& className, const std::string& text, int timeoutMs = kWaitMs);
std::vector<HWND> Children(HWND parent, const std::string& className);

std::string Text(HWND wnd);
void SetText(HWND wnd, const std::string& text);
void Click(HWND button);   // posted, so a modal box that the click opens does not block
void PostClose(HWND wnd);  // a close request, as the system menu or Alt+F4 sends it
bool Visible(HWND wnd);
RECT ScreenRect(HWND wnd);

// Message boxes of a process: caption, text, buttons.
struct MessageBoxInfo {
  HWND hwnd = nullptr;
  std::string caption;
  std::string text;
};
std::optional<MessageBoxInfo> FindMessageBox(const Process& p);
std::optional<MessageBoxInfo> WaitMessageBox(const Process& p, int timeoutMs = kWaitMs);
// Presses a button of the box by its caption ("OK", "&Ja" ...); false when there is none.
bool Answer(const MessageBoxInfo& box, const std::string& buttonText);

// Screen pixels, read from a copy of the screen.
class ScreenShot {
 public:
  ScreenShot();
  COLORREF Pixel(int x, int y) const;
  int Width() const { return width_; }
  int Height() const { return height_; }
  // Writes the shot as a 24-bit BMP.
  void Save(const std::string& path) const;

 private:
  int width_, height_;
  std::vector<uint32_t> pixels_;  // 0x00RRGGBB, top-down
};
// Saves a shot into $TALVENOR_SCREENSHOTS\<name>.bmp when that variable is set.
void SaveScreenShotIfAsked(const std::string& name);

// Registry.
std::optional<std::string> RegString(HKEY root, const std::string& key, const std::string& value);
std::optional<DWORD> RegDword(HKEY root, const std::string& key, const std::string& value);
bool RegKeyExists(HKEY root, const std::string& key);
// Every value of a key by its name, as its type and data ("1:text" for a string).
std::map<std::string, std::string> RegValues(HKEY root, const std::string& key);
void RegDeleteTree(HKEY root, const std::string& key);
void RegSetString(HKEY root, const std::string& key, const std::string& value, const std::string& data);

// Profile strings of an INI file.
std::string IniString(const std::string& path, const std::string& section, const std::string& key,
                      const std::string& def = "");

}  // namespace e2e
