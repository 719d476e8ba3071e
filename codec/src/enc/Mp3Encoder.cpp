#include "orvcodec/Mp3Encoder.h"

#include "BitWriter.h"
#include "Filterbank.h"
#include "FrameLayout.h"
#include "HuffmanCoder.h"
#include "InfoFrame.h"
#include "PsychoModel.h"
#include "Quantizer.h"
#include "Resampler.h"
#include "orvcodec/MpegTables.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace orv::codec {

using namespace enc;

namespace {

constexpr int kMinInputRate = 4000;
constexpr int kMaxInputRate = 192000;
constexpr int kMinBitRate = 8;
constexpr int kMaxBitRate = 320;
constexpr int kMaxPart23Bits = 4095;
// Input samples between a sample entering the encoder and leaving a decoder:
// one granule of MDCT overlap plus the two polyphase filters.
constexpr int kCodecDelay = 576 + 481;
// Where the search for the first granule's global gain starts.
constexpr int kFirstGainHint = 150;
// Decoders look for a second header before they trust the first.
constexpr std::uint64_t kMinFrames = 2;

const int kSupportedRates[] = {16000, 22050, 24000, 32000, 44100, 48000};

int SampleRateIndex(int rate)
{
    switch (rate) {
    case 44100: case 22050: return 0;
    case 48000: case 24000: return 1;
    default: return 2;
    }
}

// Low-pass edge by bit rate per coded channel: what the budget can afford.
float CutoffHz(int kbpsPerChannel)
{
    static const int kPoints[][2] = {{8, 3000}, {16, 5500}, {24, 7500}, {32, 11000}, {40, 12500}, {48, 14000},
                                     {56, 15500}, {64, 16500}, {80, 18000}, {96, 19000}, {112, 19500}, {160, 20500}};
    const int count = int(sizeof(kPoints) / sizeof(kPoints[0]));
    if (kbpsPerChannel <= kPoints[0][0])
        return float(kPoints[0][1]);
    for (int i = 1; i < count; ++i) {
        if (kbpsPerChannel <= kPoints[i][0]) {
            const float t = float(kbpsPerChannel - kPoints[i - 1][0]) / float(kPoints[i][0] - kPoints[i - 1][0]);
            return kPoints[i - 1][1] + t * (kPoints[i][1] - kPoints[i - 1][1]);
        }
    }
    return float(kPoints[count - 1][1]);
}

} // namespace

const char* Mp3EncoderErrorText(Mp3EncoderError error)
{
    switch (error) {
    case Mp3EncoderError::None: return "no error";
    case Mp3EncoderError::BadChannels: return "the source must have one or two channels";
    case Mp3EncoderError::BadSampleSize: return "the source must have 8, 16 or 24 bits per sample";
    case Mp3EncoderError::BadInputRate: return "the source sample rate is out of range";
    case Mp3EncoderError::BadBitRate: return "the bit rate must be between 8 and 320 kbit/s";
    case Mp3EncoderError::NotConfigured: return "the encoder is not configured";
    }
    return "unknown error";
}

Mp3EncoderError ResolveMp3Format(const Mp3EncoderSettings& s, Mp3StreamFormat& format)
{
    if (s.inputChannels < 1 || s.inputChannels > 2)
        return Mp3EncoderError::BadChannels;
    if (s.inputBits != 8 && s.inputBits != 16 && s.inputBits != 24)
        return Mp3EncoderError::BadSampleSize;
    if (s.inputRate < kMinInputRate || s.inputRate > kMaxInputRate)
        return Mp3EncoderError::BadInputRate;
    if (s.bitRateKbps < kMinBitRate || s.bitRateKbps > kMaxBitRate)
        return Mp3EncoderError::BadBitRate;

    // The low-rate flag with a full rate (a caller that only sets the flag) means
    // 22050 Hz, the one low rate offered for such sources.
    int wanted = s.outputRate > 0 ? s.outputRate : s.inputRate;
    if (s.lowRate && wanted >= 44100)
        wanted = 22050;
    int rate = kSupportedRates[0];
    for (int candidate : kSupportedRates)
        if (std::abs(candidate - wanted) <= std::abs(rate - wanted))
            rate = candidate;

    format.sampleRate = rate;
    format.mpegVersion = rate < 32000 ? 2 : 1;
    format.frameSamples = format.mpegVersion == 1 ? 1152 : 576;
    const uint16_t* rates = kBitRateKbps[format.mpegVersion == 1 ? 0 : 1][2];
    int bitRate = 0;
    for (int i = 1; i < 15; ++i)
        if (bitRate == 0 || std::abs(rates[i] - s.bitRateKbps) < std::abs(bitRate - s.bitRateKbps))
            bitRate = rates[i];
    format.bitRateKbps = bitRate;
    const bool mono = s.inputChannels == 1 || s.channelMode == Mp3ChannelMode::Mono;
    format.channels = mono ? 1 : 2;
    format.jointStereo = !mono && (s.channelMode == Mp3ChannelMode::Auto || s.channelMode == Mp3ChannelMode::JointStereo);
    return Mp3EncoderError::None;
}

