// A plain window that names the program it stands in for.
#include <windows.h>

#include <string>

namespace {

std::string g_text;

LRESULT CALLBACK PlaceholderProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT rc;
        GetClientRect(hwnd, &rc);
        HBRUSH face = CreateSolidBrush(RGB(24, 30, 36));
        FillRect(dc, &rc, face);
        DeleteObject(face);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(120, 230, 160));
        DrawTextA(dc, g_text.c_str(), -1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR cmdLine, int show) {
    std::string program = cmdLine && *cmdLine ? cmdLine : "program";
    g_text = "Orvanta: " + program + " is not built yet";
    WNDCLASSA wc = {};
    wc.lpfnWndProc = PlaceholderProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = "OrvPlaceholder";
    RegisterClassA(&wc);
    HWND hwnd = CreateWindowA("OrvPlaceholder", "Orvanta", WS_OVERLAPPEDWINDOW, 100, 100, 420, 160, nullptr, nullptr,
                              instance, nullptr);
    if (!hwnd) return 1;
    ShowWindow(hwnd, show);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
