// The extractor page in a modeless sheet under Wine, ripping the demo disc and test
// images through the real ripper control and encoding with the real encoder control.
// A script on a second thread answers the page's boxes; what the page wrote is read
// back, and the MP3 files by the reference tools.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <mmsystem.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "CDDisc.h"
#include "CDPlayerLink.h"
#include "DemoDiscReading.h"
#include "ExtractDlg.h"
#include "ID3Tag.h"
#include "RegistryGuard.h"
#include "SkinText.h"
#include "TelmarIds.h"
#include "TestDiscs.h"
#include "TestSkinApp.h"
#include "TestSupport.h"
#include "UiScript.h"
#include "cddeck/ExtractorIds.h"
#include "extract_test_ids.h"
#include "orvcodec/WaveFile.h"

namespace {

using orvtest::BoxButtons;
using orvtest::BoxIcon;
using orvtest::CUiScript;

const char kTestTitle[] = "Orvanta-ExtractTest";
constexpr DWORD kRunTimeoutMs = 120000;
constexpr size_t kFramesPerSector = 588;

class CTestPlayer : public CCDPlayerLink {
public:
    BOOL IsPlayerPlaying() const override { return m_bPlaying; }
    CCDDisc& GetDisc() override { return m_disc; }
    CCDDisc m_disc{cdtest::kTestDatabase};
    BOOL m_bPlaying = FALSE;
};

class COtherPage : public CPropertyPage {
public:
    COtherPage() : CPropertyPage(IDD_EXTRACT_TEST_OTHER) {}
};

class CExtractSheet : public CPropertySheet {
public:
    explicit CExtractSheet(CCDPlayerLink* pPlayer) : CPropertySheet("Orvanta-CD"), m_extract(pPlayer) {
        AddPage(&m_extract);
        AddPage(&m_other);
    }
    CExtractDlg m_extract;
    COtherPage m_other;
};

class ExtractPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        AfxWinInit(::GetModuleHandleA(nullptr), nullptr, SW_SHOW);
        const INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES};
        ::InitCommonControlsEx(&controls);
        CACD::Register();
        CMp3Enc::Register();
        AfxEnableControlContainer();
        m_app.SetRegistryKey("Orvanta");
        m_profile = std::make_unique<orvtest::RegistryGuard>(
            HKEY_CURRENT_USER, std::string("Software\\Orvanta\\") + m_app.m_strExeName.GetString() + "\\APP");
        // The reference tools reach only drive Z:.
        m_dir = orvtest::FreshArtifactsDir(std::string("extract-") +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        ASSERT_FALSE(m_dir.empty());
        cdtest::WriteDemoTitles(m_database);
        ASSERT_TRUE(Insert(cdtest::kDemoCue));
        ASSERT_TRUE(m_main.Create(IDD_EXTRACT_TEST_MAIN, nullptr));
        m_app.m_pMainWnd = &m_main;
    }
    void TearDown() override {
        if (m_sheet.GetSafeHwnd()) m_sheet.DestroyWindow();
        if (m_main.GetSafeHwnd()) m_main.DestroyWindow();
        m_app.m_pMainWnd = nullptr;
    }

    // Puts a disc in the drive and reads it into the player's model, as the player does.
    bool Insert(const std::string& cue) {
        const bool bRead = cdtest::InsertAndRead(m_player.m_disc, cue);
        if (Page().GetSafeHwnd()) Page().OnDiscChanged();
        return bRead;
    }
    bool Open() {
        if (!m_sheet.Create(&m_main)) return false;
        ::SetActiveWindow(m_sheet.m_hWnd);
        return Page().GetSafeHwnd() != nullptr;
    }

    CExtractDlg& Page() { return m_sheet.m_extract; }
    HWND PageWnd() { return Page().m_hWnd; }
    std::string Path(const std::string& name) const { return m_dir + "\\" + name; }
    void SetText(int nId, const std::string& text) { CUiScript::SetText(PageWnd(), nId, text.c_str()); }
    std::string Field(int nId) { return CUiScript::ItemText(PageWnd(), nId); }
    bool Enabled(int nId) { return CUiScript::IsEnabled(PageWnd(), nId); }
    void Press(int nId) {
        ::SendMessageA(PageWnd(), WM_COMMAND, MAKEWPARAM(nId, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(PageWnd(), nId)));
    }
    void Tick(const std::vector<int>& rows) {
        for (int row : rows) CUiScript::SelectListViewRow(PageWnd(), IDC_EXTRACT_TRACKS, row);
    }
    void Encode(const std::string& mp3Folder, bool bDelete, const char* bitRate = "128", const char* rate = "44100") {
        ::CheckDlgButton(PageWnd(), IDC_EXTRACT_ENCODE, BST_CHECKED);
        Press(IDC_EXTRACT_ENCODE);
        ::CheckDlgButton(PageWnd(), IDC_EXTRACT_DELETE_WAVE, bDelete ? BST_CHECKED : BST_UNCHECKED);
        ::SendDlgItemMessageA(PageWnd(), IDC_EXTRACT_BIT_RATE, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                              reinterpret_cast<LPARAM>(bitRate));
        ::SendDlgItemMessageA(PageWnd(), IDC_EXTRACT_SAMPLE_RATE, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                              reinterpret_cast<LPARAM>(rate));
        SetText(IDC_EXTRACT_MP3_FOLDER, mp3Folder);
    }
    std::vector<int> Marked() {
        std::vector<int> rows;
        for (size_t i = 0; i < Page().Marks().size(); ++i)
            if (Page().Marks()[i]) rows.push_back(static_cast<int>(i));
        return rows;
    }
    // Presses Rip and pumps until the run has ended with a box of this icon; its text.
    // whileRunning runs right after Rip, eachPump before every message of the run is
    // handled (a hook sees each one, however many the pump takes at once).
    std::string Rip(BoxIcon icon, const std::function<void()>& whileRunning = {},
                    const std::function<void()>& eachPump = {}) {
        CUiScript ui(kTestTitle);
        std::string text;
        s_eachMessage = eachPump;
        HHOOK hHook = eachPump ? ::SetWindowsHookExA(WH_GETMESSAGE, OnMessage, nullptr, ::GetCurrentThreadId()) : nullptr;
        ui.Run([&](CUiScript& script) { text = script.AnswerBox(IDOK, icon, BoxButtons::Ok); },
               [&] {
                   Press(IDC_EXTRACT_RIP);
                   if (whileRunning) whileRunning();
                   EXPECT_TRUE(orvtest::PumpUntil([&] { return !text.empty() && !Page().IsBusy(); }, kRunTimeoutMs));
               });
        if (hHook) ::UnhookWindowsHookEx(hHook);
        if (eachPump) eachPump();
        s_eachMessage = nullptr;
        EXPECT_TRUE(ui.Clean()) << ui.Report();
        return text;
    }
    static LRESULT CALLBACK OnMessage(int nCode, WPARAM wParam, LPARAM lParam) {
        if (nCode == HC_ACTION && wParam == PM_REMOVE && s_eachMessage) s_eachMessage();
        return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
    }
    static inline std::function<void()> s_eachMessage;
    static std::set<std::string> FilesIn(const std::string& dir) {
        std::set<std::string> names;
        WIN32_FIND_DATAA data;
        HANDLE hFind = ::FindFirstFileA((dir + "\\*").c_str(), &data);
        if (hFind == INVALID_HANDLE_VALUE) return names;
        do {
            const std::string name = data.cFileName;
            // The run's log is looked at by the tests of the log.
            const bool bLog = name.size() > 4 && name.compare(name.size() - 4, 4, ".log") == 0;
            if (name != "." && name != ".." && !bLog) names.insert(name);
        } while (::FindNextFileA(hFind, &data));
        ::FindClose(hFind);
        return names;
    }
    static size_t WaveFrames(const std::string& path) {
        orv::codec::WaveReader reader;
        if (reader.Open(orvtest::UnixPath(path)) != orv::codec::WaveStatus::Ok) return 0;
        return static_cast<size_t>(reader.FrameCount());
    }
    // A track runs to the next one's INDEX 01, so a stored gap after it is part of it.
    static size_t DemoFrames(int nTrack) {
        const int nGap = nTrack < orvdemo::kDemoTrackCount ? orvdemo::kDemoTracks[nTrack].storedGap : 0;
        return static_cast<size_t>(orvdemo::kDemoTracks[nTrack - 1].frames + nGap) * kFramesPerSector;
    }
    std::string Profile(const char* entry) {
        return m_app.GetProfileString("APP", entry, "").GetString();
    }
    // A disc whose first track lasts ten minutes: long enough to act on mid-way.
    // Track 1 takes about a second to rip; with bLonger, long enough for a user's
    // answers to come before its end, also on a busy machine.
    bool InsertLongDisc(bool bLonger = false) {
        const cdtest::TestDisc disc = cdtest::MakeTestDisc(
            "long", {cdtest::Frames(bLonger ? 79 : 10, 0, 0), cdtest::Frames(0, 3, 0), cdtest::Frames(0, 2, 0)});
        return Insert(disc.cue);
    }

    orvtest::CTestSkinApp m_app{kTestTitle};
    orvtest::RegistryGuard m_discGuard{HKEY_CURRENT_USER, cdtest::kDiscKey};
    std::unique_ptr<orvtest::RegistryGuard> m_profile;
    cdtest::CTestDatabase m_database;
    CTestPlayer m_player;
    CDialog m_main;
    CExtractSheet m_sheet{&m_player};
    std::string m_dir;
};

