#include "SkinProbe.h"

#include <algorithm>
#include <cstdlib>

namespace orvtest {

namespace {

LPARAM PointParam(POINT at) {
    return MAKELPARAM(at.x, at.y);
}

// Some hit tests ask where the pointer is rather than reading the message.
void PlacePointer(HWND hWnd, POINT at) {
    POINT screen = at;
    ::ClientToScreen(hWnd, &screen);
    ::SetCursorPos(screen.x, screen.y);
}

}  // namespace

POINT HotspotCenter(unsigned id) {
    const skin::Hotspot* h = skin::FindLayout(id);
    return h ? Center(h->region) : POINT{0, 0};
}

void Hover(HWND hWnd, POINT at) {
    PlacePointer(hWnd, at);
    ::PostMessageA(hWnd, WM_MOUSEMOVE, 0, PointParam(at));
}

void MouseDown(HWND hWnd, POINT at, MouseButton button) {
    PlacePointer(hWnd, at);
    if (button == MouseButton::Left) {
        ::PostMessageA(hWnd, WM_LBUTTONDOWN, MK_LBUTTON, PointParam(at));
    } else {
        ::PostMessageA(hWnd, WM_RBUTTONDOWN, MK_RBUTTON, PointParam(at));
    }
}

void DragTo(HWND hWnd, POINT at) {
    PlacePointer(hWnd, at);
    ::PostMessageA(hWnd, WM_MOUSEMOVE, MK_LBUTTON, PointParam(at));
}

void MouseUp(HWND hWnd, POINT at, MouseButton button) {
    ::PostMessageA(hWnd, button == MouseButton::Left ? WM_LBUTTONUP : WM_RBUTTONUP, 0, PointParam(at));
}

void SendPointer(HWND hWnd, POINT at, DWORD dwButton) {
    // The input carries its own place: a pointer placed first may be moved back by a
    // late notice of an earlier placement before the button reaches the window.
    POINT screen = at;
    ::ClientToScreen(hWnd, &screen);
    const LONG width = std::max(1, ::GetSystemMetrics(SM_CXSCREEN));
    const LONG height = std::max(1, ::GetSystemMetrics(SM_CYSCREEN));
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = (screen.x * 65536 + width - 1) / width;  // the pixel's own, after the system scales it back
    input.mi.dy = (screen.y * 65536 + height - 1) / height;
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | dwButton;
    ::SendInput(1, &input, sizeof input);
}

void ClickTwice(HWND hWnd, POINT at, DWORD gapMs) {
    for (int i = 0; i < 2; ++i) {
        if (i) PumpFor(gapMs);
        SendPointer(hWnd, at, MOUSEEVENTF_LEFTDOWN);
        SendPointer(hWnd, at, MOUSEEVENTF_LEFTUP);
    }
}

void PressAt(HWND hWnd, POINT at, MouseButton button, DWORD holdMs) {
    Hover(hWnd, at);
    MouseDown(hWnd, at, button);
    // Holding is a length of time by nature; the window's own loop runs meanwhile.
    if (holdMs) PumpFor(holdMs);
    MouseUp(hWnd, at, button);
}

Screenshot LoadBitmapPixels(const std::string& modulePath, UINT id) {
    Screenshot pixels;
    HMODULE hModule = ::LoadLibraryExA(modulePath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!hModule) return pixels;
    HBITMAP hBitmap = static_cast<HBITMAP>(::LoadImageA(hModule, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, 0));
    ::FreeLibrary(hModule);
    if (!hBitmap) return pixels;
    BITMAP info = {};
    ::GetObjectA(hBitmap, sizeof info, &info);
    BITMAPINFO request = {};
    request.bmiHeader.biSize = sizeof request.bmiHeader;
    request.bmiHeader.biWidth = info.bmWidth;
    request.bmiHeader.biHeight = -info.bmHeight;  // top-down
    request.bmiHeader.biPlanes = 1;
    request.bmiHeader.biBitCount = 24;
    request.bmiHeader.biCompression = BI_RGB;
    const size_t stride = (static_cast<size_t>(info.bmWidth) * 3 + 3) & ~static_cast<size_t>(3);
    std::vector<uint8_t> rows(stride * info.bmHeight);
    HDC hdc = ::GetDC(nullptr);
    const int copied = ::GetDIBits(hdc, hBitmap, 0, info.bmHeight, rows.data(), &request, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, hdc);
    ::DeleteObject(hBitmap);
    if (copied != info.bmHeight) return pixels;
    pixels.width = info.bmWidth;
    pixels.height = info.bmHeight;
    pixels.bgr.resize(static_cast<size_t>(pixels.width) * pixels.height * 3);
    for (int y = 0; y < pixels.height; ++y) {
        std::copy_n(&rows[stride * y], static_cast<size_t>(pixels.width) * 3,
                    &pixels.bgr[static_cast<size_t>(y) * pixels.width * 3]);
    }
    return pixels;
}

int DifferingPixels(const Screenshot& screen, int sx, int sy, const Screenshot& bitmap, int bx, int by, int width,
                    int height, int tolerance) {
    int differing = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const COLORREF seen = screen.Pixel(sx + x, sy + y);
            const COLORREF drawn = bitmap.Pixel(bx + x, by + y);
            if (seen == CLR_INVALID || drawn == CLR_INVALID) {
                ++differing;
                continue;
            }
            const bool bNear = std::abs(GetRValue(seen) - GetRValue(drawn)) <= tolerance &&
                               std::abs(GetGValue(seen) - GetGValue(drawn)) <= tolerance &&
                               std::abs(GetBValue(seen) - GetBValue(drawn)) <= tolerance;
            differing += !bNear;
        }
    }
    return differing;
}

LabelColumns MeasureLabel(const Screenshot& shot, POINT origin, const skin::Rect& rc, int margin) {
    const COLORREF crGround = RGB(skin::kLcdTextRed, skin::kLcdTextGreen, skin::kLcdTextBlue);
    LabelColumns columns;
    for (int y = 0; y < rc.Height(); ++y) {
        for (int x = 0; x < rc.Width() + margin; ++x) {
            const COLORREF cr = shot.Pixel(origin.x + x, origin.y + y);
            if (cr == RGB(0, 0, 0)) columns.textRight = std::max(columns.textRight, x);
            if (cr == crGround) columns.groundRight = std::max(columns.groundRight, x);
        }
    }
    return columns;
}

}  // namespace orvtest
