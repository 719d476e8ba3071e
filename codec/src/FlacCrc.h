// The two checksums of a FLAC frame, for the decoder and the writer.
#pragma once

#include <cstddef>
#include <cstdint>

namespace orv::codec::flac {

// CRC-8, polynomial x^8 + x^2 + x + 1, of the frame header.
inline uint8_t Crc8(const uint8_t* p, size_t n) {
  uint8_t crc = 0;
  for (size_t i = 0; i < n; ++i) {
    crc ^= p[i];
    for (int b = 0; b < 8; ++b) crc = static_cast<uint8_t>(crc & 0x80 ? (crc << 1) ^ 0x07 : crc << 1);
  }
  return crc;
}

// CRC-16, polynomial x^16 + x^15 + x^2 + 1, of the whole frame; eight table bytes
// per step keep it off the decoder's profile.
struct Crc16Tables {
  uint16_t t[8][256];
  Crc16Tables() {
    for (int i = 0; i < 256; ++i) {
      uint16_t crc = static_cast<uint16_t>(i << 8);
      for (int b = 0; b < 8; ++b) crc = static_cast<uint16_t>(crc & 0x8000 ? (crc << 1) ^ 0x8005 : crc << 1);
      t[0][i] = crc;
    }
    for (int k = 1; k < 8; ++k)
      for (int i = 0; i < 256; ++i) t[k][i] = static_cast<uint16_t>(t[k - 1][i] << 8 ^ t[0][t[k - 1][i] >> 8]);
  }
};
inline const Crc16Tables kCrc16;

inline uint16_t Crc16(const uint8_t* p, size_t n) {
  const auto& t = kCrc16.t;
  uint16_t crc = 0;
  size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    crc = static_cast<uint16_t>(t[7][p[i] ^ (crc >> 8)] ^ t[6][p[i + 1] ^ (crc & 0xFF)] ^ t[5][p[i + 2]] ^ t[4][p[i + 3]] ^
                                t[3][p[i + 4]] ^ t[2][p[i + 5]] ^ t[1][p[i + 6]] ^ t[0][p[i + 7]]);
  }
  for (; i < n; ++i) crc = static_cast<uint16_t>(crc << 8 ^ t[0][(crc >> 8) ^ p[i]]);
  return crc;
}

}  // namespace orv::codec::flac
