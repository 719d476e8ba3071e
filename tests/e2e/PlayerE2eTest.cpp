// The installed mpdeck playing a playlist of short distinct tones: driven by mouse
// presses on its hotspots, read back from the LCD on screen and from the null sink.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "AudioRecorder.h"
#include "ProgramDriver.h"
#include "RegistryGuard.h"
#include "SkinLayout.h"
#include "SkinProbe.h"
#include "TestSupport.h"
#include "orvcodec/Mp3Encoder.h"

using namespace orvtest;

namespace {

const DWORD kStartTimeout = 20000;
const DWORD kQuitTimeout = 10000;
const char kPlayerText[] = "OrvMP3Player";
const char kTitle[] = "Orvanta-MP3";
const char kListName[] = "E2E Tones";
const char kIniPath[] = "C:\\windows\\mpdeck.ini";
const UINT kAskSave = 104, kOpenFailed = 196;
const int kBlank = -1;
const int kSongDigitsX[] = {33, 45, 57};
const int kElapsedDigitsX[] = {82, 94, 108, 120};
const int kDigitsY = 94;
const RECT kTitleArea = {33, 35, 288, 49};
const RECT kModeArea = {210, 91, 268, 103};
// A point of the face that is no hotspot.
const POINT kNoHotspot = {160, 20};

// Songs of the fixture: each its own pitch; the sweep rises 20 Hz every second.
struct Song {
    const char* file;
    double hz;
    DWORD ms;
    double stepHz;
};
const Song kSongs[] = {
    {"one.wav", 440, 2500, 0}, {"two.mp3", 660, 1500, 0}, {"three.wav", 990, 1500, 0}, {"sweep.wav", 300, 40000, 20}};
enum SongId { kOne, kTwo, kThree, kSweep };

std::string g_dir;
Screenshot g_faces, g_background;

std::string SongPath(SongId id) {
    return g_dir + "\\" + kSongs[id].file;
}

// The song of the list a pitch belongs to (1-based); 0 for none.
int SongOfPitch(double hz) {
    for (int i = kOne; i <= kThree; ++i) {
        if (std::fabs(hz - kSongs[i].hz) < kSongs[i].hz * 0.03) return i + 1;
    }
    return 0;
}

// The songs heard, in order, each once per stretch of 200 ms windows of its pitch.
std::vector<int> SongsHeard(const Pcm& pcm) {
    std::vector<int> heard;
    for (double at = 0; at + 200 <= pcm.DurationMs(); at += 200) {
        const Pcm window = pcm.Slice(at, at + 200);
        if (Rms(window) < kSilenceRms * 10) continue;
        const int nSong = SongOfPitch(DominantFrequency(window));
        if (nSong && (heard.empty() || heard.back() != nSong)) heard.push_back(nSong);
    }
    return heard;
}

// The pitch of the last 400 ms of a recording made while something plays; 0 when
// they are silent.
double LastPitch(const Pcm& pcm) {
    const Pcm tail = pcm.Slice(pcm.DurationMs() - 400, pcm.DurationMs());
    return Rms(tail) < kSilenceRms ? 0 : DominantFrequency(tail);
}

// The sweep's pitch (300 Hz plus 20 Hz a second) of the last 400 ms of a recording
// stopped when the LCD showed nElapsed: the sound lags the device by the sink's
// latency (up to about 1.2 s, less on some hosts), and the LCD's whole seconds lag
// the device by up to one.
void ExpectHeardNear(double hz, int nElapsed, const char* what) {
    EXPECT_GE(hz, 300 + 20 * (nElapsed - 1.6)) << what << " at " << nElapsed << " s";
    EXPECT_LE(hz, 300 + 20 * (nElapsed + 1)) << what << " at " << nElapsed << " s";
}

// Samples [from, to) of one continuous 440 Hz stereo tone at 44.1 kHz, encoded by our
// encoder, which states its delay and padding in the Info frame.
// Interleaved 44.1 kHz stereo samples as an MP3 of our encoder.
bool WriteMp3(const std::string& path, const std::vector<int16_t>& pcm) {
    orv::codec::Mp3Encoder encoder;
    std::vector<uint8_t> mp3;
    if (encoder.Configure(orv::codec::Mp3EncoderSettings()) != orv::codec::Mp3EncoderError::None ||
        encoder.Encode(pcm.data(), pcm.size() * sizeof(int16_t), mp3) != orv::codec::Mp3EncoderError::None ||
        encoder.Flush(mp3) != orv::codec::Mp3EncoderError::None || !encoder.CompleteStream(mp3)) {
        return false;
    }
    return WriteFileBytes(path, std::string(mp3.begin(), mp3.end()));
}

bool WriteToneMp3Part(const std::string& path, size_t from, size_t to) {
    std::vector<int16_t> pcm;
    for (size_t i = from; i < to; ++i) {
        const auto v = static_cast<int16_t>(std::lround(12000 * std::sin(2 * 3.14159265358979 * 440 * i / 44100.0)));
        pcm.insert(pcm.end(), {v, v});
    }
    return WriteMp3(path, pcm);
}

class PlayerE2eTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // On drive Z:, where the host's encoder reaches the files too.
        g_dir = ArtifactsDir() + "\\e2e player songs";
        ::CreateDirectoryA(g_dir.c_str(), nullptr);
        g_faces = LoadBitmapPixels(InstalledPath("TELMAR.DLL"), 2021);
        g_background = LoadBitmapPixels(InstalledPath("TELMAR.DLL"), 2020);
        for (const Song& song : kSongs) {
            std::string path = g_dir + "\\" + song.file;
            const bool bMp3 = path.substr(path.size() - 4) == ".mp3";
            if (bMp3) path += ".wav";
            ASSERT_TRUE(WriteToneWave(path, song.ms, 44100, 2, song.hz, song.stepHz));
            if (!bMp3) continue;
            const std::string script = "lame --quiet -b 128 '" + UnixPath(path) + "' '" +
                                       UnixPath(path.substr(0, path.size() - 4)) + "'";
            ASSERT_TRUE(RunHostShell(script, "e2e-player-lame", 30000));
        }
    }
    void SetUp() override {
        ASSERT_TRUE(g_faces.Valid() && g_background.Valid());
        EndSuitePrograms();
        ::DeleteFileA(kIniPath);
        SetPosition(60, 40);
    }
    void TearDown() override {
        EndSuitePrograms();
        ::DeleteFileA(kIniPath);
    }

    static void SetPosition(int x, int y) {
        SetRegistryDword(HKEY_CURRENT_USER, ProfileKey("mpdeck"), "X", static_cast<DWORD>(x));
        SetRegistryDword(HKEY_CURRENT_USER, ProfileKey("mpdeck"), "Y", static_cast<DWORD>(y));
    }
    // The default playlist: these songs in this play mode, named in the index.
    static void WriteList(const std::vector<std::string>& paths, int nMode) {
        ::WritePrivateProfileStringA("Playlist", "Total", "1", kIniPath);
        ::WritePrivateProfileStringA("Playlist", "1", kListName, kIniPath);
        ::WritePrivateProfileStringA(kListName, "Total", std::to_string(paths.size()).c_str(), kIniPath);
        for (size_t i = 0; i < paths.size(); ++i) {
            const bool bMp3 = paths[i].substr(paths[i].size() - 4) == ".mp3";
            const std::string value = paths[i] + (bMp3 ? ",MPEG" : ",WAVE");
            ::WritePrivateProfileStringA(kListName, std::to_string(i + 1).c_str(), value.c_str(), kIniPath);
        }
        ::WritePrivateProfileStringA(kListName, "PlayMode", std::to_string(nMode).c_str(), kIniPath);
        SetRegistryString(HKEY_CURRENT_USER, ProfileKey("mpdeck"), "DefPList", kListName);
    }
    static int StoredMode() { return static_cast<int>(::GetPrivateProfileIntA(kListName, "PlayMode", -1, kIniPath)); }

    bool Start(const std::string& arguments = std::string()) {
        m_pRun = std::make_unique<ProgramRun>();
        if (!m_pRun->Start("mpdeck", arguments)) return false;
        m_hPlayer = WaitForWindow(kPlayerText, kStartTimeout);
        return m_hPlayer != nullptr;
    }
    void Click(unsigned id) { PressAt(m_hPlayer, HotspotCenter(id)); }
    void Hold(unsigned id, DWORD ms) { PressAt(m_hPlayer, HotspotCenter(id), MouseButton::Left, ms); }

    // A visible dialog-class window of mpdeck with this caption.
    HWND WaitDialog(const char* caption, DWORD timeoutMs = kStartTimeout) {
        return WaitDialogOf(m_pRun->ProcessId(), caption, timeoutMs);
    }
    static void Press(HWND hDlg, int id) { ::PostMessageA(hDlg, WM_COMMAND, static_cast<WPARAM>(id), 0); }

    Screenshot Shot() { return CaptureScreen("e2e-player"); }
    int Differing(const Screenshot& shot, int x, int y, const Screenshot& bmp, int bx, int by, int w, int h) const {
        const POINT origin = WindowOrigin(m_hPlayer);
        return DifferingPixels(shot, origin.x + x, origin.y + y, bmp, bx, by, w, h);
    }
    // One LCD digit (kBlank for a blank), or -2 when it shows no glyph at all.
    int Digit(const Screenshot& shot, int x) const {
        for (int d = kBlank; d <= 9; ++d) {
            const int bx = d == kBlank ? skin::kDigitBlankX : skin::DigitX(d);
            if (Differing(shot, x, kDigitsY, g_faces, bx, skin::kGlyphRowY, skin::kDigitWidth, skin::kDigitHeight) == 0)
                return d;
        }
        return -2;
    }
    int SongNumber(const Screenshot& shot) const {
        int n = 0;
        for (int x : kSongDigitsX) n = n * 10 + std::max(Digit(shot, x), 0);
        return n;
    }
    // The elapsed time in seconds; -1 when a digit cannot be read.
    int Elapsed(const Screenshot& shot) const {
        int d[4];
        for (int i = 0; i < 4; ++i) {
            if ((d[i] = Digit(shot, kElapsedDigitsX[i])) < 0) return -1;
        }
        return (d[0] * 10 + d[1]) * 60 + d[2] * 10 + d[3];
    }
    int Elapsed() { return Elapsed(Shot()); }
    bool TitleEmpty(const Screenshot& shot) const {
        return Differing(shot, kTitleArea.left, kTitleArea.top, g_background, kTitleArea.left, kTitleArea.top,
                         kTitleArea.right - kTitleArea.left, kTitleArea.bottom - kTitleArea.top) == 0;
    }
    bool WaitSong(int nSong, DWORD timeoutMs = 8000) {
        return PumpUntil([&] { return SongNumber(Shot()) == nSong; }, timeoutMs);
    }
    bool WaitSilence(CAudioRecorder& recorder, double ms, DWORD timeoutMs = 8000) {
        return PumpUntil([&] { return recorder.HeardSound() && recorder.TrailingSilenceMs() >= ms; }, timeoutMs);
    }

    RegistryGuard m_profile{HKEY_CURRENT_USER, ProfileKey("mpdeck")};
    std::unique_ptr<ProgramRun> m_pRun = std::make_unique<ProgramRun>();
    HWND m_hPlayer = nullptr;
};

}  // namespace

