// End-to-end checks of the encoder: stream layout, reference decoders, quality
// floors and robustness.
#include "EncoderTestSupport.h"
#include "orvcodec/Mp3Decoder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <cstdio>
#include <sys/wait.h>

using namespace orv::codec;
using namespace enctest;

namespace {

Mp3EncoderSettings At(int kbps, int outputRate = 0, Mp3ChannelMode mode = Mp3ChannelMode::Auto)
{
    Mp3EncoderSettings s;
    s.bitRateKbps = kbps;
    s.outputRate = outputRate;
    s.lowRate = outputRate > 0 && outputRate < 44100;
    s.channelMode = mode;
    return s;
}

std::string Save(const std::string& name, const std::vector<std::uint8_t>& stream)
{
    const std::string path = TempDir() + "/" + name + ".mp3";
    WriteFile(path, stream);
    return path;
}

std::size_t CodedFrames(std::size_t inputFrames, int inputRate, int outputRate)
{
    return (inputFrames * std::size_t(outputRate) + inputRate - 1) / inputRate;
}

// Frames needed to carry `frames` input samples past the codec delay.
std::size_t ExpectedFrameCount(std::size_t inputFrames, int inputRate, int outputRate, int frameSamples)
{
    const std::size_t coded = CodedFrames(inputFrames, inputRate, outputRate);
    const std::size_t granules = (coded + 1057 + 575) / 576;
    const std::size_t perFrame = std::size_t(frameSamples / 576);
    return std::max<std::size_t>(2, (granules + perFrame - 1) / perFrame);
}

struct Case {
    const char* name;
    Pcm pcm;
    int bits;
    Mp3EncoderSettings settings;
};

void CheckStream(const Case& c)
{
    SCOPED_TRACE(c.name);
    const std::vector<std::uint8_t> stream = Encode(c.pcm, c.bits, c.settings);
    Mp3StreamFormat format;
    ASSERT_EQ(ResolveMp3Format([&] { Mp3EncoderSettings s = c.settings; s.inputRate = c.pcm.rate;
                                      s.inputChannels = c.pcm.channels; s.inputBits = c.bits; return s; }(), format),
              Mp3EncoderError::None);
    std::vector<FrameInfo> frames;
    std::string reason;
    ASSERT_TRUE(WalkFrames(stream, frames, reason)) << reason;
    ASSERT_EQ(frames.size(), ExpectedFrameCount(c.pcm.Frames(), c.pcm.rate, format.sampleRate, format.frameSamples));
    std::size_t bytes = 0;
    for (const FrameInfo& f : frames) {
        ASSERT_EQ(f.bitRateKbps, format.bitRateKbps);
        ASSERT_EQ(f.sampleRate, format.sampleRate);
        ASSERT_EQ(f.version, format.mpegVersion);
        ASSERT_EQ(f.mode == 3, format.channels == 1);
        bytes += f.bytes;
    }
    // CBR: the size is the bit rate times the duration, to within one padding byte.
    const double seconds = double(frames.size()) * format.frameSamples / format.sampleRate;
    EXPECT_NEAR(double(bytes), seconds * format.bitRateKbps * 125.0, 1.0);

    const std::string path = Save(c.name, stream);
    // The reference decoders trim what the Info frame says; ours, untrimmed, gives
    // every frame.
    const std::size_t coded = CodedFrames(c.pcm.Frames(), c.pcm.rate, format.sampleRate);
    const std::size_t everySample = frames.size() * format.frameSamples;
    for (auto decode : {DecodeWithMpg123, DecodeWithFfmpeg, DecodeWithLame, DecodeWithOurs}) {
        const Decoded d = decode(path);
        ASSERT_TRUE(d.ran);
        EXPECT_EQ(d.diagnostics, "");
        EXPECT_EQ(d.pcm.rate, format.sampleRate);
        EXPECT_EQ(d.pcm.channels, format.channels);
        EXPECT_EQ(d.pcm.Frames(), decode == DecodeWithOurs ? everySample : coded);
    }
}

} // namespace

