#include "AudioMeasure.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>

namespace orvtest {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kSpanWindowMs = 10.0;

using Complex = std::complex<double>;

size_t NextPowerOfTwo(size_t n) {
    size_t size = 1;
    while (size < n) size <<= 1;
    return size;
}

// In-place iterative radix-2 transform; data.size() is a power of two.
void Fft(std::vector<Complex>& data, bool bInverse) {
    const size_t n = data.size();
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(data[i], data[j]);
    }
    for (size_t length = 2; length <= n; length <<= 1) {
        const double angle = 2 * kPi / static_cast<double>(length) * (bInverse ? 1 : -1);
        const Complex step(std::cos(angle), std::sin(angle));
        for (size_t start = 0; start < n; start += length) {
            Complex w(1);
            for (size_t k = 0; k < length / 2; ++k) {
                const Complex even = data[start + k];
                const Complex odd = data[start + k + length / 2] * w;
                data[start + k] = even + odd;
                data[start + k + length / 2] = even - odd;
                w *= step;
            }
        }
    }
    if (!bInverse) return;
    for (Complex& value : data) value /= static_cast<double>(n);
}

double MeanSquare(const int16_t* begin, size_t count) {
    double sum = 0;
    for (size_t i = 0; i < count; ++i) {
        const double value = begin[i] / 32768.0;
        sum += value * value;
    }
    return count ? sum / static_cast<double>(count) : 0.0;
}

std::vector<Span> Runs(const Pcm& pcm, double minMs, double threshold, bool bSilent) {
    std::vector<Span> spans;
    const std::vector<double> levels = WindowRms(pcm, kSpanWindowMs);
    size_t runStart = 0;
    bool bInRun = false;
    for (size_t i = 0; i <= levels.size(); ++i) {
        const bool bMatches = i < levels.size() && (levels[i] < threshold) == bSilent;
        if (bMatches && !bInRun) runStart = i;
        if (bMatches == bInRun) continue;
        bInRun = bMatches;
        if (bMatches) continue;
        const Span span{runStart * kSpanWindowMs, i * kSpanWindowMs};
        if (span.LengthMs() >= minMs) spans.push_back(span);
    }
    return spans;
}

}  // namespace

Pcm Pcm::Slice(double fromMs, double toMs) const {
    Pcm part;
    part.rate = rate;
    part.channels = channels;
    const auto frameAt = [&](double ms) {
        const double frame = std::floor(ms * rate / 1000.0);
        return static_cast<size_t>(std::clamp(frame, 0.0, static_cast<double>(Frames())));
    };
    const size_t first = frameAt(fromMs);
    const size_t last = std::max(first, frameAt(toMs));
    part.samples.assign(samples.begin() + first * channels, samples.begin() + last * channels);
    return part;
}

std::vector<double> Pcm::Channel(int channel) const {
    std::vector<double> values(Frames());
    for (size_t frame = 0; frame < values.size(); ++frame) {
        const int16_t* row = &samples[frame * channels];
        if (channel >= 0 && channel < channels) {
            values[frame] = row[channel] / 32768.0;
            continue;
        }
        double sum = 0;
        for (int c = 0; c < channels; ++c) sum += row[c];
        values[frame] = sum / channels / 32768.0;
    }
    return values;
}

Pcm PcmFromBytes(const std::vector<uint8_t>& bytes, int rate, int channels) {
    Pcm pcm;
    pcm.rate = rate;
    pcm.channels = channels;
    const size_t frameBytes = static_cast<size_t>(channels) * 2;
    const size_t count = frameBytes ? bytes.size() / frameBytes * channels : 0;
    pcm.samples.resize(count);
    for (size_t i = 0; i < count; ++i) {
        pcm.samples[i] = static_cast<int16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
    }
    return pcm;
}

double Rms(const Pcm& pcm) {
    return std::sqrt(MeanSquare(pcm.samples.data(), pcm.samples.size()));
}

