#include "SongEntry.h"

CSongEntry::CSongEntry(LPCSTR lpszPath, BYTE nType) : m_nType(nType), m_strPath(lpszPath) {}

LPCSTR CSongEntry::TypeText(BYTE nType) {
    switch (nType) {
    case SONG_WAVE:
        return "WAVE";
    case SONG_MPEG:
        return "MPEG";
    default:
        return "???";
    }
}

CSongEntry* CSongList::GetAt(int nIndex) const {
    if (nIndex < 0 || nIndex >= GetCount()) return nullptr;
    return m_entries[static_cast<size_t>(nIndex)].get();
}

void CSongList::AddTail(CSongEntry* pEntry) {
    m_entries.emplace_back(pEntry);
}

void CSongList::RemoveAt(int nIndex) {
    if (nIndex < 0 || nIndex >= GetCount()) return;
    m_entries.erase(m_entries.begin() + nIndex);
}
