#include "private_folder.h"

#include <aclapi.h>
#include <ntsecapi.h>
#include <sddl.h>
#include <winternl.h>

#include <vector>

#include "error.h"
#include "files.h"
#include "owned_folder.h"
#include "system_library.h"

namespace platform {

namespace {

constexpr size_t kRandomBytes = 16;
// Others may go on reading and writing what a handle of ours holds, but not rename or
// delete it.
constexpr DWORD kShareAllButDelete = FILE_SHARE_READ | FILE_SHARE_WRITE;
// What removing a file or folder takes: reading its kind and names, and deleting it.
constexpr DWORD kRemoveAccess = DELETE | FILE_READ_ATTRIBUTES | FILE_LIST_DIRECTORY;

std::wstring Wide(const std::string& text) {
  const int size = ::MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0);
  std::wstring wide(size_t(size), L'\0');
  if (size > 0) ::MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), &wide[0], size);
  return wide;
}

std::string WithoutTrailingBackslash(std::string path) {
  while (path.size() > 3 && path.back() == '\\') path.pop_back();
  return path;
}

std::wstring Child(const std::wstring& folder, const std::wstring& name) {
  return (!folder.empty() && folder.back() == L'\\') ? folder + name : folder + L'\\' + name;
}

// Opens a file or folder. Without `followLink`, Windows opens a link itself; Wine still opens
// what a host symbolic link points to, which the handle's final path then names.
UniqueFile OpenEntry(const std::wstring& path, DWORD access, bool followLink = false) {
  const DWORD flags = FILE_FLAG_BACKUP_SEMANTICS | (followLink ? 0 : FILE_FLAG_OPEN_REPARSE_POINT);
  return UniqueFile(::CreateFileW(path.c_str(), access, kShareAllButDelete, nullptr, OPEN_EXISTING, flags, nullptr));
}

// The full path of what a handle holds, links resolved ("\\?\C:\..."); "" when unknown.
std::wstring FinalPath(HANDLE entry) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n =
        ::GetFinalPathNameByHandleW(entry, &path[0], DWORD(path.size()), FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (n == 0) return {};
    const bool fits = n < path.size();
    path.resize(n);
    if (fits) return path;
  }
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
  return !a.empty() && ::CompareStringOrdinal(a.data(), int(a.size()), b.data(), int(b.size()), TRUE) == CSTR_EQUAL;
}

DWORD HandleAttributes(HANDLE entry) {
  BY_HANDLE_FILE_INFORMATION info{};
  return ::GetFileInformationByHandle(entry, &info) ? info.dwFileAttributes : INVALID_FILE_ATTRIBUTES;
}

// Whether the open `entry`, opened by the name `path`, is a folder and no link: neither one
// that Windows opened itself (a reparse point on the handle) nor one that Wine followed (a
// reparse point on the name only).
bool IsFolderNotLink(HANDLE entry, const std::wstring& path) {
  const DWORD byHandle = HandleAttributes(entry);
  const DWORD byName = ::GetFileAttributesW(path.c_str());
  return byHandle != INVALID_FILE_ATTRIBUTES && byName != INVALID_FILE_ATTRIBUTES &&
         (byHandle & FILE_ATTRIBUTE_DIRECTORY) && !((byHandle | byName) & FILE_ATTRIBUTE_REPARSE_POINT);
}

std::string RandomHex() {
  unsigned char bytes[kRandomBytes];
  if (!::RtlGenRandom(bytes, sizeof bytes)) throw Error("Keine Zufallszahlen für einen Ordnernamen verfügbar");
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (const unsigned char b : bytes) {
    hex += kDigits[b >> 4];
    hex += kDigits[b & 15];
  }
  return hex;
}

bool IsAdministratorsOrSystem(PSID sid) {
  return sid && ::IsValidSid(sid) &&
         (::IsWellKnownSid(sid, WinBuiltinAdministratorsSid) || ::IsWellKnownSid(sid, WinLocalSystemSid));
}

