#include "SongInfoDlg.h"

#include "InfoText.h"
#include "SkinText.h"
#include "TelmarIds.h"
#include "mpdeck/MoreInfoIds.h"

namespace {

constexpr long kMsPerSecond = 1000;
constexpr long kSecondsPerMinute = 60;

struct TextField {
    int nId;
    int nMaxChars;
};

const TextField kTextFields[] = {
    {IDC_INFO_TITLE, kTagTextChars},
    {IDC_INFO_ARTIST, kTagTextChars},
    {IDC_INFO_ALBUM, kTagTextChars},
    {IDC_INFO_YEAR, kTagYearChars},
    {IDC_INFO_COMMENT, kTagTextChars},
};

}  // namespace

BEGIN_MESSAGE_MAP(CSongInfoDlg, CDialog)
    ON_BN_CLICKED(IDC_INFO_SAVE, OnSave)
    ON_BN_CLICKED(IDC_INFO_REMOVE_TAG, OnRemoveTag)
    ON_MESSAGE(DM_GETDEFID, OnGetDefId)
END_MESSAGE_MAP()

CSongInfoDlg::CSongInfoDlg(CWnd* pParent) : CDialog(IDD_MORE_INFO, pParent) {}

BOOL CSongInfoDlg::OnInitDialog() {
    LimitInputs();
    SetDlgItemText(IDC_INFO_PATH, m_strPath);
    m_tag.m_strPath = m_strPath;
    m_tag.ReadTag();
    FillGenres();
    if (m_tag.m_nSource != TAG_SOURCE_NONE) ShowTag();
    ShowTagSource();
    ShowDetails();
    return TRUE;
}

void CSongInfoDlg::LimitInputs() {
    for (const TextField& field : kTextFields)
        SendDlgItemMessage(field.nId, EM_LIMITTEXT, static_cast<WPARAM>(field.nMaxChars));
}

// The box sorts the names; each item keeps its genre number as item data.
void CSongInfoDlg::FillGenres() {
    for (int nGenre = 0; nGenre < kGenreCount; ++nGenre) {
        const LRESULT nItem = SendDlgItemMessage(IDC_INFO_GENRE, CB_ADDSTRING, 0,
                                                 reinterpret_cast<LPARAM>(g_apszGenreNames[nGenre]));
        if (nItem >= 0) SendDlgItemMessage(IDC_INFO_GENRE, CB_SETITEMDATA, static_cast<WPARAM>(nItem), nGenre);
    }
}

void CSongInfoDlg::ShowTag() {
    SetDlgItemText(IDC_INFO_TITLE, m_tag.m_strTitle);
    SetDlgItemText(IDC_INFO_ARTIST, m_tag.m_strArtist);
    SetDlgItemText(IDC_INFO_ALBUM, m_tag.m_strAlbum);
    SetDlgItemText(IDC_INFO_YEAR, m_tag.m_strYear);
    SetDlgItemText(IDC_INFO_COMMENT, m_tag.m_strComment);
    SelectGenre(m_tag.m_byGenre);
}

// The editor writes ID3v1 whatever it shows; the group's title says which tag that is.
void CSongInfoDlg::ShowTagSource() {
    if (m_tag.m_nSource == TAG_SOURCE_ID3V1) SetDlgItemText(IDC_INFO_TAG_GROUP, LoadText(IDS_TAG_SHOWN_ID3V1));
    if (m_tag.m_nSource == TAG_SOURCE_ID3V2)
        SetDlgItemText(IDC_INFO_TAG_GROUP, FormatText(IDS_TAG_SHOWN_ID3V2, m_tag.m_nId3v2Version));
}

// Numbers without a name select nothing.
void CSongInfoDlg::SelectGenre(BYTE byGenre) {
    const int nCount = static_cast<int>(SendDlgItemMessage(IDC_INFO_GENRE, CB_GETCOUNT));
    for (int nItem = 0; nItem < nCount; ++nItem) {
        if (SendDlgItemMessage(IDC_INFO_GENRE, CB_GETITEMDATA, static_cast<WPARAM>(nItem)) == byGenre) {
            SendDlgItemMessage(IDC_INFO_GENRE, CB_SETCURSEL, static_cast<WPARAM>(nItem));
            return;
        }
    }
}

