#include "ListText.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <map>

namespace listtext {

namespace {

const char kExtM3u[] = "#EXTM3U";
const char kExtInf[] = "#EXTINF:";
const char kFileUrl[] = "file://";
const char kUtf8Bom[] = "\xEF\xBB\xBF";

std::string Lower(std::string text) {
    for (char& ch : text) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return text;
}

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() && Lower(text.substr(0, prefix.size())) == Lower(prefix);
}

std::string Trim(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return std::string();
    const size_t last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t from = text.compare(0, 3, kUtf8Bom) == 0 ? 3 : 0;
    while (from <= text.size()) {
        const size_t end = text.find_first_of("\r\n", from);
        lines.push_back(text.substr(from, end == std::string::npos ? std::string::npos : end - from));
        if (end == std::string::npos) break;
        from = end + 1;
    }
    return lines;
}

int HexValue(char ch) {
    if (ch >= '0' && ch <= '9') return ch - '0';
    ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return ch >= 'a' && ch <= 'f' ? ch - 'a' + 10 : -1;
}

std::string PercentDecoded(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0) {
            out.push_back(static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2])));
            i += 2;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

bool IsDriveAbsolute(const std::string& path) {
    return path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' && path[2] == '\\';
}

// "." and ".." steps are folded so that the same file has one name.
std::string Normalised(const std::string& path) {
    const bool unc = path.compare(0, 2, "\\\\") == 0;
    std::vector<std::string> parts;
    size_t from = unc ? 2 : 0;
    while (from <= path.size()) {
        const size_t end = path.find('\\', from);
        const std::string part = path.substr(from, end == std::string::npos ? std::string::npos : end - from);
        if (part == "..") {
            if (parts.size() > 1) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        if (end == std::string::npos) break;
        from = end + 1;
    }
    std::string out = unc ? "\\\\" : "";
    for (size_t i = 0; i < parts.size(); ++i) out += (i ? "\\" : "") + parts[i];
    return out;
}

// An entry's path as the list wrote it, made absolute; empty for what is no file.
std::string ResolvedPath(std::string path, const std::string& listFolder) {
    path = Trim(path);
    if (StartsWithNoCase(path, kFileUrl)) {
        path = PercentDecoded(path.substr(sizeof kFileUrl - 1));
        // file:///C:/x has an empty host before the drive.
        if (path.size() >= 3 && path[0] == '/' && path[2] == ':') path.erase(0, 1);
    } else if (path.find("://") != std::string::npos) {
        return std::string();
    }
    std::replace(path.begin(), path.end(), '/', '\\');
    if (path.empty()) return path;
    if (path.size() == 2 && path[1] == ':') return std::string();
    if (IsDriveAbsolute(path) || path.compare(0, 2, "\\\\") == 0) return Normalised(path);
    // A path from the root keeps the list's drive.
    if (path[0] == '\\') return Normalised(listFolder.substr(0, 2) + path);
    return Normalised(listFolder + "\\" + path);
}

// "#EXTINF:123,Artist - Title"
void ReadExtInf(const std::string& line, ListEntry& pending) {
    const std::string rest = line.substr(sizeof kExtInf - 1);
    const size_t comma = rest.find(',');
    const std::string seconds = Trim(rest.substr(0, comma));
    char* end = nullptr;
    const long value = std::strtol(seconds.c_str(), &end, 10);
    pending.seconds = (end != seconds.c_str() && value >= 0) ? value : -1;
    pending.title = comma == std::string::npos ? std::string() : Trim(rest.substr(comma + 1));
}

std::vector<ListEntry> ReadM3u(const std::string& text, const std::string& listFolder) {
    std::vector<ListEntry> entries;
    ListEntry pending;
    for (const std::string& raw : Lines(text)) {
        const std::string line = Trim(raw);
        if (line.empty()) continue;
        if (StartsWithNoCase(line, kExtInf)) {
            ReadExtInf(line, pending);
            continue;
        }
        if (line[0] == '#') continue;
        pending.path = ResolvedPath(line, listFolder);
        if (!pending.path.empty()) entries.push_back(pending);
        pending = ListEntry();
    }
    return entries;
}

// "File3=..." gives key "file" and number 3.
bool SplitPlsKey(const std::string& key, std::string& name, long& number) {
    const size_t digits = key.find_first_of("0123456789");
    if (digits == 0 || digits == std::string::npos) return false;
    char* end = nullptr;
    number = std::strtol(key.c_str() + digits, &end, 10);
    if (*end != '\0' || number < 0) return false;
    name = Lower(key.substr(0, digits));
    return true;
}

std::vector<ListEntry> ReadPls(const std::string& text, const std::string& listFolder) {
    std::map<long, ListEntry> numbered;
    for (const std::string& raw : Lines(text)) {
        const std::string line = Trim(raw);
        const size_t equals = line.find('=');
        if (line.empty() || line[0] == '[' || line[0] == ';' || equals == std::string::npos) continue;
        std::string name;
        long number = 0;
        if (!SplitPlsKey(Trim(line.substr(0, equals)), name, number)) continue;
        const std::string value = Trim(line.substr(equals + 1));
        ListEntry& entry = numbered[number];
        if (name == "file") entry.path = ResolvedPath(value, listFolder);
        if (name == "title") entry.title = value;
        if (name == "length") entry.seconds = std::atol(value.c_str()) >= 0 ? std::atol(value.c_str()) : -1;
    }
    std::vector<ListEntry> entries;
    for (const auto& item : numbered)
        if (!item.second.path.empty()) entries.push_back(item.second);
    return entries;
}

}  // namespace

ListFormat FormatOfPath(const std::string& path) {
    const std::string lower = Lower(path);
    auto endsWith = [&](const char* suffix) {
        const std::string s(suffix);
        return lower.size() >= s.size() && lower.compare(lower.size() - s.size(), s.size(), s) == 0;
    };
    if (endsWith(".m3u8")) return ListFormat::M3u8;
    if (endsWith(".m3u")) return ListFormat::M3u;
    if (endsWith(".pls")) return ListFormat::Pls;
    return ListFormat::None;
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::vector<ListEntry> ReadList(const std::string& text, ListFormat format, const std::string& listFolder) {
    switch (format) {
    case ListFormat::M3u:
    case ListFormat::M3u8: return ReadM3u(text, listFolder);
    case ListFormat::Pls: return ReadPls(text, listFolder);
    default: return {};
    }
}

std::string WriteM3u(const std::vector<ListEntry>& entries, const std::string& listFolder) {
    const std::string prefix = Lower(Normalised(listFolder)) + "\\";
    std::string text = std::string(kExtM3u) + "\r\n";
    for (const ListEntry& entry : entries) {
        if (!entry.title.empty() || entry.seconds >= 0)
            text += kExtInf + std::to_string(entry.seconds >= 0 ? entry.seconds : -1) + "," + entry.title + "\r\n";
        const std::string path = Normalised(entry.path);
        const bool under = Lower(path).compare(0, prefix.size(), prefix) == 0;
        text += (under ? path.substr(prefix.size()) : path) + "\r\n";
    }
    return text;
}

}  // namespace listtext
