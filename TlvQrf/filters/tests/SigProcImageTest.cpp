// The raw-processing image developed through the real signal-processing
// library: flat mosaics of each layout, a missing library, a cancelled
// development, white-balance changes, the source sizes that the load path
// reads, and many threads making and dropping images.
#include "filters/runner/TlFilterProcess.h"
#include "filters/sigcore/TlSigProcImage.h"
#include "filters/sigcore/TlSigcoreLibrary.h"

#include "FilterTestSupport.h"
#include "settings/loadpath/TlLoadPath.h"
#include "sigcore/tests/SigcoreToneOracle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>
#include <vector>

namespace {

struct Rgb {
    std::uint16_t r, g, b;
};

// What a site of the sensor the format stands for records of a flat colour.
std::uint16_t SiteOf(KelvraPixelFormat format, const Rgb& c, long x, long y)
{
    const long site = (y % 2) * 2 + x % 2;
    if (format == kKelvraRawSig3) {
        const std::uint16_t ycgm[4] = {std::uint16_t((c.r + c.g) / 2), std::uint16_t((c.g + c.b) / 2), c.g,
                                       std::uint16_t((c.r + c.b) / 2)};
        return ycgm[site];
    }
    const std::uint16_t bggr[4] = {c.b, c.g, c.g, c.r};
    return bggr[site];
}

IKelvraImage* FlatMosaic(IKelvraManager* manager, KelvraPixelFormat format, const Rgb& colour, long width, long height)
{
    IKelvraImage* image = MakeBlankImage(manager, width, height, format);
    std::vector<std::uint16_t> samples(std::size_t(width * height));
    for (long y = 0; y < height; ++y)
        for (long x = 0; x < width; ++x)
            samples[std::size_t(y * width + x)] = SiteOf(format, colour, x, y);
    ExpectOk(KelvraWriteRect(image, KelvraRect(0, 0, width, height), samples.data(), width * 2));
    return image;
}

// A raw file that holds only a list of sub-images.
class FakeRawFile : public IKelvraLoad {
public:
    std::vector<IKelvraImage*> subImages; // not owned

    IKelvraError* Start(IKelvraFileStream*, IKelvraTagControl*, long, long) override { return nullptr; }
    IKelvraError* DescribeImage(KelvraLoadRequest*, long) override { return nullptr; }
    IKelvraError* GetFileInfo(KelvraFileInfo* info) const override
    {
        info->subImageCount = std::uint32_t(subImages.size());
        return nullptr;
    }
    IKelvraError* GetSubImageInfo(long number, KelvraSubImageInfo* info) const override
    {
        return subImages[std::size_t(number - 1)]->GetColorSpace(&info->pixelFormat);
    }
    IKelvraError* SetImage(IKelvraImage*) override { return nullptr; }
    bool IsComplete() const override { return true; }
    IKelvraError* Step() override { return nullptr; }
    void GetProgress(long*, long*) const override {}
    IKelvraError* LoadSubImage(long number, IKelvraImage* image, std::uint32_t*) override
    {
        CFilterProcess copy(nullptr);
        IKelvraError* error = copy.Run(subImages[std::size_t(number - 1)], image);
        copy.Clear();
        return error;
    }
    void Release() override {}
    void Destroy() override {}
};

class SigProcImageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ExpectOk(IKelvraTagControl::CreateTagControl(&m_tags));
        SetTag(0xA302, {0, 2, 0, 2, 2, 1, 1, 0});
        SetTag(0x80014, std::vector<std::uint8_t>(360, 7));
    }
    void TearDown() override
    {
        m_tags->Destroy();
        CSigcoreLibrary::SetLibraryName(nullptr);
    }
    void SetTag(std::uint32_t id, const std::vector<std::uint8_t>& bytes)
    {
        ExpectOk(m_tags->AddTag(id));
        ExpectOk(m_tags->SetTag(id, kKelvraTagTypeBytes, std::uint32_t(bytes.size()), bytes.data()));
    }
    // A new image over a flat mosaic; the caller releases it.
    CSigProcImage* MakeImage(KelvraPixelFormat format, const Rgb& colour, long width = 48, long height = 40)
    {
        auto* image = new CSigProcImage(Manager());
        ExpectOk(image->Initialize(&m_rawFile, m_tags, FlatMosaic(Manager(), format, colour, width, height)));
        return image;
    }
    IKelvraManager* Manager() { return m_holder.manager; }

    ManagerHolder m_holder;
    IKelvraTagControl* m_tags = nullptr;
    FakeRawFile m_rawFile;
};

