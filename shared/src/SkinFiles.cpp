#include "SkinFiles.h"

#include "SkinText.h"

BOOL ChooseFiles(CWnd* pParent, UINT nTitleId, UINT nDefExtId, const UINT* pFilterIds, int nFilterIds,
                 std::vector<CString>& paths) {
    // The filter is the descriptions and patterns, each ending with a NUL, then one more.
    std::vector<char> filter;
    for (int i = 0; i < nFilterIds; ++i) {
        const CString strPart = LoadText(pFilterIds[i]);
        filter.insert(filter.end(), strPart.GetString(), strPart.GetString() + strPart.GetLength());
        filter.push_back('\0');
    }
    filter.push_back('\0');

    CString strExt = LoadText(nDefExtId);
    if (strExt.Left(1) == ".") strExt = strExt.Mid(1);
    CFileDialog dlg(TRUE, strExt.IsEmpty() ? nullptr : strExt.GetString(), nullptr,
                    OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER | OFN_ALLOWMULTISELECT, nullptr, pParent);
    std::vector<char> files(kFileChoiceBufferChars, '\0');
    const CString strTitle = LoadText(nTitleId);
    dlg.m_ofn.lpstrFile = files.data();
    dlg.m_ofn.nMaxFile = kFileChoiceBufferChars;
    dlg.m_ofn.lpstrFilter = filter.data();
    dlg.m_ofn.nFilterIndex = 1;
    dlg.m_ofn.lpstrTitle = strTitle;
    if (dlg.DoModal() != IDOK) return FALSE;
    for (POSITION pos = dlg.GetStartPosition(); pos;) paths.push_back(dlg.GetNextPathName(pos));
    return TRUE;
}

std::vector<CString> DroppedPaths(HDROP hDrop) {
    std::vector<CString> paths;
    const UINT nFiles = ::DragQueryFileA(hDrop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < nFiles; ++i) {
        if (::DragQueryFileA(hDrop, i, nullptr, 0) >= static_cast<UINT>(kMaxDroppedPath)) continue;
        char szPath[kMaxDroppedPath] = {};
        if (::DragQueryFileA(hDrop, i, szPath, kMaxDroppedPath) == 0) continue;
        paths.emplace_back(szPath);
    }
    return paths;
}
