#include "ListFile.h"

#include <string>

#include "ListText.h"

namespace {

// A list larger than this is no playlist.
constexpr LONGLONG kMaxListBytes = 16 * 1024 * 1024;

std::string Convert(const std::string& text, UINT nFrom, UINT nTo) {
    if (text.empty()) return text;
    const int nWide = ::MultiByteToWideChar(nFrom, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (nWide <= 0) return std::string();
    std::wstring wide(static_cast<size_t>(nWide), L'\0');
    ::MultiByteToWideChar(nFrom, 0, text.data(), static_cast<int>(text.size()), &wide[0], nWide);
    const DWORD dwFlags = nTo == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    const int nBytes = ::WideCharToMultiByte(nTo, dwFlags, wide.data(), nWide, nullptr, 0, nullptr, nullptr);
    if (nBytes <= 0) return std::string();
    std::string out(static_cast<size_t>(nBytes), '\0');
    ::WideCharToMultiByte(nTo, dwFlags, wide.data(), nWide, &out[0], nBytes, nullptr, nullptr);
    return out;
}

bool IsExistingFile(const CString& strPath) {
    const DWORD dwAttributes = ::GetFileAttributesA(strPath);
    return dwAttributes != INVALID_FILE_ATTRIBUTES && !(dwAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

BOOL IsListFile(LPCSTR lpszPath) {
    return listtext::FormatOfPath(lpszPath) != listtext::ListFormat::None;
}

BOOL ReadListFile(LPCSTR lpszPath, std::vector<ListSong>& songs, int& nMissing) {
    songs.clear();
    nMissing = 0;
    CFile file;
    if (!file.Open(lpszPath, CFile::modeRead | CFile::shareDenyWrite)) return FALSE;
    const LONGLONG llLength = file.GetLength();
    if (llLength < 0 || llLength > kMaxListBytes) return FALSE;
    std::string text(static_cast<size_t>(llLength), '\0');
    if (llLength > 0 && file.Read(&text[0], static_cast<UINT>(llLength)) != static_cast<UINT>(llLength)) return FALSE;
    file.Close();

    // M3U8 is UTF-8 by definition; other lists are too when they say so with a mark.
    const listtext::ListFormat format = listtext::FormatOfPath(lpszPath);
    if (format == listtext::ListFormat::M3u8 || text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        text = Convert(text, CP_UTF8, CP_ACP);
    for (const listtext::ListEntry& entry : listtext::ReadList(text, format, listtext::FolderOf(lpszPath))) {
        ListSong song;
        song.strPath = entry.path.c_str();
        song.strTitle = entry.title.c_str();
        song.nSeconds = entry.seconds;
        if (IsExistingFile(song.strPath))
            songs.push_back(song);
        else
            ++nMissing;
    }
    return TRUE;
}

BOOL WriteM3u8File(LPCSTR lpszPath, const std::vector<ListSong>& songs) {
    std::vector<listtext::ListEntry> entries;
    for (const ListSong& song : songs) {
        listtext::ListEntry entry;
        entry.path = Convert(song.strPath.GetString(), CP_ACP, CP_UTF8);
        entry.title = Convert(song.strTitle.GetString(), CP_ACP, CP_UTF8);
        entry.seconds = song.nSeconds;
        entries.push_back(entry);
    }
    const std::string text = listtext::WriteM3u(entries, Convert(listtext::FolderOf(lpszPath), CP_ACP, CP_UTF8));

    // A new file of our own beside the target, renamed over it once complete.
    CString strFolder = listtext::FolderOf(lpszPath).c_str();
    if (strFolder.IsEmpty()) strFolder = ".";
    char szPart[MAX_PATH] = {};
    if (!::GetTempFileNameA(strFolder, "orv", 0, szPart)) return FALSE;
    const CString strPart = szPart;
    CFile file;
    if (!file.Open(strPart, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive)) {
        ::DeleteFileA(strPart);
        return FALSE;
    }
    const BOOL bWritten = file.Write(text.data(), static_cast<UINT>(text.size()));
    file.Close();
    if (!bWritten || !::MoveFileExA(strPart, lpszPath, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ::DeleteFileA(strPart);
        return FALSE;
    }
    return TRUE;
}
