#include "EncoderTestSupport.h"

#include "orvcodec/Mp3Decoder.h"
#include "orvcodec/WaveFile.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <sstream>
#include <unistd.h>

namespace enctest {
namespace {

constexpr double kPi = 3.14159265358979323846;

Pcm Make(int rate, int channels, double seconds)
{
    Pcm pcm;
    pcm.rate = rate;
    pcm.channels = channels;
    pcm.samples.assign(std::size_t(seconds * rate) * channels, 0.0f);
    return pcm;
}

std::string RunCapturingErrors(const std::string& command, bool& ran)
{
    const std::string full = command + " 2>&1";
    std::FILE* pipe = popen(full.c_str(), "r");
    ran = pipe != nullptr;
    if (!pipe)
        return "cannot start: " + command;
    std::string output;
    char buffer[4096];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        output.append(buffer, got);
    const int status = pclose(pipe);
    if (status != 0)
        output += "\nexit status " + std::to_string(status);
    return output;
}

// Lines that report trouble; progress and banner lines are dropped. ffmpeg's
// note that a stream without a Xing header has its duration estimated from the
// bit rate is about CBR files in general, not about this stream.
std::string TroubleLines(const std::string& output)
{
    std::istringstream in(output);
    std::string line, trouble;
    static const char* const kMarkers[] = {"error", "warn", "illegal", "problem", "can't", "cannot", "mismatch",
                                           "invalid", "hip:", "exit status", "overread", "failed"};
    while (std::getline(in, line, '\n')) {
        std::string lower = line;
        std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return char(std::tolower(c)); });
        if (lower.find("estimating duration from bitrate") != std::string::npos)
            continue;
        for (const char* marker : kMarkers)
            if (lower.find(marker) != std::string::npos) {
                trouble += line + "\n";
                break;
            }
    }
    return trouble;
}

Decoded RunDecoder(const std::string& command, const std::string& wav)
{
    Decoded result;
    std::remove(wav.c_str());
    result.diagnostics = TroubleLines(RunCapturingErrors(command, result.ran));
    result.pcm = ReadWave(wav);
    return result;
}

} // namespace

Pcm Sine(int rate, int channels, double seconds, double hz, double amplitude)
{
    Pcm pcm = Make(rate, channels, seconds);
    for (std::size_t i = 0; i < pcm.Frames(); ++i)
        for (int c = 0; c < channels; ++c)
            pcm.samples[i * channels + c] = float(amplitude * std::sin(2 * kPi * hz * i / rate + c * 0.5));
    return pcm;
}

Pcm Sweep(int rate, int channels, double seconds, double fromHz, double toHz, double amplitude)
{
    Pcm pcm = Make(rate, channels, seconds);
    const double k = std::log(toHz / fromHz) / seconds;
    for (std::size_t i = 0; i < pcm.Frames(); ++i) {
        const double t = double(i) / rate;
        const double phase = 2 * kPi * fromHz * (std::exp(k * t) - 1.0) / k;
        for (int c = 0; c < channels; ++c)
            pcm.samples[i * channels + c] = float(amplitude * std::sin(phase));
    }
    return pcm;
}

Pcm PinkNoise(int rate, int channels, double seconds, double amplitude, unsigned seed)
{
    Pcm pcm = Make(rate, channels, seconds);
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> uniform(-1.0, 1.0);
    for (int c = 0; c < channels; ++c) {
        // Paul Kellet's economy filter turns white noise pink.
        double b0 = 0, b1 = 0, b2 = 0;
        for (std::size_t i = 0; i < pcm.Frames(); ++i) {
            const double white = uniform(random);
            b0 = 0.99765 * b0 + white * 0.0990460;
            b1 = 0.96300 * b1 + white * 0.2965164;
            b2 = 0.57000 * b2 + white * 1.0526913;
            const double pink = (b0 + b1 + b2 + white * 0.1848) * 0.22;
            pcm.samples[i * channels + c] = float(std::clamp(amplitude * pink, -1.0, 0.999));
        }
    }
    return pcm;
}

