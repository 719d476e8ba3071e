// The application profile on the real registry (and its INI form before a registry
// key is set).
#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"
#include "fw/Framework.h"

namespace {

const char kRegistryKey[] = "OrvantaFrameworkTest";

class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override {
        AfxWinInit(::GetModuleHandleA(nullptr), nullptr, SW_SHOW);
        m_app.SetRegistryKey(kRegistryKey);
        DeleteTree();
    }
    void TearDown() override { DeleteTree(); }

    static void DeleteTree() {
        ::RegDeleteTreeA(HKEY_CURRENT_USER, (std::string("Software\\") + kRegistryKey).c_str());
    }
    // The section's key as the other program sees it: the plain registry functions.
    HKEY OpenSection(const char* pszSection) const {
        const std::string path = std::string("Software\\") + kRegistryKey + "\\" + m_app.m_strExeName.GetString() +
                                 "\\" + pszSection;
        HKEY hKey = nullptr;
        if (::RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &hKey,
                              nullptr) != ERROR_SUCCESS) {
            return nullptr;
        }
        return hKey;
    }

    CWinApp m_app{"Orvanta-Test"};
};

TEST_F(ProfileTest, ValuesRoundTripUnderSoftwareKeyProgramSection) {
    EXPECT_STREQ(m_app.m_strProfileName, m_app.m_strExeName);
    ASSERT_TRUE(m_app.WriteProfileInt("APP", "X", -37));
    ASSERT_TRUE(m_app.WriteProfileString("APP", "DefPList", "Party Mix"));
    EXPECT_EQ(static_cast<int>(m_app.GetProfileInt("APP", "X", 0)), -37);
    EXPECT_STREQ(m_app.GetProfileString("APP", "DefPList"), "Party Mix");

    HKEY hKey = OpenSection("APP");
    ASSERT_NE(hKey, nullptr);
    DWORD type = 0, value = 0, size = sizeof value;
    EXPECT_EQ(::RegQueryValueExA(hKey, "X", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(static_cast<int>(value), -37);
    ::RegCloseKey(hKey);
}

TEST_F(ProfileTest, MissingValuesAndSectionsGiveTheDefaults) {
    EXPECT_EQ(m_app.GetProfileInt("APP", "Resume", 0), 0u);
    EXPECT_EQ(m_app.GetProfileInt("NoSuchSection", "Resume", 5), 5u);
    EXPECT_STREQ(m_app.GetProfileString("APP", "DefPList"), "");
    EXPECT_STREQ(m_app.GetProfileString("APP", "DefPList", "Untitled"), "Untitled");
}

TEST_F(ProfileTest, ValuesWrittenByTheSiblingAndOddTypes) {
    HKEY hKey = OpenSection("APP");
    ASSERT_NE(hKey, nullptr);
    const DWORD y = 412;
    ::RegSetValueExA(hKey, "Y", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&y), sizeof y);
    ::RegSetValueExA(hKey, "Resume", 0, REG_SZ, reinterpret_cast<const BYTE*>("1"), 2);
    // A string stored without its terminator must not run past its end.
    ::RegSetValueExA(hKey, "Path", 0, REG_SZ, reinterpret_cast<const BYTE*>("C:\\mpdeck.exeJUNK"), 13);
    ::RegCloseKey(hKey);

    EXPECT_EQ(m_app.GetProfileInt("APP", "Y", 0), 412u);
    EXPECT_EQ(m_app.GetProfileInt("APP", "Resume", 7), 7u) << "a string is not an integer";
    EXPECT_STREQ(m_app.GetProfileString("APP", "Path"), "C:\\mpdeck.exe");
    EXPECT_STREQ(m_app.GetProfileString("APP", "Y", "none"), "none") << "an integer is not a string";
}

TEST_F(ProfileTest, LongStringsAndDeletion) {
    const std::string longPath = "C:\\" + std::string(5000, 'p') + ".m3u";
    ASSERT_TRUE(m_app.WriteProfileString("APP", "DefPList", longPath.c_str()));
    EXPECT_EQ(std::string(m_app.GetProfileString("APP", "DefPList")), longPath);

    ASSERT_TRUE(m_app.WriteProfileString("APP", "DefPList", nullptr));
    EXPECT_STREQ(m_app.GetProfileString("APP", "DefPList", "gone"), "gone");
    ASSERT_TRUE(m_app.WriteProfileInt("APP", "X", 1));
    ASSERT_TRUE(m_app.WriteProfileString("APP", nullptr, nullptr));
    EXPECT_EQ(m_app.GetProfileInt("APP", "X", 9), 9u);
}

TEST(ProfileWithoutRegistryKey, UsesAnIniFileOfTheProgramName) {
    CWinApp app("Orvanta-Test");
    AfxWinInit(::GetModuleHandleA(nullptr), nullptr, SW_SHOW);
    EXPECT_STREQ(app.m_strProfileName, app.m_strExeName + ".ini");
    ASSERT_TRUE(app.WriteProfileInt("APP", "X", 12));
    EXPECT_EQ(app.GetProfileInt("APP", "X", 0), 12u);
    char value[16] = {};
    ::GetPrivateProfileStringA("APP", "X", "", value, sizeof value, app.m_strProfileName);
    EXPECT_STREQ(value, "12");
    app.WriteProfileString("APP", nullptr, nullptr);
}

TEST(Application, GlobalAccessorNamesAndResources) {
    EXPECT_EQ(AfxGetApp(), nullptr);
    {
        CWinApp app("Orvanta-MP3");
        AfxWinInit(::GetModuleHandleA(nullptr), nullptr, SW_SHOW);
        EXPECT_EQ(AfxGetApp(), &app);
        EXPECT_STREQ(AfxGetAppName(), "Orvanta-MP3");
        EXPECT_STREQ(app.m_strExeName, "framework_test");
        EXPECT_STREQ(app.m_lpCmdLine, "");
        EXPECT_NE(app.LoadStandardCursor(IDC_ARROW), nullptr);
        EXPECT_EQ(app.LoadCursor(4711), nullptr);
        EXPECT_FALSE(AfxControlContainerEnabled());
        AfxEnableControlContainer();
        EXPECT_TRUE(AfxControlContainerEnabled());
    }
    EXPECT_EQ(AfxGetApp(), nullptr);
}

}  // namespace
