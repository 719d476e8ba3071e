// CMP3AboutDlg: mpdeck's modal About box (dialog 247). Its web button opens the
// maker's page, whose address the template shows, in the browser.
#pragma once

#include "fw/Framework.h"

#include "ResourceIds.h"

class CMP3AboutDlg : public CDialog {
public:
    enum { IDD = IDD_ABOUT_MP3 };
    explicit CMP3AboutDlg(CWnd* pParent) : CDialog(IDD, pParent) {}

private:
    void OnWebsite();

    DECLARE_MESSAGE_MAP()
};