class Mp3EncoderImpl {
public:
    Mp3EncoderError Configure(const Mp3EncoderSettings& settings);
    void EncodeBytes(const std::uint8_t* bytes, std::size_t count, std::vector<std::uint8_t>& out);
    void EncodeFloat(const float* samples, std::size_t frames, std::vector<std::uint8_t>& out)
    {
        m_position += frames;
        AcceptInterleaved(samples, frames, out);
    }
    void Flush(std::vector<std::uint8_t>& out);
    // The stream starts with a placeholder of the Info frame; returns where the
    // audio bytes of this call begin in out.
    std::size_t StartOutput(std::vector<std::uint8_t>& out);
    // Counts and checksums the audio bytes a call appended from audioFrom on.
    void CountOutput(const std::vector<std::uint8_t>& out, std::size_t audioFrom);
    std::vector<std::uint8_t> InfoFrame(bool final) const;

    Mp3EncoderSettings m_settings;
    Mp3StreamFormat m_format;
    std::uint64_t m_position = 0;
    std::uint64_t m_framesWritten = 0;
    bool m_flushed = false;

private:
    struct Channel {
        PolyphaseAnalysis analysis;
        TransientDetector transients;
        PsychoModel psycho;
        std::vector<float> pcm;                 // coded-rate samples not yet analysed
        SubbandGranule subband[3];
    };

    void AcceptInterleaved(const float* samples, std::size_t frames, std::vector<std::uint8_t>& out);
    void FeedCoded(const float* samples, std::size_t frames, std::vector<std::uint8_t>& out);
    void AnalyseGranule(std::vector<std::uint8_t>& out);
    void TransformGranule(long granule, std::vector<std::uint8_t>& out);
    int ChooseBlockType(long granule) const;
    void EncodeFrame(std::vector<std::uint8_t>& out);
    bool ChooseMidSide() const;
    void ApplyMidSide();
    void AllocateBits(int availableBits, int slotBits, int reservoirBits, int budgets[2][2]) const;
    void ShareScaleFactors(bool scfsi[2][4]);

    int m_granulesPerFrame = 2;
    int m_bytesPerFrame = 4;
    std::vector<std::uint8_t> m_partial;        // bytes of an incomplete sample frame
    bool m_resample = false;
    Resampler m_resampler;
    std::vector<float> m_scratch;
    std::uint64_t m_codedSamples = 0;           // per channel, fed to the analysis
    std::uint64_t m_sourceSamples = 0;          // of those, the source's (known at Flush)

    Channel m_channels[2];
    long m_analysedGranules = 0;
    long m_transformedGranules = 0;
    int m_previousBlockType = kBlockNormal;
    int m_cutoffLine = kLines;
    int m_lastGain[2] = {kFirstGainHint, kFirstGainHint};

    // The frame being gathered.
    int m_granuleInFrame = 0;
    float m_lines[2][2][kLines] = {};
    int m_blockType[2] = {0, 0};
    BandMasking m_masking[2][2];
    GranuleCoding m_coding[2][2];

    const ScaleFactorBands* m_bands = nullptr;
    HuffmanCoder m_huffman;
    Quantizer m_quantizer;
    Reservoir m_reservoir;
    int m_paddingRemainder = 0;
    int m_paddingAccumulator = 0;
    int m_frameBytesBase = 0;

    bool m_infoStarted = false;
    std::uint64_t m_streamBytes = 0;            // Info frame included
    std::uint16_t m_audioCrc = 0;
};

