// Archives written by other programs (made by fixtures/make_fixtures.sh).
#include <gtest/gtest.h>
#include <sys/stat.h>

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
  int Run(const std::string& fixture, const std::string& password) {
    auto input = unzip::PosixFileInput::Open(std::string(UNZIP_FIXTURES) + "/" + fixture);
    if (!input) ADD_FAILURE() << "missing fixture " << fixture;
    if (!input) return -1;
    unzip::Options o;
    o.dirNames = true;
    o.overwrite = true;
    o.fileSpecs = {"*.*"};
    o.password = password;
    unzip::PosixSink sink(folder.path());
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

TEST_F(Fixtures, SevenZipWithPassword) {
  EXPECT_EQ(Run("7z_encrypted.zip", "secret"), 2);
  ExpectHelloAndData();
}

TEST_F(Fixtures, SevenZipWrongPassword) {
  EXPECT_EQ(Run("7z_encrypted.zip", "Secret"), 0);
  EXPECT_TRUE(ListTree(folder.path()) == std::vector<std::string>{"sub/"} ||
              ListTree(folder.path()).empty());
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
