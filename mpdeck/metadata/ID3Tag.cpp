#include "ID3Tag.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "SkinText.h"
#include "orvcodec/Id3v2Tag.h"
#include "orvcodec/TagWriter.h"
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

constexpr int kId3v2HeaderBytes = 10;
// Texts lie near the tag's start; a picture of many megabytes after them need not
// be read, and a damaged size must not make the program read a whole file.
constexpr DWORD kId3v2ReadLimit = 1024 * 1024;
constexpr long kHighestGenre = 255;

// The program's code page shows what it can; the rest becomes '?'. Line breaks
// and other control characters become blanks on a one-line display.
CString AnsiText(const std::u16string& text) {
    if (text.empty()) return CString();
    std::wstring wide(text.begin(), text.end());
    for (wchar_t& ch : wide)
        if (ch < L' ') ch = L' ';
    const int nWide = static_cast<int>(wide.size());
    const int nBytes = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(), nWide, nullptr, 0, nullptr,
                                             nullptr);
    if (nBytes <= 0) return CString();
    std::string ansi(static_cast<size_t>(nBytes), '\0');
    ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(), nWide, &ansi[0], nBytes, nullptr, nullptr);
    CString strText(ansi.c_str());
    strText.TrimRight();
    return strText;
}

}  // namespace

BYTE GenreFromId3v2(const CString& strGenre) {
    CString strText = strGenre;
    strText.TrimLeft();
    strText.TrimRight();
    if (strText.IsEmpty()) return kNoGenre;
    // A number, in parentheses or bare, names the ID3v1 genre.
    const char* pszDigits = strText.GetString() + (strText[0] == '(' ? 1 : 0);
    char* pszEnd = nullptr;
    const long nGenre = std::strtol(pszDigits, &pszEnd, 10);
    const bool bNumber = pszEnd != pszDigits && (strText[0] == '(' ? *pszEnd == ')' : *pszEnd == '\0');
    if (bNumber) return nGenre >= 0 && nGenre <= kHighestGenre ? static_cast<BYTE>(nGenre) : kNoGenre;
    for (int nIndex = 0; nIndex < kGenreCount; ++nIndex)
        if (strText.CompareNoCase(g_apszGenreNames[nIndex]) == 0) return static_cast<BYTE>(nIndex);
    return kNoGenre;
}

void CID3Tag::ClearTag() {
    m_strTitle.Empty();
    m_strArtist.Empty();
    m_strAlbum.Empty();
    m_strYear.Empty();
    m_strComment.Empty();
    m_byGenre = kNoGenre;
    m_bHasTag = FALSE;
    m_nSource = TAG_SOURCE_NONE;
    m_nId3v2Version = 0;
}

BOOL CID3Tag::ReadTag() {
    if (m_strPath.IsEmpty()) return FALSE;
    ClearTag();

    CFile file;
    if (!file.Open(m_strPath, CFile::modeRead | CFile::shareDenyNone)) return FALSE;
    const LONGLONG llLength = file.GetLength();
    m_dwFileLength = llLength > 0 ? static_cast<DWORD>(llLength) : 0;
    BYTE tag[kTagSize] = {};
    // A file shorter than a tag cannot hold one.
    const bool bRead = llLength >= kTagSize && file.Seek(-kTagSize, CFile::end) >= 0 &&
                       file.Read(tag, kTagSize) == kTagSize;
    if (!bRead || std::memcmp(tag, kTagMarker, kTagMarkerChars) != 0) {
        ReadId3v2(file);
        return FALSE;
    }
    file.Close();

    m_byGenre = tag[kTagGenreOffset];
    m_bHasTag = TRUE;
    m_strComment = FieldText(tag, kTagCommentOffset, kTagTextChars);
    m_strYear = FieldText(tag, kTagYearOffset, kTagYearChars);
    m_strAlbum = FieldText(tag, kTagAlbumOffset, kTagTextChars);
    m_strArtist = FieldText(tag, kTagArtistOffset, kTagTextChars);
    m_strTitle = FieldText(tag, kTagTitleOffset, kTagTextChars);
    m_nSource = TAG_SOURCE_ID3V1;
    return TRUE;
}

void CID3Tag::ReadId3v2(CFile& file) {
    BYTE header[kId3v2HeaderBytes] = {};
    if (file.Seek(0, CFile::begin) != 0 || file.Read(header, kId3v2HeaderBytes) != kId3v2HeaderBytes) return;
    orv::codec::Id3v2Tag tag;
    if (!orv::codec::ReadId3v2Tag(header, kId3v2HeaderBytes, tag)) return;
    const DWORD dwWanted = static_cast<DWORD>(tag.tagBytes < kId3v2ReadLimit ? tag.tagBytes : kId3v2ReadLimit);
    std::vector<BYTE> bytes(dwWanted);
    std::memcpy(bytes.data(), header, kId3v2HeaderBytes);
    const UINT nBody = file.Read(bytes.data() + kId3v2HeaderBytes, dwWanted - kId3v2HeaderBytes);
    if (!orv::codec::ReadId3v2Tag(bytes.data(), kId3v2HeaderBytes + nBody, tag) || !tag.HasText()) return;
    m_strTitle = AnsiText(tag.title);
    m_strArtist = AnsiText(tag.artist);
    m_strAlbum = AnsiText(tag.album);
    m_strYear = AnsiText(tag.year);
    m_strComment = AnsiText(tag.comment);
    m_byGenre = GenreFromId3v2(AnsiText(tag.genre));
    m_nSource = TAG_SOURCE_ID3V2;
    m_nId3v2Version = tag.version;
}

BOOL CID3Tag::WriteTag() {
    CFile file;
    if (!file.Open(m_strPath, CFile::modeWrite | CFile::shareExclusive)) {
        ShowMessage(nullptr, IDS_TAG_WRITE_OPEN_FAILED, MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }

    orv::codec::Id3v1Texts texts;
    texts.title = m_strTitle.GetString();
    texts.artist = m_strArtist.GetString();
    texts.album = m_strAlbum.GetString();
    texts.year = m_strYear.GetString();
    texts.comment = m_strComment.GetString();
    texts.genre = m_byGenre;
    const auto tag = orv::codec::MakeId3v1Tag(texts);

    // The old tag is overwritten in place; a file too short for one gets it appended.
    const bool bOverwrite = m_bHasTag && file.GetLength() >= kTagSize;
    const LONGLONG llAt = bOverwrite ? file.Seek(-kTagSize, CFile::end) : file.SeekToEnd();
    if (llAt < 0 || !file.Write(tag.data(), kTagSize)) return FALSE;
    file.Close();
    m_bHasTag = TRUE;
    m_nSource = TAG_SOURCE_ID3V1;
    m_nId3v2Version = 0;
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