Pcm Castanets(int rate, int channels, double seconds, double period, double amplitude)
{
    Pcm pcm = Make(rate, channels, seconds);
    std::mt19937 random(7);
    std::uniform_real_distribution<double> uniform(-1.0, 1.0);
    const std::size_t step = std::size_t(period * rate);
    for (std::size_t onset = step / 2; onset < pcm.Frames(); onset += step) {
        for (std::size_t i = 0; i < std::size_t(0.03 * rate) && onset + i < pcm.Frames(); ++i) {
            const double envelope = amplitude * std::exp(-double(i) / (0.004 * rate));
            const double value = envelope * uniform(random);
            for (int c = 0; c < channels; ++c)
                pcm.samples[(onset + i) * channels + c] = float(value);
        }
    }
    return pcm;
}

Pcm Silence(int rate, int channels, double seconds)
{
    return Make(rate, channels, seconds);
}

std::vector<std::uint8_t> ToPcmBytes(const Pcm& pcm, int bits)
{
    std::vector<std::uint8_t> bytes;
    bytes.reserve(pcm.samples.size() * bits / 8);
    for (float v : pcm.samples) {
        const double clamped = std::clamp(double(v), -1.0, 1.0);
        if (bits == 8) {
            bytes.push_back(std::uint8_t(std::clamp(int(std::lround(clamped * 127.0)) + 128, 0, 255)));
            continue;
        }
        const double scale = bits == 16 ? 32767.0 : 8388607.0;
        const std::int32_t s = std::int32_t(std::lround(clamped * scale));
        for (int b = 0; b < bits / 8; ++b)
            bytes.push_back(std::uint8_t((std::uint32_t(s) >> (8 * b)) & 0xff));
    }
    return bytes;
}

void WriteWave(const std::string& path, const Pcm& pcm, int bits)
{
    const std::vector<std::uint8_t> data = ToPcmBytes(pcm, bits);
    std::vector<std::uint8_t> file;
    auto put32 = [&](std::uint32_t v) { for (int i = 0; i < 4; ++i) file.push_back(std::uint8_t(v >> (8 * i))); };
    auto put16 = [&](std::uint16_t v) { file.push_back(std::uint8_t(v)); file.push_back(std::uint8_t(v >> 8)); };
    auto tag = [&](const char* t) { file.insert(file.end(), t, t + 4); };
    const int blockAlign = pcm.channels * bits / 8;
    tag("RIFF"); put32(std::uint32_t(36 + data.size())); tag("WAVE");
    tag("fmt "); put32(16); put16(1); put16(std::uint16_t(pcm.channels)); put32(std::uint32_t(pcm.rate));
    put32(std::uint32_t(pcm.rate * blockAlign)); put16(std::uint16_t(blockAlign)); put16(std::uint16_t(bits));
    tag("data"); put32(std::uint32_t(data.size()));
    file.insert(file.end(), data.begin(), data.end());
    WriteFile(path, file);
}

std::vector<std::uint8_t> Encode(const Pcm& pcm, int bits, orv::codec::Mp3EncoderSettings settings, std::size_t chunk)
{
    settings.inputRate = pcm.rate;
    settings.inputChannels = pcm.channels;
    settings.inputBits = bits;
    settings.totalInputFrames = pcm.Frames();
    orv::codec::Mp3Encoder encoder;
    std::vector<std::uint8_t> out;
    if (encoder.Configure(settings) != orv::codec::Mp3EncoderError::None)
        return out;
    const std::vector<std::uint8_t> bytes = ToPcmBytes(pcm, bits);
    if (chunk == 0)
        chunk = std::max<std::size_t>(1, bytes.size());
    for (std::size_t at = 0; at < bytes.size(); at += chunk)
        encoder.Encode(bytes.data() + at, std::min(chunk, bytes.size() - at), out);
    encoder.Flush(out);
    encoder.CompleteStream(out);
    return out;
}

