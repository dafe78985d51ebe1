#include "span_join.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "memory_parts.h"
#include "span_set_builder.h"

using namespace span;
using namespace spantest;
using zipfmt::Get16;
using zipfmt::Get32;
using zipfmt::Put16;
using zipfmt::Put32;

namespace {

std::vector<Member> SampleMembers() {
  std::vector<Member> m(5);
  m[0].name = "readme.txt";
  m[0].data = PatternBytes(700, 1);
  m[0].extra = std::string("UT\x05\x00\x01\x10\x20\x30\x40", 9);
  m[1].name = "logos/operator.bmp";
  m[1].data = PatternBytes(9000, 2);  // larger than a part: crosses two part ends
  m[1].comment = "logo";
  m[2].name = "empty.txt";
  m[3].name = "ringtones/tone1.mid";
  m[3].data = PatternBytes(3000, 3);
  m[3].dataDescriptor = true;
  m[4].name = "Talvenor.exe";
  m[4].data = PatternBytes(1500, 4);
  return m;
}

SetOptions WithComment(const std::string& comment) {
  SetOptions options;
  options.archiveComment = comment;
  return options;
}

// Runs the join and returns the error id, or 0 on success.
int JoinError(PartSource& source, MemorySink& sink, JoinEvents& events) {
  try {
    JoinParts(source, sink, events);
    return 0;
  } catch (const zipfmt::ZipError& e) {
    return e.Id();
  }
}

int JoinError(const Parts& parts, const std::string& listedName = "setup003.zip") {
  MemoryPartSource source(parts, listedName);
  MemorySink sink;
  NoEvents events;
  return JoinError(source, sink, events);
}

size_t TotalSize(const Parts& parts) {
  size_t total = 0;
  for (const Bytes& p : parts) total += p.size();
  return total;
}

void ExpectMembersMatch(const Bytes& joined, const std::vector<Member>& members) {
  const ReadResult read = ReadSingleArchive(joined);
  ASSERT_TRUE(read.ok) << read.error;
  ASSERT_EQ(read.members.size(), members.size());
  for (const ReadMember& r : read.members) {
    auto original = std::find_if(members.begin(), members.end(), [&](const Member& m) { return m.name == r.name; });
    ASSERT_NE(original, members.end()) << r.name;
    EXPECT_EQ(r.data, original->data) << r.name;
    EXPECT_EQ(r.diskStart, 0) << r.name;
  }
  EXPECT_EQ(read.end.thisDisk, 0);
  EXPECT_EQ(read.end.directoryDisk, 0);
  EXPECT_EQ(read.end.entriesOnDisk, members.size());
}

}  // namespace

TEST(JoinParts, ThreePartSetBecomesTheSingleArchive) {
  const auto members = SampleMembers();
  const SetOptions options = WithComment("Talvenor 1.0");
  const Bytes single = BuildSingleArchive(members, options);
  // The second part ends 60 bytes into the directory, so the directory crosses into the
  // last part; the second member's data crosses the first part end.
  const size_t directory = Get32(&single[single.size() - 12 - 22 + 16]) + 4;
  const BuiltSet set = BuildSpanSet(members, {4000, directory + 60 - 4000}, options);
  ASSERT_EQ(set.parts.size(), 3u);
  ASSERT_EQ(set.centralHeaders[0].disk, 1);
  ASSERT_EQ(set.localHeaders[1].disk, 0);
  ASSERT_EQ(set.localHeaders[2].disk, 1);

  MemoryPartSource source(set.parts, "setup003.zip");
  MemorySink sink;
  RecordingEvents events;
  const JoinSummary summary = JoinParts(source, sink, events);

  EXPECT_EQ(sink.bytes, single);
  ExpectMembersMatch(sink.bytes, members);
  EXPECT_EQ(summary.lastDisk, 2);
  EXPECT_EQ(summary.entries, 5);
  EXPECT_EQ(summary.bytesWritten, sink.bytes.size());
  EXPECT_EQ(summary.endRecordOffset, single.size() - 12 - 22);
  // The directory's disk and the one after it, then every part in order.
  EXPECT_EQ(source.disksOpened, (std::vector<int>{1, 2, 0, 1, 2}));
  EXPECT_EQ(source.lastDiskSeen, 2);
}

