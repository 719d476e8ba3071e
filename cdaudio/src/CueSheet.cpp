#include <orvcdaudio/CueSheet.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <memory>

namespace orv::cd {

namespace {

constexpr int kMaxMinutes = 999;

std::string Upper(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

// Splits one line into words; a double-quoted word may hold blanks. An unclosed
// quote runs to the end of the line.
std::vector<std::string> Words(std::string_view line) {
    std::vector<std::string> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i]))) ++i;
        if (i >= line.size()) break;
        std::string word;
        if (line[i] == '"') {
            const size_t close = line.find('"', i + 1);
            const size_t end = close == std::string_view::npos ? line.size() : close;
            word = std::string(line.substr(i + 1, end - i - 1));
            i = end + 1;
        } else {
            const size_t start = i;
            while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i]))) ++i;
            word = std::string(line.substr(start, i - start));
        }
        words.push_back(std::move(word));
    }
    return words;
}

bool ParseSmallNumber(std::string_view text, int maxValue, int& value) {
    if (text.empty() || text.size() > 3) return false;
    int v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    if (v > maxValue) return false;
    value = v;
    return true;
}

bool FileTypeFromWord(const std::string& word, FileType& type) {
    const std::string w = Upper(word);
    if (w == "BINARY") type = FileType::Binary;
    else if (w == "MOTOROLA") type = FileType::Motorola;
    else if (w == "WAVE") type = FileType::Wave;
    else if (w == "FLAC") type = FileType::Flac;
    else return false;
    return true;
}

bool TrackModeFromWord(const std::string& word, TrackMode& mode) {
    const std::string w = Upper(word);
    if (w == "AUDIO") mode = TrackMode::Audio;
    else if (w == "MODE1/2352") mode = TrackMode::Mode1Raw;
    else if (w == "MODE2/2352") mode = TrackMode::Mode2Raw;
    else return false;
    return true;
}

// Commands that carry disc or track data we do not use.
bool IsIgnoredCommand(const std::string& command) {
    static const char* const kIgnored[] = {"REM", "TITLE", "PERFORMER", "SONGWRITER", "CATALOG",
                                           "ISRC", "FLAGS", "CDTEXTFILE", "ARRANGER", "COMPOSER",
                                           "MESSAGE", "DISC_ID", "GENRE", "UPC_EAN"};
    return std::any_of(std::begin(kIgnored), std::end(kIgnored),
                       [&](const char* name) { return command == name; });
}

class CCueParser {
public:
    CCueParser(CueSheet& sheet, CueError& error) : m_sheet(sheet), m_error(error) {}

    bool Line(int lineNumber, std::string_view text) {
        m_line = lineNumber;
        const std::vector<std::string> words = Words(text);
        if (words.empty()) return true;
        const std::string command = Upper(words[0]);
        if (command == "FILE") return OnFile(words);
        if (command == "TRACK") return OnTrack(words);
        if (command == "INDEX") return OnIndex(words);
        if (command == "PREGAP" || command == "POSTGAP") return OnGap(command, words);
        if (command == "TITLE" || command == "PERFORMER" || command == "REM") OnText(command, words);
        if (IsIgnoredCommand(command)) return true;
        return Fail("unknown command \"" + words[0] + "\"");
    }

    bool Finish() {
        m_line = 0;
        if (m_sheet.tracks.empty()) return Fail("the sheet has no tracks");
        if (!CloseTrack()) return false;
        for (size_t f = 0; f < m_sheet.files.size(); ++f) {
            const bool used = std::any_of(m_sheet.tracks.begin(), m_sheet.tracks.end(),
                                          [&](const CueTrack& t) { return t.file == f; });
            if (!used) return Fail("FILE \"" + m_sheet.files[f].name + "\" has no tracks");
        }
        return true;
    }

private:
    bool Fail(std::string message) {
        m_error.line = m_line;
        m_error.message = std::move(message);
        return false;
    }

