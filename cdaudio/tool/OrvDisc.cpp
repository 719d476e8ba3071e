// Inserts, ejects and shows the disc of the CD-audio driver:
//   orvdisc insert <file.cue>   checks the image, then names it in the registry
//   orvdisc eject               empties the drive
//   orvdisc status              prints the disc and its table of contents
// Exit code 0 on success, 1 for an unusable image or registry failure, 2 for usage.
#include <orvcdaudio/DiscImage.h>
#include <orvcdaudio/StandInKey.h>

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

using orv::cd::kDiscValue;
using orv::cd::kStandInKey;

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

bool WriteDisc(const std::string& path) {
    HKEY hKey = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kStandInKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &hKey, nullptr) != ERROR_SUCCESS)
        return false;
    const LONG result = RegSetValueExA(hKey, kDiscValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                                       static_cast<DWORD>(path.size() + 1));
    RegCloseKey(hKey);
    return result == ERROR_SUCCESS;
}

std::string ReadDisc() {
    return orv::cd::ReadStandInValue(kDiscValue);
}

void PrintMsf(int32_t frames) {
    const orv::cd::Msf msf = orv::cd::FramesToMsf(frames);
    std::printf("%02d:%02d:%02d", msf.minutes, msf.seconds, msf.frames);
}

int Insert(const char* cue) {
    char full[MAX_PATH * 2] = {};
    if (!GetFullPathNameA(cue, sizeof full, full, nullptr)) {
        std::fprintf(stderr, "orvdisc: bad path %s\n", cue);
        return kExitFailed;
    }
    orv::cd::CDiscImage disc;
    std::string error;
    if (!disc.Load(full, error) || !disc.CheckFileEnds(error)) {
        std::fprintf(stderr, "orvdisc: %s\n", error.c_str());
        return kExitFailed;
    }
    if (!WriteDisc(full)) {
        std::fprintf(stderr, "orvdisc: cannot write HKCU\\%s\n", kStandInKey);
        return kExitFailed;
    }
    std::printf("inserted %s (%zu tracks)\n", full, disc.Tracks().size());
    return kExitOk;
}

int Status() {
    const std::string path = ReadDisc();
    if (path.empty()) {
        std::printf("no disc\n");
        return kExitOk;
    }
    std::printf("disc %s\n", path.c_str());
    orv::cd::CDiscImage disc;
    std::string error;
    if (!disc.Load(path, error)) {
        std::printf("unreadable: %s\n", error.c_str());
        return kExitFailed;
    }
    for (const orv::cd::TocTrack& track : disc.Tracks()) {
        std::printf("track %2d %-5s start ", track.number, track.audio ? "audio" : "data");
        PrintMsf(track.start);
        std::printf(" length ");
        PrintMsf(track.length);
        std::printf("\n");
    }
    std::printf("lead-out ");
    PrintMsf(disc.LeadOut());
    std::printf("\n");
    return kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "insert") == 0) return Insert(argv[2]);
    if (argc == 2 && std::strcmp(argv[1], "eject") == 0) return WriteDisc("") ? kExitOk : kExitFailed;
    if (argc == 2 && std::strcmp(argv[1], "status") == 0) return Status();
    std::fprintf(stderr, "usage: orvdisc insert <file.cue> | eject | status\n");
    return kExitUsage;
}
