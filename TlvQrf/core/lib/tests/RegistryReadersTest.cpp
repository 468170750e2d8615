#include "lib/TlRegistryReaders.h"

#include "FrameTestEnvironment.h"
#include "support/RegistrySandbox.h"

#include <gtest/gtest.h>

namespace {

const std::string kColorKey = std::string(LibraryKeyHelper::CommonKey()) + "\\ColorManagement";

class RegistryReadersTest : public ::testing::Test {
protected:
    RegistryReadersTest()
    {
        for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
            m_registry.OwnKey(root, "Software\\Talvo");
        }
    }

    LibraryKeyHelper m_helper;
    RegistrySandbox m_registry;
};

TEST_F(RegistryReadersTest, KindsPickRootAndKey)
{
    const std::string debug = std::string(LibraryKeyHelper::LibraryKey()) + "\\Debug";
    const std::string common = std::string(LibraryKeyHelper::CommonKey()) + "\\Debug";
    StoreDword(HKEY_LOCAL_MACHINE, debug, "AppOption8", 10);
    StoreDword(HKEY_CURRENT_USER, debug, "AppOption8", 11);
    StoreDword(HKEY_LOCAL_MACHINE, common, "AppOption8", 12);
    StoreDword(HKEY_CURRENT_USER, common, "AppOption8", 13);

    const struct {
        int kind;
        DWORD expected;
    } cases[] = {{0, 10}, {1, 11}, {2, 12}, {3, 13}, {4, 99}, {-1, 99}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        EXPECT_EQ(c.expected, ReadRegistryDword(c.kind, "Debug", "AppOption8", 99));
    }
}

TEST_F(RegistryReadersTest, ValueExistsTreatsUnknownKindsAsUserLibraryKey)
{
    const std::string debug = std::string(LibraryKeyHelper::LibraryKey()) + "\\Debug";
    StoreDword(HKEY_CURRENT_USER, debug, "AppOption8", 1);

    EXPECT_TRUE(RegistryValueExists(1, "Debug", "AppOption8"));
    EXPECT_TRUE(RegistryValueExists(7, "Debug", "AppOption8"));
    EXPECT_FALSE(RegistryValueExists(0, "Debug", "AppOption8"));
    EXPECT_FALSE(RegistryValueExists(1, "Debug", "Missing"));
    EXPECT_FALSE(RegistryValueExists(1, "NoSuchKey", "AppOption8"));
}

TEST_F(RegistryReadersTest, StringDefaultsAndUnknownKind)
{
    StoreText(HKEY_CURRENT_USER, LibraryKeyHelper::LibraryKey() + std::string("\\Paths"), "Last",
                               "C:\\x.icm");

    EXPECT_EQ("C:\\x.icm", ReadRegistryString(1, "Paths", "Last", "fallback"));
    EXPECT_EQ("fallback", ReadRegistryString(1, "Paths", "Missing", "fallback"));
    EXPECT_EQ("fallback", ReadRegistryString(0, "Paths", "Last", "fallback"));
    EXPECT_EQ("", ReadRegistryString(9, "Paths", "Last", "fallback"));
}

TEST_F(RegistryReadersTest, NamesByIdComeFromTheStringTable)
{
    StoreText(HKEY_CURRENT_USER, kColorKey, "RGBProfile", "C:\\rgb.icm");
    EXPECT_TRUE(RegistryValueExistsById(3, 32103, 32105));
    EXPECT_EQ("C:\\rgb.icm", ReadRegistryStringById(3, 32103, 32105, ""));
    EXPECT_FALSE(RegistryValueExistsById(3, 32103, 32106));
}

TEST_F(RegistryReadersTest, PreferencePerUserFirstThenMachineWide)
{
    StoreText(HKEY_LOCAL_MACHINE, kColorKey, "MonitorProfile", "C:\\machine-monitor.icm");
    StoreText(HKEY_LOCAL_MACHINE, kColorKey, "CMYKProfile", "C:\\machine-cmyk.icm");
    StoreText(HKEY_CURRENT_USER, kColorKey, "CMYKProfile", "C:\\user-cmyk.icm");

    const struct {
        UINT id;
        const char* expected;
    } cases[] = {
        {32104, "C:\\machine-monitor.icm"}, // only machine-wide
        {32106, "C:\\user-cmyk.icm"},       // both: the user's wins
        {32105, ""},                        // none stored
        {32108, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        std::string path = "stale";
        EXPECT_TRUE(ReadProfilePreference(c.id, path));
        EXPECT_EQ(c.expected, path);
    }
}

TEST_F(RegistryReadersTest, UnknownPreferenceIdLeavesTheStringAlone)
{
    for (UINT id : {32103u, 32107u, 32109u, 0u}) {
        std::string path = "untouched";
        EXPECT_FALSE(ReadProfilePreference(id, path));
        EXPECT_EQ("untouched", path);
    }
}

} // namespace
