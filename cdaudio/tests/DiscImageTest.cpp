#include <orvcdaudio/DiscImage.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

using orv::cd::CDiscImage;
using orv::cd::kBytesPerFrame;
using orv::cd::kSamplesPerFrame;

// Every sample tells where it came from: left = tag + frame of its file, right = -left.
int16_t Marker(int tag, int frame) { return static_cast<int16_t>(tag + frame); }

std::vector<uint8_t> MarkedPcm(int tag, int frames, bool bigEndian, size_t extraBytes = 0) {
    std::vector<uint8_t> out;
    auto put = [&](int16_t v) {
        const auto u = static_cast<uint16_t>(v);
        const uint8_t lo = static_cast<uint8_t>(u), hi = static_cast<uint8_t>(u >> 8);
        out.push_back(bigEndian ? hi : lo);
        out.push_back(bigEndian ? lo : hi);
    };
    for (int f = 0; f < frames; ++f) {
        for (int s = 0; s < kSamplesPerFrame; ++s) {
            put(Marker(tag, f));
            put(static_cast<int16_t>(-Marker(tag, f)));
        }
    }
    out.resize(out.size() + extraBytes, 0);
    return out;
}

std::vector<uint8_t> WaveOf(const std::vector<uint8_t>& pcm, uint16_t channels = 2) {
    std::vector<uint8_t> out;
    auto u32 = [&](uint32_t v) { for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i))); };
    auto u16 = [&](uint16_t v) { out.push_back(static_cast<uint8_t>(v)); out.push_back(static_cast<uint8_t>(v >> 8)); };
    auto tag = [&](const char* t) { out.insert(out.end(), t, t + 4); };
    tag("RIFF"); u32(static_cast<uint32_t>(4 + 26 + 8 + 8 + pcm.size())); tag("WAVE");
    tag("LIST"); u32(1); out.push_back('x'); out.push_back(0);  // odd chunk with its pad byte
    tag("fmt "); u32(16); u16(1); u16(channels); u32(44100); u32(44100 * 2 * channels); u16(static_cast<uint16_t>(2 * channels)); u16(16);
    tag("data"); u32(static_cast<uint32_t>(pcm.size()));
    out.insert(out.end(), pcm.begin(), pcm.end());
    return out;
}

class DiscImageTest : public ::testing::Test {
protected:
    std::string Put(const std::string& name, const std::vector<uint8_t>& bytes) {
        const std::string path = testing::TempDir() + name;
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        m_paths.push_back(path);
        return path;
    }
    std::string PutText(const std::string& name, const std::string& text) {
        return Put(name, std::vector<uint8_t>(text.begin(), text.end()));
    }
    // Encodes raw 16-bit little-endian PCM with the reference encoder.
    std::string Flac(const std::string& raw, const std::string& name, const std::string& options = "--channels=2") {
        const std::string path = testing::TempDir() + name;
        const std::string command = "flac -s -f -8 -b 4608 --force-raw-format --endian=little --sign=signed --bps=16 "
                                    "--sample-rate=44100 " + options + " -o '" + path + "' '" + raw + "'";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        m_paths.push_back(path);
        return path;
    }
    void TearDown() override {
        for (const std::string& p : m_paths) std::remove(p.c_str());
    }
    std::vector<std::string> m_paths;
};

struct Expected {
    int32_t gapStart, start, length;
    bool audio;
};

void ExpectToc(const CDiscImage& disc, const std::vector<Expected>& tracks, int32_t leadOut) {
    ASSERT_EQ(disc.Tracks().size(), tracks.size());
    for (size_t i = 0; i < tracks.size(); ++i) {
        const auto& t = disc.Tracks()[i];
        EXPECT_EQ(t.number, static_cast<int>(i + 1));
        EXPECT_EQ(t.gapStart, tracks[i].gapStart) << "track " << i + 1;
        EXPECT_EQ(t.start, tracks[i].start) << "track " << i + 1;
        EXPECT_EQ(t.length, tracks[i].length) << "track " << i + 1;
        EXPECT_EQ(t.audio, tracks[i].audio) << "track " << i + 1;
    }
    EXPECT_EQ(disc.LeadOut(), leadOut);
}

