// The test application with a profile of its own, so that tests never touch the
// installed programs' settings by accident.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "TestSkinApp.h"

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

    orvtest::CTestSkinApp m_app{"Orvanta-SharedTest"};
};
