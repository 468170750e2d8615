// Settings saves of synthetic raw files through the save with its temporary
// file: the tags written, the raw mosaic written unchanged, the previews
// rendered anew only when the settings changed the picture, the reload of
// the stored settings, and failures that leave the target as it was.
#include "QrfSettingsSaveFixture.h"

#include "ImageJobTestSupport.h"

#include "frame/TlSaveProgress.h"
#include "kelvra/KelvraTagControl.h"
#include "load/TlImageJob.h"
#include "load/TlLoadResult.h"
#include "load/TlStoredSettings.h"
#include "pellio/PellioFormats.h"
#include "qrfsave/TlQrfSaveRun.h"
#include "qrfsave/TlQrfSettingsRecord.h"
#include "savetags/TlPrepareSaveTags.h"
#include "settings/edit/TlvEditSettings.h"
#include "settings/tests/DustEngineFakes.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <regex>
#include <string>
#include <vector>

using namespace loadtest;
using namespace qrfsave_test;

namespace {

// Asks the save to stop at its first progress report from `from` percent on.
class StoppingSink : public ITlSaveProgressSink {
public:
    explicit StoppingSink(long from) : m_from(from) {}
    void Reset(long, long) override {}
    void Notify() override {}
    bool Progress(long position, long) override
    {
        if (position < m_from)
            return false;
        ++reports;
        return true;
    }
    void SetEnabled(bool) override {}
    int reports = 0;

private:
    long m_from;
};

// An image that tells its size and format but whose pixels cannot be read:
// every tile fails as a file write does (framework code 1006).
class UnwritableImage : public IKelvraImage {
public:
    UnwritableImage(IKelvraManager* manager, long width, long height) : m_manager(manager), m_width(width), m_height(height) {}

    using IKelvraDataSource::LockTile;
    using IKelvraDataSource::TileExists;
    using IKelvraDataSource::UnlockTile;

    IKelvraError* GetWidth(long* width) override { return Give(width, m_width); }
    IKelvraError* GetHeight(long* height) override { return Give(height, m_height); }
    IKelvraError* GetColorSpace(KelvraPixelFormat* format) override { return Give(format, kKelvraRGB8); }
    IKelvraError* GetResolution(double* dpi) override { return Give(dpi, 72.0); }
    IKelvraError* GetFlip(bool* flip) override { return Give(flip, false); }
    IKelvraError* GetRotation(double* degrees) override { return Give(degrees, 0.0); }
    IKelvraError* GetTileSize(long* size) override { return Give(size, 64L); }
    IKelvraError* GetPalette(KelvraPalette* palette) override { return Give(palette, KelvraPalette()); }
    IKelvraError* TileExists(long, long, bool* exists) override { return Give(exists, true); }
    IKelvraError* LockTile(long, long, const void**, KelvraRect*, long*) override
    {
        return KELVRA_ERROR(nullptr, 0, kKelvraWriteError);
    }
    IKelvraError* UnlockTile(long, long) override { return nullptr; }

    void Release() override {}
    IKelvraManager* GetManager() const override { return m_manager; }
    IKelvraError* SetSize(long, long) override { return Refused(); }
    IKelvraError* SetColorSpace(KelvraPixelFormat) override { return Refused(); }
    IKelvraError* SetResolution(double) override { return Refused(); }
    IKelvraError* SetTransform(bool, double, long) override { return Refused(); }
    IKelvraError* SetPalette(const KelvraPalette&) override { return Refused(); }
    IKelvraError* GetStripHeight(long* rows) override { return Give(rows, 64L); }
    IKelvraError* AppendRows(const void*, long, long) override { return Refused(); }
    long GetRowsWritten() const override { return m_height; }
    IKelvraError* LockTileForWrite(long, long, void**, KelvraRect*, long*) override { return Refused(); }
    IKelvraError* UnlockTileForWrite(long, long, bool) override { return Refused(); }
    IKelvraError* AttachFilter(IKelvraFilter*) override { return Refused(); }
    IKelvraError* DetachFilter(IKelvraFilter*) override { return Refused(); }
    IKelvraFilter* FindFilter(KelvraTag) const override { return nullptr; }

private:
    template <typename Out, typename Value>
    static IKelvraError* Give(Out* out, const Value& value)
    {
        if (out == nullptr)
            return KELVRA_ERROR(nullptr, 0, kKelvraMissingObject);
        *out = value;
        return nullptr;
    }
    static IKelvraError* Refused() { return KELVRA_ERROR(nullptr, 0, kKelvraOperationFailed); }

