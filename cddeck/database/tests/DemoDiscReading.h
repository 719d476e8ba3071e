// What the page tests of the CD sheet start from: the demo disc's titles in the test
// database, and a disc put in the drive and read into the player's model as the
// player reads it.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <string>

#include "CDDisc.h"
#include "DemoDiscPlan.h"
#include "RegistryGuard.h"
#include "TestDiscs.h"

namespace cdtest {

inline void WriteDemoTitles(const CTestDatabase& database) {
    std::string entry = "[" + std::string(kDemoDiscId) + "]\r\n";
    for (int t = 1; t <= orvdemo::kDemoTrackCount; ++t)
        entry += std::to_string(t) + "=" + orvdemo::kDemoTracks[t - 1].title + "\r\n";
    database.WriteRaw(entry);
}

// What is in the drive now.
inline bool ReadDisc(CCDDisc& disc) {
    MCI_OPEN_PARMSA open = {};
    open.lpstrDeviceType = "CDAudio";
    if (mciSendCommandA(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_SHAREABLE, reinterpret_cast<DWORD_PTR>(&open)))
        return false;
    const BOOL bRead = disc.Read(open.wDeviceID);
    mciSendCommandA(open.wDeviceID, MCI_CLOSE, 0, 0);
    return bRead != FALSE;
}

inline bool InsertAndRead(CCDDisc& disc, const std::string& cue) {
    return orvtest::SetRegistryString(HKEY_CURRENT_USER, kDiscKey, "Disc", cue) && ReadDisc(disc);
}

}  // namespace cdtest
