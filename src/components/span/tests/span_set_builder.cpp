#include "span_set_builder.h"

#include <algorithm>
#include <stdexcept>

namespace spantest {

using namespace zipfmt;

namespace {

constexpr uint16_t kVersion = 20;
constexpr uint16_t kDosTime = 0x6000;  // 12:00:00
constexpr uint16_t kDosDate = 0x5A21;  // 2025-01-01

// The archive as one stream, with the positions of its structures; the central directory's
// disk and offset fields are filled in once the cuts are known.
using Stream = ArchiveImage;

Stream WriteStream(const std::vector<Member>& members, const SetOptions& options, bool withMarker) {
  const std::string& comment = options.archiveComment;
  Stream s;
  if (withMarker) Append32(s.bytes, options.marker);
  for (const Member& m : members) {
    s.locals.push_back(s.bytes.size());
    const uint32_t crc = Crc32(m.data.data(), m.data.size());
    const uint32_t size = uint32_t(m.data.size());
    Append32(s.bytes, kLocalHeaderSig);
    Append16(s.bytes, kVersion);
    Append16(s.bytes, m.dataDescriptor ? kFlagDataDescriptor : 0);
    Append16(s.bytes, 0);  // stored
    Append16(s.bytes, kDosTime);
    Append16(s.bytes, kDosDate);
    Append32(s.bytes, m.dataDescriptor ? 0 : crc);
    Append32(s.bytes, m.dataDescriptor ? 0 : size);
    Append32(s.bytes, m.dataDescriptor ? 0 : size);
    Append16(s.bytes, uint16_t(m.name.size()));
    Append16(s.bytes, uint16_t(m.extra.size()));
    AppendText(s.bytes, m.name);
    AppendText(s.bytes, m.extra);
    s.bytes.insert(s.bytes.end(), m.data.begin(), m.data.end());
    if (m.dataDescriptor) {
      Append32(s.bytes, kSpanMarkerSig);
      Append32(s.bytes, crc);
      Append32(s.bytes, size);
      Append32(s.bytes, size);
    }
  }
  s.directory = s.bytes.size();
  s.centrals.resize(members.size());
  for (size_t i = 0; i < members.size(); ++i) {
    const size_t index = options.directoryOrder.empty() ? i : options.directoryOrder[i];
    const Member& m = members.at(index);
    s.centrals[index] = s.bytes.size();
    const uint32_t size = uint32_t(m.data.size());
    Append32(s.bytes, kCentralHeaderSig);
    Append16(s.bytes, kVersion);  // made by: FAT host
    Append16(s.bytes, kVersion);
    Append16(s.bytes, m.dataDescriptor ? kFlagDataDescriptor : 0);
    Append16(s.bytes, 0);
    Append16(s.bytes, kDosTime);
    Append16(s.bytes, kDosDate);
    Append32(s.bytes, Crc32(m.data.data(), m.data.size()));
    Append32(s.bytes, size);
    Append32(s.bytes, size);
    Append16(s.bytes, uint16_t(m.name.size()));
    Append16(s.bytes, uint16_t(m.extra.size()));
    Append16(s.bytes, uint16_t(m.comment.size()));
    Append16(s.bytes, 0);     // disk number start, filled in later
    Append16(s.bytes, 0);     // internal attributes
    Append32(s.bytes, 0x20);  // archive attribute
    Append32(s.bytes, 0);     // local header offset, filled in later
    AppendText(s.bytes, m.name);
    AppendText(s.bytes, m.extra);
    AppendText(s.bytes, m.comment);
  }
  s.endRecord = s.bytes.size();
  s.bytes.resize(s.bytes.size() + kEndRecordSize);
  AppendText(s.bytes, comment);
  s.commentLength = uint16_t(comment.size());
  return s;
}

BuiltSet Cut(Stream s, const std::vector<size_t>& partSizes, size_t memberCount) {
  if (s.centrals.size() != memberCount) throw std::invalid_argument("directory order");
  std::vector<size_t> starts{0};
  for (size_t size : partSizes) starts.push_back(starts.back() + size);
  SplitArchive split = SplitIntoParts(std::move(s), starts);
  return {std::move(split.parts), std::move(split.localHeaders), std::move(split.centralHeaders), split.endRecord};
}

}  // namespace

BuiltSet BuildSpanSet(const std::vector<Member>& members, const std::vector<size_t>& partSizes,
                      const SetOptions& options) {
  return Cut(WriteStream(members, options, true), partSizes, members.size());
}

BuiltSet BuildEvenSpanSet(const std::vector<Member>& members, size_t partCount, const SetOptions& options) {
  Stream s = WriteStream(members, options, true);
  const size_t each = std::min(s.bytes.size() / partCount, s.endRecord / std::max<size_t>(partCount - 1, 1));
  const std::vector<size_t> sizes(partCount - 1, each);
  return Cut(std::move(s), sizes, members.size());
}

Bytes BuildSingleArchive(const std::vector<Member>& members, const SetOptions& options) {
  return Cut(WriteStream(members, options, false), {}, members.size()).parts[0];
}

uint32_t Crc32(const uint8_t* data, size_t size) {
  static const auto table = [] {
    std::vector<uint32_t> t(256);
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

Bytes PatternBytes(size_t size, uint32_t seed) {
  Bytes bytes(size);
  uint32_t x = seed * 2654435761u + 1;
  for (uint8_t& b : bytes) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    b = uint8_t(x);
  }
  return bytes;
}

namespace {

bool Fail(ReadResult& r, const std::string& why) {
  r.ok = false;
  r.error = why;
  return false;
}

bool ReadEntry(const Bytes& a, size_t& at, ReadResult& r) {
  if (at + kCentralHeaderSize > a.size()) return Fail(r, "central header past the end");
  const uint8_t* h = &a[at];
  if (Get32(h) != kCentralHeaderSig) return Fail(r, "central header signature");
  const size_t nameLen = Get16(h + central::kNameLen);
  const size_t variable = nameLen + Get16(h + central::kExtraLen) + Get16(h + central::kCommentLen);
  if (at + kCentralHeaderSize + variable > a.size()) return Fail(r, "central name past the end");
  ReadMember m;
  m.name.assign(reinterpret_cast<const char*>(h + kCentralHeaderSize), nameLen);
  m.diskStart = Get16(h + central::kDiskStart);
  m.localOffset = Get32(h + central::kLocalOffset);
  const uint32_t size = Get32(h + central::kCompSize);
  const uint32_t crc = Get32(h + central::kCrc);
  at += kCentralHeaderSize + variable;

  const size_t localAt = m.localOffset;
  if (localAt + kLocalHeaderSize > a.size()) return Fail(r, m.name + ": local header past the end");
  const uint8_t* l = &a[localAt];
  if (Get32(l) != kLocalHeaderSig) return Fail(r, m.name + ": no local header at its offset");
  const size_t localName = Get16(l + local::kNameLen);
  if (std::string(reinterpret_cast<const char*>(l + kLocalHeaderSize),
                  std::min(localName, a.size() - localAt - kLocalHeaderSize)) != m.name)
    return Fail(r, m.name + ": local header of another name");
  const size_t data = localAt + kLocalHeaderSize + localName + Get16(l + local::kExtraLen);
  if (data + size > a.size()) return Fail(r, m.name + ": data past the end");
  m.data.assign(a.begin() + long(data), a.begin() + long(data + size));
  if (Crc32(m.data.data(), m.data.size()) != crc) return Fail(r, m.name + ": CRC-32 differs");
  r.members.push_back(std::move(m));
  return true;
}

}  // namespace

ReadResult ReadSingleArchive(const Bytes& archive) {
  ReadResult r;
  const size_t window = std::min(archive.size(), kEndSearchWindow);
  const EndRecordLocation loc = FindEndRecord(archive.data() + archive.size() - window, window, archive.size());
  if (!loc.found) {
    Fail(r, "no end record");
    return r;
  }
  r.end = loc.record;
  r.comment = loc.comment;
  size_t at = r.end.directoryOffset;
  for (unsigned i = 0; i < r.end.totalEntries; ++i)
    if (!ReadEntry(archive, at, r)) return r;
  if (at != loc.recordOffset) {
    Fail(r, "directory does not end at the end record");
    return r;
  }
  r.ok = true;
  return r;
}

}  // namespace spantest
