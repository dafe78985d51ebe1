#include "span_join.h"

#include <algorithm>
#include <deque>
#include <unordered_map>
#include <vector>

#include "part_names.h"
#include "zip_format.h"

namespace span {

namespace {

using namespace zipfmt;

constexpr uint64_t kMaxOffset32 = 0xFFFFFFFFu;
const char kCopyMessage[] = "Kopiere von:";

// The parts read as one stream: a part that ends moves the stream on to the next disk, up to
// the last disk of the set.
class SpanStream {
 public:
  explicit SpanStream(PartSource& source) : source_(source) {}

  // The last part is open (OpenLastPart): its disk number is now known.
  void LastPartFound(int lastDisk) {
    disk_ = lastDisk;
    lastDisk_ = lastDisk;
  }

  void ChangeDisk(int disk) {
    source_.ChangeDisk(disk, lastDisk_);
    disk_ = disk;
  }

  // Reads between 1 and `size` bytes; throws `errorId` when the last part ends first.
  size_t ReadSome(uint8_t* buffer, size_t size, int errorId) {
    for (;;) {
      const size_t got = source_.Read(buffer, size);
      if (got > 0) return std::min(got, size);
      if (disk_ >= lastDisk_) throw zipfmt::ZipError(errorId);
      ChangeDisk(disk_ + 1);
    }
  }

  void ReadExact(uint8_t* buffer, size_t size, int errorId) {
    while (size > 0) {
      const size_t got = ReadSome(buffer, size, errorId);
      buffer += got;
      size -= got;
    }
  }

  void Skip(uint64_t size, int errorId) {
    uint8_t scratch[kCopyChunk];
    while (size > 0) size -= ReadSome(scratch, size_t(std::min<uint64_t>(size, sizeof scratch)), errorId);
  }

 private:
  PartSource& source_;
  int disk_ = -1;
  int lastDisk_ = -1;
};

struct JoinRecord {
  std::string name;
  uint32_t compressedSize = 0;
  uint32_t newOffset = 0;
  bool placed = false;  // its local header has been copied
};

// One record per central-directory entry, in directory order. A local header claims the
// first unplaced record of its name, preferring one whose name matches exactly, so that
// entries whose names differ only in case each get their own header; a record is claimed
// once, so a repeated local header cannot take over another entry's record.
class JoinTable {
 public:
  void Add(std::string name, uint32_t compressedSize) {
    const size_t index = records_.size();
    exact_[name].push_back(index);
    folded_[FoldCase(name)].push_back(index);
    records_.push_back({std::move(name), compressedSize});
  }

  JoinRecord* Claim(const std::string& name) {
    if (JoinRecord* r = TakeUnplaced(exact_, name)) return r;
    return TakeUnplaced(folded_, FoldCase(name));
  }

  size_t Size() const { return records_.size(); }
  const JoinRecord& operator[](size_t i) const { return records_[i]; }

 private:
  using Index = std::unordered_map<std::string, std::deque<size_t>>;

  JoinRecord* TakeUnplaced(Index& index, const std::string& key) {
    auto it = index.find(key);
    if (it == index.end()) return nullptr;
    std::deque<size_t>& queue = it->second;
    while (!queue.empty() && records_[queue.front()].placed) queue.pop_front();
    if (queue.empty()) return nullptr;
    JoinRecord* record = &records_[queue.front()];
    queue.pop_front();
    record->placed = true;
    return record;
  }

  std::vector<JoinRecord> records_;
  Index exact_;
  Index folded_;
};

std::string WithBackslashes(std::string name) {
  std::replace(name.begin(), name.end(), '/', '\\');
  return name;
}

class Joiner {
 public:
  Joiner(PartSource& source, JoinSink& sink, JoinEvents& events)
      : source_(source), sink_(sink), events_(events), stream_(source) {}

  JoinSummary Run() {
    FindLastPart();
    ReadDirectory();
    CheckSpanMarker();
    for (size_t i = 0; i < table_.Size(); ++i) CopyLocalEntry();
    // Every local header claimed a record of its own, and there are as many headers as
    // records: each record now holds the offset of a copied header.
    CopyDirectory();
    WriteEndRecord();
    return {end_.record.thisDisk, int(table_.Size()), endRecordOffset_, sink_.Position()};
  }

 private:
  // Opens the last part until one has an end record; the source decides whether to retry.
  void FindLastPart() {
    for (int attempt = 0;; ++attempt) {
      source_.OpenLastPart(attempt);
      if (SearchEndRecord()) break;
      source_.LastPartHasNoEndRecord(attempt);
    }
    stream_.LastPartFound(end_.record.thisDisk);
  }

