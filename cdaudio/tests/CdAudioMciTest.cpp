// The installed CD-audio driver through the real MCI of the prefix, with the demo
// disc in the drive.
#include <gtest/gtest.h>
#include <windows.h>
#include <mmsystem.h>

#include <orvcdaudio/DiscImage.h>
#include <orvcodec/FlacDecoder.h>
#include <orvcodec/FlacWriter.h>

#include <cmath>

#include <string>
#include <vector>

#include "AudioRecorder.h"
#include "DemoDiscPlan.h"
#include "MciNotices.h"
#include "RegistryGuard.h"
#include "TestSupport.h"

namespace {

constexpr char kDiscKey[] = "Software\\Orvanta\\CDAudio";
constexpr char kDemoCue[] = "C:\\Program Files\\Orvanta\\Demo\\Disc\\Orvanta Demo Disc.cue";
constexpr int kLeadIn = 150;
constexpr int kFps = 75;


// Where the demo disc's tracks lie, worked out from its plan: starts at INDEX 01
// behind the lead-in and every earlier track and gap.
int32_t DemoStart(int track) {
    int32_t at = kLeadIn;
    for (int i = 0; i < track; ++i) {
        const auto& t = orvdemo::kDemoTracks[i];
        at += t.storedGap + t.virtualGap;
        if (i + 1 < track) at += t.frames;
    }
    return at;
}
int32_t DemoLeadOut() { return DemoStart(orvdemo::kDemoTrackCount) + orvdemo::kDemoTracks[orvdemo::kDemoTrackCount - 1].frames; }

// A recording's pitch is the track's own, within a quarter tone.
// From the first sound to the end of the last, so that a dropout of a loaded
// machine does not cut the span.
orvtest::Span Sounding(const orvtest::Pcm& pcm) {
    const std::vector<orvtest::Span> spans = orvtest::SoundSpans(pcm, 200);
    if (spans.empty()) return {};
    return {spans.front().fromMs, spans.back().toMs};
}

// Where sound was heard, for a failure: tells a dropout from a play too long.
std::string Heard(const orvtest::Pcm& pcm) {
    return "heard " + orvtest::DescribeSpans(orvtest::SoundSpans(pcm, 10));
}

void ExpectPitch(const orvtest::Pcm& pcm, double hz) {
    ASSERT_FALSE(pcm.Empty()) << "nothing recorded";
    EXPECT_NEAR(orvtest::DominantFrequency(pcm), hz, hz * 0.03);
}

DWORD Msf(int32_t frames) { return MCI_MAKE_MSF(frames / 4500, frames / kFps % 60, frames % kFps); }

class CdAudioMci : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(orvtest::FileExists(kDemoCue)) << "the install step did not install the demo disc";
        ASSERT_TRUE(orvtest::SetRegistryString(HKEY_CURRENT_USER, kDiscKey, "Disc", kDemoCue));
    }
    void TearDown() override {
        for (MCIDEVICEID id : m_devices) mciSendCommandA(id, MCI_CLOSE, 0, 0);
    }

    // A second open in one process needs its own alias: MCI keeps the device type as
    // the first one's alias (MCIERR_DEVICE_OPEN otherwise).
    MCIDEVICEID Open(const char* alias = nullptr) {
        MCI_OPEN_PARMSA open = {};
        open.lpstrDeviceType = "CDAudio";
        open.lpstrAlias = alias;
        const DWORD flags = MCI_OPEN_TYPE | MCI_OPEN_SHAREABLE | (alias ? MCI_OPEN_ALIAS : 0);
        const MCIERROR err = mciSendCommandA(0, MCI_OPEN, flags, reinterpret_cast<DWORD_PTR>(&open));
        EXPECT_EQ(err, 0u) << "CDAudio does not open: is the driver installed?";
        if (err) return 0;
        m_devices.push_back(open.wDeviceID);
        return open.wDeviceID;
    }
    static MCIERROR SetFormat(MCIDEVICEID id, DWORD format) {
        MCI_SET_PARMS set = {};
        set.dwTimeFormat = format;
        return mciSendCommandA(id, MCI_SET, MCI_SET_TIME_FORMAT, reinterpret_cast<DWORD_PTR>(&set));
    }
    static MCIERROR Set(MCIDEVICEID id, DWORD flags) {
        MCI_SET_PARMS set = {};
        return mciSendCommandA(id, MCI_SET, flags, reinterpret_cast<DWORD_PTR>(&set));
    }
    // The status value, or ~0u when the command fails.
    static DWORD Status(MCIDEVICEID id, DWORD item, int track = 0, MCIERROR* error = nullptr) {
        MCI_STATUS_PARMS status = {};
        status.dwItem = item;
        status.dwTrack = static_cast<DWORD>(track);
        const MCIERROR err = mciSendCommandA(id, MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT | (track ? MCI_TRACK : 0),
                                             reinterpret_cast<DWORD_PTR>(&status));
        if (error) *error = err;
        return err ? ~0u : static_cast<DWORD>(status.dwReturn);
    }
    MCIERROR Play(MCIDEVICEID id, DWORD flags, DWORD from, DWORD to) {
        MCI_PLAY_PARMS play = {};
        play.dwCallback = m_window.Callback();
        play.dwFrom = from;
        play.dwTo = to;
        return mciSendCommandA(id, MCI_PLAY, flags, reinterpret_cast<DWORD_PTR>(&play));
    }
    MCIERROR Command(MCIDEVICEID id, UINT command, DWORD flags) {
        MCI_GENERIC_PARMS parms = {};
        parms.dwCallback = m_window.Callback();
        return mciSendCommandA(id, command, flags, reinterpret_cast<DWORD_PTR>(&parms));
    }
    static DWORD TrackEnd(MCIDEVICEID id, int track) {
        const DWORD length = Status(id, MCI_STATUS_LENGTH, track);
        return MCI_MAKE_TMSF(track, MCI_MSF_MINUTE(length), MCI_MSF_SECOND(length), MCI_MSF_FRAME(length));
    }
    // Runs the disc tool and returns its exit code.
    static DWORD RunDiscTool(const std::string& arguments) {
        return orvtest::RunProgram(std::string("\"") + ORV_DISC_TOOL + "\" " + arguments);
    }

    orvtest::RegistryGuard m_guard{HKEY_CURRENT_USER, kDiscKey};
    orvtest::CMciNotices m_window;
    std::vector<MCIDEVICEID> m_devices;
};

