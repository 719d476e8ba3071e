// CControlWnd: the base of the control wrappers (CMp3Play and the like), so that each
// operation is one line with its dispatch id:
//
//   long CMp3Play::GetFrames() { return GetProp<long>(mp3play::kPropFrames); }
//   short CMp3Play::Seek(long nFrame) { return Call<short>(mp3play::kMethodSeek, nFrame); }
//   void CMp3Enc::SetLowRate(BOOL bLow) { SetProp(mp3enc::kPropLowRate, bLow != FALSE); }
//
// Value types: short (VT_I2), long (VT_I4), bool (VT_BOOL), float (VT_R4), LPCSTR and
// CString (VT_BSTR); results also BOOL (VT_BOOL) and CString. When the control is
// missing or refuses the call, properties read 0 (FALSE, empty) and methods return
// kStatusNoControl for a 16-bit result, 0 for any other.
#pragma once

#include "fw/Wnd.h"

namespace fw {

constexpr short kStatusNoControl = -1;

template <class T>
struct DispValue;
template <>
struct DispValue<short> {
    static constexpr VARTYPE vt = VT_I2;
    using Pass = int;  // what a variadic call carries
    using Storage = short;
};
template <>
struct DispValue<long> {
    static constexpr VARTYPE vt = VT_I4;
    using Pass = long;
    using Storage = long;
};
template <>
struct DispValue<bool> {
    static constexpr VARTYPE vt = VT_BOOL;
    using Pass = int;
    using Storage = BOOL;
};
template <>
struct DispValue<int> {  // BOOL, as a result only: an int argument is ambiguous
    static constexpr VARTYPE vt = VT_BOOL;
    using Storage = BOOL;
};
template <>
struct DispValue<float> {
    static constexpr VARTYPE vt = VT_R4;
    using Pass = double;
    using Storage = float;
};
template <>
struct DispValue<LPCSTR> {
    static constexpr VARTYPE vt = VT_BSTR;
    using Pass = LPCSTR;
};
template <>
struct DispValue<CString> {
    static constexpr VARTYPE vt = VT_BSTR;
    using Storage = CString;
};

template <class A>
using DispArgType = std::conditional_t<std::is_convertible_v<A, LPCSTR>, LPCSTR, std::decay_t<A>>;

template <class A>
typename DispValue<DispArgType<A>>::Pass PassArg(const A& value) {
    if constexpr (std::is_convertible_v<A, LPCSTR>) {
        const LPCSTR psz = value;
        return psz ? psz : "";
    } else {
        return static_cast<typename DispValue<DispArgType<A>>::Pass>(value);
    }
}

}  // namespace fw

class CControlWnd : public CWnd {
public:
    template <class R>
    R GetProp(DISPID dispid) {
        typename fw::DispValue<R>::Storage value{};
        if (FAILED(GetProperty(dispid, fw::DispValue<R>::vt, &value))) return R{};
        return static_cast<R>(value);
    }

    template <class V>
    HRESULT SetProp(DISPID dispid, const V& value) {
        return SetProperty(dispid, fw::DispValue<fw::DispArgType<V>>::vt, fw::PassArg(value));
    }

    template <class R, class... A>
    R Call(DISPID dispid, const A&... args) {
        static const BYTE kParams[] = {static_cast<BYTE>(fw::DispValue<fw::DispArgType<A>>::vt)..., 0};
        typename fw::DispValue<R>::Storage value{};
        if (FAILED(InvokeHelper(dispid, DISPATCH_METHOD, fw::DispValue<R>::vt, &value, kParams, fw::PassArg(args)...)))
            return NoControl<R>();
        return static_cast<R>(value);
    }

private:
    template <class R>
    static R NoControl() {
        if constexpr (std::is_same_v<R, short>) return fw::kStatusNoControl;
        else return R{};
    }
};
