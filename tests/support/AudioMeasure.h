// Measures of recorded sound: level per window, silent and sounding spans, the
// dominant frequency, and where one clip best matches inside another. Portable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace orvtest {

// Interleaved 16-bit PCM.
struct Pcm {
    int rate = 44100;
    int channels = 2;
    std::vector<int16_t> samples;

    size_t Frames() const { return channels > 0 ? samples.size() / channels : 0; }
    double DurationMs() const { return rate > 0 ? 1000.0 * Frames() / rate : 0.0; }
    bool Empty() const { return Frames() == 0; }
    // The frames from fromMs up to toMs, clamped to the clip.
    Pcm Slice(double fromMs, double toMs) const;
    // One channel (0-based), or the mean of all channels when channel < 0; full scale is 1.0.
    std::vector<double> Channel(int channel = -1) const;
};

// Interprets raw little-endian s16 bytes.
Pcm PcmFromBytes(const std::vector<uint8_t>& bytes, int rate, int channels);

// Root mean square over every sample of the clip, full scale 1.0 (a full-scale sine is 0.707).
double Rms(const Pcm& pcm);
// The RMS of consecutive windows of windowMs; a short last window is dropped.
std::vector<double> WindowRms(const Pcm& pcm, double windowMs);

struct Span {
    double fromMs = 0;
    double toMs = 0;
    double LengthMs() const { return toMs - fromMs; }
};

// Below this RMS a 10 ms window counts as silent: -60 dB of full scale.
constexpr double kSilenceRms = 0.001;

// Runs of 10 ms windows at least minMs long whose RMS is below (silent) or at least
// (sounding) the threshold, in time order.
std::vector<Span> SilentSpans(const Pcm& pcm, double minMs, double threshold = kSilenceRms);
std::vector<Span> SoundSpans(const Pcm& pcm, double minMs, double threshold = kSilenceRms);

// Gaps inside a sounding span: where the sound server played silence for lack of
// samples (or dropped them), not where the sound itself is quieter. A gap is a run
// of overlapping 2.5 ms windows below a tenth of the span's median level; runs of
// 3.75 ms and more are always found. Times are the clip's.
std::vector<Span> Dropouts(const Pcm& pcm, Span sounding);
// "at 412.3 ms for 5.0 ms; ..." for a failure message.
std::string DescribeSpans(const std::vector<Span>& spans);

// The strongest frequency of the clip (channels mixed) in Hz; 0 for an empty clip.
double DominantFrequency(const Pcm& pcm);

// A clock: sound whose every second has its own pitch, so that a recording tells
// which second of it is heard. Second n sounds at ClockHz(n), n up to kClockSeconds.
constexpr int kClockSeconds = 60;
double ClockHz(int second);
// Interleaved stereo samples of seconds [first, first + count) of the clock.
std::vector<int16_t> ClockSamples(int first, int count, int rate = 44100);

// A stretch of a recording that sounds one second of the clock.
struct ClockRun {
    int second = -1;
    Span span;
};
// The clock's seconds heard, in order: runs of 50 ms windows whose pitch names a
// second, with windows of other sound or of silence between them left out.
std::vector<ClockRun> HeardClock(const Pcm& pcm);
// "s3 at 120.0 ms for 950.0 ms; ..." for a failure message.
std::string DescribeClock(const std::vector<ClockRun>& runs);

struct Match {
    double offsetMs = 0;  // where the needle starts in the haystack
    double score = 0;     // normalised cross-correlation, 1.0 for the same waveform
};

// Where needle (channels mixed) lines up best with haystack, by normalised
// cross-correlation over every offset that keeps the needle inside the haystack.
// Both clips must have the same rate; the score is 0 when the needle does not fit.
Match FindClip(const Pcm& haystack, const Pcm& needle);

}  // namespace orvtest