bool AllowsOnlyAdministratorsAndSystem(const ACL* acl) {
  if (!acl || acl->AceCount == 0) return false;
  for (DWORD i = 0; i < acl->AceCount; ++i) {
    void* ace = nullptr;
    if (!::GetAce(const_cast<ACL*>(acl), i, &ace)) return false;
    const auto* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(ace);
    if (allowed->Header.AceType != ACCESS_ALLOWED_ACE_TYPE ||
        !IsAdministratorsOrSystem(const_cast<DWORD*>(&allowed->SidStart)))
      return false;
  }
  return true;
}

// Creates the folder `name` in the open folder `parent` and opens it in one step, as
// CreateDirectoryW does, but keeping the handle: between creating and opening by name, a user
// who may rename what lies in the parent could put a folder of their own in its place.
UniqueFile CreateFolderIn(HANDLE parent, const std::wstring& name, PSECURITY_DESCRIPTOR descriptor) {
  const HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
  const auto create = EntryPoint<decltype(&NtCreateFile)>(ntdll, "NtCreateFile");
  const auto toError = EntryPoint<decltype(&RtlNtStatusToDosError)>(ntdll, "RtlNtStatusToDosError");
  const USHORT bytes = USHORT(name.size() * sizeof(wchar_t));
  UNICODE_STRING objectName{bytes, bytes, const_cast<wchar_t*>(name.c_str())};
  OBJECT_ATTRIBUTES attributes;
  InitializeObjectAttributes(&attributes, &objectName, OBJ_CASE_INSENSITIVE, parent, descriptor);
  IO_STATUS_BLOCK io{};
  HANDLE folder = INVALID_HANDLE_VALUE;
  const NTSTATUS status =
      create(&folder, kRemoveAccess | SYNCHRONIZE, &attributes, &io, nullptr, FILE_ATTRIBUTE_NORMAL, kShareAllButDelete,
             FILE_CREATE, FILE_DIRECTORY_FILE | FILE_SYNCHRONOUS_IO_NONALERT | FILE_OPEN_FOR_BACKUP_INTENT, nullptr, 0);
  if (status >= 0) return UniqueFile(folder);
  ::SetLastError(toError(status));
  return UniqueFile();
}

// The parent stays open until the new folder is, so that it cannot be swapped for a link
// meanwhile; the new folder is made through its handle.
std::string MakePrivateFolder(const std::string& parent, const std::string& prefix, UniqueFile& folder,
                              std::wstring& finalPath) {
  const std::wstring parentName = Wide(WithoutTrailingBackslash(parent));
  const UniqueFile parentFolder = OpenEntry(parentName, FILE_TRAVERSE | FILE_READ_ATTRIBUTES);
  if (!parentFolder) ThrowLastError(FormatText("Der Ordner %s kann nicht geöffnet werden", parent));
  if (!IsFolderNotLink(parentFolder.get(), parentName))
    throw Error(FormatText("%s ist kein Ordner, sondern ein Verweis oder eine Datei", parent));

  const std::string name = prefix + RandomHex();
  const std::string path = IncludeTrailingBackslash(parent) + name;
  const UniqueLocal descriptor = PrivateFolderDescriptor();
  folder = CreateFolderIn(parentFolder.get(), Wide(name), descriptor.get());
  if (!folder) ThrowLastError(FormatText("Der Ordner %s kann nicht angelegt werden", path));
  finalPath = FinalPath(folder.get());
  if (finalPath.empty()) ThrowLastError(FormatText("Der Ordner %s kann nicht angelegt werden", path));
  return path + "\\";
}