  bool SearchEndRecord() {
    const uint64_t size = source_.Size();
    const size_t window = size_t(std::min<uint64_t>(size, kEndSearchWindow));
    if (window < kEndRecordSize || !source_.Seek(size - window)) return false;
    std::vector<uint8_t> tail(window);
    size_t got = 0;
    while (got < window) {
      const size_t n = source_.Read(tail.data() + got, window - got);
      if (n == 0) return false;
      got += n;
    }
    end_ = FindEndRecord(tail.data(), tail.size(), size);
    return end_.found;
  }

  // Builds the join table from the central directory named by the end record.
  void ReadDirectory() {
    const EndRecord& end = end_.record;
    if (end.directoryDisk > end.thisDisk) throw zipfmt::ZipError(zipmsg::kDirectorySeek);
    if (end.directoryDisk != end.thisDisk) stream_.ChangeDisk(end.directoryDisk);
    if (!source_.Seek(end.directoryOffset)) throw zipfmt::ZipError(zipmsg::kDirectorySeek);

    uint8_t header[kCentralHeaderSize];
    for (unsigned i = 0; i < end.totalEntries; ++i) {
      ReadCentralHeader(header);
      std::string name = ReadCentralName(header);
      const uint32_t compressedSize = Get32(header + central::kCompSize);
      const uint16_t extraLength = Get16(header + central::kExtraLen);
      const uint16_t commentLength = Get16(header + central::kCommentLen);
      totalSize_ += name.size() + uint64_t(compressedSize) + extraLength + commentLength;
      table_.Add(std::move(name), compressedSize);
      stream_.Skip(uint64_t(extraLength) + commentLength, zipmsg::kDirectorySeek);
    }
  }

  void ReadCentralHeader(uint8_t* header) {
    stream_.ReadExact(header, kCentralHeaderSize, zipmsg::kCentralHeaderRead);
    if (Get32(header) != kCentralHeaderSig) throw zipfmt::ZipError(zipmsg::kCentralSignature);
  }

  std::string ReadCentralName(const uint8_t* header) {
    const uint16_t length = Get16(header + central::kNameLen);
    if (length > kMaxJoinedNameLength) throw zipfmt::ZipError(zipmsg::kCentralName);
    return ReadString(length, zipmsg::kCentralName);
  }

  std::string ReadString(size_t length, int errorId) {
    std::string text(length, '\0');
    stream_.ReadExact(reinterpret_cast<uint8_t*>(&text[0]), length, errorId);
    return text;
  }

  // Disk 0 must begin with the spanning marker, which the joined archive does not keep.
  void CheckSpanMarker() {
    stream_.ChangeDisk(0);
    events_.OnProgress(ptTotalFiles, std::string(), int64_t(table_.Size()));
    events_.OnProgress(ptTotalSize, std::string(), int64_t(totalSize_));
    uint8_t marker[4];
    size_t got = 0;
    while (got < sizeof marker) {
      const size_t n = source_.Read(marker + got, sizeof marker - got);
      if (n == 0) throw zipfmt::ZipError(zipmsg::kNoSpanMarker);
      got += n;
    }
    if (Get32(marker) != kSpanMarkerSig) throw zipfmt::ZipError(zipmsg::kNoSpanMarker);
  }

  void CopyLocalEntry() {
    uint8_t header[kLocalHeaderSize];
    stream_.ReadExact(header, kLocalHeaderSize, zipmsg::kLocalHeaderRead);
    if (Get32(header) != kLocalHeaderSig) throw zipfmt::ZipError(zipmsg::kLocalSignature);
    const std::string name = ReadString(Get16(header + local::kNameLen), zipmsg::kLocalName);
    JoinRecord* record = table_.Claim(name);
    if (!record) throw zipfmt::ZipError(zipmsg::kNameNotInDirectory);
    record->newOffset = Offset32(zipmsg::kLocalHeaderWrite);

    const bool hasDescriptor = (Get16(header + local::kFlags) & kFlagDataDescriptor) != 0;
    const uint16_t extraLength = Get16(header + local::kExtraLen);
    const uint32_t localSize = Get32(header + local::kCompSize);
    const uint32_t dataSize = localSize != 0 ? localSize : record->compressedSize;
    const std::string shownName = WithBackslashes(name);
    events_.OnMessage(0, kCopyMessage + shownName);
    events_.OnProgress(ptFileStart, shownName,
                       int64_t(kLocalHeaderSize + name.size() + extraLength + uint64_t(dataSize) +
                               (hasDescriptor ? kDataDescriptorSize : 0)));

    Write(header, kLocalHeaderSize, zipmsg::kLocalHeaderWrite, true);
    Write(name.data(), name.size(), zipmsg::kLocalHeaderWrite, true);
    Copy(extraLength, zipmsg::kLocalExtra, true);
    Copy(dataSize, zipmsg::kMemberData, true);
    if (hasDescriptor) Copy(kDataDescriptorSize, zipmsg::kDataDescriptor, true);
  }