    bool OnFile(const std::vector<std::string>& words) {
        if (words.size() < 3) return Fail("FILE needs a name and a type");
        FileType type;
        if (!FileTypeFromWord(words.back(), type)) return Fail("unsupported file type \"" + words.back() + "\"");
        // An unquoted name with blanks arrives as several words.
        std::string name = words[1];
        for (size_t i = 2; i + 1 < words.size(); ++i) name += " " + words[i];
        if (name.empty()) return Fail("FILE has an empty name");
        if (!m_sheet.tracks.empty() && !CloseTrack()) return false;
        m_sheet.files.push_back({name, type});
        m_trackOpen = false;
        return true;
    }

    bool OnTrack(const std::vector<std::string>& words) {
        if (m_sheet.files.empty()) return Fail("TRACK before any FILE");
        if (words.size() != 3) return Fail("TRACK needs a number and a type");
        int number = 0;
        if (!ParseSmallNumber(words[1], kMaxTracks + 1, number) || number == 0) return Fail("bad track number \"" + words[1] + "\"");
        if (m_sheet.tracks.size() >= static_cast<size_t>(kMaxTracks)) return Fail("more than 99 tracks");
        const int expected = static_cast<int>(m_sheet.tracks.size()) + 1;
        if (number != expected) return Fail("track " + words[1] + " out of order (expected " + std::to_string(expected) + ")");
        TrackMode mode;
        if (!TrackModeFromWord(words[2], mode)) return Fail("unsupported track type \"" + words[2] + "\"");
        if (m_trackOpen && !CloseTrack()) return false;
        CueTrack track;
        track.number = number;
        track.mode = mode;
        track.file = m_sheet.files.size() - 1;
        track.line = m_line;
        m_sheet.tracks.push_back(track);
        m_trackOpen = true;
        return true;
    }

    bool OnIndex(const std::vector<std::string>& words) {
        if (!m_trackOpen) return Fail("INDEX outside a track");
        if (words.size() != 3) return Fail("INDEX needs a number and a time");
        int number = 0;
        if (!ParseSmallNumber(words[1], kMaxIndex, number)) return Fail("bad index number \"" + words[1] + "\"");
        int32_t frame = 0;
        if (!ParseMsf(words[2], frame)) return Fail("bad time \"" + words[2] + "\"");
        CueTrack& track = m_sheet.tracks.back();
        if (!track.indexes.empty()) {
            const CueIndex& last = track.indexes.back();
            if (number != last.number + 1) return Fail("index " + words[1] + " out of order");
            if (frame < last.frame) return Fail("index " + words[1] + " lies before the index it follows");
        } else if (number > 1) {
            return Fail("index " + words[1] + " before INDEX 01");
        }
        if (!m_sheet.tracks.empty() && track.indexes.empty()) {
            // A track's data follows the previous track's in the same file.
            const CueTrack* previous = m_sheet.tracks.size() > 1 ? &m_sheet.tracks[m_sheet.tracks.size() - 2] : nullptr;
            if (previous && previous->file == track.file && frame < previous->indexes.back().frame)
                return Fail("track " + std::to_string(track.number) + " starts before the track it follows");
        }
        track.indexes.push_back({number, frame});
        return true;
    }

    // Texts are kept, never refused: a sheet plays whatever its comments say.
    void OnText(const std::string& command, const std::vector<std::string>& words) {
        CueTrack* track = m_sheet.tracks.empty() ? nullptr : &m_sheet.tracks.back();
        if (command == "REM") {
            if (track || words.size() < 3) return;
            const std::string field = Upper(words[1]);
            if (field == "DATE") m_sheet.date = Joined(words, 2);
            else if (field == "GENRE") m_sheet.genre = Joined(words, 2);
            return;
        }
        if (words.size() < 2) return;
        std::string& text = command == "TITLE" ? (track ? track->title : m_sheet.title)
                                               : (track ? track->performer : m_sheet.performer);
        text = Joined(words, 1);
    }

