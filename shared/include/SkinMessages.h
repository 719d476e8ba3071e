// Private window messages of both programs. UM_SHUTDOWN crosses process boundaries
// (one player asks the other to close), so its number is fixed for good.
#pragma once

#include <windows.h>

const UINT UM_BUTTONHOVER = WM_USER + 3;     // skinned button -> page, wParam = control id
const UINT UM_HOTSPOTCLICK = WM_USER + 4;    // player -> itself, wParam = hotspot id
const UINT UM_BUTTONRCLICK = WM_USER + 6;    // skinned button -> page, wParam = control id
const UINT UM_AUDITIONCLOSED = WM_USER + 7;  // an Audition dialog has closed
const UINT UM_LISTDROPFILES = WM_USER + 8;   // skinned list -> page, wParam = drop handle
const UINT UM_LISTMOUSE = WM_USER + 9;       // skinned list -> page, wParam = action
const UINT UM_SHUTDOWN = WM_USER + 10;       // save your state and quit; wParam, lParam 0