TEST(Mp3EncoderFormat, MakesUserInterfaceSettingsSound)
{
    struct Row { int inputRate, outputRate; bool lowRate; int kbps; int rate, version, bitRate; };
    const Row rows[] = {
        {44100, 44100, false, 128, 44100, 1, 128},
        {44100, 48000, false, 320, 48000, 1, 320},
        {44100, 0, true, 128, 22050, 2, 128},      // the low-rate flag alone means 22050
        {48000, 0, true, 64, 22050, 2, 64},
        {48000, 24000, true, 64, 24000, 2, 64},
        {44100, 22050, true, 320, 22050, 2, 160},  // MPEG-2 tops out at 160
        {44100, 22050, true, 192, 22050, 2, 160},
        {44100, 22050, true, 40, 22050, 2, 40},
        {32000, 32000, true, 96, 32000, 1, 96},    // a source's own 32 kHz stays MPEG-1
        {16000, 16000, true, 56, 16000, 2, 56},
        {11025, 11025, true, 32, 16000, 2, 32},    // rates below the format's go to the nearest
        {8000, 0, false, 32, 16000, 2, 32},
        {96000, 0, false, 128, 48000, 1, 128},
        {44100, 44100, false, 150, 44100, 1, 160},
    };
    for (const Row& r : rows) {
        Mp3EncoderSettings s;
        s.inputRate = r.inputRate;
        s.outputRate = r.outputRate;
        s.lowRate = r.lowRate;
        s.bitRateKbps = r.kbps;
        Mp3StreamFormat f;
        ASSERT_EQ(ResolveMp3Format(s, f), Mp3EncoderError::None) << r.inputRate;
        EXPECT_EQ(f.sampleRate, r.rate) << r.inputRate << " -> " << r.outputRate;
        EXPECT_EQ(f.mpegVersion, r.version) << r.inputRate << " -> " << r.outputRate;
        EXPECT_EQ(f.bitRateKbps, r.bitRate) << r.kbps;
    }
}

TEST(Mp3EncoderFormat, RefusesWhatNoStreamCanCarry)
{
    Mp3StreamFormat f;
    Mp3EncoderSettings s;
    s.inputChannels = 3;
    EXPECT_EQ(ResolveMp3Format(s, f), Mp3EncoderError::BadChannels);
    s = {};
    s.inputBits = 12;
    EXPECT_EQ(ResolveMp3Format(s, f), Mp3EncoderError::BadSampleSize);
    s = {};
    s.inputRate = 0;
    EXPECT_EQ(ResolveMp3Format(s, f), Mp3EncoderError::BadInputRate);
    s = {};
    s.bitRateKbps = 0;
    EXPECT_EQ(ResolveMp3Format(s, f), Mp3EncoderError::BadBitRate);
    s.bitRateKbps = 448;
    EXPECT_EQ(ResolveMp3Format(s, f), Mp3EncoderError::BadBitRate);
    Mp3Encoder encoder;
    std::vector<std::uint8_t> out;
    EXPECT_EQ(encoder.Encode("", 0, out), Mp3EncoderError::NotConfigured);
    EXPECT_EQ(encoder.Configure(s), Mp3EncoderError::BadBitRate);
    EXPECT_EQ(encoder.Flush(out), Mp3EncoderError::NotConfigured);
}

TEST(Mp3EncoderStream, SignalsDecodeCleanlyWithExactFrames)
{
    const Case cases[] = {
        {"sine-stereo-128", Sine(44100, 2, 1.5, 1000, 0.5), 16, At(128)},
        {"sweep-mono-64", Sweep(44100, 1, 1.5, 50, 18000, 0.7), 16, At(64)},
        {"pink-stereo-192-plain", PinkNoise(44100, 2, 1.5, 0.5), 16, At(192, 0, Mp3ChannelMode::Stereo)},
        {"castanets-joint-96", Castanets(44100, 2, 1.5, 0.25, 0.9), 16, At(96)},
        {"silence-stereo-320", Silence(44100, 2, 1.0), 16, At(320)},
        {"pink-8bit-mono-32", PinkNoise(44100, 1, 1.0, 0.5), 8, At(32)},
        {"sweep-24bit-stereo-256", Sweep(48000, 2, 1.0, 30, 20000, 0.8), 24, At(256)},
        {"pink-32k-stereo-80", PinkNoise(32000, 2, 1.0, 0.5), 16, At(80)},
        {"castanets-lsf-22050-64", Castanets(22050, 2, 1.0, 0.25, 0.9), 16, At(64, 22050)},
        {"pink-lsf-16000-mono-24", PinkNoise(16000, 1, 1.0, 0.5), 16, At(24, 16000)},
        {"sweep-lsf-24000-160", Sweep(24000, 2, 1.0, 50, 11000, 0.5), 16, At(320, 24000)},
        {"downmix-mono-112", PinkNoise(44100, 2, 1.0, 0.5), 16, At(112, 0, Mp3ChannelMode::Mono)},
    };
    for (const Case& c : cases)
        CheckStream(c);
}

