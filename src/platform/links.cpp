#include "links.h"

#include "files.h"

#include <windows.h>
#include <winioctl.h>

#include <vector>

namespace platform {

namespace {

std::wstring Wide(const std::string& text) {
  const int size = ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), int(text.size()), nullptr, 0);
  std::wstring wide(size_t(size > 0 ? size : 0), L'\0');
  if (size > 0) ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), int(text.size()), &wide[0], size);
  return wide;
}

std::string Narrow(const std::wstring& wide) {
  const int size = ::WideCharToMultiByte(CP_ACP, 0, wide.c_str(), int(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string text(size_t(size > 0 ? size : 0), '\0');
  if (size > 0) ::WideCharToMultiByte(CP_ACP, 0, wide.c_str(), int(wide.size()), &text[0], size, nullptr, nullptr);
  return text;
}

bool SameName(const std::wstring& a, const std::wstring& b) {
  return ::CompareStringOrdinal(a.c_str(), int(a.size()), b.c_str(), int(b.size()), TRUE) == CSTR_EQUAL;
}

// A mount point whose substitute name is a volume ("\??\Volume{...}\") rather than a folder.
bool IsVolumeMountPoint(const std::string& level) {
  const UniqueFile entry = OpenWithoutFollowing(level, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
  if (!entry) return false;
  std::vector<BYTE> buffer(MAXIMUM_REPARSE_DATA_BUFFER_SIZE);
  DWORD size = 0;
  if (!::DeviceIoControl(entry.get(), FSCTL_GET_REPARSE_POINT, nullptr, 0, buffer.data(), DWORD(buffer.size()), &size,
                         nullptr) ||
      size < 16)
    return false;
  // REPARSE_DATA_BUFFER: tag, data length, reserved, then for a mount point the substitute
  // name's offset and length (bytes) into the path buffer that starts at byte 16.
  DWORD tag = 0;
  memcpy(&tag, buffer.data(), sizeof tag);
  if (tag != IO_REPARSE_TAG_MOUNT_POINT) return false;
  USHORT offset = 0, length = 0;
  memcpy(&offset, buffer.data() + 8, sizeof offset);
  memcpy(&length, buffer.data() + 10, sizeof length);
  if (16u + offset + length > size) return false;
  const std::wstring substitute(reinterpret_cast<const wchar_t*>(buffer.data() + 16 + offset),
                                length / sizeof(wchar_t));
  return substitute.compare(0, 11, L"\\??\\Volume{") == 0;
}

}  // namespace

UniqueFile OpenWithoutFollowing(const std::string& path, DWORD access, DWORD share) {
  return UniqueFile(::CreateFileW(Wide(path).c_str(), access, share, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
}

std::string FinalPathOf(HANDLE object) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = ::GetFinalPathNameByHandleW(object, &path[0], DWORD(path.size()), FILE_NAME_NORMALIZED);
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(n + 1);
  }
  if (path.compare(0, 8, L"\\\\?\\UNC\\") == 0)
    path = L"\\\\" + path.substr(8);
  else if (path.compare(0, 4, L"\\\\?\\") == 0)
    path = path.substr(4);
  return Narrow(path);
}

bool HandleIsAt(HANDLE object, const std::string& path) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandle(object, &info) || (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
    return false;
  std::string expected = ExpandFileName(path);
  while (expected.size() > 3 && expected.back() == '\\') expected.pop_back();
  std::string actual = FinalPathOf(object);
  while (actual.size() > 3 && actual.back() == '\\') actual.pop_back();
  return !actual.empty() && SameName(Wide(actual), Wide(expected));
}

std::string LinkedFolderOnPath(const std::string& path) {
  const std::string full = ExpandFileName(path);
  // The root ("C:\" or "\\server\share\") is where the levels begin.
  size_t start = full.compare(0, 2, "\\\\") == 0 ? full.find('\\', full.find('\\', 2) + 1) : 2;
  if (start == std::string::npos) return {};
  for (size_t end = full.find('\\', start + 1);; end = full.find('\\', end + 1)) {
    const std::string level = full.substr(0, end);
    if (level.size() > start + 1) {
      const DWORD attributes = ::GetFileAttributesW(Wide(level).c_str());
      if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
          !IsVolumeMountPoint(level))
        return level;
    }
    if (end == std::string::npos) return {};
  }
}

}  // namespace platform
