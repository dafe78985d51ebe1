// The archive input and output sink on the Windows file system. Relative paths are taken
// relative to the process's current folder, which the caller sets to the extraction folder.
// Member paths arrive in UTF-8 and are created with the wide-character file functions, so a
// name keeps every character the archive gives it.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "archive_input.h"
#include "code_pages.h"
#include "output_sink.h"

namespace unzip {

// Owns a file handle; INVALID_HANDLE_VALUE is "none".
class FileHandle {
 public:
  explicit FileHandle(HANDLE h = INVALID_HANDLE_VALUE) : handle_(h) {}
  ~FileHandle() { Close(); }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;

  // Gives up ownership without closing.
  HANDLE Release() {
    const HANDLE h = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    return h;
  }
  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  // Closes now and tells whether the close went well (the last buffered write may fail here).
  bool Close();

 private:
  HANDLE handle_;
};

class Win32FileInput : public ArchiveInput {
 public:
  // Null when the file cannot be opened. The path is in the ANSI code page, as the caller has it.
  static std::unique_ptr<Win32FileInput> Open(const std::string& path);

  uint64_t Size() const override { return size_; }
  size_t ReadAt(uint64_t offset, uint8_t* buffer, size_t length) override;

 private:
  Win32FileInput(HANDLE h, uint64_t size) : file_(h), size_(size) {}
  FileHandle file_;
  uint64_t size_;
};

// Writes below the process's current folder, the extraction folder. Every folder and file it
// creates is checked, through its handle, to be where its path says below that folder: a
// folder swapped for a junction or symbolic link at any moment makes the member fail, and what
// was created through the link is deleted again. The extraction folder itself is held open,
// so that on Windows it cannot be renamed or replaced meanwhile.
class Win32Sink : public OutputSink {
 public:
  Win32Sink();
  FolderResult CreateFolders(const std::string& folder) override;
  ExistingEntry Examine(const std::string& path) override;
  std::unique_ptr<PendingFile> Begin(const std::string& path) override;

 private:
  // Creates a new file with CREATE_NEW, or nothing when the new file is not at `relative`.
  HANDLE CreateNew(const std::wstring& relative) const;
  bool AtExpectedPlace(HANDLE object, const std::wstring& relative) const;

  FileHandle baseFolder_;
  std::wstring base_;  // the final path of the extraction folder
  unsigned long nextTemporary_ = 0;
};

// The system's code pages: its OEM code page and its ANSI code page.
class Win32CodePages : public CodePages {
 public:
  std::string OemToUtf8(const std::string& text) const override;
  std::string AnsiToUtf8(const std::string& text) const override;
  bool Utf8ToAnsi(const std::string& utf8, std::string& ansi) const override;
};

}  // namespace unzip
