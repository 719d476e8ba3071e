#include "InfoFrame.h"

#include <algorithm>
#include <cstring>

#include "BitWriter.h"
#include "FrameLayout.h"
#include "orvcodec/MpegTables.h"

namespace orv::codec::enc {

namespace {

constexpr std::uint32_t kFlagFrames = 0x1, kFlagBytes = 0x2, kFlagToc = 0x4, kFlagQuality = 0x8;
constexpr int kTocEntries = 100;
// "Info" and flags, frames, bytes, table, quality; then the 36-byte extension.
constexpr int kTagBytes = 4 + 4 + 4 + 4 + kTocEntries + 4;
constexpr int kExtensionBytes = 36;
constexpr int kExtensionCrcSpan = 190;  // bytes of the frame the last checksum covers
// Readers recognise the extension by its first four letters; the rest names us.
const char kEncoderName[] = "LAMEorv10";
constexpr int kEncoderNameBytes = 9;
constexpr std::uint8_t kMethodCbr = 1;
constexpr int kMaxTwelveBits = 4095;

void PutBe(std::uint8_t* p, std::uint32_t value, int bytes)
{
    for (int i = bytes - 1; i >= 0; --i, value >>= 8)
        p[i] = std::uint8_t(value);
}

int FrameBytes(bool lsf, int bitRateKbps, int sampleRate)
{
    return (lsf ? 72000 : 144000) * bitRateKbps / sampleRate;
}

// The stream's bit rate when the tag fits, else the smallest that holds it: decoders
// take the frame for what it says and skip it.
int BitRateIndexFor(const InfoFrameFields& f, int neededBytes)
{
    const std::uint16_t* rates = kBitRateKbps[f.lsf ? 1 : 0][2];
    int streamIndex = 0;
    for (int i = 1; i < 15; ++i)
        if (rates[i] == f.bitRateKbps)
            streamIndex = i;
    if (streamIndex && FrameBytes(f.lsf, rates[streamIndex], f.sampleRate) >= neededBytes)
        return streamIndex;
    for (int i = 1; i < 15; ++i)
        if (FrameBytes(f.lsf, rates[i], f.sampleRate) >= neededBytes)
            return i;
    return 14;
}

// Source rate class of the extension's misc byte.
int SourceRateBits(int sampleRate)
{
    if (sampleRate <= 32000) return 0;
    if (sampleRate == 44100) return 1;
    if (sampleRate == 48000) return 2;
    return 3;
}

void PutExtension(std::uint8_t* p, const InfoFrameFields& f)
{
    std::memcpy(p, kEncoderName, kEncoderNameBytes);
    p[9] = kMethodCbr;
    p[10] = std::uint8_t(std::min(f.lowpassHz / 100, 255));
    // 11..19: replay gain and encoding flags, not measured.
    p[20] = std::uint8_t(std::min(f.bitRateKbps, 255));
    const int delay = std::min(std::max(f.encoderDelay, 0), kMaxTwelveBits);
    const int padding = std::min(std::max(f.endPadding, 0), kMaxTwelveBits);
    PutBe(p + 21, std::uint32_t(delay) << 12 | std::uint32_t(padding), 3);
    const int stereoMode = f.channels == 1 ? 0 : f.jointStereo ? 3 : 1;
    p[24] = std::uint8_t(SourceRateBits(f.sampleRate) << 6 | stereoMode << 2);
    PutBe(p + 28, f.streamBytes, 4);
    PutBe(p + 32, f.audioCrc, 2);
}

} // namespace

std::uint16_t InfoCrc16(std::uint16_t crc, const std::uint8_t* bytes, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? std::uint16_t((crc >> 1) ^ 0xA001) : std::uint16_t(crc >> 1);
    }
    return crc;
}

std::vector<std::uint8_t> BuildInfoFrame(const InfoFrameFields& f)
{
    const int tagAt = 4 + SideInfoBytes(f.lsf, f.channels);
    FrameHeader header;
    header.lsf = f.lsf;
    header.sampleRateIndex = f.sampleRateIndex;
    header.channels = f.channels;
    header.jointStereo = f.jointStereo;
    header.bitRateIndex = BitRateIndexFor(f, tagAt + kTagBytes + kExtensionBytes);
    BitWriter writer;
    WriteHeader(writer, header);
    const int frameBytes = FrameBytes(f.lsf, kBitRateKbps[f.lsf ? 1 : 0][2][header.bitRateIndex], f.sampleRate);

    // Zero side information: a decoder that does not know the tag plays silence.
    std::vector<std::uint8_t> frame(std::size_t(frameBytes), 0);
    std::memcpy(frame.data(), writer.Bytes().data(), 4);
    std::uint8_t* tag = frame.data() + tagAt;
    std::memcpy(tag, "Info", 4);
    if (!f.final)
        return frame;
    PutBe(tag + 4, kFlagFrames | kFlagBytes | kFlagToc | kFlagQuality, 4);
    PutBe(tag + 8, f.audioFrames, 4);
    PutBe(tag + 12, f.streamBytes, 4);
    // A constant bit rate puts each percent of the time at that percent of the bytes.
    for (int i = 0; i < kTocEntries; ++i)
        tag[16 + i] = std::uint8_t(i * 256 / kTocEntries);
    PutExtension(tag + kTagBytes, f);
    const std::uint16_t crc = InfoCrc16(0, frame.data(), kExtensionCrcSpan);
    PutBe(tag + kTagBytes + kExtensionBytes - 2, crc, 2);
    return frame;
}

} // namespace orv::codec::enc
