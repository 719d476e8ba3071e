// Files a batch or a rip is about to write that are there already. They are the
// user's: before the run starts, one question says how many there are and lets the
// user replace them, keep them and skip those jobs, or not start at all.
#pragma once

#include "fw/Framework.h"

#include <vector>

enum class ExistingTargetChoice { None, Replace, Skip, Cancel };

class CExistingTargets {
public:
    // Notes a target the run would write; the same file named twice counts once.
    void Add(const CString& strTarget);
    int Count() const { return static_cast<int>(m_existing.size()); }
    // Whether strTarget was there when it was added.
    BOOL Holds(const CString& strTarget) const;
    // None without existing targets, else the user's answer to the one question.
    ExistingTargetChoice Ask(CWnd* pOwner) const;

private:
    std::vector<CString> m_existing;  // full paths
};
