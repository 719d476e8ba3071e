#include "Filterbank.h"

#include <cmath>
#include <cstring>

namespace orv::codec::enc {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kWindowTaps = 512;

// Overall gain of the prototype so that the standard synthesis stage returns
// the input level.
constexpr double kPrototypeDcGain = 2.0;

double BesselI0(double x)
{
    double sum = 1.0, term = 1.0;
    for (int k = 1; k < 40; ++k) {
        term *= (x / (2.0 * k)) * (x / (2.0 * k));
        sum += term;
    }
    return sum;
}

// Linear-phase lowpass prototype of the cosine-modulated bank, centred on tap
// 256. The cutoff is tuned so that neighbouring bands cross at -3 dB, which
// is what near-perfect reconstruction of a pseudo-QMF bank needs.
struct Prototype {
    std::array<double, kWindowTaps> taps{};

    static double Response(const std::array<double, kWindowTaps>& h, double omega)
    {
        double sum = 0.0;
        for (int n = 1; n < kWindowTaps; ++n)
            sum += h[n] * std::cos(omega * (n - 256));
        return sum;
    }

    void Design(double cutoff)
    {
        constexpr double kBeta = 9.0;
        const double norm = BesselI0(kBeta);
        taps[0] = 0.0;
        for (int n = 1; n < kWindowTaps; ++n) {
            const double t = n - 256.0;
            const double ratio = t / 256.0;
            const double kaiser = BesselI0(kBeta * std::sqrt(std::max(0.0, 1.0 - ratio * ratio))) / norm;
            const double sinc = t == 0.0 ? cutoff / kPi : std::sin(cutoff * t) / (kPi * t);
            taps[n] = sinc * kaiser;
        }
        double dc = 0.0;
        for (double v : taps)
            dc += v;
        for (double& v : taps)
            v *= kPrototypeDcGain / dc;
    }

    Prototype()
    {
        double low = kPi / 128.0, high = kPi / 32.0;
        for (int i = 0; i < 50; ++i) {
            const double mid = 0.5 * (low + high);
            Design(mid);
            const double edge = Response(taps, kPi / 64.0) / kPrototypeDcGain;
            if (edge < std::sqrt(0.5))
                low = mid;
            else
                high = mid;
        }
        Design(0.5 * (low + high));
    }
};

struct AnalysisTables {
    std::array<float, kWindowTaps> window{};
    float matrix[kSubbands][64];

    AnalysisTables()
    {
        const Prototype prototype;
        for (int i = 0; i < kWindowTaps; ++i)
            window[i] = static_cast<float>(((i / 64) & 1) ? -prototype.taps[i] : prototype.taps[i]);
        for (int k = 0; k < kSubbands; ++k)
            for (int i = 0; i < 64; ++i)
                matrix[k][i] = static_cast<float>(std::cos((2 * k + 1) * (i - 16) * kPi / 64.0));
    }
};

const AnalysisTables& Analysis()
{
    static const AnalysisTables tables;
    return tables;
}

struct MdctTables {
    float longWindow[4][36];
    float shortWindow[12];
    float longCos[18][36];
    float shortCos[6][12];
    float aliasCs[8];
    float aliasCa[8];

