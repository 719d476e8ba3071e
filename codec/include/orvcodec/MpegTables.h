// Constant tables of the MPEG audio standard (ISO/IEC 11172-3 and 13818-3), shared by
// the decoder and the encoder. Pure data: no state, no initialisation order to mind.
#pragma once

#include <cstdint>

namespace orv::codec {

// Versions as the header's two version bits encode them.
enum class MpegVersion : uint8_t { Mpeg25 = 0, Reserved = 1, Mpeg2 = 2, Mpeg1 = 3 };

// Row of the rate tables: 0 = MPEG-1, 1 = MPEG-2, 2 = MPEG-2.5.
int VersionRow(MpegVersion version);

// Bit rates in kbit/s by [MPEG-1 ? 0 : 1][layer - 1][bitrate index]; index 0 is
// free format and index 15 is forbidden (both 0 here).
extern const uint16_t kBitRateKbps[2][3][16];

// Sampling frequencies in Hz by [VersionRow][frequency index]; index 3 is reserved (0).
extern const uint32_t kSampleRateHz[3][4];

// Samples per frame by [VersionRow][layer - 1].
extern const uint16_t kSamplesPerFrame[3][3];

// Layer III scale-factor band boundaries (Tables B.8 of 11172-3, B.2 of 13818-3, and
// the MPEG-2.5 extension). Long: 22 bands over 576 lines; short: 13 bands over 192.
struct ScaleFactorBands {
  uint16_t longBounds[23];
  uint16_t shortBounds[14];
};
// Indexed by VersionRow * 3 + frequency index.
extern const ScaleFactorBands kScaleFactorBands[9];

// Layer III pre-emphasis added to long-block scale factors when preflag is set (B.6).
extern const uint8_t kPreEmphasis[22];

// MPEG-1 scalefac_compress: bits of the scale factors of bands 0-10 and 11-20.
extern const uint8_t kScaleFactorLengths[2][16];

// MPEG-2 LSF scale-factor partitions: [table][block kind: long, short, mixed][partition]
// where the table follows from scalefac_compress (0-2) or intensity stereo (3-5).
extern const uint8_t kLsfPartitionBands[6][3][4];

// One Huffman code word: the low `length` bits of `code`, sent most significant first.
struct HuffmanCode {
  uint8_t length;
  uint32_t code;
};

// A big-values table of Annex B: entries [x * size + y], with linbits for the escape
// value 15 of tables 16 to 31. Tables 0, 4 and 14 are not coded (size 0).
struct HuffmanTable {
  uint8_t size;
  uint8_t linbits;
  const HuffmanCode* codes;
};
constexpr int kHuffmanTableCount = 32;
extern const HuffmanTable kHuffmanTables[kHuffmanTableCount];

// Count1 tables A (32) and B (33), indexed by v * 8 + w * 4 + x * 2 + y.
extern const HuffmanCode kCount1Tables[2][16];

// Layer I and II scale factors: 2^(1 - i/3) for i = 0..62 (Table B.1).
extern const double kLayer12ScaleFactors[63];

// Layer II bit allocation (Tables B.2a-d of 11172-3, B.1 of 13818-3).
struct Layer2AllocationTable {
  uint8_t subbandLimit;
  const uint8_t* allocationBits;   // bits of the allocation field per sub-band
  const uint8_t* const* steps;     // per sub-band: quantisation class of each index
};
// Quantisation classes: steps, bits per code, and whether three codes share one.
struct Layer2Class {
  uint16_t steps;
  uint8_t bits;
  bool grouped;
};
extern const Layer2Class kLayer2Classes[17];
enum Layer2TableId { kLayer2TableA, kLayer2TableB, kLayer2TableC, kLayer2TableD, kLayer2TableLsf };
extern const Layer2AllocationTable kLayer2Tables[5];
// The table a stream uses: by version, frequency index and bit rate per channel.
Layer2TableId Layer2TableFor(MpegVersion version, int frequencyIndex, int kbpsPerChannel);

}  // namespace orv::codec