std::vector<double> WindowRms(const Pcm& pcm, double windowMs) {
    std::vector<double> levels;
    const size_t windowFrames = static_cast<size_t>(windowMs * pcm.rate / 1000.0);
    if (windowFrames == 0) return levels;
    const size_t windowSamples = windowFrames * pcm.channels;
    for (size_t at = 0; at + windowSamples <= pcm.samples.size(); at += windowSamples) {
        levels.push_back(std::sqrt(MeanSquare(&pcm.samples[at], windowSamples)));
    }
    return levels;
}

std::vector<Span> Dropouts(const Pcm& pcm, Span sounding) {
    constexpr double kWindowMs = 2.5;
    constexpr double kGapShare = 0.1;
    const Pcm clip = pcm.Slice(sounding.fromMs, sounding.toMs);
    const std::vector<double> mono = clip.Channel();
    const size_t window = static_cast<size_t>(kWindowMs * clip.rate / 1000);
    const size_t hop = window / 2;
    std::vector<double> levels;
    for (size_t at = 0; window && at + window <= mono.size(); at += hop) {
        double sum = 0;
        for (size_t i = at; i < at + window; ++i) sum += mono[i] * mono[i];
        levels.push_back(std::sqrt(sum / static_cast<double>(window)));
    }
    std::vector<Span> gaps;
    if (levels.empty()) return gaps;
    std::vector<double> sorted = levels;
    std::nth_element(sorted.begin(), sorted.begin() + sorted.size() / 2, sorted.end());
    const double floor = sorted[sorted.size() / 2] * kGapShare;
    for (size_t i = 0; i < levels.size(); ++i) {
        if (levels[i] >= floor) continue;
        const double fromMs = sounding.fromMs + 1000.0 * static_cast<double>(i * hop) / clip.rate;
        const double toMs = fromMs + 1000.0 * static_cast<double>(window) / clip.rate;
        if (!gaps.empty() && fromMs <= gaps.back().toMs) {
            gaps.back().toMs = toMs;
        } else {
            gaps.push_back(Span{fromMs, toMs});
        }
    }
    return gaps;
}

std::string DescribeSpans(const std::vector<Span>& spans) {
    std::string text;
    for (const Span& span : spans) {
        char item[64];
        std::snprintf(item, sizeof item, "%sat %.1f ms for %.1f ms", text.empty() ? "" : "; ", span.fromMs,
                      span.LengthMs());
        text += item;
    }
    return text;
}

std::vector<Span> SilentSpans(const Pcm& pcm, double minMs, double threshold) {
    return Runs(pcm, minMs, threshold, true);
}

std::vector<Span> SoundSpans(const Pcm& pcm, double minMs, double threshold) {
    return Runs(pcm, minMs, threshold, false);
}

double DominantFrequency(const Pcm& pcm) {
    const std::vector<double> values = pcm.Channel();
    if (values.size() < 4) return 0.0;
    // Zero padding to four times the length puts the peak within a quarter bin
    // before the parabola refines it.
    std::vector<Complex> spectrum(NextPowerOfTwo(values.size() * 4));
    for (size_t i = 0; i < values.size(); ++i) {
        const double hann = 0.5 - 0.5 * std::cos(2 * kPi * i / (values.size() - 1));
        spectrum[i] = values[i] * hann;
    }
    Fft(spectrum, false);
    const size_t half = spectrum.size() / 2;
    size_t peak = 1;
    for (size_t k = 1; k < half; ++k) {
        if (std::abs(spectrum[k]) > std::abs(spectrum[peak])) peak = k;
    }
    double shift = 0;
    if (peak + 1 < half) {
        const double left = std::log(std::abs(spectrum[peak - 1]) + 1e-300);
        const double mid = std::log(std::abs(spectrum[peak]) + 1e-300);
        const double right = std::log(std::abs(spectrum[peak + 1]) + 1e-300);
        const double bend = left - 2 * mid + right;
        if (bend < 0) shift = 0.5 * (left - right) / bend;
    }
    return (static_cast<double>(peak) + shift) * pcm.rate / static_cast<double>(spectrum.size());
}

