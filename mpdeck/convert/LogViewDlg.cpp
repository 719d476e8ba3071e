#include "LogViewDlg.h"

#include <memory>
#include <new>

#include "ConvertJobs.h"
#include "SkinText.h"
#include "TelmarIds.h"
#include "mpdeck/ConvertIds.h"

namespace {

// Zero-filled room after the text for its final NUL.
constexpr DWORD kSlackBytes = 10;
constexpr LONGLONG kBytesPerKb = 1024;

}  // namespace

CLogViewDlg::CLogViewDlg(CWnd* pParent) : CDialog(IDD_LOG_VIEW, pParent) {}

BOOL CLogViewDlg::OnInitDialog() {
    if (!ShowFile()) {
        ShowMessage(this, IDS_LOG_VIEW_FAILED, MB_OK | MB_ICONEXCLAMATION, m_strPath);
        EndDialog(IDCANCEL);
        return TRUE;
    }
    if (!m_strTitle.IsEmpty()) SetWindowText(m_strTitle);
    // The dialog would select the whole text with the focus; the caret waits at its start.
    if (CWnd* pText = GetDlgItem(IDC_LOG_TEXT)) {
        pText->SetFocus();
        pText->SendMessage(EM_SETSEL, 0, 0);
        return FALSE;
    }
    return TRUE;
}

BOOL CLogViewDlg::ShowFile() {
    HANDLE hFile = ::CreateFileA(m_strPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE) return FALSE;
    LARGE_INTEGER size = {};
    const BOOL bSized = ::GetFileSizeEx(hFile, &size) && size.QuadPart >= 0;
    const DWORD dwShown = bSized && size.QuadPart < kMaxShownBytes ? static_cast<DWORD>(size.QuadPart) : kMaxShownBytes;
    std::unique_ptr<char[]> text(new (std::nothrow) char[dwShown + kSlackBytes]());
    DWORD dwRead = 0;
    const BOOL bRead = bSized && text && ::ReadFile(hFile, text.get(), dwShown, &dwRead, nullptr);
    ::CloseHandle(hFile);
    if (!bRead) return FALSE;
    CString strText(text.get());
    if (size.QuadPart > dwRead) {
        strText += FormatText(IDS_LOG_VIEW_CAPPED, static_cast<int>(size.QuadPart / kBytesPerKb),
                              static_cast<int>(dwRead / kBytesPerKb));
    }
    // The edit's own limit would cut the text short.
    SendDlgItemMessage(IDC_LOG_TEXT, EM_SETLIMITTEXT, static_cast<WPARAM>(strText.GetLength() + 1));
    SetDlgItemText(IDC_LOG_TEXT, strText);
    return TRUE;
}
