#include "owned_folder.h"

#include "error.h"
#include "handle.h"
#include "links.h"

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <vector>

namespace platform {

const char kPrivateFolderDescriptor[] = "O:BAD:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)";

UniqueLocal PrivateFolderDescriptor() {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!::ConvertStringSecurityDescriptorToSecurityDescriptorA(kPrivateFolderDescriptor, SDDL_REVISION_1, &descriptor,
                                                              nullptr))
    throw Error("Die Zugriffsrechte eines geschützten Ordners können nicht gebildet werden.");
  return UniqueLocal(descriptor);
}

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

bool IsWellKnown(PSID sid, WELL_KNOWN_SID_TYPE type) { return ::IsWellKnownSid(sid, type) != FALSE; }

// This process's own account, or the owner it gives what it creates (Administrators for an
// elevated administrator on Windows; the account itself where the system keeps no owners of
// its own, as Wine does).
bool IsOurOwner(PSID sid) {
  UniqueHandle token;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.put())) return false;
  for (const TOKEN_INFORMATION_CLASS kind : {TokenOwner, TokenUser}) {
    DWORD size = 0;
    ::GetTokenInformation(token.get(), kind, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    if (size == 0 || !::GetTokenInformation(token.get(), kind, buffer.data(), size, &size)) continue;
    const PSID ours = kind == TokenOwner ? reinterpret_cast<TOKEN_OWNER*>(buffer.data())->Owner
                                         : reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid;
    if (::EqualSid(ours, sid)) return true;
  }
  return false;
}

bool OwnedByUs(HANDLE object) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandle(object, &info) || (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
    return false;
  PSID owner = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (::GetSecurityInfo(object, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr, nullptr,
                        &descriptor) != ERROR_SUCCESS)
    return false;
  const UniqueLocal held(descriptor);
  return owner && (IsWellKnown(owner, WinBuiltinAdministratorsSid) || IsWellKnown(owner, WinLocalSystemSid) ||
                   IsOurOwner(owner));
}

}  // namespace

bool IsOwnedByUs(const std::string& path) {
  const UniqueFile object = OpenWithoutFollowing(path, READ_CONTROL | FILE_READ_ATTRIBUTES, kShareAll);
  return object && OwnedByUs(object.get());
}

void EnsureOwnedFolder(const std::string& path) {
  const UniqueLocal descriptor = PrivateFolderDescriptor();
  SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor.get(), FALSE};
  if (::CreateDirectoryA(path.c_str(), &attributes)) return;
  if (::GetLastError() != ERROR_ALREADY_EXISTS)
    throw Error(FormatText("Der Ordner %s kann nicht angelegt werden.", path));
  const UniqueFile folder = OpenWithoutFollowing(path, READ_CONTROL | WRITE_DAC | FILE_READ_ATTRIBUTES, kShareAll);
  BY_HANDLE_FILE_INFORMATION info{};
  if (!folder || !::GetFileInformationByHandle(folder.get(), &info) ||
      !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !OwnedByUs(folder.get()))
    throw Error(FormatText("Der Ordner %s ist kein geschützter Ordner dieses Programms.", path));
  // Whoever loosened its access list: the folder is private again from here on.
  PACL dacl = nullptr;
  BOOL present = FALSE, defaulted = FALSE;
  ::GetSecurityDescriptorDacl(descriptor.get(), &present, &dacl, &defaulted);
  ::SetSecurityInfo(folder.get(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                    nullptr, nullptr, dacl, nullptr);
}

}  // namespace platform