TEST_F(DiscImageTest, OneBinaryFileWithIndex00) {
    // 13500 whole frames and a partial one, which counts as a frame.
    Put("one.bin", MarkedPcm(0, 13500, false, 100));
    const std::string cue = PutText("one.cue",
        "FILE \"one.bin\" BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n"
        "TRACK 02 AUDIO\nINDEX 00 01:00:00\nINDEX 01 01:02:00\n"
        "TRACK 03 AUDIO\nINDEX 01 02:00:00\n");
    CDiscImage disc;
    std::string error;
    ASSERT_TRUE(disc.Load(cue, error)) << error;
    // Track starts: 150 + 0, 150 + 62 s, 150 + 120 s; lead-out 150 + 13501.
    ExpectToc(disc, {{150, 150, 4650, true}, {4650, 4800, 4350, true}, {9150, 9150, 4501, true}}, 13651);
    EXPECT_EQ(disc.TrackAt(4799), 1);
    EXPECT_EQ(disc.TrackAt(4800), 2);
    EXPECT_EQ(disc.TrackAt(0), 1);
}

TEST_F(DiscImageTest, SeveralFilesWithGapsAndADataTrack) {
    Put("a.wav", WaveOf(MarkedPcm(1000, 1000, false)));
    Put("b.raw", MarkedPcm(3000, 500, true));
    Put("c.bin", MarkedPcm(5000, 300, false));
    const std::string cue = PutText("multi.cue",
        "FILE a.wav WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n"
        "FILE b.raw MOTOROLA\nTRACK 02 AUDIO\nPREGAP 00:02:00\nINDEX 01 00:00:00\nPOSTGAP 00:01:00\n"
        "FILE c.bin BINARY\nTRACK 03 MODE1/2352\nINDEX 01 00:00:00\n");
    CDiscImage disc;
    std::string error;
    ASSERT_TRUE(disc.Load(cue, error)) << error;
    // a: 150..1150; pregap 1150..1300; b: 1300..1800; postgap ..1875; c: ..2175.
    ExpectToc(disc, {{150, 150, 1150, true}, {1150, 1300, 575, true}, {1875, 1875, 300, false}}, 2175);

    // Reads across the end of a, the pregap and into b (stored big-endian).
    const int32_t from = 1140, count = 170;
    std::vector<int16_t> pcm(static_cast<size_t>(count) * kSamplesPerFrame * 2, 1);
    ASSERT_TRUE(disc.ReadFrames(from, count, pcm.data()));
    auto left = [&](int32_t frame) { return pcm[static_cast<size_t>(frame - from) * kSamplesPerFrame * 2]; };
    auto lastRight = [&](int32_t frame) { return pcm[static_cast<size_t>(frame - from + 1) * kSamplesPerFrame * 2 - 1]; };
    EXPECT_EQ(left(1140), Marker(1000, 990));
    EXPECT_EQ(lastRight(1149), -Marker(1000, 999));
    EXPECT_EQ(left(1150), 0);
    EXPECT_EQ(lastRight(1299), 0);
    EXPECT_EQ(left(1300), Marker(3000, 0));
    EXPECT_EQ(lastRight(1309), -Marker(3000, 9));

    // The data track and anything past the lead-out sound as silence.
    std::vector<int16_t> data(static_cast<size_t>(400) * kSamplesPerFrame * 2, 1);
    ASSERT_TRUE(disc.ReadFrames(1875, 400, data.data()));
    for (int16_t v : data) ASSERT_EQ(v, 0);
}

// A tone with noise over it, so that the encoder predicts and the frames differ.
std::vector<uint8_t> MusicPcm(int frames, int seed) {
    std::vector<uint8_t> out;
    uint32_t noise = static_cast<uint32_t>(seed) * 2654435761u;
    const size_t samples = static_cast<size_t>(frames) * kSamplesPerFrame;
    for (size_t i = 0; i < samples; ++i) {
        for (int ch = 0; ch < 2; ++ch) {
            noise = noise * 1664525u + 1013904223u;
            const double tone = 9000.0 * std::sin(static_cast<double>(i) * (0.03 + 0.01 * seed + 0.002 * ch));
            const auto v = static_cast<uint16_t>(static_cast<int16_t>(tone) + static_cast<int16_t>((noise >> 20) & 0x3FF) - 512);
            out.push_back(static_cast<uint8_t>(v));
            out.push_back(static_cast<uint8_t>(v >> 8));
        }
    }
    return out;
}

