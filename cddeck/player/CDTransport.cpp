#include "CDTransport.h"

#include <algorithm>

using playmode::HasLoop;
using playmode::HasShuffle;

namespace {

int IndexOf(const std::vector<uint8_t>& order, int nTrack) {
    const auto it = std::find(order.begin(), order.end(), nTrack);
    return it == order.end() ? -1 : static_cast<int>(it - order.begin());
}

}  // namespace

const std::vector<uint8_t>& CCDTransport::PlayOrder() const {
    return HasShuffle(m_pDisc->GetPlayMode()) ? m_pDisc->GetShuffled() : m_pDisc->GetSelection();
}

int CCDTransport::EntryAt(const std::vector<uint8_t>& order, int nPosition) const {
    if (nPosition < 0 || nPosition >= static_cast<int>(order.size())) return kNoTrack;
    return order[static_cast<size_t>(nPosition)];
}

int CCDTransport::Advance() {
    ++m_nOrderPosition;
    return EntryAt(PlayOrder(), m_nOrderPosition);
}

int CCDTransport::NextTrack() {
    const int nMode = m_pDisc->GetPlayMode();
    const int nSize = static_cast<int>(m_pDisc->GetSelection().size());
    // A position the order does not hold counts as before its first entry.
    if (m_nOrderPosition < kBeforeFirst || m_nOrderPosition >= nSize) m_nOrderPosition = kBeforeFirst;
    if (nSize == 0) return kNoTrack;

    if (!HasShuffle(m_nActiveMode) && HasShuffle(nMode)) {
        m_bModeChanged = false;
        m_nActiveMode = nMode;
        m_pDisc->Shuffle();
        m_nOrderPosition = kBeforeFirst;
        return Advance();
    }
    if (HasShuffle(m_nActiveMode) && !HasShuffle(nMode)) {
        // Shuffle is off: go on after the playing track's place in the selection.
        m_bModeChanged = false;
        m_nActiveMode = nMode;
        const int nIndex = IndexOf(m_pDisc->GetSelection(), EntryAt(m_pDisc->GetShuffled(), m_nOrderPosition));
        if (nIndex >= 0) m_nOrderPosition = nIndex;
    }
    if (m_nOrderPosition + 1 < nSize) return Advance();
    if (!HasLoop(nMode)) return kNoTrack;
    m_nOrderPosition = kBeforeFirst;
    if (HasShuffle(nMode)) m_pDisc->Shuffle();
    return Advance();
}

int CCDTransport::BeginPlay() {
    // The sequence runs in the disc's mode from the start, whatever was changed while
    // stopped, so that NextTrack reads the order Play chose.
    m_nLastAction = kActionPlay;
    m_bModeChanged = false;
    m_nActiveMode = m_pDisc->GetPlayMode();
    m_nOrderPosition = kBeforeFirst;
    if (HasShuffle(m_nActiveMode)) m_pDisc->Shuffle();
    return NextTrack();
}

int CCDTransport::Next() {
    m_nLastAction = kActionPlay;
    return NextTrack();
}

CCDTransport::CPreviousStep CCDTransport::Previous(int nCurrentTrack, int nElapsed) {
    CPreviousStep step;
    // Shuffle switched on during the pass: the order behind is not the one played.
    if (!HasShuffle(m_nActiveMode) && HasShuffle(m_pDisc->GetPlayMode())) return step;
    m_nLastAction = kActionPrevious;
    if (nElapsed >= kPreviousBackSeconds) {
        step.m_kind = CPreviousStep::kRestart;
        step.m_nTrack = nCurrentTrack;
        step.m_nPosition = m_nOrderPosition;
        return step;
    }
    // Read before the device's Stop resets the position.
    const int nSize = static_cast<int>(m_pDisc->GetSelection().size());
    int nPosition = m_nOrderPosition;
    if (nPosition < kBeforeFirst || nPosition >= nSize) nPosition = kBeforeFirst;
    if (nPosition == 0) return step;
    nPosition = nPosition - 1 < 0 ? 0 : nPosition - 1;
    const int nTrack = EntryAt(PlayOrder(), nPosition);
    if (nTrack == kNoTrack) return step;
    step.m_kind = CPreviousStep::kBack;
    step.m_nTrack = nTrack;
    step.m_nPosition = nPosition;
    return step;
}

void CCDTransport::ChooseTrack(int nTrack) {
    const int nIndex = IndexOf(PlayOrder(), nTrack);
    if (nIndex >= 0) m_nOrderPosition = nIndex;
    m_nLastAction = kActionPlay;
}

void CCDTransport::Stop() {
    m_nLastAction = kActionNone;
    m_nOrderPosition = kBeforeFirst;
    m_bModeChanged = false;
    m_nActiveMode = m_pDisc->GetPlayMode();
}

int CCDTransport::ChangeMode(bool bPlaying) {
    NoteModeChange(bPlaying);
    return playmode::Next(m_pDisc->GetPlayMode());
}

void CCDTransport::NoteModeChange(bool bPlaying) {
    if (!bPlaying || m_bModeChanged) return;
    m_bModeChanged = true;
    m_nActiveMode = m_pDisc->GetPlayMode();
}

CCDTransport::CEndStep CCDTransport::PlayEnded(unsigned nCode, bool bRunning, bool bDevicePlaying) {
    CEndStep step;
    if (!bRunning) return step;
    if (nCode == kNotifySuccessful) {
        // A track's end that reaches us after a newer request started is stale.
        if (bDevicePlaying) return step;
        const int nTrack = NextTrack();
        if (nTrack >= 1) {
            step.m_kind = CEndStep::kPlay;
            step.m_nTrack = nTrack;
            return step;
        }
    } else if (nCode != kNotifyFailure && (m_nLastAction == kActionPrevious || m_nLastAction == kActionPlay)) {
        // Superseded or aborted by the request that replaced it. A replaced request
        // never fails: a failure is the drive's answer to the newest one.
        return step;
    }
    step.m_kind = CEndStep::kStop;
    return step;
}
