// The parameter block of both layouts, byte for byte, against offsets written out here.
#include "unzip_abi.h"

#include <gtest/gtest.h>

using namespace unzipabi;

namespace {

using Bytes = std::vector<uint8_t>;

void Put(Bytes& b, size_t at, int32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(uint32_t(v) >> (8 * i));
}

BlockValues Sample() {
  BlockValues v;
  v.ownerWindow = 0x11223344;
  v.caller = 0x55;
  v.callback = 0x10001000;
  v.password = 0x00200000;
  v.test = true;
  v.verbose = true;
  v.freshen = true;
  v.dirNames = true;
  v.overwrite = true;
  v.archiveName = 0x00300000;
  v.specRecords = 0x00400000;
  v.specTexts = {0x00500000, 0x00600000};
  return v;
}

// The head shared by both layouts for Sample().
void PutHead(Bytes& b) {
  Put(b, 0, 0x11223344);
  Put(b, 4, 0x55);
  Put(b, 8, 152);
  Put(b, 12, 0x10001000);
  Put(b, 16, 0);           // trace
  Put(b, 24, 0x00200000);  // password buffer
  Put(b, 28, -1);          // test
  Put(b, 40, -1);
  Put(b, 44, -1);          // verbose
  Put(b, 48, 0);           // update
  Put(b, 52, -1);          // freshen
  Put(b, 56, -1);          // folder names
  Put(b, 60, -1);          // overwrite
  Put(b, 64, 2);           // specification count
  Put(b, 68, 0x00300000);  // archive name
}

}  // namespace

TEST(BuildBlock, NewerLayoutByteForByte) {
  Bytes expected(148, 0);
  PutHead(expected);
  Put(expected, 72, 0x00400000);
  Put(expected, 144, 7);
  EXPECT_EQ(BuildBlock(152, Sample()), expected);
  EXPECT_EQ(BuildBlock(160, Sample()), expected);
}

TEST(BuildBlock, OlderLayoutByteForByte) {
  Bytes expected(16464, 0);
  PutHead(expected);
  Put(expected, 72, 7);
  Put(expected, 76, 0x00500000);
  Put(expected, 80, 0x00600000);
  EXPECT_EQ(BuildBlock(151, Sample()), expected);
  EXPECT_EQ(BuildBlock(110, Sample()), expected);
}

TEST(BuildBlock, UpdateWinsOverFreshen) {
  BlockValues v = Sample();
  v.update = true;
  v.freshen = true;
  for (int32_t version : {151, 152}) {
    const Bytes b = BuildBlock(version, v);
    EXPECT_EQ(GetI32(&b[48]), -1) << version;
    EXPECT_EQ(GetI32(&b[52]), 0) << version;
  }
  v.update = false;
  EXPECT_EQ(GetI32(&BuildBlock(152, v)[52]), -1);
}

TEST(BuildBlock, TraceSwitchesVerboseOn) {
  BlockValues v = Sample();
  v.verbose = false;
  EXPECT_EQ(GetI32(&BuildBlock(152, v)[44]), 0);
  v.trace = true;
  const Bytes b = BuildBlock(152, v);
  EXPECT_EQ(GetI32(&b[16]), -1);
  EXPECT_EQ(GetI32(&b[44]), -1);
}

TEST(BuildBlock, SevenClosesEitherLayoutAndNoSpecificationsCountZero) {
  BlockValues v;
  const Bytes newer = BuildBlock(152, v);
  EXPECT_EQ(GetI32(&newer[newer.size() - 4]), 7);
  EXPECT_EQ(GetI32(&newer[64]), 0);
  EXPECT_EQ(GetI32(&newer[8]), 152);
  EXPECT_EQ(GetI32(&newer[40]), -1);
  const Bytes older = BuildBlock(151, v);
  EXPECT_EQ(GetI32(&older[72]), 7);
  EXPECT_EQ(GetI32(&older[64]), 0);
  EXPECT_EQ(GetI32(&older[76]), 0);
}

TEST(BuildBlock, OlderLayoutHoldsAtMostItsAddressSlots) {
  BlockValues v;
  v.specTexts.assign(block::kOldMaxSpecs + 5, 0x1234);
  const Bytes b = BuildBlock(151, v);
  ASSERT_EQ(b.size(), 16464u);
  EXPECT_EQ(size_t(GetI32(&b[64])), block::kOldMaxSpecs);
  EXPECT_EQ(GetI32(&b[b.size() - 4]), 0x1234);
}

TEST(BuildSpecRecords, SeventyTwoBytesPerSpecificationAddressFirst) {
  const Bytes r = BuildSpecRecords({0x00A00000, 0x00B00000, 0x00C00000});
  ASSERT_EQ(r.size(), 3u * 72);
  Bytes expected(3 * 72, 0);
  Put(expected, 0, 0x00A00000);
  Put(expected, 72, 0x00B00000);
  Put(expected, 144, 0x00C00000);
  EXPECT_EQ(r, expected);
  EXPECT_TRUE(BuildSpecRecords({}).empty());
}
