#include <orvcdaudio/DiscImage.h>

#include <algorithm>
#include <cstring>
#include <utility>

namespace orv::cd {

namespace {

bool IsLittleEndianMachine() {
    const uint16_t probe = 1;
    uint8_t first = 0;
    std::memcpy(&first, &probe, 1);
    return first == 1;
}

constexpr int32_t kMaxDiscFrames = 100 * kFramesPerMinute - 1;  // 99:59:74
constexpr size_t kWaveHeaderProbeBytes = 64 * 1024;
constexpr uint16_t kWavePcm = 1;
constexpr uint16_t kWaveExtensible = 0xFFFE;
constexpr uint32_t kCdRate = 44100;

uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t Le32(const uint8_t* p) { return Le16(p) | static_cast<uint32_t>(Le16(p + 2)) << 16; }

bool IsAbsolute(const std::string& name) {
    if (name.empty()) return false;
    if (name[0] == '/' || name[0] == '\\') return true;
    return name.size() > 1 && name[1] == ':';
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

bool FileSize(std::FILE* f, uint64_t& size) {
    if (std::fseek(f, 0, SEEK_END) != 0) return false;
    const long end = std::ftell(f);
    if (end < 0) return false;
    size = static_cast<uint64_t>(end);
    return std::fseek(f, 0, SEEK_SET) == 0;
}

bool ProbeFile(const std::string& path, FileType type, FileExtent& extent, std::string& error) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        error = "cannot open \"" + path + "\"";
        return false;
    }
    uint64_t size = 0;
    bool ok = FileSize(f, size);
    if (!ok) error = "cannot read \"" + path + "\"";
    if (ok && (type == FileType::Wave || type == FileType::Flac)) {
        std::vector<uint8_t> head(static_cast<size_t>(std::min<uint64_t>(size, kWaveHeaderProbeBytes)));
        ok = std::fread(head.data(), 1, head.size(), f) == head.size();
        std::fclose(f);
        f = nullptr;
        if (!ok) {
            error = "cannot read \"" + path + "\"";
            return false;
        }
        const bool riff = head.size() >= 4 && std::memcmp(head.data(), "RIFF", 4) == 0;
        if (type == FileType::Flac || !riff) {
            ok = ProbeFlac(path, extent, error);
            // A WAVE-typed file that is neither says what was expected.
            if (!ok && type == FileType::Wave && error == orv::codec::FlacStatusText(orv::codec::FlacStatus::NotFlac))
                error = "not a WAVE or FLAC file";
        } else {
            ok = ProbeWaveHeader(head.data(), head.size(), size, extent, error);
        }
        if (!ok) error = "\"" + path + "\": " + error;
    } else if (ok) {
        extent.dataOffset = 0;
        extent.dataBytes = size;
    }
    if (f) std::fclose(f);
    return ok;
}

int32_t FramesOf(uint64_t bytes) {
    const uint64_t frames = (bytes + kBytesPerFrame - 1) / kBytesPerFrame;
    return static_cast<int32_t>(std::min<uint64_t>(frames, static_cast<uint64_t>(kMaxDiscFrames) + 1));
}

}  // namespace

Msf FramesToMsf(int32_t frames) {
    Msf msf;
    if (frames < 0) frames = 0;
    msf.minutes = frames / kFramesPerMinute;
    msf.seconds = frames / kFramesPerSecond % kSecondsPerMinute;
    msf.frames = frames % kFramesPerSecond;
    return msf;
}

bool ProbeWaveHeader(const uint8_t* data, size_t size, uint64_t fileSize, FileExtent& extent, std::string& error) {
    if (size < 12 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WAVE", 4) != 0) {
        error = "not a WAVE file";
        return false;
    }
    bool haveFormat = false;
    size_t pos = 12;
    while (pos + 8 <= size) {
        const uint8_t* chunk = data + pos;
        const uint32_t chunkSize = Le32(chunk + 4);
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (chunkSize < 16 || pos + 8 + 16 > size) break;
            const uint8_t* fmt = chunk + 8;
            uint16_t tag = Le16(fmt);
            if (tag == kWaveExtensible && chunkSize >= 40 && pos + 8 + 26 <= size) tag = Le16(fmt + 24);
            if (tag != kWavePcm || Le16(fmt + 2) != 2 || Le32(fmt + 4) != kCdRate || Le16(fmt + 14) != 16) {
                error = "not 16-bit stereo PCM at 44100 Hz";
                return false;
            }
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!haveFormat) break;
            extent.dataOffset = pos + 8;
            const uint64_t present = fileSize > extent.dataOffset ? fileSize - extent.dataOffset : 0;
            extent.dataBytes = std::min<uint64_t>(chunkSize, present);
            return true;
        }
        pos += 8 + static_cast<size_t>(chunkSize) + (chunkSize & 1u);
        if (pos < 8 + static_cast<size_t>(chunkSize)) break;  // wrapped
    }
    error = haveFormat ? "no data chunk" : "no usable format chunk";
    return false;
}

