#include "WaveDevice.h"

namespace {

DWORD_PTR Parms(void* pParms) {
    return reinterpret_cast<DWORD_PTR>(pParms);
}

// A notified play runs on a thread of the waveaudio driver, which may still be
// leaving the driver's code when MCI_CLOSE unloads it; the process then crashes on
// that thread. The pinned driver stays mapped until the process ends.
void PinWaveDriver() {
    static BOOL s_bPinned = FALSE;
    if (s_bPinned) return;
    HMODULE hDriver = nullptr;
    s_bPinned = ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_PIN, "mciwave.dll", &hDriver);
}

}  // namespace

CWaveDevice::~CWaveDevice() {
    Close();
}

DWORD_PTR CWaveDevice::Callback() const {
    return m_pOwner ? reinterpret_cast<DWORD_PTR>(m_pOwner->m_hWnd) : 0;
}

BOOL CWaveDevice::Open() {
    Close();
    MCI_OPEN_PARMSA open = {};
    open.lpstrDeviceType = "waveaudio";
    open.lpstrElementName = m_strPath;
    if (::mciSendCommandA(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT, Parms(&open)) != 0) {
        m_wDeviceID = 0;
        return FALSE;
    }
    m_wDeviceID = open.wDeviceID;
    PinWaveDriver();
    return ReadInfo();
}

MCIERROR CWaveDevice::Close() {
    if (!IsOpen()) return 0;
    const MCIERROR err = ::mciSendCommandA(m_wDeviceID, MCI_CLOSE, 0, 0);
    m_wDeviceID = 0;
    return err;
}

BOOL CWaveDevice::Play() {
    if (!IsOpen()) return FALSE;
    MCI_PLAY_PARMS play = {};
    play.dwCallback = Callback();
    if (::mciSendCommandA(m_wDeviceID, MCI_PLAY, MCI_NOTIFY, Parms(&play)) != 0) {
        Close();
        return FALSE;
    }
    return TRUE;
}

MCIERROR CWaveDevice::Stop() {
    if (!IsOpen()) return 0;
    MCI_GENERIC_PARMS stop = {};
    return ::mciSendCommandA(m_wDeviceID, MCI_STOP, MCI_WAIT, Parms(&stop));
}

BOOL CWaveDevice::Pause() {
    if (!IsOpen()) return FALSE;
    MCI_GENERIC_PARMS pause = {};
    if (::mciSendCommandA(m_wDeviceID, MCI_PAUSE, MCI_WAIT, Parms(&pause)) != 0) {
        Close();
        return FALSE;
    }
    return TRUE;
}

BOOL CWaveDevice::Resume() {
    if (!IsOpen()) return FALSE;
    MCI_GENERIC_PARMS resume = {};
    if (::mciSendCommandA(m_wDeviceID, MCI_RESUME, 0, Parms(&resume)) != 0) {
        Close();
        return FALSE;
    }
    return TRUE;
}

BOOL CWaveDevice::Seek(int nMinutes, int nSeconds) {
    if (!IsOpen()) return FALSE;
    if (!SetTimeFormat(MCI_FORMAT_MILLISECONDS, MCI_WAIT)) return FALSE;

    const DWORD dwTo = static_cast<DWORD>((nMinutes * 60 + nSeconds) * 1000);
    MCI_SEEK_PARMS seek = {};
    seek.dwTo = dwTo;
    if (::mciSendCommandA(m_wDeviceID, MCI_SEEK, MCI_WAIT | MCI_TO, Parms(&seek)) != 0) return FALSE;

    MCI_PLAY_PARMS play = {};
    play.dwCallback = Callback();
    play.dwFrom = dwTo;
    if (::mciSendCommandA(m_wDeviceID, MCI_PLAY, MCI_NOTIFY | MCI_FROM, Parms(&play)) != 0) return FALSE;

    m_bSkipNotify = TRUE;
    return TRUE;
}

BOOL CWaveDevice::IsPlaying() {
    if (!IsOpen()) return FALSE;
    DWORD dwMode = 0;
    return QueryStatus(MCI_STATUS_MODE, dwMode) && dwMode == MCI_MODE_PLAY;
}

DWORD CWaveDevice::Position() {
    return PositionMs() / 1000;
}

DWORD CWaveDevice::PositionMs() {
    if (!IsPlaying()) return 0;
    SetTimeFormat(MCI_FORMAT_MILLISECONDS, 0);
    DWORD dwMilliseconds = 0;
    if (!QueryStatus(MCI_STATUS_POSITION, dwMilliseconds)) return 0;
    return dwMilliseconds;
}

BOOL CWaveDevice::ReadInfo() {
    if (m_strPath.IsEmpty()) return FALSE;
    if (!IsOpen()) return Open();

    QueryStatus(MCI_WAVE_STATUS_BITSPERSAMPLE, m_dwBitsPerSample);
    QueryStatus(MCI_WAVE_STATUS_CHANNELS, m_dwChannels);
    QueryStatus(MCI_WAVE_STATUS_SAMPLESPERSEC, m_dwSamplesPerSec);
    QueryStatus(MCI_WAVE_STATUS_BITSPERSAMPLE, m_dwBitsPerSample2);
    QueryStatus(MCI_WAVE_STATUS_AVGBYTESPERSEC, m_dwAvgBytesPerSec);
    QueryStatus(MCI_WAVE_STATUS_FORMATTAG, m_dwFormatTag);

    if (SetTimeFormat(MCI_FORMAT_BYTES, 0)) QueryStatus(MCI_STATUS_LENGTH, m_dwLengthBytes);

    DWORD dwMilliseconds = 0;
    if (SetTimeFormat(MCI_FORMAT_MILLISECONDS, 0) && QueryStatus(MCI_STATUS_LENGTH, dwMilliseconds))
        m_dwLengthSeconds = dwMilliseconds / 1000;
    return TRUE;
}

BOOL CWaveDevice::SetTimeFormat(DWORD dwFormat, DWORD dwFlags) {
    MCI_SET_PARMS set = {};
    set.dwTimeFormat = dwFormat;
    return ::mciSendCommandA(m_wDeviceID, MCI_SET, dwFlags | MCI_SET_TIME_FORMAT, Parms(&set)) == 0;
}

// A failing query leaves dwValue as it was.
BOOL CWaveDevice::QueryStatus(DWORD dwItem, DWORD& dwValue) {
    MCI_STATUS_PARMS status = {};
    status.dwItem = dwItem;
    if (::mciSendCommandA(m_wDeviceID, MCI_STATUS, MCI_STATUS_ITEM, Parms(&status)) != 0) return FALSE;
    dwValue = static_cast<DWORD>(status.dwReturn);
    return TRUE;
}