TEST_F(CdAudioMci, ReportsTheDemoDiscInMsfTmsfAndMilliseconds) {
    const MCIDEVICEID id = Open();
    ASSERT_NE(id, 0u);
    const int n = orvdemo::kDemoTrackCount;
    EXPECT_EQ(Status(id, MCI_STATUS_MEDIA_PRESENT), static_cast<DWORD>(TRUE));
    EXPECT_EQ(Status(id, MCI_STATUS_READY), static_cast<DWORD>(TRUE));
    EXPECT_EQ(Status(id, MCI_STATUS_NUMBER_OF_TRACKS), static_cast<DWORD>(n));
    EXPECT_EQ(Status(id, MCI_STATUS_MODE), static_cast<DWORD>(MCI_MODE_STOP));
    EXPECT_EQ(Status(id, MCI_STATUS_CURRENT_TRACK), 1u);

    ASSERT_EQ(SetFormat(id, MCI_FORMAT_MSF), 0u);
    EXPECT_EQ(Status(id, MCI_STATUS_TIME_FORMAT), static_cast<DWORD>(MCI_FORMAT_MSF));
    for (int t = 1; t <= n; ++t) {
        // Windows reports the last track one frame short of the lead-out.
        const int32_t end = t < n ? DemoStart(t + 1) : DemoLeadOut() - 1;
        EXPECT_EQ(Status(id, MCI_STATUS_POSITION, t), Msf(DemoStart(t))) << "track " << t;
        EXPECT_EQ(Status(id, MCI_STATUS_LENGTH, t), Msf(end - DemoStart(t))) << "track " << t;
        EXPECT_EQ(Status(id, MCI_CDA_STATUS_TYPE_TRACK, t), static_cast<DWORD>(MCI_CDA_TRACK_AUDIO));
    }
    EXPECT_EQ(Status(id, MCI_STATUS_POSITION), Msf(kLeadIn));

    ASSERT_EQ(SetFormat(id, MCI_FORMAT_TMSF), 0u);
    EXPECT_EQ(Status(id, MCI_STATUS_POSITION, 4), MCI_MAKE_TMSF(4, 0, 0, 0));
    EXPECT_EQ(Status(id, MCI_STATUS_POSITION), MCI_MAKE_TMSF(1, 0, 0, 0));
    EXPECT_EQ(Status(id, MCI_STATUS_LENGTH, 2), Msf(orvdemo::kDemoTracks[1].frames));

    ASSERT_EQ(SetFormat(id, MCI_FORMAT_MILLISECONDS), 0u);
    // Track 3 runs to track 4's INDEX 01, over its gap.
    EXPECT_EQ(Status(id, MCI_STATUS_LENGTH, 3), static_cast<DWORD>((DemoStart(4) - DemoStart(3)) * 1000 / kFps));

    MCIERROR error = 0;
    Status(id, MCI_STATUS_LENGTH, n + 1, &error);
    EXPECT_EQ(error, static_cast<MCIERROR>(MCIERR_OUTOFRANGE));
    EXPECT_EQ(SetFormat(id, MCI_FORMAT_SMPTE_30), static_cast<MCIERROR>(MCIERR_BAD_TIME_FORMAT));
    EXPECT_EQ(Command(id, MCI_RECORD, 0), static_cast<MCIERROR>(MCIERR_UNSUPPORTED_FUNCTION));
}

