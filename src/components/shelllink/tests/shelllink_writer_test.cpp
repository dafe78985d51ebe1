#include "ShellLinkWriter.h"

#include "error.h"
#include "files.h"
#include "link_reader.h"
#include "shell_folder_override.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

using namespace shelllink;
using shelllink::testing::ReadLink;
using shelllink::testing::ShellFolderOverride;

namespace {

// The show command as stored in the link file's header (Wine's link object does not report
// it back after loading).
int ShowCommandInFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  unsigned char field[4] = {};
  file.seekg(0x3C);
  file.read(reinterpret_cast<char*>(field), sizeof field);
  return file ? field[0] | field[1] << 8 | field[2] << 16 | field[3] << 24 : -1;
}

class ShellLinkWriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = platform::TempFolder() + "TalvenorLinkTest" + std::to_string(::GetCurrentProcessId()) + "\\";
    std::filesystem::remove_all(root_);
    ASSERT_TRUE(platform::ForceDirectories(root_));
    programs_ = root_ + "Startmenü\\Programme";
    startup_ = root_ + "Autostart";
    shellFolders_.Set("Programs", programs_);
    shellFolders_.Set("Startup", startup_);
  }

  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }

  platform::ComApartment com_;
  ShellFolderOverride shellFolders_;
  std::string root_, programs_, startup_;
};

TEST_F(ShellLinkWriterTest, StartsWithTheDocumentedDefaults) {
  TShellLinkWriter writer(nullptr);
  EXPECT_EQ(writer.LinkName, "My New ShellLink");
  EXPECT_EQ(writer.CreateIn.ShellFolder, sfDesktop);
  EXPECT_TRUE(writer.CreateIn.CreatePath);
  EXPECT_EQ(writer.CreateIn.Subfolder(), "");
  EXPECT_EQ(writer.RunAs, raNormal);
  EXPECT_EQ(writer.GetKind(), forms::Kind::Custom);

  writer.CreateIn.SetSubfolder("\\");
  EXPECT_EQ(writer.CreateIn.Subfolder(), "");
  writer.CreateIn.SetSubfolder("\\Talvenor");
  EXPECT_EQ(writer.CreateIn.Subfolder(), "\\Talvenor\\");
  writer.CreateIn.SetSubfolder("\\Talvenor\\");
  EXPECT_EQ(writer.CreateIn.Subfolder(), "\\Talvenor\\");
}

TEST_F(ShellLinkWriterTest, WritesIntoTheProgramsSubfolderCreatingEveryLevel) {
  TShellLinkWriter writer(nullptr, "progman2");
  writer.CreateIn.ShellFolder = sfProgramsMenu;
  writer.CreateIn.SetSubfolder("\\Talvenor\\Werkzeuge");
  writer.LinkName = "UnInstall";
  writer.LinkTarget = "C:\\windows\\UnInstall.exe";
  writer.ParamString = "\"C:\\Programme\\Talvenor\\Setup.inf\"";
  std::string folder;
  writer.CreateLink(false, folder);

  EXPECT_EQ(folder, programs_ + "\\Talvenor\\Werkzeuge\\");
  EXPECT_TRUE(platform::DirectoryExists(programs_));
  EXPECT_TRUE(platform::DirectoryExists(programs_ + "\\Talvenor"));
  const std::string linkFile = programs_ + "\\Talvenor\\Werkzeuge\\UnInstall.lnk";
  ASSERT_TRUE(platform::FileExists(linkFile));
  const auto link = ReadLink(linkFile);
  ASSERT_TRUE(link.loaded);
  EXPECT_TRUE(platform::SameText(link.target, "C:\\windows\\UnInstall.exe")) << link.target;
  EXPECT_EQ(link.arguments, "\"C:\\Programme\\Talvenor\\Setup.inf\"");
  EXPECT_EQ(link.workingDirectory, "");
  EXPECT_EQ(ShowCommandInFile(linkFile), SW_SHOWNORMAL);
}

