#include "TrackTitleList.h"

CString CTrackTitleList::Prefix(int nIndex) {
    CString strPrefix;
    strPrefix.Format("<%.2d> ", nIndex + 1);
    return strPrefix;
}

void CTrackTitleList::InsertTrackColumns() {
    CRect rcInside;
    GetClientRect(&rcInside);
    // The bar's room is kept also while it is hidden: a longer disc then adds no second bar.
    const int nWidth = rcInside.Width() - (GetStyle() & WS_VSCROLL ? 0 : ::GetSystemMetrics(SM_CXVSCROLL));
    InsertColumn(0, "Track", LVCFMT_LEFT, nWidth * (kColumnParts - 1) / kColumnParts - kColumnShift);
    InsertColumn(1, "Length", LVCFMT_LEFT, nWidth - (nWidth * (kColumnParts - 1) / kColumnParts - kColumnShift));
}

int CTrackTitleList::AddTrack(int nIndex, const CCDTrack& track, int nImage) {
    const int nItem = InsertItem(nIndex, Prefix(nIndex) + track.GetTitle(), nImage);
    CString strLength;
    strLength.Format("%.2d:%.2d", track.GetMinutes(), track.GetSeconds());
    SetItemText(nItem, 1, strLength);
    return nItem;
}

CString CTrackTitleList::Title(int nIndex) const {
    return GetItemText(nIndex, 0).Mid(kPrefixChars);
}

void CTrackTitleList::EditSelectedTitle() {
    const int nItem = GetNextItem(-1, LVNI_SELECTED);
    if (nItem >= 0) EditLabel(nItem);
}

void CTrackTitleList::BeginTitleEdit(int nItem) {
    m_strTitleBeforeEdit = Title(nItem);
    if (CEdit* pEdit = GetEditControl()) pEdit->SetWindowText(m_strTitleBeforeEdit);
}

BOOL CTrackTitleList::EndTitleEdit(const NMLVDISPINFOA& info) {
    if (!info.item.pszText) return FALSE;
    // The row text is set here, with its number; the list is told to keep it as it is.
    const CString strTyped(info.item.pszText);
    SetItemText(info.item.iItem, 0, Prefix(info.item.iItem) + (strTyped.IsEmpty() ? m_strTitleBeforeEdit : strTyped));
    return TRUE;
}
