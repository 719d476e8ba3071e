// CString, CFile, CTime and the file dialog's selection walk.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include <windows.h>
#include <dlgs.h>

#include "TestSupport.h"
#include "fw/Framework.h"
#include "fw_test_ids.h"

namespace {

// --- CString ------------------------------------------------------------------------------

TEST(String, FormatHandlesTheProgramsFormatsAndLongOutput) {
    CString s;
    s.Format("%.2d:%.2d", 5, 7);
    EXPECT_STREQ(s, "05:07");
    s.Format("<%.3d>  %s", 12, "C:\\a.mp3");
    EXPECT_STREQ(s, "<012>  C:\\a.mp3");
    s.Format("%ld %%", 42L);
    EXPECT_STREQ(s, "42 %");
    s.Format("%d files\t%d hr %d min %d sec", 3, 1, 2, 5);
    EXPECT_STREQ(s, "3 files\t1 hr 2 min 5 sec");
    const std::string longPath(3000, 'q');
    s.Format("Cannot open %s.", longPath.c_str());
    EXPECT_EQ(s.GetLength(), 3000 + 13);
    EXPECT_STREQ(s.Right(5), "qqqq.");
    s.Format("%s", "");
    EXPECT_TRUE(s.IsEmpty());
}

TEST(String, SearchesAndSubstringsAtTheEdges) {
    const CString path("C:\\Music\\song.mp3");
    EXPECT_EQ(path.Find('\\'), 2);
    EXPECT_EQ(path.Find('\\', 3), 8);
    EXPECT_EQ(path.Find('z'), -1);
    EXPECT_EQ(path.Find('C', 100), -1);
    EXPECT_EQ(path.Find('C', -1), -1);
    EXPECT_EQ(path.Find(".mp3"), 13);
    EXPECT_EQ(path.Find(".MP3"), -1);
    EXPECT_EQ(path.ReverseFind('\\'), 8);
    EXPECT_EQ(path.ReverseFind('#'), -1);
    EXPECT_EQ(path.FindOneOf("./"), 13);

    EXPECT_STREQ(path.Left(2), "C:");
    EXPECT_STREQ(path.Left(-1), "");
    EXPECT_STREQ(path.Left(99), path);
    EXPECT_STREQ(path.Mid(9), "song.mp3");
    EXPECT_STREQ(path.Mid(99), "");
    EXPECT_STREQ(path.Mid(-3, 2), "C:");
    EXPECT_STREQ(path.Mid(9, 99), "song.mp3");
    EXPECT_STREQ(path.Right(4), ".mp3");
    EXPECT_STREQ(path.Right(99), path);
    EXPECT_STREQ(path.Right(-2), "");
    EXPECT_EQ(path.GetAt(99), '\0');

    // Seven characters of "<001>  " come off a playlist label.
    EXPECT_STREQ(CString("<001>  C:\\x.wav").Mid(7), "C:\\x.wav");
    EXPECT_STREQ(CString("<001>").Mid(7), "");
}

TEST(String, CaseTrimmingAndComparison) {
    CString s("Party MIX \xC4  \t\r\n");
    s.TrimRight();
    EXPECT_STREQ(s, "Party MIX \xC4");
    s.MakeLower();
    EXPECT_STREQ(s, "party mix \xE4") << "lower case follows the Windows code page";
    s.MakeUpper();
    EXPECT_STREQ(s, "PARTY MIX \xC4");
    CString blanks("   ");
    EXPECT_TRUE(blanks.TrimRight().IsEmpty());

    EXPECT_EQ(CString("Untitled").CompareNoCase("UNTITLED"), 0);
    EXPECT_LT(CString("abc").Compare("abd"), 0);
    EXPECT_GT(CString("abc").Compare(nullptr), 0);
    EXPECT_NE(CString("Rock").Compare("rock"), 0);
    EXPECT_TRUE(CString("a") + "b" + CString("c") == "abc");
    EXPECT_TRUE("x" != CString("y"));
}

TEST(String, ResourcesAndWin32Buffers) {
    CString s("kept");
    EXPECT_FALSE(s.LoadString(4711));
    EXPECT_STREQ(s, "kept") << "a missing string leaves the text as it was";
    ASSERT_TRUE(s.LoadString(IDS_FW_GREETING));
    EXPECT_STREQ(s, "Hello %s");

    CString dir;
    const UINT length = ::GetWindowsDirectoryA(dir.GetBuffer(MAX_PATH), MAX_PATH);
    dir.ReleaseBuffer();
    EXPECT_EQ(static_cast<UINT>(dir.GetLength()), length);
    EXPECT_GT(length, 0u);
}

// --- CFile --------------------------------------------------------------------------------

class FileTest : public ::testing::Test {
protected:
    void SetUp() override { m_strPath = orvtest::MakeTempDir("cfile") + "\\song.mp3"; }
    bool WriteBytes(UINT count) {
        CFile file;
        if (!file.Open(m_strPath.c_str(), CFile::modeCreate | CFile::modeWrite)) return false;
        std::vector<BYTE> bytes(count);
        for (UINT i = 0; i < count; ++i) bytes[i] = static_cast<BYTE>(i);
        return file.Write(bytes.data(), count) != FALSE;
    }
    std::string m_strPath;
};

TEST_F(FileTest, SetLengthCutsTheTagOffAndSeekWorksFromEveryOrigin) {
    ASSERT_TRUE(WriteBytes(300));
    CFile file;
    ASSERT_TRUE(file.Open(m_strPath.c_str(), CFile::modeReadWrite | CFile::shareExclusive));
    EXPECT_EQ(file.GetLength(), 300);
    EXPECT_EQ(file.Seek(-128, CFile::end), 172);
    BYTE tag[3] = {};
    EXPECT_EQ(file.Read(tag, 3), 3u);
    EXPECT_EQ(tag[0], 172);
    EXPECT_EQ(file.Seek(10, CFile::current), 185);
    EXPECT_EQ(file.Seek(-1, CFile::begin), -1) << "no position before the start";
    EXPECT_EQ(file.GetPosition(), 185);
    ASSERT_TRUE(file.SetLength(172));
    EXPECT_EQ(file.GetLength(), 172);
    EXPECT_EQ(file.GetPosition(), 172) << "a position past the new end moves to it";
    BYTE more = 0;
    EXPECT_EQ(file.Read(&more, 1), 0u);
    file.Close();

    ASSERT_TRUE(file.Open(m_strPath.c_str(), CFile::modeRead | CFile::shareDenyNone));
    EXPECT_EQ(file.GetLength(), 172);
}

TEST_F(FileTest, ExclusiveWriterRefusesEveryOtherOpen) {
    ASSERT_TRUE(WriteBytes(10));
    CFile writer;
    ASSERT_TRUE(writer.Open(m_strPath.c_str(), CFile::modeWrite | CFile::shareExclusive | CFile::modeNoTruncate));
    CFile second;
    DWORD error = 0;
    EXPECT_FALSE(second.Open(m_strPath.c_str(), CFile::modeWrite | CFile::shareDenyNone, &error));
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_FALSE(second.Open(m_strPath.c_str(), CFile::modeRead | CFile::shareDenyNone));
    writer.Close();
    EXPECT_TRUE(second.Open(m_strPath.c_str(), CFile::modeWrite | CFile::shareDenyNone));
}

TEST_F(FileTest, SharedReadersAndCreationModes) {
    ASSERT_TRUE(WriteBytes(50));
    CFile a, b;
    ASSERT_TRUE(a.Open(m_strPath.c_str(), CFile::modeRead | CFile::shareDenyNone));
    EXPECT_TRUE(b.Open(m_strPath.c_str(), CFile::modeRead | CFile::shareDenyNone));
    CFile c;
    EXPECT_FALSE(c.Open(m_strPath.c_str(), CFile::modeRead | CFile::shareDenyRead)) << "a reader is open";
    a.Close();
    b.Close();

    // Without modeCreate the file must exist, and is not made.
    const std::string missing = m_strPath + ".none";
    EXPECT_FALSE(c.Open(missing.c_str(), CFile::modeWrite | CFile::shareExclusive | CFile::modeNoTruncate));
    EXPECT_FALSE(orvtest::FileExists(missing));
    EXPECT_FALSE(c.Open("", CFile::modeRead));

    ASSERT_TRUE(c.Open(m_strPath.c_str(), CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite));
    EXPECT_EQ(c.GetLength(), 50) << "modeNoTruncate keeps the contents";
    c.Close();
    ASSERT_TRUE(c.Open(m_strPath.c_str(), CFile::modeCreate | CFile::modeWrite));
    EXPECT_EQ(c.GetLength(), 0) << "modeCreate alone empties the file";
    EXPECT_TRUE(c.WriteString("log line\r\n"));
    EXPECT_EQ(c.GetLength(), 10);
}

// --- CTime --------------------------------------------------------------------------------

TEST(Time, FormatGivesNamesAndTwoDigitFields) {
    const CTime t(2026, 12, 8, 1, 2, 3);
    EXPECT_STREQ(t.Format("%A, %B %d, %Y"), "Tuesday, December 08, 2026");
    EXPECT_STREQ(t.Format("%H:%M:%S"), "01:02:03");
    EXPECT_EQ(t.GetDayOfWeek(), 3);
    EXPECT_EQ(t.GetYear(), 2026);
    EXPECT_EQ(t.GetMonth(), 12);
    EXPECT_EQ(t.GetHour(), 1);
    EXPECT_STREQ(t.Format(""), "");
}

TEST(Time, DifferencesInSeconds) {
    const CTime start(2026, 12, 31, 23, 0, 0);
    const CTime end(2027, 1, 1, 0, 2, 5);
    const CTimeSpan elapsed = end - start;
    EXPECT_EQ(elapsed.GetTotalSeconds(), 3725);
    EXPECT_EQ(elapsed.GetTotalHours(), 1);
    EXPECT_EQ(elapsed.GetMinutes(), 2);
    EXPECT_EQ(elapsed.GetSeconds(), 5);
    EXPECT_TRUE(start + CTimeSpan(3725) == end);
    const CTime now = CTime::GetCurrentTime();
    EXPECT_LE(std::llabs((now - CTime(time(nullptr))).GetTotalSeconds()), 1);
}

// --- CFileDialog --------------------------------------------------------------------------

// Types two names once the dialog is up and presses Open.
UINT_PTR CALLBACK TypeNamesAndOpen(HWND hChild, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_NOTIFY || reinterpret_cast<NMHDR*>(lParam)->code != CDN_INITDONE) return 0;
    HWND hDlg = ::GetParent(hChild);
    ::SendMessageA(hDlg, CDM_SETCONTROLTEXT, cmb13, reinterpret_cast<LPARAM>("\"one.wav\" \"two.wav\""));
    ::SendMessageA(hDlg, CDM_SETCONTROLTEXT, edt1, reinterpret_cast<LPARAM>("\"one.wav\" \"two.wav\""));
    ::PostMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return 0;
}

