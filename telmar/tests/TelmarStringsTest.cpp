// The string table of TELMAR.DLL against the id list of TelmarIds.h, and the texts
// that the players use as names, patterns, keys and fonts.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <string>
#include <vector>

#include "TelmarIds.h"
#include "TelmarLibrary.h"

namespace {

using telmartest::Conversions;
using telmartest::Library;
using telmartest::LoadText;

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

bool Contains(const std::string& haystack, const std::string& needle) {
    return haystack.find(needle) != std::string::npos;
}

TEST(TelmarConversions, ReadsPrintfFormatsTheWayTheCallersUseThem) {
    EXPECT_EQ(Conversions("plain text"), "");
    EXPECT_EQ(Conversions("100 %% done"), "");
    EXPECT_EQ(Conversions("%s at %.2d:%.2d:%.2d"), "sddd");
    EXPECT_EQ(Conversions("%-20s %ld %5u %x"), "sddd");
    EXPECT_EQ(Conversions("50 % off"), "d");   // "% o" converts an argument nobody passes
    EXPECT_EQ(Conversions("ends with %"), "?");
    EXPECT_EQ(Conversions("%*d"), "?");
    EXPECT_EQ(Conversions("%f"), "?");
}

TEST(TelmarStrings, EveryListedIdLoadsWithExactlyItsArguments) {
    ASSERT_NE(Library(), nullptr);
    for (const telmar::StringSpec& spec : telmar::kTelmarStrings) {
        const std::string text = LoadText(spec.id);
        EXPECT_FALSE(text.empty()) << "string " << spec.id << " is missing";
        EXPECT_LT(text.size(), size_t(telmar::kMaxStringChars)) << spec.id;
        EXPECT_EQ(Conversions(text), spec.args) << "string " << spec.id << ": \"" << text << "\"";
    }
}

BOOL CALLBACK CollectBlock(HMODULE, LPCSTR, LPSTR name, LONG_PTR param) {
    if (IS_INTRESOURCE(name)) {
        reinterpret_cast<std::vector<unsigned>*>(param)->push_back(unsigned(reinterpret_cast<ULONG_PTR>(name)));
    }
    return TRUE;
}

TEST(TelmarStrings, ListHasNoDuplicatesAndTheLibraryNoUnlistedStrings) {
    ASSERT_NE(Library(), nullptr);
    std::set<unsigned> listed;
    for (const telmar::StringSpec& spec : telmar::kTelmarStrings) {
        EXPECT_TRUE(listed.insert(spec.id).second) << "listed twice: " << spec.id;
    }
    // String resources come in blocks of 16; block b holds ids (b - 1) * 16 onwards.
    std::vector<unsigned> blocks;
    EnumResourceNamesA(Library(), RT_STRING, CollectBlock, reinterpret_cast<LONG_PTR>(&blocks));
    ASSERT_FALSE(blocks.empty());
    size_t found = 0;
    for (unsigned block : blocks) {
        for (unsigned i = 0; i < 16; ++i) {
            const unsigned id = (block - 1) * 16 + i;
            if (LoadText(id).empty()) continue;
            ++found;
            EXPECT_TRUE(listed.count(id)) << "string " << id << " is in the library but not in TelmarIds.h";
        }
    }
    EXPECT_EQ(found, listed.size());
}

TEST(TelmarStrings, TooltipsFitTheTooltipTextBuffer) {
    for (const telmar::StringSpec& spec : telmar::kTelmarStrings) {
        if (spec.id < telmar::kFirstTooltipId || spec.id > telmar::kLastTooltipId) continue;
        EXPECT_LE(LoadText(spec.id).size(), size_t(telmar::kMaxTooltipChars)) << spec.id;
    }
}

TEST(TelmarStrings, LibraryNameIsTheFileItselfAndSuffixesAreExact) {
    char path[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameA(Library(), path, MAX_PATH), 0u);
    const std::string file = std::string(path).substr(std::string(path).find_last_of("\\/") + 1);
    EXPECT_EQ(Lower(LoadText(IDS_LIBRARY_FILE)), Lower(file));
    EXPECT_EQ(LoadText(IDS_MP3_SUFFIX), ".mp3");
    EXPECT_EQ(LoadText(IDS_WAVE_SUFFIX), ".wav");
}

// The players detect a file's type by looking for its last four characters,
// lower-cased, in the MP3 patterns, then in the WAVE pattern.
TEST(TelmarStrings, PatternsSortFilesByTheirLastFourCharacters) {
    const std::string mp3 = LoadText(IDS_MP3_PATTERNS), wave = LoadText(IDS_WAVE_PATTERN);
    for (const char* ext : {".mp3", ".mp2", ".mpa"}) {
        EXPECT_TRUE(Contains(mp3, ext)) << ext;
        EXPECT_FALSE(Contains(wave, ext)) << ext;
    }
    EXPECT_TRUE(Contains(wave, ".wav"));
    EXPECT_FALSE(Contains(mp3, ".wav"));
    for (const char* other : {".txt", ".ogg", "mp3;", "3;*."}) EXPECT_FALSE(Contains(wave, other)) << other;
    const std::string audio = LoadText(IDS_AUDIO_PATTERNS);
    EXPECT_TRUE(Contains(audio, mp3));
    EXPECT_TRUE(Contains(audio, wave));
    EXPECT_EQ(LoadText(IDS_ALL_PATTERN), "*.*");
    // Filter parts are joined with NULs; none may hold one of its own or a '|'.
    for (UINT id : {IDS_MP3_PATTERNS, IDS_MP3_FILTER_NAME, IDS_WAVE_FILTER_NAME, IDS_WAVE_PATTERN,
                    IDS_ALL_FILTER_NAME, IDS_ALL_PATTERN, IDS_AUDIO_FILTER_NAME, IDS_AUDIO_PATTERNS}) {
        EXPECT_FALSE(Contains(LoadText(id), "|")) << id;
    }
}

TEST(TelmarStrings, FileNamesAndFoldersHaveTheirExpectedShape) {
    EXPECT_EQ(Lower(LoadText(IDS_ENC_LOG_FILE)).substr(LoadText(IDS_ENC_LOG_FILE).size() - 4), ".log");
    EXPECT_EQ(Lower(LoadText(IDS_DEC_LOG_FILE)).substr(LoadText(IDS_DEC_LOG_FILE).size() - 4), ".log");
    EXPECT_NE(LoadText(IDS_ENC_LOG_FILE), LoadText(IDS_DEC_LOG_FILE));
    EXPECT_EQ(LoadText(IDS_MP3_HELP_FILE), "mpdeck.htm");
    EXPECT_EQ(LoadText(IDS_CD_HELP_FILE), "cddeck.htm");
    for (UINT id : {IDS_ENC_LOG_FILE, IDS_DEC_LOG_FILE, IDS_MP3_HELP_FILE, IDS_CD_HELP_FILE}) {
        EXPECT_EQ(LoadText(id).find_first_of("\\/:"), std::string::npos) << id << " is a bare file name";
    }
    // The extractor creates one missing level of its folders, so the parent must exist.
    for (UINT id : {IDS_DEFAULT_RIP_FOLDER, IDS_DEFAULT_MP3_FOLDER}) {
        const std::string folder = LoadText(id);
        ASSERT_GT(folder.size(), 3u) << id;
        EXPECT_EQ(folder.substr(1, 2), ":\\") << folder;
        EXPECT_NE(folder.back(), '\\') << folder;
        const std::string parent = folder.substr(0, folder.find_last_of('\\') + 1);
        const DWORD attributes = GetFileAttributesA(parent.c_str());
        EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) << parent;
    }
    EXPECT_NE(LoadText(IDS_DEFAULT_RIP_FOLDER), LoadText(IDS_DEFAULT_MP3_FOLDER));
}

