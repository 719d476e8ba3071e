// MSB-first bit writer into a growing byte buffer.
#pragma once

#include <cstdint>
#include <vector>

namespace orv::codec::enc {

class BitWriter {
public:
    void Put(std::uint32_t value, int bitCount);
    void AlignToByte();
    int BitCount() const { return m_bitCount; }
    const std::vector<std::uint8_t>& Bytes() const { return m_bytes; }
    void Clear();

private:
    std::vector<std::uint8_t> m_bytes;
    int m_bitCount = 0;
};

// CRC-16 as MPEG audio uses it (polynomial 0x8005, initial value 0xffff),
// over the bits of a byte range.
std::uint16_t MpegCrc16(std::uint16_t crc, const std::uint8_t* bytes, int bitCount);

} // namespace orv::codec::enc
