// Control containment: the CLSID table, loading the control DLLs, dispatch calls
// through IDispatch::Invoke and delivery of posted events to event-sink maps.
#include "fw/OleControl.h"

#include <cstdarg>
#include <cstring>

#include "fw/App.h"
#include "fw/Wnd.h"

namespace fw {
namespace {

struct LoadedControl {
    const ControlClass* pClass = nullptr;
    HMODULE hModule = nullptr;
    bool bTried = false;
};

LoadedControl g_controls[kMaxControlClasses];
size_t g_cControls = 0;
CString g_strControlFolder;

CString ControlFolder() {
    if (!g_strControlFolder.IsEmpty()) return g_strControlFolder;
    char szPath[MAX_PATH] = {};
    const DWORD n = ::GetModuleFileNameA(nullptr, szPath, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return CString();
    char* pSlash = std::strrchr(szPath, '\\');
    if (pSlash) *pSlash = '\0';
    return CString(szPath);
}

LoadedControl* EntryOf(const char* pszClsid) {
    if (!pszClsid) return nullptr;
    for (size_t i = 0; i < g_cControls; ++i) {
        if (::lstrcmpiA(g_controls[i].pClass->pszClsid, pszClsid) == 0) return &g_controls[i];
    }
    return nullptr;
}

// The control's dispatch interface with a reference for the caller, or nullptr.
IDispatch* DispatchOf(HWND hWnd) {
    if (!hWnd || !::IsWindow(hWnd)) return nullptr;
    DWORD_PTR result = 0;
    // A window that is no control answers 0 to the registered message.
    if (!::SendMessageTimeoutA(hWnd, ControlGetDispatchMessage(), 0, 0, SMTO_NORMAL, 5000, &result)) return nullptr;
    return reinterpret_cast<IDispatch*>(result);
}

HRESULT ArgFromVa(char vts, va_list& args, VARIANT& v) {
    switch (vts) {
    case VT_I2:
        v.vt = VT_I2;
        v.iVal = static_cast<SHORT>(va_arg(args, int));
        return S_OK;
    case VT_I4:
        v.vt = VT_I4;
        v.lVal = va_arg(args, long);
        return S_OK;
    case VT_BOOL:
        v.vt = VT_BOOL;
        v.boolVal = va_arg(args, int) ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    case VT_R4:
        v.vt = VT_R4;
        v.fltVal = static_cast<float>(va_arg(args, double));
        return S_OK;
    case VT_BSTR: {
        LPCSTR psz = va_arg(args, LPCSTR);
        v.vt = VT_BSTR;
        v.bstrVal = AnsiToBstr(psz ? psz : "");
        return v.bstrVal ? S_OK : E_OUTOFMEMORY;
    }
    default:
        return DISP_E_BADVARTYPE;
    }
}

HRESULT StoreResult(VARIANT& result, VARTYPE vtRet, void* pvRet) {
    if (vtRet == VT_EMPTY) return S_OK;
    if (!pvRet) return E_POINTER;
    VARIANT c;
    ::VariantInit(&c);
    HRESULT hr = ::VariantChangeType(&c, &result, 0, vtRet);
    if (FAILED(hr)) return hr;
    switch (vtRet) {
    case VT_I2: *static_cast<short*>(pvRet) = c.iVal; break;
    case VT_I4: *static_cast<long*>(pvRet) = c.lVal; break;
    case VT_BOOL: *static_cast<BOOL*>(pvRet) = c.boolVal ? TRUE : FALSE; break;
    case VT_R4: *static_cast<float*>(pvRet) = c.fltVal; break;
    case VT_BSTR: *static_cast<CString*>(pvRet) = CString(BstrToAnsi(c.bstrVal).c_str()); break;
    default: hr = DISP_E_BADVARTYPE; break;
    }
    ::VariantClear(&c);
    return hr;
}

HRESULT Invoke(HWND hWnd, DISPID dispid, WORD wFlags, VARTYPE vtRet, void* pvRet, const BYTE* pbParamInfo,
               va_list args) {
    IDispatch* pDispatch = DispatchOf(hWnd);
    if (!pDispatch) return E_NOINTERFACE;
    const size_t cArgs = pbParamInfo ? std::strlen(reinterpret_cast<const char*>(pbParamInfo)) : 0;
    VARIANT argv[kMaxEventArgs];
    HRESULT hr = cArgs <= kMaxEventArgs ? S_OK : E_INVALIDARG;
    UINT cLoaded = 0;
    // DISPPARAMS hold the arguments last first.
    for (; SUCCEEDED(hr) && cLoaded < cArgs; ++cLoaded) {
        VARIANT& v = argv[cArgs - 1 - cLoaded];
        ::VariantInit(&v);
        hr = ArgFromVa(static_cast<char>(pbParamInfo[cLoaded]), args, v);
    }
    DISPID dispidNamed = DISPID_PROPERTYPUT;
    DISPPARAMS params = {cArgs ? argv : nullptr, nullptr, static_cast<UINT>(cArgs), 0};
    if (wFlags & DISPATCH_PROPERTYPUT) {
        params.rgdispidNamedArgs = &dispidNamed;
        params.cNamedArgs = 1;
    }
    VARIANT result;
    ::VariantInit(&result);
    if (SUCCEEDED(hr)) hr = pDispatch->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, wFlags, &params, &result, nullptr, nullptr);
    if (SUCCEEDED(hr)) hr = StoreResult(result, vtRet, pvRet);
    ::VariantClear(&result);
    for (UINT i = 0; i < cLoaded; ++i) ::VariantClear(&argv[cArgs - 1 - i]);
    pDispatch->Release();
    return hr;
}

}  // namespace

BOOL RegisterControlClass(const ControlClass& controlClass) {
    if (!controlClass.pszClsid || !controlClass.pszDll || !controlClass.pszWndClass) return FALSE;
    if (EntryOf(controlClass.pszClsid)) return TRUE;
    if (g_cControls == kMaxControlClasses) return FALSE;
    g_controls[g_cControls++].pClass = &controlClass;
    if (AfxControlContainerEnabled()) LoadControl(controlClass.pszClsid);
    return TRUE;
}

const ControlClass* FindControlClass(const char* pszClsid) {
    const LoadedControl* pEntry = EntryOf(pszClsid);
    return pEntry ? pEntry->pClass : nullptr;
}

BOOL LoadControl(const char* pszClsid) {
    LoadedControl* pEntry = EntryOf(pszClsid);
    if (!pEntry) return FALSE;
    if (pEntry->bTried) return pEntry->hModule != nullptr;
    pEntry->bTried = true;
    const ControlClass* pClass = pEntry->pClass;
    CString strPath = ControlFolder();
    strPath += "\\";
    strPath += pClass->pszDll;
    // Only the named file: a control of the same name elsewhere on the search path
    // is not ours.
    HMODULE hModule = ::LoadLibraryExA(strPath, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!hModule) return FALSE;
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    if (!::GetClassInfoExA(hModule, pClass->pszWndClass, &wc)) {
        ::FreeLibrary(hModule);
        return FALSE;
    }
    pEntry->hModule = hModule;
    return TRUE;
}

BOOL IsControlLoaded(const char* pszClsid) {
    const LoadedControl* pEntry = EntryOf(pszClsid);
    return pEntry && pEntry->hModule != nullptr;
}

void LoadAllControls() {
    for (size_t i = 0; i < g_cControls; ++i) LoadControl(g_controls[i].pClass->pszClsid);
}

const EventSinkEntry* FindEventSinkEntry(const EventSinkMap* pMap, UINT nCtlID, DISPID dispid) {
    for (; pMap; pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr) {
        for (const EventSinkEntry* p = pMap->pEntries; p && p->pfn; ++p) {
            if (p->nCtlID == nCtlID && p->dispid == dispid) return p;
        }
    }
    return nullptr;
}

}  // namespace fw

