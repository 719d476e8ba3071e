// The Info frame that leads our streams: a silent Layer III frame whose main data
// holds the frame and byte counts, a seek table, and the encoder delay and end
// padding in the extension decoders read for gapless playback.
#pragma once

#include <cstdint>
#include <vector>

namespace orv::codec::enc {

struct InfoFrameFields {
    bool lsf = false;
    int sampleRate = 44100;
    int sampleRateIndex = 0;
    int channels = 2;
    bool jointStereo = false;
    int bitRateKbps = 128;            // of the audio frames
    bool final = false;               // false: a placeholder that states no counts
    std::uint32_t audioFrames = 0;
    std::uint32_t streamBytes = 0;    // Info frame and audio frames
    int encoderDelay = 0;             // samples before the first source sample, decoder delay excluded
    int endPadding = 0;               // samples after the last one, decoder delay included
    int lowpassHz = 0;
    std::uint16_t audioCrc = 0;       // of the audio frames' bytes
};

// Decoders add this delay of their own; the stored delay leaves it out.
constexpr int kDecoderDelay = 529;

std::vector<std::uint8_t> BuildInfoFrame(const InfoFrameFields& fields);

// CRC-16 with polynomial 0x8005 in reflected form and initial value 0, as the
// extension's two checksums use it.
std::uint16_t InfoCrc16(std::uint16_t crc, const std::uint8_t* bytes, std::size_t count);

} // namespace orv::codec::enc
