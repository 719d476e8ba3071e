// CRunLog: the text log of a batch or a rip run, one entry per call, formatted from
// the resource library's texts. Writing to a closed log does nothing, so a run that
// could not open its log goes on without it.
#pragma once

#include "fw/Framework.h"

#include "SkinText.h"

class CRunLog {
public:
    // Creates (or empties) the file; FALSE when it cannot.
    BOOL Open(const CString& strPath);
    BOOL IsOpen() const { return m_file.IsOpen(); }
    const CString& Path() const { return m_strPath; }
    void Write(const CString& strText);
    template <typename... Args>
    void Log(UINT nId, const Args&... args) {
        if (IsOpen()) Write(FormatText(nId, args...));
    }
    void Close() { m_file.Close(); }

private:
    CFile m_file;
    CString m_strPath;
};