  // The central directory follows the last local entry. Each header gets its entry's new
  // local-header offset and disk 0; a header that is not the one the table was built from
  // (another name in that place) would point at the wrong member and ends the join.
  void CopyDirectory() {
    directoryOffset_ = Offset32(zipmsg::kCentralHeaderWrite);
    uint8_t header[kCentralHeaderSize];
    for (size_t i = 0; i < table_.Size(); ++i) {
      ReadCentralHeader(header);
      const std::string name = ReadCentralName(header);
      if (name != table_[i].name) throw zipfmt::ZipError(zipmsg::kCentralSignature);
      Put32(header + central::kLocalOffset, table_[i].newOffset);
      Put16(header + central::kDiskStart, 0);
      Write(header, kCentralHeaderSize, zipmsg::kCentralHeaderWrite, false);
      Write(name.data(), name.size(), zipmsg::kCentralHeaderWrite, false);
      Copy(Get16(header + central::kExtraLen), zipmsg::kCentralExtra, false);
      Copy(Get16(header + central::kCommentLen), zipmsg::kCentralComment, false);
    }
    directorySize_ = sink_.Position() - directoryOffset_;
  }

  void WriteEndRecord() {
    if (directorySize_ > kMaxOffset32) throw zipfmt::ZipError(zipmsg::kEndRecordWrite);
    EndRecord record = end_.record;
    record.thisDisk = 0;
    record.directoryDisk = 0;
    record.entriesOnDisk = record.totalEntries;
    record.directorySize = uint32_t(directorySize_);
    record.directoryOffset = directoryOffset_;
    record.commentLength = uint16_t(end_.comment.size());
    uint8_t bytes[kEndRecordSize];
    record.Write(bytes);
    endRecordOffset_ = sink_.Position();
    Write(bytes, sizeof bytes, zipmsg::kEndRecordWrite, false);
    Write(end_.comment.data(), end_.comment.size(), zipmsg::kArchiveComment, false);
  }

  // The joined file's position as a 32-bit offset for a header about to be written.
  uint32_t Offset32(int errorId) const {
    const uint64_t position = sink_.Position();
    if (position > kMaxOffset32) throw zipfmt::ZipError(errorId);
    return uint32_t(position);
  }

  void Write(const void* data, size_t size, int errorId, bool reportProgress) {
    if (size == 0) return;
    if (!sink_.Write(data, size)) throw zipfmt::ZipError(errorId);
    if (reportProgress) events_.OnProgress(ptFileProgress, std::string(), int64_t(size));
  }

  // Copies `size` bytes from the parts in chunks, across part ends.
  void Copy(uint64_t size, int errorId, bool reportProgress) {
    uint8_t chunk[kCopyChunk];
    while (size > 0) {
      const size_t want = size_t(std::min<uint64_t>(size, sizeof chunk));
      const size_t got = stream_.ReadSome(chunk, want, errorId);
      Write(chunk, got, errorId, reportProgress);
      size -= got;
    }
  }

  PartSource& source_;
  JoinSink& sink_;
  JoinEvents& events_;
  SpanStream stream_;
  EndRecordLocation end_;
  JoinTable table_;
  uint64_t totalSize_ = 0;
  uint32_t directoryOffset_ = 0;
  uint64_t directorySize_ = 0;
  uint64_t endRecordOffset_ = 0;
};

}  // namespace

JoinSummary JoinParts(PartSource& source, JoinSink& sink, JoinEvents& events) {
  JoinSummary summary;
  try {
    summary = Joiner(source, sink, events).Run();
  } catch (...) {
    events.OnProgress(ptBatchEnd, std::string(), 0);
    throw;
  }
  events.OnProgress(ptBatchEnd, std::string(), 0);
  return summary;
}

}  // namespace span
