#include "file_identity.h"

namespace platform {

FileIdentity IdentityOf(HANDLE file) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandle(file, &info)) return {};
  return {true, info.dwVolumeSerialNumber, (uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

bool SameFile(const FileIdentity& a, const FileIdentity& b) {
  return a.known && b.known && a.volume == b.volume && a.index == b.index;
}

UniqueFile OpenSameFile(const std::string& path, const FileIdentity& expected) {
  UniqueFile file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (file && !SameFile(IdentityOf(file.get()), expected)) file.reset();
  return file;
}

}  // namespace platform
