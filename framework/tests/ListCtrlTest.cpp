// The list view in report view: rows, states, hit tests, in-place label editing and
// image lists, inside a dialog from a template.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "fw/Framework.h"
#include "fw_test_ids.h"

namespace {

class CListDlg : public CDialog {
public:
    CListDlg() : CDialog(IDD_FW_LIST) {}
    CListCtrl m_list;
    CString m_strBegin;
    std::vector<std::string> m_ends;  // "<none>" when editing was cancelled

protected:
    BOOL OnInitDialog() override {
        m_list.SubclassDlgItem(IDC_FW_LIST, this);
        CRect rect;
        m_list.GetWindowRect(&rect);
        m_list.InsertColumn(0, "Song", LVCFMT_LEFT, rect.Width() / 2);
        m_list.InsertColumn(1, "Length", LVCFMT_LEFT, rect.Width() / 4);
        m_list.InsertColumn(2, "Type", LVCFMT_LEFT, rect.Width() / 4);
        const char* songs[] = {"<001>  C:\\a.mp3", "<002>  C:\\b.wav", "<003>  C:\\c.mp3"};
        for (int i = 0; i < 3; ++i) {
            m_list.InsertItem(i, songs[i]);
            m_list.SetItemText(i, 1, "03:25");
            m_list.SetItemText(i, 2, i == 1 ? "WAVE" : "MPEG");
            m_list.SetItemData(i, 100 + i);
        }
        return TRUE;
    }
    void OnBeginLabelEdit(NMHDR* pHdr, LRESULT* pResult) {
        const auto* pInfo = reinterpret_cast<const NMLVDISPINFOA*>(pHdr);
        m_strBegin = m_list.GetItemText(pInfo->item.iItem, 0);
        *pResult = FALSE;  // allow
    }
    void OnEndLabelEdit(NMHDR* pHdr, LRESULT* pResult) {
        const auto* pInfo = reinterpret_cast<const NMLVDISPINFOA*>(pHdr);
        m_ends.push_back(pInfo->item.pszText ? pInfo->item.pszText : "<none>");
        // An empty name keeps the old text.
        *pResult = pInfo->item.pszText && pInfo->item.pszText[0] ? TRUE : FALSE;
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CListDlg, CDialog)
    ON_NOTIFY(LVN_BEGINLABELEDIT, IDC_FW_LIST, OnBeginLabelEdit)
    ON_NOTIFY(LVN_ENDLABELEDIT, IDC_FW_LIST, OnEndLabelEdit)
END_MESSAGE_MAP()

class ListCtrlTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dlg.Create(IDD_FW_LIST));
        m_dlg.ShowWindow(SW_SHOW);
        m_dlg.SetForegroundWindow();
        orvtest::PumpFor(50);
    }
    // Starts editing row nItem, types the text and ends with Enter (or Esc).
    void EditRow(int nItem, const char* pszText, UINT nEndKey = VK_RETURN) {
        CEdit* pEdit = m_dlg.m_list.EditLabel(nItem);
        ASSERT_NE(pEdit, nullptr);
        HWND hEdit = pEdit->m_hWnd;
        pEdit->SetWindowText(pszText);
        ::SendMessageA(hEdit, WM_KEYDOWN, nEndKey, 0);
        orvtest::PumpUntil([&] { return !::IsWindow(hEdit); }, 2000);
    }
    CListDlg m_dlg;
};

TEST_F(ListCtrlTest, RowsSubitemsAndItemData) {
    CListCtrl& list = m_dlg.m_list;
    EXPECT_EQ(list.GetItemCount(), 3);
    EXPECT_STREQ(list.GetItemText(1, 0), "<002>  C:\\b.wav");
    EXPECT_STREQ(list.GetItemText(1, 2), "WAVE");
    EXPECT_EQ(list.GetItemData(2), 102u);
    const CString longText(std::string(600, 'x').c_str());
    list.SetItemText(0, 1, longText);
    EXPECT_EQ(list.GetItemText(0, 1).GetLength(), 600) << "long cells come back whole";
    list.DeleteItem(0);
    EXPECT_EQ(list.GetItemData(0), 101u);
}

TEST_F(ListCtrlTest, SelectionAndDropHighlightStates) {
    CListCtrl& list = m_dlg.m_list;
    list.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
    list.SetItemState(2, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(list.GetSelectedCount(), 2u);
    EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 0);
    EXPECT_EQ(list.GetNextItem(0, LVNI_SELECTED), 2);
    EXPECT_EQ(list.GetNextItem(2, LVNI_SELECTED), -1);

    // Drag feedback moves the drop highlight from row to row.
    list.SetItemState(1, LVIS_DROPHILITED, LVIS_DROPHILITED);
    EXPECT_EQ(list.GetNextItem(-1, LVNI_DROPHILITED), 1);
    list.SetItemState(1, 0, LVIS_DROPHILITED);
    list.SetItemState(2, LVIS_DROPHILITED, LVIS_DROPHILITED);
    EXPECT_EQ(list.GetItemState(1, LVIS_DROPHILITED), 0u);
    EXPECT_EQ(list.GetItemState(2, LVIS_DROPHILITED), static_cast<UINT>(LVIS_DROPHILITED));
    EXPECT_EQ(list.GetItemState(2, LVIS_SELECTED), static_cast<UINT>(LVIS_SELECTED)) << "other states kept";
}