    IKelvraManager* m_manager;
    long m_width;
    long m_height;
};

class QrfSettingsSaveTest : public QrfSettingsSaveFixture {};

TEST_F(QrfSettingsSaveTest, ChangedSettingsWriteTheirTagsAndFreshPreviewsBesideTheOriginalMosaic)
{
    const std::string source = WriteRaw("source.qrf", RawOptions(257, QrfPattern::RGGB));
    const std::string target = SavedBrighter(source, "brighter.qrf");
    const pelliotest::LoadedFile before = Reload(source);
    const pelliotest::LoadedFile after = Reload(target);
    ASSERT_TRUE(after.main);

    EXPECT_EQ(after.info.formatCode, std::uint32_t(kPellioFormatQrf));
    EXPECT_EQ(pelliotest::PixelsOf(after.main.get()), pelliotest::PixelsOf(before.main.get()))
        << "the raw mosaic is written as the source holds it";

    const IKelvraTagControl& tags = *after.tags;
    EXPECT_FALSE(pelliotest::TagBytes(&tags, kTlStoredSettingsTag).empty());
    EXPECT_EQ(pelliotest::TagBytes(&tags, 0x80E05), pelliotest::ValueBytes(std::uint32_t(2)));
    EXPECT_FALSE(tags.HasTag(kTlDustReferenceTag, 0)) << "no dust map to store";
    EXPECT_EQ(pelliotest::TagBytes(&tags, 305), pelliotest::TextBytes(kSoftware));
    const pelliotest::Bytes time = pelliotest::TagBytes(&tags, 306);
    ASSERT_FALSE(time.empty());
    EXPECT_TRUE(std::regex_match(std::string(time.begin(), time.end() - 1),
                                 std::regex("[0-9]{4}:[0-9]{2}:[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}")));
    const std::string profile = TempFolder::Read(m_srgb);
    EXPECT_EQ(pelliotest::TagBytes(&tags, 34675), pelliotest::Bytes(profile.begin(), profile.end()));

    const std::vector<std::uint32_t> kinds = KindsOf(after);
    ASSERT_GE(kinds.size(), 2u);
    EXPECT_EQ(kinds[0], std::uint32_t(kPellioEntryRendition));
    EXPECT_EQ(kinds[1], std::uint32_t(kPellioEntryRendition));
    EXPECT_LE(std::max(after.subInfo[0].width, after.subInfo[0].height), std::uint32_t(kTlQrfThumbnailSide));
    ASSERT_GE(before.subImages.size(), 2u);
    EXPECT_NE(RenditionPixels(after, 1), RenditionPixels(before, 1)) << "the preview shows the new settings";
    EXPECT_FALSE(TemporaryFilesLeft());
}

TEST_F(QrfSettingsSaveTest, AnImageJobWithAHolderSavesItsSettingsIntoTheRawFile)
{
    const std::string source = WriteRaw("source.qrf", RawOptions(257, QrfPattern::RGGB));
    CTlvImageAttributes& holder = Load(source);
    holder.adjustUsed = 1;
    holder.adjust.value = 0.75;
    TlImageJobOptions options;
    std::strncpy(options.sourcePath, source.c_str(), sizeof options.sourcePath - 1);
    const std::string target = m_folder.File("job.qrf");
    std::strncpy(options.targetPath, target.c_str(), sizeof options.targetPath - 1);
    options.fileFormat = kTlSaveSettingsFormat;
    imagejobtest::CountingOwner owner; // plain parameter sets: no maker is registered here
    auto job = std::make_unique<CImageJob>(owner, Manager());
    ASSERT_EQ(job->SetUpWithHolder(options, holder), 0);
    EXPECT_EQ(job->Run(), kTlJobDone);
    EXPECT_EQ(job->GetLastSaveResult(), 0u);
    job->Release(true);
    job.release();
    EXPECT_EQ(owner.liveAttributes, 0);
    EXPECT_EQ(owner.liveTargets, 0);

    CTlvImageAttributes& saved = Load(target);
    EXPECT_TRUE(saved.storedSettings);
    EXPECT_DOUBLE_EQ(saved.adjust.value, 0.75);
    EXPECT_EQ(pelliotest::PixelsOf(Reload(target).main.get()), pelliotest::PixelsOf(Reload(source).main.get()));
    EXPECT_FALSE(TemporaryFilesLeft());
}

// A raw export writes the developed picture with the raw source beside it,
// and carries the settings the way a settings save writes them.
TEST_F(QrfSettingsSaveTest, RawExportsCarryTheSettingsAndTheRawSource)
{
    const std::string source = WriteRaw("source.qrf", RawOptions(257, QrfPattern::RGGB));
    const pelliotest::LoadedFile before = Reload(source);
    for (const std::uint32_t format : {std::uint32_t(kPellioFormatQrf), std::uint32_t(kPellioFormatQrfDeflate)}) {
        SCOPED_TRACE(format);
        CTlvImageAttributes& attributes = Load(source);
        attributes.adjustUsed = 1;
        attributes.adjust.value = 0.5;
        const std::string target = m_folder.File("export.qrf");
        CTlvParamSet params(attributes);
        ASSERT_EQ(SaveImageToFile(&params, target.c_str(), 1, format, 0, false), 0);
        EXPECT_FALSE(SaveState().prepared);

        const pelliotest::LoadedFile after = Reload(target);
        EXPECT_EQ(after.info.formatCode, format);
        const std::vector<std::uint32_t> kinds = KindsOf(after);
        const auto raw = std::find(kinds.begin(), kinds.end(), std::uint32_t(kPellioEntryRawSource));
        ASSERT_NE(raw, kinds.end());
        EXPECT_EQ(RenditionPixels(after, std::size_t(raw - kinds.begin())), pelliotest::PixelsOf(before.main.get()))
            << "the raw source goes along as the file held it";
        EXPECT_EQ(pelliotest::TagBytes(after.tags.get(), 0x80E05), pelliotest::ValueBytes(std::uint32_t(2)));
        EXPECT_EQ(pelliotest::TagBytes(after.tags.get(), 305), pelliotest::TextBytes(kSoftware));

        CTlvImageAttributes& reloaded = Load(target);
        EXPECT_TRUE(reloaded.storedSettings);
        EXPECT_DOUBLE_EQ(reloaded.adjust.value, 0.5);
        EXPECT_FALSE(TemporaryFilesLeft());
    }
}

TEST_F(QrfSettingsSaveTest, SignalProcessingCameraKeepsItsMosaicAndAlternativeMosaic)
{
    const std::string source = WriteRaw("source.qrf", RawOptions(513, QrfPattern::YCGM));
    const std::string target = SavedBrighter(source, "brighter.qrf");
    const pelliotest::LoadedFile before = Reload(source);
    const pelliotest::LoadedFile after = Reload(target);
    ASSERT_TRUE(after.main);
    EXPECT_EQ(after.info.pixelFormat, before.info.pixelFormat);
    EXPECT_EQ(pelliotest::PixelsOf(after.main.get()), pelliotest::PixelsOf(before.main.get()));
    const std::vector<std::uint32_t> kinds = KindsOf(after);
    EXPECT_EQ(std::count(kinds.begin(), kinds.end(), std::uint32_t(kPellioEntryRendition)), 2);
    ASSERT_EQ(std::count(kinds.begin(), kinds.end(), std::uint32_t(kPellioEntrySecondRaw)), 1);
    const std::vector<std::uint32_t> sourceKinds = KindsOf(before);
    const auto at = [](const std::vector<std::uint32_t>& list) {
        return std::size_t(std::find(list.begin(), list.end(), std::uint32_t(kPellioEntrySecondRaw)) - list.begin());
    };
    EXPECT_EQ(RenditionPixels(after, at(kinds)), RenditionPixels(before, at(sourceKinds)));
}

TEST_F(QrfSettingsSaveTest, ReloadingTheSavedFileGivesBackTheSettingsAndSavingThemAgainRendersNoPreview)
{
    const std::string source = WriteRaw("source.qrf", RawOptions(257, QrfPattern::RGGB));
    const std::string first = SavedBrighter(source, "first.qrf");

    CTlvImageAttributes& reloaded = Load(first);
    EXPECT_TRUE(reloaded.storedSettings);
    EXPECT_EQ(reloaded.adjustUsed, 1);
    EXPECT_DOUBLE_EQ(reloaded.adjust.value, 1.5);
    {
        CTlvParamSet params(reloaded);
        EXPECT_TRUE(StoredSettingsMatch(params));
    }
    const std::string second = m_folder.File("second.qrf");
    ASSERT_EQ(Save(reloaded, second), 0);

    const pelliotest::LoadedFile a = Reload(first);
    const pelliotest::LoadedFile b = Reload(second);
    EXPECT_EQ(pelliotest::PixelsOf(b.main.get()), pelliotest::PixelsOf(a.main.get()));
    ASSERT_GE(b.subImages.size(), 2u);
    EXPECT_EQ(RenditionPixels(b, 0), RenditionPixels(a, 0)) << "unchanged settings keep the previews";
    EXPECT_EQ(RenditionPixels(b, 1), RenditionPixels(a, 1));

    CTlvImageAttributes& again = Load(second);
    EXPECT_EQ(again.adjustUsed, 1);
    EXPECT_DOUBLE_EQ(again.adjust.value, 1.5);
}

// A camera file stores no settings: untouched defaults match it, and its
// own previews are written again.
TEST_F(QrfSettingsSaveTest, UntouchedDefaultsKeepTheCameraFilesPreviews)
{
    const std::string source = WriteRaw("source.qrf", RawOptions(257, QrfPattern::RGGB));
    CTlvImageAttributes& fresh = Load(source);
    {
        CTlvParamSet params(fresh);
        EXPECT_TRUE(StoredSettingsMatch(params));
    }
    const std::string target = m_folder.File("untouched.qrf");
    ASSERT_EQ(Save(fresh, target), 0);
    const pelliotest::LoadedFile before = Reload(source);
    const pelliotest::LoadedFile after = Reload(target);
    ASSERT_GE(after.subImages.size(), 2u);
    EXPECT_EQ(RenditionPixels(after, 0), RenditionPixels(before, 0));
    EXPECT_EQ(RenditionPixels(after, 1), RenditionPixels(before, 1));
}

TEST_F(QrfSettingsSaveTest, ChangedOrientationOrRecordIsNoMatchForTheStoredSettings)
{
    const std::string first = SavedBrighter(WriteRaw("source.qrf", RawOptions(257, QrfPattern::RGGB)), "first.qrf");
    CTlvImageAttributes& reloaded = Load(first);
    {
        CTlvParamSet params(reloaded);
        params.rotation = 90;
        EXPECT_FALSE(StoredSettingsMatch(params));
    }
    {
        CTlvParamSet params(reloaded);
        params.flip = 1;
        EXPECT_FALSE(StoredSettingsMatch(params));
    }
    reloaded.adjust.value = 0.5;
    {
        CTlvParamSet params(reloaded);
        EXPECT_FALSE(StoredSettingsMatch(params));
    }
    reloaded.adjust.value = 1.5;
    ASSERT_EQ(reloaded.geometry.SetCropRect(20.0, 10.0, 120.0, 90.0, 0), 0);
    CTlvParamSet params(reloaded);
    EXPECT_FALSE(StoredSettingsMatch(params)) << "a crop changes the picture";
}

TEST_F(QrfSettingsSaveTest, AGreyPictureEmbedsTheGreyProfile)
{
    CTlvImageAttributes& attributes = Load(WriteRaw("source.qrf", RawOptions(257, QrfPattern::RGGB)));
    const pelliotest::ImagePtr grey = pelliotest::MakePatternImage(Manager(), kKelvraGrey8, 48, 32);
    CTlvParamSet params(attributes);
    params.image = grey.get();
    const std::string temp = m_folder.Write("prepared.qrf", "");
    ASSERT_EQ(PrepareQrfSave(&params, temp.c_str(), 0), 0);
    ASSERT_NE(SaveState().tags, nullptr);
    const std::string profile = TempFolder::Read(m_profiles.Path() + "TLGrayG22.icm");
    EXPECT_EQ(pelliotest::TagBytes(SaveState().tags, 34675), pelliotest::Bytes(profile.begin(), profile.end()));
    EXPECT_EQ(PrepareQrfSave(&params, temp.c_str(), 0), kTlSaveAlreadyPrepared);
    ReleaseQrfSave(&params);
    EXPECT_EQ(SaveState().tags, nullptr);
    DeleteFileA(temp.c_str());
}

bool Contains(const pelliotest::Bytes& file, const pelliotest::Bytes& part)
{
    return std::search(file.begin(), file.end(), part.begin(), part.end()) != file.end();
}

TEST_F(QrfSettingsSaveTest, TheAttachedBlockGoesWithTheHeaderRecordOnlyWhenAnOptionAsksForIt)
{
    const std::string source = WriteRaw("source.qrf", RawOptions(257, QrfPattern::RGGB));
    const pelliotest::Bytes block = {'a', 't', 't', 'a', 'c', 'h', 'e', 'd', 0x5A, 0xA5, 0x3C, 0xC3};
    struct Case {
        const char* name;
        std::uint32_t option;
        pelliotest::Bytes block;
        bool written;
    };
    const Case cases[] = {
        {"option-and-block.qrf", 4096, block, true},
        {"block-without-option.qrf", 0, block, false},
        {"option-without-block.qrf", 4096, {}, false},
    };
    pelliotest::Bytes optionAndBlock = pelliotest::ValueBytes(std::uint32_t(32));
    optionAndBlock.insert(optionAndBlock.end(), block.begin(), block.end());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CTlvImageAttributes& attributes = Load(source);
        const std::string target = m_folder.File(c.name);
        ASSERT_EQ(Save(attributes, target, c.option, c.block), 0);
        EXPECT_EQ(Contains(pelliotest::ReadFile(target), block), c.written);
        // The settings save hands the writer 32 for the option 4096.
        EXPECT_EQ(Contains(pelliotest::ReadFile(target), optionAndBlock), c.written);
    }
}

