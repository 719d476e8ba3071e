// The encoder control in a dialog under Wine: its MP3 files against mpg123, ffmpeg and
// ffprobe, its events (one done event per run, whatever ends it), its refusals, and
// that nothing of one job carries over into the next.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "Mp3Enc.h"
#include "TestSupport.h"
#include "fw/Framework.h"
#include "mp3enc_test_ids.h"
#include "orvcodec/Mp3Decoder.h"
#include "orvcodec/WaveFile.h"

namespace {

constexpr UINT kMsgMarker = WM_APP + 100;
constexpr DWORD kRunTimeoutMs = 60000;

struct Event {
    DISPID dispid;
    long nArg;
};

class CHostDlg : public CDialog {
public:
    CHostDlg() : CDialog(IDD_HOST) {}

    CMp3Enc m_enc;
    std::vector<Event> m_events;
    int m_nMarkers = 0;

    BOOL OnInitDialog() override {
        m_enc.SubclassDlgItem(IDC_MP3ENC, this);
        return TRUE;
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == kMsgMarker) {
            ++m_nMarkers;
            return 0;
        }
        return CDialog::WindowProc(message, wParam, lParam);
    }

    size_t Count(DISPID dispid) const {
        size_t n = 0;
        for (const Event& e : m_events) n += e.dispid == dispid;
        return n;
    }
    bool WaitDone() {
        return orvtest::PumpUntil([&] { return Count(CMp3Enc::kEventDone) > 0; }, kRunTimeoutMs);
    }
    // Everything posted so far, and whatever that re-posts, has been handled.
    void Drain() {
        for (int i = 0; i < 2; ++i) {
            const int n = m_nMarkers;
            PostMessage(kMsgMarker);
            orvtest::PumpUntil([&] { return m_nMarkers > n; }, 5000);
        }
    }

private:
    void OnProgress(long nPosition) { m_events.push_back({CMp3Enc::kEventProgress, nPosition}); }
    void OnDone() { m_events.push_back({CMp3Enc::kEventDone, 0}); }
    void OnError(long nCode, LPCSTR lpszText) {
        m_events.push_back({CMp3Enc::kEventError, nCode});
        EXPECT_NE(std::string(lpszText), "");
    }

    DECLARE_EVENTSINK_MAP()
};

BEGIN_EVENTSINK_MAP(CHostDlg, CDialog)
    ON_EVENT(CHostDlg, IDC_MP3ENC, 1, OnProgress, VTS_I4)
    ON_EVENT(CHostDlg, IDC_MP3ENC, 2, OnDone, VTS_NONE)
    ON_EVENT(CHostDlg, IDC_MP3ENC, 3, OnError, VTS_I4 VTS_BSTR)
END_EVENTSINK_MAP()

void PutU16(std::string& out, unsigned v) { out.append({char(v & 0xFF), char(v >> 8 & 0xFF)}); }
void PutU32(std::string& out, unsigned long v) {
    PutU16(out, v & 0xFFFF);
    PutU16(out, v >> 16 & 0xFFFF);
}

// A PCM WAVE file of two tones; declaredExtra is added to the data length the header
// states, making a file that ends early.
bool WriteWave(const std::string& path, unsigned long frames, unsigned rate, unsigned channels, unsigned bits,
               unsigned long declaredExtra = 0) {
    const unsigned block = channels * bits / 8;
    std::string data;
    data.reserve(frames * block);
    for (unsigned long i = 0; i < frames; ++i) {
        for (unsigned c = 0; c < channels; ++c) {
            const double v = 0.4 * std::sin(2 * 3.14159265358979 * (440.0 + 220.0 * c) * i / rate);
            if (bits == 8) data.push_back(static_cast<char>(128 + static_cast<int>(v * 127)));
            else PutU16(data, static_cast<unsigned>(static_cast<int>(v * 32767)) & 0xFFFF);
        }
    }
    std::string file = "RIFF";
    PutU32(file, 36 + data.size() + declaredExtra);
    file += "WAVEfmt ";
    PutU32(file, 16);
    PutU16(file, 1);
    PutU16(file, channels);
    PutU32(file, rate);
    PutU32(file, rate * block);
    PutU16(file, block);
    PutU16(file, bits);
    file += "data";
    PutU32(file, data.size() + declaredExtra);
    file += data;
    std::ofstream out(path, std::ios::binary);
    out << file;
    return static_cast<bool>(out);
}

