#include "DiscSource.h"

#include <windows.h>
#include <winioctl.h>
#include <ntddcdrm.h>
#include <mmsystem.h>

#include <algorithm>

#include "orvcdaudio/DiscImage.h"
#include "orvcdaudio/StandInKey.h"

namespace acd {

namespace {

constexpr int32_t kLeadIn = 150;
constexpr DWORD kCookedSectorBytes = 2048;  // raw reads address the disc in these
constexpr DWORD kRawSectorBytes = 2352;
constexpr int32_t kMaxRawSectors = 20;      // what drives take in one raw read
constexpr UCHAR kDataTrackFlag = 0x04;

bool StandInExists() {
    HKEY hKey = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, orv::cd::kStandInKey, 0, KEY_QUERY_VALUE, &hKey) != ERROR_SUCCESS) return false;
    ::RegCloseKey(hKey);
    return true;
}

std::string InsertedImage() {
    return orv::cd::ReadStandInValue(orv::cd::kDiscValue);
}

// The drive as the CD-audio device sees it: an open tray holds no disc, whatever the
// setting names. The device is shared with a player of this process, which needs an
// alias of its own for a second open.
bool DeviceSeesMedia() {
    MCI_OPEN_PARMSA open = {};
    open.lpstrDeviceType = "CDAudio";
    open.lpstrAlias = "orvacdcheck";
    if (::mciSendCommandA(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_SHAREABLE | MCI_OPEN_ALIAS | MCI_WAIT,
                          reinterpret_cast<DWORD_PTR>(&open)) != 0)
        return false;
    MCI_STATUS_PARMS status = {};
    status.dwItem = MCI_STATUS_MEDIA_PRESENT;
    const MCIERROR err = ::mciSendCommandA(open.wDeviceID, MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT,
                                           reinterpret_cast<DWORD_PTR>(&status));
    ::mciSendCommandA(open.wDeviceID, MCI_CLOSE, MCI_WAIT, 0);
    return err == 0 && status.dwReturn != FALSE;
}

class CImageSource final : public CDiscSource {
public:
    bool Load(std::string& error) override {
        m_image.Clear();
        const std::string path = InsertedImage();
        if (path.empty() || !DeviceSeesMedia()) {
            error = "There is no disc in the drive.";
            return false;
        }
        return m_image.Load(path, error);
    }
    // The image the drive holds now, as the next Load reads it.
    std::string Name() const override { return InsertedImage(); }
    bool Track(int number, TrackSpan& span) const override {
        for (const orv::cd::TocTrack& t : m_image.Tracks()) {
            if (t.number != number) continue;
            span = {t.start, t.length, t.audio};
            return true;
        }
        return false;
    }
    bool Read(int32_t frame, int32_t count, int16_t* samples, int32_t& failedFrame) override {
        if (m_image.ReadFrames(frame, count, samples)) return true;
        failedFrame = std::max(frame, m_image.FailedFrame());
        return false;
    }

private:
    orv::cd::CDiscImage m_image;
};

int32_t MsfFrames(const UCHAR address[4]) {
    return (address[1] * 60 + address[2]) * 75 + address[3];
}

// A real drive, through its raw audio read. There is no drive here to try it on; it
// is kept to the few calls the image reader's interface needs.
class CDriveSource final : public CDiscSource {
public:
    explicit CDriveSource(char letter) : m_letter(letter) {}
    ~CDriveSource() override { Close(); }

