// Texts of TELMAR.DLL and the programs' message boxes, on copies of the library with
// string blocks changed by the test.
#include <cstdio>
#include <string>
#include <vector>

#include "IniFile.h"
#include "SkinAppFixture.h"
#include "SkinText.h"
#include "TelmarIds.h"
#include "TestSupport.h"
#include "UiScript.h"

namespace {

const LANGID kLibraryLanguage = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
const UINT kPercentText = 4000;  // block 251, unused by the library
const UINT kArgumentText = 4001;

std::string ExeDir() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string dir = path;
    return dir.substr(0, dir.rfind('\\'));
}

// A string-table block: 16 counted UTF-16 strings, the first ones given.
std::vector<BYTE> StringBlock(const std::vector<std::wstring>& texts) {
    std::vector<BYTE> block;
    for (size_t i = 0; i < 16; ++i) {
        const std::wstring text = i < texts.size() ? texts[i] : std::wstring();
        const WORD length = static_cast<WORD>(text.size());
        block.insert(block.end(), reinterpret_cast<const BYTE*>(&length), reinterpret_cast<const BYTE*>(&length + 1));
        for (wchar_t c : text) block.insert(block.end(), {static_cast<BYTE>(c & 0xFF), static_cast<BYTE>(c >> 8)});
    }
    return block;
}

// A copy of the library as dir\Telmar.DLL with one string block replaced; empty on
// failure. An empty text is a missing string.
std::string LibraryCopy(const char* tag, UINT nBlock, const std::vector<std::wstring>& texts) {
    const std::string path = orvtest::MakeTempDir(tag) + "\\Telmar.DLL";
    if (!::CopyFileA((ExeDir() + "\\TELMAR.DLL").c_str(), path.c_str(), FALSE)) return std::string();
    HANDLE hUpdate = ::BeginUpdateResourceA(path.c_str(), FALSE);
    if (!hUpdate) return std::string();
    std::vector<BYTE> block = StringBlock(texts);
    const BOOL bDone = ::UpdateResourceA(hUpdate, RT_STRING, MAKEINTRESOURCEA(nBlock), kLibraryLanguage, block.data(),
                                         static_cast<DWORD>(block.size()));
    if (!::EndUpdateResourceA(hUpdate, !bDone) || !bDone) return std::string();
    return path;
}

}  // namespace

using SkinTextTest = SkinAppTest;

TEST_F(SkinTextTest, TextsAreFormatsOnlyWhenTheyTakeArguments) {
    const std::string path = LibraryCopy("skintext", kPercentText / 16 + 1, {L"100% done: %s stays", L"%d of %s"});
    ASSERT_FALSE(path.empty());
    m_app.m_hResourceLibrary = ::LoadLibraryA(path.c_str());
    ASSERT_NE(m_app.m_hResourceLibrary, nullptr);

    EXPECT_STREQ(FormatText(kPercentText), "100% done: %s stays");
    EXPECT_STREQ(FormatText(kArgumentText, 3, CString("ten")), "3 of ten");
    EXPECT_STREQ(FormatText(kArgumentText, 4, "five"), "4 of five");
    EXPECT_STREQ(LoadText(kArgumentText + 1), "") << "a missing string";
    ::FreeLibrary(m_app.m_hResourceLibrary);
    m_app.m_hResourceLibrary = nullptr;
}

TEST_F(SkinTextTest, MessageBoxIsCaptionedWithTheProgramTitleAndOwned) {
    CWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, "STATIC", "owner", WS_POPUP, 0, 0, 10, 10, nullptr, 0));
    const HWND hOwner = owner.m_hWnd;
    CString expected;
    expected.Format(LoadText(IDS_ASK_DELETE_PLAYLIST), "Two");

    // The script finds the boxes by the program title only.
    orvtest::CUiScript ui("Orvanta-SharedTest");
    HWND hOwnedBy = nullptr;
    HWND hFreeOwner = hOwner;
    std::string ownedText, freeText;
    int nOwned = 0, nFree = 0;
    ui.Run(
        [&](orvtest::CUiScript& s) {
            if (HWND hBox = s.WaitBox()) hOwnedBy = ::GetWindow(hBox, GW_OWNER);
            ownedText = s.AnswerBox(IDNO, orvtest::BoxIcon::Question, orvtest::BoxButtons::YesNo);
            if (HWND hBox = s.WaitBox()) hFreeOwner = ::GetWindow(hBox, GW_OWNER);
            freeText = s.AnswerBox(IDNO);
        },
        [&] {
            nOwned = ShowMessage(&owner, IDS_ASK_DELETE_PLAYLIST, MB_YESNO | MB_ICONQUESTION, CString("Two"));
            nFree = ShowMessageText(nullptr, "100%", MB_YESNO);
        });
    owner.DestroyWindow();

    EXPECT_TRUE(ui.Clean()) << ui.Report();
    EXPECT_EQ(IDNO, nOwned);
    EXPECT_EQ(expected.GetString(), ownedText);
    EXPECT_EQ(hOwner, hOwnedBy);
    EXPECT_EQ(IDNO, nFree);
    EXPECT_EQ("100%", freeText);
    EXPECT_EQ(nullptr, hFreeOwner);
}

