// CSavePlaylistDlg: chooses the name the current playlist is saved under; a new name
// joins the playlist index. On OK the model's m_strPlaylistName holds the name.
#pragma once

#include "fw/Framework.h"

#include "PlaylistDialogIds.h"

class CSavePlaylistDlg : public CDialog {
public:
    enum { IDD = IDD_SAVE_PLAYLIST };
    explicit CSavePlaylistDlg(CWnd* pParent = nullptr);

    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    void OnNameChange();
    void OnListSelChange();
    BOOL Ask(UINT nTextId);
    void AddToIndex(const CString& strName);

    CListBox m_listNames;
    CEdit m_editName;

    DECLARE_MESSAGE_MAP()
};
