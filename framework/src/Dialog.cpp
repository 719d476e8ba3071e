#include "fw/Dialog.h"

#include "fw/App.h"

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd) : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

HWND CDialog::ParentHandle(CWnd* pParentWnd) const {
    if (pParentWnd) return pParentWnd->m_hWnd;
    // Like the framework always did: without a parent, the main window owns the dialog.
    CWnd* pMain = AfxGetMainWnd();
    return pMain && pMain != this ? pMain->m_hWnd : nullptr;
}

void CDialog::BindDialog(HWND hWnd) {
    BindHandle(hWnd, true, !m_bModal);
}

INT_PTR CDialog::DoModal() {
    if (m_hWnd) return -1;
    m_bModal = true;
    const INT_PTR result = ::DialogBoxParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(m_nIDTemplate),
                                             ParentHandle(m_pParentWnd), &CDialog::DialogProc,
                                             reinterpret_cast<LPARAM>(this));
    m_bModal = false;
    return result;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) {
    if (m_hWnd) return FALSE;
    m_nIDTemplate = nIDTemplate;
    if (pParentWnd) m_pParentWnd = pParentWnd;
    m_bModal = false;
    HWND hWnd = ::CreateDialogParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nIDTemplate),
                                     ParentHandle(m_pParentWnd), &CDialog::DialogProc,
                                     reinterpret_cast<LPARAM>(this));
    return hWnd != nullptr && m_hWnd == hWnd;
}

void CDialog::EndDialog(int nResult) {
    if (m_hWnd) ::EndDialog(m_hWnd, nResult);
}

BOOL CDialog::OnInitDialog() {
    return TRUE;
}

void CDialog::OnOK() {
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg) {
    // Keyboard navigation of modeless dialogs; modal ones run the system's own loop.
    if (m_bModal || !m_hWnd || (GetStyle() & WS_CHILD)) return FALSE;
    return ::IsDialogMessageA(m_hWnd, pMsg);
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // Controls ask their parent which character set their notifications use: ours is ANSI.
    if (message == WM_NOTIFYFORMAT && lParam == NF_QUERY) return NFR_ANSI;
    // A handler may destroy the dialog (and delete this): keep the handle apart.
    HWND hWnd = m_hWnd;
    const LRESULT result = CWnd::WindowProc(message, wParam, lParam);
    // Some senders read a dialog's answer from DWLP_MSGRESULT rather than from the
    // return value; keep both the same.
    if (message == WM_NOTIFY && ::IsWindow(hWnd)) ::SetWindowLongPtrA(hWnd, DWLP_MSGRESULT, result);
    return result;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM, LPARAM lParam) {
    // Every other message reaches the object through its subclassed window procedure;
    // this procedure then only says "not handled" so that the dialog manager does the rest.
    if (message != WM_INITDIALOG) return FALSE;
    auto* pDialog = dynamic_cast<CDialog*>(CWnd::FromHandlePermanent(hWnd));
    if (!pDialog) {
        pDialog = reinterpret_cast<CDialog*>(lParam);
        if (!pDialog) return FALSE;
        pDialog->BindDialog(hWnd);
    }
    return pDialog->OnInitDialog();
}
