// The encoder and decoder pages in a modeless sheet under Wine, driving the real
// encoder and MP3 controls over real files. A script on a second thread answers the
// pages' boxes; the log files are read against TELMAR's own strings and what the
// pages wrote is read by the reference tools.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "ConvertJobs.h"
#include "PlayerLink.h"
#include "DecodeDlg.h"
#include "EncodeDlg.h"
#include "SkinMessages.h"
#include "TelmarIds.h"
#include "TestSkinApp.h"
#include "TestSupport.h"
#include "UiScript.h"
#include "batch_test_ids.h"
#include "mpdeck/ConvertIds.h"
#include "orvcodec/WaveFile.h"

namespace {

using orvtest::BoxButtons;
using orvtest::BoxIcon;
using orvtest::CUiScript;

const char kTestTitle[] = "Orvanta-BatchTest";
constexpr DWORD kBatchTimeoutMs = 120000;

class CTestHost : public CPlayerLink {
public:
    BOOL IsPlayerPlaying() const override { return m_bPlaying; }
    BOOL IsPlayerLocked() const override { return m_bLock; }
    void SetPlayerLock(BOOL bLock) override { m_bLock = bLock; }
    void SetPlayerRestart() override {}
    int GetPlayMode() const override { return 1; }
    void ChangePlayMode(int) override {}
    void TakeLoadedPlaylist() override {}
    CWaveDevice& GetWaveDevice() override { return m_wave; }
    CWaveDevice m_wave;
    BOOL m_bPlaying = FALSE;
    BOOL m_bLock = FALSE;
};

class CBatchSheet : public CPropertySheet {
public:
    explicit CBatchSheet(CPlayerLink* pHost) : CPropertySheet("Orvanta-MP3") {
        m_encode.m_pPlayer = pHost;
        m_decode.m_pPlayer = pHost;
        AddPage(&m_encode);
        AddPage(&m_decode);
    }
    CEncodeDlg m_encode;
    CDecodeDlg m_decode;
};

class BatchPagesTest : public ::testing::Test {
protected:
    void SetUp() override {
        AfxWinInit(::GetModuleHandleA(nullptr), nullptr, SW_SHOW);
        const INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES};
        ::InitCommonControlsEx(&controls);
        CMp3Play::Register();
        CMp3Enc::Register();
        AfxEnableControlContainer();
        // The reference tools reach only drive Z:.
        m_dir = orvtest::FreshArtifactsDir(std::string("batch-") +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        ASSERT_FALSE(m_dir.empty());
        ASSERT_TRUE(m_main.Create(IDD_BATCH_TEST_MAIN, nullptr));
        m_app.m_pMainWnd = &m_main;
        ASSERT_TRUE(m_sheet.Create(&m_main));
        m_sheet.SetActivePage(1);
        m_sheet.SetActivePage(0);
        ::SetActiveWindow(m_sheet.m_hWnd);
    }
    void TearDown() override {
        if (m_sheet.GetSafeHwnd()) m_sheet.DestroyWindow();
        if (m_main.GetSafeHwnd()) m_main.DestroyWindow();
        m_app.m_pMainWnd = nullptr;
    }

    std::string Path(const std::string& name) const { return m_dir + "\\" + name; }
    std::string Tone(const std::string& name, DWORD ms, DWORD rate, WORD channels, double hz = 440.0) {
        const std::string path = Path(name);
        EXPECT_TRUE(orvtest::WriteToneWave(path, ms, rate, channels, hz));
        return path;
    }
    static void AddRow(CBatchPage& page, const std::vector<std::string>& cells) {
        const int nRow = page.m_jobs.InsertItem(page.m_jobs.GetItemCount(), cells[0].c_str());
        for (size_t i = 1; i < cells.size(); ++i) page.m_jobs.SetItemText(nRow, static_cast<int>(i), cells[i].c_str());
    }
    static HWND Item(CBatchPage& page, int nId) { return ::GetDlgItem(page.m_hWnd, nId); }
    static std::string Field(CBatchPage& page, int nId) { return CUiScript::ItemText(page.m_hWnd, nId); }

    static void Press(CBatchPage& page, int nId) {
        ::SendMessageA(page.m_hWnd, WM_COMMAND, MAKEWPARAM(nId, BN_CLICKED), reinterpret_cast<LPARAM>(Item(page, nId)));
    }
    // Presses Start and waits for the batch to end; the end notice must be noticeId.
    // whileRunning looks at the page right after Start, before any event of the
    // control has been handled.
    void RunBatch(CBatchPage& page, int nStartId, UINT noticeId, const std::function<void()>& whileRunning = {}) {
        CUiScript ui(kTestTitle);
        std::string notice;
        ui.Run([&](CUiScript& script) { notice = script.AnswerBox(IDOK, BoxIcon::Information, BoxButtons::Ok); },
               [&] {
                   Press(page, nStartId);
                   if (whileRunning) whileRunning();
                   EXPECT_TRUE(orvtest::PumpUntil([&] { return !page.IsRunning() && !notice.empty(); },
                                                  kBatchTimeoutMs));
               });
        EXPECT_TRUE(ui.Clean()) << ui.Report();
        EXPECT_EQ(notice, m_app.Text(noticeId));
    }

