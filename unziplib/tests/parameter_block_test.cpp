#include "parameter_block.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// The calling process's memory: words and texts at made-up addresses.
class FakeMemory : public unzip::CallerMemory {
 public:
  std::map<uint32_t, std::string> texts;
  std::vector<uint8_t> records;
  uint32_t recordsAddress = 0x50000;

  uint32_t Word(uint32_t address) override {
    const size_t at = address - recordsAddress;
    return uint32_t(unzipabi::GetI32(&records.at(at)));
  }
  std::string Text(uint32_t address, size_t maxLength) override { return texts.at(address).substr(0, maxLength); }
};

unzipabi::BlockValues Values(FakeMemory& memory, std::vector<std::string> specs) {
  unzipabi::BlockValues v;
  v.caller = 0x1234;
  v.callback = 0x401000;
  v.password = 0x30000;
  memory.texts[v.password] = "geheim";
  v.archiveName = 0x20000;
  memory.texts[v.archiveName] = "C:\\Medium\\Setup.zip";
  for (size_t i = 0; i < specs.size(); ++i) {
    v.specTexts.push_back(0x60000 + uint32_t(i) * 0x100);
    memory.texts[v.specTexts.back()] = specs[i];
  }
  v.specRecords = memory.recordsAddress;
  memory.records = unzipabi::BuildSpecRecords(v.specTexts);
  return v;
}

}  // namespace

TEST(ParameterBlock, ReadsWhatTheComponentBuilds) {
  FakeMemory memory;
  unzipabi::BlockValues v = Values(memory, {"*.*", "bin\\*.exe"});
  v.dirNames = true;
  v.overwrite = true;
  v.update = true;
  v.freshen = true;
  const std::vector<uint8_t> block = unzipabi::BuildBlock(160, v);

  unzip::BlockContents got;
  ASSERT_EQ(unzip::ReadBlock(block.data(), memory, got), unzip::BlockStatus::kOk);
  EXPECT_EQ(got.caller, 0x1234u);
  EXPECT_EQ(got.callback, 0x401000u);
  EXPECT_EQ(got.archiveName, "C:\\Medium\\Setup.zip");
  EXPECT_EQ(got.options.password, "geheim");
  EXPECT_TRUE(got.options.dirNames);
  EXPECT_TRUE(got.options.overwrite);
  EXPECT_TRUE(got.options.update);
  EXPECT_FALSE(got.options.freshen);
  EXPECT_FALSE(got.options.test);
  EXPECT_FALSE(got.options.verbose);
  EXPECT_EQ(got.options.fileSpecs, (std::vector<std::string>{"*.*", "bin\\*.exe"}));
}

TEST(ParameterBlock, TestAndTraceFlags) {
  FakeMemory memory;
  unzipabi::BlockValues v = Values(memory, {});
  v.test = true;
  v.trace = true;
  v.freshen = true;
  const std::vector<uint8_t> block = unzipabi::BuildBlock(160, v);
  unzip::BlockContents got;
  ASSERT_EQ(unzip::ReadBlock(block.data(), memory, got), unzip::BlockStatus::kOk);
  EXPECT_TRUE(got.options.test);
  EXPECT_TRUE(got.options.verbose);
  EXPECT_TRUE(got.options.freshen);
  EXPECT_TRUE(got.options.fileSpecs.empty());
}

TEST(ParameterBlock, PasswordIsCutAtEightyCharacters) {
  FakeMemory memory;
  unzipabi::BlockValues v = Values(memory, {"*.*"});
  memory.texts[v.password] = std::string(100, 'p');
  const std::vector<uint8_t> block = unzipabi::BuildBlock(160, v);
  unzip::BlockContents got;
  ASSERT_EQ(unzip::ReadBlock(block.data(), memory, got), unzip::BlockStatus::kOk);
  EXPECT_EQ(got.options.password, std::string(80, 'p'));
}

TEST(ParameterBlock, UnusableBlocksAreRecognised) {
  FakeMemory memory;
  unzipabi::BlockValues v = Values(memory, {"*.*"});
  unzip::BlockContents got;
  EXPECT_EQ(unzip::ReadBlock(nullptr, memory, got), unzip::BlockStatus::kMissing);

  // The older layout: no closing mark at the newer layout's place.
  const std::vector<uint8_t> old = unzipabi::BuildBlock(151, v);
  EXPECT_EQ(unzip::ReadBlock(old.data(), memory, got), unzip::BlockStatus::kWrongLayout);
  EXPECT_EQ(got.callback, 0x401000u);  // still known, to report the problem

  v.archiveName = 0;
  const std::vector<uint8_t> noName = unzipabi::BuildBlock(160, v);
  EXPECT_EQ(unzip::ReadBlock(noName.data(), memory, got), unzip::BlockStatus::kNoArchiveName);

  v.archiveName = 0x20000;
  std::vector<uint8_t> negative = unzipabi::BuildBlock(160, v);
  unzipabi::PutI32(negative.data() + unzipabi::block::kSpecCount, -5);
  EXPECT_EQ(unzip::ReadBlock(negative.data(), memory, got), unzip::BlockStatus::kWrongLayout);
}