TEST(Mp3EncoderStream, EachInputRateToEachOutputRate)
{
    for (int input : {22050, 44100, 48000})
        for (int output : {22050, 44100, 48000}) {
            const std::string name = "rate-" + std::to_string(input) + "-" + std::to_string(output);
            CheckStream({name.c_str(), Sweep(input, 2, 0.6, 100, 10000, 0.5), 16, At(128, output)});
        }
}

TEST(Mp3EncoderStream, CrcProtectedFramesCheckOut)
{
    Mp3EncoderSettings s = At(96);
    s.crc = true;
    const std::vector<std::uint8_t> stream = Encode(Castanets(44100, 2, 1.0, 0.2, 0.8), 16, s);
    std::vector<FrameInfo> frames;
    std::string reason;
    ASSERT_TRUE(WalkFrames(stream, frames, reason)) << reason;
    for (const FrameInfo& f : frames)
        ASSERT_TRUE(f.crc);
    EXPECT_EQ(DecodeWithFfmpeg(Save("crc", stream)).diagnostics, "");
    // A flipped side-information bit must be caught, or the check proves nothing.
    std::vector<std::uint8_t> damaged = stream;
    damaged[frames[0].bytes + 8] ^= 0x10;
    EXPECT_NE(DecodeWithFfmpeg(Save("crc-damaged", damaged)).diagnostics.find("CRC"), std::string::npos);
}

TEST(Mp3EncoderQuality, SineAt128KeepsItsSnr)
{
    const Pcm input = Sine(44100, 2, 2.0, 1000, 0.5);
    const Decoded d = DecodeWithMpg123(Save("snr-sine", Encode(input, 16, At(128))));
    // mpg123 trims the delay and padding the Info frame states.
    ASSERT_EQ(d.pcm.Frames(), input.Frames());
    const double snr = SnrDb(input, d.pcm, 0, 0, 4096, input.Frames() - 4096);
    std::printf("1 kHz sine at 128 kbit/s: SNR %.1f dB\n", snr);
    EXPECT_GT(snr, 70.0);
}


TEST(Mp3EncoderQuality, SampleSizesAllCarryTheSignal)
{
    const Pcm input = Sine(44100, 2, 1.0, 440, 0.5);
    for (int bits : {8, 16, 24}) {
        const Decoded d = DecodeWithMpg123(Save("bits-" + std::to_string(bits), Encode(input, bits, At(192))));
        const double snr = SnrDb(input, d.pcm, 0, 1, 2048, input.Frames() - 2048);
        // 8-bit input carries its own quantisation noise, near 40 dB for this level.
        EXPECT_GT(snr, bits == 8 ? 30.0 : 55.0) << bits << " bits";
    }
}

TEST(Mp3EncoderQuality, ResamplingLeavesNoAliases)
{
    // 15 kHz cannot pass a 22050 Hz stream; folded it would land at 7050 Hz.
    Pcm input = Sine(44100, 1, 1.5, 15000, 0.5);
    const Pcm tone = Sine(44100, 1, 1.5, 1000, 0.25);
    for (std::size_t i = 0; i < input.samples.size(); ++i)
        input.samples[i] += tone.samples[i];
    const Decoded d = DecodeWithMpg123(Save("alias", Encode(input, 16, At(64, 22050))));
    ASSERT_EQ(d.pcm.rate, 22050);
    const std::size_t from = 4096, count = d.pcm.Frames() - 8192;
    EXPECT_NEAR(ToneDb(d.pcm, 0, 1000, from, count), 20 * std::log10(0.25), 0.5);
    EXPECT_LT(ToneDb(d.pcm, 0, 7050, from, count), -70.0);
}

