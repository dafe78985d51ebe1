#include "member_directory.h"

#include <algorithm>
#include <numeric>

#include "zip_format.h"

namespace unzip {

namespace {

constexpr uint32_t kZip64LocatorSig = 0x07064B50;
constexpr size_t kZip64LocatorSize = 20;
constexpr uint32_t kZip64EndRecordSig = 0x06064B50;
constexpr size_t kZip64EndRecordSize = 56;  // without extensible data, as writers make it
constexpr uint32_t kDosFolderAttribute = 0x10;

// Reads a byte range front to back through a buffer, so a directory of many small headers
// costs few reads.
class SequentialReader {
 public:
  SequentialReader(ArchiveInput& input, uint64_t start, uint64_t end)
      : input_(input), position_(start), end_(end), buffer_(64 * 1024) {}

  bool Read(uint8_t* out, size_t length) {
    while (length > 0) {
      if (begin_ == filled_ && !Refill()) return false;
      const size_t n = std::min(length, filled_ - begin_);
      std::copy_n(buffer_.data() + begin_, n, out);
      begin_ += n;
      out += n;
      length -= n;
    }
    return true;
  }

  bool Skip(size_t length) {
    const size_t buffered = std::min(length, filled_ - begin_);
    begin_ += buffered;
    length -= buffered;
    if (length > end_ - position_) return false;
    position_ += length;
    return true;
  }

 private:
  bool Refill() {
    const size_t want = size_t(std::min<uint64_t>(buffer_.size(), end_ - position_));
    if (want == 0) return false;
    const size_t got = input_.ReadAt(position_, buffer_.data(), want);
    if (got == 0) return false;
    position_ += got;
    begin_ = 0;
    filled_ = got;
    return true;
  }

  ArchiveInput& input_;
  uint64_t position_;
  uint64_t end_;
  std::vector<uint8_t> buffer_;
  size_t begin_ = 0;
  size_t filled_ = 0;
};

// Reads one central header; `localOffset` is the stated offset moved by `offsetShift`.
bool ReadMember(SequentialReader& reader, int64_t offsetShift, Member& m, int64_t& localOffset) {
  uint8_t h[zipfmt::kCentralHeaderSize];
  if (!reader.Read(h, sizeof h) || zipfmt::Get32(h) != zipfmt::kCentralHeaderSig) return false;
  namespace c = zipfmt::central;
  m.versionMadeBy = zipfmt::Get16(h + c::kVersionMadeBy);
  m.flags = zipfmt::Get16(h + c::kFlags);
  m.method = zipfmt::Get16(h + c::kMethod);
  m.modified.time = zipfmt::Get16(h + c::kTime);
  m.modified.date = zipfmt::Get16(h + c::kDate);
  m.crc = zipfmt::Get32(h + c::kCrc);
  m.compressedSize = zipfmt::Get32(h + c::kCompSize);
  m.uncompressedSize = zipfmt::Get32(h + c::kUncompSize);
  m.externalAttributes = zipfmt::Get32(h + c::kExternalAttr);
  const uint32_t storedOffset = zipfmt::Get32(h + c::kLocalOffset);
  m.zip64 = m.compressedSize == 0xFFFFFFFF || m.uncompressedSize == 0xFFFFFFFF ||
            storedOffset == 0xFFFFFFFF;
  localOffset = int64_t(storedOffset) + offsetShift;
  m.name.resize(zipfmt::Get16(h + c::kNameLen));
  if (!reader.Read(reinterpret_cast<uint8_t*>(&m.name[0]), m.name.size())) return false;
  m.extraField.resize(zipfmt::Get16(h + c::kExtraLen));
  if (!reader.Read(reinterpret_cast<uint8_t*>(&m.extraField[0]), m.extraField.size())) return false;
  return reader.Skip(zipfmt::Get16(h + c::kCommentLen));
}

// The smallest extent of a member: its local header, name and data. Overlaps are found on
// this; the local extra field is checked against the limit when the member is read.
uint64_t MinimalEnd(const Member& m) {
  return m.localOffset + zipfmt::kLocalHeaderSize + m.name.size() + m.compressedSize;
}

// Sets every member's data limit and marks members whose extents overlap. Overlapping members
// are the mark of archives built to multiply their output (and of damaged ones); every member
// taking part in an overlap is marked, since none of them can be trusted.
void MarkExtents(std::vector<Member>& members, uint64_t directoryStart) {
  std::vector<size_t> order(members.size());
  std::iota(order.begin(), order.end(), size_t(0));
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    return members[a].localOffset < members[b].localOffset;
  });
  uint64_t furthestEnd = 0;
  size_t furthestMember = 0;
  for (size_t i = 0; i < order.size(); ++i) {
    Member& m = members[order[i]];
    m.dataLimit = i + 1 < order.size() ? members[order[i + 1]].localOffset : directoryStart;
    if (i > 0 && m.localOffset < furthestEnd) {
      m.badExtent = true;
      members[furthestMember].badExtent = true;
    }
    const uint64_t end = MinimalEnd(m);
    if (i + 1 == order.size() && end > directoryStart) m.badExtent = true;
    if (end > furthestEnd) {
      furthestEnd = end;
      furthestMember = order[i];
    }
  }
}

