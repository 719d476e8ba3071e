#include <gtest/gtest.h>
#include <windows.h>

#include "TestSupport.h"
#include "smoke_ids.h"

namespace {

const COLORREF kDialogColor = RGB(210, 40, 160);
HBRUSH g_brush = nullptr;

INT_PTR CALLBACK SmokeDlgProc(HWND, UINT msg, WPARAM, LPARAM) {
    switch (msg) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<INT_PTR>(g_brush);
    default:
        return FALSE;
    }
}

bool Near(COLORREF a, COLORREF b) {
    return std::abs(GetRValue(a) - GetRValue(b)) < 8 && std::abs(GetGValue(a) - GetGValue(b)) < 8 &&
           std::abs(GetBValue(a) - GetBValue(b)) < 8;
}

TEST(SmokeDialog, TemplateDialogWithRegionIsOnTheScreenshot) {
    g_brush = CreateSolidBrush(kDialogColor);
    HWND dlg = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_SMOKE_DIALOG), nullptr,
                                  SmokeDlgProc, 0);
    ASSERT_NE(dlg, nullptr);
    ASSERT_NE(GetDlgItem(dlg, IDC_SMOKE_TEXT), nullptr) << "template control missing";

    const int x = 120, y = 90, w = 300, h = 200, round = 80;
    SetWindowPos(dlg, HWND_TOPMOST, x, y, w, h, SWP_NOACTIVATE);
    HRGN rgn = CreateRoundRectRgn(0, 0, w, h, round, round);
    ASSERT_NE(SetWindowRgn(dlg, rgn, TRUE), 0);
    ShowWindow(dlg, SW_SHOWNOACTIVATE);
    UpdateWindow(dlg);
    orvtest::PumpFor(700);

    orvtest::Screenshot shot = orvtest::CaptureScreen("smoke-dialog");
    ASSERT_TRUE(shot.Valid()) << "import -window root gave no picture";
    // Inside the region: the dialog's colour.
    EXPECT_TRUE(Near(shot.Pixel(x + w / 2, y + h / 2), kDialogColor));
    EXPECT_TRUE(Near(shot.Pixel(x + w / 2, y + 3), kDialogColor));
    // Cut away by the rounded corner: not the dialog.
    EXPECT_FALSE(Near(shot.Pixel(x + 2, y + 2), kDialogColor));
    EXPECT_FALSE(Near(shot.Pixel(x + w - 3, y + h - 3), kDialogColor));
    // Outside the window altogether.
    EXPECT_FALSE(Near(shot.Pixel(x + w + 20, y + h / 2), kDialogColor));

    DestroyWindow(dlg);
    DeleteObject(g_brush);
}

}  // namespace