// 177 is read by mpdeck and names cddeck's profile key; 178 the other way round.
// The install step has written each program's "Path" value there.
TEST(TelmarStrings, SiblingKeysNameTheOtherProgramsProfile) {
    const struct {
        UINT id;
        const char* program;
    } keys[] = {{IDS_CDDECK_PROFILE_KEY, "cddeck"}, {IDS_MPDECK_PROFILE_KEY, "mpdeck"}};
    for (const auto& key : keys) {
        const std::string path = LoadText(key.id);
        EXPECT_EQ(path, std::string("Software\\Orvanta\\") + key.program + "\\APP");
        HKEY hkey = nullptr;
        ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &hkey), ERROR_SUCCESS)
            << path << " (run through scripts/test, which installs the programs)";
        char value[256] = {};
        DWORD size = sizeof value - 1;
        const LONG read = RegQueryValueExA(hkey, "Path", nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
        RegCloseKey(hkey);
        ASSERT_EQ(read, ERROR_SUCCESS);
        EXPECT_TRUE(Contains(Lower(value), std::string(key.program) + ".exe")) << value;
    }
}

// GDI substitutes another face for a missing one; the selected face tells.
std::string SelectedFace(const std::string& face) {
    HFONT font = CreateFontA(-9, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_TT_PRECIS,
                             CLIP_DEFAULT_PRECIS, PROOF_QUALITY, VARIABLE_PITCH, face.c_str());
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    char selected[LF_FACESIZE] = {};
    GetTextFaceA(dc, LF_FACESIZE, selected);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    DeleteObject(font);
    return selected;
}