Mp3EncoderError Mp3EncoderImpl::Configure(const Mp3EncoderSettings& settings)
{
    const Mp3EncoderError error = ResolveMp3Format(settings, m_format);
    if (error != Mp3EncoderError::None)
        return error;
    m_settings = settings;
    m_infoStarted = false;
    m_flushed = false;
    m_streamBytes = 0;
    m_audioCrc = 0;
    m_position = 0;
    m_framesWritten = 0;
    m_granulesPerFrame = m_format.mpegVersion == 1 ? 2 : 1;
    m_bytesPerFrame = settings.inputChannels * settings.inputBits / 8;
    m_partial.clear();
    m_resample = m_format.sampleRate != settings.inputRate;
    if (m_resample)
        m_resampler.Configure(settings.inputRate, m_format.sampleRate, m_format.channels);
    m_codedSamples = 0;
    m_sourceSamples = 0;
    m_analysedGranules = 0;
    m_transformedGranules = 0;
    m_previousBlockType = kBlockNormal;
    m_granuleInFrame = 0;
    m_lastGain[0] = m_lastGain[1] = kFirstGainHint;

    const int row = m_format.mpegVersion == 1 ? 0 : 1;
    m_bands = &kScaleFactorBands[row * 3 + SampleRateIndex(m_format.sampleRate)];
    const bool lsf = m_format.mpegVersion == 2;
    m_huffman.Configure(m_bands->longBounds);
    m_quantizer.Configure(m_bands->longBounds, m_bands->shortBounds, lsf, &m_huffman);
    for (Channel& ch : m_channels) {
        ch.analysis.Reset();
        ch.transients.Reset();
        ch.psycho.Configure(m_format.sampleRate, m_bands->longBounds, m_bands->shortBounds);
        ch.pcm.clear();
        for (SubbandGranule& g : ch.subband)
            for (auto& slot : g)
                slot.fill(0.0f);
    }
    const int perChannel = m_format.bitRateKbps / m_format.channels;
    const float cutoff = std::min(CutoffHz(perChannel), 0.5f * m_format.sampleRate);
    m_cutoffLine = std::min(kLines, int(std::ceil(cutoff / (0.5f * m_format.sampleRate) * kLines)));

    const int slotsFactor = m_format.mpegVersion == 1 ? 144000 : 72000;
    m_frameBytesBase = slotsFactor * m_format.bitRateKbps / m_format.sampleRate;
    m_paddingRemainder = slotsFactor * m_format.bitRateKbps % m_format.sampleRate;
    m_paddingAccumulator = 0;
    // The decoder's buffer holds 7680 bits of frames and reservoir together.
    const int limitBytes = std::max(0, (7680 - m_frameBytesBase * 8) / 8);
    m_reservoir.Reset(lsf ? 255 : 511, limitBytes);
    return Mp3EncoderError::None;
}

void Mp3EncoderImpl::EncodeBytes(const std::uint8_t* bytes, std::size_t count, std::vector<std::uint8_t>& out)
{
    const int channels = m_settings.inputChannels;
    const int sampleBytes = m_settings.inputBits / 8;
    m_partial.insert(m_partial.end(), bytes, bytes + count);
    const std::size_t frames = m_partial.size() / m_bytesPerFrame;
    m_scratch.resize(frames * channels);
    const std::uint8_t* p = m_partial.data();
    for (std::size_t i = 0; i < frames * channels; ++i, p += sampleBytes) {
        float value;
        if (sampleBytes == 1)
            value = (int(p[0]) - 128) / 128.0f;
        else if (sampleBytes == 2)
            value = std::int16_t(p[0] | (p[1] << 8)) / 32768.0f;
        else
            value = (std::int32_t(std::uint32_t(p[0] << 8) | std::uint32_t(p[1] << 16) | std::uint32_t(p[2]) << 24) >> 8) / 8388608.0f;
        m_scratch[i] = value;
    }
    m_partial.erase(m_partial.begin(), m_partial.begin() + frames * m_bytesPerFrame);
    m_position += frames;
    AcceptInterleaved(m_scratch.data(), frames, out);
}

