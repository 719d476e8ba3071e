// What the conversion dialogs share: the way they find their job (their owner is the
// property sheet, whose encoder and decoder pages keep the jobs in list 1032), the
// target rule of their OK button and the filling of a static from its template text.
#pragma once

#include "fw/Framework.h"

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
// The target can be written without touching what is there: not a folder, not
// read-only, in a folder that takes a new file.
BOOL CanWriteTarget(const CString& strTarget);
// Both name the same file: equal as full paths, letter case aside.
BOOL IsSamePath(const CString& strA, const CString& strB);

// The information dialogs' way of filling statics and showing sizes.
using ::AppendStatic;
using ::FillStatic;
using ::RoundedKb;

}  // namespace convert