std::vector<int16_t> ReadAll(CDiscImage& disc, bool& ok) {
    std::vector<int16_t> pcm(static_cast<size_t>(disc.LeadOut()) * kSamplesPerFrame * 2);
    ok = true;
    for (int32_t frame = 0; frame < disc.LeadOut(); frame += 75)
        ok = disc.ReadFrames(frame, std::min(75, disc.LeadOut() - frame), pcm.data() + static_cast<size_t>(frame) * kSamplesPerFrame * 2) && ok;
    return pcm;
}

// The same album as one BINARY file and as FLAC files (typed WAVE, as most sheets
// have it, and FLAC) mixed with BINARY and WAVE: one table of contents, one sound.
TEST_F(DiscImageTest, FlacFilesReadAsTheBinaryImage) {
    const std::vector<uint8_t> a = MusicPcm(900, 1), b = MusicPcm(420, 2), c = MusicPcm(333, 3);
    std::vector<uint8_t> all = a;
    all.insert(all.end(), b.begin(), b.end());
    all.insert(all.end(), c.begin(), c.end());
    Put("album.bin", all);
    Flac(Put("album.raw", all), "album.flac");
    Flac(Put("a.raw", a), "a.flac");
    Put("b.bin", b);
    Put("c.wav", WaveOf(c));
    const char* tracks = "TRACK 01 AUDIO\nINDEX 01 00:00:00\nTRACK 02 AUDIO\nINDEX 00 00:10:00\nINDEX 01 00:12:00\n"
                         "TRACK 03 AUDIO\nINDEX 01 00:17:50\n";
    CDiscImage bin, flac, mixed;
    std::string error;
    ASSERT_TRUE(bin.Load(PutText("bin.cue", std::string("FILE album.bin BINARY\n") + tracks), error)) << error;
    ASSERT_TRUE(flac.Load(PutText("flac.cue", std::string("FILE \"album.flac\" WAVE\n") + tracks), error)) << error;
    ASSERT_TRUE(mixed.Load(PutText("mixed.cue",
        "FILE a.flac FLAC\nTRACK 01 AUDIO\nINDEX 01 00:00:00\nFILE b.bin BINARY\nTRACK 02 AUDIO\nINDEX 01 00:00:00\n"
        "FILE c.wav WAVE\nTRACK 03 AUDIO\nINDEX 01 00:00:00\n"), error)) << error;
    ExpectToc(flac, {{150, 150, 900, true}, {900, 1050, 425, true}, {1475, 1475, 328, true}}, 1803);
    ExpectToc(mixed, {{150, 150, 900, true}, {1050, 1050, 420, true}, {1470, 1470, 333, true}}, 1803);

    bool ok = false;
    const std::vector<int16_t> expected = ReadAll(bin, ok);
    ASSERT_TRUE(ok);
    EXPECT_TRUE(ReadAll(flac, ok) == expected);
    EXPECT_TRUE(ok);
    EXPECT_TRUE(ReadAll(mixed, ok) == expected);
    EXPECT_TRUE(ok);
    // Reads out of order seek.
    std::vector<int16_t> some(static_cast<size_t>(10) * kSamplesPerFrame * 2);
    for (int32_t frame : {1500, 160, 1790, 1051}) {
        ASSERT_TRUE(flac.ReadFrames(frame, 10, some.data()));
        EXPECT_TRUE(std::equal(some.begin(), some.end(), expected.begin() + static_cast<ptrdiff_t>(frame) * kSamplesPerFrame * 2)) << frame;
    }
}

