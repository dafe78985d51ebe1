#include "member_directory.h"

#include <algorithm>
#include <numeric>

#include "central_directory.h"
#include "zip_format.h"

namespace unzip {

namespace {

constexpr uint32_t kZip64LocatorSig = 0x07064B50;
constexpr size_t kZip64LocatorSize = 20;
constexpr uint32_t kZip64EndRecordSig = 0x06064B50;
constexpr size_t kZip64EndRecordSize = 56;  // without extensible data, as writers make it
constexpr uint32_t kDosFolderAttribute = 0x10;

// The archive as the shared directory reader reads it: one disk, positioned reads.
class ArchiveDisk : public zipfmt::DiskInput {
 public:
  explicit ArchiveDisk(ArchiveInput& input) : input_(input) {}

  uint64_t Size() override { return input_.Size(); }
  bool Seek(uint64_t offset) override {
    if (offset > input_.Size()) return false;
    position_ = offset;
    return true;
  }
  size_t Read(void* buffer, size_t size) override {
    const size_t n = input_.ReadAt(position_, static_cast<uint8_t*>(buffer), size);
    position_ += n;
    return n;
  }

 private:
  ArchiveInput& input_;
  uint64_t position_ = 0;
};

// The member of a central header; `localOffset` is the stated offset moved by `offsetShift`.
Member ToMember(zipfmt::ZipDirEntry& entry, int64_t offsetShift, int64_t& localOffset) {
  Member m;
  m.name = std::move(entry.fileName);
  m.extraField = std::move(entry.extraField);
  m.versionMadeBy = uint16_t(entry.specVersion | (entry.hostSystem << 8));
  m.flags = entry.flags;
  m.method = entry.compressionMethod;
  m.modified.time = entry.modTime;
  m.modified.date = entry.modDate;
  m.crc = entry.crc32;
  m.compressedSize = entry.compressedSize;
  m.uncompressedSize = entry.uncompressedSize;
  m.externalAttributes = entry.externalAttributes;
  m.zip64 = m.compressedSize == 0xFFFFFFFF || m.uncompressedSize == 0xFFFFFFFF || entry.localHeaderOffset == 0xFFFFFFFF;
  localOffset = int64_t(entry.localHeaderOffset) + offsetShift;
  return m;
}

// The bytes the headers take in the directory: they must lie within its stated size.
uint64_t HeaderBytes(const std::vector<zipfmt::ZipDirEntry>& entries) {
  uint64_t total = 0;
  for (const zipfmt::ZipDirEntry& e : entries)
    total += zipfmt::kCentralHeaderSize + e.fileNameLength + e.extraFieldLength + e.fileCommentLength;
  return total;
}

// Reads the central headers from `start`; false when they cannot be read or overrun the
// directory's stated size.
bool ReadHeaders(ArchiveDisk& disk, const zipfmt::EndRecord& record, uint64_t start,
                 std::vector<zipfmt::ZipDirEntry>& entries) {
  try {
    zipfmt::ReadEntries(disk, record, {0, 0, start}, entries);
  } catch (const zipfmt::ZipError&) {
    return false;
  }
  return HeaderBytes(entries) <= record.directorySize;
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
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t a, size_t b) { return members[a].localOffset < members[b].localOffset; });
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

// Some writers put a ZIP64 locator right before the end record; only one within the bytes
// searched for the end record counts.
bool HasZip64Locator(ArchiveInput& input, const zipfmt::EndRecordLocation& end) {
  const uint64_t size = input.Size();
  const uint64_t searched = size - std::min<uint64_t>(size, zipfmt::kEndSearchWindow);
  return end.recordOffset >= searched + kZip64LocatorSize &&
         HasSignature(input, end.recordOffset - kZip64LocatorSize, kZip64LocatorSig);
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
  return (externalAttributes & kDosFolderAttribute) != 0 && uncompressedSize == 0 && (versionMadeBy >> 8) == 0;
}

bool Member::IsEncrypted() const { return (flags & zipfmt::kFlagEncrypted) != 0; }

CentralDirectory ReadCentralDirectory(ArchiveInput& input) {
  CentralDirectory result;
  ArchiveDisk disk(input);
  zipfmt::EndRecordLocation end;
  try {
    end = zipfmt::ReadEndRecord(disk);
  } catch (const zipfmt::ZipError&) {
  }
  if (!end.found) {
    result.status = DirectoryStatus::kNotAnArchive;
    return result;
  }
  const zipfmt::EndRecord& record = end.record;
  if (record.totalEntries == 0xFFFF || record.directorySize == 0xFFFFFFFF || record.directoryOffset == 0xFFFFFFFF) {
    result.status = DirectoryStatus::kZip64;
    return result;
  }
  uint64_t directoryStart = 0;
  int64_t offsetShift = 0;
  std::vector<zipfmt::ZipDirEntry> entries;
  if (!LocateDirectory(input, end, HasZip64Locator(input, end), directoryStart, offsetShift) ||
      !ReadHeaders(disk, record, directoryStart, entries)) {
    result.status = DirectoryStatus::kDamaged;
    return result;
  }
  result.members.reserve(entries.size());
  for (zipfmt::ZipDirEntry& entry : entries) {
    int64_t localOffset = 0;
    Member m = ToMember(entry, offsetShift, localOffset);
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
