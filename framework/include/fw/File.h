// CFile: a binary file on a Win32 handle. Failures are reported by return values.
#pragma once

#include <windows.h>

#include "fw/String.h"

class CFile {
public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,  // treated as exclusive
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,     // create, emptying an existing file...
        modeNoTruncate = 0x2000,  // ...unless combined with this
        typeText = 0x4000,       // accepted and ignored: files are binary
        typeBinary = 0x8000,
    };
    enum SeekPosition { begin = FILE_BEGIN, current = FILE_CURRENT, end = FILE_END };

    CFile() = default;
    ~CFile() { Close(); }
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    HANDLE m_hFile = INVALID_HANDLE_VALUE;

    // Without modeCreate the file must exist. pError receives GetLastError on failure.
    BOOL Open(LPCSTR lpszFileName, UINT nOpenFlags, DWORD* pError = nullptr);
    void Close();
    BOOL IsOpen() const { return m_hFile != INVALID_HANDLE_VALUE; }

    // Returns the new position, or -1 when the seek fails (the position is then unchanged).
    LONGLONG Seek(LONGLONG lOff, UINT nFrom);
    LONGLONG SeekToEnd() { return Seek(0, end); }
    void SeekToBegin() { Seek(0, begin); }
    LONGLONG GetPosition() const;
    // Bytes read; 0 at the end of the file or on failure.
    UINT Read(void* lpBuf, UINT nCount);
    // TRUE when all nCount bytes were written.
    BOOL Write(const void* lpBuf, UINT nCount);
    BOOL WriteString(LPCSTR lpsz);
    // -1 when the length cannot be read.
    LONGLONG GetLength() const;
    // Cuts or extends the file; the position stays where it was if still inside.
    BOOL SetLength(LONGLONG dwNewLen);
    BOOL Flush();
    const CString& GetFilePath() const { return m_strFileName; }

private:
    CString m_strFileName;
};
