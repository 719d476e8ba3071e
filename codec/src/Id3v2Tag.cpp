#include "orvcodec/Id3v2Tag.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace orv::codec {

namespace {

constexpr size_t kHeaderBytes = 10;
constexpr size_t kFrameHeaderBytes24 = 10;

// Header flags.
constexpr uint8_t kTagUnsync = 0x80;
constexpr uint8_t kTagExtendedHeader = 0x40;  // 2.2: the whole tag is compressed
constexpr uint8_t kTagFooter = 0x10;          // 2.4 only

// Second frame-flag byte: 2.3 and 2.4 put the same ideas in different bits.
constexpr uint8_t kV3Compressed = 0x80;
constexpr uint8_t kV3Encrypted = 0x40;
constexpr uint8_t kV3Grouped = 0x20;
constexpr uint8_t kV4Grouped = 0x40;
constexpr uint8_t kV4Compressed = 0x08;
constexpr uint8_t kV4Encrypted = 0x04;
constexpr uint8_t kV4Unsync = 0x02;
constexpr uint8_t kV4DataLength = 0x01;

enum TextEncoding : uint8_t { kLatin1 = 0, kUtf16Bom = 1, kUtf16Be = 2, kUtf8 = 3 };

enum class Field { None, Title, Artist, Album, Year, ReleaseYear, Genre, Track, Comment, UserText };

struct FrameName {
  const char* id;
  Field field;
};

// 2.2 uses three-letter ids; 2.4 replaces the year by the recording time.
const FrameName kFrameNames[] = {
    {"TT2", Field::Title},   {"TP1", Field::Artist}, {"TAL", Field::Album}, {"TYE", Field::Year},
    {"TCO", Field::Genre},   {"TRK", Field::Track},  {"COM", Field::Comment},
    {"TIT2", Field::Title},  {"TPE1", Field::Artist}, {"TALB", Field::Album}, {"TYER", Field::Year},
    {"TDRC", Field::Year},   {"TCON", Field::Genre},  {"TRCK", Field::Track}, {"COMM", Field::Comment},
    {"TDRL", Field::ReleaseYear}, {"TXXX", Field::UserText},
};

uint32_t BigEndian(const uint8_t* p, size_t bytes) {
  uint32_t value = 0;
  for (size_t i = 0; i < bytes; ++i) value = (value << 8) | p[i];
  return value;
}

bool IsSyncSafe(const uint8_t* p) {
  return !((p[0] | p[1] | p[2] | p[3]) & 0x80);
}

uint32_t SyncSafe(const uint8_t* p) {
  return (uint32_t(p[0]) << 21) | (uint32_t(p[1]) << 14) | (uint32_t(p[2]) << 7) | p[3];
}

// Unsynchronisation put a zero after every 0xFF; this takes it out again.
std::vector<uint8_t> Resynchronise(const uint8_t* p, size_t size) {
  std::vector<uint8_t> out;
  out.reserve(size);
  for (size_t i = 0; i < size; ++i) {
    out.push_back(p[i]);
    if (p[i] == 0xFF && i + 1 < size && p[i + 1] == 0x00) ++i;
  }
  return out;
}

Field FieldOf(const uint8_t* id, size_t idBytes) {
  for (const FrameName& name : kFrameNames)
    if (std::strlen(name.id) == idBytes && std::memcmp(name.id, id, idBytes) == 0) return name.field;
  return Field::None;
}

bool IsFrameId(const uint8_t* id, size_t idBytes) {
  for (size_t i = 0; i < idBytes; ++i)
    if (!((id[i] >= 'A' && id[i] <= 'Z') || (id[i] >= '0' && id[i] <= '9'))) return false;
  return true;
}

void AppendCodePoint(std::u16string& out, uint32_t cp) {
  if (cp >= 0x10000) {
    cp -= 0x10000;
    out.push_back(char16_t(0xD800 + (cp >> 10)));
    out.push_back(char16_t(0xDC00 + (cp & 0x3FF)));
  } else {
    out.push_back(char16_t(cp));
  }
}

// Malformed sequences become U+FFFD, one per byte that cannot start a character.
std::u16string FromUtf8(const uint8_t* p, size_t size) {
  std::u16string out;
  size_t i = 0;
  while (i < size) {
    const uint8_t lead = p[i];
    const size_t extra = lead < 0x80 ? 0 : (lead & 0xE0) == 0xC0 ? 1 : (lead & 0xF0) == 0xE0 ? 2
                         : (lead & 0xF8) == 0xF0 ? 3 : 4;
    if (extra == 4 || extra > size - 1 - i) {
      out.push_back(u'\xFFFD');
      ++i;
      continue;
    }
    uint32_t cp = extra == 0 ? lead : lead & (0x3F >> extra);
    bool ok = true;
    for (size_t k = 1; k <= extra; ++k) {
      if ((p[i + k] & 0xC0) != 0x80) {
        ok = false;
        break;
      }
      cp = (cp << 6) | (p[i + k] & 0x3F);
    }
    static const uint32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
    if (!ok || cp < kSmallest[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      out.push_back(u'\xFFFD');
      ++i;
      continue;
    }
    AppendCodePoint(out, cp);
    i += extra + 1;
  }
  return out;
}

std::u16string FromUtf16(const uint8_t* p, size_t size, bool bigEndian) {
  std::u16string out;
  for (size_t i = 0; i + 1 < size; i += 2)
    out.push_back(char16_t(bigEndian ? (p[i] << 8) | p[i + 1] : p[i] | (p[i + 1] << 8)));
  return out;
}

// Length of a string of the encoding up to its terminator (or the end).
size_t TerminatedBytes(const uint8_t* p, size_t size, uint8_t encoding) {
  if (encoding == kUtf16Bom || encoding == kUtf16Be) {
    for (size_t i = 0; i + 1 < size; i += 2)
      if (p[i] == 0 && p[i + 1] == 0) return i;
    return size & ~size_t(1);
  }
  const void* nul = std::memchr(p, 0, size);
  return nul ? size_t(static_cast<const uint8_t*>(nul) - p) : size;
}

size_t TerminatorBytes(uint8_t encoding) {
  return (encoding == kUtf16Bom || encoding == kUtf16Be) ? 2 : 1;
}

// One string of the given encoding; a 2.4 list of values gives its first.
std::u16string DecodeText(const uint8_t* p, size_t size, uint8_t encoding) {
  size = TerminatedBytes(p, size, encoding);
  std::u16string text;
  switch (encoding) {
  case kLatin1:
    for (size_t i = 0; i < size; ++i) text.push_back(char16_t(p[i]));
    break;
  case kUtf16Bom: {
    // Writers that leave out the byte order mark mean little-endian.
    bool bigEndian = false;
    if (size >= 2 && ((p[0] == 0xFE && p[1] == 0xFF) || (p[0] == 0xFF && p[1] == 0xFE))) {
      bigEndian = p[0] == 0xFE;
      p += 2;
      size -= 2;
    }
    text = FromUtf16(p, size, bigEndian);
    break;
  }
  case kUtf16Be:
    text = FromUtf16(p, size, true);
    break;
  case kUtf8:
    text = FromUtf8(p, size);
    break;
  default:
    break;
  }
  // A stray byte order mark inside the text (some writers repeat it) shows nothing.
  text.erase(std::remove(text.begin(), text.end(), u'\xFEFF'), text.end());
  while (!text.empty() && (text.back() == u' ' || text.back() == u'\t' || text.back() == 0)) text.pop_back();
  return text;
}

bool KnownEncoding(uint8_t encoding) {
  return encoding <= kUtf8;
}

struct ReadState {
  bool descriptionlessComment = false;  // the comment comes from a COMM without description
  bool commentFrame = false;            // the comment comes from a COMM frame
  bool yearFrame = false;               // the year comes from TYER, TYE or TDRC
};

// A description and its value, as comment and user text frames hold them.
void SplitDescribed(const uint8_t* p, size_t size, uint8_t encoding, std::u16string& description,
                    std::u16string& value) {
  const size_t descriptionBytes = TerminatedBytes(p, size, encoding);
  const size_t valueAt = std::min(size, descriptionBytes + TerminatorBytes(encoding));
  description = DecodeText(p, descriptionBytes, encoding);
  value = DecodeText(p + valueAt, size - valueAt, encoding);
}

bool IsCommentDescription(const std::u16string& description) {
  return description.size() == 7 && (description[0] == u'c' || description[0] == u'C') &&
         description.substr(1) == u"omment";
}

// Comment frames: encoding, language, description, text. The first one without a
// description is the song's; other comments only stand in until one comes.
void ReadComment(const uint8_t* p, size_t size, Id3v2Tag& tag, ReadState& state) {
  constexpr size_t kLanguageBytes = 3;
  if (size < 1 + kLanguageBytes || !KnownEncoding(p[0]) || state.descriptionlessComment) return;
  std::u16string description, value;
  SplitDescribed(p + 1 + kLanguageBytes, size - 1 - kLanguageBytes, p[0], description, value);
  if (state.commentFrame && !description.empty()) return;
  tag.comment = std::move(value);
  state.commentFrame = true;
  state.descriptionlessComment = description.empty();
}

// Some writers put the comment in a user text frame named "comment".
void ReadUserText(const uint8_t* p, size_t size, Id3v2Tag& tag, const ReadState& state) {
  if (size < 1 || !KnownEncoding(p[0]) || state.commentFrame) return;
  std::u16string description, value;
  SplitDescribed(p + 1, size - 1, p[0], description, value);
  if (IsCommentDescription(description) && tag.comment.empty()) tag.comment = std::move(value);
}

void ReadTextFrame(Field field, const uint8_t* p, size_t size, Id3v2Tag& tag, ReadState& state) {
  if (field == Field::Comment) return ReadComment(p, size, tag, state);
  if (field == Field::UserText) return ReadUserText(p, size, tag, state);
  if (size < 1 || !KnownEncoding(p[0])) return;
  std::u16string text = DecodeText(p + 1, size - 1, p[0]);
  switch (field) {
  case Field::Title: tag.title = std::move(text); break;
  case Field::Artist: tag.artist = std::move(text); break;
  case Field::Album: tag.album = std::move(text); break;
  case Field::Year:
    // A 2.4 recording time ("2004-05-01T...") gives its year.
    tag.year = text.substr(0, 4);
    state.yearFrame = true;
    break;
  case Field::ReleaseYear:
    if (!state.yearFrame) tag.year = text.substr(0, 4);
    break;
  case Field::Genre: tag.genre = std::move(text); break;
  case Field::Track: tag.track = std::move(text); break;
  default: break;
  }
}

struct FrameLayout {
  size_t idBytes;
  size_t sizeBytes;
  size_t flagBytes;
};

// A 2.4 frame size should be sync-safe; some writers store a plain number. Where
// the sync-safe reading does not end on a frame id or the padding, and the plain one
// does, the plain one is meant.
uint32_t FrameSize24(const uint8_t* body, size_t at, size_t bodyBytes) {
  const uint8_t* p = body + at + 4;
  if (!IsSyncSafe(p)) return BigEndian(p, 4);
  const uint32_t safe = SyncSafe(p);
  const uint32_t plain = BigEndian(p, 4);
  if (safe == plain) return safe;
  auto endsWell = [&](uint32_t size) {
    const size_t next = at + kFrameHeaderBytes24 + size;
    if (next == bodyBytes) return true;
    if (next > bodyBytes) return false;
    if (body[next] == 0) return true;
    return next + 4 <= bodyBytes && IsFrameId(body + next, 4);
  };
  return (!endsWell(safe) && endsWell(plain)) ? plain : safe;
}

void ReadFrames(const uint8_t* body, size_t bodyBytes, int version, bool tagUnsync, Id3v2Tag& tag) {
  const FrameLayout layout = version == 2 ? FrameLayout{3, 3, 0} : FrameLayout{4, 4, 2};
  const size_t frameHeaderBytes = layout.idBytes + layout.sizeBytes + layout.flagBytes;
  ReadState state;
  size_t at = 0;
  while (at + frameHeaderBytes <= bodyBytes) {
    const uint8_t* id = body + at;
    // Padding, or damage: nothing after it can be trusted.
    if (!IsFrameId(id, layout.idBytes)) return;
    const size_t frameSize = version == 4 ? FrameSize24(body, at, bodyBytes)
                                          : BigEndian(id + layout.idBytes, layout.sizeBytes);
    const size_t dataAt = at + frameHeaderBytes;
    // A frame larger than its tag ends the reading: its data would lie outside.
    if (frameSize > bodyBytes - dataAt) return;
    const uint8_t* data = body + dataAt;
    size_t dataBytes = frameSize;
    at = dataAt + frameSize;

    const Field field = FieldOf(id, layout.idBytes);
    if (field == Field::None) continue;
    const uint8_t format = layout.flagBytes ? id[layout.idBytes + layout.sizeBytes + 1] : 0;
    std::vector<uint8_t> resynchronised;
    if (version == 3) {
      if (format & (kV3Compressed | kV3Encrypted)) continue;
      const size_t skip = (format & kV3Grouped) ? 1 : 0;
      if (skip > dataBytes) continue;
      data += skip;
      dataBytes -= skip;
    } else if (version == 4) {
      if (format & (kV4Compressed | kV4Encrypted)) continue;
      const size_t skip = ((format & kV4Grouped) ? 1 : 0) + ((format & kV4DataLength) ? 4 : 0);
      if (skip > dataBytes) continue;
      data += skip;
      dataBytes -= skip;
      if ((format & kV4Unsync) || tagUnsync) {
        resynchronised = Resynchronise(data, dataBytes);
        data = resynchronised.data();
        dataBytes = resynchronised.size();
      }
    }
    ReadTextFrame(field, data, dataBytes, tag, state);
  }
}

// Bytes of the extended header at the start of the body, or more than the body when
// it is damaged.
size_t ExtendedHeaderBytes(const uint8_t* body, size_t bodyBytes, int version) {
  if (bodyBytes < 4) return bodyBytes + 1;
  // 2.3 counts the size field out, 2.4 counts it in and stores it sync-safe.
  if (version == 3) return size_t(4) + BigEndian(body, 4);
  if (!IsSyncSafe(body)) return bodyBytes + 1;
  return SyncSafe(body);
}

}  // namespace

bool Id3v2Tag::HasText() const {
  return !(title.empty() && artist.empty() && album.empty() && year.empty() && genre.empty() && track.empty() &&
           comment.empty());
}

bool ReadId3v2Tag(const uint8_t* data, size_t size, Id3v2Tag& tag) {
  tag = Id3v2Tag();
  if (!data || size < kHeaderBytes || std::memcmp(data, "ID3", 3) != 0) return false;
  const int version = data[3];
  const uint8_t flags = data[5];
  if (version < 2 || version > 4 || data[4] == 0xFF || !IsSyncSafe(data + 6)) return false;
  const size_t bodyClaimed = SyncSafe(data + 6);
  tag.version = version;
  tag.tagBytes = kHeaderBytes + bodyClaimed + ((version == 4 && (flags & kTagFooter)) ? kHeaderBytes : 0);
  // A 2.2 tag compressed as a whole has no defined compression: nothing to read.
  if (version == 2 && (flags & kTagExtendedHeader)) return true;

  // A tag larger than the file: what the file holds is read.
  const uint8_t* body = data + kHeaderBytes;
  size_t bodyBytes = std::min(bodyClaimed, size - kHeaderBytes);
  const bool tagUnsync = (flags & kTagUnsync) != 0;
  // Before 2.4, unsynchronisation covers the whole body, extended header included.
  std::vector<uint8_t> resynchronised;
  if (tagUnsync && version < 4) {
    resynchronised = Resynchronise(body, bodyBytes);
    body = resynchronised.data();
    bodyBytes = resynchronised.size();
  }
  if (version >= 3 && (flags & kTagExtendedHeader)) {
    const size_t skip = ExtendedHeaderBytes(body, bodyBytes, version);
    if (skip > bodyBytes) return true;
    body += skip;
    bodyBytes -= skip;
  }
  ReadFrames(body, bodyBytes, version, tagUnsync, tag);
  return true;
}

}  // namespace orv::codec
