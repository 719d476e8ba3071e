// The ripper control in a dialog under Wine: what it writes against the samples of
// the disc images the tests make (little- and big-endian files, a stored pregap, a
// data track), its events (one done event per extraction, whatever ends it) and its
// refusals.
#include <gtest/gtest.h>

#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "Acd.h"
#include "DemoDiscPlan.h"
#include "RegistryGuard.h"
#include "TestSupport.h"
#include "acd_test_ids.h"
#include "fw/Framework.h"
#include "orvcodec/FlacDecoder.h"
#include "orvcodec/FlacWriter.h"
#include "orvcodec/WaveFile.h"

namespace {

constexpr UINT kMsgMarker = WM_APP + 100;
constexpr DWORD kRunTimeoutMs = 60000;
constexpr char kDiscKey[] = "Software\\Orvanta\\CDAudio";
constexpr char kDemoCue[] = "C:\\Program Files\\Orvanta\\Demo\\Disc\\Orvanta Demo Disc.cue";
constexpr size_t kSamplesPerFrame = 588 * 2;

struct Event {
    DISPID dispid;
    long nArg;
};

class CHostDlg : public CDialog {
public:
    CHostDlg() : CDialog(IDD_HOST) {}
    CACD m_acd;
    std::vector<Event> m_events;
    int m_nMarkers = 0;
    std::string m_strLastError;
    // Stops the extraction at its first progress event.
    bool m_bStopAtFirstProgress = false;

    BOOL OnInitDialog() override {
        m_acd.SubclassDlgItem(IDC_ACD, this);
        return TRUE;
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message != kMsgMarker) return CDialog::WindowProc(message, wParam, lParam);
        ++m_nMarkers;
        return 0;
    }
    size_t Count(DISPID dispid) const {
        return static_cast<size_t>(
            std::count_if(m_events.begin(), m_events.end(), [&](const Event& e) { return e.dispid == dispid; }));
    }
    bool WaitDone() {
        return orvtest::PumpUntil([&] { return Count(CACD::kEventDone) > 0; }, kRunTimeoutMs);
    }
    // Everything posted so far, and whatever that posts in turn, has been handled.
    void Drain() {
        for (int i = 0; i < 2; ++i) {
            const int n = m_nMarkers;
            PostMessage(kMsgMarker);
            orvtest::PumpUntil([&] { return m_nMarkers > n; }, 5000);
        }
    }

private:
    void OnError(long nCode, LPCSTR lpszText) {
        m_events.push_back({CACD::kEventError, nCode});
        EXPECT_STRNE(lpszText, "");
        m_strLastError = lpszText;
    }
    void OnDone() { m_events.push_back({CACD::kEventDone, 0}); }
    void OnProgress(long nTenths) {
        m_events.push_back({CACD::kEventProgress, nTenths});
        if (m_bStopAtFirstProgress) {
            m_bStopAtFirstProgress = false;
            m_acd.StopRip();
        }
    }
    DECLARE_EVENTSINK_MAP()
};

BEGIN_EVENTSINK_MAP(CHostDlg, CDialog)
    ON_EVENT(CHostDlg, IDC_ACD, 1, OnError, VTS_I4 VTS_BSTR)
    ON_EVENT(CHostDlg, IDC_ACD, 2, OnDone, VTS_NONE)
    ON_EVENT(CHostDlg, IDC_ACD, 3, OnProgress, VTS_I4)
END_EVENTSINK_MAP()

// The sample at index k of the image file: every one differs from its neighbours.
int16_t ImageSample(size_t k) {
    return static_cast<int16_t>(k * 37 + 11);
}

// Four tracks: audio, audio behind a stored one-second pregap, a data track, audio.
// Frames in the file: 1 at 0, 2's pregap at 150 and INDEX 01 at 225, 3 at 300, 4 at 337.
constexpr int32_t kImageFrames = 450;
struct TrackRange {
    short track;
    int32_t from, to;  // file frames of the extraction: INDEX 01 to the next INDEX 01
};
constexpr TrackRange kAudioTracks[] = {{1, 0, 225}, {2, 225, 300}, {4, 337, 450}};

