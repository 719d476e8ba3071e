#include "MP3Display.h"

#include <memory>
#include <optional>

#include "MP3PlayerDlg.h"
#include "SkinApp.h"
#include "SkinLayout.h"
#include "SkinWindow.h"
#include "TelmarIds.h"

namespace {

const COLORREF kLcdText = RGB(skin::kLcdTextRed, skin::kLcdTextGreen, skin::kLcdTextBlue);
const int kLabelHeight = -9;
const int kTitleHeight = -11;
const int kFormatHeight = -10;
const int kArtistHeight = -9;
const int kBlank = -1;

const int kDigitY = 94;
const int kColonY = 99;
const int kSongX[] = {33, 45, 57};
const int kElapsedX[] = {82, 94, 108, 120};
const int kElapsedColonX = 105;
const int kLengthX[] = {144, 156, 170, 182};
const int kLengthColonX = 167;
const int kFormatLineHeight = 12;

const CRect kModeBox(210, 91, 268, 103);
const int kIndicatorTop = 105;
const int kIndicatorX[] = {210, 219, 242, 228};  // play, pause, forward, back
const CPoint kVolumeBar(210, 94);
const CPoint kVolumeLabel(210, 86);

struct Label {
    int x, y;
    const char* text;
};
const Label kLabels[] = {{37, 84, "SONG"}, {86, 84, "ELAPSED"}, {150, 84, "LENGTH"}, {210, 80, "MODE"}};

UINT ModeTextId(int nPlayMode) {
    switch (nPlayMode) {
    case 1:
        return IDS_MODE_NORMAL;
    case 2:
        return IDS_MODE_LOOP;
    case 4:
    case 5:
        return IDS_MODE_SHUFFLE;
    default:
        return IDS_MODE_LOOP_SHUFFLE;
    }
}

UINT ChannelTextId(int nChannelMode) {
    static const UINT kIds[] = {IDS_CHANNELS_STEREO, IDS_CHANNELS_JOINT_STEREO, IDS_CHANNELS_DUAL,
                                IDS_CHANNELS_MONO};
    return nChannelMode >= 0 && nChannelMode < 4 ? kIds[nChannelMode] : 0;
}

int GlyphX(int nDigit) {
    if (nDigit == kBlank) return skin::kDigitBlankX;
    if (nDigit == 0 || (nDigit >= 2 && nDigit <= 9)) return skin::DigitX(nDigit);
    return skin::DigitX(1);
}

void RepaintBackground(CDC& dc, const CRect& rc) {
    CSkinApp* pApp = GetSkinApp();
    DrawSkinPiece(dc, pApp->m_bmpBackground, pApp->m_palBackground, rc.left, rc.top, rc.Width(), rc.Height(),
                  rc.left, rc.top);
}

}  // namespace

// Where one operation draws: the given DC or the window's, and the face bitmap in the
// full draw's shared memory DC or in one of its own.
class CMP3Display::CTarget {
public:
    // bNoFace: only the DC; the caller brings the face bitmap, which a DC can hold only once.
    CTarget(CMP3Display& display, CDC* pDC, bool bNoFace = false) {
        if (pDC) {
            m_pDC = pDC;
        } else if (display.m_pWnd && display.m_pWnd->m_hWnd) {
            m_client.emplace(display.m_pWnd);
            m_pDC = &*m_client;
        }
        if (!m_pDC || bNoFace) return;
        if (display.m_pSharedDC) {
            m_pFace = display.m_pSharedDC;
            return;
        }
        if (!m_ownFace.CreateCompatibleDC(m_pDC)) return;
        CSkinApp* pApp = GetSkinApp();
        HPALETTE hPalette = static_cast<HPALETTE>(pApp->m_palFace.GetSafeHandle());
        m_targetPalette = std::make_unique<CPaletteGuard>(*m_pDC, hPalette, FALSE);
        m_facePalette = std::make_unique<CPaletteGuard>(m_ownFace, hPalette, FALSE);
        m_faceBitmap = std::make_unique<CSelectGuard>(m_ownFace, pApp->m_bmpFace);
        m_pFace = &m_ownFace;
    }
    ~CTarget() {
        // Everything leaves the own memory DC before it goes.
        m_faceBitmap.reset();
        m_facePalette.reset();
        m_targetPalette.reset();
    }
    CTarget(const CTarget&) = delete;
    CTarget& operator=(const CTarget&) = delete;