void Mp3EncoderImpl::AcceptInterleaved(const float* samples, std::size_t frames, std::vector<std::uint8_t>& out)
{
    std::vector<float> mono;
    if (m_settings.inputChannels == 2 && m_format.channels == 1) {
        mono.resize(frames);
        for (std::size_t i = 0; i < frames; ++i)
            mono[i] = 0.5f * (samples[2 * i] + samples[2 * i + 1]);
        samples = mono.data();
    }
    if (!m_resample) {
        FeedCoded(samples, frames, out);
        return;
    }
    std::vector<float> resampled;
    m_resampler.Process(samples, frames, resampled);
    FeedCoded(resampled.data(), resampled.size() / m_format.channels, out);
}

void Mp3EncoderImpl::FeedCoded(const float* samples, std::size_t frames, std::vector<std::uint8_t>& out)
{
    const int channels = m_format.channels;
    for (int c = 0; c < channels; ++c) {
        std::vector<float>& pcm = m_channels[c].pcm;
        for (std::size_t i = 0; i < frames; ++i)
            pcm.push_back(samples[i * channels + c]);
    }
    m_codedSamples += frames;
    while (m_channels[0].pcm.size() >= std::size_t(kGranuleLines))
        AnalyseGranule(out);
}

void Mp3EncoderImpl::AnalyseGranule(std::vector<std::uint8_t>& out)
{
    const int slot = int(m_analysedGranules % 3);
    for (int c = 0; c < m_format.channels; ++c) {
        Channel& ch = m_channels[c];
        for (int t = 0; t < kSlotsPerGranule; ++t)
            ch.analysis.Process(&ch.pcm[32 * t], ch.subband[slot][t].data());
        ch.transients.Feed(ch.pcm.data(), kGranuleLines);
        ch.pcm.erase(ch.pcm.begin(), ch.pcm.begin() + kGranuleLines);
    }
    ++m_analysedGranules;
    // The MDCT of a granule needs the next one analysed, to see attacks coming.
    if (m_analysedGranules >= 2)
        TransformGranule(m_analysedGranules - 2, out);
}

int Mp3EncoderImpl::ChooseBlockType(long granule) const
{
    bool attackNow = false, attackNext = false;
    for (int c = 0; c < m_format.channels; ++c) {
        attackNow = attackNow || m_channels[c].transients.Attack(granule);
        attackNext = attackNext || m_channels[c].transients.Attack(granule + 1);
    }
    // A start window must be followed by short blocks, short blocks by a stop
    // window or more short blocks.
    if (m_previousBlockType == kBlockStart || attackNow)
        return kBlockShort;
    if (attackNext)
        return m_previousBlockType == kBlockShort ? kBlockShort : kBlockStart;
    return m_previousBlockType == kBlockShort ? kBlockStop : kBlockNormal;
}

void Mp3EncoderImpl::TransformGranule(long granule, std::vector<std::uint8_t>& out)
{
    static const SubbandGranule kSilence{};
    const int blockType = ChooseBlockType(granule);
    m_previousBlockType = blockType;
    const int gr = m_granuleInFrame;
    m_blockType[gr] = blockType;
    int shortEdges[kShortBands + 1];
    for (int b = 0; b <= kShortBands; ++b)
        shortEdges[b] = m_bands->shortBounds[b];
    for (int c = 0; c < m_format.channels; ++c) {
        Channel& ch = m_channels[c];
        const SubbandGranule& previous = granule == 0 ? kSilence : ch.subband[(granule - 1) % 3];
        float* lines = m_lines[gr][c];
        HybridMdct(previous, ch.subband[granule % 3], blockType, shortEdges, kShortBands, lines);
        if (blockType != kBlockShort) {
            std::fill(lines + m_cutoffLine, lines + kLines, 0.0f);
        } else {
            const int shortCutoff = m_cutoffLine / 3;
            for (int b = 0; b < kShortBands; ++b) {
                const int width = shortEdges[b + 1] - shortEdges[b];
                for (int w = 0; w < 3; ++w)
                    for (int f = shortEdges[b]; f < shortEdges[b + 1]; ++f)
                        if (f >= shortCutoff)
                            lines[3 * shortEdges[b] + w * width + (f - shortEdges[b])] = 0.0f;
            }
        }
        ch.psycho.Analyse(lines, blockType, m_masking[gr][c]);
    }
    ++m_transformedGranules;
    if (++m_granuleInFrame == m_granulesPerFrame) {
        EncodeFrame(out);
        m_granuleInFrame = 0;
    }
}

