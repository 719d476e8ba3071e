// CUE sheets: the text form of a disc image (files, tracks, indexes, gaps).
// Portable: no Win32. Parsing only checks the sheet itself; the disc layout, which
// needs the lengths of the files, is made by CDiscImage.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orv::cd {

constexpr int kFramesPerSecond = 75;
constexpr int kSecondsPerMinute = 60;
constexpr int kFramesPerMinute = kFramesPerSecond * kSecondsPerMinute;
constexpr int kBytesPerFrame = 2352;          // one audio sector: 588 stereo 16-bit samples
constexpr int kSamplesPerFrame = 588;
constexpr int kLeadInFrames = 150;            // the 2-second gap before track 1
constexpr int kMaxTracks = 99;
constexpr int kMaxIndex = 99;
constexpr size_t kMaxSheetBytes = 1 << 20;

// Sheets name FLAC files as WAVE as often as FLAC; the file's signature decides.
enum class FileType { Binary, Motorola, Wave, Flac };
enum class TrackMode { Audio, Mode1Raw, Mode2Raw };

struct CueIndex {
    int number = 0;
    int32_t frame = 0;  // from the start of the track's file
};

struct CueTrack {
    int number = 0;
    TrackMode mode = TrackMode::Audio;
    size_t file = 0;        // index into CueSheet::files
    int32_t pregap = 0;     // PREGAP: silence not stored in the file, in frames
    int32_t postgap = 0;    // POSTGAP
    std::vector<CueIndex> indexes;
    int line = 0;
    std::string title;      // TITLE and PERFORMER after TRACK, as written (UTF-8 or
    std::string performer;  // the writer's code page)

    // INDEX 01, which every parsed track has.
    int32_t Index01() const;
    // INDEX 00 when present, else INDEX 01: where the track's data begins in its file.
    int32_t FirstIndex() const { return indexes.front().frame; }
};

struct CueFile {
    std::string name;  // as written in the sheet
    FileType type = FileType::Binary;
};

struct CueSheet {
    std::vector<CueFile> files;
    std::vector<CueTrack> tracks;
    // The disc's texts from before the first TRACK: TITLE, PERFORMER, REM DATE and
    // REM GENRE, as written.
    std::string title;
    std::string performer;
    std::string date;
    std::string genre;
};

struct CueError {
    int line = 0;  // 0: not tied to a line
    std::string message;

    std::string Text() const;
};

// Parses "mm:ss:ff" (frames 0-74, seconds 0-59) into frames.
bool ParseMsf(std::string_view text, int32_t& frames);

// Parses the text of a sheet. On failure `error` says what and where; `sheet` is then
// unspecified.
bool ParseCueSheet(std::string_view text, CueSheet& sheet, CueError& error);

// Reads a sheet file of at most kMaxSheetBytes and parses it; error says why not.
bool ReadCueFile(const std::string& path, CueSheet& sheet, std::string& error);

}  // namespace orv::cd
