// What a rip log states about a track's audio: the CRC32 of its bytes (the zip
// polynomial), and the AccurateRip v1 and v2 checksums by which other rips of the
// same pressing are compared.
#pragma once

#include <cstddef>
#include <cstdint>

namespace orv::cd {

// Continues crc (0 to start) over bytes.
uint32_t Crc32(uint32_t crc, const void* data, size_t bytes);

// Both AccurateRip checksums of one track, fed its stereo samples in order. The
// disc's first track leaves out its first five sectors but one sample and its last
// track its last five sectors, which drives with different offsets do not all read.
class CAccurateRip {
public:
    CAccurateRip(uint32_t totalSamples, bool bFirstTrack, bool bLastTrack);
    // count stereo samples, interleaved left and right.
    void Add(const int16_t* samples, size_t count);
    uint32_t V1() const { return m_v1; }
    uint32_t V2() const { return m_v2; }

private:
    uint32_t m_position = 0;  // 1-based position of the next sample
    uint32_t m_from;          // first and last position counted
    uint32_t m_to;
    uint32_t m_v1 = 0;
    uint32_t m_v2 = 0;
};

}  // namespace orv::cd
