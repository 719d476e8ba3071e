#include "TestSkinApp.h"

#include <gtest/gtest.h>

#include "RegistryGuard.h"
#include "TelmarIds.h"

namespace orvtest {

// The cddeck profile and sibling texts: none of the tests reads them, and the
// test's own registry key keeps the installed programs' settings apart.
CTestSkinApp::CTestSkinApp(const char* pszTitle) : CSkinApp(pszTitle, IDS_CDDECK_PROFILE_KEY, IDS_CD_PLAYER_MISSING) {}

std::string CTestSkinApp::Text(UINT nId) {
    CString strText;
    EXPECT_TRUE(LoadResString(strText, nId)) << "string " << nId;
    return strText.GetString();
}

namespace {

bool LoadSkin(CSkinApp& app, UINT nId, CBitmap& bmp, CPalette& pal) {
    HPALETTE hPalette = nullptr;
    HBITMAP hBitmap = app.LoadSkinBitmap(nId, hPalette);
    if (!hBitmap) return false;
    bmp.Attach(hBitmap);
    if (hPalette) pal.Attach(hPalette);
    return true;
}

}  // namespace

bool PreparePlayerApp(CSkinApp& app, const char* pszRegistryKey, int left, int top) {
    app.SetRegistryKey(pszRegistryKey);
    DeleteRegistryKey(HKEY_CURRENT_USER, std::string("Software\\") + pszRegistryKey);
    app.SavePosition(left, top);
    char exe[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, exe, MAX_PATH);
    app.WriteProfileString("APP", "Path", exe);
    return LoadSkin(app, IDB_SKIN_WINDOW, app.m_bmpBackground, app.m_palBackground) &&
           LoadSkin(app, IDB_SKIN_FACES, app.m_bmpFace, app.m_palFace);
}

}  // namespace orvtest
