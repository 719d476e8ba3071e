#include <gtest/gtest.h>
#include <windows.h>
#include <mmsystem.h>

#include "TestSupport.h"

namespace {

struct NotifyWindow {
    HWND hwnd = nullptr;
    static UINT s_lastFlags;
    static DWORD s_arrivedAt;

    static LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == MM_MCINOTIFY) {
            s_lastFlags = static_cast<UINT>(wp);
            s_arrivedAt = GetTickCount();
            return 0;
        }
        return DefWindowProcA(h, msg, wp, lp);
    }

    NotifyWindow() {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "OrvSmokeMci";
        RegisterClassA(&wc);
        hwnd = CreateWindowA("OrvSmokeMci", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, wc.hInstance, nullptr);
    }
    ~NotifyWindow() {
        DestroyWindow(hwnd);
        UnregisterClassA("OrvSmokeMci", GetModuleHandleA(nullptr));
    }
};
UINT NotifyWindow::s_lastFlags = 0;
DWORD NotifyWindow::s_arrivedAt = 0;

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

    NotifyWindow window;
    ASSERT_NE(window.hwnd, nullptr);
    NotifyWindow::s_lastFlags = 0;
    MCI_PLAY_PARMS play = {};
    play.dwCallback = reinterpret_cast<DWORD_PTR>(window.hwnd);
    const DWORD start = GetTickCount();
    err = mciSendCommandA(device, MCI_PLAY, MCI_NOTIFY, reinterpret_cast<DWORD_PTR>(&play));
    ASSERT_EQ(err, 0u) << MciErrorText(err);

    // Half way through, the device says it is playing and the position moves.
    orvtest::PumpFor(900);
    EXPECT_EQ(NotifyWindow::s_lastFlags, 0u) << "notified long before the end";
    status.dwItem = MCI_STATUS_MODE;
    ASSERT_EQ(mciSendCommandA(device, MCI_STATUS, MCI_STATUS_ITEM, reinterpret_cast<DWORD_PTR>(&status)), 0u);
    EXPECT_EQ(status.dwReturn, static_cast<DWORD_PTR>(MCI_MODE_PLAY));
    status.dwItem = MCI_STATUS_POSITION;
    ASSERT_EQ(mciSendCommandA(device, MCI_STATUS, MCI_STATUS_ITEM, reinterpret_cast<DWORD_PTR>(&status)), 0u);
    EXPECT_GT(status.dwReturn, 300u);
    EXPECT_LT(status.dwReturn, 1999u);

    ASSERT_TRUE(orvtest::PumpUntil([] { return NotifyWindow::s_lastFlags != 0; }, 10000))
        << "MM_MCINOTIFY never arrived: is there a sound device?";
    EXPECT_EQ(NotifyWindow::s_lastFlags, static_cast<UINT>(MCI_NOTIFY_SUCCESSFUL));
    const DWORD took = NotifyWindow::s_arrivedAt - start;
    EXPECT_GE(took, 1700u);
    EXPECT_LE(took, 4500u);

    mciSendCommandA(device, MCI_CLOSE, 0, 0);
    DeleteFileA(wav.c_str());
    RemoveDirectoryA(dir.c_str());
}

}  // namespace
