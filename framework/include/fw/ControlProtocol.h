// The contract between the framework's control containment and a control DLL.
// Header-only and free of the framework, so that control DLLs can include it alone.
//
// - A control DLL registers a global window class when it is loaded; a dialog
//   template places a window of that class with the control's fixed id.
// - The host asks the control window for its dispatch interface by sending
//   ControlGetDispatchMessage(); the answer is an IDispatch* with a reference the
//   caller releases (0 when the control cannot serve).
// - The control raises an event by posting ControlEventMessage() to its parent:
//   wParam = the control id, lParam = a ControlEventBlock from AllocControlEvent. The
//   receiver owns the block and frees it with FreeControlEvent (which clears the
//   VARIANTs, BSTRs included); a sender whose post fails frees it itself.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>

namespace fw {

// ANSI <-> BSTR in the Windows code page, for both sides of the dispatch calls.
inline std::string BstrToAnsi(BSTR bstr) {
    const int cch = bstr ? static_cast<int>(::SysStringLen(bstr)) : 0;
    if (cch == 0) return std::string();
    const int cb = ::WideCharToMultiByte(CP_ACP, 0, bstr, cch, nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<size_t>(cb > 0 ? cb : 0), '\0');
    if (cb > 0) ::WideCharToMultiByte(CP_ACP, 0, bstr, cch, &s[0], cb, nullptr, nullptr);
    return s;
}

// SysAllocString's; never nullptr unless out of memory.
inline BSTR AnsiToBstr(const char* psz) {
    const int cch = ::MultiByteToWideChar(CP_ACP, 0, psz, -1, nullptr, 0);
    if (cch <= 0) return ::SysAllocString(L"");
    BSTR bstr = ::SysAllocStringLen(nullptr, static_cast<UINT>(cch - 1));
    if (bstr) ::MultiByteToWideChar(CP_ACP, 0, psz, -1, bstr, cch);
    return bstr;
}

// Converts v to vt and hands the converted VARIANT to store; FALSE when v does not
// convert. Both sides use it: the control for arguments, the host for event arguments.
template <class F>
bool LoadVariantAs(const VARIANT& v, VARTYPE vt, F store) {
    VARIANT c;
    ::VariantInit(&c);
    if (FAILED(::VariantChangeType(&c, const_cast<VARIANT*>(&v), 0, vt))) return false;
    store(c);
    ::VariantClear(&c);
    return true;
}

// One control as the containment knows it; each control's interface header has one.
struct ControlClass {
    const char* pszClsid;     // "{...}" as the registry spells it
    const char* pszDll;       // file name in the control folder
    const char* pszWndClass;  // the window class the DLL registers
};

constexpr UINT kMaxEventArgs = 8;

struct ControlEventBlock {
    DISPID dispid;
    UINT cArgs;
    VARIANT args[kMaxEventArgs];  // in the order of the event's parameters
};

inline UINT ControlGetDispatchMessage() {
    static const UINT s_msg = ::RegisterWindowMessageA("OrvControlGetDispatch");
    return s_msg;
}

inline UINT ControlEventMessage() {
    static const UINT s_msg = ::RegisterWindowMessageA("OrvControlEvent");
    return s_msg;
}

// The process heap is shared by modules with separate C runtimes.
inline ControlEventBlock* AllocControlEvent(DISPID dispid) {
    auto* pBlock = static_cast<ControlEventBlock*>(
        ::HeapAlloc(::GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(ControlEventBlock)));
    if (pBlock) pBlock->dispid = dispid;
    return pBlock;
}

inline void FreeControlEvent(ControlEventBlock* pBlock) {
    if (!pBlock) return;
    for (UINT i = 0; i < pBlock->cArgs && i < kMaxEventArgs; ++i) ::VariantClear(&pBlock->args[i]);
    ::HeapFree(::GetProcessHeap(), 0, pBlock);
}

// Posts the event to hWndHost; frees the block when the post fails.
inline BOOL PostControlEvent(HWND hWndHost, UINT nCtlID, ControlEventBlock* pBlock) {
    if (!pBlock) return FALSE;
    // A null handle would post to the thread's queue, where no window frees the block.
    if (hWndHost && ::IsWindow(hWndHost) &&
        ::PostMessageA(hWndHost, ControlEventMessage(), nCtlID, reinterpret_cast<LPARAM>(pBlock)))
        return TRUE;
    FreeControlEvent(pBlock);
    return FALSE;
}

}  // namespace fw