namespace {

// Bits a channel would need, from band energies against what may be masked.
float EntropyOf(const float* energy, const float* allowed, const std::uint16_t* edges, int count, int windows)
{
    float pe = 0.0f;
    for (int b = 0; b < count; ++b)
        for (int w = 0; w < windows; ++w)
            pe += 0.5f * (edges[b + 1] - edges[b]) * std::log2(1.0f + energy[b * windows + w] / allowed[b * windows + w]);
    return pe;
}

} // namespace

bool Mp3EncoderImpl::ChooseMidSide() const
{
    float separate = 0.0f, joint = 0.0f;
    for (int gr = 0; gr < m_granulesPerFrame; ++gr) {
        const bool shortBlock = m_blockType[gr] == kBlockShort;
        const std::uint16_t* edges = shortBlock ? m_bands->shortBounds : m_bands->longBounds;
        const int count = shortBlock ? kShortBands : kLongBands;
        const int windows = shortBlock ? 3 : 1;
        float energy[2][kShortBands * 3] = {}, allowed[kShortBands * 3];
        const BandMasking& left = m_masking[gr][0];
        const BandMasking& right = m_masking[gr][1];
        int line = 0;
        for (int b = 0; b < count; ++b) {
            for (int w = 0; w < windows; ++w) {
                const int k = b * windows + w;
                allowed[k] = shortBlock ? std::min(left.allowedShort[b][w], right.allowedShort[b][w])
                                        : std::min(left.allowedLong[b], right.allowedLong[b]);
                for (int i = edges[b]; i < edges[b + 1]; ++i, ++line) {
                    const float l = m_lines[gr][0][line], r = m_lines[gr][1][line];
                    energy[0][k] += 0.5f * (l + r) * (l + r);
                    energy[1][k] += 0.5f * (l - r) * (l - r);
                }
            }
        }
        if (shortBlock) {
            float el[kShortBands * 3], al[kShortBands * 3], er[kShortBands * 3], ar[kShortBands * 3];
            for (int b = 0; b < count; ++b)
                for (int w = 0; w < 3; ++w) {
                    el[b * 3 + w] = left.energyShort[b][w];  al[b * 3 + w] = left.allowedShort[b][w];
                    er[b * 3 + w] = right.energyShort[b][w]; ar[b * 3 + w] = right.allowedShort[b][w];
                }
            separate += EntropyOf(el, al, edges, count, 3) + EntropyOf(er, ar, edges, count, 3);
        } else {
            separate += EntropyOf(left.energyLong, left.allowedLong, edges, count, 1)
                      + EntropyOf(right.energyLong, right.allowedLong, edges, count, 1);
        }
        joint += EntropyOf(energy[0], allowed, edges, count, windows) + EntropyOf(energy[1], allowed, edges, count, windows);
    }
    return joint < separate;
}

void Mp3EncoderImpl::ApplyMidSide()
{
    const float half = std::sqrt(0.5f);
    for (int gr = 0; gr < m_granulesPerFrame; ++gr) {
        for (int i = 0; i < kLines; ++i) {
            const float l = m_lines[gr][0][i], r = m_lines[gr][1][i];
            m_lines[gr][0][i] = (l + r) * half;
            m_lines[gr][1][i] = (l - r) * half;
        }
        BandMasking& left = m_masking[gr][0];
        BandMasking& right = m_masking[gr][1];
        float pe[2] = {0.0f, 0.0f};
        const bool shortBlock = m_blockType[gr] == kBlockShort;
        int line = 0;
        const std::uint16_t* edges = shortBlock ? m_bands->shortBounds : m_bands->longBounds;
        for (int b = 0; b < (shortBlock ? kShortBands : kLongBands); ++b) {
            for (int w = 0; w < (shortBlock ? 3 : 1); ++w) {
                float* allowedL = shortBlock ? &left.allowedShort[b][w] : &left.allowedLong[b];
                float* allowedR = shortBlock ? &right.allowedShort[b][w] : &right.allowedLong[b];
                const float allowed = std::min(*allowedL, *allowedR);
                *allowedL = *allowedR = allowed;
                float e[2] = {0.0f, 0.0f};
                for (int i = edges[b]; i < edges[b + 1]; ++i, ++line)
                    for (int c = 0; c < 2; ++c)
                        e[c] += m_lines[gr][c][line] * m_lines[gr][c][line];
                for (int c = 0; c < 2; ++c)
                    pe[c] += 0.5f * (edges[b + 1] - edges[b]) * std::log2(1.0f + e[c] / allowed);
            }
        }
        left.perceptualEntropy = pe[0];
        right.perceptualEntropy = pe[1];
    }
}

