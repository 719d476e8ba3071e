// The user-interface harness against windows of known content: message boxes of
// every kind, a window that takes shell drops and mouse presses, a skin glyph drawn
// on screen.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "SkinLayout.h"
#include "SkinProbe.h"
#include "TelmarIds.h"
#include "TestSupport.h"
#include "UiScript.h"

namespace {

const char kCaption[] = "Orvanta-HarnessTest";
const char kTargetClass[] = "OrvHarnessTarget";

using orvtest::BoxButtons;
using orvtest::BoxIcon;
using orvtest::CUiScript;

TEST(UiHarnessTest, MessageBoxesAreReadWhole) {
    const struct {
        UINT flags;
        BoxIcon icon;
        BoxButtons buttons;
        int answer;
    } cases[] = {
        {MB_OK | MB_ICONEXCLAMATION, BoxIcon::Exclamation, BoxButtons::Ok, IDOK},
        {MB_YESNO | MB_ICONQUESTION, BoxIcon::Question, BoxButtons::YesNo, IDNO},
        {MB_YESNOCANCEL | MB_ICONINFORMATION, BoxIcon::Information, BoxButtons::YesNoCancel, IDYES},
        {MB_OKCANCEL | MB_ICONSTOP, BoxIcon::Stop, BoxButtons::OkCancel, IDCANCEL},
        {MB_OK, BoxIcon::None, BoxButtons::Ok, IDOK},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.flags);
        CUiScript ui(kCaption);
        std::string text;
        int result = 0;
        ui.Run([&](CUiScript& script) { text = script.AnswerBox(c.answer, c.icon, c.buttons); },
               [&] { result = ::MessageBoxA(nullptr, "Line one\nline two", kCaption, c.flags); });
        EXPECT_TRUE(ui.Clean()) << ui.Report();
        EXPECT_EQ(text, "Line one\nline two");
        EXPECT_EQ(result, c.answer);
    }
}

TEST(UiHarnessTest, AnOkBoxFailsAScriptExpectingAQuestion) {
    CUiScript ui(kCaption);
    int result = 0;
    ui.Run([&](CUiScript& script) { script.AnswerBox(IDYES, BoxIcon::Question, BoxButtons::YesNoCancel); },
           [&] { result = ::MessageBoxA(nullptr, "Done.", kCaption, MB_OK | MB_ICONINFORMATION); });
    ASSERT_EQ(ui.m_errors.size(), 1u);
    EXPECT_NE(ui.m_errors[0].find("information with OK"), std::string::npos) << ui.m_errors[0];
    EXPECT_TRUE(ui.m_unexpected.empty());
    EXPECT_NE(result, IDYES);
}

// A top-level window that keeps what reaches it.
struct Target {
    std::vector<std::string> dropped;
    POINT dropPoint = {-1, -1};
    std::vector<UINT> mouse;
    std::vector<POINT> mousePoints;
    DWORD downTick = 0, upTick = 0;
};
Target* g_target = nullptr;
HBITMAP g_hGlyph = nullptr;  // drawn at (10, 10) when set

LRESULT CALLBACK TargetProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_DROPFILES: {
        HDROP hDrop = reinterpret_cast<HDROP>(wParam);
        const UINT count = ::DragQueryFileA(hDrop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            char path[MAX_PATH] = {};
            ::DragQueryFileA(hDrop, i, path, MAX_PATH);
            g_target->dropped.emplace_back(path);
        }
        ::DragQueryPoint(hDrop, &g_target->dropPoint);
        ::DragFinish(hDrop);
        return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
        g_target->mouse.push_back(msg);
        g_target->mousePoints.push_back(POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
        if (msg == WM_LBUTTONDOWN) g_target->downTick = ::GetTickCount();
        if (msg == WM_LBUTTONUP) g_target->upTick = ::GetTickCount();
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC hdc = ::BeginPaint(hWnd, &ps);
        ::FillRect(hdc, &ps.rcPaint, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        if (g_hGlyph) {
            HDC hMem = ::CreateCompatibleDC(hdc);
            HGDIOBJ hOld = ::SelectObject(hMem, g_hGlyph);
            ::BitBlt(hdc, 10, 10, skin::kDigitWidth, skin::kDigitHeight, hMem, skin::DigitX(2), skin::kGlyphRowY,
                     SRCCOPY);
            ::SelectObject(hMem, hOld);
            ::DeleteDC(hMem);
        }
        ::EndPaint(hWnd, &ps);
        return 0;
    }
    }
    return ::DefWindowProcA(hWnd, msg, wParam, lParam);
}

class TargetWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_target = &m_target;
        WNDCLASSA wc = {};
        wc.lpfnWndProc = TargetProc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = kTargetClass;
        ::RegisterClassA(&wc);
        m_hWnd = ::CreateWindowExA(WS_EX_TOPMOST | WS_EX_ACCEPTFILES, kTargetClass, "Harness target", WS_POPUP, 100,
                                   100, 200, 100, nullptr, nullptr, wc.hInstance, nullptr);
        ASSERT_NE(m_hWnd, nullptr);
        ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
        ::UpdateWindow(m_hWnd);
    }
    void TearDown() override {
        if (m_hWnd) ::DestroyWindow(m_hWnd);
        ::UnregisterClassA(kTargetClass, ::GetModuleHandleA(nullptr));
        g_target = nullptr;
    }
    Target m_target;
    HWND m_hWnd = nullptr;
};

TEST_F(TargetWindowTest, AShellDropDeliversItsPathsInOrder) {
    const std::vector<std::string> paths = {"C:\\music\\b.mp3", "C:\\music\\a b.wav", "D:\\z.m3u"};
    ASSERT_TRUE(orvtest::PostDropFiles(m_hWnd, paths, POINT{40, 30}));
    ASSERT_TRUE(orvtest::PumpUntil([&] { return !m_target.dropped.empty(); }, 5000));
    EXPECT_EQ(m_target.dropped, paths);
    EXPECT_EQ(m_target.dropPoint.x, 40);
    EXPECT_EQ(m_target.dropPoint.y, 30);
}

TEST_F(TargetWindowTest, PressesReachThePointAndAreHeld) {
    orvtest::PressAt(m_hWnd, POINT{50, 20}, orvtest::MouseButton::Left, 300);
    orvtest::PressAt(m_hWnd, POINT{7, 9}, orvtest::MouseButton::Right);
    ASSERT_TRUE(orvtest::PumpUntil([&] { return m_target.mouse.size() >= 4; }, 5000));
    EXPECT_EQ(m_target.mouse, (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP}));
    EXPECT_EQ(m_target.mousePoints[1].x, 50);
    EXPECT_EQ(m_target.mousePoints[1].y, 20);
    EXPECT_EQ(m_target.mousePoints[3].x, 7);
    // The ticks are taken as the window handles each press, the first perhaps a moment
    // after it was sent.
    EXPECT_GE(m_target.upTick - m_target.downTick, 290u);
}

TEST_F(TargetWindowTest, AScreenCaptureMatchesTheSkinGlyphDrawn) {
    const orvtest::Screenshot faces = orvtest::LoadBitmapPixels(ORV_TELMAR_DLL, IDB_SKIN_FACES);
    ASSERT_TRUE(faces.Valid());
    HMODULE hTelmar = ::LoadLibraryExA(ORV_TELMAR_DLL, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    g_hGlyph = static_cast<HBITMAP>(::LoadImageA(hTelmar, MAKEINTRESOURCEA(IDB_SKIN_FACES), IMAGE_BITMAP, 0, 0, 0));
    ::FreeLibrary(hTelmar);
    ASSERT_NE(g_hGlyph, nullptr);
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
    ::UpdateWindow(m_hWnd);
    const orvtest::Screenshot shot = orvtest::CaptureScreen("harness-glyph");
    ::DeleteObject(g_hGlyph);
    g_hGlyph = nullptr;
    ASSERT_TRUE(shot.Valid());

    POINT origin = {10, 10};
    ::ClientToScreen(m_hWnd, &origin);
    const auto differing = [&](int digit) {
        return orvtest::DifferingPixels(shot, origin.x, origin.y, faces, skin::DigitX(digit), skin::kGlyphRowY,
                                        skin::kDigitWidth, skin::kDigitHeight);
    };
    EXPECT_EQ(differing(2), 0);
    EXPECT_GT(differing(7), 10);
}

}  // namespace