TEST(JoinParts, EveryCutOfATwoPartSetJoins) {
  // A cut at every byte puts each header, name, data descriptor and the directory across a
  // part end once, and a structure at the very start of the second part.
  std::vector<Member> members(3);
  members[0].name = "a/first.txt";
  members[0].data = PatternBytes(40, 7);
  members[1].name = "second.bin";
  members[1].data = PatternBytes(25, 8);
  members[1].dataDescriptor = true;
  members[1].extra = "xy";
  members[2].name = "third";
  members[2].comment = "c";
  const Bytes single = BuildSingleArchive(members, WithComment("zz"));
  const size_t endRecordAt = single.size() - 22 - 2 + 4;
  for (size_t cut = 0; cut < 4; ++cut)  // the marker itself cut: disk 0 does not begin with it
    EXPECT_EQ(JoinError(BuildSpanSet(members, {cut}).parts), zipmsg::kNoSpanMarker);
  for (size_t maxRead : {size_t(8192), size_t(3)}) {
    for (size_t cut = 4; cut <= endRecordAt; ++cut) {
      const BuiltSet set = BuildSpanSet(members, {cut}, WithComment("zz"));
      MemoryPartSource source(set.parts, "setup002.zip");
      source.maxRead = maxRead;
      MemorySink sink;
      NoEvents events;
      ASSERT_EQ(JoinError(source, sink, events), 0) << "cut " << cut << " reads of " << maxRead;
      ASSERT_EQ(sink.bytes, single) << "cut " << cut << " reads of " << maxRead;
    }
  }
}

TEST(JoinParts, LocalHeadersOrderedOtherThanTheDirectory) {
  // Names differing only in case: each local header must keep its own entry.
  std::vector<Member> members(3);
  members[0].name = "A.TXT";
  members[0].data = PatternBytes(100, 1);
  members[1].name = "a.txt";
  members[1].data = PatternBytes(200, 2);
  members[2].name = "b.txt";
  members[2].data = PatternBytes(300, 3);
  SetOptions options;
  options.directoryOrder = {2, 1, 0};
  const BuiltSet set = BuildEvenSpanSet(members, 3, options);
  MemoryPartSource source(set.parts, "setup003.zip");
  MemorySink sink;
  NoEvents events;
  JoinParts(source, sink, events);
  EXPECT_EQ(sink.bytes, BuildSingleArchive(members, options));
  ExpectMembersMatch(sink.bytes, members);
}

TEST(JoinParts, LocalNameMatchesTheDirectoryWithoutRegardToCase) {
  std::vector<Member> members(2);
  members[0].name = "first.txt";
  members[0].data = PatternBytes(50, 1);
  members[1].name = "Daten/\xC4nderung.txt";
  members[1].data = PatternBytes(60, 2);
  BuiltSet set = BuildSpanSet(members, {70});
  // The local header of the second member spells its name in capitals.
  const Place local = set.localHeaders[1];
  ASSERT_EQ(local.disk, 1);
  const std::string upper = "DATEN/\xE4NDERUNG.TXT";
  std::copy(upper.begin(), upper.end(), set.parts[1].begin() + local.offset + 30);

  MemoryPartSource source(set.parts, "setup002.zip");
  MemorySink sink;
  RecordingEvents events;
  JoinParts(source, sink, events);
  // The directory keeps its own spelling and points at the renamed local header.
  const Bytes single = BuildSingleArchive(members);
  const size_t directory = Get32(&single[single.size() - 22 + 16]);
  const size_t second = directory + 46 + members[0].name.size();
  const long nameLength = long(upper.size());
  ASSERT_EQ(std::string(sink.bytes.begin() + long(second) + 46, sink.bytes.begin() + long(second) + 46 + nameLength),
            members[1].name);
  const long offset = long(Get32(&sink.bytes[second + 42]));
  EXPECT_EQ(std::string(sink.bytes.begin() + offset + 30, sink.bytes.begin() + offset + 30 + nameLength), upper);
  EXPECT_EQ(events.messages[1], "0:Kopiere von:DATEN\\\xE4NDERUNG.TXT");
}

