// Raw files made by the synthetic raw maker load with their tags,
// sub-images and mosaic equal to what was written; rewritten with changed
// tags they keep their image data bit for bit.
#include "PellioTestSupport.h"

namespace pelliotest {
namespace {

struct RawCase {
    std::uint32_t model;
    QrfPattern pattern;
    std::uint32_t format;
};

std::ostream& operator<<(std::ostream& out, const RawCase& c)
{
    return out << "model " << c.model << " " << QrfPatternName(c.pattern) << " format " << c.format;
}

class RawRoundTripTest : public ::testing::TestWithParam<RawCase> {
protected:
    QrfRawOptions Options() const
    {
        QrfRawOptions options;
        options.model = GetParam().model;
        options.pattern = GetParam().pattern;
        options.format = GetParam().format;
        options.gains = QrfGains{2.25, 1.375};
        return options;
    }

    TempFolder m_folder;
    ManagerPtr m_manager = MakeManager();
};

TEST_P(RawRoundTripTest, LoadsWhatWasWritten)
{
    const QrfRawOptions options = Options();
    const std::string path = m_folder.File("raw.qrf");
    ASSERT_TRUE(Succeeded(QrfWriteRaw(options, path.c_str())));
    QrfRawImages source;
    TagsPtr sourceTags = MakeTags();
    ASSERT_TRUE(Succeeded(QrfMakeImages(m_manager.get(), options, &source)));
    ASSERT_TRUE(Succeeded(QrfFillTags(options, sourceTags.get())));

    LoadedFile file;
    ASSERT_TRUE(Succeeded(LoadWhole(m_manager.get(), path, &file)));
    EXPECT_EQ(std::uint32_t(kPellioKindQrf), file.info.fileKind);
    EXPECT_EQ(options.format, file.info.formatCode);
    EXPECT_EQ(QrfMosaicFormat(options.model), file.info.pixelFormat);
    EXPECT_EQ(std::uint32_t(options.width), file.info.width);
    EXPECT_TRUE(PixelsOf(source.mosaic.get()) == PixelsOf(file.main.get()));
    EXPECT_TRUE(AllTags(sourceTags.get()) == AllTags(file.tags.get()));
    ASSERT_EQ(source.subImages.size(), file.subImages.size());
    for (std::size_t i = 0; i < source.subImages.size(); ++i) {
        EXPECT_EQ(source.subImages[i].kind, file.subInfo[i].kind) << i;
        EXPECT_TRUE(PixelsOf(source.subImages[i].image.get()) == PixelsOf(file.subImages[i].get())) << i;
    }
}

TEST_P(RawRoundTripTest, TagControlReportsModelAndSize)
{
    const QrfRawOptions options = Options();
    const std::string path = m_folder.File("raw.qrf");
    ASSERT_TRUE(Succeeded(QrfWriteRaw(options, path.c_str())));
    LoadedFile file;
    ASSERT_TRUE(Succeeded(LoadWhole(m_manager.get(), path, &file)));
    std::uint32_t model = 0, width = 0, height = 0;
    EXPECT_TRUE(Succeeded(file.tags->GetShortTagValue(&model)));
    EXPECT_TRUE(Succeeded(file.tags->GetImageSize(&width, &height)));
    EXPECT_EQ(options.model, model);
    EXPECT_EQ(std::uint32_t(options.width), width);
    EXPECT_EQ(std::uint32_t(options.height), height);
}

INSTANTIATE_TEST_SUITE_P(Models, RawRoundTripTest,
                         ::testing::Values(RawCase{257, QrfPattern::RGGB, 32}, RawCase{257, QrfPattern::GBRG, 2048},
                                           RawCase{258, QrfPattern::GRBG, 32}, RawCase{513, QrfPattern::YCGM, 32},
                                           RawCase{514, QrfPattern::BGGR, 2048},
                                           RawCase{515, QrfPattern::YCGM, 2048},
                                           RawCase{516, QrfPattern::BGGR, 32}));

// A raw file rewritten with new settings: the settings save's tags change,
// every other tag and every pixel stays.
class SettingsRewriteTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QrfRawOptions options;
        options.model = 257;
        ASSERT_TRUE(Succeeded(QrfWriteRaw(options, m_source.c_str())));
        ASSERT_TRUE(Succeeded(LoadWhole(m_manager.get(), m_source, &m_original)));
        IKelvraTagControl* copy = nullptr;
        ASSERT_TRUE(Succeeded(CreateTagControl(&copy, m_original.tags.get())));
        m_tags.reset(copy);
        for (std::size_t i = 0; i < m_original.subImages.size(); ++i)
            m_list.push_back(KelvraSaveEntry{m_original.subInfo[i].kind, 1, m_original.subImages[i].get()});
    }