class Mp3EncTest : public ::testing::Test {
protected:
    void SetUp() override {
        CMp3Enc::Register();
        AfxSetControlFolder(ORV_CONTROL_DIR);
        AfxEnableControlContainer();
        ASSERT_TRUE(fw::IsControlLoaded(CMp3Enc::kClsid));
        ASSERT_TRUE(m_dlg.Create(IDD_HOST, nullptr));
        m_dir = orvtest::MakeTempDir("mp3enc");
    }
    void TearDown() override {
        if (m_dlg.GetSafeHwnd()) m_dlg.DestroyWindow();
    }
    CMp3Enc& Enc() { return m_dlg.m_enc; }
    std::string Path(const std::string& name) const { return m_dir + "\\" + name; }

    // A started run to its done event: rising positions up to the total, one done.
    void RunToEnd() {
        const long total = Enc().GetTotal();
        ASSERT_GT(total, 0);
        ASSERT_TRUE(m_dlg.WaitDone());
        m_dlg.Drain();
        long last = -1;
        for (const Event& e : m_dlg.m_events) {
            if (e.dispid != CMp3Enc::kEventProgress) continue;
            EXPECT_GE(e.nArg, last);
            last = e.nArg;
        }
        EXPECT_EQ(last, total);
        EXPECT_EQ(m_dlg.Count(CMp3Enc::kEventDone), 1u);
        EXPECT_EQ(m_dlg.Count(CMp3Enc::kEventError), 0u);
        EXPECT_EQ(m_dlg.m_events.back().dispid, CMp3Enc::kEventDone);
        m_dlg.m_events.clear();
    }

    CHostDlg m_dlg;
    std::string m_dir;
};

// The first frame's sample rate and the stream's bit rate, by our own decoder.
std::pair<long, long> StreamRates(const std::string& mp3) {
    orv::codec::Mp3Decoder decoder;
    if (!decoder.OpenFile(mp3)) return {0, 0};
    return {static_cast<long>(decoder.SampleRate()), static_cast<long>((decoder.Info().averageBitRate + 500) / 1000)};
}

