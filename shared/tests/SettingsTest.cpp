// Settings and the foreign registry entries, on the prefix's real registry.
#include <string>

#include "RegistryGuard.h"
#include "SkinAppFixture.h"
#include "TestSupport.h"
#include "ResourceIds.h"

using orvtest::RegistryGuard;

namespace {

const char kTestExtension[] = ".orvtest-htm";
const char kTestProgId[] = "OrvantaTest.HtmlFile";
const std::string kTestCommandKey = std::string(kTestProgId) + "\\shell\\open\\command";

}  // namespace

TEST_F(SkinAppTest, InstallDirIsThePathBeforeTheProgramNameInLowerCase) {
    // The test program's own name plays the part of mpdeck.exe.
    std::string name = m_app.m_strExeName.GetString();
    name[0] = static_cast<char>(toupper(static_cast<unsigned char>(name[0])));
    const std::string path = "C:\\Program Files\\Orvanta Suite\\" + name + ".EXE";
    ASSERT_TRUE(orvtest::SetRegistryString(HKEY_CURRENT_USER, ProfileKey(), "Path", path));
    CString dir = "untouched";
    m_app.GetInstallDir(dir);
    EXPECT_STREQ(dir, "c:\\program files\\orvanta suite\\");
}

TEST_F(SkinAppTest, InstallDirWithoutTheProgramNameIsTheWholeValue) {
    CString dir = "untouched";
    m_app.GetInstallDir(dir);
    EXPECT_STREQ(dir, "") << "no Path value";

    ASSERT_TRUE(orvtest::SetRegistryString(HKEY_CURRENT_USER, ProfileKey(), "Path", "D:\\Apps\\Other.EXE"));
    m_app.GetInstallDir(dir);
    EXPECT_STREQ(dir, "d:\\apps\\other.exe");
}

TEST_F(SkinAppTest, HelpDirIsThePathBeforeTheBaseNameOrNothing) {
    const std::string name = m_app.m_strExeName.GetString();
    ASSERT_TRUE(orvtest::SetRegistryString(HKEY_CURRENT_USER, ProfileKey(), "Path", "E:\\Help\\" + name + "_old\\x.EXE"));
    CString dir = "untouched";
    m_app.GetHelpDir(dir);
    EXPECT_STREQ(dir, "e:\\help\\") << "cut at the first occurrence, even inside a folder name";

    ASSERT_TRUE(orvtest::SetRegistryString(HKEY_CURRENT_USER, ProfileKey(), "Path", "E:\\Apps\\Other.exe"));
    m_app.GetHelpDir(dir);
    EXPECT_STREQ(dir, "") << "unlike the install folder, no name means no folder";
}

TEST_F(SkinAppTest, SavedPositionDefaultsToZeroAndIsStoredAsDword) {
    int x = 5, y = 5;
    m_app.GetSavedPosition(x, y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);

    m_app.SavePosition(-15, 700);
    DWORD storedX = 0, storedY = 0;
    ASSERT_TRUE(orvtest::GetRegistryDword(HKEY_CURRENT_USER, ProfileKey(), "X", storedX));
    ASSERT_TRUE(orvtest::GetRegistryDword(HKEY_CURRENT_USER, ProfileKey(), "Y", storedY));
    EXPECT_EQ(static_cast<int>(storedX), -15);
    EXPECT_EQ(storedY, 700u);
    m_app.GetSavedPosition(x, y);
    EXPECT_EQ(x, -15);
    EXPECT_EQ(y, 700);
}

class OpenCommandTest : public SkinAppTest {
protected:
    RegistryGuard m_extension{HKEY_CLASSES_ROOT, kTestExtension};
    RegistryGuard m_progId{HKEY_CLASSES_ROOT, kTestProgId};

    void Register(const std::string& command) {
        ASSERT_TRUE(orvtest::SetRegistryString(HKEY_CLASSES_ROOT, kTestExtension, nullptr, kTestProgId));
        ASSERT_TRUE(orvtest::SetRegistryString(HKEY_CLASSES_ROOT, kTestCommandKey, nullptr, command));
    }
};

TEST_F(OpenCommandTest, CommandIsCutBeforeItsFirstArgument) {
    struct Case {
        std::string command;
        std::string prefix;
    };
    const Case cases[] = {
        // The closing quote is lost: the path is appended after the opening one.
        {"\"C:\\Web\\browser.exe\" -nohome \"%1\"", "\"C:\\Web\\browser.exe\" -nohome \""},
        {"C:\\Web\\browser.exe %1", "C:\\Web\\browser.exe "},
        {"C:\\Web\\browser.exe -nohome", "C:\\Web\\browser.exe -nohome "},
        {"C:\\Web\\browser.exe %1 --also %1", "C:\\Web\\browser.exe "},
        {"%1", ""},
    };
    for (const Case& c : cases) {
        Register(c.command);
        CString command = "untouched";
        EXPECT_TRUE(CSkinApp::GetOpenCommand(kTestExtension, command)) << c.command;
        EXPECT_STREQ(command, c.prefix.c_str()) << c.command;
    }
}

