// The details of the More Info and Wave Info dialogs, read from their statics: MP3
// files made by lame against what mpg123 reads from them, WAVE entries against their
// stored format, and a tag saved while the file plays.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "AuditionDlg.h"
#include "MetaTestSupport.h"
#include "SongInfoDlg.h"
#include "TelmarIds.h"
#include "TestSupport.h"
#include "UiScript.h"
#include "WaveInfoDlg.h"
#include "mpdeck/MoreInfoIds.h"

namespace {

using orvtest::BoxButtons;
using orvtest::BoxIcon;
using orvtest::CUiScript;

std::string Mp3Fixture(const char* name) {
    return std::string(ORV_MP3_FIXTURES) + "/" + name;
}

// Runs the modal dialog; the script runs while it is open and then closes it.
bool RunModal(CDialog& dlg, const char* caption, const std::function<void(CUiScript&)>& steps) {
    CUiScript ui(kMetaTestTitle);
    INT_PTR nResult = -1;
    ui.Run(
        [&](CUiScript& script) {
            if (!script.WaitWindow(caption)) return;
            steps(script);
            CUiScript::Click(dlg.m_hWnd, IDCANCEL);
        },
        [&] { nResult = dlg.DoModal(); });
    EXPECT_EQ(nResult, IDCANCEL);
    EXPECT_TRUE(ui.Clean()) << ui.Report();
    return nResult == IDCANCEL && ui.Clean();
}

// What mpg123 reports of a file it decodes.
struct Mpg123Reading {
    int version = 0;
    int layer = 0;
    long frequency = 0;
    std::string mode;
    std::string copyright, original, crc;
    int kbps = 0;
    long frames = 0;
    int seconds = 0;
};

int RomanLayer(const std::string& roman) {
    return roman == "I" ? 1 : roman == "II" ? 2 : roman == "III" ? 3 : 0;
}

Mpg123Reading ReadWithMpg123(const std::string& path, const std::string& name) {
    Mpg123Reading reading;
    const std::string log = "meta-mpg123-" + name;
    if (!orvtest::RunHostShell("mpg123 -t -vv '" + orvtest::UnixPath(path) + "'", log, 30000)) return reading;
    std::ifstream in(orvtest::ArtifactsDir() + "/" + log + ".log");
    std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (char& c : all)
        if (c == '\r') c = '\n';
    std::istringstream lines(all);
    for (std::string line; std::getline(lines, line);) {
        char layer[8] = {}, mode[32] = {}, copyright[8] = {}, original[8] = {}, crc[8] = {};
        int minor = 0, channels = 0, done = 0, left = 0, minutes = 0, seconds = 0;
        if (std::sscanf(line.c_str(), "MPEG %d.%d, Layer: %7[IV], Freq: %ld, mode: %31[^,]", &reading.version, &minor,
                        layer, &reading.frequency, mode) == 5) {
            reading.layer = RomanLayer(layer);
            reading.mode = mode;
        } else if (std::sscanf(line.c_str(), "Channels: %d, copyright: %7[^,], original: %7[^,], CRC: %7[^,]",
                               &channels, copyright, original, crc) == 4) {
            reading.copyright = copyright;
            reading.original = original;
            reading.crc = crc;
        } else if (std::sscanf(line.c_str(), "Bitrate: %d kbit/s", &reading.kbps) == 1) {
        } else if (std::sscanf(line.c_str(), "> %d+%d %d:%d", &done, &left, &minutes, &seconds) == 4) {
            reading.frames = done + left;  // the last progress line wins
            reading.seconds = minutes * 60 + seconds;
        }
    }
    return reading;
}

UINT ModeText(const std::string& mpg123Mode) {
    if (mpg123Mode == "Stereo") return IDS_CHANNELS_STEREO;
    if (mpg123Mode == "Joint-Stereo") return IDS_CHANNELS_JOINT_STEREO;
    if (mpg123Mode == "Dual-Channel") return IDS_CHANNELS_DUAL;
    if (mpg123Mode == "Single-Channel") return IDS_CHANNELS_MONO;
    return 0;
}

std::string Formatted(const char* format, long a, long b = 0) {
    char text[128];
    std::snprintf(text, sizeof text, format, a, b);
    return text;
}

DWORD FileBytes(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    return ::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ? data.nFileSizeLow : 0;
}

using InfoDlgTest = MetaTest;

// Encoded with: -m m at 22.05 kHz (MPEG 2), -m s -p (checksums), -m j, -m d -c (copyright).
TEST_F(InfoDlgTest, MoreInfoShowsTheMpegDetailsMpg123Reads) {
    for (const char* name : {"tone22m.mp3", "tone32s.mp3", "tone44js.mp3", "tone48d.mp3"}) {
        SCOPED_TRACE(name);
        const std::string path = Mp3Fixture(name);
        const Mpg123Reading ref = ReadWithMpg123(path, name);
        ASSERT_GT(ref.frames, 0) << "mpg123 read nothing";
        ASSERT_NE(ModeText(ref.mode), 0u) << ref.mode;

        CSongInfoDlg dlg;
        dlg.m_strPath = path.c_str();
        ASSERT_TRUE(RunModal(dlg, "More Info", [&](CUiScript&) {
            auto item = [&](int nId) { return CUiScript::ItemText(dlg.m_hWnd, nId); };
            const long kb = (static_cast<long>(FileBytes(path)) + 512) / 1024;
            EXPECT_EQ(item(IDC_INFO_FILE_SIZE), Formatted("File Size:\t%ld Kb", kb));
            EXPECT_EQ(item(IDC_INFO_MPEG_LAYER), Formatted("MPEG %ld.0 Layer %ld", ref.version, ref.layer));
            EXPECT_EQ(item(IDC_INFO_LENGTH),
                      Formatted("Length (m:s) :\t%.2ld:%.2ld ", ref.seconds / 60, ref.seconds % 60));
            EXPECT_EQ(item(IDC_INFO_BITRATE), Formatted("BitRate:\t\t%ld kbit/s", ref.kbps));
            EXPECT_EQ(item(IDC_INFO_FRAMES), Formatted("Frames:\t\t%ld", ref.frames));
            EXPECT_EQ(item(IDC_INFO_FREQUENCY), Formatted("Frequency:\t%ld Hz", ref.frequency));
            EXPECT_EQ(item(IDC_INFO_CHANNELS), "Channels:\t" + m_app.Text(ModeText(ref.mode)));
            EXPECT_EQ(item(IDC_INFO_COPYRIGHTED), "Copyrighted:\t" + ref.copyright);
            EXPECT_EQ(item(IDC_INFO_ORIGINAL), "Original:   \t" + ref.original);
            EXPECT_EQ(item(IDC_INFO_CHECKSUMS), "CheckSums:\t" + ref.crc);
        }));
    }
}

TEST_F(InfoDlgTest, WaveInfoShowsTheStoredFormatOfTheRow) {
    struct Case {
        DWORD dwSize;
        LONG nLength;
        DWORD dwChannels;
        const char* size;
        const char* length;
        std::string channels;
    };
    const Case cases[] = {
        {1535, 59, 1, "File Size:\t\t1 Kb", "Length (m:s) :\t\t00:59 ",
         "Channels:\t\t" + m_app.Text(IDS_CHANNELS_MONO)},
        {1536, 3725, 2, "File Size:\t\t2 Kb", "Length (m:s) :\t\t62:05 ",
         "Channels:\t\t" + m_app.Text(IDS_CHANNELS_STEREO)},
        {7000000, 6000, 6, "File Size:\t\t6836 Kb", "Length (m:s) :\t\t100:00 ", "Channels:\t\t???"},
    };
    CSongList songs;
    for (const Case& c : cases) {
        auto* pEntry = new CSongEntry("C:\\songs\\x.wav", SONG_WAVE);
        pEntry->m_dwSize = c.dwSize;
        pEntry->m_nLength = c.nLength;
        pEntry->m_dwChannels = c.dwChannels;
        pEntry->m_dwBitsPerSample = 16;
        pEntry->m_dwSamplesPerSec = 22050;
        pEntry->m_dwAvgBytesPerSec = 44100 * c.dwChannels;
        songs.AddTail(pEntry);
    }
    for (int nRow = 0; nRow < songs.GetCount(); ++nRow) {
        SCOPED_TRACE(nRow);
        const Case& c = cases[nRow];
        CWaveInfoDlg dlg;
        dlg.m_strPath = "C:\\songs\\row.wav";
        dlg.m_nRow = nRow;
        dlg.m_pSongs = &songs;
        ASSERT_TRUE(RunModal(dlg, "Wave Info", [&](CUiScript&) {
            auto item = [&](int nId) { return CUiScript::ItemText(dlg.m_hWnd, nId); };
            EXPECT_EQ(item(IDC_INFO_PATH), "C:\\songs\\row.wav");
            EXPECT_EQ(item(IDC_INFO_FILE_SIZE), c.size);
            EXPECT_EQ(item(IDC_INFO_LENGTH), c.length);
            EXPECT_EQ(item(IDC_INFO_BITRATE), "BitRate:\t\t\t16 bits/sample");
            EXPECT_EQ(item(IDC_INFO_FREQUENCY), "Frequency:\t\t22050 samples/sec");
            EXPECT_EQ(item(IDC_INFO_CHANNELS), c.channels);
            EXPECT_EQ(item(IDC_INFO_AVG_BYTES),
                      Formatted("AveBytesPerSec:\t%ld", 44100 * static_cast<long>(c.dwChannels)));
        }));
    }

    // A row the list does not hold shows the path and leaves the templates.
    CWaveInfoDlg stray;
    stray.m_nRow = 3;
    stray.m_pSongs = &songs;
    ASSERT_TRUE(RunModal(stray, "Wave Info", [&](CUiScript&) {
        EXPECT_EQ(CUiScript::ItemText(stray.m_hWnd, IDC_INFO_FILE_SIZE), "File Size:\t\t%ld Kb");
    }));
}

// The MP3 control reads the file whole when it opens it, so a playing song's tag
// can be saved.
TEST_F(InfoDlgTest, TheTagOfAPlayingSongSaves) {
    if (::waveOutGetNumDevs() == 0) GTEST_SKIP() << "no wave-out device in this environment";
    const std::string path = CopyFixture(Mp3Fixture("tone44js.mp3"), "playing.mp3");
    ASSERT_FALSE(path.empty());
    const size_t nBefore = ReadAll(path).size();

    CAuditionDlg audition;
    ASSERT_TRUE(audition.Create(nullptr));
    audition.Load(path.c_str(), CAuditionDlg::kTypeMpeg, 1, 2);
    ASSERT_TRUE(audition.m_bPlaying);

    CSongInfoDlg info;
    info.m_strPath = path.c_str();
    std::string saved;
    ASSERT_TRUE(RunModal(info, "More Info", [&](CUiScript& script) {
        CUiScript::SetText(info.m_hWnd, IDC_INFO_TITLE, "While Playing");
        CUiScript::Click(info.m_hWnd, IDC_INFO_SAVE);
        saved = script.AnswerBox(IDOK, BoxIcon::Information, BoxButtons::Ok);
    }));
    EXPECT_EQ(saved, m_app.Text(IDS_TAG_SAVED));
    EXPECT_TRUE(audition.m_bPlaying);
    audition.DestroyWindow();

    const std::vector<BYTE> after = ReadAll(path);
    ASSERT_EQ(after.size(), nBefore + 128);
    EXPECT_EQ(0, std::memcmp(&after[nBefore], "TAGWhile Playing", 16));
}

}  // namespace