TEST_F(ShellLinkWriterTest, EmptySubfolderUsesTheShellFolderItselfWithoutCreatingIt) {
  TShellLinkWriter writer(nullptr);
  writer.CreateIn.ShellFolder = sfProgramsMenu;
  writer.CreateIn.SetSubfolder("\\");
  writer.LinkName = "Talvenor";
  writer.LinkTarget = "C:\\Programme\\Talvenor\\talv20.exe";
  std::string folder;
  writer.CreateLink(false, folder);
  EXPECT_EQ(folder, programs_);
  // The last level of a path without trailing backslash is not created: nothing is saved.
  EXPECT_FALSE(platform::DirectoryExists(programs_));
  EXPECT_TRUE(platform::DirectoryExists(root_ + "Startmenü"));

  ASSERT_TRUE(platform::ForceDirectories(programs_));
  writer.CreateLink(false, folder);
  EXPECT_TRUE(platform::FileExists(programs_ + "\\Talvenor.lnk"));
  EXPECT_EQ(platform::ListFolders(programs_).size(), 0u);
}

TEST_F(ShellLinkWriterTest, DeleteLinkLeavesNoFileButKeepsTheFolders) {
  TShellLinkWriter writer(nullptr);
  writer.CreateIn.ShellFolder = sfProgramsMenu;
  writer.CreateIn.SetSubfolder("\\Talvenor");
  writer.LinkName = "Probe";
  writer.LinkTarget = "C:\\Programme\\Talvenor\\talv20.exe";
  writer.CreateLink(false);
  const std::string linkFile = programs_ + "\\Talvenor\\Probe.lnk";
  ASSERT_TRUE(platform::FileExists(linkFile));

  writer.CreateLink(true);  // overwrites the existing link, then deletes it
  EXPECT_FALSE(platform::FileExists(linkFile));
  EXPECT_TRUE(platform::DirectoryExists(programs_ + "\\Talvenor"));

  writer.CreateIn.SetSubfolder("\\Neu\\Ebene");
  writer.CreateLink(true);
  EXPECT_TRUE(platform::DirectoryExists(programs_ + "\\Neu\\Ebene"));
  EXPECT_TRUE(platform::ListFiles(programs_ + "\\Neu\\Ebene").empty());
}

TEST_F(ShellLinkWriterTest, LaterLinksInheritWorkingDirectoryAndParameters) {
  TShellLinkWriter writer(nullptr);
  writer.CreateIn.ShellFolder = sfStartup;
  writer.CreateIn.SetSubfolder("");
  ASSERT_TRUE(platform::ForceDirectories(startup_));
  writer.LinkName = "Talvenor Sleep";
  writer.LinkTarget = "C:\\Programme\\Talvenor\\talv20.exe";
  writer.ParamString = " /sleep";
  writer.WorkingDirectory = "C:\\Programme\\Talvenor\\";
  writer.CreateLink(false);

  writer.CreateIn.ShellFolder = sfProgramsMenu;
  writer.CreateIn.SetSubfolder("\\Talvenor");
  writer.LinkName = "Logos";
  writer.LinkTarget = "C:\\Programme\\Talvenor\\logos.exe";
  writer.CreateLink(false);
  auto link = ReadLink(programs_ + "\\Talvenor\\Logos.lnk");
  ASSERT_TRUE(link.loaded);
  EXPECT_EQ(link.arguments, " /sleep");
  EXPECT_EQ(link.workingDirectory, "C:\\Programme\\Talvenor\\");

  writer.ParamString.clear();
  writer.WorkingDirectory.clear();
  writer.CreateLink(false);  // the same file again, now with the empty setters
  link = ReadLink(programs_ + "\\Talvenor\\Logos.lnk");
  ASSERT_TRUE(link.loaded);
  EXPECT_EQ(link.arguments, "");
  EXPECT_EQ(link.workingDirectory, "");

  link = ReadLink(startup_ + "\\Talvenor Sleep.lnk");
  ASSERT_TRUE(link.loaded);
  EXPECT_EQ(link.arguments, " /sleep");
  EXPECT_TRUE(platform::SameText(link.target, "C:\\Programme\\Talvenor\\talv20.exe")) << link.target;
}