bool WalkFrames(const std::vector<std::uint8_t>& s, std::vector<FrameInfo>& frames, std::string& reason)
{
    static const int kMpeg1Rates[16] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0};
    static const int kMpeg2Rates[16] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0};
    static const int kMpeg1Hz[3] = {44100, 48000, 32000};
    static const int kMpeg2Hz[3] = {22050, 24000, 16000};
    frames.clear();
    std::size_t at = 0;
    while (at < s.size()) {
        if (at + 4 > s.size()) { reason = "partial header at " + std::to_string(at); return false; }
        const std::uint32_t h = (std::uint32_t(s[at]) << 24) | (s[at + 1] << 16) | (s[at + 2] << 8) | s[at + 3];
        if ((h >> 21) != 0x7ff) { reason = "no sync at " + std::to_string(at); return false; }
        const int versionBits = (h >> 19) & 3, layerBits = (h >> 17) & 3;
        if ((versionBits != 3 && versionBits != 2) || layerBits != 1) { reason = "not MPEG-1/2 Layer III"; return false; }
        FrameInfo f;
        f.version = versionBits == 3 ? 1 : 2;
        f.crc = ((h >> 16) & 1) == 0;
        const int rateIndex = (h >> 12) & 15, hzIndex = (h >> 10) & 3;
        if (hzIndex == 3 || rateIndex == 0 || rateIndex == 15) { reason = "bad rate index"; return false; }
        f.bitRateKbps = (f.version == 1 ? kMpeg1Rates : kMpeg2Rates)[rateIndex];
        f.sampleRate = (f.version == 1 ? kMpeg1Hz : kMpeg2Hz)[hzIndex];
        const int padding = (h >> 9) & 1;
        f.mode = (h >> 6) & 3;
        f.modeExtension = (h >> 4) & 3;
        f.bytes = (f.version == 1 ? 144000 : 72000) * f.bitRateKbps / f.sampleRate + padding;
        if (at + f.bytes > s.size()) { reason = "last frame cut short"; return false; }
        const int infoAt = 4 + (f.version == 1 ? (f.mode == 3 ? 17 : 32) : (f.mode == 3 ? 9 : 17));
        const bool info = at + infoAt + 4 <= s.size() && std::memcmp(&s[at + infoAt], "Info", 4) == 0;
        if (info != (at == 0)) { reason = at == 0 ? "no Info frame first" : "Info frame in the audio"; return false; }
        if (!info)
            frames.push_back(f);
        at += f.bytes;
    }
    return true;
}

std::string TempDir()
{
    // Made once per test run and removed with everything in it at exit.
    struct Dir {
        std::string path;
        Dir()
        {
            char pattern[] = "/tmp/orv-enc-test-XXXXXX";
            const char* made = mkdtemp(pattern);
            path = made ? made : "";
        }
        ~Dir()
        {
            std::error_code ignored;
            if (!path.empty())
                std::filesystem::remove_all(path, ignored);
        }
    };
    static const Dir dir;
    return dir.path.empty() ? "/tmp" : dir.path;
}

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

Pcm ReadWave(const std::string& path)
{
    Pcm pcm;
    orv::codec::WaveReader reader;
    if (reader.Open(path) != orv::codec::WaveStatus::Ok)
        return pcm;
    pcm.rate = int(reader.Format().samplesPerSec);
    pcm.channels = reader.Format().channels;
    pcm.samples.resize(std::size_t(reader.FrameCount()) * pcm.channels);
    pcm.samples.resize(reader.ReadFloat(pcm.samples.data(), std::size_t(reader.FrameCount())) * pcm.channels);
    return pcm;
}

Decoded DecodeWithMpg123(const std::string& mp3)
{
    const std::string wav = mp3 + ".mpg123.wav";
    return RunDecoder("mpg123 -w '" + wav + "' '" + mp3 + "'", wav);
}

