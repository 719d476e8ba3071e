// Where the players read the skin bitmaps of TELMAR.DLL: hotspot places and faces,
// LCD glyph strips, meter and volume images, page-button tiles. Plain C++ so that the
// native skin generator and the Windows tests share one table.
// Rectangles are left, top, right, bottom with right and bottom exclusive.
#ifndef TELMAR_SKIN_LAYOUT_H
#define TELMAR_SKIN_LAYOUT_H

namespace skin {

struct Rect {
    int left, top, right, bottom;
    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }
};

struct Point {
    int x, y;
};

// Bitmap sizes as generated.
constexpr int kWindowWidth = 320;   // 2020; the player window is one pixel smaller
constexpr int kWindowHeight = 240;
constexpr int kFacesWidth = 224;    // 2021
constexpr int kFacesHeight = 160;
constexpr int kPageWidth = 552;     // 2023
constexpr int kPageHeight = 120;

// Window region: round rectangle (0, 0, w - 1, h - 1) with this corner ellipse.
constexpr int kCornerEllipseWidth = 28;
constexpr int kCornerEllipseHeight = 32;

enum class Shape { Ellipse, Rectangle };

enum HotspotId : unsigned {
    kHotExit = 2101,
    kHotMinimize = 2102,
    kHotHelp = 2103,
    kHotAbout = 2104,
    kHotSheet = 2105,
    kHotMode = 2106,
    kHotPlayerMenu = 2107,
    kHotVolumeDown = 2108,
    kHotVolumeUp = 2109,
    kHotPause = 2110,
    kHotStop = 2111,
    kHotPrevious = 2112,
    kHotNext = 2113,
    kHotPlay = 2114,
    kHotEject = 2115,  // cddeck only
};

struct Hotspot {
    unsigned id;
    Shape shape;
    Rect region;       // hit test, in window pixels
    Rect place;        // drawn there; the normal face is 2020 at the same place
    Rect pressed;      // in 2021
    Rect highlighted;  // in 2021
};

// Both players share this geometry; mpdeck has all but the eject hotspot.
inline constexpr Hotspot kHotspots[] = {
    {kHotExit, Shape::Ellipse, {46, 150, 67, 171}, {44, 148, 67, 171}, {0, 0, 23, 23}, {0, 24, 23, 47}},
    {kHotMinimize, Shape::Ellipse, {30, 174, 51, 195}, {28, 172, 51, 195}, {24, 0, 47, 23}, {24, 24, 47, 47}},
    {kHotHelp, Shape::Ellipse, {64, 186, 85, 207}, {62, 185, 85, 208}, {48, 0, 71, 23}, {48, 24, 71, 47}},
    {kHotAbout, Shape::Ellipse, {48, 210, 69, 231}, {47, 208, 70, 231}, {72, 0, 95, 23}, {72, 24, 95, 47}},
    {kHotVolumeUp, Shape::Ellipse, {255, 150, 276, 171}, {253, 148, 276, 171}, {96, 0, 119, 23}, {96, 24, 119, 47}},
    {kHotVolumeDown, Shape::Ellipse, {272, 174, 293, 195}, {269, 172, 292, 195}, {120, 0, 143, 23}, {120, 24, 143, 47}},
    {kHotPause, Shape::Ellipse, {237, 185, 258, 206}, {235, 183, 258, 206}, {144, 0, 167, 23}, {144, 24, 167, 47}},
    {kHotStop, Shape::Ellipse, {254, 208, 275, 229}, {252, 206, 275, 229}, {168, 0, 191, 23}, {168, 24, 191, 47}},
    {kHotEject, Shape::Ellipse, {289, 200, 310, 221}, {287, 198, 310, 221}, {192, 0, 215, 23}, {192, 24, 215, 47}},
    {kHotSheet, Shape::Ellipse, {94, 128, 109, 143}, {82, 128, 111, 152}, {188, 48, 217, 72}, {188, 73, 217, 97}},
    {kHotMode, Shape::Ellipse, {154, 128, 169, 143}, {151, 128, 174, 149}, {164, 48, 187, 69}, {164, 72, 187, 93}},
    {kHotPlayerMenu, Shape::Ellipse, {214, 128, 229, 143}, {211, 128, 239, 148}, {135, 48, 163, 68}, {135, 73, 163, 93}},
    {kHotPlay, Shape::Rectangle, {138, 164, 182, 203}, {138, 164, 182, 203}, {45, 48, 89, 87}, {45, 88, 89, 127}},
    {kHotPrevious, Shape::Rectangle, {92, 164, 136, 203}, {92, 164, 136, 203}, {0, 48, 44, 87}, {0, 88, 44, 127}},
    {kHotNext, Shape::Rectangle, {185, 164, 229, 203}, {185, 164, 229, 203}, {90, 48, 134, 87}, {90, 88, 134, 127}},
};
constexpr int kHotspotCount = sizeof(kHotspots) / sizeof(kHotspots[0]);

// The layout of a hotspot id, or nullptr.
constexpr const Hotspot* FindLayout(unsigned id) {
    for (const Hotspot& hotspot : kHotspots) {
        if (hotspot.id == id) return &hotspot;
    }
    return nullptr;
}

// mpdeck covers the eject button of the shared face with this piece of 2021.
constexpr Rect kEjectCoverSource = {194, 136, 217, 159};
constexpr Point kEjectCoverPlace = {287, 198};

