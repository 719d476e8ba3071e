// CIniFile: one INI file read and written with the private-profile functions. A bare
// file name puts it in the Windows directory. Every string value is read into a
// buffer of 1024 bytes; write failures are not reported.
#pragma once

#include "fw/Framework.h"

#include <vector>

class CIniFile {
public:
    explicit CIniFile(LPCSTR lpszFileName) : m_strFileName(lpszFileName) {}

    const CString& GetFileName() const { return m_strFileName; }

    int ReadInt(LPCSTR lpszSection, LPCSTR lpszKey, int nDefault) const;
    CString ReadString(LPCSTR lpszSection, LPCSTR lpszKey, LPCSTR lpszDefault) const;
    // A count: missing reads as 0, negative or damaged as 0, anything above nMax as nMax.
    int ReadCount(LPCSTR lpszSection, LPCSTR lpszKey, int nMax) const;
    // The largest key made only of digits; 0 when there is none. Keys beyond it read
    // as missing, so a walk over 1 ... N can stop there.
    int HighestNumberedKey(LPCSTR lpszSection) const;
    // Whether the section holds any key.
    BOOL HasSection(LPCSTR lpszSection) const;

    void WriteInt(LPCSTR lpszSection, LPCSTR lpszKey, int nValue) const;
    void WriteString(LPCSTR lpszSection, LPCSTR lpszKey, LPCSTR lpszValue) const;
    void DeleteKey(LPCSTR lpszSection, LPCSTR lpszKey) const;
    void DeleteSection(LPCSTR lpszSection) const;

    // Keys named by a number written with "%d".
    CString ReadNumbered(LPCSTR lpszSection, int nKey, LPCSTR lpszDefault) const;
    // The values of keys 1 ... nCount, each as ReadNumbered gives it, from one read of
    // the section: a long list then costs one file access instead of one per key.
    std::vector<CString> ReadNumberedValues(LPCSTR lpszSection, int nCount, LPCSTR lpszDefault) const;
    void WriteNumbered(LPCSTR lpszSection, int nKey, LPCSTR lpszValue) const;
    void DeleteNumbered(LPCSTR lpszSection, int nKey) const;

    // The key or section name "%d" of a number.
    static CString NumberText(int nValue);

private:
    CString m_strFileName;
};