// Damaged frames fail the read at their frame and sound as silence, never as noise;
// the rest of the disc reads as before.
TEST_F(DiscImageTest, DamagedFlacFramesFailTheirRead) {
    const std::vector<uint8_t> pcm = MusicPcm(600, 4);
    const std::string path = Flac(Put("d.raw", pcm), "d.flac");
    std::vector<uint8_t> bytes;
    {
        std::ifstream in(path, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    const size_t hit = bytes.size() / 2;
    for (size_t i = hit; i < hit + 4; ++i) bytes[i] = static_cast<uint8_t>(~bytes[i]);
    Put("d.flac", bytes);
    CDiscImage disc;
    std::string error;
    ASSERT_TRUE(disc.Load(PutText("d.cue", "FILE d.flac WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n"), error)) << error;
    bool ok = true;
    const std::vector<int16_t> read = ReadAll(disc, ok);
    EXPECT_FALSE(ok);
    std::vector<int16_t> head(static_cast<size_t>(75) * kSamplesPerFrame * 2);
    EXPECT_TRUE(disc.ReadFrames(150, 75, head.data()));
    EXPECT_EQ(disc.FailedFrame(), -1);
    std::vector<int16_t> span(static_cast<size_t>(150) * kSamplesPerFrame * 2);
    EXPECT_FALSE(disc.ReadFrames(150 + 225, 150, span.data()));
    const int32_t failed = disc.FailedFrame();
    // Blocks of 4608 samples: the damaged one starts on a multiple of them.
    EXPECT_NEAR(failed - 150, 300, 15);
    const size_t firstBad = (static_cast<size_t>(failed - 150) * kSamplesPerFrame + 4607) / 4608 * 4608;
    for (size_t i = 0; i < 4608 * 2; ++i) ASSERT_EQ(read[150 * kSamplesPerFrame * 2 + firstBad * 2 + i], 0) << i;
    EXPECT_TRUE(disc.CheckFileEnds(error)) << error;
    bytes.resize(bytes.size() * 9 / 10);
    Put("d.flac", bytes);
    CDiscImage cut;
    ASSERT_TRUE(cut.Load(testing::TempDir() + "d.cue", error)) << error;
    EXPECT_FALSE(cut.CheckFileEnds(error));
    EXPECT_NE(error.find("cut short"), std::string::npos) << error;
    const int16_t* original = reinterpret_cast<const int16_t*>(pcm.data());
    for (size_t i = 0; i < firstBad * 2; ++i) ASSERT_EQ(read[150 * kSamplesPerFrame * 2 + i], original[i]) << i;
}

TEST_F(DiscImageTest, UnusableImagesGiveAClearError) {
    Put("short.bin", MarkedPcm(0, 100, false));
    Put("mono.wav", WaveOf(MarkedPcm(0, 10, false), 1));
    Flac(Put("mono.raw", MarkedPcm(0, 10, false)), "mono.flac", "--channels=1");
    struct Case {
        const char* sheet;
        const char* words;
    } cases[] = {
        {"FILE short.bin BINARY\nTRACK 01 AUDIO\nINDEX 01 00:02:00\n", "shorter than its track 1"},
        {"FILE short.bin BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\nTRACK 02 AUDIO\nINDEX 01 00:01:00\nTRACK 03 AUDIO\nINDEX 01 00:01:25\n",
         "shorter than its track 3"},
        {"FILE short.bin BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\nTRACK 02 AUDIO\nINDEX 01 00:00:00\n", "track 1 is empty"},
        {"FILE missing.bin BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n", "cannot open"},
        {"FILE short.bin WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n", "not a WAVE or FLAC file"},
        {"FILE short.bin FLAC\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n", "not a FLAC file"},
        {"FILE mono.flac FLAC\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n", "16-bit stereo"},
        {"FILE mono.wav WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n", "16-bit stereo"},
        {"FILE short.bin BINARY\nTRACK 01 AUDIO\nPREGAP 999:00:00\nINDEX 01 00:00:00\n", "longer than"},
        {"FILE short.bin BINARY\nTRACK 01 AUDIO\n", "no INDEX 01"},
    };
    for (const Case& c : cases) {
        const std::string cue = PutText("bad.cue", c.sheet);
        CDiscImage disc;
        std::string error;
        EXPECT_FALSE(disc.Load(cue, error)) << c.sheet;
        EXPECT_NE(error.find(c.words), std::string::npos) << c.sheet << " gave: " << error;
        EXPECT_TRUE(disc.Empty());
    }
    CDiscImage disc;
    std::string error;
    EXPECT_FALSE(disc.Load(testing::TempDir() + "no-such.cue", error));
}

}  // namespace