TEST_F(Mp3EncTest, EncodesEveryShapeAtTheRateAskedAndDecodesCleanly) {
    enum class Route { LowRateOnly, SampleRateOnly, Nothing };
    struct Case {
        const char* name;
        unsigned rate, channels, bits;
        long kbps;
        Route path;
        long askedRate;  // for SampleRateOnly
        long expectRate;
    } cases[] = {
        {"m22b8", 22050, 1, 8, 32, Route::LowRateOnly, 0, 22050},
        {"s22b16", 22050, 2, 16, 128, Route::LowRateOnly, 0, 22050},
        {"s44low", 44100, 2, 16, 128, Route::LowRateOnly, 0, 22050},
        {"m44b16", 44100, 1, 16, 320, Route::SampleRateOnly, 44100, 44100},
        {"s48b8", 48000, 2, 8, 320, Route::SampleRateOnly, 48000, 48000},
        {"s44to48", 44100, 2, 16, 32, Route::SampleRateOnly, 48000, 48000},
        {"m48to44", 48000, 1, 16, 128, Route::SampleRateOnly, 44100, 44100},
        {"s48own", 48000, 2, 16, 128, Route::Nothing, 0, 48000},
    };
    // The host tools reach only drive Z:, so this run works in the artifacts folder.
    m_dir = orvtest::FreshArtifactsDir("mp3enc-oracles");
    ASSERT_FALSE(m_dir.empty());
    std::map<std::string, const Case*> byName;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        byName[c.name] = &c;
        const std::string wav = Path(std::string(c.name) + ".wav");
        ASSERT_TRUE(WriteWave(wav, c.rate * 3 / 2, c.rate, c.channels, c.bits));
        ASSERT_EQ(Enc().OpenFiles(wav.c_str(), Path(std::string(c.name) + ".mp3").c_str()), 0);
        EXPECT_EQ(Enc().GetTotal(), static_cast<long>(c.rate * 3 / 2));
        Enc().SetBitRate(c.kbps);
        if (c.path == Route::LowRateOnly) Enc().SetLowRate(TRUE);
        if (c.path == Route::SampleRateOnly) Enc().SetSampleRate(c.askedRate);
        ASSERT_EQ(Enc().StartEncode(), 0);
        RunToEnd();
    }
    const std::string results = Path("results.txt");
    const std::string script =
        "cd '" + orvtest::UnixPath(m_dir) +
        "' && for f in *.mp3; do b=${f%.mp3}; "
        "mpg123 -q -w $b.dec.wav $f 2>$b.mpg.err; m=$?; "
        "ffmpeg -nostdin -v error -i $f -f null - 2>$b.ff.err; x=$?; "
        "r=$(ffprobe -v error -show_entries stream=sample_rate,bit_rate -of default=nw=1 $f | tr '\\n' ' '); "
        "echo $b $m $x $(wc -c <$b.ff.err) $r >> results.txt; done";
    ASSERT_TRUE(orvtest::RunHostShell(script, "mp3enc-oracles", 120000));
    std::ifstream in(results);
    size_t nChecked = 0;
    for (std::string line; std::getline(in, line);) {
        std::istringstream fields(line);
        std::string name, sampleRate, bitRate;
        int mpgRc = -1, ffRc = -1;
        long ffErrBytes = -1;
        fields >> name >> mpgRc >> ffRc >> ffErrBytes >> sampleRate >> bitRate;
        SCOPED_TRACE(line);
        ASSERT_EQ(byName.count(name), 1u);
        const Case& c = *byName[name];
        EXPECT_EQ(mpgRc, 0);
        EXPECT_EQ(ffRc, 0);
        EXPECT_EQ(ffErrBytes, 0);
        EXPECT_EQ(sampleRate, "sample_rate=" + std::to_string(c.expectRate));
        EXPECT_EQ(bitRate, "bit_rate=" + std::to_string(c.kbps * 1000));
        EXPECT_EQ(StreamRates(Path(name + ".mp3")), std::make_pair(c.expectRate, c.kbps));
        // The Info frame states the encoder delay and padding: mpg123's gapless decode
        // holds the source at the new rate, to the sample where the rate is the same.
        orv::codec::WaveReader decoded;
        ASSERT_EQ(decoded.Open(Path(name + ".dec.wav")), orv::codec::WaveStatus::Ok);
        const long expected = static_cast<long>(static_cast<long long>(c.rate * 3 / 2) * c.expectRate / c.rate);
        const long extra = static_cast<long>(decoded.FrameCount()) - expected;
        EXPECT_GE(extra, 0);
        EXPECT_LE(extra, c.expectRate == static_cast<long>(c.rate) ? 0 : 1);
        ++nChecked;
    }
    EXPECT_EQ(nChecked, std::size(cases));
}

