#include "PsychoModel.h"

#include "Filterbank.h"

#include <algorithm>
#include <cmath>

namespace orv::codec::enc {
namespace {

// A full-scale sine puts this much energy into the MDCT lines of a granule;
// it is taken to play at kFullScaleSpl dB.
constexpr float kFullScaleEnergy = 2.0f;
constexpr float kFullScaleSpl = 96.0f;
constexpr float kNoiseMaskingDb = 5.5f;     // noise masking a tone
constexpr float kToneMaskingDb = 14.5f;     // tone masking noise, plus one dB per Bark
constexpr float kTonalFlatnessDb = -25.0f;  // flatness at which a band counts as a pure tone
constexpr float kPreEchoGrowth = 2.0f;      // threshold may double from one granule to the next

float Bark(float hz)
{
    return 13.0f * std::atan(0.00076f * hz) + 3.5f * std::atan((hz / 7500.0f) * (hz / 7500.0f));
}

// Threshold in quiet in dB SPL (Terhardt's approximation).
float QuietDb(float hz)
{
    const float khz = std::max(hz, 20.0f) / 1000.0f;
    return 3.64f * std::pow(khz, -0.8f) - 6.5f * std::exp(-0.6f * (khz - 3.3f) * (khz - 3.3f))
         + 0.001f * khz * khz * khz * khz;
}

float SpreadingDb(float dz)
{
    const float t = dz + 0.474f;
    return 15.811389f + 7.5f * t - 17.5f * std::sqrt(1.0f + t * t);
}

// Ratio of geometric to arithmetic mean of the energies, in dB (0 = flat).
float FlatnessDb(const float* lines, int count)
{
    // The logarithm of products of eight: eight energies of float lines stay well
    // inside the range of a double, and a logarithm costs more than the products.
    double logSum = 0.0, sum = 0.0;
    for (int i = 0; i < count; i += 8) {
        double product = 1.0;
        for (int j = i; j < std::min(i + 8, count); ++j) {
            const double e = double(lines[j]) * lines[j] + 1e-14;
            product *= e;
            sum += e;
        }
        logSum += std::log(product);
    }
    const double geometric = std::exp(logSum / count);
    return static_cast<float>(10.0 * std::log10(geometric / (sum / count)));
}

} // namespace

void PsychoModel::BuildBands(Bands& bands, int sampleRate, const std::uint16_t* edges, int count, int lineCount)
{
    bands.count = count;
    bands.edges.assign(edges, edges + count + 1);
    bands.bark.resize(count);
    bands.quiet.resize(count);
    const float hzPerLine = sampleRate / (2.0f * lineCount);
    for (int b = 0; b < count; ++b) {
        bands.bark[b] = Bark(0.5f * (edges[b] + edges[b + 1]) * hzPerLine);
        float quietDb = 1e9f;
        for (int i = edges[b]; i < edges[b + 1]; ++i)
            quietDb = std::min(quietDb, QuietDb((i + 0.5f) * hzPerLine));
        bands.quiet[b] = kFullScaleEnergy * std::pow(10.0f, (quietDb - kFullScaleSpl) / 10.0f);
    }
    bands.spreading.assign(count * count, 0.0f);
    for (int maskee = 0; maskee < count; ++maskee) {
        float norm = 0.0f;
        for (int masker = 0; masker < count; ++masker) {
            const float db = SpreadingDb(bands.bark[maskee] - bands.bark[masker]);
            const float value = db < -60.0f ? 0.0f : std::pow(10.0f, db / 10.0f);
            bands.spreading[maskee * count + masker] = value;
            norm += value;
        }
        for (int masker = 0; masker < count; ++masker)
            bands.spreading[maskee * count + masker] /= norm;
    }
}

void PsychoModel::Configure(int sampleRate, const std::uint16_t* longEdges, const std::uint16_t* shortEdges)
{
    BuildBands(m_long, sampleRate, longEdges, kLongBands, kLines);
    BuildBands(m_short, sampleRate, shortEdges, kShortBands, kLines / 3);
    m_havePrevious = false;
}

void PsychoModel::Thresholds(const Bands& bands, const float* energy, const float* flatness, bool longBlock,
                             float* allowed)
{
    for (int b = 0; b < bands.count; ++b) {
        float spread = 0.0f;
        const float* row = &bands.spreading[b * bands.count];
        // Spread as energy per line, so that wide and narrow bands weigh alike.
        for (int j = 0; j < bands.count; ++j)
            spread += row[j] * energy[j] / float(bands.edges[j + 1] - bands.edges[j]);
        spread *= float(bands.edges[b + 1] - bands.edges[b]);
        const float tonality = longBlock ? std::clamp(flatness[b] / kTonalFlatnessDb, 0.0f, 1.0f) : 0.0f;
        const float offsetDb = tonality * (kToneMaskingDb + bands.bark[b]) + (1.0f - tonality) * kNoiseMaskingDb;
        const float masked = spread * std::pow(10.0f, -offsetDb / 10.0f);
        allowed[b] = std::max(masked, bands.quiet[b]);
    }
}

void PsychoModel::Analyse(const float* lines, int blockType, BandMasking& out)
{
    float pe = 0.0f;
    if (blockType != kBlockShort) {
        float flatness[kLongBands];
        for (int b = 0; b < kLongBands; ++b) {
            const int start = m_long.edges[b], width = m_long.edges[b + 1] - start;
            float e = 0.0f;
            for (int i = 0; i < width; ++i)
                e += lines[start + i] * lines[start + i];
            out.energyLong[b] = e;
            flatness[b] = FlatnessDb(lines + start, width);
        }
        Thresholds(m_long, out.energyLong, flatness, true, out.allowedLong);
        for (int b = 0; b < kLongBands; ++b) {
            if (m_havePrevious)
                out.allowedLong[b] = std::min(out.allowedLong[b], std::max(kPreEchoGrowth * m_previousAllowed[b], m_long.quiet[b]));
            m_previousAllowed[b] = out.allowedLong[b];
            const float width = float(m_long.edges[b + 1] - m_long.edges[b]);
            pe += 0.5f * width * std::log2(1.0f + out.energyLong[b] / out.allowedLong[b]);
        }
        m_havePrevious = true;
        out.perceptualEntropy = pe;
        return;
    }
    m_havePrevious = false;
    for (int w = 0; w < 3; ++w) {
        float energy[kShortBands], flatness[kShortBands], allowed[kShortBands];
        for (int b = 0; b < kShortBands; ++b) {
            const int width = m_short.edges[b + 1] - m_short.edges[b];
            const float* band = lines + 3 * m_short.edges[b] + w * width;
            float e = 0.0f;
            for (int i = 0; i < width; ++i)
                e += band[i] * band[i];
            energy[b] = e;
            flatness[b] = 0.0f;
        }
        Thresholds(m_short, energy, flatness, false, allowed);
        for (int b = 0; b < kShortBands; ++b) {
            out.energyShort[b][w] = energy[b];
            out.allowedShort[b][w] = allowed[b];
            const float width = float(m_short.edges[b + 1] - m_short.edges[b]);
            pe += 0.5f * width * std::log2(1.0f + energy[b] / allowed[b]);
        }
    }
    out.perceptualEntropy = pe;
}

void TransientDetector::Reset()
{
    *this = TransientDetector();
}

namespace {

// accumulated plus the energy of the first difference of samples, added sample by
// sample; previous is the sample before the first and becomes the last. In locals,
// not members, which would go through memory at each sample.
float AccumulateHighs(const float* samples, int count, float& previous, float accumulated)
{
    float last = previous;
    for (int i = 0; i < count; ++i) {
        const float high = samples[i] - last;
        last = samples[i];
        accumulated += high * high;
    }
    previous = last;
    return accumulated;
}

} // namespace

void TransientDetector::Feed(const float* samples, int count)
{
    constexpr float kAttackRatio = 10.0f;     // 10 dB rise over the recent peak
    constexpr float kAudibleEnergy = 1e-5f;   // per block, about -68 dBFS
    constexpr std::size_t kHistory = 4;
    for (int i = 0; i < count;) {
        const int take = std::min(kBlock - m_inBlock, count - i);
        m_accumulated = AccumulateHighs(samples + i, take, m_previousInput, m_accumulated);
        i += take;
        m_inBlock += take;
        if (m_inBlock < kBlock)
            continue;
        float recent = 0.0f;
        for (float e : m_recentEnergy)
            recent = std::max(recent, e);
        if (m_accumulated > kAudibleEnergy && m_accumulated > kAttackRatio * recent
            && m_recentEnergy.size() == kHistory)
            m_attackBlocks.push_back(m_blockIndex);
        m_recentEnergy.push_back(m_accumulated);
        if (m_recentEnergy.size() > kHistory)
            m_recentEnergy.erase(m_recentEnergy.begin());
        m_accumulated = 0.0f;
        m_inBlock = 0;
        ++m_blockIndex;
    }
    // Old attacks are of no interest once far behind the granules still asked about.
    while (!m_attackBlocks.empty() && m_attackBlocks.front() < m_blockIndex - 64)
        m_attackBlocks.erase(m_attackBlocks.begin());
}

bool TransientDetector::Attack(long granule) const
{
    // Where a granule's short windows lie in input time, given the delay of
    // the polyphase filter and the MDCT overlap.
    const long first = 576 * granule - 600, last = 576 * granule + 100;
    for (long block : m_attackBlocks) {
        const long centre = block * kBlock + kBlock / 2;
        if (centre >= first && centre < last)
            return true;
    }
    return false;
}

} // namespace orv::codec::enc