    // The log as the page writes it: the header (its time taken between two readings
    // of the clock), the entries, and the elapsed line of the page's last figure.
    std::string Header(UINT nId, time_t when) {
        const CTime t(when);
        return Format(m_app.Text(nId), t.Format("%A, %B %d, %Y").GetString(), t.GetHour(), t.GetMinute(),
                      t.GetSecond());
    }
    void ExpectLog(CBatchPage& page, UINT headerId, UINT elapsedId, time_t from, time_t to,
                   const std::string& entries) {
        const std::string log = orvtest::ReadFileBytes(Path("batch.log"));
        const std::string elapsed = Field(page, IDC_BATCH_ELAPSED);
        const std::string tail = entries + Format(m_app.Text(elapsedId), elapsed.substr(0, 2).c_str(),
                                                   elapsed.substr(3, 2).c_str(), elapsed.substr(6, 2).c_str());
        bool bMatched = false;
        for (time_t t = from; t <= to && !bMatched; ++t) bMatched = log == Header(headerId, t) + tail;
        EXPECT_TRUE(bMatched) << log << "\n--- expected entries ---\n" << tail;
    }
    template <typename... Args>
    static std::string Format(const std::string& format, const Args&... args) {
        char text[4096] = {};
        std::snprintf(text, sizeof text, format.c_str(), args...);
        return text;
    }
    // The text before the mark: the fixed start of an entry whose argument is unknown.
    static std::string Before(const std::string& text, const char* mark) { return text.substr(0, text.find(mark)); }
    static constexpr const char* kMark = "\x01";
    template <typename... Args>
    std::string Entry(UINT nId, const Args&... args) {
        return Format(m_app.Text(nId), args...);
    }

    // What a writer did to a target that held the user's bytes (or nothing).
    enum class Outcome { Absent, Kept, Written };
    struct WriterCase {
        const char* name;
        std::string source;
        bool bEarlier;  // the target holds the user's bytes before the batch
        int answer;     // to the existing-targets question; 0: none may be asked
        bool bStop;     // Stop at the first progress
        UINT notice;    // 0: the batch does not start
        Outcome outcome;
        UINT entry;     // an entry the log must hold (with source and target), or 0
    };
    // One batch of one job per case, into a target of its own; after each, the target
    // is checked byte for byte and no temporary file is left in the folder.
    void RunWriterTable(CBatchPage& page, int nStartId, int nStopId, const std::string& ext, const WriterCase* cases,
                        size_t count) {
        static const std::string kUserBytes = "the user's own file, not to be lost";
        const std::set<std::string> before = FilesIn(m_dir);
        for (size_t i = 0; i < count; ++i) {
            const WriterCase& c = cases[i];
            SCOPED_TRACE(c.name);
            const std::string target = Path(std::string("out-") + c.name + ext);
            if (c.bEarlier) {
                ASSERT_TRUE(orvtest::WriteFileBytes(target, kUserBytes));
            }
            page.m_jobs.DeleteAllItems();
            AddRow(page, {c.source, target, "128", "44100"});
            const std::string log = Path(std::string(c.name) + ".log");
            CUiScript::SetText(page.m_hWnd, IDC_BATCH_LOG_FILE, log.c_str());
            CUiScript ui(kTestTitle);
            std::string question, notice, completionAsked;
            ui.Run(
                [&](CUiScript& script) {
                    if (c.answer) {
                        script.WaitBox();
                        completionAsked = Field(page, IDC_BATCH_COMPLETION);
                    }
                    if (c.answer == IDYES && !c.bStop && c.outcome == Outcome::Written) {
                        // The question as the user meets it, for a look by eye.
                        script.WaitBox();
                        ::Sleep(300);
                        orvtest::CaptureScreen(std::string("existing-targets-") + ext.substr(1));
                    }
                    if (c.answer) question = script.AnswerBox(c.answer, BoxIcon::Question, BoxButtons::YesNoCancel);
                    if (c.notice) notice = script.AnswerBox(IDOK, BoxIcon::Information, BoxButtons::Ok);
                },
                [&] {
                    Press(page, nStartId);
                    if (c.bStop) {
                        EXPECT_TRUE(orvtest::PumpUntil(
                            [&] { return page.IsRunning() && Field(page, IDC_BATCH_COMPLETION) != "0 %"; }, 60000));
                        Press(page, nStopId);
                    }
                    EXPECT_TRUE(orvtest::PumpUntil(
                        [&] { return !page.IsRunning() && (c.notice ? !notice.empty() : !question.empty()); },
                        kBatchTimeoutMs));
                });
            EXPECT_TRUE(ui.Clean()) << ui.Report();
            if (c.answer) {
                EXPECT_EQ(question, Format(m_app.Text(IDS_ASK_REPLACE_EXISTING), 1));
                EXPECT_EQ(completionAsked, "0 %") << "the last batch's figure behind the question";
            }
            if (c.notice) {
                EXPECT_EQ(notice, m_app.Text(c.notice));
            }
            const std::string bytes = orvtest::ReadFileBytes(target);
            switch (c.outcome) {
            case Outcome::Absent: EXPECT_FALSE(orvtest::FileExists(target)); break;
            case Outcome::Kept: EXPECT_EQ(bytes, kUserBytes); break;
            case Outcome::Written: EXPECT_GT(bytes.size(), kUserBytes.size()); break;
            }
            EXPECT_EQ(orvtest::FileExists(log), c.notice != 0);
            if (c.entry) {
                EXPECT_NE(orvtest::ReadFileBytes(log).find(Entry(c.entry, c.source.c_str(), target.c_str())),
                          std::string::npos);
            }
            for (const std::string& name : FilesIn(m_dir)) {
                EXPECT_FALSE(before.count(name) == 0 && name.size() > 4 && name.substr(name.size() - 4) == ".tmp")
                    << name;
            }
        }
    }
    static std::set<std::string> FilesIn(const std::string& dir) {
        std::set<std::string> names;
        WIN32_FIND_DATAA data;
        HANDLE hFind = ::FindFirstFileA((dir + "\\*").c_str(), &data);
        if (hFind == INVALID_HANDLE_VALUE) return names;
        do {
            names.insert(data.cFileName);
        } while (::FindNextFileA(hFind, &data));
        ::FindClose(hFind);
        return names;
    }
    std::string CopyFixture(const char* name, const std::string& as) {
        const std::string path = Path(as);
        EXPECT_TRUE(::CopyFileA((std::string(ORV_MP3_FIXTURES) + "/" + name).c_str(), path.c_str(), FALSE));
        return path;
    }

