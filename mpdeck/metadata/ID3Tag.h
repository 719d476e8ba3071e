// CID3Tag: the ID3v1 tag in the last 128 bytes of an MP3 file. A file without one
// shows the texts of its ID3v2 tag instead; writing always writes ID3v1.
#pragma once

#include "fw/Framework.h"

#include "Genres.h"

// Layout of the tag on disk; offsets from its first byte.
const int kTagSize = 128;
const int kTagTitleOffset = 3;
const int kTagArtistOffset = 33;
const int kTagAlbumOffset = 63;
const int kTagYearOffset = 93;
const int kTagCommentOffset = 97;
const int kTagGenreOffset = 127;
const int kTagTextChars = 30;  // title, artist, album, comment
const int kTagYearChars = 4;

// Where the texts of the last read come from.
enum TagSource : BYTE {
    TAG_SOURCE_NONE = 0,
    TAG_SOURCE_ID3V1 = 1,
    TAG_SOURCE_ID3V2 = 2,
};

class CID3Tag {
public:
    CID3Tag() { ClearTag(); }
    virtual ~CID3Tag() = default;

    // Empty texts, no genre, no tag; the path stays.
    void ClearTag();
    // TRUE when the file named by m_strPath ends with a tag. Without one, the texts
    // and genre of an ID3v2 tag at the file's start are taken (m_nSource tells),
    // and the result and m_bHasTag stay FALSE: there is no ID3v1 tag to cut.
    BOOL ReadTag();
    // Overwrites the file's tag, or appends one; shows a message when the file
    // cannot be opened for writing.
    BOOL WriteTag();
    // Cuts the tag read or written last off the end of the file; FALSE when the file
    // cannot be opened for writing without sharing. Without a tag nothing is cut, and
    // a file that has become shorter than a tag is left whole.
    BOOL RemoveTag();

    CString GetTitle() const { return m_strTitle; }
    CString GetArtist() const { return m_strArtist; }
    CString GetAlbum() const { return m_strAlbum; }
    CString GetYear() const { return m_strYear; }
    CString GetComment() const { return m_strComment; }
    CString GetPath() const { return m_strPath; }

    BOOL m_bHasTag = FALSE;
    DWORD m_dwFileLength = 0;  // at the last read
    CString m_strPath;
    CString m_strTitle;
    CString m_strArtist;
    CString m_strAlbum;
    CString m_strYear;
    CString m_strComment;
    BYTE m_byGenre = kNoGenre;
    BYTE m_nSource = TAG_SOURCE_NONE;
    int m_nId3v2Version = 0;  // 2, 3 or 4 when m_nSource is TAG_SOURCE_ID3V2

private:
    void ReadId3v2(CFile& file);
};

// The genre number an ID3v2 genre text names: "(17)", "17", "(17)Rock" or "Rock";
// kNoGenre for anything else.
BYTE GenreFromId3v2(const CString& strGenre);
