#include "fw/PropSheet.h"

#include "fw/App.h"

#include <algorithm>

namespace {

// Default style of a modeless sheet, as the framework has always made it.
const DWORD kDefaultSheetStyle = WS_SYSMENU | WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_CONTEXTHELP | WS_VISIBLE;
// The sheet's Apply button, which the headers do not name.
const int kIdApplyNow = 0x3021;

CPropertySheet* t_pSheetInit = nullptr;  // the sheet being made by PropertySheet

}  // namespace

// --- pages ---------------------------------------------------------------------------------

CPropertyPage::CPropertyPage(UINT nIDTemplate, UINT nIDCaption) : CDialog(nIDTemplate) {
    m_psp.dwSize = sizeof m_psp;
    m_psp.dwFlags = PSP_DEFAULT;
    m_psp.hInstance = AfxGetResourceHandle();
    m_psp.pszTemplate = MAKEINTRESOURCEA(nIDTemplate);
    m_psp.pfnDlgProc = &CPropertyPage::PageProc;
    m_psp.lParam = reinterpret_cast<LPARAM>(this);
    if (nIDCaption && m_strCaption.LoadString(nIDCaption)) {
        m_psp.dwFlags |= PSP_USETITLE;
        m_psp.pszTitle = m_strCaption;
    }
}

INT_PTR CALLBACK CPropertyPage::PageProc(HWND hWnd, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_INITDIALOG) return FALSE;
    auto* pPage = dynamic_cast<CPropertyPage*>(CWnd::FromHandlePermanent(hWnd));
    if (!pPage) {
        // lParam is the sheet's copy of our PROPSHEETPAGE; its lParam is the page object.
        const auto* pPsp = reinterpret_cast<const PROPSHEETPAGEA*>(lParam);
        if (!pPsp || !pPsp->lParam) return FALSE;
        pPage = reinterpret_cast<CPropertyPage*>(pPsp->lParam);
        pPage->BindHandle(hWnd, true, false);  // the sheet destroys its pages
    }
    return pPage->OnInitDialog();
}

BOOL CPropertyPage::OnSetActive() { return TRUE; }
BOOL CPropertyPage::OnKillActive() { return TRUE; }
void CPropertyPage::OnReset() { OnCancel(); }
void CPropertyPage::OnOK() {}
void CPropertyPage::OnCancel() {}

BOOL CPropertyPage::PreTranslateMessage(MSG*) {
    // The sheet does the keyboard navigation for its pages.
    return FALSE;
}

CPropertySheet* CPropertyPage::GetSheet() const {
    return dynamic_cast<CPropertySheet*>(CWnd::FromHandlePermanent(::GetParent(m_hWnd)));
}

BOOL CPropertyPage::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    const auto* pHdr = reinterpret_cast<const NMHDR*>(lParam);
    switch (pHdr->code) {
    case PSN_SETACTIVE:
        *pResult = OnSetActive() ? 0 : -1;
        return TRUE;
    case PSN_KILLACTIVE:
        *pResult = OnKillActive() ? FALSE : TRUE;
        return TRUE;
    case PSN_RESET:
        OnReset();
        return TRUE;
    default:
        return CDialog::OnNotify(wParam, lParam, pResult);
    }
}

// --- sheet --------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CPropertySheet, CWnd)
    ON_MESSAGE(WM_INITDIALOG, OnInitSheet)
    ON_COMMAND(IDCANCEL, OnSheetCancel)
END_MESSAGE_MAP()

CPropertySheet::CPropertySheet(LPCSTR pszCaption, CWnd* pParentWnd, UINT iSelectPage)
    : m_strCaption(pszCaption), m_pParentWnd(pParentWnd) {
    m_psh.dwSize = sizeof m_psh;
    m_psh.nStartPage = iSelectPage;
}

CPropertySheet::~CPropertySheet() = default;

