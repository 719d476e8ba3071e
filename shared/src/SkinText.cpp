#include "SkinText.h"

#include "SkinApp.h"

CString LoadText(UINT nID) {
    CString strText;
    if (CSkinApp* pApp = GetSkinApp()) pApp->LoadResString(strText, nID);
    return strText;
}

int ShowMessageText(CWnd* pOwner, LPCSTR lpszText, UINT nType) {
    CWinApp* pApp = AfxGetApp();
    LPCSTR lpszCaption = pApp ? pApp->m_strAppName.GetString() : "";
    return ::MessageBoxA(pOwner ? pOwner->GetSafeHwnd() : nullptr, lpszText, lpszCaption, nType);
}