TEST_F(PlayerE2eTest, PlaysTheListInOrderAndStopsSilentAtItsEnd) {
    WriteList({SongPath(kOne), SongPath(kTwo), SongPath(kThree)}, 1);
    ASSERT_TRUE(Start());
    CAudioRecorder recorder;
    ASSERT_TRUE(recorder.Start("e2e-player-list"));
    Click(skin::kHotPlay);
    ASSERT_TRUE(PumpUntil([&] { return !TitleEmpty(Shot()); }, 5000)) << "the title line shows the song";
    EXPECT_EQ(SongNumber(Shot()), 1);
    ASSERT_TRUE(PumpUntil([&] { return Elapsed() >= 1; }, 4000)) << "the elapsed time rises";
    ASSERT_TRUE(WaitSong(3));
    ASSERT_TRUE(WaitSilence(recorder, 1500));
    const Screenshot after = Shot();
    EXPECT_TRUE(TitleEmpty(after)) << "stopped at the end of the list";
    EXPECT_EQ(SongsHeard(recorder.Stop()), (std::vector<int>{1, 2, 3}));
}

TEST_F(PlayerE2eTest, TwoMp3sCutFromOneToneJoinWithoutAGap) {
    // Cut inside a frame, so that the first part ends in padding and the second starts
    // with the encoder's delay: both must be left out for the tone to go on unbroken.
    const size_t kCut = 74970, kEnd = 132300;
    const std::string first = g_dir + "\\join 1.mp3", second = g_dir + "\\join 2.mp3";
    ASSERT_TRUE(WriteToneMp3Part(first, 0, kCut));
    ASSERT_TRUE(WriteToneMp3Part(second, kCut, kEnd));
    WriteList({first, second}, 1);
    ASSERT_TRUE(Start());
    CAudioRecorder recorder;
    ASSERT_TRUE(recorder.Start("e2e-player-join"));
    Click(skin::kHotPlay);
    ASSERT_TRUE(WaitSong(2)) << "the LCD follows into the second song";
    ASSERT_TRUE(WaitSilence(recorder, 800));
    const Pcm recorded = recorder.Stop();
    const std::vector<Span> sound = SoundSpans(recorded, 200);
    ASSERT_FALSE(sound.empty());
    // A dropout before the join delays it; only the join itself is judged.
    const Span whole{sound.front().fromMs, sound.back().toMs};
    const std::vector<Span> gaps = Dropouts(recorded, whole);
    double joinMs = whole.fromMs + 1000.0 * kCut / 44100, lostMs = 0, gapMs = 0;
    for (const Span& gap : gaps) {
        lostMs += gap.LengthMs();
        if (gap.toMs <= joinMs - 50) joinMs += gap.LengthMs();
        else if (gap.fromMs < joinMs + 50) gapMs += gap.LengthMs();
    }
    EXPECT_NEAR(whole.LengthMs() - lostMs, 1000.0 * kEnd / 44100, 60) << DescribeSpans(gaps);
    EXPECT_LT(gapMs, 5.0) << "join at " << joinMs << " ms; gaps " << DescribeSpans(gaps);
}

