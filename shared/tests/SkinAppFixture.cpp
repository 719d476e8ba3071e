#include "SkinAppFixture.h"

#include "RegistryGuard.h"

namespace {

const char kTestRegistryKey[] = "OrvantaSharedTest";

}  // namespace

const char SkinAppTest::kSiblingKey[] = "Software\\Orvanta\\cddeck\\APP";

void SkinAppTest::SetUp() {
    AfxWinInit(::GetModuleHandleA(nullptr), nullptr, SW_SHOW);
    m_app.SetRegistryKey(kTestRegistryKey);
    orvtest::DeleteRegistryKey(HKEY_CURRENT_USER, std::string("Software\\") + kTestRegistryKey);
}

void SkinAppTest::TearDown() {
    orvtest::DeleteRegistryKey(HKEY_CURRENT_USER, std::string("Software\\") + kTestRegistryKey);
    AfxSetResourceHandle(nullptr);
}

std::string SkinAppTest::ProfileKey() {
    CString name = AfxGetApp()->m_strExeName;
    return std::string("Software\\") + kTestRegistryKey + "\\" + name.GetString() + "\\APP";
}

std::string SkinAppTest::ExePath() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}
