// CFileDialog: the common open / save dialog, with multiple selection.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <vector>

#include "fw/String.h"

class CWnd;

// Position while walking the selected paths; nullptr when done.
using POSITION = const char*;

class CFileDialog {
public:
    // lpszFilter is "Description|pattern|...|" as the framework always took it; a filter
    // with NUL separators may instead be put into m_ofn.lpstrFilter directly.
    explicit CFileDialog(BOOL bOpenFileDialog, LPCSTR lpszDefExt = nullptr, LPCSTR lpszFileName = nullptr,
                         DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCSTR lpszFilter = nullptr,
                         CWnd* pParentWnd = nullptr);
    CFileDialog(const CFileDialog&) = delete;
    CFileDialog& operator=(const CFileDialog&) = delete;

    // IDOK or IDCANCEL. A selection that does not fit the name buffer is IDCANCEL.
    INT_PTR DoModal();
    DWORD GetLastError() const { return m_dwError; }  // CommDlgExtendedError after DoModal

    // The selection in m_ofn.lpstrFile: one full path, or (explorer style) a folder
    // followed by names, each NUL-terminated, ending with an empty name.
    POSITION GetStartPosition() const;
    CString GetNextPathName(POSITION& pos) const;
    CString GetPathName() const;

    // The caller may point lpstrFile / nMaxFile at a buffer of its own before DoModal.
    OPENFILENAMEA m_ofn = {};

private:
    BOOL m_bOpenFileDialog;
    DWORD m_dwError = 0;
    std::vector<char> m_fileBuffer;
    std::vector<char> m_filter;
    CString m_strDefExt;
};
