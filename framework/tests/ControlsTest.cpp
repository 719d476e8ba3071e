// Combo boxes, list boxes, sliders and tooltips as the pages and dialogs drive them.
#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"
#include "fw/Framework.h"

namespace {

const UINT kIdCombo = 1020;
const UINT kIdList = 1004;
const UINT kIdSlider = 1073;

class CHostWnd : public CWnd {
public:
    UINT_PTR m_nTipId = 0;
    int m_nScrollCode = -1;
    CWnd* m_pScrolled = nullptr;

protected:
    BOOL OnToolTipText(UINT_PTR nID, NMHDR* pHdr, LRESULT* pResult) {
        auto* pInfo = reinterpret_cast<NMTTDISPINFOA*>(pHdr);
        if (!(pInfo->uFlags & TTF_IDISHWND)) return FALSE;
        m_nTipId = nID;
        lstrcpynA(pInfo->szText, "tip", sizeof pInfo->szText);
        *pResult = 0;
        return TRUE;
    }
    void OnHScroll(UINT nSBCode, UINT, CWnd* pScrollBar) {
        m_nScrollCode = static_cast<int>(nSBCode);
        m_pScrolled = pScrollBar;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CHostWnd, CWnd)
    ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTA, 0, static_cast<UINT_PTR>(-1), OnToolTipText)
    ON_WM_HSCROLL()
END_MESSAGE_MAP()

class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_host.CreateEx(0, nullptr, "controls", WS_POPUP | WS_VISIBLE, 30, 30, 400, 300, nullptr,
                                    nullptr));
    }
    CHostWnd m_host;
};

TEST_F(ControlsTest, ComboBoxPrefixSearchAndItemData) {
    CComboBox combo;
    ASSERT_TRUE(combo.Create(WS_VISIBLE | CBS_DROPDOWN | CBS_SORT | WS_VSCROLL, CRect(5, 5, 150, 200), &m_host,
                             kIdCombo));
    for (const char* genre : {"Rock", "Blues", "Rap", "Classic Rock"}) combo.SetItemData(combo.AddString(genre), 7);
    combo.SetItemData(combo.FindStringExact(-1, "Rap"), 15);
    EXPECT_EQ(combo.GetCount(), 4);
    CString text;
    combo.GetLBText(0, text);
    EXPECT_STREQ(text, "Blues") << "sorted";
    combo.GetLBText(9, text);
    EXPECT_STREQ(text, "");

    EXPECT_EQ(combo.SelectString(-1, "ra"), combo.FindStringExact(-1, "Rap")) << "prefix, any case";
    EXPECT_EQ(combo.GetItemData(combo.GetCurSel()), 15u);
    EXPECT_EQ(combo.SelectString(-1, "Jazz"), CB_ERR);
    combo.GetLBText(combo.GetCurSel(), text);
    EXPECT_STREQ(text, "Rap") << "no match keeps the selection";
}

TEST_F(ControlsTest, SortedListBoxFindsNamesIgnoringCase) {
    CListBox list;
    ASSERT_TRUE(list.Create(WS_VISIBLE | LBS_SORT | LBS_NOTIFY, CRect(5, 5, 150, 200), &m_host, kIdList));
    for (const char* name : {"Untitled", "party", "Chill"}) list.AddString(name);
    EXPECT_EQ(list.FindStringExact(-1, "PARTY"), 1);
    EXPECT_EQ(list.FindStringExact(-1, "Part"), LB_ERR);
    EXPECT_EQ(list.FindString(-1, "Part"), 1);
    EXPECT_EQ(list.SelectString(-1, "un"), 2);
    CString text;
    list.GetText(list.GetCurSel(), text);
    EXPECT_STREQ(text, "Untitled");
}

TEST_F(ControlsTest, SliderRangeTicksAndScrollMessages) {
    CSliderCtrl slider;
    ASSERT_TRUE(slider.Create(WS_VISIBLE | TBS_HORZ | TBS_AUTOTICKS, CRect(5, 5, 305, 35), &m_host, kIdSlider));
    slider.SetRange(0, 300);
    slider.SetTicFreq(30);
    slider.SetLineSize(15);
    slider.SetPageSize(30);
    EXPECT_EQ(slider.GetRangeMax(), 300);
    EXPECT_EQ(slider.GetNumTics(), 11u) << "every 30 seconds, both ends counted";
    slider.SetPos(75);
    EXPECT_EQ(slider.GetPos(), 75);
    slider.SetPos(500);
    EXPECT_EQ(slider.GetPos(), 300);

    slider.SetFocus();
    slider.SendMessage(WM_KEYDOWN, VK_LEFT, 0);  // the trackbar reports to its parent
    EXPECT_EQ(m_host.m_pScrolled, &slider) << "the permanent object, not a temporary one";
    EXPECT_EQ(m_host.m_nScrollCode, TB_LINEUP);
    EXPECT_EQ(slider.GetPos(), 285);
}

TEST_F(ControlsTest, ToolTipsByRectangleAndByWindow) {
    CToolTipCtrl tips;
    ASSERT_TRUE(tips.Create(&m_host));
    CRect hotspot(44, 148, 67, 171);
    EXPECT_TRUE(tips.AddTool(&m_host, "Exit", &hotspot, 2101));
    EXPECT_EQ(tips.GetToolCount(), 1);
    tips.DelTool(&m_host, 2101);
    EXPECT_EQ(tips.GetToolCount(), 0);

    CButton button;
    ASSERT_TRUE(button.Create("Close", WS_VISIBLE, CRect(5, 5, 80, 30), &m_host, IDCANCEL));
    ASSERT_TRUE(m_host.EnableToolTips(TRUE));
    // A tool given by window asks its parent for the text with the control's HWND as id.
    NMTTDISPINFOA info = {};
    info.hdr.hwndFrom = tips.m_hWnd;
    info.hdr.idFrom = reinterpret_cast<UINT_PTR>(button.m_hWnd);
    info.hdr.code = TTN_NEEDTEXTA;
    info.uFlags = TTF_IDISHWND;
    m_host.SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(m_host.m_nTipId, reinterpret_cast<UINT_PTR>(button.m_hWnd));
    EXPECT_STREQ(info.szText, "tip");
}

TEST_F(ControlsTest, ListScrollsByRows) {
    CListCtrl list;
    ASSERT_TRUE(list.Create(WS_VISIBLE | LVS_REPORT, CRect(5, 5, 300, 120), &m_host, 1032));
    list.InsertColumn(0, "Song", LVCFMT_LEFT, 250);
    for (int i = 0; i < 40; ++i) list.InsertItem(i, ("row " + std::to_string(i)).c_str());
    CRect row;
    list.GetItemRect(0, &row, LVIR_BOUNDS);
    EXPECT_EQ(list.GetTopIndex(), 0);
    list.Scroll(CSize(0, row.Height() * 3));
    EXPECT_EQ(list.GetTopIndex(), 3);
    list.Scroll(CSize(0, -row.Height()));
    EXPECT_EQ(list.GetTopIndex(), 2);
}

}  // namespace
