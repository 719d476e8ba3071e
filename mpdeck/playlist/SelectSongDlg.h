// CSelectSongDlg: a playlist as a list; after OK m_nSelected is the row chosen,
// counted from 0 (unchanged when none was selected).
#pragma once

#include "fw/Framework.h"

#include "PlaylistDialogIds.h"

class CSongList;

class CSelectSongDlg : public CDialog {
public:
    enum { IDD = IDD_SELECT_SONG };
    explicit CSelectSongDlg(const CSongList& songs, CWnd* pParent = nullptr);

    BOOL OnInitDialog() override;
    void OnOK() override;

    int m_nSelected = 0;

private:
    void OnRowDoubleClick(NMHDR* pHdr, LRESULT* pResult);
    void InsertColumns();

    const CSongList& m_songs;
    CListCtrl m_listSongs;

    DECLARE_MESSAGE_MAP()
};
