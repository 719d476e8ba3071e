// CWavePeaks: the peak sample of each channel of a PCM WAVE file over a short span at
// a play position, in the signed 16-bit range. Stands in for a mixer peak meter that
// the sound system does not have. Plain C++.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

class CWavePeaks {
public:
    CWavePeaks() = default;
    ~CWavePeaks() { Close(); }
    CWavePeaks(const CWavePeaks&) = delete;
    CWavePeaks& operator=(const CWavePeaks&) = delete;

    // False for a file that is not 8- or 16-bit PCM; the object is closed then.
    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const { return m_pFile != nullptr; }
    const std::string& Path() const { return m_path; }

    // Largest magnitude (0 to 32767) of the left and right channel over spanMs from
    // positionMs; a mono file gives both the same. False past the end or when closed.
    bool Peak(uint32_t positionMs, uint32_t spanMs, short& left, short& right);

private:
    bool ReadFormat();

    std::FILE* m_pFile = nullptr;
    std::string m_path;
    uint32_t m_dataOffset = 0;
    uint32_t m_dataSize = 0;
    uint32_t m_rate = 0;
    uint16_t m_channels = 0;
    uint16_t m_bits = 0;
};
