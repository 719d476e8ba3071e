#include "fw/ListCtrl.h"

#include <vector>

namespace {

LPARAM Ptr(const void* p) {
    return reinterpret_cast<LPARAM>(p);
}

}  // namespace

BOOL CListCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CWnd::Create(WC_LISTVIEWA, nullptr, dwStyle, rect, pParentWnd, nID);
}

int CListCtrl::InsertColumn(int nCol, LPCSTR lpszColumnHeading, int nFormat, int nWidth, int nSubItem) {
    LVCOLUMNA col = {};
    col.mask = LVCF_FMT | LVCF_TEXT;
    col.fmt = nFormat;
    col.pszText = const_cast<LPSTR>(lpszColumnHeading);
    if (nWidth != -1) {
        col.mask |= LVCF_WIDTH;
        col.cx = nWidth;
    }
    if (nSubItem != -1) {
        col.mask |= LVCF_SUBITEM;
        col.iSubItem = nSubItem;
    }
    return static_cast<int>(SendMessage(LVM_INSERTCOLUMNA, nCol, Ptr(&col)));
}

BOOL CListCtrl::DeleteColumn(int nCol) { return static_cast<BOOL>(SendMessage(LVM_DELETECOLUMN, nCol)); }
int CListCtrl::GetColumnWidth(int nCol) const { return static_cast<int>(SendMessage(LVM_GETCOLUMNWIDTH, nCol)); }

BOOL CListCtrl::SetColumnWidth(int nCol, int cx) {
    return static_cast<BOOL>(SendMessage(LVM_SETCOLUMNWIDTH, nCol, MAKELPARAM(cx, 0)));
}

int CListCtrl::GetItemCount() const { return static_cast<int>(SendMessage(LVM_GETITEMCOUNT)); }

int CListCtrl::InsertItem(int nItem, LPCSTR lpszItem, int nImage) {
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.iItem = nItem;
    item.pszText = const_cast<LPSTR>(lpszItem);
    if (nImage != -1) {
        item.mask |= LVIF_IMAGE;
        item.iImage = nImage;
    }
    return InsertItem(&item);
}

int CListCtrl::InsertItem(const LVITEMA* pItem) {
    return static_cast<int>(SendMessage(LVM_INSERTITEMA, 0, Ptr(pItem)));
}

BOOL CListCtrl::DeleteItem(int nItem) { return static_cast<BOOL>(SendMessage(LVM_DELETEITEM, nItem)); }
BOOL CListCtrl::DeleteAllItems() { return static_cast<BOOL>(SendMessage(LVM_DELETEALLITEMS)); }

CString CListCtrl::GetItemText(int nItem, int nSubItem) const {
    // The control copies at most the buffer size; grow until the text fits.
    for (int size = 256; size <= 65536; size *= 4) {
        std::vector<char> buffer(size, '\0');
        LVITEMA item = {};
        item.iSubItem = nSubItem;
        item.pszText = buffer.data();
        item.cchTextMax = size;
        const int length = static_cast<int>(SendMessage(LVM_GETITEMTEXTA, nItem, Ptr(&item)));
        if (length < size - 1) return CString(buffer.data(), length);
    }
    return CString();
}

BOOL CListCtrl::SetItemText(int nItem, int nSubItem, LPCSTR lpszText) {
    LVITEMA item = {};
    item.iSubItem = nSubItem;
    item.pszText = const_cast<LPSTR>(lpszText);
    return static_cast<BOOL>(SendMessage(LVM_SETITEMTEXTA, nItem, Ptr(&item)));
}

DWORD_PTR CListCtrl::GetItemData(int nItem) const {
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = nItem;
    if (!GetItem(&item)) return 0;
    return static_cast<DWORD_PTR>(item.lParam);
}

BOOL CListCtrl::SetItemData(int nItem, DWORD_PTR dwData) {
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = nItem;
    item.lParam = static_cast<LPARAM>(dwData);
    return SetItem(&item);
}

BOOL CListCtrl::GetItem(LVITEMA* pItem) const {
    return static_cast<BOOL>(SendMessage(LVM_GETITEMA, 0, Ptr(pItem)));
}

BOOL CListCtrl::SetItem(const LVITEMA* pItem) {
    return static_cast<BOOL>(SendMessage(LVM_SETITEMA, 0, Ptr(pItem)));
}

int CListCtrl::GetItemImage(int nItem) const {
    LVITEMA item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = nItem;
    if (!GetItem(&item)) return -1;
    return item.iImage;
}

