// Media written by make-medium install what their payload holds. The build writes two media
// from the demo payload and a file whose folder and name have umlauts: Setup.zip whole, and
// the same archive as a set of 1 KB parts (Se001.zip ... Setup.zip), which setup joins first.
#include "wizard_steps.h"

#include <gtest/gtest.h>

#include <map>

using namespace e2e;

namespace {

const char* const kWork = "C:\\talvenor-e2e-builder";
const char* const kProgramEntry = "Software\\TalvenorE2EBuilder";
const char* const kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TalvenorE2EBuilder";
const char* const kGroup = "Talvenor E2E Builder";
const char* const kUninstaller = "UnInstallBuilder.exe";  // the medium's UninstallString

// Installs from the medium the build wrote into builder-media\<kind> and compares the target
// folder with the payload.
void InstallAndCompare(const std::string& kind) {
  InstallationTraces traces(kWork, kProgramEntry, kUninstallKey, kGroup);
  CopiedUninstaller uninstaller(kUninstaller);
  const std::string media = BuildFile("tests\\e2e\\builder-media\\");
  const std::string medium = media + kind + "\\";
  const auto payload = FilesBelow(media + "payload");
  ASSERT_EQ(payload.count("Gr\xFC\xDF" "e\\\xDC" "bersicht.txt"), 1u) << "the payload's umlaut name";

  const std::string target = std::string(kWork) + "\\Ziel";
  Process setup(medium + "setup.exe", "", medium);
  HWND wizard = setup.WaitWindow("TForm2");
  ASSERT_NE(wizard, nullptr);
  ASSERT_NO_FATAL_FAILURE(WalkToTheRun(setup, wizard, target));
  ASSERT_NO_FATAL_FAILURE(WaitFinishWithoutMessage(setup, wizard, 120000));

  // Byte for byte, under the payload's names, and each file once in InstalledFiles.
  const std::string folder = target + "\\";
  auto installed = FilesBelow(target);
  ASSERT_EQ(installed.erase("Setup.inf"), 1u);
  EXPECT_EQ(installed, payload);
  const auto listed = InstalledFiles(folder + "Setup.inf");
  EXPECT_EQ(listed.size(), payload.size() + 1);
  for (const auto& file : listed) EXPECT_TRUE(FileExists(file)) << file;
  EXPECT_TRUE(FileExists(uninstaller.path));

  ASSERT_NO_FATAL_FAILURE(Finish(setup, wizard));
  // The group entries name payload files, the one with umlauts too.
  const std::string group = ProgramsMenu() + "\\" + kGroup + "\\";
  EXPECT_TRUE(FileExists(group + "Talvenor.lnk"));
  EXPECT_TRUE(FileExists(group + "Uebersicht.lnk"));
}

}  // namespace

TEST(MediumBuilder, WholeArchiveInstallsThePayloadByteForByte) {
  ASSERT_TRUE(FileExists(BuildFile("tests\\e2e\\builder-media\\whole\\Setup.zip")));
  EXPECT_FALSE(FileExists(BuildFile("tests\\e2e\\builder-media\\whole\\Se001.zip")));
  InstallAndCompare("whole");
}

TEST(MediumBuilder, MultiPartSetOnAFixedDriveInstallsThePayloadByteForByte) {
  const std::string medium = BuildFile("tests\\e2e\\builder-media\\parts\\");
  ASSERT_TRUE(FileExists(medium + "Se001.zip"));
  ASSERT_TRUE(FileExists(medium + "Se002.zip"));
  ASSERT_TRUE(FileExists(medium + "Setup.zip"));
  InstallAndCompare("parts");
}
