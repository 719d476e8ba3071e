#include "BitWriter.h"

#include <algorithm>

namespace orv::codec::enc {

void BitWriter::Put(std::uint32_t value, int bitCount)
{
    if (bitCount <= 0)
        return;
    // The bits lined up below the free bits of the last byte: at most 7 + 32 of 64.
    const int used = m_bitCount & 7;
    const std::uint64_t low = bitCount == 32 ? value : value & ((1u << bitCount) - 1);
    const std::uint64_t bits = low << (64 - used - bitCount);
    if (used != 0)
        m_bytes.back() |= static_cast<std::uint8_t>(bits >> 56);
    const int bytes = (used + bitCount + 7) / 8;
    for (int k = used != 0 ? 1 : 0; k < bytes; ++k)
        m_bytes.push_back(static_cast<std::uint8_t>(bits >> (56 - 8 * k)));
    m_bitCount += bitCount;
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
