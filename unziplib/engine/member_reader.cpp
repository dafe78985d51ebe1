#include "member_reader.h"

#include <zlib.h>

#include <algorithm>
#include <new>
#include <optional>

#include "traditional_cipher.h"
#include "unzip_engine.h"
#include "zip_format.h"

namespace unzip {

namespace {

constexpr uint16_t kMethodStored = 0;
constexpr uint16_t kMethodDeflated = 8;
constexpr uint16_t kFlagStrongEncryption = 1u << 6;
constexpr size_t kInputBlockSize = 256 * 1024;

}  // namespace

// One raw-deflate stream state, reset between members instead of being set up anew.
class MemberReader::Inflater {
 public:
  Inflater() {
    if (inflateInit2(&stream_, -MAX_WBITS) != Z_OK) throw std::bad_alloc();
  }
  ~Inflater() { inflateEnd(&stream_); }
  Inflater(const Inflater&) = delete;
  Inflater& operator=(const Inflater&) = delete;

  z_stream& Reset() {
    inflateReset(&stream_);
    return stream_;
  }

 private:
  z_stream stream_{};
};

// The member's compressed bytes, read front to back and decrypted when a cipher is set.
struct MemberReader::Source {
  ArchiveInput& input;
  uint64_t position;
  uint64_t remaining;
  TraditionalCipher* cipher = nullptr;
  bool truncated = false;

