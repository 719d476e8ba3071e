// The conversion dialogs from their templates, run modally without a parent while a
// property sheet with an encoder and a decoder page is the main window's last active
// pop-up; a script on a second thread reads and drives them and answers their boxes.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "ConvertJobs.h"
#include "DecodeInfoDlg.h"
#include "EncodeInfoDlg.h"
#include "LogViewDlg.h"
#include "Mp3Play.h"
#include "SkinText.h"
#include "TelmarIds.h"
#include "TestSkinApp.h"
#include "TestSupport.h"
#include "UiScript.h"
#include "convert_test_ids.h"
#include "mpdeck/ConvertIds.h"

namespace {

using orvtest::BoxButtons;
using orvtest::BoxIcon;
using orvtest::CUiScript;

const char kTestTitle[] = "Orvanta-ConvertTest";
const char kInfoCaption[] = "More Info";
const char kLogCaption[] = "Display Encoding Results";
using Row = std::vector<std::string>;
// Wine's edit control takes a few seconds over a couple of MB, more on a busy machine.
constexpr DWORD kHugeOpenTimeoutMs = 120000;

class CJobPage : public CPropertyPage {
public:
    CJobPage(UINT nIDTemplate, int nColumns) : CPropertyPage(nIDTemplate), m_nColumns(nColumns) {}

    HWND Jobs() const { return ::GetDlgItem(m_hWnd, IDC_TEST_JOBS); }
    void AddJob(const Row& cells) {
        const int nRow = static_cast<int>(::SendMessageA(Jobs(), LVM_GETITEMCOUNT, 0, 0));
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.iItem = nRow;
        item.pszText = const_cast<LPSTR>(cells[0].c_str());
        ::SendMessageA(Jobs(), LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        for (size_t i = 1; i < cells.size(); ++i)
            convert::SetJobText(Jobs(), nRow, static_cast<int>(i), cells[i].c_str());
    }
    void Select(int nRow) {
        LVITEMA item = {};
        item.stateMask = LVIS_SELECTED;
        item.state = LVIS_SELECTED;
        ::SendMessageA(Jobs(), LVM_SETITEMSTATE, static_cast<WPARAM>(nRow), reinterpret_cast<LPARAM>(&item));
    }
    Row Job(int nRow) const {
        Row cells;
        for (int i = 0; i < m_nColumns; ++i) cells.push_back(convert::JobText(Jobs(), nRow, i).GetString());
        return cells;
    }

    CMp3Play m_play;

protected:
    BOOL OnInitDialog() override {
        for (int i = 0; i < m_nColumns; ++i) {
            LVCOLUMNA column = {};
            column.mask = LVCF_TEXT | LVCF_WIDTH;
            column.cx = 80;
            column.pszText = const_cast<LPSTR>("");
            ::SendMessageA(Jobs(), LVM_INSERTCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
        }
        if (GetDlgItem(IDC_TEST_MP3PLAY)) m_play.SubclassDlgItem(IDC_TEST_MP3PLAY, this);
        return TRUE;
    }

private:
    int m_nColumns;
};

class CTestSheet : public CPropertySheet {
public:
    CTestSheet() : CPropertySheet("Conversion") {
        AddPage(&m_encode);
        AddPage(&m_decode);
    }
    CJobPage m_encode{IDD_TEST_ENCODE_PAGE, 4};
    CJobPage m_decode{IDD_TEST_DECODE_PAGE, 2};
};

std::string Item(HWND hDlg, int nId) {
    return CUiScript::ItemText(hDlg, nId);
}

std::vector<std::string> ComboItems(HWND hDlg, int nId) {
    std::vector<std::string> items;
    const LRESULT n = ::SendDlgItemMessageA(hDlg, nId, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
        char text[64] = {};
        ::SendDlgItemMessageA(hDlg, nId, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        items.push_back(text);
    }
    return items;
}

std::string ComboSelection(HWND hDlg, int nId) {
    const LRESULT nSel = ::SendDlgItemMessageA(hDlg, nId, CB_GETCURSEL, 0, 0);
    if (nSel == CB_ERR) return "(none)";
    return ComboItems(hDlg, nId)[static_cast<size_t>(nSel)];
}

// The whole text of a control, however long.
std::string LongText(HWND hDlg, int nId) {
    HWND hItem = ::GetDlgItem(hDlg, nId);
    std::string text(static_cast<size_t>(::GetWindowTextLengthA(hItem)) + 1, '\0');
    text.resize(static_cast<size_t>(::GetWindowTextA(hItem, &text[0], static_cast<int>(text.size()))));
    return text;
}

HWND FocusOf(HWND hDlg) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(hDlg, nullptr), &info);
    return info.hwndFocus;
}

class ConvertDialogsTest : public ::testing::Test {
protected:
    void SetUp() override {
        AfxWinInit(::GetModuleHandleA(nullptr), nullptr, SW_SHOW);
        const INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES};
        ::InitCommonControlsEx(&controls);
        CMp3Play::Register();
        AfxEnableControlContainer();
        m_dir = orvtest::MakeTempDir("convert");
        ASSERT_TRUE(m_main.Create(IDD_TEST_MAIN, nullptr));
        m_app.m_pMainWnd = &m_main;
        ASSERT_TRUE(m_sheet.Create(&m_main));
        m_sheet.SetActivePage(1);
        m_sheet.SetActivePage(0);
        ::SetActiveWindow(m_sheet.m_hWnd);
        ASSERT_TRUE(m_sheet.m_encode.GetSafeHwnd() && m_sheet.m_decode.GetSafeHwnd());
        ASSERT_EQ(convert::DefaultOwner()->m_hWnd, m_sheet.m_hWnd);
    }
    void TearDown() override {
        if (m_sheet.GetSafeHwnd()) m_sheet.DestroyWindow();
        if (m_main.GetSafeHwnd()) m_main.DestroyWindow();
        m_app.m_pMainWnd = nullptr;
    }