TEST_F(Mp3EncTest, OneDoneEventPerRunWhateverEndsIt) {
    const std::string wav = Path("long.wav");
    const std::string mp3 = Path("long.mp3");
    ASSERT_TRUE(WriteWave(wav, 44100 * 60, 44100, 2, 16));
    // Stopped mid-run: one done event, and no partial MP3 left behind.
    ASSERT_EQ(Enc().OpenFiles(wav.c_str(), mp3.c_str()), 0);
    ASSERT_EQ(Enc().StartEncode(), 0);
    ASSERT_TRUE(orvtest::PumpUntil([&] { return m_dlg.Count(CMp3Enc::kEventProgress) >= 2; }, kRunTimeoutMs));
    EXPECT_EQ(m_dlg.Count(CMp3Enc::kEventDone), 0u);
    Enc().StopEncode();
    ASSERT_TRUE(m_dlg.WaitDone());
    m_dlg.Drain();
    EXPECT_EQ(m_dlg.Count(CMp3Enc::kEventDone), 1u);
    EXPECT_EQ(m_dlg.Count(CMp3Enc::kEventError), 0u);
    EXPECT_FALSE(orvtest::FileExists(mp3));
    m_dlg.m_events.clear();
    Enc().StopEncode();  // nothing runs any more
    m_dlg.Drain();
    EXPECT_TRUE(m_dlg.m_events.empty());

    // A source that ends before its stated length: an error, then one done event.
    const std::string damaged = Path("damaged.wav");
    ASSERT_TRUE(WriteWave(damaged, 44100 * 2, 44100, 2, 16, 44100 * 4 * 3));
    ASSERT_EQ(Enc().OpenFiles(damaged.c_str(), mp3.c_str()), 0);
    ASSERT_EQ(Enc().StartEncode(), 0);
    ASSERT_TRUE(m_dlg.WaitDone());
    m_dlg.Drain();
    ASSERT_EQ(m_dlg.Count(CMp3Enc::kEventError), 1u);
    EXPECT_EQ(m_dlg.Count(CMp3Enc::kEventDone), 1u);
    EXPECT_EQ(m_dlg.m_events.back().dispid, CMp3Enc::kEventDone);
    EXPECT_EQ(m_dlg.m_events[m_dlg.m_events.size() - 2].dispid, CMp3Enc::kEventError);
    EXPECT_FALSE(orvtest::FileExists(mp3));
    m_dlg.m_events.clear();

    // A start that fails (the source went away after the open), then StopEncode: no event.
    const std::string gone = Path("gone.wav");
    ASSERT_TRUE(WriteWave(gone, 4410, 44100, 1, 16));
    ASSERT_EQ(Enc().OpenFiles(gone.c_str(), mp3.c_str()), 0);
    ASSERT_TRUE(::DeleteFileA(gone.c_str()));
    EXPECT_NE(Enc().StartEncode(), 0);
    Enc().StopEncode();
    EXPECT_NE(Enc().StartEncode(), 0);  // the pair is released
    Enc().StopEncode();
    m_dlg.Drain();
    EXPECT_TRUE(m_dlg.m_events.empty());
}

TEST_F(Mp3EncTest, ControlDestroyedDuringARunLeavesNoPartialFile) {
    const std::string wav = Path("long.wav");
    const std::string mp3 = Path("long.mp3");
    ASSERT_TRUE(WriteWave(wav, 44100 * 60, 44100, 2, 16));
    ASSERT_EQ(Enc().OpenFiles(wav.c_str(), mp3.c_str()), 0);
    ASSERT_EQ(Enc().StartEncode(), 0);
    ASSERT_TRUE(orvtest::PumpUntil([&] { return m_dlg.Count(CMp3Enc::kEventProgress) >= 2; }, kRunTimeoutMs));
    m_dlg.DestroyWindow();
    EXPECT_FALSE(orvtest::FileExists(mp3));
}