TEST_F(ExtractPageTest, ThreeTickedTracksRipToTheirTitlesClearingTheMarksOneByOne) {
    ASSERT_TRUE(Open());
    ASSERT_EQ(CUiScript::ListViewRows(PageWnd(), IDC_EXTRACT_TRACKS),
              (std::vector<std::string>{"<01> First Light", "<02> Long Road", "<03> Short Step", "<04> After The Gap",
                                        "<05> Evening", "<06> Last Call"}));
    EXPECT_EQ(CUiScript::ListViewRows(PageWnd(), IDC_EXTRACT_TRACKS, 1)[1], "01:23");
    EXPECT_FALSE(::GetWindowLongA(::GetDlgItem(PageWnd(), IDC_EXTRACT_TRACKS), GWL_STYLE) & WS_HSCROLL);
    EXPECT_FALSE(Enabled(IDC_EXTRACT_RIP));
    // A missing folder, typed with a trailing backslash.
    SetText(IDC_EXTRACT_RIP_FOLDER, Path("waves") + "\\");
    Tick({0, 2, 5});
    ASSERT_TRUE(Enabled(IDC_EXTRACT_RIP));
    std::vector<std::vector<int>> seen;
    const std::string notice = Rip(
        BoxIcon::Information,
        [&] {
            EXPECT_TRUE(Page().IsBusy());
            EXPECT_FALSE(Enabled(IDC_EXTRACT_RIP));
            EXPECT_FALSE(Enabled(IDC_EXTRACT_TRACKS));
            EXPECT_TRUE(Enabled(IDC_EXTRACT_STOP));
            EXPECT_EQ(Field(IDC_EXTRACT_TRACK_LABEL), m_app.Text(IDS_LABEL_RIPPING_TRACK));
        },
        [&] {
            if (seen.empty() || seen.back() != Marked()) seen.push_back(Marked());
        });
    EXPECT_EQ(notice, m_app.Text(IDS_RIP_ALL_DONE));
    EXPECT_EQ(seen, (std::vector<std::vector<int>>{{0, 2, 5}, {2, 5}, {5}, {}}));
    EXPECT_EQ(FilesIn(Path("waves")),
              (std::set<std::string>{"First Light.wav", "Short Step.wav", "Last Call.wav"}));
    EXPECT_EQ(WaveFrames(Path("waves\\First Light.wav")), DemoFrames(1));
    EXPECT_EQ(WaveFrames(Path("waves\\Short Step.wav")), DemoFrames(3));
    EXPECT_EQ(WaveFrames(Path("waves\\Last Call.wav")), DemoFrames(6));
    // The run's status goes with it, and ticks alone leave the disc's record as it is:
    // a title changed elsewhere meanwhile survives leaving the page.
    EXPECT_EQ(Field(IDC_EXTRACT_TRACK), "");
    EXPECT_EQ(Field(IDC_EXTRACT_COMPLETION), "");
    EXPECT_FALSE(Enabled(IDC_EXTRACT_STOP));
    ASSERT_TRUE(::WritePrivateProfileStringA(cdtest::kDemoDiscId, "2", "Changed Elsewhere", cdtest::kTestDatabase));
    m_sheet.SetActivePage(1);
    char value[64] = {};
    ::GetPrivateProfileStringA(cdtest::kDemoDiscId, "2", "", value, sizeof value, cdtest::kTestDatabase);
    EXPECT_STREQ(value, "Changed Elsewhere");
}

