#include "TestSupport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

namespace orvtest {

namespace {

constexpr UINT kNeverSentMessage = WM_APP + 0x3FF0;

}  // namespace

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start >= timeoutMs) return false;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

void PumpFor(DWORD ms) {
    PumpUntil([] { return false; }, ms);
}

COLORREF Screenshot::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return CLR_INVALID;
    const uint8_t* p = &bgr[(static_cast<size_t>(y) * width + x) * 3];
    return RGB(p[2], p[1], p[0]);
}

std::string ArtifactsDir() {
#ifdef ORV_ARTIFACTS
    return ORV_ARTIFACTS;
#else
    return ".";
#endif
}

// Wine maps drive Z: to the Linux root; the host tools want the Linux path.
std::string UnixPath(const std::string& windowsPath) {
    std::string p = windowsPath;
    if (p.size() >= 2 && (p[0] == 'Z' || p[0] == 'z') && p[1] == ':') p.erase(0, 2);
    for (char& c : p) {
        if (c == '\\') c = '/';
    }
    return p;
}

std::string StartHostShell(const std::string& script, const std::string& name) {
    const std::string dir = ArtifactsDir();
    CreateDirectoryA(dir.c_str(), nullptr);
    const std::string done = dir + "/" + name + ".done";
    DeleteFileA(done.c_str());
    // Wine starts Linux executables through CreateProcess but does not report their
    // exit, so the shell leaves a marker file when the script has finished.
    const std::string unixDir = UnixPath(dir);
    const std::string cmd = "/bin/sh -c \"exec >'" + unixDir + "/" + name + ".log' 2>&1; " + script + "; touch '" +
                            unixDir + "/" + name + ".done'\"";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::vector<char> line(cmd.begin(), cmd.end());
    line.push_back('\0');
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        std::fprintf(stderr, "host shell: cannot start /bin/sh (error %lu)\n", GetLastError());
        return std::string();
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return done;
}

bool RunHostShell(const std::string& script, const std::string& name, DWORD timeoutMs) {
    const std::string done = StartHostShell(script, name);
    if (done.empty()) return false;
    // Keep our windows painting while the script runs.
    const bool bFinished = PumpUntil([&] { return FileExists(done); }, timeoutMs);
    DeleteFileA(done.c_str());
    return bFinished;
}

static bool ReadBmp24(const std::string& path, Screenshot& shot) {
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (data.size() < 54 || data[0] != 'B' || data[1] != 'M') return false;
    auto u32 = [&](size_t at) {
        return static_cast<uint32_t>(data[at] | data[at + 1] << 8 | data[at + 2] << 16 | data[at + 3] << 24);
    };
    const uint32_t offset = u32(10);
    const int32_t width = static_cast<int32_t>(u32(18));
    const int32_t rawHeight = static_cast<int32_t>(u32(22));
    const uint16_t bits = static_cast<uint16_t>(data[28] | data[29] << 8);
    if (bits != 24 || width <= 0 || rawHeight == 0) return false;
    const bool bottomUp = rawHeight > 0;
    const int32_t height = bottomUp ? rawHeight : -rawHeight;
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3);
    if (offset + stride * height > data.size()) return false;
    shot.width = width;
    shot.height = height;
    shot.bgr.resize(static_cast<size_t>(width) * height * 3);
    for (int32_t y = 0; y < height; ++y) {
        const size_t srcRow = offset + stride * (bottomUp ? height - 1 - y : y);
        std::memcpy(&shot.bgr[static_cast<size_t>(y) * width * 3], &data[srcRow], static_cast<size_t>(width) * 3);
    }
    return true;
}

Screenshot CaptureScreen(const std::string& name) {
    // Wine hands this thread's window drawing to the X server when the thread finds no
    // message it looks for; a look for one that is never sent does that and takes none.
    MSG msg;
    ::PeekMessageA(&msg, nullptr, kNeverSentMessage, kNeverSentMessage, PM_NOREMOVE);
    Screenshot shot;
    const std::string dir = ArtifactsDir();
    const std::string png = UnixPath(dir + "/" + name + ".png");
    const std::string bmp = dir + "/" + name + ".capture.bmp";
    DeleteFileA(bmp.c_str());
    const std::string script = "import -window root '" + png + "' && convert '" + png +
                               "' -type TrueColor -compress none BMP3:'" + UnixPath(bmp) + "'";
    if (!RunHostShell(script, name + ".capture", 30000)) return shot;
    ReadBmp24(bmp, shot);
    DeleteFileA(bmp.c_str());
    return shot;
}

std::string FreshArtifactsDir(const std::string& name) {
    const std::string dir = ArtifactsDir() + "\\" + name;
    const std::string unixDir = UnixPath(dir);
    if (!RunHostShell("rm -rf '" + unixDir + "' && mkdir -p '" + unixDir + "'", name + "-fresh", 30000)) return "";
    return dir;
}

