// Settings saves keep what the raw file holds: saving the same settings
// again never grows the file with a second copy of an image it already
// carries, and every tag and sub-image the save does not rewrite comes
// through unchanged, the ones the library does not know included.
#include "QrfSettingsSaveFixture.h"

#include "kelvra/KelvraTagControl.h"
#include "load/TlStoredSettings.h"
#include "pellio/PellioFormats.h"
#include "raw/TlTagBytes.h"

#include <set>
#include <string>
#include <vector>

using namespace qrfsave_test;

namespace {

std::size_t FileSize(const std::string& path)
{
    return pelliotest::ReadFile(path).size();
}

// How often an image with exactly these pixels is in the file, the main
// image included.
int CopiesOf(const pelliotest::LoadedFile& file, const pelliotest::Bytes& pixels)
{
    int copies = pelliotest::PixelsOf(file.main.get()) == pixels ? 1 : 0;
    for (const pelliotest::ImagePtr& sub : file.subImages)
        copies += pelliotest::PixelsOf(sub.get()) == pixels ? 1 : 0;
    return copies;
}

// Both kinds of camera, with the settings they were loaded with (exposure
// 0) or a brighter picture.
struct CameraCase {
    const char* name;
    std::uint32_t model;
    QrfPattern pattern;
    double exposure;
};
const CameraCase kCameraCases[] = {
    {"camera file, untouched", 257, QrfPattern::RGGB, 0.0},
    {"camera file, brighter", 257, QrfPattern::RGGB, 1.5},
    {"signal-processing camera, untouched", 513, QrfPattern::YCGM, 0.0},
    {"signal-processing camera, brighter", 513, QrfPattern::YCGM, 1.5},
};

// Tags no part of the library reads, of known and unknown types, and the
// dust identification, which no settings record carries.
std::vector<QrfExtraTag> UnknownTags()
{
    const pelliotest::Bytes identification = {'D', 'u', 's', 't', 'R', 'e', 'f', 0, 1, 2,
                                              3,   4,   5,   6,   7,   8,   9,   10, 11, 12};
    return {
        {kTlDustIdentificationTag, kKelvraTagTypeDustId, identification},
        {0x9F001, kKelvraTagTypeBytes, {1, 2, 3, 4, 5}},
        {0x9F002, kKelvraTagTypeLong, pelliotest::ValueBytes(std::uint32_t(0xC0FFEE))},
        {0x9F003, 777, {'o', 'p', 'a', 'q', 'u', 'e'}},
        {0x9F004, kKelvraTagTypeText, pelliotest::TextBytes("kept")},
        {50000, kKelvraTagTypeBytes, {9, 8, 7}},
        {270, kKelvraTagTypeText, pelliotest::TextBytes("a description")},
    };
}

// Tags a settings save writes anew or removes.
const std::set<std::uint32_t>& RewrittenTags()
{
    static const std::set<std::uint32_t> tags = {kTlStoredSettingsTag, 0x80E05, kTlDustReferenceTag, 34675, 33723,
                                                 305, 306, 0x10004, 0x10005};
    return tags;
}

std::vector<pelliotest::TagEntry> KeptTags(const IKelvraTagControl* tags)
{
    std::vector<pelliotest::TagEntry> kept;
    for (const pelliotest::TagEntry& entry : pelliotest::AllTags(tags)) {
        if (RewrittenTags().count(entry.id) == 0)
            kept.push_back(entry);
    }
    return kept;
}

class QrfSettingsKeepTest : public QrfSettingsSaveFixture {
protected:
    // Loads `path`, gives it the exposure `exposure` unless it is 0 (the
    // settings stay as loaded) and saves them into `target`.
    void SaveWithExposure(const std::string& path, const std::string& target, double exposure)
    {
        CTlvImageAttributes& attributes = Load(path);
        if (exposure != 0.0) {
            attributes.adjustUsed = 1;
            attributes.adjust.value = exposure;
        }
        ASSERT_EQ(Save(attributes, target), 0);
    }