    bool Valid() const { return m_pDC && m_pFace; }
    bool HasDc() const { return m_pDC != nullptr; }
    CDC& Dc() { return *m_pDC; }
    void Face(int x, int y, int w, int h, int xSrc, int ySrc) { m_pDC->BitBlt(x, y, w, h, m_pFace, xSrc, ySrc, SRCCOPY); }
    void Digit(int x, int nDigit) { Face(x, kDigitY, skin::kDigitWidth, skin::kDigitHeight, GlyphX(nDigit), skin::kGlyphRowY); }
    void Colon(int x) { Face(x, kColonY, skin::kColonWidth, skin::kColonHeight, skin::kColonX, skin::kGlyphRowY); }

private:
    std::optional<CClientDC> m_client;
    CDC* m_pDC = nullptr;
    CDC m_ownFace;
    CDC* m_pFace = nullptr;
    std::unique_ptr<CPaletteGuard> m_targetPalette;
    std::unique_ptr<CPaletteGuard> m_facePalette;
    std::unique_ptr<CSelectGuard> m_faceBitmap;
};

BOOL CMP3Display::CreateLcdFont(CFont& font, int nHeight, int nWeight) {
    CString strFace;
    GetSkinApp()->LoadResString(strFace, IDS_LCD_FONT);
    return font.CreateFont(nHeight, 0, 0, 0, nWeight, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_TT_PRECIS,
                           CLIP_DEFAULT_PRECIS, PROOF_QUALITY, VARIABLE_PITCH, strFace);
}

void CMP3Display::DrawText(CTarget& target, const CString& str, const CRect& rc, int nHeight, int nWeight) {
    CFont font;
    if (!CreateLcdFont(font, nHeight, nWeight)) return;
    CDC& dc = target.Dc();
    CSelectGuard select(dc, font);
    const int nOldMode = dc.SetBkMode(TRANSPARENT);
    const COLORREF crOld = dc.SetTextColor(kLcdText);
    CRect rcText = rc;
    dc.DrawText(str, &rcText, DT_SINGLELINE | DT_LEFT | DT_TOP | DT_NOPREFIX);
    dc.SetTextColor(crOld);
    dc.SetBkMode(nOldMode);
}

void CMP3Display::DrawAll(CDC* pDC) {
    CTarget target(*this, pDC, true);
    if (!target.HasDc()) return;
    CDC& dc = target.Dc();
    {
        CSkinApp* pApp = GetSkinApp();
        CDC memDC;
        if (!memDC.CreateCompatibleDC(&dc)) return;
        HPALETTE hPalette = static_cast<HPALETTE>(pApp->m_palFace.GetSafeHandle());
        CPaletteGuard targetPalette(dc, hPalette, FALSE);
        CPaletteGuard memPalette(memDC, hPalette, FALSE);
        CSelectGuard bitmap(memDC, pApp->m_bmpFace);
        m_pSharedDC = &memDC;
        const int nOldMode = dc.SetBkMode(TRANSPARENT);
        const COLORREF crOld = dc.SetTextColor(kLcdText);
        CFont font;
        if (CreateLcdFont(font, kLabelHeight, FW_NORMAL)) {
            CSelectGuard select(dc, font);
            for (const Label& label : kLabels) dc.TextOut(label.x, label.y, label.text, lstrlenA(label.text));
        }
        DrawTitle(&dc);
        DrawFormat(&dc);
        DrawArtist(&dc);
        DrawSongNumber(&dc);
        DrawElapsed(&dc);
        DrawLength(&dc);
        DrawMode(&dc);
        DrawIndicator(kIndicatorPlay, &dc);
        DrawIndicator(kIndicatorPause, &dc);
        DrawIndicator(kIndicatorBack, &dc);
        DrawIndicator(kIndicatorForward, &dc);
        dc.SetTextColor(crOld);
        dc.SetBkMode(nOldMode);
        m_pSharedDC = nullptr;
    }
}

void CMP3Display::DrawTitle(CDC* pDC) {
    CTarget target(*this, pDC);
    if (!target.Valid()) return;
    RepaintBackground(target.Dc(), m_rcTitle);
    if (m_bPlaying) DrawText(target, m_strTitle, m_rcTitle, kTitleHeight, FW_BOLD);
}

void CMP3Display::DrawArtist(CDC* pDC) {
    CTarget target(*this, pDC);
    if (!target.Valid()) return;
    if (m_bPlaying) DrawText(target, m_strArtist, m_rcArtist, kArtistHeight, FW_NORMAL);
}

void CMP3Display::DrawFormat(CDC* pDC) {
    CTarget target(*this, pDC);
    if (!target.Valid()) return;
    const BOOL bMpeg = m_pWnd && m_pWnd->CurrentTypeIsMpeg();
    CRect rcBox = m_rcFormat;
    if (m_strArtist.IsEmpty() || !bMpeg) {
        rcBox = CRect(m_rcArtist.left, m_rcArtist.top, m_rcArtist.right, m_rcArtist.top + kFormatLineHeight);
    }
    RepaintBackground(target.Dc(), m_rcArtist);
    RepaintBackground(target.Dc(), m_rcFormat);
    if (!m_bPlaying || !bMpeg) return;
    CString strChannels;
    if (const UINT nId = ChannelTextId(m_nChannelMode)) GetSkinApp()->LoadResString(strChannels, nId);
    CString strText;
    strText.Format("<%d Hz><%d kbps><", m_nSamplingFrequency, m_nBitRate / 1000);
    strText += strChannels;
    strText += ">";
    DrawText(target, strText, rcBox, kFormatHeight, FW_NORMAL);
}

