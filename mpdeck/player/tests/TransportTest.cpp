// The player's choice of the next song, on a real playlist model and its shuffle.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "MP3Transport.h"

namespace {

const int kNormal = 1, kLoop = 2, kShuffle = 4, kLoopShuffle = 6;

class TransportTest : public ::testing::Test {
protected:
    void Fill(int nCount) {
        m_playlist.m_songList.RemoveAll();
        for (int i = 0; i < nCount; ++i) {
            const std::string path = "C:\\songs\\" + std::to_string(i + 1) + ".wav";
            m_playlist.m_songList.AddTail(new CSongEntry(path.c_str(), SONG_WAVE));
        }
        m_playlist.BuildShuffleOrder();
    }
    // Plays from stopped, then steps through the end-of-song path, as the player does.
    int Play(int nMode, bool bResume = false) {
        const int nSong = m_transport.ChooseForPlay(nMode, bResume);
        m_transport.m_nState = CMP3Transport::kRunning;
        return nSong;
    }
    // Previous or Next is a stop of the current song that ends in the end-of-song path.
    int Previous(int nMode, int nElapsed) {
        return m_transport.StepBack(nMode, nElapsed) ? m_transport.Advance(nMode) : -1;
    }
    int Next(int nMode) { return m_transport.CanStepForward(nMode) ? m_transport.Advance(nMode) : -1; }
    int Shuffled(int i) const { return m_playlist.m_shuffleOrder[static_cast<size_t>(i)] + 1; }

    CPlaylistModel m_playlist;
    CMP3Transport m_transport{m_playlist};
};

}  // namespace

TEST_F(TransportTest, PreviousGoesBackWithinThreeSecondsAndRestartsAfter) {
    Fill(4);
    const struct {
        int index, elapsed, expected;
    } cases[] = {{2, 0, 2}, {2, 2, 2}, {2, 3, 3}, {2, 40, 3}, {0, 1, 1}, {0, 10, 1}, {1, 1, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.index) + " at " + std::to_string(c.elapsed) + " s");
        Play(kNormal);
        m_transport.m_nIndex = c.index;
        EXPECT_EQ(Previous(kNormal, c.elapsed), c.expected);
        EXPECT_EQ(m_transport.m_nSongNumber, c.expected);
    }
}

TEST_F(TransportTest, NextOnTheLastSongNeedsTheLoopBit) {
    Fill(3);
    Play(kNormal);
    EXPECT_EQ(Next(kNormal), 2);
    EXPECT_EQ(Next(kNormal), 3);
    EXPECT_EQ(Next(kNormal), -1) << "ignored";
    EXPECT_EQ(m_transport.Advance(kNormal), CMP3Transport::kNoSong) << "the end of the list stops";
    m_transport.m_nIndex = 2;
    EXPECT_EQ(Next(kLoop), 1);

    Play(kLoopShuffle);
    m_transport.m_nIndex = 2;
    const std::vector<WORD> before = m_playlist.m_shuffleOrder;
    std::vector<WORD> seen;
    for (int pass = 0; pass < 20 && seen.empty(); ++pass) {
        m_transport.m_nIndex = 2;
        const int nSong = Next(kLoopShuffle);
        EXPECT_EQ(nSong, Shuffled(0));
        if (m_playlist.m_shuffleOrder != before) seen = m_playlist.m_shuffleOrder;
    }
    EXPECT_FALSE(seen.empty()) << "the wrap reshuffles";
}

TEST_F(TransportTest, EveryShufflePassPlaysEachSongOnce) {
    for (int nCount : {1, 2, 7, 40}) {
        SCOPED_TRACE(nCount);
        Fill(nCount);
        std::vector<int> played = {Play(kShuffle)};
        for (int nSong; (nSong = m_transport.Advance(kShuffle)) != CMP3Transport::kNoSong;) played.push_back(nSong);
        std::sort(played.begin(), played.end());
        std::vector<int> all(static_cast<size_t>(nCount));
        for (int i = 0; i < nCount; ++i) all[static_cast<size_t>(i)] = i + 1;
        EXPECT_EQ(played, all);
    }
    // With loop, the second pass is complete as well.
    Fill(5);
    std::vector<int> played = {Play(kLoopShuffle)};
    for (int i = 0; i < 9; ++i) played.push_back(m_transport.Advance(kLoopShuffle));
    std::vector<int> second(played.begin() + 5, played.end());
    std::sort(second.begin(), second.end());
    EXPECT_EQ(second, (std::vector<int>{1, 2, 3, 4, 5}));
}