    // An unquoted text with blanks arrives as several words.
    static std::string Joined(const std::vector<std::string>& words, size_t first) {
        std::string text = words[first];
        for (size_t i = first + 1; i < words.size(); ++i) text += " " + words[i];
        return text;
    }

    bool OnGap(const std::string& command, const std::vector<std::string>& words) {
        if (!m_trackOpen) return Fail(command + " outside a track");
        if (words.size() != 2) return Fail(command + " needs a time");
        int32_t frames = 0;
        if (!ParseMsf(words[1], frames)) return Fail("bad time \"" + words[1] + "\"");
        CueTrack& track = m_sheet.tracks.back();
        if (command == "PREGAP") {
            if (!track.indexes.empty()) return Fail("PREGAP after an INDEX");
            track.pregap = frames;
        } else {
            track.postgap = frames;
        }
        return true;
    }

    bool CloseTrack() {
        const CueTrack& track = m_sheet.tracks.back();
        const bool hasIndex01 = std::any_of(track.indexes.begin(), track.indexes.end(),
                                            [](const CueIndex& i) { return i.number == 1; });
        if (!hasIndex01) {
            m_line = track.line;
            return Fail("track " + std::to_string(track.number) + " has no INDEX 01");
        }
        return true;
    }

    CueSheet& m_sheet;
    CueError& m_error;
    int m_line = 0;
    bool m_trackOpen = false;
};

}  // namespace

int32_t CueTrack::Index01() const {
    for (const CueIndex& index : indexes) {
        if (index.number == 1) return index.frame;
    }
    return indexes.empty() ? 0 : indexes.front().frame;
}

std::string CueError::Text() const {
    if (line <= 0) return message;
    return "line " + std::to_string(line) + ": " + message;
}

bool ParseMsf(std::string_view text, int32_t& frames) {
    const size_t first = text.find(':');
    if (first == std::string_view::npos) return false;
    const size_t second = text.find(':', first + 1);
    if (second == std::string_view::npos) return false;
    int minutes = 0, seconds = 0, rest = 0;
    if (!ParseSmallNumber(text.substr(0, first), kMaxMinutes, minutes)) return false;
    if (!ParseSmallNumber(text.substr(first + 1, second - first - 1), kSecondsPerMinute - 1, seconds)) return false;
    if (!ParseSmallNumber(text.substr(second + 1), kFramesPerSecond - 1, rest)) return false;
    frames = (minutes * kSecondsPerMinute + seconds) * kFramesPerSecond + rest;
    return true;
}

bool ParseCueSheet(std::string_view text, CueSheet& sheet, CueError& error) {
    sheet = CueSheet();
    error = CueError();
    if (text.size() > kMaxSheetBytes) {
        error.message = "the sheet is larger than 1 MiB";
        return false;
    }
    if (text.size() >= 3 && text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    if (text.find('\0') != std::string_view::npos) {
        error.message = "the sheet is not text";
        return false;
    }
    CCueParser parser(sheet, error);
    int lineNumber = 0;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!parser.Line(++lineNumber, line)) return false;
        pos = end + 1;
    }
    return parser.Finish();
}

bool ReadCueFile(const std::string& path, CueSheet& sheet, std::string& error) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!file) {
        error = "cannot open \"" + path + "\"";
        return false;
    }
    // One byte more than a sheet may hold tells a larger file.
    std::string text(kMaxSheetBytes + 1, '\0');
    text.resize(std::fread(&text[0], 1, text.size(), file.get()));
    if (std::ferror(file.get()) || text.size() > kMaxSheetBytes) {
        error = "cannot read \"" + path + "\" (or it is larger than 1 MiB)";
        return false;
    }
    CueError parseError;
    if (!ParseCueSheet(text, sheet, parseError)) {
        error = path + ": " + parseError.Text();
        return false;
    }
    return true;
}

}  // namespace orv::cd