TEST_F(ExtractPageTest, EncodingWritesMp3sAtTheChosenRatesAndDeletesTheWaves) {
    ASSERT_TRUE(Open());
    SetText(IDC_EXTRACT_RIP_FOLDER, Path("waves"));
    Encode(Path("mp3"), true, "64", "22050");
    Tick({2, 5});
    EXPECT_EQ(Rip(BoxIcon::Information), m_app.Text(IDS_RIP_ENCODE_ALL_DONE));
    orvtest::CaptureScreen("extract-page-encoded");
    EXPECT_TRUE(FilesIn(Path("waves")).empty());
    EXPECT_EQ(FilesIn(Path("mp3")), (std::set<std::string>{"Short Step.mp3", "Last Call.mp3"}));
    EXPECT_EQ(Field(IDC_EXTRACT_STOP), m_app.Text(IDS_STOP_RIPPING));
    std::string script = "cd '" + orvtest::UnixPath(Path("mp3")) + "'";
    for (const char* name : {"Short Step", "Last Call"}) {
        const std::string f = std::string("'") + name;
        script += " && mpg123 -q -w " + f + ".dec.wav' " + f + ".mp3' && ffprobe -v error -show_entries "
                  "stream=sample_rate,bit_rate -of csv=p=0 " + f + ".mp3' >> ../rates.txt";
    }
    ASSERT_TRUE(orvtest::RunHostShell(script, "extract-oracles", 60000));
    EXPECT_EQ(orvtest::ReadFileBytes(Path("rates.txt")), "22050,64000\n22050,64000\n");
    // Decoded, each lasts as long as its track (give or take the coder's delay).
    const double seconds = static_cast<double>(WaveFrames(Path("mp3\\Short Step.dec.wav"))) / 22050.0;
    EXPECT_NEAR(seconds, static_cast<double>(DemoFrames(3)) / 44100.0, 0.1);
}

// The disc's record goes into every MP3 as tags: ffprobe reads the ID3v2 tag, our own
// reader the ID3v1 tag; a title character ISO-8859-1 lacks comes back whole.
TEST_F(ExtractPageTest, Mp3sCarryTheDiscRecordAsTags) {
    // The euro sign of the code page lies outside ISO-8859-1.
    const char kTitle[] = "Caf\xe9 \x80 Suite";
    wchar_t wide[32] = {};
    ASSERT_GT(::MultiByteToWideChar(CP_ACP, 0, kTitle, -1, wide, 32), 0);
    ASSERT_GT(wide[5], 0xFF);
    char utf8[64] = {};
    ASSERT_GT(::WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8, sizeof utf8, nullptr, nullptr), 0);
    CCDDisc& disc = m_player.m_disc;
    disc.m_strArtist = "The Testers";
    disc.m_strAlbum = "An Album Whose Name Runs Past Thirty";
    disc.m_strYear = "2024";
    disc.m_strGenre = "Jazz";
    disc.TrackAt(2)->SetTitle(kTitle);
    ASSERT_TRUE(Open());
    SetText(IDC_EXTRACT_RIP_FOLDER, Path("waves"));
    Encode(Path("mp3"), true);
    Tick({2});
    EXPECT_EQ(Rip(BoxIcon::Information), m_app.Text(IDS_RIP_ENCODE_ALL_DONE));
    const std::string mp3 = Path("mp3\\") + kTitle + ".mp3";
    ASSERT_TRUE(orvtest::RunHostShell("cd '" + orvtest::UnixPath(Path("mp3")) +
                                          "' && ffprobe -v error -show_entries format_tags=title,artist,album,date,"
                                          "genre,track -of default=nw=1 *.mp3 | sort > ../tags.txt",
                                      "extract-tags", 60000));
    EXPECT_EQ(orvtest::ReadFileBytes(Path("tags.txt")),
              "TAG:album=An Album Whose Name Runs Past Thirty\nTAG:artist=The Testers\nTAG:date=2024\n"
              "TAG:genre=Jazz\nTAG:title=" + std::string(utf8) + "\nTAG:track=3/6\n");
    CID3Tag v1;
    v1.m_strPath = mp3.c_str();
    ASSERT_TRUE(v1.ReadTag());
    EXPECT_EQ(std::string(v1.GetTitle()), kTitle);
    EXPECT_EQ(std::string(v1.GetArtist()), "The Testers");
    EXPECT_EQ(std::string(v1.GetAlbum()), "An Album Whose Name Runs Past");
    EXPECT_EQ(std::string(v1.GetYear()), "2024");
    EXPECT_EQ(v1.m_byGenre, 8);
    const std::string bytes = orvtest::ReadFileBytes(mp3);
    ASSERT_GT(bytes.size(), 128u);
    EXPECT_EQ(bytes.substr(bytes.size() - 3, 2), std::string("\0\x03", 2));  // ID3v1.1 track
}

// The run's log names the disc and, per track, the file, the sums of the copy and of
// the test read, and the AccurateRip checksums; a Python oracle computes the same sums
// from the written WAVE files of the disc's first, a middle and its last track.
struct LoggedTrack {
    std::string file, copyCrc, testCrc, verdict, v1, v2;
};

