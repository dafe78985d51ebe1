#include "central_directory.h"

#include <algorithm>
#include <cstring>

#include "zip_messages.h"

namespace zipfmt {

void DiskInput::ChangeDisk(int, int) { throw ZipError(zipmsg::kFileNotFound); }

int LabelDiskNumber(const std::string& label) {
  static const char kPrefix[] = "PKBACK# ";
  if (label.size() < 11 || label.compare(0, 8, kPrefix) != 0) return -1;
  int number = 0;
  for (size_t i = 8; i < 11; ++i) {
    if (label[i] < '0' || label[i] > '9') return -1;
    number = number * 10 + (label[i] - '0');
  }
  return number;
}

namespace {

// The disks read as one stream: a read or skip that reaches the end of a disk goes on at the
// start of the next one, up to the disk holding the end record. Reads go through a buffer, so
// that a directory of many small headers costs a few large reads, not three calls per entry.
class Cursor {
 public:
  Cursor(DiskInput& input, int disk, int lastDisk) : input_(input), disk_(disk), lastDisk_(lastDisk) {}

  bool SeekTo(uint64_t offset) {
    DropBuffer();
    if (!input_.Seek(offset)) return false;
    position_ = offset;
    return true;
  }
  // Returns the bytes read; fewer than `size` only at the end of the last disk.
  size_t Read(void* buffer, size_t size) {
    uint8_t* out = static_cast<uint8_t*>(buffer);
    size_t done = 0;
    while (done < size) {
      if (Buffered() == 0 && !Fill()) {
        if (!NextDisk()) break;
        continue;
      }
      const size_t n = std::min(size - done, Buffered());
      std::memcpy(out + done, buffer_.data() + next_, n);
      next_ += n;
      position_ += n;
      done += n;
    }
    return done;
  }
  bool ReadString(std::string& text, size_t length) {
    text.assign(length, '\0');
    return Read(&text[0], length) == length;
  }
  bool Skip(uint64_t length) {
    if (length <= Buffered()) {
      next_ += size_t(length);
      position_ += length;
      return true;
    }
    for (;;) {
      const uint64_t size = input_.Size();
      const uint64_t left = size > position_ ? size - position_ : 0;
      if (length <= left) return SeekTo(position_ + length);
      length -= left;
      if (!NextDisk()) return false;
    }
  }
  void ChangeTo(int disk) {
    DropBuffer();
    input_.ChangeDisk(disk, lastDisk_);
    disk_ = disk;
    position_ = 0;
  }

 private:
  static constexpr size_t kBufferSize = 64 * 1024;

  size_t Buffered() const { return end_ - next_; }
  void DropBuffer() { next_ = end_ = 0; }
  // Reads the next bytes of the open disk into the empty buffer; false at its end.
  bool Fill() {
    if (buffer_.empty()) buffer_.resize(kBufferSize);
    next_ = 0;
    end_ = input_.Read(buffer_.data(), buffer_.size());
    return end_ != 0;
  }
  bool NextDisk() {
    if (disk_ >= lastDisk_) return false;
    ChangeTo(disk_ + 1);
    return true;
  }

