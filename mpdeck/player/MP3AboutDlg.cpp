#include "MP3AboutDlg.h"

#include "MP3PlayerDlg.h"
#include "SkinApp.h"
#include "SkinText.h"
#include "TelmarIds.h"

namespace {

// WinExec reports success with a value above this.
const UINT kWinExecFailed = 31;

}  // namespace

BEGIN_MESSAGE_MAP(CMP3AboutDlg, CDialog)
    ON_BN_CLICKED(IDC_ABOUT_WEBSITE, OnWebsite)
END_MESSAGE_MAP()

void CMP3AboutDlg::OnWebsite() {
    CString strAddress, strCommand;
    GetDlgItemText(IDC_ABOUT_URL, strAddress);
    if (!GetSkinApp()->GetBrowserCommand(strCommand) ||
        ::WinExec(CMP3PlayerDlg::BrowserCommandFor(strCommand, strAddress), SW_SHOWNORMAL) <= kWinExecFailed) {
        ShowMessage(this, IDS_NO_BROWSER, MB_OK | MB_ICONEXCLAMATION);
    }
}
