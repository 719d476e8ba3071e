// MSB-first bit reader over a buffer the caller keeps alive. Reads past the end yield
// zero bits and set an overrun flag, so no caller can read out of bounds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace orv::codec {

class BitReader {
 public:
  BitReader() = default;
  BitReader(const uint8_t* data, size_t bytes) { Reset(data, bytes); }

  void Reset(const uint8_t* data, size_t bytes) {
    m_data = data;
    m_bits = bytes * 8;
    m_pos = 0;
  }

  size_t Position() const { return m_pos; }
  size_t SizeBits() const { return m_bits; }
  bool Overrun() const { return m_pos > m_bits; }
  void Seek(size_t bitPos) { m_pos = bitPos; }
  void Skip(size_t bits) { m_pos += bits; }

  // Up to 32 bits without consuming them.
  uint32_t Peek(int count) const {
    if (count == 0)
      return 0;
    return static_cast<uint32_t>(Window() >> (64 - count));
  }

  uint32_t Read(int count) {
    uint32_t v = Peek(count);
    m_pos += count;
    return v;
  }

  bool ReadBit() { return Read(1) != 0; }

  // 64 bits from the current position, of which at least 57 are the stream's (the
  // rest, and anything past the end, read as zero).
  uint64_t Window() const {
    size_t byte = m_pos >> 3;
    const size_t bytes = m_bits >> 3;
    uint64_t w = 0;
    if (byte + 8 <= bytes) {
      std::memcpy(&w, m_data + byte, sizeof w);
      w = __builtin_bswap64(w);
    } else {
      for (int i = 0; i < 8; ++i, ++byte)
        w = (w << 8) | (byte < bytes ? m_data[byte] : 0);
    }
    return w << (m_pos & 7);
  }

 private:
  const uint8_t* m_data = nullptr;
  size_t m_bits = 0;
  size_t m_pos = 0;
};

}  // namespace orv::codec