bool ProbeFlac(const std::string& path, FileExtent& extent, std::string& error) {
    orv::codec::FlacDecoder decoder;
    const orv::codec::FlacStatus status = decoder.Open(path);
    if (status != orv::codec::FlacStatus::Ok) {
        error = orv::codec::FlacStatusText(status);
        return false;
    }
    const orv::codec::FlacInfo& info = decoder.Info();
    if (info.channels != 2 || info.bitsPerSample != 16 || info.sampleRate != kCdRate) {
        error = "not 16-bit stereo at 44100 Hz";
        return false;
    }
    extent.dataOffset = 0;
    extent.dataBytes = info.totalSamples * 4;
    extent.flac = true;
    return true;
}

std::string ResolveImagePath(const std::string& baseDir, const std::string& name) {
    if (IsAbsolute(name) || baseDir.empty()) return name;
    const char separator = baseDir.find('\\') != std::string::npos ? '\\' : '/';
    return baseDir + separator + name;
}

CDiscImage::CDiscImage() = default;

CDiscImage::~CDiscImage() { Clear(); }

void CDiscImage::Clear() {
    for (OpenFile& file : m_files) {
        if (file.handle) std::fclose(file.handle);
    }
    m_files.clear();
    m_tracks.clear();
    m_failedFrame = -1;
    m_missingFile.clear();
    m_segments.clear();
    m_leadOut = 0;
}

bool CDiscImage::CheckFileEnds(std::string& error) {
    for (OpenFile& file : m_files) {
        if (!file.extent.flac) continue;
        orv::codec::FlacDecoder decoder;
        const uint64_t total = file.extent.dataBytes / 4;
        int16_t last[2] = {};
        if (decoder.Open(file.path) != orv::codec::FlacStatus::Ok || !decoder.SeekSample(total - 1) ||
            decoder.ReadPcm16(last, 1) != 1 || decoder.DamagedAt() != orv::codec::FlacDecoder::kNoDamage) {
            error = "\"" + file.path + "\" is cut short or damaged";
            return false;
        }
    }
    return true;
}

bool CDiscImage::Load(const std::string& cuePath, std::string& error) {
    Clear();
    CueSheet sheet;
    if (!ReadCueFile(cuePath, sheet, error)) return false;
    return Build(sheet, FolderOf(cuePath), ProbeFile, error);
}

bool CDiscImage::Build(const CueSheet& sheet, const std::string& baseDir, const FileProbe& probe, std::string& error) {
    Clear();
    for (const CueFile& file : sheet.files) {
        OpenFile open;
        open.path = ResolveImagePath(baseDir, file.name);
        open.type = file.type;
        if (!probe(open.path, file.type, open.extent, error)) {
            Clear();
            return false;
        }
        m_files.push_back(std::move(open));
    }
    auto fail = [&](const std::string& message) {
        error = message;
        Clear();
        return false;
    };
    int64_t pos = kLeadInFrames;
    const size_t count = sheet.tracks.size();
    for (size_t i = 0; i < count; ++i) {
        const CueTrack& track = sheet.tracks[i];
        if (track.file >= m_files.size() || track.indexes.empty()) return fail("track without file or index");
        const int32_t fileFrames = FramesOf(m_files[track.file].extent.dataBytes);
        const bool firstInFile = i == 0 || sheet.tracks[i - 1].file != track.file;
        const bool nextInFile = i + 1 < count && sheet.tracks[i + 1].file == track.file;
        const int32_t segStart = firstInFile ? 0 : track.FirstIndex();
        const int32_t segEnd = nextInFile ? sheet.tracks[i + 1].FirstIndex() : fileFrames;
        const std::string name = "track " + std::to_string(track.number);
        if (segEnd > fileFrames || track.Index01() >= fileFrames)
            return fail("\"" + sheet.files[track.file].name + "\" is shorter than its " + name);
        if (track.Index01() >= segEnd) return fail(name + " is empty");

        TocTrack toc;
        toc.number = track.number;
        toc.audio = track.mode == TrackMode::Audio;
        toc.gapStart = static_cast<int32_t>(pos);
        if (track.pregap > 0) {
            m_segments.push_back({static_cast<int32_t>(pos), track.pregap, -1, 0, toc.audio});
            pos += track.pregap;
        }
        toc.start = static_cast<int32_t>(pos + (track.Index01() - segStart));
        if (pos + (segEnd - segStart) + track.postgap > kMaxDiscFrames) return fail("the disc is longer than 99:59:74");
        m_segments.push_back({static_cast<int32_t>(pos), segEnd - segStart, static_cast<int>(track.file), segStart, toc.audio});
        pos += segEnd - segStart;
        if (track.postgap > 0) {
            m_segments.push_back({static_cast<int32_t>(pos), track.postgap, -1, 0, toc.audio});
            pos += track.postgap;
        }
        m_tracks.push_back(toc);
    }
    m_leadOut = static_cast<int32_t>(pos);
    for (size_t i = 0; i < m_tracks.size(); ++i) {
        const int32_t end = i + 1 < m_tracks.size() ? m_tracks[i + 1].start : m_leadOut;
        m_tracks[i].length = end - m_tracks[i].start;
    }
    return true;
}

