#include "CDDisplay.h"

#include "LcdCanvas.h"
#include "PlayMode.h"
#include "SkinText.h"
#include "TelmarIds.h"

namespace {

using namespace skin::cdlcd;

constexpr int kLabelHeight = 9;
constexpr int kTitleHeight = 11;
constexpr int kArtistHeight = 9;
constexpr int kBlank = -1;
// One pixel further right once the bar has a lit part.
constexpr int kVolumeLabelShift = 1;

struct Label {
    skin::Rect place;  // repainted first, so that redraws do not thicken the text
    const char* text;
};
const Label kLabels[] = {
    {{33, 84, 86, 94}, "TRACK"},
    {{86, 84, 159, 94}, "ELAPSED"},
    {{159, 84, 221, 94}, "LENGTH"},
};
const Label kModeLabel = {{221, 80, 286, 91}, "MODE"};

// Anything but a digit shows blank.
int GlyphX(int nDigit) {
    return nDigit >= 0 && nDigit <= 9 ? skin::DigitX(nDigit) : skin::kDigitBlankX;
}

void Digit(CLcdCanvas& canvas, int x, int nDigit) {
    canvas.Face(x, kDigitY, skin::kDigitWidth, skin::kDigitHeight, GlyphX(nDigit), skin::kGlyphRowY);
}

void Time(CLcdCanvas& canvas, int nSeconds, const int* pX, int xColon) {
    if (nSeconds < 0) nSeconds = 0;
    const int digits[4] = {nSeconds / 600, nSeconds / 60 % 10, nSeconds % 60 / 10, nSeconds % 10};
    for (int i = 0; i < 4; ++i) Digit(canvas, pX[i], digits[i]);
    canvas.Face(xColon, kColonY, skin::kColonWidth, skin::kColonHeight, skin::kColonX, skin::kGlyphRowY);
}

void LabelText(CLcdCanvas& canvas, const Label& label, int nShift = 0) {
    canvas.Background(label.place);
    const skin::Rect at = {label.place.left + nShift, label.place.top, label.place.right, label.place.bottom};
    canvas.Text(label.text, at, kLabelHeight, FW_NORMAL);
}

}  // namespace

CCDDisplay::CCDDisplay(CWnd* pWnd)
    : m_rcTitle(kTitle.left, kTitle.top, kTitle.right, kTitle.bottom),
      m_rcArtist(kArtist.left, kArtist.top, kArtist.right, kArtist.bottom),
      m_pWnd(pWnd) {
    m_strip.SetWindow(pWnd);
    m_strip.Build(0);
}

void CCDDisplay::Reset() {
    CCDPanelState::Reset();
    m_strip.Reset();
}

void CCDDisplay::DrawLabels(CDC& dc) {
    CLcdCanvas canvas(m_pWnd, &dc, nullptr, true);
    for (const Label& label : kLabels) LabelText(canvas, label);
}

void CCDDisplay::RedrawAll(CDC* pDC) {
    CLcdCanvas target(m_pWnd, pDC, nullptr, true);
    if (!target.HasDc()) return;
    CDC& dc = target.Dc();
    CLcdFace face(dc);
    if (!face.Dc()) return;
    m_pMemDC = face.Dc();
    DrawLabels(dc);
    DrawTitle(&dc);
    DrawArtist(&dc);
    DrawTrackNumber(&dc);
    DrawElapsed(&dc);
    DrawLength(&dc);
    if (m_bVolumeShown) {
        DrawVolume(&dc);
    } else {
        DrawMode(&dc);
        for (int nIndicator = kIndicatorPlay; nIndicator <= kIndicatorRewind; ++nIndicator) DrawIndicator(nIndicator, &dc);
    }
    if (m_nMessage) {
        CLcdCanvas canvas(m_pWnd, &dc, nullptr, true);
        DrawMessage(canvas);
    }
    m_strip.Draw(&dc, m_pMemDC);
    m_pMemDC = nullptr;
}

void CCDDisplay::DrawTitle(CDC* pDC) {
    CLcdCanvas canvas(m_pWnd, pDC, nullptr, true);
    if (!canvas.HasDc()) return;
    canvas.Background(ToSkin(m_rcTitle));
    if (m_bPlaying) canvas.Text(m_strTitle, ToSkin(m_rcTitle), kTitleHeight, FW_BOLD);
}

void CCDDisplay::DrawArtist(CDC* pDC) {
    CLcdCanvas canvas(m_pWnd, pDC, nullptr, true);
    if (!canvas.HasDc()) return;
    // The rectangles share a row; the title's keeps it.
    canvas.Background({m_rcArtist.left, m_rcTitle.bottom, m_rcArtist.right, m_rcArtist.bottom});
    if (m_bPlaying) canvas.Text(m_strArtist, ToSkin(m_rcArtist), kArtistHeight, FW_NORMAL);
}

