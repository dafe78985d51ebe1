// A Background on a thread of the C++ library (POSIX systems; the Windows build has its own
// in the DLL, since its compiler's library has no threads).
#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>

#include "background.h"

namespace unzip {

class ThreadBackground : public Background {
 public:
  ThreadBackground();
  ~ThreadBackground() override;
  ThreadBackground(const ThreadBackground&) = delete;
  ThreadBackground& operator=(const ThreadBackground&) = delete;

  void Start(std::function<void()> job) override;
  void Wait() override;

 private:
  void Loop();

  std::mutex mutex_;
  std::condition_variable changed_;
  std::function<void()> job_;
  bool busy_ = false;
  bool quit_ = false;
  std::thread thread_;
};

}  // namespace unzip
