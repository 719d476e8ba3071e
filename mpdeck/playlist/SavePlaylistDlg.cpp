#include "SavePlaylistDlg.h"

#include "PlaylistModel.h"
#include "SkinText.h"
#include "TelmarIds.h"

BEGIN_MESSAGE_MAP(CSavePlaylistDlg, CDialog)
    ON_EN_CHANGE(IDC_PLAYLIST_NAME_EDIT, OnNameChange)
    ON_LBN_SELCHANGE(IDC_SAVED_PLAYLISTS, OnListSelChange)
END_MESSAGE_MAP()

CSavePlaylistDlg::CSavePlaylistDlg(CPlaylistModel& model, CWnd* pParent) : CDialog(IDD, pParent), m_model(model) {}

BOOL CSavePlaylistDlg::OnInitDialog() {
    m_listNames.SubclassDlgItem(IDC_SAVED_PLAYLISTS, this);
    m_editName.SubclassDlgItem(IDC_PLAYLIST_NAME_EDIT, this);

    const int nTotal = m_file.ReadTotal(kIndexSection, kMaxPlaylists);
    for (const CString& strName : m_file.ReadNumberedValues(kIndexSection, nTotal, kUntitled)) {
        m_listNames.AddString(strName);
    }

    const CString& strCurrent = m_model.m_strPlaylistName;
    if (!strCurrent.IsEmpty()) {
        m_editName.SetWindowText(strCurrent);
        // The list box's own search is a case-insensitive prefix match.
        m_listNames.SetCurSel(m_listNames.FindString(-1, strCurrent));
    }
    OnNameChange();
    return TRUE;
}

void CSavePlaylistDlg::OnNameChange() {
    GetDlgItem(IDOK)->EnableWindow(m_editName.GetWindowTextLength() > 0);
}

void CSavePlaylistDlg::OnListSelChange() {
    const int nSel = m_listNames.GetCurSel();
    if (nSel < 0) return;
    CString strName;
    m_listNames.GetText(nSel, strName);
    m_editName.SetWindowText(strName);
}

BOOL CSavePlaylistDlg::Ask(UINT nTextId) {
    return ShowMessage(this, nTextId, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void CSavePlaylistDlg::AddToIndex(const CString& strName) {
    const int nKey = m_listNames.GetCount() + 1;
    m_file.WriteInt(kIndexSection, kTotalKey, nKey);
    m_file.WriteNumbered(kIndexSection, nKey, strName);
}

void CSavePlaylistDlg::OnOK() {
    CString strName;
    m_editName.GetWindowText(strName);
    if (strName.IsEmpty()) return;

    const bool bFound = m_listNames.FindStringExact(-1, strName) >= 0;
    if (!bFound) {
        if (!Ask(IDS_ASK_ADD_PLAYLIST)) return;
        m_model.m_strPlaylistName = strName;
        AddToIndex(strName);
    } else if (strName != m_model.m_strPlaylistName) {
        if (!Ask(IDS_ASK_REPLACE_PLAYLIST)) return;
        m_model.m_strPlaylistName = strName;
    }
    EndDialog(IDOK);
}
