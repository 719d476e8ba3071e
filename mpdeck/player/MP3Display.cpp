#include "MP3Display.h"

#include "LcdCanvas.h"
#include "MP3PlayerDlg.h"
#include "PlayMode.h"
#include "SkinApp.h"
#include "SkinLayout.h"
#include "SkinWindow.h"
#include "TelmarIds.h"

namespace {

const int kLabelHeight = 9;
const int kTitleHeight = 11;
const int kFormatHeight = 10;
const int kArtistHeight = 9;
const int kBlank = -1;

const int kDigitY = 94;
const int kColonY = 99;
const int kSongX[] = {33, 45, 57};
const int kElapsedX[] = {82, 94, 108, 120};
const int kElapsedColonX = 105;
const int kLengthX[] = {144, 156, 170, 182};
const int kLengthColonX = 167;

const skin::Rect kModeBox = {210, 91, 268, 103};
const int kIndicatorTop = 105;
const int kIndicatorX[] = {210, 219, 242, 228};  // play, pause, forward, back
const CPoint kVolumeBar(210, 94);
const CPoint kVolumeLabel(210, 86);

struct Label {
    int x, y;
    const char* text;
};
const Label kLabels[] = {{37, 84, "SONG"}, {86, 84, "ELAPSED"}, {150, 84, "LENGTH"}, {210, 80, "MODE"}};

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

void Digit(CLcdCanvas& canvas, int x, int nDigit) {
    canvas.Face(x, kDigitY, skin::kDigitWidth, skin::kDigitHeight, GlyphX(nDigit), skin::kGlyphRowY);
}

void Time(CLcdCanvas& canvas, int nSeconds, const int* pX, int xColon) {
    const int m = nSeconds / 60, s = nSeconds % 60;
    const int digits[4] = {m / 10, m % 10, s / 10, s % 10};
    for (int i = 0; i < 4; ++i) Digit(canvas, pX[i], digits[i]);
    canvas.Face(xColon, kColonY, skin::kColonWidth, skin::kColonHeight, skin::kColonX, skin::kGlyphRowY);
}

// Text in the LCD colour at a point, as the labels stand.
void LabelText(CDC& dc, int x, int y, const char* pszText) {
    CFont font;
    if (!CreateLcdFont(font, kLabelHeight, FW_NORMAL)) return;
    CSelectGuard select(dc, font);
    const int nOldMode = dc.SetBkMode(TRANSPARENT);
    const COLORREF crOld = dc.SetTextColor(LcdTextColor());
    dc.TextOut(x, y, pszText, lstrlenA(pszText));
    dc.SetTextColor(crOld);
    dc.SetBkMode(nOldMode);
}

}  // namespace

void CMP3Display::DrawAll(CDC* pDC) {
    CLcdCanvas target(m_pWnd, pDC, nullptr, true);
    if (!target.HasDc()) return;
    CDC& dc = target.Dc();
    CLcdFace face(dc);
    if (!face.Dc()) return;
    m_pSharedDC = face.Dc();
    for (const Label& label : kLabels) LabelText(dc, label.x, label.y, label.text);
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
    m_pSharedDC = nullptr;
}

void CMP3Display::DrawTitle(CDC* pDC) {
    CLcdCanvas canvas(m_pWnd, pDC, nullptr, true);
    if (!canvas.HasDc()) return;
    canvas.Background(ToSkin(m_rcTitle));
    if (m_bPlaying) canvas.Text(m_strTitle, ToSkin(m_rcTitle), kTitleHeight, FW_BOLD);
}

void CMP3Display::DrawArtist(CDC* pDC) {
    CLcdCanvas canvas(m_pWnd, pDC, nullptr, true);
    if (canvas.HasDc() && m_bPlaying) canvas.Text(m_strArtist, ToSkin(m_rcArtist), kArtistHeight, FW_NORMAL);
}

