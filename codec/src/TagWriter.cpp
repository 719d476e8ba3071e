#include "orvcodec/TagWriter.h"

#include <algorithm>
#include <cstring>

namespace orv::codec {

namespace {

constexpr size_t kHeaderBytes = 10;
constexpr uint8_t kVersion = 3;
constexpr uint8_t kLatin1 = 0;
constexpr uint8_t kUtf16 = 1;
constexpr char16_t kLastLatin1 = 0xFF;
constexpr uint32_t kSyncSafeMax = (1u << 28) - 1;

constexpr size_t kTitleOffset = 3;
constexpr size_t kArtistOffset = 33;
constexpr size_t kAlbumOffset = 63;
constexpr size_t kYearOffset = 93;
constexpr size_t kCommentOffset = 97;
constexpr size_t kTrackOffset = 126;
constexpr size_t kGenreOffset = 127;
constexpr size_t kTextBytes = 30;
constexpr size_t kYearBytes = 4;
constexpr size_t kShortCommentBytes = 28;
constexpr int kHighestTrack = 255;

void PutBigEndian(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

bool FitsLatin1(const std::u16string& text) {
    return std::all_of(text.begin(), text.end(), [](char16_t c) { return c <= kLastLatin1; });
}

// Encoding byte and text; no terminator, as a frame's size ends its only string.
std::vector<uint8_t> FrameBody(const std::u16string& text) {
    std::vector<uint8_t> body;
    if (FitsLatin1(text)) {
        body.push_back(kLatin1);
        for (char16_t c : text) body.push_back(static_cast<uint8_t>(c));
        return body;
    }
    body.push_back(kUtf16);
    body.push_back(0xFF);  // little-endian byte order mark
    body.push_back(0xFE);
    for (char16_t c : text) {
        body.push_back(static_cast<uint8_t>(c & 0xFF));
        body.push_back(static_cast<uint8_t>(c >> 8));
    }
    return body;
}

void PutFrame(std::vector<uint8_t>& out, const char* id, const std::u16string& text) {
    if (text.empty()) return;
    const std::vector<uint8_t> body = FrameBody(text);
    out.insert(out.end(), id, id + 4);
    PutBigEndian(out, static_cast<uint32_t>(body.size()));
    out.push_back(0);  // no frame flags
    out.push_back(0);
    out.insert(out.end(), body.begin(), body.end());
}

void PutField(std::array<uint8_t, kId3v1Bytes>& tag, size_t offset, size_t bytes, const std::string& text) {
    std::memcpy(tag.data() + offset, text.data(), std::min(bytes, text.size()));
}

}  // namespace

std::vector<uint8_t> MakeId3v2Tag(const Id3v2Texts& texts) {
    std::vector<uint8_t> frames;
    PutFrame(frames, "TIT2", texts.title);
    PutFrame(frames, "TPE1", texts.artist);
    PutFrame(frames, "TALB", texts.album);
    PutFrame(frames, "TYER", texts.year);
    PutFrame(frames, "TCON", texts.genre);
    PutFrame(frames, "TRCK", texts.track);
    if (frames.empty() || frames.size() > kSyncSafeMax) return {};
    std::vector<uint8_t> tag = {'I', 'D', '3', kVersion, 0, 0};
    const uint32_t size = static_cast<uint32_t>(frames.size());
    for (int shift = 21; shift >= 0; shift -= 7) tag.push_back(static_cast<uint8_t>((size >> shift) & 0x7F));
    tag.reserve(kHeaderBytes + frames.size());
    tag.insert(tag.end(), frames.begin(), frames.end());
    return tag;
}

std::array<uint8_t, kId3v1Bytes> MakeId3v1Tag(const Id3v1Texts& texts) {
    std::array<uint8_t, kId3v1Bytes> tag{};
    tag[0] = 'T';
    tag[1] = 'A';
    tag[2] = 'G';
    PutField(tag, kTitleOffset, kTextBytes, texts.title);
    PutField(tag, kArtistOffset, kTextBytes, texts.artist);
    PutField(tag, kAlbumOffset, kTextBytes, texts.album);
    PutField(tag, kYearOffset, kYearBytes, texts.year);
    const bool bTrack = texts.track > 0 && texts.track <= kHighestTrack;
    PutField(tag, kCommentOffset, bTrack ? kShortCommentBytes : kTextBytes, texts.comment);
    // ID3v1.1: a zero byte ends the comment and the track follows.
    if (bTrack) tag[kTrackOffset] = static_cast<uint8_t>(texts.track);
    tag[kGenreOffset] = texts.genre;
    return tag;
}

}  // namespace orv::codec
