// skingen: renders the skin bitmaps of TELMAR.DLL.
//   skingen <output folder> [preview.png]
// writes skin2020.bmp, skin2021.bmp and skin2023.bmp (8-bit, 256 colours) and, when
// asked, a preview of both players and of the three bitmaps with their layout.
#include <cstdio>
#include <string>

#include "BmpWriter.h"
#include "FacePainter.h"
#include "PagePainter.h"
#include "Preview.h"
#include "Quantize.h"
#include "Theme.h"

namespace {

using namespace skingen;

bool WriteIndexed(const std::string& path, const IndexedImage& image, const std::vector<uint32_t>& palette) {
    if (WriteFile(path, EncodeBmp8(image, palette))) return true;
    std::fprintf(stderr, "skingen: cannot write %s\n", path.c_str());
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: skingen <output folder> [preview.png]\n");
        return 2;
    }
    const std::string out = argv[1];

    const RgbImage window = PaintWindow(0, Look::Normal);
    const RgbImage faces = PaintFaces();
    const RgbImage buttons = PaintPageButtons();

    // 2020 and 2021 share one table so that a face copied onto the window matches
    // the window's own pixels around it, whatever the display depth.
    const std::vector<uint32_t> skinPalette =
        BuildPalette({&window, &faces}, {ToRgb(theme::kLcdText), ToRgb(theme::kLcdGround), ToRgb(theme::kLcdGhost),
                                         Rgb(0, 0, 0), Rgb(255, 255, 255), Rgb(65, 65, 65)});
    const std::vector<uint32_t> pagePalette =
        BuildPalette({&buttons}, {Rgb(0, 0, 0), Rgb(255, 255, 255), Rgb(128, 128, 128), Rgb(240, 240, 240)});

    const IndexedImage window8 = MapToPalette(window, skinPalette);
    const IndexedImage faces8 = MapToPalette(faces, skinPalette);
    const IndexedImage buttons8 = MapToPalette(buttons, pagePalette);
    if (!WriteIndexed(out + "/skin2020.bmp", window8, skinPalette) ||
        !WriteIndexed(out + "/skin2021.bmp", faces8, skinPalette) ||
        !WriteIndexed(out + "/skin2023.bmp", buttons8, pagePalette)) {
        return 1;
    }

    if (argc == 3) {
        const SkinImages shipped{Expand(window8, skinPalette), Expand(faces8, skinPalette),
                                 Expand(buttons8, pagePalette)};
        if (!WritePreview(shipped, argv[2])) {
            std::fprintf(stderr, "skingen: cannot write %s\n", argv[2]);
            return 1;
        }
    }
    return 0;
}