TEST(Mp3EncoderQuality, TransientHasNoPreEchoBeyondAShortBlock)
{
    // One click after half a second of silence.
    Pcm input = Silence(44100, 1, 1.0);
    const std::size_t onset = 22050 + 300;
    for (std::size_t i = 0; i < 2000; ++i)
        input.samples[onset + i] = float(0.9 * std::exp(-double(i) / 200.0) * std::sin(i * 2.1) * std::cos(i * 0.37));
    const Decoded d = DecodeWithMpg123(Save("pre-echo", Encode(input, 16, At(128))));
    const double burst = RmsDb(d.pcm, 0, onset, 400);
    // A short block's noise reaches about 550 samples before the attack; with
    // long blocks alone this stretch holds noise at about burst - 50 dB.
    const double before = RmsDb(d.pcm, 0, onset - 900, 320);
    EXPECT_LT(before, burst - 70.0);
}

TEST(Mp3EncoderQuality, MidSideIsNoWorseOnCorrelatedStereo)
{
    Pcm input = PinkNoise(44100, 2, 1.5, 0.5);
    const Pcm other = PinkNoise(44100, 1, 1.5, 0.5, 9);
    for (std::size_t i = 0; i < input.Frames(); ++i)
        input.samples[2 * i + 1] = 0.9f * input.samples[2 * i] + 0.1f * other.samples[i];
    double snr[2] = {0, 0};
    int midSideFrames = 0;
    const Mp3ChannelMode modes[2] = {Mp3ChannelMode::JointStereo, Mp3ChannelMode::Stereo};
    for (int m = 0; m < 2; ++m) {
        const std::vector<std::uint8_t> stream = Encode(input, 16, At(96, 0, modes[m]));
        std::vector<FrameInfo> frames;
        std::string reason;
        ASSERT_TRUE(WalkFrames(stream, frames, reason));
        for (const FrameInfo& f : frames)
            midSideFrames += m == 0 && f.modeExtension == 2;
        const Decoded d = DecodeWithMpg123(Save(m ? "ms-plain" : "ms-joint", stream));
        for (int c = 0; c < 2; ++c)
            snr[m] += 0.5 * SnrDb(input, d.pcm, 0, c, 4096, input.Frames() - 4096);
    }
    std::printf("joint %.2f dB, plain %.2f dB, %d mid/side frames\n", snr[0], snr[1], midSideFrames);
    EXPECT_GT(midSideFrames, 30);
    EXPECT_GE(snr[0], snr[1] - 0.25);
}

TEST(Mp3EncoderRobustness, PieceSizesDoNotChangeTheStream)
{
    const Pcm input = Castanets(44100, 2, 0.8, 0.2, 0.8);
    for (int bits : {8, 16, 24}) {
        const std::vector<std::uint8_t> whole = Encode(input, bits, At(128));
        for (std::size_t chunk : {1u, 3u, 7u, 4097u})
            EXPECT_EQ(Encode(input, bits, At(128), chunk), whole) << bits << " bits, pieces of " << chunk;
    }
}

TEST(Mp3EncoderRobustness, EmptyInputGivesAValidSilentStream)
{
    for (int rate : {44100, 22050}) {
        Pcm empty = Silence(rate, 2, 0.0);
        const std::vector<std::uint8_t> stream = Encode(empty, 16, At(128, rate));
        std::vector<FrameInfo> frames;
        std::string reason;
        ASSERT_TRUE(WalkFrames(stream, frames, reason)) << reason;
        EXPECT_GE(frames.size(), 2u);
        for (auto decode : {DecodeWithMpg123, DecodeWithFfmpeg, DecodeWithOurs}) {
            const Decoded d = decode(Save("empty-" + std::to_string(rate), stream));
            EXPECT_EQ(d.diagnostics, "");
            EXPECT_LT(RmsDb(d.pcm, 0, 0, d.pcm.Frames()), -100.0);
        }
    }
}

TEST(Mp3EncoderRobustness, ProgressCountsInputFrames)
{
    Mp3EncoderSettings s = At(128);
    s.totalInputFrames = 10000;
    Mp3Encoder encoder;
    ASSERT_EQ(encoder.Configure(s), Mp3EncoderError::None);
    EXPECT_EQ(encoder.Total(), 10000u);
    EXPECT_EQ(encoder.Position(), 0u);
    std::vector<std::uint8_t> pcm(4 * 2500 + 3, 0), out;
    encoder.Encode(pcm.data(), pcm.size(), out);
    EXPECT_EQ(encoder.Position(), 2500u);   // the partial frame waits
    encoder.Encode(pcm.data(), 1, out);
    EXPECT_EQ(encoder.Position(), 2501u);
    // Without an announced total, progress still divides by something positive.
    s.totalInputFrames = 0;
    ASSERT_EQ(encoder.Configure(s), Mp3EncoderError::None);
    EXPECT_GE(encoder.Total(), 1u);
}

