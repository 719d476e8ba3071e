#include "orvcdaudio/RipChecks.h"

#include <array>

namespace orv::cd {

namespace {

constexpr uint32_t kPolynomial = 0xEDB88320u;  // reflected IEEE 802.3
constexpr uint32_t kEdgeSamples = 5 * 588;     // five sectors

// Eight tables: the sum takes eight bytes a step (slicing by eight), which keeps it
// well ahead of the disc reads.
using Tables = std::array<std::array<uint32_t, 256>, 8>;

Tables MakeTables() {
    Tables t{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int bit = 0; bit < 8; ++bit) c = (c & 1) ? kPolynomial ^ (c >> 1) : c >> 1;
        t[0][n] = c;
    }
    for (uint32_t n = 0; n < 256; ++n)
        for (size_t k = 1; k < t.size(); ++k) t[k][n] = (t[k - 1][n] >> 8) ^ t[0][t[k - 1][n] & 0xFF];
    return t;
}

uint32_t Load32(const uint8_t* p) {
    return p[0] | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

}  // namespace

uint32_t Crc32(uint32_t crc, const void* data, size_t bytes) {
    static const Tables t = MakeTables();
    const auto* p = static_cast<const uint8_t*>(data);
    uint32_t c = ~crc;
    for (; bytes >= 8; bytes -= 8, p += 8) {
        const uint32_t low = Load32(p) ^ c;
        const uint32_t high = Load32(p + 4);
        c = t[7][low & 0xFF] ^ t[6][(low >> 8) & 0xFF] ^ t[5][(low >> 16) & 0xFF] ^ t[4][low >> 24] ^
            t[3][high & 0xFF] ^ t[2][(high >> 8) & 0xFF] ^ t[1][(high >> 16) & 0xFF] ^ t[0][high >> 24];
    }
    for (; bytes > 0; --bytes, ++p) c = t[0][(c ^ *p) & 0xFF] ^ (c >> 8);
    return ~c;
}

CAccurateRip::CAccurateRip(uint32_t totalSamples, bool bFirstTrack, bool bLastTrack)
    : m_from(bFirstTrack ? kEdgeSamples : 1),
      m_to(bLastTrack ? (totalSamples > kEdgeSamples ? totalSamples - kEdgeSamples : 0) : totalSamples) {}

void CAccurateRip::Add(const int16_t* samples, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        const uint32_t position = ++m_position;
        if (position < m_from || position > m_to) continue;
        // A stereo sample as one little-endian word: left low, right high.
        const uint32_t value = static_cast<uint16_t>(samples[2 * i]) |
                               static_cast<uint32_t>(static_cast<uint16_t>(samples[2 * i + 1])) << 16;
        const uint64_t product = static_cast<uint64_t>(value) * position;
        m_v1 += static_cast<uint32_t>(product);
        m_v2 += static_cast<uint32_t>(product) + static_cast<uint32_t>(product >> 32);
    }
}

}  // namespace orv::cd
