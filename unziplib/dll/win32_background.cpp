#include "win32_background.h"

namespace unzip {

Win32Background::Win32Background()
    : start_(CreateEventW(nullptr, FALSE, FALSE, nullptr)), done_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {
  if (start_ != nullptr && done_ != nullptr)
    thread_ = CreateThread(nullptr, 64 * 1024, &ThreadMain, this, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
}

Win32Background::~Win32Background() {
  Wait();
  if (thread_ != nullptr) {
    quit_ = true;
    SetEvent(start_);
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
  }
  if (start_ != nullptr) CloseHandle(start_);
  if (done_ != nullptr) CloseHandle(done_);
}

void Win32Background::Start(std::function<void()> job) {
  if (thread_ == nullptr) return job();
  job_ = std::move(job);
  busy_ = true;
  SetEvent(start_);  // the event orders the writes above before the thread's reads
}

void Win32Background::Wait() {
  if (!busy_) return;
  WaitForSingleObject(done_, INFINITE);
  busy_ = false;
}

DWORD WINAPI Win32Background::ThreadMain(void* self) {
  auto* background = static_cast<Win32Background*>(self);
  for (;;) {
    WaitForSingleObject(background->start_, INFINITE);
    if (background->quit_) return 0;
    background->job_();
    SetEvent(background->done_);
  }
}

}  // namespace unzip
