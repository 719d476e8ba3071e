// Rips every audio track of a disc image as the ripper control does (a second of
// frames per read, written as WAVE, with the CRC32 and AccurateRip sums, then the
// test read of the same frames) and prints how many times real time it ran.
//   ripbench <sheet.cue> <folder for the WAVE files>
#include <orvcdaudio/DiscImage.h>
#include <orvcdaudio/RipChecks.h>
#include <orvcodec/WaveFile.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: ripbench <sheet.cue> <folder>\n");
        return 2;
    }
    orv::cd::CDiscImage disc;
    std::string error;
    if (!disc.Load(argv[1], error)) {
        std::fprintf(stderr, "ripbench: %s\n", error.c_str());
        return 1;
    }
    constexpr int32_t kChunkFrames = 75;
    std::vector<int16_t> samples(static_cast<size_t>(kChunkFrames) * orv::cd::kSamplesPerFrame * 2);
    double audioSeconds = 0;
    const auto start = std::chrono::steady_clock::now();
    for (const orv::cd::TocTrack& track : disc.Tracks()) {
        if (!track.audio) continue;
        orv::codec::WaveWriter writer;
        const std::string target = std::string(argv[2]) + "/track" + std::to_string(track.number) + ".wav";
        if (!writer.Open(target, 2, 44100)) {
            std::fprintf(stderr, "ripbench: cannot write %s\n", target.c_str());
            return 1;
        }
        const size_t trackSamples = static_cast<size_t>(track.length) * orv::cd::kSamplesPerFrame;
        orv::cd::CAccurateRip accurateRip(static_cast<uint32_t>(trackSamples), track.number == 1,
                                          &track == &disc.Tracks().back());
        uint32_t copyCrc = 0, testCrc = 0;
        for (int pass = 0; pass < 2; ++pass) {
            for (int32_t done = 0; done < track.length; done += kChunkFrames) {
                const int32_t n = std::min(kChunkFrames, track.length - done);
                if (!disc.ReadFrames(track.start + done, n, samples.data())) {
                    std::fprintf(stderr, "ripbench: track %d cannot be read at frame %d\n", track.number, disc.FailedFrame());
                    return 1;
                }
                const size_t count = static_cast<size_t>(n) * orv::cd::kSamplesPerFrame;
                uint32_t& crc = pass == 0 ? copyCrc : testCrc;
                crc = orv::cd::Crc32(crc, samples.data(), count * 2 * sizeof(int16_t));
                if (pass == 1) continue;
                accurateRip.Add(samples.data(), count);
                writer.Write(samples.data(), count);
            }
        }
        if (copyCrc != testCrc) std::fprintf(stderr, "ripbench: track %d reads differently twice\n", track.number);
        writer.Close();
        audioSeconds += track.length / 75.0;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("ripbench: %.0f s of audio in %.0f ms: %.0fx real time\n", audioSeconds, seconds * 1000, audioSeconds / seconds);
    return 0;
}