    MdctTables()
    {
        for (int n = 0; n < 36; ++n)
            longWindow[kBlockNormal][n] = static_cast<float>(std::sin(kPi / 36.0 * (n + 0.5)));
        for (int n = 0; n < 36; ++n) {
            const double sine36 = std::sin(kPi / 36.0 * (n + 0.5));
            double start = 0.0, stop = 0.0;
            if (n < 18) start = sine36;
            else if (n < 24) start = 1.0;
            else if (n < 30) start = std::sin(kPi / 12.0 * (n - 18 + 0.5));
            if (n >= 18) stop = sine36;
            else if (n >= 12) stop = 1.0;
            else if (n >= 6) stop = std::sin(kPi / 12.0 * (n - 6 + 0.5));
            longWindow[kBlockStart][n] = static_cast<float>(start);
            longWindow[kBlockStop][n] = static_cast<float>(stop);
            longWindow[kBlockShort][n] = 0.0f;
        }
        for (int n = 0; n < 12; ++n)
            shortWindow[n] = static_cast<float>(std::sin(kPi / 12.0 * (n + 0.5)));
        // Scaled by 4/N so that the decoder's unscaled inverse gives the input back.
        for (int k = 0; k < 18; ++k)
            for (int n = 0; n < 36; ++n)
                longCos[k][n] = static_cast<float>(4.0 / 36.0 * std::cos(kPi / 72.0 * (2 * n + 1 + 18) * (2 * k + 1)));
        for (int k = 0; k < 6; ++k)
            for (int n = 0; n < 12; ++n)
                shortCos[k][n] = static_cast<float>(4.0 / 12.0 * std::cos(kPi / 24.0 * (2 * n + 1 + 6) * (2 * k + 1)));
        static const double kAliasCoefficients[8] = {-0.6, -0.535, -0.33, -0.185, -0.095, -0.041, -0.0142, -0.0037};
        for (int i = 0; i < 8; ++i) {
            const double root = std::sqrt(1.0 + kAliasCoefficients[i] * kAliasCoefficients[i]);
            aliasCs[i] = static_cast<float>(1.0 / root);
            aliasCa[i] = static_cast<float>(kAliasCoefficients[i] / root);
        }
    }
};

const MdctTables& Mdct()
{
    static const MdctTables tables;
    return tables;
}

// The encoder side of the decoder's alias butterflies between adjacent bands.
void UndoAliasReduction(float* lines)
{
    const MdctTables& t = Mdct();
    for (int band = 1; band < kSubbands; ++band) {
        for (int i = 0; i < 8; ++i) {
            float& low = lines[18 * band - 1 - i];
            float& high = lines[18 * band + i];
            const float a = low, b = high;
            low = a * t.aliasCs[i] + b * t.aliasCa[i];
            high = b * t.aliasCs[i] - a * t.aliasCa[i];
        }
    }
}

} // namespace

void PolyphaseAnalysis::Reset()
{
    m_history.fill(0.0f);
    m_position = 0;
}

void PolyphaseAnalysis::Process(const float* samples, float* subbandOut)
{
    // Newest sample sits at m_position, older ones follow it.
    for (int i = 0; i < 32; ++i) {
        m_position = (m_position + kWindowTaps - 1) & (kWindowTaps - 1);
        m_history[m_position] = samples[i];
        m_history[m_position + kWindowTaps] = samples[i];
    }
    const AnalysisTables& t = Analysis();
    const float* x = &m_history[m_position];
    float folded[64];
    for (int i = 0; i < 64; ++i) {
        float sum = 0.0f;
        for (int j = 0; j < 8; ++j)
            sum += t.window[i + 64 * j] * x[i + 64 * j];
        folded[i] = sum;
    }
    for (int k = 0; k < kSubbands; ++k) {
        float sum = 0.0f;
        const float* row = t.matrix[k];
        for (int i = 0; i < 64; ++i)
            sum += row[i] * folded[i];
        subbandOut[k] = sum;
    }
}

void HybridMdct(const SubbandGranule& previous, const SubbandGranule& current, int blockType,
                const int* shortBandEdges, int shortBandCount, float* lines)
{
    const MdctTables& t = Mdct();
    float shortLines[3][192];
    for (int band = 0; band < kSubbands; ++band) {
        // Odd bands are spectrally inverted; the decoder flips every other sample back.
        float z[36];
        for (int n = 0; n < 18; ++n) {
            const float sign = (band & 1) && (n & 1) ? -1.0f : 1.0f;
            z[n] = previous[n][band] * sign;
            z[n + 18] = current[n][band] * sign;
        }
        if (blockType == kBlockShort) {
            for (int w = 0; w < 3; ++w) {
                const float* segment = z + 6 + 6 * w;
                for (int k = 0; k < 6; ++k) {
                    float sum = 0.0f;
                    for (int n = 0; n < 12; ++n)
                        sum += segment[n] * t.shortWindow[n] * t.shortCos[k][n];
                    shortLines[w][6 * band + k] = sum;
                }
            }
            continue;
        }
        const float* window = t.longWindow[blockType];
        float windowed[36];
        for (int n = 0; n < 36; ++n)
            windowed[n] = z[n] * window[n];
        for (int k = 0; k < 18; ++k) {
            float sum = 0.0f;
            for (int n = 0; n < 36; ++n)
                sum += windowed[n] * t.longCos[k][n];
            lines[18 * band + k] = sum;
        }
    }
    if (blockType != kBlockShort) {
        UndoAliasReduction(lines);
        return;
    }
    int out = 0;
    for (int sfb = 0; sfb < shortBandCount; ++sfb) {
        const int start = shortBandEdges[sfb], end = shortBandEdges[sfb + 1];
        for (int w = 0; w < 3; ++w)
            for (int f = start; f < end; ++f)
                lines[out++] = shortLines[w][f];
    }
}

} // namespace orv::codec::enc