TEST_F(ListCtrlTest, HitTestFindsRowsAndNothingBelowThem) {
    CListCtrl& list = m_dlg.m_list;
    CRect row;
    ASSERT_TRUE(list.GetItemRect(1, &row, LVIR_BOUNDS));
    EXPECT_GT(row.Height(), 0);
    EXPECT_EQ(list.HitTest(row.CenterPoint()), 1);
    CRect last;
    list.GetItemRect(2, &last, LVIR_BOUNDS);
    UINT flags = 0;
    EXPECT_EQ(list.HitTest(CPoint(last.left + 5, last.bottom + 3 * last.Height()), &flags), -1);
    EXPECT_TRUE(flags & LVHT_NOWHERE);
}

TEST_F(ListCtrlTest, InPlaceEditRenamesAndEmptyTextKeepsTheOldName) {
    EditRow(1, "Party");
    EXPECT_STREQ(m_dlg.m_strBegin, "<002>  C:\\b.wav");
    ASSERT_EQ(m_dlg.m_ends, (std::vector<std::string>{"Party"})) << "the ANSI notification reached the map";
    EXPECT_STREQ(m_dlg.m_list.GetItemText(1, 0), "Party");

    EditRow(1, "");
    EXPECT_STREQ(m_dlg.m_list.GetItemText(1, 0), "Party");

    EditRow(0, "Ignored", VK_ESCAPE);
    EXPECT_EQ(m_dlg.m_ends.back(), "<none>");
    EXPECT_STREQ(m_dlg.m_list.GetItemText(0, 0), "<001>  C:\\a.mp3");
    EXPECT_EQ(m_dlg.m_list.GetEditControl(), nullptr);
}

TEST_F(ListCtrlTest, ImageListsStayOwnedByTheirObject) {
    CImageList images;
    ASSERT_TRUE(images.Create(16, 16, ILC_COLOR24 | ILC_MASK, 2, 2));
    CBitmap bitmap;
    {
        CClientDC screen(nullptr);
        ASSERT_TRUE(bitmap.CreateCompatibleBitmap(screen, 32, 16));
    }
    EXPECT_EQ(images.Add(&bitmap, RGB(255, 0, 255)), 0);
    EXPECT_EQ(images.GetImageCount(), 2);
    m_dlg.m_list.SetImageList(&images, LVSIL_SMALL);
    m_dlg.m_list.SetItemImage(2, 1);
    EXPECT_EQ(m_dlg.m_list.GetItemImage(2), 1);
    m_dlg.DestroyWindow();
    EXPECT_EQ(images.GetImageCount(), 2) << "the list did not destroy our image list";
}

TEST(Menu, LoadedMenuGivesItsPopupAndGreysItems) {
    CMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_FW_MENU));
    CMenu* pPopup = menu.GetSubMenu(0);
    ASSERT_NE(pPopup, nullptr);
    EXPECT_EQ(menu.GetSubMenu(0), pPopup);
    EXPECT_EQ(pPopup->GetMenuItemCount(), 2);
    EXPECT_EQ(pPopup->GetMenuItemID(0), static_cast<UINT>(ID_FW_FIRST));
    pPopup->EnableMenuItem(ID_FW_FIRST, MF_BYCOMMAND | MF_GRAYED);
    EXPECT_TRUE(pPopup->GetMenuState(ID_FW_FIRST, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_FALSE(pPopup->GetMenuState(ID_FW_SECOND, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_FALSE(CMenu().LoadMenu(4242));
}

TEST(Menu, TrackPopupMenuReturnsTheChosenCommand) {
    CWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, nullptr, "owner", WS_POPUP | WS_VISIBLE, 100, 100, 50, 50, nullptr, nullptr));
    owner.SetForegroundWindow();
    CMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_FW_MENU));
    // The menu runs its own loop; keys posted before it starts choose the second item.
    ::PostMessageA(owner.m_hWnd, WM_KEYDOWN, VK_DOWN, 0);
    ::PostMessageA(owner.m_hWnd, WM_KEYDOWN, VK_DOWN, 0);
    ::PostMessageA(owner.m_hWnd, WM_KEYDOWN, VK_RETURN, 0);
    const BOOL command = menu.GetSubMenu(0)->TrackPopupMenu(TPM_RETURNCMD | TPM_LEFTALIGN, 110, 110, &owner);
    EXPECT_EQ(command, ID_FW_SECOND);
}

}  // namespace
