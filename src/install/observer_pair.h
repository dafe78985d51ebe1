// Two observers of one run, each told everything in turn: a window and the log.
#pragma once

#include "install_observer.h"

namespace install {

class ObserverPair : public InstallObserver {
 public:
  ObserverPair(InstallObserver& first, InstallObserver& second) : first_(first), second_(second) {}

  void StepStarted(InstallStep step) override {
    first_.StepStarted(step);
    second_.StepStarted(step);
  }
  void FileStarted(const std::string& name, int size, int sharePercent) override {
    first_.FileStarted(name, size, sharePercent);
    second_.FileStarted(name, size, sharePercent);
  }
  void MemberFailed(const std::string& name, int errorCode, const std::string& reason) override {
    first_.MemberFailed(name, errorCode, reason);
    second_.MemberFailed(name, errorCode, reason);
  }
  void Wrote(const std::string& what, const std::string& detail) override {
    first_.Wrote(what, detail);
    second_.Wrote(what, detail);
  }
  void RollbackStarted() override {
    first_.RollbackStarted();
    second_.RollbackStarted();
  }
  void Undone(const std::string& what, bool succeeded) override {
    first_.Undone(what, succeeded);
    second_.Undone(what, succeeded);
  }
  void Finished(InstallResult result) override {
    first_.Finished(result);
    second_.Finished(result);
  }
  bool StopRequested() override { return first_.StopRequested() || second_.StopRequested(); }

 private:
  InstallObserver& first_;
  InstallObserver& second_;
};

}  // namespace install
