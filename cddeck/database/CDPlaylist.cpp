#include "CDPlaylist.h"

#include <algorithm>

#include "CDDisc.h"
#include "CDPlayerLink.h"
#include "Genres.h"
#include "SkinMessages.h"
#include "SkinText.h"
#include "TelmarIds.h"

namespace {

// Column widths: the title takes four fifths of the list less this, the length the rest.
constexpr int kSecondsPerMinute = 60;

// What an audition disables besides the sheet's tabs.
constexpr UINT kAuditionDisables[] = {IDC_CDPL_ALBUM,        IDC_CDPL_ARTIST,       IDC_CDPL_YEAR,
                                      IDC_CDPL_COMMENT,      IDC_CDPL_GENRE,        IDC_CDPL_ALBUM_LABEL,
                                      IDC_CDPL_ARTIST_LABEL, IDC_CDPL_YEAR_LABEL,   IDC_CDPL_GENRE_LABEL,
                                      IDC_CDPL_COMMENT_LABEL, IDOK,                 IDCANCEL};

}  // namespace

BEGIN_MESSAGE_MAP(CCDPlaylist, CCDSheetPage)
    ON_WM_DESTROY()
    ON_BN_CLICKED(IDC_CDPL_AUDITION, OnAudition)
    ON_MESSAGE(UM_AUDITIONCLOSED, OnAuditionClosed)
    ON_EN_CHANGE(IDC_CDPL_ALBUM, OnFieldChanged)
    ON_EN_CHANGE(IDC_CDPL_ARTIST, OnFieldChanged)
    ON_EN_CHANGE(IDC_CDPL_YEAR, OnFieldChanged)
    ON_EN_CHANGE(IDC_CDPL_COMMENT, OnFieldChanged)
    ON_CBN_SELCHANGE(IDC_CDPL_GENRE, OnFieldChanged)
    ON_BN_CLICKED(IDC_CDPL_LOOP, OnFieldChanged)
    ON_BN_CLICKED(IDC_CDPL_SHUFFLE, OnFieldChanged)
    ON_NOTIFY(LVN_ITEMCHANGED, IDC_CDPL_TRACKS, OnItemChanged)
    ON_NOTIFY(NM_DBLCLK, IDC_CDPL_TRACKS, OnListDoubleClick)
    ON_NOTIFY(LVN_BEGINLABELEDITA, IDC_CDPL_TRACKS, OnBeginLabelEdit)
    ON_NOTIFY(LVN_ENDLABELEDITA, IDC_CDPL_TRACKS, OnEndLabelEdit)
    ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTA, 0, static_cast<UINT_PTR>(-1), OnToolTipText)
END_MESSAGE_MAP()

CCDPlaylist::CCDPlaylist(CCDPlayerLink* pPlayer) : CCDSheetPage(IDD_CD_PLAYLIST), m_pPlayer(pPlayer) {}

CCDPlaylist::~CCDPlaylist() {
    CloseAudition();
}

BOOL CCDPlaylist::OnInitDialog() {
    CCDSheetPage::OnInitDialog();
    m_tracks.SubclassDlgItem(IDC_CDPL_TRACKS, this);
    m_genres.SubclassDlgItem(IDC_CDPL_GENRE, this);
    if (m_pPlayer) m_pDisc = &m_pPlayer->GetDisc();

    if (CreateListCheckImages(m_images)) m_tracks.SetImageList(&m_images, LVSIL_SMALL);
    m_tracks.InsertTrackColumns();
    FillGenres();
    Refresh();
    EnableToolTips(TRUE);
    return TRUE;
}

BOOL CCDPlaylist::OnSetActive() {
    Refresh();
    return CCDSheetPage::OnSetActive();
}

BOOL CCDPlaylist::OnKillActive() {
    AskToSave();
    return CCDSheetPage::OnKillActive();
}

void CCDPlaylist::OnOK() {
    if (m_bModified) Save();
    CloseSheet();
}

void CCDPlaylist::OnCancel() {
    AskToSave();
    CloseSheet();
}

void CCDPlaylist::OnDestroy() {
    CloseAudition();
    CCDSheetPage::OnDestroy();
}

void CCDPlaylist::CloseSheet() {
    CloseAudition();
    // Whatever was not saved now is dropped on purpose: no second question on the way out.
    m_bModified = 0;
    if (CPropertySheet* pSheet = GetSheet()) pSheet->DestroyWindow();
}

