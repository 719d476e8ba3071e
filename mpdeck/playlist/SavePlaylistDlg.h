// CSavePlaylistDlg: chooses the name the current playlist is saved under; a new name
// joins the playlist index. On OK the model's m_strPlaylistName holds the name; the
// caller saves.
#pragma once

#include "fw/Framework.h"

#include "PlaylistDialogIds.h"
#include "PlaylistFile.h"

class CPlaylistModel;

class CSavePlaylistDlg : public CDialog {
public:
    enum { IDD = IDD_SAVE_PLAYLIST };
    explicit CSavePlaylistDlg(CPlaylistModel& model, CWnd* pParent = nullptr);

    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    void OnNameChange();
    void OnListSelChange();
    BOOL Ask(UINT nTextId);
    void AddToIndex(const CString& strName);

    CPlaylistModel& m_model;
    CPlaylistFile m_file;
    CListBox m_listNames;
    CEdit m_editName;

    DECLARE_MESSAGE_MAP()
};
