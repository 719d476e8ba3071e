#include "fw/Menu.h"

#include "fw/App.h"
#include "fw/Wnd.h"

BOOL CMenu::LoadMenu(UINT nIDResource) {
    HMENU hMenu = ::LoadMenuA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nIDResource));
    if (!hMenu) return FALSE;
    DestroyMenu();
    m_hMenu = hMenu;
    m_bOwned = true;
    return TRUE;
}

BOOL CMenu::CreatePopupMenu() {
    HMENU hMenu = ::CreatePopupMenu();
    if (!hMenu) return FALSE;
    DestroyMenu();
    m_hMenu = hMenu;
    m_bOwned = true;
    return TRUE;
}

BOOL CMenu::DestroyMenu() {
    m_subMenus.clear();
    if (!m_hMenu) return FALSE;
    const bool owned = m_bOwned;
    HMENU hMenu = Detach();
    return owned ? ::DestroyMenu(hMenu) : TRUE;
}

BOOL CMenu::Attach(HMENU hMenu) {
    if (!hMenu) return FALSE;
    DestroyMenu();
    m_hMenu = hMenu;
    m_bOwned = true;
    return TRUE;
}

HMENU CMenu::Detach() {
    m_subMenus.clear();
    HMENU hMenu = m_hMenu;
    m_hMenu = nullptr;
    m_bOwned = false;
    return hMenu;
}

CMenu* CMenu::GetSubMenu(int nPos) {
    HMENU hSub = ::GetSubMenu(m_hMenu, nPos);
    if (!hSub) return nullptr;
    auto& slot = m_subMenus[hSub];
    if (!slot) {
        // Destroyed with its parent menu, never on its own.
        slot = std::make_unique<CMenu>();
        slot->m_hMenu = hSub;
    }
    return slot.get();
}

UINT CMenu::EnableMenuItem(UINT nIDEnableItem, UINT nEnable) { return ::EnableMenuItem(m_hMenu, nIDEnableItem, nEnable); }
UINT CMenu::CheckMenuItem(UINT nIDCheckItem, UINT nCheck) { return ::CheckMenuItem(m_hMenu, nIDCheckItem, nCheck); }

BOOL CMenu::AppendMenu(UINT nFlags, UINT_PTR nIDNewItem, LPCSTR lpszNewItem) {
    return ::AppendMenuA(m_hMenu, nFlags, nIDNewItem, lpszNewItem);
}

int CMenu::GetMenuItemCount() const { return ::GetMenuItemCount(m_hMenu); }
UINT CMenu::GetMenuItemID(int nPos) const { return ::GetMenuItemID(m_hMenu, nPos); }
UINT CMenu::GetMenuState(UINT nID, UINT nFlags) const { return ::GetMenuState(m_hMenu, nID, nFlags); }

BOOL CMenu::TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT lpRect) {
    return ::TrackPopupMenu(m_hMenu, nFlags, x, y, 0, pWnd ? pWnd->m_hWnd : nullptr, lpRect);
}
