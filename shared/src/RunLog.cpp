#include "RunLog.h"

BOOL CRunLog::Open(const CString& strPath) {
    m_file.Close();
    m_strPath = strPath;
    return m_file.Open(strPath, CFile::modeCreate | CFile::modeWrite | CFile::shareDenyWrite);
}

void CRunLog::Write(const CString& strText) {
    if (m_file.IsOpen()) m_file.Write(strText.GetString(), static_cast<UINT>(strText.GetLength()));
}
