#include "RegistryTestKeys.h"

#include "afxwin.h"
#include "serialize/TlWinReader.h"
#include "serialize/TlWinWriter.h"

namespace {

using Bytes = std::vector<unsigned char>;

const std::string kLastSettingsKey = std::string(kTestModuleKey) + "\\LastSettings";

class WinSerializerTest : public RegistryTest {
protected:
    CTlWinWriter m_writer;
    CTlWinReader m_reader;
};

TEST_F(WinSerializerTest, EveryKindRoundTripsUnderTheLastSettingsKey)
{
    const char raw[] = {'r', '\0', '\n'};
    const Bytes vector = {0, 'v', 0xFF};
    EXPECT_TRUE(m_writer.WriteULong("ModuleFlags", 4000000000ul));
    EXPECT_TRUE(m_writer.WriteInt("AlbumID_UL", -123));
    EXPECT_TRUE(m_writer.WriteString("UserName", "Jane Doe"));
    EXPECT_TRUE(m_writer.WriteBool("RememberPW", true));
    EXPECT_TRUE(m_writer.WriteBool("PrevShowDetails", false));
    EXPECT_TRUE(m_writer.WriteBytes("Raw", raw, sizeof raw));
    EXPECT_TRUE(m_writer.WriteByteVector("Vector", vector));

    StoredValue stored;
    ASSERT_TRUE(LoadValue(HKEY_CURRENT_USER, kLastSettingsKey, "AlbumID_UL", stored));
    EXPECT_EQ(DWORD(REG_DWORD), stored.type);
    ASSERT_TRUE(LoadValue(HKEY_CURRENT_USER, kLastSettingsKey, "RememberPW", stored));
    EXPECT_EQ(Bytes({1, 0, 0, 0}), stored.data);
    ASSERT_TRUE(LoadValue(HKEY_CURRENT_USER, kLastSettingsKey, "UserName", stored));
    EXPECT_EQ(DWORD(REG_SZ), stored.type);
    ASSERT_TRUE(LoadValue(HKEY_CURRENT_USER, kLastSettingsKey, "Raw", stored));
    EXPECT_EQ(DWORD(REG_BINARY), stored.type);

    unsigned long flags = 0;
    int album = 0;
    std::string user;
    bool remember = false, details = true;
    Bytes rawBack, vectorBack;
    EXPECT_TRUE(m_reader.ReadULong("ModuleFlags", &flags, 0));
    EXPECT_TRUE(m_reader.ReadInt("AlbumID_UL", &album, 0));
    EXPECT_TRUE(m_reader.ReadString("UserName", &user));
    EXPECT_TRUE(m_reader.ReadBool("RememberPW", &remember, false));
    EXPECT_TRUE(m_reader.ReadBool("PrevShowDetails", &details, true));
    EXPECT_TRUE(m_reader.ReadByteVector("Raw", &rawBack));
    EXPECT_TRUE(m_reader.ReadByteVector("Vector", &vectorBack));
    EXPECT_EQ(4000000000ul, flags);
    EXPECT_EQ(-123, album);
    EXPECT_EQ("Jane Doe", user);
    EXPECT_TRUE(remember);
    EXPECT_FALSE(details);
    EXPECT_EQ(Bytes(raw, raw + sizeof raw), rawBack);
    EXPECT_EQ(vector, vectorBack);
}

TEST_F(WinSerializerTest, KeysAreReadInAnyOrder)
{
    ASSERT_TRUE(m_writer.WriteInt("First", 1));
    ASSERT_TRUE(m_writer.WriteInt("Second", 2));
    int second = 0, first = 0;
    EXPECT_TRUE(m_reader.ReadInt("Second", &second, 0));
    EXPECT_TRUE(m_reader.ReadInt("First", &first, 0));
    EXPECT_EQ(1, first);
    EXPECT_EQ(2, second);
}

TEST_F(WinSerializerTest, MissingValuesAnswerTrueWithTheDefault)
{
    unsigned long options = 0;
    int connection = 0;
    bool details = false;
    std::string user = "stale";
    EXPECT_TRUE(m_reader.ReadULong("PrintOptions", &options, 0x30000));
    EXPECT_TRUE(m_reader.ReadInt("Connection", &connection, -4));
    EXPECT_TRUE(m_reader.ReadBool("PrevShowDetails", &details, true));
    EXPECT_TRUE(m_reader.ReadString("UserName", &user));
    EXPECT_EQ(0x30000ul, options);
    EXPECT_EQ(-4, connection);
    EXPECT_TRUE(details);
    EXPECT_EQ("", user);
}

TEST_F(WinSerializerTest, ByteVectorTakesBinaryAcceptsTextAndRefusesTheRest)
{
    ASSERT_TRUE(StoreText(HKEY_CURRENT_USER, kLastSettingsKey, "Text", "abc"));
    ASSERT_TRUE(m_writer.WriteULong("Number", 5));
    const Bytes before = {9, 9};

    Bytes bytes = before;
    EXPECT_TRUE(m_reader.ReadByteVector("Text", &bytes));
    EXPECT_EQ(before, bytes); // accepted, not filled
    EXPECT_FALSE(m_reader.ReadByteVector("Number", &bytes));
    EXPECT_FALSE(m_reader.ReadByteVector("Missing", &bytes));
    EXPECT_EQ(before, bytes);
}

TEST_F(WinSerializerTest, DoubleAndCStringsAreNotSupported)
{
    EXPECT_FALSE(m_writer.WriteDouble("ItemRotation", 90.0));
    EXPECT_FALSE(m_writer.WriteCString("Caption", "text"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kLastSettingsKey));

    ASSERT_TRUE(m_writer.WriteString("Caption", "text"));
    double rotation = 0;
    char caption[8] = "";
    EXPECT_FALSE(m_reader.ReadDouble("ItemRotation", &rotation, 1.5));
    EXPECT_FALSE(m_reader.ReadCharBuffer("Caption", caption, sizeof caption));
    EXPECT_STREQ("", caption);
}

TEST_F(WinSerializerTest, SubKeyNameComesFromTheCallingModulesStrings)
{
    AFX_MODULE_STATE foreign; // a module whose table lacks string 4001
    foreign.m_hCurrentResourceHandle = GetModuleHandleA("kernel32.dll");
    AFX_MANAGE_STATE(&foreign);
    CTlWinWriter writer;
    CTlWinReader reader;
    int value = 0;
    EXPECT_FALSE(writer.WriteInt("Count", 1));
    EXPECT_TRUE(reader.ReadInt("Count", &value, 6));
    EXPECT_EQ(6, value);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kTestModuleKey));
}

TEST(WinSerializerWithoutHelper, WritesFailAndReadsGiveDefaults)
{
    ASSERT_EQ(nullptr, CTlRegistryHelper::GetCurrent());
    CTlWinWriter writer;
    CTlWinReader reader;
    unsigned long flags = 0;
    EXPECT_FALSE(writer.WriteULong("ModuleFlags", 1));
    EXPECT_TRUE(reader.ReadULong("ModuleFlags", &flags, 3));
    EXPECT_EQ(3ul, flags);
}

} // namespace