std::string MakeTempDir(const std::string& tag) {
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    static unsigned counter = 0;
    char dir[MAX_PATH];
    std::snprintf(dir, sizeof dir, "%sorv-%s-%lu-%u", base, tag.c_str(), GetCurrentProcessId(), ++counter);
    CreateDirectoryA(dir, nullptr);
    return dir;
}

static void PutU16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

static void PutU32(std::vector<uint8_t>& out, uint32_t v) {
    PutU16(out, static_cast<uint16_t>(v));
    PutU16(out, static_cast<uint16_t>(v >> 16));
}

bool WriteWave(const std::string& path, DWORD samplesPerSec, WORD channels, const std::vector<int16_t>& samples) {
    const uint32_t blockAlign = channels * 2u;
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    std::vector<uint8_t> out;
    out.reserve(44 + dataBytes);
    out.insert(out.end(), {'R', 'I', 'F', 'F'});
    PutU32(out, 36 + dataBytes);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    PutU32(out, 16);
    PutU16(out, 1);
    PutU16(out, channels);
    PutU32(out, samplesPerSec);
    PutU32(out, samplesPerSec * blockAlign);
    PutU16(out, static_cast<uint16_t>(blockAlign));
    PutU16(out, 16);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    PutU32(out, dataBytes);
    for (int16_t sample : samples) PutU16(out, static_cast<uint16_t>(sample));
    return WriteFileBytes(path, std::string(out.begin(), out.end()));
}

bool WriteToneWave(const std::string& path, DWORD milliseconds, DWORD samplesPerSec, WORD channels,
                   double frequency, double stepPerSecond) {
    const uint32_t frames = static_cast<uint32_t>((static_cast<uint64_t>(milliseconds) * samplesPerSec + 999) / 1000);
    std::vector<int16_t> samples;
    samples.reserve(static_cast<size_t>(frames) * channels);
    const double radiansPerHz = 2.0 * 3.14159265358979323846 / samplesPerSec;
    double phase = 0;
    for (uint32_t i = 0; i < frames; ++i) {
        const auto s = static_cast<int16_t>(std::lround(12000.0 * std::sin(phase)));
        phase += radiansPerHz * (frequency + stepPerSecond * (i / samplesPerSec));
        samples.insert(samples.end(), channels, s);
    }
    return WriteWave(path, samplesPerSec, channels, samples);
}

bool FileExists(const std::string& path) {
    const DWORD attr = GetFileAttributesA(path.c_str());
    return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY);
}

DWORD RunProgram(const std::string& commandLine, DWORD timeoutMs) {
    std::string line = commandLine;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!::CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        std::fprintf(stderr, "RunProgram: cannot start %s: error %lu\n", commandLine.c_str(), ::GetLastError());
        return ~0u;
    }
    DWORD code = ~0u;
    if (PumpUntil([&] { return ::WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0; }, timeoutMs)) {
        ::GetExitCodeProcess(pi.hProcess, &code);
    } else {
        std::fprintf(stderr, "RunProgram: %s still runs after %lu ms\n", commandLine.c_str(), timeoutMs);
        ::TerminateProcess(pi.hProcess, code);  // a stuck program does not outlive its test
    }
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return code;
}

unsigned GdiObjectCount() {
    const DWORD dwCount = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    if (dwCount) return dwCount;
    // Wine hands out free handle slots before it extends its table, so once every free
    // slot is taken the highest slot in use is the number of live objects plus the
    // probes; that holds while fewer than kProbes slots are free.
    const int kProbes = 2048;
    std::vector<HBRUSH> probes;
    unsigned nHighest = 0;
    for (int i = 0; i < kProbes; ++i) {
        HBRUSH hProbe = ::CreateSolidBrush(RGB(i & 0xFF, 0, 0));
        if (!hProbe) break;
        probes.push_back(hProbe);
        nHighest = std::max(nHighest, static_cast<unsigned>(reinterpret_cast<UINT_PTR>(hProbe) & 0xFFFF));
    }
    for (HBRUSH hProbe : probes) ::DeleteObject(hProbe);
    const unsigned nProbes = static_cast<unsigned>(probes.size());
    return nHighest + 1 > nProbes ? nHighest + 1 - nProbes : 0;
}

double ProcessCpuSeconds() {
    FILETIME created, exited, kernel, user;
    if (!::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
    auto seconds = [](const FILETIME& t) {
        return static_cast<double>(static_cast<unsigned long long>(t.dwHighDateTime) << 32 | t.dwLowDateTime) / 1e7;
    };
    return seconds(kernel) + seconds(user);
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    return static_cast<bool>(out);
}

}  // namespace orvtest
