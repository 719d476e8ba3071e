// CCDDisc: the audio CD in the drive. The device fills the track table; the album
// data, titles, selection and play mode come from the disc's section of the CD
// database, keyed by the disc identifier, and the pages edit and save them.
#pragma once

#include "fw/Framework.h"

#include <cstdint>
#include <vector>

#include "CDTrack.h"

// The CD database in the Windows directory: the program's name with ".ini".
constexpr char kCdDatabaseFile[] = "cddeck.ini";

// Play mode bits; 1 is neither. The playlist page writes 5 for shuffle without loop.
constexpr int kCdModePlain = 1;
constexpr int kCdModeLoop = 2;
constexpr int kCdModeShuffle = 4;

class CCDDisc {
public:
    explicit CCDDisc(LPCSTR lpszDatabaseFile = kCdDatabaseFile) : m_strDatabaseFile(lpszDatabaseFile) {}
    virtual ~CCDDisc();
    CCDDisc(const CCDDisc&) = delete;
    CCDDisc& operator=(const CCDDisc&) = delete;

    // Fills the model from the disc in the drive (through the open MCI device), then
    // from the database. FALSE with no disc or when the device fails; the model then
    // holds the tracks read so far and no identifier.
    BOOL Read(UINT nDeviceId);
    // Does nothing for a disc without an identifier: all such discs would share one
    // section.
    void LoadFromDatabase();
    void SaveToDatabase() const;

    BOOL IsSelected(int nTrack) const;
    // Zero-based; callers pass 0..N-1.
    CCDTrack* TrackAt(int nIndex) const { return m_tracks[static_cast<size_t>(nIndex)]; }
    // Leaves the device in MSF; the identifier stays as it was when a query fails.
    void ComputeIdentifier(UINT nDeviceId);
    void Shuffle();
    // marks: one byte per track, 1 = chosen; the selection becomes them in track order.
    void SetSelectionFromMarks(const std::vector<BYTE>& marks);

    CString m_strIdentifier;
    CString m_strAlbum;
    CString m_strArtist;
    CString m_strYear;
    CString m_strGenre;
    CString m_strComment;        // lines separated by "\r\n"
    int m_nTrackCount = 0;
    int m_nTotalTime = 0;        // whole seconds of every track
    int m_nMode = kCdModePlain;
    std::vector<CCDTrack*> m_tracks;  // owned; index i is track i + 1
    std::vector<BYTE> m_selection;    // track numbers in play order
    std::vector<BYTE> m_shuffled;     // empty or a permutation of the selection

private:
    void Clear();
    void LoadComment();

    CString m_strDatabaseFile;
};