  // Returns the number of bytes put into `buffer`; 0 at the end of the member, or when the
  // archive ended early (then `truncated` is set).
  size_t Next(uint8_t* buffer, size_t capacity) {
    const size_t want = size_t(std::min<uint64_t>(capacity, remaining));
    if (want == 0) return 0;
    const size_t got = input.ReadAt(position, buffer, want);
    if (got == 0) {
      truncated = true;
      return 0;
    }
    if (cipher != nullptr) cipher->Decrypt(buffer, got);
    position += got;
    remaining -= got;
    return got;
  }
};

MemberReader::MemberReader() : input_(kInputBlockSize), output_(kOutputBlockSize), inflater_(new Inflater) {}

MemberReader::~MemberReader() = default;

MemberStatus MemberReader::CheckSupported(const Member& member) {
  if (member.zip64) return MemberStatus::kZip64;
  if ((member.flags & kFlagStrongEncryption) != 0) return MemberStatus::kStrongEncryption;
  if (member.method != kMethodStored && member.method != kMethodDeflated) return MemberStatus::kUnsupportedMethod;
  if (member.badExtent) return MemberStatus::kBadExtent;
  return MemberStatus::kOk;
}

MemberStatus MemberReader::CheckLocalHeader(ArchiveInput& input, const Member& member, uint64_t& dataStart) {
  namespace l = zipfmt::local;
  uint8_t h[zipfmt::kLocalHeaderSize];
  if (input.ReadAt(member.localOffset, h, sizeof h) != sizeof h) return MemberStatus::kTruncated;
  if (zipfmt::Get32(h) != zipfmt::kLocalHeaderSig) return MemberStatus::kHeaderMismatch;
  const uint16_t flags = zipfmt::Get16(h + l::kFlags);
  if (zipfmt::Get16(h + l::kMethod) != member.method || ((flags ^ member.flags) & zipfmt::kFlagEncrypted) != 0)
    return MemberStatus::kHeaderMismatch;
  // With a data descriptor the writer may leave CRC and sizes 0 in the local header. A writer
  // that streams may also put the ZIP64 placeholder there for sizes it did not know yet, with
  // or without a descriptor (Info-ZIP zip reading from a pipe); the directory's sizes are the
  // ones used either way.
  const bool deferred = (flags & zipfmt::kFlagDataDescriptor) != 0;
  const auto agrees = [&](size_t offset, uint32_t central, bool maybePlaceholder) {
    const uint32_t local = zipfmt::Get32(h + offset);
    return local == central || (deferred && local == 0) || (maybePlaceholder && local == 0xFFFFFFFF);
  };
  if (!agrees(l::kCrc, member.crc, false) || !agrees(l::kCompSize, member.compressedSize, true) ||
      !agrees(l::kUncompSize, member.uncompressedSize, true))
    return MemberStatus::kHeaderMismatch;

  const size_t nameLength = zipfmt::Get16(h + l::kNameLen);
  if (nameLength != member.name.size()) return MemberStatus::kHeaderMismatch;
  std::string name(nameLength, '\0');
  const uint64_t nameStart = member.localOffset + zipfmt::kLocalHeaderSize;
  if (input.ReadAt(nameStart, reinterpret_cast<uint8_t*>(&name[0]), nameLength) != nameLength)
    return MemberStatus::kTruncated;
  if (name != member.name) return MemberStatus::kHeaderMismatch;

  dataStart = nameStart + nameLength + zipfmt::Get16(h + l::kExtraLen);
  if (dataStart + member.compressedSize > member.dataLimit) return MemberStatus::kBadExtent;
  return MemberStatus::kOk;
}

MemberStatus MemberReader::Read(ArchiveInput& input, const Member& member, const std::string& password,
                                DataConsumer& consumer) {
  MemberStatus status = CheckSupported(member);
  if (status != MemberStatus::kOk) return status;
  uint64_t dataStart = 0;
  status = CheckLocalHeader(input, member, dataStart);
  if (status != MemberStatus::kOk) return status;

  Source source{input, dataStart, member.compressedSize};
  std::optional<TraditionalCipher> cipher;
  if (member.IsEncrypted()) {
    if (password.empty()) return MemberStatus::kNeedPassword;
    uint8_t header[kEncryptionHeaderSize];
    if (member.compressedSize < sizeof header) return MemberStatus::kBadData;
    if (source.Next(header, sizeof header) != sizeof header) return MemberStatus::kTruncated;
    cipher.emplace(password);
    const bool descriptor = (member.flags & zipfmt::kFlagDataDescriptor) != 0;
    if (!DecryptHeader(*cipher, header, member.crc, member.modified.time, descriptor))
      return MemberStatus::kWrongPassword;
    source.cipher = &*cipher;
  }

  uint32_t crc = uint32_t(crc32(0, nullptr, 0));
  status = member.method == kMethodStored ? CopyStored(source, member, consumer, crc)
                                          : Inflate(source, member, consumer, crc);
  if (status == MemberStatus::kOk && crc != member.crc) return MemberStatus::kCrcError;
  return status;
}

MemberStatus MemberReader::CopyStored(Source& source, const Member& member, DataConsumer& consumer, uint32_t& crc) {
  if (source.remaining != member.uncompressedSize) return MemberStatus::kBadData;
  while (source.remaining > 0) {
    const size_t n = source.Next(output_.data(), output_.size());
    if (n == 0) return MemberStatus::kTruncated;
    crc = uint32_t(crc32(crc, output_.data(), uInt(n)));
    const MemberStatus status = consumer.Consume(output_.data(), n);
    if (status != MemberStatus::kOk) return status;
  }
  return MemberStatus::kOk;
}

MemberStatus MemberReader::Inflate(Source& source, const Member& member, DataConsumer& consumer, uint32_t& crc) {
  z_stream& z = inflater_->Reset();
  z.next_in = input_.data();
  z.avail_in = 0;
  uint64_t produced = 0;
  int rc = Z_OK;
  while (rc != Z_STREAM_END) {
    // Fill the whole output block before handing it on: few large writes, and zlib stays in
    // its fast loop while both buffers are roomy.
    z.next_out = output_.data();
    z.avail_out = uInt(output_.size());
    while (z.avail_out > 0 && rc != Z_STREAM_END) {
      if (z.avail_in == 0) {
        const size_t n = source.Next(input_.data(), input_.size());
        if (n == 0) return source.truncated ? MemberStatus::kTruncated : MemberStatus::kBadData;
        z.next_in = input_.data();
        z.avail_in = uInt(n);
      }
      rc = inflate(&z, Z_NO_FLUSH);
      // Z_BUF_ERROR is harmless only when the input ran dry; with input left it means no way on.
      if (rc != Z_OK && rc != Z_STREAM_END && !(rc == Z_BUF_ERROR && z.avail_in == 0)) return MemberStatus::kBadData;
    }
    const size_t have = output_.size() - z.avail_out;
    if (have > member.uncompressedSize - produced) return MemberStatus::kTooLong;
    produced += have;
    crc = uint32_t(crc32(crc, output_.data(), uInt(have)));
    const MemberStatus status = consumer.Consume(output_.data(), have);
    if (status != MemberStatus::kOk) return status;
  }
  return produced == member.uncompressedSize ? MemberStatus::kOk : MemberStatus::kTooShort;
}

}  // namespace unzip
