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

void CSongList::InsertAt(int nIndex, CSongEntry* pEntry) {
    const int nAt = nIndex < 0 ? 0 : (nIndex > GetCount() ? GetCount() : nIndex);
    m_entries.emplace(m_entries.begin() + nAt, pEntry);
}

void CSongList::RemoveAt(int nIndex) {
    if (nIndex < 0 || nIndex >= GetCount()) return;
    m_entries.erase(m_entries.begin() + nIndex);
}

BOOL CSongList::Reorder(const std::vector<int>& order) {
    if (order.size() != m_entries.size()) return FALSE;
    std::vector<std::unique_ptr<CSongEntry>> reordered(m_entries.size());
    for (size_t i = 0; i < order.size(); ++i) {
        const int nFrom = order[i];
        if (nFrom < 0 || nFrom >= GetCount() || !m_entries[static_cast<size_t>(nFrom)]) {
            // A repeated or foreign index: put back what was taken.
            for (size_t j = 0; j < i; ++j) m_entries[static_cast<size_t>(order[j])] = std::move(reordered[j]);
            return FALSE;
        }
        reordered[i] = std::move(m_entries[static_cast<size_t>(nFrom)]);
    }
    m_entries = std::move(reordered);
    return TRUE;
}