    // A camera file with the maker's sub-images followed by further ones of
    // `kinds` (small colour images), and `tags` beside the capture tags.
    std::string WriteRawHolding(const std::string& name, std::uint32_t model, QrfPattern pattern,
                                const std::vector<std::uint32_t>& kinds, const std::vector<QrfExtraTag>& tags)
    {
        QrfRawOptions options = loadtest::RawOptions(model, pattern);
        options.extraTags = tags;
        pelliotest::TagsPtr control = pelliotest::MakeTags();
        EXPECT_TRUE(pelliotest::Succeeded(QrfFillTags(options, control.get())));
        QrfRawImages images;
        EXPECT_TRUE(pelliotest::Succeeded(QrfMakeImages(Manager(), options, &images)));
        std::vector<KelvraSaveEntry> list;
        for (const QrfSubImage& sub : images.subImages)
            list.push_back(KelvraSaveEntry{sub.kind, 1, sub.image.get()});
        std::vector<pelliotest::ImagePtr> extra;
        for (std::uint32_t kind : kinds) {
            extra.push_back(pelliotest::MakePatternImage(Manager(), kKelvraRGB8, 40 + long(extra.size()) * 4, 30));
            list.push_back(KelvraSaveEntry{kind, 1, extra.back().get()});
        }
        const std::string path = m_folder.File(name);
        EXPECT_TRUE(pelliotest::Succeeded(
            pelliotest::SaveFile(images.mosaic.get(), list, control.get(), options.format, 0, path)));
        return path;
    }
};

TEST_F(QrfSettingsKeepTest, SavingTheSameSettingsAgainKeepsTheFileSize)
{
    for (const CameraCase& c : kCameraCases) {
        SCOPED_TRACE(c.name);
        const std::string path =
            WriteRaw(pelliotest::TestName(c.name) + ".qrf", loadtest::RawOptions(c.model, c.pattern));
        const std::vector<std::uint32_t> sourceKinds = KindsOf(Reload(path));
        // Saved into the file it was loaded from, as a host saves.
        SaveWithExposure(path, path, c.exposure);
        const std::size_t first = FileSize(path);
        const std::vector<std::uint32_t> firstKinds = KindsOf(Reload(path));
        const pelliotest::Bytes stored = pelliotest::TagBytes(Reload(path).tags.get(), kTlStoredSettingsTag);
        for (int again = 0; again < 2; ++again) {
            SaveWithExposure(path, path, 0.0);
            EXPECT_EQ(FileSize(path), first) << "save " << again + 2;
            EXPECT_EQ(KindsOf(Reload(path)), firstKinds);
            EXPECT_EQ(pelliotest::TagBytes(Reload(path).tags.get(), kTlStoredSettingsTag), stored)
                << "the stored settings read back and saved again";
        }
        EXPECT_EQ(firstKinds, sourceKinds) << "the settings rewrite the renditions, they add no image";
    }
}

TEST_F(QrfSettingsKeepTest, ReSavingARawExportHoldsTheRawImageOnce)
{
    const std::string source = WriteRaw("source.qrf", loadtest::RawOptions(257, QrfPattern::RGGB));
    const pelliotest::Bytes raw = pelliotest::PixelsOf(Reload(source).main.get());
    for (const std::uint32_t format : {std::uint32_t(kPellioFormatQrf), std::uint32_t(kPellioFormatQrfDeflate)}) {
        SCOPED_TRACE(format);
        const std::string exported = m_folder.File("export.qrf");
        {
            CTlvImageAttributes& attributes = Load(source);
            attributes.adjustUsed = 1;
            attributes.adjust.value = 0.5;
            CTlvParamSet params(attributes);
            ASSERT_EQ(SaveImageToFile(&params, exported.c_str(), 1, format, 0, false), 0);
        }
        const std::string resaved = m_folder.File("resaved.qrf");
        SaveWithExposure(exported, resaved, 0.0);
        const pelliotest::LoadedFile file = Reload(resaved);
        EXPECT_EQ(pelliotest::PixelsOf(file.main.get()), raw);
        EXPECT_EQ(CopiesOf(file, raw), 1);

        CTlvImageAttributes& reloaded = Load(resaved);
        EXPECT_TRUE(reloaded.storedSettings);
        EXPECT_DOUBLE_EQ(reloaded.adjust.value, 0.5);
        const std::string again = m_folder.File("again.qrf");
        SaveWithExposure(resaved, again, 0.0);
        EXPECT_EQ(FileSize(again), FileSize(resaved));
    }
}

TEST_F(QrfSettingsKeepTest, TagsTheLibraryDoesNotKnowComeThroughEverySave)
{
    for (const CameraCase& c : kCameraCases) {
        SCOPED_TRACE(c.name);
        const std::string source = WriteRawHolding("tags.qrf", c.model, c.pattern, {}, UnknownTags());
        const std::vector<pelliotest::TagEntry> before = KeptTags(Reload(source).tags.get());
        ASSERT_TRUE(Reload(source).tags->HasTag(kTlDustIdentificationTag, 0));
        const std::string target = m_folder.File("saved.qrf");
        SaveWithExposure(source, target, c.exposure);
        const pelliotest::LoadedFile after = Reload(target);
        EXPECT_EQ(KeptTags(after.tags.get()), before);
        EXPECT_FALSE(pelliotest::TagBytes(after.tags.get(), kTlStoredSettingsTag).empty());
    }
}

TEST_F(QrfSettingsKeepTest, SubImagesTheSaveDoesNotRewriteComeThroughEverySave)
{
    // Six sub-images: the maker's two renditions, a converted copy, an
    // alternative mosaic, a third rendition and a flagged full picture.
    const std::vector<std::uint32_t> extra = {kPellioEntryConverted, kPellioEntrySecondRaw, kPellioEntryRendition,
                                              kPellioEntryImageFlagged};
    const std::string source = WriteRawHolding("subimages.qrf", 257, QrfPattern::RGGB, extra, {});
    const pelliotest::LoadedFile before = Reload(source);
    ASSERT_EQ(before.subImages.size(), 6u);

    // Untouched settings rewrite nothing: every sub-image, in its place.
    const std::string untouched = m_folder.File("untouched.qrf");
    SaveWithExposure(source, untouched, 0.0);
    const pelliotest::LoadedFile same = Reload(untouched);
    ASSERT_EQ(KindsOf(same), KindsOf(before));
    for (std::size_t i = 0; i < before.subImages.size(); ++i)
        EXPECT_EQ(RenditionPixels(same, i), RenditionPixels(before, i)) << "sub-image " << i;

    // New settings replace the renditions and the full picture with the two
    // new renditions; the rest goes along as it was.
    const std::string brighter = m_folder.File("brighter.qrf");
    SaveWithExposure(source, brighter, 1.5);
    const pelliotest::LoadedFile after = Reload(brighter);
    const std::vector<std::uint32_t> kinds = {kPellioEntryRendition, kPellioEntryRendition, kPellioEntryConverted,
                                              kPellioEntrySecondRaw};
    ASSERT_EQ(KindsOf(after), kinds);
    EXPECT_EQ(RenditionPixels(after, 2), RenditionPixels(before, 2));
    EXPECT_EQ(RenditionPixels(after, 3), RenditionPixels(before, 3));
}

} // namespace

