#include "BitWriter.h"

#include <algorithm>

namespace orv::codec::enc {

void BitWriter::Put(std::uint32_t value, int bitCount)
{
    while (bitCount > 0) {
        const int used = m_bitCount & 7;
        if (used == 0)
            m_bytes.push_back(0);
        const int take = std::min(8 - used, bitCount);
        const std::uint32_t chunk = (value >> (bitCount - take)) & ((1u << take) - 1);
        m_bytes.back() |= static_cast<std::uint8_t>(chunk << (8 - used - take));
        m_bitCount += take;
        bitCount -= take;
    }
}

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
