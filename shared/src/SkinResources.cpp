// TELMAR.DLL: message texts and skin bitmaps, loaded on first use and kept.
#include "SkinApp.h"

#include <vector>

#include "TelmarIds.h"

namespace {

const char kLibraryBareName[] = "Telmar.DLL";
const int kMaxStringChars = 1024;  // 1023 characters and the terminator
// Skins are a few hundred pixels; anything far larger is a damaged resource.
const LONG kMaxSkinSide = 8192;

// A packed DIB as stored in a bitmap resource, checked against its size: the colour
// table has 2^bits entries for 1, 4 and 8 bits per pixel (biClrUsed is not consulted)
// and none above; the pixel bits follow it.
struct SkinDib {
    const BITMAPINFOHEADER* pHeader = nullptr;
    const RGBQUAD* pColors = nullptr;
    int nColors = 0;
    const BYTE* pBits = nullptr;
};

bool ParseSkinDib(const BYTE* pData, DWORD dwSize, SkinDib& dib) {
    if (!pData || dwSize < sizeof(BITMAPINFOHEADER)) return false;
    const auto* pHeader = reinterpret_cast<const BITMAPINFOHEADER*>(pData);
    if (pHeader->biSize < sizeof(BITMAPINFOHEADER) || pHeader->biSize > dwSize) return false;
    const LONG width = pHeader->biWidth;
    const LONG height = pHeader->biHeight < 0 ? -pHeader->biHeight : pHeader->biHeight;
    if (width <= 0 || height <= 0 || width > kMaxSkinSide || height > kMaxSkinSide) return false;
    const WORD bits = pHeader->biBitCount;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;

    const int nColors = bits <= 8 ? 1 << bits : 0;
    const unsigned long long bitsOffset = pHeader->biSize + static_cast<unsigned long long>(nColors) * sizeof(RGBQUAD);
    if (bitsOffset > dwSize) return false;
    unsigned long long bitsSize = pHeader->biSizeImage;
    if (pHeader->biCompression == BI_RGB) {
        const unsigned long long stride = (static_cast<unsigned long long>(width) * bits + 31) / 32 * 4;
        bitsSize = stride * static_cast<unsigned long long>(height);
    }
    if (bitsSize == 0 || bitsSize > dwSize - bitsOffset) return false;

    dib.pHeader = pHeader;
    dib.pColors = reinterpret_cast<const RGBQUAD*>(pData + pHeader->biSize);
    dib.nColors = nColors;
    dib.pBits = pData + bitsOffset;
    return true;
}

// One entry per colour-table entry, in table order; none without a table.
HPALETTE CreateSkinPalette(const SkinDib& dib) {
    if (dib.nColors == 0) return nullptr;
    std::vector<BYTE> storage(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * dib.nColors);
    auto* pLog = reinterpret_cast<LOGPALETTE*>(storage.data());
    pLog->palVersion = 0x300;
    pLog->palNumEntries = static_cast<WORD>(dib.nColors);
    for (int i = 0; i < dib.nColors; ++i) {
        PALETTEENTRY& entry = pLog->palPalEntry[i];
        entry.peRed = dib.pColors[i].rgbRed;
        entry.peGreen = dib.pColors[i].rgbGreen;
        entry.peBlue = dib.pColors[i].rgbBlue;
        entry.peFlags = 0;
    }
    return ::CreatePalette(pLog);
}

// A full path names its drive or server; a bare file name would be searched for.
bool IsFullPath(const CString& strPath) {
    if (strPath.GetLength() >= 3 && strPath[1] == ':' && strPath[2] == '\\') return true;
    return strPath.GetLength() >= 2 && strPath[0] == '\\' && strPath[1] == '\\';
}

// Another program's library of the same name may come first along the search path;
// ours names its own file in IDS_LIBRARY_FILE.
HMODULE LoadLibraryByBareName() {
    HMODULE hLibrary = ::LoadLibraryA(kLibraryBareName);
    if (!hLibrary) return nullptr;
    char name[MAX_PATH] = {};
    if (::LoadStringA(hLibrary, IDS_LIBRARY_FILE, name, MAX_PATH) > 0) return hLibrary;
    ::FreeLibrary(hLibrary);
    return nullptr;
}

}  // namespace

BOOL CSkinApp::LoadResString(CString& strText, UINT nID) {
    if (!m_hResourceLibrary) m_hResourceLibrary = LoadLibraryByBareName();
    if (!m_hResourceLibrary) return FALSE;
    char buffer[kMaxStringChars] = {};
    if (::LoadStringA(m_hResourceLibrary, nID, buffer, kMaxStringChars) == 0) return FALSE;
    strText = buffer;
    return TRUE;
}

HBITMAP CSkinApp::LoadSkinBitmap(UINT nID, HPALETTE& hPalette) {
    // A program may override any skin bitmap with one of its own.
    HMODULE hSource = AfxGetResourceHandle();
    HRSRC hInfo = ::FindResourceA(hSource, MAKEINTRESOURCEA(nID), RT_BITMAP);

    if (!m_hResourceLibrary) {
        // The bare-name load inside LoadResString is replaced by the copy next to the
        // installed program, so both must be there.
        CString strDir;
        GetInstallDir(strDir);
        CString strFile;
        if (LoadResString(strFile, IDS_LIBRARY_FILE)) {
            const CString strPath = strDir + strFile;
            m_hResourceLibrary = IsFullPath(strPath) ? ::LoadLibraryA(strPath) : nullptr;
        }
    }
    if (!hInfo) {
        if (!m_hResourceLibrary) return nullptr;
        hSource = m_hResourceLibrary;
        hInfo = ::FindResourceA(hSource, MAKEINTRESOURCEA(nID), RT_BITMAP);
        if (!hInfo) return nullptr;
    }

    HGLOBAL hData = ::LoadResource(hSource, hInfo);
    SkinDib dib;
    if (!hData || !ParseSkinDib(static_cast<const BYTE*>(::LockResource(hData)), ::SizeofResource(hSource, hInfo), dib)) {
        return nullptr;
    }

    HDC hScreen = ::GetDC(nullptr);
    HPALETTE hNewPalette = CreateSkinPalette(dib);
    HPALETTE hOldPalette = nullptr;
    if (hNewPalette) {
        hOldPalette = ::SelectPalette(hScreen, hNewPalette, FALSE);
        ::RealizePalette(hScreen);
    }
    HBITMAP hBitmap = ::CreateDIBitmap(hScreen, dib.pHeader, CBM_INIT, dib.pBits,
                                       reinterpret_cast<const BITMAPINFO*>(dib.pHeader), DIB_RGB_COLORS);
    // A palette still selected into the screen context could not be deleted at exit.
    if (hOldPalette) ::SelectPalette(hScreen, hOldPalette, FALSE);
    ::ReleaseDC(nullptr, hScreen);
    if (!hBitmap) {
        if (hNewPalette) ::DeleteObject(hNewPalette);
        return nullptr;
    }
    hPalette = hNewPalette;
    return hBitmap;
}
