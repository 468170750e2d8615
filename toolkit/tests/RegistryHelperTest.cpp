#include "RegistryTestKeys.h"

#include "registry/TlRegistryHelper.h"

#include <memory>

namespace {

// ---- the current helper ----

TEST(RegistryHelperCurrent, LastConstructedIsCurrentUntilDestroyed)
{
    auto first = std::make_unique<CTlRegistryHelper>();
    EXPECT_EQ(first.get(), CTlRegistryHelper::GetCurrent());
    {
        CTlRegistryHelper second;
        EXPECT_EQ(&second, CTlRegistryHelper::GetCurrent());
        first.reset(); // not current: must not clear the current one
        EXPECT_EQ(&second, CTlRegistryHelper::GetCurrent());
    }
    EXPECT_EQ(nullptr, CTlRegistryHelper::GetCurrent());
}

// ---- key paths ----

struct KeyPathCase {
    HKEY root;
    const char* subKey;
    bool useCommon;
    std::string expectedPath;
};

class RegistryHelperKeyPath : public RegistryTest, public ::testing::WithParamInterface<KeyPathCase> {};

TEST_P(RegistryHelperKeyPath, CreatesTheKeyAtItsPath)
{
    const KeyPathCase& c = GetParam();
    HKEY key = nullptr;
    ASSERT_TRUE(m_helper.OpenKey(c.root, c.subKey, &key, c.useCommon, true, true));
    const DWORD value = 7;
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(key, "Probe", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                                            sizeof value));
    RegCloseKey(key);

    StoredValue stored;
    ASSERT_TRUE(LoadValue(c.root, c.expectedPath, "Probe", stored));
    EXPECT_EQ(DWORD(REG_DWORD), stored.type);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, RegistryHelperKeyPath,
    ::testing::Values(KeyPathCase{HKEY_CURRENT_USER, nullptr, false, kTestModuleKey},
                      KeyPathCase{HKEY_CURRENT_USER, "", false, kTestModuleKey},
                      KeyPathCase{HKEY_CURRENT_USER, "LastSettings", false,
                                  std::string(kTestModuleKey) + "\\LastSettings"},
                      KeyPathCase{HKEY_CURRENT_USER, "Prefs", true, std::string(kTestCommonKey) + "\\Prefs"},
                      KeyPathCase{HKEY_LOCAL_MACHINE, nullptr, false, kTestModuleKey},
                      KeyPathCase{HKEY_LOCAL_MACHINE, "A\\B", true, std::string(kTestCommonKey) + "\\A\\B"}));

TEST_F(RegistryTest, EmptyCommonKeyFailsAndCreatesNothing)
{
    m_helper.SetKeyParts("TalvoToolkitTest", "ToolkitTests", "1.0", "");
    HKEY key = reinterpret_cast<HKEY>(1);
    EXPECT_FALSE(m_helper.OpenKey(HKEY_CURRENT_USER, "Prefs", &key, true, true, true));
    EXPECT_EQ(nullptr, key);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kTestMakerKey));
    EXPECT_FALSE(m_helper.WriteDword(HKEY_CURRENT_USER, nullptr, "Value", 1, true));
    // The module's own key does not need the common key.
    EXPECT_TRUE(m_helper.WriteDword(HKEY_CURRENT_USER, nullptr, "Value", 1, false));
}

TEST(RegistryHelperKeyParts, HelperWithoutKeyPartsOpensNothing)
{
    CTlRegistryHelper helper;
    HKEY key = nullptr;
    EXPECT_FALSE(helper.OpenKey(HKEY_CURRENT_USER, nullptr, &key, false, false, false));
    EXPECT_FALSE(helper.OpenKey(HKEY_CURRENT_USER, "Software", &key, true, false, false));
    EXPECT_FALSE(helper.OpenKey(HKEY_CURRENT_USER, nullptr, nullptr, false, false, false));
}

// ---- access flags ----

struct AccessCase {
    bool create;
    bool write;
    bool keyExists;
    bool opens;
    bool writable;
};

