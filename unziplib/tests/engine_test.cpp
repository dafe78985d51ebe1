// Extraction through the engine into real folders: flags, callbacks, passwords, failures.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>

#include "engine_options.h"
#include "posix_files.h"
#include "temp_folder.h"
#include "test_zip.h"
#include "thread_background.h"
#include "unzip_engine.h"

using namespace ziptest;

namespace {

Entry Folder(const std::string& name) {
  Entry e;
  e.name = name;
  e.method = kStored;
  e.externalAttributes = 0x10;
  return e;
}

constexpr unzip::DosTime kYear2000{0x2821, 0x0000};  // 2000-01-01 00:00
constexpr unzip::DosTime kYear2022{0x5821, 0x0000};  // 2022-01-01 00:00

// Every extraction test runs twice: writing on the calling thread, and on a writer thread as
// the library does.
class Extraction : public ::testing::TestWithParam<bool> {
 protected:
  int Run(const std::vector<uint8_t>& archive, const unzip::Options& options) {
    MemoryInput input(archive);
    unzip::PosixSink sink(out);
    const unzip::TableCodePages codePages;
    unzip::InlineBackground oneThread;
    if (!GetParam()) return unzip::Extract(input, sink, listener, options, codePages, oneThread);
    unzip::ThreadBackground writerThread;
    return unzip::Extract(input, sink, listener, options, codePages, writerThread);
  }
  std::string Out(const std::string& relative) const { return out + "/" + relative; }
  std::vector<std::string> Tree() const { return ListTree(out); }

  void SetUp() override { ASSERT_EQ(mkdir(out.c_str(), 0755), 0); }

