// MSB-first bit writer into a growing byte buffer.
#pragma once

#include <cstdint>
#include <vector>

namespace orv::codec::enc {

class BitWriter {
public:
    // Inline: the Huffman coder calls it for every code.
    void Put(std::uint32_t value, int bitCount)
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