    orvtest::CTestSkinApp m_app{kTestTitle};
    CTestHost m_host;
    CDialog m_main;
    CBatchSheet m_sheet{&m_host};
    std::string m_dir;
};

TEST_F(BatchPagesTest, EncoderWritesEachRateTheOptionsOfferLogsInOrderAndLocksThePlayer) {
    CEncodeDlg& page = m_sheet.m_encode;
    const DWORD kSourceRates[] = {22050, 44100, 48000};
    std::vector<std::string> sources;
    for (DWORD rate : kSourceRates) sources.push_back(Tone("s" + std::to_string(rate) + ".wav", 700, rate, 2));
    // Dropped files are examined as added ones are: each row shows its source's rate.
    ASSERT_TRUE(orvtest::PostDropFiles(page.m_jobs.m_hWnd, sources));
    ASSERT_TRUE(orvtest::PumpUntil([&] { return page.m_jobs.GetItemCount() == 3; }, 5000));
    EXPECT_EQ(std::string(page.m_jobs.GetItemText(1, kBatchTarget).GetString()), Path("s44100.mp3"));
    for (int nRow = 0; nRow < 3; ++nRow) {
        EXPECT_EQ(std::string(page.m_jobs.GetItemText(nRow, kBatchSampleRate).GetString()),
                  std::to_string(kSourceRates[nRow]));
    }
    for (int nColumn : {kBatchSource, kBatchTarget}) {
        const CString strPath = page.m_jobs.GetItemText(2, nColumn);
        EXPECT_GT(page.m_jobs.SendMessage(LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(nColumn)),
                  page.m_jobs.SendMessage(LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(strPath.GetString())))
            << "the whole path fits";
    }
    orvtest::CaptureScreen("batch-path-columns");
    // The tip names the whole path of the path cell under the pointer, and nothing
    // shows below the rows.
    for (int nColumn : {static_cast<int>(kBatchSource), static_cast<int>(kBatchTarget), -1}) {
        RECT rcCell = {};
        rcCell.top = nColumn < 0 ? kBatchSource : nColumn;
        rcCell.left = LVIR_LABEL;
        page.m_jobs.SendMessage(LVM_GETSUBITEMRECT, 2, reinterpret_cast<LPARAM>(&rcCell));
        const int nHeight = rcCell.bottom - rcCell.top;
        POINT at = {rcCell.left + 3, (rcCell.top + rcCell.bottom) / 2 + (nColumn < 0 ? 2 * nHeight : 0)};
        ::ClientToScreen(page.m_jobs.m_hWnd, &at);
        ::SetCursorPos(at.x, at.y);
        NMTTDISPINFOA info = {};
        info.hdr.code = TTN_NEEDTEXTA;
        info.hdr.idFrom = reinterpret_cast<UINT_PTR>(page.m_jobs.m_hWnd);
        info.uFlags = TTF_IDISHWND;
        ::SendMessageA(page.m_hWnd, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
        const std::string tip = info.lpszText ? info.lpszText : "";
        EXPECT_EQ(tip, nColumn < 0 ? "" : page.m_jobs.GetItemText(2, nColumn).GetString()) << nColumn;
    }
    // Each source at every rate the options offer for it, at the highest bit rate
    // offered there: the file's header must state exactly that.
    page.m_jobs.DeleteAllItems();
    std::string targets, written, entries;
    for (size_t i = 0; i < std::size(kSourceRates); ++i) {
        for (long rate : convert::OfferedSampleRates(static_cast<long>(kSourceRates[i]))) {
            const long bitRate = convert::OfferedBitRates(rate).back();
            const std::string name = "s" + std::to_string(kSourceRates[i]) + "-" + std::to_string(rate) + ".mp3";
            AddRow(page, {sources[i], Path(name), std::to_string(bitRate), std::to_string(rate)});
            targets += " " + name;
            written += std::to_string(rate) + "," + std::to_string(bitRate * 1000) + "\n";
            entries += Entry(IDS_ENC_LOG_STARTED, sources[i].c_str(), Path(name).c_str()) +
                       Entry(IDS_ENC_LOG_FINISHED, sources[i].c_str(), Path(name).c_str());
        }
    }
    EXPECT_EQ(page.m_jobs.GetItemCount(), 7);
    CUiScript::SetText(page.m_hWnd, IDC_BATCH_LOG_FILE, Path("batch.log").c_str());
    CWnd* pTabs = m_sheet.GetTabControl();
    HGLOBAL hIgnoredDrop = nullptr;

    const time_t from = std::time(nullptr);
    RunBatch(page, IDC_ENCODE_START, IDS_ENC_DONE, [&] {
        EXPECT_TRUE(page.IsRunning());
        EXPECT_TRUE(m_host.m_bLock);
        EXPECT_FALSE(pTabs->IsWindowEnabled());
        EXPECT_FALSE(CUiScript::IsEnabled(page.m_hWnd, IDC_ENCODE_START));
        // A drop while the batch runs adds nothing, and is released.
        EXPECT_TRUE(orvtest::PostDropFiles(page.m_jobs.m_hWnd, {sources[0]}, POINT{0, 0}, &hIgnoredDrop));
    });
    const time_t to = std::time(nullptr);
    EXPECT_FALSE(m_host.m_bLock);
    EXPECT_TRUE(pTabs->IsWindowEnabled());
    EXPECT_EQ(page.m_jobs.GetItemCount(), 7);
    EXPECT_EQ(::GlobalSize(hIgnoredDrop), 0u) << "the ignored drop is freed";
    EXPECT_EQ(Field(page, IDC_BATCH_COMPLETION), m_app.Text(IDS_COMPLETION_DONE));
    ExpectLog(page, IDS_ENC_LOG_HEADER, IDS_ENC_LOG_ELAPSED, from, to, entries);

    ASSERT_TRUE(orvtest::RunHostShell("cd '" + orvtest::UnixPath(m_dir) + "' && for f in" + targets +
                                          "; do mpg123 -q -w $f.dec.wav $f && "
                                          "ffprobe -v error -show_entries stream=sample_rate,bit_rate -of csv=p=0 "
                                          "$f >> rates.txt; done",
                                      "batch-oracles", 60000));
    EXPECT_EQ(orvtest::ReadFileBytes(Path("rates.txt")), written);
}

TEST_F(BatchPagesTest, EachUnwritableTargetIsLoggedWithItsCauseOnBothPages) {
    const std::string folder = Path("folder"), readOnly = Path("ro.out");
    ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr));
    ASSERT_TRUE(orvtest::WriteFileBytes(readOnly, "the user's own"));
    ASSERT_TRUE(::SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
    const std::string wave = Tone("src.wav", 300, 44100, 2), mp3 = CopyFixture("tone22m.mp3", "src.mp3");
    const struct {
        std::string target;  // empty: the source itself, in other letters
        UINT cause;
    } cases[] = {
        {"", IDS_TARGET_IS_SOURCE},
        {folder, IDS_TARGET_IS_FOLDER},
        {readOnly, IDS_TARGET_READ_ONLY},
        {Path("no\\such\\x.out"), IDS_TARGET_NO_FOLDER},
        // A folder that exists and takes no file, whoever runs the test.
        {"Z:\\proc\\x.out", IDS_TARGET_FOLDER_LOCKED},
    };
    for (const bool bEncode : {true, false}) {
        SCOPED_TRACE(bEncode ? "encoder" : "decoder");
        m_sheet.SetActivePage(bEncode ? 0 : 1);
        CBatchPage& page = bEncode ? static_cast<CBatchPage&>(m_sheet.m_encode) : m_sheet.m_decode;
        const std::string& source = bEncode ? wave : mp3;
        std::string entries;
        for (const auto& c : cases) {
            std::string target = c.target;
            if (target.empty()) std::transform(source.begin(), source.end(), std::back_inserter(target), ::toupper);
            AddRow(page, {source, target, "128", "44100"});
            entries += Entry(bEncode ? IDS_ENC_LOG_FAILED : IDS_DEC_LOG_FAILED, source.c_str(),
                             Entry(c.cause, target.c_str()).c_str());
        }
        CUiScript::SetText(page.m_hWnd, IDC_BATCH_LOG_FILE, Path("batch.log").c_str());
        const time_t from = std::time(nullptr);
        RunBatch(page, bEncode ? IDC_ENCODE_START : IDC_DECODE_START,
                 bEncode ? IDS_ENC_DONE_WITH_PROBLEMS : IDS_DEC_DONE_WITH_PROBLEMS);
        const time_t to = std::time(nullptr);
        ExpectLog(page, bEncode ? IDS_ENC_LOG_HEADER : IDS_DEC_LOG_HEADER,
                  bEncode ? IDS_ENC_LOG_ELAPSED : IDS_DEC_LOG_ELAPSED, from, to, entries);
    }
    EXPECT_EQ(orvtest::ReadFileBytes(readOnly), "the user's own");
    ::SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(BatchPagesTest, EncoderSkipsUnusableTargetsAndDeletesOnlyWhatItConverted) {
    CEncodeDlg& page = m_sheet.m_encode;
    const std::string good = Tone("good.wav", 1000, 44100, 2), damaged = Tone("damaged.wav", 1000, 44100, 2),
                      dir = Tone("dir.wav", 1000, 44100, 2);
    // The data chunk claims a second more than the file holds.
    std::string bytes = orvtest::ReadFileBytes(damaged);
    const uint32_t claimed = static_cast<uint32_t>(bytes.size() - 44 + 44100 * 4);
    bytes.replace(40, 4, reinterpret_cast<const char*>(&claimed), 4);
    orvtest::WriteFileBytes(damaged, bytes);
    AddRow(page, {Path("gone.wav"), Path("gone.mp3"), "128", "44100"});
    AddRow(page, {dir, m_dir + "\\", "128", "44100"});
    AddRow(page, {damaged, Path("damaged.mp3"), "128", "44100"});
    AddRow(page, {good, Path("good.mp3"), "128", "44100"});
    ::CheckDlgButton(page.m_hWnd, IDC_BATCH_DELETE_AFTER, BST_CHECKED);
    CUiScript::SetText(page.m_hWnd, IDC_BATCH_LOG_FILE, Path("batch.log").c_str());

    const time_t from = std::time(nullptr);
    RunBatch(page, IDC_ENCODE_START, IDS_ENC_DONE_WITH_PROBLEMS);
    const time_t to = std::time(nullptr);
    // The control's own words for the failure follow the entry's fixed start.
    const std::string log = orvtest::ReadFileBytes(Path("batch.log"));
    const std::string failed = Entry(IDS_ENC_LOG_STARTED, damaged.c_str(), Path("damaged.mp3").c_str());
    const std::string failure = Before(Entry(IDS_ENC_LOG_FAILED, damaged.c_str(), kMark), kMark);
    const size_t failedAt = log.find(failed + failure);
    ASSERT_NE(failedAt, std::string::npos) << log;
    const size_t failureEnd = log.find("\r\n", failedAt + failed.size()) + 2;
    const std::string entries = Entry(IDS_ENC_LOG_BAD_TARGET, dir.c_str()) +
                                log.substr(failedAt, failureEnd - failedAt) +
                                Entry(IDS_ENC_LOG_STARTED, good.c_str(), Path("good.mp3").c_str()) +
                                Entry(IDS_ENC_LOG_FINISHED, good.c_str(), Path("good.mp3").c_str()) +
                                Entry(IDS_ENC_LOG_SOURCE_DELETED, good.c_str());
    ExpectLog(page, IDS_ENC_LOG_HEADER, IDS_ENC_LOG_ELAPSED, from, to, entries);
    EXPECT_TRUE(orvtest::FileExists(damaged));
    EXPECT_FALSE(orvtest::FileExists(Path("damaged.mp3")));
    EXPECT_FALSE(orvtest::FileExists(good));
    EXPECT_TRUE(orvtest::FileExists(Path("good.mp3")));
}

TEST_F(BatchPagesTest, StopWaitsForTheStoppedJobsEndBeforeTheNextBatch) {
    CEncodeDlg& page = m_sheet.m_encode;
    const std::string longSource = Tone("long.wav", 180000, 44100, 2);
    AddRow(page, {longSource, Path("long.mp3"), "128", "44100"});
    CUiScript::SetText(page.m_hWnd, IDC_BATCH_LOG_FILE, Path("batch.log").c_str());
    const time_t from = std::time(nullptr);
    RunBatch(page, IDC_ENCODE_START, IDS_ENC_DONE_WITH_PROBLEMS, [&] {
        ASSERT_TRUE(orvtest::PumpUntil([&] { return Field(page, IDC_BATCH_COMPLETION) != "0 %"; }, 30000));
        // Stop is handled at once; the rest waits for the control's done event.
        Press(page, IDC_ENCODE_STOP);
        EXPECT_FALSE(CUiScript::IsEnabled(page.m_hWnd, IDC_ENCODE_STOP));
        EXPECT_FALSE(CUiScript::IsEnabled(page.m_hWnd, IDC_ENCODE_START));
        EXPECT_TRUE(m_host.m_bLock);
    });
    const time_t to = std::time(nullptr);
    ExpectLog(page, IDS_ENC_LOG_HEADER, IDS_ENC_LOG_ELAPSED, from, to,
              Entry(IDS_ENC_LOG_STARTED, longSource.c_str(), Path("long.mp3").c_str()) +
                  Entry(IDS_ENC_LOG_STOPPED, longSource.c_str()));
    EXPECT_TRUE(orvtest::FileExists(longSource));
    EXPECT_FALSE(orvtest::FileExists(Path("long.mp3")));
    EXPECT_FALSE(m_host.m_bLock);

    page.m_jobs.SetItemText(0, kBatchSource, Tone("short.wav", 500, 44100, 2).c_str());
    page.m_jobs.SetItemText(0, kBatchTarget, Path("short.mp3").c_str());
    RunBatch(page, IDC_ENCODE_START, IDS_ENC_DONE);
    EXPECT_TRUE(orvtest::FileExists(Path("short.mp3")));
}

// A batch that ends while Close asks whether to stop it takes the question away; its
// end notice follows alone, and the sheet goes, as asked.
TEST_F(BatchPagesTest, ABatchEndingWhileCloseAsksTakesTheQuestionAway) {
    CEncodeDlg& page = m_sheet.m_encode;
    AddRow(page, {Tone("mid.wav", 40000, 44100, 2), Path("mid.mp3"), "128", "44100"});
    CUiScript::SetText(page.m_hWnd, IDC_BATCH_LOG_FILE, Path("batch.log").c_str());
    CUiScript ui(kTestTitle);
    std::string question, notice;
    ui.Run(
        [&](CUiScript& script) {
            question = script.LeaveBox(BoxIcon::Question, BoxButtons::YesNo);
            notice = script.AnswerBox(IDOK, BoxIcon::Information, BoxButtons::Ok);
        },
        [&] {
            Press(page, IDC_ENCODE_START);
            ASSERT_TRUE(page.IsRunning());
            CUiScript::Click(page.m_hWnd, IDCANCEL);
            EXPECT_TRUE(orvtest::PumpUntil([&] { return !m_sheet.GetSafeHwnd(); }, 30000));
        });
    EXPECT_TRUE(ui.Clean()) << ui.Report();
    EXPECT_EQ(question, m_app.Text(IDS_ENC_ASK_CLOSE_RUNNING));
    EXPECT_EQ(notice, m_app.Text(IDS_ENC_DONE));
    EXPECT_TRUE(orvtest::FileExists(Path("mid.mp3")));
    EXPECT_FALSE(m_host.m_bLock);
}

TEST_F(BatchPagesTest, ClosingDuringABatchAsksThenLogsTheStopAndLeavesNoPartialTarget) {
    CEncodeDlg& page = m_sheet.m_encode;
    const std::string longSource = Tone("long.wav", 180000, 44100, 2);
    AddRow(page, {longSource, Path("long.mp3"), "128", "44100"});
    CUiScript::SetText(page.m_hWnd, IDC_BATCH_LOG_FILE, Path("batch.log").c_str());
    CUiScript ui(kTestTitle);
    std::string question;
    ui.Run([&](CUiScript& script) { question = script.AnswerBox(IDYES, BoxIcon::Question, BoxButtons::YesNo); },
           [&] {
               Press(page, IDC_ENCODE_START);
               ASSERT_TRUE(page.IsRunning());
               CUiScript::Click(page.m_hWnd, IDCANCEL);
               EXPECT_TRUE(orvtest::PumpUntil([&] { return !m_sheet.GetSafeHwnd(); }, 30000));
           });
    EXPECT_TRUE(ui.Clean()) << ui.Report();
    EXPECT_EQ(question, m_app.Text(IDS_ENC_ASK_CLOSE_RUNNING));
    EXPECT_FALSE(m_host.m_bLock);
    const std::string log = orvtest::ReadFileBytes(Path("batch.log"));
    const std::string stopped = Entry(IDS_ENC_LOG_STOPPED, longSource.c_str());
    EXPECT_NE(log.find(stopped), std::string::npos) << log;
    EXPECT_NE(log.find(stopped + Before(Entry(IDS_ENC_LOG_ELAPSED, kMark, "", ""), kMark)), std::string::npos) << log;
    EXPECT_TRUE(orvtest::PumpUntil([&] { return !orvtest::FileExists(Path("long.mp3")); }, 10000));
}

TEST_F(BatchPagesTest, DecoderWritesTheReferenceSamplesAndLogsEveryUnusableTarget) {
    m_sheet.SetActivePage(1);
    CDecodeDlg& page = m_sheet.m_decode;
    const std::string fixtures = ORV_MP3_FIXTURES;
    // Copies, so that Delete-after removes ours.
    for (const char* name : {"tone22m", "tone44js"}) {
        ASSERT_TRUE(::CopyFileA((fixtures + "/" + name + ".mp3").c_str(), Path(std::string(name) + ".mp3").c_str(),
                                FALSE));
    }
    const std::string mono = Path("tone22m.mp3"), stereo = Path("tone44js.mp3");
    AddRow(page, {mono, Path("tone22m.wav")});
    AddRow(page, {stereo, ""});
    AddRow(page, {Path("gone.mp3"), Path("gone.wav")});
    AddRow(page, {stereo, Path("tone44js.wav")});
    const std::string kept = fixtures + "/tone48d.mp3";
    AddRow(page, {kept, ""});
    ::CheckDlgButton(page.m_hWnd, IDC_BATCH_DELETE_AFTER, BST_CHECKED);
    CUiScript::SetText(page.m_hWnd, IDC_BATCH_LOG_FILE, Path("batch.log").c_str());
    CUiScript::SetText(page.m_hWnd, IDC_BATCH_COMPLETION, "99 %");
    CUiScript::SetText(page.m_hWnd, IDC_BATCH_ELAPSED, "12:34:56");

    const time_t from = std::time(nullptr);
    RunBatch(page, IDC_DECODE_START, IDS_DEC_DONE_WITH_PROBLEMS);
    const time_t to = std::time(nullptr);
    const std::string entries =
        Entry(IDS_DEC_LOG_STARTED, mono.c_str(), Path("tone22m.wav").c_str()) +
        Entry(IDS_DEC_LOG_FINISHED, mono.c_str(), Path("tone22m.wav").c_str()) +
        Entry(IDS_DEC_LOG_SOURCE_DELETED, mono.c_str()) + Entry(IDS_DEC_LOG_BAD_TARGET, stereo.c_str(), "") +
        Entry(IDS_DEC_LOG_SOURCE_MISSING, Path("gone.mp3").c_str()) +
        Entry(IDS_DEC_LOG_STARTED, stereo.c_str(), Path("tone44js.wav").c_str()) +
        Entry(IDS_DEC_LOG_FINISHED, stereo.c_str(), Path("tone44js.wav").c_str()) +
        Entry(IDS_DEC_LOG_SOURCE_DELETED, stereo.c_str()) + Entry(IDS_DEC_LOG_BAD_TARGET, kept.c_str(), "");
    ExpectLog(page, IDS_DEC_LOG_HEADER, IDS_DEC_LOG_ELAPSED, from, to, entries);
    // The field was reset at Start: a batch this short never reaches a minute.
    EXPECT_EQ(Field(page, IDC_BATCH_ELAPSED).substr(0, 5), "00:00");

    // Against mpg123's gapless decode of the same files, sample by sample: like our
    // control it leaves out the encoder delay and padding lame's files state.
    ASSERT_TRUE(orvtest::RunHostShell("cd '" + orvtest::UnixPath(m_dir) + "' && for f in tone22m tone44js; do "
                                          "mpg123 -q --gapless -w $f.ref.wav '" + orvtest::UnixPath(fixtures) +
                                          "'/$f.mp3; done",
                                      "batch-reference", 60000));
    for (const char* name : {"tone22m", "tone44js"}) {
        SCOPED_TRACE(name);
        orv::codec::WaveReader ours, reference;
        ASSERT_EQ(ours.Open(orvtest::UnixPath(Path(std::string(name) + ".wav"))), orv::codec::WaveStatus::Ok);
        ASSERT_EQ(reference.Open(orvtest::UnixPath(Path(std::string(name) + ".ref.wav"))),
                  orv::codec::WaveStatus::Ok);
        ASSERT_EQ(ours.Format().samplesPerSec, reference.Format().samplesPerSec);
        ASSERT_EQ(ours.Format().channels, reference.Format().channels);
        ASSERT_EQ(ours.FrameCount(), reference.FrameCount());
        const size_t n = static_cast<size_t>(ours.FrameCount()) * ours.Format().channels;
        std::vector<int16_t> a(n), b(n);
        ours.ReadPcm16(a.data(), ours.FrameCount());
        reference.ReadPcm16(b.data(), reference.FrameCount());
        int worst = 0;
        for (size_t i = 0; i < n; ++i) worst = std::max(worst, std::abs(a[i] - b[i]));
        EXPECT_LE(worst, 1);
    }
}

TEST_F(BatchPagesTest, TheEncoderReplacesAnEarlierMp3OnlyWithACompleteOneTheUserAgreedTo) {
    CEncodeDlg& page = m_sheet.m_encode;
    const std::string good = Tone("good.wav", 1000, 44100, 2), longSource = Tone("long.wav", 180000, 44100, 2);
    // The data chunk claims a second more than the file holds.
    const std::string shortSource = Tone("short.wav", 1000, 44100, 2);
    std::string bytes = orvtest::ReadFileBytes(shortSource);
    const uint32_t claimed = static_cast<uint32_t>(bytes.size() - 44 + 44100 * 4);
    bytes.replace(40, 4, reinterpret_cast<const char*>(&claimed), 4);
    orvtest::WriteFileBytes(shortSource, bytes);
    const WriterCase cases[] = {
        {"new", good, false, 0, false, IDS_ENC_DONE, Outcome::Written, IDS_ENC_LOG_FINISHED},
        {"failed", shortSource, true, IDYES, false, IDS_ENC_DONE_WITH_PROBLEMS, Outcome::Kept, 0},
        {"stopped", longSource, true, IDYES, true, IDS_ENC_DONE_WITH_PROBLEMS, Outcome::Kept, 0},
        {"replaced", good, true, IDYES, false, IDS_ENC_DONE, Outcome::Written, IDS_ENC_LOG_FINISHED},
        {"kept", good, true, IDNO, false, IDS_ENC_DONE_WITH_PROBLEMS, Outcome::Kept, IDS_LOG_TARGET_KEPT},
        {"cancelled", good, true, IDCANCEL, false, 0, Outcome::Kept, 0},
    };
    RunWriterTable(page, IDC_ENCODE_START, IDC_ENCODE_STOP, ".mp3", cases, std::size(cases));
}

TEST_F(BatchPagesTest, TheDecoderReplacesAnEarlierWaveOnlyWithACompleteOneTheUserAgreedTo) {
    m_sheet.SetActivePage(1);
    CDecodeDlg& page = m_sheet.m_decode;
    const std::string good = CopyFixture("tone44js.mp3", "good.mp3");
    // Text named .mp3: the decoder refuses it.
    const std::string fake = Path("fake.mp3");
    ASSERT_TRUE(orvtest::WriteFileBytes(fake, "plain text, not an MP3 at all\r\n"));
    // Twenty minutes of frames: long enough to stop mid-way.
    const std::string longSource = Path("long.mp3");
    ASSERT_TRUE(orvtest::RunHostShell("cd '" + orvtest::UnixPath(m_dir) + "' && for i in $(seq 600); do cat '" +
                                          orvtest::UnixPath(ORV_MP3_FIXTURES) + "/tone44js.mp3'; done > long.mp3",
                                      "batch-long-mp3", 60000));
    const WriterCase cases[] = {
        {"new", good, false, 0, false, IDS_DEC_DONE, Outcome::Written, IDS_DEC_LOG_FINISHED},
        {"refused-new", fake, false, 0, false, IDS_DEC_DONE_WITH_PROBLEMS, Outcome::Absent, 0},
        {"refused", fake, true, IDYES, false, IDS_DEC_DONE_WITH_PROBLEMS, Outcome::Kept, 0},
        {"stopped", longSource, true, IDYES, true, IDS_DEC_DONE_WITH_PROBLEMS, Outcome::Kept, 0},
        {"replaced", good, true, IDYES, false, IDS_DEC_DONE, Outcome::Written, IDS_DEC_LOG_FINISHED},
        {"kept", good, true, IDNO, false, IDS_DEC_DONE_WITH_PROBLEMS, Outcome::Kept, IDS_LOG_TARGET_KEPT},
        {"cancelled", good, true, IDCANCEL, false, 0, Outcome::Kept, 0},
    };
    RunWriterTable(page, IDC_DECODE_START, IDC_DECODE_STOP, ".wav", cases, std::size(cases));
}

TEST_F(BatchPagesTest, ADamagedMp3IsDecodedWithItsLossLoggedAndItsSourceKept) {
    m_sheet.SetActivePage(1);
    CDecodeDlg& page = m_sheet.m_decode;
    const std::string damaged = CopyFixture("tone44js.mp3", "damaged.mp3");
    std::string bytes = orvtest::ReadFileBytes(damaged);
    ASSERT_GT(bytes.size(), 20000u);
    bytes.replace(10000, 6000, 6000, '\0');
    ASSERT_TRUE(orvtest::WriteFileBytes(damaged, bytes));
    AddRow(page, {damaged, Path("damaged.wav")});
    ::CheckDlgButton(page.m_hWnd, IDC_BATCH_DELETE_AFTER, BST_CHECKED);
    CUiScript::SetText(page.m_hWnd, IDC_BATCH_LOG_FILE, Path("batch.log").c_str());
    RunBatch(page, IDC_DECODE_START, IDS_DEC_DONE_WITH_PROBLEMS);
    const std::string log = orvtest::ReadFileBytes(Path("batch.log"));
    const std::string finished = Entry(IDS_DEC_LOG_FINISHED, damaged.c_str(), Path("damaged.wav").c_str());
    EXPECT_NE(log.find(finished + Before(Entry(IDS_DEC_LOG_DAMAGED, damaged.c_str(), kMark), kMark)),
              std::string::npos)
        << log;
    EXPECT_EQ(log.find(Entry(IDS_DEC_LOG_SOURCE_DELETED, damaged.c_str())), std::string::npos) << log;
    EXPECT_EQ(orvtest::ReadFileBytes(damaged), bytes);
    EXPECT_TRUE(orvtest::FileExists(Path("damaged.wav")));
}

TEST_F(BatchPagesTest, StartIsRefusedWithoutALogAndBlockedWhileThePlayerPlays) {
    CEncodeDlg& page = m_sheet.m_encode;
    AddRow(page, {Tone("a.wav", 500, 44100, 2), Path("a.mp3"), "128", "44100"});
    CUiScript::SetText(page.m_hWnd, IDC_BATCH_LOG_FILE, Path("no\\such\\folder\\batch.log").c_str());
    CUiScript ui(kTestTitle);
    std::string refusal;
    ui.Run([&](CUiScript& script) { refusal = script.AnswerBox(IDOK, BoxIcon::Exclamation, BoxButtons::Ok); },
           [&] {
               Press(page, IDC_ENCODE_START);
               EXPECT_TRUE(orvtest::PumpUntil([&] { return !refusal.empty(); }, 10000));
           });
    EXPECT_TRUE(ui.Clean()) << ui.Report();
    EXPECT_EQ(refusal, m_app.Text(IDS_LOG_CREATE_FAILED));
    EXPECT_FALSE(page.IsRunning());
    EXPECT_FALSE(orvtest::FileExists(Path("a.mp3")));

    m_host.m_bPlaying = TRUE;
    page.RefreshRunButtons();
    EXPECT_FALSE(CUiScript::IsEnabled(page.m_hWnd, IDC_ENCODE_START));
    m_host.m_bPlaying = FALSE;
    page.RefreshRunButtons();
    EXPECT_TRUE(CUiScript::IsEnabled(page.m_hWnd, IDC_ENCODE_START));
}

TEST_F(BatchPagesTest, MoreInfoOpensTheDialogOfThePageOnTheSelectedRow) {
    const std::string wave = Tone("a.wav", 500, 44100, 2);
    const std::string mp3 = std::string(ORV_MP3_FIXTURES) + "/tone22m.mp3";
    struct Case {
        CBatchPage* page;
        int index;
        std::string source;
        int detailId;
        std::string detail;
    } cases[] = {
        {&m_sheet.m_encode, 0, wave, IDC_CONV_FREQUENCY, "Frequency:\t44100 samples/sec"},
        {&m_sheet.m_decode, 1, mp3, IDC_CONV_FREQUENCY, "Frequency:\t22050 Hz"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source);
        m_sheet.SetActivePage(c.index);
        AddRow(*c.page, {Path("other.wav"), Path("other.x")});
        AddRow(*c.page, {c.source, Path("target.x")});
        // A double click on the second row selects it alone and opens its details.
        c.page->m_jobs.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
        CUiScript ui(kTestTitle);
        std::string source, detail;
        ui.Run(
            [&](CUiScript& script) {
                HWND hDlg = script.WaitWindow("More Info");
                if (!hDlg) return;
                source = CUiScript::ItemText(hDlg, IDC_CONV_SOURCE);
                detail = CUiScript::ItemText(hDlg, c.detailId);
                CUiScript::Click(hDlg, IDCANCEL);
            },
            [&] { ::SendMessageA(c.page->m_hWnd, UM_LISTMOUSE, CSkinListCtrl::kMouseDoubleClick, 1); });
        EXPECT_TRUE(ui.Clean()) << ui.Report();
        EXPECT_EQ(source, c.source);
        EXPECT_EQ(detail, c.detail);
    }
}

TEST_F(BatchPagesTest, AuditionPlaysTheSelectedRowByItsTypeAndFreesThePlayerWhenClosed) {
    const std::string wave = Tone("a.wav", 3000, 44100, 2);
    const std::string mp3 = std::string(ORV_MP3_FIXTURES) + "/tone44js.mp3";
    struct Case {
        CBatchPage* page;
        int index;
        std::string source;
        int type;
    } cases[] = {{&m_sheet.m_encode, 0, wave, 1}, {&m_sheet.m_decode, 1, mp3, CAuditionDlg::kTypeMpeg}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source);
        m_sheet.SetActivePage(c.index);
        AddRow(*c.page, {Path("other.wav"), Path("other.x")});
        AddRow(*c.page, {c.source, Path("target.x")});
        c.page->m_jobs.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
        Press(*c.page, IDC_BATCH_AUDITION);
        ASSERT_NE(c.page->m_audition.GetSafeHwnd(), nullptr);
        EXPECT_EQ(std::string(c.page->m_audition.m_strPath.GetString()), c.source);
        EXPECT_EQ(c.page->m_audition.m_nType, c.type);
        EXPECT_EQ(c.page->m_audition.m_nSongNumber, 2);
        EXPECT_TRUE(m_host.m_bLock);
        c.page->m_audition.SendMessage(WM_COMMAND, IDCANCEL);
        EXPECT_TRUE(orvtest::PumpUntil([&] { return !c.page->m_audition.GetSafeHwnd(); }, 5000));
        EXPECT_FALSE(m_host.m_bLock);
    }
}

// Not a timed test: ORV_BENCH=1 ./scripts/test -R BatchPagesTest.DecodeBenchmark prints the figure.
TEST_F(BatchPagesTest, DecodeBenchmark) {
    if (!std::getenv("ORV_BENCH")) GTEST_SKIP() << "set ORV_BENCH=1 to run the benchmark";
    constexpr int kFiles = 10;
    constexpr int kSeconds = 180;
    ASSERT_TRUE(orvtest::RunHostShell("cd '" + orvtest::UnixPath(m_dir) +
                                          "' && sox -n -r 44100 -c 2 -b 16 long.wav synth 180 sine 300-900 sine 500 "
                                          "&& lame --quiet -b 128 long.wav long.mp3",
                                      "batch-bench", 120000));
    m_sheet.SetActivePage(1);
    CDecodeDlg& page = m_sheet.m_decode;
    for (int i = 0; i < kFiles; ++i) AddRow(page, {Path("long.mp3"), Path("out" + std::to_string(i) + ".wav")});
    CUiScript::SetText(page.m_hWnd, IDC_BATCH_LOG_FILE, Path("batch.log").c_str());
    const DWORD start = ::GetTickCount();
    const double cpuStart = orvtest::ProcessCpuSeconds();
    RunBatch(page, IDC_DECODE_START, IDS_DEC_DONE);
    const DWORD elapsed = std::max<DWORD>(::GetTickCount() - start, 1);
    const double cpu = std::max(orvtest::ProcessCpuSeconds() - cpuStart, 0.001);
    const double audio = static_cast<double>(kFiles) * kSeconds;
    std::printf("decoder page benchmark: %d files of 180 s in %lu ms: %.1fx real time (%.2f s of processor "
                "time: %.1fx)\n",
                kFiles, static_cast<unsigned long>(elapsed), audio * 1000.0 / elapsed, cpu, audio / cpu);
    EXPECT_GE(audio / cpu, 100.0);
}

}  // namespace
