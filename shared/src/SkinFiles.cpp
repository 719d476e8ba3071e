#include "SkinFiles.h"

#include "SkinText.h"

#include <shlobj.h>

#include <string>

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

namespace {

// The names of the block's list, wide or narrow, read no further than the block. The
// shell's own count runs past an empty list, which some drops bring.
template <typename Char>
std::vector<std::basic_string<Char>> ListedNames(const BYTE* pBlock, SIZE_T nSize, DWORD dwOffset) {
    std::vector<std::basic_string<Char>> names;
    const Char* p = reinterpret_cast<const Char*>(pBlock + dwOffset);
    const Char* pEnd = reinterpret_cast<const Char*>(pBlock + dwOffset + (nSize - dwOffset) / sizeof(Char) * sizeof(Char));
    while (p < pEnd && *p) {
        const Char* pName = p;
        while (p < pEnd && *p) ++p;
        if (p == pEnd) break;  // no terminator inside the block: not a name
        names.emplace_back(pName, p);
        ++p;
    }
    return names;
}

void AddNarrow(std::vector<CString>& paths, const std::string& name) {
    if (name.size() < static_cast<size_t>(kMaxDroppedPath)) paths.emplace_back(name.c_str());
}

void AddWide(std::vector<CString>& paths, const std::wstring& name) {
    char szPath[kMaxDroppedPath] = {};
    BOOL bLossy = FALSE;
    const int nChars = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, name.c_str(), static_cast<int>(name.size()),
                                             szPath, kMaxDroppedPath - 1, nullptr, &bLossy);
    // Too long, or a name the code page cannot spell: it would name another file.
    if (nChars <= 0 || bLossy || static_cast<size_t>(nChars) < name.size()) return;
    paths.emplace_back(szPath);
}

}  // namespace

std::vector<CString> DroppedPaths(HDROP hDrop) {
    std::vector<CString> paths;
    HGLOBAL hBlock = reinterpret_cast<HGLOBAL>(hDrop);
    const SIZE_T nSize = ::GlobalSize(hBlock);
    const auto* pBlock = static_cast<const BYTE*>(::GlobalLock(hBlock));
    if (!pBlock) return paths;
    const auto* pHeader = reinterpret_cast<const DROPFILES*>(pBlock);
    if (nSize >= sizeof(DROPFILES) && pHeader->pFiles >= sizeof(DROPFILES) && pHeader->pFiles < nSize) {
        if (pHeader->fWide) {
            for (const std::wstring& name : ListedNames<wchar_t>(pBlock, nSize, pHeader->pFiles)) AddWide(paths, name);
        } else {
            for (const std::string& name : ListedNames<char>(pBlock, nSize, pHeader->pFiles)) AddNarrow(paths, name);
        }
    }
    ::GlobalUnlock(hBlock);
    return paths;
}
