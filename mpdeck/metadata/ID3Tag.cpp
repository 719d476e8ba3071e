#include "ID3Tag.h"

#include <cstring>

#include "SkinText.h"
#include "TelmarIds.h"

namespace {

const char kTagMarker[] = "TAG";
const int kTagMarkerChars = 3;

// A field ends at its first NUL or at its end; other programs pad with spaces.
CString FieldText(const BYTE* pTag, int nOffset, int nChars) {
    const char* pField = reinterpret_cast<const char*>(pTag + nOffset);
    const void* pNul = std::memchr(pField, '\0', nChars);
    const int nLength = pNul ? static_cast<int>(static_cast<const char*>(pNul) - pField) : nChars;
    CString strText(pField, nLength);
    strText.TrimRight();
    return strText;
}

// Never more than the field holds, whatever the text: the next field follows at once.
void PutField(BYTE* pTag, int nOffset, int nChars, const CString& strText) {
    const int nCopy = strText.GetLength() < nChars ? strText.GetLength() : nChars;
    std::memcpy(pTag + nOffset, strText.GetString(), nCopy);
}

}  // namespace

void CID3Tag::ClearTag() {
    m_strTitle.Empty();
    m_strArtist.Empty();
    m_strAlbum.Empty();
    m_strYear.Empty();
    m_strComment.Empty();
    m_byGenre = kNoGenre;
    m_bHasTag = FALSE;
}

BOOL CID3Tag::ReadTag() {
    if (m_strPath.IsEmpty()) return FALSE;
    ClearTag();

    CFile file;
    if (!file.Open(m_strPath, CFile::modeRead | CFile::shareDenyNone)) return FALSE;
    const LONGLONG llLength = file.GetLength();
    m_dwFileLength = llLength > 0 ? static_cast<DWORD>(llLength) : 0;
    // A file shorter than a tag cannot hold one.
    if (llLength < kTagSize) return FALSE;

    BYTE tag[kTagSize] = {};
    const bool bRead = file.Seek(-kTagSize, CFile::end) >= 0 && file.Read(tag, kTagSize) == kTagSize;
    file.Close();
    if (!bRead || std::memcmp(tag, kTagMarker, kTagMarkerChars) != 0) return FALSE;

    m_byGenre = tag[kTagGenreOffset];
    m_bHasTag = TRUE;
    m_strComment = FieldText(tag, kTagCommentOffset, kTagTextChars);
    m_strYear = FieldText(tag, kTagYearOffset, kTagYearChars);
    m_strAlbum = FieldText(tag, kTagAlbumOffset, kTagTextChars);
    m_strArtist = FieldText(tag, kTagArtistOffset, kTagTextChars);
    m_strTitle = FieldText(tag, kTagTitleOffset, kTagTextChars);
    return TRUE;
}

BOOL CID3Tag::WriteTag() {
    CFile file;
    if (!file.Open(m_strPath, CFile::modeWrite | CFile::shareExclusive)) {
        ShowMessage(nullptr, IDS_TAG_WRITE_OPEN_FAILED, MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }

    BYTE tag[kTagSize] = {};
    std::memcpy(tag, kTagMarker, kTagMarkerChars);
    PutField(tag, kTagTitleOffset, kTagTextChars, m_strTitle);
    PutField(tag, kTagArtistOffset, kTagTextChars, m_strArtist);
    PutField(tag, kTagAlbumOffset, kTagTextChars, m_strAlbum);
    PutField(tag, kTagYearOffset, kTagYearChars, m_strYear);
    PutField(tag, kTagCommentOffset, kTagTextChars, m_strComment);
    tag[kTagGenreOffset] = m_byGenre;

    // The old tag is overwritten in place; a file too short for one gets it appended.
    const bool bOverwrite = m_bHasTag && file.GetLength() >= kTagSize;
    const LONGLONG llAt = bOverwrite ? file.Seek(-kTagSize, CFile::end) : file.SeekToEnd();
    if (llAt < 0 || !file.Write(tag, kTagSize)) return FALSE;
    file.Close();
    m_bHasTag = TRUE;
    return TRUE;
}

BOOL CID3Tag::RemoveTag() {
    // Without a known tag the last bytes are audio.
    if (!m_bHasTag) return TRUE;
    CFile file;
    if (!file.Open(m_strPath, CFile::modeWrite | CFile::shareExclusive)) return FALSE;
    const LONGLONG llLength = file.GetLength();
    if (llLength >= kTagSize && !file.SetLength(llLength - kTagSize)) return FALSE;
    file.Close();
    m_bHasTag = FALSE;
    return TRUE;
}