namespace {

int RunTool(const std::string& arguments, std::string& output)
{
    std::FILE* pipe = popen((std::string(ORV_MP3ENC) + " " + arguments + " 2>&1").c_str(), "r");
    if (!pipe)
        return -1;
    char buffer[512];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        output.append(buffer, got);
    const int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<std::uint8_t> ReadBytes(const std::string& path)
{
    std::vector<std::uint8_t> bytes;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return bytes;
    int c;
    while ((c = std::fgetc(f)) != EOF)
        bytes.push_back(std::uint8_t(c));
    std::fclose(f);
    return bytes;
}

} // namespace

TEST(Mp3EncoderTool, EncodesAWaveFileWithRateAndBitRate)
{
    const std::string wav = TempDir() + "/tool.wav", mp3 = TempDir() + "/tool.mp3";
    WriteWave(wav, Sweep(44100, 2, 1.0, 100, 8000, 0.5), 16);
    std::string output;
    ASSERT_EQ(RunTool("'" + wav + "' '" + mp3 + "' -b 96 -r 48000", output), 0) << output;
    std::vector<FrameInfo> frames;
    std::string reason;
    ASSERT_TRUE(WalkFrames(ReadBytes(mp3), frames, reason)) << reason;
    EXPECT_EQ(frames[0].sampleRate, 48000);
    EXPECT_EQ(frames[0].bitRateKbps, 96);
    EXPECT_EQ(DecodeWithMpg123(mp3).diagnostics, "");
}

TEST(Mp3EncoderTool, TruncatedAndDamagedWaveFiles)
{
    const std::string wav = TempDir() + "/cut.wav", mp3 = TempDir() + "/cut.mp3";
    for (int bits : {16, 24}) {
        WriteWave(wav, PinkNoise(44100, 2, 0.5, 0.5), bits);
        std::vector<std::uint8_t> file = ReadBytes(wav);
        file.resize(file.size() - 20000 - 1);   // ends inside a sample
        WriteFile(wav, file);
        std::string output;
        ASSERT_EQ(RunTool("'" + wav + "' '" + mp3 + "'", output), 0) << output;
        EXPECT_NE(output.find("truncated"), std::string::npos);
        EXPECT_EQ(DecodeWithMpg123(mp3).diagnostics, "");
        EXPECT_EQ(DecodeWithFfmpeg(mp3).diagnostics, "");
    }
    WriteFile(wav, {'R', 'I', 'F', 'F', 1, 2, 3});
    std::string output;
    EXPECT_EQ(RunTool("'" + wav + "' '" + mp3 + "'", output), 1);
    EXPECT_NE(output.find("mp3enc:"), std::string::npos);
    output.clear();
    EXPECT_EQ(RunTool("'" + wav + "'", output), 2);
}

TEST(Mp3EncoderRobustness, RandomSettingsAndSignalsAlwaysDecode)
{
    std::mt19937 random(2024);
    const int inputRates[] = {8000, 11025, 16000, 22050, 32000, 44100, 48000, 96000};
    const int bitRates[] = {32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
    const int outputRates[] = {0, 22050, 44100, 48000};
    for (int round = 0; round < 40; ++round) {
        const int rate = inputRates[random() % 8];
        const int channels = 1 + int(random() % 2);
        const double seconds = (random() % 400) / 1000.0;
        Pcm pcm;
        switch (random() % 4) {
        case 0: pcm = PinkNoise(rate, channels, seconds, 0.9, unsigned(round)); break;
        case 1: pcm = Castanets(rate, channels, seconds, 0.05, 1.0); break;
        case 2: pcm = Sweep(rate, channels, seconds, 20, rate / 2.0, 1.0); break;
        default: pcm = Silence(rate, channels, seconds); break;
        }
        Mp3EncoderSettings s = At(bitRates[random() % 14], outputRates[random() % 4],
                                  static_cast<Mp3ChannelMode>(random() % 4));
        s.crc = random() % 2;
        const int bits = 8 * (1 + int(random() % 3));
        const std::vector<std::uint8_t> stream = Encode(pcm, bits, s, 1 + random() % 5000);
        SCOPED_TRACE("round " + std::to_string(round));
        std::vector<FrameInfo> frames;
        std::string reason;
        ASSERT_TRUE(WalkFrames(stream, frames, reason)) << reason;
        const std::string path = Save("random", stream);
        const Decoded d = DecodeWithOurs(path);
        EXPECT_EQ(d.diagnostics, "");
        EXPECT_EQ(d.pcm.Frames(), frames.size() * (frames[0].version == 1 ? 1152u : 576u));
        EXPECT_EQ(DecodeWithMpg123(path).diagnostics, "");
    }
}

namespace {

Decoded DecodeTrimmed(const std::string& mp3)
{
    Decoded result;
    Mp3Decoder decoder;
    result.ran = decoder.OpenFile(mp3);
    decoder.SetGaplessTrim(true);
    result.pcm.rate = int(decoder.SampleRate());
    result.pcm.channels = decoder.Channels();
    std::vector<float> frame(std::size_t(Mp3Decoder::kMaxSamplesPerFrame) * Mp3Decoder::kMaxChannels);
    while (const int got = decoder.DecodeFrame(frame.data()))
        result.pcm.samples.insert(result.pcm.samples.end(), frame.begin(), frame.begin() + got * result.pcm.channels);
    EXPECT_EQ(result.pcm.Frames(), decoder.OutputSamples());
    return result;
}

} // namespace

// The Info frame states the counts, delay and padding: every gapless decoder gives
// back exactly the source, in place, and the frame count matches ffprobe's length.
TEST(Mp3EncoderGapless, RoundTripsKeepTheSourceLengthAndPlace)
{
    const Case cases[] = {
        {"gapless mono 44100", PinkNoise(44100, 1, 1.37, 0.4), 16, At(128)},
        {"gapless stereo 48000", PinkNoise(48000, 2, 0.61, 0.4), 16, At(192)},
        {"gapless mono 22050", PinkNoise(22050, 1, 0.93, 0.4), 16, At(64, 22050)},
        {"gapless stereo 16000 low rate", PinkNoise(16000, 2, 0.5, 0.4), 16, At(8, 16000)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = Save(c.name, Encode(c.pcm, c.bits, c.settings));
        for (auto decode : {DecodeTrimmed, DecodeWithMpg123, DecodeWithFfmpeg}) {
            const Decoded d = decode(path);
            ASSERT_TRUE(d.ran);
            EXPECT_EQ(d.pcm.Frames(), c.pcm.Frames());
            // Neither late nor early.
            EXPECT_EQ(FindDelay(c.pcm, d.pcm, 1200), 0);
            EXPECT_EQ(FindDelay(d.pcm, c.pcm, 1200), 0);
        }
        std::vector<std::uint8_t> bytes;
        ASSERT_TRUE(LoadFile(path, bytes));
        const StreamInfo info = ScanStream(bytes.data(), bytes.size());
        EXPECT_EQ(info.vbrHeader, VbrHeaderKind::Info);
        EXPECT_EQ(info.vbrHeaderFrames, info.frameOffsets.size());
        char command[512];
        std::snprintf(command, sizeof command, "ffprobe -v error -show_entries stream=duration -of csv=p=0 '%s'",
                      path.c_str());
        std::FILE* probe = ::popen(command, "r");
        ASSERT_NE(probe, nullptr);
        double seconds = 0;
        EXPECT_EQ(std::fscanf(probe, "%lf", &seconds), 1);
        ::pclose(probe);
        EXPECT_NEAR(seconds * 1000.0, info.lengthMs, 0.5);
    }
}

// lame's files carry the same extension; our trimmed decode matches lame's source.
TEST(Mp3EncoderGapless, FilesOfTheReferenceEncoderAreTrimmed)
{
    const Pcm pcm = PinkNoise(44100, 2, 0.77, 0.4);
    const std::string wav = TempDir() + "/lame-source.wav";
    const std::string mp3 = TempDir() + "/lame-gapless.mp3";
    WriteWave(wav, pcm, 16);
    ASSERT_EQ(std::system(("lame --quiet -V 2 '" + wav + "' '" + mp3 + "'").c_str()), 0);
    const Decoded d = DecodeTrimmed(mp3);
    EXPECT_EQ(d.pcm.Frames(), pcm.Frames());
    EXPECT_EQ(FindDelay(pcm, d.pcm, 1200), 0);
    EXPECT_EQ(FindDelay(d.pcm, pcm, 1200), 0);
}
