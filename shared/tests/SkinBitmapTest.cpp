// Skin bitmaps and texts of TELMAR.DLL, and bitmaps of the program's own resources,
// which a test module made here stands in for.
#include <cstring>
#include <string>
#include <vector>

#include "RegistryGuard.h"
#include "SkinAppFixture.h"
#include "TelmarIds.h"
#include "TestSupport.h"

namespace {

const UINT kBitmap8Bit = 3001;
const UINT kBitmap24Bit = 3002;
const UINT kBitmapTruncated = 3003;
const UINT kSkinBackground = 2020;
const UINT kSkinFaces = 2021;

const int kTableEntries = 256;

RGBQUAD TableColor(int i) {
    return RGBQUAD{static_cast<BYTE>(i), static_cast<BYTE>(255 - i), static_cast<BYTE>(i * 7), 0};
}

// A packed DIB as a bitmap resource holds it: header, colour table, bits.
std::vector<BYTE> PackDib(int width, int height, WORD bits, DWORD clrUsed, const std::vector<RGBQUAD>& table,
                          const std::vector<BYTE>& pixels) {
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = bits;
    header.biCompression = BI_RGB;
    header.biClrUsed = clrUsed;
    std::vector<BYTE> dib(sizeof header);
    std::memcpy(dib.data(), &header, sizeof header);
    const BYTE* pTable = reinterpret_cast<const BYTE*>(table.data());
    dib.insert(dib.end(), pTable, pTable + table.size() * sizeof(RGBQUAD));
    dib.insert(dib.end(), pixels.begin(), pixels.end());
    return dib;
}

// 4 x 2 pixels of indices 3 and 9, with a full 256-entry table although the header
// claims 16 colours.
std::vector<BYTE> EightBitDib() {
    std::vector<RGBQUAD> table;
    for (int i = 0; i < kTableEntries; ++i) table.push_back(TableColor(i));
    const std::vector<BYTE> pixels = {3, 9, 3, 9, 9, 9, 3, 3};  // rows of 4, padded to 4 bytes already
    return PackDib(4, 2, 8, 16, table, pixels);
}

// 2 x 2 pixels, bottom-up rows of 6 bytes padded to 8.
std::vector<BYTE> TrueColorDib() {
    const std::vector<BYTE> pixels = {
        0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0, 0,  // bottom row: BGR, BGR
        0xA0, 0xB0, 0xC0, 0xD0, 0xE0, 0xF0, 0, 0,  // top row
    };
    return PackDib(2, 2, 24, 0, {}, pixels);
}

// Says 64 x 64 at 8 bits but carries only the table and a few bytes.
std::vector<BYTE> TruncatedDib() {
    std::vector<RGBQUAD> table(kTableEntries, RGBQUAD{1, 2, 3, 0});
    return PackDib(64, 64, 8, 0, table, std::vector<BYTE>(16, 1));
}

// A tiny red 5 x 7 replacement of the face bitmap.
std::vector<BYTE> OverrideFaces() {
    std::vector<BYTE> pixels;
    for (int row = 0; row < 7; ++row) {
        for (int col = 0; col < 5; ++col) pixels.insert(pixels.end(), {0x00, 0x00, 0xFF});
        pixels.push_back(0);  // 15 bytes padded to 16
    }
    return PackDib(5, 7, 24, 0, {}, pixels);
}

// The program's own resources: a copy of a resource-only DLL emptied and refilled
// with the bitmaps above, loaded as data.
class TestModule {
public:
    TestModule() {
        const std::string dir = orvtest::MakeTempDir("skinmodule");
        m_path = dir + "\\skinmodule.dll";
        const std::string source = ExeDir() + "\\TELMAR.DLL";
        if (!::CopyFileA(source.c_str(), m_path.c_str(), FALSE)) return;
        HANDLE hUpdate = ::BeginUpdateResourceA(m_path.c_str(), TRUE);
        if (!hUpdate) return;
        bool ok = Add(hUpdate, kBitmap8Bit, EightBitDib()) && Add(hUpdate, kBitmap24Bit, TrueColorDib()) &&
                  Add(hUpdate, kBitmapTruncated, TruncatedDib()) && Add(hUpdate, kSkinFaces, OverrideFaces());
        if (!::EndUpdateResourceA(hUpdate, !ok) || !ok) return;
        m_hModule = ::LoadLibraryExA(m_path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    }
    ~TestModule() {
        if (m_hModule) ::FreeLibrary(m_hModule);
        ::DeleteFileA(m_path.c_str());
    }
    TestModule(const TestModule&) = delete;
    TestModule& operator=(const TestModule&) = delete;

    HMODULE Handle() const { return m_hModule; }

    static std::string ExeDir() {
        char path[MAX_PATH] = {};
        ::GetModuleFileNameA(nullptr, path, MAX_PATH);
        std::string dir = path;
        return dir.substr(0, dir.rfind('\\'));
    }

private:
    static bool Add(HANDLE hUpdate, UINT id, std::vector<BYTE> data) {
        return ::UpdateResourceA(hUpdate, RT_BITMAP, MAKEINTRESOURCEA(id), MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL),
                                 data.data(), static_cast<DWORD>(data.size()));
    }