// Songs cut from a clock, each from a second of its own: after Next, Previous and a
// song's end the song chosen is heard from its first second, and the silence before
// it is the player's alone (both sides of a change pass the same sink, so the sink's
// latency is in neither).
TEST_F(PlayerE2eTest, EverySongChangeIsHeardFromItsFirstSecondWithoutSilence) {
    const int kSongSeconds = 5;
    // The last is a WAVE file: the end of song 2 changes format too.
    std::vector<std::string> songs;
    for (int i = 0; i < 2; ++i) {
        songs.push_back(g_dir + "\\clock " + std::to_string(i + 1) + ".mp3");
        ASSERT_TRUE(WriteMp3(songs.back(), ClockSamples(i * kSongSeconds, kSongSeconds)));
    }
    songs.push_back(g_dir + "\\clock 3.wav");
    ASSERT_TRUE(WriteWave(songs.back(), 44100, 2, ClockSamples(2 * kSongSeconds, kSongSeconds)));
    WriteList(songs, 1);
    ASSERT_TRUE(Start());
    const struct {
        const char* name;
        unsigned hotspot;
        DWORD thenMs;
        int firstSecond;  // of the song it plays
    } steps[] = {
        {"Play", skin::kHotPlay, 2500, 0},
        {"Next", skin::kHotNext, 2500, kSongSeconds},
        {"Previous", skin::kHotPrevious, 2000, 0},
        {"Next again", skin::kHotNext, 0, kSongSeconds},
    };
    CAudioRecorder recorder;
    ASSERT_TRUE(recorder.Start("e2e-player-clock"));
    std::vector<double> pressedMs;
    for (const auto& step : steps) {
        pressedMs.push_back(recorder.SoFar().DurationMs());
        Click(step.hotspot);
        PumpFor(step.thenMs);
    }
    ASSERT_TRUE(WaitSong(3)) << "song 2 ends by itself";
    PumpFor(2000);
    const std::vector<ClockRun> runs = HeardClock(recorder.Stop());
    auto judge = [&](std::vector<ClockRun>::const_iterator run) {
        ASSERT_NE(run, runs.end()) << DescribeClock(runs);
        EXPECT_GE(run->span.LengthMs(), 900.0) << DescribeClock(runs);
        if (run == runs.begin()) return;
        EXPECT_LE(run->span.fromMs - std::prev(run)->span.toMs, 250.0) << "silence before it; " << DescribeClock(runs);
    };
    for (size_t i = 0; i < pressedMs.size(); ++i) {
        SCOPED_TRACE(steps[i].name);
        judge(std::find_if(runs.begin(), runs.end(), [&](const ClockRun& r) {
            return r.span.fromMs >= pressedMs[i] - 50 && r.second == steps[i].firstSecond;
        }));
    }
    SCOPED_TRACE("the end of song 2");
    judge(std::find_if(runs.begin(), runs.end(), [&](const ClockRun& r) { return r.second == 2 * kSongSeconds; }));
}

