#include "unzip_engine.h"

#include <algorithm>
#include <exception>
#include <new>
#include <set>

#include "member_directory.h"
#include "member_names.h"
#include "member_reader.h"
#include "write_pipeline.h"

namespace unzip {

namespace {

// What happens to a file member whose target may already exist.
enum class Decision { kWrite, kKeepExisting, kNotNewer, kMissing, kFolderInWay };

Decision Decide(const ExistingEntry& existing, DosTime archived, const Options& options) {
  if (existing.kind == ExistingEntry::kFolder) return Decision::kFolderInWay;
  const bool exists = existing.kind == ExistingEntry::kFile;
  const bool newer = exists && archived.Stamp() > existing.modified.Stamp();
  if (options.update) return !exists || newer ? Decision::kWrite : Decision::kNotNewer;
  if (options.freshen) {
    if (!exists) return Decision::kMissing;
    return newer ? Decision::kWrite : Decision::kNotNewer;
  }
  if (exists && !options.overwrite) return Decision::kKeepExisting;
  return Decision::kWrite;
}

struct Problem {
  int32_t code;
  const char* text;
};

Problem DescribeDecision(Decision d) {
  switch (d) {
    case Decision::kKeepExisting: return {kNoError, "File exists, not overwritten: "};
    case Decision::kNotNewer: return {kNoError, "Existing file is not older, skipped: "};
    case Decision::kMissing: return {kNoError, "File does not exist, not freshened: "};
    case Decision::kFolderInWay: return {kErrWrite, "A folder of that name exists, skipped: "};
    case Decision::kWrite: break;
  }
  return {kErrInternal, "Unexpected decision: "};
}

Problem DescribeStatus(MemberStatus s) {
  switch (s) {
    case MemberStatus::kUnsupportedMethod: return {kErrUnsupported, "Compression method not supported, skipped: "};
    case MemberStatus::kStrongEncryption: return {kErrUnsupported, "Strong encryption not supported, skipped: "};
    case MemberStatus::kZip64: return {kErrUnsupported, "ZIP64 member not supported, skipped: "};
    case MemberStatus::kBadExtent:
      return {kErrDamaged,
              "Member data overlaps another member or lies outside the archive, "
              "skipped: "};
    case MemberStatus::kHeaderMismatch:
      return {kErrDamaged, "Local header disagrees with the central directory, skipped: "};
    case MemberStatus::kTruncated: return {kErrDamaged, "Archive is truncated, skipped: "};
    case MemberStatus::kBadData: return {kErrDamaged, "Compressed data is damaged: "};
    case MemberStatus::kTooLong: return {kErrDamaged, "Member is longer than stated, damaged: "};
    case MemberStatus::kTooShort: return {kErrDamaged, "Member is shorter than stated, damaged: "};
    case MemberStatus::kCrcError: return {kErrCrc, "CRC error: "};
    case MemberStatus::kNeedPassword: return {kErrPassword, "Member is encrypted and no password was given, skipped: "};
    case MemberStatus::kWrongPassword: return {kErrPassword, "Wrong password, skipped: "};
    case MemberStatus::kWriteError: return {kErrWrite, "Cannot write file: "};
    case MemberStatus::kLinkInPath:
      return {kErrUnsafeName, "A folder on the path is a link to another place, not written: "};
    case MemberStatus::kCancelled: return {kErrCancelled, "Extraction cancelled: "};
    case MemberStatus::kOk: break;
  }
  return {kErrInternal, "Unexpected result: "};
}

// Reports progress within a member and turns a stop request into kCancelled.
class Progress {
 public:
  Progress(Listener& listener, bool largeMember) : listener_(listener), large_(largeMember) {}

  MemberStatus Advance(size_t length) {
    if (!large_ || length == 0) return MemberStatus::kOk;
    Event e;
    e.action = unzipabi::kFileProgress;
    e.size = uint32_t(length);
    return listener_.OnEvent(e) ? MemberStatus::kOk : MemberStatus::kCancelled;
  }

 private:
  Listener& listener_;
  bool large_;
};

// Takes a member's output only to report progress.
class ProgressOnly : public DataConsumer {
 public:
  explicit ProgressOnly(Progress& progress) : progress_(progress) {}
  MemberStatus Consume(const uint8_t*, size_t length) override { return progress_.Advance(length); }

 private:
  Progress& progress_;
};

// One member to process, in directory order.
struct Job {
  const Member* member;
  std::string path;   // below the extraction folder, in UTF-8
  std::string shown;  // the same in the ANSI code page, for the caller
  // An earlier member goes to the same path, so what exists there is only known when this
  // member's turn comes.
  bool sharesPath = false;
};

class Extraction {
 public:
  Extraction(ArchiveInput& archive, OutputSink& sink, Listener& listener, const Options& options,
             const CodePages& codePages, Background& background)
      : archive_(archive),
        sink_(sink),
        listener_(listener),
        options_(options),
        codePages_(codePages),
        background_(background) {}

