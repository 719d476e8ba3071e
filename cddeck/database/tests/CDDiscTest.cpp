// The disc model over the real CD-audio driver and a real INI file.
#include <gtest/gtest.h>
#include <windows.h>
#include <mmsystem.h>

#include <orvcdaudio/DiscImage.h>

#include <atomic>
#include <thread>

#include "CDDisc.h"
#include "RegistryGuard.h"
#include "TestDiscs.h"

namespace {

using namespace cdtest;

class CDDiscTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(Insert(kDemoCue)); }
    void TearDown() override {
        if (m_nDevice) mciSendCommandA(m_nDevice, MCI_CLOSE, 0, 0);
    }
    static bool Insert(const std::string& cue) { return orvtest::SetRegistryString(HKEY_CURRENT_USER, kDiscKey, "Disc", cue); }
    UINT Device() {
        if (m_nDevice) return m_nDevice;
        MCI_OPEN_PARMSA open = {};
        open.lpstrDeviceType = "CDAudio";
        EXPECT_EQ(mciSendCommandA(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_SHAREABLE, reinterpret_cast<DWORD_PTR>(&open)), 0u);
        m_nDevice = open.wDeviceID;
        return m_nDevice;
    }
    // A demo disc read with the database holding the given text.
    void ReadDemoWith(CCDDisc& disc, const std::string& section) {
        m_database.WriteRaw("[" + std::string(kDemoDiscId) + "]\r\n" + section);
        ASSERT_TRUE(disc.Read(Device()));
    }

    orvtest::RegistryGuard m_guard{HKEY_CURRENT_USER, kDiscKey};
    CTestDatabase m_database;
    MCIDEVICEID m_nDevice = 0;
};