void CPropertySheet::AddPage(CPropertyPage* pPage) {
    if (!pPage) return;
    m_pages.push_back(pPage);
    if (!m_hWnd) return;
    HPROPSHEETPAGE hPage = ::CreatePropertySheetPageA(&pPage->m_psp);
    if (hPage) PropSheet_AddPage(m_hWnd, hPage);
}

void CPropertySheet::RemovePage(CPropertyPage* pPage) {
    const int index = GetPageIndex(pPage);
    if (index < 0) return;
    if (m_hWnd) PropSheet_RemovePage(m_hWnd, index, nullptr);
    m_pages.erase(m_pages.begin() + index);
}

int CALLBACK CPropertySheet::SheetCallback(HWND, UINT message, LPARAM lParam) {
    if (message != PSCB_PRECREATE || !t_pSheetInit || !lParam) return 0;
    // Put the caller's styles into the sheet's dialog template, keeping its font flag:
    // the template's layout depends on it.
    const DWORD style = t_pSheetInit->m_dwStyle;
    const DWORD exStyle = t_pSheetInit->m_dwExStyle;
    auto* pWords = reinterpret_cast<WORD*>(lParam);
    const bool bExtended = pWords[0] == 1 && pWords[1] == 0xFFFF;
    auto* pExStyle = reinterpret_cast<DWORD*>(reinterpret_cast<BYTE*>(lParam) + (bExtended ? 8 : 4));
    auto* pStyle = reinterpret_cast<DWORD*>(reinterpret_cast<BYTE*>(lParam) + (bExtended ? 12 : 0));
    *pStyle = style | (*pStyle & DS_SETFONT);
    *pExStyle = exStyle;
    return 0;
}

BOOL CPropertySheet::Create(CWnd* pParentWnd, DWORD dwStyle, DWORD dwExStyle) {
    if (m_hWnd || m_pages.empty()) return FALSE;
    if (pParentWnd) m_pParentWnd = pParentWnd;
    m_dwStyle = dwStyle == static_cast<DWORD>(-1) ? kDefaultSheetStyle : dwStyle;
    m_dwExStyle = dwExStyle;

    std::vector<HPROPSHEETPAGE> pages;
    for (CPropertyPage* pPage : m_pages) {
        HPROPSHEETPAGE hPage = ::CreatePropertySheetPageA(&pPage->m_psp);
        if (!hPage) break;
        pages.push_back(hPage);
    }
    if (pages.size() != m_pages.size()) {
        for (HPROPSHEETPAGE hPage : pages) ::DestroyPropertySheetPage(hPage);
        return FALSE;
    }
    m_psh.dwSize = sizeof m_psh;
    m_psh.dwFlags = PSH_MODELESS | PSH_USECALLBACK | PSH_NOAPPLYNOW;
    m_psh.hwndParent = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    m_psh.hInstance = AfxGetResourceHandle();
    m_psh.pszCaption = m_strCaption;
    m_psh.nPages = static_cast<UINT>(pages.size());
    m_psh.nStartPage = std::min<UINT>(m_psh.nStartPage, m_psh.nPages - 1);
    m_psh.phpage = pages.data();
    m_psh.pfnCallback = &CPropertySheet::SheetCallback;

    CPropertySheet* pPrevious = t_pSheetInit;
    t_pSheetInit = this;
    INT_PTR result;
    {
        CWndCreateScope scope(this);
        result = ::PropertySheetA(&m_psh);
    }
    t_pSheetInit = pPrevious;
    m_psh.phpage = nullptr;
    if (result == 0 || result == -1 || !m_hWnd) {
        if (m_hWnd) DestroyWindow();
        return FALSE;
    }
    return TRUE;
}

LRESULT CPropertySheet::OnInitSheet(WPARAM, LPARAM) {
    const LRESULT result = Default();
    HideStandardButtons();
    return result;
}

