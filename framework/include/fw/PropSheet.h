// CPropertySheet and CPropertyPage on the common controls' property sheets, modeless.
//
// The sheet is made by PropertySheet with PSH_MODELESS; its window is bound to the
// object from its first message. Pages are dialogs that the sheet creates when they
// are first shown; they receive OnSetActive / OnKillActive as the user moves between
// them. A modeless sheet hides the standard OK / Cancel / Apply buttons and shrinks to
// its pages; Esc is given to the active page as IDCANCEL, so that closing goes through
// the page's own OnCancel. A sheet made with new overrides PostNcDestroy to delete itself.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "fw/Dialog.h"

class CPropertySheet;

class CPropertyPage : public CDialog {
public:
    explicit CPropertyPage(UINT nIDTemplate, UINT nIDCaption = 0);

    // TRUE lets the page be shown.
    virtual BOOL OnSetActive();
    // TRUE lets the user leave the page; FALSE keeps it active.
    virtual BOOL OnKillActive();
    // The sheet is being cancelled (PSN_RESET).
    virtual void OnReset();
    // A page does not end a dialog of its own: OK and Cancel do nothing by default.
    void OnOK() override;
    void OnCancel() override;

    BOOL PreTranslateMessage(MSG* pMsg) override;
    CPropertySheet* GetSheet() const;

    PROPSHEETPAGEA m_psp = {};

protected:
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

private:
    static INT_PTR CALLBACK PageProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    CString m_strCaption;
};

class CPropertySheet : public CWnd {
public:
    explicit CPropertySheet(LPCSTR pszCaption = nullptr, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
    ~CPropertySheet() override;

    // Pages are not owned; they are usually members of the derived sheet.
    void AddPage(CPropertyPage* pPage);
    void RemovePage(CPropertyPage* pPage);
    // Modeless creation. dwStyle (DWORD)-1 means the usual caption, system menu and frame.
    virtual BOOL Create(CWnd* pParentWnd = nullptr, DWORD dwStyle = static_cast<DWORD>(-1), DWORD dwExStyle = 0);

    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    CPropertyPage* GetPage(int nPage) const;
    int GetPageIndex(const CPropertyPage* pPage) const;
    CPropertyPage* GetActivePage() const;
    int GetActiveIndex() const;
    BOOL SetActivePage(int nPage);
    BOOL SetActivePage(CPropertyPage* pPage);
    // The tab strip (temporary wrapper), e.g. to disable page changes during a batch.
    CWnd* GetTabControl() const;
    // Changes the tab text of a page.
    BOOL SetPageTitle(int nPage, LPCSTR lpszText);
    void SetTitle(LPCSTR lpszText);

    BOOL PreTranslateMessage(MSG* pMsg) override;

    PROPSHEETHEADERA m_psh = {};

protected:
    LRESULT OnInitSheet(WPARAM wParam, LPARAM lParam);
    void OnSheetCancel();
    // Hides the standard buttons of a modeless sheet and takes their room away.
    void HideStandardButtons();

    DECLARE_MESSAGE_MAP()

private:
    static int CALLBACK SheetCallback(HWND hWnd, UINT message, LPARAM lParam);

    std::vector<CPropertyPage*> m_pages;
    CString m_strCaption;
    CWnd* m_pParentWnd;
    DWORD m_dwStyle = static_cast<DWORD>(-1);
    DWORD m_dwExStyle = 0;
};
