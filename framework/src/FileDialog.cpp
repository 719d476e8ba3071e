#include "fw/FileDialog.h"

#include "fw/App.h"
#include "fw/Wnd.h"

#include <cstring>

namespace {

const size_t kDefaultBufferChars = MAX_PATH;

}  // namespace

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCSTR lpszDefExt, LPCSTR lpszFileName, DWORD dwFlags,
                         LPCSTR lpszFilter, CWnd* pParentWnd)
    : m_bOpenFileDialog(bOpenFileDialog), m_fileBuffer(kDefaultBufferChars, '\0'), m_strDefExt(lpszDefExt) {
    m_ofn.lStructSize = sizeof m_ofn;
    m_ofn.hwndOwner = pParentWnd ? pParentWnd->m_hWnd : nullptr;
    m_ofn.hInstance = AfxGetInstanceHandle();
    m_ofn.Flags = dwFlags | OFN_EXPLORER;
    if (lpszFileName) lstrcpynA(m_fileBuffer.data(), lpszFileName, static_cast<int>(m_fileBuffer.size()));
    m_ofn.lpstrFile = m_fileBuffer.data();
    m_ofn.nMaxFile = static_cast<DWORD>(m_fileBuffer.size());
    if (!m_strDefExt.IsEmpty()) m_ofn.lpstrDefExt = m_strDefExt;
    if (lpszFilter) {
        m_filter.assign(lpszFilter, lpszFilter + std::strlen(lpszFilter));
        for (char& c : m_filter) {
            if (c == '|') c = '\0';
        }
        m_filter.push_back('\0');
        m_filter.push_back('\0');
        m_ofn.lpstrFilter = m_filter.data();
    }
}

INT_PTR CFileDialog::DoModal() {
    const BOOL ok = m_bOpenFileDialog ? ::GetOpenFileNameA(&m_ofn) : ::GetSaveFileNameA(&m_ofn);
    m_dwError = ok ? 0 : ::CommDlgExtendedError();
    return ok ? IDOK : IDCANCEL;
}

POSITION CFileDialog::GetStartPosition() const {
    if (!m_ofn.lpstrFile || !m_ofn.lpstrFile[0]) return nullptr;
    return m_ofn.lpstrFile;
}

CString CFileDialog::GetNextPathName(POSITION& pos) const {
    if (!pos) return CString();
    const char* first = m_ofn.lpstrFile;
    const char* afterFirst = first + std::strlen(first) + 1;
    const bool bMulti = (m_ofn.Flags & OFN_ALLOWMULTISELECT) && *afterFirst;
    if (!bMulti) {
        pos = nullptr;
        return CString(first);
    }
    // The first string is the folder; the walk continues with the names after it.
    const char* name = pos == first ? afterFirst : pos;
    const char* next = name + std::strlen(name) + 1;
    pos = *next ? next : nullptr;
    CString path(first);
    if (path.Right(1) != "\\") path += '\\';
    return path + name;
}

CString CFileDialog::GetPathName() const {
    POSITION pos = GetStartPosition();
    return GetNextPathName(pos);
}