// LCD glyphs in 2021.
constexpr int kDigitWidth = 12;
constexpr int kDigitHeight = 19;
constexpr int kGlyphRowY = 128;
constexpr int kDigitBlankX = 150;
constexpr int kColonX = 165;
constexpr int kColonBlankX = 170;
constexpr int kColonWidth = 4;
constexpr int kColonHeight = 10;

// Source x of digit d (0 to 9).
constexpr int DigitX(int d) { return d == 0 ? 135 : 15 * (d - 1); }

// Transport indicators: row y = 149, 9 high; the CD panel may read one column more.
constexpr int kIndicatorY = 149;
constexpr int kIndicatorHeight = 9;
struct Indicator {
    int litX, darkX, width;
};
inline constexpr Indicator kIndicators[] = {
    {53, 94, 5},    // play
    {60, 101, 5},   // pause
    {81, 122, 10},  // forward
    {67, 108, 10},  // back
};
constexpr int kIndicatorSlack = 1;

// Level meter segments, 7 x 3.
constexpr Point kMeterUnlit = {165, 139};
constexpr Point kMeterLit = {165, 143};
constexpr int kMeterSegmentWidth = 7;
constexpr int kMeterSegmentHeight = 3;
// Where mpdeck draws them: segment i of a channel at y = kMeterTop + kMeterStep * i.
constexpr int kMeterLeftX = 274;
constexpr int kMeterRightX = 283;
constexpr int kMeterTop = 54;
constexpr int kMeterStep = 5;

// Volume bars, 44 x 15, lit columns 0 .. 3v - 2.
constexpr Point kVolumeLit = {135, 94};
constexpr Point kVolumeUnlit = {135, 111};
constexpr int kVolumeBarWidth = 44;
constexpr int kVolumeBarHeight = 15;

// CD track-strip arrows; their sizes are those of the strip's arrow rectangles.
constexpr Rect kStripLeftArrow = {0, 148, 10, 159};
constexpr Rect kStripRightArrow = {14, 148, 25, 159};

// The CD player's LCD panel.
namespace cdlcd {
constexpr Rect kTitle = {33, 47, 283, 61};
constexpr Rect kArtist = {33, 60, 213, 72};
constexpr int kDigitY = 94;
constexpr int kColonY = 99;
inline constexpr int kTrackX[] = {36, 48};
inline constexpr int kElapsedX[] = {82, 94, 108, 120};
constexpr int kElapsedColonX = 105;
inline constexpr int kLengthX[] = {152, 164, 178, 191};
constexpr int kLengthColonX = 175;
constexpr Rect kModeBox = {221, 91, 286, 103};
// Indicators play, pause, forward, back (the order of kIndicators), one column wider.
inline constexpr int kIndicatorX[] = {221, 230, 253, 239};
constexpr int kIndicatorTop = 105;
constexpr Point kVolumeBar = {221, 94};
constexpr Point kVolumeLabel = {221, 86};
// What a shown volume covers and its hiding repaints.
constexpr Rect kVolumeArea = {221, 80, 349, 116};
// Track strip: 16 slots of 14 x 11, one every 15 pixels, between the arrows.
constexpr int kSlotCount = 16;
constexpr int kSlotLeft = 40;
constexpr int kSlotPitch = 15;
constexpr int kSlotWidth = 14;
constexpr int kSlotTop = 35;
constexpr int kSlotBottom = 46;
constexpr Rect kLeftArrowPlace = {28, 35, 38, 46};
constexpr Rect kRightArrowPlace = {280, 35, 291, 46};
constexpr unsigned char kSlotGreyRed = 65, kSlotGreyGreen = 65, kSlotGreyBlue = 65;
}  // namespace cdlcd

// Where the LCD glyphs land in the window: the flat LCD ground must show there.
inline constexpr Rect kLcdGlyphPlaces[] = {
    {33, 94, 69, 113},    // mpdeck song number
    {36, 94, 60, 113},    // cddeck track number
    {82, 94, 132, 113},   // elapsed
    {144, 94, 194, 113},  // mpdeck length
    {152, 94, 203, 113},  // cddeck length
    {210, 105, 252, 114}, // mpdeck indicators
    {221, 105, 264, 114}, // cddeck indicators
    {210, 94, 254, 109},  // mpdeck volume bar
    {221, 94, 265, 109},  // cddeck volume bar
    {274, 54, 290, 112},  // mpdeck level meter
    {28, 35, 38, 46},     // strip arrows
    {280, 35, 291, 46},
};

// Page buttons in 2023: 54 x 49 tiles, normal at y = 20, disabled at y = 70.
constexpr int kPageButtonWidth = 54;
constexpr int kPageButtonHeight = 49;
constexpr int kPageNormalY = 20;
constexpr int kPageDisabledY = 70;
// The encoder page's More Info button is one pixel wider than its tile.
constexpr int kPageWidestButton = 55;

enum PageButton {
    kPageOpen, kPageSave, kPageAdd, kPageRemove, kPageMoreInfo, kPageAudition,
    kPageClose, kPageStartEncode, kPageStop, kPageStartDecode,
};
inline constexpr int kPageButtonX[] = {0, 55, 110, 165, 220, 276, 331, 386, 441, 496};
constexpr int kPageButtonCount = sizeof(kPageButtonX) / sizeof(kPageButtonX[0]);

// The LCD text colour of both panels.
constexpr unsigned char kLcdTextRed = 0, kLcdTextGreen = 193, kLcdTextBlue = 207;

}  // namespace skin

#endif  // TELMAR_SKIN_LAYOUT_H