class RegistryHelperAccess : public RegistryTest, public ::testing::WithParamInterface<AccessCase> {};

TEST_P(RegistryHelperAccess, OpensCreatesAndGrantsWritingAsFlagged)
{
    const AccessCase& c = GetParam();
    if (c.keyExists) {
        ASSERT_TRUE(StoreText(HKEY_CURRENT_USER, kTestModuleKey, "Existing", "x"));
    }

    HKEY key = nullptr;
    ASSERT_EQ(c.opens, m_helper.OpenKey(HKEY_CURRENT_USER, nullptr, &key, false, c.create, c.write));
    EXPECT_EQ(c.opens || c.keyExists, KeyExists(HKEY_CURRENT_USER, kTestModuleKey));
    if (!c.opens) {
        EXPECT_EQ(nullptr, key);
        return;
    }
    const DWORD value = 1;
    const LONG status = RegSetValueExA(key, "Written", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                                       sizeof value);
    EXPECT_EQ(c.writable, status == ERROR_SUCCESS);
    DWORD size = 0;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, c.keyExists ? "Existing" : "Written", nullptr, nullptr, nullptr,
                                              &size)); // readable in every case
    RegCloseKey(key);
}

INSTANTIATE_TEST_SUITE_P(Flags, RegistryHelperAccess,
                         ::testing::Values(
                             // create, write, key exists -> opens, writable
                             AccessCase{true, true, false, true, true},
                             AccessCase{false, true, false, false, false},
                             AccessCase{true, false, false, false, false},
                             AccessCase{false, false, false, false, false},
                             AccessCase{true, true, true, true, true},
                             AccessCase{false, true, true, true, true},
                             AccessCase{true, false, true, true, false},
                             AccessCase{false, false, true, true, false}));

// ---- values ----

TEST_F(RegistryTest, DwordRoundTripsInModuleAndCommonKeys)
{
    ASSERT_TRUE(m_helper.WriteDword(HKEY_CURRENT_USER, "Prefs", "Level", 0xFEEDBEEF, false));
    ASSERT_TRUE(m_helper.WriteDword(HKEY_LOCAL_MACHINE, "Prefs", "Level", 12, true));
    EXPECT_EQ(0xFEEDBEEFu, m_helper.ReadDword(HKEY_CURRENT_USER, "Prefs", "Level", 0, false));
    EXPECT_EQ(12u, m_helper.ReadDword(HKEY_LOCAL_MACHINE, "Prefs", "Level", 0, true));

    StoredValue stored;
    ASSERT_TRUE(LoadValue(HKEY_LOCAL_MACHINE, std::string(kTestCommonKey) + "\\Prefs", "Level", stored));
    EXPECT_EQ(DWORD(REG_DWORD), stored.type);
    EXPECT_EQ(4u, stored.data.size());
}

