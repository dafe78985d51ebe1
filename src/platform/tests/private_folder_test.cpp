// Private folders: made with the access list meant (read back: Wine keeps it, though it does
// not enforce it), refused below a link, held against renaming, and removed without ever
// deleting through a link.
#include "error.h"
#include "files.h"
#include "folder_links.h"
#include "private_folder.h"

#include <gtest/gtest.h>

#include <aclapi.h>
#include <sddl.h>

#include <fstream>

namespace {

const char kDescriptor[] = "O:BAD:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)";

bool IsPrivate(const char* sddl) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!::ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &descriptor, nullptr)) {
    ADD_FAILURE() << sddl;
    return false;
  }
  const platform::UniqueLocal hold(descriptor);
  return platform::IsPrivateDescriptor(descriptor);
}

// Whether the access list of a file or folder, read back, allows Administrators, SYSTEM and
// its owner and no one else.
bool OnlyAdministratorsSystemAndOwnerAllowed(const std::string& path) {
  PSID owner = nullptr;
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (::GetNamedSecurityInfoA(path.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                              &owner, nullptr, &dacl, nullptr, &descriptor) != ERROR_SUCCESS ||
      !dacl)
    return false;
  const platform::UniqueLocal hold(descriptor);
  for (DWORD i = 0; i < dacl->AceCount; ++i) {
    void* ace = nullptr;
    if (!::GetAce(dacl, i, &ace)) return false;
    PSID sid = &static_cast<ACCESS_ALLOWED_ACE*>(ace)->SidStart;
    if (!::EqualSid(sid, owner) && !::IsWellKnownSid(sid, WinBuiltinAdministratorsSid) &&
        !::IsWellKnownSid(sid, WinLocalSystemSid))
      return false;
  }
  return true;
}

void WriteText(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

class PrivateFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    base_ = platform::TempFolder() + "talvenor-private-test\\";
    TearDown();
    ASSERT_TRUE(platform::ForceDirectories(base_ + "outside"));
    WriteText(base_ + "outside\\keep.txt", "keep");
  }
  void TearDown() override {
    testsupport::RemoveFolderLink(base_ + "link");
    platform::RemoveFolderTree(base_);
  }

  bool OutsideIntact() const { return platform::FileExists(base_ + "outside\\keep.txt"); }

  std::string base_;
};

TEST(PrivateDescriptor, OnlyAProtectedListOfAdministratorsAndSystemUnderTheirOwnershipCounts) {
  EXPECT_TRUE(IsPrivate(kDescriptor));
  EXPECT_TRUE(IsPrivate("O:SYD:P(A;;FA;;;SY)"));
  EXPECT_FALSE(IsPrivate("O:BAD:(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)"));  // inherits from its parent
  EXPECT_FALSE(IsPrivate("O:BAD:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)"));
  EXPECT_FALSE(IsPrivate("O:BUD:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)"));  // users own it
  EXPECT_FALSE(IsPrivate("O:BA"));                                     // no list: open to all
}

TEST_F(PrivateFolderTest, HasAnUnguessableNameAndAListThatLetsNoUserIn) {
  const std::string folder = platform::CreatePrivateFolder(base_, "tv-");
  ASSERT_EQ(folder.size(), base_.size() + 3 + 32 + 1);
  EXPECT_EQ(folder.substr(0, base_.size() + 3), base_ + "tv-");
  EXPECT_EQ(folder.find_first_not_of("0123456789abcdef", base_.size() + 3), folder.size() - 1);
  EXPECT_EQ(folder.back(), '\\');
  EXPECT_TRUE(platform::DirectoryExists(folder));
  EXPECT_NE(platform::CreatePrivateFolder(base_, "tv-"), folder);

  // Read back. Windows keeps the descriptor as made. Wine turns it into the host's permission
  // bits and reads back SYSTEM and an owner of its own; either way no one else, whereas a
  // folder made as usual lets users or everyone in.
  EXPECT_TRUE(OnlyAdministratorsSystemAndOwnerAllowed(folder));
  ASSERT_TRUE(::CreateDirectoryA((base_ + "ordinary").c_str(), nullptr));
  EXPECT_FALSE(OnlyAdministratorsSystemAndOwnerAllowed(base_ + "ordinary"));
  EXPECT_FALSE(platform::FolderIsPrivate(base_ + "ordinary"));
  EXPECT_FALSE(platform::FolderIsPrivate(base_ + "missing"));
}