TEST_F(SkinTextTest, LibraryWithoutItsFileNameIsNotTakenByTheBareName) {
    const std::string path = LibraryCopy("skintext136", IDS_LIBRARY_FILE / 16 + 1, {L"", L"", L"", L"", L"", L"", L"", L""});
    ASSERT_FALSE(path.empty());
    HMODULE hStranger = ::LoadLibraryA(path.c_str());
    ASSERT_NE(hStranger, nullptr);
    char text[64] = {};
    ASSERT_EQ(0, ::LoadStringA(hStranger, IDS_LIBRARY_FILE, text, sizeof text));
    // Loaded already, it is what the bare name finds before the program's folder.
    HMODULE hFound = ::LoadLibraryA("Telmar.DLL");
    ASSERT_EQ(hStranger, hFound);
    ::FreeLibrary(hFound);

    CString strText = "untouched";
    EXPECT_FALSE(m_app.LoadResString(strText, IDS_ASK_DELETE_PLAYLIST));
    EXPECT_STREQ(strText, "untouched");
    EXPECT_EQ(m_app.m_hResourceLibrary, nullptr);
    ::FreeLibrary(hStranger);
}

TEST(IniFileTest, EachFileKeepsItsOwnSections) {
    const CIniFile discs("orvshared-discs.ini");
    const CIniFile other("orvshared-other.ini");
    discs.WriteInt("1a2b3c4d", "NumTracks", 12);
    discs.WriteString("1a2b3c4d", "Track07", "Seventh");
    discs.WriteString("1a2b3c4d", "9", "x");
    EXPECT_EQ(12, discs.ReadCount("1a2b3c4d", "NumTracks", 99));
    EXPECT_EQ(9, discs.ReadCount("1a2b3c4d", "NumTracks", 9));
    EXPECT_STREQ(discs.ReadString("1a2b3c4d", "track07", ""), "Seventh");
    EXPECT_EQ(9, discs.HighestNumberedKey("1a2b3c4d")) << "Track07 is no number";
    EXPECT_EQ(0, other.ReadInt("1a2b3c4d", "NumTracks", 0));
    // Values that look quoted come back as written; one stored bare by older
    // versions reads as it always did.
    for (const char* value : {"\"quoted\"", "'single'", "\"", "a \"b\"", "\"half", "\"x'"}) {
        discs.WriteString("1a2b3c4d", "Title", value);
        EXPECT_STREQ(discs.ReadString("1a2b3c4d", "Title", ""), value);
    }
    ::WritePrivateProfileStringA("1a2b3c4d", "Old", "\"old\"", discs.GetFileName());
    EXPECT_STREQ(discs.ReadString("1a2b3c4d", "Old", ""), "old");
    discs.DeleteSection("1a2b3c4d");
    EXPECT_EQ(-1, discs.ReadInt("1a2b3c4d", "NumTracks", -1));

    char dir[MAX_PATH] = {};
    ::GetWindowsDirectoryA(dir, MAX_PATH);
    ::DeleteFileA((std::string(dir) + "\\orvshared-discs.ini").c_str());
}

// One read of a section gives each numbered key what the profile function gives it.
TEST(IniFileTest, NumberedValuesReadAtOnceEqualThoseReadOneByOne) {
    char dir[MAX_PATH] = {};
    ::GetWindowsDirectoryA(dir, MAX_PATH);
    const std::string path = std::string(dir) + "\\orvshared-list.ini";
    const std::string longValue(1500, 'x');
    const std::string text = "[List]\r\nTotal=9\r\n1=C:\\a b\\one.mp3,MPEG\r\n 2 = spaced \r\n02=leading zero\r\n"
                             "3=\"quoted\"\r\n3=second three\r\n5='single'\r\n6=\"half\r\n7=\r\n8=" +
                             longValue + "\r\nnot a line\r\n[Other]\r\n9=elsewhere\r\n";
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);

    const CIniFile ini("orvshared-list.ini");
    const std::vector<CString> values = ini.ReadNumberedValues("List", 9, "Untitled");
    ASSERT_EQ(values.size(), 9u);
    for (int i = 1; i <= 9; ++i) EXPECT_STREQ(values[i - 1], ini.ReadNumbered("List", i, "Untitled")) << "key " << i;
    EXPECT_STREQ(values[1], "spaced");
    EXPECT_STREQ(values[2], "quoted");
    EXPECT_STREQ(values[8], "Untitled");
    EXPECT_TRUE(ini.ReadNumberedValues("List", 0, "").empty());
    ::DeleteFileA(path.c_str());
}
