// The ID3v1 genre names both players offer, indexed by genre number. Global names:
// the players' dialogs used them before the table moved here.
#pragma once

const int kGenreCount = 80;
// A genre byte outside the table has no name; this one is written for "no genre".
const unsigned char kNoGenre = 127;

extern const char* const g_apszGenreNames[kGenreCount];

// nullptr for numbers without a name.
const char* GenreName(int nGenre);

// The number of the genre with this name, ignoring case; -1 for none.
int GenreNumber(const char* pszName);
