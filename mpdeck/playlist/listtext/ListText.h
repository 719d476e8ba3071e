// M3U, M3U8 and PLS playlists as other programs write them: reading their entries
// and writing ours. Portable: paths are Windows paths held as byte strings, and the
// caller converts texts between UTF-8 (M3U8) and its code page.
#pragma once

#include <string>
#include <vector>

namespace listtext {

enum class ListFormat { None, M3u, M3u8, Pls };

struct ListEntry {
    std::string path;   // absolute, with backslashes
    std::string title;  // from #EXTINF or TitleN; empty when the list gives none
    long seconds = -1;  // from #EXTINF or LengthN; -1 when unknown
};

// By the file name's extension, letter case aside.
ListFormat FormatOfPath(const std::string& path);

// The folder of a path, without its last separator.
std::string FolderOf(const std::string& path);

// Entries in list order. Relative paths are taken from listFolder; forward slashes,
// blank lines, comments and a UTF-8 byte order mark are allowed; URLs other than
// local file URLs are left out.
std::vector<ListEntry> ReadList(const std::string& text, ListFormat format, const std::string& listFolder);

// An extended M3U list: paths under listFolder relative, the rest absolute.
std::string WriteM3u(const std::vector<ListEntry>& entries, const std::string& listFolder);

}  // namespace listtext
