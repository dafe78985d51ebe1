#include "ShellLinkPaths.h"

#include <gtest/gtest.h>

using namespace shelllink;

namespace {

TEST(ShellFolderValueName, NamesTheShellFoldersValues) {
  EXPECT_STREQ(ShellFolderValueName(sfDesktop), "Desktop");
  EXPECT_STREQ(ShellFolderValueName(sfStartMenu), "Start Menu");
  EXPECT_STREQ(ShellFolderValueName(sfProgramsMenu), "Programs");
  EXPECT_STREQ(ShellFolderValueName(sfStartup), "Startup");
  EXPECT_STREQ(ShellFolderValueName(sfMyDocuments), "Personal");
  EXPECT_EQ(int(sfMyDocuments), 4);
  EXPECT_EQ(int(raMaximized), 2);
}

TEST(NormalizeSubfolder, LoneBackslashMeansNoSubfolder) {
  EXPECT_EQ(NormalizeSubfolder("\\"), "");
  EXPECT_EQ(NormalizeSubfolder(""), "");
}

TEST(NormalizeSubfolder, AppendsOneTrailingBackslashOnly) {
  EXPECT_EQ(NormalizeSubfolder("\\Talvenor"), "\\Talvenor\\");
  EXPECT_EQ(NormalizeSubfolder("\\Talvenor\\"), "\\Talvenor\\");
  EXPECT_EQ(NormalizeSubfolder("\\\\"), "\\\\");
  EXPECT_EQ(NormalizeSubfolder("\\A\\B"), "\\A\\B\\");
  // No leading backslash is added: the folder path then runs into the shell folder's name.
  EXPECT_EQ(NormalizeSubfolder("Talvenor"), "Talvenor\\");
  EXPECT_EQ(LinkFolderPath("C:\\Menu\\Programme", NormalizeSubfolder("Talvenor")), "C:\\Menu\\ProgrammeTalvenor\\");
}

TEST(NormalizeSubfolder, IsIdempotent) {
  for (const char* value : {"", "\\", "\\G", "\\G\\", "G", "\\A\\B\\C"}) {
    const std::string once = NormalizeSubfolder(value);
    EXPECT_EQ(NormalizeSubfolder(once), once) << value;
  }
}

TEST(LinkPaths, JoinFolderSubfolderAndName) {
  const std::string programs = "C:\\windows\\Startmenü\\Programme";
  EXPECT_EQ(LinkFolderPath(programs, ""), programs);
  EXPECT_EQ(LinkFolderPath(programs, "\\Talvenor\\"), programs + "\\Talvenor\\");
  // A subfolder gives a doubled separator before the name; Windows reads it as one.
  EXPECT_EQ(LinkFilePath(programs + "\\Talvenor\\", "UnInstall"), programs + "\\Talvenor\\\\UnInstall.lnk");
  EXPECT_EQ(LinkFilePath(programs, "Talvenor"), programs + "\\Talvenor.lnk");
  // A missing shell folder value: the link lies below the root of the current drive.
  EXPECT_EQ(LinkFilePath(LinkFolderPath("", ""), ""), "\\.lnk");
}

TEST(FolderPrefixes, EveryLevelEndingInBackslash) {
  using V = std::vector<std::string>;
  EXPECT_EQ(FolderPrefixes("C:\\Menu\\Programme\\Talvenor\\"),
            (V{"C:\\", "C:\\Menu\\", "C:\\Menu\\Programme\\", "C:\\Menu\\Programme\\Talvenor\\"}));
  // Without a trailing backslash the last level is not among them.
  EXPECT_EQ(FolderPrefixes("C:\\Menu\\Programme"), (V{"C:\\", "C:\\Menu\\"}));
  EXPECT_EQ(FolderPrefixes("\\Talvenor\\"), (V{"\\", "\\Talvenor\\"}));
  EXPECT_EQ(FolderPrefixes(""), V{});
  EXPECT_EQ(FolderPrefixes("C:"), V{});
}

TEST(SplitExeString, ProgramAndParametersWithTheirBlank) {
  ExeStringParts p = SplitExeString("talv20.exe /sleep");
  EXPECT_EQ(p.program, "talv20.exe");
  EXPECT_EQ(p.parameters, " /sleep");

  p = SplitExeString("talv20.exe /sleep /port=COM1");
  EXPECT_EQ(p.program, "talv20.exe");
  EXPECT_EQ(p.parameters, " /sleep /port=COM1");

  p = SplitExeString("bin\\talv20.exe");
  EXPECT_EQ(p.program, "bin\\talv20.exe");
  EXPECT_EQ(p.parameters, "");

  p = SplitExeString("");
  EXPECT_EQ(p.program, "");
  EXPECT_EQ(p.parameters, "");
}

TEST(SplitExeString, BlankAtTheEdges) {
  ExeStringParts p = SplitExeString(" /sleep");
  EXPECT_EQ(p.program, "");
  EXPECT_EQ(p.parameters, " /sleep");

  p = SplitExeString("talv20.exe ");
  EXPECT_EQ(p.program, "talv20.exe");
  EXPECT_EQ(p.parameters, " ");
}

TEST(SplitExeString, ParametersStopAfterHundredCharactersAndNeverReachTheProgram) {
  const std::string blankAndNinetyNine = " " + std::string(99, 'a');
  ExeStringParts p = SplitExeString("t.exe" + blankAndNinetyNine);
  EXPECT_EQ(p.parameters, blankAndNinetyNine);
  EXPECT_EQ(p.program, "t.exe");

  p = SplitExeString("t.exe" + blankAndNinetyNine + "bcdef");
  EXPECT_EQ(p.parameters.size(), kMaxParameters);
  EXPECT_EQ(p.parameters, blankAndNinetyNine);
  EXPECT_EQ(p.program, "t.exe");
}

}  // namespace