  int Run() {
    try {
      RunChecked();
    } catch (const std::bad_alloc&) {
      Message(kErrInternal, "Out of memory, extraction stopped");
    } catch (const std::exception& e) {
      Message(kErrInternal, std::string("Extraction stopped: ") + e.what());
    }
    if (stopped_) Message(kErrCancelled, "Extraction cancelled");
    Send(unzipabi::kBatchEnd, kNoError, 0, std::string());
    return succeeded_;
  }

 private:
  void RunChecked() {
    const CentralDirectory directory = ReadCentralDirectory(archive_);
    if (!DirectoryUsable(directory.status)) return;
    if (options_.fileSpecs.empty()) Message(kNoError, "No file specification given, nothing to do");

    std::vector<Job> jobs;
    uint64_t totalSize = 0;
    uint32_t fileCount = 0;
    for (const Member& m : directory.members) {
      if (stopped_) return;
      if (!Plan(m, jobs)) continue;
      if (!m.IsFolder()) {
        totalSize += m.uncompressedSize;
        ++fileCount;
      }
    }
    if (stopped_) return;
    const uint32_t reportedSize = uint32_t(std::min<uint64_t>(totalSize, 0xFFFFFFFFu));
    if (!Send(unzipabi::kTotalSize, kNoError, reportedSize, std::string()) ||
        !Send(unzipabi::kTotalFiles, kNoError, fileCount, std::string()))
      return;

    MemberReader reader;
    WritePipeline pipeline(sink_, background_);
    for (const Job& job : jobs) {
      if (options_.test)
        TestFile(reader, job);
      else if (job.member->IsFolder())
        MakeFolder(pipeline, job);
      else
        WriteFile(reader, pipeline, job);
      if (stopped_) break;
    }
    Settle(pipeline);
  }

  bool DirectoryUsable(DirectoryStatus status) {
    switch (status) {
      case DirectoryStatus::kOk: return true;
      case DirectoryStatus::kNotAnArchive:
        Message(kErrArchive, "Not a ZIP archive, or the archive is truncated");
        return false;
      case DirectoryStatus::kZip64: Message(kErrUnsupported, "ZIP64 archives are not supported"); return false;
      case DirectoryStatus::kDamaged: Message(kErrArchive, "The archive's central directory is damaged"); return false;
    }
    return false;
  }

  // Adds the member to the jobs when the file patterns select it and it is to be processed;
  // reports why not otherwise.
  bool Plan(const Member& m, std::vector<Job>& jobs) {
    MemberName name;
    const NameStatus nameStatus = DecodeMemberName(m.name, m.extraField, m.flags, m.versionMadeBy, codePages_, name);
    name.path = WithoutDotParts(name.path);
    name.shown = WithoutDotParts(name.shown);
    if (!MatchesAnySpec(name.shown, options_.fileSpecs)) return false;
    const bool writing = !options_.test;
    if (m.IsFolder() && (!writing || !options_.dirNames || name.path.empty())) return false;
    if (writing && !NameUsable(nameStatus, name)) return false;
    if (m.IsFolder()) {
      jobs.push_back({&m, OutputPath(name.path, true), OutputPath(name.shown, true)});
      return true;
    }
    MemberStatus status = MemberReader::CheckSupported(m);
    if (status == MemberStatus::kOk && m.IsEncrypted() && options_.password.empty())
      status = MemberStatus::kNeedPassword;
    if (status != MemberStatus::kOk) {
      const Problem p = DescribeStatus(status);
      return Refuse(p.code, p.text, name.shown);
    }
    Job job{&m, OutputPath(name.path, options_.dirNames), OutputPath(name.shown, options_.dirNames)};
    if (options_.test) job.shown = name.shown;
    job.sharesPath = !plannedPaths_.insert(FoldedName(job.shown)).second;
    if (writing && !job.sharesPath && !MayWrite(job)) return false;
    jobs.push_back(std::move(job));
    return true;
  }

  // A name is written only when it is safe and the caller can be told it exactly.
  bool NameUsable(NameStatus status, const MemberName& name) {
    switch (status) {
      case NameStatus::kBadUtf8: return Refuse(kErrName, "Name is not valid UTF-8, skipped: ", name.shown);
      case NameStatus::kNotInAnsi:
        return Refuse(kErrName, "Name cannot be represented in the system's code page, skipped: ", name.shown);
      case NameStatus::kOk: break;
    }
    return IsSafeMemberName(name.path) || Refuse(kErrUnsafeName, "Unsafe name refused: ", name.shown);
  }

