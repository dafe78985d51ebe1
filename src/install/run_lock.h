// One run at a time: a setup or an uninstaller of an installation holds a named mutex, named
// after the installation's program entry, for as long as it works on it. A second one finds
// the mutex taken and stops before it changes anything.
#pragma once

#include "handle.h"

#include <string>

namespace install {

class RunLock {
 public:
  // Takes the lock of the installation with this program entry (Program/ProgramEntry).
  explicit RunLock(const std::string& programEntry);

  // False when another process holds the lock.
  bool Held() const { return held_; }

  // The mutex's name for a program entry: the same for every spelling of the same key.
  static std::wstring MutexName(const std::string& programEntry);

 private:
  platform::UniqueHandle mutex_;
  bool held_ = false;
};

}  // namespace install