TEST(JoinParts, EmptySetGivesAnEmptyArchive) {
  const BuiltSet set = BuildSpanSet({}, {4}, WithComment("leer"));
  ASSERT_EQ(set.parts[0].size(), 4u);
  MemoryPartSource source(set.parts, "setup002.zip");
  MemorySink sink;
  RecordingEvents events;
  JoinParts(source, sink, events);
  EXPECT_EQ(sink.bytes, BuildSingleArchive({}, WithComment("leer")));
  ASSERT_EQ(events.progress.size(), 3u);
  EXPECT_EQ(events.progress[0].type, ptTotalFiles);
  EXPECT_EQ(events.progress[0].size, 0);
  EXPECT_EQ(events.progress[2].type, ptBatchEnd);
}

TEST(JoinParts, ProgressAndMessagesFollowTheCopy) {
  const auto members = SampleMembers();
  const BuiltSet set = BuildEvenSpanSet(members, 4);
  MemoryPartSource source(set.parts, "setup004.zip");
  MemorySink sink;
  RecordingEvents events;
  JoinParts(source, sink, events);

  int64_t totalSize = 0;
  for (const Member& m : members)
    totalSize += int64_t(m.name.size() + m.data.size() + m.extra.size() + m.comment.size());
  ASSERT_GE(events.progress.size(), 3u);
  EXPECT_EQ(events.progress[0].type, ptTotalFiles);
  EXPECT_EQ(events.progress[0].size, 5);
  EXPECT_EQ(events.progress[1].type, ptTotalSize);
  EXPECT_EQ(events.progress[1].size, totalSize);
  EXPECT_EQ(events.progress.back().type, ptBatchEnd);
  EXPECT_EQ(std::count_if(events.progress.begin(), events.progress.end(),
                          [](const ProgressCall& c) { return c.type == ptBatchEnd; }),
            1);

  // Per entry: ptFileStart with the bytes its copy writes, then writes that add up to them,
  // none larger than a chunk.
  std::vector<std::string> starts;
  size_t i = 2;
  int64_t writtenBytes = 0;
  for (const Member& m : members) {
    ASSERT_LT(i, events.progress.size());
    const ProgressCall& start = events.progress[i++];
    ASSERT_EQ(start.type, ptFileStart);
    std::string shown = m.name;
    std::replace(shown.begin(), shown.end(), '/', '\\');
    EXPECT_EQ(start.name, shown);
    const int64_t expected = int64_t(30 + m.name.size() + m.extra.size() + m.data.size() + (m.dataDescriptor ? 16 : 0));
    EXPECT_EQ(start.size, expected) << m.name;
    int64_t written = 0;
    while (i < events.progress.size() && events.progress[i].type == ptFileProgress) {
      EXPECT_LE(events.progress[i].size, int64_t(kCopyChunk));
      written += events.progress[i++].size;
    }
    EXPECT_EQ(written, expected) << m.name;
    writtenBytes += written;
    starts.push_back("0:Kopiere von:" + shown);
  }
  EXPECT_EQ(events.messages, starts);
  // The directory and end record are written without progress.
  EXPECT_EQ(i, events.progress.size() - 1);
  EXPECT_LT(writtenBytes, int64_t(sink.bytes.size()));
}

