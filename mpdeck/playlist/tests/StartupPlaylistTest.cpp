// The player window's start: the default playlist named in the profile, or the file
// on the command line, then every entry measured on the real WAVE device.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "MP3App.h"
#include "RegistryGuard.h"
#include "TestSupport.h"

namespace {

const char kTestRegistryKey[] = "OrvantaStartupTest";

}  // namespace

class StartupPlaylistTest : public ::testing::Test {
protected:
    void SetUp() override {
        AfxWinInit(::GetModuleHandleA(nullptr), nullptr, SW_SHOW);
        AfxSetControlFolder(ORV_CONTROL_DIR);
        AfxEnableControlContainer();
        m_app.SetRegistryKey(kTestRegistryKey);
        orvtest::DeleteRegistryKey(HKEY_CURRENT_USER, std::string("Software\\") + kTestRegistryKey);
        ::DeleteFileA(IniPath().c_str());
        m_dir = orvtest::MakeTempDir("startup");
    }
    void TearDown() override {
        if (m_app.m_dlgPlayer.m_hWnd) m_app.m_dlgPlayer.DestroyWindow();
        orvtest::DeleteRegistryKey(HKEY_CURRENT_USER, std::string("Software\\") + kTestRegistryKey);
        ::DeleteFileA(IniPath().c_str());
    }
    static std::string IniPath() {
        char dir[MAX_PATH] = {};
        ::GetWindowsDirectoryA(dir, MAX_PATH);
        return std::string(dir) + "\\" + CPlaylistFile::FileName().GetString();
    }
    bool OpenPlayer(const char* commandLine) {
        m_commandLine = commandLine;
        m_app.m_lpCmdLine = &m_commandLine[0];
        return m_app.m_dlgPlayer.Create(CMP3PlayerDlg::IDD, nullptr) != FALSE;
    }
    const CSongEntry& Entry(int i) { return *m_app.m_songList.GetAt(i); }

    CMP3App m_app;
    std::string m_dir;
    std::string m_commandLine;
};

TEST_F(StartupPlaylistTest, DefaultPlaylistIsLoadedAndItsWavesMeasured) {
    const std::string shortWave = m_dir + "\\short.wav";
    const std::string stereo = m_dir + "\\stereo.wav";
    const std::string mp3 = std::string(ORV_MP3_FIXTURES) + "\\tone44js.mp3";
    ASSERT_TRUE(orvtest::WriteToneWave(shortWave, 1999, 22050, 1, 440.0));
    ASSERT_TRUE(orvtest::WriteToneWave(stereo, 2500, 44100, 2, 440.0));
    std::ofstream(IniPath(), std::ios::binary)
        << "[Evening]\r\nTotal=4\r\n1=" << shortWave << ",WAVE\r\n2=" << stereo << ",WAVE\r\n3=" << m_dir
        << "\\odd.xyz,ABCD\r\n4=" << mp3 << ",MPEG\r\nPlayMode=6\r\n";
    std::ofstream(m_dir + "\\odd.xyz") << "x";
    m_app.WriteProfileString("APP", "DefPList", "Evening");

    ASSERT_TRUE(OpenPlayer(""));

    EXPECT_EQ("Evening", std::string(m_app.m_strPlaylistName));
    ASSERT_EQ(4, m_app.m_songList.GetCount());
    EXPECT_EQ(6, m_app.m_dlgPlayer.m_pDisplay->m_nPlayMode);
    EXPECT_EQ(1, Entry(0).m_nLength);  // 1999 ms
    EXPECT_EQ(16u, Entry(0).m_dwBitsPerSample);
    EXPECT_EQ(22050u, Entry(0).m_dwSamplesPerSec);
    EXPECT_EQ(1u, Entry(0).m_dwChannels);
    EXPECT_EQ(44100u, Entry(0).m_dwAvgBytesPerSec);
    EXPECT_NEAR(1999.0 * 44.1, static_cast<double>(Entry(0).m_dwSize), 100.0);
    EXPECT_EQ(2, Entry(1).m_nLength);
    EXPECT_EQ(2u, Entry(1).m_dwChannels);
    EXPECT_EQ(176400u, Entry(1).m_dwAvgBytesPerSec);
    // An entry of no known type is left alone.
    EXPECT_EQ(SONG_UNKNOWN, Entry(2).m_nType);
    EXPECT_EQ(0, Entry(2).m_nLength);
    EXPECT_FALSE(m_app.m_dlgPlayer.m_waveDevice.IsOpen());
    // A two-second MP3, its length from the control.
    EXPECT_EQ(2, Entry(3).m_nLength);
    EXPECT_EQ(0u, Entry(3).m_dwSamplesPerSec);
}

