// The band-limited resampler on its own: pass band, aliases and images, lengths.
#include "../../src/enc/Resampler.h"
#include "EncoderTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace enctest;

namespace {

Pcm Resample(const Pcm& input, int outputRate, std::size_t chunk)
{
    orv::codec::enc::Resampler resampler;
    resampler.Configure(input.rate, outputRate, input.channels);
    Pcm out;
    out.rate = outputRate;
    out.channels = input.channels;
    for (std::size_t at = 0; at < input.Frames(); at += chunk)
        resampler.Process(&input.samples[at * input.channels], std::min(chunk, input.Frames() - at), out.samples);
    resampler.Flush(out.samples);
    return out;
}

Pcm Sum(const Pcm& a, const Pcm& b)
{
    Pcm sum = a;
    for (std::size_t i = 0; i < sum.samples.size(); ++i)
        sum.samples[i] += b.samples[i];
    return sum;
}

} // namespace

TEST(Resampler, KeepsThePassBandAndRemovesAliases)
{
    struct Row { int from, to; double passHz, stopHz, aliasHz; };
    const Row rows[] = {
        {44100, 22050, 1000, 15000, 22050 - 15000},   // downsampling folds 15 kHz to 7050 Hz
        {48000, 44100, 3000, 23000, 44100 - 23000},
        {22050, 48000, 5000, 0, 22050 - 5000},        // upsampling must not leave images
        {44100, 48000, 10000, 0, 44100 - 10000},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::to_string(r.from) + " -> " + std::to_string(r.to));
        Pcm input = Sine(r.from, 1, 1.0, r.passHz, 0.5);
        if (r.stopHz > 0)
            input = Sum(input, Sine(r.from, 1, 1.0, r.stopHz, 0.4));
        const Pcm out = Resample(input, r.to, 1000);
        EXPECT_EQ(out.Frames(), (input.Frames() * r.to + r.from - 1) / r.from);
        const std::size_t from = out.Frames() / 4, count = out.Frames() / 2;
        EXPECT_NEAR(ToneDb(out, 0, r.passHz, from, count), 20 * std::log10(0.5), 0.1);
        EXPECT_LT(ToneDb(out, 0, r.aliasHz, from, count), -70.0);
    }
}

TEST(Resampler, PieceSizesDoNotChangeTheResult)
{
    const Pcm input = PinkNoise(44100, 2, 0.5, 0.5);
    const Pcm whole = Resample(input, 48000, input.Frames());
    for (std::size_t chunk : {1u, 7u, 333u}) {
        const Pcm pieces = Resample(input, 48000, chunk);
        ASSERT_EQ(pieces.samples.size(), whole.samples.size());
        for (std::size_t i = 0; i < whole.samples.size(); ++i)
            ASSERT_EQ(pieces.samples[i], whole.samples[i]) << "chunk " << chunk << " sample " << i;
    }
}
