#include "write_pipeline.h"

#include <cstring>
#include <new>

#include "member_names.h"

namespace unzip {

namespace {

class Collector : public DataConsumer {
 public:
  explicit Collector(std::vector<uint8_t>& out) : out_(out) {}
  MemberStatus Consume(const uint8_t* data, size_t length) override {
    out_.insert(out_.end(), data, data + length);
    return MemberStatus::kOk;
  }

 private:
  std::vector<uint8_t>& out_;
};

}  // namespace

// Copies each block into one of two buffers and writes it on the background while the reader
// produces the next one.
class WritePipeline::BlockWriter : public DataConsumer {
 public:
  BlockWriter(Background& background, PendingFile& file, DataConsumer& next)
      : background_(background), file_(file), next_(next) {}
  ~BlockWriter() { background_.Wait(); }

  MemberStatus Consume(const uint8_t* data, size_t length) override {
    if (!Settle()) return MemberStatus::kWriteError;
    std::vector<uint8_t>& block = blocks_[current_];
    current_ ^= 1;
    block.assign(data, data + length);
    background_.Start([this, &block] { written_ = Guarded([&] { return file_.Write(block.data(), block.size()); }); });
    return next_.Consume(data, length);
  }

  // Waits for the block being written; true when every block so far was written.
  bool Settle() {
    background_.Wait();
    return written_;
  }

  template <typename Fn>
  static bool Guarded(Fn fn) {
    try {
      return fn();
    } catch (...) {
      return false;  // out of memory in the sink
    }
  }

 private:
  Background& background_;
  PendingFile& file_;
  DataConsumer& next_;
  std::vector<uint8_t> blocks_[2];
  int current_ = 0;
  bool written_ = true;
};

MemberStatus WritePipeline::EnsureFolder(const std::string& folder) {
  if (folder.empty() || knownFolders_.count(folder) != 0) return MemberStatus::kOk;
  switch (sink_.CreateFolders(folder)) {
    case FolderResult::kOk: break;
    case FolderResult::kLink: return MemberStatus::kLinkInPath;
    case FolderResult::kFailed: return MemberStatus::kWriteError;
  }
  knownFolders_.insert(folder);
  return MemberStatus::kOk;
}

MemberStatus WritePipeline::Stage(MemberReader& reader, ArchiveInput& input, const Member& member,
                                  const std::string& password) {
  std::vector<uint8_t>& buffer = staged_[next_];
  buffer.clear();
  buffer.reserve(member.uncompressedSize);
  Collector collector(buffer);
  return reader.Read(input, member, password, collector);
}

void WritePipeline::StartStaged(const std::string& path, DosTime modified) {
  const std::vector<uint8_t>& data = staged_[next_];
  next_ ^= 1;
  pending_ = true;
  background_.Start([this, path, &data, modified] {
    try {
      pendingStatus_ = WriteWhole(path, data, modified);
    } catch (...) {
      pendingStatus_ = MemberStatus::kWriteError;  // out of memory in the sink
    }
  });
}

bool WritePipeline::Finish(MemberStatus& status) {
  if (!pending_) return false;
  background_.Wait();
  pending_ = false;
  status = pendingStatus_;
  return true;
}

MemberStatus WritePipeline::Create(const std::string& path, std::unique_ptr<PendingFile>& file) {
  const MemberStatus folder = EnsureFolder(ParentFolder(path));
  if (folder != MemberStatus::kOk) return folder;
  file = sink_.Begin(path);
  return file ? MemberStatus::kOk : MemberStatus::kWriteError;
}

MemberStatus WritePipeline::WriteWhole(const std::string& path, const std::vector<uint8_t>& data, DosTime modified) {
  std::unique_ptr<PendingFile> file;
  const MemberStatus status = Create(path, file);
  if (status != MemberStatus::kOk) return status;
  if (!data.empty() && !file->Write(data.data(), data.size())) return MemberStatus::kWriteError;
  return file->Commit(modified) ? MemberStatus::kOk : MemberStatus::kWriteError;
}

MemberStatus WritePipeline::Stream(MemberReader& reader, ArchiveInput& input, const Member& member,
                                   const std::string& password, const std::string& path, DataConsumer& consumer) {
  std::unique_ptr<PendingFile> file;
  MemberStatus status = Create(path, file);
  if (status != MemberStatus::kOk) return status;
  {
    BlockWriter writer(background_, *file, consumer);
    status = reader.Read(input, member, password, writer);
    if (!writer.Settle() && status == MemberStatus::kOk) status = MemberStatus::kWriteError;
  }
  if (status != MemberStatus::kOk) return status;  // the pending file removes itself
  return file->Commit(member.modified) ? MemberStatus::kOk : MemberStatus::kWriteError;
}

}  // namespace unzip
