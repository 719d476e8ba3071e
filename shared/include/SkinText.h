// Message texts of TELMAR.DLL and the message boxes of both programs. Every box is
// captioned with the program title, which the test drivers and the sibling player
// look for.
#pragma once

#include "fw/Framework.h"

// The text of string nID; empty when the library or the string is missing.
CString LoadText(UINT nID);

namespace skintext {

// printf takes strings as plain pointers and everything else as it is.
inline LPCSTR FormatArg(const CString& str) {
    return str.GetString();
}
template <typename T>
const T& FormatArg(const T& value) {
    return value;
}

}  // namespace skintext

// String nID formatted with the arguments. Without arguments the text is not a
// format at all: a literal '%' in it stays as it is.
template <typename... Args>
CString FormatText(UINT nID, const Args&... args) {
    const CString strText = LoadText(nID);
    if constexpr (sizeof...(Args) == 0) {
        return strText;
    } else {
        CString strFormatted;
        strFormatted.Format(strText, skintext::FormatArg(args)...);
        return strFormatted;
    }
}

// A message box with text that is ready to show; pOwner nullptr shows it without an
// owner window. Returns the button pressed (0 when the box could not be shown).
int ShowMessageText(CWnd* pOwner, LPCSTR lpszText, UINT nType);

// String nID, formatted with the arguments, as a message box.
template <typename... Args>
int ShowMessage(CWnd* pOwner, UINT nID, UINT nType, const Args&... args) {
    return ShowMessageText(pOwner, FormatText(nID, args...), nType);
}
