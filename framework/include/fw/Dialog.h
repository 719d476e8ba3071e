// CDialog: modal (DoModal) and modeless (Create) dialogs from resource templates.
//
// The object takes its HWND at WM_INITDIALOG and subclasses it, so a dialog's
// messages run through the same message maps as every other window; the dialog
// manager's own processing is the default handling. OnOK and OnCancel end a modal
// dialog; a modeless dialog overrides them to call DestroyWindow.
#pragma once

#include "fw/Wnd.h"

class CDialog : public CWnd {
public:
    CDialog() = default;
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);

    // Modal: returns the EndDialog code, or -1 when the dialog cannot be made.
    virtual INT_PTR DoModal();
    // Modeless: FALSE when the dialog cannot be made.
    BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    void EndDialog(int nResult);
    BOOL IsModal() const { return m_bModal; }

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

    BOOL PreTranslateMessage(MSG* pMsg) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The procedure given to the dialog manager: binds the object at WM_INITDIALOG.
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

protected:
    HWND ParentHandle(CWnd* pParentWnd) const;
    // Ties the dialog window to the object; called once, at WM_INITDIALOG.
    void BindDialog(HWND hWnd);

    UINT m_nIDTemplate = 0;
    CWnd* m_pParentWnd = nullptr;
    bool m_bModal = false;

    DECLARE_MESSAGE_MAP()
};
