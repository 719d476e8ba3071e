// CRunQuestion: a question asked while a run goes on ("stop it?"). The run does not
// wait for the answer: notices it gives meanwhile are held until the question is
// gone, so none stacks over it, and its end takes the question away, since there is
// nothing left to stop.
#pragma once

#include "fw/Framework.h"

#include <vector>

class CRunQuestion {
public:
    // Asks question nID (Yes/No) over pOwner. Returns IDYES, IDNO, or IDNO when the
    // run ended first (then WasMoot()); held notices follow before it returns.
    int Ask(CWnd* pOwner, UINT nID);
    BOOL IsAsking() const { return m_bAsking; }
    BOOL WasMoot() const { return m_bMoot; }

    // A notice of the run: shown now, or held while the question is up.
    void Notify(CWnd* pOwner, const CString& strText, UINT nType);
    // The run is over: an open question goes away unanswered.
    void RunEnded();

private:
    struct CNotice {
        CString strText;
        UINT nType;
    };

    HWND m_hOwner = nullptr;
    BOOL m_bAsking = FALSE;
    BOOL m_bMoot = FALSE;
    std::vector<CNotice> m_held;
};