std::string WriteImage(const std::string& dir, const std::string& name, bool bigEndian) {
    std::string bytes(static_cast<size_t>(kImageFrames) * kSamplesPerFrame * 2, '\0');
    for (size_t k = 0; k < bytes.size() / 2; ++k) {
        const auto v = static_cast<uint16_t>(ImageSample(k));
        bytes[2 * k + (bigEndian ? 1 : 0)] = static_cast<char>(v & 0xFF);
        bytes[2 * k + (bigEndian ? 0 : 1)] = static_cast<char>(v >> 8);
    }
    orvtest::WriteFileBytes(dir + "\\" + name + ".bin", bytes);
    const std::string cue = dir + "\\" + name + ".cue";
    orvtest::WriteFileBytes(cue, "FILE \"" + name + ".bin\" " + (bigEndian ? "MOTOROLA" : "BINARY") +
                                     "\r\n  TRACK 01 AUDIO\r\n    INDEX 01 00:00:00\r\n"
                                     "  TRACK 02 AUDIO\r\n    INDEX 00 00:02:00\r\n    INDEX 01 00:03:00\r\n"
                                     "  TRACK 03 MODE1/2352\r\n    INDEX 01 00:04:00\r\n"
                                     "  TRACK 04 AUDIO\r\n    INDEX 01 00:04:37\r\n");
    return cue;
}