void CCDPlaylist::AskToSave() {
    if (!m_bModified) return;
    // The question is whether to discard: No keeps the edits by saving them.
    if (ShowMessage(this, IDS_ASK_DISCARD_DISC_EDITS, MB_YESNO | MB_ICONQUESTION) == IDNO) Save();
}

// ---- player notifications ------------------------------------------------------

BOOL CCDPlaylist::IsPlayerPlaying() const {
    return m_pPlayer && m_pPlayer->IsPlayerPlaying();
}

void CCDPlaylist::OnPlayingChanged(BOOL) {
    EnableAudition();
}

void CCDPlaylist::OnDiscChanged() {
    if (!m_hWnd || !m_pDisc) return;
    // Unsaved edits survive the drive being emptied and the same disc read again; they
    // belong to that disc. Another disc replaces them.
    if (m_bModified && (m_pDisc->m_strIdentifier.IsEmpty() || m_pDisc->m_strIdentifier == m_strFilledIdentifier))
        return;
    Refresh();
}

void CCDPlaylist::OnPlayModeChanged(int nMode) {
    if (!m_hWnd) return;
    ::CheckDlgButton(m_hWnd, IDC_CDPL_LOOP, (nMode & kCdModeLoop) ? BST_CHECKED : BST_UNCHECKED);
    ::CheckDlgButton(m_hWnd, IDC_CDPL_SHUFFLE, (nMode & kCdModeShuffle) ? BST_CHECKED : BST_UNCHECKED);
}

void CCDPlaylist::EnableAudition() {
    if (CWnd* pButton = GetDlgItem(IDC_CDPL_AUDITION)) pButton->EnableWindow(!IsPlayerPlaying());
}

// ---- filling -------------------------------------------------------------------

void CCDPlaylist::FillGenres() {
    m_genres.ResetContent();
    for (int nGenre = 0; nGenre < kGenreCount; ++nGenre) {
        const int nItem = m_genres.AddString(g_apszGenreNames[nGenre]);
        if (nItem >= 0) m_genres.SetItemData(nItem, static_cast<DWORD_PTR>(nGenre));
    }
    m_genres.SetCurSel(0);
}

void CCDPlaylist::SelectGenre(const CString& strGenre) {
    if (strGenre.IsEmpty()) {
        m_genres.SetCurSel(0);
        return;
    }
    m_genres.SelectString(-1, strGenre);
}

void CCDPlaylist::Refresh() {
    if (!m_hWnd) return;
    m_bFilling = 1;
    static CCDDisc s_noDisc;
    const CCDDisc& disc = m_pDisc ? *m_pDisc : s_noDisc;
    SetDlgItemText(IDC_CDPL_ALBUM, disc.m_strAlbum);
    SetDlgItemText(IDC_CDPL_ARTIST, disc.m_strArtist);
    SetDlgItemText(IDC_CDPL_YEAR, disc.m_strYear);
    SetDlgItemText(IDC_CDPL_COMMENT, disc.m_strComment);
    SelectGenre(disc.m_strGenre);
    FillList();
    CString strTotal;
    strTotal.Format("%d:%.2d", disc.m_nTotalTime / kSecondsPerMinute, disc.m_nTotalTime % kSecondsPerMinute);
    SetDlgItemText(IDC_CDPL_TOTAL, strTotal);
    OnPlayModeChanged(disc.m_nMode);
    EnableAudition();
    m_strFilledIdentifier = disc.m_strIdentifier;
    m_bFilling = 0;
    m_bModified = 0;
}

void CCDPlaylist::FillList() {
    m_tracks.DeleteAllItems();
    // The records are what the device reported, even when a read stopped early.
    const int nCount = m_pDisc ? std::min<int>(m_pDisc->m_nTrackCount, static_cast<int>(m_pDisc->m_tracks.size())) : 0;
    m_marks.assign(static_cast<size_t>(nCount), 0);
    for (int i = 0; i < nCount; ++i) {
        const CCDTrack* pTrack = m_pDisc->TrackAt(i);
        const BYTE mark = m_pDisc->IsSelected(i + 1) ? 1 : 0;
        m_marks[static_cast<size_t>(i)] = mark;
        m_tracks.AddTrack(i, *pTrack, mark ? kListImageChecked : kListImageUnchecked);
    }
}

