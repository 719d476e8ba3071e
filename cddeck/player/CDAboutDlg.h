// CCDAboutDlg: cddeck's modal About box with the version and a button that opens the
// maker's web page in the browser.
#pragma once

#include "fw/Framework.h"

class CCDAboutDlg : public CDialog {
public:
    CCDAboutDlg(CWnd* pParent);

protected:
    BOOL OnInitDialog() override;
    void OnWebsite();

    DECLARE_MESSAGE_MAP()
};