  TempFolder root;
  std::string out = root / "out";
  RecordingListener listener;
};

TEST_P(Extraction, StoredDeflatedFoldersAndDates) {
  ZipWriter w;
  w.Add(Folder("docs/"));
  w.Add(Folder("empty/"));
  w.Add(File("docs/readme.txt", TextData(5000, 1)));
  w.Add(File("bin\\tool.exe", NoiseData(3000, 2), kStored));
  w.Add(File("zero.txt", ""));
  const std::vector<uint8_t> archive = w.Finish("comment");

  EXPECT_EQ(Run(archive, AllMembers()), 3);
  EXPECT_EQ(Tree(),
            (std::vector<std::string>{"bin/", "bin/tool.exe", "docs/", "docs/readme.txt", "empty/", "zero.txt"}));
  EXPECT_EQ(ReadFile(Out("docs/readme.txt")), TextData(5000, 1));
  EXPECT_EQ(ReadFile(Out("bin/tool.exe")), NoiseData(3000, 2));
  EXPECT_EQ(ReadFile(Out("zero.txt")), "");

  struct stat st {};
  ASSERT_EQ(stat(Out("docs/readme.txt").c_str(), &st), 0);
  struct tm local {};
  localtime_r(&st.st_mtime, &local);
  EXPECT_EQ(local.tm_year, 120);  // 2020-01-01 12:00:00, as stored
  EXPECT_EQ(local.tm_mon, 0);
  EXPECT_EQ(local.tm_mday, 1);
  EXPECT_EQ(local.tm_hour, 12);
  EXPECT_EQ(local.tm_min, 0);
  EXPECT_TRUE(listener.Messages().empty());
}

TEST_P(Extraction, CallbacksTotalsFirstThenOnePerFileAndBatchEndLast) {
  const size_t big = 3 * unzip::kOutputBlockSize + 1000;
  ZipWriter w;
  w.Add(Folder("sub/"));
  w.Add(File("sub/a.txt", TextData(300, 3)));
  w.Add(File("big.bin", TextData(big, 4)));
  w.Add(File("c.txt", TextData(700, 5), kStored));
  ASSERT_EQ(Run(w.Finish(), AllMembers()), 3);

  const std::vector<unzip::Event>& e = listener.events;
  ASSERT_GE(e.size(), 6u);
  EXPECT_EQ(e[0].action, unzipabi::kTotalSize);
  EXPECT_EQ(e[0].size, 300 + big + 700);
  EXPECT_EQ(e[1].action, unzipabi::kTotalFiles);
  EXPECT_EQ(e[1].size, 3u);
  EXPECT_EQ(e.back().action, unzipabi::kBatchEnd);

  const std::vector<unzip::Event> files = listener.OfAction(unzipabi::kNewFile);
  ASSERT_EQ(files.size(), 3u);
  EXPECT_EQ(files[0].text, "sub/a.txt");
  EXPECT_EQ(files[0].size, 300u);
  EXPECT_EQ(files[1].text, "big.bin");
  EXPECT_EQ(files[1].size, big);
  EXPECT_EQ(files[2].text, "c.txt");

  // Progress only inside the large member, at most one block apart, adding up to its size.
  uint64_t progressed = 0;
  bool inBig = false;
  for (const unzip::Event& ev : e) {
    if (ev.action == unzipabi::kNewFile) inBig = ev.text == "big.bin";
    if (ev.action != unzipabi::kFileProgress) continue;
    EXPECT_TRUE(inBig);
    EXPECT_LE(ev.size, unzip::kOutputBlockSize);
    progressed += ev.size;
  }
  EXPECT_EQ(progressed, big);
}

TEST_P(Extraction, DataDescriptors) {
  ZipWriter w;
  Entry deflated = File("d.txt", TextData(70000, 6));
  deflated.dataDescriptor = true;
  Entry stored = File("s.bin", NoiseData(5000, 7), kStored);
  stored.dataDescriptor = true;
  w.Add(deflated);
  w.Add(stored);
  EXPECT_EQ(Run(w.Finish(), AllMembers()), 2);
  EXPECT_EQ(ReadFile(Out("d.txt")), TextData(70000, 6));
  EXPECT_EQ(ReadFile(Out("s.bin")), NoiseData(5000, 7));
}

TEST_P(Extraction, WithoutDirectoryNamesFilesLandInTheBaseFolder) {
  ZipWriter w;
  w.Add(Folder("deep/"));
  w.Add(File("deep/er/one.txt", "1"));
  w.Add(File("two.txt", "2"));
  unzip::Options o = AllMembers();
  o.dirNames = false;
  EXPECT_EQ(Run(w.Finish(), o), 2);
  EXPECT_EQ(Tree(), (std::vector<std::string>{"one.txt", "two.txt"}));
  EXPECT_EQ(listener.OfAction(unzipabi::kNewFile).at(0).text, "one.txt");
}

TEST_P(Extraction, OverwriteFlag) {
  ZipWriter w;
  w.Add(File("a.txt", "new a"));
  w.Add(File("b.txt", "new b"));
  const std::vector<uint8_t> archive = w.Finish();
  WriteFile(Out("a.txt"), "old a");

  unzip::Options keep = AllMembers();
  keep.overwrite = false;
  EXPECT_EQ(Run(archive, keep), 1);
  EXPECT_EQ(ReadFile(Out("a.txt")), "old a");
  EXPECT_EQ(ReadFile(Out("b.txt")), "new b");
  EXPECT_TRUE(listener.HasMessage(unzip::kNoError, "a.txt"));
  EXPECT_EQ(listener.OfAction(unzipabi::kTotalFiles).at(0).size, 1u);
  EXPECT_EQ(listener.OfAction(unzipabi::kNewFile).size(), 1u);

  EXPECT_EQ(Run(archive, AllMembers()), 2);
  EXPECT_EQ(ReadFile(Out("a.txt")), "new a");
}

TEST_P(Extraction, DuplicateNameIsNotOverwrittenWithoutTheFlag) {
  ZipWriter w;
  w.Add(File("same.txt", "first"));
  w.Add(File("same.txt", "second"));
  unzip::Options keep = AllMembers();
  keep.overwrite = false;
  EXPECT_EQ(Run(w.Finish(), keep), 1);
  EXPECT_EQ(ReadFile(Out("same.txt")), "first");
}

TEST_P(Extraction, UpdateTakesNewerAndMissingFiles) {
  ZipWriter w;
  Entry older = File("older.txt", "archive");  // the file on disk is older
  older.modified = kYear2022;
  Entry newer = File("newer.txt", "archive");  // the file on disk is newer
  newer.modified = kYear2000;
  w.Add(older);
  w.Add(newer);
  w.Add(File("missing.txt", "archive"));
  const std::vector<uint8_t> archive = w.Finish();
  WriteFile(Out("older.txt"), "disk");
  SetLocalTime(Out("older.txt"), 2010, 5, 5, 10, 0);
  WriteFile(Out("newer.txt"), "disk");
  SetLocalTime(Out("newer.txt"), 2010, 5, 5, 10, 0);

  unzip::Options o = AllMembers();
  o.overwrite = false;  // update replaces older files all the same
  o.update = true;
  EXPECT_EQ(Run(archive, o), 2);
  EXPECT_EQ(ReadFile(Out("older.txt")), "archive");
  EXPECT_EQ(ReadFile(Out("newer.txt")), "disk");
  EXPECT_EQ(ReadFile(Out("missing.txt")), "archive");

  // Everything now carries the archive's dates: a second update has nothing to do.
  EXPECT_EQ(Run(archive, o), 0);
}

TEST_P(Extraction, FreshenOnlyReplacesOlderExistingFiles) {
  ZipWriter w;
  Entry older = File("older.txt", "archive");
  older.modified = kYear2022;
  Entry newer = File("newer.txt", "archive");
  newer.modified = kYear2000;
  w.Add(older);
  w.Add(newer);
  w.Add(File("missing.txt", "archive"));
  WriteFile(Out("older.txt"), "disk");
  SetLocalTime(Out("older.txt"), 2010, 5, 5, 10, 0);
  WriteFile(Out("newer.txt"), "disk");
  SetLocalTime(Out("newer.txt"), 2010, 5, 5, 10, 0);

  unzip::Options o = AllMembers();
  o.freshen = true;
  EXPECT_EQ(Run(w.Finish(), o), 1);
  EXPECT_EQ(ReadFile(Out("older.txt")), "archive");
  EXPECT_EQ(ReadFile(Out("newer.txt")), "disk");
  EXPECT_FALSE(Exists(Out("missing.txt")));
}

TEST_P(Extraction, TestModeWritesNothingAndFindsCrcErrors) {
  ZipWriter w;
  w.Add(Folder("sub/"));
  w.Add(File("sub/good.txt", TextData(4000, 8)));
  w.Add(File("bad.txt", TextData(4000, 9)));
  std::vector<uint8_t> archive = w.Finish();
  archive[w.At(2).dataOffset + 10] ^= 0x55;  // stored-or-not, the CRC no longer fits

  unzip::Options o = AllMembers();
  o.test = true;
  EXPECT_EQ(Run(archive, o), 1);
  EXPECT_TRUE(Tree().empty());
  EXPECT_EQ(listener.OfAction(unzipabi::kNewFile).size(), 2u);
  EXPECT_EQ(listener.OfAction(unzipabi::kNewFile).at(0).text, "sub/good.txt");
  const auto messages = listener.OfAction(unzipabi::kMessage);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].errorCode, unzip::kNoError);
  EXPECT_NE(messages[0].text.find("bad.txt"), std::string::npos);
}