void AfxSetControlFolder(LPCSTR lpszFolder) {
    fw::g_strControlFolder = lpszFolder ? lpszFolder : "";
}

CString AfxGetControlFolder() {
    return fw::ControlFolder();
}

// --- CWnd ----------------------------------------------------------------------------------

const fw::EventSinkMap* CWnd::GetThisEventSinkMap() {
    return nullptr;
}

const fw::EventSinkMap* CWnd::GetEventSinkMap() const {
    return GetThisEventSinkMap();
}

void CWnd::OnControlEvent(UINT nCtlID, fw::ControlEventBlock* pBlock) {
    if (!pBlock) return;
    const fw::EventSinkEntry* pEntry = fw::FindEventSinkEntry(GetEventSinkMap(), nCtlID, pBlock->dispid);
    const UINT cArgs = pBlock->cArgs <= fw::kMaxEventArgs ? pBlock->cArgs : 0;
    // Freed first if the handler destroys this window: copy nothing, free after.
    if (pEntry) pEntry->pfn(this, pBlock->args, cArgs);
    fw::FreeControlEvent(pBlock);
}

BOOL CWnd::CreateControl(LPCSTR lpszClsid, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                         CWnd* pParentWnd, UINT nID) {
    const fw::ControlClass* pClass = fw::FindControlClass(lpszClsid);
    if (!pClass || !fw::LoadControl(lpszClsid)) return FALSE;
    return Create(pClass->pszWndClass, lpszWindowName, dwStyle | WS_CHILD, rect, pParentWnd, nID);
}

HRESULT CWnd::InvokeHelper(DISPID dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet, const BYTE* pbParamInfo, ...) {
    va_list args;
    va_start(args, pbParamInfo);
    const HRESULT hr = fw::Invoke(m_hWnd, dwDispID, wFlags, vtRet, pvRet, pbParamInfo, args);
    va_end(args);
    return hr;
}

HRESULT CWnd::GetProperty(DISPID dwDispID, VARTYPE vtProp, void* pvProp) {
    return InvokeHelper(dwDispID, DISPATCH_PROPERTYGET, vtProp, pvProp, nullptr);
}

HRESULT CWnd::SetProperty(DISPID dwDispID, VARTYPE vtProp, ...) {
    const BYTE info[2] = {static_cast<BYTE>(vtProp), 0};
    va_list args;
    va_start(args, vtProp);
    const HRESULT hr = fw::Invoke(m_hWnd, dwDispID, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, info, args);
    va_end(args);
    return hr;
}