// CDDB1 digit sum of a start in whole seconds.
int DigitSum(int value) {
    int sum = 0;
    for (; value > 0; value /= 10) sum += value % 10;
    return sum;
}

TEST_F(CdAudioMci, DiscIdentifierFromTheDriverIsTheFreedbIdentifierOfTheSheet) {
    // From the sheet's true table of contents, as freedb defines it.
    orv::cd::CDiscImage image;
    std::string error;
    ASSERT_TRUE(image.Load(kDemoCue, error)) << error;
    unsigned sheetSum = 0;
    for (const auto& track : image.Tracks()) sheetSum += DigitSum(track.start / kFps);
    const unsigned sheetSpan = image.LeadOut() / kFps - image.FirstStart() / kFps;
    const unsigned sheetId = (sheetSum % 255) << 24 | sheetSpan << 8 | static_cast<unsigned>(image.Tracks().size());

    // From the driver's answers in MSF: the lead-out is the last start + its length + 1.
    const MCIDEVICEID id = Open();
    ASSERT_NE(id, 0u);
    ASSERT_EQ(SetFormat(id, MCI_FORMAT_MSF), 0u);
    const int n = static_cast<int>(Status(id, MCI_STATUS_NUMBER_OF_TRACKS));
    ASSERT_EQ(n, orvdemo::kDemoTrackCount);
    unsigned sum = 0;
    DWORD first = 0, last = 0;
    for (int t = 1; t <= n; ++t) {
        const DWORD start = Status(id, MCI_STATUS_POSITION, t);
        sum += DigitSum(MCI_MSF_MINUTE(start) * 60 + MCI_MSF_SECOND(start));
        if (t == 1) first = start;
        last = start;
    }
    const DWORD length = Status(id, MCI_STATUS_LENGTH, n);
    const unsigned leadOut = ((MCI_MSF_MINUTE(last) + MCI_MSF_MINUTE(length)) * 60 + MCI_MSF_SECOND(length) + MCI_MSF_SECOND(last)) * kFps +
                             MCI_MSF_FRAME(length) + MCI_MSF_FRAME(last) + 1;
    const unsigned span = (leadOut / 4500 * 60 + leadOut / kFps % 60) - (MCI_MSF_MINUTE(first) * 60 + MCI_MSF_SECOND(first));
    const unsigned id32 = (sum % 255) << 24 | span << 8 | static_cast<unsigned>(n);
    EXPECT_EQ(leadOut, static_cast<unsigned>(DemoLeadOut()));
    EXPECT_EQ(id32, sheetId) << std::hex << id32 << " vs " << sheetId;
}

