// The common part of the control DLLs: IDispatch over a table of members, the
// control window that owns one control object, events posted to the host with owned
// arguments, and worker messages relayed through the control window.
//
// A control is a class with its members and a table; the DLL's entry registers it:
//
//   class CEncControl final : public ctlkit::CControl {
//   public:
//       explicit CEncControl(HWND hWnd) : CControl(hWnd) {}
//   private:
//       ctlkit::MemberList Members() const override;
//       void OnWorkerMessage(UINT message, LPARAM lParam) override;  // runs of a worker
//       void OnDestroy() override;                                   // stop everything
//       void SetBitRate(long nKbps);
//       SHORT OpenFiles(std::string source, std::string target);
//       SHORT StartEncode();
//       long GetTotal();
//   };
//
//   ctlkit::MemberList CEncControl::Members() const {
//       static const ctlkit::Member kMembers[] = {
//           ctlkit::Put<&CEncControl::SetBitRate>(mp3enc::kPropBitRate),
//           ctlkit::Method<&CEncControl::OpenFiles>(mp3enc::kMethodOpenFiles),
//           ctlkit::Method<&CEncControl::StartEncode>(mp3enc::kMethodStartEncode),
//           ctlkit::Method<&CEncControl::GetTotal>(mp3enc::kMethodGetTotal),
//       };
//       return kMembers;
//   }
//
//   BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID) {
//       return ctlkit::ControlDllMain<CEncControl>(hInstance, dwReason, mp3enc::kWndClass);
//   }
//
// Parameter and result types: short (VT_I2), long (VT_I4), bool (VT_BOOL), float
// (VT_R4), std::string (VT_BSTR, ANSI); a void result gives VT_EMPTY. Arguments are
// converted with VariantChangeType; one that does not convert fails the call with
// DISP_E_TYPEMISMATCH and its index in puArgErr. Events: PostEvent(dispid, args...)
// with the same types (const char* too), in the order of the event's parameters.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <cstddef>
#include <new>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>

#include "fw/ControlProtocol.h"

namespace ctlkit {

class CControl;

// Worker threads post these (plus an offset) to the control window, wParam = the
// generation the run started with; the window drops those of older generations.
constexpr UINT kMsgWorkerFirst = WM_APP + 1;
constexpr UINT kMsgWorkerLast = WM_APP + 0x3F;

enum class MemberKind : WORD {
    Get = DISPATCH_PROPERTYGET,
    Put = DISPATCH_PROPERTYPUT,
    Method = DISPATCH_METHOD,
};

using MemberThunk = HRESULT (*)(CControl& control, const DISPPARAMS& params, VARIANT* pResult, UINT* puArgErr);

struct Member {
    DISPID dispid;
    MemberKind kind;
    MemberThunk pfn;
};

struct MemberList {
    template <size_t N>
    MemberList(const Member (&members)[N]) : pMembers(members), cMembers(N) {}
    const Member* pMembers;
    size_t cMembers;
};

// --- values <-> VARIANTs -------------------------------------------------------------------

template <class T>
struct Value;

template <>
struct Value<short> {
    static constexpr VARTYPE vt = VT_I2;
    static short From(const VARIANT& v) { return v.iVal; }
    static void To(VARIANT& v, short x) { v.vt = VT_I2; v.iVal = x; }
};
template <>
struct Value<long> {
    static constexpr VARTYPE vt = VT_I4;
    static long From(const VARIANT& v) { return v.lVal; }
    static void To(VARIANT& v, long x) { v.vt = VT_I4; v.lVal = x; }
};
template <>
struct Value<bool> {
    static constexpr VARTYPE vt = VT_BOOL;
    static bool From(const VARIANT& v) { return v.boolVal != VARIANT_FALSE; }
    static void To(VARIANT& v, bool x) { v.vt = VT_BOOL; v.boolVal = x ? VARIANT_TRUE : VARIANT_FALSE; }
};
template <>
struct Value<float> {
    static constexpr VARTYPE vt = VT_R4;
    static float From(const VARIANT& v) { return v.fltVal; }
    static void To(VARIANT& v, float x) { v.vt = VT_R4; v.fltVal = x; }
};
template <>
struct Value<std::string> {
    static constexpr VARTYPE vt = VT_BSTR;
    static std::string From(const VARIANT& v) { return fw::BstrToAnsi(v.bstrVal); }
    static void To(VARIANT& v, const std::string& x) { v.vt = VT_BSTR; v.bstrVal = fw::AnsiToBstr(x.c_str()); }
};
template <>
struct Value<const char*> {
    static void To(VARIANT& v, const char* x) { v.vt = VT_BSTR; v.bstrVal = fw::AnsiToBstr(x ? x : ""); }
};

// One argument in the callee's type; FALSE when it does not convert.
template <class T>
bool LoadArg(const VARIANT& source, T& value) {
    return fw::LoadVariantAs(source, Value<T>::vt, [&](const VARIANT& c) { value = Value<T>::From(c); });
}

// --- the control -------------------------------------------------------------------------

class CControl : public IDispatch {
public:
    explicit CControl(HWND hWnd) : m_hWnd(hWnd) {}
    virtual ~CControl() = default;
    CControl(const CControl&) = delete;
    CControl& operator=(const CControl&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // IDispatch: no type information; callers use the fixed ids.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* pctinfo) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID, LCID, WORD wFlags, DISPPARAMS* pParams,
                                     VARIANT* pResult, EXCEPINFO*, UINT* puArgErr) override;

