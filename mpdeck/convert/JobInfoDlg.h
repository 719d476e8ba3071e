// CJobInfoDlg: the base of the two option dialogs of a conversion job. Made without a
// parent, it belongs to the property sheet and edits a row of a page's job list.
#pragma once

#include "fw/Framework.h"

class CJobInfoDlg : public CDialog {
public:
    explicit CJobInfoDlg(UINT nIDTemplate) : CDialog(nIDTemplate) {}

    INT_PTR DoModal() override;

    int m_nRow = -1;  // the job being edited; -1: none
    HWND m_hJobs = nullptr;

protected:
    // Checks the target; a file name goes to ApplyOptions, anything else keeps the
    // dialog open with the focus on the target field.
    void OnOK() override;
    virtual void ApplyOptions(const CString& strTarget) = 0;
    BOOL HasRow() const;
};