    // Runs the dialog modally; the steps run once its window with the caption is up.
    // When they leave it open, Cancel closes it.
    INT_PTR RunDialog(CDialog& dlg, const char* caption, const std::function<void(CUiScript&, HWND)>& steps,
                      DWORD openTimeoutMs = 5000) {
        CUiScript ui(kTestTitle);
        INT_PTR nResult = -1;
        ui.Run(
            [&](CUiScript& script) {
                HWND hDlg = script.WaitWindow(caption, openTimeoutMs);
                if (!hDlg) return;
                steps(script, hDlg);
                if (::IsWindow(hDlg)) CUiScript::Click(hDlg, IDCANCEL);
            },
            [&] { nResult = dlg.DoModal(); });
        EXPECT_TRUE(ui.Clean()) << ui.Report();
        return nResult;
    }
    std::string Wave(const char* name, DWORD rate, WORD channels) {
        const std::string path = m_dir + "\\" + name;
        EXPECT_TRUE(orvtest::WriteToneWave(path, 2000, rate, channels, 440.0));
        return path;
    }
    std::string Text(UINT nId) { return m_app.Text(nId); }

    orvtest::CTestSkinApp m_app{kTestTitle};
    CDialog m_main;
    CTestSheet m_sheet;
    std::string m_dir;
};

TEST_F(ConvertDialogsTest, EncodeInfoOffersTheRatesTheEncoderWritesForTheSource) {
    const std::vector<std::string> kAllBitRates = {"32", "40", "48", "56", "64", "80", "96",
                                                   "112", "128", "160", "192", "224", "256", "320"};
    const std::vector<std::string> kLowBitRates(kAllBitRates.begin(), kAllBitRates.begin() + 10);
    // Halving 48000 gives 24000, which the encoder writes where 22050 is asked for.
    struct Case {
        DWORD rate;
        WORD channels;
        const char* bitRate;
        const char* sampleRate;
        std::vector<std::string> offered;
        const char* selectedRate;
        const std::vector<std::string>& bitRates;
        const char* selectedBitRate;
    } cases[] = {
        {22050, 1, "32", "22050", {"22050"}, "22050", kLowBitRates, "32"},
        {44100, 2, "320", "48000", {"22050", "44100", "48000"}, "48000", kAllBitRates, "320"},
        {44100, 2, "32", "12345", {"22050", "44100", "48000"}, "22050", kLowBitRates, "32"},
        {48000, 2, "320", "22050", {"24000", "44100", "48000"}, "24000", kLowBitRates, "160"},
        {32000, 2, "256", "32000", {"32000"}, "32000", kAllBitRates, "256"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.rate) + " " + c.bitRate);
        const std::string source = Wave("job.wav", c.rate, c.channels);
        m_sheet.m_encode.AddJob({source, m_dir + "\\job.mp3", c.bitRate, c.sampleRate});
        m_sheet.m_encode.Select(0);
        CEncodeInfoDlg dlg;
        RunDialog(dlg, kInfoCaption, [&](CUiScript&, HWND hDlg) {
            EXPECT_EQ(ComboItems(hDlg, IDC_CONV_SAMPLERATE), c.offered);
            EXPECT_EQ(ComboSelection(hDlg, IDC_CONV_SAMPLERATE), c.selectedRate);
            EXPECT_EQ(ComboItems(hDlg, IDC_CONV_BITRATE), c.bitRates);
            EXPECT_EQ(ComboSelection(hDlg, IDC_CONV_BITRATE), c.selectedBitRate);
            EXPECT_EQ(Item(hDlg, IDC_CONV_SOURCE), source);
            EXPECT_EQ(Item(hDlg, IDC_CONV_TARGET), m_dir + "\\job.mp3");
            EXPECT_EQ(Item(hDlg, IDC_CONV_FREQUENCY), "Frequency:\t" + std::to_string(c.rate) + " samples/sec");
            EXPECT_EQ(Item(hDlg, IDC_CONV_BITS), "BitRate:\t\t16 bits/sample");
            EXPECT_EQ(Item(hDlg, IDC_CONV_LENGTH), "Length (m:s) :\t00:02 ");
            EXPECT_EQ(Item(hDlg, IDC_CONV_CHANNELS),
                      "Channels:\t" + Text(c.channels == 1 ? IDS_CHANNELS_MONO : IDS_CHANNELS_STEREO));
            if (c.rate != 48000) return;
            // Choosing another rate offers its bit rates, keeping the choice or the highest below it.
            for (const auto& step : {std::pair<int, const char*>{1, "320"}, {0, "160"}}) {
                ::SendDlgItemMessageA(hDlg, IDC_CONV_SAMPLERATE, CB_SETCURSEL, static_cast<WPARAM>(step.first), 0);
                ::SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDC_CONV_SAMPLERATE, CBN_SELCHANGE),
                               reinterpret_cast<LPARAM>(::GetDlgItem(hDlg, IDC_CONV_SAMPLERATE)));
                if (step.first == 1) {
                    EXPECT_EQ(ComboItems(hDlg, IDC_CONV_BITRATE), kAllBitRates);
                    ::SendDlgItemMessageA(hDlg, IDC_CONV_BITRATE, CB_SETCURSEL, 13, 0);
                }
                EXPECT_EQ(ComboSelection(hDlg, IDC_CONV_BITRATE), step.second);
            }
        });
        ::SendMessageA(m_sheet.m_encode.Jobs(), LVM_DELETEALLITEMS, 0, 0);
    }
}