TEST_P(Extraction, FileSpecificationsSelectMembers) {
  ZipWriter w;
  w.Add(File("bin/Setup.EXE", "x"));
  w.Add(File("bin/readme.txt", "y"));
  w.Add(File("LICENCE", "z"));
  const std::vector<uint8_t> archive = w.Finish();

  unzip::Options o = AllMembers();
  o.fileSpecs = {"BIN\\*.exe", "licence"};
  EXPECT_EQ(Run(archive, o), 2);
  EXPECT_EQ(Tree(), (std::vector<std::string>{"LICENCE", "bin/", "bin/Setup.EXE"}));

  o.fileSpecs.clear();
  listener.events.clear();
  EXPECT_EQ(Run(archive, o), 0);
  EXPECT_EQ(listener.OfAction(unzipabi::kTotalFiles).at(0).size, 0u);
  EXPECT_EQ(listener.events.back().action, unzipabi::kBatchEnd);
}

TEST_P(Extraction, EncryptedMembers) {
  ZipWriter w;
  Entry deflated = File("secret.txt", TextData(20000, 10));
  deflated.password = "Talvenor";
  Entry stored = File("stored.bin", NoiseData(3000, 11), kStored);
  stored.password = "Talvenor";
  stored.dataDescriptor = true;
  w.Add(deflated);
  w.Add(stored);
  w.Add(File("plain.txt", "plain"));
  const std::vector<uint8_t> archive = w.Finish();

  unzip::Options o = AllMembers();
  EXPECT_EQ(Run(archive, o), 1);  // no password: only the plain member
  EXPECT_EQ(Tree(), (std::vector<std::string>{"plain.txt"}));
  EXPECT_TRUE(listener.HasMessage(unzip::kErrPassword, "secret.txt"));
  EXPECT_TRUE(listener.HasMessage(unzip::kErrPassword, "stored.bin"));

  o.password = "wrong";
  listener.events.clear();
  const int withWrong = Run(archive, o);
  EXPECT_EQ(Tree(), (std::vector<std::string>{"plain.txt"}));
  EXPECT_EQ(withWrong, 1);
  EXPECT_EQ(listener.OfAction(unzipabi::kMessage).size(), 2u);

  o.password = "Talvenor";
  EXPECT_EQ(Run(archive, o), 3);
  EXPECT_EQ(ReadFile(Out("secret.txt")), TextData(20000, 10));
  EXPECT_EQ(ReadFile(Out("stored.bin")), NoiseData(3000, 11));
}