void Mp3EncoderImpl::AllocateBits(int availableBits, int slotBits, int reservoirBits, int budgets[2][2]) const
{
    const int channels = m_format.channels;
    const int granules = m_granulesPerFrame;
    const int reservoirMaxBits = 8 * m_reservoir.MaxBytes();
    // Easy frames leave a tenth of their slot to the reservoir until it is
    // nearly full; what would overflow it is spent at once.
    int frameBudget = slotBits;
    const int nearlyFull = reservoirMaxBits * 9 / 10;
    if (reservoirBits > nearlyFull)
        frameBudget += reservoirBits - nearlyFull;
    else
        frameBudget -= slotBits / 10;
    float wanted = 0.0f, weight[2][2];
    for (int gr = 0; gr < granules; ++gr)
        for (int c = 0; c < channels; ++c) {
            weight[gr][c] = m_masking[gr][c].perceptualEntropy + 0.15f * slotBits / (granules * channels);
            wanted += m_masking[gr][c].perceptualEntropy;
        }
    // Demanding frames draw on the reservoir.
    const int extra = std::clamp(int(wanted) - frameBudget, 0, std::max(0, reservoirBits * 6 / 10));
    frameBudget = std::min(availableBits, frameBudget + extra);
    float totalWeight = 0.0f;
    for (int gr = 0; gr < granules; ++gr)
        for (int c = 0; c < channels; ++c)
            totalWeight += weight[gr][c];
    for (int gr = 0; gr < granules; ++gr)
        for (int c = 0; c < channels; ++c)
            budgets[gr][c] = std::min(kMaxPart23Bits, int(frameBudget * weight[gr][c] / totalWeight));
}

void Mp3EncoderImpl::ShareScaleFactors(bool scfsi[2][4])
{
    static const int kGroupStart[5] = {0, 6, 11, 16, 21};
    for (int c = 0; c < m_format.channels; ++c) {
        GranuleCoding& first = m_coding[0][c];
        GranuleCoding& second = m_coding[1][c];
        if (first.blockType != kBlockNormal || second.blockType != kBlockNormal)
            continue;
        bool any = false;
        for (int group = 0; group < 4; ++group) {
            bool same = true;
            for (int b = kGroupStart[group]; b < kGroupStart[group + 1]; ++b)
                same = same && first.scalefacLong[b] == second.scalefacLong[b];
            scfsi[c][group] = same;
            any = any || same;
        }
        if (!any)
            continue;
        const int part3 = second.part23Length - second.part2Length;
        second.part2Length = m_quantizer.ScaleFactorBits(second, scfsi[c]);
        second.part23Length = second.part2Length + part3;
    }
}