TEST(JoinParts, RemovableDriveRetriesUntilTheLastDiskIsIn) {
  const auto members = SampleMembers();
  const BuiltSet set = BuildEvenSpanSet(members, 3);
  MemoryPartSource source(set.parts, "setup.zip");
  source.wrongDisksFirst = {set.parts[0], Bytes(10, 0)};
  MemorySink sink;
  NoEvents events;
  JoinParts(source, sink, events);
  EXPECT_EQ(source.lastPartOpens, 3);
  ExpectMembersMatch(sink.bytes, members);
}

TEST(JoinParts, ListedPartWithoutEndRecord) {
  const BuiltSet set = BuildEvenSpanSet(SampleMembers(), 3);
  EXPECT_EQ(JoinError({set.parts[0]}, "D:\\setup001.zip"), zipmsg::kFirstDiskOfSet);

  MemoryPartSource source({set.parts[0], set.parts[1]}, "D:\\setup002.zip");
  MemorySink sink;
  NoEvents events;
  try {
    JoinParts(source, sink, events);
    FAIL() << "the middle part has no end record";
  } catch (const zipfmt::ZipError& e) {
    EXPECT_EQ(e.Id(), zipmsg::kDiskHasNoEndRecord);
    EXPECT_EQ(e.Number(), 2);
  }
  EXPECT_TRUE(sink.bytes.empty());
  EXPECT_EQ(JoinError({Bytes(5, 'P')}, "D:\\Setup.zip"), zipmsg::kNotAnArchive);
}

TEST(JoinParts, MissingPartEndsTheJoinWithItsError) {
  const auto members = SampleMembers();
  const BuiltSet set = BuildEvenSpanSet(members, 4);
  MemoryPartSource source(set.parts, "setup004.zip");
  source.missing = {1};
  MemorySink sink;
  RecordingEvents events;
  EXPECT_EQ(JoinError(source, sink, events), zipmsg::kFileNotFound);
  EXPECT_EQ(source.disksOpened.back(), 1);
  ASSERT_FALSE(events.progress.empty());
  EXPECT_EQ(events.progress.back().type, ptBatchEnd);
  EXPECT_LT(sink.bytes.size(), TotalSize(set.parts));
}

TEST(JoinParts, DiskZeroMustBeginWithTheSpanningMarker) {
  SetOptions options;
  options.marker = zipfmt::kLocalHeaderSig;
  EXPECT_EQ(JoinError(BuildSpanSet(SampleMembers(), {5000}, options).parts), zipmsg::kNoSpanMarker);
  // A first part shorter than the marker.
  BuiltSet set = BuildSpanSet({}, {4});
  set.parts[0].resize(2);
  EXPECT_EQ(JoinError(set.parts), zipmsg::kNoSpanMarker);
}

TEST(JoinParts, LocalHeaderNamesMustBeInTheDirectory) {
  const auto members = SampleMembers();
  BuiltSet set = BuildSpanSet(members, {6000});
  const Place third = set.localHeaders[2];
  set.parts[size_t(third.disk)][third.offset + 30] = 'X';  // "Xmpty.txt"
  EXPECT_EQ(JoinError(set.parts), zipmsg::kNameNotInDirectory);

  // A local header repeated in place of another: the directory entry left without a
  // header must not be written pointing elsewhere.
  std::vector<Member> twins(2);
  twins[0].name = "one.txt";
  twins[1].name = "two.txt";
  twins[0].data = twins[1].data = PatternBytes(10, 9);
  set = BuildSpanSet(twins, {30});
  const Place second = set.localHeaders[1];
  const std::string one = "one";
  std::copy(one.begin(), one.end(), set.parts[size_t(second.disk)].begin() + second.offset + 30);
  EXPECT_EQ(JoinError(set.parts), zipmsg::kNameNotInDirectory);
}

