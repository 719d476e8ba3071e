// Signals, encoding and reference-decoder helpers for the encoder tests.
#pragma once

#include "orvcodec/Mp3Encoder.h"

#include <cstdint>
#include <string>
#include <vector>

namespace enctest {

struct Pcm {
    int rate = 44100;
    int channels = 2;
    std::vector<float> samples;   // interleaved, [-1, 1)
    std::size_t Frames() const { return channels ? samples.size() / channels : 0; }
    float At(std::size_t frame, int channel) const { return samples[frame * channels + channel]; }
};

Pcm Sine(int rate, int channels, double seconds, double hz, double amplitude);
Pcm Sweep(int rate, int channels, double seconds, double fromHz, double toHz, double amplitude);
Pcm PinkNoise(int rate, int channels, double seconds, double amplitude, unsigned seed = 1);
// Short decaying noise bursts on silence, like castanets; onsets at every `period` seconds.
Pcm Castanets(int rate, int channels, double seconds, double period, double amplitude);
Pcm Silence(int rate, int channels, double seconds);

std::vector<std::uint8_t> ToPcmBytes(const Pcm& pcm, int bits);
void WriteWave(const std::string& path, const Pcm& pcm, int bits);

// Encodes raw PCM bytes in pieces of `chunk` bytes (0: all at once).
std::vector<std::uint8_t> Encode(const Pcm& pcm, int bits, orv::codec::Mp3EncoderSettings settings,
                                 std::size_t chunk = 0);

struct FrameInfo {
    int version = 0;          // 1 or 2
    int bitRateKbps = 0;
    int sampleRate = 0;
    int mode = 0;             // 0 stereo, 1 joint, 3 mono
    int modeExtension = 0;
    bool crc = false;
    int bytes = 0;
};
// Walks the stream header by header; false (with a reason) unless it parses to the end
// exactly, or the stream does not start with an Info frame. The Info frame is not listed.
bool WalkFrames(const std::vector<std::uint8_t>& stream, std::vector<FrameInfo>& frames, std::string& reason);

std::string TempDir();
void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

struct Decoded {
    bool ran = false;
    std::string diagnostics;  // error and warning lines the decoder printed
    Pcm pcm;
};
Decoded DecodeWithMpg123(const std::string& mp3);
Decoded DecodeWithFfmpeg(const std::string& mp3);
Decoded DecodeWithLame(const std::string& mp3);
Decoded DecodeWithOurs(const std::string& mp3);
Pcm ReadWave(const std::string& path);

// Offset of `decoded` against `reference` (channel 0) by cross-correlation.
int FindDelay(const Pcm& reference, const Pcm& decoded, int maxLag);
// Signal to noise ratio in dB over reference frames [from, to).
double SnrDb(const Pcm& reference, const Pcm& decoded, int delay, int channel, std::size_t from, std::size_t to);
// Level of one frequency in dB relative to a full-scale sine (Hann-windowed).
double ToneDb(const Pcm& pcm, int channel, double hz, std::size_t from, std::size_t count);
double RmsDb(const Pcm& pcm, int channel, std::size_t from, std::size_t count);

} // namespace enctest