TEST_F(ShellLinkWriterTest, MissingShellFolderValueWritesBelowTheCurrentDriveRoot) {
  shellFolders_.Remove("Startup");
  const std::string oldCurrent = platform::CurrentFolder();
  // The prefix's drive C:, not the Linux root that Wine shows as Z:.
  const std::string drive = root_.substr(0, 2);
  ASSERT_TRUE(platform::SetCurrentFolder(drive + "\\"));
  const std::string sub = "\\TalvenorNoShellFolder" + std::to_string(::GetCurrentProcessId());

  TShellLinkWriter writer(nullptr);
  writer.CreateIn.ShellFolder = sfStartup;
  writer.CreateIn.SetSubfolder(sub);
  writer.LinkName = "Autostart";
  writer.LinkTarget = "C:\\Programme\\Talvenor\\talv20.exe";
  std::string folder = "unchanged";
  EXPECT_NO_THROW(writer.CreateLink(false, folder));
  platform::SetCurrentFolder(oldCurrent);

  EXPECT_EQ(folder, sub + "\\");
  EXPECT_TRUE(platform::FileExists(drive + sub + "\\Autostart.lnk"));
  std::error_code ignored;
  std::filesystem::remove_all(drive + sub, ignored);
}

TEST_F(ShellLinkWriterTest, ValueOfAnotherTypeIsIgnoredAndExpandableValuesStayUnexpanded) {
  // "Personal", not "Desktop": Wine's desktop process writes the desktop's path afresh at its
  // start, which may fall in the middle of this test.
  const DWORD number = 7;
  shellFolders_.SetRaw("Personal", REG_DWORD, &number, sizeof number);
  TShellLinkWriter writer(nullptr);
  writer.CreateIn.ShellFolder = sfMyDocuments;
  writer.CreateIn.CreatePath = false;
  std::string folder = "unchanged";
  EXPECT_NO_THROW(writer.CreateLink(false, folder));
  EXPECT_EQ(folder, "");

  const std::string unexpanded = "%TALVENOR_NOT_EXPANDED%\\Dokumente";
  shellFolders_.SetRaw("Personal", REG_EXPAND_SZ, unexpanded.c_str(), DWORD(unexpanded.size() + 1));
  writer.CreateLink(false, folder);
  EXPECT_EQ(folder, unexpanded);
}

TEST_F(ShellLinkWriterTest, WithoutCreatePathAMissingFolderFailsSilently) {
  TShellLinkWriter writer(nullptr);
  writer.CreateIn.ShellFolder = sfProgramsMenu;
  writer.CreateIn.CreatePath = false;
  writer.CreateIn.SetSubfolder("\\Talvenor");
  writer.LinkTarget = "C:\\Programme\\Talvenor\\talv20.exe";
  std::string folder;
  EXPECT_NO_THROW(writer.CreateLink(false, folder));
  EXPECT_EQ(folder, programs_ + "\\Talvenor\\");
  EXPECT_FALSE(platform::DirectoryExists(programs_));
}

TEST_F(ShellLinkWriterTest, AnsiNamesAndShowCommands) {
  TShellLinkWriter writer(nullptr);
  writer.CreateIn.ShellFolder = sfProgramsMenu;
  writer.CreateIn.SetSubfolder("\\Grüße");
  writer.LinkName = "Überblick";
  writer.LinkTarget = root_ + "Größe.exe";
  writer.RunAs = raMaximized;
  writer.CreateLink(false);
  const std::string linkFile = programs_ + "\\Grüße\\Überblick.lnk";
  ASSERT_TRUE(platform::FileExists(linkFile));
  auto link = ReadLink(linkFile);
  ASSERT_TRUE(link.loaded);
  EXPECT_TRUE(platform::SameText(link.target, root_ + "Größe.exe")) << link.target;
  EXPECT_EQ(ShowCommandInFile(linkFile), SW_SHOWMAXIMIZED);

  writer.RunAs = raMinimized;
  writer.CreateLink(false);
  EXPECT_EQ(ShowCommandInFile(linkFile), SW_SHOWMINNOACTIVE);
}

TEST_F(ShellLinkWriterTest, WithoutTheLinkObjectRaisesAfterAssigningTheFolder) {
  // A thread that never initialised COM cannot create the shell's link object.
  std::string folder, message;
  std::thread worker([&] {
    TShellLinkWriter writer(nullptr);
    writer.CreateIn.ShellFolder = sfProgramsMenu;
    writer.CreateIn.SetSubfolder("\\Talvenor");
    try {
      writer.CreateLink(false, folder);
    } catch (const platform::Error& e) {
      message = e.what();
    }
  });
  worker.join();
  EXPECT_EQ(folder, programs_ + "\\Talvenor\\");
  EXPECT_NE(message.find("Verknüpfungsobjekt"), std::string::npos) << message;
  EXPECT_TRUE(platform::DirectoryExists(programs_ + "\\Talvenor"));
}

}  // namespace