TEST_F(CDDiscTest, ADiscWithoutEntryGetsDefaults) {
    // A sheet without texts: nothing to start a record from, and none is written.
    const TestDisc plain = MakeTestDisc("plain", {Frames(0, 30, 0), Frames(0, 20, 0)});
    ASSERT_TRUE(Insert(plain.cue));
    CCDDisc blank(kTestDatabase);
    ASSERT_TRUE(blank.Read(Device()));
    EXPECT_EQ(blank.TrackAt(1)->GetTitle(), "Track02");
    EXPECT_EQ(m_database.ReadRaw(), "");

    // The demo disc's sheet has titles: its new record starts from them.
    ASSERT_TRUE(Insert(kDemoCue));
    CCDDisc disc(kTestDatabase);
    ASSERT_TRUE(disc.Read(Device()));
    ASSERT_EQ(disc.m_nTrackCount, 6);
    ASSERT_EQ(disc.m_tracks.size(), 6u);
    EXPECT_EQ(disc.m_strIdentifier, kDemoDiscId);
    EXPECT_EQ(disc.m_strAlbum, "Orvanta Demo Disc");
    EXPECT_EQ(disc.m_strArtist, "Orvanta");
    EXPECT_TRUE(disc.m_strComment.IsEmpty());
    EXPECT_EQ(disc.TrackAt(0)->GetTitle(), "First Light");
    EXPECT_EQ(disc.TrackAt(5)->GetTitle(), "Last Call");
    EXPECT_EQ(disc.m_selection, (std::vector<BYTE>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(disc.m_nMode, kCdModePlain);
    EXPECT_NE(m_database.ReadRaw().find("1=First Light"), std::string::npos);
    // Track 2 is 6278 frames: 1:23:53.
    EXPECT_EQ(disc.TrackAt(1)->GetMinutes(), 1);
    EXPECT_EQ(disc.TrackAt(1)->GetSeconds(), 23);
    EXPECT_EQ(disc.TrackAt(1)->GetFrames(), 53);
    int total = 0;
    for (const CCDTrack* pTrack : disc.m_tracks) total += pTrack->GetLengthInSeconds();
    EXPECT_EQ(disc.m_nTotalTime, total);
}

// A new disc's record from its sheet's texts, in UTF-8 or the code page; a disc with
// a record keeps it, whatever its sheet says.
TEST_F(CDDiscTest, ANewDiscsRecordStartsFromItsSheet) {
    auto ansi = [](const char* utf8) {
        wchar_t wide[64] = {};
        char text[64] = {};
        ::MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, 64);
        ::WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
        return std::string(text);
    };
    const struct {
        const char* name;
        std::string texts;  // before the first FILE
        std::string track2;  // after TRACK 02
        std::string album, genre, title2;
    } cases[] = {
        {"utf8", "TITLE \"Caf\xC3\xA9 Nights\"\r\nPERFORMER \"Band\"\r\nREM DATE 1999\r\nREM GENRE jazz\r\n",
         "    TITLE \"Second\"\r\n    PERFORMER \"Guest\"\r\n", ansi("Caf\xC3\xA9 Nights"), "Jazz", "Guest - Second"},
        {"ansi", "TITLE \"Caf\xE9 Nights\"\r\nPERFORMER Band\r\nREM GENRE \"Polka Metal\"\r\n",
         "    TITLE Second\r\n    PERFORMER Band\r\n", "Caf\xE9 Nights", "", "Second"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        m_database.WriteRaw("");
        const TestDisc image = MakeTestDisc(c.name, {Frames(0, 30, 0), Frames(0, 20, 0)});
        std::string sheet = orvtest::ReadFileBytes(image.cue);
        sheet.insert(sheet.find("    INDEX 01 00:30:00"), c.track2);
        ASSERT_TRUE(orvtest::WriteFileBytes(image.cue, c.texts + sheet));
        ASSERT_TRUE(Insert(image.cue));
        CCDDisc disc(kTestDatabase);
        ASSERT_TRUE(disc.Read(Device()));
        EXPECT_EQ(std::string(disc.m_strAlbum), c.album);
        EXPECT_EQ(std::string(disc.m_strArtist), "Band");
        EXPECT_EQ(std::string(disc.m_strGenre), c.genre);
        EXPECT_EQ(std::string(disc.TrackAt(0)->GetTitle()), "Track01");
        EXPECT_EQ(std::string(disc.TrackAt(1)->GetTitle()), c.title2);
        // The record is written once; the user's edits win from then on.
        disc.m_strAlbum = "Mine";
        disc.TrackAt(1)->SetTitle("My Title");
        disc.SaveToDatabase();
        CCDDisc again(kTestDatabase);
        ASSERT_TRUE(again.Read(Device()));
        EXPECT_EQ(std::string(again.m_strAlbum), "Mine");
        EXPECT_EQ(std::string(again.TrackAt(1)->GetTitle()), "My Title");
    }
    EXPECT_EQ(ansi("Caf\xC3\xA9"), "Caf\xE9");  // the cases assume a Western code page
}

TEST_F(CDDiscTest, IdentifiersOfTestImagesAreFreedbs) {
    orv::cd::CDiscImage demo;
    std::string error;
    ASSERT_TRUE(demo.Load(kDemoCue, error)) << error;
    std::vector<int> demoStarts;
    for (const auto& track : demo.Tracks()) demoStarts.push_back(track.start);
    EXPECT_EQ(FreedbId(demoStarts, demo.LeadOut()), kDemoDiscId);
    // The demo disc ships as FLAC; as a BINARY image it is the same disc.
    ASSERT_TRUE(Insert(ORV_DEMO_BIN_CUE));
    CCDDisc binary(kTestDatabase);
    ASSERT_TRUE(binary.Read(Device()));
    EXPECT_EQ(binary.m_strIdentifier, kDemoDiscId);

    std::vector<int> many(99, 300);
    const TestDisc discs[] = {MakeTestDisc("three", {Frames(0, 30, 1), Frames(4, 10, 20), Frames(0, 2, 74)}),
                              MakeTestDisc("ninetynine", many)};
    for (const TestDisc& image : discs) {
        ASSERT_TRUE(Insert(image.cue));
        CCDDisc disc(kTestDatabase);
        ASSERT_TRUE(disc.Read(Device())) << image.cue;
        EXPECT_EQ(disc.m_nTrackCount, static_cast<int>(image.starts.size()));
        EXPECT_EQ(disc.m_strIdentifier, FreedbId(image.starts, image.leadOut)) << image.cue;
    }
}

TEST_F(CDDiscTest, AnEmptyDriveLeavesAClearedModelAndNoSection) {
    m_database.WriteRaw("[]\r\nAlbum=Shared by every unknown disc\r\n");
    ASSERT_TRUE(Insert(""));
    CCDDisc disc(kTestDatabase);
    disc.m_strAlbum = "left over";
    EXPECT_FALSE(disc.Read(Device()));
    EXPECT_EQ(disc.m_nTrackCount, 0);
    EXPECT_TRUE(disc.m_tracks.empty() && disc.m_selection.empty() && disc.m_strIdentifier.IsEmpty());
    EXPECT_TRUE(disc.m_strAlbum.IsEmpty());
    disc.LoadFromDatabase();
    EXPECT_TRUE(disc.m_strAlbum.IsEmpty());

    m_database.WriteRaw("");
    disc.m_strAlbum = "Mine";
    disc.SaveToDatabase();
    EXPECT_EQ(m_database.ReadRaw().find("Mine"), std::string::npos);
}

TEST_F(CDDiscTest, AReadCutShortLeavesAConsistentModel) {
    // The driver reads the drive at every query, so discs swapped to and fro while Read
    // walks the tracks make a length query fail once the one-track disc is seen.
    const TestDisc full = MakeTestDisc("full", std::vector<int>(99, Frames(0, 4, 0)));
    const TestDisc single = MakeTestDisc("single", {Frames(0, 4, 0)});
    HANDLE hGo = ::CreateEventA(nullptr, FALSE, FALSE, nullptr);
    HANDLE hSettled = ::CreateEventA(nullptr, FALSE, FALSE, nullptr);
    std::atomic<bool> bReading{false}, bQuit{false};
    std::thread swapper([&] {
        while (::WaitForSingleObject(hGo, 20000) == WAIT_OBJECT_0 && !bQuit) {
            while (bReading) {
                Insert(single.cue);
                Insert(full.cue);
            }
            ::SetEvent(hSettled);
        }
    });
    int nCutShort = 0;
    for (int attempt = 0; attempt < 50 && !nCutShort; ++attempt) {
        CCDDisc disc(kTestDatabase);
        const UINT nDevice = Device();
        bReading = true;
        ::SetEvent(hGo);
        const BOOL bRead = disc.Read(nDevice);
        bReading = false;
        ASSERT_EQ(::WaitForSingleObject(hSettled, 20000), WAIT_OBJECT_0);
        ASSERT_EQ(disc.m_nTrackCount, static_cast<int>(disc.m_tracks.size()));
        ASSERT_EQ(disc.m_selection.size(), disc.m_tracks.size());
        int total = 0;
        for (const CCDTrack* pTrack : disc.m_tracks) total += pTrack->GetLengthInSeconds();
        ASSERT_EQ(disc.m_nTotalTime, total);
        if (bRead || disc.m_nTrackCount == 0) continue;
        ++nCutShort;
        EXPECT_LT(disc.m_nTrackCount, 99);
        EXPECT_TRUE(disc.m_strIdentifier.IsEmpty());
    }
    bQuit = true;
    ::SetEvent(hGo);
    swapper.join();
    ::CloseHandle(hGo);
    ::CloseHandle(hSettled);
    EXPECT_GT(nCutShort, 0) << "no read was cut short";
}

TEST_F(CDDiscTest, StoredSelectionTitlesAndMode) {
    CCDDisc disc(kTestDatabase);
    ReadDemoWith(disc, "2=Long Road\r\n3=\r\nNumSelect=3\r\nSelection=05 01 03 \r\nMode=6\r\n");
    EXPECT_EQ(disc.m_selection, (std::vector<BYTE>{5, 1, 3}));
    EXPECT_TRUE(disc.IsSelected(1) && !disc.IsSelected(2));
    EXPECT_EQ(disc.TrackAt(1)->GetTitle(), "Long Road");
    EXPECT_EQ(disc.TrackAt(2)->GetTitle(), "Track03");
    EXPECT_EQ(disc.m_nMode, 6);

    ReadDemoWith(disc, "NumSelect=0\r\nSelection=01 02 \r\n");
    EXPECT_TRUE(disc.m_selection.empty());
}

TEST_F(CDDiscTest, ADamagedSectionLoadsSafelyAndFast) {
    CCDDisc disc(kTestDatabase);
    const DWORD start = GetTickCount();
    ReadDemoWith(disc, "NumSelect=500\r\nSelection=02 02 00 99 06 120\r\nNumComment=1000000\r\nComment1=x\r\nComment2=y\r\n");
    EXPECT_LT(GetTickCount() - start, 3000u);
    EXPECT_EQ(disc.m_selection, (std::vector<BYTE>{2, 6}));
    EXPECT_EQ(disc.m_strComment, "x\r\ny");
    disc.Shuffle();  // must end although the file held repeats
    EXPECT_EQ(disc.m_shuffled.size(), 2u);
}

TEST_F(CDDiscTest, CommentsRoundTripByteForByte) {
    CCDDisc disc(kTestDatabase);
    ReadDemoWith(disc, "Mode=1\r\n");  // a record of the user's: the sheet stays out
    disc.m_strComment = "a\r\nb\r\nc";
    disc.m_strAlbum = "Album";
    disc.SaveToDatabase();
    const std::string block = "Comment1=a\r\nComment2=b\r\nComment3=c\r\nNumComment=3\r\n";
    EXPECT_NE(m_database.ReadRaw().find(block), std::string::npos) << m_database.ReadRaw();

    CCDDisc again(kTestDatabase);
    ASSERT_TRUE(again.Read(Device()));
    EXPECT_EQ(again.m_strComment, "a\r\nb\r\nc");
    again.SaveToDatabase();
    EXPECT_NE(m_database.ReadRaw().find(block), std::string::npos) << m_database.ReadRaw();

    // Ending with a line break stores no empty line.
    again.m_strComment = "a\r\nb\r\n";
    again.SaveToDatabase();
    CCDDisc third(kTestDatabase);
    ASSERT_TRUE(third.Read(Device()));
    EXPECT_EQ(third.m_strComment, "a\r\nb");

    // Lines stored with their carriage return, as older files hold them.
    ReadDemoWith(third, "NumComment=2\r\nComment1=a\r\r\nComment2=b\r\n");
    EXPECT_EQ(third.m_strComment, "a\r\nb");
}

TEST_F(CDDiscTest, SelectionFromMarksIsInTrackOrder) {
    CCDDisc disc(kTestDatabase);
    ASSERT_TRUE(disc.Read(Device()));
    disc.SetSelectionFromMarks({0, 1, 0, 1, 1, 0});
    EXPECT_EQ(disc.m_selection, (std::vector<BYTE>{2, 4, 5}));
    disc.SaveToDatabase();
    CCDDisc again(kTestDatabase);
    ASSERT_TRUE(again.Read(Device()));
    EXPECT_EQ(again.m_selection, (std::vector<BYTE>{2, 4, 5}));
}

}  // namespace