// ---- saving --------------------------------------------------------------------

BOOL CCDPlaylist::IsChecked(UINT nId) const {
    return ::IsDlgButtonChecked(m_hWnd, static_cast<int>(nId)) == BST_CHECKED;
}

int CCDPlaylist::PageMode() const {
    return (IsChecked(IDC_CDPL_LOOP) ? kCdModeLoop : kCdModePlain) | (IsChecked(IDC_CDPL_SHUFFLE) ? kCdModeShuffle : 0);
}

void CCDPlaylist::Save() {
    if (!m_hWnd || !m_pDisc) return;
    // Edits kept over an empty drive wait for their disc: they are not written into
    // whatever the model holds now.
    if (m_pDisc->m_strIdentifier != m_strFilledIdentifier) return;
    CCDDisc& disc = *m_pDisc;
    GetDlgItemText(IDC_CDPL_ALBUM, disc.m_strAlbum);
    GetDlgItemText(IDC_CDPL_ARTIST, disc.m_strArtist);
    GetDlgItemText(IDC_CDPL_YEAR, disc.m_strYear);
    GetDlgItemText(IDC_CDPL_COMMENT, disc.m_strComment);
    // A typed name that is not in the list leaves the stored genre as it was.
    const int nGenre = m_genres.GetCurSel();
    if (nGenre != CB_ERR) m_genres.GetLBText(nGenre, disc.m_strGenre);

    const BOOL bPlaying = IsPlayerPlaying();
    const int nCount = std::min<int>(m_tracks.GetItemCount(), static_cast<int>(disc.m_tracks.size()));
    if (!bPlaying) {
        disc.SetSelectionFromMarks(m_marks);
        if (m_pPlayer) m_pPlayer->OnSelectionChanged();
    } else {
        bool bSame = true;
        for (int i = 0; i < static_cast<int>(m_marks.size()); ++i)
            if ((m_marks[static_cast<size_t>(i)] != 0) != (disc.IsSelected(i + 1) != 0)) bSame = false;
        if (!bSame) ShowMessage(this, IDS_SELECTION_KEPT, MB_ICONINFORMATION);
    }
    for (int i = 0; i < nCount; ++i) disc.TrackAt(i)->SetTitle(m_tracks.Title(i));

    const int nMode = PageMode();
    if (nMode != disc.m_nMode) {
        if (m_pPlayer) m_pPlayer->SetPlayMode(nMode);
        else disc.m_nMode = nMode;
    }
    disc.SaveToDatabase();
    if (bPlaying && m_pPlayer) m_pPlayer->OnTitlesChanged();
    m_bModified = 0;
}

// ---- the list ------------------------------------------------------------------

void CCDPlaylist::OnFieldChanged() {
    if (!m_bFilling) m_bModified = 1;
}

void CCDPlaylist::ToggleMark(int nIndex) {
    if (nIndex < 0 || static_cast<size_t>(nIndex) >= m_marks.size()) return;
    BYTE& mark = m_marks[static_cast<size_t>(nIndex)];
    mark = mark ? 0 : 1;
    m_tracks.SetItemImage(nIndex, mark ? kListImageChecked : kListImageUnchecked);
    m_bModified = 1;
}

void CCDPlaylist::OnItemChanged(NMHDR* pHdr, LRESULT* pResult) {
    *pResult = 0;
    const auto* pView = reinterpret_cast<const NMLISTVIEW*>(pHdr);
    if (m_bFilling || IsPlayerPlaying() || !(pView->uChanged & LVIF_STATE)) return;
    if ((pView->uNewState & LVIS_SELECTED) && !(pView->uOldState & LVIS_SELECTED)) ToggleMark(pView->iItem);
}

void CCDPlaylist::OnListDoubleClick(NMHDR*, LRESULT* pResult) {
    *pResult = 0;
    m_tracks.EditSelectedTitle();
}

void CCDPlaylist::OnBeginLabelEdit(NMHDR* pHdr, LRESULT* pResult) {
    m_tracks.BeginTitleEdit(reinterpret_cast<const NMLVDISPINFOA*>(pHdr)->item.iItem);
    *pResult = FALSE;
}

