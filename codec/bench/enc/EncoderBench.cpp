// Helper of the encoder benchmark.
//   encbench signal OUT.wav SECONDS   writes a music-like stereo test signal
//   encbench nmr REF.wav DECODED.wav  prints the noise-to-mask figures of a decode
//
// The noise-to-mask model is deliberately simple and shares nothing with the
// encoder: 2048-point Hann-windowed FFT frames with a hop of 1024 samples,
// energies in the 25 critical bands of Zwicker, a triangular spreading of
// 27 dB/Bark towards lower bands and 12 dB/Bark towards higher ones, a fixed
// masking offset of 10 dB, and the threshold in quiet with full scale at 96 dB.
// The noise is the decoded signal minus the reference, aligned by
// cross-correlation. A frame has audible noise when any band's noise exceeds
// its mask; the mean NMR is the average over frames of the band-mean ratio in dB.
#include "orvcodec/WaveFile.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kFrame = 2048;
constexpr int kHop = 1024;
constexpr double kOffsetDb = 10.0;
constexpr double kLowerSlopeDb = 27.0;
constexpr double kUpperSlopeDb = 12.0;
const double kBandEdges[] = {0, 100, 200, 300, 400, 510, 630, 770, 920, 1080, 1270, 1480, 1720, 2000,
                             2320, 2700, 3150, 3700, 4400, 5300, 6400, 7700, 9500, 12000, 15500, 22050};
constexpr int kBands = 25;

struct Audio {
    int rate = 0;
    int channels = 0;
    std::vector<float> samples;
    std::size_t Frames() const { return samples.size() / channels; }
};

bool Load(const char* path, Audio& audio)
{
    orv::codec::WaveReader reader;
    if (reader.Open(path) != orv::codec::WaveStatus::Ok)
        return false;
    audio.rate = int(reader.Format().samplesPerSec);
    audio.channels = reader.Format().channels;
    audio.samples.resize(std::size_t(reader.FrameCount()) * audio.channels);
    audio.samples.resize(reader.ReadFloat(audio.samples.data(), std::size_t(reader.FrameCount())) * audio.channels);
    return true;
}

int Signal(const char* path, double seconds)
{
    const int rate = 44100;
    const std::size_t frames = std::size_t(seconds * rate);
    std::vector<std::int16_t> pcm(frames * 2);
    std::mt19937 random(3);
    std::uniform_real_distribution<double> uniform(-1.0, 1.0);
    double pinkL = 0, pinkR = 0, burst = 0;
    const double chords[4][3] = {{220, 277.2, 329.6}, {196, 246.9, 293.7}, {174.6, 220, 261.6}, {246.9, 311.1, 370}};
    for (std::size_t i = 0; i < frames; ++i) {
        const double t = double(i) / rate;
        const int bar = int(t / 2.0) % 4;
        double tone = 0;
        for (int n = 0; n < 3; ++n)
            for (int h = 1; h <= 6; ++h)
                tone += 0.05 / h * std::sin(2 * kPi * chords[bar][n] * h * t + n);
        // A castanet-like click every quarter second, louder on the beat.
        if (i % (rate / 4) == 0)
            burst = (i % rate == 0) ? 0.6 : 0.3;
        burst *= 0.9985;
        const double click = burst * uniform(random);
        pinkL = 0.97 * pinkL + 0.03 * uniform(random);
        pinkR = 0.97 * pinkR + 0.03 * uniform(random);
        const double swell = 0.5 + 0.5 * std::sin(2 * kPi * t / 11.0);
        const double left = tone + click + 0.5 * swell * pinkL;
        const double right = 0.8 * tone + 0.9 * click + 0.5 * swell * pinkR + 0.03 * std::sin(2 * kPi * 1500 * t);
        pcm[2 * i] = std::int16_t(std::clamp(left, -1.0, 1.0) * 32000);
        pcm[2 * i + 1] = std::int16_t(std::clamp(right, -1.0, 1.0) * 32000);
    }
    orv::codec::WaveWriter writer;
    if (!writer.Open(path, 2, rate) || !writer.Write(pcm.data(), frames) || !writer.Close()) {
        std::fprintf(stderr, "encbench: cannot write %s\n", path);
        return 1;
    }
    return 0;
}

void Fft(std::vector<std::complex<double>>& a)
{
    const std::size_t n = a.size();
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(a[i], a[j]);
    }
    for (std::size_t length = 2; length <= n; length <<= 1) {
        const std::complex<double> step = std::polar(1.0, -2 * kPi / double(length));
        for (std::size_t i = 0; i < n; i += length) {
            std::complex<double> w = 1.0;
            for (std::size_t k = 0; k < length / 2; ++k, w *= step) {
                const std::complex<double> u = a[i + k], v = a[i + k + length / 2] * w;
                a[i + k] = u + v;
                a[i + k + length / 2] = u - v;
            }
        }
    }
}