TEST_F(PrivateFolderTest, IsRefusedBelowALinkAFileAndAMissingFolder) {
  ASSERT_TRUE(testsupport::MakeFolderLink(base_ + "link", base_ + "outside"));
  EXPECT_THROW(platform::CreatePrivateFolder(base_ + "link", "tv-"), platform::Error);
  EXPECT_THROW(platform::CreatePrivateFolder(base_ + "link\\", "tv-"), platform::Error);
  EXPECT_TRUE(platform::ListFolders(base_ + "outside").empty());
  EXPECT_THROW(platform::CreatePrivateFolder(base_ + "outside\\keep.txt", "tv-"), platform::Error);
  try {
    platform::CreatePrivateFolder(base_ + "missing", "tv-");
    ADD_FAILURE() << "a missing parent must raise";
  } catch (const platform::Error& e) {
    const std::string expected = "Der Ordner " + base_ + "missing kann nicht geöffnet werden";
    EXPECT_EQ(std::string(e.what()).substr(0, expected.size()), expected);
  }
}

TEST_F(PrivateFolderTest, TreeIsRemovedWithoutDeletingThroughALink) {
  const std::string folder = platform::CreatePrivateFolder(base_, "tv-");
  ASSERT_TRUE(platform::ForceDirectories(folder + "a\\b"));
  WriteText(folder + "a\\b\\deep.txt", "x");
  WriteText(folder + "top.txt", "x");
  ASSERT_TRUE(platform::ForceDirectories(folder + "holder"));
  ASSERT_TRUE(testsupport::MakeFolderLink(folder + "holder\\link", base_ + "outside"));
  const bool fileLink = testsupport::MakeFileLink(folder + "filelink", base_ + "outside\\keep.txt");

  platform::RemoveFolderTree(folder + "holder\\link");
  EXPECT_TRUE(OutsideIntact());
  platform::RemoveFolderTree(folder);
  EXPECT_TRUE(OutsideIntact());
  EXPECT_FALSE(platform::DirectoryExists(folder + "a"));
  EXPECT_FALSE(platform::FileExists(folder + "top.txt"));
  // Wine cannot delete a host link without what it points to: then the link stays, and the
  // folders that hold it. Windows deletes a junction itself.
  if (testsupport::IsFolderLink(folder + "holder\\link") || fileLink) {
    EXPECT_TRUE(platform::DirectoryExists(folder));
    testsupport::RemoveFolderLink(folder + "holder\\link");
    if (fileLink)
      testsupport::RunOnHost("\\bin\\rm", "rm \"" + testsupport::HostPath(folder + "filelink") + "\"",
                             [&] { return !platform::FileExists(folder + "filelink"); });
    platform::RemoveFolderTree(folder);
  }
  EXPECT_FALSE(platform::DirectoryExists(folder));
  EXPECT_TRUE(OutsideIntact());
}

TEST_F(PrivateFolderTest, HeldFolderCannotBeRenamedAndGoesWithItsFiles) {
  std::string path;
  {
    platform::PrivateFolder folder(base_, "held-");
    path = folder.Path();
    EXPECT_TRUE(OnlyAdministratorsSystemAndOwnerAllowed(path));
    ASSERT_TRUE(platform::ForceDirectories(path + "sub"));
    WriteText(path + "sub\\file.bin", "data");
    const std::string name = path.substr(0, path.size() - 1);
    EXPECT_FALSE(::MoveFileA(name.c_str(), (base_ + "moved").c_str()));
    EXPECT_TRUE(platform::FileExists(path + "sub\\file.bin"));
  }
  EXPECT_FALSE(platform::DirectoryExists(path));
  EXPECT_FALSE(platform::DirectoryExists(base_ + "moved"));
}

}  // namespace
