// Checks the hand-written files of the demo medium: encoding and line ends, language files
// that translate the same keys, and a Setup.inf whose names point at files that exist.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "member_failure.h"
#include "payload.h"

namespace {

const std::string kMedium = TALVENOR_MEDIUM_SOURCE_DIR;

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in.good()) << path;
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Sections in file order, each with its key/value pairs in order. Lines are split the way
// the setup program splits language files; comments and empty lines are dropped.
struct IniFile {
  std::vector<std::string> sections;
  std::map<std::string, std::vector<std::pair<std::string, std::string>>> entries;

  const std::string* find(const std::string& section, const std::string& key) const {
    auto s = entries.find(section);
    if (s == entries.end()) return nullptr;
    for (const auto& [k, v] : s->second)
      if (k == key) return &v;
    return nullptr;
  }
};

IniFile parseIni(const std::string& text) {
  IniFile ini;
  std::string current;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 2;
    if (line.empty() || line[0] == ';') continue;
    if (line.front() == '[' && line.back() == ']') {
      current = line.substr(1, line.size() - 2);
      ini.sections.push_back(current);
      continue;
    }
    size_t eq = line.find('=');
    if (eq == std::string::npos || current.empty()) continue;
    ini.entries[current].emplace_back(line.substr(0, eq), line.substr(eq + 1));
  }
  return ini;
}

// Code page 1252 text with CR LF line ends only, ending in a line end.
void expectCp1252WithCrLf(const std::string& name) {
  SCOPED_TRACE(name);
  const std::string text = readFile(kMedium + "/" + name);
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
  for (size_t i = 0; i < text.size(); ++i) {
    unsigned char c = text[i];
    if (c == '\n') {
      EXPECT_TRUE(i > 0 && text[i - 1] == '\r') << "lone LF at " << i;
    }
    if (c == '\r') {
      EXPECT_TRUE(i + 1 < text.size() && text[i + 1] == '\n') << "lone CR at " << i;
    }
    // Bytes that code page 1252 leaves undefined, and control characters.
    EXPECT_TRUE(c != 0x81 && c != 0x8D && c != 0x8F && c != 0x90 && c != 0x9D) << i;
    EXPECT_TRUE(c >= 0x20 || c == '\r' || c == '\n' || c == '\t') << i;
  }
  // UTF-8 umlauts would show up as these pairs.
  EXPECT_EQ(text.find("\xC3\xA4"), std::string::npos);
  EXPECT_EQ(text.find("\xC3\xBC"), std::string::npos);
}

TEST(MediumFiles, AreCodePage1252WithCrLf) {
  for (const char* name : {"Setup.inf", "setup.ini", "Licence.txt", "german.lng", "english.lng", "payload/liesmich.txt",
                           "payload/hilfe/hilfe.txt", "payload/hilfe/infrarot.txt"})
    expectCp1252WithCrLf(name);
  // The licence is German and carries its umlauts as single bytes.
  EXPECT_NE(readFile(kMedium + "/Licence.txt").find("\xFC"), std::string::npos);
}

TEST(LanguageFiles, TranslateTheSameKeysInTheSameSections) {
  IniFile german = parseIni(readFile(kMedium + "/german.lng"));
  IniFile english = parseIni(readFile(kMedium + "/english.lng"));
  const std::vector<std::string> expected = {"Form1", "Form2", "Form3", "Form4", "Form5",
                                             "Form6", "Form7", "Form8", "Misc"};
  EXPECT_EQ(german.sections, expected);
  EXPECT_EQ(english.sections, expected);
  for (const std::string& section : expected) {
    SCOPED_TRACE(section);
    std::vector<std::string> g, e;
    for (const auto& kv : german.entries[section]) g.push_back(kv.first);
    for (const auto& kv : english.entries[section]) e.push_back(kv.first);
    EXPECT_EQ(g, e);
    std::set<std::string> unique(g.begin(), g.end());
    EXPECT_EQ(unique.size(), g.size()) << "a key twice: only the first would count";
    for (const auto& [key, value] : english.entries[section]) {
      EXPECT_FALSE(value.empty()) << key;
      if (section != "Misc") {
        EXPECT_EQ(key.rfind(section + ".", 0), 0u) << key;
      }
    }
  }
  std::vector<std::string> keys = {"install_1",
                                   "install_2",
                                   "install_3",
                                   "install_4",
                                   "install_12",
                                   "install_failed",
                                   "install_failed_more",
                                   "install_incomplete",
                                   "install_folder_invalid",
                                   "install_rollback",
                                   "install_not_updated",
                                   "install_not_undone",
                                   "install_recovered",
                                   "install_journal_refused"};
  // The reasons of failed members, for every error code of the unzip library and beyond.
  for (int code = install::kMissingOnDisk; code <= 12; ++code) keys.push_back(install::FailureReason(code).key);
  for (const std::string& key : keys) {
    EXPECT_NE(german.find("Misc", key), nullptr) << key;
    EXPECT_NE(english.find("Misc", key), nullptr) << key;
  }
}