void Mp3EncoderImpl::EncodeFrame(std::vector<std::uint8_t>& out)
{
    const bool lsf = m_format.mpegVersion == 2;
    const int channels = m_format.channels;
    FrameHeader header;
    header.lsf = lsf;
    header.crc = m_settings.crc;
    header.channels = channels;
    header.jointStereo = m_format.jointStereo;
    header.sampleRateIndex = SampleRateIndex(m_format.sampleRate);
    const uint16_t* rates = kBitRateKbps[lsf ? 1 : 0][2];
    for (int i = 1; i < 15; ++i)
        if (rates[i] == m_format.bitRateKbps)
            header.bitRateIndex = i;
    m_paddingAccumulator += m_paddingRemainder;
    if (m_paddingAccumulator >= m_format.sampleRate) {
        m_paddingAccumulator -= m_format.sampleRate;
        header.padding = true;
    }
    const int frameBytes = m_frameBytesBase + (header.padding ? 1 : 0);
    const int fixedBytes = 4 + (header.crc ? 2 : 0) + SideInfoBytes(lsf, channels);
    const int slotBytes = frameBytes - fixedBytes;

    // Both channels always share block types, so mid/side is open to every frame.
    if (channels == 2 && m_format.jointStereo && ChooseMidSide()) {
        header.midSide = true;
        ApplyMidSide();
    }
    const int mainDataBegin = m_reservoir.Available();
    const int availableBits = 8 * (mainDataBegin + slotBytes);
    int budgets[2][2] = {};
    AllocateBits(availableBits, 8 * slotBytes, 8 * mainDataBegin, budgets);

    int usedBits = 0;
    for (int gr = 0; gr < m_granulesPerFrame; ++gr) {
        for (int c = 0; c < channels; ++c) {
            // Bits the previous granules left over go to the next one.
            int budget = budgets[gr][c];
            int planned = 0;
            for (int g2 = 0; g2 < m_granulesPerFrame; ++g2)
                for (int c2 = 0; c2 < channels; ++c2)
                    if (g2 * channels + c2 < gr * channels + c)
                        planned += budgets[g2][c2];
            budget += std::max(0, planned - usedBits) / 2;
            budget = std::min({budget, kMaxPart23Bits, availableBits - usedBits});
            GranuleCoding& g = m_coding[gr][c];
            g.blockType = m_blockType[gr];
            m_quantizer.Quantize(m_lines[gr][c], m_masking[gr][c], budget, m_lastGain[c], g);
            if (g.bigValues > 0 || g.count1 > 0)
                m_lastGain[c] = g.globalGain;
            usedBits += g.part23Length;
        }
    }
    bool scfsi[2][4] = {};
    if (!lsf)
        ShareScaleFactors(scfsi);

    BitWriter main;
    for (int gr = 0; gr < m_granulesPerFrame; ++gr) {
        for (int c = 0; c < channels; ++c) {
            const GranuleCoding& g = m_coding[gr][c];
            WriteScaleFactors(main, lsf, g, gr, scfsi[c]);
            m_huffman.Write(main, g);
        }
    }
    BitWriter head;
    WriteHeader(head, header);
    if (header.crc)
        head.Put(0, 16);
    WriteSideInfo(head, header, mainDataBegin, m_coding, scfsi);
    std::vector<std::uint8_t> headBytes = head.Bytes();
    if (header.crc) {
        std::uint16_t crc = MpegCrc16(0xffff, headBytes.data() + 2, 16);
        crc = MpegCrc16(crc, headBytes.data() + 6, 8 * (int(headBytes.size()) - 6));
        headBytes[4] = std::uint8_t(crc >> 8);
        headBytes[5] = std::uint8_t(crc & 0xff);
    }
    m_reservoir.AddFrame(headBytes, slotBytes, mainDataBegin, main.Bytes(), main.BitCount());
    m_reservoir.Release(out, false);
    ++m_framesWritten;
}

void Mp3EncoderImpl::Flush(std::vector<std::uint8_t>& out)
{
    if (m_resample) {
        std::vector<float> tail;
        m_resampler.Flush(tail);
        FeedCoded(tail.data(), tail.size() / m_format.channels, out);
        m_resample = false;
    }
    m_sourceSamples = m_codedSamples;
    const std::uint64_t granulesNeeded = (m_codedSamples + kCodecDelay + kGranuleLines - 1) / kGranuleLines;
    const std::uint64_t frames = std::max<std::uint64_t>(kMinFrames, (granulesNeeded + m_granulesPerFrame - 1) / m_granulesPerFrame);
    const std::uint64_t target = frames * m_granulesPerFrame;
    std::vector<float> silence(std::size_t(kGranuleLines) * m_format.channels, 0.0f);
    while (std::uint64_t(m_transformedGranules) < target)
        FeedCoded(silence.data(), kGranuleLines, out);
    m_reservoir.Release(out, true);
    m_flushed = true;
}

std::size_t Mp3EncoderImpl::StartOutput(std::vector<std::uint8_t>& out)
{
    if (!m_infoStarted) {
        const std::vector<std::uint8_t> placeholder = InfoFrame(false);
        out.insert(out.end(), placeholder.begin(), placeholder.end());
        m_streamBytes += placeholder.size();
        m_infoStarted = true;
    }
    return out.size();
}

void Mp3EncoderImpl::CountOutput(const std::vector<std::uint8_t>& out, std::size_t audioFrom)
{
    m_audioCrc = InfoCrc16(m_audioCrc, out.data() + audioFrom, out.size() - audioFrom);
    m_streamBytes += out.size() - audioFrom;
}

