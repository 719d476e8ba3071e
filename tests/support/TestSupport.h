// Helpers shared by the Windows tests that run under Wine.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace orvtest {

// Dispatches messages of this thread until done() is true or timeoutMs has passed.
// Returns whether done() became true.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);

// Dispatches messages of this thread for the given time.
void PumpFor(DWORD ms);

// A 24-bit top-down copy of the whole screen.
struct Screenshot {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> bgr;  // width * height * 3, rows top to bottom

    bool Valid() const { return width > 0 && height > 0; }
    COLORREF Pixel(int x, int y) const;
};

// Captures the X display the test runs on with ImageMagick's "import -window root",
// keeps a PNG named <name>.png in the artifacts folder and returns the pixels.
Screenshot CaptureScreen(const std::string& name);

// Folder for screenshots and logs (Windows path).
std::string ArtifactsDir();

// The Linux path of a file on Wine's drive Z:.
std::string UnixPath(const std::string& windowsPath);
// Starts a script of the host's /bin/sh, with its output in <name>.log in the
// artifacts folder; returns the marker file that appears when the script has ended
// (empty when the shell did not start). Double quotes cannot appear in the script.
std::string StartHostShell(const std::string& script, const std::string& name);
// Runs such a script to its end, pumping messages; false when it did not end in time.
bool RunHostShell(const std::string& script, const std::string& name, DWORD timeoutMs);

// A fresh, empty folder under the Windows temp folder, unique to this process.
std::string MakeTempDir(const std::string& tag);
// A fresh, empty folder <artifacts>\<name>, where the host's reference tools reach
// the files too (drive Z:); empty when it could not be made.
std::string FreshArtifactsDir(const std::string& name);

// A 16-bit PCM WAVE file of interleaved samples.
bool WriteWave(const std::string& path, DWORD samplesPerSec, WORD channels, const std::vector<int16_t>& samples);
// Writes a 16-bit PCM WAVE file holding a sine tone of the given length. With a step,
// second n of the file sounds at frequency + n * stepPerSecond, so that what is heard
// tells where in the file playback is.
bool WriteToneWave(const std::string& path, DWORD milliseconds, DWORD samplesPerSec,
                   WORD channels, double frequency, double stepPerSecond = 0.0);

bool FileExists(const std::string& path);
// A whole file's bytes, empty when it cannot be read; and a file made of these bytes.
std::string ReadFileBytes(const std::string& path);
bool WriteFileBytes(const std::string& path, const std::string& bytes);

// Processor time (user and kernel) this process has used, in seconds; for benchmarks
// whose wall time follows whatever else the machine runs.
double ProcessCpuSeconds();

// Runs a Windows program to its end, pumping this thread's messages meanwhile;
// its exit code, or ~0u when it cannot start or is still running after the time
// (it is then ended).
DWORD RunProgram(const std::string& commandLine, DWORD timeoutMs = 30000);

// The GDI objects the process holds: the system's count where it answers one, else
// (Wine) a count read from how its handle table fills.
unsigned GdiObjectCount();

}  // namespace orvtest