bool HasSignature(ArchiveInput& input, uint64_t offset, uint32_t signature) {
  uint8_t b[4];
  return input.ReadAt(offset, b, sizeof b) == sizeof b && zipfmt::Get32(b) == signature;
}

// Finds the directory. Normally it stands where the end record says. When data was put in
// front of the archive (a stub) without correcting the offsets, or data in the middle was lost,
// the stated offsets are off: the directory then ends where the end record (or the ZIP64 end
// record that some writers add) begins, and every local offset moves by the same amount.
bool LocateDirectory(ArchiveInput& input, const zipfmt::EndRecordLocation& end, bool zip64Tail,
                     uint64_t& directoryStart, int64_t& offsetShift) {
  const zipfmt::EndRecord& record = end.record;
  uint64_t directoryEnd = end.recordOffset;
  if (zip64Tail) {
    if (directoryEnd < kZip64LocatorSize + kZip64EndRecordSize) return false;
    directoryEnd -= kZip64LocatorSize + kZip64EndRecordSize;
    if (!HasSignature(input, directoryEnd, kZip64EndRecordSig)) return false;
  }
  if (record.directorySize > directoryEnd) return false;
  const uint64_t stated = record.directoryOffset;
  if (stated + record.directorySize <= directoryEnd &&
      (record.directorySize == 0 || HasSignature(input, stated, zipfmt::kCentralHeaderSig))) {
    directoryStart = stated;
    offsetShift = 0;
    return true;
  }
  directoryStart = directoryEnd - record.directorySize;
  offsetShift = int64_t(directoryStart) - int64_t(stated);
  return true;
}

}  // namespace

bool Member::IsFolder() const {
  if (!name.empty() && (name.back() == '/' || name.back() == '\\')) return true;
  return (externalAttributes & kDosFolderAttribute) != 0 && uncompressedSize == 0 &&
         (versionMadeBy >> 8) == 0;
}

bool Member::IsEncrypted() const { return (flags & zipfmt::kFlagEncrypted) != 0; }

CentralDirectory ReadCentralDirectory(ArchiveInput& input) {
  CentralDirectory result;
  const uint64_t size = input.Size();
  const size_t tailLength = size_t(std::min<uint64_t>(size, zipfmt::kEndSearchWindow));
  std::vector<uint8_t> tail(tailLength);
  if (input.ReadAt(size - tailLength, tail.data(), tailLength) != tailLength) {
    result.status = DirectoryStatus::kNotAnArchive;
    return result;
  }
  const zipfmt::EndRecordLocation end = zipfmt::FindEndRecord(tail.data(), tailLength, size);
  if (!end.found) {
    result.status = DirectoryStatus::kNotAnArchive;
    return result;
  }
  const zipfmt::EndRecord& record = end.record;
  const size_t at = size_t(end.recordOffset - (size - tailLength));
  const bool hasZip64Locator =
      at >= kZip64LocatorSize && zipfmt::Get32(tail.data() + at - kZip64LocatorSize) == kZip64LocatorSig;
  if (record.totalEntries == 0xFFFF || record.directorySize == 0xFFFFFFFF ||
      record.directoryOffset == 0xFFFFFFFF) {
    result.status = DirectoryStatus::kZip64;
    return result;
  }
  uint64_t directoryStart = 0;
  int64_t offsetShift = 0;
  if (!LocateDirectory(input, end, hasZip64Locator, directoryStart, offsetShift)) {
    result.status = DirectoryStatus::kDamaged;
    return result;
  }
  const uint64_t directoryEnd = directoryStart + record.directorySize;

  SequentialReader reader(input, directoryStart, directoryEnd);
  result.members.reserve(record.totalEntries);
  for (uint32_t i = 0; i < record.totalEntries; ++i) {
    Member m;
    int64_t localOffset = 0;
    if (!ReadMember(reader, offsetShift, m, localOffset)) {
      result.status = DirectoryStatus::kDamaged;
      result.members.clear();
      return result;
    }
    if (localOffset < 0 || uint64_t(localOffset) >= directoryStart) {
      m.badExtent = true;
      localOffset = int64_t(directoryStart);
    }
    m.localOffset = uint64_t(localOffset);
    result.members.push_back(std::move(m));
  }
  MarkExtents(result.members, directoryStart);
  return result;
}

}  // namespace unzip
