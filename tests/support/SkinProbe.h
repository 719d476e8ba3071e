// The skinned player windows as a user meets them: the mouse pressed, held, released
// or resting on a point, and what the screen shows compared with the pixels of the
// skin bitmaps (an LCD digit, an indicator, a pressed face).
#pragma once

#include <windows.h>

#include <string>

#include "SkinLayout.h"
#include "TestSupport.h"

namespace orvtest {

enum class MouseButton { Left, Right };

// The centre of a skin rectangle, and of a hotspot of the players' skin, in client
// pixels; (0, 0) for an unknown hotspot id.
inline POINT Center(const skin::Rect& rc) {
    return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}
POINT HotspotCenter(unsigned id);

// Moves the pointer there and posts the move, as a hand resting on the point gives.
// The point is in the window's client pixels, as the skin layout is.
void Hover(HWND hWnd, POINT at);
void MouseDown(HWND hWnd, POINT at, MouseButton button = MouseButton::Left);
void MouseUp(HWND hWnd, POINT at, MouseButton button = MouseButton::Left);
// A move with the left button held down, as a drag gives.
void DragTo(HWND hWnd, POINT at);
// Real pointer input at the point, queued in order with the system's own: the move
// there, with MOUSEEVENTF_LEFTDOWN or MOUSEEVENTF_LEFTUP in dwButton if given. Moves
// then carry the held button, which a list view needs to begin a row drag; posted
// moves race with the moves the pointer itself makes.
void SendPointer(HWND hWnd, POINT at, DWORD dwButton = 0);
// Two real left clicks there, gapMs apart, as a quick hand gives: the system makes
// the second a double click for a window whose class asks for them.
void ClickTwice(HWND hWnd, POINT at, DWORD gapMs);
// Down, held for holdMs while this thread pumps its messages, then up.
void PressAt(HWND hWnd, POINT at, MouseButton button = MouseButton::Left, DWORD holdMs = 0);

// A bitmap resource of a module (for instance the installed TELMAR.DLL) as pixels;
// invalid when the module or the bitmap is missing.
Screenshot LoadBitmapPixels(const std::string& modulePath, UINT id);

// How many pixels of the width x height block at screen (sx, sy) differ from the
// block at (bx, by) of the bitmap by more than tolerance in any colour channel.
// A block reaching outside either picture counts all its pixels as different.
int DifferingPixels(const Screenshot& screen, int sx, int sy, const Screenshot& bitmap, int bx, int by, int width,
                    int height, int tolerance = 8);

// A word drawn black on a ground of the panel's text colour (the play mode), in the
// box of rc at screen origin: the last column, from the box's left, holding a black
// pixel and the last holding the ground, looking margin pixels past the box; -1 for
// none. A word cut by its box shows black past its ground.
struct LabelColumns {
    int textRight = -1;
    int groundRight = -1;
};
LabelColumns MeasureLabel(const Screenshot& shot, POINT origin, const skin::Rect& rc, int margin = 4);

}  // namespace orvtest
