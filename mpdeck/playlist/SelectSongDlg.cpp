#include "SelectSongDlg.h"

#include "SongEntry.h"

namespace {

constexpr int kSeconds = 60;

}  // namespace

BEGIN_MESSAGE_MAP(CSelectSongDlg, CDialog)
    ON_NOTIFY(NM_DBLCLK, IDC_PLAYLIST_ROWS, OnRowDoubleClick)
END_MESSAGE_MAP()

CSelectSongDlg::CSelectSongDlg(const CSongList& songs, CWnd* pParent) : CDialog(IDD, pParent), m_songs(songs) {}

// The same columns as the playlist page, sized from the list's width.
void CSelectSongDlg::InsertColumns() {
    CRect rcList;
    m_listSongs.GetWindowRect(&rcList);
    const int w = rcList.Width();
    m_listSongs.InsertColumn(0, "Song", LVCFMT_LEFT, (6 * w) / 8 - 20);
    m_listSongs.InsertColumn(1, "Length", LVCFMT_LEFT, w / 8 + 10);
    m_listSongs.InsertColumn(2, "Type", LVCFMT_LEFT, w / 8 + 10);
}

BOOL CSelectSongDlg::OnInitDialog() {
    m_listSongs.SubclassDlgItem(IDC_PLAYLIST_ROWS, this);
    InsertColumns();

    for (int i = 0; i < m_songs.GetCount(); ++i) {
        const CSongEntry* pEntry = m_songs.GetAt(i);
        CString strLabel;
        strLabel.Format("<%.3d>  %s", i + 1, pEntry->m_strPath.GetString());
        CString strLength;
        strLength.Format("%.2d:%.2d", static_cast<int>(pEntry->m_nLength / kSeconds),
                         static_cast<int>(pEntry->m_nLength % kSeconds));
        m_listSongs.InsertItem(i, strLabel);
        m_listSongs.SetItemText(i, 1, strLength);
        m_listSongs.SetItemText(i, 2, CSongEntry::TypeText(pEntry->m_nType));
    }
    return TRUE;
}

void CSelectSongDlg::OnOK() {
    const int nRow = m_listSongs.GetNextItem(-1, LVNI_SELECTED);
    if (nRow >= 0) m_nSelected = nRow;
    EndDialog(IDOK);
}

void CSelectSongDlg::OnRowDoubleClick(NMHDR* pHdr, LRESULT* pResult) {
    *pResult = 0;
    // Below the last row the list reports no item; only a row chooses.
    if (reinterpret_cast<const NMITEMACTIVATE*>(pHdr)->iItem < 0) return;
    OnOK();
}
