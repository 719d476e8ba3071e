// The application object of the Windows tests of the shared library and of the
// programs' subsystems: the shared base class under a title of the test's own (the
// caption of every message box it shows) and with the quit request counted.
#pragma once

#include <string>

#include "SkinApp.h"

namespace orvtest {

class CTestSkinApp : public CSkinApp {
public:
    explicit CTestSkinApp(const char* pszTitle);
    CWnd* GetPlayerWindow() override { return m_pPlayer; }
    void RequestQuit() override { ++m_nQuitRequests; }

    // A string of the resource library; a missing one is a test failure.
    std::string Text(UINT nId);

    CWnd* m_pPlayer = nullptr;
    int m_nQuitRequests = 0;
};

// Readies a player's own application object as an installed program finds itself:
// its profile key under Software emptied, the window saved at (left, top), "Path"
// naming this test program (whose folder holds TELMAR.DLL) and both skin bitmaps
// loaded. FALSE when a bitmap cannot be loaded.
bool PreparePlayerApp(CSkinApp& app, const char* pszRegistryKey, int left, int top);

}  // namespace orvtest
