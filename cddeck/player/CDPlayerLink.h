// CCDPlayerLink: what the CD player's property sheet pages need of the player window,
// without knowing it: its playing state and its disc model. The player window
// implements it.
#pragma once

#include <windows.h>

class CCDDisc;

class CCDPlayerLink {
public:
    virtual ~CCDPlayerLink() = default;
    // The panel shows a track playing (paused counts as playing).
    virtual BOOL IsPlayerPlaying() const = 0;
    // The one disc model of the program, which the pages edit and save.
    virtual CCDDisc& GetDisc() = 0;
};
