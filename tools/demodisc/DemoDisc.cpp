// Composes the demo disc: one FLAC image (16-bit stereo, 44.1 kHz) and its CUE sheet,
// as albums are kept, and the same disc as a BINARY image in <folder>/bin for the
// tests that compare the two. Each track is a drone on its own pitch with a plucked
// tune over it, so a recording tells which track plays.
//   orvdemodisc <folder>
#include "DemoDiscPlan.h"
#include "orvcodec/FlacWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 44100;
constexpr int kSamplesPerFrame = 588;
constexpr int kFramesPerSecond = 75;
constexpr double kPi = 3.14159265358979323846;
constexpr double kDroneLevel = 0.30;
constexpr double kPluckLevel = 0.10;
constexpr double kEdgeSeconds = 0.05;
// Tune steps above the drone (just ratios of a pentatonic scale).
constexpr double kTuneRatios[] = {2.0, 2.25, 2.5, 3.0, 3.375, 4.0};

struct Stereo {
    std::vector<float> left, right;
    explicit Stereo(size_t n) : left(n), right(n) {}
};

void AddDrone(Stereo& mix, const orvdemo::DemoTrack& track) {
    const size_t count = mix.left.size();
    const size_t change = track.laterDroneHz > 0 ? static_cast<size_t>(orvdemo::kDemoChangeSeconds) * kRate : count;
    double phase = 0;
    for (size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double hz = i < change ? track.droneHz : track.laterDroneHz;
        phase += 2 * kPi * hz / kRate;
        const double swell = 0.85 + 0.15 * std::sin(2 * kPi * 0.25 * t);
        const double v = kDroneLevel * swell * (std::sin(phase) + 0.2 * std::sin(2 * phase));
        mix.left[i] += static_cast<float>(v);
        mix.right[i] += static_cast<float>(v);
    }
}

void AddTune(Stereo& mix, const orvdemo::DemoTrack& track, int seed) {
    std::mt19937 random(static_cast<unsigned>(seed));
    std::uniform_int_distribution<size_t> step(0, std::size(kTuneRatios) - 1);
    const double beat = 0.3 + 0.05 * seed;
    const size_t count = mix.left.size();
    for (double start = 0.2; start * kRate < count; start += beat) {
        const double hz = track.droneHz * kTuneRatios[step(random)];
        const double pan = (seed % 2 == 0) ? 0.35 : 0.65;
        const size_t first = static_cast<size_t>(start * kRate);
        const size_t length = std::min(count - first, static_cast<size_t>(0.8 * kRate));
        for (size_t i = 0; i < length; ++i) {
            const double t = static_cast<double>(i) / kRate;
            const double v = kPluckLevel * std::exp(-5.0 * t) * std::sin(2 * kPi * hz * t);
            mix.left[first + i] += static_cast<float>(v * (1 - pan) * 2);
            mix.right[first + i] += static_cast<float>(v * pan * 2);
        }
    }
}

void AppendPcm(std::vector<uint8_t>& out, const Stereo& mix) {
    const size_t count = mix.left.size();
    const size_t edge = static_cast<size_t>(kEdgeSeconds * kRate);
    for (size_t i = 0; i < count; ++i) {
        const double fade = std::min({1.0, static_cast<double>(i) / edge, static_cast<double>(count - i) / edge});
        for (float v : {mix.left[i], mix.right[i]}) {
            const auto s = static_cast<int16_t>(std::lround(std::clamp(v * fade, -1.0, 1.0) * 32000.0));
            out.push_back(static_cast<uint8_t>(s & 0xFF));
            out.push_back(static_cast<uint8_t>((s >> 8) & 0xFF));
        }
    }
}

bool WriteFile(const std::string& path, const void* data, size_t size) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(data, 1, size, f) == size;
    ok = std::fclose(f) == 0 && ok;
    return ok;
}

std::string Msf(int frames) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", frames / (60 * kFramesPerSecond),
                  frames / kFramesPerSecond % 60, frames % kFramesPerSecond);
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: orvdemodisc <folder>\n");
        return 2;
    }
    const std::string folder = argv[1];
    const std::string name = orvdemo::kDemoDiscName;
    std::vector<uint8_t> image;
    std::string tracks;
    int at = 0;  // frames written so far
    for (int n = 0; n < orvdemo::kDemoTrackCount; ++n) {
        const orvdemo::DemoTrack& track = orvdemo::kDemoTracks[n];
        char header[64];
        std::snprintf(header, sizeof header, "  TRACK %02d AUDIO\r\n", n + 1);
        tracks += header;
        tracks += std::string("    TITLE \"") + track.title + "\"\r\n";
        if (track.virtualGap > 0) tracks += "    PREGAP " + Msf(track.virtualGap) + "\r\n";
        if (track.storedGap > 0) {
            tracks += "    INDEX 00 " + Msf(at) + "\r\n";
            image.resize(image.size() + static_cast<size_t>(track.storedGap) * kSamplesPerFrame * 4, 0);
            at += track.storedGap;
        }
        tracks += "    INDEX 01 " + Msf(at) + "\r\n";
        Stereo mix(static_cast<size_t>(track.frames) * kSamplesPerFrame);
        AddDrone(mix, track);
        AddTune(mix, track, n + 1);
        AppendPcm(image, mix);
        at += track.frames;
    }
    const std::string head = "REM COMMENT \"Composed by orvdemodisc\"\r\nPERFORMER \"Orvanta\"\r\nTITLE \"" + name + "\"\r\n";
    const std::string flacCue = head + "FILE \"" + name + ".flac\" WAVE\r\n" + tracks;
    const std::string binCue = head + "FILE \"" + name + ".bin\" BINARY\r\n" + tracks;
    // The samples are little-endian in the image, as on the machines that build it.
    const auto* pcm = reinterpret_cast<const int16_t*>(image.data());
    const bool ok = orv::codec::WriteFlac16(folder + "/" + name + ".flac", pcm, image.size() / 4, 2, kRate) &&
                    WriteFile(folder + "/" + name + ".cue", flacCue.data(), flacCue.size()) &&
                    WriteFile(folder + "/bin/" + name + ".bin", image.data(), image.size()) &&
                    WriteFile(folder + "/bin/" + name + ".cue", binCue.data(), binCue.size());
    if (!ok) {
        std::fprintf(stderr, "orvdemodisc: cannot write the demo disc in %s\n", folder.c_str());
        return 1;
    }
    return 0;
}
