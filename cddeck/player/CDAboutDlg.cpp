#include "CDAboutDlg.h"

#include "CommandLine.h"
#include "OrvVersion.h"
#include "ResourceIds.h"
#include "SkinApp.h"

BEGIN_MESSAGE_MAP(CCDAboutDlg, CDialog)
    ON_BN_CLICKED(IDC_ABOUT_WEBSITE, OnWebsite)
END_MESSAGE_MAP()

CCDAboutDlg::CCDAboutDlg(CWnd* pParent) : CDialog(IDD_ABOUT_CD, pParent) {}

BOOL CCDAboutDlg::OnInitDialog() {
    SetDlgItemText(IDC_ABOUT_VERSION, ORV_VERSION_TEXT);
    return TRUE;
}

void CCDAboutDlg::OnWebsite() {
    CString strCommand;
    if (!GetSkinApp()->GetBrowserCommand(strCommand)) return;
    CString strUrl;
    GetDlgItemText(IDC_ABOUT_URL, strUrl);
    ::WinExec(cdcmd::AppendArgument(strCommand.GetString(), strUrl.GetString()).c_str(), SW_SHOWNORMAL);
}