int CDiscImage::TrackAt(int32_t frame) const {
    int found = m_tracks.empty() ? 0 : m_tracks.front().number;
    for (const TocTrack& track : m_tracks) {
        if (track.start <= frame) found = track.number;
    }
    return found;
}

bool CDiscImage::ReadFrames(int32_t frame, int32_t count, int16_t* samples) {
    constexpr int kSamplesPerFrameStereo = kSamplesPerFrame * 2;
    m_failedFrame = -1;
    if (count <= 0) return true;
    std::fill(samples, samples + static_cast<size_t>(count) * kSamplesPerFrameStereo, int16_t{0});
    bool ok = true;
    for (const Segment& segment : m_segments) {
        const int32_t from = std::max(frame, segment.start);
        const int32_t to = std::min(frame + count, segment.start + segment.length);
        if (from >= to || segment.file < 0 || !segment.audio) continue;
        int16_t* out = samples + static_cast<size_t>(from - frame) * kSamplesPerFrameStereo;
        ok = ReadFromFile(segment, from, to - from, out) && ok;
    }
    return ok;
}

bool CDiscImage::ReadFromFile(const Segment& segment, int32_t frame, int32_t count, int16_t* samples) {
    OpenFile& file = m_files[static_cast<size_t>(segment.file)];
    const uint64_t offset = static_cast<uint64_t>(segment.fileFrame + (frame - segment.start)) * kBytesPerFrame;
    if (file.extent.flac) return ReadFromFlac(file, offset, frame, count, samples);
    if (!file.handle) file.handle = std::fopen(file.path.c_str(), "rb");
    if (!file.handle) return Missing(file, frame);
    if (offset >= file.extent.dataBytes) return true;
    const uint64_t wanted = std::min<uint64_t>(static_cast<uint64_t>(count) * kBytesPerFrame, file.extent.dataBytes - offset);
    if (std::fseek(file.handle, static_cast<long>(file.extent.dataOffset + offset), SEEK_SET) != 0) return Failed(frame);
    // Read straight into the samples; only bytes in the other order than the
    // machine's are turned round, in place.
    auto* bytes = reinterpret_cast<uint8_t*>(samples);
    const size_t got = std::fread(bytes, 1, static_cast<size_t>(wanted), file.handle);
    const bool bigEndian = file.type == FileType::Motorola;
    if (bigEndian == IsLittleEndianMachine()) {
        for (size_t i = 0; i + 1 < got; i += 2) std::swap(bytes[i], bytes[i + 1]);
    }
    if (got % 2) bytes[got - 1] = 0;  // half a sample is none
    return got == wanted || Failed(frame + static_cast<int32_t>(got / kBytesPerFrame));
}

// Decodes from the file's current place when the read follows on, which is how a
// play or a rip reads; a jump seeks.
bool CDiscImage::ReadFromFlac(OpenFile& file, uint64_t offset, int32_t frame, int32_t count, int16_t* samples) {
    constexpr uint64_t kBytesPerSample = 4;
    if (!file.flac) {
        file.flac = std::make_unique<orv::codec::FlacDecoder>();
        if (file.flac->Open(file.path) != orv::codec::FlacStatus::Ok) {
            file.flac.reset();
            return Missing(file, frame);
        }
    }
    orv::codec::FlacDecoder& decoder = *file.flac;
    const uint64_t first = offset / kBytesPerSample;
    if (first >= decoder.Info().totalSamples) return true;
    if (decoder.Position() != first && !decoder.SeekSample(first)) return Failed(frame);
    decoder.ClearDamage();
    const size_t wanted = static_cast<size_t>(count) * kSamplesPerFrame;
    const size_t got = decoder.ReadPcm16(samples, wanted);
    const uint64_t damaged = decoder.DamagedAt();
    if (damaged != orv::codec::FlacDecoder::kNoDamage)
        return Failed(frame + static_cast<int32_t>((damaged - first) / kSamplesPerFrame));
    return got == wanted || first + got == decoder.Info().totalSamples || Failed(frame);
}

bool CDiscImage::Failed(int32_t frame) {
    if (m_failedFrame < 0 || frame < m_failedFrame) m_failedFrame = frame;
    return false;
}

bool CDiscImage::Missing(const OpenFile& file, int32_t frame) {
    if (m_missingFile.empty()) m_missingFile = file.path;
    return Failed(frame);
}

}  // namespace orv::cd
