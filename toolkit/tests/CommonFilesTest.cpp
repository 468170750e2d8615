#include "RegistryTestKeys.h"

#include "files/TlCommonFiles.h"
#include "support/RegistrySandbox.h"

namespace {

const char* const kCurrentVersionKey = kWindowsCurrentVersionKey;
const char kCommonFilesValue[] = "CommonFilesDir";

// Changes "CommonFilesDir" for one test and puts the prefix's own value back.
class CommonFilesTest : public ::testing::Test {
protected:
    CommonFilesTest() { m_registry.Preserve(HKEY_LOCAL_MACHINE, kCurrentVersionKey, kCommonFilesValue); }

private:
    RegistrySandbox m_registry;
};

TEST_F(CommonFilesTest, PresentTextValueIsTakenAsStored)
{
    ASSERT_TRUE(StoreText(HKEY_LOCAL_MACHINE, kCurrentVersionKey, kCommonFilesValue, "D:\\Shared Files"));
    EXPECT_EQ("D:\\Shared Files", GetCommonFilesFolder()); // no backslash added

    ASSERT_TRUE(StoreText(HKEY_LOCAL_MACHINE, kCurrentVersionKey, kCommonFilesValue, "D:\\Shared\\"));
    EXPECT_EQ("D:\\Shared\\", GetCommonFilesFolder());
}

TEST_F(CommonFilesTest, MissingValueGivesAnEmptyFolder)
{
    DeleteValue(HKEY_LOCAL_MACHINE, kCurrentVersionKey, kCommonFilesValue);
    EXPECT_EQ("", GetCommonFilesFolder());
}

TEST_F(CommonFilesTest, ValueOfAnotherTypeGivesAnEmptyFolder)
{
    ASSERT_TRUE(
        StoreText(HKEY_LOCAL_MACHINE, kCurrentVersionKey, kCommonFilesValue, "%ProgramFiles%\\Common", REG_EXPAND_SZ));
    EXPECT_EQ("", GetCommonFilesFolder());

    const char bytes[] = "C:\\Binary";
    ASSERT_TRUE(StoreValue(HKEY_LOCAL_MACHINE, kCurrentVersionKey, kCommonFilesValue, REG_BINARY, bytes, sizeof bytes));
    EXPECT_EQ("", GetCommonFilesFolder());
}

TEST(CommonFilesPrefix, TheWinePrefixHasTheFolder)
{
    EXPECT_EQ("C:\\Program Files\\Common Files", GetCommonFilesFolder());
}

} // namespace
