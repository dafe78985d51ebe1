// Archives written by other programs (made by fixtures/make_fixtures.sh).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <ctime>

#include "posix_files.h"
#include "temp_folder.h"
#include "test_zip.h"
#include "unzip_engine.h"

using namespace ziptest;

namespace {

std::string Hello() {
  std::string s;
  for (int i = 0; i < 100; ++i) s += "Hello from the Talvenor medium.\n";
  return s;
}

std::string DataBin() {
  std::string s;
  for (int i = 0; i < 40; ++i)
    for (int b = 0; b < 256; ++b) s += char(b);
  return s;
}

class Fixtures : public ::testing::Test {
 protected:
  int Run(const std::string& fixture, const std::string& password, const std::string& into = std::string()) {
    auto input = unzip::PosixFileInput::Open(std::string(UNZIP_FIXTURES) + "/" + fixture);
    if (!input) ADD_FAILURE() << "missing fixture " << fixture;
    if (!input) return -1;
    unzip::Options o;
    o.dirNames = true;
    o.overwrite = true;
    o.fileSpecs = {"*.*"};
    o.password = password;
    unzip::PosixSink sink(into.empty() ? folder.path() : into);
    return unzip::Extract(*input, sink, listener, o);
  }

  void ExpectHelloAndData() {
    EXPECT_EQ(ReadFile(folder / "hello.txt"), Hello());
    EXPECT_EQ(ReadFile(folder / "sub/data.bin"), DataBin());
    EXPECT_TRUE(listener.Messages().empty()) << listener.Messages().front();
  }

  TempFolder folder;
  RecordingListener listener;
};

TEST_F(Fixtures, ZipWithPassword) {
  EXPECT_EQ(Run("zip_encrypted.zip", "secret"), 2);
  ExpectHelloAndData();
}

TEST_F(Fixtures, ZipStreamedWithPasswordAndDataDescriptor) {
  EXPECT_EQ(Run("zip_streamed_encrypted.zip", "secret"), 1);
  EXPECT_EQ(ReadFile(folder / "-"), Hello());
  EXPECT_TRUE(listener.Messages().empty()) << listener.Messages().front();
}

TEST_F(Fixtures, ZipFromAPipe) {
  EXPECT_EQ(Run("zip_piped.zip", ""), 1);
  EXPECT_EQ(ReadFile(folder / "-"), "piped\n");
  EXPECT_TRUE(listener.Messages().empty()) << listener.Messages().front();
}

TEST_F(Fixtures, SevenZipWithPassword) {
  EXPECT_EQ(Run("7z_encrypted.zip", "secret"), 2);
  ExpectHelloAndData();
}

TEST_F(Fixtures, SevenZipWrongPassword) {
  EXPECT_EQ(Run("7z_encrypted.zip", "Secret"), 0);
  EXPECT_TRUE(ListTree(folder.path()) == std::vector<std::string>{"sub/"} || ListTree(folder.path()).empty());
  EXPECT_EQ(listener.OfAction(unzipabi::kMessage).size(), 2u);
}

TEST_F(Fixtures, SevenZipPlain) {
  EXPECT_EQ(Run("7z_plain.zip", ""), 2);
  ExpectHelloAndData();
}

TEST_F(Fixtures, PythonStoredDeflatedFolderAndComment) {
  EXPECT_EQ(Run("python_mixed.zip", ""), 2);
  ExpectHelloAndData();
  struct stat st {};
  ASSERT_EQ(stat((folder / "hello.txt").c_str(), &st), 0);
  struct tm local {};
  localtime_r(&st.st_mtime, &local);
  EXPECT_EQ(local.tm_year, 121);
  EXPECT_EQ(local.tm_mon, 5);
  EXPECT_EQ(local.tm_mday, 15);
}

}  // namespace

namespace {

TEST_F(Fixtures, NamesFromInfoZipBsdtarAnd7z) {
  for (const char* fixture : {"names_zip.zip", "names_bsdtar.zip", "names_7z.zip"}) {
    const std::string into = folder / fixture;
    ASSERT_EQ(mkdir(into.c_str(), 0755), 0);
    listener.events.clear();
    EXPECT_EQ(Run(fixture, "", into), 2) << fixture;
    EXPECT_EQ(ListTree(into), (std::vector<std::string>{"Ruft\xC3\xB6ne/", "Ruft\xC3\xB6ne/Melodie \xC3\x84.mid",
                                                        "empty.txt", "leer/"}))
        << fixture;
    EXPECT_EQ(ReadFile(into + "/Ruft\xC3\xB6ne/Melodie \xC3\x84.mid"), "MThd") << fixture;
    std::vector<std::string> announced;
    for (const unzip::Event& e : listener.OfAction(unzipabi::kNewFile)) announced.push_back(e.text);
    std::sort(announced.begin(), announced.end());
    EXPECT_EQ(announced, (std::vector<std::string>{"Ruft\xF6ne/Melodie \xC4.mid", "empty.txt"})) << fixture;
    EXPECT_TRUE(listener.Messages().empty()) << fixture << ": " << listener.Messages().front();
  }
}

TEST_F(Fixtures, ImpossibleDatesAndAFolderEntryWithData) {
  const time_t before = time(nullptr);
  EXPECT_EQ(Run("python_dates.zip", ""), 3);
  EXPECT_TRUE(listener.Messages().empty()) << listener.Messages().front();
  EXPECT_EQ(ListTree(folder.path()), (std::vector<std::string>{"Ruft\xC3\xB6ne/", "Ruft\xC3\xB6ne/Melodie \xC3\x84.mid",
                                                               "dated.txt", "impossible.txt", "withdata/"}));
  struct stat st {};
  ASSERT_EQ(stat((folder / "impossible.txt").c_str(), &st), 0);
  EXPECT_GE(st.st_mtime, before);  // the time it got when written
  ASSERT_EQ(stat((folder / "Ruft\xC3\xB6ne/Melodie \xC3\x84.mid").c_str(), &st), 0);
  EXPECT_GE(st.st_mtime, before);
  ASSERT_EQ(stat((folder / "dated.txt").c_str(), &st), 0);
  struct tm local {};
  localtime_r(&st.st_mtime, &local);
  EXPECT_EQ(local.tm_year, 121);
}

}  // namespace
