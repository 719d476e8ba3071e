// The common controls must be registered before any list view, trackbar or sheet.
#include <gtest/gtest.h>

#include "fw/Framework.h"

namespace {

class CommonControlsEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES};
        ASSERT_TRUE(InitCommonControlsEx(&icc));
    }
};

const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new CommonControlsEnvironment);

}  // namespace
