// The layout table against itself and against what the generator paints.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FacePainter.h"
#include "LcdGlyphs.h"
#include "PagePainter.h"
#include "SkinLayout.h"
#include "Theme.h"

namespace {

using skin::Rect;
using namespace skingen;

bool Overlap(const Rect& a, const Rect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool Inside(const Rect& r, int width, int height) {
    return r.left >= 0 && r.top >= 0 && r.right <= width && r.bottom <= height && r.Width() > 0 && r.Height() > 0;
}

struct Named {
    std::string name;
    Rect rect;
};

// Everything the players read from 2021, one entry per image.
std::vector<Named> FaceSources() {
    std::vector<Named> all;
    for (const skin::Hotspot& h : skin::kHotspots) {
        all.push_back({std::to_string(h.id) + " pressed", h.pressed});
        all.push_back({std::to_string(h.id) + " highlighted", h.highlighted});
    }
    for (int d = 0; d <= 9; ++d) {
        all.push_back({"digit " + std::to_string(d), {skin::DigitX(d), 128, skin::DigitX(d) + 12, 147}});
    }
    all.push_back({"blank digit", {150, 128, 162, 147}});
    all.push_back({"colon", {165, 128, 169, 138}});
    all.push_back({"blank colon", {170, 128, 174, 138}});
    for (const skin::Indicator& ind : skin::kIndicators) {
        const int w = ind.width + skin::kIndicatorSlack;
        all.push_back({"lit indicator", {ind.litX, 149, ind.litX + w, 158}});
        all.push_back({"dark indicator", {ind.darkX, 149, ind.darkX + w, 158}});
    }
    all.push_back({"unlit meter", {165, 139, 172, 142}});
    all.push_back({"lit meter", {165, 143, 172, 146}});
    all.push_back({"lit volume", {135, 94, 179, 109}});
    all.push_back({"unlit volume", {135, 111, 179, 126}});
    all.push_back({"left arrow", skin::kStripLeftArrow});
    all.push_back({"right arrow", skin::kStripRightArrow});
    all.push_back({"cover piece", skin::kEjectCoverSource});
    return all;
}

TEST(SkinLayout, FaceImagesFitAndNeverShareAPixel) {
    const std::vector<Named> sources = FaceSources();
    for (size_t i = 0; i < sources.size(); ++i) {
        EXPECT_TRUE(Inside(sources[i].rect, skin::kFacesWidth, skin::kFacesHeight)) << sources[i].name;
        for (size_t j = i + 1; j < sources.size(); ++j) {
            EXPECT_FALSE(Overlap(sources[i].rect, sources[j].rect)) << sources[i].name << " / " << sources[j].name;
        }
    }
}

TEST(SkinLayout, HotspotFacesMatchTheirPlacesAndPlacesDoNotOverlap) {
    for (int i = 0; i < skin::kHotspotCount; ++i) {
        const skin::Hotspot& h = skin::kHotspots[i];
        EXPECT_TRUE(Inside(h.place, skin::kWindowWidth - 1, skin::kWindowHeight - 1)) << h.id;
        EXPECT_EQ(h.pressed.Width(), h.place.Width()) << h.id;
        EXPECT_EQ(h.pressed.Height(), h.place.Height()) << h.id;
        EXPECT_EQ(h.highlighted.Width(), h.place.Width()) << h.id;
        EXPECT_EQ(h.highlighted.Height(), h.place.Height()) << h.id;
        for (int j = i + 1; j < skin::kHotspotCount; ++j) {
            EXPECT_FALSE(Overlap(h.place, skin::kHotspots[j].place)) << h.id << " / " << skin::kHotspots[j].id;
        }
    }
}

TEST(SkinLayout, PageTilesFitIncludingTheWideMoreInfoButton) {
    for (int i = 0; i < skin::kPageButtonCount; ++i) {
        const int x = skin::kPageButtonX[i];
        const int width = i == skin::kPageMoreInfo ? skin::kPageWidestButton : skin::kPageButtonWidth;
        EXPECT_TRUE(Inside({x, skin::kPageDisabledY, x + width, skin::kPageDisabledY + skin::kPageButtonHeight},
                           skin::kPageWidth, skin::kPageHeight));
        if (i + 1 < skin::kPageButtonCount) {
            EXPECT_LE(x + width, skin::kPageButtonX[i + 1]);
        }
    }
    EXPECT_LE(skin::kPageNormalY + skin::kPageButtonHeight, skin::kPageDisabledY);
}

int DifferingPixels(const RgbImage& a, const Rect& ra, const RgbImage& b, int bx, int by) {
    int n = 0;
    for (int y = 0; y < ra.Height(); ++y) {
        for (int x = 0; x < ra.Width(); ++x) n += a.At(ra.left + x, ra.top + y) != b.At(bx + x, by + y);
    }
    return n;
}

class SkinPaint : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        window_ = new RgbImage(PaintWindow(0, Look::Normal));
        faces_ = new RgbImage(PaintFaces());
    }
    static void TearDownTestSuite() {
        delete window_;
        delete faces_;
    }
    static RgbImage* window_;
    static RgbImage* faces_;
};
RgbImage* SkinPaint::window_ = nullptr;
RgbImage* SkinPaint::faces_ = nullptr;

