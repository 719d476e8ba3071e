// CMP3Display: the player's LCD panel, owned by the player window. It holds what the
// panel shows; the play mode (1 plain, bit 2 loop, bit 4 shuffle) is saved with each
// playlist.
#pragma once

#include "fw/Framework.h"

class CMP3Display {
public:
    explicit CMP3Display(CWnd* pOwner) : m_pOwner(pOwner) {}
    CMP3Display(const CMP3Display&) = delete;
    CMP3Display& operator=(const CMP3Display&) = delete;

    CWnd* m_pOwner;
    int m_nPlayMode = 1;
};