// A developed 12-bit value as the image hands it out: through the library's
// standard tone, widened to 16 bits.
std::uint16_t Widened(std::uint16_t value12)
{
    return std::uint16_t((std::uint32_t(sigcore_test::TonedValue(value12)) * 4097) >> 8);
}

// Within a rounding step of the 12-bit tone.
constexpr int kToneStep = 17;

TEST_F(SigProcImageTest, DevelopsAFlatMosaicOfEachLayoutToItsColour)
{
    // The library reads the BGGR layout's gains in finer units.
    struct Case {
        KelvraPixelFormat format;
        long marginRows;
        int unitGain;
    } const cases[] = {{kKelvraRawSig3, 4, 128}, {kKelvraRawSig4, 6, 256}};
    const Rgb colour{1000, 2000, 3000};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        CSigProcImage* image = MakeImage(c.format, colour);
        const int unity[kSigProcParamCount] = {c.unitGain, c.unitGain, 0, 0, 256, 256};
        ExpectOk(image->SetParams(unity, false));
        SampleGrid grid = ReadSampleGrid(image);
        EXPECT_EQ(grid.width, 48 - 16);
        EXPECT_EQ(grid.height, 40 - c.marginRows);
        for (std::size_t i = 0; i < grid.samples.size(); i += 3) {
            ASSERT_NEAR(grid.samples[i], Widened(colour.r), kToneStep) << "pixel " << i / 3;
            ASSERT_NEAR(grid.samples[i + 1], Widened(colour.g), kToneStep) << "pixel " << i / 3;
            ASSERT_NEAR(grid.samples[i + 2], Widened(colour.b), kToneStep) << "pixel " << i / 3;
        }
        EXPECT_FALSE(image->IsStale());
        image->Release();
    }
}

TEST_F(SigProcImageTest, MissingLibraryOrEntryPointFailsWith1007AndStaysStale)
{
    const char* const libraries[] = {"NoSuchSigcore.dll", "TlSmokeModule.dll"};
    for (const char* library : libraries) {
        SCOPED_TRACE(library);
        CSigcoreLibrary::SetLibraryName(library);
        CSigProcImage* image = MakeImage(kKelvraRawSig4, {10, 20, 30});
        ExpectError(image->Update(), kKelvraOperationFailed, KelvraFourCC('R', 'a', 'w', '1'));
        EXPECT_TRUE(image->IsStale());
        EXPECT_FALSE(CSigcoreLibrary::IsLoaded());
        image->Release();
    }
}

class CancellingObserver : public ISigProcObserver {
public:
    std::vector<long> events;
    void OnSigProcEvent(long code, CSigProcImage*) override { events.push_back(code); }
    int OnSigProcProgress(long, long) override { return 0; }
};

TEST_F(SigProcImageTest, CancelledDevelopmentFailsWith2001AndStaysStale)
{
    CSigProcImage* image = MakeImage(kKelvraRawSig3, {10, 20, 30});
    CancellingObserver observer;
    image->SetObserver(&observer);
    IKelvraError* error = image->Update();
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(error->GetCode(), 2001);
    EXPECT_EQ(error->GetCategory(), KelvraFourCC('s', 'i', 'g', 'p'));
    IKelvraError::Release(error);
    EXPECT_TRUE(image->IsStale());
    EXPECT_EQ(observer.events, (std::vector<long>{-3, -1}));
    image->SetObserver(nullptr);
    image->Release();
}

TEST_F(SigProcImageTest, WhiteBalanceChangeNeedsANewDevelopment)
{
    CSigProcImage* image = MakeImage(kKelvraRawSig4, {10, 20, 30});
    ExpectOk(image->Update());
    bool modeChanged = true;
    ExpectOk(image->SetWhiteBalance(300, 200, 0, &modeChanged));
    EXPECT_FALSE(modeChanged);
    EXPECT_FALSE(image->IsStale()) << "mode 0 first restores the values it just saved";
    ExpectOk(image->SetWhiteBalance(300, 200, 1, &modeChanged));
    EXPECT_TRUE(modeChanged);
    EXPECT_TRUE(image->IsStale());
    ExpectOk(image->Update());
    ExpectOk(image->SetWhiteBalance(300, 200, 0, &modeChanged));
    EXPECT_TRUE(modeChanged);
    EXPECT_TRUE(image->IsStale()) << "restoring the saved pairs changes the table again";
    ExpectError(image->SetWhiteBalance(0, 200, 1, nullptr), kKelvraMissingObject, KelvraFourCC('R', 'a', 'w', '1'));
    image->Release();
}