TEST_F(SkinPaint, EveryHotspotLooksDifferentPressedHighlightedAndNormal) {
    for (const skin::Hotspot& h : skin::kHotspots) {
        const int area = h.place.Width() * h.place.Height();
        const int pressed = DifferingPixels(*faces_, h.pressed, *window_, h.place.left, h.place.top);
        const int highlighted = DifferingPixels(*faces_, h.highlighted, *window_, h.place.left, h.place.top);
        const int between = DifferingPixels(*faces_, h.pressed, *faces_, h.highlighted.left, h.highlighted.top);
        EXPECT_GT(pressed, area / 10) << h.id;
        EXPECT_GT(highlighted, area / 20) << h.id;
        EXPECT_GT(between, area / 20) << h.id;
    }
}

TEST_F(SkinPaint, TheGlassIsFlatWhereverGlyphsLand) {
    const uint32_t ground = ToRgb(theme::kLcdGround);
    for (const Rect& r : skin::kLcdGlyphPlaces) {
        for (int y = r.top; y < r.bottom; ++y) {
            for (int x = r.left; x < r.right; ++x) ASSERT_EQ(window_->At(x, y), ground) << x << "," << y;
        }
    }
}

TEST_F(SkinPaint, GlyphEdgesAreGroundSoTheyBlendIntoTheGlass) {
    const uint32_t ground = ToRgb(theme::kLcdGround);
    const int cells[] = {skin::DigitX(8), skin::DigitX(0), skin::kDigitBlankX};
    for (int x : cells) {
        for (int y = 0; y < skin::kDigitHeight; ++y) {
            // The colon overlaps a digit's first and last column.
            EXPECT_EQ(faces_->At(x, skin::kGlyphRowY + y), ground);
            EXPECT_EQ(faces_->At(x + skin::kDigitWidth - 1, skin::kGlyphRowY + y), ground);
        }
    }
    const uint32_t text = ToRgb(theme::kLcdText);
    EXPECT_EQ(faces_->At(skin::DigitX(8) + 5, skin::kGlyphRowY + 9), text);   // middle segment lit
    EXPECT_NE(faces_->At(skin::DigitX(0) + 5, skin::kGlyphRowY + 9), text);   // not in a zero
    EXPECT_NE(faces_->At(skin::kDigitBlankX + 5, skin::kGlyphRowY + 9), text);
}

TEST_F(SkinPaint, CoverPieceHidesTheEjectButton) {
    const Rect place = {skin::kEjectCoverPlace.x, skin::kEjectCoverPlace.y, skin::kEjectCoverPlace.x + 23,
                        skin::kEjectCoverPlace.y + 23};
    const RgbImage withoutEject = PaintWindow(0, Look::Normal, false);
    EXPECT_EQ(DifferingPixels(*faces_, skin::kEjectCoverSource, withoutEject, place.left, place.top), 0);
    EXPECT_GT(DifferingPixels(*faces_, skin::kEjectCoverSource, *window_, place.left, place.top), 100);
}

TEST_F(SkinPaint, VolumeBarsLightExactlyTheirFirstColumns) {
    const uint32_t text = ToRgb(theme::kLcdText);
    const int bottom = skin::kVolumeLit.y + skin::kVolumeBarHeight - 1;
    for (int v = 1; v <= 15; ++v) {
        // Column 3v - 2 is the last of bar v, 3v - 1 the gap after it.
        EXPECT_EQ(faces_->At(skin::kVolumeLit.x + 3 * v - 2, bottom), text) << v;
        if (3 * v - 1 < skin::kVolumeBarWidth) {
            EXPECT_NE(faces_->At(skin::kVolumeLit.x + 3 * v - 1, bottom), text) << v;
        }
        EXPECT_NE(faces_->At(skin::kVolumeUnlit.x + 3 * v - 2, skin::kVolumeUnlit.y + skin::kVolumeBarHeight - 1), text);
    }
}

}  // namespace
