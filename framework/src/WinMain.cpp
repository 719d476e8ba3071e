// The programs' entry point; kept in its own object so that test executables with a
// main() of their own do not pull it in.
#include "fw/App.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR lpCmdLine, int nCmdShow) {
    return AfxWinMain(hInstance, lpCmdLine, nCmdShow);
}
