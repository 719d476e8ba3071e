#include "ConvertJobs.h"

#include <commctrl.h>

#include "TelmarIds.h"

namespace convert {

namespace {

// Paths and the option texts fit well within this.
constexpr int kMaxCellChars = 1024;
constexpr long kOptionBitRates[] = {32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
constexpr long kLowestFullRate = 44100;
constexpr long kHighestRate = 48000;
// Below this rate the stream is MPEG-2 (or 2.5), whose highest bit rate is 160 kbit/s.
constexpr long kLowestMpeg1Rate = 32000;
constexpr long kHighestLowRateBitRate = 160;

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

namespace {

// The folder a target goes into: "." for a bare name, "C:\\" for one in a root.
CString TargetFolder(const CString& strTarget) {
    const int nSlash = strTarget.ReverseFind('\\');
    if (nSlash < 0) return ".";
    return strTarget.Left(nSlash == 2 && strTarget[1] == ':' ? 3 : nSlash);
}

// A new file made in the folder and gone again when closed. GetTempFileName is no
// test: it reports a name also when the folder refuses the file.
BOOL FolderTakesFiles(const CString& strFolder) {
    constexpr int kTries = 16;
    const BOOL bRoot = !strFolder.IsEmpty() && strFolder[strFolder.GetLength() - 1] == '\\';
    for (int i = 0; i < kTries; ++i) {
        CString strProbe;
        strProbe.Format("%s%s~orv%lx-%d.tmp", strFolder.GetString(), bRoot ? "" : "\\", ::GetCurrentProcessId(), i);
        HANDLE hProbe = ::CreateFileA(strProbe, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (hProbe != INVALID_HANDLE_VALUE) {
            ::CloseHandle(hProbe);
            return TRUE;
        }
        if (::GetLastError() != ERROR_FILE_EXISTS) return FALSE;
    }
    return FALSE;
}

}  // namespace

TargetProblem FindTargetProblem(const CString& strSource, const CString& strTarget) {
    if (!IsFileTarget(strTarget)) return kTargetNotAFile;
    if (IsSamePath(strSource, strTarget)) return kTargetIsSource;
    const DWORD dwAttributes = ::GetFileAttributesA(strTarget);
    if (dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_DIRECTORY)) return kTargetIsFolder;
    if (dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_READONLY)) return kTargetReadOnly;
    const CString strFolder = TargetFolder(strTarget);
    const DWORD dwFolder = ::GetFileAttributesA(strFolder);
    if (dwFolder == INVALID_FILE_ATTRIBUTES || !(dwFolder & FILE_ATTRIBUTE_DIRECTORY)) return kTargetNoFolder;
    return FolderTakesFiles(strFolder) ? kTargetFine : kTargetFolderLocked;
}

UINT TargetProblemText(TargetProblem problem) {
    switch (problem) {
    case kTargetFine:
    case kTargetNotAFile: return 0;
    case kTargetIsSource: return IDS_TARGET_IS_SOURCE;
    case kTargetIsFolder: return IDS_TARGET_IS_FOLDER;
    case kTargetReadOnly: return IDS_TARGET_READ_ONLY;
    case kTargetNoFolder: return IDS_TARGET_NO_FOLDER;
    case kTargetFolderLocked: return IDS_TARGET_FOLDER_LOCKED;
    }
    return 0;
}

std::vector<long> OfferedSampleRates(long nSourceRate) {
    if (nSourceRate > 0 && nSourceRate < kLowestFullRate) return {nSourceRate};
    // Unread, the source is taken as the common 44100 Hz.
    const long nLow = (nSourceRate > 0 ? nSourceRate : kLowestFullRate) / 2;
    std::vector<long> rates;
    if (nLow < kLowestFullRate) rates.push_back(nLow);
    rates.push_back(kLowestFullRate);
    rates.push_back(kHighestRate);
    return rates;
}

std::vector<long> OfferedBitRates(long nOutputRate) {
    std::vector<long> rates;
    for (long nRate : kOptionBitRates) {
        if (nOutputRate <= 0 || nOutputRate >= kLowestMpeg1Rate || nRate <= kHighestLowRateBitRate) rates.push_back(nRate);
    }
    return rates;
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
