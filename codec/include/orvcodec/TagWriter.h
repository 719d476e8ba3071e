// The tags an MP3 file carries: an ID3v2.3 tag in front of the audio and an ID3v1.1
// tag of 128 bytes after it. The one writer of both layouts; the texts arrive already
// converted by the caller (UTF-16 for ID3v2, single-byte text for ID3v1).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace orv::codec {

struct Id3v2Texts {
    std::u16string title;
    std::u16string artist;
    std::u16string album;
    std::u16string year;
    std::u16string genre;  // the genre's name
    std::u16string track;  // "n/N"
};

// An ID3v2.3 tag with a text frame for each non-empty field (TIT2, TPE1, TALB, TYER,
// TCON, TRCK). A text that ISO-8859-1 holds is stored in it; any other is stored as
// UTF-16 with a byte order mark, so no character is lost. Empty when every field is.
std::vector<uint8_t> MakeId3v2Tag(const Id3v2Texts& texts);

constexpr size_t kId3v1Bytes = 128;
// ID3v1's "no genre" byte as the players write it.
constexpr uint8_t kId3v1NoGenre = 255;

struct Id3v1Texts {
    std::string title;    // each cut to its field: 30 bytes, the year 4,
    std::string artist;   // the comment 28 with a track, else 30
    std::string album;
    std::string year;
    std::string comment;
    uint8_t genre = kId3v1NoGenre;
    int track = 0;        // 1..255 makes an ID3v1.1 tag; 0 leaves the comment 30 bytes
};

std::array<uint8_t, kId3v1Bytes> MakeId3v1Tag(const Id3v1Texts& texts);

}  // namespace orv::codec
