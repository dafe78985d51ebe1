// Runs one job at a time beside the calling thread, so that writing one member overlaps with
// decompressing the next. The engine starts a job only after the one before has finished.
#pragma once

#include <functional>

namespace unzip {

class Background {
 public:
  virtual ~Background() = default;
  // Starts `job`. The job started before has finished (Wait).
  virtual void Start(std::function<void()> job) = 0;
  // Returns once the job started last has finished.
  virtual void Wait() = 0;
};

// Runs each job at once on the calling thread: the same results without a second thread.
class InlineBackground : public Background {
 public:
  void Start(std::function<void()> job) override { job(); }
  void Wait() override {}
};

}  // namespace unzip
