// How the information dialogs fill their statics: a static's template text is the
// format of its value, and sizes and MPEG figures are shown the same way everywhere.
#pragma once

#include "fw/Framework.h"

// Kb as the programs show sizes: half a Kb and more rounds up.
long RoundedKb(DWORD dwBytes);

// "Yes" or "No".
LPCSTR YesNoText(BOOL bValue);

// The message text that names an MPEG header channel mode (0 stereo ... 3 single
// channel); 0 for any other value.
UINT MpegChannelModeText(short nMode);

// The MP3 control's average bit rate in kbit/s. Rounded: the average of a constant
// 128 kbit/s stream may come out a little under 128000 bit/s.
int KbitPerSecond(long nBitsPerSecond);

// The static's template text, formatted with the arguments, replaces it.
template <typename... Args>
void FillStatic(CWnd* pDlg, int nID, const Args&... args) {
    CString strFormat;
    pDlg->GetDlgItemText(nID, strFormat);
    CString strText;
    strText.Format(strFormat, args...);
    pDlg->SetDlgItemText(nID, strText);
}

// The static's template text followed by text.
void AppendStatic(CWnd* pDlg, int nID, LPCSTR lpszText);
