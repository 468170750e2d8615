// TIFF files written by the saver read back with their pixels, profile and
// tags; the direct-image format keeps its fixed size; JPEG goes through
// the JPEG codec with its metadata.
#include "PellioTestSupport.h"
#include "pellio/PellioJpeg.h"
#include "pellio/src/TiffStructure.h"
#include "pellio/src/TiffTags.h"

#include <cmath>

namespace pelliotest {
namespace {

// Tags an export carries: profile, IPTC, texts and Exif values, and a
// private tag that a plain TIFF has no place for.
TagsPtr ExportTags()
{
    TagsPtr tags = MakeTags();
    const double exposure = 1.0 / 250;
    const std::uint32_t iso = 400;
    SetTag(tags.get(), 34675, kKelvraTagTypeBytes, Bytes(400, 0x3C));
    SetTag(tags.get(), 33723, kKelvraTagTypeDataHeader, Bytes{0x1C, 2, 5, 0, 4, 'T', 'e', 's', 't'});
    SetTag(tags.get(), 305, kKelvraTagTypeText, TextBytes("Talvo Export"));
    SetTag(tags.get(), 306, kKelvraTagTypeText, TextBytes("2025:02:03 04:05:06"));
    SetTag(tags.get(), 271, kKelvraTagTypeText, TextBytes("TALVO"));
    SetTag(tags.get(), 33434, kKelvraTagTypeDoubles, ValueBytes(exposure));
    SetTag(tags.get(), 34855, kKelvraTagTypeLong, ValueBytes(iso));
    SetTag(tags.get(), 0x80E01, kKelvraTagTypeBytes, Bytes(40, 1));
    return tags;
}

const std::uint32_t kCarried[] = {34675, 33723, 305, 306, 271, 33434, 34855};

struct TiffCase {
    KelvraPixelFormat format;
    std::uint32_t option;
};

class TiffRoundTripTest : public ::testing::TestWithParam<TiffCase> {
protected:
    TempFolder m_folder;
    std::string m_path = m_folder.File("picture.tif");
    ManagerPtr m_manager = MakeManager();
};

TEST_P(TiffRoundTripTest, PixelsProfileAndTagsReadBack)
{
    ImagePtr image = MakePatternImage(m_manager.get(), GetParam().format, 130, 70);
    ImagePtr thumbnail = MakePatternImage(m_manager.get(), GetParam().format, 40, 20);
    TagsPtr tags = ExportTags();
    const std::vector<KelvraSaveEntry> list = {{kPellioEntryRendition, 1, thumbnail.get()},
                                               {kPellioEntryRawSource, 1, image.get()}};
    ASSERT_TRUE(Succeeded(SaveFile(image.get(), list, tags.get(), kPellioFormatTiff, GetParam().option, m_path)));

    LoadedFile file;
    ASSERT_TRUE(Succeeded(LoadWhole(m_manager.get(), m_path, &file)));
    EXPECT_EQ(std::uint32_t(kPellioKindTiff), file.info.fileKind);
    EXPECT_EQ(std::uint32_t(kPellioFormatTiff), file.info.formatCode);
    EXPECT_EQ(GetParam().format, file.info.pixelFormat);
    EXPECT_TRUE(PixelsOf(image.get()) == PixelsOf(file.main.get()));
    ASSERT_EQ(1u, file.subImages.size()); // the raw source has no place in a TIFF
    EXPECT_TRUE(PixelsOf(thumbnail.get()) == PixelsOf(file.subImages[0].get()));
    for (std::uint32_t id : kCarried)
        EXPECT_EQ(TagBytes(tags.get(), id), TagBytes(file.tags.get(), id)) << id;
    EXPECT_FALSE(file.tags->HasTag(0x80E01, 0));
    std::uint32_t width = 0, height = 0;
    EXPECT_TRUE(Succeeded(file.tags->GetImageSize(&width, &height)));
    EXPECT_EQ(130u, width);
}

TEST_P(TiffRoundTripTest, WritesPlainTiffStructure)
{
    ImagePtr image = MakePatternImage(m_manager.get(), GetParam().format, 130, 70);
    TagsPtr tags = ExportTags();
    ASSERT_TRUE(Succeeded(SaveFile(image.get(), {}, tags.get(), kPellioFormatTiff, GetParam().option, m_path)));
    StreamPtr stream = OpenStream(m_path, kKelvraStreamRead);
    CTiffReader reader;
    std::vector<TiffIfd> ifds;
    ASSERT_TRUE(Succeeded(reader.Open(stream.get())));
    ASSERT_TRUE(Succeeded(reader.ReadChain(&ifds)));
    ASSERT_EQ(1u, ifds.size());
    std::uint32_t compression = 0;
    ASSERT_TRUE(TiffUnsigned(*ifds[0].Find(kTiffCompression), reader.Order(), 0, &compression));
    EXPECT_EQ(GetParam().option & 1 ? 8u : 1u, compression);
    EXPECT_NE(nullptr, ifds[0].Find(kTiffExifIfd));
    EXPECT_NE(nullptr, ifds[0].Find(34675));
    EXPECT_EQ(nullptr, ifds[0].Find(kQrfContainer));
    EXPECT_EQ(nullptr, ifds[0].Find(kQrfTagBlock));
}

INSTANTIATE_TEST_SUITE_P(Formats, TiffRoundTripTest,
                         ::testing::Values(TiffCase{kKelvraRGB8, 0}, TiffCase{kKelvraRGB8, 1},
                                           TiffCase{kKelvraRGB16, 0}, TiffCase{kKelvraRGB16, 3},
                                           TiffCase{kKelvraGrey8, 1}, TiffCase{kKelvraGrey16, 0}));

class DirectImageTest : public ::testing::Test {
protected:
    TempFolder m_folder;
    std::string m_path = m_folder.File("direct.tif");
    ManagerPtr m_manager = MakeManager();
};

TEST_F(DirectImageTest, FixedSizeComesFromTheOption)
{
    struct Case {
        std::uint32_t option;
        long width;
        long height;
    };
    for (const Case& c : {Case{0, 640, 480}, Case{3, 640, 480}, Case{(200u << 16) | 100u, 200, 100}}) {
        StreamPtr stream = OpenStream(m_path, kKelvraStreamWrite);
        IKelvraSave* save = nullptr;
        ASSERT_TRUE(Succeeded(CreateSave(&save)));
        SavePtr owned(save);
        ASSERT_TRUE(Succeeded(save->Begin(stream.get(), nullptr, kPellioFormatDirect, c.option)));
        KelvraSaveInfo info{};
        info.size = sizeof info;
        long width = 0, height = 0;
        ASSERT_TRUE(Succeeded(save->GetInfo(&info)));
        ASSERT_TRUE(Succeeded(save->GetOutputSize(&width, &height)));
        EXPECT_EQ(1u, info.fixedSize);
        EXPECT_EQ(1u, info.imageCount);
        EXPECT_EQ(c.width, width);
        EXPECT_EQ(c.height, height);
    }
}

TEST_F(DirectImageTest, StoresEightBitsAtTheFixedSize)
{
    ImagePtr image = MakePatternImage(m_manager.get(), kKelvraRGB16, 200, 100);
    ASSERT_TRUE(Succeeded(SaveFile(image.get(), {}, nullptr, kPellioFormatDirect, (200u << 16) | 100u, m_path)));
    LoadedFile file;
    ASSERT_TRUE(Succeeded(LoadWhole(m_manager.get(), m_path, &file)));
    EXPECT_EQ(std::uint32_t(kPellioFormatDirect), file.info.formatCode);
    EXPECT_EQ(std::uint32_t(kKelvraRGB8), file.info.pixelFormat);
    const Bytes wide = PixelsOf(image.get());
    const Bytes narrow = PixelsOf(file.main.get());
    ASSERT_EQ(wide.size() / 2, narrow.size());
    for (std::size_t i = 0; i < narrow.size(); ++i)
        ASSERT_EQ(wide[2 * i + 1], narrow[i]) << i;
}

TEST_F(DirectImageTest, RefusesAnotherSize)
{
    ImagePtr image = MakePatternImage(m_manager.get(), kKelvraRGB8, 64, 64);
    EXPECT_EQ(kKelvraBadArgument, CodeOf(SaveFile(image.get(), {}, nullptr, kPellioFormatDirect, 0, m_path)));
    EXPECT_FALSE(TempFolder::Exists(m_path));
}

class JpegIntegrationTest : public ::testing::Test {
protected:
    TempFolder m_folder;
    std::string m_path = m_folder.File("picture.jpg");
    ManagerPtr m_manager = MakeManager();
};

// Smooth colours survive the lossy round trip closely.
ImagePtr SmoothImage(IKelvraManager* manager, long width, long height)
{
    ImagePtr image = MakeImage(manager);
    EXPECT_TRUE(Succeeded(image->SetColorSpace(kKelvraRGB8)));
    EXPECT_TRUE(Succeeded(image->SetSize(width, height)));
    Bytes rows(std::size_t(width * height * 3));
    for (long y = 0; y < height; ++y) {
        for (long x = 0; x < width; ++x) {
            std::uint8_t* pixel = rows.data() + (y * width + x) * 3;
            pixel[0] = std::uint8_t(30 + x + y);
            pixel[1] = std::uint8_t(200 - x);
            pixel[2] = std::uint8_t(60 + y);
        }
    }
    EXPECT_TRUE(Succeeded(image->AppendRows(rows.data(), height, width * 3)));
    return image;
}

TEST_F(JpegIntegrationTest, PictureAndMetadataReadBack)
{
    ImagePtr image = SmoothImage(m_manager.get(), 96, 80);
    TagsPtr tags = ExportTags();
    ASSERT_TRUE(Succeeded(SaveFile(image.get(), {}, tags.get(), kPellioFormatJpeg, 100, m_path)));
    LoadedFile file;
    ASSERT_TRUE(Succeeded(LoadWhole(m_manager.get(), m_path, &file)));
    EXPECT_EQ(std::uint32_t(kPellioKindJpeg), file.info.fileKind);
    EXPECT_EQ(std::uint32_t(kPellioFormatJpeg), file.info.formatCode);
    EXPECT_EQ(std::uint32_t(kKelvraRGB8), file.info.pixelFormat);
    EXPECT_EQ(96u, file.info.width);
    const Bytes original = PixelsOf(image.get());
    const Bytes decoded = PixelsOf(file.main.get());
    ASSERT_EQ(original.size(), decoded.size());
    double error = 0;
    for (std::size_t i = 0; i < original.size(); ++i)
        error += std::abs(int(original[i]) - int(decoded[i]));
    EXPECT_LT(error / double(original.size()), 3.0);
    for (std::uint32_t id : {34675u, 33723u, 305u, 306u})
        EXPECT_EQ(TagBytes(tags.get(), id), TagBytes(file.tags.get(), id)) << id;
}

// The saver hands the coder its bands as the rows arrive: the file must be
// the one the codec writes for the whole picture at once.
TEST_F(JpegIntegrationTest, SaverWritesWhatTheCodecWritesForTheWholePicture)
{
    const long width = 70, height = 300; // pulled 64 rows at a time, coded 128 at a time
    ImagePtr image = SmoothImage(m_manager.get(), width, height);
    ASSERT_TRUE(Succeeded(SaveFile(image.get(), {}, nullptr, kPellioFormatJpeg, 80, m_path)));
    PellioRaster raster;
    raster.width = width;
    raster.height = height;
    raster.pixelFormat = kKelvraRGB8;
    raster.rowBytes = width * 3;
    raster.bytes = PixelsOf(image.get());
    Bytes expected;
    ASSERT_TRUE(Succeeded(PellioEncodeJpeg(raster, PellioJpegMetadata(), 80, expected)));
    EXPECT_TRUE(ReadFile(m_path) == expected);
}

TEST_F(JpegIntegrationTest, TakesOneRenditionOnly)
{
    ImagePtr image = SmoothImage(m_manager.get(), 64, 64);
    StreamPtr stream = OpenStream(m_path, kKelvraStreamWrite);
    IKelvraSave* save = nullptr;
    ASSERT_TRUE(Succeeded(CreateSave(&save)));
    SavePtr owned(save);
    ASSERT_TRUE(Succeeded(save->Begin(stream.get(), nullptr, kPellioFormatJpeg, 3)));
    const KelvraSaveEntry two[] = {{kPellioEntryRendition, 1, image.get()}, {kPellioEntryRendition, 1, image.get()}};
    EXPECT_EQ(kPellioListRefused, CodeOf(save->SetupWrite(image.get(), two, 2)));
    EXPECT_TRUE(Succeeded(save->SetupWrite(image.get(), two, 1)));
}

} // namespace
} // namespace pelliotest