void CMP3Display::DrawFormat(CDC* pDC) {
    CLcdCanvas canvas(m_pWnd, pDC, nullptr, true);
    if (!canvas.HasDc()) return;
    const BOOL bMpeg = m_pWnd && m_pWnd->CurrentTypeIsMpeg();
    // The format line keeps its own row also without an artist: the row above ends
    // at the level meter, which cuts the line short.
    const CRect rcBox = m_rcFormat;
    canvas.Background(ToSkin(m_rcArtist));
    canvas.Background(ToSkin(m_rcFormat));
    if (!m_bPlaying || !bMpeg) return;
    CString strChannels;
    if (const UINT nId = ChannelTextId(m_nChannelMode)) GetSkinApp()->LoadResString(strChannels, nId);
    CString strText;
    strText.Format("<%d Hz><%d kbps><", m_nSamplingFrequency, m_nBitRate / 1000);
    strText += strChannels;
    strText += ">";
    canvas.Text(strText, ToSkin(rcBox), kFormatHeight, FW_NORMAL);
}

void CMP3Display::DrawSongNumber(CDC* pDC) {
    CLcdCanvas canvas(m_pWnd, pDC, m_pSharedDC);
    if (!canvas.Valid()) return;
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
    for (int i = 0; i < 3; ++i) Digit(canvas, kSongX[i], digits[i]);
}

void CMP3Display::DrawElapsed(CDC* pDC) {
    CLcdCanvas canvas(m_pWnd, pDC, m_pSharedDC);
    if (canvas.Valid()) Time(canvas, m_nElapsed, kElapsedX, kElapsedColonX);
}

void CMP3Display::DrawLength(CDC* pDC) {
    CLcdCanvas canvas(m_pWnd, pDC, m_pSharedDC);
    if (canvas.Valid()) Time(canvas, m_nLength, kLengthX, kLengthColonX);
}

void CMP3Display::DrawMode(CDC* pDC) {
    CLcdCanvas canvas(m_pWnd, pDC, nullptr, true);
    if (!canvas.HasDc()) return;
    canvas.Background(kModeBox);
    CString strMode;
    GetSkinApp()->LoadResString(strMode, playmode::TextId(m_nPlayMode));
    canvas.Label(strMode, kModeBox, kLabelHeight);
}

void CMP3Display::DrawIndicator(int nIndicator, CDC* pDC) {
    if (nIndicator < kIndicatorPlay || nIndicator > kIndicatorBack) return;
    CLcdCanvas canvas(m_pWnd, pDC, m_pSharedDC);
    if (!canvas.Valid()) return;
    const int flags[] = {m_bPlaying, m_bPaused, m_bSeekForward, m_bSeekBack};
    const int i = nIndicator - 1;
    const skin::Indicator& ind = skin::kIndicators[i];
    canvas.Face(kIndicatorX[i], kIndicatorTop, ind.width, skin::kIndicatorHeight, flags[i] ? ind.litX : ind.darkX,
                skin::kIndicatorY);
}

void CMP3Display::DrawVolume(int nLevel, CDC* pDC) {
    CLcdCanvas canvas(m_pWnd, pDC, m_pSharedDC);
    if (!canvas.Valid()) return;
    nLevel = nLevel < 0 ? 0 : (nLevel > kMaxVolumeLevel ? kMaxVolumeLevel : nLevel);
    const int nLit = nLevel > 0 ? 3 * nLevel - 1 : 0;
    const int h = skin::kVolumeBarHeight;
    canvas.Face(kVolumeBar.x, kVolumeBar.y, nLit, h, skin::kVolumeLit.x, skin::kVolumeLit.y);
    canvas.Face(kVolumeBar.x + nLit, kVolumeBar.y, skin::kVolumeBarWidth - nLit, h, skin::kVolumeUnlit.x + nLit,
                skin::kVolumeUnlit.y);
    LabelText(canvas.Dc(), kVolumeLabel.x, kVolumeLabel.y, "VOL");
}
