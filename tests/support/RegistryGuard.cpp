#include "RegistryGuard.h"

#include <utility>

#include "TestSupport.h"

namespace orvtest {

namespace {

class Key {
public:
    Key(HKEY hRoot, const std::string& path, bool bCreate) {
        const LONG status = bCreate ? ::RegCreateKeyExA(hRoot, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                                        &m_hKey, nullptr)
                                    : ::RegOpenKeyExA(hRoot, path.c_str(), 0, KEY_ALL_ACCESS, &m_hKey);
        if (status != ERROR_SUCCESS) m_hKey = nullptr;
    }
    ~Key() {
        if (m_hKey) ::RegCloseKey(m_hKey);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    HKEY get() const { return m_hKey; }

private:
    HKEY m_hKey = nullptr;
};

std::vector<std::string> ValueNames(HKEY hKey) {
    std::vector<std::string> names;
    for (DWORD i = 0;; ++i) {
        char name[16384];
        DWORD length = sizeof name;
        if (::RegEnumValueA(hKey, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.emplace_back(name, length);
    }
    return names;
}

}  // namespace

RegistryGuard::RegistryGuard(HKEY hRoot, std::string path) : m_hRoot(hRoot), m_path(std::move(path)) {
    Key key(m_hRoot, m_path, false);
    if (!key.get()) return;
    m_bExisted = true;
    for (const std::string& name : ValueNames(key.get())) {
        Value value{name, 0, {}};
        DWORD size = 0;
        if (::RegQueryValueExA(key.get(), name.c_str(), nullptr, &value.type, nullptr, &size) != ERROR_SUCCESS) continue;
        value.data.resize(size);
        if (::RegQueryValueExA(key.get(), name.c_str(), nullptr, &value.type, value.data.data(), &size) != ERROR_SUCCESS) {
            continue;
        }
        value.data.resize(size);
        m_values.push_back(std::move(value));
    }
}

RegistryGuard::~RegistryGuard() {
    if (!m_bExisted) {
        ::RegDeleteTreeA(m_hRoot, m_path.c_str());
        return;
    }
    Key key(m_hRoot, m_path, true);
    if (!key.get()) return;
    for (const std::string& name : ValueNames(key.get())) ::RegDeleteValueA(key.get(), name.c_str());
    for (const Value& value : m_values) {
        ::RegSetValueExA(key.get(), value.name.c_str(), 0, value.type, value.data.data(),
                         static_cast<DWORD>(value.data.size()));
    }
}

bool SetRegistryString(HKEY hRoot, const std::string& path, const char* name, const std::string& value) {
    Key key(hRoot, path, true);
    return key.get() && ::RegSetValueExA(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                         static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

bool SetRegistryDword(HKEY hRoot, const std::string& path, const char* name, DWORD value) {
    Key key(hRoot, path, true);
    return key.get() && ::RegSetValueExA(key.get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                                         sizeof value) == ERROR_SUCCESS;
}

bool DeleteRegistryValue(HKEY hRoot, const std::string& path, const char* name) {
    Key key(hRoot, path, false);
    if (!key.get()) return true;
    const LONG status = ::RegDeleteValueA(key.get(), name);
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

bool DeleteRegistryKey(HKEY hRoot, const std::string& path) {
    const LONG status = ::RegDeleteTreeA(hRoot, path.c_str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

bool GetRegistryString(HKEY hRoot, const std::string& path, const char* name, std::string& value) {
    Key key(hRoot, path, false);
    if (!key.get()) return false;
    DWORD type = 0, size = 0;
    if (::RegQueryValueExA(key.get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ) {
        return false;
    }
    std::vector<char> buffer(size + 1, '\0');
    if (::RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) !=
        ERROR_SUCCESS) {
        return false;
    }
    value.assign(buffer.data());
    return true;
}

bool GetRegistryDword(HKEY hRoot, const std::string& path, const char* name, DWORD& value) {
    Key key(hRoot, path, false);
    if (!key.get()) return false;
    DWORD type = 0, size = sizeof value;
    return ::RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) ==
               ERROR_SUCCESS &&
           type == REG_DWORD;
}

IniFileGuard::IniFileGuard(const std::string& fileName) {
    char szWindows[MAX_PATH] = {};
    ::GetWindowsDirectoryA(szWindows, MAX_PATH);
    m_path = std::string(szWindows) + "\\" + fileName;
    m_bExisted = ::GetFileAttributesA(m_path.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (m_bExisted) m_bytes = ReadFileBytes(m_path);
    ::WritePrivateProfileStringA(nullptr, nullptr, nullptr, m_path.c_str());  // drops the cached file
    ::DeleteFileA(m_path.c_str());
}

IniFileGuard::~IniFileGuard() {
    ::WritePrivateProfileStringA(nullptr, nullptr, nullptr, m_path.c_str());
    if (m_bExisted) {
        WriteFileBytes(m_path, m_bytes);
    } else {
        ::DeleteFileA(m_path.c_str());
    }
}

}  // namespace orvtest