    // The control window's procedure after creation (ControlWndProc).
    static LRESULT CALLBACK WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT Attach(HWND hWnd, CControl* pControl, WPARAM wParam, LPARAM lParam);

protected:
    virtual MemberList Members() const = 0;
    // The window is going away: stop every worker; later calls fail with E_UNEXPECTED.
    virtual void OnDestroy() {}
    virtual void OnTimer(UINT_PTR) {}
    // A worker message of the current generation.
    virtual void OnWorkerMessage(UINT, LPARAM) {}

    HWND GetHwnd() const { return m_hWnd; }
    // What a worker started now passes with its messages.
    UINT Generation() const { return m_nGeneration; }
    // Messages of the runs so far are dropped from now on.
    void NextGeneration() { ++m_nGeneration; }

    // Posts an event to the host; FALSE when it cannot be delivered.
    template <class... A>
    BOOL PostEvent(DISPID dispid, const A&... args) {
        static_assert(sizeof...(A) <= fw::kMaxEventArgs, "too many event arguments");
        if (!m_hWnd) return FALSE;
        fw::ControlEventBlock* pBlock = fw::AllocControlEvent(dispid);
        if (!pBlock) return FALSE;
        UINT i = 0;
        (Value<EventType<A>>::To(pBlock->args[i++], args), ...);
        pBlock->cArgs = i;
        return fw::PostControlEvent(::GetParent(m_hWnd), static_cast<UINT>(::GetDlgCtrlID(m_hWnd)), pBlock);
    }

private:
    template <class A>
    using EventType = std::conditional_t<std::is_convertible_v<A, const char*>, const char*, std::decay_t<A>>;

    LONG m_nRefs = 1;  // the window's reference
    HWND m_hWnd;
    UINT m_nGeneration = 0;
};

// --- member thunks --------------------------------------------------------------------------

template <class F>
struct MemberTraits;
template <class T, class R, class... A>
struct MemberTraits<R (T::*)(A...)> {
    using Class = T;
    using Result = R;
    using Args = std::tuple<std::decay_t<A>...>;
};
template <class T, class R, class... A>
struct MemberTraits<R (T::*)(A...) const> : MemberTraits<R (T::*)(A...)> {};

// Converts the arguments (DISPPARAMS hold them last first) and calls the member.
template <auto Pfn, size_t... I>
HRESULT CallMember(CControl& control, const DISPPARAMS& params, VARIANT* pResult, UINT* puArgErr,
                   std::index_sequence<I...>) {
    using Traits = MemberTraits<decltype(Pfn)>;
    using R = typename Traits::Result;
    constexpr UINT cArgs = sizeof...(I);
    if (params.cArgs != cArgs) return DISP_E_BADPARAMCOUNT;
    typename Traits::Args args;
    UINT iFailed = 0;
    const bool bLoaded =
        ((LoadArg(params.rgvarg[cArgs - 1 - I], std::get<I>(args)) || (iFailed = cArgs - 1 - I, false)) && ...);
    if (!bLoaded) {
        if (puArgErr) *puArgErr = iFailed;
        return DISP_E_TYPEMISMATCH;
    }
    auto& self = static_cast<typename Traits::Class&>(control);
    if constexpr (std::is_void_v<R>) {
        (self.*Pfn)(std::get<I>(args)...);
        if (pResult) ::VariantInit(pResult);
    } else {
        R result = (self.*Pfn)(std::get<I>(args)...);
        if (pResult) {
            ::VariantInit(pResult);
            Value<R>::To(*pResult, result);
        }
    }
    return S_OK;
}

template <auto Pfn>
HRESULT MemberThunkFor(CControl& control, const DISPPARAMS& params, VARIANT* pResult, UINT* puArgErr) {
    using Args = typename MemberTraits<decltype(Pfn)>::Args;
    return CallMember<Pfn>(control, params, pResult, puArgErr, std::make_index_sequence<std::tuple_size_v<Args>>{});
}

template <auto Pfn>
constexpr Member Get(DISPID dispid) {
    static_assert(std::tuple_size_v<typename MemberTraits<decltype(Pfn)>::Args> == 0, "a property get takes nothing");
    return {dispid, MemberKind::Get, &MemberThunkFor<Pfn>};
}

template <auto Pfn>
constexpr Member Put(DISPID dispid) {
    static_assert(std::tuple_size_v<typename MemberTraits<decltype(Pfn)>::Args> == 1, "a property put takes one value");
    return {dispid, MemberKind::Put, &MemberThunkFor<Pfn>};
}

template <auto Pfn>
constexpr Member Method(DISPID dispid) {
    return {dispid, MemberKind::Method, &MemberThunkFor<Pfn>};
}

// --- the window class ------------------------------------------------------------------------

template <class T>
LRESULT CALLBACK ControlWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) return CControl::Attach(hWnd, new (std::nothrow) T(hWnd), wParam, lParam);
    return CControl::WindowProc(hWnd, message, wParam, lParam);
}

// A global class, so that dialog templates of any module in the process can place it.
BOOL RegisterControlWindow(HINSTANCE hInstance, LPCSTR lpszClass, WNDPROC pfnWndProc);

// The control DLL's entry: registers the class on load, removes it on unload.
template <class T>
BOOL ControlDllMain(HINSTANCE hInstance, DWORD dwReason, LPCSTR lpszClass) {
    if (dwReason == DLL_PROCESS_ATTACH) {
        ::DisableThreadLibraryCalls(hInstance);
        return RegisterControlWindow(hInstance, lpszClass, &ControlWndProc<T>);
    }
    if (dwReason == DLL_PROCESS_DETACH) ::UnregisterClassA(lpszClass, hInstance);
    return TRUE;
}

}  // namespace ctlkit
