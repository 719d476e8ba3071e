// The skinned page controls on a real window: the bitmap button's images and frames
// read back from the screen, and what the button and the list report to their parent.
#include <vector>

#include "RegistryGuard.h"
#include "SkinAppFixture.h"
#include "SkinControls.h"
#include "SkinLayout.h"
#include "SkinMessages.h"
#include "SkinProbe.h"
#include "TelmarIds.h"
#include "TestSupport.h"
#include "UiScript.h"

namespace {

const UINT kButtonId = 1041;
const UINT kListId = 1042;
const int kTileX = 110;  // a page button tile of 2023
const COLORREF kWhite = RGB(255, 255, 255), kBlack = RGB(0, 0, 0), kGrey = RGB(128, 128, 128);

struct Note {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class CHostWnd : public CWnd {
public:
    std::vector<Note> m_notes;
    int m_nClicks = 0;

protected:
    LRESULT Keep(UINT message, WPARAM wParam, LPARAM lParam) {
        m_notes.push_back({message, wParam, lParam});
        return 0;
    }
    LRESULT OnHover(WPARAM w, LPARAM l) { return Keep(UM_BUTTONHOVER, w, l); }
    LRESULT OnRClick(WPARAM w, LPARAM l) { return Keep(UM_BUTTONRCLICK, w, l); }
    void OnButtonClicked() { ++m_nClicks; }
    LRESULT OnListMouse(WPARAM w, LPARAM l) { return Keep(UM_LISTMOUSE, w, l); }
    LRESULT OnListDrop(WPARAM w, LPARAM l) {
        ::DragFinish(reinterpret_cast<HDROP>(w));
        return Keep(UM_LISTDROPFILES, w, l);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CHostWnd, CWnd)
    ON_MESSAGE(UM_BUTTONHOVER, OnHover)
    ON_MESSAGE(UM_BUTTONRCLICK, OnRClick)
    ON_BN_CLICKED(kButtonId, OnButtonClicked)
    ON_MESSAGE(UM_LISTMOUSE, OnListMouse)
    ON_MESSAGE(UM_LISTDROPFILES, OnListDrop)
END_MESSAGE_MAP()

class SkinControlsTest : public SkinAppTest {
protected:
    void SetUp() override {
        SkinAppTest::SetUp();
        ASSERT_TRUE(orvtest::SetRegistryString(HKEY_CURRENT_USER, ProfileKey(), "Path", ExePath()));
        HPALETTE hPalette = nullptr;
        HBITMAP hPage = m_app.LoadSkinBitmap(IDB_SKIN_PAGE_BUTTONS, hPalette);
        ASSERT_NE(hPage, nullptr);
        m_app.m_bmpPage.Attach(hPage);
        if (hPalette) m_app.m_palPage.Attach(hPalette);
        m_page = orvtest::LoadBitmapPixels("TELMAR.DLL", IDB_SKIN_PAGE_BUTTONS);
        ASSERT_TRUE(m_page.Valid());
        LPCSTR lpszClass = AfxRegisterWndClass(0, ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)),
                                               static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        ASSERT_TRUE(m_host.CreateEx(WS_EX_TOPMOST, lpszClass, "Skin controls", WS_POPUP | WS_VISIBLE, 200, 200, 300,
                                    200, nullptr, nullptr));
    }
    void TearDown() override {
        if (m_button.m_hWnd) m_button.DestroyWindow();
        if (m_list.m_hWnd) m_list.DestroyWindow();
        m_host.DestroyWindow();
        SkinAppTest::TearDown();
    }
    void MakeButton(BOOL bEnabled) {
        ASSERT_TRUE(m_button.Create("", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(10, 10, 64, 59), &m_host, kButtonId));
        m_button.m_ptNormal = CPoint(kTileX, skin::kPageNormalY);
        m_button.m_bHoverFrame = TRUE;
        m_button.m_bPressShift = TRUE;
        m_button.EnableWindow(bEnabled);
    }
    orvtest::Screenshot Redrawn(const char* name) {
        m_button.Invalidate();
        m_button.UpdateWindow();
        ::GdiFlush();
        return orvtest::CaptureScreen(std::string("skinbutton-") + name);
    }
    // The button's top-left corner on the screen.
    POINT Corner() {
        POINT at = {0, 0};
        ::ClientToScreen(m_button.m_hWnd, &at);
        return at;
    }