TEST_P(Extraction, CrcErrorKeepsTheOldFileAndLeavesNoTemporary) {
  ZipWriter w;
  w.Add(File("data.txt", TextData(100000, 12)));
  w.Add(File("stored.txt", TextData(1000, 13), kStored));
  std::vector<uint8_t> archive = w.Finish();
  Put32(archive, w.At(0).centralOffset + 16, 0xDEADBEEF);  // CRC in both headers
  Put32(archive, w.At(0).localOffset + 14, 0xDEADBEEF);
  archive[w.At(1).dataOffset] ^= 1;
  WriteFile(Out("data.txt"), "old data");

  EXPECT_EQ(Run(archive, AllMembers()), 0);
  EXPECT_EQ(Tree(), (std::vector<std::string>{"data.txt"}));
  EXPECT_EQ(ReadFile(Out("data.txt")), "old data");
  EXPECT_TRUE(listener.HasMessage(unzip::kErrCrc, "data.txt"));
  EXPECT_TRUE(listener.HasMessage(unzip::kErrCrc, "stored.txt"));
}

TEST_P(Extraction, CancelInTheMiddleOfAMemberLeavesNoPartialFile) {
  ZipWriter w;
  w.Add(File("first.txt", "done before the cancel"));
  w.Add(File("big.txt", TextData(5 * unzip::kOutputBlockSize, 14)));
  w.Add(File("never.txt", "never"));
  const std::vector<uint8_t> archive = w.Finish();
  WriteFile(Out("big.txt"), "old big");

  int progressSeen = 0;
  listener.answer = [&](const unzip::Event& e) { return e.action != unzipabi::kFileProgress || ++progressSeen < 2; };
  EXPECT_EQ(Run(archive, AllMembers()), 1);
  EXPECT_EQ(progressSeen, 2);  // stopped at once
  EXPECT_EQ(Tree(), (std::vector<std::string>{"big.txt", "first.txt"}));
  EXPECT_EQ(ReadFile(Out("big.txt")), "old big");
  EXPECT_TRUE(listener.HasMessage(unzip::kErrCancelled, ""));
  EXPECT_EQ(listener.events.back().action, unzipabi::kBatchEnd);
  EXPECT_EQ(listener.OfAction(unzipabi::kNewFile).size(), 2u);
}

TEST_P(Extraction, CancelAtANewFileStopsBeforeIt) {
  ZipWriter w;
  w.Add(File("a.txt", "a"));
  w.Add(File("b.txt", "b"));
  listener.answer = [](const unzip::Event& e) { return !(e.action == unzipabi::kNewFile && e.text == "b.txt"); };
  EXPECT_EQ(Run(w.Finish(), AllMembers()), 1);
  EXPECT_EQ(Tree(), (std::vector<std::string>{"a.txt"}));
}

