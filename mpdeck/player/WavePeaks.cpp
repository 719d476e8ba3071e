#include "WavePeaks.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

const uint16_t kFormatPcm = 1;
const uint32_t kMaxSpanBytes = 1 << 20;  // a span is a few ms; anything larger is a bad request

uint32_t Le32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

uint16_t Le16(const unsigned char* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

int SampleAt(const unsigned char* p, uint16_t bits) {
    if (bits == 8) return (static_cast<int>(p[0]) - 128) * 256;
    return static_cast<int16_t>(Le16(p));
}

}  // namespace

bool CWavePeaks::Open(const std::string& path) {
    Close();
    m_pFile = std::fopen(path.c_str(), "rb");
    if (!m_pFile) return false;
    if (!ReadFormat()) {
        Close();
        return false;
    }
    m_path = path;
    return true;
}

void CWavePeaks::Close() {
    if (m_pFile) std::fclose(m_pFile);
    m_pFile = nullptr;
    m_path.clear();
    m_dataOffset = m_dataSize = m_rate = 0;
    m_channels = m_bits = 0;
}

// Walks the chunks after the RIFF header; fmt must come before data.
bool CWavePeaks::ReadFormat() {
    unsigned char header[12];
    if (std::fread(header, 1, sizeof header, m_pFile) != sizeof header) return false;
    if (std::memcmp(header, "RIFF", 4) != 0 || std::memcmp(header + 8, "WAVE", 4) != 0) return false;
    long offset = 12;
    bool haveFormat = false;
    for (;;) {
        unsigned char chunk[8];
        if (std::fseek(m_pFile, offset, SEEK_SET) != 0 || std::fread(chunk, 1, 8, m_pFile) != 8) return false;
        const uint32_t size = Le32(chunk + 4);
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            unsigned char fmt[16];
            if (size < sizeof fmt || std::fread(fmt, 1, sizeof fmt, m_pFile) != sizeof fmt) return false;
            m_channels = Le16(fmt + 2);
            m_rate = Le32(fmt + 4);
            m_bits = Le16(fmt + 14);
            haveFormat = Le16(fmt) == kFormatPcm && m_channels > 0 && m_rate > 0 && (m_bits == 8 || m_bits == 16);
            if (!haveFormat) return false;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!haveFormat) return false;
            m_dataOffset = static_cast<uint32_t>(offset + 8);
            m_dataSize = size;
            return true;
        }
        const long next = offset + 8 + static_cast<long>(size) + (size & 1);
        if (next <= offset) return false;
        offset = next;
    }
}

bool CWavePeaks::Peak(uint32_t positionMs, uint32_t spanMs, short& left, short& right) {
    if (!m_pFile) return false;
    const uint32_t frameBytes = m_channels * (m_bits / 8u);
    const uint64_t firstFrame = static_cast<uint64_t>(positionMs) * m_rate / 1000;
    const uint64_t start = firstFrame * frameBytes;
    if (start >= m_dataSize) return false;
    uint64_t length = static_cast<uint64_t>(spanMs) * m_rate / 1000 * frameBytes;
    length = std::min<uint64_t>({length, m_dataSize - start, kMaxSpanBytes});
    length -= length % frameBytes;
    if (length == 0) return false;
    std::vector<unsigned char> bytes(static_cast<size_t>(length));
    if (std::fseek(m_pFile, static_cast<long>(m_dataOffset + start), SEEK_SET) != 0) return false;
    const size_t got = std::fread(bytes.data(), 1, bytes.size(), m_pFile);
    int peak[2] = {0, 0};
    const unsigned bytesPerSample = m_bits / 8u;
    for (size_t frame = 0; frame + frameBytes <= got; frame += frameBytes) {
        for (unsigned c = 0; c < m_channels && c < 2; ++c) {
            const int v = SampleAt(&bytes[frame + c * bytesPerSample], m_bits);
            peak[c] = std::max(peak[c], std::min(v < 0 ? -v : v, 32767));
        }
    }
    if (m_channels == 1) peak[1] = peak[0];
    left = static_cast<short>(peak[0]);
    right = static_cast<short>(peak[1]);
    return got >= frameBytes;
}
