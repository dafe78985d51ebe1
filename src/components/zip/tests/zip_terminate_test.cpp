// The program ends while an extraction runs: the next callback stops the library. The
// application stays terminated afterwards, so this runs in a process of its own.
#include <gtest/gtest.h>

#include <windows.h>

#include "ZipArchive.h"
#include "application.h"
#include "win_test_support.h"

using namespace ziptest;

TEST(TZipArchive, TerminatedApplicationStopsTheExtraction) {
  TempFolder dir;
  WriteBytes(dir / "Setup.zip", spantest::BuildSingleArchive({Member("a.txt", 10), Member("b.txt", 20)}));
  ::SetEnvironmentVariableA("TESTUNZIP_DUMP", (dir / "library.txt").c_str());
  TZipArchive zip(nullptr);
  zip.SetDLLDirectory(LibraryFolder("v152"));
  zip.SetZipFilename(dir / "Setup.zip");
  zip.SetFSpecArgs({"*.*"});
  int files = 0;
  // "Beenden" in a cancel confirmation during the first file: the program is ending.
  zip.OnProgress = [&](forms::Component*, ProgressType type, const std::string&, int) {
    if (type != ptFileStart) return;
    ++files;
    forms::Application::Instance().Terminate();
  };
  zip.Extract();
  ::SetEnvironmentVariableA("TESTUNZIP_DUMP", nullptr);
  EXPECT_TRUE(forms::Application::Instance().Terminated());
  EXPECT_EQ(ReadLibraryRecord(dir / "library.txt").answers, "0,0,-1,");
  EXPECT_EQ(files, 1);
  EXPECT_EQ(zip.SuccessCount(), 1);
  EXPECT_FALSE(zip.Busy());
}