TEST_F(TransportTest, ShuffleSwitchedOnStartsANewOrderAfterTheCurrentSong) {
    Fill(6);
    Play(kNormal);
    m_transport.Advance(kNormal);  // song 2 plays
    m_transport.ModeChanging(kNormal, true, false);
    EXPECT_EQ(Previous(kShuffle, 0), -1) << "Previous waits for the new order";
    const int nSong = m_transport.Advance(kShuffle);
    EXPECT_EQ(m_transport.m_nIndex, 0);
    EXPECT_EQ(nSong, Shuffled(0));
    EXPECT_EQ(m_transport.m_nPassMode, kShuffle);
    EXPECT_EQ(m_transport.m_bModeChanged, 0);
}

TEST_F(TransportTest, ShuffleSwitchedOffContinuesAfterTheSongInListOrder) {
    Fill(6);
    Play(kShuffle);
    m_transport.Advance(kShuffle);
    const int nPlaying = m_transport.m_nSongNumber;
    m_transport.ModeChanging(kShuffle, true, false);
    m_transport.ModeChanging(kLoopShuffle, true, false);  // a second change keeps the pass mode
    EXPECT_EQ(m_transport.m_nPassMode, kShuffle);
    const int nSong = m_transport.Advance(kNormal);
    EXPECT_EQ(nSong, nPlaying == 6 ? CMP3Transport::kNoSong : nPlaying + 1);
    if (nPlaying == 6) return;
    EXPECT_EQ(m_transport.m_nIndex, nPlaying);
    EXPECT_EQ(m_transport.Advance(kNormal), nPlaying == 5 ? CMP3Transport::kNoSong : nPlaying + 2);
}

TEST_F(TransportTest, APositionBeforeTheListNeverReadsOutsideTheShuffleOrder) {
    Fill(4);
    // Previous on the first shuffled song, then shuffle off: list order from the top.
    Play(kShuffle);
    ASSERT_TRUE(m_transport.StepBack(kShuffle, 0));
    EXPECT_EQ(m_transport.m_nIndex, CMP3Transport::kNoIndex);
    m_transport.ModeChanging(kShuffle, true, false);
    EXPECT_EQ(m_transport.Advance(kNormal), 1);

    // Select Song of the first entry in the same state plays that entry; so does any other.
    for (int nEntry : {0, 2}) {
        Play(kShuffle);
        m_transport.ModeChanging(kShuffle, true, false);
        EXPECT_EQ(m_transport.Select(nEntry, true, kNormal), CMP3Transport::kNoSong);
        EXPECT_EQ(Next(kNormal), nEntry + 1);
    }
    // An order shorter than the list names nothing at the missing slots.
    m_playlist.m_shuffleOrder.resize(2);
    EXPECT_EQ(m_transport.SongNumberAt(3, kShuffle), CMP3Transport::kNoSong);
    EXPECT_EQ(m_transport.SongNumberAt(-1, kNormal), CMP3Transport::kNoSong);
    EXPECT_EQ(m_transport.Select(4, false, kNormal), CMP3Transport::kNoSong);
}

TEST_F(TransportTest, AListLoadedInShuffleModeKeepsItsOrderAtTheFirstEnd) {
    Fill(8);
    // The pass mode is still the plain one from start-up.
    ASSERT_EQ(m_transport.m_nPassMode, kNormal);
    const int nFirst = Play(kShuffle);
    const std::vector<WORD> order = m_playlist.m_shuffleOrder;
    EXPECT_EQ(nFirst, Shuffled(0));
    EXPECT_EQ(m_transport.Advance(kShuffle), Shuffled(1));
    EXPECT_EQ(m_playlist.m_shuffleOrder, order) << "no reshuffle, so no song twice";
}

