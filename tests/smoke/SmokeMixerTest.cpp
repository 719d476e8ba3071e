#include <gtest/gtest.h>
#include <windows.h>
#include <mmsystem.h>

#include "AudioRecorder.h"

namespace {

TEST(SmokeMixer, WaveOutLineHasAVolumeControlThatTakesAValue) {
    ASSERT_GE(mixerGetNumDevs(), 1u) << "no mixer device";
    DWORD controlId = 0;
    ASSERT_TRUE(orvtest::FindVolumeControl(MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT, controlId))
        << "wave-out line has no volume control";
    DWORD values[2] = {0x8000, 0x8000};
    EXPECT_TRUE(orvtest::VolumeDetails(controlId, values, true));
}

// Wine's wave-out source line accepts a value but reads nothing back; the speakers
// destination keeps what is set, so the round trip is proved there.
TEST(SmokeMixer, SpeakersVolumeCanBeSetAndReadBack) {
    DWORD controlId = 0;
    ASSERT_TRUE(orvtest::FindVolumeControl(MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, controlId));
    DWORD saved[2] = {};
    ASSERT_TRUE(orvtest::VolumeDetails(controlId, saved, false));

    for (DWORD wanted : {0x4000u, 0xC000u}) {
        DWORD values[2] = {wanted, wanted};
        ASSERT_TRUE(orvtest::VolumeDetails(controlId, values, true));
        DWORD back[2] = {};
        ASSERT_TRUE(orvtest::VolumeDetails(controlId, back, false));
        // The sound server keeps its own scale; a round trip may lose a little.
        EXPECT_NEAR(static_cast<double>(back[0]), wanted, 700.0);
    }
    orvtest::VolumeDetails(controlId, saved, true);
}

}  // namespace
