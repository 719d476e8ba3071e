// Fixture files for the metadata tests, on the one test application with the MP3
// control loaded.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "TestSkinApp.h"

// The caption of every message box the code under test shows.
extern const char kMetaTestTitle[];

class MetaTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A file of nAudioBytes patterned bytes, optionally followed by the given tag and
    // preceded by the given head.
    std::string MakeFile(const char* name, size_t nAudioBytes, const std::vector<BYTE>& tag = {},
                         const std::vector<BYTE>& head = {});
    // An ID3v2.3 tag holding each (frame id, data) pair; text data start with their
    // encoding byte.
    static std::vector<BYTE> Id3v2Bytes(const std::vector<std::pair<std::string, std::string>>& frames);
    // A copy of a file in the test's folder; empty when it cannot be made.
    std::string CopyFixture(const std::string& source, const char* name);
    static std::vector<BYTE> ReadAll(const std::string& path);
    // 128 bytes: the marker, then each text at its offset, then the genre byte.
    static std::vector<BYTE> TagBytes(const char* marker, const char* title, const char* artist,
                                      const char* album, const char* year, const char* comment, BYTE genre);
    CString Text(UINT nId);

    orvtest::CTestSkinApp m_app{kMetaTestTitle};
    std::string m_dir;
    std::vector<std::string> m_files;
};

// Holds a file open without sharing, so that nobody else can open it. (A read-only
// attribute does not stop a root user under Wine.)
class CFileLock {
public:
    explicit CFileLock(const std::string& path);
    ~CFileLock();
    CFileLock(const CFileLock&) = delete;
    CFileLock& operator=(const CFileLock&) = delete;
    bool Held() const { return m_hFile != INVALID_HANDLE_VALUE; }
    void Release();

private:
    HANDLE m_hFile;
};