// The names in an open folder (FILE_LIST_DIRECTORY), read through its handle: a search by
// name would need the folder shared for deleting, which a handle of ours that may delete it
// does not allow.
std::vector<std::wstring> EntryNames(HANDLE folder) {
  std::vector<std::wstring> names;
  std::vector<uint64_t> buffer(8 * 1024);  // 64 KiB, aligned as the records need
  const DWORD bytes = DWORD(buffer.size() * sizeof buffer[0]);
  const auto* records = reinterpret_cast<const char*>(buffer.data());
  for (auto kind = FileIdBothDirectoryRestartInfo; ::GetFileInformationByHandleEx(folder, kind, buffer.data(), bytes);
       kind = FileIdBothDirectoryInfo) {
    for (size_t offset = 0;;) {
      const auto* entry = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(records + offset);
      const std::wstring name(entry->FileName, entry->FileNameLength / sizeof(wchar_t));
      if (name != L"." && name != L"..") names.push_back(name);
      if (entry->NextEntryOffset == 0) break;
      offset += entry->NextEntryOffset;
    }
  }
  return names;
}

bool DeleteThroughHandle(HANDLE entry) {
  FILE_DISPOSITION_INFO disposition{TRUE};
  return ::SetFileInformationByHandle(entry, FileDispositionInfo, &disposition, sizeof disposition);
}

void RemoveEntry(const std::wstring& path);

// `entry` is open (kRemoveAccess) and held at `path`, its final path. A link is deleted
// itself, never followed; a folder is emptied first.
void RemoveOpened(HANDLE entry, const std::wstring& path) {
  const DWORD attributes = HandleAttributes(entry);
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    for (const std::wstring& name : EntryNames(entry)) RemoveEntry(Child(path, name));
  }
  DeleteThroughHandle(entry);
}

// `path` lies in a folder that is held open. A handle whose final path is another came
// through a link that the system followed (Wine, a host link): both stay.
void RemoveEntry(const std::wstring& path) {
  const UniqueFile entry = OpenEntry(path, kRemoveAccess);
  if (entry && SamePath(FinalPath(entry.get()), path)) RemoveOpened(entry.get(), path);
}

}  // namespace

std::string CreatePrivateFolder(const std::string& parent, const std::string& prefix) {
  UniqueFile folder;
  std::wstring finalPath;
  return MakePrivateFolder(parent, prefix, folder, finalPath);
}

bool IsPrivateDescriptor(PSECURITY_DESCRIPTOR descriptor) {
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  if (!descriptor || !::GetSecurityDescriptorControl(descriptor, &control, &revision) || !(control & SE_DACL_PROTECTED))
    return false;
  PSID owner = nullptr;
  BOOL defaulted = FALSE;
  if (!::GetSecurityDescriptorOwner(descriptor, &owner, &defaulted) || !IsAdministratorsOrSystem(owner)) return false;
  PACL dacl = nullptr;
  BOOL present = FALSE;
  return ::GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted) && present &&
         AllowsOnlyAdministratorsAndSystem(dacl);
}

bool FolderIsPrivate(const std::string& path) {
  const std::wstring name = Wide(WithoutTrailingBackslash(path));
  const UniqueFile folder = OpenEntry(name, READ_CONTROL | FILE_READ_ATTRIBUTES);
  if (!folder || !IsFolderNotLink(folder.get(), name)) return false;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (::GetSecurityInfo(folder.get(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, nullptr,
                        nullptr, nullptr, nullptr, &descriptor) != ERROR_SUCCESS)
    return false;
  const UniqueLocal hold(descriptor);
  return IsPrivateDescriptor(descriptor);
}

void RemoveFolderTree(const std::string& path) {
  const std::string folder = WithoutTrailingBackslash(path);
  // The parent is the caller's to trust: a link there is followed, and then held open.
  const std::wstring parentName = Wide(WithoutTrailingBackslash(ExtractFilePath(folder)));
  const UniqueFile parent = OpenEntry(parentName, FILE_READ_ATTRIBUTES, true);
  const std::wstring parentPath = parent ? FinalPath(parent.get()) : std::wstring();
  if (!parentPath.empty()) RemoveEntry(Child(parentPath, Wide(ExtractFileName(folder))));
}

PrivateFolder::PrivateFolder(const std::string& parent, const std::string& prefix) {
  path_ = MakePrivateFolder(parent, prefix, folder_, finalPath_);
}

PrivateFolder::~PrivateFolder() {
  if (folder_) RemoveOpened(folder_.get(), finalPath_);
}

}  // namespace platform