TEST_F(ConvertDialogsTest, EncodeInfoRoundsSizesHalfUpAndNeverOffersRateZero) {
    // 746 mono 16-bit frames make a WAVE file of 1536 bytes; 1535 bytes of text are no WAVE at all.
    const std::string wave = m_dir + "\\small.wav";
    ASSERT_TRUE(orvtest::WriteToneWave(wave, 0, 22050, 1, 440.0));
    std::string bytes(1536, '\0');
    std::ifstream(wave, std::ios::binary).read(&bytes[0], 44);
    orvtest::WriteFileBytes(wave, bytes);
    const std::string junk = m_dir + "\\junk.wav";
    orvtest::WriteFileBytes(junk, std::string(1535, 'x'));
    struct Case {
        std::string path;
        const char* size;
        std::vector<std::string> offered;
    } cases[] = {
        {wave, "File Size:\t2 Kb", {"22050"}},
        {junk, "File Size:\t1 Kb", {"22050", "44100", "48000"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        m_sheet.m_encode.AddJob({c.path, m_dir + "\\out.mp3", "128", "22050"});
        m_sheet.m_encode.Select(0);
        CEncodeInfoDlg dlg;
        RunDialog(dlg, kInfoCaption, [&](CUiScript&, HWND hDlg) {
            EXPECT_EQ(Item(hDlg, IDC_CONV_FILE_SIZE), c.size);
            EXPECT_EQ(ComboItems(hDlg, IDC_CONV_SAMPLERATE), c.offered);
        });
        ::SendMessageA(m_sheet.m_encode.Jobs(), LVM_DELETEALLITEMS, 0, 0);
    }
}

TEST_F(ConvertDialogsTest, OkWantsAFileTargetAndWritesTheJobCancelChangesNothing) {
    const std::string wave = Wave("job.wav", 44100, 2);
    const std::string mp3 = std::string(ORV_MP3_FIXTURES) + "/tone44js.mp3";
    const Row encodeJob = {wave, m_dir + "\\job.mp3", "128", "44100"};
    const Row decodeJob = {mp3, m_dir + "\\job.wav"};
    m_sheet.m_encode.AddJob(encodeJob);
    m_sheet.m_encode.Select(0);
    m_sheet.m_decode.AddJob(decodeJob);
    m_sheet.m_decode.Select(0);
    for (const bool bEncode : {true, false}) {
        SCOPED_TRACE(bEncode ? "encode" : "decode");
        CJobPage& page = bEncode ? m_sheet.m_encode : m_sheet.m_decode;
        const Row before = page.Job(0);
        CEncodeInfoDlg encodeDlg;
        CDecodeInfoDlg decodeDlg;
        CDialog& dlg = bEncode ? static_cast<CDialog&>(encodeDlg) : decodeDlg;
        // Cancel after every field has changed.
        EXPECT_EQ(RunDialog(dlg, kInfoCaption,
                            [&](CUiScript&, HWND hDlg) {
                                CUiScript::SetText(hDlg, IDC_CONV_TARGET, "C:\\elsewhere.mp3");
                                ::SendDlgItemMessageA(hDlg, IDC_CONV_BITRATE, CB_SETCURSEL, 0, 0);
                                ::SendDlgItemMessageA(hDlg, IDC_CONV_SAMPLERATE, CB_SETCURSEL, 0, 0);
                                CUiScript::Click(hDlg, IDCANCEL);
                            }),
                  IDCANCEL);
        EXPECT_EQ(page.Job(0), before);
        // OK with an empty target, then a folder, then a file.
        const INT_PTR nResult = RunDialog(dlg, kInfoCaption, [&](CUiScript& script, HWND hDlg) {
            for (const char* target : {"", "C:\\music\\"}) {
                CUiScript::SetText(hDlg, IDC_CONV_TARGET, target);
                CUiScript::Click(hDlg, IDOK);
                EXPECT_EQ(script.AnswerBox(IDOK, BoxIcon::Information, BoxButtons::Ok), Text(IDS_TARGET_REQUIRED));
                CUiScript::Settle(hDlg);
                EXPECT_TRUE(::IsWindowVisible(hDlg)) << target;
                EXPECT_EQ(FocusOf(hDlg), ::GetDlgItem(hDlg, IDC_CONV_TARGET)) << target;
            }
            CUiScript::SetText(hDlg, IDC_CONV_TARGET, "C:\\out\\new.mp3");
            ::SendDlgItemMessageA(hDlg, IDC_CONV_BITRATE, CB_SETCURSEL, 10, 0);    // "192"
            ::SendDlgItemMessageA(hDlg, IDC_CONV_SAMPLERATE, CB_SETCURSEL, 2, 0);  // "48000"
            CUiScript::Click(hDlg, IDOK);
        });
        EXPECT_EQ(nResult, IDOK);
        const Row after = bEncode ? Row{wave, "C:\\out\\new.mp3", "192", "48000"} : Row{mp3, "C:\\out\\new.mp3"};
        EXPECT_EQ(page.Job(0), after);
    }
}

TEST_F(ConvertDialogsTest, DecodeInfoShowsTheMpegPropertiesOfTheLastSelectedJob) {
    const std::string fixtures = ORV_MP3_FIXTURES;
    m_sheet.m_decode.AddJob({fixtures + "/tone22m.mp3", m_dir + "\\a.wav"});
    m_sheet.m_decode.AddJob({fixtures + "/tone44js.mp3", m_dir + "\\b.wav"});
    m_sheet.m_decode.Select(0);
    m_sheet.m_decode.Select(1);
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    ASSERT_TRUE(::GetFileAttributesExA((fixtures + "/tone44js.mp3").c_str(), GetFileExInfoStandard, &data));
    CDecodeInfoDlg dlg;
    RunDialog(dlg, kInfoCaption, [&](CUiScript&, HWND hDlg) {
        EXPECT_EQ(Item(hDlg, IDC_CONV_SOURCE), fixtures + "/tone44js.mp3");
        EXPECT_EQ(Item(hDlg, IDC_CONV_TARGET), m_dir + "\\b.wav");
        EXPECT_EQ(Item(hDlg, IDC_CONV_FILE_SIZE), "File Size:\t" + std::to_string(convert::RoundedKb(data.nFileSizeLow)) + " Kb");
        EXPECT_EQ(Item(hDlg, IDC_CONV_MPEG_LAYER), "MPEG 1.0 Layer 3");
        EXPECT_EQ(Item(hDlg, IDC_CONV_LENGTH), "Length (m:s) :\t00:02 ");
        EXPECT_EQ(Item(hDlg, IDC_CONV_BITS), "BitRate:\t\t128 kbit/s");  // not 127 for an average just below
        EXPECT_EQ(Item(hDlg, IDC_CONV_FREQUENCY), "Frequency:\t44100 Hz");
        EXPECT_EQ(Item(hDlg, IDC_CONV_CHANNELS), "Channels:\t" + Text(IDS_CHANNELS_JOINT_STEREO));
        EXPECT_EQ(Item(hDlg, IDC_CONV_COPYRIGHTED), "Copyrighted:\tNo");
        EXPECT_EQ(Item(hDlg, IDC_CONV_ORIGINAL), "Original:   \tYes");
        EXPECT_EQ(Item(hDlg, IDC_CONV_CHECKSUMS), "CheckSums:\tNo");
        EXPECT_NE(Item(hDlg, IDC_CONV_FRAMES).find("Frames:\t\t"), std::string::npos);
        orvtest::CaptureScreen("decode-info");
    });
    EXPECT_EQ(m_sheet.m_decode.m_play.GetFrames(), 0);  // closed again
}

TEST_F(ConvertDialogsTest, LogViewerShowsTheLinesOfACrLfText) {
    const std::string log = m_dir + "\\batch.log";
    orvtest::WriteFileBytes(log, "first line\r\nsecond line\r\nthird line\r\n");
    CLogViewDlg viewer;
    viewer.m_strPath = log.c_str();
    viewer.m_strTitle = "Batch results";
    RunDialog(viewer, "Batch results", [&](CUiScript&, HWND hDlg) {
        EXPECT_EQ(Item(hDlg, IDC_LOG_TEXT), "first line\r\nsecond line\r\nthird line\r\n");
        EXPECT_EQ(::SendDlgItemMessageA(hDlg, IDC_LOG_TEXT, EM_GETLINECOUNT, 0, 0), 4);
        DWORD dwStart = 1, dwEnd = 1;
        ::SendDlgItemMessageA(hDlg, IDC_LOG_TEXT, EM_GETSEL, reinterpret_cast<WPARAM>(&dwStart),
                              reinterpret_cast<LPARAM>(&dwEnd));
        EXPECT_EQ(dwStart, 0u) << "nothing selected";
        EXPECT_EQ(dwEnd, 0u);
        orvtest::CaptureScreen("log-viewer");
    });
}

TEST_F(ConvertDialogsTest, LogViewerRefusesAMissingFile) {
    const std::string missing = m_dir + "\\none.log";
    CLogViewDlg refused;
    refused.m_strPath = missing.c_str();
    CUiScript ui(kTestTitle);
    INT_PTR nResult = -1;
    ui.Run(
        [&](CUiScript& script) {
            EXPECT_EQ(script.AnswerBox(IDOK, BoxIcon::Exclamation, BoxButtons::Ok),
                      FormatText(IDS_LOG_VIEW_FAILED, CString(missing.c_str())).GetString());
        },
        [&] { nResult = refused.DoModal(); });
    EXPECT_TRUE(ui.Clean()) << ui.Report();
    EXPECT_EQ(nResult, IDCANCEL);
}

TEST_F(ConvertDialogsTest, LogViewerShowsTheBeginningOfAHugeFileAndSaysSo) {
    // Five MB of lines: the first four are shown, and a last line says so.
    const std::string huge = m_dir + "\\huge.log";
    const std::string line = "Encoding C:\\some\\source.wav to C:\\some\\target.mp3\r\n";
    std::string text;
    while (text.size() < CLogViewDlg::kMaxShownBytes * 5 / 4) text += line;
    orvtest::WriteFileBytes(huge, text);
    CLogViewDlg capped;
    capped.m_strPath = huge.c_str();
    RunDialog(capped, kLogCaption, [&](CUiScript&, HWND hDlg) {
        const std::string shown = LongText(hDlg, IDC_LOG_TEXT);
        const std::string notice =
            FormatText(IDS_LOG_VIEW_CAPPED, static_cast<int>(text.size() / 1024), static_cast<int>(CLogViewDlg::kMaxShownBytes / 1024)).GetString();
        ASSERT_EQ(shown.size(), CLogViewDlg::kMaxShownBytes + notice.size());
        EXPECT_EQ(shown.substr(0, CLogViewDlg::kMaxShownBytes), text.substr(0, CLogViewDlg::kMaxShownBytes));
        EXPECT_EQ(shown.substr(CLogViewDlg::kMaxShownBytes), notice);
    }, kHugeOpenTimeoutMs);
}

}  // namespace