TEST_F(OpenCommandTest, CommandLongerThanTheUsualBufferIsReadWhole) {
    const std::string program = "C:\\" + std::string(400, 'w') + "\\browser.exe ";
    Register(program + "\"%1\"");
    CString command;
    ASSERT_TRUE(CSkinApp::GetOpenCommand(kTestExtension, command));
    EXPECT_EQ(command.GetLength(), static_cast<int>(program.size()) + 1);
    EXPECT_STREQ(command, (program + "\"").c_str());
}

TEST_F(OpenCommandTest, MissingKeysGiveFalseAndLeaveTheTextAlone) {
    CString command = "untouched";
    EXPECT_FALSE(CSkinApp::GetOpenCommand(kTestExtension, command)) << "no extension key";
    EXPECT_STREQ(command, "untouched");

    ASSERT_TRUE(orvtest::SetRegistryString(HKEY_CLASSES_ROOT, kTestExtension, nullptr, kTestProgId));
    EXPECT_FALSE(CSkinApp::GetOpenCommand(kTestExtension, command)) << "no open command";
    EXPECT_STREQ(command, "untouched");

    ASSERT_TRUE(orvtest::SetRegistryString(HKEY_CLASSES_ROOT, kTestExtension, nullptr, ""));
    EXPECT_FALSE(CSkinApp::GetOpenCommand(kTestExtension, command)) << "empty program id";
    EXPECT_STREQ(command, "untouched");
}

class SiblingTest : public SkinAppTest {
protected:
    RegistryGuard m_sibling{HKEY_CURRENT_USER, kSiblingKey};
};

TEST_F(SiblingTest, MissingKeyGivesFalseAndGreysTheMenuItem) {
    ASSERT_TRUE(orvtest::DeleteRegistryKey(HKEY_CURRENT_USER, kSiblingKey));
    CString path = "untouched";
    EXPECT_FALSE(m_app.GetSiblingPath(path));
    EXPECT_STREQ(path, "untouched");

    CMenu popup;
    ASSERT_TRUE(popup.CreatePopupMenu());
    ASSERT_TRUE(popup.AppendMenu(MF_STRING, ID_SWITCH_TO_CD, "Orvanta-&CD..."));
    m_app.EnableSiblingItem(&popup, ID_SWITCH_TO_CD);
    EXPECT_EQ(popup.GetMenuState(ID_SWITCH_TO_CD, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED),
              static_cast<UINT>(MF_GRAYED | MF_DISABLED));

    ASSERT_TRUE(orvtest::SetRegistryDword(HKEY_CURRENT_USER, kSiblingKey, "X", 10));
    m_app.EnableSiblingItem(&popup, ID_SWITCH_TO_CD);
    EXPECT_EQ(popup.GetMenuState(ID_SWITCH_TO_CD, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED), 0u)
        << "the key alone enables the item";
}

TEST_F(SiblingTest, PathIsReadWholeEvenPastTheUsualBuffer) {
    const std::string longPath = "C:\\" + std::string(286, 'p') + "\\cddeck.exe";
    ASSERT_EQ(longPath.size(), 300u);
    ASSERT_TRUE(orvtest::SetRegistryString(HKEY_CURRENT_USER, kSiblingKey, "Path", longPath));
    CString path;
    ASSERT_TRUE(m_app.GetSiblingPath(path));
    EXPECT_EQ(path.GetLength(), 300);
    EXPECT_STREQ(path, longPath.c_str());
    EXPECT_FALSE(CSkinApp::FileExists(path));

    ASSERT_TRUE(orvtest::DeleteRegistryValue(HKEY_CURRENT_USER, kSiblingKey, "Path"));
    path = "untouched";
    EXPECT_TRUE(m_app.GetSiblingPath(path)) << "the key opens";
    EXPECT_STREQ(path, "") << "no value reads as empty";
}

TEST_F(SkinAppTest, FileExistsOnlyForFilesThatOpenForReading) {
    EXPECT_FALSE(CSkinApp::FileExists(""));
    EXPECT_FALSE(CSkinApp::FileExists(nullptr));
    const std::string dir = orvtest::MakeTempDir("fileexists");
    EXPECT_FALSE(CSkinApp::FileExists((dir + "\\missing.exe").c_str()));
    EXPECT_FALSE(CSkinApp::FileExists(dir.c_str())) << "a folder is not a file";

    const std::string file = dir + "\\present.exe";
    HANDLE hFile = ::CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(hFile, INVALID_HANDLE_VALUE);
    ::CloseHandle(hFile);
    EXPECT_TRUE(CSkinApp::FileExists(file.c_str()));
    // It is closed again: the file can be deleted at once.
    EXPECT_TRUE(::DeleteFileA(file.c_str()));
    ::RemoveDirectoryA(dir.c_str());
}
