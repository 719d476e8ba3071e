// CCDDiscOrder: the disc model as the transport reads it: its mode, its selection
// and the shuffled copy it draws.
#pragma once

#include "CDDisc.h"
#include "CDTransport.h"

class CCDDiscOrder : public CCDPlayOrderSource {
public:
    explicit CCDDiscOrder(CCDDisc& disc) : m_disc(disc) {}

    int GetPlayMode() const override { return m_disc.m_nMode; }
    const std::vector<uint8_t>& GetSelection() const override { return m_disc.m_selection; }
    const std::vector<uint8_t>& GetShuffled() const override { return m_disc.m_shuffled; }
    void Shuffle() override { m_disc.Shuffle(); }

private:
    CCDDisc& m_disc;
};
