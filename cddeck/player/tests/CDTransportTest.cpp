// The CD transport's choice of tracks, driven as the player window drives it: Play,
// the end of each track, Next, Previous, the mode button and the strip.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "CDTransport.h"
#include "DiscRules.h"

namespace {

using Order = std::vector<uint8_t>;
using Step = CCDTransport::CEndStep;
using Back = CCDTransport::CPreviousStep;

class CTestDisc : public CCDPlayOrderSource {
public:
    CTestDisc(Order selection, int nMode) : m_selection(std::move(selection)), m_nMode(nMode) {}
    int GetPlayMode() const override { return m_nMode; }
    const Order& GetSelection() const override { return m_selection; }
    const Order& GetShuffled() const override { return m_shuffled; }
    void Shuffle() override {
        m_shuffled = cddisc::ShuffledSelection(m_selection);
        ++m_nShuffles;
    }

    Order m_selection;
    Order m_shuffled;
    int m_nMode;
    int m_nShuffles = 0;
};

class CDTransportTest : public ::testing::Test {
protected:
    void SetUp() override { std::srand(7); }
    // Play, then every track to its successful end: what plays, until the transport
    // stops or nMax tracks have played.
    Order PlayThrough(CCDTransport& transport, size_t nMax) {
        Order played;
        int nTrack = transport.BeginPlay();
        while (nTrack >= 1 && played.size() < nMax) {
            played.push_back(static_cast<uint8_t>(nTrack));
            if (played.size() == nMax) break;
            const Step step = transport.PlayEnded(CCDTransport::kNotifySuccessful, true, false);
            nTrack = step.m_kind == Step::kPlay ? step.m_nTrack : -1;
        }
        return played;
    }
    static bool IsPermutation(Order a, Order b) {
        std::sort(a.begin(), a.end());
        std::sort(b.begin(), b.end());
        return a == b;
    }
};

}  // namespace

TEST_F(CDTransportTest, PlainAndLoopModesFollowTheSelection) {
    const struct {
        int mode;
        Order played;
    } cases[] = {{1, {5, 1, 3}}, {2, {5, 1, 3, 5, 1, 3, 5}}};
    for (const auto& c : cases) {
        CTestDisc disc({5, 1, 3}, c.mode);
        CCDTransport transport(&disc);
        EXPECT_EQ(PlayThrough(transport, 7), c.played) << c.mode;
        EXPECT_EQ(disc.m_nShuffles, 0);
    }
}

TEST_F(CDTransportTest, ShuffleDrawsAtPlayAndLoopShuffleAtEachWrap) {
    const Order selection = {2, 4, 6, 8, 9};
    CTestDisc once(selection, 4);
    CCDTransport plain(&once);
    const Order pass = PlayThrough(plain, 20);
    EXPECT_TRUE(IsPermutation(pass, selection));
    EXPECT_EQ(pass, once.m_shuffled);
    EXPECT_EQ(once.m_nShuffles, 1);

    CTestDisc looped(selection, 6);
    CCDTransport loop(&looped);
    const Order three = PlayThrough(loop, 15);
    ASSERT_EQ(three.size(), 15u);
    for (size_t i = 0; i < 3; ++i) EXPECT_TRUE(IsPermutation(Order(three.begin() + 5 * i, three.begin() + 5 * i + 5), selection));
    EXPECT_EQ(looped.m_nShuffles, 3);
}

TEST_F(CDTransportTest, ShuffleOffGoesOnAfterTheCurrentTrackInTheSelection) {
    CTestDisc disc({1, 2, 3, 4, 5, 6, 7}, 4);
    CCDTransport transport(&disc);
    int nTrack = transport.BeginPlay();
    // Until the playing track is not the selection's last, so that something follows.
    while (nTrack == 7) nTrack = transport.Next();
    EXPECT_EQ(transport.ChangeMode(true), 6);
    disc.m_nMode = 1;  // as the playlist page writes it
    const Step step = transport.PlayEnded(CCDTransport::kNotifySuccessful, true, false);
    ASSERT_EQ(step.m_kind, Step::kPlay);
    EXPECT_EQ(step.m_nTrack, nTrack + 1);
    EXPECT_EQ(transport.GetActiveMode(), 1);
    EXPECT_FALSE(transport.IsModeChanged());
}

TEST_F(CDTransportTest, PreviousRestartsOrGoesBackWithinTwoSeconds) {
    CTestDisc disc({5, 1, 3}, 1);
    CCDTransport transport(&disc);
    ASSERT_EQ(transport.BeginPlay(), 5);
    EXPECT_EQ(transport.Previous(5, 1).m_kind, Back::kNone) << "the first entry has nothing before it";
    const Back restart = transport.Previous(5, 5);
    EXPECT_EQ(restart.m_kind, Back::kRestart);
    EXPECT_EQ(restart.m_nTrack, 5);

    ASSERT_EQ(transport.Next(), 1);
    ASSERT_EQ(transport.Next(), 3);
    const Back back = transport.Previous(3, 1);
    ASSERT_EQ(back.m_kind, Back::kBack);
    EXPECT_EQ(back.m_nTrack, 1);
    EXPECT_EQ(back.m_nPosition, 1);
    EXPECT_EQ(transport.GetLastAction(), CCDTransport::kActionPrevious);
    // The window stops the device, which resets the position, then plays the entry.
    transport.SetOrderPosition(CCDTransport::kBeforeFirst);
    transport.SetOrderPosition(back.m_nPosition);
    EXPECT_EQ(transport.Next(), 3);
}