Decoded DecodeWithFfmpeg(const std::string& mp3)
{
    const std::string wav = mp3 + ".ffmpeg.wav";
    return RunDecoder("ffmpeg -nostdin -hide_banner -v warning -err_detect crccheck+bitstream+buffer -y -i '" + mp3 +
                      "' -c:a pcm_s16le '" + wav + "'", wav);
}

Decoded DecodeWithLame(const std::string& mp3)
{
    const std::string wav = mp3 + ".lame.wav";
    return RunDecoder("lame --nohist --decode '" + mp3 + "' '" + wav + "'", wav);
}

Decoded DecodeWithOurs(const std::string& mp3)
{
    Decoded result;
    result.ran = true;
    orv::codec::Mp3Decoder decoder;
    if (!decoder.OpenFile(mp3)) {
        result.diagnostics = "cannot open " + mp3;
        return result;
    }
    result.pcm.rate = int(decoder.SampleRate());
    result.pcm.channels = decoder.Channels();
    std::vector<float> frame(std::size_t(orv::codec::Mp3Decoder::kMaxSamplesPerFrame) * orv::codec::Mp3Decoder::kMaxChannels);
    int got;
    while ((got = decoder.DecodeFrame(frame.data())) > 0)
        result.pcm.samples.insert(result.pcm.samples.end(), frame.begin(), frame.begin() + got * result.pcm.channels);
    if (decoder.ConcealedFrames() > 0)
        result.diagnostics = std::to_string(decoder.ConcealedFrames()) + " frames concealed";
    return result;
}

int FindDelay(const Pcm& reference, const Pcm& decoded, int maxLag)
{
    const std::size_t start = std::min<std::size_t>(reference.Frames() / 4, 8192);
    const std::size_t length = std::min<std::size_t>(8192, reference.Frames() - start);
    int best = 0;
    double bestScore = -1e300;
    for (int lag = 0; lag <= maxLag; ++lag) {
        if (start + lag + length > decoded.Frames())
            break;
        double score = 0.0;
        for (std::size_t i = 0; i < length; ++i)
            score += double(reference.At(start + i, 0)) * decoded.At(start + i + lag, 0);
        if (score > bestScore) {
            bestScore = score;
            best = lag;
        }
    }
    return best;
}

double SnrDb(const Pcm& reference, const Pcm& decoded, int delay, int channel, std::size_t from, std::size_t to)
{
    double signal = 0.0, noise = 0.0;
    for (std::size_t i = from; i < to && i + delay < decoded.Frames() && i < reference.Frames(); ++i) {
        const double r = reference.At(i, channel), d = decoded.At(i + delay, channel);
        signal += r * r;
        noise += (r - d) * (r - d);
    }
    return 10.0 * std::log10(signal / std::max(noise, 1e-30));
}

double ToneDb(const Pcm& pcm, int channel, double hz, std::size_t from, std::size_t count)
{
    double re = 0.0, im = 0.0, windowSum = 0.0;
    for (std::size_t i = 0; i < count && from + i < pcm.Frames(); ++i) {
        const double w = 0.5 - 0.5 * std::cos(2 * kPi * i / count);
        const double phase = 2 * kPi * hz * double(i) / pcm.rate;
        re += w * pcm.At(from + i, channel) * std::cos(phase);
        im += w * pcm.At(from + i, channel) * std::sin(phase);
        windowSum += w;
    }
    const double amplitude = 2.0 * std::sqrt(re * re + im * im) / windowSum;
    return 20.0 * std::log10(std::max(amplitude, 1e-15));
}

double RmsDb(const Pcm& pcm, int channel, std::size_t from, std::size_t count)
{
    double sum = 0.0;
    std::size_t n = 0;
    for (std::size_t i = from; i < from + count && i < pcm.Frames(); ++i, ++n)
        sum += double(pcm.At(i, channel)) * pcm.At(i, channel);
    return 10.0 * std::log10(std::max(sum / std::max<std::size_t>(n, 1), 1e-30));
}

} // namespace enctest
