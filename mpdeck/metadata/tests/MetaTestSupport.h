// Test application, MP3-like fixture files and a driver that answers message boxes
// and presses dialog buttons while a modal loop runs.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "SkinApp.h"

class CMetaTestApp : public CSkinApp {
public:
    CMetaTestApp();
};

// The caption of every message box the code under test shows.
extern const char kMetaTestTitle[];

class MetaTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A file of nAudioBytes patterned bytes, optionally followed by the given tag.
    std::string MakeFile(const char* name, size_t nAudioBytes, const std::vector<BYTE>& tag = {});
    static std::vector<BYTE> ReadAll(const std::string& path);
    // 128 bytes: the marker, then each text at its offset, then the genre byte.
    static std::vector<BYTE> TagBytes(const char* marker, const char* title, const char* artist,
                                      const char* album, const char* year, const char* comment, BYTE genre);
    static CString Text(UINT nId);

    CMetaTestApp m_app;
    std::string m_dir;
    std::vector<std::string> m_files;
};

// Runs steps one after another from a thread timer while body() runs its modal
// loop. A step returns true when done. Stops early (closing message boxes and the
// given dialog) when the time runs out; returns whether every step was done.
class CUiScript {
public:
    using Step = std::function<bool()>;
    void Add(Step step) { m_steps.push_back(std::move(step)); }
    bool Run(const std::function<void()>& body, DWORD timeoutMs = 15000);

    // Steps for message boxes with the test caption: waits for one, keeps its text,
    // presses the button.
    void AnswerBox(int nButton, std::string* pText = nullptr);

    HWND m_hDialog = nullptr;  // closed with IDCANCEL when the script times out

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
    void Tick();

    std::vector<Step> m_steps;
    size_t m_nNext = 0;
    DWORD m_dwDeadline = 0;
    bool m_bTimedOut = false;
    static CUiScript* s_pRunning;
};

// The message box with the test caption, or nullptr.
HWND FindTestBox();
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

// Posts a click on a dialog's button, so that its handler runs from the dialog's own loop.
void PostClick(HWND hDialog, int nId);
