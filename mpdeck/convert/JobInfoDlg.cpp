#include "JobInfoDlg.h"

#include "ConvertJobs.h"
#include "SkinText.h"
#include "TelmarIds.h"
#include "mpdeck/ConvertIds.h"

INT_PTR CJobInfoDlg::DoModal() {
    if (!m_pParentWnd) m_pParentWnd = convert::DefaultOwner();
    return CDialog::DoModal();
}

BOOL CJobInfoDlg::HasRow() const {
    return convert::IsJobRow(m_hJobs, m_nRow);
}

void CJobInfoDlg::OnOK() {
    CString strTarget;
    GetDlgItemText(IDC_CONV_TARGET, strTarget);
    if (!convert::IsFileTarget(strTarget)) {
        ShowMessage(this, IDS_TARGET_REQUIRED, MB_OK | MB_ICONINFORMATION);
        if (CWnd* pTarget = GetDlgItem(IDC_CONV_TARGET)) pTarget->SetFocus();
        return;
    }
    ApplyOptions(strTarget);
    EndDialog(IDOK);
}
