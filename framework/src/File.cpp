#include "fw/File.h"

#include <cstring>

namespace {

DWORD AccessFor(UINT nOpenFlags) {
    switch (nOpenFlags & 3) {
    case CFile::modeWrite:
        return GENERIC_WRITE;
    case CFile::modeReadWrite:
        return GENERIC_READ | GENERIC_WRITE;
    default:
        return GENERIC_READ;
    }
}

DWORD ShareFor(UINT nOpenFlags) {
    switch (nOpenFlags & 0x70) {
    case CFile::shareDenyWrite:
        return FILE_SHARE_READ;
    case CFile::shareDenyRead:
        return FILE_SHARE_WRITE;
    case CFile::shareDenyNone:
        return FILE_SHARE_READ | FILE_SHARE_WRITE;
    default:  // shareCompat, shareExclusive
        return 0;
    }
}

DWORD DispositionFor(UINT nOpenFlags) {
    if (!(nOpenFlags & CFile::modeCreate)) return OPEN_EXISTING;
    return (nOpenFlags & CFile::modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;
}

}  // namespace

BOOL CFile::Open(LPCSTR lpszFileName, UINT nOpenFlags, DWORD* pError) {
    Close();
    if (!lpszFileName || !*lpszFileName) {
        if (pError) *pError = ERROR_INVALID_NAME;
        return FALSE;
    }
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, (nOpenFlags & modeNoInherit) ? FALSE : TRUE};
    HANDLE hFile = ::CreateFileA(lpszFileName, AccessFor(nOpenFlags), ShareFor(nOpenFlags), &sa,
                                 DispositionFor(nOpenFlags), FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE) {
        if (pError) *pError = ::GetLastError();
        return FALSE;
    }
    m_hFile = hFile;
    m_strFileName = lpszFileName;
    if (pError) *pError = ERROR_SUCCESS;
    return TRUE;
}

void CFile::Close() {
    if (m_hFile == INVALID_HANDLE_VALUE) return;
    ::CloseHandle(m_hFile);
    m_hFile = INVALID_HANDLE_VALUE;
    m_strFileName.Empty();
}

LONGLONG CFile::Seek(LONGLONG lOff, UINT nFrom) {
    LARGE_INTEGER distance, position;
    distance.QuadPart = lOff;
    if (!::SetFilePointerEx(m_hFile, distance, &position, nFrom)) return -1;
    return position.QuadPart;
}

LONGLONG CFile::GetPosition() const {
    LARGE_INTEGER zero, position;
    zero.QuadPart = 0;
    if (!::SetFilePointerEx(m_hFile, zero, &position, FILE_CURRENT)) return -1;
    return position.QuadPart;
}

UINT CFile::Read(void* lpBuf, UINT nCount) {
    DWORD got = 0;
    if (nCount == 0 || !::ReadFile(m_hFile, lpBuf, nCount, &got, nullptr)) return 0;
    return got;
}

BOOL CFile::Write(const void* lpBuf, UINT nCount) {
    if (nCount == 0) return TRUE;
    DWORD written = 0;
    return ::WriteFile(m_hFile, lpBuf, nCount, &written, nullptr) && written == nCount;
}

BOOL CFile::WriteString(LPCSTR lpsz) {
    return lpsz ? Write(lpsz, static_cast<UINT>(std::strlen(lpsz))) : TRUE;
}

LONGLONG CFile::GetLength() const {
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(m_hFile, &size)) return -1;
    return size.QuadPart;
}

BOOL CFile::SetLength(LONGLONG dwNewLen) {
    const LONGLONG position = GetPosition();
    if (position < 0 || Seek(dwNewLen, begin) < 0) return FALSE;
    const BOOL ok = ::SetEndOfFile(m_hFile);
    Seek(position < dwNewLen ? position : dwNewLen, begin);
    return ok;
}

BOOL CFile::Flush() {
    return ::FlushFileBuffers(m_hFile);
}