    std::string m_path;
    HMODULE m_hModule = nullptr;
};

// The bitmap's pixels as 32-bit top-down colours.
std::vector<COLORREF> Pixels(HBITMAP hBitmap, int width, int height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> raw(static_cast<size_t>(width) * height);
    HDC hScreen = ::GetDC(nullptr);
    const int rows = ::GetDIBits(hScreen, hBitmap, 0, height, raw.data(), &info, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, hScreen);
    std::vector<COLORREF> colors;
    if (rows != height) return colors;
    for (DWORD v : raw) colors.push_back(RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF));
    return colors;
}

CSize BitmapSize(HBITMAP hBitmap) {
    BITMAP bm = {};
    ::GetObjectA(hBitmap, sizeof bm, &bm);
    return CSize(bm.bmWidth, bm.bmHeight);
}

COLORREF Rgb(const RGBQUAD& q) {
    return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
}

class SkinBitmapTest : public SkinAppTest {
protected:
    void SetUp() override {
        SkinAppTest::SetUp();
        ASSERT_NE(m_module.Handle(), nullptr) << "the test module could not be made";
        AfxSetResourceHandle(m_module.Handle());
    }
    // Points "Path" at this test program, whose folder holds TELMAR.DLL.
    void InstallHere() {
        ASSERT_TRUE(orvtest::SetRegistryString(HKEY_CURRENT_USER, ProfileKey(), "Path", ExePath()));
    }

    TestModule m_module;
};

}  // namespace

TEST_F(SkinBitmapTest, EightBitBitmapGetsTheWholeTableAsPalette) {
    HPALETTE hPalette = nullptr;
    HBITMAP hBitmap = m_app.LoadSkinBitmap(kBitmap8Bit, hPalette);
    ASSERT_NE(hBitmap, nullptr);
    ASSERT_NE(hPalette, nullptr);
    CBitmap bitmap;
    bitmap.Attach(hBitmap);
    CPalette palette;
    palette.Attach(hPalette);

    ASSERT_EQ(palette.GetEntryCount(), kTableEntries) << "biClrUsed 16 is not consulted";
    PALETTEENTRY entries[kTableEntries] = {};
    ASSERT_EQ(palette.GetPaletteEntries(0, kTableEntries, entries), static_cast<UINT>(kTableEntries));
    for (int i : {0, 3, 15, 16, 200, 255}) {
        const RGBQUAD q = TableColor(i);
        EXPECT_EQ(RGB(entries[i].peRed, entries[i].peGreen, entries[i].peBlue), Rgb(q)) << "entry " << i;
        EXPECT_EQ(entries[i].peFlags, 0) << "entry " << i;
    }

    // The bits start after all 256 entries: reading them earlier would show table bytes.
    const std::vector<COLORREF> pixels = Pixels(hBitmap, 4, 2);
    ASSERT_EQ(pixels.size(), 8u);
    const COLORREF c3 = Rgb(TableColor(3)), c9 = Rgb(TableColor(9));
    const std::vector<COLORREF> expected = {c9, c9, c3, c3, c3, c9, c3, c9};  // top row first
    EXPECT_EQ(pixels, expected);
}

