// Registry fixtures for tests that change real keys of the prefix (a program's
// profile, a file association): the guard puts the key's values back as they were.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace orvtest {

// Remembers the values of one key (not its subkeys) and restores them on
// destruction: a key that did not exist is deleted again, with its subkeys.
class RegistryGuard {
public:
    RegistryGuard(HKEY hRoot, std::string path);
    ~RegistryGuard();
    RegistryGuard(const RegistryGuard&) = delete;
    RegistryGuard& operator=(const RegistryGuard&) = delete;

private:
    struct Value {
        std::string name;
        DWORD type;
        std::vector<BYTE> data;
    };
    HKEY m_hRoot;
    std::string m_path;
    bool m_bExisted = false;
    std::vector<Value> m_values;
};

// The same for a settings file the programs keep (cddeck.ini in the Windows folder):
// the test starts without it and the file is put back as it was.
class IniFileGuard {
public:
    explicit IniFileGuard(const std::string& fileName);
    ~IniFileGuard();
    IniFileGuard(const IniFileGuard&) = delete;
    IniFileGuard& operator=(const IniFileGuard&) = delete;

private:
    std::string m_path;
    bool m_bExisted = false;
    std::string m_bytes;
};

// Value helpers over HKEY root + key path; the Set* ones create the key.
bool SetRegistryString(HKEY hRoot, const std::string& path, const char* name, const std::string& value);
bool SetRegistryDword(HKEY hRoot, const std::string& path, const char* name, DWORD value);
bool DeleteRegistryValue(HKEY hRoot, const std::string& path, const char* name);
bool DeleteRegistryKey(HKEY hRoot, const std::string& path);
// false when the value is missing or of another type.
bool GetRegistryString(HKEY hRoot, const std::string& path, const char* name, std::string& value);
bool GetRegistryDword(HKEY hRoot, const std::string& path, const char* name, DWORD& value);

}  // namespace orvtest