TEST_P(Extraction, UnsupportedMethodIsSkippedWithAMessage) {
  ZipWriter w;
  w.Add(File("odd.bin", "raw bytes", 12));
  w.Add(File("ok.txt", "ok"));
  EXPECT_EQ(Run(w.Finish(), AllMembers()), 1);
  EXPECT_TRUE(listener.HasMessage(unzip::kErrUnsupported, "odd.bin"));
  EXPECT_EQ(Tree(), (std::vector<std::string>{"ok.txt"}));
}

TEST_P(Extraction, StubInFrontOfTheArchive) {
  ZipWriter w;
  w.AddRaw(std::string(1000, 'M'));  // stored offsets count from the stub's start
  w.Add(File("inside.txt", "inside"));
  std::vector<uint8_t> archive = w.Finish();
  EXPECT_EQ(Run(archive, AllMembers()), 1);

  // Offsets written as if the stub were not there.
  Put32(archive, w.At(0).centralOffset + 42, 0);
  const size_t end = archive.size() - 22;
  Put32(archive, end + 16, uint32_t(w.At(0).centralOffset - 1000));
  EXPECT_EQ(Run(archive, AllMembers()), 1);
  EXPECT_EQ(ReadFile(Out("inside.txt")), "inside");
}

TEST_P(Extraction, EmptyArchive) {
  EXPECT_EQ(Run(ZipWriter().Finish(), AllMembers()), 0);
  ASSERT_EQ(listener.events.size(), 3u);
  EXPECT_EQ(listener.events[0].action, unzipabi::kTotalSize);
  EXPECT_EQ(listener.events[1].action, unzipabi::kTotalFiles);
  EXPECT_EQ(listener.events[2].action, unzipabi::kBatchEnd);
}

TEST_P(Extraction, TenThousandMembers) {
  ZipWriter w;
  for (int i = 0; i < 10000; ++i)
    w.Add(File("d" + std::to_string(i % 10) + "/f" + std::to_string(i) + ".txt", "member " + std::to_string(i),
               i % 2 ? kStored : kDeflated));
  EXPECT_EQ(Run(w.Finish(), AllMembers()), 10000);
  EXPECT_EQ(listener.OfAction(unzipabi::kNewFile).size(), 10000u);
  EXPECT_EQ(listener.OfAction(unzipabi::kTotalFiles).at(0).size, 10000u);
  EXPECT_EQ(ReadFile(Out("d7/f9997.txt")), "member 9997");
  EXPECT_EQ(Tree().size(), 10010u);
}

TEST_P(Extraction, AFolderInTheWayIsReportedWithOrWithoutOverwrite) {
  ZipWriter w;
  w.Add(File("name", "file"));
  const std::vector<uint8_t> archive = w.Finish();
  ASSERT_EQ(mkdir(Out("name").c_str(), 0755), 0);
  for (bool overwrite : {true, false}) {
    unzip::Options o = AllMembers();
    o.overwrite = overwrite;
    listener.events.clear();
    EXPECT_EQ(Run(archive, o), 0);
    EXPECT_TRUE(listener.HasMessage(unzip::kErrWrite, "name")) << overwrite;
    EXPECT_EQ(Tree(), (std::vector<std::string>{"name/"})) << overwrite;
  }
}