std::map<int, LoggedTrack> LoggedTracks(const std::string& log) {
    static const std::regex kTrack(
        "Track (\\d\\d)  .*\\r\\n     File: (.*)\\r\\n     Length: .*\\r\\n     Copy CRC: ([0-9A-F]{8})\\r\\n"
        "     Test CRC: ([0-9A-F]{8})\\r\\n     (.*)\\r\\n     AccurateRip v1: ([0-9A-F]{8})\\r\\n"
        "     AccurateRip v2: ([0-9A-F]{8})\\r\\n");
    std::map<int, LoggedTrack> tracks;
    for (std::sregex_iterator it(log.begin(), log.end(), kTrack), end; it != end; ++it) {
        const std::smatch& m = *it;
        tracks[std::stoi(m[1])] = {m[2], m[3], m[4], m[5], m[6], m[7]};
    }
    return tracks;
}

std::string OnlyLogIn(const std::string& dir) {
    WIN32_FIND_DATAA data;
    HANDLE hFind = ::FindFirstFileA((dir + "\\*.log").c_str(), &data);
    if (hFind == INVALID_HANDLE_VALUE) return {};
    const std::string name = data.cFileName;
    const bool bMore = ::FindNextFileA(hFind, &data);
    ::FindClose(hFind);
    return bMore ? std::string() : name;
}

TEST_F(ExtractPageTest, TheRipLogStatesSumsThatTheOracleComputesFromTheWaves) {
    ASSERT_TRUE(Open());
    SetText(IDC_EXTRACT_RIP_FOLDER, Path("waves"));
    Tick({0, 2, 5});
    EXPECT_EQ(Rip(BoxIcon::Information), m_app.Text(IDS_RIP_ALL_DONE));
    orvtest::CaptureScreen("extract-page-log");
    const std::string name = OnlyLogIn(Path("waves"));
    ASSERT_FALSE(name.empty());
    EXPECT_EQ(Field(IDC_EXTRACT_LOG), "Log: " + name + " in " + Path("waves"));
    const std::string log = orvtest::ReadFileBytes(Path("waves\\" + name));
    EXPECT_NE(log.find(std::string("Disc: ") + cdtest::kDemoDiscId + "\r\n"), std::string::npos) << log;
    EXPECT_NE(log.find(std::string("Read from: ") + cdtest::kDemoCue + "\r\n"), std::string::npos) << log;
    // The oracle: zlib's CRC32 and the AccurateRip sums over each file's samples.
    const char kOracle[] = R"(import struct, sys, wave, zlib
for name, first, last in (('First Light', 1, 0), ('Short Step', 0, 0), ('Last Call', 0, 1)):
    w = wave.open(name + '.wav', 'rb')
    data = w.readframes(w.getnframes())
    n = len(data) // 4
    words = struct.unpack('<%dI' % n, data)
    v1 = v2 = 0
    for i in range(2940 if first else 1, (n - 2940 if last else n) + 1):
        p = words[i - 1] * i
        v1 += p & 0xFFFFFFFF
        v2 += (p & 0xFFFFFFFF) + (p >> 32)
    print('%08X %08X %08X' % (zlib.crc32(data) & 0xFFFFFFFF, v1 & 0xFFFFFFFF, v2 & 0xFFFFFFFF))
)";
    ASSERT_TRUE(orvtest::WriteFileBytes(Path("oracle.py"), kOracle));
    ASSERT_TRUE(orvtest::RunHostShell("cd '" + orvtest::UnixPath(Path("waves")) + "' && python3 ../oracle.py > ../sums.txt",
                                      "extract-oracle", 120000));
    const std::map<int, LoggedTrack> tracks = LoggedTracks(log);
    std::string logged;
    for (int nTrack : {1, 3, 6}) {
        ASSERT_EQ(tracks.count(nTrack), 1u) << log;
        const LoggedTrack& t = tracks.at(nTrack);
        EXPECT_EQ(t.testCrc, t.copyCrc);
        EXPECT_EQ(t.verdict, "copy OK");
        logged += t.copyCrc + " " + t.v1 + " " + t.v2 + "\n";
    }
    EXPECT_EQ(tracks.at(3).file, Path("waves\\Short Step.wav"));
    EXPECT_EQ(logged, orvtest::ReadFileBytes(Path("sums.txt")));
}

// A disc that reads differently the second time (the ripper's test hook): the track
// is logged as a mismatch, stays checked, is not encoded, and the notice says so.
TEST_F(ExtractPageTest, ATestReadThatDiffersIsAFailedTrack) {
    ASSERT_TRUE(::SetEnvironmentVariableA("ORV_ACD_UNSTABLE_READS", "1"));
    const bool bOpened = Open();
    ::SetEnvironmentVariableA("ORV_ACD_UNSTABLE_READS", nullptr);
    ASSERT_TRUE(bOpened);
    SetText(IDC_EXTRACT_RIP_FOLDER, Path("waves"));
    Encode(Path("mp3"), false);
    Tick({2, 5});
    EXPECT_EQ(Rip(BoxIcon::Exclamation), FormatText(IDS_RIP_DONE_MISMATCH, 2).GetString());
    EXPECT_EQ(Marked(), (std::vector<int>{2, 5}));
    EXPECT_TRUE(FilesIn(Path("mp3")).empty());
    const std::string log = orvtest::ReadFileBytes(Path("waves\\" + OnlyLogIn(Path("waves"))));
    const std::map<int, LoggedTrack> tracks = LoggedTracks(log);
    ASSERT_EQ(tracks.size(), 2u) << log;
    for (const auto& [nTrack, t] : tracks) {
        EXPECT_NE(t.testCrc, t.copyCrc) << nTrack;
        EXPECT_EQ(t.verdict.rfind("MISMATCH", 0), 0u) << t.verdict;
    }
    EXPECT_NE(log.find("Tracks copied: 2, with a mismatch: 2\r\n"), std::string::npos) << log;
}