TEST_F(StartupPlaylistTest, CommandLineFileBecomesAOneEntryPlaylist) {
    const std::string wave = m_dir + "\\given.wav";
    ASSERT_TRUE(orvtest::WriteToneWave(wave, 1200, 8000, 1, 440.0));
    std::ofstream(IniPath(), std::ios::binary) << "[Evening]\r\nTotal=1\r\n1=" << wave << ",WAVE\r\nPlayMode=6\r\n";
    m_app.WriteProfileString("APP", "DefPList", "Evening");

    ASSERT_TRUE(OpenPlayer(wave.c_str()));

    EXPECT_TRUE(m_app.m_strPlaylistName.IsEmpty());
    ASSERT_EQ(1, m_app.m_songList.GetCount());
    EXPECT_EQ(wave, std::string(Entry(0).m_strPath));
    EXPECT_EQ(SONG_WAVE, Entry(0).m_nType);
    EXPECT_EQ(1, m_app.m_dlgPlayer.m_pDisplay->m_nPlayMode);
    EXPECT_EQ(1, Entry(0).m_nLength);
    EXPECT_EQ(8000u, Entry(0).m_dwSamplesPerSec);
}

TEST_F(StartupPlaylistTest, QuotedCommandLineFileWithBlanksIsFound) {
    const std::string wave = m_dir + "\\my song.wav";
    ASSERT_TRUE(orvtest::WriteToneWave(wave, 1200, 8000, 1, 440.0));

    ASSERT_TRUE(OpenPlayer(("\"" + wave + "\"").c_str()));

    ASSERT_EQ(1, m_app.m_songList.GetCount());
    EXPECT_EQ(wave, std::string(Entry(0).m_strPath));
    EXPECT_EQ(SONG_WAVE, Entry(0).m_nType);
    EXPECT_EQ(1, Entry(0).m_nLength);
}

// Benchmark, not a timed test: a default playlist of 1000 three-minute VBR songs
// (hard links to one file, so every read comes from the cache) is measured from the
// songs' headers; the figure is printed for people to compare.
TEST_F(StartupPlaylistTest, ThousandVbrSongsAreMeasuredFromTheirHeaders) {
    constexpr int kSongs = 1000;
    const std::string song = std::string(ORV_STARTUP_FIXTURES) + "\\vbr3min.mp3";
    struct Links {
        std::vector<std::string> paths;
        ~Links() {
            for (const std::string& path : paths) ::DeleteFileA(path.c_str());
        }
    } links;
    std::ofstream ini(IniPath(), std::ios::binary);
    ini << "[Thousand]\r\nTotal=" << kSongs << "\r\n";
    for (int i = 0; i < kSongs; ++i) {
        const std::string link = m_dir + "\\song" + std::to_string(i) + ".mp3";
        if (!::CreateHardLinkA(link.c_str(), song.c_str(), nullptr)) GTEST_SKIP() << "no hard links here";
        links.paths.push_back(link);
        ini << i + 1 << "=" << link << ",MPEG\r\n";
    }
    ini << "PlayMode=1\r\n";
    ini.close();
    m_app.WriteProfileString("APP", "DefPList", "Thousand");

    const DWORD dwStart = ::GetTickCount();
    ASSERT_TRUE(OpenPlayer(""));
    const DWORD dwElapsed = ::GetTickCount() - dwStart;
    std::printf("benchmark: player window with %d three-minute VBR songs ready after %lu ms\n", kSongs,
                static_cast<unsigned long>(dwElapsed));
    ASSERT_EQ(kSongs, m_app.m_songList.GetCount());
    for (int i = 0; i < kSongs; ++i) EXPECT_EQ(180, Entry(i).m_nLength) << i;
}
