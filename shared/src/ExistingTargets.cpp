#include "ExistingTargets.h"

#include "SkinText.h"
#include "TelmarIds.h"

namespace {

CString FullPath(const CString& strPath) {
    char szFull[MAX_PATH] = {};
    const DWORD n = ::GetFullPathNameA(strPath, MAX_PATH, szFull, nullptr);
    return n > 0 && n < MAX_PATH ? CString(szFull) : strPath;
}

BOOL IsExistingFile(const CString& strPath) {
    const DWORD dwAttributes = ::GetFileAttributesA(strPath);
    return dwAttributes != INVALID_FILE_ATTRIBUTES && !(dwAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

void CExistingTargets::Add(const CString& strTarget) {
    if (strTarget.IsEmpty() || !IsExistingFile(strTarget) || Holds(strTarget)) return;
    m_existing.push_back(FullPath(strTarget));
}

BOOL CExistingTargets::Holds(const CString& strTarget) const {
    const CString strFull = FullPath(strTarget);
    for (const CString& str : m_existing) {
        if (str.CompareNoCase(strFull) == 0) return TRUE;
    }
    return FALSE;
}

ExistingTargetChoice CExistingTargets::Ask(CWnd* pOwner) const {
    if (m_existing.empty()) return ExistingTargetChoice::None;
    switch (ShowMessage(pOwner, IDS_ASK_REPLACE_EXISTING, MB_YESNOCANCEL | MB_ICONQUESTION, Count())) {
    case IDYES: return ExistingTargetChoice::Replace;
    case IDNO: return ExistingTargetChoice::Skip;
    default: return ExistingTargetChoice::Cancel;
    }
}
