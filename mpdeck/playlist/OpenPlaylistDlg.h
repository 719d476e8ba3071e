// COpenPlaylistDlg: lists the playlist index, opens or deletes a playlist, and lets
// the user rename a row in place (the rename touches only the list). On OK the
// model holds the chosen playlist; the caller measures it and takes its play mode.
#pragma once

#include "fw/Framework.h"

#include "PlaylistDialogIds.h"
#include "PlaylistFile.h"

class CPlaylistModel;

class COpenPlaylistDlg : public CDialog {
public:
    enum { IDD = IDD_OPEN_PLAYLIST };
    explicit COpenPlaylistDlg(CPlaylistModel& model, CWnd* pParent = nullptr);

    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    void OnDeletePlaylist();
    void OnRowDoubleClick(NMHDR* pHdr, LRESULT* pResult);
    void OnBeginLabelEdit(NMHDR* pHdr, LRESULT* pResult);
    void OnEndLabelEdit(NMHDR* pHdr, LRESULT* pResult);

    // The first selected row and its text; FALSE without a selection or with an empty text.
    BOOL GetChosenRow(int& nRow, CString& strName) const;
    void RewriteIndexWithout(int nRow);

    CPlaylistModel& m_model;
    CPlaylistFile m_file;
    CListCtrl m_listPlaylists;
    CString m_strEditedLabel;  // the text of the row being renamed, to restore it

    DECLARE_MESSAGE_MAP()
};
