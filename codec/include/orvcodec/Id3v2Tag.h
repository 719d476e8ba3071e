// The song texts of an ID3v2 tag (versions 2.2, 2.3 and 2.4) at the start of an MP3
// file. Every text comes back as UTF-16 whatever the tag's encoding; damage stops
// the reading at the damaged frame, and nothing outside the given bytes is read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace orv::codec {

struct Id3v2Tag {
  int version = 0;            // 2, 3 or 4; 0 when there is no tag
  std::u16string title;
  std::u16string artist;
  std::u16string album;
  std::u16string year;        // the first four characters of a 2.4 recording time
  std::u16string genre;       // as stored: "(17)", "17", "Rock" or "(17)Rock"
  std::u16string track;       // as stored, e.g. "3" or "3/12"
  std::u16string comment;     // the first comment without description, else the first
  size_t tagBytes = 0;        // header, body and footer as the header states them

  bool HasText() const;
};

// Reads the tag at the start of data. size may be less than the tag claims (a
// truncated read or a damaged size): what lies inside is read. False when data does
// not start with a usable tag header.
bool ReadId3v2Tag(const uint8_t* data, size_t size, Id3v2Tag& tag);

}  // namespace orv::codec
