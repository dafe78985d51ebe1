// The medium's archive writer: what it writes is read back by the extraction engine and, as a
// multi-part set, joined by the setup's join first.
#include "zip_writer.h"

#include <gtest/gtest.h>

#include "member_directory.h"
#include "memory_parts.h"
#include "part_names.h"
#include "span_join.h"
#include "span_set_builder.h"
#include "test_zip.h"
#include "unzip_engine.h"

using namespace zipwrite;

namespace {

FileEntry File(const std::string& name, const Bytes& data) {
  FileEntry f;
  f.name = name;
  f.data = data;
  f.modified = ToDosStamp(1000000000, true);  // 2001-09-09 01:46:40 UTC
  return f;
}

Bytes TextBytes(size_t size) {
  Bytes b(size);
  for (size_t i = 0; i < size; ++i) b[i] = uint8_t("Talvenor Klingelton "[i % 20]);
  return b;
}

std::vector<FileEntry> Files() {
  return {File("hilfe/hilfe.txt", TextBytes(90000)),
          File("klingelt\xC3\xB6ne/ring.mid", spantest::PatternBytes(150000, 7)), File("leer.txt", {}),
          File("talv20.exe", spantest::PatternBytes(70000, 8))};
}

}  // namespace

TEST(ZipWriter, WritesDeflatedOrStoredMembersThatReadBackWithTheirCrcTimeAndUtf8Flag) {
  const WrittenArchive written = WriteArchive(Files(), 0);
  ASSERT_EQ(written.parts.size(), 1u);
  EXPECT_EQ(written.members[0].method, kMethodDeflated);
  EXPECT_LT(written.members[0].compressedSize, 2000u);
  EXPECT_EQ(written.members[1].method, kMethodStored);  // noise does not deflate
  EXPECT_EQ(written.members[2].method, kMethodStored);

  // The engine extracts every member with its data and stamp.
  ziptest::MemoryInput input(written.parts[0]);
  ziptest::MemorySink sink;
  ziptest::RecordingListener listener;
  unzip::Options options;
  options.dirNames = true;
  options.fileSpecs = {"*.*"};
  ASSERT_EQ(unzip::Extract(input, sink, listener, options), 4) << ::testing::PrintToString(listener.Messages());
  for (const FileEntry& f : Files()) {
    ASSERT_EQ(sink.files.count(f.name), 1u) << f.name;
    EXPECT_EQ(sink.files[f.name].data, std::string(f.data.begin(), f.data.end())) << f.name;
    EXPECT_EQ(sink.files[f.name].modified.Stamp(), (uint32_t(f.modified.date) << 16) | f.modified.time);
  }
  // UTF-8 flag only for the name with an umlaut; the stamp 2001-09-09 01:46:40.
  const unzip::CentralDirectory directory = unzip::ReadCentralDirectory(input);
  ASSERT_EQ(directory.members.size(), 4u);
  EXPECT_EQ(directory.members[0].flags, 0);
  EXPECT_EQ(directory.members[1].flags, kFlagUtf8Name);
  EXPECT_EQ(directory.members[0].modified.date, ((2001 - 1980) << 9) | (9 << 5) | 9);
  EXPECT_EQ(directory.members[0].modified.time, (1 << 11) | (46 << 5) | 20);
  // The same input gives the same bytes.
  EXPECT_EQ(WriteArchive(Files(), 0).parts, written.parts);
}

TEST(ZipWriter, MultiPartSetJoinsToTheSingleArchive) {
  const uint64_t partSize = 64 * 1024;
  const WrittenArchive set = WriteArchive(Files(), partSize);
  ASSERT_GE(set.parts.size(), 3u);
  for (const Bytes& part : set.parts) EXPECT_LE(part.size(), partSize);
  EXPECT_EQ(zipfmt::Get32(set.parts[0].data()), zipfmt::kSpanMarkerSig);

  spantest::MemoryPartSource source(set.parts);
  spantest::MemorySink joined;
  spantest::NoEvents events;
  span::JoinParts(source, joined, events);
  // Joined, the set is the single archive byte for byte but for the offsets and disks that
  // the join rewrote to the same values.
  EXPECT_EQ(joined.bytes, WriteArchive(Files(), 0).parts[0]);

  EXPECT_THROW(WriteArchive(Files(), 1000), WriteError);
  // An archive that fits into one part is an ordinary archive.
  EXPECT_EQ(WriteArchive(Files(), 1u << 20).parts, WriteArchive(Files(), 0).parts);
}

TEST(ZipWriter, FolderEntryIsStoredWithTheFolderAttributeAndMadeByTheEngine) {
  const std::vector<FileEntry> files{File("ablage/leer/", {}), File("talv20.exe", TextBytes(100))};
  const WrittenArchive written = WriteArchive(files, 0);
  ziptest::MemoryInput input(written.parts[0]);
  const unzip::CentralDirectory directory = unzip::ReadCentralDirectory(input);
  ASSERT_EQ(directory.members.size(), 2u);
  EXPECT_TRUE(directory.members[0].IsFolder());
  EXPECT_EQ(directory.members[0].externalAttributes, 0x10u);
  EXPECT_EQ(directory.members[0].method, kMethodStored);
  EXPECT_EQ(directory.members[1].externalAttributes, 0x20u);

  ziptest::MemorySink sink;
  ziptest::RecordingListener listener;
  unzip::Options options;
  options.dirNames = true;
  options.fileSpecs = {"*.*"};
  unzip::Extract(input, sink, listener, options);
  EXPECT_EQ(sink.folders.count("ablage/leer"), 1u) << ::testing::PrintToString(sink.folders);
  EXPECT_EQ(sink.files.count("talv20.exe"), 1u);

  EXPECT_THROW(WriteArchive({File("leer/", TextBytes(1))}, 0), WriteError);
}
