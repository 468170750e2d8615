// The slideshow settings through the real registry in the test prefix,
// and the recent-music list's stored record byte for byte.
#include "SlideshowSettings.h"

#include "registry/TlRegistryHelper.h"
#include "runbase/TlvResultCodes.h"
#include "support/RegistrySandbox.h"
#include "support/RegistryValues.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

const char kSettingsKey[] = "Software\\Talvo\\TlvSlideShow\\1.0\\LastSettings";

using Bytes = std::vector<unsigned char>;

RecentMusicStamp Stamp(std::uint16_t year, std::uint16_t day, std::uint16_t second = 0)
{
    RecentMusicStamp stamp;
    const std::uint16_t fields[6] = {year, 1, day, 12, 0, second};
    std::copy(fields, fields + 6, stamp.fields);
    return stamp;
}

std::uint16_t U16(const Bytes& bytes, std::size_t at)
{
    return std::uint16_t(bytes[at] | (bytes[at + 1] << 8));
}

std::uint32_t U32(const Bytes& bytes, std::size_t at)
{
    return std::uint32_t(U16(bytes, at)) | (std::uint32_t(U16(bytes, at + 2)) << 16);
}

// The slideshow library's key helper, made as its application object makes it.
class SettingsTest : public ::testing::Test {
protected:
    SettingsTest()
    {
        m_registry.OwnKey(HKEY_CURRENT_USER, "Software\\Talvo\\TlvSlideShow");
        m_helper.SetKeyParts("Talvo", "TlvSlideShow", "1.0", "Common");
    }

    DWORD StoredDword(const char* name)
    {
        StoredValue value;
        EXPECT_TRUE(LoadValue(HKEY_CURRENT_USER, kSettingsKey, name, value)) << name;
        EXPECT_EQ(DWORD(REG_DWORD), value.type) << name;
        DWORD number = 0;
        std::memcpy(&number, value.data.data(), std::min<std::size_t>(4, value.data.size()));
        return number;
    }

    Bytes StoredList()
    {
        StoredValue value;
        EXPECT_TRUE(LoadValue(HKEY_CURRENT_USER, kSettingsKey, "RecentMusic", value));
        EXPECT_EQ(DWORD(REG_BINARY), value.type);
        return value.data;
    }

    RegistrySandbox m_registry;
    CTlRegistryHelper m_helper;
};

TEST_F(SettingsTest, FirstUseGivesTheDefaults)
{
    SlideshowSettings settings;
    settings.imageDuration = 1;
    settings.loop = true;
    settings.recentMusic.entries.resize(2);
    settings.Reset();
    EXPECT_EQ(kToolbarVisible, settings.toolbarState);
    EXPECT_EQ(2400, settings.imageDuration);
    EXPECT_FALSE(settings.matchSound);
    EXPECT_TRUE(settings.alwaysShowDialog);
    EXPECT_FALSE(settings.showFileInfo);
    EXPECT_FALSE(settings.sound);
    EXPECT_FALSE(settings.loop);
    EXPECT_EQ(kTransitionNone, settings.transitionKind);
    EXPECT_EQ(0, settings.transitionParameter);
    EXPECT_EQ("", settings.selectedMusic);
    EXPECT_TRUE(settings.recentMusic.entries.empty());
    EXPECT_EQ(2, settings.reservedWord);
    EXPECT_EQ(1200, settings.reservedDuration1);
}

