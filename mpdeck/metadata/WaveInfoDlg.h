// CWaveInfoDlg: the Wave Info dialog of a WAVE row of the playlist page. It shows the
// format stored in the row's entry; the file itself is not opened.
#pragma once

#include "fw/Framework.h"

#include "SongEntry.h"

class CWaveInfoDlg : public CDialog {
public:
    explicit CWaveInfoDlg(CWnd* pParent = nullptr);

    // Set by the owner before DoModal: the row's path, its index and the page's
    // working list that holds its entry.
    CString m_strPath;
    int m_nRow = -1;
    const CSongList* m_pSongs = nullptr;

protected:
    BOOL OnInitDialog() override;

private:
    void ShowEntry(const CSongEntry& entry);
};