TEST_F(CdAudioMci, APlayToTheTrackEndSucceedsAfterTheTracksLength) {
    const MCIDEVICEID id = Open();
    ASSERT_NE(id, 0u);
    ASSERT_EQ(SetFormat(id, MCI_FORMAT_TMSF), 0u);
    orvtest::CAudioRecorder recorder;
    ASSERT_TRUE(recorder.Start("cdaudio-track3"));
    const DWORD start = GetTickCount();
    ASSERT_EQ(Play(id, MCI_NOTIFY | MCI_FROM | MCI_TO, MCI_MAKE_TMSF(3, 0, 0, 0), TrackEnd(id, 3)), 0u);
    orvtest::PumpFor(1000);
    EXPECT_EQ(Status(id, MCI_STATUS_MODE), static_cast<DWORD>(MCI_MODE_PLAY));
    EXPECT_EQ(Status(id, MCI_STATUS_CURRENT_TRACK), 3u);
    ASSERT_TRUE(m_window.WaitFor(1, 15000));
    const double expectedMs = (DemoStart(4) - DemoStart(3)) * 1000.0 / kFps;
    EXPECT_EQ(m_window[0].code, static_cast<UINT>(MCI_NOTIFY_SUCCESSFUL));
    EXPECT_EQ(m_window[0].device, id);
    EXPECT_NEAR(m_window[0].at - start, expectedMs, 1500.0);
    EXPECT_EQ(Status(id, MCI_STATUS_MODE), static_cast<DWORD>(MCI_MODE_STOP));
    orvtest::PumpFor(300);
    EXPECT_EQ(m_window.size(), 1u) << "more than one notification for one request";

    // The track's music, then the next track's 2 s gap, which belongs to track 3.
    const orvtest::Pcm heard = recorder.Stop();
    const orvtest::Span sound = Sounding(heard);
    EXPECT_NEAR(sound.LengthMs(), orvdemo::kDemoTracks[2].frames * 1000.0 / kFps, 400.0) << Heard(heard);
    ExpectPitch(heard.Slice(sound.fromMs + 500, sound.toMs - 500), orvdemo::kDemoTracks[2].droneHz);
    EXPECT_GE(m_window[0].at - start, 1800 + static_cast<DWORD>(sound.LengthMs()));
}

TEST_F(CdAudioMci, PlaysFrom75SecondsIntoTrack2) {
    const MCIDEVICEID id = Open();
    ASSERT_NE(id, 0u);
    ASSERT_EQ(SetFormat(id, MCI_FORMAT_TMSF), 0u);
    orvtest::CAudioRecorder recorder;
    ASSERT_TRUE(recorder.Start("cdaudio-track2-75s"));
    const DWORD start = GetTickCount();
    ASSERT_EQ(Play(id, MCI_NOTIFY | MCI_FROM | MCI_TO, MCI_MAKE_TMSF(2, 1, 15, 0), TrackEnd(id, 2)), 0u);
    const DWORD position = Status(id, MCI_STATUS_POSITION);
    EXPECT_EQ(MCI_TMSF_TRACK(position), 2u);
    EXPECT_EQ(MCI_TMSF_MINUTE(position), 1u);
    EXPECT_EQ(MCI_TMSF_SECOND(position), 15u);
    ASSERT_TRUE(m_window.WaitFor(1, 20000));
    EXPECT_EQ(m_window[0].code, static_cast<UINT>(MCI_NOTIFY_SUCCESSFUL));
    const double restMs = (orvdemo::kDemoTracks[1].frames - 75 * kFps) * 1000.0 / kFps;
    EXPECT_NEAR(m_window[0].at - start, restMs, 1500.0);
    // Past its first minute track 2 sounds a fifth higher.
    const orvtest::Pcm heard = recorder.Stop();
    ExpectPitch(heard.Slice(1000, restMs - 1000), orvdemo::kDemoTracks[1].laterDroneHz);
}

TEST_F(CdAudioMci, Track2IsHeardOnTheNullSink) {
    const MCIDEVICEID id = Open();
    ASSERT_NE(id, 0u);
    ASSERT_EQ(SetFormat(id, MCI_FORMAT_TMSF), 0u);
    orvtest::CAudioRecorder recorder;
    ASSERT_TRUE(recorder.Start("cdaudio-track2"));
    ASSERT_EQ(Play(id, MCI_NOTIFY | MCI_FROM | MCI_TO, MCI_MAKE_TMSF(2, 0, 0, 0), MCI_MAKE_TMSF(2, 0, 3, 0)), 0u);
    ASSERT_TRUE(m_window.WaitFor(1, 8000));
    EXPECT_EQ(m_window[0].code, static_cast<UINT>(MCI_NOTIFY_SUCCESSFUL));
    const orvtest::Pcm heard = recorder.Stop();
    const orvtest::Span sound = Sounding(heard);
    ASSERT_GT(sound.LengthMs(), 0.0) << "the null sink heard nothing";
    EXPECT_NEAR(sound.LengthMs(), 3000.0, 400.0) << Heard(heard);
    ExpectPitch(heard.Slice(sound.fromMs + 300, sound.toMs - 300), orvdemo::kDemoTracks[1].droneHz);
}