TEST_F(PlayerE2eTest, WithLoopTheListWraps) {
    WriteList({SongPath(kTwo), SongPath(kThree)}, 2);
    ASSERT_TRUE(Start());
    CAudioRecorder recorder;
    ASSERT_TRUE(recorder.Start("e2e-player-loop"));
    Click(skin::kHotPlay);
    ASSERT_TRUE(WaitSong(2));
    ASSERT_TRUE(WaitSong(1));
    ASSERT_TRUE(WaitSong(2));
    // The sound arrives about a second behind the LCD: wait for it, a look every quarter second.
    for (int i = 0; i < 24 && SongsHeard(recorder.SoFar()).size() < 4; ++i) PumpFor(250);
    std::vector<int> heard = SongsHeard(recorder.Stop());
    if (heard.size() > 4) heard.resize(4);  // the loop plays on while the recorder stops
    EXPECT_EQ(heard, (std::vector<int>{2, 3, 2, 3})) << "song numbers 1, 2 are tones 2, 3";
}

TEST_F(PlayerE2eTest, PauseAndStopAreSilentAndPlayResumesWhereItWas) {
    CAudioRecorder recorder;
    ASSERT_TRUE(recorder.Start("e2e-player-pause"));
    ASSERT_TRUE(Start("\"" + SongPath(kSweep) + "\""));
    ASSERT_TRUE(PumpUntil([&] { return Elapsed() >= 3; }, 8000));
    Click(skin::kHotPause);
    ASSERT_TRUE(WaitSilence(recorder, 500));
    const int nPaused = Elapsed();
    ASSERT_TRUE(WaitSilence(recorder, 1500));
    EXPECT_EQ(Elapsed(), nPaused) << "the time stands still";
    Click(skin::kHotPlay);
    ASSERT_TRUE(PumpUntil([&] { return recorder.TrailingSilenceMs() == 0; }, 3000));
    ASSERT_TRUE(PumpUntil([&] { return Elapsed() >= nPaused + 1; }, 4000));
    Click(skin::kHotStop);
    ASSERT_TRUE(WaitSilence(recorder, 1000));
    EXPECT_TRUE(TitleEmpty(Shot()));

    const Pcm heard = recorder.Stop();
    const std::vector<Span> gaps = SilentSpans(heard, 1000);
    ASSERT_GE(gaps.size(), 2u);
    const Span& pause = gaps[gaps.size() - 2];
    const double before = DominantFrequency(heard.Slice(pause.fromMs - 300, pause.fromMs));
    const double after = DominantFrequency(heard.Slice(pause.toMs + 50, pause.toMs + 350));
    // What is heard lags the device by the sink's latency, which a pause drops:
    // resumed at the same place is up to a second or so later in sound.
    EXPECT_GE(after, before - 6) << "resumed, not restarted";
    EXPECT_LE(after, before + 30);
    EXPECT_GT(before, 320.0);
}

TEST_F(PlayerE2eTest, HoldingNextSeeksForwardAndHoldingPreviousStopsAtZero) {
    ASSERT_TRUE(Start("\"" + SongPath(kSweep) + "\""));
    ASSERT_TRUE(PumpUntil([&] { return Elapsed() >= 1; }, 8000));
    const int nFrom = Elapsed();
    // One second per 75 ms once the first 500 ms have passed: about 20 in 2 s.
    Hold(skin::kHotNext, 2000);
    const int nTo = Elapsed();
    EXPECT_NEAR(nTo, nFrom + 20, 3);
    CAudioRecorder recorder;
    ASSERT_TRUE(recorder.Start("e2e-player-seek"));
    ASSERT_TRUE(PumpUntil([&] { return recorder.HeardSound(); }, 4000));
    ASSERT_TRUE(PumpUntil([&] { return Elapsed() >= nTo + 2; }, 4000)) << "plays on from there";
    ExpectHeardNear(LastPitch(recorder.Stop()), Elapsed(), "heard from the new place");

    Hold(skin::kHotPrevious, 3000);
    EXPECT_LE(Elapsed(), 1);
    ASSERT_TRUE(recorder.Start("e2e-player-seek-back"));
    ASSERT_TRUE(PumpUntil([&] { return recorder.HeardSound(); }, 4000));
    ASSERT_TRUE(PumpUntil([&] { return Elapsed() >= 2; }, 4000));
    ExpectHeardNear(LastPitch(recorder.Stop()), Elapsed(), "heard from the start");
}