std::vector<std::uint8_t> Mp3EncoderImpl::InfoFrame(bool final) const
{
    InfoFrameFields f;
    f.lsf = m_format.mpegVersion == 2;
    f.sampleRate = m_format.sampleRate;
    f.sampleRateIndex = SampleRateIndex(m_format.sampleRate);
    f.channels = m_format.channels;
    f.jointStereo = m_format.jointStereo;
    f.bitRateKbps = m_format.bitRateKbps;
    f.final = final;
    f.audioFrames = std::uint32_t(m_framesWritten);
    f.streamBytes = std::uint32_t(m_streamBytes);
    // The source's first sample leaves a decoder kCodecDelay samples late; the
    // frames then hold the source and silence up to their end.
    f.encoderDelay = kCodecDelay - kDecoderDelay;
    const std::uint64_t decoded = m_framesWritten * std::uint64_t(m_format.frameSamples);
    const std::uint64_t used = m_sourceSamples + std::uint64_t(kCodecDelay);
    f.endPadding = decoded > used ? int(std::min<std::uint64_t>(decoded - used + kDecoderDelay, 4095)) : kDecoderDelay;
    f.lowpassHz = int(std::lround(float(m_cutoffLine) / kLines * 0.5f * m_format.sampleRate));
    f.audioCrc = m_audioCrc;
    return BuildInfoFrame(f);
}

Mp3Encoder::Mp3Encoder() = default;
Mp3Encoder::~Mp3Encoder() = default;

Mp3EncoderError Mp3Encoder::Configure(const Mp3EncoderSettings& settings)
{
    auto impl = std::make_unique<Mp3EncoderImpl>();
    const Mp3EncoderError error = impl->Configure(settings);
    if (error != Mp3EncoderError::None)
        return error;
    m_impl = std::move(impl);
    return Mp3EncoderError::None;
}

const Mp3StreamFormat& Mp3Encoder::Format() const
{
    static const Mp3StreamFormat kNone;
    return m_impl ? m_impl->m_format : kNone;
}

Mp3EncoderError Mp3Encoder::Encode(const void* pcm, std::size_t byteCount, std::vector<std::uint8_t>& out)
{
    if (!m_impl)
        return Mp3EncoderError::NotConfigured;
    const std::size_t audioFrom = m_impl->StartOutput(out);
    m_impl->EncodeBytes(static_cast<const std::uint8_t*>(pcm), byteCount, out);
    m_impl->CountOutput(out, audioFrom);
    return Mp3EncoderError::None;
}

Mp3EncoderError Mp3Encoder::EncodeFloat(const float* samples, std::size_t frames, std::vector<std::uint8_t>& out)
{
    if (!m_impl)
        return Mp3EncoderError::NotConfigured;
    const std::size_t audioFrom = m_impl->StartOutput(out);
    m_impl->EncodeFloat(samples, frames, out);
    m_impl->CountOutput(out, audioFrom);
    return Mp3EncoderError::None;
}

Mp3EncoderError Mp3Encoder::Flush(std::vector<std::uint8_t>& out)
{
    if (!m_impl)
        return Mp3EncoderError::NotConfigured;
    const std::size_t audioFrom = m_impl->StartOutput(out);
    m_impl->Flush(out);
    m_impl->CountOutput(out, audioFrom);
    return Mp3EncoderError::None;
}

std::uint64_t Mp3Encoder::Total() const
{
    if (!m_impl)
        return 0;
    return std::max<std::uint64_t>({1, m_impl->m_settings.totalInputFrames, m_impl->m_position});
}

std::uint64_t Mp3Encoder::Position() const
{
    return m_impl ? m_impl->m_position : 0;
}

std::uint64_t Mp3Encoder::FramesWritten() const
{
    return m_impl ? m_impl->m_framesWritten : 0;
}

bool Mp3Encoder::InfoFrame(std::vector<std::uint8_t>& frame) const
{
    if (!m_impl || !m_impl->m_flushed)
        return false;
    frame = m_impl->InfoFrame(true);
    return true;
}

bool Mp3Encoder::CompleteStream(std::vector<std::uint8_t>& stream) const
{
    std::vector<std::uint8_t> frame;
    if (!InfoFrame(frame) || stream.size() < frame.size())
        return false;
    std::copy(frame.begin(), frame.end(), stream.begin());
    return true;
}

} // namespace orv::codec
