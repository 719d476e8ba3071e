// MPEG audio Layer III encoder: CBR, MPEG-1 (32/44.1/48 kHz) and MPEG-2 low
// sampling rates (16/22.05/24 kHz), mono, stereo or joint (mid/side) stereo.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace orv::codec {

enum class Mp3ChannelMode {
    Auto,         // joint stereo for two channels, mono for one
    Mono,         // downmixes a stereo source
    Stereo,       // two independent channels
    JointStereo   // mid/side chosen frame by frame
};

struct Mp3EncoderSettings {
    int inputRate = 44100;        // Hz, any rate from 4000 to 192000
    int inputChannels = 2;        // 1 or 2
    int inputBits = 16;           // 8 (unsigned), 16 or 24 (signed), little-endian PCM
    // Output rate in Hz, 0 for the source's. Rates the format lacks become the
    // nearest of 16000, 22050, 24000, 32000, 44100 and 48000; with lowRate set
    // a rate of 44100 or more becomes 22050. Below 32000 the stream is MPEG-2.
    int outputRate = 0;
    bool lowRate = false;
    // kbit/s; a rate the stream's MPEG version lacks becomes its nearest one
    // (MPEG-2 ends at 160).
    int bitRateKbps = 128;
    Mp3ChannelMode channelMode = Mp3ChannelMode::Auto;
    bool crc = false;
    std::uint64_t totalInputFrames = 0;   // sample frames the caller will feed, for progress
};

enum class Mp3EncoderError {
    None,
    BadChannels,
    BadSampleSize,
    BadInputRate,
    BadBitRate,
    NotConfigured
};

// What the encoder actually writes once the settings are made sound.
struct Mp3StreamFormat {
    int mpegVersion = 1;          // 1, or 2 for the low sampling rates
    int sampleRate = 0;
    int bitRateKbps = 0;
    int channels = 0;             // coded channels
    bool jointStereo = false;
    int frameSamples = 0;         // 1152 or 576
};

const char* Mp3EncoderErrorText(Mp3EncoderError error);

// Maps what a user interface can ask for onto what the format can carry: the
// output rate becomes a supported one, the bit rate the nearest of the version.
Mp3EncoderError ResolveMp3Format(const Mp3EncoderSettings& settings, Mp3StreamFormat& format);

class Mp3EncoderImpl;

// One encoder per stream. Encode() and Flush() append whole bytes of the stream to
// the caller's vector; the encoder owns nothing of the caller's. The stream starts
// with an Info frame that states no counts; after Flush(), InfoFrame() gives its
// final bytes (same size), which the caller writes over the stream's first bytes so
// that other programs know the frame count and trim the encoder delay and padding.
class Mp3Encoder {
public:
    Mp3Encoder();
    ~Mp3Encoder();
    Mp3Encoder(const Mp3Encoder&) = delete;
    Mp3Encoder& operator=(const Mp3Encoder&) = delete;

    // Starts a new stream; any previous one is dropped.
    Mp3EncoderError Configure(const Mp3EncoderSettings& settings);
    const Mp3StreamFormat& Format() const;

    // Interleaved PCM in the input format; any byte count, partial sample
    // frames are kept for the next call.
    Mp3EncoderError Encode(const void* pcm, std::size_t byteCount, std::vector<std::uint8_t>& out);
    // Interleaved samples in [-1, 1) at the input rate, whatever the input bits.
    Mp3EncoderError EncodeFloat(const float* samples, std::size_t frames, std::vector<std::uint8_t>& out);
    // Pads the stream end with silence and writes the remaining frames.
    Mp3EncoderError Flush(std::vector<std::uint8_t>& out);

    // Progress in input sample frames: Total() is the caller's announced count
    // (at least 1 once configured), Position() the frames consumed so far.
    std::uint64_t Total() const;
    std::uint64_t Position() const;
    std::uint64_t FramesWritten() const;  // audio frames, the Info frame not counted

    // False before Flush().
    bool InfoFrame(std::vector<std::uint8_t>& frame) const;
    // Puts the final Info frame over the start of a whole stream held in memory.
    bool CompleteStream(std::vector<std::uint8_t>& stream) const;

private:
    std::unique_ptr<Mp3EncoderImpl> m_impl;
};

} // namespace orv::codec