TEST_F(QrfSettingsSaveTest, TheDustMapIsStoredAndRemovedWithTheRecordsMap)
{
    dust_test::DustScript script;
    dust_test::FakeDustFactory factory(script);
    const pelliotest::Bytes map = {'M', 'a', 'p', 9, 8, 7};
    CTlvImageAttributes& attributes = Load(WriteRaw("source.qrf", RawOptions(257, QrfPattern::RGGB)));
    ASSERT_EQ(attributes.dust.CreateEngine(Manager(), map.data(), map.size()), 0);
    attributes.dustUsed = 0; // the map is kept, not applied
    const std::string dusty = m_folder.File("dusty.qrf");
    ASSERT_EQ(Save(attributes, dusty), 0);
    EXPECT_EQ(pelliotest::TagBytes(Reload(dusty).tags.get(), kTlDustReferenceTag), map);

    CTlvImageAttributes& reloaded = Load(dusty);
    ASSERT_NE(reloaded.dust.GetDustMap(), nullptr) << "the load builds the map from the tag";
    reloaded.dust.Reset();
    const std::string clean = m_folder.File("clean.qrf");
    ASSERT_EQ(Save(reloaded, clean), 0);
    EXPECT_FALSE(Reload(clean).tags->HasTag(kTlDustReferenceTag, 0));
}