    void ChangeSettingsTags()
    {
        const std::uint32_t marker = 2;
        SetTag(m_tags.get(), 0x80E01, kKelvraTagTypeBytes, Bytes(500, 0x5A));
        SetTag(m_tags.get(), 0x80E05, kKelvraTagTypeLong, ValueBytes(marker));
        SetTag(m_tags.get(), 0x80E0B, kKelvraTagTypeBytes, Bytes(77, 0x0B));
        SetTag(m_tags.get(), 0x80E0A, kKelvraTagTypeDustId, Bytes(20, 0x0A));
        SetTag(m_tags.get(), 34675, kKelvraTagTypeBytes, Bytes(300, 0xCC));
        SetTag(m_tags.get(), 33723, kKelvraTagTypeDataHeader, Bytes{0x1C, 2, 120, 0, 3, 'a', 'b', 'c'});
        SetTag(m_tags.get(), 305, kKelvraTagTypeText, TextBytes("Talvo Raw Library"));
        SetTag(m_tags.get(), 306, kKelvraTagTypeText, TextBytes("2025:01:02 03:04:05"));
        ASSERT_TRUE(Succeeded(m_tags->RemoveTag(0x10004)));
        ASSERT_TRUE(Succeeded(m_tags->RemoveTag(0x10005)));
    }

    TempFolder m_folder;
    std::string m_source = m_folder.File("source.qrf");
    std::string m_target = m_folder.File("target.qrf");
    ManagerPtr m_manager = MakeManager();
    LoadedFile m_original;
    TagsPtr m_tags;
    std::vector<KelvraSaveEntry> m_list;
};

TEST_F(SettingsRewriteTest, ImageDataStaysChangedTagsChangeOthersStay)
{
    ChangeSettingsTags();
    ASSERT_TRUE(Succeeded(
        SaveFile(m_original.main.get(), m_list, m_tags.get(), kPellioFormatQrfSettings, 0, m_target)));
    LoadedFile rewritten;
    ASSERT_TRUE(Succeeded(LoadWhole(m_manager.get(), m_target, &rewritten)));
    EXPECT_EQ(std::uint32_t(kPellioKindQrf), rewritten.info.fileKind);
    EXPECT_EQ(std::uint32_t(kPellioFormatQrf), rewritten.info.formatCode);
    EXPECT_TRUE(PixelsOf(m_original.main.get()) == PixelsOf(rewritten.main.get()));
    EXPECT_TRUE(AllTags(m_tags.get()) == AllTags(rewritten.tags.get()));
    EXPECT_FALSE(rewritten.tags->HasTag(0x10004, 0));
    EXPECT_EQ(TextBytes("Talvo Raw Library"), TagBytes(rewritten.tags.get(), 305));
    EXPECT_EQ(TagBytes(m_original.tags.get(), 0x8000C), TagBytes(rewritten.tags.get(), 0x8000C));
    ASSERT_EQ(m_original.subImages.size(), rewritten.subImages.size());
    for (std::size_t i = 0; i < rewritten.subImages.size(); ++i)
        EXPECT_TRUE(PixelsOf(m_original.subImages[i].get()) == PixelsOf(rewritten.subImages[i].get()));
}

TEST_F(SettingsRewriteTest, UnchangedTagsRewriteToTheSameFile)
{
    ASSERT_TRUE(Succeeded(
        SaveFile(m_original.main.get(), m_list, m_tags.get(), kPellioFormatQrfSettings, 0, m_target)));
    EXPECT_TRUE(ReadFile(m_source) == ReadFile(m_target));
}

// A raw export: the developed image first, the renditions, the raw source
// flagged 0x4000000 and a bitmap record, deflate-compressed.
TEST_F(SettingsRewriteTest, RawExportKeepsEveryEntry)
{
    ImagePtr developed = MakePatternImage(m_manager.get(), kKelvraRGB16, 100, 70);
    const Bytes bitmap(333, 0xB1);
    KelvraSaveBitmap record{kKelvraSaveBitmapMagic, bitmap.data(), std::uint32_t(bitmap.size())};
    std::vector<KelvraSaveEntry> list = m_list;
    list.push_back(KelvraSaveEntry{kPellioEntryRawSource, 1, m_original.main.get()});
    list.push_back(KelvraSaveEntry{kPellioEntryBitmap, 2, &record});
    ASSERT_TRUE(Succeeded(SaveFile(developed.get(), list, m_tags.get(), kPellioFormatQrfDeflate, 0, m_target)));

    LoadedFile exported;
    ASSERT_TRUE(Succeeded(LoadWhole(m_manager.get(), m_target, &exported)));
    EXPECT_EQ(std::uint32_t(kPellioFormatQrfDeflate), exported.info.formatCode);
    EXPECT_EQ(std::uint32_t(kKelvraRGB16), exported.info.pixelFormat);
    EXPECT_TRUE(PixelsOf(developed.get()) == PixelsOf(exported.main.get()));
    ASSERT_EQ(3u, exported.subImages.size());
    EXPECT_EQ(std::uint32_t(kPellioEntryRawSource), exported.subInfo[2].kind);
    EXPECT_EQ(std::uint32_t(kKelvraRawMosaic), exported.subInfo[2].pixelFormat);
    EXPECT_TRUE(PixelsOf(m_original.main.get()) == PixelsOf(exported.subImages[2].get()));
    EXPECT_LT(ReadFile(m_target).size(), ReadFile(m_source).size());
}

} // namespace
} // namespace pelliotest
