// mp3enc IN.wav OUT.mp3 [-b KBPS] [-r RATE] [-m j|s|m] [-c]
// Encodes a WAVE file to MPEG audio Layer III, for checking the encoder from a shell.
#include "orvcodec/Mp3Encoder.h"
#include "orvcodec/WaveFile.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using namespace orv::codec;

namespace {

constexpr std::size_t kChunkFrames = 4096;

int Usage()
{
    std::fprintf(stderr, "usage: mp3enc IN.wav OUT.mp3 [-b KBPS] [-r RATE] [-m j|s|m] [-c]\n"
                         "  -b  bit rate in kbit/s (default 128)\n"
                         "  -r  output sample rate in Hz (default: the source's)\n"
                         "  -m  joint stereo (default), plain stereo or mono\n"
                         "  -c  protect frames with a CRC\n");
    return 2;
}

bool ParseInt(const char* text, int& value)
{
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (!end || *end || end == text || v < 0 || v > 1000000)
        return false;
    value = int(v);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
        return Usage();
    Mp3EncoderSettings settings;
    for (int i = 3; i < argc; ++i) {
        const std::string option = argv[i];
        const bool hasValue = i + 1 < argc;
        if (option == "-b" && hasValue) {
            if (!ParseInt(argv[++i], settings.bitRateKbps)) return Usage();
        } else if (option == "-r" && hasValue) {
            if (!ParseInt(argv[++i], settings.outputRate)) return Usage();
        } else if (option == "-m" && hasValue) {
            const std::string mode = argv[++i];
            if (mode == "j") settings.channelMode = Mp3ChannelMode::JointStereo;
            else if (mode == "s") settings.channelMode = Mp3ChannelMode::Stereo;
            else if (mode == "m") settings.channelMode = Mp3ChannelMode::Mono;
            else return Usage();
        } else if (option == "-c") {
            settings.crc = true;
        } else {
            return Usage();
        }
    }

    WaveReader reader;
    const WaveStatus status = reader.Open(argv[1]);
    if (status != WaveStatus::Ok) {
        std::fprintf(stderr, "mp3enc: %s: %s\n", argv[1], WaveStatusText(status));
        return 1;
    }
    const WaveFormat& wave = reader.Format();
    settings.inputRate = int(wave.samplesPerSec);
    settings.inputChannels = wave.channels;
    settings.inputBits = 16;   // samples arrive as floats; the size only matters for raw PCM
    settings.totalInputFrames = reader.FrameCount();
    settings.lowRate = settings.outputRate > 0 && settings.outputRate < 44100;

    Mp3Encoder encoder;
    const Mp3EncoderError error = encoder.Configure(settings);
    if (error != Mp3EncoderError::None) {
        std::fprintf(stderr, "mp3enc: %s\n", Mp3EncoderErrorText(error));
        return 1;
    }
    std::FILE* out = std::fopen(argv[2], "wb");
    if (!out) {
        std::fprintf(stderr, "mp3enc: cannot create %s\n", argv[2]);
        return 1;
    }
    if (reader.IsTruncated())
        std::fprintf(stderr, "mp3enc: %s is truncated; encoding what is there\n", argv[1]);

    std::vector<float> samples(kChunkFrames * wave.channels);
    std::vector<std::uint8_t> bytes;
    bool ok = true;
    for (;;) {
        const std::size_t frames = reader.ReadFloat(samples.data(), kChunkFrames);
        if (frames == 0)
            break;
        bytes.clear();
        encoder.EncodeFloat(samples.data(), frames, bytes);
        ok = ok && std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    }
    bytes.clear();
    encoder.Flush(bytes);
    ok = ok && std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    ok = ok && encoder.InfoFrame(bytes) && std::fseek(out, 0, SEEK_SET) == 0 &&
         std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    ok = std::fclose(out) == 0 && ok;
    if (!ok) {
        std::fprintf(stderr, "mp3enc: writing %s failed\n", argv[2]);
        return 1;
    }
    const Mp3StreamFormat& f = encoder.Format();
    std::fprintf(stderr, "mp3enc: MPEG-%d Layer III, %d Hz, %d kbit/s, %s, %llu frames\n", f.mpegVersion,
                 f.sampleRate, f.bitRateKbps, f.channels == 1 ? "mono" : f.jointStereo ? "joint stereo" : "stereo",
                 static_cast<unsigned long long>(encoder.FramesWritten()));
    return 0;
}
