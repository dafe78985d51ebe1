#include "drive_check.h"

#include <windows.h>

#include <cctype>

#include "files.h"
#include "zip_archive_error.h"
#include "zip_messages.h"

namespace ziparchive {

namespace {

class QuietCriticalErrors {
 public:
  QuietCriticalErrors() : old_(::SetErrorMode(SEM_FAILCRITICALERRORS)) {}
  QuietCriticalErrors(const QuietCriticalErrors&) = delete;
  QuietCriticalErrors& operator=(const QuietCriticalErrors&) = delete;
  ~QuietCriticalErrors() { ::SetErrorMode(old_); }

 private:
  UINT old_;
};

bool IsNetworkName(const std::string& root) { return !root.empty() && root[0] == '\\'; }

// Free bytes on the drive, or -1 when neither query answers.
long long FreeSpace(const std::string& root) {
  ULARGE_INTEGER available, total, free;
  if (::GetDiskFreeSpaceExA(root.c_str(), &available, &total, &free)) return (long long)available.QuadPart;
  DWORD sectorsPerCluster, bytesPerSector, freeClusters, totalClusters;
  if (::GetDiskFreeSpaceA(root.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters, &totalClusters))
    return (long long)bytesPerSector * sectorsPerCluster * freeClusters;
  return -1;
}

}  // namespace

std::string DriveRoot(const std::string& fileName) {
  const std::string full = platform::ExpandFileName(fileName);
  if (full.size() >= 2 && full[1] == ':') return full.substr(0, 2) + "\\";
  if (full.size() >= 2 && full[0] == '\\' && full[1] == '\\') {
    // \\server\share: up to the separator after the share name.
    const size_t server = full.find('\\', 2);
    const size_t share = server == std::string::npos ? server : full.find('\\', server + 1);
    return (share == std::string::npos ? full : full.substr(0, share)) + "\\";
  }
  return full.substr(0, full.find('\\')) + "\\";
}

DriveState CheckDrive(const std::string& root, bool unformattedIsReady) {
  const bool network = IsNetworkName(root);
  if (!network) {
    const char letter = char(std::toupper(static_cast<unsigned char>(root.empty() ? ' ' : root[0])));
    if (letter < 'A' || letter > 'Z') throw EZipArchive(zipmsg::kUnknownDrive, root);
    if ((::GetLogicalDrives() & (1u << (letter - 'A'))) == 0) throw EZipArchive(zipmsg::kDriveNotReady, root);
  }
  QuietCriticalErrors quiet;
  DriveState state;
  char label[MAX_PATH + 1] = "";
  DWORD serial = 0, maxComponent = 0, flags = 0;
  const bool read =
      ::GetVolumeInformationA(root.c_str(), label, sizeof label, &serial, &maxComponent, &flags, nullptr, 0) != 0;
  const DWORD error = read ? 0 : ::GetLastError();
  bool ready = false;
  if (read) {
    state.label = label;
    ready = network || FreeSpace(root) >= 0;
  } else {
    ready = error == ERROR_GEN_FAILURE && unformattedIsReady;
  }
  if (!ready) throw EZipArchive(zipmsg::kDriveNotReady, root);
  return state;
}

bool IsFixedOrNetwork(const std::string& root) {
  const UINT type = ::GetDriveTypeA(root.c_str());
  return type == DRIVE_FIXED || type == DRIVE_REMOTE;
}

}  // namespace ziparchive