TEST_F(SkinBitmapTest, TrueColorBitmapLoadsWithoutPalette) {
    HPALETTE hPalette = reinterpret_cast<HPALETTE>(1);
    HBITMAP hBitmap = m_app.LoadSkinBitmap(kBitmap24Bit, hPalette);
    ASSERT_NE(hBitmap, nullptr);
    EXPECT_EQ(hPalette, nullptr);
    const std::vector<COLORREF> pixels = Pixels(hBitmap, 2, 2);
    const std::vector<COLORREF> expected = {RGB(0xC0, 0xB0, 0xA0), RGB(0xF0, 0xE0, 0xD0), RGB(0x30, 0x20, 0x10),
                                            RGB(0x60, 0x50, 0x40)};
    EXPECT_EQ(pixels, expected);
    ::DeleteObject(hBitmap);
}

TEST_F(SkinBitmapTest, OwnBitmapOverridesTheLibrarysAndTheRestComesFromTheLibrary) {
    InstallHere();
    HPALETTE hPalette = nullptr;
    HBITMAP hFaces = m_app.LoadSkinBitmap(kSkinFaces, hPalette);
    ASSERT_NE(hFaces, nullptr);
    EXPECT_EQ(BitmapSize(hFaces), CSize(5, 7)) << "the program's own 2021, not TELMAR's";
    EXPECT_EQ(Pixels(hFaces, 5, 7).at(0), RGB(0xFF, 0, 0));
    ::DeleteObject(hFaces);

    hPalette = nullptr;
    HBITMAP hBackground = m_app.LoadSkinBitmap(kSkinBackground, hPalette);
    ASSERT_NE(hBackground, nullptr) << "2020 from TELMAR.DLL in the install folder";
    EXPECT_EQ(BitmapSize(hBackground), CSize(320, 240));
    ::DeleteObject(hBackground);
    if (hPalette) ::DeleteObject(hPalette);

    hPalette = nullptr;
    EXPECT_EQ(m_app.LoadSkinBitmap(2999, hPalette), nullptr) << "in neither module";
}

TEST_F(SkinBitmapTest, DamagedBitmapIsRefused) {
    HPALETTE hPalette = nullptr;
    EXPECT_EQ(m_app.LoadSkinBitmap(kBitmapTruncated, hPalette), nullptr);
    EXPECT_EQ(hPalette, nullptr);
}

TEST_F(SkinBitmapTest, WithoutPathTheLibraryBitmapsCannotBeHad) {
    // Found by its bare name, but "Path" must name the install folder as well.
    HPALETTE hPalette = nullptr;
    EXPECT_EQ(m_app.LoadSkinBitmap(kSkinBackground, hPalette), nullptr);
    EXPECT_EQ(m_app.m_hResourceLibrary, nullptr);
    HBITMAP hOwn = m_app.LoadSkinBitmap(kBitmap24Bit, hPalette);
    EXPECT_NE(hOwn, nullptr) << "the program's own bitmaps need no library";
    ::DeleteObject(hOwn);
}

TEST_F(SkinAppTest, TextsComeFromTheLibraryFoundByItsBareName) {
    CString text = "untouched";
    ASSERT_TRUE(m_app.LoadResString(text, IDS_LIBRARY_FILE));
    EXPECT_STREQ(text, "TELMAR.DLL");
    EXPECT_NE(m_app.m_hResourceLibrary, nullptr);

    text = "untouched";
    EXPECT_FALSE(m_app.LoadResString(text, 9)) << "no string 9";
    EXPECT_STREQ(text, "untouched");
}
