#include "MixerVolume.h"

#include <algorithm>

#include "LcdCanvas.h"
#include "SkinLayout.h"
#include "SkinPlayerDlg.h"

namespace {

const int kChannels = 2;
// No driver fills a channel with this: it marks what a read left untouched.
const DWORD kUntouched = 0xDEADBEEF;
const int kPeakOffset = 32768;

DWORD ComponentType(int nLineKind) {
    switch (nLineKind) {
    case CMixerVolume::kWaveOut:
        return MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT;
    case CMixerVolume::kCompactDisc:
        return MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC;
    default:
        return MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;
    }
}

// The first control of a type on the line of a component type, on mixer 0.
MMRESULT FindControl(DWORD dwComponentType, DWORD dwControlType, MIXERCONTROLA& control) {
    MIXERLINEA line = {};
    line.cbStruct = sizeof line;
    line.dwComponentType = dwComponentType;
    MMRESULT result = ::mixerGetLineInfoA(reinterpret_cast<HMIXEROBJ>(0), &line,
                                          MIXER_OBJECTF_MIXER | MIXER_GETLINEINFOF_COMPONENTTYPE);
    if (result != MMSYSERR_NOERROR) return result;
    control = MIXERCONTROLA();
    control.cbStruct = sizeof control;
    MIXERLINECONTROLSA controls = {};
    controls.cbStruct = sizeof controls;
    controls.dwLineID = line.dwLineID;
    controls.dwControlType = dwControlType;
    controls.cControls = 1;
    controls.cbmxctrl = sizeof control;
    controls.pamxctrl = &control;
    return ::mixerGetLineControlsA(reinterpret_cast<HMIXEROBJ>(0), &controls,
                                   MIXER_OBJECTF_MIXER | MIXER_GETLINECONTROLSF_ONEBYTYPE);
}

// Two channels, one value each.
MIXERCONTROLDETAILS Details(DWORD dwControlId, void* pValues, DWORD cbValue) {
    MIXERCONTROLDETAILS details = {};
    details.cbStruct = sizeof details;
    details.dwControlID = dwControlId;
    details.cChannels = kChannels;
    details.cMultipleItems = 0;
    details.cbDetails = cbValue;
    details.paDetails = pValues;
    return details;
}

}  // namespace

MMRESULT CMixerVolume::Init(int nLineKind) {
    MIXERCONTROLA control;
    const DWORD dwType = ComponentType(nLineKind);
    const MMRESULT result = FindControl(dwType, MIXERCONTROL_CONTROLTYPE_VOLUME, control);
    if (result != MMSYSERR_NOERROR) return result;
    m_dwControlId = control.dwControlID;
    m_dwDefault = control.Bounds.dwMaximum;
    DWORD dwLeft = 0, dwRight = 0;
    BOOL bUntouched = FALSE;
    if (!ReadChannels(m_dwControlId, dwLeft, dwRight, bUntouched) || !bUntouched) return MMSYSERR_NOERROR;
    if (dwType == MIXERLINE_COMPONENTTYPE_DST_SPEAKERS) return MMSYSERR_NOERROR;
    MIXERCONTROLA speakers;
    if (FindControl(MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, MIXERCONTROL_CONTROLTYPE_VOLUME, speakers) !=
        MMSYSERR_NOERROR) {
        return MMSYSERR_NOERROR;
    }
    m_dwLoudnessControlId = speakers.dwControlID;
    m_bHaveLoudness = TRUE;
    // What is heard now is where the volume starts.
    if (ReadChannels(m_dwLoudnessControlId, dwLeft, dwRight, bUntouched) && !bUntouched) {
        m_dwDefault = (dwLeft + dwRight) / 2;
    }
    return MMSYSERR_NOERROR;
}

MMRESULT CMixerVolume::WriteChannels(DWORD dwControlId, UINT nValue) {
    MIXERCONTROLDETAILS_UNSIGNED values[kChannels] = {{nValue}, {nValue}};
    MIXERCONTROLDETAILS details = Details(dwControlId, values, sizeof values[0]);
    return ::mixerSetControlDetails(reinterpret_cast<HMIXEROBJ>(0), &details,
                                    MIXER_OBJECTF_MIXER | MIXER_SETCONTROLDETAILSF_VALUE);
}

BOOL CMixerVolume::ReadChannels(DWORD dwControlId, DWORD& dwLeft, DWORD& dwRight, BOOL& bUntouched) {
    MIXERCONTROLDETAILS_UNSIGNED values[kChannels] = {{kUntouched}, {kUntouched}};
    MIXERCONTROLDETAILS details = Details(dwControlId, values, sizeof values[0]);
    if (::mixerGetControlDetailsA(reinterpret_cast<HMIXEROBJ>(0), &details,
                                  MIXER_OBJECTF_MIXER | MIXER_GETCONTROLDETAILSF_VALUE) != MMSYSERR_NOERROR) {
        return FALSE;
    }
    bUntouched = values[0].dwValue == kUntouched;
    dwLeft = values[0].dwValue;
    dwRight = values[1].dwValue == kUntouched ? values[0].dwValue : values[1].dwValue;
    return TRUE;
}

