// Band-limited sample-rate conversion: a Kaiser-windowed sinc evaluated from
// a finely sampled table, cut off below the lower of the two Nyquist rates.
#pragma once

#include <cstdint>
#include <vector>

namespace orv::codec::enc {

class Resampler {
public:
    void Configure(int inputRate, int outputRate, int channels);
    // Interleaved input; appends interleaved output.
    void Process(const float* input, std::size_t frames, std::vector<float>& output);
    // Feeds silence so that every input sample has produced its outputs.
    void Flush(std::vector<float>& output);

private:
    float Kernel(double t) const;
    void Produce(std::vector<float>& output, bool final);

    int m_inputRate = 0;
    int m_outputRate = 0;
    int m_channels = 0;
    double m_cutoff = 0.0;               // cycles per input sample
    double m_halfWidth = 0.0;            // kernel reach in input samples
    std::vector<float> m_table;          // kernel by zero crossings, kTableSteps per crossing
    std::vector<float> m_buffer;         // interleaved input not yet out of reach
    std::uint64_t m_bufferStart = 0;     // input index of m_buffer's first frame
    std::uint64_t m_inputFrames = 0;
    std::uint64_t m_outputIndex = 0;     // next output frame
};

} // namespace orv::codec::enc
