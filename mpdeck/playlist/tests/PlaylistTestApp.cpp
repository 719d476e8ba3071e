#include "PlaylistTestApp.h"

#include <commctrl.h>

#include <fstream>
#include <sstream>

#include "TelmarIds.h"
#include "TestSupport.h"

const char kTestAppTitle[] = "Orvanta-PlaylistTest";

namespace {

// Wine reuses process ids from one test process to the next, so a temp folder named
// after the id may hold the files of an earlier test.
void EmptyFolder(const std::string& dir) {
    WIN32_FIND_DATAA found = {};
    HANDLE hFind = ::FindFirstFileA((dir + "\\*").c_str(), &found);
    if (hFind == INVALID_HANDLE_VALUE) return;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ::DeleteFileA((dir + "\\" + found.cFileName).c_str());
    } while (::FindNextFileA(hFind, &found));
    ::FindClose(hFind);
}

}  // namespace

CPlaylistTestApp::CPlaylistTestApp() : CTestSkinApp(kTestAppTitle) {}

void PlaylistTest::SetUp() {
    AfxWinInit(::GetModuleHandleA(nullptr), nullptr, SW_SHOW);
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&controls);
    ::DeleteFileA(IniPath().c_str());
    m_dir = orvtest::MakeTempDir("plist");
    EmptyFolder(m_dir);
}

void PlaylistTest::TearDown() {
    EmptyFolder(m_dir);
    ::DeleteFileA(IniPath().c_str());
}

std::string PlaylistTest::IniPath() {
    char dir[MAX_PATH] = {};
    ::GetWindowsDirectoryA(dir, MAX_PATH);
    return std::string(dir) + "\\" + CPlaylistFile::FileName().GetString();
}

std::string PlaylistTest::IniText() {
    return orvtest::ReadFileBytes(IniPath());
}

void PlaylistTest::WriteIni(const std::string& text) {
    std::ofstream out(IniPath(), std::ios::binary);
    out << text;
}

std::vector<std::string> PlaylistTest::SectionLines(const char* section) {
    char buffer[32768] = {};
    ::GetPrivateProfileSectionA(section, buffer, sizeof buffer, CPlaylistFile::FileName());
    std::vector<std::string> lines;
    for (const char* p = buffer; *p; p += lines.back().size() + 1) lines.emplace_back(p);
    return lines;
}

std::string PlaylistTest::Text(UINT id) {
    return m_app.Text(id);
}

std::string PlaylistTest::MakeFile(const std::string& name) {
    const std::string path = m_dir + "\\" + name;
    std::ofstream(path, std::ios::binary) << "x";
    return path;
}
