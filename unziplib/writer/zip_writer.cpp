#include "zip_writer.h"

#include <zlib.h>

#include <algorithm>
#include <limits>
#include <utility>

namespace zipwrite {

using namespace zipfmt;

namespace {

constexpr uint16_t kVersionStored = 10;
constexpr uint16_t kVersionDeflated = 20;
// Made by: NTFS host, so readers take the names as they stand (no OEM conversion) and the
// external attributes as MS-DOS attributes.
constexpr uint16_t kMadeBy = (11u << 8) | 20u;
constexpr uint32_t kArchiveAttribute = 0x20;
constexpr uint32_t kFolderAttribute = 0x10;

bool IsFolderName(const std::string& name) { return !name.empty() && name.back() == '/'; }

bool IsAscii(const std::string& s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

struct Packed {
  WrittenMember member;
  uint16_t flags = 0;
  DosStamp modified;
  Bytes payload;  // as stored in the archive
};

Packed Pack(const FileEntry& file) {
  if (file.data.size() > std::numeric_limits<uint32_t>::max())
    throw WriteError(file.name + ": larger than 4 GB, which the archive format cannot hold");
  if (file.name.empty() || file.name.size() > 0xFFFF) throw WriteError("a member name is empty or too long");
  if (IsFolderName(file.name) && !file.data.empty()) throw WriteError(file.name + ": a folder entry holds no data");
  Packed p;
  p.member.name = file.name;
  p.member.crc = Crc32(file.data);
  p.member.size = uint32_t(file.data.size());
  p.flags = IsAscii(file.name) ? 0 : kFlagUtf8Name;
  p.modified = file.modified;
  Bytes deflated = Deflate(file.data);
  if (deflated.size() < file.data.size()) {
    p.member.method = kMethodDeflated;
    p.payload = std::move(deflated);
  } else {
    p.member.method = kMethodStored;
    p.payload = file.data;
  }
  p.member.compressedSize = uint32_t(p.payload.size());
  return p;
}

// Local header or central header fields from the version needed up to the name length.
void AppendCommonFields(Bytes& out, const Packed& p) {
  Append16(out, p.member.method == kMethodDeflated ? kVersionDeflated : kVersionStored);
  Append16(out, p.flags);
  Append16(out, p.member.method);
  Append16(out, p.modified.time);
  Append16(out, p.modified.date);
  Append32(out, p.member.crc);
  Append32(out, p.member.compressedSize);
  Append32(out, p.member.size);
  Append16(out, uint16_t(p.member.name.size()));
}

ArchiveImage BuildImage(const std::vector<Packed>& packed, bool withMarker) {
  ArchiveImage image;
  Bytes& out = image.bytes;
  if (withMarker) Append32(out, kSpanMarkerSig);
  for (const Packed& p : packed) {
    image.locals.push_back(out.size());
    Append32(out, kLocalHeaderSig);
    AppendCommonFields(out, p);
    Append16(out, 0);  // extra field
    AppendText(out, p.member.name);
    out.insert(out.end(), p.payload.begin(), p.payload.end());
  }
  image.directory = out.size();
  for (const Packed& p : packed) {
    image.centrals.push_back(out.size());
    Append32(out, kCentralHeaderSig);
    Append16(out, kMadeBy);
    AppendCommonFields(out, p);
    Append16(out, 0);  // extra field
    Append16(out, 0);  // comment
    Append16(out, 0);  // disk number start, set when the image is cut
    Append16(out, 0);  // internal attributes
    Append32(out, IsFolderName(p.member.name) ? kFolderAttribute : kArchiveAttribute);
    Append32(out, 0);  // local header offset, set when the image is cut
    AppendText(out, p.member.name);
  }
  image.endRecord = out.size();
  out.resize(out.size() + kEndRecordSize);
  if (out.size() > std::numeric_limits<uint32_t>::max())
    throw WriteError("the archive is larger than 4 GB, which the archive format cannot hold");
  return image;
}

// Part starts for parts of at most `partSize` bytes that split no header and no end record.
std::vector<size_t> ChooseCuts(const ArchiveImage& image, const std::vector<Packed>& packed, uint64_t partSize) {
  std::vector<std::pair<size_t, size_t>> whole;  // [from, to) that must stay in one part
  for (size_t i = 0; i < packed.size(); ++i) {
    const size_t name = packed[i].member.name.size();
    whole.emplace_back(image.locals[i], image.locals[i] + kLocalHeaderSize + name);
    whole.emplace_back(image.centrals[i], image.centrals[i] + kCentralHeaderSize + name);
  }
  whole.emplace_back(image.endRecord, image.bytes.size());

  std::vector<size_t> starts{0};
  while (image.bytes.size() - starts.back() > partSize) {
    size_t cut = starts.back() + size_t(partSize);
    for (const auto& [from, to] : whole)
      if (from < cut && cut < to) cut = from;
    if (cut <= starts.back()) throw WriteError("the part size is too small for a header");
    starts.push_back(cut);
  }
  return starts;
}

}  // namespace

namespace {

bool BrokenDown(std::time_t when, bool utc, std::tm& t) {
#ifdef _WIN32
  return (utc ? gmtime_s(&t, &when) : localtime_s(&t, &when)) == 0;
#else
  return (utc ? gmtime_r(&when, &t) : localtime_r(&when, &t)) != nullptr;
#endif
}

}  // namespace

DosStamp ToDosStamp(std::time_t when, bool utc) {
  std::tm t{};
  if (!BrokenDown(when, utc, t) || t.tm_year < 80) return DosStamp();
  if (t.tm_year > 207) return DosStamp{0xFF9F, 0xBF7D};  // 2107-12-31 23:59:58
  DosStamp s;
  s.date = uint16_t(((t.tm_year - 80) << 9) | ((t.tm_mon + 1) << 5) | t.tm_mday);
  s.time = uint16_t((t.tm_hour << 11) | (t.tm_min << 5) | (std::min(t.tm_sec, 59) / 2));
  return s;
}

WrittenArchive WriteArchive(const std::vector<FileEntry>& files, uint64_t partSize,
                            const std::function<void(const WrittenMember&)>& packed) {
  if (files.size() > 0xFFFF) throw WriteError("more than 65535 files, which the archive format cannot hold");
  if (partSize != 0 && partSize < kMinPartSize)
    throw WriteError("the part size is below " + std::to_string(kMinPartSize) + " bytes");
  std::vector<Packed> members;
  for (const FileEntry& file : files) {
    members.push_back(Pack(file));
    if (packed) packed(members.back().member);
  }

  ArchiveImage image = BuildImage(members, false);
  std::vector<size_t> starts{0};
  // An archive that fits into one part is written as an ordinary archive.
  if (partSize != 0 && image.bytes.size() > partSize) {
    image = BuildImage(members, true);
    starts = ChooseCuts(image, members, partSize);
  }
  if (starts.size() > 0xFFFF) throw WriteError("more than 65535 parts");
  zipfmt::SplitArchive split = SplitIntoParts(std::move(image), starts);

  WrittenArchive written;
  written.parts = std::move(split.parts);
  for (Packed& p : members) written.members.push_back(std::move(p.member));
  return written;
}

Bytes Deflate(const Bytes& data) {
  z_stream z{};
  if (deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
    throw WriteError("zlib could not start deflating");
  Bytes out(deflateBound(&z, uLong(data.size())));
  z.next_in = const_cast<Bytes::value_type*>(data.data());
  z.avail_in = uInt(data.size());
  z.next_out = out.data();
  z.avail_out = uInt(out.size());
  const int result = deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  if (result != Z_STREAM_END) throw WriteError("zlib could not deflate a member");
  return out;
}

uint32_t Crc32(const Bytes& data) {
  uLong crc = crc32(0L, Z_NULL, 0);
  const Bytes::value_type* p = data.data();
  size_t left = data.size();
  while (left > 0) {
    const uInt chunk = uInt(std::min<size_t>(left, 1u << 30));
    crc = crc32(crc, p, chunk);
    p += chunk;
    left -= chunk;
  }
  return uint32_t(crc);
}

}  // namespace zipwrite