TEST_F(CdAudioMci, ASecondPlaySupersedesTheFirst) {
    const MCIDEVICEID id = Open();
    ASSERT_NE(id, 0u);
    ASSERT_EQ(SetFormat(id, MCI_FORMAT_TMSF), 0u);
    ASSERT_EQ(Play(id, MCI_NOTIFY | MCI_FROM | MCI_TO, MCI_MAKE_TMSF(5, 0, 0, 0), TrackEnd(id, 5)), 0u);
    orvtest::PumpFor(300);
    ASSERT_EQ(Play(id, MCI_NOTIFY | MCI_FROM | MCI_TO, MCI_MAKE_TMSF(3, 0, 0, 0), MCI_MAKE_TMSF(3, 0, 1, 0)), 0u);
    ASSERT_TRUE(m_window.WaitFor(2, 8000));
    EXPECT_EQ(m_window[0].code, static_cast<UINT>(MCI_NOTIFY_SUPERSEDED));
    EXPECT_EQ(m_window[1].code, static_cast<UINT>(MCI_NOTIFY_SUCCESSFUL));
}

TEST_F(CdAudioMci, StopAndPauseAbortAndPlayAfterPauseResumesThere) {
    const MCIDEVICEID id = Open();
    ASSERT_NE(id, 0u);
    ASSERT_EQ(SetFormat(id, MCI_FORMAT_TMSF), 0u);
    ASSERT_EQ(Play(id, MCI_NOTIFY | MCI_FROM | MCI_TO, MCI_MAKE_TMSF(1, 0, 0, 0), TrackEnd(id, 1)), 0u);
    orvtest::PumpFor(300);
    ASSERT_EQ(Command(id, MCI_STOP, MCI_WAIT), 0u);
    ASSERT_TRUE(m_window.WaitFor(1, 2000));
    EXPECT_EQ(m_window[0].code, static_cast<UINT>(MCI_NOTIFY_ABORTED));
    EXPECT_EQ(Status(id, MCI_STATUS_MODE), static_cast<DWORD>(MCI_MODE_STOP));

    ASSERT_EQ(Play(id, MCI_NOTIFY | MCI_FROM | MCI_TO, MCI_MAKE_TMSF(2, 0, 10, 0), TrackEnd(id, 2)), 0u);
    orvtest::PumpFor(1200);
    ASSERT_EQ(Command(id, MCI_PAUSE, 0), 0u);
    ASSERT_TRUE(m_window.WaitFor(2, 2000));
    EXPECT_EQ(m_window[1].code, static_cast<UINT>(MCI_NOTIFY_ABORTED));
    EXPECT_EQ(Status(id, MCI_STATUS_MODE), static_cast<DWORD>(MCI_MODE_PAUSE));
    // While paused the position holds still, about a second after the start.
    const DWORD paused = Status(id, MCI_STATUS_POSITION);
    orvtest::PumpFor(400);
    EXPECT_EQ(Status(id, MCI_STATUS_POSITION), paused);
    EXPECT_EQ(MCI_TMSF_TRACK(paused), 2u);
    EXPECT_NEAR(MCI_TMSF_SECOND(paused) + MCI_TMSF_FRAME(paused) / 75.0, 11.2, 0.8);

    // Playing the position read while paused continues there.
    ASSERT_EQ(Play(id, MCI_FROM | MCI_TO, paused, TrackEnd(id, 2)), 0u);
    const DWORD resumed = Status(id, MCI_STATUS_POSITION);
    EXPECT_EQ(MCI_TMSF_TRACK(resumed), 2u);
    const int gap = (MCI_TMSF_SECOND(resumed) * kFps + MCI_TMSF_FRAME(resumed)) - (MCI_TMSF_SECOND(paused) * kFps + MCI_TMSF_FRAME(paused));
    EXPECT_GE(gap, 0);
    EXPECT_LE(gap, 15);
    ASSERT_EQ(Command(id, MCI_STOP, 0), 0u);
    orvtest::PumpFor(200);
    EXPECT_EQ(m_window.size(), 2u);
}