    CHostWnd m_host;
    CSkinButton m_button;
    CSkinListCtrl m_list;
    orvtest::Screenshot m_page;
};

}  // namespace

TEST_F(SkinControlsTest, DisabledButtonShowsItsDisabledImageOrTheNormalOneUnframed) {
    MakeButton(FALSE);
    const int disabledX[] = {CSkinButton::kNoDisabledImage, kTileX};
    for (int x : disabledX) {
        SCOPED_TRACE(x);
        m_button.m_ptDisabled = CPoint(x, skin::kPageDisabledY);
        const int sourceY = x == CSkinButton::kNoDisabledImage ? skin::kPageNormalY : skin::kPageDisabledY;
        const orvtest::Screenshot shot = Redrawn("disabled");
        EXPECT_EQ(orvtest::DifferingPixels(shot, Corner().x, Corner().y, m_page, kTileX, sourceY, 54, 49), 0);
    }
}

TEST_F(SkinControlsTest, RaisedAndSunkenFramesHaveTheirEdges) {
    MakeButton(TRUE);
    const int r = 54, b = 49;  // the item rectangle is (0, 0, r, b)
    m_button.m_nLook = CSkinButton::kLookRaised;
    orvtest::Screenshot shot = Redrawn("raised");
    POINT c = Corner();
    for (int y = 0; y < b; ++y) EXPECT_EQ(shot.Pixel(c.x, c.y + y), kWhite) << "left edge " << y;
    for (int x = 0; x < r; ++x) EXPECT_EQ(shot.Pixel(c.x + x, c.y), kWhite) << "top edge " << x;
    for (int y = 1; y < b - 1; ++y) EXPECT_EQ(shot.Pixel(c.x + r - 1, c.y + y), kBlack) << "right edge " << y;
    for (int x = 2; x < r; ++x) EXPECT_EQ(shot.Pixel(c.x + x, c.y + b - 1), kBlack) << "bottom edge " << x;
    for (int y = 2; y < b - 2; ++y) EXPECT_EQ(shot.Pixel(c.x + r - 2, c.y + y), kGrey) << "inner right " << y;
    for (int x = 3; x < r - 1; ++x) EXPECT_EQ(shot.Pixel(c.x + x, c.y + b - 2), kGrey) << "inner bottom " << x;
    EXPECT_EQ(orvtest::DifferingPixels(shot, c.x + 1, c.y + 1, m_page, kTileX + 1, skin::kPageNormalY + 1, r - 3, b - 3), 0);

    m_button.m_nLook = CSkinButton::kLookFlat;
    m_button.SetState(TRUE);
    shot = Redrawn("sunken");
    for (int y = 0; y < b; ++y) EXPECT_EQ(shot.Pixel(c.x, c.y + y), kGrey) << "left edge " << y;
    for (int x = 0; x < r; ++x) EXPECT_EQ(shot.Pixel(c.x + x, c.y), kGrey) << "top edge " << x;
    for (int y = 1; y < b - 1; ++y) EXPECT_EQ(shot.Pixel(c.x + r - 1, c.y + y), kWhite) << "right edge " << y;
    for (int x = 2; x < r; ++x) EXPECT_EQ(shot.Pixel(c.x + x, c.y + b - 1), kWhite) << "bottom edge " << x;
    // The image moves one pixel right and down.
    EXPECT_EQ(orvtest::DifferingPixels(shot, c.x + 1, c.y + 1, m_page, kTileX, skin::kPageNormalY, r - 2, b - 2), 0);
}

TEST_F(SkinControlsTest, ButtonReportsHoverAndRightPress) {
    MakeButton(TRUE);
    m_button.m_nLook = CSkinButton::kLookRaised;
    m_button.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    m_button.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(0, 5));  // on the edge: no hover
    m_button.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(5, 5));
    m_button.SendMessage(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
    m_button.SendMessage(WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
    ASSERT_EQ(m_host.m_notes.size(), 2u);
    EXPECT_EQ(m_host.m_notes[0].message, UM_BUTTONHOVER);
    EXPECT_EQ(m_host.m_notes[0].wParam, kButtonId);
    EXPECT_EQ(m_host.m_notes[1].message, UM_BUTTONRCLICK);
    EXPECT_EQ(m_host.m_notes[1].wParam, kButtonId);
    EXPECT_EQ(m_button.m_nLook, CSkinButton::kLookFlat);
}

// A quick hand's two clicks are two clicks, not a click and a double click.
TEST_F(SkinControlsTest, TwoQuickClicksOnAButtonClickTwice) {
    MakeButton(TRUE);
    ::SetForegroundWindow(m_host.m_hWnd);
    orvtest::ClickTwice(m_button.m_hWnd, POINT{20, 20}, 100);
    EXPECT_TRUE(orvtest::PumpUntil([&] { return m_host.m_nClicks >= 2; }, 3000)) << m_host.m_nClicks;
}

TEST_F(SkinControlsTest, ListReportsReleasesDragsDoubleClicksAndDrops) {
    ASSERT_TRUE(m_list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT, CRect(0, 0, 280, 180), &m_host, kListId));
    ::DragAcceptFiles(m_list.m_hWnd, TRUE);
    m_list.InsertColumn(0, "Song", LVCFMT_LEFT, 200);
    for (const char* name : {"one", "two", "three"}) m_list.InsertItem(m_list.GetItemCount(), name);
    CRect rcItem;
    ASSERT_TRUE(m_list.GetItemRect(1, &rcItem, LVIR_BOUNDS));
    const CPoint onSecond = rcItem.CenterPoint();
    m_list.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, 7));
    m_list.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(6, 8));  // no button: nothing
    m_list.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(6, 8));
    m_list.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(onSecond.x, onSecond.y));
    m_list.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(onSecond.x, 170));  // below the last item
    const std::vector<Note> expected = {
        {UM_LISTMOUSE, CSkinListCtrl::kMouseUp, MAKELPARAM(5, 7)},
        {UM_LISTMOUSE, CSkinListCtrl::kMouseDrag, MAKELPARAM(6, 8)},
        {UM_LISTMOUSE, CSkinListCtrl::kMouseDoubleClick, 1},
    };
    // Default handling may add releases of its own after a double click; only ours count.
    std::vector<Note> seen;
    for (const Note& n : m_host.m_notes)
        if (n.wParam != CSkinListCtrl::kMouseUp || n.lParam == MAKELPARAM(5, 7)) seen.push_back(n);
    ASSERT_EQ(seen.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(seen[i].wParam, expected[i].wParam) << i;
        EXPECT_EQ(seen[i].lParam, expected[i].lParam) << i;
    }
    m_host.m_notes.clear();
    ASSERT_TRUE(orvtest::PostDropFiles(m_list.m_hWnd, {"C:\\music\\a.mp3"}, POINT{10, 10}));
    ASSERT_TRUE(orvtest::PumpUntil([&] { return !m_host.m_notes.empty(); }, 3000));
    EXPECT_EQ(m_host.m_notes[0].message, UM_LISTDROPFILES);
}
