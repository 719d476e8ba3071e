// CLcdCanvas: where one drawing operation of a player's LCD goes. It is the given DC
// or the window's own, with the face bitmap in a full redraw's shared face DC or in
// one made for this operation alone.
#pragma once

#include "fw/Framework.h"

#include <optional>

#include "SkinLayout.h"

// The face bitmap (2021) with its palette in a memory DC made for a target DC, which
// gets the palette too. Dc() is nullptr when no memory DC could be made.
class CLcdFace {
public:
    explicit CLcdFace(CDC& target);
    CLcdFace(const CLcdFace&) = delete;
    CLcdFace& operator=(const CLcdFace&) = delete;

    CDC* Dc() { return m_bitmap ? &m_dc : nullptr; }

private:
    // Declared so that the guards leave the DCs before the memory DC goes.
    CDC m_dc;
    std::optional<CPaletteGuard> m_targetPalette;
    std::optional<CPaletteGuard> m_facePalette;
    std::optional<CSelectGuard> m_bitmap;
};

class CLcdCanvas {
public:
    // bNoFace: the DC only; a full redraw brings its own face DC.
    CLcdCanvas(CWnd* pWnd, CDC* pDC, CDC* pSharedFace, bool bNoFace = false);
    CLcdCanvas(const CLcdCanvas&) = delete;
    CLcdCanvas& operator=(const CLcdCanvas&) = delete;

    bool HasDc() const { return m_pDC != nullptr; }
    bool Valid() const { return m_pDC && m_pFace; }
    CDC& Dc() { return *m_pDC; }

    // A piece of the face bitmap (2021) copied to (x, y).
    void Face(int x, int y, int w, int h, int xSrc, int ySrc);
    void Face(const skin::Rect& source, int x, int y);
    // The window's skin (2020) painted back over rc.
    void Background(const skin::Rect& rc);
    // One line of text at the top of rc, transparent in the panel's text colour.
    void Text(const CString& str, const skin::Rect& rc, int nHeight, int nWeight);
    // A word that must be read whole (the play mode): black on a panel-coloured ground
    // as wide as the word, its letters narrowed until it fits rc.
    void Label(const CString& str, const skin::Rect& rc, int nHeight);

private:
    std::optional<CClientDC> m_client;
    CDC* m_pDC = nullptr;
    std::optional<CLcdFace> m_ownFace;
    CDC* m_pFace = nullptr;
};

inline skin::Rect ToSkin(const CRect& rc) {
    return {rc.left, rc.top, rc.right, rc.bottom};
}

// The panel's font (face name = text 186); nHeight is the character height in pixels,
// nWidth the average character width (0: the face's own).
BOOL CreateLcdFont(CFont& font, int nHeight, int nWeight, int nWidth = 0);

// The panel's text colour.
COLORREF LcdTextColor();
