// A Background on a Windows thread. The thread lives as long as the object, which the library
// keeps for one extraction: no thread outlives the call into the library.
#pragma once

#include <windows.h>

#include "background.h"

namespace unzip {

class Win32Background : public Background {
 public:
  Win32Background();
  ~Win32Background() override;
  Win32Background(const Win32Background&) = delete;
  Win32Background& operator=(const Win32Background&) = delete;

  // Without a thread (it could not be started) the job runs at once.
  void Start(std::function<void()> job) override;
  void Wait() override;

 private:
  static DWORD WINAPI ThreadMain(void* self);

  HANDLE start_;  // auto-reset: a job or the end is there
  HANDLE done_;   // auto-reset: the job has finished
  HANDLE thread_ = nullptr;
  std::function<void()> job_;
  bool busy_ = false;
  bool quit_ = false;
};

}  // namespace unzip