TEST_F(Mp3EncTest, SettingsOfOneJobDoNotLeakIntoTheNext) {
    const std::string wav = Path("src.wav");
    ASSERT_TRUE(WriteWave(wav, 44100, 44100, 2, 16));
    const std::string first = Path("first.mp3"), second = Path("second.mp3"), third = Path("third.mp3");
    ASSERT_EQ(Enc().OpenFiles(wav.c_str(), first.c_str()), 0);
    Enc().SetBitRate(320);
    Enc().SetSampleRate(48000);
    ASSERT_EQ(Enc().StartEncode(), 0);
    RunToEnd();
    ASSERT_EQ(Enc().OpenFiles(wav.c_str(), second.c_str()), 0);
    Enc().SetLowRate(TRUE);
    ASSERT_EQ(Enc().StartEncode(), 0);
    RunToEnd();
    ASSERT_EQ(Enc().OpenFiles(wav.c_str(), third.c_str()), 0);
    ASSERT_EQ(Enc().StartEncode(), 0);
    RunToEnd();
    EXPECT_EQ(StreamRates(first), std::make_pair(48000L, 320L));
    EXPECT_EQ(StreamRates(second), std::make_pair(22050L, 128L));
    EXPECT_EQ(StreamRates(third), std::make_pair(44100L, 128L));
}

TEST_F(Mp3EncTest, OpenFilesRefusesWhatCannotBeEncodedAndTruncatesNothing) {
    const std::string wav = Path("src.wav");
    ASSERT_TRUE(WriteWave(wav, 4410, 44100, 2, 16));
    const std::string text = Path("text.wav");
    std::ofstream(text) << "plain text, not a WAVE file\n";
    const std::string upper = m_dir + "\\SRC.WAV";
    struct Refusal {
        const char* what;
        std::string source, target;
    } refusals[] = {
        {"target in a missing folder", wav, Path("missing\\out.mp3")},
        {"target is the source", wav, wav},
        {"target is the source by another spelling", wav, upper},
        {"target is a folder", wav, m_dir},
        {"source is not WAVE", text, Path("out.mp3")},
        {"source is missing", Path("none.wav"), Path("out.mp3")},
    };
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.what);
        EXPECT_NE(Enc().OpenFiles(r.source.c_str(), r.target.c_str()), 0);
        EXPECT_NE(Enc().StartEncode(), 0);
    }
    EXPECT_FALSE(orvtest::FileExists(Path("out.mp3")));

    const std::string existing = Path("existing.mp3");
    std::ofstream(existing) << "keep me";
    ASSERT_EQ(Enc().OpenFiles(wav.c_str(), existing.c_str()), 0);
    Enc().StopEncode();
    EXPECT_EQ(orvtest::ReadFileBytes(existing), "keep me");
    m_dlg.Drain();
    EXPECT_TRUE(m_dlg.m_events.empty());
}

// User and kernel time of this process so far.
// Not a timed test: ORV_BENCH=1 ./scripts/test -R Mp3EncBenchmark prints the figure.
TEST_F(Mp3EncTest, Benchmark) {
    if (!std::getenv("ORV_BENCH")) GTEST_SKIP() << "set ORV_BENCH=1 to run the benchmark";
    const std::string wav = Path("bench.wav");
    constexpr unsigned long kSeconds = 180;
    ASSERT_TRUE(WriteWave(wav, 44100 * kSeconds, 44100, 2, 16));
    ASSERT_EQ(Enc().OpenFiles(wav.c_str(), Path("bench.mp3").c_str()), 0);
    const DWORD start = ::GetTickCount();
    const double cpuStart = orvtest::ProcessCpuSeconds();
    ASSERT_EQ(Enc().StartEncode(), 0);
    ASSERT_TRUE(m_dlg.WaitDone());
    const DWORD elapsed = std::max<DWORD>(::GetTickCount() - start, 1);
    const double cpu = std::max(orvtest::ProcessCpuSeconds() - cpuStart, 0.001);
    const double ratio = kSeconds * 1000.0 / elapsed;
    std::printf("mp3enc benchmark: 180 s of 44.1 kHz stereo at 128 kbit/s in %lu ms: %.1fx real time "
                "(%.2f s of processor time: %.1fx)\n",
                static_cast<unsigned long>(elapsed), ratio, cpu, kSeconds / cpu);
    // The wall figure follows whatever else the machine runs; the processor time does not.
    EXPECT_GE(kSeconds / cpu, 50.0);
}

}  // namespace