void CPropertySheet::HideStandardButtons() {
    const int ids[] = {IDOK, IDCANCEL, kIdApplyNow, IDHELP};
    int buttonsTop = -1;
    for (int id : ids) {
        HWND hButton = ::GetDlgItem(m_hWnd, id);
        if (!hButton) continue;
        ::ShowWindow(hButton, SW_HIDE);
        ::EnableWindow(hButton, FALSE);
        CRect rect;
        ::GetWindowRect(hButton, &rect);
        ScreenToClient(&rect);
        if (buttonsTop < 0 || rect.top < buttonsTop) buttonsTop = rect.top;
    }
    HWND hTab = PropSheet_GetTabControl(m_hWnd);
    if (buttonsTop < 0 || !hTab) return;
    CRect tab;
    ::GetWindowRect(hTab, &tab);
    ScreenToClient(&tab);
    // Keep below the tabs the margin the sheet keeps to their left.
    const int newClientBottom = tab.bottom + std::max<int>(tab.left, 0);
    CRect client;
    GetClientRect(&client);
    const int shrink = client.bottom - newClientBottom;
    if (shrink <= 0) return;
    CRect window;
    GetWindowRect(&window);
    SetWindowPos(static_cast<HWND>(nullptr), 0, 0, window.Width(), window.Height() - shrink,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CPropertySheet::OnSheetCancel() {
    // Esc (or any IDCANCEL at the sheet): the active page decides, as with its own
    // Close button. The sheet's built-in cancel would leave a modeless sheet open.
    CPropertyPage* pPage = GetActivePage();
    if (pPage && pPage->m_hWnd) pPage->SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

CPropertyPage* CPropertySheet::GetPage(int nPage) const {
    if (nPage < 0 || nPage >= GetPageCount()) return nullptr;
    return m_pages[nPage];
}

int CPropertySheet::GetPageIndex(const CPropertyPage* pPage) const {
    auto it = std::find(m_pages.begin(), m_pages.end(), pPage);
    return it == m_pages.end() ? -1 : static_cast<int>(it - m_pages.begin());
}

int CPropertySheet::GetActiveIndex() const {
    if (!m_hWnd) return static_cast<int>(m_psh.nStartPage);
    HWND hTab = PropSheet_GetTabControl(m_hWnd);
    return hTab ? TabCtrl_GetCurSel(hTab) : -1;
}

CPropertyPage* CPropertySheet::GetActivePage() const {
    if (!m_hWnd) return GetPage(GetActiveIndex());
    HWND hPage = PropSheet_GetCurrentPageHwnd(m_hWnd);
    return dynamic_cast<CPropertyPage*>(CWnd::FromHandlePermanent(hPage));
}

BOOL CPropertySheet::SetActivePage(int nPage) {
    if (nPage < 0 || nPage >= GetPageCount()) return FALSE;
    if (!m_hWnd) {
        m_psh.nStartPage = nPage;
        return TRUE;
    }
    return PropSheet_SetCurSel(m_hWnd, nullptr, nPage);
}

BOOL CPropertySheet::SetActivePage(CPropertyPage* pPage) {
    return SetActivePage(GetPageIndex(pPage));
}

CWnd* CPropertySheet::GetTabControl() const {
    if (!m_hWnd) return nullptr;
    return CWnd::FromHandle(PropSheet_GetTabControl(m_hWnd));
}

BOOL CPropertySheet::SetPageTitle(int nPage, LPCSTR lpszText) {
    if (!m_hWnd || nPage < 0 || nPage >= GetPageCount()) return FALSE;
    HWND hTab = PropSheet_GetTabControl(m_hWnd);
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<LPSTR>(lpszText);
    return static_cast<BOOL>(::SendMessageA(hTab, TCM_SETITEMA, nPage, reinterpret_cast<LPARAM>(&item)));
}

void CPropertySheet::SetTitle(LPCSTR lpszText) {
    m_strCaption = lpszText;
    if (m_hWnd) SetWindowText(lpszText);
}

BOOL CPropertySheet::PreTranslateMessage(MSG* pMsg) {
    if (!m_hWnd) return FALSE;
    return PropSheet_IsDialogMessage(m_hWnd, pMsg);
}
