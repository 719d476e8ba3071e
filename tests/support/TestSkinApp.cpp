#include "TestSkinApp.h"

#include <gtest/gtest.h>

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

}  // namespace orvtest
