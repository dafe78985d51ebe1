// Part source, sink and event recorder in memory, for the join's tests and fuzzer.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "span_join.h"
#include "span_set_builder.h"

namespace spantest {

// The parts of a set in memory. The last part is the listed archive, named `listedName`.
class MemoryPartSource : public span::PartSource {
 public:
  explicit MemoryPartSource(Parts parts, std::string listedName = "setup.zip");

  // Disks that are in a removable drive before the last one: OpenLastPart(attempt) opens
  // wrongDisksFirst[attempt] while there is one, and the join is asked to try again.
  Parts wrongDisksFirst;
  // Parts that cannot be opened (11001), as a missing part file.
  std::set<int> missing;
  // Largest piece one Read returns, to exercise reads that stop early.
  size_t maxRead = static_cast<size_t>(-1);
  // The disks opened by ChangeDisk, in order.
  std::vector<int> disksOpened;
  int lastDiskSeen = -1;
  int lastPartOpens = 0;

  void OpenLastPart(int attempt) override;
  void LastPartHasNoEndRecord(int attempt) override;
  void ChangeDisk(int disk, int lastDisk) override;
  uint64_t Size() override;
  bool Seek(uint64_t offset) override;
  size_t Read(void* buffer, size_t size) override;

 private:
  Parts parts_;
  std::string listedName_;
  const Bytes* open_ = nullptr;
  size_t position_ = 0;
};

// Collects the joined archive; with a limit, writes that would pass it fail.
class MemorySink : public span::JoinSink {
 public:
  Bytes bytes;
  size_t limit = static_cast<size_t>(-1);

  bool Write(const void* data, size_t size) override;
  uint64_t Position() const override { return bytes.size(); }
};

struct ProgressCall {
  ProgressType type;
  std::string name;
  int64_t size;
};

class RecordingEvents : public span::JoinEvents {
 public:
  std::vector<ProgressCall> progress;
  std::vector<std::string> messages;

  void OnProgress(ProgressType type, const std::string& name, int64_t size) override {
    progress.push_back({type, name, size});
  }
  void OnMessage(int errCode, const std::string& text) override {
    messages.push_back(std::to_string(errCode) + ":" + text);
  }
};

// Events that are dropped (fuzzer, benchmark).
class NoEvents : public span::JoinEvents {
 public:
  void OnProgress(ProgressType, const std::string&, int64_t) override {}
  void OnMessage(int, const std::string&) override {}
};

}  // namespace spantest
