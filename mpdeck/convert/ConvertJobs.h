// What the conversion dialogs share: the way they find their job (their owner is the
// property sheet, whose encoder and decoder pages keep the jobs in list 1032), the
// target rule of their OK button and the filling of a static from its template text.
#pragma once

#include "fw/Framework.h"

#include <vector>

#include "InfoText.h"

namespace convert {

constexpr UINT kEncodePageTemplate = 816;
constexpr UINT kDecodePageTemplate = 811;
constexpr UINT kJobListId = 1032;
constexpr UINT kPageMp3ControlId = 1061;

enum JobColumn { kColSource = 0, kColTarget = 1, kColBitRate = 2, kColSampleRate = 3 };

// A dialog made without a parent belongs to the main window's last active pop-up:
// the property sheet while it is open. nullptr without a main window.
CWnd* DefaultOwner();
// The owner sheet's page built on nTemplate, once its window exists; else nullptr.
CPropertyPage* FindPage(CWnd* pOwner, UINT nTemplate);
// The page's job list window, or nullptr. The page owns the list's object, so the
// dialogs speak to the window itself.
HWND JobList(CPropertyPage* pPage);
CString JobText(HWND hList, int nRow, int nColumn);
// Writes a cell and redraws its row.
void SetJobText(HWND hList, int nRow, int nColumn, LPCSTR lpszText);
// The selected row after nAfter (-1: from the top), or -1.
int NextSelectedJob(HWND hList, int nAfter);
BOOL IsJobRow(HWND hList, int nRow);

// A target names a file: not empty and not a folder path ending in a backslash.
BOOL IsFileTarget(const CString& strTarget);
// Both name the same file: equal as full paths, letter case aside.
BOOL IsSamePath(const CString& strA, const CString& strB);

// The output sample rates an encoder job can have for a source of this rate (0: not
// read), each the rate the page's calls make the encoder write: a source below 44100
// keeps its own; otherwise half of it (the encoder's low rate) while that is below
// 44100, then 44100 and 48000.
std::vector<long> OfferedSampleRates(long nSourceRate);
// The option bit rates (kbit/s) a stream at this output rate carries: all of them from
// 32000 Hz up (or for no rate), up to 160 below, where the format has no more.
std::vector<long> OfferedBitRates(long nOutputRate);

// Why a target cannot be written; kTargetFine when it can.
enum TargetProblem {
    kTargetFine,
    kTargetNotAFile,     // empty, or a folder path ending in a backslash
    kTargetIsSource,     // writing it would empty the source
    kTargetIsFolder,     // an existing folder
    kTargetReadOnly,     // an existing read-only file
    kTargetNoFolder,     // its folder does not exist
    kTargetFolderLocked  // its folder takes no new file
};
TargetProblem FindTargetProblem(const CString& strSource, const CString& strTarget);
// The resource string that names the problem (a phrase with the target as its one
// argument); 0 for kTargetFine and kTargetNotAFile, which the pages log their own way.
UINT TargetProblemText(TargetProblem problem);

// The information dialogs' way of filling statics and showing sizes.
using ::AppendStatic;
using ::FillStatic;
using ::RoundedKb;

}  // namespace convert