TEST(JoinParts, TruncatedPartsEndWithAnErrorAndWriteNoMore) {
  const auto members = SampleMembers();
  const BuiltSet set = BuildEvenSpanSet(members, 3);
  const size_t inputSize = TotalSize(set.parts);
  // Every length of the middle part, and of the first; the last keeps its end record.
  for (size_t part : {size_t(0), size_t(1)}) {
    for (size_t length = 0; length < set.parts[part].size(); length += 7) {
      Parts parts = set.parts;
      parts[part].resize(length);
      MemoryPartSource source(parts, "setup003.zip");
      MemorySink sink;
      NoEvents events;
      const int error = JoinError(source, sink, events);
      EXPECT_NE(error, 0) << "part " << part << " cut to " << length;
      EXPECT_LE(sink.bytes.size(), inputSize);
    }
  }
  // The last part cut inside its directory: the end record is gone.
  Parts parts = set.parts;
  parts[2].resize(parts[2].size() - 30);
  EXPECT_EQ(JoinError(parts, "setup003.zip"), zipmsg::kDiskHasNoEndRecord);
}

namespace {

// The end record of a built set's last part, to be changed by a test.
uint8_t* EndRecordOf(BuiltSet& set) { return &set.parts.back()[set.endRecord.offset]; }

}  // namespace

TEST(JoinParts, HostileEndRecords) {
  const auto members = SampleMembers();
  const BuiltSet good = BuildSpanSet(members, {5000, 5000});

  BuiltSet set = good;
  Put16(EndRecordOf(set) + 10, 0xFFFF);  // far more entries than the directory holds
  EXPECT_EQ(JoinError(set.parts), zipmsg::kCentralHeaderRead);

  set = good;
  Put32(EndRecordOf(set) + 16, 0xFFFFFFF0);  // directory offset beyond its part
  EXPECT_EQ(JoinError(set.parts), zipmsg::kDirectorySeek);

  set = good;
  Put16(EndRecordOf(set) + 6, 7);  // directory on a disk after the last one
  EXPECT_EQ(JoinError(set.parts), zipmsg::kDirectorySeek);

  set = good;
  Put16(EndRecordOf(set) + 4, 0);  // claims to be disk 0: reading must stop at its end
  Put16(EndRecordOf(set) + 6, 0);
  MemoryPartSource source(set.parts, "setup003.zip");
  MemorySink sink;
  NoEvents events;
  EXPECT_EQ(JoinError(source, sink, events), zipmsg::kMemberData);
  EXPECT_EQ(source.disksOpened, std::vector<int>{0});

  set = good;
  Put16(EndRecordOf(set) + 10, 4);                             // one entry fewer: a local header stands where the
  EXPECT_EQ(JoinError(set.parts), zipmsg::kCentralSignature);  // directory should follow

  set = good;
  Put32(EndRecordOf(set) + 16, good.parts.back().size() - 22 - 46);  // points at no header
  EXPECT_EQ(JoinError(set.parts), zipmsg::kCentralSignature);
}

TEST(JoinParts, HostileHeaders) {
  std::vector<Member> members(2);
  members[0].name = "a.bin";
  members[0].data = PatternBytes(500, 1);
  members[1].name = "b.bin";
  members[1].data = PatternBytes(500, 2);
  const BuiltSet good = BuildSpanSet(members, {400, 400});
  auto at = [](BuiltSet& set, Place p) { return &set.parts[size_t(p.disk)][p.offset]; };

  BuiltSet set = good;
  Put16(at(set, set.centralHeaders[0]) + 28, 300);  // a name longer than the table holds
  EXPECT_EQ(JoinError(set.parts), zipmsg::kCentralName);

  set = good;
  Put32(at(set, set.localHeaders[1]) + 18, 0xFFFFFFFF);  // data far past the last part
  MemoryPartSource source(set.parts, "setup003.zip");
  MemorySink sink;
  NoEvents events;
  EXPECT_EQ(JoinError(source, sink, events), zipmsg::kMemberData);
  EXPECT_LE(sink.bytes.size(), TotalSize(set.parts));

  set = good;
  Put32(at(set, set.localHeaders[1]), 0x12345678);
  EXPECT_EQ(JoinError(set.parts), zipmsg::kLocalSignature);

  set = good;
  Put16(at(set, set.localHeaders[1]) + 28, 0xFFFF);  // extra field running past the last part
  EXPECT_EQ(JoinError(set.parts), zipmsg::kLocalExtra);

  set = good;
  Put16(at(set, set.localHeaders[1]) + 26, 0xFFFF);  // name running past the last part
  EXPECT_EQ(JoinError(set.parts), zipmsg::kLocalName);

  set = good;
  Put16(at(set, set.centralHeaders[1]) + 32, 0xFFFF);  // comment running past the last part
  EXPECT_EQ(JoinError(set.parts), zipmsg::kDirectorySeek);
}

