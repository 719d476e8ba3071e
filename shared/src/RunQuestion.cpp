#include "RunQuestion.h"

#include "SkinText.h"

namespace {

constexpr int kMessageBoxTextId = 0xFFFF;

struct CBoxSearch {
    HWND hOwner;
    HWND hBox;
};

BOOL CALLBACK FindBoxOf(HWND hWnd, LPARAM lParam) {
    auto* pSearch = reinterpret_cast<CBoxSearch*>(lParam);
    char szClass[16] = {};
    ::GetClassNameA(hWnd, szClass, sizeof szClass);
    if (lstrcmpA(szClass, "#32770") != 0 || !::GetDlgItem(hWnd, kMessageBoxTextId)) return TRUE;
    if (::GetWindow(hWnd, GW_OWNER) != pSearch->hOwner) return TRUE;
    pSearch->hBox = hWnd;
    return FALSE;
}

}  // namespace

int CRunQuestion::Ask(CWnd* pOwner, UINT nID) {
    // A box is owned by the top-level window of the one it is shown over.
    m_hOwner = pOwner ? ::GetAncestor(pOwner->GetSafeHwnd(), GA_ROOT) : nullptr;
    m_bAsking = TRUE;
    m_bMoot = FALSE;
    int nAnswer = ShowMessage(pOwner, nID, MB_YESNO | MB_ICONQUESTION);
    m_bAsking = FALSE;
    if (m_bMoot) nAnswer = IDNO;
    std::vector<CNotice> held;
    held.swap(m_held);
    for (const CNotice& notice : held) ShowMessageText(pOwner, notice.strText, notice.nType);
    return nAnswer;
}

void CRunQuestion::Notify(CWnd* pOwner, const CString& strText, UINT nType) {
    if (m_bAsking) {
        m_held.push_back({strText, nType});
        return;
    }
    ShowMessageText(pOwner, strText, nType);
}

void CRunQuestion::RunEnded() {
    if (!m_bAsking || m_bMoot) return;
    CBoxSearch search = {m_hOwner, nullptr};
    ::EnumThreadWindows(::GetCurrentThreadId(), FindBoxOf, reinterpret_cast<LPARAM>(&search));
    if (!search.hBox) return;
    m_bMoot = TRUE;
    ::EndDialog(search.hBox, IDNO);
}