TEST_F(ExtractPageTest, UnusableFoldersAreRefusedBeforeAnythingStarts) {
    ASSERT_TRUE(Open());
    const std::string file = Path("file.txt");
    ASSERT_TRUE(orvtest::WriteFileBytes(file, "x"));
    const struct {
        std::string rip, mp3;
        bool encode;
        UINT message;
        BoxIcon icon;
        int focus;
    } cases[] = {
        {"", "", false, IDS_RIP_FOLDER_REQUIRED, BoxIcon::Information, 0},
        {file, "", false, IDS_RIP_FOLDER_IS_FILE, BoxIcon::Exclamation, IDC_EXTRACT_RIP_FOLDER},
        {m_dir, "", true, IDS_MP3_FOLDER_REQUIRED, BoxIcon::Information, 0},
        {m_dir, file + "\\", true, IDS_MP3_FOLDER_IS_FILE, BoxIcon::Exclamation, IDC_EXTRACT_MP3_FOLDER},
        {Path("no\\such"), "", false, IDS_FOLDER_NOT_CREATED, BoxIcon::Exclamation, IDC_EXTRACT_RIP_FOLDER},
        {m_dir, Path("none\\here"), true, IDS_FOLDER_NOT_CREATED, BoxIcon::Exclamation, IDC_EXTRACT_MP3_FOLDER},
    };
    Tick({2});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        SetText(IDC_EXTRACT_RIP_FOLDER, c.rip);
        if (c.encode) Encode(c.mp3, false);
        // A folder two levels short is named; one level is made, as a rip needs.
        const std::string& missing = c.mp3.empty() ? c.rip : c.mp3;
        const std::string text = c.message == IDS_FOLDER_NOT_CREATED
                                     ? FormatText(c.message, CString(missing.c_str())).GetString()
                                     : m_app.Text(c.message);
        EXPECT_EQ(Rip(c.icon), text);
        if (c.focus) {
            // A window manager gives the closed box's owner its activation back; none runs
            // on the test display, where the focus can fall to the desktop instead. The
            // dialog then restores the control it last had focused.
            EXPECT_TRUE(orvtest::PumpUntil([&] {
                if (!::GetActiveWindow()) ::SetForegroundWindow(::GetAncestor(PageWnd(), GA_ROOT));
                return ::GetFocus() == ::GetDlgItem(PageWnd(), c.focus);
            }, 3000));
        }
        EXPECT_TRUE(Enabled(IDC_EXTRACT_RIP));
        EXPECT_EQ(Marked(), std::vector<int>{2});
    }
    EXPECT_EQ(FilesIn(m_dir), std::set<std::string>{"file.txt"});
}

TEST_F(ExtractPageTest, StopShows168KeepsTheRestTickedAndTheNextRipWorks) {
    ASSERT_TRUE(InsertLongDisc());
    ASSERT_TRUE(Open());
    SetText(IDC_EXTRACT_RIP_FOLDER, m_dir);
    Tick({0, 1});
    // Stopped at the first progress shown, before the page handles anything else.
    bool bPressed = false;
    const std::string notice = Rip(BoxIcon::Information, {}, [&] {
        if (bPressed || Field(IDC_EXTRACT_COMPLETION).empty()) return;
        bPressed = true;
        Press(IDC_EXTRACT_STOP);
        // Rip waits for the stopped extraction's done event.
        EXPECT_FALSE(Page().IsBusy());
        EXPECT_FALSE(Enabled(IDC_EXTRACT_RIP));
        EXPECT_FALSE(Enabled(IDC_EXTRACT_STOP));
        EXPECT_TRUE(Enabled(IDC_EXTRACT_TRACKS));
    });
    EXPECT_TRUE(bPressed);
    EXPECT_EQ(notice, m_app.Text(IDS_RIP_STOPPED));
    EXPECT_EQ(Marked(), (std::vector<int>{0, 1}));
    EXPECT_TRUE(Enabled(IDC_EXTRACT_RIP));
    EXPECT_TRUE(FilesIn(m_dir).empty());
    // The stopped run's log says what it did; the next run, however soon, has its own.
    const std::string stoppedLog = OnlyLogIn(m_dir);
    const std::string log = orvtest::ReadFileBytes(m_dir + "\\" + stoppedLog);
    EXPECT_NE(log.find("Stopped by the user at track 01.\r\n"), std::string::npos) << log;

    Tick({0});  // unticks the long track
    EXPECT_EQ(Rip(BoxIcon::Information), m_app.Text(IDS_RIP_ALL_DONE));
    EXPECT_EQ(FilesIn(m_dir), std::set<std::string>{"Track02.wav"});
    EXPECT_EQ(orvtest::ReadFileBytes(m_dir + "\\" + stoppedLog), log);
}

