#include <gtest/gtest.h>
#include <windows.h>
#include <mmsystem.h>

#include "MciNotices.h"
#include "TestSupport.h"

namespace {


std::string MciErrorText(MCIERROR err) {
    char text[256] = {};
    mciGetErrorStringA(err, text, sizeof text);
    return text;
}

TEST(SmokeMci, WaveaudioMeasuresAndPlaysToCompletionWithNotify) {
    const std::string dir = orvtest::MakeTempDir("mci");
    const std::string wav = dir + "\\tone1999.wav";
    ASSERT_TRUE(orvtest::WriteToneWave(wav, 1999, 22050, 1, 440.0));

    MCI_OPEN_PARMSA open = {};
    open.lpstrDeviceType = "waveaudio";
    open.lpstrElementName = wav.c_str();
    MCIERROR err = mciSendCommandA(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT, reinterpret_cast<DWORD_PTR>(&open));
    ASSERT_EQ(err, 0u) << MciErrorText(err);
    const MCIDEVICEID device = open.wDeviceID;

    MCI_SET_PARMS set = {};
    set.dwTimeFormat = MCI_FORMAT_MILLISECONDS;
    EXPECT_EQ(mciSendCommandA(device, MCI_SET, MCI_SET_TIME_FORMAT, reinterpret_cast<DWORD_PTR>(&set)), 0u);

    MCI_STATUS_PARMS status = {};
    status.dwItem = MCI_STATUS_LENGTH;
    ASSERT_EQ(mciSendCommandA(device, MCI_STATUS, MCI_STATUS_ITEM, reinterpret_cast<DWORD_PTR>(&status)), 0u);
    EXPECT_EQ(status.dwReturn, 1999u);

    orvtest::CMciNotices notices;
    ASSERT_NE(notices.Handle(), nullptr);
    MCI_PLAY_PARMS play = {};
    play.dwCallback = notices.Callback();
    const DWORD start = GetTickCount();
    err = mciSendCommandA(device, MCI_PLAY, MCI_NOTIFY, reinterpret_cast<DWORD_PTR>(&play));
    ASSERT_EQ(err, 0u) << MciErrorText(err);

    // Half way through, the device says it is playing and the position moves.
    orvtest::PumpFor(900);
    EXPECT_TRUE(notices.empty()) << "notified long before the end";
    status.dwItem = MCI_STATUS_MODE;
    ASSERT_EQ(mciSendCommandA(device, MCI_STATUS, MCI_STATUS_ITEM, reinterpret_cast<DWORD_PTR>(&status)), 0u);
    EXPECT_EQ(status.dwReturn, static_cast<DWORD_PTR>(MCI_MODE_PLAY));
    status.dwItem = MCI_STATUS_POSITION;
    ASSERT_EQ(mciSendCommandA(device, MCI_STATUS, MCI_STATUS_ITEM, reinterpret_cast<DWORD_PTR>(&status)), 0u);
    EXPECT_GT(status.dwReturn, 300u);
    EXPECT_LT(status.dwReturn, 1999u);

    ASSERT_TRUE(notices.WaitFor(1, 10000))
        << "MM_MCINOTIFY never arrived: is there a sound device?";
    EXPECT_EQ(notices[0].code, static_cast<UINT>(MCI_NOTIFY_SUCCESSFUL));
    const DWORD took = notices[0].at - start;
    EXPECT_GE(took, 1700u);
    EXPECT_LE(took, 4500u);

    mciSendCommandA(device, MCI_CLOSE, 0, 0);
    DeleteFileA(wav.c_str());
    RemoveDirectoryA(dir.c_str());
}

}  // namespace