void CMP3Display::DrawSongNumber(CDC* pDC) {
    CTarget target(*this, pDC);
    if (!target.Valid()) return;
    const int n = m_nSongNumber;
    int digits[3] = {kBlank, kBlank, n};
    if (n >= 10 && n < 100) {
        digits[1] = n / 10;
        digits[2] = n % 10;
    } else if (n >= 100) {
        digits[0] = n / 100;
        digits[1] = (n / 10) % 10;
        digits[2] = n % 10;
    }
    for (int i = 0; i < 3; ++i) target.Digit(kSongX[i], digits[i]);
}

void CMP3Display::DrawTime(CTarget& target, int nSeconds, const int* pX, int xColon) {
    const int m = nSeconds / 60, s = nSeconds % 60;
    const int digits[4] = {m / 10, m % 10, s / 10, s % 10};
    for (int i = 0; i < 4; ++i) target.Digit(pX[i], digits[i]);
    target.Colon(xColon);
}

void CMP3Display::DrawElapsed(CDC* pDC) {
    CTarget target(*this, pDC);
    if (target.Valid()) DrawTime(target, m_nElapsed, kElapsedX, kElapsedColonX);
}

void CMP3Display::DrawLength(CDC* pDC) {
    CTarget target(*this, pDC);
    if (target.Valid()) DrawTime(target, m_nLength, kLengthX, kLengthColonX);
}

void CMP3Display::DrawMode(CDC* pDC) {
    CTarget target(*this, pDC);
    if (!target.Valid()) return;
    CDC& dc = target.Dc();
    RepaintBackground(dc, kModeBox);
    CString strMode;
    GetSkinApp()->LoadResString(strMode, ModeTextId(m_nPlayMode));
    CFont font;
    if (!CreateLcdFont(font, kLabelHeight, FW_NORMAL)) return;
    CSelectGuard select(dc, font);
    const int nOldMode = dc.SetBkMode(OPAQUE);
    const COLORREF crOldBack = dc.SetBkColor(kLcdText);
    const COLORREF crOldText = dc.SetTextColor(RGB(0, 0, 0));
    CRect rcText = kModeBox;
    dc.DrawText(strMode, &rcText, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
    dc.SetTextColor(crOldText);
    dc.SetBkColor(crOldBack);
    dc.SetBkMode(nOldMode);
}

void CMP3Display::DrawIndicator(int nIndicator, CDC* pDC) {
    if (nIndicator < kIndicatorPlay || nIndicator > kIndicatorBack) return;
    CTarget target(*this, pDC);
    if (!target.Valid()) return;
    const int flags[] = {m_bPlaying, m_bPaused, m_bSeekForward, m_bSeekBack};
    const int i = nIndicator - 1;
    const skin::Indicator& ind = skin::kIndicators[i];
    target.Face(kIndicatorX[i], kIndicatorTop, ind.width, skin::kIndicatorHeight, flags[i] ? ind.litX : ind.darkX,
                skin::kIndicatorY);
}

void CMP3Display::DrawVolume(int nLevel, CDC* pDC) {
    CTarget target(*this, pDC);
    if (!target.Valid()) return;
    nLevel = nLevel < 0 ? 0 : (nLevel > kMaxVolumeLevel ? kMaxVolumeLevel : nLevel);
    const int nLit = nLevel > 0 ? 3 * nLevel - 1 : 0;
    const int h = skin::kVolumeBarHeight;
    target.Face(kVolumeBar.x, kVolumeBar.y, nLit, h, skin::kVolumeLit.x, skin::kVolumeLit.y);
    target.Face(kVolumeBar.x + nLit, kVolumeBar.y, skin::kVolumeBarWidth - nLit, h, skin::kVolumeUnlit.x + nLit,
                skin::kVolumeUnlit.y);
    CFont font;
    if (!CreateLcdFont(font, kLabelHeight, FW_NORMAL)) return;
    CDC& dc = target.Dc();
    CSelectGuard select(dc, font);
    const int nOldMode = dc.SetBkMode(TRANSPARENT);
    const COLORREF crOld = dc.SetTextColor(kLcdText);
    dc.TextOut(kVolumeLabel.x, kVolumeLabel.y, "VOL", 3);
    dc.SetTextColor(crOld);
    dc.SetBkMode(nOldMode);
}
