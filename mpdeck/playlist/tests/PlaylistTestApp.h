// An application object with the playlist model, as mpdeck's is built; its playlist
// file is this test program's own.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "PlaylistModel.h"
#include "TestSkinApp.h"
#include "UiScript.h"

using orvtest::CUiScript;

extern const char kTestAppTitle[];

class CPlaylistTestApp : public orvtest::CTestSkinApp, public CPlaylistModel {
public:
    CPlaylistTestApp();
};

class PlaylistTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Full path of the playlist INI file in the Windows directory.
    static std::string IniPath();
    static std::string IniText();
    static void WriteIni(const std::string& text);
    // The keys of a section in file order, "key=value".
    static std::vector<std::string> SectionLines(const char* section);
    std::string Text(UINT id);
    // An existing file in the temp folder.
    std::string MakeFile(const std::string& name);

    CPlaylistTestApp m_app;
    CUiScript m_ui{kTestAppTitle};
    std::string m_dir;
};