// The ripper and the encode step after it, each over a target that holds the user's
// bytes (or nothing): the one question before the run, the earlier file kept on
// failure, on Stop and on No, replaced only by a whole file after Yes, and no
// temporary file left in the folder.
TEST_F(ExtractPageTest, EarlierFilesAreReplacedOnlyByWholeOnesTheUserAgreedTo) {
    static const std::string kUserBytes = "the user's own file, not to be lost";
    enum class Outcome { Kept, Written };
    const struct {
        const char* name;
        bool bEncode;
        bool bLongDisc;  // Stop at the first progress of the ten-minute first track
        bool bEarlier;
        int answer;      // to the existing-files question; 0: none may be asked
        bool bNoDisc;    // the drive is empty at Rip: the extraction fails
        UINT notice;     // 0: nothing starts
        BoxIcon icon;
        Outcome outcome;
    } cases[] = {
        {"rip-new", false, false, false, 0, false, IDS_RIP_ALL_DONE, BoxIcon::Information, Outcome::Written},
        {"rip-failed", false, false, true, IDYES, true, IDS_RIP_ERROR, BoxIcon::Exclamation, Outcome::Kept},
        {"rip-stopped", false, true, true, IDYES, false, IDS_RIP_STOPPED, BoxIcon::Information, Outcome::Kept},
        {"rip-replaced", false, false, true, IDYES, false, IDS_RIP_ALL_DONE, BoxIcon::Information, Outcome::Written},
        {"rip-kept", false, false, true, IDNO, false, IDS_RIP_DONE_KEPT, BoxIcon::Information, Outcome::Kept},
        {"rip-cancelled", false, false, true, IDCANCEL, false, 0, BoxIcon::None, Outcome::Kept},
        {"mp3-new", true, false, false, 0, false, IDS_RIP_ENCODE_ALL_DONE, BoxIcon::Information, Outcome::Written},
        {"mp3-replaced", true, false, true, IDYES, false, IDS_RIP_ENCODE_ALL_DONE, BoxIcon::Information,
         Outcome::Written},
        {"mp3-kept", true, false, true, IDNO, false, IDS_RIP_DONE_KEPT, BoxIcon::Information, Outcome::Kept},
    };
    auto withCount = [](const std::string& format) {
        char text[512] = {};
        std::snprintf(text, sizeof text, format.c_str(), 1);
        return std::string(text);
    };
    ASSERT_TRUE(Open());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(c.bLongDisc ? InsertLongDisc() : Insert(cdtest::kDemoCue));
        const std::string waves = Path(std::string(c.name) + "-waves"), mp3 = Path(std::string(c.name) + "-mp3");
        ASSERT_TRUE(::CreateDirectoryA(waves.c_str(), nullptr) && ::CreateDirectoryA(mp3.c_str(), nullptr));
        const std::string title = c.bLongDisc ? "Track01" : "Short Step";
        const std::string target = (c.bEncode ? mp3 : waves) + "\\" + title + (c.bEncode ? ".mp3" : ".wav");
        if (c.bEarlier) {
            ASSERT_TRUE(orvtest::WriteFileBytes(target, kUserBytes));
        }
        SetText(IDC_EXTRACT_RIP_FOLDER, waves);
        ::CheckDlgButton(PageWnd(), IDC_EXTRACT_ENCODE, BST_UNCHECKED);
        Press(IDC_EXTRACT_ENCODE);
        if (c.bEncode) Encode(mp3, true);
        Tick({c.bLongDisc ? 0 : 2});
        if (c.bNoDisc) {
            ASSERT_TRUE(orvtest::SetRegistryString(HKEY_CURRENT_USER, cdtest::kDiscKey, "Disc", ""));
        }
        CUiScript ui(kTestTitle);
        std::string question, notice;
        ui.Run(
            [&](CUiScript& script) {
                if (c.answer) question = script.AnswerBox(c.answer, BoxIcon::Question, BoxButtons::YesNoCancel);
                if (c.notice) notice = script.AnswerBox(IDOK, c.icon, BoxButtons::Ok);
            },
            [&] {
                // Stopped at the first progress shown, which one pump may take with the end.
                bool bPressed = false;
                s_eachMessage = [&] {
                    if (!c.bLongDisc || bPressed || Field(IDC_EXTRACT_COMPLETION).empty()) return;
                    bPressed = true;
                    Press(IDC_EXTRACT_STOP);
                };
                HHOOK hHook = ::SetWindowsHookExA(WH_GETMESSAGE, OnMessage, nullptr, ::GetCurrentThreadId());
                Press(IDC_EXTRACT_RIP);
                EXPECT_TRUE(orvtest::PumpUntil(
                    [&] { return !Page().IsBusy() && (c.notice ? !notice.empty() : !question.empty()); },
                    kRunTimeoutMs));
                ::UnhookWindowsHookEx(hHook);
                s_eachMessage = nullptr;
                EXPECT_EQ(bPressed, c.bLongDisc);
            });
        EXPECT_TRUE(ui.Clean()) << ui.Report();
        if (c.answer) {
            EXPECT_EQ(question, withCount(m_app.Text(IDS_ASK_REPLACE_EXISTING)));
        }
        if (c.notice == IDS_RIP_DONE_KEPT) {
            EXPECT_EQ(notice, withCount(m_app.Text(c.notice)));
        }
        if (c.notice == IDS_RIP_DONE_KEPT || c.notice == 0) {
            EXPECT_EQ(Marked(), std::vector<int>{2});
        }
        if (c.outcome == Outcome::Kept) {
            EXPECT_EQ(orvtest::ReadFileBytes(target), kUserBytes);
        } else {
            EXPECT_GT(orvtest::ReadFileBytes(target).size(), kUserBytes.size());
        }
        for (const std::string& dir : {waves, mp3}) {
            for (const std::string& name : FilesIn(dir)) EXPECT_EQ(name.find(".tmp"), std::string::npos) << name;
        }
    }
}

// Another disc while the page is open, idle with a track ticked and mid-rip: the list
// shows the new disc at once, a run on the old one stops, and leaving the page writes
// nothing into any disc's section.
TEST_F(ExtractPageTest, ADiscChangeRefreshesTheListAndWritesNoTitlesAnywhere) {
    ASSERT_TRUE(Open());
    SetText(IDC_EXTRACT_RIP_FOLDER, m_dir);
    const cdtest::TestDisc other =
        cdtest::MakeTestDisc("other", {cdtest::Frames(10, 0, 0), cdtest::Frames(0, 4, 0)});
    for (bool bRipping : {false, true}) {
        SCOPED_TRACE(bRipping ? "ripping" : "idle");
        ASSERT_TRUE(Insert(bRipping ? other.cue : cdtest::kDemoCue));
        Tick({0});
        const std::string database = m_database.ReadRaw();
        CUiScript ui(kTestTitle);
        std::string stopped;
        ui.Run([&](CUiScript& script) {
                   if (bRipping) stopped = script.AnswerBox(IDOK, BoxIcon::Information, BoxButtons::Ok);
               },
               [&] {
                   if (bRipping) {
                       Press(IDC_EXTRACT_RIP);
                       ASSERT_TRUE(Page().IsBusy());
                   }
                   ASSERT_TRUE(Insert(bRipping ? cdtest::kDemoCue : other.cue));
                   EXPECT_FALSE(Page().IsBusy());
                   EXPECT_TRUE(orvtest::PumpUntil([&] { return !bRipping || !stopped.empty(); }, 10000));
               });
        EXPECT_TRUE(ui.Clean()) << ui.Report();
        if (bRipping) {
            EXPECT_EQ(stopped, m_app.Text(IDS_RIP_STOPPED));
        }
        EXPECT_EQ(CUiScript::ListViewRows(PageWnd(), IDC_EXTRACT_TRACKS).size(),
                  bRipping ? static_cast<size_t>(orvdemo::kDemoTrackCount) : 2u);
        EXPECT_TRUE(Marked().empty());
        m_sheet.SetActivePage(1);
        m_sheet.SetActivePage(0);
        EXPECT_EQ(m_database.ReadRaw(), database);
    }
}

