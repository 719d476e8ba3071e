#include "RipTags.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "CDDisc.h"
#include "ctlkit/StagedFile.h"
#include "orvcodec/Genres.h"
#include "orvcodec/TagWriter.h"

namespace {

constexpr size_t kCopyChunk = 1 << 20;

using FilePtr = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

// The database holds text in the program's code page; the ID3v2 tag takes it whole.
std::u16string Utf16(const CString& strText) {
    if (strText.IsEmpty()) return {};
    const int nChars = ::MultiByteToWideChar(CP_ACP, 0, strText.GetString(), strText.GetLength(), nullptr, 0);
    if (nChars <= 0) return {};
    std::wstring wide(static_cast<size_t>(nChars), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, strText.GetString(), strText.GetLength(), &wide[0], nChars);
    return std::u16string(wide.begin(), wide.end());
}

std::string Bytes(const CString& strText) {
    return std::string(strText.GetString(), static_cast<size_t>(strText.GetLength()));
}

bool WriteAll(std::FILE* pFile, const void* pData, size_t nBytes) {
    return std::fwrite(pData, 1, nBytes, pFile) == nBytes;
}

bool CopyAudio(std::FILE* pFrom, std::FILE* pTo) {
    std::vector<char> buffer(kCopyChunk);
    for (;;) {
        const size_t nRead = std::fread(buffer.data(), 1, buffer.size(), pFrom);
        if (nRead > 0 && !WriteAll(pTo, buffer.data(), nRead)) return false;
        if (nRead < buffer.size()) return std::ferror(pFrom) == 0;
    }
}

bool WriteTagged(const std::string& source, const std::string& target, const std::vector<uint8_t>& front,
                 const std::array<uint8_t, orv::codec::kId3v1Bytes>& back) {
    FilePtr pFrom(std::fopen(source.c_str(), "rb"), std::fclose);
    if (!pFrom) return false;
    std::FILE* pTo = std::fopen(target.c_str(), "wb");
    if (!pTo) return false;
    const bool bWritten = WriteAll(pTo, front.data(), front.size()) && CopyAudio(pFrom.get(), pTo) &&
                          WriteAll(pTo, back.data(), back.size());
    return std::fclose(pTo) == 0 && bWritten;
}

}  // namespace

BOOL TagRippedMp3(const CString& strPath, const CCDDisc& disc, int nTrack, const CString& strTitle) {
    CString strTrack;
    strTrack.Format("%d/%d", nTrack, disc.m_nTrackCount);
    const orv::codec::Id3v2Texts v2{Utf16(strTitle), Utf16(disc.m_strArtist), Utf16(disc.m_strAlbum),
                                    Utf16(disc.m_strYear), Utf16(disc.m_strGenre), Utf16(strTrack)};
    orv::codec::Id3v1Texts v1;
    v1.title = Bytes(strTitle);
    v1.artist = Bytes(disc.m_strArtist);
    v1.album = Bytes(disc.m_strAlbum);
    v1.year = Bytes(disc.m_strYear);
    const int nGenre = GenreNumber(disc.m_strGenre.GetString());
    v1.genre = nGenre >= 0 ? static_cast<uint8_t>(nGenre) : kNoGenre;
    v1.track = nTrack;

    const std::string path = Bytes(strPath);
    ctlkit::CStagedFile staged;
    if (!staged.Begin(path)) return FALSE;
    if (!WriteTagged(path, staged.TempPath(), orv::codec::MakeId3v2Tag(v2), orv::codec::MakeId3v1Tag(v1))) {
        staged.Discard();
        return FALSE;
    }
    return staged.Commit() ? TRUE : FALSE;
}