TEST(LanguageFiles, LeaveRunTimeTextsAlone) {
  for (const char* name : {"german.lng", "english.lng"}) {
    SCOPED_TRACE(name);
    IniFile lng = parseIni(readFile(kMedium + "/" + name));
    // The wizard sets its own caption on the language page, and by the time a language
    // is applied the memo holds Licence.txt, the list holds the language files and the
    // labels show paths: entries for them would overwrite that content.
    EXPECT_EQ(lng.find("Form2", "Form2.Caption"), nullptr);
    EXPECT_EQ(lng.find("Form2", "Form2.Label9.Caption"), nullptr);
    EXPECT_EQ(lng.find("Form5", "Form5.Label2.Caption"), nullptr);
    for (const auto& [key, value] : lng.entries["Form2"]) {
      EXPECT_EQ(key.find(".lines["), std::string::npos) << key;
      EXPECT_EQ(key.find(".items["), std::string::npos) << key;
    }
  }
  // Values are not trimmed: the finish page's text keeps its two trailing blanks.
  IniFile german = parseIni(readFile(kMedium + "/german.lng"));
  const std::string* finished = german.find("Form2", "Form2.Label16.Caption");
  ASSERT_NE(finished, nullptr);
  EXPECT_EQ(*finished, "Die Installation wurde erfolgreich abgeschlossen.  ");
}

TEST(SetupInf, NamesFilesThatTheMediumAndPayloadHold) {
  IniFile inf = parseIni(readFile(kMedium + "/Setup.inf"));
  ASSERT_NE(inf.find("Program", "Programname"), nullptr);
  EXPECT_EQ(*inf.find("Program", "Programname"), "Talvenor");
  EXPECT_EQ(*inf.find("Program", "ProgramEntry"), "Software\\Talvenor\\Talvenor");
  EXPECT_EQ(*inf.find("Defaults", "fixed"), "0");
  for (const char* key : {"Sprache", "firstpage"}) {
    const std::string* lng = inf.find("Defaults", key);
    ASSERT_NE(lng, nullptr) << key;
    EXPECT_FALSE(readFile(kMedium + "/" + *lng).empty()) << key;
  }
  // One section serves both the "Uninstall" and the "UnInstall" reads; a second section
  // of the same name would never be read.
  EXPECT_EQ(std::count_if(inf.sections.begin(), inf.sections.end(),
                          [](const std::string& s) { return s == "UnInstall" || s == "Uninstall"; }),
            1);
  EXPECT_EQ(*inf.find("UnInstall", "UninstallString"), "UnInstall.exe");

  std::set<std::string> payload;
  for (const auto& file : art::renderPayload()) payload.insert(file.name);
  payload.insert("liesmich.txt");
  const auto& group = inf.entries["GroupEntries"];
  ASSERT_EQ(group.size(), 2u);
  for (const auto& [name, target] : group) EXPECT_EQ(payload.count(target), 1u) << name;
  const std::string* exe = inf.find("Autostart", "ExeString");
  ASSERT_NE(exe, nullptr);
  EXPECT_EQ(payload.count(exe->substr(0, exe->find(' '))), 1u);
  EXPECT_FALSE(readFile(kMedium + "/payload/liesmich.txt").empty());
}

}  // namespace