TEST_F(RegistryTest, ReadDwordTakesAtMostFourBytesOfAnyType)
{
    const unsigned char twoBytes[] = {0x34, 0x12};
    const unsigned char eightBytes[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    ASSERT_TRUE(StoreValue(HKEY_CURRENT_USER, kTestModuleKey, "Short", REG_BINARY, twoBytes, sizeof twoBytes));
    ASSERT_TRUE(StoreValue(HKEY_CURRENT_USER, kTestModuleKey, "Long", REG_BINARY, eightBytes, sizeof eightBytes));
    ASSERT_TRUE(StoreText(HKEY_CURRENT_USER, kTestModuleKey, "Text", "ab"));

    EXPECT_EQ(0x1234u, m_helper.ReadDword(HKEY_CURRENT_USER, nullptr, "Short", 99, false));
    EXPECT_EQ(0x006261u, m_helper.ReadDword(HKEY_CURRENT_USER, nullptr, "Text", 99, false));
    EXPECT_EQ(99u, m_helper.ReadDword(HKEY_CURRENT_USER, nullptr, "Long", 99, false));
}

TEST_F(RegistryTest, ReadsGiveTheDefaultWhenKeyOrValueIsMissing)
{
    EXPECT_EQ(5u, m_helper.ReadDword(HKEY_CURRENT_USER, "Missing", "Level", 5, false));
    EXPECT_EQ("fallback", m_helper.ReadString(HKEY_CURRENT_USER, "Missing", "Name", "fallback", false));
    EXPECT_EQ("", m_helper.ReadString(HKEY_CURRENT_USER, "Missing", "Name", nullptr, false));

    ASSERT_TRUE(m_helper.WriteDword(HKEY_CURRENT_USER, nullptr, "Other", 1, false));
    EXPECT_EQ(5u, m_helper.ReadDword(HKEY_CURRENT_USER, nullptr, "Level", 5, false));
    EXPECT_EQ("fallback", m_helper.ReadString(HKEY_CURRENT_USER, nullptr, "Name", "fallback", false));
}

TEST_F(RegistryTest, StringIsStoredWithItsTerminatorAndReadBack)
{
    ASSERT_TRUE(m_helper.WriteString(HKEY_LOCAL_MACHINE, "Paths", "Profiles", "C:\\Profiles\\", false));
    StoredValue stored;
    ASSERT_TRUE(LoadValue(HKEY_LOCAL_MACHINE, std::string(kTestModuleKey) + "\\Paths", "Profiles", stored));
    EXPECT_EQ(DWORD(REG_SZ), stored.type);
    EXPECT_EQ(std::string("C:\\Profiles\\", 13), std::string(stored.data.begin(), stored.data.end()));

    EXPECT_EQ("C:\\Profiles\\", m_helper.ReadString(HKEY_LOCAL_MACHINE, "Paths", "Profiles", "", false));
    EXPECT_FALSE(m_helper.WriteString(HKEY_CURRENT_USER, nullptr, "Null", nullptr, false));
}

TEST_F(RegistryTest, ReadStringIsBoundedByTheStoredData)
{
    const std::string longText(5000, 'L');
    ASSERT_TRUE(StoreText(HKEY_CURRENT_USER, kTestModuleKey, "Long", longText));
    // Stored without its terminator: nothing beyond the data may be read.
    ASSERT_TRUE(StoreValue(HKEY_CURRENT_USER, kTestModuleKey, "Open", REG_SZ, "abcdef", 3));
    ASSERT_TRUE(StoreText(HKEY_CURRENT_USER, kTestModuleKey, "Expand", "%TEMP%\\x", REG_EXPAND_SZ));
    ASSERT_TRUE(m_helper.WriteDword(HKEY_CURRENT_USER, nullptr, "Number", 0x41414141, false));

    EXPECT_EQ(longText, m_helper.ReadString(HKEY_CURRENT_USER, nullptr, "Long", "", false));
    EXPECT_EQ("abc", m_helper.ReadString(HKEY_CURRENT_USER, nullptr, "Open", "", false));
    EXPECT_EQ("%TEMP%\\x", m_helper.ReadString(HKEY_CURRENT_USER, nullptr, "Expand", "", false));
    EXPECT_EQ("not text", m_helper.ReadString(HKEY_CURRENT_USER, nullptr, "Number", "not text", false));
}

TEST_F(RegistryTest, BinaryValueRoundTripsThroughReadValue)
{
    const unsigned char bytes[] = {0, 1, 0xFF, '\n', 0};
    ASSERT_TRUE(m_helper.WriteBinary(HKEY_CURRENT_USER, "Blob", "Data", bytes, sizeof bytes, true));
    TlRegistryValue value;
    ASSERT_TRUE(m_helper.ReadValue(HKEY_CURRENT_USER, "Blob", "Data", value, true));
    EXPECT_EQ(DWORD(REG_BINARY), value.type);
    EXPECT_EQ(std::vector<unsigned char>(bytes, bytes + sizeof bytes), value.data);
    EXPECT_FALSE(m_helper.ReadValue(HKEY_CURRENT_USER, "Blob", "Data", value, true, 4));
}

} // namespace
