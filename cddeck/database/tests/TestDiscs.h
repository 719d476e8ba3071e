// Silent disc images for the cddeck tests: one sparse BINARY file with a track at
// each given length, written with a CUE sheet into a temp folder. The CD database
// under test is its own INI file, emptied around each test.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "AudioMeasure.h"
#include "TestSupport.h"

namespace cdtest {

constexpr int kLeadIn = 150;
constexpr char kDiscKey[] = "Software\\Orvanta\\CDAudio";
constexpr char kDemoCue[] = "C:\\Program Files\\Orvanta\\Demo\\Disc\\Orvanta Demo Disc.cue";
constexpr char kDemoDiscId[] = "2600ab06";
constexpr char kTestDatabase[] = "cddb_test.ini";

inline int Frames(int minutes, int seconds, int frames) {
    return (minutes * 60 + seconds) * 75 + frames;
}

struct TestDisc {
    std::string cue;
    std::vector<int> starts;  // absolute frames, with the lead-in
    int leadOut = 0;
};

// The tracks' lengths in frames; the file is sparse, so long discs cost nothing.
inline TestDisc MakeTestDisc(const std::string& name, const std::vector<int>& lengths) {
    TestDisc disc;
    const std::string dir = orvtest::MakeTempDir("disc-" + name);
    const std::string bin = dir + "\\" + name + ".bin";
    disc.cue = dir + "\\" + name + ".cue";
    std::string sheet = "FILE \"" + name + ".bin\" BINARY\r\n";
    int at = 0;
    for (size_t i = 0; i < lengths.size(); ++i) {
        char line[96];
        std::snprintf(line, sizeof line, "  TRACK %02d AUDIO\r\n    INDEX 01 %02d:%02d:%02d\r\n", static_cast<int>(i + 1), at / 4500,
                      at / 75 % 60, at % 75);
        sheet += line;
        disc.starts.push_back(kLeadIn + at);
        at += lengths[i];
    }
    disc.leadOut = kLeadIn + at;

    HANDLE hFile = CreateFileA(bin.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    LARGE_INTEGER size;
    size.QuadPart = static_cast<LONGLONG>(at) * 2352;
    SetFilePointerEx(hFile, size, nullptr, FILE_BEGIN);
    SetEndOfFile(hFile);
    CloseHandle(hFile);
    std::FILE* pFile = std::fopen(disc.cue.c_str(), "wb");
    if (pFile) {
        std::fwrite(sheet.data(), 1, sheet.size(), pFile);
        std::fclose(pFile);
    }
    return disc;
}

// A disc whose every second sounds the clock (AudioMeasure.h): track 1 has seconds 0
// to its length, track 2 goes on from there, so what is heard tells the track and
// the second of it. Whole seconds only.
inline TestDisc MakeClockDisc(const std::string& name, const std::vector<int>& trackSeconds) {
    TestDisc disc;
    const std::string dir = orvtest::MakeTempDir("disc-" + name);
    disc.cue = dir + "\\" + name + ".cue";
    std::string sheet = "FILE \"" + name + ".bin\" BINARY\r\n";
    std::string bin;
    int at = 0;
    for (size_t i = 0; i < trackSeconds.size(); ++i) {
        char line[96];
        std::snprintf(line, sizeof line, "  TRACK %02d AUDIO\r\n    INDEX 01 %02d:%02d:00\r\n", static_cast<int>(i + 1), at / 60,
                      at % 60);
        sheet += line;
        disc.starts.push_back(kLeadIn + at * 75);
        const std::vector<int16_t> samples = orvtest::ClockSamples(at, trackSeconds[i]);
        bin.append(reinterpret_cast<const char*>(samples.data()), samples.size() * sizeof(int16_t));
        at += trackSeconds[i];
    }
    disc.leadOut = kLeadIn + at * 75;
    orvtest::WriteFileBytes(dir + "\\" + name + ".bin", bin);
    orvtest::WriteFileBytes(disc.cue, sheet);
    return disc;
}

// freedb's identifier straight from the sheet's offsets and lead-out.
inline std::string FreedbId(const std::vector<int>& starts, int leadOut) {
    unsigned sum = 0;
    for (int start : starts)
        for (int s = start / 75; s > 0; s /= 10) sum += static_cast<unsigned>(s % 10);
    const unsigned span = static_cast<unsigned>(leadOut / 75 - starts.front() / 75);
    char text[16];
    std::snprintf(text, sizeof text, "%08x", (sum % 255) << 24 | span << 8 | static_cast<unsigned>(starts.size()));
    return text;
}

// The database file under test, removed before and after.
class CTestDatabase {
public:
    CTestDatabase() { Remove(); }
    ~CTestDatabase() { Remove(); }
    std::string Path() const {
        char dir[MAX_PATH] = {};
        GetWindowsDirectoryA(dir, MAX_PATH);
        return std::string(dir) + "\\" + kTestDatabase;
    }
    // Raw bytes, so damaged and older files can be made.
    void WriteRaw(const std::string& text) const {
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, kTestDatabase);  // flush Wine's cache
        std::FILE* pFile = std::fopen(Path().c_str(), "wb");
        if (!pFile) return;
        std::fwrite(text.data(), 1, text.size(), pFile);
        std::fclose(pFile);
    }
    std::string ReadRaw() const {
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, kTestDatabase);
        std::string text;
        std::FILE* pFile = std::fopen(Path().c_str(), "rb");
        if (!pFile) return text;
        char buffer[4096];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pFile)) > 0;) text.append(buffer, n);
        std::fclose(pFile);
        return text;
    }

private:
    void Remove() const {
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, kTestDatabase);
        DeleteFileA(Path().c_str());
    }
};

}  // namespace cdtest
