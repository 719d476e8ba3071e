// The tables are transcribed data: check the properties the standard guarantees.
#include "orvcodec/MpegTables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace orv::codec;

namespace {

std::string Bits(const HuffmanCode& c) {
  std::string s;
  for (int i = c.length - 1; i >= 0; --i)
    s += ((c.code >> i) & 1) ? '1' : '0';
  return s;
}

// A complete prefix code: no word starts another, and the Kraft sum is exactly 1.
void ExpectCompletePrefixCode(const HuffmanCode* codes, int count, const std::string& name) {
  std::vector<std::string> words;
  double kraft = 0;
  for (int i = 0; i < count; ++i) {
    ASSERT_GT(codes[i].length, 0) << name << " entry " << i;
    ASSERT_LE(codes[i].length, 19) << name << " entry " << i;
    ASSERT_LT(codes[i].code, 1u << codes[i].length) << name << " entry " << i;
    words.push_back(Bits(codes[i]));
    kraft += 1.0 / double(1u << codes[i].length);
  }
  std::sort(words.begin(), words.end());
  for (size_t i = 1; i < words.size(); ++i)
    EXPECT_NE(words[i].rfind(words[i - 1], 0), 0u) << name << ": " << words[i - 1] << " prefixes " << words[i];
  EXPECT_DOUBLE_EQ(kraft, 1.0) << name;
}

}  // namespace

TEST(MpegTables, HuffmanTablesAreCompletePrefixCodes) {
  for (int t = 0; t < kHuffmanTableCount; ++t) {
    const HuffmanTable& table = kHuffmanTables[t];
    if (t == 0 || t == 4 || t == 14) {
      EXPECT_EQ(table.size, 0) << t;
      continue;
    }
    ExpectCompletePrefixCode(table.codes, table.size * table.size, "table " + std::to_string(t));
  }
  ExpectCompletePrefixCode(kCount1Tables[0], 16, "count1 A");
  ExpectCompletePrefixCode(kCount1Tables[1], 16, "count1 B");
}

TEST(MpegTables, HuffmanSpotValuesAndLinbits) {
  // A few entries of Annex B read off the standard's listing.
  EXPECT_EQ(Bits(kHuffmanTables[1].codes[1]), "001");
  EXPECT_EQ(Bits(kHuffmanTables[13].codes[15 * 16 + 12]), "0000000000000000001");
  EXPECT_EQ(Bits(kHuffmanTables[6].codes[1 * 4 + 0]), "110");
  EXPECT_EQ(kHuffmanTables[16].linbits, 1);
  EXPECT_EQ(kHuffmanTables[23].linbits, 13);
  EXPECT_EQ(kHuffmanTables[24].linbits, 4);
  EXPECT_EQ(kHuffmanTables[31].linbits, 13);
  EXPECT_EQ(kHuffmanTables[15].linbits, 0);
}

TEST(MpegTables, ScaleFactorBandsCoverTheGranule) {
  for (const ScaleFactorBands& bands : kScaleFactorBands) {
    EXPECT_EQ(bands.longBounds[0], 0);
    EXPECT_EQ(bands.longBounds[22], 576);
    EXPECT_EQ(bands.shortBounds[13], 192);
    EXPECT_TRUE(std::is_sorted(std::begin(bands.longBounds), std::end(bands.longBounds)));
    EXPECT_TRUE(std::adjacent_find(std::begin(bands.shortBounds), std::end(bands.shortBounds),
                                   std::greater_equal<uint16_t>()) == std::end(bands.shortBounds));
  }
}

TEST(MpegTables, RatesAndLayer2Allocation) {
  EXPECT_EQ(kBitRateKbps[0][2][9], 128);
  EXPECT_EQ(kBitRateKbps[0][1][14], 384);
  EXPECT_EQ(kBitRateKbps[1][2][14], 160);
  EXPECT_EQ(kSampleRateHz[2][2], 8000u);
  EXPECT_NEAR(kLayer12ScaleFactors[3], 1.0, 1e-15);
  EXPECT_EQ(Layer2TableFor(MpegVersion::Mpeg1, 0, 96), kLayer2TableB);
  EXPECT_EQ(Layer2TableFor(MpegVersion::Mpeg1, 1, 96), kLayer2TableA);
  EXPECT_EQ(Layer2TableFor(MpegVersion::Mpeg1, 0, 64), kLayer2TableA);
  EXPECT_EQ(Layer2TableFor(MpegVersion::Mpeg1, 2, 32), kLayer2TableD);
  EXPECT_EQ(Layer2TableFor(MpegVersion::Mpeg2, 0, 32), kLayer2TableLsf);
  // Every allocation index that can be coded names a class.
  for (const Layer2AllocationTable& table : kLayer2Tables)
    for (int sb = 0; sb < table.subbandLimit; ++sb)
      for (int a = 1; a < (1 << table.allocationBits[sb]); ++a)
        EXPECT_LT(table.steps[sb][a], 17) << int(table.subbandLimit) << " " << sb << " " << a;
}
