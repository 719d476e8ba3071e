#include "SavePlaylistDlg.h"

#include "PlaylistModel.h"
#include "SkinApp.h"
#include "TelmarIds.h"

BEGIN_MESSAGE_MAP(CSavePlaylistDlg, CDialog)
    ON_EN_CHANGE(IDC_PLAYLIST_NAME_EDIT, OnNameChange)
    ON_LBN_SELCHANGE(IDC_SAVED_PLAYLISTS, OnListSelChange)
END_MESSAGE_MAP()

CSavePlaylistDlg::CSavePlaylistDlg(CWnd* pParent) : CDialog(IDD, pParent) {}

BOOL CSavePlaylistDlg::OnInitDialog() {
    m_listNames.SubclassDlgItem(IDC_SAVED_PLAYLISTS, this);
    m_editName.SubclassDlgItem(IDC_PLAYLIST_NAME_EDIT, this);

    const int nTotal = CPlaylistFile::ReadCount(kIndexSection, kMaxPlaylists);
    for (int i = 1; i <= nTotal; ++i) m_listNames.AddString(CPlaylistFile::ReadNumbered(kIndexSection, i, kUntitled));

    const CString& strCurrent = GetPlaylistModel()->m_strPlaylistName;
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
    CString strText;
    GetSkinApp()->LoadResString(strText, nTextId);
    return AfxMessageBox(strText, MB_YESNO | MB_ICONQUESTION, this) == IDYES;
}

void CSavePlaylistDlg::AddToIndex(const CString& strName) {
    const int nKey = m_listNames.GetCount() + 1;
    CPlaylistFile::WriteInt(kIndexSection, kTotalKey, nKey);
    CPlaylistFile::WriteNumbered(kIndexSection, nKey, strName);
}

void CSavePlaylistDlg::OnOK() {
    CString strName;
    m_editName.GetWindowText(strName);
    if (strName.IsEmpty()) return;

    CPlaylistModel* pModel = GetPlaylistModel();
    const bool bFound = m_listNames.FindStringExact(-1, strName) >= 0;
    if (!bFound) {
        if (!Ask(IDS_ASK_ADD_PLAYLIST)) return;
        pModel->m_strPlaylistName = strName;
        AddToIndex(strName);
    } else if (strName != pModel->m_strPlaylistName) {
        if (!Ask(IDS_ASK_REPLACE_PLAYLIST)) return;
        pModel->m_strPlaylistName = strName;
    }
    EndDialog(IDOK);
}