void CCDPlaylist::OnEndLabelEdit(NMHDR* pHdr, LRESULT* pResult) {
    *pResult = FALSE;
    if (m_tracks.EndTitleEdit(*reinterpret_cast<const NMLVDISPINFOA*>(pHdr))) m_bModified = 1;
}

// ---- audition -----------------------------------------------------------------

void CCDPlaylist::OnAudition() {
    if (m_pAudition || !m_pDisc || IsPlayerPlaying()) return;
    const int nItem = m_tracks.GetNextItem(-1, LVNI_SELECTED);
    if (nItem < 0 || nItem >= static_cast<int>(m_pDisc->m_tracks.size())) return;
    if (m_pPlayer) m_pPlayer->ReleaseDevice();
    m_pAudition = std::make_unique<CCDAuditionDlg>(*m_pDisc->TrackAt(nItem), this);
    if (!m_pAudition->Open()) {
        m_pAudition.reset();
        ShowMessage(this, IDS_AUDITION_CREATE_FAILED, MB_ICONEXCLAMATION);
        if (m_pPlayer) m_pPlayer->ReclaimDevice();
        return;
    }
    if (!m_pAudition->m_hWnd) return;  // it ended in its initialisation; its notice is on the way
    PlaceAudition();
    m_pAudition->ShowWindow(SW_SHOW);
    if (CPropertySheet* pSheet = GetSheet())
        if (CWnd* pTabs = pSheet->GetTabControl()) pTabs->EnableWindow(FALSE);
}

void CCDPlaylist::OnAuditionPlaying() {
    EnableDuringAudition(FALSE);
}

LRESULT CCDPlaylist::OnAuditionClosed(WPARAM, LPARAM) {
    CloseAudition();
    return 0;
}

void CCDPlaylist::CloseAudition() {
    if (!m_pAudition) return;
    if (m_pAudition->m_hWnd) m_pAudition->DestroyWindow();
    m_pAudition.reset();
    if (m_pPlayer) m_pPlayer->ReclaimDevice();
    if (!m_hWnd) return;
    EnableDuringAudition(TRUE);
    if (CPropertySheet* pSheet = GetSheet())
        if (CWnd* pTabs = pSheet->GetTabControl()) pTabs->EnableWindow(TRUE);
}

void CCDPlaylist::EnableDuringAudition(BOOL bEnable) {
    for (UINT nId : kAuditionDisables)
        if (CWnd* pItem = GetDlgItem(static_cast<int>(nId))) pItem->EnableWindow(bEnable);
}

void CCDPlaylist::OnSheetMoved() {
    PlaceAudition();
}

void CCDPlaylist::PlaceAudition() {
    if (!m_pAudition || !m_pAudition->m_hWnd) return;
    CWnd* pFrame = GetDlgItem(IDC_CDPL_FRAME);
    if (!pFrame) return;
    CRect rcFrame;
    pFrame->GetWindowRect(&rcFrame);
    m_pAudition->PlaceOver(rcFrame);
}

// ---- tooltips ------------------------------------------------------------------

UINT CCDPlaylist::TipTextFor(UINT nId) const {
    switch (nId) {
    case IDOK: return IDS_TIP_CD_OK;
    case IDCANCEL: return IDS_TIP_CD_CANCEL;
    case IDC_CDPL_AUDITION: {
        const CWnd* pButton = GetDlgItem(IDC_CDPL_AUDITION);
        return pButton && pButton->IsWindowEnabled() ? IDS_TIP_CD_AUDITION : 0;
    }
    case IDC_CDPL_LOOP: return IsChecked(nId) ? IDS_TIP_LOOP_ON : IDS_TIP_LOOP_OFF;
    case IDC_CDPL_SHUFFLE: return IsChecked(nId) ? IDS_TIP_SHUFFLE_ON : IDS_TIP_SHUFFLE_OFF;
    default: return 0;
    }
}

BOOL CCDPlaylist::OnToolTipText(UINT_PTR, NMHDR* pHdr, LRESULT* pResult) {
    const UINT nId = ToolTipControlId(pHdr);
    const UINT nText = nId ? TipTextFor(nId) : 0;
    if (!nText) return FALSE;
    AnswerToolTip(pHdr, nText, m_strTip);
    *pResult = 0;
    return TRUE;
}