void CCDDisplay::DrawTrackNumber(CDC* pDC) {
    CLcdCanvas canvas(m_pWnd, pDC, m_pMemDC);
    if (!canvas.Valid()) return;
    const int n = m_nCurrentTrack;
    Digit(canvas, kTrackX[0], n < 10 ? kBlank : n / 10);
    Digit(canvas, kTrackX[1], n < 0 ? kBlank : n % 10);
}

void CCDDisplay::DrawElapsed(CDC* pDC) {
    CLcdCanvas canvas(m_pWnd, pDC, m_pMemDC);
    if (canvas.Valid()) Time(canvas, m_nElapsed, kElapsedX, kElapsedColonX);
}

void CCDDisplay::DrawLength(CDC* pDC) {
    CLcdCanvas canvas(m_pWnd, pDC, m_pMemDC);
    if (canvas.Valid()) Time(canvas, m_nLength, kLengthX, kLengthColonX);
}

void CCDDisplay::DrawMode(CDC* pDC) {
    CLcdCanvas canvas(m_pWnd, pDC, nullptr, true);
    if (!canvas.HasDc()) return;
    LabelText(canvas, kModeLabel);
    canvas.Background(kModeBox);
    canvas.Label(LoadText(playmode::TextId(m_nMode)), kModeBox, kLabelHeight);
}

void CCDDisplay::DrawIndicator(int nIndicator, CDC* pDC) {
    if (nIndicator < kIndicatorPlay || nIndicator > kIndicatorRewind) return;
    CLcdCanvas canvas(m_pWnd, pDC, m_pMemDC);
    if (!canvas.Valid()) return;
    const int flags[] = {m_bPlaying, m_bPaused, m_bFastForward, m_bRewind};
    const int i = nIndicator - 1;
    const skin::Indicator& look = skin::kIndicators[i];
    canvas.Face(kIndicatorX[i], kIndicatorTop, look.width + skin::kIndicatorSlack, skin::kIndicatorHeight,
                flags[i] ? look.litX : look.darkX, skin::kIndicatorY);
}

void CCDDisplay::ShowMessage(int nTextId, const CString& strDetail, CDC* pDC) {
    m_nMessage = nTextId;
    m_strMessageDetail = nTextId ? strDetail : CString();
    CLcdCanvas canvas(m_pWnd, pDC, nullptr, true);
    if (!canvas.HasDc()) return;
    canvas.Background(ToSkin(m_rcTitle));
    canvas.Background(ToSkin(m_rcArtist));
    if (nTextId) {
        DrawMessage(canvas);
        return;
    }
    // Nothing is written while stopped; a playing track gets its lines back.
    DrawTitle(&canvas.Dc());
    DrawArtist(&canvas.Dc());
}

void CCDDisplay::DrawMessage(CLcdCanvas& canvas) {
    canvas.Text(LoadText(static_cast<UINT>(m_nMessage)), ToSkin(m_rcTitle), kTitleHeight, FW_BOLD);
    if (!m_strMessageDetail.IsEmpty()) canvas.Text(m_strMessageDetail, ToSkin(m_rcArtist), kArtistHeight, FW_NORMAL);
}

void CCDDisplay::ShowVolume(int nLevel, CDC* pDC) {
    m_bVolumeShown = TRUE;
    m_nVolumeLevel = nLevel < 0 ? 0 : (nLevel > kMaxVolumeLevel ? kMaxVolumeLevel : nLevel);
    DrawVolume(pDC);
}

void CCDDisplay::DrawVolume(CDC* pDC) {
    CLcdCanvas canvas(m_pWnd, pDC, m_pMemDC);
    if (!canvas.Valid()) return;
    canvas.Background(kVolumeArea);
    const int nLevel = m_nVolumeLevel;
    const int h = skin::kVolumeBarHeight;
    // Lit columns 0 .. 3v - 2, then the unlit image column for column.
    canvas.Face(kVolumeBar.x, kVolumeBar.y, 3 * nLevel - 1, h, skin::kVolumeLit.x, skin::kVolumeLit.y);
    canvas.Face(kVolumeBar.x + 3 * nLevel, kVolumeBar.y, skin::kVolumeBarWidth - 3 * nLevel, h,
                skin::kVolumeUnlit.x + 3 * nLevel, skin::kVolumeUnlit.y);
    const int x = kVolumeLabel.x + (nLevel ? kVolumeLabelShift : 0);
    // Drawn last: the label reaches into the bar's top rows.
    canvas.Text("VOL", {x, kVolumeLabel.y, kVolumeArea.right, kVolumeArea.bottom}, kLabelHeight, FW_NORMAL);
}

void CCDDisplay::HideVolume() {
    m_bVolumeShown = FALSE;
    CLcdCanvas canvas(m_pWnd, nullptr, nullptr, true);
    if (!canvas.HasDc()) return;
    canvas.Background(kVolumeArea);
    RedrawAll(&canvas.Dc());
}