TEST_F(QrfSettingsSaveTest, AnAbortedSaveLeavesTheTargetAndNoTemporaryFile)
{
    const std::string source = WriteRaw("source.qrf", RawOptions(257, QrfPattern::RGGB));
    const std::string target = m_folder.Write("target.qrf", "old content");
    // Stopped while demosaicing, while rendering the previews, while writing.
    for (const long from : {0L, 31L, 71L}) {
        SCOPED_TRACE(from);
        CTlvImageAttributes& attributes = Load(source);
        attributes.adjustUsed = 1;
        attributes.adjust.value = 1.5;
        StoppingSink sink(from);
        TlSaveProgressState progress = GetSaveProgressState();
        progress.sink = &sink;
        const TlSaveProgressState previous = ExchangeSaveProgressState(progress);
        const int result = Save(attributes, target);
        ExchangeSaveProgressState(previous);

        EXPECT_EQ(result, kTlQrfAborted);
        EXPECT_EQ(sink.reports, 1);
        EXPECT_EQ(TempFolder::Read(target), "old content");
        EXPECT_FALSE(TemporaryFilesLeft());
    }
}

// The usual save: the settings go back into the raw file they were loaded
// from; a stopped save leaves that file as it was.
TEST_F(QrfSettingsSaveTest, SavingIntoTheLoadedFileReplacesItOnlyWhenTheSaveEnds)
{
    const std::string source = WriteRaw("source.qrf", RawOptions(257, QrfPattern::RGGB));
    const pelliotest::Bytes original = pelliotest::ReadFile(source);
    {
        CTlvImageAttributes& attributes = Load(source);
        attributes.adjustUsed = 1;
        attributes.adjust.value = 2.0;
        StoppingSink sink(71);
        TlSaveProgressState progress = GetSaveProgressState();
        progress.sink = &sink;
        const TlSaveProgressState previous = ExchangeSaveProgressState(progress);
        EXPECT_EQ(Save(attributes, source), kTlQrfAborted);
        ExchangeSaveProgressState(previous);
        EXPECT_EQ(pelliotest::ReadFile(source), original);
    }
    CTlvImageAttributes& attributes = Load(source);
    attributes.adjustUsed = 1;
    attributes.adjust.value = 2.0;
    ASSERT_EQ(Save(attributes, source), 0);
    EXPECT_FALSE(TemporaryFilesLeft());
    CTlvImageAttributes& reloaded = Load(source);
    EXPECT_TRUE(reloaded.storedSettings);
    EXPECT_DOUBLE_EQ(reloaded.adjust.value, 2.0);
}