// One silent track of ten minutes in a sparse file: long enough to stop mid-way.
std::string WriteLongImage(const std::string& dir) {
    const std::string bin = dir + "\\long.bin";
    HANDLE hFile = ::CreateFileA(bin.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    LARGE_INTEGER size;
    size.QuadPart = 600LL * 75 * 2352;
    ::SetFilePointerEx(hFile, size, nullptr, FILE_BEGIN);
    ::SetEndOfFile(hFile);
    ::CloseHandle(hFile);
    const std::string cue = dir + "\\long.cue";
    orvtest::WriteFileBytes(cue, "FILE \"long.bin\" BINARY\r\n  TRACK 01 AUDIO\r\n    INDEX 01 00:00:00\r\n");
    return cue;
}

class AcdTest : public ::testing::Test {
protected:
    void SetUp() override {
        CACD::Register();
        AfxSetControlFolder(ORV_CONTROL_DIR);
        AfxEnableControlContainer();
        ASSERT_TRUE(fw::IsControlLoaded(CACD::kClsid));
        ASSERT_TRUE(m_dlg.Create(IDD_HOST, nullptr));
        m_dir = orvtest::MakeTempDir("acd");
    }
    void TearDown() override {
        if (m_dlg.GetSafeHwnd()) m_dlg.DestroyWindow();
    }
    CACD& Acd() { return m_dlg.m_acd; }
    std::string Path(const std::string& name) const { return m_dir + "\\" + name; }
    static bool Insert(const std::string& cue) {
        return orvtest::SetRegistryString(HKEY_CURRENT_USER, kDiscKey, "Disc", cue);
    }
    // Rips and waits for the done event; the events of the extraction are returned.
    std::vector<Event> Rip(short track, const std::string& target) {
        m_dlg.m_events.clear();
        EXPECT_EQ(Acd().RipTrack(track, target.c_str()), 0);
        EXPECT_TRUE(m_dlg.WaitDone());
        m_dlg.Drain();
        return m_dlg.m_events;
    }
    static long ErrorOf(const std::vector<Event>& events) {
        for (const Event& e : events)
            if (e.dispid == CACD::kEventError) return e.nArg;
        return 0;
    }

    orvtest::RegistryGuard m_guard{HKEY_CURRENT_USER, kDiscKey};
    CHostDlg m_dlg;
    std::string m_dir;
};

TEST_F(AcdTest, EveryAudioTrackRipsToTheImagesOwnSamplesFromEitherByteOrder) {
    ASSERT_EQ(Acd().InitRipper(), 0);
    ASSERT_EQ(Acd().SetupRipper(1), 0);
    for (bool bigEndian : {false, true}) {
        SCOPED_TRACE(bigEndian ? "MOTOROLA" : "BINARY");
        ASSERT_TRUE(Insert(WriteImage(m_dir, bigEndian ? "be" : "le", bigEndian)));
        for (const TrackRange& range : kAudioTracks) {
            SCOPED_TRACE(range.track);
            const std::string wav = Path("track" + std::to_string(range.track) + ".wav");
            const std::vector<Event> events = Rip(range.track, wav);
            long last = -1;
            for (const Event& e : events) {
                if (e.dispid != CACD::kEventProgress) continue;
                EXPECT_GE(e.nArg, last);
                last = e.nArg;
            }
            EXPECT_EQ(last, 1000);
            EXPECT_EQ(ErrorOf(events), 0);
            ASSERT_EQ(events.back().dispid, CACD::kEventDone);
            EXPECT_EQ(std::count_if(events.begin(), events.end(), [](const Event& e) { return e.dispid == 2; }), 1);

            orv::codec::WaveReader reader;
            ASSERT_EQ(reader.Open(orvtest::UnixPath(wav)), orv::codec::WaveStatus::Ok);
            EXPECT_EQ(reader.Format().formatTag, orv::codec::kWaveFormatPcm);
            EXPECT_EQ(reader.Format().channels, 2);
            EXPECT_EQ(reader.Format().samplesPerSec, 44100u);
            EXPECT_EQ(reader.Format().bitsPerSample, 16);
            const size_t count = static_cast<size_t>(range.to - range.from) * kSamplesPerFrame;
            ASSERT_EQ(reader.FrameCount() * 2, count);
            std::vector<int16_t> samples(count);
            reader.ReadPcm16(samples.data(), count / 2);
            size_t mismatches = 0;
            for (size_t i = 0; i < count; ++i)
                mismatches += samples[i] != ImageSample(static_cast<size_t>(range.from) * kSamplesPerFrame + i);
            EXPECT_EQ(mismatches, 0u);
        }
    }
}

TEST_F(AcdTest, FailuresSendAnErrorThenDoneAndLeaveNoFile) {
    ASSERT_EQ(Acd().InitRipper(), 0);
    const std::string cue = WriteImage(m_dir, "le", false);
    ASSERT_TRUE(Insert(cue));
    struct Case {
        const char* what;
        short track;
        std::string target;
        long error;
    } cases[] = {
        {"data track", 3, Path("data.wav"), acd::kErrorNoTrack},
        {"no such track", 9, Path("nine.wav"), acd::kErrorNoTrack},
        {"missing folder", 1, Path("no\\such\\folder\\one.wav"), acd::kErrorCannotWrite},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<Event> events = Rip(c.track, c.target);
        ASSERT_EQ(events.size(), 2u);
        EXPECT_EQ(events[0].dispid, CACD::kEventError);
        EXPECT_EQ(events[0].nArg, c.error);
        EXPECT_EQ(events[1].dispid, CACD::kEventDone);
        EXPECT_FALSE(orvtest::FileExists(c.target));
    }

    // An empty drive, and a tray opened through the CD-audio device, hold no disc.
    ASSERT_TRUE(Insert(""));
    EXPECT_EQ(ErrorOf(Rip(1, Path("empty.wav"))), acd::kErrorNoDisc);
    ASSERT_TRUE(Insert(cue));
    MCI_OPEN_PARMSA open = {};
    open.lpstrDeviceType = "CDAudio";
    ASSERT_EQ(mciSendCommandA(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_SHAREABLE, reinterpret_cast<DWORD_PTR>(&open)), 0u);
    MCI_SET_PARMS set = {};
    ASSERT_EQ(mciSendCommandA(open.wDeviceID, MCI_SET, MCI_SET_DOOR_OPEN, reinterpret_cast<DWORD_PTR>(&set)), 0u);
    EXPECT_EQ(ErrorOf(Rip(1, Path("open.wav"))), acd::kErrorNoDisc);
    mciSendCommandA(open.wDeviceID, MCI_SET, MCI_SET_DOOR_CLOSED, reinterpret_cast<DWORD_PTR>(&set));
    mciSendCommandA(open.wDeviceID, MCI_CLOSE, 0, 0);
    EXPECT_FALSE(orvtest::FileExists(Path("open.wav")));
    EXPECT_EQ(ErrorOf(Rip(1, Path("closed.wav"))), 0);
}

// The demo disc as FLAC rips to the bytes of the same disc as a BINARY image. A
// damaged FLAC frame fails its track's rip, saying the track and the time, and
// leaves no file.
TEST_F(AcdTest, FlacImagesRipAsTheirBinaryTwinAndADamagedFrameFailsWithItsTime) {
    ASSERT_EQ(Acd().InitRipper(), 0);
    for (short track : {2, 4, 6}) {
        std::string ripped[2];
        for (int i = 0; i < 2; ++i) {
            ASSERT_TRUE(Insert(i == 0 ? kDemoCue : ORV_DEMO_BIN_CUE));
            const std::string target = Path("demo" + std::to_string(i) + ".wav");
            EXPECT_EQ(ErrorOf(Rip(track, target)), 0) << "track " << track;
            ripped[i] = orvtest::ReadFileBytes(target);
        }
        EXPECT_EQ(ripped[0].size(), static_cast<size_t>(orvdemo::kDemoTracks[track - 1].frames) * 2352 + 44);
        EXPECT_TRUE(ripped[0] == ripped[1]) << "track " << track;
    }

    // Track 2 of a two-track image: 5 s of tone, then 10 s with a damaged frame.
    std::vector<int16_t> pcm;
    for (int i = 0; i < 15 * 44100; ++i) {
        const auto v = static_cast<int16_t>(9000 * std::sin(i * 0.0627) + (i % 301) * 7919 % 301);
        pcm.insert(pcm.end(), {v, static_cast<int16_t>(-v)});
    }
    std::vector<uint8_t> flac = orv::codec::EncodeFlac16(pcm.data(), pcm.size() / 2, 2, 44100);
    for (size_t i = flac.size() * 3 / 4; i < flac.size() * 3 / 4 + 6; ++i) flac[i] ^= 0x3C;
    orv::codec::FlacDecoder decoder;
    ASSERT_EQ(decoder.OpenMemory(flac.data(), flac.size()), orv::codec::FlacStatus::Ok);
    std::vector<int16_t> all(pcm.size());
    decoder.ReadPcm16(all.data(), pcm.size() / 2);
    ASSERT_NE(decoder.DamagedAt(), orv::codec::FlacDecoder::kNoDamage);
    const int32_t secondsIntoTrack2 = static_cast<int32_t>(decoder.DamagedAt() / 588) / 75 - 5;
    orvtest::WriteFileBytes(Path("damaged.flac"), std::string(flac.begin(), flac.end()));
    orvtest::WriteFileBytes(Path("damaged.cue"), "FILE \"damaged.flac\" WAVE\r\n  TRACK 01 AUDIO\r\n    INDEX 01 00:00:00\r\n"
                                                 "  TRACK 02 AUDIO\r\n    INDEX 01 00:05:00\r\n");
    ASSERT_TRUE(Insert(Path("damaged.cue")));
    EXPECT_EQ(ErrorOf(Rip(1, Path("one.wav"))), 0);
    EXPECT_EQ(ErrorOf(Rip(2, Path("two.wav"))), acd::kErrorRead);
    char expected[64];
    std::snprintf(expected, sizeof expected, "at 0:%02d of track 2", secondsIntoTrack2);
    EXPECT_NE(m_dlg.m_strLastError.find(expected), std::string::npos) << m_dlg.m_strLastError << " / " << expected;
    EXPECT_FALSE(orvtest::FileExists(Path("two.wav")));
}

TEST_F(AcdTest, StopMidTrackEndsWithOneDoneAndNoFileAndTheNextRipWorks) {
    ASSERT_EQ(Acd().InitRipper(), 0);
    m_dlg.m_events.clear();
    EXPECT_EQ(Acd().StopRip(), 0);
    m_dlg.Drain();
    EXPECT_TRUE(m_dlg.m_events.empty());

    ASSERT_TRUE(Insert(WriteLongImage(m_dir)));
    m_dlg.m_bStopAtFirstProgress = true;
    const std::vector<Event> events = Rip(1, Path("long.wav"));
    EXPECT_EQ(std::count_if(events.begin(), events.end(), [](const Event& e) { return e.dispid == 2; }), 1);
    EXPECT_EQ(ErrorOf(events), 0);
    EXPECT_FALSE(orvtest::FileExists(Path("long.wav")));

    ASSERT_TRUE(Insert(WriteImage(m_dir, "le", false)));
    EXPECT_EQ(ErrorOf(Rip(2, Path("two.wav"))), 0);
    EXPECT_TRUE(orvtest::FileExists(Path("two.wav")));
}

TEST_F(AcdTest, WithoutDiscImagesOrADriveInitRipperFails) {
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        const char root[] = {letter, ':', '\\', '\0'};
        if (::GetDriveTypeA(root) == DRIVE_CDROM) GTEST_SKIP() << "this machine has a CD drive";
    }
    EXPECT_EQ(Acd().SetupRipper(1), acd::kStatusNotReady);
    ASSERT_TRUE(orvtest::DeleteRegistryKey(HKEY_CURRENT_USER, kDiscKey));
    EXPECT_EQ(Acd().InitRipper(), acd::kStatusNoSource);
    EXPECT_EQ(Acd().RipTrack(1, Path("x.wav").c_str()), acd::kStatusNotReady);
}

// Not a timed test: ORV_BENCH=1 ./scripts/test -R AcdTest.Benchmark prints the figure.
TEST_F(AcdTest, Benchmark) {
    if (!std::getenv("ORV_BENCH")) GTEST_SKIP() << "set ORV_BENCH=1 to run the benchmark";
    ASSERT_EQ(Acd().InitRipper(), 0);
    ASSERT_TRUE(Insert(kDemoCue));
    double audioSeconds = 0;
    for (const orvdemo::DemoTrack& track : orvdemo::kDemoTracks) audioSeconds += track.frames / 75.0;
    const DWORD start = ::GetTickCount();
    for (short track = 1; track <= orvdemo::kDemoTrackCount; ++track)
        ASSERT_EQ(ErrorOf(Rip(track, Path("demo" + std::to_string(track) + ".wav"))), 0);
    const DWORD elapsed = std::max<DWORD>(::GetTickCount() - start, 1);
    std::printf("acd benchmark: the demo disc (%.0f s) in %lu ms: %.1fx real time\n", audioSeconds,
                static_cast<unsigned long>(elapsed), audioSeconds * 1000.0 / elapsed);
    EXPECT_GE(audioSeconds * 1000.0 / elapsed, 200.0);
}

}  // namespace
