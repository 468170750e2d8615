#include "RegistryTestKeys.h"

#include "afxwin.h"

const char* const kTestMakerKey = "Software\\TalvoToolkitTest";
const char* const kTestModuleKey = "Software\\TalvoToolkitTest\\ToolkitTests\\1.0";
const char* const kTestCommonKey = "Software\\TalvoToolkitTest\\Common";

namespace {

void DeleteTestKeys()
{
    RegDeleteTreeA(HKEY_CURRENT_USER, kTestMakerKey);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kTestMakerKey);
}

} // namespace

TestRegistryHelper::TestRegistryHelper()
{
    SetKeyParts(AfxLoadString(4002).c_str(), AfxLoadString(4003).c_str(), AfxLoadString(4004).c_str(),
                AfxLoadString(4005).c_str());
}

RegistryTest::RegistryTest()
{
    DeleteTestKeys();
}

RegistryTest::~RegistryTest()
{
    DeleteTestKeys();
}