  DiskInput& input_;
  uint64_t position_ = 0;  // of the next byte handed out, within the open disk
  int disk_;
  int lastDisk_;
  std::vector<uint8_t> buffer_;
  size_t next_ = 0, end_ = 0;  // the unread part of buffer_
};

// The spanning marker followed by a local header opens disk 0 of a multi-disk set.
bool StartsWithSpanMarker(DiskInput& input) {
  uint8_t head[8];
  if (input.Size() < sizeof head || !input.Seek(0) || input.Read(head, sizeof head) != sizeof head) return false;
  return Get32(head) == kSpanMarkerSig && Get32(head + 4) == kLocalHeaderSig;
}

[[noreturn]] void ThrowNoEndRecord(bool spanned, int labelDisk) {
  if (!spanned) {
    if (labelDisk >= 0) throw ZipError(zipmsg::kDiskHasNoEndRecord, labelDisk);
    throw ZipError(zipmsg::kNotAnArchive);
  }
  if (labelDisk == 1) throw ZipError(zipmsg::kFirstDiskOfSet);
  throw ZipError(zipmsg::kNoEndRecordOnSet);
}

// Reads one central header with its name, extra field and comment.
ZipDirEntry ReadEntry(Cursor& cursor) {
  uint8_t header[kCentralHeaderSize];
  if (cursor.Read(header, sizeof header) != sizeof header) throw ZipError(zipmsg::kCentralHeaderRead);
  if (Get32(header) != kCentralHeaderSig) throw ZipError(zipmsg::kCentralSignature);
  ZipDirEntry entry;
  std::memcpy(static_cast<ZipDirHeader*>(&entry), header + central::kVersionMadeBy, sizeof(ZipDirHeader));
  if (!cursor.ReadString(entry.fileName, entry.fileNameLength)) throw ZipError(zipmsg::kCentralName);
  if (!cursor.ReadString(entry.extraField, entry.extraFieldLength)) throw ZipError(zipmsg::kSeekFailed);
  if (entry.fileCommentLength != 0 && !cursor.ReadString(entry.fileComment, entry.fileCommentLength))
    throw ZipError(zipmsg::kCentralComment);
  return entry;
}

}  // namespace

EndRecordLocation ReadEndRecord(DiskInput& input) {
  const uint64_t size = input.Size();
  const size_t window = size_t(std::min<uint64_t>(size, kEndSearchWindow));
  std::vector<uint8_t> tail(window);
  if (window < kEndRecordSize) return {};
  if (!input.Seek(size - window) || input.Read(tail.data(), window) != window)
    throw ZipError(zipmsg::kUnknownListError);
  return FindEndRecord(tail.data(), window, size);
}

void ReadEntries(DiskInput& input, const EndRecord& record, const DirectoryStart& start,
                 std::vector<ZipDirEntry>& entries) {
  Cursor cursor(input, start.disk, start.lastDisk);
  if (!cursor.SeekTo(start.offset)) throw ZipError(zipmsg::kSeekFailed);
  // Every entry takes at least its fixed header, so the stated size bounds the count.
  entries.reserve(std::min<size_t>(record.totalEntries, record.directorySize / kCentralHeaderSize));
  for (unsigned i = 0; i < record.totalEntries; ++i) entries.push_back(ReadEntry(cursor));
}

void ReadDirectory(DiskInput& input, int labelDisk, DirectoryListing& out, const std::function<void(int id)>& warn) {
  out.isSpanned = StartsWithSpanMarker(input);
  const EndRecordLocation end = ReadEndRecord(input);
  if (!end.found) ThrowNoEndRecord(out.isSpanned, labelDisk);

  const EndRecord& record = end.record;
  if (end.trailingBytes != 0 && !end.trailingIsPadding) warn(zipmsg::kTrailingData);
  out.comment = end.comment;
  // The end position as the record and its comment state it, whatever follows them.
  const int64_t endPosition = int64_t(end.recordOffset) + int64_t(kEndRecordSize) + record.commentLength;

  out.endDiskNumber = record.thisDisk;
  if (out.endDiskNumber != 0) out.isSpanned = true;
  const int64_t stated = record.directoryOffset;
  int64_t computed = stated;
  if (record.directoryDisk == record.thisDisk) {
    computed = endPosition - int64_t(record.directorySize) - record.commentLength - int64_t(kEndRecordSize);
  } else {
    input.ChangeDisk(record.directoryDisk, record.thisDisk);
  }
  if (computed != stated) {
    out.structureWarning = true;
    warn(zipmsg::kStructureWarning);
  }

  if (computed < 0) throw ZipError(zipmsg::kSeekFailed);
  ReadEntries(input, record, {record.directoryDisk, record.thisDisk, uint64_t(computed)}, out.entries);
  // Without entries the directory's own place bounds the bytes in front of the archive.
  int64_t sfxOffset = stated;
  for (const ZipDirEntry& entry : out.entries) sfxOffset = std::min<int64_t>(sfxOffset, entry.localHeaderOffset);
  out.sfxOffset = std::max<int64_t>(0, sfxOffset + computed - stated);
}

}  // namespace zipfmt