TEST_F(PlayerE2eTest, VolumeDownLowersTheLevelAndTheBarShowsForThreeSeconds) {
    CAudioRecorder recorder;
    ASSERT_TRUE(recorder.Start("e2e-player-volume"));
    ASSERT_TRUE(Start("\"" + SongPath(kSweep) + "\""));
    ASSERT_TRUE(PumpUntil([&] { return Elapsed() >= 2; }, 8000));
    const Screenshot before = Shot();
    for (int i = 0; i < 12; ++i) Click(skin::kHotVolumeDown);
    const DWORD shownAt = ::GetTickCount();
    auto modeShown = [&](const Screenshot& shot) {
        const POINT origin = WindowOrigin(m_hPlayer);
        return DifferingPixels(shot, origin.x + kModeArea.left, origin.y + kModeArea.top, before,
                               origin.x + kModeArea.left, origin.y + kModeArea.top, kModeArea.right - kModeArea.left,
                               kModeArea.bottom - kModeArea.top) == 0;
    };
    ASSERT_TRUE(PumpUntil([&] { return !modeShown(Shot()); }, 2000)) << "the volume bar replaces the mode";
    ASSERT_TRUE(PumpUntil([&] { return modeShown(Shot()); }, 6000)) << "the mode text returns";
    EXPECT_GE(::GetTickCount() - shownAt, 2500u);
    // The mixer outlives the program: back to full before it ends.
    for (int i = 0; i < 16; ++i) Click(skin::kHotVolumeUp);
    PumpUntil([&] { return !modeShown(Shot()); }, 2000);
    PumpUntil([&] { return modeShown(Shot()); }, 6000);

    std::vector<double> rms = WindowRms(recorder.Stop(), 100);
    rms.erase(std::remove_if(rms.begin(), rms.end(), [](double r) { return r < kSilenceRms; }), rms.end());
    ASSERT_GE(rms.size(), 40u);
    const double loud = rms[5], quiet = *std::min_element(rms.begin() + 5, rms.end());
    EXPECT_LT(quiet, loud * 0.5) << loud << " -> " << quiet;
}

// Two quick presses on Next are two presses.
TEST_F(PlayerE2eTest, TwoQuickNextsMoveTwoSongs) {
    // Long songs: no song ends by itself meanwhile.
    WriteList({SongPath(kSweep), SongPath(kSweep), SongPath(kSweep)}, 1);
    ASSERT_TRUE(Start());
    Click(skin::kHotPlay);
    ASSERT_TRUE(PumpUntil([&] { return SongNumber(Shot()) == 1; }, 5000));
    ClickTwice(m_hPlayer, HotspotCenter(skin::kHotNext), 100);
    EXPECT_TRUE(PumpUntil([&] { return SongNumber(Shot()) == 3; }, 5000)) << SongNumber(Shot());
}

TEST_F(PlayerE2eTest, RightClickSelectsTheSongToPlay) {
    WriteList({SongPath(kOne), SongPath(kTwo), SongPath(kThree)}, 1);
    ASSERT_TRUE(Start());
    CAudioRecorder recorder;
    ASSERT_TRUE(recorder.Start("e2e-player-select"));
    MouseDown(m_hPlayer, kNoHotspot, MouseButton::Right);
    HWND hDlg = WaitDialog("Select Song to Play");
    ASSERT_NE(hDlg, nullptr);
    HWND hList = ::GetDlgItem(hDlg, 1032);
    ::PostMessageA(hList, WM_KEYDOWN, VK_END, 0);
    auto selected = [&] { return ::SendMessageA(hList, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED); };
    ASSERT_TRUE(PumpUntil([&] { return selected() == 2; }, 3000));
    Press(hDlg, IDOK);
    ASSERT_TRUE(WaitSong(3));
    ASSERT_TRUE(WaitSilence(recorder, 800));
    EXPECT_EQ(SongsHeard(recorder.Stop()), (std::vector<int>{3}));
}