std::vector<std::string> Walk(CFileDialog& dlg, const char* pszSelection, size_t length) {
    static char buffer[25600];
    std::memset(buffer, 0, sizeof buffer);
    std::memcpy(buffer, pszSelection, length);
    dlg.m_ofn.lpstrFile = buffer;
    dlg.m_ofn.nMaxFile = sizeof buffer;
    std::vector<std::string> paths;
    for (POSITION pos = dlg.GetStartPosition(); pos;) paths.push_back(dlg.GetNextPathName(pos).GetString());
    return paths;
}

TEST(FileDialog, SelectedPathsOfOneOrManyFiles) {
    CFileDialog dlg(TRUE, "mp3", nullptr, OFN_FILEMUSTEXIST | OFN_ALLOWMULTISELECT | OFN_HIDEREADONLY,
                    "MP3 files (*.mp3)|*.mp3|All files (*.*)|*.*|");
    EXPECT_TRUE(dlg.m_ofn.Flags & OFN_EXPLORER);
    EXPECT_EQ(std::memcmp(dlg.m_ofn.lpstrFilter, "MP3 files (*.mp3)\0*.mp3\0All files (*.*)\0*.*\0\0", 46), 0);

    const char many[] = "C:\\Music\0a.mp3\0b.wav\0";
    EXPECT_EQ(Walk(dlg, many, sizeof many), (std::vector<std::string>{"C:\\Music\\a.mp3", "C:\\Music\\b.wav"}));
    const char root[] = "C:\\\0x.mp3\0y.mp3\0";
    EXPECT_EQ(Walk(dlg, root, sizeof root), (std::vector<std::string>{"C:\\x.mp3", "C:\\y.mp3"}));
    const char one[] = "C:\\Music\\one.mp3\0";
    EXPECT_EQ(Walk(dlg, one, sizeof one), (std::vector<std::string>{"C:\\Music\\one.mp3"}));
    EXPECT_TRUE(Walk(dlg, "", 1).empty());
}

