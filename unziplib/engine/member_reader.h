// Reads one member's data: checks its local header against the directory, decrypts, inflates
// and checks the CRC, handing the output to a consumer in blocks of kOutputBlockSize.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "archive_input.h"
#include "member_directory.h"

namespace unzip {

enum class MemberStatus {
  kOk,
  kUnsupportedMethod,
  kStrongEncryption,
  kZip64,
  kBadExtent,       // data overlaps another member or the directory, or lies outside the archive
  kHeaderMismatch,  // local header disagrees with the central directory
  kTruncated,       // the archive ends inside the member
  kBadData,         // the compressed data is damaged
  kTooLong,         // more output than the stated uncompressed size
  kTooShort,        // less output than the stated uncompressed size
  kCrcError,
  kNeedPassword,
  kWrongPassword,
  kWriteError,  // the consumer could not store the output
  kLinkInPath,  // a folder of the member's path is a link to another place
  kCancelled,   // the consumer was told to stop
};

class DataConsumer {
 public:
  virtual ~DataConsumer() = default;
  // Takes the next block of output; any status other than kOk stops the member with it.
  virtual MemberStatus Consume(const uint8_t* data, size_t length) = 0;
};

// Holds the buffers and the inflate state for all members of an extraction, so they are
// allocated once; memory stays the same whatever the member sizes.
class MemberReader {
 public:
  MemberReader();  // throws std::bad_alloc
  ~MemberReader();
  MemberReader(const MemberReader&) = delete;
  MemberReader& operator=(const MemberReader&) = delete;

  // The checks that need only the directory, done before anything is read.
  static MemberStatus CheckSupported(const Member& member);

  MemberStatus Read(ArchiveInput& input, const Member& member, const std::string& password, DataConsumer& consumer);

 private:
  class Inflater;
  struct Source;

  MemberStatus CheckLocalHeader(ArchiveInput& input, const Member& member, uint64_t& dataStart);
  MemberStatus CopyStored(Source& source, const Member& member, DataConsumer& consumer, uint32_t& crc);
  MemberStatus Inflate(Source& source, const Member& member, DataConsumer& consumer, uint32_t& crc);

  std::vector<uint8_t> input_;
  std::vector<uint8_t> output_;
  std::unique_ptr<Inflater> inflater_;
};

}  // namespace unzip
