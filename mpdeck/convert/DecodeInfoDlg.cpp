#include "DecodeInfoDlg.h"

#include "ConvertJobs.h"
#include "ID3Tag.h"
#include "Mp3Play.h"
#include "SkinText.h"
#include "TelmarIds.h"
#include "mpdeck/ConvertIds.h"

using namespace convert;

namespace {

constexpr long kMsPerSecond = 1000;
constexpr long kSecondsPerMinute = 60;

}  // namespace

CDecodeInfoDlg::CDecodeInfoDlg() : CJobInfoDlg(IDD_DECODE_INFO) {}

BOOL CDecodeInfoDlg::OnInitDialog() {
    CPropertyPage* pPage = FindPage(GetOwner(), kDecodePageTemplate);
    m_hJobs = JobList(pPage);
    // With several rows selected, the last one.
    for (int nRow = m_hJobs ? NextSelectedJob(m_hJobs, -1) : -1; nRow >= 0; nRow = NextSelectedJob(m_hJobs, nRow))
        m_nRow = nRow;
    if (!HasRow()) return TRUE;
    const CString strSource = JobText(m_hJobs, m_nRow, kColSource);
    SetDlgItemText(IDC_CONV_SOURCE, strSource);
    SetDlgItemText(IDC_CONV_TARGET, JobText(m_hJobs, m_nRow, kColTarget));

    CID3Tag tag;
    tag.m_strPath = strSource;
    tag.ReadTag();
    FillStatic(this, IDC_CONV_FILE_SIZE, RoundedKb(tag.m_dwFileLength));

    CWnd* pControl = pPage->GetDlgItem(kPageMp3ControlId);
    auto* pPlay = pControl ? dynamic_cast<CMp3Play*>(CWnd::FromHandlePermanent(pControl->m_hWnd)) : nullptr;
    if (pPlay) FillMpegDetails(*pPlay, strSource);
    return TRUE;
}

void CDecodeInfoDlg::FillMpegDetails(CMp3Play& play, const CString& strSource) {
    if (play.Open(strSource, "") != 0) return;
    FillStatic(this, IDC_CONV_MPEG_LAYER, static_cast<int>(play.GetVersion()), static_cast<int>(play.GetLayer()));
    const long nSeconds = play.GetLength() / kMsPerSecond;
    FillStatic(this, IDC_CONV_LENGTH, static_cast<int>(nSeconds / kSecondsPerMinute),
               static_cast<int>(nSeconds % kSecondsPerMinute));
    FillStatic(this, IDC_CONV_BITS, KbitPerSecond(play.GetBitRate()));
    FillStatic(this, IDC_CONV_FRAMES, play.GetFrames());
    FillStatic(this, IDC_CONV_FREQUENCY, static_cast<int>(play.GetFrequency()));
    if (const UINT nMode = MpegChannelModeText(play.GetChannelMode())) AppendStatic(this, IDC_CONV_CHANNELS, LoadText(nMode));
    FillStatic(this, IDC_CONV_COPYRIGHTED, YesNoText(play.GetCopyright()));
    FillStatic(this, IDC_CONV_ORIGINAL, YesNoText(play.GetOriginal()));
    FillStatic(this, IDC_CONV_CHECKSUMS, YesNoText(play.GetCrc()));
    play.Close();
}

void CDecodeInfoDlg::ApplyOptions(const CString& strTarget) {
    if (HasRow()) SetJobText(m_hJobs, m_nRow, kColTarget, strTarget);
}
