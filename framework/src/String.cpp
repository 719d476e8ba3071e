#include "fw/String.h"

#include "fw/App.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

int Clamp(int value, int low, int high) {
    return std::max(low, std::min(value, high));
}

const char kWhitespace[] = " \t\r\n\v\f";

}  // namespace

char CString::GetAt(int nIndex) const {
    if (nIndex < 0 || nIndex >= GetLength()) return '\0';
    return m_str[nIndex];
}

void CString::SetAt(int nIndex, char ch) {
    if (nIndex < 0 || nIndex >= GetLength()) return;
    m_str[nIndex] = ch;
}

CString CString::Left(int nCount) const {
    return CString(m_str.substr(0, Clamp(nCount, 0, GetLength())));
}

CString CString::Mid(int nFirst) const {
    return Mid(nFirst, GetLength());
}

CString CString::Mid(int nFirst, int nCount) const {
    const int first = Clamp(nFirst, 0, GetLength());
    const int count = Clamp(nCount, 0, GetLength() - first);
    return CString(m_str.substr(first, count));
}

CString CString::Right(int nCount) const {
    const int count = Clamp(nCount, 0, GetLength());
    return CString(m_str.substr(GetLength() - count));
}

int CString::Find(char ch, int nStart) const {
    if (nStart < 0 || nStart >= GetLength()) return -1;
    const size_t at = m_str.find(ch, nStart);
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::Find(const char* pszSub, int nStart) const {
    if (!pszSub || nStart < 0 || nStart > GetLength()) return -1;
    const size_t at = m_str.find(pszSub, nStart);
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::ReverseFind(char ch) const {
    const size_t at = m_str.rfind(ch);
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::FindOneOf(const char* pszCharSet) const {
    if (!pszCharSet) return -1;
    const size_t at = m_str.find_first_of(pszCharSet);
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

CString& CString::MakeLower() {
    // CharLowerBuff follows the Windows code page, so accented letters change too.
    if (!m_str.empty()) CharLowerBuffA(&m_str[0], static_cast<DWORD>(m_str.size()));
    return *this;
}

CString& CString::MakeUpper() {
    if (!m_str.empty()) CharUpperBuffA(&m_str[0], static_cast<DWORD>(m_str.size()));
    return *this;
}

CString& CString::TrimRight() {
    const size_t keep = m_str.find_last_not_of(kWhitespace);
    m_str.erase(keep == std::string::npos ? 0 : keep + 1);
    return *this;
}

CString& CString::TrimRight(char chTarget) {
    const size_t keep = m_str.find_last_not_of(chTarget);
    m_str.erase(keep == std::string::npos ? 0 : keep + 1);
    return *this;
}

CString& CString::TrimLeft() {
    const size_t first = m_str.find_first_not_of(kWhitespace);
    m_str.erase(0, first == std::string::npos ? m_str.size() : first);
    return *this;
}

int CString::Replace(char chOld, char chNew) {
    int count = 0;
    for (char& c : m_str) {
        if (c != chOld) continue;
        c = chNew;
        ++count;
    }
    return count;
}

int CString::Replace(const char* pszOld, const char* pszNew) {
    if (!pszOld || !*pszOld) return 0;
    const std::string from(pszOld), to(pszNew ? pszNew : "");
    int count = 0;
    for (size_t at = m_str.find(from); at != std::string::npos; at = m_str.find(from, at + to.size())) {
        m_str.replace(at, from.size(), to);
        ++count;
    }
    return count;
}

int CString::Delete(int nIndex, int nCount) {
    const int first = Clamp(nIndex, 0, GetLength());
    const int count = Clamp(nCount, 0, GetLength() - first);
    m_str.erase(first, count);
    return GetLength();
}

int CString::Insert(int nIndex, const char* psz) {
    if (psz) m_str.insert(Clamp(nIndex, 0, GetLength()), psz);
    return GetLength();
}

int CString::Compare(const char* psz) const {
    return std::strcmp(m_str.c_str(), psz ? psz : "");
}

int CString::CompareNoCase(const char* psz) const {
    return _stricmp(m_str.c_str(), psz ? psz : "");
}

void CString::Format(const char* pszFormat, ...) {
    va_list args;
    va_start(args, pszFormat);
    FormatV(pszFormat, args);
    va_end(args);
}

void CString::FormatV(const char* pszFormat, va_list args) {
    if (!pszFormat) {
        m_str.clear();
        return;
    }
    va_list probe;
    va_copy(probe, args);
    const int needed = std::vsnprintf(nullptr, 0, pszFormat, probe);
    va_end(probe);
    if (needed < 0) {
        m_str.clear();
        return;
    }
    std::vector<char> buffer(static_cast<size_t>(needed) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), pszFormat, args);
    m_str.assign(buffer.data(), needed);
}

BOOL CString::LoadString(UINT nID) {
    return LoadString(AfxGetResourceHandle(), nID);
}

BOOL CString::LoadString(HINSTANCE hInstance, UINT nID) {
    // A string table entry holds at most 65535 characters; grow until it fits.
    for (int size = 256; size <= 65536; size *= 4) {
        std::vector<char> buffer(size);
        const int length = ::LoadStringA(hInstance, nID, buffer.data(), size);
        if (length <= 0) return FALSE;
        if (length < size - 1) {
            m_str.assign(buffer.data(), length);
            return TRUE;
        }
    }
    return FALSE;
}

char* CString::GetBuffer(int nMinLength) {
    if (nMinLength > GetLength()) m_str.resize(nMinLength);
    return &m_str[0];
}

char* CString::GetBufferSetLength(int nLength) {
    m_str.resize(nLength > 0 ? nLength : 0);
    return &m_str[0];
}

void CString::ReleaseBuffer(int nNewLength) {
    if (nNewLength < 0) {
        m_str.resize(std::strlen(m_str.c_str()));
        return;
    }
    m_str.resize(std::min<size_t>(nNewLength, m_str.size()));
}

CString operator+(const CString& a, const CString& b) {
    CString result(a);
    result += b;
    return result;
}

CString operator+(const CString& a, const char* b) {
    CString result(a);
    result += b;
    return result;
}

CString operator+(const char* a, const CString& b) {
    CString result(a);
    result += b;
    return result;
}

CString operator+(const CString& a, char b) {
    CString result(a);
    result += b;
    return result;
}
