#include "JpegTestSupport.h"

#include <climits>
#include <cstdint>

using namespace jpegtest;

namespace {

void ExpectSameMetadata(const PellioJpegMetadata& expected, const PellioJpegMetadata& actual)
{
    EXPECT_EQ(expected.iccProfile, actual.iccProfile);
    EXPECT_EQ(expected.software, actual.software);
    EXPECT_EQ(expected.dateTime, actual.dateTime);
    EXPECT_EQ(expected.iptc, actual.iptc);
}

IKelvraError* Decode(const Bytes& file, PellioRaster& raster, PellioJpegMetadata& metadata)
{
    return PellioDecodeJpeg(file.data(), file.size(), raster, metadata);
}

PellioJpegMetadata DecodeMetadata(const Bytes& file)
{
    PellioRaster raster;
    PellioJpegMetadata metadata;
    Chain error(Decode(file, raster, metadata));
    EXPECT_EQ(nullptr, error.get()) << "cause " << CauseCode(error.get());
    return metadata;
}

Bytes Head(const Bytes& bytes, std::size_t count)
{
    return Bytes(bytes.begin(), bytes.begin() + std::ptrdiff_t(std::min(count, bytes.size())));
}

std::size_t CountKind(const std::vector<Listed>& listed, std::uint8_t marker)
{
    return std::size_t(std::count_if(listed.begin(), listed.end(), [&](const Listed& s) { return s.marker == marker; }));
}

// ---- pixels

struct PictureCase {
    const char* name;
    KelvraPixelFormat format;
    long width;
    long height;
    long padding; // bytes after each row
};

const PictureCase kPictures[] = {
    {"Rgb", kKelvraRGB8, 97, 61, 0},
    {"RgbPaddedRows", kKelvraRGB8, 64, 40, 5},
    {"RgbManyBands", kKelvraRGB8, 40, 300, 0},
    {"RgbSinglePixel", kKelvraRGB8, 1, 1, 0},
    {"Grey", kKelvraGrey8, 83, 50, 0},
    {"GreyPaddedRows", kKelvraGrey8, 33, 270, 3},
};

class JpegRoundTrip : public ::testing::TestWithParam<PictureCase> {};

TEST_P(JpegRoundTrip, KeepsSizeFormatAndPixels)
{
    const PictureCase& picture = GetParam();
    const PellioRaster original = MakePicture(picture.format, picture.width, picture.height, picture.padding);
    const Bytes file = Encode(original, PellioJpegMetadata());
    PellioRaster decoded;
    PellioJpegMetadata metadata;
    Chain error(Decode(file, decoded, metadata));
    ASSERT_EQ(nullptr, error.get()) << "cause " << CauseCode(error.get());
    EXPECT_EQ(picture.format, decoded.pixelFormat);
    ASSERT_EQ(picture.width, decoded.width);
    ASSERT_EQ(picture.height, decoded.height);
    EXPECT_EQ(KelvraRowBytes(picture.format, picture.width), decoded.rowBytes);
    ASSERT_EQ(std::size_t(decoded.rowBytes * decoded.height), decoded.bytes.size());
    EXPECT_LT(MeanAbsoluteError(original, decoded), 2.5);
}

INSTANTIATE_TEST_SUITE_P(Jpeg, JpegRoundTrip, ::testing::ValuesIn(kPictures),
                         [](const ::testing::TestParamInfo<PictureCase>& info) { return std::string(info.param.name); });

// Ramps under a fixed pseudo-random texture: detail that each step down
// in quality visibly loses.
PellioRaster TexturedPicture(long width, long height)
{
    PellioRaster picture = MakePicture(kKelvraRGB8, width, height);
    const Bytes texture = Noise(picture.bytes.size(), 3);
    for (std::size_t i = 0; i < picture.bytes.size(); ++i)
        picture.bytes[i] = std::uint8_t(std::min(255, picture.bytes[i] / 2 + texture[i] / 4 + 32));
    return picture;
}

TEST(JpegEncode, LowerQualityMakesSmallerFilesFurtherFromTheOriginal)
{
    const PellioRaster picture = TexturedPicture(160, 144);
    double lastError = -1;
    std::size_t lastSize = SIZE_MAX;
    for (int quality : {100, 90, 75, 40, 10, 0}) {
        const Bytes file = Encode(picture, PellioJpegMetadata(), quality);
        PellioRaster decoded;
        PellioJpegMetadata metadata;
        Chain error(Decode(file, decoded, metadata));
        ASSERT_EQ(nullptr, error.get()) << "quality " << quality << " cause " << CauseCode(error.get());
        const double difference = MeanAbsoluteError(picture, decoded);
        EXPECT_LT(file.size(), lastSize) << "quality " << quality;
        EXPECT_GT(difference, lastError) << "quality " << quality;
        lastSize = file.size();
        lastError = difference;
    }
}

// Bands are coded apart and joined at restart markers: the file must read
// as one picture with the markers numbered on, and band seams must not show.
TEST(JpegEncode, BandsJoinIntoOneScanWithRestartsNumberedOn)
{
    const PellioRaster picture = TexturedPicture(72, 1000);
    const Bytes file = Encode(picture, PellioJpegMetadata(), 90);
    const std::vector<Listed> listed = ListHeaderSegments(file);
    ASSERT_FALSE(listed.empty());
    ASSERT_EQ(0xDA, listed.back().marker);
    const std::size_t scanData = listed.back().start + 4 + listed.back().payload.size();
    std::vector<int> restarts;
    for (std::size_t i = scanData; i + 1 < file.size(); ++i) {
        if (file[i] == 0xFF && file[i + 1] >= 0xD0 && file[i + 1] <= 0xD7)
            restarts.push_back(file[i + 1] - 0xD0);
    }
    ASSERT_EQ(7u, restarts.size()); // eight bands of 128 rows
    for (std::size_t i = 0; i < restarts.size(); ++i)
        EXPECT_EQ(int(i % 8), restarts[i]);
    PellioRaster decoded;
    PellioJpegMetadata metadata;
    Chain error(Decode(file, decoded, metadata));
    ASSERT_EQ(nullptr, error.get()) << "cause " << CauseCode(error.get());
    ASSERT_EQ(1000, decoded.height);
    // The rows either side of each seam fare no worse than the picture.
    const double whole = MeanAbsoluteError(picture, decoded);
    for (long seam = 128; seam < 1000; seam += 128) {
        PellioRaster before = picture, after = decoded;
        for (PellioRaster* raster : {&before, &after}) {
            raster->bytes.erase(raster->bytes.begin(), raster->bytes.begin() + (seam - 2) * raster->rowBytes);
            raster->bytes.resize(std::size_t(4 * raster->rowBytes));
            raster->height = 4;
        }
        EXPECT_LT(MeanAbsoluteError(before, after), 2 * whole) << "seam at row " << seam;
    }
}

// ---- the written layout

class JpegWrittenLayout : public ::testing::Test {
protected:
    void SetUp() override { m_listed = ListHeaderSegments(Encode(MakePicture(kKelvraRGB8, 32, 24), FullMetadata())); }
    const Listed* Find(std::uint8_t marker, std::size_t nth = 0) const
    {
        for (const Listed& segment : m_listed) {
            if (segment.marker == marker && nth-- == 0)
                return &segment;
        }
        return nullptr;
    }
    std::vector<Listed> m_listed;
};

TEST_F(JpegWrittenLayout, JfifStaysFirstAndOursFollowItOnceEach)
{
    ASSERT_GE(m_listed.size(), 5u);
    EXPECT_EQ(0xE0, m_listed[0].marker);
    EXPECT_TRUE(StartsWith(m_listed[0].payload, std::string("JFIF\0", 5)));
    const std::uint8_t expected[] = {0xE1, 0xE2, 0xE2, 0xED};
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_EQ(expected[i], m_listed[i + 1].marker) << "segment " << i + 1;
    EXPECT_EQ(1u, CountKind(m_listed, 0xE1));
    EXPECT_EQ(2u, CountKind(m_listed, 0xE2));
    EXPECT_EQ(1u, CountKind(m_listed, 0xED));
}

TEST_F(JpegWrittenLayout, IccChunksCarrySequenceCountAndAtMost65519Bytes)
{
    const std::string signature("ICC_PROFILE\0", 12);
    const Listed* first = Find(0xE2, 0);
    const Listed* second = Find(0xE2, 1);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(Text(signature) + Bytes({1, 2}), Head(first->payload, 14));
    EXPECT_EQ(Text(signature) + Bytes({2, 2}), Head(second->payload, 14));
    EXPECT_EQ(14u + 65519u, first->payload.size());
    EXPECT_EQ(14u + 100000u - 65519u, second->payload.size());
}

TEST_F(JpegWrittenLayout, ExifIsALittleEndianTiffWithSoftwareAndDateTime)
{
    const Listed* exif = Find(0xE1);
    ASSERT_TRUE(exif);
    const Bytes& p = exif->payload;
    const Bytes header = Text(std::string("Exif\0\0II*\0\x08\0\0\0", 14)) + Bytes{2, 0};
    ASSERT_TRUE(StartsWith(p, std::string(header.begin(), header.end())));
    const auto little16 = [&](std::size_t at) { return unsigned(p[at] | p[at + 1] << 8); };
    const auto little32 = [&](std::size_t at) { return little16(at) | little16(at + 2) << 16; };
    const std::size_t tiff = 6;
    const std::string texts[] = {"Talvo export 2.1", "2024:03:17 08:45:12"};
    for (unsigned i = 0; i < 2; ++i) {
        const std::size_t entry = tiff + 10 + 12 * i;
        EXPECT_EQ(305u + i, little16(entry));
        EXPECT_EQ(2u, little16(entry + 2)); // ASCII
        ASSERT_EQ(texts[i].size() + 1, little32(entry + 4));
        const std::size_t value = tiff + little32(entry + 8);
        ASSERT_LE(value + texts[i].size() + 1, p.size());
        EXPECT_EQ(texts[i] + '\0', std::string(p.begin() + value, p.begin() + value + texts[i].size() + 1));
    }
    EXPECT_EQ(0u, little32(tiff + 10 + 24)); // no second directory
}

TEST_F(JpegWrittenLayout, IptcIsImageResource0404)
{
    const Listed* resources = Find(0xED);
    ASSERT_TRUE(resources);
    const Bytes expected = Text(std::string("Photoshop 3.0\0" "8BIM", 18)) + Bytes{0x04, 0x04, 0, 0} + Big32(301) +
                           FullMetadata().iptc + Bytes{0};
    EXPECT_EQ(expected, resources->payload);
}

TEST(JpegEncode, WritesNoSegmentsForEmptyMetadata)
{
    const std::vector<Listed> listed = ListHeaderSegments(Encode(MakePicture(kKelvraRGB8, 16, 16), PellioJpegMetadata()));
    EXPECT_EQ(0u, CountKind(listed, 0xE1) + CountKind(listed, 0xE2) + CountKind(listed, 0xED));
}

// ---- metadata round trips

struct MetadataCase {
    const char* name;
    PellioJpegMetadata (*make)();
};

PellioJpegMetadata Only(std::string software, std::string dateTime, std::size_t iccBytes, std::size_t iptcBytes)
{
    PellioJpegMetadata metadata;
    metadata.software = software;
    metadata.dateTime = dateTime;
    metadata.iccProfile = Noise(iccBytes, 3);
    metadata.iptc = Noise(iptcBytes, 5);
    return metadata;
}

const MetadataCase kMetadata[] = {
    {"Everything", FullMetadata},
    {"Nothing", [] { return PellioJpegMetadata(); }},
    {"SoftwareOnly", [] { return Only("Talvo", "", 0, 0); }},
    {"DateTimeOnly", [] { return Only("", "2001:02:03 04:05:06", 0, 0); }},
    {"TextsShortEnoughForTheEntry", [] { return Only("abc", "x", 0, 0); }},
    {"IccFillingOneChunk", [] { return Only("", "", 65519, 0); }},
    {"IccOneByteOverOneChunk", [] { return Only("", "", 65520, 0); }},
    {"IccOfOneByte", [] { return Only("", "", 1, 0); }},
    {"IptcEvenLength", [] { return Only("", "", 0, 300); }},
    {"IptcLongerThanOneSegment", [] { return Only("", "", 0, 150000); }},
};

class JpegMetadataRoundTrip : public ::testing::TestWithParam<MetadataCase> {};

TEST_P(JpegMetadataRoundTrip, ComesBackAsWritten)
{
    const PellioJpegMetadata metadata = GetParam().make();
    ExpectSameMetadata(metadata, DecodeMetadata(Encode(MakePicture(kKelvraRGB8, 24, 16), metadata)));
}

INSTANTIATE_TEST_SUITE_P(Jpeg, JpegMetadataRoundTrip, ::testing::ValuesIn(kMetadata),
                         [](const ::testing::TestParamInfo<MetadataCase>& info) { return std::string(info.param.name); });

TEST(JpegDecode, AbsentSegmentsEmptyMetadataTheCallerHeld)
{
    const Bytes file = Encode(MakePicture(kKelvraGrey8, 16, 16), PellioJpegMetadata());
    PellioRaster raster;
    PellioJpegMetadata metadata = FullMetadata();
    Chain error(Decode(file, raster, metadata));
    ASSERT_EQ(nullptr, error.get());
    ExpectSameMetadata(PellioJpegMetadata(), metadata);
}

} // namespace
