// CConvertHost: what the sheet's pages need of the program around them, the player's
// lock and its playing state, without knowing the player window.
#pragma once

#include <windows.h>

class CConvertHost {
public:
    virtual ~CConvertHost() = default;
    virtual BOOL IsPlayerPlaying() const = 0;
    virtual BOOL IsPlayerLocked() const = 0;
    virtual void SetPlayerLock(BOOL bLock) = 0;
};