TEST_F(SettingsTest, ValuesRoundTripAndTheDurationIsStoredInWholeSeconds)
{
    SlideshowSettings settings;
    settings.Reset();
    settings.toolbarState = kToolbarAutoHidden;
    settings.imageDuration = 9000;
    settings.matchSound = true;
    settings.alwaysShowDialog = false;
    settings.showFileInfo = true;
    settings.loop = true;
    settings.transitionKind = kEffectSlide;
    settings.transitionParameter = 270;
    settings.stampSource = [] { return Stamp(2020, 3); };
    settings.ChooseMusicFile("C:\\m\\a.b.mp3");
    ASSERT_EQ(TLV_OK, settings.SaveToRegistry());

    EXPECT_EQ(15u, StoredDword("ImageDuration"));
    EXPECT_EQ(2u, StoredDword("ToolBarState"));
    EXPECT_EQ(0u, StoredDword("AlwaysShowDlg"));
    EXPECT_EQ(1u, StoredDword("Loop"));
    EXPECT_EQ(kEffectSlide, StoredDword("EffectName"));
    EXPECT_EQ(270u, StoredDword("EffectDir"));

    SlideshowSettings back;
    back.Reset();
    EXPECT_EQ(kToolbarAutoHidden, back.toolbarState);
    EXPECT_EQ(9000, back.imageDuration);
    EXPECT_TRUE(back.matchSound);
    EXPECT_FALSE(back.alwaysShowDialog);
    EXPECT_TRUE(back.showFileInfo);
    EXPECT_TRUE(back.sound);
    EXPECT_TRUE(back.loop);
    EXPECT_EQ(kEffectSlide, back.transitionKind);
    EXPECT_EQ(270, back.transitionParameter);
    EXPECT_EQ("C:\\m\\a.b.mp3", back.selectedMusic);
    ASSERT_EQ(1u, back.recentMusic.entries.size());
    EXPECT_EQ("a.b", back.recentMusic.entries[0].displayName);
    EXPECT_TRUE(back.recentMusic.entries[0].stamp == Stamp(2020, 3));

    settings.imageDuration = 2500;
    ASSERT_EQ(TLV_OK, settings.SaveToRegistry());
    EXPECT_EQ(4u, StoredDword("ImageDuration"));
}

TEST_F(SettingsTest, StoredDurationsOutOfRangeReadAsTheDefault)
{
    const struct {
        DWORD stored;
        double units;
    } cases[] = {{0, 0}, {7, 4200}, {65535, 65535.0 * 600}, {65536, 2400}, {0xFFFFFFFF, 2400}, {0xFFFFFFF6, 2400}};
    for (const auto& c : cases) {
        ASSERT_TRUE(StoreDword(HKEY_CURRENT_USER, kSettingsKey, "ImageDuration", c.stored));
        SlideshowSettings settings;
        settings.Reset();
        EXPECT_EQ(c.units, settings.imageDuration) << c.stored;
    }
}

TEST_F(SettingsTest, AnEmptyListIsAHeaderOnly)
{
    SlideshowSettings settings;
    settings.Reset();
    ASSERT_EQ(TLV_OK, settings.SaveToRegistry());
    const Bytes stored = StoredList();
    const Bytes guid = {0x67, 0x99, 0xB5, 0x8F, 0x5C, 0xD3, 0x42, 0x12, 0xB8, 0x9C, 0x12, 0x00, 0x8E, 0xCA, 0x3C, 0x54};
    ASSERT_EQ(24u, stored.size());
    EXPECT_EQ(guid, Bytes(stored.begin(), stored.begin() + 16));
    EXPECT_EQ(1, U16(stored, 16));
    EXPECT_EQ(6u, U32(stored, 18));
    EXPECT_EQ(0, U16(stored, 22));
}

TEST_F(SettingsTest, TwoEntriesAreStoredByteForByteAndReadBack)
{
    RecentMusicList list;
    list.Choose("C:\\Music\\one.wav", Stamp(2021, 5, 9));
    list.Choose("D:two", Stamp(2022, 6, 10));
    Bytes stored(list.Write(nullptr, 0));
    ASSERT_EQ(24u + 2 * 670, stored.size());
    EXPECT_EQ(stored.size(), list.Write(stored.data(), stored.size()));
    EXPECT_EQ(2, U16(stored, 22));
    EXPECT_EQ(stored.size() - 18, U32(stored, 18));
    const std::size_t second = 24 + 670;
    const Bytes entryGuid = {0x44, 0x6B, 0x78, 0x7E, 0x94, 0xDE, 0x41, 0x1D,
                             0x8F, 0x9C, 0xD9, 0xC6, 0x0F, 0x9A, 0x82, 0x1E};
    EXPECT_EQ(entryGuid, Bytes(stored.begin() + second, stored.begin() + second + 16));
    EXPECT_EQ(1, U16(stored, second + 16));
    EXPECT_EQ(2022, U16(stored, second + 18));
    EXPECT_EQ(10, U16(stored, second + 28));
    EXPECT_EQ(0, std::memcmp(&stored[second + 30], "D:two\0", 6));
    EXPECT_EQ(0, std::memcmp(&stored[second + 542], "two\0", 4));
    for (std::size_t i = second + 30 + 5; i < second + 542; ++i)
        ASSERT_EQ(0, stored[i]) << i;

    RecentMusicList back;
    EXPECT_EQ(stored.size(), back.Read(stored.data(), stored.size()));
    ASSERT_EQ(2u, back.entries.size());
    EXPECT_EQ("C:\\Music\\one.wav", back.entries[0].path);
    EXPECT_EQ("one", back.entries[0].displayName);
    EXPECT_TRUE(back.entries[1].stamp == Stamp(2022, 6, 10));
}

