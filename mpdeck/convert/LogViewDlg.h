// CLogViewDlg: a batch log shown as text. Very long logs show their beginning only,
// with a line at the end that says so: the edit control and the memory stay small.
#pragma once

#include "fw/Framework.h"

class CLogViewDlg : public CDialog {
public:
    // What the viewer shows at most of a file: some 25000 log entries, which an edit
    // control under Wine takes a few seconds to lay out.
    static constexpr DWORD kMaxShownBytes = 2 * 1024 * 1024;

    explicit CLogViewDlg(CWnd* pParent = nullptr);

    CString m_strTitle;  // empty: the template's caption
    CString m_strPath;

protected:
    BOOL OnInitDialog() override;

private:
    BOOL ShowFile();
};