MMRESULT CMixerVolume::SetVolume(UINT nValue) {
    const MMRESULT result = WriteChannels(m_dwControlId, nValue);
    if (result != MMSYSERR_NOERROR) return result;
    m_nLastSet = nValue;
    m_bHaveLastSet = TRUE;
    if (m_bHaveLoudness) WriteChannels(m_dwLoudnessControlId, nValue);
    return result;
}

UINT CMixerVolume::GetVolume() {
    DWORD dwLeft = 0, dwRight = 0;
    BOOL bUntouched = FALSE;
    if (!ReadChannels(m_dwControlId, dwLeft, dwRight, bUntouched)) return 0;
    if (bUntouched) return m_bHaveLastSet ? m_nLastSet : m_dwDefault;
    return (dwLeft + dwRight) / 2;
}

BOOL CLevelMeter::ReadMixerPeaks(short& nLeft, short& nRight) {
    MMRESULT result = MMSYSERR_NOERROR;
    if (!m_dwPeakControlId) {
        MIXERCONTROLA control;
        result = FindControl(MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT, MIXERCONTROL_CONTROLTYPE_PEAKMETER, control);
        if (result == MMSYSERR_NOERROR) m_dwPeakControlId = control.dwControlID;
    }
    if (result == MMSYSERR_NOERROR) {
        MIXERCONTROLDETAILS_SIGNED values[kChannels] = {};
        MIXERCONTROLDETAILS details = Details(m_dwPeakControlId, values, sizeof values[0]);
        result = ::mixerGetControlDetailsA(reinterpret_cast<HMIXEROBJ>(0), &details,
                                           MIXER_OBJECTF_MIXER | MIXER_GETCONTROLDETAILSF_VALUE);
        nLeft = static_cast<short>(values[0].lValue);
        nRight = static_cast<short>(values[1].lValue);
    }
    // A mixer without a peak meter never gets one: the played audio stands in from now on.
    if (result == MMSYSERR_NOTSUPPORTED || result == MIXERR_INVALCONTROL) m_bNoPeakMeter = TRUE;
    return result == MMSYSERR_NOERROR;
}

void CLevelMeter::Read() {
    if (!m_pWnd || !m_pWnd->IsSongPlaying()) {
        Reset();
        return;
    }
    short nLeft = 0, nRight = 0;
    BOOL bRead = !m_bNoPeakMeter && ReadMixerPeaks(nLeft, nRight);
    if (!bRead && m_bNoPeakMeter) bRead = m_pWnd->ReadPlayedPeaks(nLeft, nRight);
    if (!bRead) {
        Reset();
        return;
    }
    Hold(nLeft, nRight);
}

void CLevelMeter::Hold(short nLeft, short nRight) {
    DWORD dwLeft = 0, dwRight = 0;
    if ((nLeft + nRight) / 2 != 0) {
        dwLeft = static_cast<DWORD>(nLeft + kPeakOffset);
        dwRight = static_cast<DWORD>(nRight + kPeakOffset);
    }
    m_dwLeft = std::max(m_dwLeft, dwLeft);
    m_dwRight = std::max(m_dwRight, dwRight);
}

void CLevelMeter::Draw(CDC* pDC) {
    if (!m_pWnd || !m_pWnd->m_hWnd) return;
    if (!pDC) {
        CClientDC dc(m_pWnd);
        Draw(&dc);
        return;
    }
    const int nLit[kChannels] = {LitSegments(m_dwLeft), LitSegments(m_dwRight)};
    CLcdFace face(*pDC);
    if (CDC* pFace = face.Dc()) {
        const int xChannel[kChannels] = {skin::kMeterLeftX, skin::kMeterRightX};
        for (int c = 0; c < kChannels; ++c) {
            for (int i = 0; i < kSegments; ++i) {
                const skin::Point& src = i < kSegments - nLit[c] ? skin::kMeterUnlit : skin::kMeterLit;
                pDC->BitBlt(xChannel[c], skin::kMeterTop + skin::kMeterStep * i, skin::kMeterSegmentWidth,
                            skin::kMeterSegmentHeight, pFace, src.x, src.y, SRCCOPY);
            }
        }
    }
    m_dwLeft = static_cast<DWORD>(std::max(nLit[0] - 1, 0)) * kFullScale / kSegments + 1;
    m_dwRight = static_cast<DWORD>(std::max(nLit[1] - 1, 0)) * kFullScale / kSegments + 1;
}
