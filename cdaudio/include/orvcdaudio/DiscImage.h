// A disc image as a drive presents it: the table of contents (absolute frames with
// the 150-frame lead-in, track starts at INDEX 01, the lead-out) and the PCM of any
// frame range. Portable: stdio only.
#pragma once

#include <orvcdaudio/CueSheet.h>
#include <orvcodec/FlacDecoder.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace orv::cd {

struct TocTrack {
    int number = 0;
    bool audio = true;
    int32_t start = 0;      // absolute frame of INDEX 01
    int32_t gapStart = 0;   // absolute frame where its pregap begins (== start without one)
    int32_t length = 0;     // to the next track's start, or to the lead-out
};

struct Msf {
    int minutes = 0;
    int seconds = 0;
    int frames = 0;
};
Msf FramesToMsf(int32_t frames);

// What the layout needs to know of one file of the sheet.
struct FileExtent {
    uint64_t dataOffset = 0;  // where the samples begin (after a WAVE header)
    uint64_t dataBytes = 0;   // of 16-bit stereo PCM, also when decoded from FLAC
    bool flac = false;
};

// Answers the extent of a sheet's file, or an error text; the default one opens files.
using FileProbe = std::function<bool(const std::string& path, FileType type, FileExtent& extent, std::string& error)>;

// Finds the samples of a WAVE file: 16-bit PCM, stereo, 44.1 kHz only.
bool ProbeWaveHeader(const uint8_t* data, size_t size, uint64_t fileSize, FileExtent& extent, std::string& error);
// The same for a FLAC file, by its STREAMINFO.
bool ProbeFlac(const std::string& path, FileExtent& extent, std::string& error);

class CDiscImage {
public:
    CDiscImage();
    ~CDiscImage();
    CDiscImage(const CDiscImage&) = delete;
    CDiscImage& operator=(const CDiscImage&) = delete;

    // Reads a CUE sheet and the lengths of its files. On failure the image is empty
    // and error says why.
    bool Load(const std::string& cuePath, std::string& error);
    // Lays out a parsed sheet; files are named relative to baseDir.
    bool Build(const CueSheet& sheet, const std::string& baseDir, const FileProbe& probe, std::string& error);
    void Clear();
    // Reads the last samples of each FLAC file, which a cut-short download lacks
    // although its header counts them; false with the reason when one fails.
    bool CheckFileEnds(std::string& error);

    bool Empty() const { return m_tracks.empty(); }
    const std::vector<TocTrack>& Tracks() const { return m_tracks; }
    int32_t LeadOut() const { return m_leadOut; }
    int32_t FirstStart() const { return m_tracks.empty() ? 0 : m_tracks.front().start; }
    // The track whose span (start to the next start) holds the frame; before track 1,
    // track 1; 0 when the disc is empty.
    int TrackAt(int32_t frame) const;

    // Fills count frames from an absolute frame as interleaved 16-bit little-endian
    // stereo (count * 1176 samples). Gaps, data tracks, frames outside the disc and
    // unreadable parts (damaged FLAC frames too) are silence. Returns false if a file
    // could not be read; FailedFrame() then tells the first frame that failed.
    bool ReadFrames(int32_t frame, int32_t count, int16_t* samples);
    int32_t FailedFrame() const { return m_failedFrame; }
    // A file of the image that could not be opened for a read (gone since Load, as
    // a disc taken out); empty while every file opened.
    const std::string& MissingFile() const { return m_missingFile; }

private:
    struct Segment {
        int32_t start = 0;   // absolute frame
        int32_t length = 0;
        int file = -1;       // -1: silence
        int32_t fileFrame = 0;
        bool audio = true;
    };
    struct OpenFile {
        std::string path;
        FileType type = FileType::Binary;
        FileExtent extent;
        std::FILE* handle = nullptr;
        std::unique_ptr<orv::codec::FlacDecoder> flac;
    };

    bool ReadFromFile(const Segment& segment, int32_t frame, int32_t count, int16_t* samples);
    bool ReadFromFlac(OpenFile& file, uint64_t offset, int32_t frame, int32_t count, int16_t* samples);
    // Notes the first frame a read could not give; always false.
    bool Failed(int32_t frame);
    bool Missing(const OpenFile& file, int32_t frame);

    std::vector<TocTrack> m_tracks;
    std::vector<Segment> m_segments;
    std::vector<OpenFile> m_files;
    int32_t m_leadOut = 0;
    int32_t m_failedFrame = -1;
    std::string m_missingFile;
};

// Joins a sheet's file name to the sheet's folder unless it is absolute.
std::string ResolveImagePath(const std::string& baseDir, const std::string& name);

}  // namespace orv::cd