TEST_F(SettingsTest, AListOfAnotherVersionOrKindReadsEmpty)
{
    RecentMusicList list;
    list.Choose("C:\\a.wav", Stamp(2021, 1));
    Bytes stored(list.Write(nullptr, 0));
    list.Write(stored.data(), stored.size());
    Bytes version2 = stored;
    version2[16] = 2;
    Bytes otherKind = stored;
    otherKind[0] ^= 0xFF;
    for (const Bytes& value : {version2, otherKind}) {
        ASSERT_TRUE(StoreValue(HKEY_CURRENT_USER, kSettingsKey, "RecentMusic", REG_BINARY, value.data(),
                               DWORD(value.size())));
        SlideshowSettings settings;
        settings.Reset();
        EXPECT_TRUE(settings.recentMusic.entries.empty());
    }
}

TEST_F(SettingsTest, NineEntriesKeepTheSevenNewestAfterASave)
{
    SlideshowSettings settings;
    settings.Reset();
    // Added out of time order: days 9, 1, 8, 2, ...
    const std::uint16_t days[] = {9, 1, 8, 2, 7, 3, 6, 4, 5};
    for (std::uint16_t day : days)
        settings.recentMusic.Choose("C:\\m\\" + std::to_string(day) + ".wav", Stamp(2020, day));
    ASSERT_EQ(TLV_OK, settings.SaveToRegistry());
    const Bytes stored = StoredList();
    EXPECT_EQ(24u + 7 * 670, stored.size());
    EXPECT_EQ(7, U16(stored, 22));
    SlideshowSettings back;
    back.Reset();
    ASSERT_EQ(7u, back.recentMusic.entries.size());
    for (std::size_t i = 0; i < 7; ++i)
        EXPECT_EQ("C:\\m\\" + std::to_string(i + 3) + ".wav", back.recentMusic.entries[i].path);
}

TEST_F(SettingsTest, CutUnterminatedAndOversizedValuesReadWithinTheirBounds)
{
    RecentMusicList list;
    list.Choose("C:\\a.wav", Stamp(2021, 1));
    list.Choose("C:\\b.wav", Stamp(2021, 2));
    Bytes whole(list.Write(nullptr, 0));
    list.Write(whole.data(), whole.size());

    // Every cut: whole entries are read, a cut entry ends the list.
    for (std::size_t cut = 0; cut < whole.size(); ++cut) {
        Bytes value(whole.begin(), whole.begin() + std::ptrdiff_t(cut));
        RecentMusicList back;
        const std::size_t read = back.Read(value.data(), value.size());
        const std::size_t entries = cut < 24 ? 0 : (cut - 24) / 670;
        EXPECT_EQ(entries, back.entries.size()) << cut;
        EXPECT_EQ(cut < 18 ? 0 : 24 + 670 * entries, read) << cut;
    }

    // Fields without a terminator are read to the end of their field only;
    // the value sits in a bigger buffer so that reading past would show.
    Bytes unterminated = whole;
    std::memset(&unterminated[24 + 30], 'p', 512);
    std::memset(&unterminated[24 + 542], 'n', 128);
    unterminated.resize(whole.size() + 64, 'x');
    unterminated[22] = 2;
    RecentMusicList back;
    back.Read(unterminated.data(), unterminated.size());
    ASSERT_EQ(2u, back.entries.size());
    EXPECT_EQ(std::string(512, 'p'), back.entries[0].path);
    EXPECT_EQ(std::string(128, 'n'), back.entries[0].displayName);

    // A count larger than the entries present reads the entries present.
    Bytes oversized = whole;
    oversized[22] = 0xFF;
    oversized[23] = 0xFF;
    EXPECT_EQ(24u + 2 * 670, back.Read(oversized.data(), oversized.size()));
    EXPECT_EQ(2u, back.entries.size());

    // Stored through the registry the same way.
    ASSERT_TRUE(StoreValue(HKEY_CURRENT_USER, kSettingsKey, "RecentMusic", REG_BINARY, unterminated.data(),
                           DWORD(unterminated.size())));
    SlideshowSettings settings;
    settings.Reset();
    EXPECT_EQ(2u, settings.recentMusic.entries.size());
}

