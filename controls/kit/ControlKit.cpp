#include "ctlkit/ControlKit.h"

namespace ctlkit {
namespace {

CControl* ControlOf(HWND hWnd) {
    return reinterpret_cast<CControl*>(::GetWindowLongPtrA(hWnd, GWLP_USERDATA));
}

// A put carries its value as the one named argument DISPID_PROPERTYPUT; the others
// take positional arguments only.
bool NamedArgsFit(MemberKind kind, const DISPPARAMS& params) {
    if (kind != MemberKind::Put) return params.cNamedArgs == 0;
    return params.cNamedArgs == 1 && params.rgdispidNamedArgs && params.rgdispidNamedArgs[0] == DISPID_PROPERTYPUT;
}

}  // namespace

HRESULT CControl::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch)) {
        *ppv = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG CControl::AddRef() {
    return static_cast<ULONG>(::InterlockedIncrement(&m_nRefs));
}

ULONG CControl::Release() {
    const LONG n = ::InterlockedDecrement(&m_nRefs);
    if (n == 0) delete this;
    return static_cast<ULONG>(n);
}

HRESULT CControl::GetTypeInfoCount(UINT* pctinfo) {
    if (pctinfo) *pctinfo = 0;
    return S_OK;
}

HRESULT CControl::GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo) {
    if (ppTInfo) *ppTInfo = nullptr;
    return E_NOTIMPL;
}

HRESULT CControl::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return DISP_E_UNKNOWNNAME;
}

HRESULT CControl::Invoke(DISPID dispid, REFIID, LCID, WORD wFlags, DISPPARAMS* pParams, VARIANT* pResult,
                         EXCEPINFO*, UINT* puArgErr) {
    if (!m_hWnd) return E_UNEXPECTED;
    const MemberList list = Members();
    const Member* pMember = nullptr;
    for (size_t i = 0; i < list.cMembers && !pMember; ++i) {
        const Member& m = list.pMembers[i];
        if (m.dispid == dispid && (wFlags & static_cast<WORD>(m.kind))) pMember = &m;
    }
    if (!pMember) return DISP_E_MEMBERNOTFOUND;
    static const DISPPARAMS kNoParams = {nullptr, nullptr, 0, 0};
    const DISPPARAMS& params = pParams ? *pParams : kNoParams;
    if (!NamedArgsFit(pMember->kind, params)) return DISP_E_BADPARAMCOUNT;
    if (pMember->kind == MemberKind::Get && !pResult) return E_POINTER;
    return pMember->pfn(*this, params, pResult, puArgErr);
}

LRESULT CControl::Attach(HWND hWnd, CControl* pControl, WPARAM wParam, LPARAM lParam) {
    if (!pControl) return FALSE;
    ::SetWindowLongPtrA(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(pControl));
    return ::DefWindowProcA(hWnd, WM_NCCREATE, wParam, lParam);
}

LRESULT CALLBACK CControl::WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CControl* pControl = ControlOf(hWnd);
    if (!pControl) return ::DefWindowProcA(hWnd, message, wParam, lParam);
    if (message == fw::ControlGetDispatchMessage()) {
        pControl->AddRef();
        return reinterpret_cast<LRESULT>(static_cast<IDispatch*>(pControl));
    }
    if (message >= kMsgWorkerFirst && message <= kMsgWorkerLast) {
        if (static_cast<UINT>(wParam) == pControl->m_nGeneration) pControl->OnWorkerMessage(message, lParam);
        return 0;
    }
    switch (message) {
    case WM_TIMER:
        pControl->OnTimer(wParam);
        return 0;
    case WM_NCDESTROY:
        ::SetWindowLongPtrA(hWnd, GWLP_USERDATA, 0);
        pControl->OnDestroy();
        pControl->m_hWnd = nullptr;
        pControl->Release();
        return 0;
    default:
        return ::DefWindowProcA(hWnd, message, wParam, lParam);
    }
}

BOOL RegisterControlWindow(HINSTANCE hInstance, LPCSTR lpszClass, WNDPROC pfnWndProc) {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_GLOBALCLASS;
    wc.lpfnWndProc = pfnWndProc;
    wc.hInstance = hInstance;
    wc.lpszClassName = lpszClass;
    return ::RegisterClassExA(&wc) != 0;
}

}  // namespace ctlkit
