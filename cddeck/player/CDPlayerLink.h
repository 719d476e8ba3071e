// CCDPlayerLink: what the CD player's property sheet pages need of the player window,
// without knowing it: its playing state and its disc model. The player window
// implements it.
#pragma once

#include "CDDisc.h"

class CCDPlayerLink {
public:
    virtual ~CCDPlayerLink() = default;
    // The panel shows a track playing (paused counts as playing).
    virtual BOOL IsPlayerPlaying() const = 0;
    // The one disc model of the program, which the pages edit and save.
    virtual CCDDisc& GetDisc() = 0;

    // A page changes the disc's play mode. While playing, the running sequence keeps
    // the mode it began with until the player's next choice of track.
    virtual void SetPlayMode(int nMode) { GetDisc().m_nMode = nMode; }
    // A page rebuilt the disc's selection: the track strip's marks follow.
    virtual void OnSelectionChanged() {}
    // A page renamed tracks or the artist: the panel shows them from the next redraw.
    virtual void OnTitlesChanged() {}
    // An audition takes the drive: the player closes its device, so that its poll and
    // disc reads leave the model alone, and opens it again afterwards.
    virtual void ReleaseDevice() {}
    virtual void ReclaimDevice() {}
};
