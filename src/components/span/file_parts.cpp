#include "file_parts.h"

#include "part_names.h"

namespace span {

namespace {

// 64-bit positioning on both runtimes: parts and offsets may exceed 2 GB on a 32-bit build.
bool SeekTo(std::FILE* file, uint64_t offset, int origin) {
#ifdef _WIN32
  return _fseeki64(file, int64_t(offset), origin) == 0;
#else
  return fseeko(file, off_t(offset), origin) == 0;
#endif
}

int64_t Tell(std::FILE* file) {
#ifdef _WIN32
  return _ftelli64(file);
#else
  return int64_t(ftello(file));
#endif
}

constexpr size_t kFileBuffer = 64 * 1024;

}  // namespace

FilePartSource::FilePartSource(std::string archiveName) : archiveName_(std::move(archiveName)) {}

void FilePartSource::Open(const std::string& name) {
  file_.reset();
  size_ = 0;
  FilePtr file(std::fopen(name.c_str(), "rb"));
  if (!file || !SeekTo(file.get(), 0, SEEK_END)) throw zipfmt::ZipError(zipmsg::kFileNotFound);
  const int64_t size = Tell(file.get());
  if (size < 0 || !SeekTo(file.get(), 0, SEEK_SET)) throw zipfmt::ZipError(zipmsg::kFileNotFound);
  std::setvbuf(file.get(), nullptr, _IOFBF, kFileBuffer);
  file_ = std::move(file);
  size_ = uint64_t(size);
}

void FilePartSource::OpenLastPart(int) { Open(archiveName_); }

void FilePartSource::LastPartHasNoEndRecord(int) { throw NoEndRecordError(archiveName_); }

void FilePartSource::ChangeDisk(int disk, int lastDisk) { Open(FixedDrivePartName(archiveName_, disk, lastDisk)); }

bool FilePartSource::Seek(uint64_t offset) { return file_ && offset <= size_ && SeekTo(file_.get(), offset, SEEK_SET); }

size_t FilePartSource::Read(void* buffer, size_t size) { return file_ ? std::fread(buffer, 1, size, file_.get()) : 0; }

FileJoinSink::FileJoinSink(const std::string& path) : file_(std::fopen(path.c_str(), "wb")) {
  if (!file_) throw zipfmt::ZipError(zipmsg::kCreateJoined);
  std::setvbuf(file_.get(), nullptr, _IOFBF, kFileBuffer);
}

bool FileJoinSink::Write(const void* data, size_t size) {
  if (!file_) return false;
  const size_t written = std::fwrite(data, 1, size, file_.get());
  position_ += written;
  return written == size;
}

bool FileJoinSink::Close() {
  if (!file_) return false;
  const bool flushed = std::fflush(file_.get()) == 0 && !std::ferror(file_.get());
  return std::fclose(file_.release()) == 0 && flushed;
}

}  // namespace span