    bool Load(std::string& error) override {
        Close();
        const std::string device = std::string("\\\\.\\") + m_letter + ":";
        m_hDrive = ::CreateFileA(device.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
        DWORD bytes = 0;
        if (m_hDrive == INVALID_HANDLE_VALUE ||
            !::DeviceIoControl(m_hDrive, IOCTL_CDROM_READ_TOC, nullptr, 0, &m_toc, sizeof m_toc, &bytes, nullptr)) {
            error = "There is no disc in the drive.";
            return false;
        }
        return true;
    }
    std::string Name() const override { return std::string(1, m_letter) + ":"; }
    bool Track(int number, TrackSpan& span) const override {
        const int count = m_toc.LastTrack - m_toc.FirstTrack + 1;
        for (int i = 0; i < count && i + 1 < MAXIMUM_NUMBER_TRACKS; ++i) {
            const TRACK_DATA& t = m_toc.TrackData[i];
            if (t.TrackNumber != number) continue;
            const int32_t start = MsfFrames(t.Address);
            span = {start, MsfFrames(m_toc.TrackData[i + 1].Address) - start, (t.Control & kDataTrackFlag) == 0};
            return true;
        }
        return false;
    }
    bool Read(int32_t frame, int32_t count, int16_t* samples, int32_t& failedFrame) override {
        while (count > 0) {
            failedFrame = frame;
            const int32_t n = std::min(count, kMaxRawSectors);
            RAW_READ_INFO info = {};
            info.DiskOffset.QuadPart = static_cast<LONGLONG>(frame - kLeadIn) * kCookedSectorBytes;
            info.SectorCount = static_cast<ULONG>(n);
            info.TrackMode = CDDA;
            DWORD bytes = 0;
            if (!::DeviceIoControl(m_hDrive, IOCTL_CDROM_RAW_READ, &info, sizeof info, samples,
                                   static_cast<DWORD>(n) * kRawSectorBytes, &bytes, nullptr))
                return false;
            frame += n;
            count -= n;
            samples += static_cast<size_t>(n) * kRawSectorBytes / sizeof(int16_t);
        }
        return true;
    }

private:
    void Close() {
        if (m_hDrive != INVALID_HANDLE_VALUE) ::CloseHandle(m_hDrive);
        m_hDrive = INVALID_HANDLE_VALUE;
    }

    char m_letter;
    HANDLE m_hDrive = INVALID_HANDLE_VALUE;
    CDROM_TOC m_toc = {};
};

// The test hook of the interface: a disc that reads differently the second time. A
// read that starts before the furthest frame read so far goes over read frames again;
// its first sample comes back changed.
class CUnstableSource final : public CDiscSource {
public:
    explicit CUnstableSource(std::unique_ptr<CDiscSource> pInner) : m_pInner(std::move(pInner)) {}
    bool Load(std::string& error) override {
        m_readUpTo = 0;
        return m_pInner->Load(error);
    }
    bool Track(int number, TrackSpan& span) const override { return m_pInner->Track(number, span); }
    std::string Name() const override { return m_pInner->Name(); }
    bool Read(int32_t frame, int32_t count, int16_t* samples, int32_t& failedFrame) override {
        if (!m_pInner->Read(frame, count, samples, failedFrame)) return false;
        if (frame < m_readUpTo) samples[0] = static_cast<int16_t>(samples[0] ^ 1);
        m_readUpTo = std::max(m_readUpTo, frame + count);
        return true;
    }

private:
    std::unique_ptr<CDiscSource> m_pInner;
    int32_t m_readUpTo = 0;
};

constexpr char kUnstableReadsVariable[] = "ORV_ACD_UNSTABLE_READS";

bool UnstableReadsWanted() {
    return ::GetEnvironmentVariableA(kUnstableReadsVariable, nullptr, 0) > 0;
}

char FirstCdDrive() {
    const DWORD drives = ::GetLogicalDrives();
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        if (!(drives & (1u << (letter - 'A')))) continue;
        const char root[] = {letter, ':', '\\', '\0'};
        if (::GetDriveTypeA(root) == DRIVE_CDROM) return letter;
    }
    return 0;
}

}  // namespace

std::unique_ptr<CDiscSource> FindDiscSource() {
    if (StandInExists()) {
        if (UnstableReadsWanted()) return std::make_unique<CUnstableSource>(std::make_unique<CImageSource>());
        return std::make_unique<CImageSource>();
    }
    if (const char letter = FirstCdDrive()) return std::make_unique<CDriveSource>(letter);
    return nullptr;
}

}  // namespace acd