double QuietDb(double hz)
{
    const double khz = std::max(hz, 20.0) / 1000.0;
    return 3.64 * std::pow(khz, -0.8) - 6.5 * std::exp(-0.6 * (khz - 3.3) * (khz - 3.3)) + 0.001 * std::pow(khz, 4);
}

int FindDelay(const Audio& ref, const Audio& dec)
{
    const std::size_t start = std::min<std::size_t>(ref.Frames() / 3, 44100), length = 16384;
    int best = 0;
    double bestScore = -1e300;
    for (int lag = -600; lag <= 3000; ++lag) {
        double score = 0;
        for (std::size_t i = 0; i < length; ++i) {
            const long j = long(start + i) + lag;
            if (j < 0 || std::size_t(j) >= dec.Frames())
                continue;
            score += double(ref.samples[(start + i) * ref.channels]) * dec.samples[std::size_t(j) * dec.channels];
        }
        if (score > bestScore) {
            bestScore = score;
            best = lag;
        }
    }
    return best;
}

int Nmr(const char* refPath, const char* decPath)
{
    Audio ref, dec;
    if (!Load(refPath, ref) || !Load(decPath, dec) || ref.channels != dec.channels || ref.rate != dec.rate) {
        std::fprintf(stderr, "encbench: cannot compare %s with %s\n", refPath, decPath);
        return 1;
    }
    const int delay = FindDelay(ref, dec);
    const double binHz = double(ref.rate) / kFrame;
    std::vector<double> window(kFrame), quiet(kBands);
    double windowEnergy = 0;
    for (int i = 0; i < kFrame; ++i) {
        window[i] = 0.5 - 0.5 * std::cos(2 * kPi * i / kFrame);
        windowEnergy += window[i] * window[i];
    }
    // A full-scale sine shows this much energy in its bins.
    const double fullScale = windowEnergy * kFrame / 2.0;
    for (int b = 0; b < kBands; ++b) {
        double lowest = 1e9;
        for (double f = kBandEdges[b]; f < kBandEdges[b + 1]; f += binHz)
            lowest = std::min(lowest, QuietDb(f));
        quiet[b] = fullScale * std::pow(10.0, (lowest - 96.0) / 10.0);
    }
    std::size_t frames = 0, audible = 0;
    double nmrSum = 0;
    std::vector<std::complex<double>> s(kFrame), n(kFrame);
    for (std::size_t at = 0; at + kFrame + 3000 < ref.Frames(); at += kHop) {
        for (int c = 0; c < ref.channels; ++c) {
            for (int i = 0; i < kFrame; ++i) {
                const long j = long(at + i) + delay;
                const double r = ref.samples[(at + i) * ref.channels + c];
                const double d = j >= 0 && std::size_t(j) < dec.Frames() ? dec.samples[std::size_t(j) * dec.channels + c] : 0.0;
                s[i] = r * window[i];
                n[i] = (d - r) * window[i];
            }
            Fft(s);
            Fft(n);
            double signal[kBands] = {}, noise[kBands] = {};
            for (int k = 1; k < kFrame / 2; ++k) {
                const double f = k * binHz;
                int b = 0;
                while (b < kBands - 1 && f >= kBandEdges[b + 1])
                    ++b;
                signal[b] += std::norm(s[k]);
                noise[b] += std::norm(n[k]);
            }
            double ratioSum = 0;
            bool heard = false;
            for (int b = 0; b < kBands; ++b) {
                double spread = 0;
                for (int m = 0; m < kBands; ++m) {
                    const double db = m > b ? -kLowerSlopeDb * (m - b) : -kUpperSlopeDb * (b - m);
                    spread += signal[m] * std::pow(10.0, db / 10.0);
                }
                const double mask = std::max(spread * std::pow(10.0, -kOffsetDb / 10.0), quiet[b]);
                const double ratio = noise[b] / mask;
                ratioSum += ratio;
                heard = heard || ratio > 1.0;
            }
            nmrSum += 10.0 * std::log10(std::max(ratioSum / kBands, 1e-12));
            audible += heard;
            ++frames;
        }
    }
    std::printf("delay %d, frames %zu, audible %.1f %%, mean NMR %.2f dB\n", delay, frames,
                100.0 * audible / std::max<std::size_t>(frames, 1), nmrSum / std::max<std::size_t>(frames, 1));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "signal" && argc == 4)
        return Signal(argv[2], std::atof(argv[3]));
    if (command == "nmr" && argc == 4)
        return Nmr(argv[2], argv[3]);
    std::fprintf(stderr, "usage: encbench signal OUT.wav SECONDS | encbench nmr REF.wav DECODED.wav\n");
    return 2;
}
