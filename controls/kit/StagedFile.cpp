#include "ctlkit/StagedFile.h"

#include <windows.h>

namespace ctlkit {

namespace {

constexpr char kTempPrefix[] = "orv";

// The folder part of a path, "." for a bare name.
std::string FolderOf(const std::string& path) {
    const size_t nSlash = path.find_last_of("\\/");
    if (nSlash == std::string::npos) return ".";
    if (nSlash == 0 || (nSlash == 2 && path[1] == ':')) return path.substr(0, nSlash + 1);
    return path.substr(0, nSlash);
}

std::string MakeTempFile(const std::string& target) {
    char szTemp[MAX_PATH] = {};
    if (!::GetTempFileNameA(FolderOf(target).c_str(), kTempPrefix, 0, szTemp)) return {};
    return szTemp;
}

// Whether a name that opens is something other than a file on a disk (a device): the
// finished file would be renamed over it.
bool IsDevice(const std::string& path) {
    const HANDLE h = ::CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    const DWORD dwType = ::GetFileType(h);
    ::CloseHandle(h);
    return dwType != FILE_TYPE_DISK;
}

}  // namespace

bool CStagedFile::CanWrite(const std::string& target) {
    if (target.empty() || target.back() == '\\' || target.back() == '/') return false;
    const DWORD dwAttributes = ::GetFileAttributesA(target.c_str());
    if (dwAttributes != INVALID_FILE_ATTRIBUTES &&
        (dwAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)))
        return false;
    if (IsDevice(target)) return false;
    const std::string strTemp = MakeTempFile(target);
    if (strTemp.empty()) return false;
    ::DeleteFileA(strTemp.c_str());
    return true;
}

bool CStagedFile::Begin(const std::string& target) {
    Discard();
    if (!CanWrite(target)) return false;
    m_strTemp = MakeTempFile(target);
    if (m_strTemp.empty()) return false;
    m_strTarget = target;
    return true;
}

bool CStagedFile::Commit() {
    if (!IsActive()) return false;
    const bool bMoved = ::MoveFileExA(m_strTemp.c_str(), m_strTarget.c_str(),
                                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
    if (!bMoved) ::DeleteFileA(m_strTemp.c_str());
    m_strTemp.clear();
    m_strTarget.clear();
    return bMoved;
}

void CStagedFile::Discard() {
    if (IsActive()) ::DeleteFileA(m_strTemp.c_str());
    m_strTemp.clear();
    m_strTarget.clear();
}

}  // namespace ctlkit
