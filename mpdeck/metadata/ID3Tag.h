// CID3Tag: the ID3v1 tag in the last 128 bytes of an MP3 file.
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

class CID3Tag {
public:
    CID3Tag() { ClearTag(); }
    virtual ~CID3Tag() = default;

    // Empty texts, no genre, no tag; the path stays.
    void ClearTag();
    // TRUE when the file named by m_strPath ends with a tag.
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
};
