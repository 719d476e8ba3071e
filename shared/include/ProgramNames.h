// The names by which the two programs find each other: frame titles (also the
// single-instance probe and every message box caption) and player window texts.
#pragma once

const char kMp3Title[] = "Orvanta-MP3";
const char kCdTitle[] = "Orvanta-CD";
const char kMp3PlayerText[] = "OrvMP3Player";
const char kCdPlayerText[] = "OrvCDPlayer";

// Every setting lives in this section of the program's profile key.
const char kProfileSection[] = "APP";
