#include "BitWriter.h"

#include <algorithm>

namespace orv::codec::enc {

void BitWriter::AlignToByte()
{
    m_bitCount = (m_bitCount + 7) & ~7;
}

void BitWriter::Clear()
{
    m_bytes.clear();
    m_bitCount = 0;
}

std::uint16_t MpegCrc16(std::uint16_t crc, const std::uint8_t* bytes, int bitCount)
{
    for (int i = 0; i < bitCount; ++i) {
        const bool bit = (bytes[i >> 3] >> (7 - (i & 7))) & 1;
        const bool top = (crc & 0x8000) != 0;
        crc = static_cast<std::uint16_t>(crc << 1);
        if (bit != top)
            crc ^= 0x8005;
    }
    return crc;
}

} // namespace orv::codec::enc
