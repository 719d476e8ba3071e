// The hidden frame: off screen whatever it is asked, closes only through the
// application, hands the focus to the player window.
#include "SkinAppFixture.h"
#include "SkinMessages.h"
#include "TestSupport.h"

namespace {

class MainFrameTest : public SkinAppTest {
protected:
    void TearDown() override {
        if (m_player.m_hWnd) m_player.DestroyWindow();
        if (m_app.m_wndFrame.m_hWnd) m_app.m_wndFrame.DestroyWindow();
        SkinAppTest::TearDown();
    }
    bool CreateFrame() {
        const CRect asked(100, 100, 500, 400);
        return m_app.m_wndFrame.Create(nullptr, "Orvanta-SharedTest", WS_OVERLAPPEDWINDOW, asked);
    }

    CWnd m_player;
};

}  // namespace

TEST_F(MainFrameTest, FrameIsPlacedOffScreenWithoutMaximizeBox) {
    ASSERT_TRUE(CreateFrame());
    CRect rc;
    m_app.m_wndFrame.GetWindowRect(&rc);
    EXPECT_EQ(rc.left, -200);
    EXPECT_EQ(rc.top, -40);
    EXPECT_LE(rc.right, 0) << "no part of it on screen";
    EXPECT_EQ(m_app.m_wndFrame.GetStyle() & WS_MAXIMIZEBOX, 0u);
    EXPECT_NE(m_app.m_wndFrame.GetStyle() & WS_MINIMIZEBOX, 0u);
}

TEST_F(MainFrameTest, CloseAsksTheApplicationAndKeepsTheFrame) {
    ASSERT_TRUE(CreateFrame());
    m_app.m_wndFrame.SendMessage(WM_CLOSE);
    EXPECT_EQ(m_app.m_nQuitRequests, 1);
    EXPECT_TRUE(m_app.m_wndFrame.IsWindow());
}

TEST_F(MainFrameTest, ActivationFocusesThePlayerWindow) {
    ASSERT_TRUE(CreateFrame());
    ASSERT_TRUE(m_player.CreateEx(0, nullptr, "player", WS_POPUP | WS_VISIBLE, 10, 10, 50, 50,
                                  m_app.m_wndFrame.m_hWnd, nullptr));
    m_app.m_wndFrame.ShowWindow(SW_SHOW);
    ::SetFocus(nullptr);
    m_app.m_wndFrame.SendMessage(WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_NE(::GetFocus(), m_player.m_hWnd) << "only activation moves the focus";

    m_app.m_pPlayer = &m_player;
    m_app.m_wndFrame.SendMessage(WM_ACTIVATE, WA_CLICKACTIVE, 0);
    EXPECT_EQ(::GetFocus(), m_player.m_hWnd);
}

TEST_F(MainFrameTest, MinimizeHidesThePlayerWithTheFrame) {
    ASSERT_TRUE(CreateFrame());
    ASSERT_TRUE(m_player.CreateEx(0, nullptr, "player", WS_POPUP | WS_VISIBLE, 10, 10, 50, 50,
                                  m_app.m_wndFrame.m_hWnd, nullptr));
    m_app.m_wndFrame.ShowWindow(SW_SHOW);
    m_app.m_wndFrame.MinimizeToTaskbar();
    orvtest::PumpFor(100);
    EXPECT_TRUE(m_app.m_wndFrame.IsIconic());
    EXPECT_FALSE(m_player.IsWindowVisible()) << "owned windows go with their minimized owner";

    m_app.m_wndFrame.ShowWindow(SW_RESTORE);
    orvtest::PumpFor(100);
    EXPECT_TRUE(m_player.IsWindowVisible());
}
