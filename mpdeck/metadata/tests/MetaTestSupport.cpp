#include "MetaTestSupport.h"

#include <fstream>
#include <memory>

#include "TelmarIds.h"
#include "TestSupport.h"

const char kMetaTestTitle[] = "Orvanta-MetaTest";

CMetaTestApp::CMetaTestApp() : CSkinApp(kMetaTestTitle, IDS_CDDECK_PROFILE_KEY, IDS_CD_PLAYER_MISSING) {}

void MetaTest::SetUp() {
    AfxWinInit(::GetModuleHandleA(nullptr), nullptr, SW_SHOW);
    m_dir = orvtest::MakeTempDir("meta");
}

void MetaTest::TearDown() {
    for (const std::string& path : m_files) {
        ::DeleteFileA(path.c_str());
    }
    ::RemoveDirectoryA(m_dir.c_str());
}

std::string MetaTest::MakeFile(const char* name, size_t nAudioBytes, const std::vector<BYTE>& tag) {
    const std::string path = m_dir + "\\" + name;
    std::ofstream out(path, std::ios::binary);
    for (size_t i = 0; i < nAudioBytes; ++i) out.put(static_cast<char>(0x20 + i % 91));
    out.write(reinterpret_cast<const char*>(tag.data()), static_cast<std::streamsize>(tag.size()));
    m_files.push_back(path);
    return path;
}

std::vector<BYTE> MetaTest::ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<BYTE>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<BYTE> MetaTest::TagBytes(const char* marker, const char* title, const char* artist, const char* album,
                                     const char* year, const char* comment, BYTE genre) {
    std::vector<BYTE> tag(128, 0);
    auto put = [&tag](size_t offset, size_t size, const char* text) {
        for (size_t i = 0; i < size && text[i]; ++i) tag[offset + i] = static_cast<BYTE>(text[i]);
    };
    put(0, 3, marker);
    put(3, 30, title);
    put(33, 30, artist);
    put(63, 30, album);
    put(93, 4, year);
    put(97, 30, comment);
    tag[127] = genre;
    return tag;
}

CString MetaTest::Text(UINT nId) {
    CString strText;
    EXPECT_TRUE(GetSkinApp()->LoadResString(strText, nId)) << "string " << nId;
    return strText;
}

HWND FindTestBox() {
    return ::FindWindowA("#32770", kMetaTestTitle);
}

CFileLock::CFileLock(const std::string& path)
    : m_hFile(::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)) {}

CFileLock::~CFileLock() {
    Release();
}

void CFileLock::Release() {
    if (m_hFile != INVALID_HANDLE_VALUE) ::CloseHandle(m_hFile);
    m_hFile = INVALID_HANDLE_VALUE;
}

void PostClick(HWND hDialog, int nId) {
    ::PostMessageA(hDialog, WM_COMMAND, MAKEWPARAM(nId, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(hDialog, nId)));
}

CUiScript* CUiScript::s_pRunning = nullptr;

void CUiScript::AnswerBox(int nButton, std::string* pText) {
    auto answered = std::make_shared<HWND>(nullptr);
    Add([nButton, pText, answered] {
        HWND hBox = FindTestBox();
        if (!hBox || !::IsWindowVisible(hBox)) return false;
        *answered = hBox;
        if (pText) {
            char text[1024] = {};
            // A message box shows its text in the static with id 0xFFFF.
            ::GetDlgItemTextA(hBox, 0xFFFF, text, sizeof text);
            *pText = text;
        }
        ::PostMessageA(hBox, WM_COMMAND, MAKEWPARAM(nButton, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(hBox, nButton)));
        return true;
    });
    // The next step starts once this box is gone; another may follow at once.
    Add([answered] { return !::IsWindow(*answered); });
}

bool CUiScript::Run(const std::function<void()>& body, DWORD timeoutMs) {
    s_pRunning = this;
    m_nNext = 0;
    m_bTimedOut = false;
    m_dwDeadline = ::GetTickCount() + timeoutMs;
    const UINT_PTR nTimer = ::SetTimer(nullptr, 0, 50, OnTimer);
    body();
    ::KillTimer(nullptr, nTimer);
    // Steps that only wait for a box to go may still be due once the loop has ended.
    if (!m_bTimedOut)
        while (m_nNext < m_steps.size() && m_steps[m_nNext]()) ++m_nNext;
    s_pRunning = nullptr;
    return !m_bTimedOut && m_nNext == m_steps.size();
}

void CALLBACK CUiScript::OnTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (s_pRunning) s_pRunning->Tick();
}

void CUiScript::Tick() {
    if (static_cast<LONG>(::GetTickCount() - m_dwDeadline) > 0) m_bTimedOut = true;
    if (m_bTimedOut) {
        // Keep closing whatever comes up until the modal loop returns.
        if (HWND hBox = FindTestBox()) ::PostMessageA(hBox, WM_CLOSE, 0, 0);
        if (m_hDialog) ::PostMessageA(m_hDialog, WM_COMMAND, IDCANCEL, 0);
        return;
    }
    while (m_nNext < m_steps.size() && m_steps[m_nNext]()) ++m_nNext;
}
