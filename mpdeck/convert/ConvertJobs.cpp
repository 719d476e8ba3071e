#include "ConvertJobs.h"

#include <commctrl.h>

namespace convert {

namespace {

// Paths and the option texts fit well within this.
constexpr int kMaxCellChars = 1024;

}  // namespace

CWnd* DefaultOwner() {
    CWnd* pMain = AfxGetMainWnd();
    if (!pMain || !pMain->GetSafeHwnd()) return nullptr;
    return CWnd::FromHandle(::GetLastActivePopup(pMain->m_hWnd));
}

CPropertyPage* FindPage(CWnd* pOwner, UINT nTemplate) {
    auto* pSheet = dynamic_cast<CPropertySheet*>(pOwner);
    if (!pSheet) return nullptr;
    for (int i = 0; i < pSheet->GetPageCount(); ++i) {
        CPropertyPage* pPage = pSheet->GetPage(i);
        if (pPage && pPage->m_psp.pszTemplate == MAKEINTRESOURCEA(nTemplate) && pPage->GetSafeHwnd()) return pPage;
    }
    return nullptr;
}

HWND JobList(CPropertyPage* pPage) {
    return pPage ? ::GetDlgItem(pPage->m_hWnd, kJobListId) : nullptr;
}

CString JobText(HWND hList, int nRow, int nColumn) {
    char szText[kMaxCellChars] = {};
    LVITEMA item = {};
    item.iSubItem = nColumn;
    item.pszText = szText;
    item.cchTextMax = kMaxCellChars;
    ::SendMessageA(hList, LVM_GETITEMTEXTA, static_cast<WPARAM>(nRow), reinterpret_cast<LPARAM>(&item));
    return szText;
}

void SetJobText(HWND hList, int nRow, int nColumn, LPCSTR lpszText) {
    LVITEMA item = {};
    item.iSubItem = nColumn;
    item.pszText = const_cast<LPSTR>(lpszText);
    ::SendMessageA(hList, LVM_SETITEMTEXTA, static_cast<WPARAM>(nRow), reinterpret_cast<LPARAM>(&item));
    ::SendMessageA(hList, LVM_REDRAWITEMS, static_cast<WPARAM>(nRow), static_cast<LPARAM>(nRow));
}

int NextSelectedJob(HWND hList, int nAfter) {
    return static_cast<int>(::SendMessageA(hList, LVM_GETNEXTITEM, static_cast<WPARAM>(nAfter), LVNI_SELECTED));
}

BOOL IsJobRow(HWND hList, int nRow) {
    return hList && nRow >= 0 && nRow < static_cast<int>(::SendMessageA(hList, LVM_GETITEMCOUNT, 0, 0));
}

BOOL IsFileTarget(const CString& strTarget) {
    return !strTarget.IsEmpty() && strTarget[strTarget.GetLength() - 1] != '\\';
}

BOOL CanWriteTarget(const CString& strTarget) {
    if (!IsFileTarget(strTarget)) return FALSE;
    const DWORD dwAttributes = ::GetFileAttributesA(strTarget);
    if (dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)))
        return FALSE;
    // A new file in the target's folder, made and removed again.
    const int nSlash = strTarget.ReverseFind('\\');
    const CString strFolder = nSlash < 0 ? CString(".") : strTarget.Left(nSlash == 2 && strTarget[1] == ':' ? 3 : nSlash);
    char szTemp[MAX_PATH] = {};
    if (!::GetTempFileNameA(strFolder, "orv", 0, szTemp)) return FALSE;
    ::DeleteFileA(szTemp);
    return TRUE;
}

namespace {

CString FullPath(const CString& strPath) {
    char szFull[MAX_PATH] = {};
    const DWORD n = ::GetFullPathNameA(strPath, MAX_PATH, szFull, nullptr);
    return n > 0 && n < MAX_PATH ? CString(szFull) : strPath;
}

}  // namespace

BOOL IsSamePath(const CString& strA, const CString& strB) {
    return FullPath(strA).CompareNoCase(FullPath(strB)) == 0;
}

}  // namespace convert
