// Header and side-information layout of Layer III frames, and the bit
// reservoir that lets a frame's main data start in earlier frames.
#pragma once

#include "BitWriter.h"
#include "GranuleCoding.h"

#include <cstdint>
#include <deque>
#include <vector>

namespace orv::codec::enc {

struct FrameHeader {
    bool lsf = false;
    int bitRateIndex = 0;
    int sampleRateIndex = 0;
    bool padding = false;
    bool crc = false;
    int channels = 2;
    bool jointStereo = false;
    bool midSide = false;
};

void WriteHeader(BitWriter& out, const FrameHeader& header);
int SideInfoBytes(bool lsf, int channels);
// granules[gr][ch]; scfsi[ch][group] (MPEG-1 only).
void WriteSideInfo(BitWriter& out, const FrameHeader& header, int mainDataBegin,
                   const GranuleCoding granules[2][2], const bool scfsi[2][4]);
// Part 2 of one granule and channel.
void WriteScaleFactors(BitWriter& out, bool lsf, const GranuleCoding& g, int granule, const bool* scfsi);

// Frames wait here until no later frame can put main data into them.
class Reservoir {
public:
    void Reset(int maxBackBytes, int limitBytes);
    // Bytes of earlier slots the next frame may use.
    int Available() const;
    int MaxBytes() const { return m_maxBackBytes < m_limitBytes ? m_maxBackBytes : m_limitBytes; }
    // Queues a frame: its header and side info, then slotBytes of main-data slot;
    // writes mainData starting mainDataBegin bytes before that slot.
    void AddFrame(const std::vector<std::uint8_t>& headerAndSide, int slotBytes, int mainDataBegin,
                  const std::vector<std::uint8_t>& mainData, int mainBits);
    // Moves finished frames to out; with all, every queued frame.
    void Release(std::vector<std::uint8_t>& out, bool all);

private:
    struct Pending {
        std::vector<std::uint8_t> bytes;
        std::int64_t slotStart;     // position of the slot in the main-data stream
        int slotOffset;             // where the slot begins in bytes
        int slotBytes;
    };
    void PutMainByte(std::int64_t position, std::uint8_t value);

    std::deque<Pending> m_pending;
    std::int64_t m_slotEnd = 0;     // main-data stream position after the last slot
    std::int64_t m_dataEnd = 0;     // end of the last frame's main data
    int m_maxBackBytes = 511;
    int m_limitBytes = 0;
};

} // namespace orv::codec::enc
