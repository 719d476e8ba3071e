#include "SheetTexts.h"

#include <string>

#include "CDDisc.h"
#include "orvcdaudio/CueSheet.h"
#include "orvcdaudio/StandInKey.h"
#include "orvcodec/Genres.h"

namespace {

// What a database value holds (its read buffer less the NUL).
constexpr int kMaxValueChars = 1023;

// UTF-8 when the bytes are valid UTF-8 (plain ASCII is both), else the code page's.
CString CodePageText(const std::string& text) {
    if (text.empty()) return CString();
    const int nBytes = static_cast<int>(text.size());
    const int nWide = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), nBytes, nullptr, 0);
    if (nWide <= 0) return CString(text.c_str());
    std::wstring wide(static_cast<size_t>(nWide), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), nBytes, &wide[0], nWide);
    const int nAnsi = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), nWide, nullptr, 0, nullptr, nullptr);
    if (nAnsi <= 0) return CString();
    std::string ansi(static_cast<size_t>(nAnsi), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, wide.data(), nWide, &ansi[0], nAnsi, nullptr, nullptr);
    return CString(ansi.c_str());
}

bool HasTexts(const orv::cd::CueSheet& sheet) {
    if (!sheet.title.empty() || !sheet.performer.empty() || !sheet.date.empty() || !sheet.genre.empty()) return true;
    for (const orv::cd::CueTrack& track : sheet.tracks)
        if (!track.title.empty()) return true;
    return false;
}

// A guest performer goes before the title when the two fit in a value.
CString TrackTitle(const orv::cd::CueTrack& track, const orv::cd::CueSheet& sheet) {
    const CString strTitle = CodePageText(track.title);
    if (track.performer.empty() || track.performer == sheet.performer) return strTitle;
    const CString strWithPerformer = CodePageText(track.performer) + " - " + strTitle;
    return strWithPerformer.GetLength() <= kMaxValueChars ? strWithPerformer : strTitle;
}

}  // namespace

BOOL TakeSheetTexts(CCDDisc& disc) {
    const std::string path = orv::cd::ReadStandInValue(orv::cd::kDiscValue);
    orv::cd::CueSheet sheet;
    std::string error;
    if (path.empty() || !orv::cd::ReadCueFile(path, sheet, error) || !HasTexts(sheet)) return FALSE;
    if (static_cast<int>(sheet.tracks.size()) != disc.m_nTrackCount ||
        disc.m_nTrackCount > static_cast<int>(disc.m_tracks.size()))
        return FALSE;
    disc.m_strAlbum = CodePageText(sheet.title);
    disc.m_strArtist = CodePageText(sheet.performer);
    disc.m_strYear = CodePageText(sheet.date);
    // Only a genre the genre table knows, by its own spelling.
    const int nGenre = GenreNumber(sheet.genre.c_str());
    disc.m_strGenre = nGenre >= 0 ? g_apszGenreNames[nGenre] : "";
    for (int i = 0; i < disc.m_nTrackCount; ++i) {
        const orv::cd::CueTrack& track = sheet.tracks[static_cast<size_t>(i)];
        if (!track.title.empty()) disc.TrackAt(i)->SetTitle(TrackTitle(track, sheet));
    }
    return TRUE;
}
