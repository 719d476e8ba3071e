// How the pages take files from the user: the multi-select open dialog with its
// filters from message texts, and the paths of a shell drop.
#pragma once

#include "fw/Framework.h"

#include <shellapi.h>

#include <vector>

// The dialog's name buffer: long enough for a few hundred names of one folder.
constexpr int kFileChoiceBufferChars = 25600;
// A dropped path takes at most this many characters with its NUL.
constexpr int kMaxDroppedPath = 256;

// The files the user picks in an explorer-style open dialog that must find them.
// pFilterIds holds description and pattern text ids in pairs, the first pair
// preselected; the default extension text may start with its dot. FALSE on Cancel or
// when the selection does not fit the buffer.
BOOL ChooseFiles(CWnd* pParent, UINT nTitleId, UINT nDefExtId, const UINT* pFilterIds, int nFilterIds,
                 std::vector<CString>& paths);

// The dropped paths in order, read from the drop's block within its size. A longer
// path than a page takes is left out whole: cut short it would name another file.
// The drop handle stays the caller's.
std::vector<CString> DroppedPaths(HDROP hDrop);