TEST(JoinParts, DirectoryAfterTheDataMustBeTheOneListed) {
  std::vector<Member> members(2);
  members[0].name = "a.bin";
  members[1].name = "b.bin";
  members[0].data = members[1].data = PatternBytes(100, 5);
  BuiltSet set = BuildSpanSet(members, {150});
  Bytes& last = set.parts.back();
  const size_t directory = set.centralHeaders[0].offset;
  ASSERT_EQ(set.centralHeaders[0].disk, 1);
  const size_t directorySize = set.endRecord.offset - directory;
  // Another directory in front of the listed one, naming "c.bin" in place of "b.bin".
  Bytes other(last.begin() + long(directory), last.begin() + long(set.endRecord.offset));
  other[46 + 5 + 46] = 'c';
  last.insert(last.begin() + long(directory), other.begin(), other.end());
  Put32(&last[set.endRecord.offset + directorySize + 16], uint32_t(directory + directorySize));
  EXPECT_EQ(JoinError(set.parts, "setup002.zip"), zipmsg::kCentralSignature);
}

TEST(JoinParts, WriteFailuresNameTheStepThatFailed) {
  const auto members = SampleMembers();
  const BuiltSet set = BuildEvenSpanSet(members, 3, WithComment("comment"));
  const Bytes single = BuildSingleArchive(members, WithComment("comment"));
  const size_t directory = Get32(&single[single.size() - 7 - 22 + 16]);
  const size_t endRecord = single.size() - 7 - 22;
  const size_t firstData = 30 + members[0].name.size() + members[0].extra.size();
  const std::vector<std::pair<size_t, int>> limits{
      {10, zipmsg::kLocalHeaderWrite},
      {32, zipmsg::kLocalHeaderWrite},  // inside the first name
      {firstData - 2, zipmsg::kLocalExtra},
      {firstData + 100, zipmsg::kMemberData},
      {directory + 10, zipmsg::kCentralHeaderWrite},
      {directory + 46 + 10 + 3, zipmsg::kCentralExtra},
      {endRecord + 5, zipmsg::kEndRecordWrite},
      {single.size() - 1, zipmsg::kArchiveComment},
  };
  for (const auto& [limit, expected] : limits) {
    MemoryPartSource source(set.parts, "setup003.zip");
    MemorySink sink;
    sink.limit = limit;
    NoEvents events;
    EXPECT_EQ(JoinError(source, sink, events), expected) << "limit " << limit;
  }
}

TEST(JoinParts, ErrorsFromTheSourcePassUnchanged) {
  class CancellingSource : public MemoryPartSource {
   public:
    using MemoryPartSource::MemoryPartSource;
    void ChangeDisk(int disk, int lastDisk) override {
      if (disk == 1) throw zipfmt::ZipError(zipmsg::kUserCancel);
      MemoryPartSource::ChangeDisk(disk, lastDisk);
    }
  };
  const BuiltSet set = BuildEvenSpanSet(SampleMembers(), 3);
  CancellingSource source(set.parts, "setup003.zip");
  MemorySink sink;
  RecordingEvents events;
  EXPECT_EQ(JoinError(source, sink, events), zipmsg::kUserCancel);
  EXPECT_EQ(events.progress.back().type, ptBatchEnd);
}
