#include <gtest/gtest.h>
#include <windows.h>

#include "TestSupport.h"

namespace {

int g_timerTicks = 0;

LRESULT CALLBACK TimerWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_TIMER && wp == 7) {
        ++g_timerTicks;
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

TEST(SmokeWindow, CreatedWindowReceivesTimerMessages) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = TimerWndProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "OrvSmokeTimer";
    ASSERT_NE(RegisterClassA(&wc), 0);

    HWND hwnd = CreateWindowA("OrvSmokeTimer", "timer", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                              nullptr, wc.hInstance, nullptr);
    ASSERT_NE(hwnd, nullptr) << "no window: is there a display?";
    g_timerTicks = 0;
    const DWORD start = GetTickCount();
    ASSERT_NE(SetTimer(hwnd, 7, 50, nullptr), 0u);
    EXPECT_TRUE(orvtest::PumpUntil([] { return g_timerTicks >= 3; }, 5000));
    // Three 50 ms periods cannot all have passed at once.
    EXPECT_GE(GetTickCount() - start, 100u);
    KillTimer(hwnd, 7);
    DestroyWindow(hwnd);
    UnregisterClassA("OrvSmokeTimer", wc.hInstance);
}

}  // namespace