TEST_F(CDTransportTest, NextAtTheLastEntryKeepsPlayingAndEmptySelectionsPlayNothing) {
    CTestDisc disc({5, 1, 3}, 1);
    CCDTransport transport(&disc);
    transport.BeginPlay();
    transport.Next();
    transport.Next();
    EXPECT_EQ(transport.Next(), CCDTransport::kNoTrack);
    EXPECT_EQ(transport.GetOrderPosition(), 2);
    for (int mode : {1, 2, 4, 6}) {
        CTestDisc empty({}, mode);
        CCDTransport none(&empty);
        EXPECT_EQ(none.BeginPlay(), CCDTransport::kNoTrack) << mode;
        EXPECT_EQ(none.NextTrack(), CCDTransport::kNoTrack) << mode;
    }
}

TEST_F(CDTransportTest, PlayFromStoppedReadsTheOrderOfTheDiscsMode) {
    CTestDisc disc({5, 1, 3}, 4);
    CCDTransport transport(&disc);
    transport.BeginPlay();
    transport.Next();
    transport.Stop();
    // Mode 1 chosen while stopped, and a shuffled copy left shorter than the selection.
    transport.ChangeMode(false);
    disc.m_nMode = 1;
    disc.m_shuffled = {3};
    EXPECT_EQ(PlayThrough(transport, 5), (Order{5, 1, 3}));

    disc.m_nMode = 4;
    const int nFirst = transport.BeginPlay();
    EXPECT_EQ(nFirst, disc.m_shuffled.front());
    // A stale shuffled copy is read within its bounds only.
    disc.m_shuffled.resize(1);
    EXPECT_EQ(transport.NextTrack(), CCDTransport::kNoTrack);
}

TEST_F(CDTransportTest, APositionOutsideTheOrderCountsAsBeforeTheFirstEntry) {
    CTestDisc disc({5, 1, 3}, 1);
    CCDTransport transport(&disc);
    for (int position : {3, 40, -7}) {
        transport.SetOrderPosition(position);
        EXPECT_EQ(transport.NextTrack(), 5) << position;
    }
    transport.ChooseTrack(1);
    EXPECT_EQ(transport.GetOrderPosition(), 1);
    transport.ChooseTrack(9);
    EXPECT_EQ(transport.GetOrderPosition(), 1) << "a track outside the order leaves the position";
}

TEST_F(CDTransportTest, EndsOfReplacedOrStaleRequestsAreIgnored) {
    const unsigned kSuperseded = 2, kAborted = 4;
    CTestDisc disc({5, 1, 3}, 1);
    CCDTransport transport(&disc);
    ASSERT_EQ(transport.BeginPlay(), 5);
    // Play from stopped and the play that ends a scan both replace a request.
    EXPECT_EQ(transport.PlayEnded(kSuperseded, true, true).m_kind, Step::kIgnore);
    transport.SetLastAction(CCDTransport::kActionPlay);
    EXPECT_EQ(transport.PlayEnded(kAborted, true, true).m_kind, Step::kIgnore);
    // A successful end that arrives while a newer request plays changes nothing.
    EXPECT_EQ(transport.PlayEnded(CCDTransport::kNotifySuccessful, true, true).m_kind, Step::kIgnore);
    EXPECT_EQ(transport.GetOrderPosition(), 0);
    EXPECT_EQ(transport.PlayEnded(CCDTransport::kNotifySuccessful, false, false).m_kind, Step::kIgnore) << "paused";
    // A play the drive cannot carry out (its disc's data gone) stops the transport.
    EXPECT_EQ(transport.PlayEnded(CCDTransport::kNotifyFailure, true, false).m_kind, Step::kStop);
    transport.Stop();
    EXPECT_EQ(transport.PlayEnded(kAborted, true, false).m_kind, Step::kStop);
}

TEST_F(CDTransportTest, ModeChangesWhilePlayingKeepTheModeThePassBeganIn) {
    CTestDisc disc({1, 2}, 2);
    CCDTransport transport(&disc);
    transport.BeginPlay();
    transport.ChangeMode(true);
    disc.m_nMode = 4;
    transport.ChangeMode(true);
    EXPECT_TRUE(transport.IsModeChanged());
    EXPECT_EQ(transport.GetActiveMode(), 2);
}

TEST_F(CDTransportTest, AModeSetFromElsewhereKeepsThePassModeOnlyWhilePlaying) {
    CTestDisc disc({1, 2}, 2);
    CCDTransport transport(&disc);
    transport.NoteModeChange(false);
    EXPECT_FALSE(transport.IsModeChanged());
    transport.BeginPlay();
    transport.NoteModeChange(true);
    disc.m_nMode = 6;
    transport.NoteModeChange(true);
    EXPECT_TRUE(transport.IsModeChanged());
    EXPECT_EQ(transport.GetActiveMode(), 2);
}
