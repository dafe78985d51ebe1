#include "error.h"
#include "registry.h"

#include <gtest/gtest.h>

using platform::Registry;

namespace {

const char* kKey = "Software\\TalvenorTest\\Registry";

TEST(Registry, WritesStringsAndIntegersAndReadsStringsBack) {
  Registry w(HKEY_CURRENT_USER);
  w.OpenKey(std::string("\\") + kKey);  // a leading backslash names the same key
  w.WriteString("Programmpfad", "C:\\Programme\\Talvenor\\");
  w.WriteBool("sleepmode", false);
  w.WriteInteger("Kommunikation", 0);

  Registry r(HKEY_CURRENT_USER);
  ASSERT_TRUE(r.OpenKeyReadOnly(kKey));
  EXPECT_EQ(r.ReadString("Programmpfad"), "C:\\Programme\\Talvenor\\");
  EXPECT_EQ(r.ReadString("missing"), "");
  EXPECT_THROW(r.ReadString("sleepmode"), platform::Error);  // not a string value
  ::RegDeleteKeyA(HKEY_CURRENT_USER, kKey);
}

TEST(Registry, MissingKeyReadsEmptyAndIsNotCreated) {
  Registry r(HKEY_CURRENT_USER);
  EXPECT_FALSE(r.OpenKeyReadOnly("Software\\TalvenorTest\\NoSuchKey"));
  EXPECT_EQ(r.ReadString("ProgramFilesDir"), "");
  HKEY key = nullptr;
  EXPECT_NE(::RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\TalvenorTest\\NoSuchKey", 0, KEY_READ, &key), ERROR_SUCCESS);
}

TEST(Registry, FailedWriteRaisesTheValueNameText) {
  Registry r(HKEY_CURRENT_USER);
  r.OpenKey(kKey);
  Registry readOnly(HKEY_CURRENT_USER);
  ASSERT_TRUE(readOnly.OpenKeyReadOnly(kKey));
  try {
    readOnly.WriteString("Sprache", "german.lng");
    ADD_FAILURE() << "writing through a read-only key must raise";
  } catch (const platform::Error& e) {
    EXPECT_EQ(std::string(e.what()), "Konnte Daten für 'Sprache' nicht setzen");
  }
  ::RegDeleteKeyA(HKEY_CURRENT_USER, kKey);

  // A key that cannot be created (here below a root that does not exist) fails at the first
  // write, with the same text.
  Registry noKey(reinterpret_cast<HKEY>(uintptr_t(0x800000F0)));
  EXPECT_FALSE(noKey.OpenKey("Talvenor"));
  EXPECT_EQ(noKey.ReadString("Programmpfad"), "");
  try {
    noKey.WriteString("Programmpfad", "C:\\Programme\\Talvenor\\");
    ADD_FAILURE() << "writing into a key that could not be created must raise";
  } catch (const platform::Error& e) {
    EXPECT_EQ(std::string(e.what()), "Konnte Daten für 'Programmpfad' nicht setzen");
  }
}

TEST(Registry, DeletesValuesAndEmptyKeysWithoutCreatingAnything) {
  const std::string path = std::string(kKey) + "\\Delete";
  Registry w(HKEY_CURRENT_USER);
  EXPECT_FALSE(w.OpenExistingKey(path));
  w.OpenKey(path);
  w.WriteString("Programmpfad", "C:\\Programme\\Talvenor\\");
  w.WriteBool("fixed", true);
  w.Close();

  Registry d(HKEY_CURRENT_USER);
  ASSERT_TRUE(d.OpenExistingKey(path));
  EXPECT_TRUE(d.HasValue("fixed"));
  EXPECT_FALSE(d.IsEmpty());
  EXPECT_TRUE(d.DeleteValue("fixed"));
  EXPECT_FALSE(d.HasValue("fixed"));
  EXPECT_TRUE(d.DeleteValue("fixed"));  // already gone counts as deleted
  EXPECT_TRUE(d.DeleteValue("Programmpfad"));
  EXPECT_TRUE(d.IsEmpty());
  d.Close();
  Registry parent(HKEY_CURRENT_USER);
  ASSERT_TRUE(parent.OpenExistingKey(kKey));
  EXPECT_FALSE(parent.IsEmpty());  // holds the subkey
  parent.Close();
  EXPECT_TRUE(Registry::DeleteKey(HKEY_CURRENT_USER, "\\" + path));
  EXPECT_FALSE(Registry(HKEY_CURRENT_USER).OpenExistingKey(path));
  EXPECT_TRUE(Registry::DeleteKey(HKEY_CURRENT_USER, path));
  ::RegDeleteKeyA(HKEY_CURRENT_USER, kKey);
}

}  // namespace
