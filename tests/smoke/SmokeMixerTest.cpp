#include <gtest/gtest.h>
#include <windows.h>
#include <mmsystem.h>

namespace {

bool FindVolumeControl(DWORD componentType, DWORD& controlId, DWORD& channels) {
    MIXERLINEA line = {};
    line.cbStruct = sizeof line;
    line.dwComponentType = componentType;
    const auto mixer0 = reinterpret_cast<HMIXEROBJ>(0);
    if (mixerGetLineInfoA(mixer0, &line, MIXER_OBJECTF_MIXER | MIXER_GETLINEINFOF_COMPONENTTYPE) != MMSYSERR_NOERROR)
        return false;
    MIXERCONTROLA control = {};
    control.cbStruct = sizeof control;
    MIXERLINECONTROLSA controls = {};
    controls.cbStruct = sizeof controls;
    controls.dwLineID = line.dwLineID;
    controls.dwControlType = MIXERCONTROL_CONTROLTYPE_VOLUME;
    controls.cControls = 1;
    controls.cbmxctrl = sizeof control;
    controls.pamxctrl = &control;
    if (mixerGetLineControlsA(mixer0, &controls, MIXER_OBJECTF_MIXER | MIXER_GETLINECONTROLSF_ONEBYTYPE) !=
        MMSYSERR_NOERROR)
        return false;
    controlId = control.dwControlID;
    channels = line.cChannels;
    return true;
}

MMRESULT VolumeDetails(DWORD controlId, MIXERCONTROLDETAILS_UNSIGNED (&values)[2], bool set) {
    MIXERCONTROLDETAILS details = {};
    details.cbStruct = sizeof details;
    details.dwControlID = controlId;
    details.cChannels = 2;
    details.cbDetails = sizeof values[0];
    details.paDetails = values;
    const auto mixer0 = reinterpret_cast<HMIXEROBJ>(0);
    return set ? mixerSetControlDetails(mixer0, &details, MIXER_OBJECTF_MIXER | MIXER_SETCONTROLDETAILSF_VALUE)
               : mixerGetControlDetailsA(mixer0, &details, MIXER_OBJECTF_MIXER | MIXER_GETCONTROLDETAILSF_VALUE);
}

TEST(SmokeMixer, WaveOutLineHasAVolumeControlThatTakesAValue) {
    ASSERT_GE(mixerGetNumDevs(), 1u) << "no mixer device";
    DWORD controlId = 0, channels = 0;
    ASSERT_TRUE(FindVolumeControl(MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT, controlId, channels))
        << "wave-out line has no volume control";
    MIXERCONTROLDETAILS_UNSIGNED values[2] = {{0x8000}, {0x8000}};
    EXPECT_EQ(VolumeDetails(controlId, values, true), static_cast<MMRESULT>(MMSYSERR_NOERROR));
}

// Wine's wave-out source line accepts a value but reads nothing back; the speakers
// destination keeps what is set, so the round trip is proved there.
TEST(SmokeMixer, SpeakersVolumeCanBeSetAndReadBack) {
    DWORD controlId = 0, channels = 0;
    ASSERT_TRUE(FindVolumeControl(MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, controlId, channels));
    MIXERCONTROLDETAILS_UNSIGNED saved[2] = {};
    ASSERT_EQ(VolumeDetails(controlId, saved, false), static_cast<MMRESULT>(MMSYSERR_NOERROR));

    for (DWORD wanted : {0x4000u, 0xC000u}) {
        MIXERCONTROLDETAILS_UNSIGNED values[2] = {{wanted}, {wanted}};
        ASSERT_EQ(VolumeDetails(controlId, values, true), static_cast<MMRESULT>(MMSYSERR_NOERROR));
        MIXERCONTROLDETAILS_UNSIGNED back[2] = {};
        ASSERT_EQ(VolumeDetails(controlId, back, false), static_cast<MMRESULT>(MMSYSERR_NOERROR));
        // The sound server keeps its own scale; a round trip may lose a little.
        EXPECT_NEAR(static_cast<double>(back[0].dwValue), wanted, 700.0);
    }
    VolumeDetails(controlId, saved, true);
}

}  // namespace
