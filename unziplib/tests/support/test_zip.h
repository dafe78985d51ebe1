// Test doubles for the unzip engine: an archive writer that can also produce damaged and
// hostile archives, the archive in memory, an output sink in memory and a listener that
// records every event.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "archive_input.h"
#include "output_sink.h"
#include "unzip_engine.h"

namespace ziptest {

constexpr uint16_t kStored = 0;
constexpr uint16_t kDeflated = 8;

struct Entry {
  std::string name;
  std::string data;  // uncompressed content; folders have none
  uint16_t method = kDeflated;
  bool dataDescriptor = false;
  std::string password;                     // not empty: traditional encryption
  unzip::DosTime modified{0x5021, 0x6000};  // 2020-01-01 12:00:00
  uint32_t externalAttributes = 0;
  uint16_t versionMadeBy = 20;  // FAT, version 2.0
  uint16_t extraFlags = 0;      // such as the UTF-8 flag (bit 11)
  std::string extra;            // the same extra field in the local and the central header
};

// An Info-ZIP Unicode Path extra field that gives `utf8` as the name of an entry stored as
// `storedName` (its CRC-32 is that of `storedName`).
std::string UnicodePathExtra(const std::string& storedName, const std::string& utf8, uint8_t version = 1);

// Where the writer put an entry's parts, for tests that damage them afterwards.
struct Placed {
  size_t localOffset = 0;
  size_t dataOffset = 0;
  size_t dataLength = 0;
  size_t centralOffset = 0;  // set by Finish
};

class ZipWriter {
 public:
  // Appends the entry's local header, data and descriptor; returns its index.
  size_t Add(const Entry& entry);
  // Appends raw bytes between members (a stub, garbage).
  void AddRaw(const std::string& bytes);
  // Writes the central directory and end record; returns the whole archive.
  std::vector<uint8_t> Finish(const std::string& comment = std::string());
  // After Finish: the parts of entry `index`.
  const Placed& At(size_t index) const { return placed_[index]; }

 private:
  struct Central {
    Entry entry;
    uint16_t flags;
    uint32_t crc;
    uint32_t compressedSize;
  };
  std::vector<uint8_t> bytes_;
  std::vector<Central> central_;
  std::vector<Placed> placed_;
};

std::string Deflate(const std::string& data);
// Text-like data that compresses well, made from `seed`.
std::string TextData(size_t length, uint32_t seed);
// Data that does not compress.
std::string NoiseData(size_t length, uint32_t seed);

void Put16(std::vector<uint8_t>& bytes, size_t at, uint16_t v);
void Put32(std::vector<uint8_t>& bytes, size_t at, uint32_t v);

class MemoryInput : public unzip::ArchiveInput {
 public:
  explicit MemoryInput(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}
  MemoryInput(const uint8_t* data, size_t size) : bytes_(data, data + size) {}
  uint64_t Size() const override { return bytes_.size(); }
  size_t ReadAt(uint64_t offset, uint8_t* buffer, size_t length) override;

 private:
  std::vector<uint8_t> bytes_;
};

class MemorySink : public unzip::OutputSink {
 public:
  struct File {
    std::string data;
    unzip::DosTime modified;
  };

  std::map<std::string, File> files;
  std::set<std::string> folders;
  int liveTemporaries = 0;     // temporaries begun and neither committed nor removed
  size_t capacity = SIZE_MAX;  // bytes that may still be written; then writes fail (disk full)

  unzip::FolderResult CreateFolders(const std::string& folder) override;
  unzip::ExistingEntry Examine(const std::string& path) override;
  std::unique_ptr<unzip::PendingFile> Begin(const std::string& path) override;
};

class RecordingListener : public unzip::Listener {
 public:
  std::vector<unzip::Event> events;
  // Called for every event; returns false to stop. Continues by default.
  std::function<bool(const unzip::Event&)> answer;

  bool OnEvent(const unzip::Event& event) override;

  std::vector<unzip::Event> OfAction(unzipabi::Action action) const;
  std::vector<std::string> Messages() const;
  // True when some message has this error code and contains `part`.
  bool HasMessage(int32_t code, const std::string& part) const;
};

}  // namespace ziptest