// Bytes 296-299 and 332-359 of the maker table after a white-balance call:
// each pair is two little-endian 16-bit words.
TEST_F(SigProcImageTest, WhiteBalanceWritesThePairsOfTheMakerTable)
{
    std::vector<std::uint8_t> table(360);
    for (std::size_t i = 0; i < table.size(); ++i)
        table[i] = std::uint8_t(i);
    SetTag(0x80014, table);
    CSigProcImage* image = MakeImage(kKelvraRawSig4, {10, 20, 30});

    // Mode 2: (gainB - 1, gainA - 1) = (0x0101, 0x0302) in every pair.
    const std::uint8_t scaled[4] = {0x01, 0x01, 0x02, 0x03};
    ExpectOk(image->SetWhiteBalance(0x0303, 0x0102, 2, nullptr));
    std::vector<std::uint8_t> expected = table;
    for (std::size_t offset : {296u, 332u, 336u, 340u, 344u, 348u, 352u, 356u})
        std::copy(std::begin(scaled), std::end(scaled), expected.begin() + offset);
    EXPECT_EQ(image->GetMakerTable(), expected);

    // Mode 1 puts the gains themselves in the first of the seven pairs.
    ExpectOk(image->SetWhiteBalance(0x0303, 0x0102, 1, nullptr));
    const std::uint8_t gains[4] = {0x02, 0x01, 0x03, 0x03};
    std::copy(std::begin(gains), std::end(gains), expected.begin() + 332);
    EXPECT_EQ(image->GetMakerTable(), expected);

    // Mode 0 brings back the bytes from before the first call.
    ExpectOk(image->SetWhiteBalance(0x0303, 0x0102, 0, nullptr));
    EXPECT_EQ(image->GetMakerTable(), table);
    image->Release();
}

TEST_F(SigProcImageTest, WhiteBalanceNeedsAWholeMakerTable)
{
    SetTag(0x80014, std::vector<std::uint8_t>(359, 0));
    CSigProcImage* image = MakeImage(kKelvraRawSig4, {10, 20, 30});
    ExpectError(image->SetWhiteBalance(200, 200, 1, nullptr), kKelvraOperationFailed, KelvraFourCC('R', 'a', 'w', '1'));
    image->Release();
}

