// CCDTransport: the CD player's choice of what plays next. It keeps the position in
// the play order (the selection, or its shuffled copy while the disc's mode has the
// shuffle bit), the mode in force for the running sequence and the last user action,
// and decides; the player window carries the decisions out on the device and panel.
// Portable: standard library only.
#pragma once

#include <cstdint>
#include <vector>

#include "PlayMode.h"

// What the transport reads and changes of the disc model.
class CCDPlayOrderSource {
public:
    virtual ~CCDPlayOrderSource() = default;
    virtual int GetPlayMode() const = 0;
    virtual const std::vector<uint8_t>& GetSelection() const = 0;
    virtual const std::vector<uint8_t>& GetShuffled() const = 0;
    // Draws a new shuffled copy of the selection.
    virtual void Shuffle() = 0;
};

class CCDTransport {
public:
    enum LastAction { kActionNone = 0, kActionPrevious = 1, kActionPlay = 2 };
    static constexpr int kBeforeFirst = -1;
    static constexpr int kNoTrack = -1;
    // Notification codes of an ended play request.
    static constexpr unsigned kNotifySuccessful = 1;
    static constexpr unsigned kNotifyFailure = 8;
    // Within this many seconds of a track's start Previous goes back one entry.
    static constexpr int kPreviousBackSeconds = 2;

    struct CPreviousStep {
        enum Kind { kNone, kRestart, kBack } m_kind = kNone;
        int m_nTrack = kNoTrack;
        int m_nPosition = kBeforeFirst;  // the order position once the track plays
    };
    struct CEndStep {
        enum Kind { kIgnore, kPlay, kStop } m_kind = kIgnore;
        int m_nTrack = kNoTrack;
    };

    explicit CCDTransport(CCDPlayOrderSource* pDisc) : m_pDisc(pDisc) {}
    virtual ~CCDTransport() = default;
    CCDTransport(const CCDTransport&) = delete;
    CCDTransport& operator=(const CCDTransport&) = delete;

    // The next entry of the play order, kNoTrack when the sequence is over.
    int NextTrack();

    // Play from stopped: the sequence starts in the disc's mode, from the first entry.
    int BeginPlay();
    // Next while playing; kNoTrack leaves the current track playing.
    int Next();
    // Previous at nElapsed seconds into nCurrentTrack. kBack means: stop the device,
    // then play m_nTrack, which moves the order position to m_nPosition.
    CPreviousStep Previous(int nCurrentTrack, int nElapsed);
    // A track chosen on the strip: the order goes on from its entry when it has one.
    void ChooseTrack(int nTrack);
    // Stop: the next Play starts the sequence afresh in the disc's mode.
    void Stop();
    // The mode button while playing or not; returns the disc's new mode.
    int ChangeMode(bool bPlaying);
    // The disc's mode changes from elsewhere (a page): while playing, the running
    // sequence keeps the mode it began with until the next choice of track.
    void NoteModeChange(bool bPlaying);
    // The end of a play request. bRunning: playing, neither paused nor scanning.
    // bDevicePlaying: the device is already playing again (a newer request runs).
    CEndStep PlayEnded(unsigned nCode, bool bRunning, bool bDevicePlaying);

    // Pause, resume and the play that ends a scan replace the running request too.
    void SetLastAction(LastAction nAction) { m_nLastAction = nAction; }
    void SetOrderPosition(int nPosition) { m_nOrderPosition = nPosition; }

    int GetOrderPosition() const { return m_nOrderPosition; }
    int GetActiveMode() const { return m_nActiveMode; }
    LastAction GetLastAction() const { return m_nLastAction; }
    bool IsModeChanged() const { return m_bModeChanged; }

private:
    const std::vector<uint8_t>& PlayOrder() const;
    int EntryAt(const std::vector<uint8_t>& order, int nPosition) const;
    int Advance();

    CCDPlayOrderSource* m_pDisc;
    bool m_bModeChanged = false;
    int m_nActiveMode = playmode::kPlain;
    int m_nOrderPosition = kBeforeFirst;
    LastAction m_nLastAction = kActionNone;
};
