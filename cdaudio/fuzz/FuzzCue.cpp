// libFuzzer target for the CUE reader: the sheet parser (its texts too), the disc layout over files
// of made-up lengths, and the WAVE header probe. Layout invariants are checked too.
#include <orvcdaudio/DiscImage.h>

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

uint64_t NameHash(const std::string& name) {
    uint64_t h = 1469598103934665603ull;
    for (char c : name) h = (h ^ static_cast<uint8_t>(c)) * 1099511628211ull;
    return h;
}

// Any file exists, with a length taken from its name; names starting with 'x' are missing.
bool FakeProbe(const std::string& path, orv::cd::FileType, orv::cd::FileExtent& extent, std::string& error) {
    const size_t slash = path.find_last_of("/\\");
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (!name.empty() && name[0] == 'x') {
        error = "missing";
        return false;
    }
    extent.dataOffset = 44;
    extent.dataBytes = NameHash(name) % (400000ull * orv::cd::kBytesPerFrame);
    return true;
}

void CheckLayout(const orv::cd::CDiscImage& disc) {
    int32_t previous = 0;
    for (const auto& track : disc.Tracks()) {
        if (track.start < previous || track.length <= 0 || track.gapStart > track.start) std::abort();
        previous = track.start;
        if (disc.TrackAt(track.start) != track.number) std::abort();
    }
    if (disc.Tracks().size() > static_cast<size_t>(orv::cd::kMaxTracks)) std::abort();
    if (!disc.Empty() && disc.LeadOut() <= disc.Tracks().back().start) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    orv::cd::CueSheet sheet;
    orv::cd::CueError error;
    if (orv::cd::ParseCueSheet(text, sheet, error)) {
        // The texts are pieces of the sheet, never more.
        for (const std::string* t : {&sheet.title, &sheet.performer, &sheet.date, &sheet.genre})
            if (t->size() > size) std::abort();
        for (const auto& track : sheet.tracks)
            if (track.title.size() > size || track.performer.size() > size) std::abort();
        orv::cd::CDiscImage disc;
        std::string message;
        if (disc.Build(sheet, "base", FakeProbe, message)) CheckLayout(disc);
    }
    orv::cd::FileExtent extent;
    std::string message;
    if (orv::cd::ProbeWaveHeader(data, size, size + 1000, extent, message)) {
        if (extent.dataOffset > size || extent.dataOffset + extent.dataBytes > size + 1000) std::abort();
    }
    return 0;
}