TEST_F(ExtractPageTest, RenamedAndUnsafeTitlesLandInsideTheFolderDistinctAndReachTheDatabaseAsTyped) {
    const char* titles[] = {"Old", "Long Road", "CON", "Same", "..\\..\\x", "same"};
    for (int i = 0; i < 6; ++i) m_player.m_disc.TrackAt(i)->SetTitle(titles[i]);
    ASSERT_TRUE(Open());
    SetText(IDC_EXTRACT_RIP_FOLDER, Path("out"));
    Tick({2, 3, 4, 5});
    CUiScript ui(kTestTitle);
    ui.Run([&](CUiScript& script) { script.RenameListViewRow(PageWnd(), IDC_EXTRACT_TRACKS, 0, "AC/DC: Live?"); },
           [&] {
               EXPECT_TRUE(orvtest::PumpUntil(
                   [&] { return CUiScript::ListViewRows(PageWnd(), IDC_EXTRACT_TRACKS)[0] == "<01> AC/DC: Live?"; },
                   10000));
           });
    EXPECT_TRUE(ui.Clean()) << ui.Report();
    ASSERT_EQ(Marked(), (std::vector<int>{0, 2, 3, 4, 5}));
    EXPECT_EQ(Rip(BoxIcon::Information), m_app.Text(IDS_RIP_ALL_DONE));
    EXPECT_EQ(FilesIn(m_dir), std::set<std::string>{"out"});
    EXPECT_EQ(FilesIn(Path("out")), (std::set<std::string>{"AC_DC_ Live_.wav", "_CON.wav", "Same.wav",
                                                           ".._.._x.wav", "same (06).wav"}));
    EXPECT_EQ(WaveFrames(Path("out\\same (06).wav")), DemoFrames(6));

    // Leaving the page saves the titles as typed, and the folders.
    m_sheet.SetActivePage(1);
    const std::string section = cdtest::kDemoDiscId;
    char value[256] = {};
    ::GetPrivateProfileStringA(section.c_str(), "1", "", value, sizeof value, cdtest::kTestDatabase);
    EXPECT_STREQ(value, "AC/DC: Live?");
    ::GetPrivateProfileStringA(section.c_str(), "5", "", value, sizeof value, cdtest::kTestDatabase);
    EXPECT_STREQ(value, "..\\..\\x");
    EXPECT_EQ(Profile("DefRipPath"), Path("out"));
}

TEST_F(ExtractPageTest, RipIsDisabledWhileThePlayerPlays) {
    ASSERT_TRUE(Open());
    Tick({0});
    EXPECT_TRUE(Enabled(IDC_EXTRACT_RIP));
    m_player.m_bPlaying = TRUE;
    Page().OnPlayingChanged(TRUE);
    EXPECT_FALSE(Enabled(IDC_EXTRACT_RIP));
    Tick({1});
    EXPECT_FALSE(Enabled(IDC_EXTRACT_RIP));
    m_player.m_bPlaying = FALSE;
    Page().OnPlayingChanged(FALSE);
    EXPECT_TRUE(Enabled(IDC_EXTRACT_RIP));
}

TEST_F(ExtractPageTest, LeavingWhileBusyAsksNoKeepsTheRunAndYesOnCloseLeavesNoFile) {
    ASSERT_TRUE(InsertLongDisc(true));
    ASSERT_TRUE(Open());
    SetText(IDC_EXTRACT_RIP_FOLDER, m_dir);
    SetText(IDC_EXTRACT_MP3_FOLDER, Path("mp3"));
    Tick({0});
    CUiScript ui(kTestTitle);
    std::string first, second;
    ui.Run(
        [&](CUiScript& script) {
            first = script.AnswerBox(IDNO, BoxIcon::Question, BoxButtons::YesNo);
            second = script.AnswerBox(IDYES, BoxIcon::Question, BoxButtons::YesNo);
        },
        [&] {
            Press(IDC_EXTRACT_RIP);
            ASSERT_TRUE(Page().IsBusy());
            m_sheet.SetActivePage(1);
            EXPECT_EQ(m_sheet.GetActiveIndex(), 0);
            EXPECT_TRUE(Page().IsBusy());
            CUiScript::Click(PageWnd(), IDCANCEL);
            EXPECT_TRUE(orvtest::PumpUntil([&] { return !m_sheet.GetSafeHwnd(); }, 30000));
        });
    EXPECT_TRUE(ui.Clean()) << ui.Report();
    EXPECT_EQ(first, m_app.Text(IDS_ASK_STOP_RIPPING));
    EXPECT_EQ(second, m_app.Text(IDS_ASK_STOP_RIPPING));
    EXPECT_TRUE(orvtest::PumpUntil([&] { return FilesIn(m_dir).empty(); }, 10000));
    EXPECT_EQ(Profile("DefRipPath"), m_dir);
    EXPECT_EQ(Profile("DefEncPath"), Path("mp3"));
}