TEST_F(CdAudioMci, DoorOpenEmptiesTheDriveUntilClosed) {
    const MCIDEVICEID id = Open();
    ASSERT_NE(id, 0u);
    ASSERT_EQ(Set(id, MCI_SET_DOOR_OPEN), 0u);
    EXPECT_EQ(Status(id, MCI_STATUS_MEDIA_PRESENT), static_cast<DWORD>(FALSE));
    EXPECT_EQ(Status(id, MCI_STATUS_MODE), static_cast<DWORD>(MCI_MODE_OPEN));
    ASSERT_EQ(Set(id, MCI_SET_DOOR_CLOSED), 0u);
    EXPECT_EQ(Status(id, MCI_STATUS_MEDIA_PRESENT), static_cast<DWORD>(TRUE));
    EXPECT_EQ(Status(id, MCI_STATUS_NUMBER_OF_TRACKS), static_cast<DWORD>(orvdemo::kDemoTrackCount));
}

TEST_F(CdAudioMci, EjectingWhilePlayingEndsThePlay) {
    const MCIDEVICEID id = Open();
    ASSERT_NE(id, 0u);
    ASSERT_EQ(SetFormat(id, MCI_FORMAT_TMSF), 0u);
    orvtest::CAudioRecorder recorder;
    ASSERT_TRUE(recorder.Start("cdaudio-eject"));
    ASSERT_EQ(Play(id, MCI_NOTIFY | MCI_FROM | MCI_TO, MCI_MAKE_TMSF(5, 0, 0, 0), TrackEnd(id, 5)), 0u);
    ASSERT_TRUE(orvtest::PumpUntil([&] { return recorder.HeardSound(); }, 3000));
    ASSERT_EQ(RunDiscTool("eject"), 0u);
    ASSERT_TRUE(m_window.WaitFor(1, 3000));
    const UINT code = m_window[0].code;
    EXPECT_TRUE(code == MCI_NOTIFY_FAILURE || code == MCI_NOTIFY_ABORTED) << code;
    EXPECT_EQ(Status(id, MCI_STATUS_MEDIA_PRESENT), static_cast<DWORD>(FALSE));
    EXPECT_NE(Status(id, MCI_STATUS_MODE), static_cast<DWORD>(MCI_MODE_PLAY));
    EXPECT_TRUE(orvtest::PumpUntil([&] { return recorder.TrailingSilenceMs() >= 1000; }, 3000)) << "still sounding";
    recorder.Stop();

    ASSERT_EQ(RunDiscTool(std::string("insert \"") + kDemoCue + "\""), 0u);
    EXPECT_EQ(Status(id, MCI_STATUS_MEDIA_PRESENT), static_cast<DWORD>(TRUE));
}

