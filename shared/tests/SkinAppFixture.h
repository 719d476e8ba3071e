// An application object of the shared library's base class, with a profile of its
// own so that tests never touch the installed programs' settings by accident.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "SkinApp.h"

class CTestSkinApp : public CSkinApp {
public:
    CTestSkinApp();
    CWnd* GetPlayerWindow() override { return m_pPlayer; }
    void RequestQuit() override { ++m_nQuitRequests; }

    CWnd* m_pPlayer = nullptr;
    int m_nQuitRequests = 0;
};

class SkinAppTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The profile section "APP" of this test program, for the plain registry functions.
    static std::string ProfileKey();
    // The running test program's full path.
    static std::string ExePath();
    // The installed cddeck's profile key, which the test application reads as its sibling.
    static const char kSiblingKey[];

    CTestSkinApp m_app;
};