TEST_F(PlayerE2eTest, TheSheetOpensBelowThePlayerOnceAndCloseDestroysIt) {
    // Play on an empty list says so and opens the sheet.
    ASSERT_TRUE(Start());
    Click(skin::kHotPlay);
    HWND hBox = WaitDialog(kTitle);
    ASSERT_NE(hBox, nullptr);
    Press(hBox, IDOK);
    HWND hSheet = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (hSheet = WaitDialog(kTitle, 100)) != nullptr && hSheet != hBox; }, 5000));
    RECT rcPlayer = {}, rcSheet = {};
    ::GetWindowRect(m_hPlayer, &rcPlayer);
    ::GetWindowRect(hSheet, &rcSheet);
    EXPECT_EQ(rcSheet.left, rcPlayer.left);
    EXPECT_EQ(rcSheet.top, rcPlayer.bottom);
    EXPECT_FALSE(::GetWindowLongA(hSheet, GWL_STYLE) & WS_SYSMENU) << "no close box";

    Click(skin::kHotSheet);
    PumpFor(300);  // a second sheet would show up within this
    int nSheets = 0;
    for (HWND hWnd : VisibleWindowsOf(m_pRun->ProcessId())) {
        if (WindowText(hWnd) == kTitle && ClassName(hWnd) == "#32770") ++nSheets;
    }
    EXPECT_EQ(nSheets, 1);

    HWND hClose = nullptr;
    for (HWND hPage = ::GetWindow(hSheet, GW_CHILD); hPage; hPage = ::GetWindow(hPage, GW_HWNDNEXT)) {
        HWND hButton = ::GetDlgItem(hPage, IDCANCEL);
        if (hButton && ::IsWindowVisible(hPage)) hClose = hButton;
    }
    ASSERT_NE(hClose, nullptr);
    ::PostMessageA(hClose, BM_CLICK, 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return !::IsWindow(hSheet); }, 5000));
    EXPECT_TRUE(m_pRun->IsRunning());
}

TEST_F(PlayerE2eTest, AtTheBottomOfTheDesktopTheSheetMovesUpAndRight) {
    RECT rcDesktop = {};
    ::GetWindowRect(::GetDesktopWindow(), &rcDesktop);
    SetPosition(100, rcDesktop.bottom - 260);
    ASSERT_TRUE(Start());
    Click(skin::kHotSheet);
    HWND hSheet = WaitDialog(kTitle);
    ASSERT_NE(hSheet, nullptr);
    RECT rcSheet = {};
    ASSERT_TRUE(PumpUntil([&] { return ::GetWindowRect(hSheet, &rcSheet) && rcSheet.left == 110; }, 3000));
    EXPECT_EQ(rcSheet.bottom, rcDesktop.bottom);
}

