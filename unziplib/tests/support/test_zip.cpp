#include "test_zip.h"

#include <zlib.h>

#include <algorithm>
#include <stdexcept>

#include "traditional_cipher.h"
#include "zip_format.h"

namespace ziptest {

namespace {

using zipfmt::Append16;
using zipfmt::Append32;
using zipfmt::AppendText;

uint32_t Crc(const std::string& data) {
  return uint32_t(crc32(crc32(0, nullptr, 0), reinterpret_cast<const Bytef*>(data.data()), uInt(data.size())));
}

// A small generator, so test data is the same on every run and platform.
class Random {
 public:
  explicit Random(uint32_t seed) : state_(seed * 2654435761u + 1) {}
  uint32_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }

 private:
  uint32_t state_;
};

}  // namespace

std::string Deflate(const std::string& data) {
  z_stream z{};
  if (deflateInit2(&z, 6, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
    throw std::runtime_error("deflateInit2");
  std::string out(deflateBound(&z, uLong(data.size())), '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  z.avail_in = uInt(data.size());
  z.next_out = reinterpret_cast<Bytef*>(&out[0]);
  z.avail_out = uInt(out.size());
  const int rc = deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  if (rc != Z_STREAM_END) throw std::runtime_error("deflate");
  return out;
}

std::string TextData(size_t length, uint32_t seed) {
  static const char* const kWords[] = {"setup ", "archive ", "member ",   "folder ", "file ",
                                       "phone ", "logo ",    "ringtone ", "cable ",  "data\n"};
  Random r(seed);
  std::string s;
  s.reserve(length + 16);
  while (s.size() < length) s += kWords[r.Next() % 10];
  s.resize(length);
  return s;
}

std::string NoiseData(size_t length, uint32_t seed) {
  Random r(seed);
  std::string s(length, '\0');
  for (char& c : s) c = char(r.Next() >> 24);
  return s;
}

std::string UnicodePathExtra(const std::string& storedName, const std::string& utf8, uint8_t version) {
  std::vector<uint8_t> field;
  Append16(field, 0x7075);
  Append16(field, uint16_t(5 + utf8.size()));
  field.push_back(version);
  Append32(field, Crc(storedName));
  AppendText(field, utf8);
  return std::string(field.begin(), field.end());
}

size_t ZipWriter::Add(const Entry& e) {
  const uint32_t crc = Crc(e.data);
  std::string payload = e.method == kDeflated ? Deflate(e.data) : e.data;
  uint16_t flags = e.extraFlags | (e.dataDescriptor ? zipfmt::kFlagDataDescriptor : 0);
  if (!e.password.empty()) {
    flags |= zipfmt::kFlagEncrypted;
    unzip::TraditionalCipher cipher(e.password);
    std::string header = NoiseData(unzip::kEncryptionHeaderSize, crc);
    header.back() = char(e.dataDescriptor ? (e.modified.time >> 8) : (crc >> 24));
    std::string sealed = header + payload;
    cipher.Encrypt(reinterpret_cast<uint8_t*>(&sealed[0]), sealed.size());
    payload = sealed;
  }
  Placed p;
  p.localOffset = bytes_.size();
  Append32(bytes_, zipfmt::kLocalHeaderSig);
  Append16(bytes_, 20);
  Append16(bytes_, flags);
  Append16(bytes_, e.method);
  Append16(bytes_, e.modified.time);
  Append16(bytes_, e.modified.date);
  Append32(bytes_, e.dataDescriptor ? 0 : crc);
  Append32(bytes_, e.dataDescriptor ? 0 : uint32_t(payload.size()));
  Append32(bytes_, e.dataDescriptor ? 0 : uint32_t(e.data.size()));
  Append16(bytes_, uint16_t(e.name.size()));
  Append16(bytes_, uint16_t(e.extra.size()));
  AppendText(bytes_, e.name);
  AppendText(bytes_, e.extra);
  p.dataOffset = bytes_.size();
  p.dataLength = payload.size();
  AppendText(bytes_, payload);
  if (e.dataDescriptor) {
    Append32(bytes_, zipfmt::kSpanMarkerSig);
    Append32(bytes_, crc);
    Append32(bytes_, uint32_t(payload.size()));
    Append32(bytes_, uint32_t(e.data.size()));
  }
  central_.push_back({e, flags, crc, uint32_t(payload.size())});
  placed_.push_back(p);
  return placed_.size() - 1;
}

void ZipWriter::AddRaw(const std::string& bytes) { AppendText(bytes_, bytes); }

std::vector<uint8_t> ZipWriter::Finish(const std::string& comment) {
  const size_t directoryOffset = bytes_.size();
  for (size_t i = 0; i < central_.size(); ++i) {
    const Central& c = central_[i];
    placed_[i].centralOffset = bytes_.size();
    Append32(bytes_, zipfmt::kCentralHeaderSig);
    Append16(bytes_, c.entry.versionMadeBy);
    Append16(bytes_, 20);
    Append16(bytes_, c.flags);
    Append16(bytes_, c.entry.method);
    Append16(bytes_, c.entry.modified.time);
    Append16(bytes_, c.entry.modified.date);
    Append32(bytes_, c.crc);
    Append32(bytes_, c.compressedSize);
    Append32(bytes_, uint32_t(c.entry.data.size()));
    Append16(bytes_, uint16_t(c.entry.name.size()));
    Append16(bytes_, uint16_t(c.entry.extra.size()));
    Append16(bytes_, 0);
    Append16(bytes_, 0);
    Append16(bytes_, 0);
    Append32(bytes_, c.entry.externalAttributes);
    Append32(bytes_, uint32_t(placed_[i].localOffset));
    AppendText(bytes_, c.entry.name);
    AppendText(bytes_, c.entry.extra);
  }
  zipfmt::EndRecord end;
  end.entriesOnDisk = end.totalEntries = uint16_t(central_.size());
  end.directorySize = uint32_t(bytes_.size() - directoryOffset);
  end.directoryOffset = uint32_t(directoryOffset);
  end.commentLength = uint16_t(comment.size());
  const size_t at = bytes_.size();
  bytes_.resize(at + zipfmt::kEndRecordSize);
  end.Write(bytes_.data() + at);
  AppendText(bytes_, comment);
  return bytes_;
}

void Put16(std::vector<uint8_t>& bytes, size_t at, uint16_t v) {
  if (at + 2 > bytes.size()) throw std::out_of_range("Put16");
  zipfmt::Put16(bytes.data() + at, v);
}

void Put32(std::vector<uint8_t>& bytes, size_t at, uint32_t v) {
  if (at + 4 > bytes.size()) throw std::out_of_range("Put32");
  zipfmt::Put32(bytes.data() + at, v);
}

size_t MemoryInput::ReadAt(uint64_t offset, uint8_t* buffer, size_t length) {
  if (offset >= bytes_.size()) return 0;
  const size_t n = size_t(std::min<uint64_t>(length, bytes_.size() - offset));
  std::copy_n(bytes_.data() + offset, n, buffer);
  return n;
}

namespace {

class MemoryPendingFile : public unzip::PendingFile {
 public:
  MemoryPendingFile(MemorySink& sink, std::string path) : sink_(sink), path_(std::move(path)) {
    ++sink_.liveTemporaries;
  }
  ~MemoryPendingFile() override { --sink_.liveTemporaries; }

  bool Write(const uint8_t* data, size_t length) override {
    if (length > sink_.capacity) return false;
    sink_.capacity -= length;
    data_.append(reinterpret_cast<const char*>(data), length);
    return true;
  }

  bool Commit(unzip::DosTime modified) override {
    sink_.files[path_] = {std::move(data_), modified};
    return true;
  }

 private:
  MemorySink& sink_;
  std::string path_;
  std::string data_;
};

}  // namespace

unzip::FolderResult MemorySink::CreateFolders(const std::string& folder) {
  size_t end = 0;
  do {
    end = folder.find('/', end + 1);
    const std::string level = folder.substr(0, end);
    if (files.count(level) != 0) return unzip::FolderResult::kFailed;
    folders.insert(level);
  } while (end != std::string::npos);
  return unzip::FolderResult::kOk;
}

unzip::ExistingEntry MemorySink::Examine(const std::string& path) {
  unzip::ExistingEntry e;
  if (folders.count(path) != 0) {
    e.kind = unzip::ExistingEntry::kFolder;
  } else if (auto it = files.find(path); it != files.end()) {
    e.kind = unzip::ExistingEntry::kFile;
    e.modified = it->second.modified;
  }
  return e;
}

std::unique_ptr<unzip::PendingFile> MemorySink::Begin(const std::string& path) {
  if (folders.count(path) != 0) return nullptr;
  return std::make_unique<MemoryPendingFile>(*this, path);
}

bool RecordingListener::OnEvent(const unzip::Event& event) {
  events.push_back(event);
  return answer ? answer(event) : true;
}

std::vector<unzip::Event> RecordingListener::OfAction(unzipabi::Action action) const {
  std::vector<unzip::Event> found;
  for (const unzip::Event& e : events)
    if (e.action == action) found.push_back(e);
  return found;
}

std::vector<std::string> RecordingListener::Messages() const {
  std::vector<std::string> texts;
  for (const unzip::Event& e : OfAction(unzipabi::kMessage)) texts.push_back(e.text);
  return texts;
}

bool RecordingListener::HasMessage(int32_t code, const std::string& part) const {
  for (const unzip::Event& e : OfAction(unzipabi::kMessage))
    if (e.errorCode == code && e.text.find(part) != std::string::npos) return true;
  return false;
}

}  // namespace ziptest