TEST_F(TransportTest, ResumeContinuesAfterStopUnlessRestartIsSet) {
    Fill(5);
    const struct {
        bool resume, restart;
        int expected;
    } cases[] = {{true, false, 3}, {false, false, 1}, {true, true, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.resume) + std::to_string(c.restart));
        Play(kNormal);
        m_transport.Advance(kNormal);
        m_transport.Advance(kNormal);
        m_transport.Stopped(kNormal);
        m_transport.m_bRestart = c.restart;
        EXPECT_EQ(Play(kNormal, c.resume), c.expected);
        EXPECT_EQ(m_transport.m_bRestart, 0);
    }
    // A list that became shorter than the resumed position starts again at the top.
    m_transport.m_nIndex = 4;
    Fill(2);
    EXPECT_EQ(Play(kNormal, true), 1);
    Fill(0);
    EXPECT_EQ(Play(kNormal, true), CMP3Transport::kNoSong);
}

TEST_F(TransportTest, AModeChangeSetsRestartOnlyWithResume) {
    Fill(3);
    m_transport.ModeChanging(kNormal, false, false);
    EXPECT_EQ(m_transport.m_bRestart, 0);
    EXPECT_EQ(m_transport.m_bModeChanged, 0) << "stopped: no pass to mark";
    m_transport.ModeChanging(kNormal, true, true);
    EXPECT_EQ(m_transport.m_bRestart, 1);
    EXPECT_EQ(m_transport.m_bModeChanged, 1);
}

TEST_F(TransportTest, ModeCycleAndSeekSteps) {
    const int modes[][2] = {{1, 2}, {2, 4}, {4, 6}, {6, 1}, {5, 1}, {0, 1}};
    for (const auto& m : modes) EXPECT_EQ(playmode::Next(m[0]), m[1]) << m[0];
    const struct {
        int position;
        bool forward;
        int length, expected;
    } steps[] = {{0, false, 10, 0}, {5, false, 10, 4}, {9, true, 10, 10}, {10, true, 10, 10}, {0, true, 0, 0}};
    for (const auto& s : steps) {
        EXPECT_EQ(CMP3Transport::SeekStep(s.position, s.forward, s.length), s.expected) << s.position;
    }
}

TEST_F(TransportTest, TheFollowingSongIsTheOneTheEndOfSongWouldPlayWhereThatIsCertain) {
    Fill(4);
    // Pass mode, play mode, index: kNoSong where the end of song reshuffles, begins a
    // new pass or stops.
    const struct {
        int pass, mode, index;
        bool certain;
    } cases[] = {{kNormal, kNormal, 0, true},        {kNormal, kNormal, 3, false},
                 {kLoop, kLoop, 3, true},            {kShuffle, kShuffle, 1, true},
                 {kLoopShuffle, kLoopShuffle, 3, false}, {kNormal, kShuffle, 1, false},
                 {kShuffle, kNormal, 1, false},      {kNormal, kLoop, 3, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.pass) + " " + std::to_string(c.mode) + " at " + std::to_string(c.index));
        Play(c.pass);
        m_transport.m_nIndex = c.index;
        const int nFollowing = m_transport.ChooseFollowing(c.mode);
        EXPECT_EQ(m_transport.FollowingSong(), nFollowing);
        if (!c.certain) {
            EXPECT_EQ(nFollowing, CMP3Transport::kNoSong);
            continue;
        }
        ASSERT_NE(nFollowing, CMP3Transport::kNoSong);
        CMP3Transport advanced(m_playlist);
        advanced.m_nIndex = c.index;
        advanced.m_nPassMode = c.pass;
        EXPECT_EQ(advanced.Advance(c.mode), nFollowing);
        ASSERT_TRUE(m_transport.EnterFollowing());
        EXPECT_EQ(m_transport.m_nIndex, advanced.m_nIndex);
        EXPECT_EQ(m_transport.m_nSongNumber, nFollowing);
        EXPECT_FALSE(m_transport.EnterFollowing()) << "entered once";
    }
    // Every other way on forgets it.
    Play(kNormal);
    m_transport.ChooseFollowing(kNormal);
    EXPECT_EQ(m_transport.Advance(kNormal), 2);
    EXPECT_FALSE(m_transport.EnterFollowing());
    m_transport.ChooseFollowing(kNormal);
    m_transport.Stopped(kNormal);
    EXPECT_EQ(m_transport.FollowingSong(), CMP3Transport::kNoSong);
}