// A FLAC image with one damaged frame: the play sounds up to that frame, never its
// noise, and ends there with a failure. A cut-short image is refused at insert.
TEST_F(CdAudioMci, ADamagedFlacFrameEndsThePlayThere) {
    constexpr int kSeconds = 8;
    std::vector<int16_t> pcm;
    for (int i = 0; i < kSeconds * 44100; ++i) {
        const auto v = static_cast<int16_t>(12000 * std::sin(i * 2 * 3.14159265358979 * 440.0 / 44100));
        pcm.insert(pcm.end(), {v, v});
    }
    std::vector<uint8_t> flac = orv::codec::EncodeFlac16(pcm.data(), pcm.size() / 2, 2, 44100);
    for (size_t i = flac.size() / 2; i < flac.size() / 2 + 6; ++i) flac[i] ^= 0xA5;
    orv::codec::FlacDecoder decoder;
    ASSERT_EQ(decoder.OpenMemory(flac.data(), flac.size()), orv::codec::FlacStatus::Ok);
    std::vector<int16_t> all(pcm.size());
    decoder.ReadPcm16(all.data(), pcm.size() / 2);
    const uint64_t damaged = decoder.DamagedAt();
    ASSERT_NE(damaged, orv::codec::FlacDecoder::kNoDamage);

    const std::string dir = orvtest::MakeTempDir("cdaudio-flac");
    const std::string sheet = "FILE \"tone.flac\" WAVE\r\n  TRACK 01 AUDIO\r\n    INDEX 01 00:00:00\r\n";
    orvtest::WriteFileBytes(dir + "\\tone.flac", std::string(flac.begin(), flac.end()));
    orvtest::WriteFileBytes(dir + "\\tone.cue", sheet);
    ASSERT_EQ(RunDiscTool("insert \"" + dir + "\\tone.cue\""), 0u);
    const MCIDEVICEID id = Open();
    ASSERT_NE(id, 0u);
    orvtest::CAudioRecorder recorder;
    ASSERT_TRUE(recorder.Start("cdaudio-damaged-flac"));
    ASSERT_EQ(Play(id, MCI_NOTIFY | MCI_FROM, Msf(kLeadIn), 0), 0u);
    ASSERT_TRUE(m_window.WaitFor(1, (kSeconds + 5) * 1000));
    EXPECT_EQ(m_window[0].code, static_cast<UINT>(MCI_NOTIFY_FAILURE));
    const double damagedMs = static_cast<double>(damaged) * 1000.0 / 44100;
    ASSERT_EQ(SetFormat(id, MCI_FORMAT_MILLISECONDS), 0u);
    EXPECT_NEAR(Status(id, MCI_STATUS_POSITION) - kLeadIn * 1000.0 / kFps, damagedMs, 100.0);
    orvtest::PumpFor(500);
    const orvtest::Pcm heard = recorder.Stop();
    const orvtest::Span sound = Sounding(heard);
    EXPECT_NEAR(sound.LengthMs(), damagedMs, 400.0) << Heard(heard);
    ExpectPitch(heard.Slice(sound.fromMs + 300, sound.toMs - 300), 440.0);

    flac.resize(flac.size() * 8 / 10);
    orvtest::WriteFileBytes(dir + "\\cut.flac", std::string(flac.begin(), flac.end()));
    orvtest::WriteFileBytes(dir + "\\cut.cue", "FILE \"cut.flac\" WAVE\r\n  TRACK 01 AUDIO\r\n    INDEX 01 00:00:00\r\n");
    EXPECT_EQ(RunDiscTool("insert \"" + dir + "\\cut.cue\""), 1u);
}

TEST_F(CdAudioMci, AnEmptyDriveHasNoMediaAndRefusesPlay) {
    ASSERT_TRUE(orvtest::SetRegistryString(HKEY_CURRENT_USER, kDiscKey, "Disc", ""));
    const MCIDEVICEID id = Open();
    ASSERT_NE(id, 0u);
    EXPECT_EQ(Status(id, MCI_STATUS_MEDIA_PRESENT), static_cast<DWORD>(FALSE));
    MCIERROR error = 0;
    Status(id, MCI_STATUS_NUMBER_OF_TRACKS, 0, &error);
    EXPECT_NE(error, 0u);
    EXPECT_NE(Play(id, MCI_NOTIFY, 0, 0), 0u);
    EXPECT_NE(RunDiscTool("insert Z:\\no\\such.cue"), 0u) << "the tool inserted a missing image";
    orvtest::PumpFor(200);
    EXPECT_TRUE(m_window.empty());
}

TEST_F(CdAudioMci, TwoShareableOpensWorkTogether) {
    const MCIDEVICEID first = Open();
    const MCIDEVICEID second = Open("second cd");
    ASSERT_NE(first, 0u);
    ASSERT_NE(second, 0u);
    EXPECT_NE(first, second);
    ASSERT_EQ(SetFormat(first, MCI_FORMAT_TMSF), 0u);
    ASSERT_EQ(SetFormat(second, MCI_FORMAT_MSF), 0u);
    ASSERT_EQ(Play(first, MCI_NOTIFY | MCI_FROM | MCI_TO, MCI_MAKE_TMSF(3, 0, 0, 0), MCI_MAKE_TMSF(3, 0, 1, 0)), 0u);
    EXPECT_EQ(Status(second, MCI_STATUS_POSITION, 3), Msf(DemoStart(3)));
    EXPECT_EQ(Status(second, MCI_STATUS_MODE), static_cast<DWORD>(MCI_MODE_STOP));
    ASSERT_TRUE(m_window.WaitFor(1, 5000));
    EXPECT_EQ(m_window[0].device, first);
    EXPECT_EQ(m_window[0].code, static_cast<UINT>(MCI_NOTIFY_SUCCESSFUL));
}

}  // namespace
