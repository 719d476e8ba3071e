#include "SelectSongDlg.h"

#include "PlaylistModel.h"

namespace {

constexpr int kSeconds = 60;

}  // namespace

BEGIN_MESSAGE_MAP(CSelectSongDlg, CDialog)
    ON_NOTIFY(NM_DBLCLK, IDC_PLAYLIST_ROWS, OnRowDoubleClick)
END_MESSAGE_MAP()

CSelectSongDlg::CSelectSongDlg(CWnd* pParent) : CDialog(IDD, pParent) {}

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

    const CSongList& songs = GetPlaylistModel()->m_songList;
    for (int i = 0; i < songs.GetCount(); ++i) {
        const CSongEntry* pEntry = songs.GetAt(i);
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

void CSelectSongDlg::OnRowDoubleClick(NMHDR*, LRESULT* pResult) {
    *pResult = 0;
    OnOK();
}