  bool MayWrite(const Job& job) {
    // Plain overwriting needs no look at the target: a folder in the way makes the final
    // rename fail, which is reported then. Saves a lookup per file, which is slow on some
    // file systems.
    if (options_.overwrite && !options_.update && !options_.freshen) return true;
    const Decision d = Decide(sink_.Examine(job.path), job.member->modified, options_);
    if (d == Decision::kWrite) return true;
    const Problem p = DescribeDecision(d);
    return Refuse(p.code, p.text, job.shown);
  }

  void TestFile(MemberReader& reader, const Job& job) {
    const Member& m = *job.member;
    if (!Send(unzipabi::kNewFile, kNoError, m.uncompressedSize, job.shown)) return;
    Progress progress(listener_, m.uncompressedSize > kOutputBlockSize);
    ProgressOnly tester(progress);
    Report(job, reader.Read(archive_, m, options_.password, tester));
  }

  void MakeFolder(WritePipeline& pipeline, const Job& job) {
    Settle(pipeline);
    if (stopped_) return;
    const MemberStatus status = pipeline.EnsureFolder(job.path);
    if (status == MemberStatus::kOk) return;
    const Problem p =
        status == MemberStatus::kLinkInPath ? DescribeStatus(status) : Problem{kErrWrite, "Cannot create folder: "};
    Message(p.code, p.text + job.shown);
  }

  // The member is decompressed while the one before is written; it is announced once that
  // one's result is reported, so the caller sees the events of one member after the other.
  void WriteFile(MemberReader& reader, WritePipeline& pipeline, const Job& job) {
    const Member& m = *job.member;
    if (job.sharesPath) {
      Settle(pipeline);
      if (stopped_ || !MayWrite(job)) return;
    }
    Progress progress(listener_, m.uncompressedSize > kOutputBlockSize);
    if (m.uncompressedSize > kStageLimit) {
      Settle(pipeline);
      if (stopped_ || !Send(unzipabi::kNewFile, kNoError, m.uncompressedSize, job.shown)) return;
      ProgressOnly reporter(progress);
      Report(job, pipeline.Stream(reader, archive_, m, options_.password, job.path, reporter));
      return;
    }
    const MemberStatus staged = pipeline.Stage(reader, archive_, m, options_.password);
    Settle(pipeline);
    if (stopped_ || !Send(unzipabi::kNewFile, kNoError, m.uncompressedSize, job.shown)) return;
    if (staged != MemberStatus::kOk) return Report(job, staged);
    // The progress that reading would have reported, block by block.
    for (size_t done = 0, size = pipeline.StagedSize(); done < size; done += kOutputBlockSize) {
      const MemberStatus status = progress.Advance(std::min(kOutputBlockSize, size - done));
      if (status != MemberStatus::kOk) return Report(job, status);
    }
    pendingJob_ = &job;
    pipeline.StartStaged(job.path, m.modified);
  }

  // Waits for the member being written and reports it.
  void Settle(WritePipeline& pipeline) {
    MemberStatus status = MemberStatus::kOk;
    if (pipeline.Finish(status)) Report(*pendingJob_, status);
  }

  void Report(const Job& job, MemberStatus status) {
    if (status == MemberStatus::kOk) {
      ++succeeded_;
      if (options_.verbose) Message(kNoError, (options_.test ? "OK: " : "Extracted: ") + job.shown);
    } else if (status == MemberStatus::kCancelled) {
      stopped_ = true;
    } else {
      const Problem p = DescribeStatus(status);
      Message(p.code, p.text + job.shown);
    }
  }

  bool Refuse(int32_t code, const char* text, const std::string& name) {
    Message(code, text + name);
    return false;
  }

  void Message(int32_t code, const std::string& text) { Send(unzipabi::kMessage, code, 0, text); }

  // Returns false, and remembers it, when the listener asks to stop.
  bool Send(unzipabi::Action action, int32_t code, uint32_t size, const std::string& text) {
    Event e;
    e.action = action;
    e.errorCode = code;
    e.size = size;
    e.text = text;
    if (!listener_.OnEvent(e)) stopped_ = true;
    return !stopped_;
  }

  ArchiveInput& archive_;
  OutputSink& sink_;
  Listener& listener_;
  const Options& options_;
  const CodePages& codePages_;
  Background& background_;
  const Job* pendingJob_ = nullptr;     // the member being written on the background
  std::set<std::string> plannedPaths_;  // folded
  int succeeded_ = 0;
  bool stopped_ = false;
};

}  // namespace

int Extract(ArchiveInput& archive, OutputSink& sink, Listener& listener, const Options& options,
            const CodePages& codePages, Background& background) noexcept {
  try {
    return Extraction(archive, sink, listener, options, codePages, background).Run();
  } catch (...) {
    return 0;  // a listener or sink that throws; nothing more can be reported safely
  }
}

int Extract(ArchiveInput& archive, OutputSink& sink, Listener& listener, const Options& options) noexcept {
  static const TableCodePages kPortable;
  InlineBackground inline_;
  return Extract(archive, sink, listener, options, kPortable, inline_);
}

}  // namespace unzip
