#include "OpenPlaylistDlg.h"

#include "PlaylistModel.h"
#include "SkinText.h"
#include "TelmarIds.h"

BEGIN_MESSAGE_MAP(COpenPlaylistDlg, CDialog)
    ON_BN_CLICKED(IDC_DELETE_PLAYLIST, OnDeletePlaylist)
    ON_NOTIFY(NM_DBLCLK, IDC_PLAYLIST_ROWS, OnRowDoubleClick)
    ON_NOTIFY(LVN_BEGINLABELEDITA, IDC_PLAYLIST_ROWS, OnBeginLabelEdit)
    ON_NOTIFY(LVN_ENDLABELEDITA, IDC_PLAYLIST_ROWS, OnEndLabelEdit)
END_MESSAGE_MAP()

COpenPlaylistDlg::COpenPlaylistDlg(CPlaylistModel& model, CWnd* pParent) : CDialog(IDD, pParent), m_model(model) {}

BOOL COpenPlaylistDlg::OnInitDialog() {
    m_listPlaylists.SubclassDlgItem(IDC_PLAYLIST_ROWS, this);

    const int nTotal = m_file.ReadTotal(kIndexSection, kMaxPlaylists);
    if (nTotal == 0) {
        // Ending before the dialog is shown: the user sees only the notice.
        ShowMessage(this, IDS_NO_SAVED_PLAYLISTS, MB_OK | MB_ICONINFORMATION);
        EndDialog(IDCANCEL);
        return TRUE;
    }

    CRect rcList;
    m_listPlaylists.GetClientRect(&rcList);
    m_listPlaylists.InsertColumn(0, "Playlist Name", LVCFMT_LEFT, rcList.Width());
    const std::vector<CString> names = m_file.ReadNumberedValues(kIndexSection, nTotal, kUntitled);
    for (size_t i = 0; i < names.size(); ++i) m_listPlaylists.InsertItem(static_cast<int>(i), names[i]);
    return TRUE;
}

BOOL COpenPlaylistDlg::GetChosenRow(int& nRow, CString& strName) const {
    nRow = m_listPlaylists.GetNextItem(-1, LVNI_SELECTED);
    if (nRow < 0) return FALSE;
    strName = m_listPlaylists.GetItemText(nRow, 0);
    return !strName.IsEmpty();
}

void COpenPlaylistDlg::OnOK() {
    int nRow = -1;
    CString strName;
    if (!GetChosenRow(nRow, strName)) return;
    m_model.m_strPlaylistName = strName;
    m_model.LoadPlaylist();
    EndDialog(IDOK);
}

void COpenPlaylistDlg::OnDeletePlaylist() {
    int nRow = -1;
    CString strName;
    if (!GetChosenRow(nRow, strName)) return;
    if (strName == m_model.m_strPlaylistName) {
        ShowMessage(this, IDS_PLAYLIST_IN_USE, MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (ShowMessage(this, IDS_ASK_DELETE_PLAYLIST, MB_YESNO | MB_ICONQUESTION, strName) == IDNO) return;

    m_file.DeleteSection(strName);
    RewriteIndexWithout(nRow);
}

// The index keys follow the rows, so names renamed in the list are written as shown.
void COpenPlaylistDlg::RewriteIndexWithout(int nRow) {
    const int nOldTotal = m_file.ReadTotal(kIndexSection, kMaxPlaylists);
    m_listPlaylists.DeleteItem(nRow);
    const int nRows = m_listPlaylists.GetItemCount();
    for (int i = 1; i < nOldTotal && i <= nRows; ++i) {
        m_file.WriteNumbered(kIndexSection, i, m_listPlaylists.GetItemText(i - 1, 0));
    }
    if (nOldTotal > 0) {
        m_file.DeleteNumbered(kIndexSection, nOldTotal);
        m_file.WriteInt(kIndexSection, kTotalKey, nOldTotal - 1);
    }
}

void COpenPlaylistDlg::OnRowDoubleClick(NMHDR*, LRESULT* pResult) {
    *pResult = 0;
    const int nRow = m_listPlaylists.GetNextItem(-1, LVNI_SELECTED);
    if (nRow < 0) return;
    // The list view edits labels only while it has the focus.
    m_listPlaylists.SetFocus();
    m_listPlaylists.EditLabel(nRow);
}

void COpenPlaylistDlg::OnBeginLabelEdit(NMHDR* pHdr, LRESULT* pResult) {
    const NMLVDISPINFOA* pInfo = reinterpret_cast<const NMLVDISPINFOA*>(pHdr);
    m_strEditedLabel = m_listPlaylists.GetItemText(pInfo->item.iItem, 0);
    *pResult = FALSE;
}

void COpenPlaylistDlg::OnEndLabelEdit(NMHDR* pHdr, LRESULT* pResult) {
    const NMLVDISPINFOA* pInfo = reinterpret_cast<const NMLVDISPINFOA*>(pHdr);
    *pResult = FALSE;
    // A cancelled edit has no text; the row keeps what it had.
    if (!pInfo->item.pszText) return;
    const CString strNew(pInfo->item.pszText);
    m_listPlaylists.SetItemText(pInfo->item.iItem, 0, strNew.IsEmpty() ? m_strEditedLabel : strNew);
}
