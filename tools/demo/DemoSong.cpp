// Composes a short piece (pad chords, a plucked melody and a soft pulse) and
// writes it as an MP3 file with an ID3v1 tag.
#include <orvcodec/Mp3Encoder.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

namespace {

constexpr int kRate = 44100;
constexpr double kPi = 3.14159265358979323846;
constexpr double kBeatSeconds = 0.5;     // 120 beats per minute
constexpr int kBeatsPerChord = 4;
constexpr int kGenreNewAge = 10;

double MidiToHz(int note) { return 440.0 * std::pow(2.0, (note - 69) / 12.0); }

struct Stereo {
    std::vector<float> left, right;
    explicit Stereo(size_t frames) : left(frames), right(frames) {}
    void Add(size_t at, double l, double r) {
        if (at >= left.size()) return;
        left[at] += static_cast<float>(l);
        right[at] += static_cast<float>(r);
    }
};

// A warm pad: three slightly detuned sines with soft attack and release.
void AddPadChord(Stereo& mix, double start, double length, const std::array<int, 3>& notes) {
    const size_t first = static_cast<size_t>(start * kRate);
    const size_t count = static_cast<size_t>(length * kRate);
    for (size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double env = std::min({1.0, t / 0.4, (length - t) / 0.5});
        double l = 0, r = 0;
        for (size_t n = 0; n < notes.size(); ++n) {
            const double f = MidiToHz(notes[n]);
            l += std::sin(2 * kPi * f * 0.998 * t) + 0.3 * std::sin(4 * kPi * f * t);
            r += std::sin(2 * kPi * f * 1.002 * t) + 0.3 * std::sin(4 * kPi * f * t);
        }
        mix.Add(first + i, 0.045 * env * l, 0.045 * env * r);
    }
}

// A plucked string (Karplus-Strong), panned a little to one side.
void AddPluck(Stereo& mix, double start, int note, double pan, std::mt19937& noise) {
    const size_t period = static_cast<size_t>(kRate / MidiToHz(note));
    std::vector<double> line(std::max<size_t>(period, 2));
    std::uniform_real_distribution<double> dist(-1.0, 1.0);
    for (double& v : line) v = dist(noise);
    const size_t first = static_cast<size_t>(start * kRate);
    const size_t count = static_cast<size_t>(1.6 * kRate);
    for (size_t i = 0; i < count; ++i) {
        const size_t k = i % line.size();
        const double out = line[k];
        line[k] = 0.996 * 0.5 * (line[k] + line[(k + 1) % line.size()]);
        mix.Add(first + i, 0.22 * out * (1.0 - pan), 0.22 * out * (1.0 + pan));
    }
}

// A soft low pulse on each beat.
void AddPulse(Stereo& mix, double start) {
    const size_t first = static_cast<size_t>(start * kRate);
    const size_t count = static_cast<size_t>(0.25 * kRate);
    for (size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double v = 0.25 * std::exp(-t * 18.0) * std::sin(2 * kPi * (55.0 + 60.0 * std::exp(-t * 30.0)) * t);
        mix.Add(first + i, v, v);
    }
}

Stereo Compose() {
    // C, A minor, F, G, twice; the melody walks over each chord.
    const std::array<std::array<int, 3>, 4> chords = {{{60, 64, 67}, {57, 60, 64}, {53, 57, 60}, {55, 59, 62}}};
    const std::array<std::array<int, 4>, 4> melody = {{{72, 76, 79, 76}, {69, 72, 76, 72}, {65, 69, 72, 77}, {67, 71, 74, 79}}};
    const int rounds = 2;
    const double chordSeconds = kBeatSeconds * kBeatsPerChord;
    const double total = rounds * chords.size() * chordSeconds + 2.0;
    Stereo mix(static_cast<size_t>(total * kRate));
    std::mt19937 noise(20261208);
    for (int round = 0; round < rounds; ++round) {
        for (size_t c = 0; c < chords.size(); ++c) {
            const double at = (round * chords.size() + c) * chordSeconds;
            AddPadChord(mix, at, chordSeconds + 0.5, chords[c]);
            for (int beat = 0; beat < kBeatsPerChord; ++beat) {
                const double beatAt = at + beat * kBeatSeconds;
                AddPulse(mix, beatAt);
                AddPluck(mix, beatAt, melody[c][beat], beat % 2 ? 0.3 : -0.3, noise);
            }
        }
    }
    return mix;
}

std::vector<float> Interleave(const Stereo& mix) {
    std::vector<float> out(mix.left.size() * 2);
    for (size_t i = 0; i < mix.left.size(); ++i) {
        out[2 * i] = std::clamp(mix.left[i], -0.98f, 0.98f);
        out[2 * i + 1] = std::clamp(mix.right[i], -0.98f, 0.98f);
    }
    return out;
}

void PutField(std::vector<uint8_t>& tag, size_t at, size_t width, const char* text) {
    std::memcpy(&tag[at], text, std::min(width, std::strlen(text)));
}

std::vector<uint8_t> Id3v1Tag() {
    std::vector<uint8_t> tag(128, 0);
    PutField(tag, 0, 3, "TAG");
    PutField(tag, 3, 30, "Morning Light");
    PutField(tag, 33, 30, "The Orvanta Ensemble");
    PutField(tag, 63, 30, "Orvanta Demo");
    PutField(tag, 93, 4, "2026");
    PutField(tag, 97, 30, "Composed by the demo tool");
    tag[127] = kGenreNewAge;
    return tag;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: orvdemo OUT.mp3\n");
        return 2;
    }
    const Stereo mix = Compose();
    const std::vector<float> pcm = Interleave(mix);

    orv::codec::Mp3EncoderSettings settings;
    settings.inputRate = kRate;
    settings.inputChannels = 2;
    settings.bitRateKbps = 160;
    settings.totalInputFrames = mix.left.size();
    orv::codec::Mp3Encoder encoder;
    std::vector<uint8_t> stream;
    if (encoder.Configure(settings) != orv::codec::Mp3EncoderError::None ||
        encoder.EncodeFloat(pcm.data(), mix.left.size(), stream) != orv::codec::Mp3EncoderError::None ||
        encoder.Flush(stream) != orv::codec::Mp3EncoderError::None || !encoder.CompleteStream(stream)) {
        std::fprintf(stderr, "orvdemo: the encoder refused the demo\n");
        return 1;
    }
    const std::vector<uint8_t> tag = Id3v1Tag();
    stream.insert(stream.end(), tag.begin(), tag.end());

    FILE* out = std::fopen(argv[1], "wb");
    if (!out) {
        std::perror(argv[1]);
        return 1;
    }
    const bool ok = std::fwrite(stream.data(), 1, stream.size(), out) == stream.size();
    return std::fclose(out) == 0 && ok ? 0 : 1;
}
