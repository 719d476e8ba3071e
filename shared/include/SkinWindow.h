// Pieces every skinned player window needs: its shape from the background bitmap and
// palette-correct copies out of the skin bitmaps.
#pragma once

#include "fw/Framework.h"

// Shapes wnd as a round rectangle one pixel smaller than the background bitmap and
// moves it to (x, y), neither redrawing. rgnWindow keeps the shape for hit tests; the
// system gets a copy of its own.
BOOL ShapePlayerWindow(CWnd& wnd, const CBitmap& bmpBackground, CRgn& rgnWindow, int x, int y);

// Copies a w x h piece at (xSrc, ySrc) of a skin bitmap to (x, y) of dc, with the
// bitmap's palette selected and realized in both contexts.
void DrawSkinPiece(CDC& dc, CBitmap& bmp, CPalette& pal, int x, int y, int w, int h, int xSrc, int ySrc);