TEST_F(SigProcImageTest, RefusesColourFilterTagsOfOtherLayoutsTypesOrLengths)
{
    struct Case {
        const char* name;
        std::uint32_t type;
        std::vector<std::uint8_t> bytes;
    } const cases[] = {
        {"RGGB layout", kKelvraTagTypeBytes, {0, 2, 0, 2, 0, 1, 1, 2}},
        {"nine bytes", kKelvraTagTypeBytes, {0, 2, 0, 2, 2, 1, 1, 0, 0}},
        {"BGGR bytes of another type", kKelvraTagTypeBlock8, {0, 2, 0, 2, 2, 1, 1, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectOk(m_tags->RemoveTag(0xA302));
        ExpectOk(m_tags->AddTag(0xA302));
        ExpectOk(m_tags->SetTag(0xA302, c.type, std::uint32_t(c.bytes.size()), c.bytes.data()));
        auto* image = new CSigProcImage(Manager());
        IKelvraImage* mosaic = FlatMosaic(Manager(), kKelvraRawSig3, {1, 2, 3}, 32, 32);
        ExpectError(image->Initialize(&m_rawFile, m_tags, mosaic), kKelvraOperationFailed,
                    KelvraFourCC('R', 'a', 'w', '1'));
        mosaic->Release();
        image->Release();
    }
}

TEST_F(SigProcImageTest, LoadPathReadsTheScaleBetweenTheTwoSources)
{
    IKelvraImage* second = MakeBlankImage(Manager(), 1516, 1204, kKelvraRawSig3);
    m_rawFile.subImages.push_back(second);
    auto* image = new CSigProcImage(Manager());
    ExpectOk(image->Initialize(&m_rawFile, m_tags, MakeBlankImage(Manager(), 3016, 2006, kKelvraRawSig4)));
    // Developed sizes: 3000 x 2000 and 1500 x 1200.
    EXPECT_DOUBLE_EQ(GetMinScaleRatio(image), 0.5);
    EXPECT_FALSE(image->IsSecondSourceSelected());
    EXPECT_TRUE(image->IsStale()) << "sizes come from the mosaics without developing";
    image->Release();
    second->Release();
}

TEST_F(SigProcImageTest, ThreadsMakingAndDroppingImagesUnloadTheLibraryOnceAtTheEnd)
{
    CSigProcImage* holder = MakeImage(kKelvraRawSig4, {10, 20, 30});
    ExpectOk(holder->Update());
    ASSERT_TRUE(CSigcoreLibrary::IsLoaded());
    const long unloadsBefore = CSigcoreLibrary::UnloadCount();

    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([this] {
            for (int i = 0; i < 500; ++i)
                (new CSigProcImage(Manager()))->Release();
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_TRUE(CSigcoreLibrary::IsLoaded());
    EXPECT_EQ(CSigcoreLibrary::UnloadCount(), unloadsBefore);

    holder->Release();
    EXPECT_FALSE(CSigcoreLibrary::IsLoaded());
    EXPECT_EQ(CSigcoreLibrary::UnloadCount(), unloadsBefore + 1);
}

TEST_F(SigProcImageTest, CopyIsIndependentAndDevelopsTheSamePixels)
{
    CSigProcImage* image = MakeImage(kKelvraRawSig3, {400, 800, 1200});
    const int params[kSigProcParamCount] = {256, 128, 0, 0, 256, 256};
    ExpectOk(image->SetParams(params, false));
    ExpectOk(image->SetResolution(150.0));
    ExpectOk(image->Update());

    auto* copy = new CSigProcImage(Manager());
    ExpectOk(image->CopyTo(copy));
    EXPECT_FALSE(copy->IsStale());
    int copied[kSigProcParamCount] = {};
    copy->GetParams(copied);
    EXPECT_TRUE(std::equal(std::begin(params), std::end(params), std::begin(copied)));
    double dpi = 0;
    ExpectOk(copy->GetResolution(&dpi));
    EXPECT_EQ(dpi, 150.0);
    const std::vector<unsigned> expected = ReadAllSamples(image);
    image->Release();
    EXPECT_EQ(ReadAllSamples(copy), expected);
    ExpectError(copy->CopyTo(nullptr), kKelvraMissingObject, KelvraFourCC('R', 'a', 'w', '1'));
    copy->Release();
}

TEST_F(SigProcImageTest, SecondSourceDevelopsWhenSelectedWhileTheSizeStaysThePrimarys)
{
    IKelvraImage* second = FlatMosaic(Manager(), kKelvraRawSig3, {3000, 2000, 1000}, 32, 24);
    m_rawFile.subImages.push_back(second);
    CSigProcImage* image = MakeImage(kKelvraRawSig4, {1000, 2000, 3000}, 48, 40);
    ExpectOk(image->Update());
    RecordingDestination listener;
    ExpectOk(KelvraDataConnect(image, &listener));

    ExpectOk(image->SelectSource(true, true));
    EXPECT_TRUE(image->IsStale());
    ASSERT_EQ(listener.notices.size(), 1u);
    EXPECT_EQ(listener.notices[0].code, kKelvraNotifyUpdateAll);
    const SampleGrid grid = ReadSampleGrid(image);
    EXPECT_EQ(grid.width, 32 - 16);
    EXPECT_EQ(grid.height, 24 - 4);
    EXPECT_NEAR(grid.At(3, 3, 0), Widened(3000), kToneStep);
    EXPECT_NEAR(grid.At(3, 3, 2), Widened(1000), kToneStep);
    long width = 0, height = 0;
    ExpectOk(image->GetSize(&width, &height));
    EXPECT_EQ(width, 48 - 16);
    EXPECT_EQ(height, 40 - 6);
    EXPECT_TRUE(image->IsSecondSourceSelected());
    ExpectError(image->GetSize(nullptr, &height), kKelvraMissingObject, KelvraFourCC('R', 'a', 'w', '1'));

    ExpectOk(KelvraDataDisconnect(image, &listener));
    image->Release();
    second->Release();
}

TEST_F(SigProcImageTest, ParamsChangeNotifiesOnlyWhenTheyDiffer)
{
    CSigProcImage* image = MakeImage(kKelvraRawSig4, {10, 20, 30});
    ExpectOk(image->Update());
    RecordingDestination listener;
    ExpectOk(KelvraDataConnect(image, &listener));

    int params[kSigProcParamCount] = {};
    image->GetParams(params);
    EXPECT_EQ(std::vector<int>(std::begin(params), std::end(params)), (std::vector<int>{128, 128, 0, 0, 256, 256}));
    ExpectOk(image->SetParams(params, true));
    EXPECT_TRUE(listener.notices.empty());
    EXPECT_FALSE(image->IsStale());

    params[4] = 512;
    ExpectOk(image->SetParams(params, true));
    EXPECT_TRUE(image->IsStale());
    ASSERT_EQ(listener.notices.size(), 1u);
    EXPECT_EQ(listener.notices[0].code, kKelvraNotifyUpdateAll);
    EXPECT_EQ(ReadSampleGrid(image).At(0, 0, 1), Widened(40)) << "developed again with double exposure";

    ExpectOk(KelvraDataDisconnect(image, &listener));
    image->Release();
}

} // namespace