TEST_F(SettingsTest, LongPathsAndNamesAreCutToTheirFields)
{
    RecentMusicList list;
    list.Choose("C:\\" + std::string(600, 'q') + ".wav", Stamp(2021, 1));
    list.entries[0].displayName = std::string(200, 'd');
    Bytes stored(list.Write(nullptr, 0));
    list.Write(stored.data(), stored.size());
    RecentMusicList back;
    back.Read(stored.data(), stored.size());
    ASSERT_EQ(1u, back.entries.size());
    EXPECT_EQ(511u, back.entries[0].path.size());
    EXPECT_EQ(127u, back.entries[0].displayName.size());
}

TEST(RecentMusic, DisplayNamesComeFromThePath)
{
    const struct {
        const char* path;
        const char* name;
    } cases[] = {{"C:\\m\\a.b.mp3", "a.b"}, {"D:song", "song"}, {"C:\\m\\plain", "plain"},
                 {"E:\\x.y\\z", "z"},       {"song.wav", "song"}};
    for (const auto& c : cases)
        EXPECT_EQ(c.name, MusicDisplayName(c.path)) << c.path;
}

TEST(RecentMusic, ChoosingTheSameFileTwiceKeepsOneEntryWithANewerStamp)
{
    SlideshowSettings settings;
    static std::uint16_t second = 0;
    settings.stampSource = [] { return Stamp(2024, 2, second); };
    second = 1;
    settings.ChooseMusicFile("C:\\Music\\Song.wav");
    second = 30;
    settings.ChooseMusicFile("C:\\Music\\Song.wav");
    ASSERT_EQ(1u, settings.recentMusic.entries.size());
    EXPECT_TRUE(settings.recentMusic.entries[0].stamp == Stamp(2024, 2, 30));
    EXPECT_TRUE(settings.sound);
    EXPECT_EQ("C:\\Music\\Song.wav", settings.selectedMusic);
    // Case matters: another spelling is another entry.
    settings.ChooseMusicFile("C:\\music\\song.wav");
    EXPECT_EQ(2u, settings.recentMusic.entries.size());
    EXPECT_TRUE(settings.ChooseRecentMusic(0));
    EXPECT_EQ("C:\\Music\\Song.wav", settings.selectedMusic);
    EXPECT_FALSE(settings.ChooseRecentMusic(5));
}

TEST(ShowRecords, InsertFindAndClear)
{
    SlideshowSettings settings;
    auto record = [](int low) {
        ShowRecord r;
        r.idLow = low;
        r.idHigh = 1;
        return r;
    };
    settings.ReserveRecords(4);
    settings.InsertRecord(-1, record(1));
    settings.InsertRecord(-1, record(3));
    settings.InsertRecord(0, record(0));
    settings.InsertRecord(2, record(2));
    ASSERT_EQ(4u, settings.Records().size());
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(i, settings.FindRecord((1ull << 32) | unsigned(i)));
    EXPECT_EQ(-1, settings.FindRecord(5));
    EXPECT_EQ(4u, settings.ReservedRecords());
    settings.ClearRecords();
    EXPECT_TRUE(settings.Records().empty());
}

} // namespace
