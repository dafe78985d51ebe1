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
  EXPECT_NE(::RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\TalvenorTest\\NoSuchKey", 0, KEY_READ, &key),
            ERROR_SUCCESS);
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
}

}  // namespace
