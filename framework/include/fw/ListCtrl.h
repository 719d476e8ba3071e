// CListCtrl: the list view common control, as the pages use it in report view.
#pragma once

#include "fw/Controls.h"

class CListCtrl : public CWnd {
public:
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    // Columns.
    int InsertColumn(int nCol, LPCSTR lpszColumnHeading, int nFormat = LVCFMT_LEFT, int nWidth = -1,
                     int nSubItem = -1);
    BOOL DeleteColumn(int nCol);
    int GetColumnWidth(int nCol) const;
    BOOL SetColumnWidth(int nCol, int cx);

    // Items and subitems.
    int GetItemCount() const;
    int InsertItem(int nItem, LPCSTR lpszItem, int nImage = -1);
    int InsertItem(const LVITEMA* pItem);
    BOOL DeleteItem(int nItem);
    BOOL DeleteAllItems();
    CString GetItemText(int nItem, int nSubItem) const;
    BOOL SetItemText(int nItem, int nSubItem, LPCSTR lpszText);
    DWORD_PTR GetItemData(int nItem) const;
    BOOL SetItemData(int nItem, DWORD_PTR dwData);
    BOOL GetItem(LVITEMA* pItem) const;
    BOOL SetItem(const LVITEMA* pItem);
    int GetItemImage(int nItem) const;
    BOOL SetItemImage(int nItem, int nImage);

    // States: LVIS_SELECTED, LVIS_FOCUSED, LVIS_DROPHILITED, ...
    UINT GetItemState(int nItem, UINT nMask) const;
    BOOL SetItemState(int nItem, UINT nState, UINT nMask);
    // The next item after nItem (-1: from the start) with the LVNI_ flags, or -1.
    int GetNextItem(int nItem, int nFlags) const;
    UINT GetSelectedCount() const;

    // Image lists stay owned by their CImageList: the control is told to share them.
    HIMAGELIST SetImageList(CImageList* pImageList, int nImageListType);
    HIMAGELIST GetImageList(int nImageListType) const;

    // Geometry and scrolling.
    BOOL GetItemRect(int nItem, LPRECT lpRect, UINT nCode) const;
    // The item at a client point, or -1; pFlags receives the LVHT_ flags.
    int HitTest(POINT pt, UINT* pFlags = nullptr) const;
    BOOL Scroll(SIZE size);
    BOOL EnsureVisible(int nItem, BOOL bPartialOK);
    int GetTopIndex() const;
    int GetCountPerPage() const;
    BOOL RedrawItems(int nFirst, int nLast);
    BOOL Update(int nItem);
    DWORD SetExtendedStyle(DWORD dwNewStyle);

    // In-place label editing (LVS_EDITLABELS): the parent gets LVN_BEGINLABELEDIT and
    // LVN_ENDLABELEDIT. The edit control wrapper is temporary.
    CEdit* EditLabel(int nItem);
    CEdit* GetEditControl() const;
    BOOL CancelEditLabel();

private:
    // Wrapper of the label edit control while editing lasts.
    mutable CEdit m_edit;
    CEdit* WrapEdit(HWND hEdit) const;
};