BYTE CSongInfoDlg::SelectedGenre() const {
    const LRESULT nItem = SendDlgItemMessage(IDC_INFO_GENRE, CB_GETCURSEL);
    if (nItem == CB_ERR) return kNoGenre;
    return static_cast<BYTE>(SendDlgItemMessage(IDC_INFO_GENRE, CB_GETITEMDATA, static_cast<WPARAM>(nItem)));
}

// Enter in a tag field saves, as Save does, rather than closing over what was typed;
// elsewhere it presses Close.
LRESULT CSongInfoDlg::OnGetDefId(WPARAM, LPARAM) {
    const HWND hFocus = ::GetFocus();
    BOOL bInTag = hFocus && (::IsChild(::GetDlgItem(m_hWnd, IDC_INFO_GENRE), hFocus) ||
                             hFocus == ::GetDlgItem(m_hWnd, IDC_INFO_GENRE));
    for (const TextField& field : kTextFields) bInTag = bInTag || hFocus == ::GetDlgItem(m_hWnd, field.nId);
    return MAKELRESULT(bInTag ? IDC_INFO_SAVE : IDCANCEL, DC_HASDEFID);
}

void CSongInfoDlg::OnSave() {
    GetDlgItemText(IDC_INFO_TITLE, m_tag.m_strTitle);
    GetDlgItemText(IDC_INFO_ARTIST, m_tag.m_strArtist);
    GetDlgItemText(IDC_INFO_ALBUM, m_tag.m_strAlbum);
    GetDlgItemText(IDC_INFO_YEAR, m_tag.m_strYear);
    GetDlgItemText(IDC_INFO_COMMENT, m_tag.m_strComment);
    m_tag.m_byGenre = SelectedGenre();
    const BOOL bSaved = m_tag.WriteTag();
    if (bSaved) ShowTagSource();
    ShowMessage(this, bSaved ? IDS_TAG_SAVED : IDS_TAG_SAVE_FAILED, MB_OK | MB_ICONINFORMATION);
}

void CSongInfoDlg::OnRemoveTag() {
    if (!m_tag.m_bHasTag) {
        ShowMessage(this, IDS_TAG_NONE, MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (ShowMessage(this, IDS_TAG_ASK_REMOVE, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
    EmptyFields();
    if (!m_tag.RemoveTag()) {
        ShowMessage(this, IDS_TAG_REMOVE_FAILED, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    ShowMessage(this, IDS_TAG_REMOVED, MB_OK | MB_ICONINFORMATION);
}

void CSongInfoDlg::EmptyFields() {
    for (const TextField& field : kTextFields) SetDlgItemText(field.nId, "");
    SendDlgItemMessage(IDC_INFO_GENRE, CB_SETCURSEL, static_cast<WPARAM>(-1));
    SetDlgItemText(IDC_INFO_GENRE, "");
}

void CSongInfoDlg::ShowDetails() {
    FillStatic(this, IDC_INFO_FILE_SIZE, RoundedKb(m_tag.m_dwFileLength));
    if (GetDlgItem(IDC_INFO_MP3_CONTROL)) m_play.SubclassDlgItem(IDC_INFO_MP3_CONTROL, this);
    // A file the control cannot open keeps the templates' texts.
    if (m_play.Open(m_strPath, "") != 0) return;
    ShowMpegDetails();
    m_play.Close();
}

void CSongInfoDlg::ShowMpegDetails() {
    FillStatic(this, IDC_INFO_MPEG_LAYER, static_cast<int>(m_play.GetVersion()), static_cast<int>(m_play.GetLayer()));
    const long nSeconds = m_play.GetLength() / kMsPerSecond;
    FillStatic(this, IDC_INFO_LENGTH, static_cast<int>(nSeconds / kSecondsPerMinute),
               static_cast<int>(nSeconds % kSecondsPerMinute));
    FillStatic(this, IDC_INFO_BITRATE, KbitPerSecond(m_play.GetBitRate()));
    FillStatic(this, IDC_INFO_FRAMES, m_play.GetFrames());
    FillStatic(this, IDC_INFO_FREQUENCY, static_cast<int>(m_play.GetFrequency()));
    if (const UINT nMode = MpegChannelModeText(m_play.GetChannelMode()))
        AppendStatic(this, IDC_INFO_CHANNELS, LoadText(nMode));
    FillStatic(this, IDC_INFO_COPYRIGHTED, YesNoText(m_play.GetCopyright()));
    FillStatic(this, IDC_INFO_ORIGINAL, YesNoText(m_play.GetOriginal()));
    FillStatic(this, IDC_INFO_CHECKSUMS, YesNoText(m_play.GetCrc()));
}
