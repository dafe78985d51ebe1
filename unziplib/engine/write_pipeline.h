// Writes members through the output sink on the background, so that writing one member
// overlaps with decompressing the next. A member whose output fits a staging buffer is
// decompressed whole first and written as one job; a larger one is written block by block,
// each block while the next one is decompressed. Memory stays the same whatever the archive:
// two staging buffers and two blocks.
#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "background.h"
#include "member_reader.h"
#include "output_sink.h"

namespace unzip {

// Members up to this size are staged whole.
constexpr size_t kStageLimit = 2 * 1024 * 1024;

class WritePipeline {
 public:
  WritePipeline(OutputSink& sink, Background& background) : sink_(sink), background_(background) {}
  ~WritePipeline() { background_.Wait(); }
  WritePipeline(const WritePipeline&) = delete;
  WritePipeline& operator=(const WritePipeline&) = delete;

  // Creates a folder with its parents once per extraction. Only while no write is pending.
  MemberStatus EnsureFolder(const std::string& folder);

  // Decompresses a member of at most kStageLimit bytes into the staging buffer that no
  // pending write uses.
  MemberStatus Stage(MemberReader& reader, ArchiveInput& input, const Member& member, const std::string& password);
  size_t StagedSize() const { return staged_[next_].size(); }
  // Starts writing the staged member to `path` on the background.
  void StartStaged(const std::string& path, DosTime modified);
  // Waits for the pending write; false when none was pending, else its result in `status`.
  bool Finish(MemberStatus& status);

  // Writes a member block by block; `consumer` sees each block after it was handed to the
  // background (for progress). Only while no write is pending.
  MemberStatus Stream(MemberReader& reader, ArchiveInput& input, const Member& member, const std::string& password,
                      const std::string& path, DataConsumer& consumer);

 private:
  class BlockWriter;

  MemberStatus WriteWhole(const std::string& path, const std::vector<uint8_t>& data, DosTime modified);
  MemberStatus Create(const std::string& path, std::unique_ptr<PendingFile>& file);

  OutputSink& sink_;
  Background& background_;
  std::set<std::string> knownFolders_;
  std::vector<uint8_t> staged_[2];
  int next_ = 0;  // the staging buffer to fill next
  bool pending_ = false;
  MemberStatus pendingStatus_ = MemberStatus::kOk;
};

}  // namespace unzip
