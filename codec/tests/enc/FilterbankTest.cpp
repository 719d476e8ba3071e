// The analysis filterbank against the decoder's synthesis: what goes in must
// come back, at every frequency, before any quantisation.
#include "../../src/Synthesis.h"
#include "../../src/enc/Filterbank.h"
#include "EncoderTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace orv::codec;
using namespace enctest;

TEST(Filterbank, PolyphaseAnalysisInvertsTheStandardSynthesis)
{
    for (double hz : {100.0, 440.0, 1000.0, 2000.0, 5500.0, 10000.0, 19000.0}) {
        const Pcm input = Sine(44100, 1, 0.5, hz, 0.5);
        enc::PolyphaseAnalysis analysis;
        analysis.Reset();
        Synthesis synthesis;
        Pcm output = input;
        float subbands[32];
        for (std::size_t at = 0; at + 32 <= input.Frames(); at += 32) {
            analysis.Process(&input.samples[at], subbands);
            synthesis.Run(subbands, &output.samples[at], 1);
        }
        const int delay = 481;
        const double snr = SnrDb(input, output, delay, 0, 2048, input.Frames() - 2048);
        EXPECT_LT(enc::PrototypeFitResidual(), 1e-9);
        EXPECT_GT(snr, 75.0) << hz << " Hz";
    }
}