TEST_F(PlayerE2eTest, ExitAsksBeforeItStopsAndSavesAsAnswered) {
    enum Answer { kYes, kNo, kCancel, kYesThenCancel };
    for (Answer answer : {kCancel, kYesThenCancel, kNo, kYes}) {
        SCOPED_TRACE(answer);
        EndSuitePrograms();
        WriteList({SongPath(kSweep)}, 1);
        SetRegistryDword(HKEY_CURRENT_USER, ProfileKey("mpdeck"), "Resume", 1);
        ASSERT_TRUE(Start());
        // What the exit writes is not there before.
        DeleteRegistryValue(HKEY_CURRENT_USER, ProfileKey("mpdeck"), "Resume");
        DeleteRegistryValue(HKEY_CURRENT_USER, ProfileKey("mpdeck"), "DefPList");
        ::SetWindowPos(m_hPlayer, nullptr, 77, 55, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        ASSERT_TRUE(PumpUntil([&] { return WindowOrigin(m_hPlayer).x == 77; }, 3000));
        Click(skin::kHotPlay);
        ASSERT_TRUE(PumpUntil([&] { return Elapsed() >= 1; }, 8000));
        Click(skin::kHotMode);  // 1 -> 2: the list is modified
        Click(skin::kHotExit);
        HWND hBox = WaitDialog(kTitle);
        ASSERT_NE(hBox, nullptr);
        const std::vector<std::string> texts = ChildTexts(hBox);
        EXPECT_EQ(std::count(texts.begin(), texts.end(), LibraryText(kAskSave)), 1);
        Press(hBox, answer == kNo ? IDNO : answer == kCancel ? IDCANCEL : IDYES);
        if (answer == kYes || answer == kYesThenCancel) {
            HWND hSave = WaitDialog("Save Playlist");
            ASSERT_NE(hSave, nullptr);
            Press(hSave, answer == kYes ? IDOK : IDCANCEL);
        }
        if (answer == kCancel || answer == kYesThenCancel) {
            CAudioRecorder recorder;
            ASSERT_TRUE(recorder.Start("e2e-player-exit"));
            EXPECT_TRUE(PumpUntil([&] { return recorder.HeardSound(); }, 3000)) << "still playing";
            EXPECT_TRUE(m_pRun->IsRunning());
            EXPECT_EQ(StoredMode(), 1);
            continue;
        }
        ASSERT_TRUE(m_pRun->WaitForExit(kQuitTimeout));
        EXPECT_EQ(StoredMode(), answer == kYes ? 2 : 1);
        DWORD resume = 0, x = 0;
        std::string list;
        EXPECT_TRUE(GetRegistryDword(HKEY_CURRENT_USER, ProfileKey("mpdeck"), "Resume", resume));
        EXPECT_TRUE(GetRegistryString(HKEY_CURRENT_USER, ProfileKey("mpdeck"), "DefPList", list));
        EXPECT_TRUE(GetRegistryDword(HKEY_CURRENT_USER, ProfileKey("mpdeck"), "X", x));
        EXPECT_EQ(resume, 1u);
        EXPECT_EQ(list, kListName);
        EXPECT_EQ(x, 77u);
    }
}

TEST_F(PlayerE2eTest, AHandOverToCddeckSavesAModifiedListSilently) {
    WriteList({SongPath(kOne)}, 1);
    ASSERT_TRUE(Start());
    Click(skin::kHotMode);
    Click(skin::kHotMode);  // 1 -> 2 -> 4
    ProgramRun cd;
    ASSERT_TRUE(cd.Start("cddeck"));
    ASSERT_TRUE(m_pRun->WaitForExit(kQuitTimeout)) << "mpdeck asked something";
    EXPECT_EQ(StoredMode(), 4);
}

TEST_F(PlayerE2eTest, AMissingFileIsReportedAndTheTransportStopsThere) {
    const std::string gone = g_dir + "\\gone.wav";
    ASSERT_TRUE(::CopyFileA(SongPath(kOne).c_str(), gone.c_str(), FALSE));
    WriteList({gone, SongPath(kTwo)}, 1);
    ASSERT_TRUE(Start());
    ASSERT_TRUE(::DeleteFileA(gone.c_str()));
    CAudioRecorder recorder;
    ASSERT_TRUE(recorder.Start("e2e-player-missing"));
    Click(skin::kHotPlay);
    HWND hBox = WaitDialog(kTitle);
    ASSERT_NE(hBox, nullptr);
    char expected[1024];
    std::snprintf(expected, sizeof expected, LibraryText(kOpenFailed).c_str(), gone.c_str());
    const std::vector<std::string> texts = ChildTexts(hBox);
    EXPECT_NE(std::find(texts.begin(), texts.end(), expected), texts.end()) << expected;
    Press(hBox, IDOK);
    ASSERT_TRUE(PumpUntil([&] { return !::IsWindow(hBox); }, 3000));
    EXPECT_FALSE(PumpUntil([&] { return recorder.HeardSound(); }, 2000)) << "the next song does not start";
    recorder.Stop();
    EXPECT_TRUE(TitleEmpty(Shot()));
}

TEST_F(PlayerE2eTest, AFileOnTheCommandLineInAFolderWithBlanksPlaysAtOnce) {
    const std::string dir = g_dir + "\\path with blanks";
    ::CreateDirectoryA(dir.c_str(), nullptr);
    const std::string song = dir + "\\song two.mp3";
    ASSERT_TRUE(::CopyFileA(SongPath(kTwo).c_str(), song.c_str(), FALSE));
    CAudioRecorder recorder;
    ASSERT_TRUE(recorder.Start("e2e-player-command-line"));
    ASSERT_TRUE(Start("\"" + song + "\""));
    ASSERT_TRUE(WaitSong(1));
    ASSERT_TRUE(WaitSilence(recorder, 800));
    EXPECT_EQ(SongsHeard(recorder.Stop()), (std::vector<int>{2}));
}

TEST_F(PlayerE2eTest, WithoutTheMp3ControlTheStartSaysSo) {
    HiddenFile control(InstalledPath("orvmp3play.dll"));
    ASSERT_TRUE(control.Hidden());
    ASSERT_TRUE(m_pRun->Start("mpdeck"));
    HWND hBox = WaitDialog(kTitle);
    ASSERT_NE(hBox, nullptr) << "no message";
    const std::vector<std::string> texts = ChildTexts(hBox);
    EXPECT_TRUE(std::any_of(texts.begin(), texts.end(),
                            [](const std::string& t) { return t.find("ORVMP3PLAY.DLL") != std::string::npos; }));
    Press(hBox, IDOK);
    EXPECT_TRUE(m_pRun->WaitForExit(kQuitTimeout));
    EXPECT_TRUE(TopLevelWindows(kPlayerText).empty());
}

namespace {

// The visible page of the sheet, found by a control only it has.
HWND VisiblePageWith(HWND hSheet, int nId) {
    for (HWND hPage = ::GetWindow(hSheet, GW_CHILD); hPage; hPage = ::GetWindow(hPage, GW_HWNDNEXT)) {
        if (::IsWindowVisible(hPage) && ::GetDlgItem(hPage, nId)) return hPage;
    }
    return nullptr;
}

BOOL CALLBACK FindVisibleEdit(HWND hWnd, LPARAM lParam) {
    if (ClassName(hWnd) != "Edit" || !::IsWindowVisible(hWnd)) return TRUE;
    *reinterpret_cast<HWND*>(lParam) = hWnd;
    return FALSE;
}

// The file dialog's name field: its first visible edit control, wherever it sits.
HWND FileNameEdit(HWND hDialog) {
    HWND hFound = nullptr;
    ::EnumChildWindows(hDialog, FindVisibleEdit, reinterpret_cast<LPARAM>(&hFound));
    return hFound;
}

POINT CenterOf(HWND hWnd) {
    RECT rc = {};
    ::GetClientRect(hWnd, &rc);
    return POINT{rc.right / 2, rc.bottom / 2};
}

}  // namespace

TEST_F(PlayerE2eTest, APlaylistBuiltOnThePagePlaysInItsOrderAndIsBackAfterARestart) {
    const int kAdd = 1122, kSave = 1120, kList = 1032, kNameEdit = 5002;
    const char kSavedName[] = "Built On The Page";
    ASSERT_TRUE(Start());
    Click(skin::kHotSheet);
    HWND hSheet = WaitDialog(kTitle);
    ASSERT_NE(hSheet, nullptr);
    HWND hPage = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (hPage = VisiblePageWith(hSheet, kSave)) != nullptr; }, 5000));

    // Add three, then one, each through the file dialog the Add button opens.
    for (SongId song : {kThree, kOne}) {
        PressAt(::GetDlgItem(hPage, kAdd), CenterOf(::GetDlgItem(hPage, kAdd)));
        HWND hOpen = WaitDialog(LibraryText(110).c_str());
        ASSERT_NE(hOpen, nullptr);
        HWND hName = nullptr;
        ASSERT_TRUE(PumpUntil([&] { return (hName = FileNameEdit(hOpen)) != nullptr; }, 5000));
        // Quoted, as multiple selection separates names by blanks, and with backslashes
        // only, which the dialog wants.
        std::string quoted = "\"" + SongPath(song) + "\"";
        std::replace(quoted.begin(), quoted.end(), '/', '\\');
        ::SendMessageA(hName, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(quoted.c_str()));
        Press(hOpen, IDOK);
        ASSERT_TRUE(PumpUntil([&] { return !::IsWindow(hOpen); }, 5000));
    }
    HWND hList = ::GetDlgItem(hPage, kList);
    ASSERT_TRUE(PumpUntil([&] { return ::SendMessageA(hList, LVM_GETITEMCOUNT, 0, 0) == 2; }, 5000));

    // Drag the second row (one) onto the first with the real pointer: rows lie below
    // the header, one row height each (about 14 to 18 pixels with this font).
    RECT rcHeader = {};
    ::GetWindowRect(reinterpret_cast<HWND>(::SendMessageA(hList, LVM_GETHEADER, 0, 0)), &rcHeader);
    const int nTop = rcHeader.bottom - rcHeader.top;
    const POINT row1 = {40, nTop + 7}, row2 = {40, nTop + 24};
    auto rowState = [&](int nRow, UINT nMask) {
        return static_cast<UINT>(::SendMessageA(hList, LVM_GETITEMSTATE, nRow, nMask)) & nMask;
    };
    auto listCapture = [&] {
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        return ::GetGUIThreadInfo(::GetWindowThreadProcessId(hList, nullptr), &info) ? info.hwndCapture : nullptr;
    };
    SendPointer(hList, row2, MOUSEEVENTF_LEFTDOWN);
    ASSERT_TRUE(PumpUntil([&] { return rowState(1, LVIS_SELECTED) != 0; }, 5000));
    SendPointer(hList, POINT{40, nTop + 16});
    // The hand moves on over the first row until it lights: a busy machine may hand
    // the list the moves so far as one, which only begins the drag.
    DWORD lastMove = 0;
    ASSERT_TRUE(PumpUntil(
        [&] {
            if (rowState(0, LVIS_DROPHILITED) != 0) return true;
            if (::GetTickCount() - lastMove >= 100) {
                lastMove = ::GetTickCount();
                SendPointer(hList, POINT{row1.x + static_cast<LONG>(lastMove / 100 % 2), row1.y});
            }
            return false;
        },
        5000))
        << "no drag began";
    SendPointer(hList, row1, MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(PumpUntil([&] { return listCapture() == nullptr && rowState(0, LVIS_SELECTED) != 0; }, 5000))
        << "capture " << listCapture() << ", rows " << rowState(0, 0xFF) << " " << rowState(1, 0xFF);

    // Save under a new name, close the sheet (which commits the page) and play.
    PressAt(::GetDlgItem(hPage, kSave), CenterOf(::GetDlgItem(hPage, kSave)));
    HWND hSave = WaitDialog("Save Playlist");
    ASSERT_NE(hSave, nullptr);
    ::SendMessageA(::GetDlgItem(hSave, kNameEdit), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(kSavedName));
    Press(hSave, IDOK);
    // A new name is confirmed first; the sheet has the boxes' caption too.
    HWND hConfirm = nullptr;
    ASSERT_TRUE(PumpUntil(
        [&] {
            for (HWND hWnd : VisibleWindowsOf(m_pRun->ProcessId()))
                if (hWnd != hSheet && ClassName(hWnd) == "#32770" && WindowText(hWnd) == kTitle) hConfirm = hWnd;
            return hConfirm != nullptr;
        },
        5000));
    Press(hConfirm, IDYES);
    ASSERT_TRUE(PumpUntil([&] { return !::IsWindow(hSave); }, 5000));

    PressAt(::GetDlgItem(hPage, IDCANCEL), CenterOf(::GetDlgItem(hPage, IDCANCEL)));
    ASSERT_TRUE(PumpUntil([&] { return !::IsWindow(hSheet); }, 5000));
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run == 0 ? "as built" : "after a restart");
        CAudioRecorder recorder;
        ASSERT_TRUE(recorder.Start("e2e-player-page"));
        Click(skin::kHotPlay);
        ASSERT_TRUE(WaitSong(2));
        ASSERT_TRUE(WaitSilence(recorder, 1500));
        EXPECT_EQ(SongsHeard(recorder.Stop()), (std::vector<int>{1, 3}));
        if (run == 1) break;
        Click(skin::kHotExit);
        if (HWND hBox = WaitDialog(kTitle, 2000)) Press(hBox, IDNO);
        ASSERT_TRUE(m_pRun->WaitForExit(kQuitTimeout));
        std::string list;
        EXPECT_TRUE(GetRegistryString(HKEY_CURRENT_USER, ProfileKey("mpdeck"), "DefPList", list));
        EXPECT_EQ(list, kSavedName);
        ASSERT_TRUE(Start());
    }
}
