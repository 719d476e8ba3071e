// The programs' own resources as the programs load them: icons, cursors with their
// hot spots, the player menu and both About boxes.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "OrvVersion.h"
#include "ResourceIds.h"

namespace {

HINSTANCE Self() { return GetModuleHandleA(nullptr); }

struct IconFacts {
    bool isIcon = false;
    int width = 0, hotX = 0, hotY = 0;
};

IconFacts Facts(HICON icon) {
    IconFacts facts;
    ICONINFO info = {};
    if (!GetIconInfo(icon, &info)) return facts;
    BITMAP bm = {};
    GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bm, &bm);
    facts = {info.fIcon != FALSE, bm.bmWidth, int(info.xHotspot), int(info.yHotspot)};
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    return facts;
}

// Draws an icon on white and reads two pixels back.
void DrawOnWhite(HICON icon, int size, COLORREF* corner, COLORREF* centre) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all = {0, 0, size, size};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    *corner = GetPixel(dc, 0, 0);
    *centre = GetPixel(dc, size / 2, size / 2);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
}

TEST(Resources, ProgramIconHasBothSizesAndATransparentCorner) {
    for (int size : {32, 16}) {
        HICON icon = static_cast<HICON>(LoadImageA(Self(), MAKEINTRESOURCEA(IDI_APP), IMAGE_ICON, size, size, 0));
        ASSERT_NE(icon, nullptr) << size;
        const IconFacts facts = Facts(icon);
        EXPECT_TRUE(facts.isIcon);
        EXPECT_EQ(facts.width, size);
        COLORREF corner = 0, centre = 0;
        DrawOnWhite(icon, size, &corner, &centre);
        EXPECT_EQ(corner, RGB(255, 255, 255)) << "the rounded corner lets the background show";
        EXPECT_NE(centre, RGB(255, 255, 255));
        DestroyIcon(icon);
    }
    EXPECT_NE(LoadIconA(Self(), MAKEINTRESOURCEA(IDI_APP)), nullptr);
}

TEST(Resources, ListIconsTellCheckedFromUnchecked) {
    HICON checked = static_cast<HICON>(LoadImageA(Self(), MAKEINTRESOURCEA(IDI_LIST_CHECKED), IMAGE_ICON, 16, 16, 0));
    HICON unchecked = static_cast<HICON>(LoadImageA(Self(), MAKEINTRESOURCEA(IDI_LIST_UNCHECKED), IMAGE_ICON, 16, 16, 0));
    ASSERT_NE(checked, nullptr);
    ASSERT_NE(unchecked, nullptr);
    COLORREF corner = 0, withMark = 0, without = 0;
    DrawOnWhite(checked, 16, &corner, &withMark);
    DrawOnWhite(unchecked, 16, &corner, &without);
    EXPECT_EQ(without, RGB(255, 255, 255)) << "an empty box";
    EXPECT_NE(withMark, RGB(255, 255, 255)) << "the check mark crosses the middle";
    DestroyIcon(checked);
    DestroyIcon(unchecked);
}

TEST(Resources, CursorsPointWithTheirHotSpots) {
    const struct {
        UINT id;
        int x, y;
    } cursors[] = {{IDC_HOTSPOT_HAND, 10, 1}, {IDC_DRAG_ROWS, 1, 1}, {IDC_DRAG_ROW, 1, 1}};
    for (const auto& c : cursors) {
        HCURSOR cursor = LoadCursorA(Self(), MAKEINTRESOURCEA(c.id));
        ASSERT_NE(cursor, nullptr) << c.id;
        const IconFacts facts = Facts(cursor);
        EXPECT_FALSE(facts.isIcon) << c.id;
        EXPECT_EQ(facts.hotX, c.x) << c.id;
        EXPECT_EQ(facts.hotY, c.y) << c.id;
    }
}

std::string MenuText(HMENU menu, UINT id) {
    char text[64] = {};
    GetMenuStringA(menu, id, text, sizeof text, MF_BYCOMMAND);
    return text;
}

TEST(Resources, PlayerMenuSwitchesToEitherProgram) {
    HMENU menu = LoadMenuA(Self(), MAKEINTRESOURCEA(IDR_PLAYER_MENU));
    ASSERT_NE(menu, nullptr);
    HMENU popup = GetSubMenu(menu, 0);
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(GetMenuItemCount(popup), 2);
    EXPECT_EQ(MenuText(popup, ID_SWITCH_TO_CD), "Orvanta-&CD...");
    EXPECT_EQ(MenuText(popup, ID_SWITCH_TO_MP3), "Orvanta-&MP3...");
    EXPECT_EQ(GetMenuItemID(popup, 0), UINT(ID_SWITCH_TO_CD));
    DestroyMenu(menu);
}

INT_PTR CALLBACK QuietProc(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }

std::string ItemText(HWND dlg, int id) {
    char text[256] = {};
    GetDlgItemTextA(dlg, id, text, sizeof text);
    return text;
}

TEST(Resources, AboutBoxesShowVersionAndTheWebButton) {
    const struct {
        UINT id;
        const char* product;
    } boxes[] = {{IDD_ABOUT_MP3, "Orvanta-MP3"}, {IDD_ABOUT_CD, "Orvanta-CD"}};
    for (const auto& box : boxes) {
        HWND dlg = CreateDialogParamA(Self(), MAKEINTRESOURCEA(box.id), nullptr, QuietProc, 0);
        ASSERT_NE(dlg, nullptr) << box.id;
        char caption[128] = {};
        GetWindowTextA(dlg, caption, sizeof caption);
        EXPECT_NE(std::string(caption).find(box.product), std::string::npos) << caption;
        EXPECT_EQ(ItemText(dlg, IDC_ABOUT_PRODUCT), box.product);
        EXPECT_EQ(ItemText(dlg, IDC_ABOUT_VERSION), ORV_VERSION_TEXT);
        EXPECT_EQ(ItemText(dlg, IDC_ABOUT_URL).rfind("https://", 0), 0u);
        EXPECT_NE(GetDlgItem(dlg, IDC_ABOUT_WEBSITE), nullptr);
        EXPECT_NE(GetDlgItem(dlg, IDOK), nullptr);
        EXPECT_NE(SendDlgItemMessageA(dlg, IDC_ABOUT_ICON, STM_GETICON, 0, 0), 0) << "the program icon is shown";
        DestroyWindow(dlg);
    }
}

}  // namespace
