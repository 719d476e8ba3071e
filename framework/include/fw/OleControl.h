// Control containment without the registry: a table, filled by the programs through
// RegisterControlClass with the ControlClass of each control's interface header, maps
// the CLSID to the DLL that implements it and the window class it registers.
// AfxEnableControlContainer loads the DLLs of the table found in the control folder (the running program's
// folder unless AfxSetControlFolder names another). Dialog templates place a control
// as a custom control of its class; the CWnd bound to it calls the control through
// InvokeHelper / GetProperty / SetProperty, and its events reach the parent's
// event-sink map:
//
//   class CPlayerDlg : public CDialog { ... DECLARE_EVENTSINK_MAP() };
//   BEGIN_EVENTSINK_MAP(CPlayerDlg, CDialog)
//       ON_EVENT(CPlayerDlg, IDC_MP3PLAY, 1, OnPosition, VTS_I4)
//       ON_EVENT(CPlayerDlg, IDC_MP3PLAY, 2, OnEnd, VTS_NONE)
//   END_EVENTSINK_MAP()
//
// Handlers take the parameter types in the order of VTS_xxx: short (VTS_I2), long
// (VTS_I4), BOOL (VTS_BOOL), float (VTS_R4), LPCSTR (VTS_BSTR, valid for the call).
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <tuple>
#include <type_traits>
#include <utility>

#include "fw/ControlProtocol.h"
#include "fw/String.h"

class CWnd;

// Parameter type strings of InvokeHelper and ON_EVENT (one character per parameter).
#define VTS_NONE ""
#define VTS_I2 "\x02"
#define VTS_I4 "\x03"
#define VTS_R4 "\x04"
#define VTS_BSTR "\x08"
#define VTS_BOOL "\x0B"

namespace fw {

// The controls a program hosts, named by the program (or its wrappers) before
// AfxEnableControlContainer; one named later is loaded at once when containment is
// already on. The table keeps the pointer: pass a static object. FALSE when the table
// is full or the entry is incomplete; naming a CLSID again keeps the first entry.
constexpr size_t kMaxControlClasses = 16;
BOOL RegisterControlClass(const ControlClass& controlClass);
const ControlClass* FindControlClass(const char* pszClsid);
// Loads one control's DLL (once); FALSE when it is missing or registers no class.
BOOL LoadControl(const char* pszClsid);
BOOL IsControlLoaded(const char* pszClsid);

// --- event-sink maps ---------------------------------------------------------------------

using EventThunk = bool (*)(CWnd* pWnd, const VARIANT* pArgs, UINT cArgs);

struct EventSinkEntry {
    UINT nCtlID;
    DISPID dispid;
    EventThunk pfn;  // nullptr ends the table
};

struct EventSinkMap {
    const EventSinkMap* (*pfnGetBaseMap)();  // nullptr at CWnd
    const EventSinkEntry* pEntries;
};

const EventSinkEntry* FindEventSinkEntry(const EventSinkMap* pMap, UINT nCtlID, DISPID dispid);

// One event argument converted to the handler's parameter type.
template <class T>
struct EventArg;

template <>
struct EventArg<short> {
    short value = 0;
    bool Load(const VARIANT& v) { return LoadVariantAs(v, VT_I2, [&](const VARIANT& c) { value = c.iVal; }); }
    short Get() const { return value; }
};

template <>
struct EventArg<long> {
    long value = 0;
    bool Load(const VARIANT& v) { return LoadVariantAs(v, VT_I4, [&](const VARIANT& c) { value = c.lVal; }); }
    long Get() const { return value; }
};

template <>
struct EventArg<int> {
    int value = 0;  // BOOL
    bool Load(const VARIANT& v) {
        return LoadVariantAs(v, VT_BOOL, [&](const VARIANT& c) { value = c.boolVal ? TRUE : FALSE; });
    }
    int Get() const { return value; }
};

template <>
struct EventArg<float> {
    float value = 0;
    bool Load(const VARIANT& v) { return LoadVariantAs(v, VT_R4, [&](const VARIANT& c) { value = c.fltVal; }); }
    float Get() const { return value; }
};

// Loads every control DLL of the table (AfxEnableControlContainer does this).
void LoadAllControls();

template <>
struct EventArg<LPCSTR> {
    std::string value;
    bool Load(const VARIANT& v) {
        return LoadVariantAs(v, VT_BSTR, [&](const VARIANT& c) { value = BstrToAnsi(c.bstrVal); });
    }
    LPCSTR Get() const { return value.c_str(); }
};

template <class T, class... A, size_t... I>
bool CallEventHandler(T* pThis, void (T::*pfn)(A...), const VARIANT* pArgs, std::index_sequence<I...>) {
    std::tuple<EventArg<std::decay_t<A>>...> args;
    const bool bLoaded = (std::get<I>(args).Load(pArgs[I]) && ... && true);
    if (!bLoaded) return false;
    (pThis->*pfn)(std::get<I>(args).Get()...);
    return true;
}

template <class T, class... A>
bool CallEventHandler(T* pThis, void (T::*pfn)(A...), const VARIANT* pArgs, UINT cArgs) {
    if (cArgs != sizeof...(A)) return false;
    return CallEventHandler(pThis, pfn, pArgs, std::index_sequence_for<A...>{});
}

template <class T, class... A>
constexpr size_t HandlerArity(void (T::*)(A...)) {
    return sizeof...(A);
}

}  // namespace fw

#define DECLARE_EVENTSINK_MAP()                                   \
protected:                                                        \
    static const ::fw::EventSinkMap* GetThisEventSinkMap();       \
    const ::fw::EventSinkMap* GetEventSinkMap() const override;

#define BEGIN_EVENTSINK_MAP(theClass, baseClass)                                              \
    const ::fw::EventSinkMap* theClass::GetEventSinkMap() const { return GetThisEventSinkMap(); } \
    const ::fw::EventSinkMap* theClass::GetThisEventSinkMap() {                               \
        using TheSinkBaseClass = baseClass;                                                   \
        static const ::fw::EventSinkEntry s_entries[] = {

// The handler's parameter count must match the type string.
#define ON_EVENT(theClass, id, dispid, pfnHandler, vtsParams)                                           \
    {id, dispid,                                                                                       \
     [](CWnd * pWnd_, const VARIANT* pArgs_, UINT cArgs_) -> bool {                                     \
         static_assert(::fw::HandlerArity(&theClass::pfnHandler) == sizeof(vtsParams) - 1,              \
                       "event handler parameters differ from " #vtsParams);                             \
         return ::fw::CallEventHandler(static_cast<theClass*>(pWnd_), &theClass::pfnHandler, pArgs_, cArgs_); \
     }},

#define END_EVENTSINK_MAP()                                                                        \
            {0, 0, nullptr}};                                                                       \
        static const ::fw::EventSinkMap s_map = {&TheSinkBaseClass::GetThisEventSinkMap, s_entries}; \
        return &s_map;                                                                              \
    }

// The control folder: where AfxEnableControlContainer looks for the DLLs. Empty (the
// default) means the folder of the running program.
void AfxSetControlFolder(LPCSTR lpszFolder);
CString AfxGetControlFolder();
