#include "CDDisc.h"

#include <windows.h>
#include <mmsystem.h>

#include <cstdlib>
#include <ctime>

#include "DiscRules.h"
#include "IniFile.h"
#include "SheetTexts.h"

namespace {

// A key no one writes, to tell a missing comment line from an empty one.
constexpr char kMissingValue[] = "\x01";
constexpr int kNoSelectionKey = -1;

// The status value, FALSE when the command fails.
BOOL QueryStatus(UINT nDeviceId, DWORD dwFlags, DWORD dwItem, DWORD dwTrack, DWORD& dwValue) {
    MCI_STATUS_PARMS status = {};
    status.dwItem = dwItem;
    status.dwTrack = dwTrack;
    if (mciSendCommandA(static_cast<MCIDEVICEID>(nDeviceId & 0xFFFF), MCI_STATUS, dwFlags, reinterpret_cast<DWORD_PTR>(&status)))
        return FALSE;
    dwValue = static_cast<DWORD>(status.dwReturn);
    return TRUE;
}

BOOL SetTimeFormat(UINT nDeviceId, DWORD dwFormat) {
    MCI_SET_PARMS set = {};
    set.dwTimeFormat = dwFormat;
    return mciSendCommandA(static_cast<MCIDEVICEID>(nDeviceId & 0xFFFF), MCI_SET, MCI_SET_TIME_FORMAT,
                           reinterpret_cast<DWORD_PTR>(&set)) == 0;
}

cddisc::MsfTime Unpack(DWORD dwValue) {
    return {static_cast<int>(dwValue & 0xFF), static_cast<int>((dwValue >> 8) & 0xFF), static_cast<int>((dwValue >> 16) & 0xFF)};
}

CString TrackKey(int nTrack) {
    return CIniFile::NumberText(nTrack);
}

}  // namespace

CCDDisc::~CCDDisc() {
    Clear();
}

void CCDDisc::Clear() {
    for (CCDTrack* pTrack : m_tracks) delete pTrack;
    m_tracks.clear();
    m_nTrackCount = 0;
    m_nTotalTime = 0;
    m_nMode = kCdModePlain;
    m_strArtist.Empty();
    m_strComment.Empty();
    m_strIdentifier.Empty();
    m_strAlbum.Empty();
    m_strYear.Empty();
    m_strGenre.Empty();
    m_selection.clear();
    m_shuffled.clear();
}

BOOL CCDDisc::Read(UINT nDeviceId) {
    Clear();
    DWORD dwValue = 0;
    if (!QueryStatus(nDeviceId, MCI_STATUS_ITEM | MCI_WAIT, MCI_STATUS_MEDIA_PRESENT, 0, dwValue) || !dwValue) return FALSE;
    DWORD dwTracks = 0;
    if (!QueryStatus(nDeviceId, MCI_STATUS_ITEM, MCI_STATUS_NUMBER_OF_TRACKS, 0, dwTracks)) return FALSE;

    // Records, selection and count grow together, so a read cut short leaves them
    // agreeing with each other.
    const int nTracks = static_cast<int>(dwTracks > cddisc::kMaxTracks ? cddisc::kMaxTracks : dwTracks);
    for (int nTrack = 1; nTrack <= nTracks; ++nTrack) {
        CString strTitle;
        strTitle.Format("Track%.2d", nTrack);
        SetTimeFormat(nDeviceId, MCI_FORMAT_TMSF);
        DWORD dwLength = 0;
        if (!QueryStatus(nDeviceId, MCI_STATUS_ITEM | MCI_TRACK, MCI_STATUS_LENGTH, static_cast<DWORD>(nTrack), dwLength))
            return FALSE;
        const cddisc::MsfTime length = Unpack(dwLength);
        auto* pTrack = new CCDTrack(nTrack, strTitle);
        pTrack->SetLength(length.minutes, length.seconds, length.frames);
        m_tracks.push_back(pTrack);
        m_selection.push_back(static_cast<BYTE>(nTrack));
        m_nTrackCount = nTrack;
        m_nTotalTime += pTrack->GetLengthInSeconds();
    }
    ComputeIdentifier(nDeviceId);
    LoadFromDatabase();
    return TRUE;
}

void CCDDisc::ComputeIdentifier(UINT nDeviceId) {
    if (!SetTimeFormat(nDeviceId, MCI_FORMAT_MSF)) return;
    DWORD dwTracks = 0;
    if (!QueryStatus(nDeviceId, MCI_STATUS_ITEM, MCI_STATUS_NUMBER_OF_TRACKS, 0, dwTracks)) return;
    if (dwTracks < 1 || dwTracks > cddisc::kMaxTracks) return;

    std::vector<cddisc::MsfTime> starts;
    for (DWORD dwTrack = 1; dwTrack <= dwTracks; ++dwTrack) {
        DWORD dwStart = 0;
        if (!QueryStatus(nDeviceId, MCI_STATUS_ITEM | MCI_TRACK, MCI_STATUS_POSITION, dwTrack, dwStart)) return;
        starts.push_back(Unpack(dwStart));
    }
    DWORD dwLength = 0;
    if (!QueryStatus(nDeviceId, MCI_STATUS_ITEM | MCI_TRACK, MCI_STATUS_LENGTH, dwTracks, dwLength)) return;
    m_strIdentifier = cddisc::FormatDiscId(cddisc::CddbDiscId(starts, Unpack(dwLength))).c_str();
}