TEST(TelmarStrings, FontFacesAreInstalled) {
    for (UINT id : {IDS_LCD_FONT, IDS_AUDITION_FONT}) {
        const std::string face = LoadText(id);
        ASSERT_FALSE(face.empty());
        ASSERT_LT(face.size(), size_t(LF_FACESIZE));
        EXPECT_EQ(Lower(SelectedFace(face)), Lower(face)) << face << " is not installed";
    }
}

TEST(TelmarStrings, FormattedTextsHoldTheirArguments) {
    char out[2048];
    wsprintfA(out, LoadText(IDS_PLAYLIST_TOTALS).c_str(), 3, 1, 2, 5);
    EXPECT_TRUE(Contains(out, "3")) << out;
    EXPECT_TRUE(Contains(out, "\t")) << "the totals line keeps the template's tab";
    std::snprintf(out, sizeof out, LoadText(IDS_ENC_LOG_HEADER).c_str(), "Monday, March 02, 2026", 9, 5, 7);
    EXPECT_TRUE(Contains(out, "Monday, March 02, 2026")) << out;
    EXPECT_TRUE(Contains(out, "09:05:07")) << out;
    std::snprintf(out, sizeof out, LoadText(IDS_DEC_LOG_ELAPSED).c_str(), "01", "02", "03");
    EXPECT_TRUE(Contains(out, "01:02:03")) << out;
    // Log entries end their own line.
    for (UINT id : {IDS_ENC_LOG_STARTED, IDS_ENC_LOG_FINISHED, IDS_DEC_LOG_FAILED, IDS_ENC_LOG_NO_SOURCE}) {
        const std::string text = LoadText(id);
        EXPECT_EQ(text.substr(text.size() - 2), "\r\n") << id;
    }
    // The target causes are arguments of 231 and 233, not lines of their own.
    for (UINT id : {IDS_DEC_TARGET_NOT_CREATED, IDS_TARGET_IS_SOURCE, IDS_TARGET_IS_FOLDER, IDS_TARGET_READ_ONLY,
                    IDS_TARGET_NO_FOLDER, IDS_TARGET_FOLDER_LOCKED}) {
        EXPECT_EQ(LoadText(id).find('\n'), std::string::npos) << id;
    }
}

}  // namespace
