#include "Resampler.h"

#include <algorithm>
#include <cmath>

namespace orv::codec::enc {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kZeroCrossings = 32;
constexpr int kTableSteps = 512;
constexpr double kKaiserBeta = 9.0;      // about 90 dB of stop-band attenuation
constexpr double kPassFraction = 0.91;   // cutoff as a share of the lower Nyquist rate

double BesselI0(double x)
{
    double sum = 1.0, term = 1.0;
    for (int k = 1; k < 50; ++k) {
        term *= (x / (2.0 * k)) * (x / (2.0 * k));
        sum += term;
    }
    return sum;
}

} // namespace

void Resampler::Configure(int inputRate, int outputRate, int channels)
{
    m_inputRate = inputRate;
    m_outputRate = outputRate;
    m_channels = channels;
    m_cutoff = 0.5 * kPassFraction * std::min(1.0, double(outputRate) / inputRate);
    m_halfWidth = kZeroCrossings / (2.0 * m_cutoff);
    m_table.assign(kZeroCrossings * kTableSteps + 2, 0.0f);
    const double norm = BesselI0(kKaiserBeta);
    for (int i = 0; i <= kZeroCrossings * kTableSteps; ++i) {
        const double u = double(i) / kTableSteps;
        const double sinc = i == 0 ? 1.0 : std::sin(kPi * u) / (kPi * u);
        const double r = u / kZeroCrossings;
        const double window = BesselI0(kKaiserBeta * std::sqrt(std::max(0.0, 1.0 - r * r))) / norm;
        m_table[i] = static_cast<float>(sinc * window);
    }
    m_buffer.clear();
    m_bufferStart = 0;
    m_inputFrames = 0;
    m_outputIndex = 0;
}

float Resampler::Kernel(double t) const
{
    const double u = std::fabs(t) * 2.0 * m_cutoff * kTableSteps;
    const std::size_t index = static_cast<std::size_t>(u);
    if (index >= std::size_t(kZeroCrossings) * kTableSteps)
        return 0.0f;
    const float frac = static_cast<float>(u - double(index));
    return static_cast<float>(2.0 * m_cutoff) * (m_table[index] + frac * (m_table[index + 1] - m_table[index]));
}

void Resampler::Process(const float* input, std::size_t frames, std::vector<float>& output)
{
    m_buffer.insert(m_buffer.end(), input, input + frames * m_channels);
    m_inputFrames += frames;
    Produce(output, false);
}

void Resampler::Flush(std::vector<float>& output)
{
    Produce(output, true);
}

void Resampler::Produce(std::vector<float>& output, bool final)
{
    const std::int64_t reach = static_cast<std::int64_t>(std::ceil(m_halfWidth));
    // Every output whose time lies inside the input stream.
    const std::uint64_t outputTotal = (m_inputFrames * m_outputRate + m_inputRate - 1) / m_inputRate;
    const std::int64_t bufferFrames = static_cast<std::int64_t>(m_buffer.size() / m_channels);
    while (m_outputIndex < outputTotal) {
        const std::uint64_t numerator = m_outputIndex * std::uint64_t(m_inputRate);
        const std::int64_t centre = static_cast<std::int64_t>(numerator / m_outputRate);
        const double frac = double(numerator % m_outputRate) / m_outputRate;
        const std::int64_t first = centre - reach + 1, last = centre + reach;
        if (!final && last >= static_cast<std::int64_t>(m_inputFrames))
            break;
        for (int c = 0; c < m_channels; ++c) {
            double sum = 0.0;
            for (std::int64_t k = std::max<std::int64_t>(first, std::int64_t(m_bufferStart)); k <= last; ++k) {
                const std::int64_t local = k - static_cast<std::int64_t>(m_bufferStart);
                if (local >= bufferFrames)
                    break;
                sum += m_buffer[local * m_channels + c] * Kernel(double(centre - k) + frac);
            }
            output.push_back(static_cast<float>(sum));
        }
        ++m_outputIndex;
    }
    // Input before the next output's reach is no longer needed.
    const std::uint64_t nextCentre = m_outputIndex * std::uint64_t(m_inputRate) / m_outputRate;
    const std::int64_t keepFrom = static_cast<std::int64_t>(nextCentre) - reach;
    if (keepFrom > static_cast<std::int64_t>(m_bufferStart)) {
        const std::size_t drop = std::min<std::size_t>(std::size_t(keepFrom - std::int64_t(m_bufferStart)),
                                                       m_buffer.size() / m_channels);
        m_buffer.erase(m_buffer.begin(), m_buffer.begin() + drop * m_channels);
        m_bufferStart += drop;
    }
}

} // namespace orv::codec::enc
