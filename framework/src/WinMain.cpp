// The programs' entry point. Console executables (the tests) carry it too, unused:
// their C runtime starts main() instead.
#include "fw/App.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR lpCmdLine, int nCmdShow) {
    return AfxWinMain(hInstance, lpCmdLine, nCmdShow);
}