TEST_P(Extraction, NamesAsTheArchiveMeansThemAndNamesWithoutAnAnsiForm) {
  ZipWriter w;
  Entry utf8 = File("Ruft\xC3\xB6ne/Melodie \xC3\x84.mid", "utf8");
  utf8.extraFlags = 0x800;
  utf8.versionMadeBy = 0x0314;  // Unix
  w.Add(utf8);
  w.Add(File("Ruft\x94ne/OEM \x8E.mid", "oem"));  // FAT host: code page 850
  Entry omega = File("\xCE\xA9.txt", "no 1252 form");
  omega.extraFlags = 0x800;
  w.Add(omega);
  w.Add(File("plain.txt", "plain"));
  // A Unicode Path field names the member; one made for another name or of another version
  // is ignored.
  Entry unicodePath = File("Ruftoene/Unicode Ae.mid", "unicode path");
  unicodePath.extra = UnicodePathExtra(unicodePath.name, "Ruft\xC3\xB6ne/Unicode \xC3\x84.mid");
  w.Add(unicodePath);
  Entry renamed = File("renamed.txt", "renamed");
  renamed.extra = UnicodePathExtra("before.txt", "before.txt");
  w.Add(renamed);
  Entry version2 = File("version2.txt", "version 2");
  version2.extra = UnicodePathExtra(version2.name, "other.txt", 2);
  w.Add(version2);

  EXPECT_EQ(Run(w.Finish(), AllMembers()), 6);
  EXPECT_EQ(Tree(), (std::vector<std::string>{"Ruft\xC3\xB6ne/", "Ruft\xC3\xB6ne/Melodie \xC3\x84.mid",
                                              "Ruft\xC3\xB6ne/OEM \xC3\x84.mid", "Ruft\xC3\xB6ne/Unicode \xC3\x84.mid",
                                              "plain.txt", "renamed.txt", "version2.txt"}));
  std::vector<std::string> announced;
  for (const unzip::Event& e : listener.OfAction(unzipabi::kNewFile)) announced.push_back(e.text);
  EXPECT_EQ(announced, (std::vector<std::string>{"Ruft\xF6ne/Melodie \xC4.mid", "Ruft\xF6ne/OEM \xC4.mid", "plain.txt",
                                                 "Ruft\xF6ne/Unicode \xC4.mid", "renamed.txt", "version2.txt"}));
  EXPECT_EQ(listener.Messages().size(), 1u);
  EXPECT_TRUE(listener.HasMessage(unzip::kErrName, "?.txt"));
}

TEST_P(Extraction, NothingIsWrittenThroughALinkBelowTheTarget) {
  const std::string elsewhere = root / "elsewhere";
  ASSERT_EQ(mkdir(elsewhere.c_str(), 0755), 0);
  ASSERT_EQ(symlink(elsewhere.c_str(), Out("link").c_str()), 0);
  ZipWriter w;
  w.Add(Folder("link/"));
  w.Add(File("link/x.txt", "x"));
  w.Add(File("link/deeper/y.txt", "y"));
  w.Add(File("fine.txt", "fine"));

  EXPECT_EQ(Run(w.Finish(), AllMembers()), 1);
  EXPECT_EQ(ListTree(elsewhere), std::vector<std::string>{});
  EXPECT_EQ(ReadFile(Out("fine.txt")), "fine");
  EXPECT_EQ(listener.Messages().size(), 3u);
  EXPECT_TRUE(listener.HasMessage(unzip::kErrUnsafeName, "link/deeper/y.txt"));
}

INSTANTIATE_TEST_SUITE_P(OneThreadAndWriterThread, Extraction, ::testing::Bool());

TEST(ExtractionToMemory, DiskFullRemovesTheTemporaryAndKeepsTheOldFile) {
  ZipWriter w;
  w.Add(File("small.txt", "fits"));
  w.Add(File("large.txt", TextData(600000, 15)));
  MemoryInput input(w.Finish());
  MemorySink sink;
  sink.files["large.txt"] = {"old", unzip::DosTime{}};
  sink.capacity = 400000;
  RecordingListener listener;
  EXPECT_EQ(unzip::Extract(input, sink, listener, AllMembers()), 1);
  EXPECT_EQ(sink.files.at("small.txt").data, "fits");
  EXPECT_EQ(sink.files.at("large.txt").data, "old");
  EXPECT_EQ(sink.liveTemporaries, 0);
  EXPECT_TRUE(listener.HasMessage(unzip::kErrWrite, "large.txt"));
}

TEST(ExtractionToMemory, AFolderInTheWayIsReported) {
  ZipWriter w;
  w.Add(File("name", "file"));
  MemoryInput input(w.Finish());
  MemorySink sink;
  sink.folders.insert("name");
  RecordingListener listener;
  EXPECT_EQ(unzip::Extract(input, sink, listener, AllMembers()), 0);
  EXPECT_TRUE(listener.HasMessage(unzip::kErrWrite, "name"));
}

}  // namespace
