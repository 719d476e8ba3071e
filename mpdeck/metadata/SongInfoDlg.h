// CSongInfoDlg: the More Info dialog of an MP3 file, with its ID3 tag editor.
#pragma once

#include "fw/Framework.h"

#include "ID3Tag.h"
#include "Mp3Play.h"

class CSongInfoDlg : public CDialog {
public:
    explicit CSongInfoDlg(CWnd* pParent = nullptr);

    CString m_strPath;  // set by the owner before DoModal
    CID3Tag m_tag;
    CMp3Play m_play;  // hidden; reads the MPEG details

protected:
    BOOL OnInitDialog() override;
    void OnSave();
    void OnRemoveTag();
    LRESULT OnGetDefId(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void LimitInputs();
    void FillGenres();
    void ShowTag();
    void ShowTagSource();
    void SelectGenre(BYTE byGenre);
    BYTE SelectedGenre() const;
    void EmptyFields();
    void ShowDetails();
    void ShowMpegDetails();
};