TEST(FileDialog, RealOpenDialogReturnsAMultipleSelection) {
    const std::string dir = orvtest::MakeTempDir("filedlg");
    ASSERT_TRUE(orvtest::WriteToneWave(dir + "\\one.wav", 50, 8000, 1, 440));
    ASSERT_TRUE(orvtest::WriteToneWave(dir + "\\two.wav", 50, 8000, 1, 440));
    static std::string s_dir;
    s_dir = dir;

    std::vector<char> buffer(25600, '\0');
    CFileDialog dlg(TRUE, "wav", nullptr, OFN_FILEMUSTEXIST | OFN_ALLOWMULTISELECT | OFN_HIDEREADONLY | OFN_ENABLEHOOK,
                    "Wave files (*.wav)|*.wav|");
    dlg.m_ofn.lpstrFile = buffer.data();
    dlg.m_ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    dlg.m_ofn.lpstrInitialDir = s_dir.c_str();
    dlg.m_ofn.lpfnHook = TypeNamesAndOpen;
    ASSERT_EQ(dlg.DoModal(), IDOK) << "CommDlgExtendedError " << dlg.GetLastError();
    std::vector<std::string> paths;
    for (POSITION pos = dlg.GetStartPosition(); pos;) paths.push_back(dlg.GetNextPathName(pos).GetString());
    ASSERT_EQ(paths.size(), 2u);
    EXPECT_EQ(CString(paths[0].c_str()).CompareNoCase((dir + "\\one.wav").c_str()), 0) << paths[0];
    EXPECT_EQ(CString(paths[1].c_str()).CompareNoCase((dir + "\\two.wav").c_str()), 0) << paths[1];
}

}  // namespace