void CCDDisc::LoadFromDatabase() {
    if (m_strIdentifier.IsEmpty()) return;
    const CIniFile file(m_strDatabaseFile);
    const CString& strSection = m_strIdentifier;
    // A disc new to the database starts its record from its sheet's texts; from then
    // on the record is the user's and the sheet is not read again.
    if (!file.HasSection(strSection)) {
        if (TakeSheetTexts(*this)) SaveToDatabase();
        return;
    }
    m_strAlbum = file.ReadString(strSection, "Album", "");
    m_strArtist = file.ReadString(strSection, "Artist", "");
    m_strYear = file.ReadString(strSection, "Year", "");
    m_strGenre = file.ReadString(strSection, "Genre", "");
    LoadComment();

    for (int nTrack = 1; nTrack <= m_nTrackCount; ++nTrack) {
        const CString strTitle = file.ReadString(strSection, TrackKey(nTrack), "");
        if (!strTitle.IsEmpty()) TrackAt(nTrack - 1)->SetTitle(strTitle);
    }

    const int nSelect = file.ReadInt(strSection, "NumSelect", kNoSelectionKey);
    if (nSelect >= 0) {
        const CString strSelection = file.ReadString(strSection, "Selection", "");
        const std::vector<uint8_t> selection = cddisc::ParseSelection(strSelection.Str(), nSelect, m_nTrackCount);
        m_selection.assign(selection.begin(), selection.end());
        m_shuffled.clear();
    }
    m_nMode = file.ReadInt(strSection, "Mode", kCdModePlain);
}

void CCDDisc::LoadComment() {
    const CIniFile file(m_strDatabaseFile);
    const int nLines = file.ReadInt(m_strIdentifier, "NumComment", 0);
    m_strComment.Empty();
    for (int nLine = 1; nLine <= nLines; ++nLine) {
        CString strKey;
        strKey.Format("Comment%d", nLine);
        const CString strValue = file.ReadString(m_strIdentifier, strKey, kMissingValue);
        // A count larger than the lines there ends with them.
        if (strValue == kMissingValue) break;
        if (nLine > 1) m_strComment += "\r\n";
        m_strComment += cddisc::StoredCommentLine(strValue.Str()).c_str();
    }
}

void CCDDisc::SaveToDatabase() const {
    if (m_strIdentifier.IsEmpty()) return;
    const CIniFile file(m_strDatabaseFile);
    const CString& strSection = m_strIdentifier;
    file.WriteString(strSection, "Album", m_strAlbum);
    file.WriteString(strSection, "Artist", m_strArtist);
    file.WriteString(strSection, "Year", m_strYear);
    file.WriteString(strSection, "Genre", m_strGenre);

    const std::vector<std::string> lines = cddisc::SplitComment(m_strComment.Str());
    for (size_t i = 0; i < lines.size(); ++i) {
        CString strKey;
        strKey.Format("Comment%d", static_cast<int>(i + 1));
        file.WriteString(strSection, strKey, lines[i].c_str());
    }
    file.WriteInt(strSection, "NumComment", static_cast<int>(lines.size()));
    file.WriteInt(strSection, "NumTracks", m_nTrackCount);
    for (int nTrack = 1; nTrack <= m_nTrackCount; ++nTrack)
        file.WriteString(strSection, TrackKey(nTrack), TrackAt(nTrack - 1)->GetTitle());
    file.WriteInt(strSection, "NumSelect", static_cast<int>(m_selection.size()));
    const std::vector<uint8_t> selection(m_selection.begin(), m_selection.end());
    file.WriteString(strSection, "Selection", cddisc::FormatSelection(selection).c_str());
    file.WriteInt(strSection, "Mode", m_nMode);
}

BOOL CCDDisc::IsSelected(int nTrack) const {
    for (BYTE nEntry : m_selection)
        if (nEntry == nTrack) return TRUE;
    return FALSE;
}

void CCDDisc::Shuffle() {
    m_shuffled.clear();
    if (m_selection.empty()) return;
    std::srand(static_cast<unsigned>(std::clock()));
    const std::vector<uint8_t> selection(m_selection.begin(), m_selection.end());
    const std::vector<uint8_t> shuffled = cddisc::ShuffledSelection(selection);
    m_shuffled.assign(shuffled.begin(), shuffled.end());
}

void CCDDisc::SetSelectionFromMarks(const std::vector<BYTE>& marks) {
    m_selection.clear();
    for (size_t i = 0; i < marks.size() && i < cddisc::kMaxTracks; ++i)
        if (marks[i] == 1) m_selection.push_back(static_cast<BYTE>(i + 1));
}
