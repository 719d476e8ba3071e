#include "PlaylistModel.h"

#include <cstdlib>
#include <ctime>
#include <utility>

#include "SkinApp.h"
#include "SkinText.h"
#include "TelmarIds.h"

namespace {

// A saved value is "<path>,<type word>".
constexpr int kTypeWordLength = 4;
constexpr int kTypeSuffixLength = 5;

BYTE TypeFromWord(const CString& strWord) {
    if (strWord == "MPEG") return SONG_MPEG;
    if (strWord == "WAVE") return SONG_WAVE;
    return SONG_UNKNOWN;
}

void ShowIncomplete() {
    ShowMessage(nullptr, IDS_PLAYLIST_INCOMPLETE, MB_OK | MB_ICONEXCLAMATION);
}

// rand gives only 15 bits; two draws cover every index the order can hold.
unsigned WideRand() {
    return (static_cast<unsigned>(std::rand()) << 15) | static_cast<unsigned>(std::rand());
}

}  // namespace

// A damaged count then costs nothing, and missing keys read as skipped entries anyway.
int CPlaylistModel::ExistingCount(const CPlaylistFile& file) const {
    const int nTotal = file.ReadTotal(m_strPlaylistName, kMaxSongs);
    if (nTotal == 0) return 0;
    const int nHighest = file.HighestNumberedKey(m_strPlaylistName);
    return nHighest < nTotal ? nHighest : nTotal;
}

void CPlaylistModel::LoadPlaylist() {
    m_songList.RemoveAll();
    // The file's name comes from the program's, which is known only once it runs.
    const CPlaylistFile file;
    const int nTotal = ExistingCount(file);
    m_nPlayMode = file.ReadInt(m_strPlaylistName, kPlayModeKey, kPlainPlayMode);

    BOOL bDropped = FALSE;
    for (const CString& strValue : file.ReadNumberedValues(m_strPlaylistName, nTotal, kUntitled)) {
        if (strValue == kUntitled) continue;
        if (!AddLoadedEntry(strValue, bDropped)) return;
    }
    if (bDropped) ShowIncomplete();
}

BOOL CPlaylistModel::AddLoadedEntry(const CString& strValue, BOOL& bDropped) {
    const CString strPath = strValue.Left(strValue.GetLength() - kTypeSuffixLength);
    const BYTE nType = TypeFromWord(strValue.Right(kTypeWordLength));
    if (!CSkinApp::FileExists(strPath)) {
        switch (ShowMessage(nullptr, IDS_ASK_DROP_MISSING_SONG, MB_YESNOCANCEL | MB_ICONQUESTION, strPath)) {
        case IDYES:
            bDropped = TRUE;
            return TRUE;
        case IDNO:
            break;
        default:
            ShowIncomplete();
            return FALSE;
        }
    }
    m_songList.AddTail(new CSongEntry(strPath, nType));
    return TRUE;
}

void CPlaylistModel::SavePlaylist(int nPlayMode) {
    const CPlaylistFile file;
    const int nOld = ExistingCount(file);
    const int nCount = m_songList.GetCount();
    for (int i = nCount + 1; i <= nOld; ++i) file.DeleteNumbered(m_strPlaylistName, i);

    file.WriteInt(m_strPlaylistName, kTotalKey, nCount);
    for (int i = 0; i < nCount; ++i) {
        const CSongEntry* pEntry = m_songList.GetAt(i);
        const CString strValue = pEntry->m_strPath + "," + (pEntry->m_nType == SONG_MPEG ? "MPEG" : "WAVE");
        file.WriteNumbered(m_strPlaylistName, i + 1, strValue);
    }
    file.WriteInt(m_strPlaylistName, kPlayModeKey, nPlayMode);
    m_nPlayMode = nPlayMode;
    m_bPlaylistModified = 0;
}

void CPlaylistModel::BuildShuffleOrder() {
    // Passes started within one clock tick still get different seeds.
    static unsigned s_nPasses = 0;
    ++s_nPasses;
    std::srand(static_cast<unsigned>(std::clock()) + s_nPasses * 7919u);

    // Rejection draws of rand never finish beyond 32768 entries and cost N^2; a
    // Fisher-Yates pass gives the same kind of permutation in one sweep.
    const int nCount = m_songList.GetCount() < kMaxSongs ? m_songList.GetCount() : kMaxSongs;
    m_shuffleOrder.clear();
    m_shuffleOrder.resize(static_cast<size_t>(nCount));
    for (int i = 0; i < nCount; ++i) m_shuffleOrder[static_cast<size_t>(i)] = static_cast<WORD>(i);
    for (int i = nCount - 1; i > 0; --i) {
        const unsigned j = WideRand() % static_cast<unsigned>(i + 1);
        std::swap(m_shuffleOrder[static_cast<size_t>(i)], m_shuffleOrder[j]);
    }
}

void CPlaylistModel::LoadSingleFile(LPCSTR lpszPath) {
    const CString strPath(lpszPath);
    if (strPath.IsEmpty() || m_songList.GetCount() >= kMaxSongs) return;
    CString strExt = strPath.Right(kTypeWordLength);
    strExt.MakeLower();

    BYTE nType = SONG_UNKNOWN;
    if (LoadText(IDS_MP3_PATTERNS).Find(strExt) >= 0) {
        nType = SONG_MPEG;
    } else if (LoadText(IDS_WAVE_PATTERN).Find(strExt) >= 0) {
        nType = SONG_WAVE;
    }
    m_songList.AddTail(new CSongEntry(strPath, nType));
    m_nPlayMode = kPlainPlayMode;
}
