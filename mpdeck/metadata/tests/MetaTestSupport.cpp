#include "MetaTestSupport.h"

#include <fstream>

#include "Mp3Play.h"
#include "TestSupport.h"

const char kMetaTestTitle[] = "Orvanta-MetaTest";

void MetaTest::SetUp() {
    AfxWinInit(::GetModuleHandleA(nullptr), nullptr, SW_SHOW);
    // The templates place the MP3 control: without its class no dialog opens.
    CMp3Play::Register();
    AfxEnableControlContainer();
    ASSERT_TRUE(fw::IsControlLoaded(CMp3Play::kClsid));
    m_dir = orvtest::MakeTempDir("meta");
}

void MetaTest::TearDown() {
    for (const std::string& path : m_files) {
        ::DeleteFileA(path.c_str());
    }
    ::RemoveDirectoryA(m_dir.c_str());
}

std::string MetaTest::MakeFile(const char* name, size_t nAudioBytes, const std::vector<BYTE>& tag,
                               const std::vector<BYTE>& head) {
    const std::string path = m_dir + "\\" + name;
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(head.data()), static_cast<std::streamsize>(head.size()));
    for (size_t i = 0; i < nAudioBytes; ++i) out.put(static_cast<char>(0x20 + i % 91));
    out.write(reinterpret_cast<const char*>(tag.data()), static_cast<std::streamsize>(tag.size()));
    m_files.push_back(path);
    return path;
}

std::vector<BYTE> MetaTest::Id3v2Bytes(const std::vector<std::pair<std::string, std::string>>& frames) {
    std::vector<BYTE> body;
    for (const auto& frame : frames) {
        const size_t nData = frame.second.size();
        body.insert(body.end(), frame.first.begin(), frame.first.end());
        for (int shift = 24; shift >= 0; shift -= 8) body.push_back(static_cast<BYTE>(nData >> shift));
        body.insert(body.end(), {0, 0});
        body.insert(body.end(), frame.second.begin(), frame.second.end());
    }
    const size_t nBody = body.size();
    std::vector<BYTE> tag = {'I', 'D', '3', 3, 0, 0};
    for (int shift = 21; shift >= 0; shift -= 7) tag.push_back(static_cast<BYTE>((nBody >> shift) & 0x7F));
    tag.insert(tag.end(), body.begin(), body.end());
    return tag;
}

std::string MetaTest::CopyFixture(const std::string& source, const char* name) {
    const std::string path = m_dir + "\\" + name;
    if (!::CopyFileA(source.c_str(), path.c_str(), FALSE)) return std::string();
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
    return m_app.Text(nId).c_str();
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