double ClockHz(int second) {
    return 300.0 + 40.0 * second;
}

std::vector<int16_t> ClockSamples(int first, int count, int rate) {
    std::vector<int16_t> samples;
    samples.reserve(static_cast<size_t>(count) * rate * 2);
    for (int second = first; second < first + count; ++second) {
        // Each second starts its sine at phase 0, so its pitch alone tells it.
        for (int i = 0; i < rate; ++i) {
            const auto v = static_cast<int16_t>(9000 * std::sin(2 * kPi * ClockHz(second) * i / rate));
            samples.insert(samples.end(), {v, v});
        }
    }
    return samples;
}

std::vector<ClockRun> HeardClock(const Pcm& pcm) {
    constexpr double kWindowMs = 50;
    std::vector<ClockRun> runs;
    for (double at = 0; at + kWindowMs <= pcm.DurationMs(); at += kWindowMs) {
        const Pcm window = pcm.Slice(at, at + kWindowMs);
        if (Rms(window) < kSilenceRms * 10) continue;
        const double hz = DominantFrequency(window);
        const int second = static_cast<int>(std::lround((hz - ClockHz(0)) / (ClockHz(1) - ClockHz(0))));
        if (second < 0 || second > kClockSeconds || std::fabs(hz - ClockHz(second)) > 10) continue;
        if (!runs.empty() && runs.back().second == second && runs.back().span.toMs >= at - kWindowMs) {
            runs.back().span.toMs = at + kWindowMs;
            continue;
        }
        runs.push_back({second, {at, at + kWindowMs}});
    }
    return runs;
}

std::string DescribeClock(const std::vector<ClockRun>& runs) {
    std::string text;
    char item[96];
    for (const ClockRun& run : runs) {
        std::snprintf(item, sizeof item, "%ss%d at %.1f ms for %.1f ms", text.empty() ? "" : "; ", run.second,
                      run.span.fromMs, run.span.LengthMs());
        text += item;
    }
    return text.empty() ? "no second of the clock" : text;
}

Match FindClip(const Pcm& haystack, const Pcm& needle) {
    Match best;
    const std::vector<double> h = haystack.Channel();
    const std::vector<double> n = needle.Channel();
    if (n.empty() || n.size() > h.size() || haystack.rate != needle.rate) return best;
    std::vector<Complex> hs(NextPowerOfTwo(h.size() + n.size()));
    std::vector<Complex> ns(hs.size());
    std::copy(h.begin(), h.end(), hs.begin());
    std::copy(n.begin(), n.end(), ns.begin());
    Fft(hs, false);
    Fft(ns, false);
    for (size_t k = 0; k < hs.size(); ++k) hs[k] *= std::conj(ns[k]);
    Fft(hs, true);

    double needleEnergy = 0;
    for (double value : n) needleEnergy += value * value;
    if (needleEnergy <= 0) return best;
    // Energy of the haystack under the needle at each offset, from running sums.
    std::vector<double> prefix(h.size() + 1, 0.0);
    for (size_t i = 0; i < h.size(); ++i) prefix[i + 1] = prefix[i] + h[i] * h[i];
    best.score = -2;
    for (size_t lag = 0; lag + n.size() <= h.size(); ++lag) {
        const double windowEnergy = prefix[lag + n.size()] - prefix[lag];
        if (windowEnergy <= 1e-12) continue;
        const double score = hs[lag].real() / std::sqrt(needleEnergy * windowEnergy);
        if (score <= best.score) continue;
        best.score = score;
        best.offsetMs = 1000.0 * static_cast<double>(lag) / haystack.rate;
    }
    if (best.score < -1) best.score = 0;
    return best;
}

}  // namespace orvtest