BOOL CListCtrl::SetItemImage(int nItem, int nImage) {
    LVITEMA item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = nItem;
    item.iImage = nImage;
    return SetItem(&item);
}

UINT CListCtrl::GetItemState(int nItem, UINT nMask) const {
    return static_cast<UINT>(SendMessage(LVM_GETITEMSTATE, nItem, nMask));
}

BOOL CListCtrl::SetItemState(int nItem, UINT nState, UINT nMask) {
    LVITEMA item = {};
    item.state = nState;
    item.stateMask = nMask;
    return static_cast<BOOL>(SendMessage(LVM_SETITEMSTATE, nItem, Ptr(&item)));
}

int CListCtrl::GetNextItem(int nItem, int nFlags) const {
    return static_cast<int>(SendMessage(LVM_GETNEXTITEM, nItem, MAKELPARAM(nFlags, 0)));
}

UINT CListCtrl::GetSelectedCount() const { return static_cast<UINT>(SendMessage(LVM_GETSELECTEDCOUNT)); }

HIMAGELIST CListCtrl::SetImageList(CImageList* pImageList, int nImageListType) {
    ModifyStyle(0, LVS_SHAREIMAGELISTS);
    return reinterpret_cast<HIMAGELIST>(
        SendMessage(LVM_SETIMAGELIST, nImageListType, Ptr(pImageList ? pImageList->m_hImageList : nullptr)));
}

HIMAGELIST CListCtrl::GetImageList(int nImageListType) const {
    return reinterpret_cast<HIMAGELIST>(SendMessage(LVM_GETIMAGELIST, nImageListType));
}

BOOL CListCtrl::GetItemRect(int nItem, LPRECT lpRect, UINT nCode) const {
    lpRect->left = static_cast<LONG>(nCode);
    return static_cast<BOOL>(SendMessage(LVM_GETITEMRECT, nItem, Ptr(lpRect)));
}

int CListCtrl::HitTest(POINT pt, UINT* pFlags) const {
    LVHITTESTINFO info = {};
    info.pt = pt;
    const int item = static_cast<int>(SendMessage(LVM_HITTEST, 0, Ptr(&info)));
    if (pFlags) *pFlags = info.flags;
    return item;
}

BOOL CListCtrl::Scroll(SIZE size) { return static_cast<BOOL>(SendMessage(LVM_SCROLL, size.cx, size.cy)); }

BOOL CListCtrl::EnsureVisible(int nItem, BOOL bPartialOK) {
    return static_cast<BOOL>(SendMessage(LVM_ENSUREVISIBLE, nItem, bPartialOK));
}

int CListCtrl::GetTopIndex() const { return static_cast<int>(SendMessage(LVM_GETTOPINDEX)); }
int CListCtrl::GetCountPerPage() const { return static_cast<int>(SendMessage(LVM_GETCOUNTPERPAGE)); }

BOOL CListCtrl::RedrawItems(int nFirst, int nLast) {
    return static_cast<BOOL>(SendMessage(LVM_REDRAWITEMS, nFirst, nLast));
}

BOOL CListCtrl::Update(int nItem) { return static_cast<BOOL>(SendMessage(LVM_UPDATE, nItem)); }

DWORD CListCtrl::SetExtendedStyle(DWORD dwNewStyle) {
    return static_cast<DWORD>(SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, dwNewStyle));
}

CEdit* CListCtrl::WrapEdit(HWND hEdit) const {
    if (!hEdit) return nullptr;
    if (m_edit.m_hWnd != hEdit) {
        if (m_edit.m_hWnd) m_edit.UnsubclassWindow();
        // Subclassed rather than attached, so that the wrapper lets go when the list
        // control destroys its edit at the end of editing.
        if (!m_edit.SubclassWindow(hEdit)) return nullptr;
    }
    return &m_edit;
}

CEdit* CListCtrl::EditLabel(int nItem) {
    SetFocus();
    return WrapEdit(reinterpret_cast<HWND>(SendMessage(LVM_EDITLABELA, nItem)));
}

CEdit* CListCtrl::GetEditControl() const {
    return WrapEdit(reinterpret_cast<HWND>(SendMessage(LVM_GETEDITCONTROL)));
}

BOOL CListCtrl::CancelEditLabel() {
    SendMessage(LVM_CANCELEDITLABEL);
    return TRUE;
}