// A write step whose failure comes from deep inside the writer (the
// framework's write error, wrapped by each layer it passed) is told apart
// from other write failures.
TEST_F(QrfSettingsSaveTest, AFailedWriteDeepInsideTheWriterGives18)
{
    CTlvImageAttributes& attributes = Load(WriteRaw("source.qrf", RawOptions(257, QrfPattern::RGGB)));
    UnwritableImage unwritable(Manager(), 48, 32);
    CTlvParamSet params(attributes);
    params.image = &unwritable;
    const std::string target = m_folder.Write("target.qrf", "old content");
    EXPECT_EQ(SaveImageToFile(&params, target.c_str(), 0, kTlSaveSettingsFormat, 0, false), kTlQrfWriteFailed1006);
    EXPECT_EQ(TempFolder::Read(target), "old content");
    EXPECT_FALSE(TemporaryFilesLeft());
}

TEST_F(QrfSettingsSaveTest, ARefusedPreparationLeavesTheTargetAndNoTemporaryFile)
{
    const std::string target = m_folder.Write("target.qrf", "old content");
    CTlvImageAttributes& attributes = Load(WriteRaw("source.qrf", RawOptions(257, QrfPattern::RGGB)));
    SaveState().prepared = true; // another save is under way
    EXPECT_EQ(Save(attributes, target), kTlSaveAlreadyPrepared);
    SaveState().prepared = false;
    CTlvParamSet noTags(attributes);
    noTags.tags = nullptr;
    EXPECT_EQ(SaveImageToFile(&noTags, target.c_str(), 0, kTlSaveSettingsFormat, 0, false), kTlSaveNoSource);
    EXPECT_EQ(TempFolder::Read(target), "old content");
    EXPECT_FALSE(TemporaryFilesLeft());
}

} // namespace
