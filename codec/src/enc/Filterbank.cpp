#include "Filterbank.h"

#include "../Synthesis.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace orv::codec::enc {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kWindowTaps = 512;

// The prototype lowpass of the cosine-modulated bank. The analysis filters are
// the decoder's synthesis filters reversed in time, which is what makes the pair
// reconstruct; so the prototype is read off the synthesis filterbank itself,
// from its response to an impulse in each band, rather than kept as a second
// copy of the window.
struct Prototype {
    std::array<double, kWindowTaps> taps{};
    double residual = 0.0;   // share of the synthesis responses the fit leaves unexplained

    Prototype()
    {
        constexpr int kCalls = kWindowTaps / kSubbands + 1;
        constexpr int kLength = kCalls * kSubbands;
        std::vector<double> response(std::size_t(kSubbands) * kLength, 0.0);
        for (int k = 0; k < kSubbands; ++k) {
            Synthesis synthesis;
            float in[kSubbands] = {}, out[kSubbands];
            in[k] = 1.0f;
            for (int call = 0; call < kCalls; ++call) {
                synthesis.Run(in, out, 1);
                in[k] = 0.0f;
                for (int j = 0; j < kSubbands; ++j)
                    response[k * kLength + call * kSubbands + j] = out[j];
            }
        }
        double modulation[kSubbands][kWindowTaps];
        for (int k = 0; k < kSubbands; ++k)
            for (int n = 0; n < kWindowTaps; ++n)
                modulation[k][n] = std::cos((2 * k + 1) * (n - 16) * kPi / 64.0);
        // Find the reversal point where every band's response is the prototype
        // times its own modulation, and fit the prototype there.
        constexpr double kExactFit = 1e-12;
        double bestShare = 1e300;
        for (int reversal = kWindowTaps - kSubbands; reversal < kLength; ++reversal) {
            std::array<double, kWindowTaps> fit{};
            double error = 0.0, energy = 0.0;
            for (int n = 0; n < kWindowTaps; ++n) {
                const int m = reversal - n;
                if (m < 0 || m >= kLength)
                    continue;
                double dot = 0.0, norm = 0.0;
                for (int k = 0; k < kSubbands; ++k) {
                    dot += response[k * kLength + m] * modulation[k][n];
                    norm += modulation[k][n] * modulation[k][n];
                }
                fit[n] = norm > 1e-9 ? dot / norm : 0.0;
                for (int k = 0; k < kSubbands; ++k) {
                    const double r = response[k * kLength + m];
                    const double e = r - fit[n] * modulation[k][n];
                    error += e * e;
                    energy += r * r;
                }
            }
            if (energy > 0.0 && error / energy < bestShare) {
                bestShare = error / energy;
                taps = fit;
            }
            if (bestShare < kExactFit)
                break;
        }
        residual = bestShare;
        // Synthesis carries a gain of 32 over analysis.
        for (double& v : taps)
            v /= 32.0;
    }
};

const Prototype& SharedPrototype()
{
    static const Prototype prototype;
    return prototype;
}

struct AnalysisTables {
    std::array<float, kWindowTaps> window{};

    AnalysisTables()
    {
        const Prototype& prototype = SharedPrototype();
        for (int i = 0; i < kWindowTaps; ++i)
            window[i] = static_cast<float>(((i / 64) & 1) ? -prototype.taps[i] : prototype.taps[i]);
    }
};

const AnalysisTables& Analysis()
{
    static const AnalysisTables tables;
    return tables;
}

struct MdctTables {
    float longWindow[4][36];   // times 4/N, so that the decoder's unscaled inverse gives the input back
    float shortWindow[12];
    float shortCos[6][12];
    float aliasCs[8];
    float aliasCa[8];

    MdctTables()
    {
        for (int n = 0; n < 36; ++n)
            longWindow[kBlockNormal][n] = static_cast<float>(4.0 / 36.0 * std::sin(kPi / 36.0 * (n + 0.5)));
        for (int n = 0; n < 36; ++n) {
            const double sine36 = std::sin(kPi / 36.0 * (n + 0.5));
            double start = 0.0, stop = 0.0;
            if (n < 18) start = sine36;
            else if (n < 24) start = 1.0;
            else if (n < 30) start = std::sin(kPi / 12.0 * (n - 18 + 0.5));
            if (n >= 18) stop = sine36;
            else if (n >= 12) stop = 1.0;
            else if (n >= 6) stop = std::sin(kPi / 12.0 * (n - 6 + 0.5));
            longWindow[kBlockStart][n] = static_cast<float>(4.0 / 36.0 * start);
            longWindow[kBlockStop][n] = static_cast<float>(4.0 / 36.0 * stop);
            longWindow[kBlockShort][n] = 0.0f;
        }
        for (int n = 0; n < 12; ++n)
            shortWindow[n] = static_cast<float>(std::sin(kPi / 12.0 * (n + 0.5)));
        // Scaled by 4/N so that the decoder's unscaled inverse gives the input back.
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

// lines[k] = sum w[n] z[n] cos(pi (2n + 1 + 18)(2k + 1) / 72) over 36 inputs: folded
// into 18 with the cosine's symmetries (input n meets kernel row n + 9, and row
// 35 - m, like row m + 36, is row m negated), a DCT-IV.
void LongMdct(const float* z, const float* window, float* lines)
{
    float folded[18];
    for (int n = 0; n < 9; ++n) {
        folded[n + 9] = z[n] * window[n] - z[17 - n] * window[17 - n];
        folded[n] = -z[26 - n] * window[26 - n] - z[27 + n] * window[27 + n];
    }
    DctIv18(folded, lines);
}

} // namespace

double PrototypeFitResidual()
{
    return SharedPrototype().residual;
}

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
    // The modulation cos((2k + 1)(i - 16) pi / 64) is even around i = 16 and odd
    // around i = 48, so 64 inputs fold into 32.
    float z[kSubbands];
    z[0] = folded[16];
    for (int n = 1; n <= 16; ++n)
        z[n] = folded[16 + n] + folded[16 - n];
    for (int n = 17; n < kSubbands; ++n)
        z[n] = folded[16 + n] - folded[80 - n];
    // subbandOut[k] = sum z[n] cos((2k + 1) n pi / 64): the DCT-III.
    Dct32Transposed(z, subbandOut);
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
        LongMdct(z, t.longWindow[blockType], lines + 18 * band);
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