// A rip that ends while Close asks whether to stop it takes the question away; its
// end notice follows alone, and the sheet goes, as asked.
TEST_F(ExtractPageTest, ARipEndingWhileCloseAsksTakesTheQuestionAway) {
    ASSERT_TRUE(InsertLongDisc());
    ASSERT_TRUE(Open());
    SetText(IDC_EXTRACT_RIP_FOLDER, m_dir);
    Tick({0});
    CUiScript ui(kTestTitle);
    std::string question, notice;
    ui.Run(
        [&](CUiScript& script) {
            question = script.LeaveBox(BoxIcon::Question, BoxButtons::YesNo);
            notice = script.AnswerBox(IDOK, BoxIcon::Information, BoxButtons::Ok);
        },
        [&] {
            Press(IDC_EXTRACT_RIP);
            ASSERT_TRUE(Page().IsBusy());
            CUiScript::Click(PageWnd(), IDCANCEL);
            EXPECT_TRUE(orvtest::PumpUntil([&] { return !m_sheet.GetSafeHwnd(); }, 30000));
        });
    EXPECT_TRUE(ui.Clean()) << ui.Report();
    EXPECT_EQ(question, m_app.Text(IDS_ASK_STOP_RIPPING));
    EXPECT_EQ(notice, m_app.Text(IDS_RIP_ALL_DONE));
    EXPECT_EQ(FilesIn(m_dir).size(), 1u);
}

TEST_F(ExtractPageTest, AFailedRipOrARefusedEncodeEndsTheRunKeepingTheTrackTicked) {
    ASSERT_TRUE(Open());
    SetText(IDC_EXTRACT_RIP_FOLDER, Path("waves"));
    Encode(Path("mp3"), true);
    Tick({2});
    // A folder where the file should go: the ripper cannot write it, the encoder
    // refuses to open it.
    const struct {
        std::string blocked;
        UINT message;
        bool waveKept;
    } cases[] = {
        {"waves\\Short Step.wav", IDS_RIP_ERROR, false},
        {"mp3\\Short Step.mp3", IDS_ENCODE_ERROR, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.blocked);
        ASSERT_TRUE(orvtest::RunHostShell("rm -rf '" + orvtest::UnixPath(Path("waves")) + "' '" +
                                              orvtest::UnixPath(Path("mp3")) + "' && mkdir -p '" +
                                              orvtest::UnixPath(Path(c.blocked)) + "'",
                                          "extract-block", 30000));
        const std::string text = Rip(BoxIcon::Exclamation);
        const std::string format = m_app.Text(c.message);
        EXPECT_EQ(text.substr(0, 10), format.substr(0, 10)) << text;
        orvtest::PumpFor(200);
        EXPECT_FALSE(Page().IsBusy());
        EXPECT_EQ(Marked(), std::vector<int>{2});
        EXPECT_TRUE(Enabled(IDC_EXTRACT_RIP));
        EXPECT_FALSE(Enabled(IDC_EXTRACT_STOP));
        EXPECT_EQ(orvtest::FileExists(Path("waves\\Short Step.wav")) &&
                      !(::GetFileAttributesA(Path("waves\\Short Step.wav").c_str()) & FILE_ATTRIBUTE_DIRECTORY),
                  c.waveKept);
        EXPECT_FALSE(orvtest::FileExists(Path("mp3\\Short Step.mp3")) &&
                     !(::GetFileAttributesA(Path("mp3\\Short Step.mp3").c_str()) & FILE_ATTRIBUTE_DIRECTORY));
    }
}

TEST_F(ExtractPageTest, ARipperWithoutDiscSourceIsReportedAndThePageStaysUsable) {
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        const char root[] = {letter, ':', '\\', '\0'};
        if (::GetDriveTypeA(root) == DRIVE_CDROM) GTEST_SKIP() << "this machine has a CD drive";
    }
    ASSERT_TRUE(orvtest::DeleteRegistryKey(HKEY_CURRENT_USER, cdtest::kDiscKey));
    CUiScript ui(kTestTitle);
    std::string init, setup;
    ui.Run(
        [&](CUiScript& script) {
            init = script.AnswerBox(IDOK, BoxIcon::Stop, BoxButtons::Ok);
            setup = script.AnswerBox(IDOK, BoxIcon::Stop, BoxButtons::Ok);
        },
        [&] { EXPECT_TRUE(Open()); });
    EXPECT_TRUE(ui.Clean()) << ui.Report();
    char expected[512];
    std::snprintf(expected, sizeof expected, m_app.Text(IDS_RIPPER_INIT_FAILED).c_str(), acd::kStatusNoSource);
    EXPECT_EQ(init, expected);
    std::snprintf(expected, sizeof expected, m_app.Text(IDS_RIPPER_SETUP_FAILED).c_str(), acd::kStatusNotReady);
    EXPECT_EQ(setup, expected);
    // A refused extraction ends the run at once instead of waiting for events.
    SetText(IDC_EXTRACT_RIP_FOLDER, m_dir);
    Tick({0});
    EXPECT_EQ(Rip(BoxIcon::Exclamation).substr(0, 10), m_app.Text(IDS_RIP_ERROR).substr(0, 10));
    EXPECT_FALSE(Page().IsBusy());
    EXPECT_TRUE(Enabled(IDC_EXTRACT_RIP));
}

// Not a timed test: ORV_BENCH=1 ./scripts/test -R ExtractPageTest.Benchmark prints the figure.
TEST_F(ExtractPageTest, Benchmark) {
    if (!std::getenv("ORV_BENCH")) GTEST_SKIP() << "set ORV_BENCH=1 to run the benchmark";
    ASSERT_TRUE(Open());
    SetText(IDC_EXTRACT_RIP_FOLDER, m_dir);
    Tick({0, 1, 2, 3, 4, 5});
    double audioSeconds = 0;
    for (const orvdemo::DemoTrack& track : orvdemo::kDemoTracks) audioSeconds += track.frames / 75.0;
    const DWORD start = ::GetTickCount();
    EXPECT_EQ(Rip(BoxIcon::Information), m_app.Text(IDS_RIP_ALL_DONE));
    const DWORD elapsed = std::max<DWORD>(::GetTickCount() - start, 1);
    std::printf("extractor page benchmark: the demo disc (%.0f s) in %lu ms: %.1fx real time\n", audioSeconds,
                static_cast<unsigned long>(elapsed), audioSeconds * 1000.0 / elapsed);
    EXPECT_EQ(FilesIn(m_dir).size(), 6u);
    EXPECT_GE(audioSeconds * 1000.0 / elapsed, 50.0);
}

}  // namespace
