// Files written by others: layouts our encoder never produces but readers
// meet, and data the decoder rejects.
#include "JpegTestSupport.h"

using namespace jpegtest;

namespace {

const Bytes& PlainFile()
{
    static const Bytes file = Encode(MakePicture(kKelvraRGB8, 16, 16), PellioJpegMetadata());
    return file;
}

Bytes Exif(const Bytes& tiff)
{
    return Segment(0xE1, Text(std::string("Exif\0\0", 6)) + tiff);
}

Bytes IccChunk(std::uint8_t sequence, std::uint8_t count, const std::string& data)
{
    return Segment(0xE2, Text(std::string("ICC_PROFILE\0", 12)) + Bytes{sequence, count} + Text(data));
}

Bytes Resources(const Bytes& blocks)
{
    return Segment(0xED, Text(std::string("Photoshop 3.0\0", 14)) + blocks);
}

struct ForeignCase {
    const char* name;
    Bytes (*segments)();
    const char* software;
    const char* iccProfile;
    const char* iptc;
};

const ForeignCase kForeign[] = {
    {"BigEndianExifWithTextAfterTheDirectory",
     [] {
         return Exif(Text("MM") + Big16(42) + Big32(8) + Big16(1) + Big16(305) + Big16(2) + Big32(12) + Big32(26) +
                     Big32(0) + Text(std::string("Foreign cam\0", 12)));
     },
     "Foreign cam", "", ""},
    {"ExifTextInsideItsEntryAndOtherTagsAround",
     [] {
         return Exif(Text(std::string("II*\0\x08\0\0\0", 8)) + Bytes{3, 0} + Bytes{0x0F, 1, 2, 0, 4, 0, 0, 0} +
                     Text("Make") + Bytes{0x31, 1, 2, 0, 3, 0, 0, 0} + Text(std::string("ab\0\0", 4)) +
                     Bytes{0x31, 1, 3, 0, 1, 0, 0, 0, 9, 0, 0, 0} + Bytes(4, 0));
     },
     "ab", "", ""},
    {"OtherApp1IsNotExif",
     [] { return Segment(0xE1, Text(std::string("http://ns.adobe.com/xap/1.0/\0<x/>", 34))); }, "", "", ""},
    {"IccChunksOutOfOrder", [] { return IccChunk(3, 3, "!") + IccChunk(2, 3, "world") + IccChunk(1, 3, "hello "); },
     "", "hello world!", ""},
    {"IptcAfterANamedResource",
     [] {
         return Resources(Text("8BIM") + Big16(0x03ED) + Bytes{3} + Text("abc") + Big32(2) + Bytes{0, 0} +
                          Text("8BIM") + Big16(0x0404) + Bytes{0, 0} + Big32(3) + Text("xyz") + Bytes{0});
     },
     "", "", "xyz"},
    {"ResourcesWithoutIptc", [] { return Resources(Text("8BIM") + Big16(0x03ED) + Bytes{0, 0} + Big32(0)); }, "", "",
     ""},
};

class JpegForeignLayout : public ::testing::TestWithParam<ForeignCase> {};

TEST_P(JpegForeignLayout, ReadsWhatItCarries)
{
    const ForeignCase& foreign = GetParam();
    const Bytes file = InsertAfterSoi(PlainFile(), foreign.segments());
    PellioRaster raster;
    PellioJpegMetadata metadata;
    Chain error(PellioDecodeJpeg(file.data(), file.size(), raster, metadata));
    ASSERT_EQ(nullptr, error.get()) << "cause " << CauseCode(error.get());
    EXPECT_EQ(foreign.software, metadata.software);
    EXPECT_EQ(Text(foreign.iccProfile), metadata.iccProfile);
    EXPECT_EQ(Text(foreign.iptc), metadata.iptc);
    EXPECT_EQ(16, raster.width);
}

INSTANTIATE_TEST_SUITE_P(Jpeg, JpegForeignLayout, ::testing::ValuesIn(kForeign),
                         [](const ::testing::TestParamInfo<ForeignCase>& info) { return std::string(info.param.name); });

// The first error of libjpeg's category anywhere in the chain.
const IKelvraError* FindLibjpegError(const IKelvraError* chain)
{
    for (; chain; chain = chain->GetNext()) {
        if (chain->GetCategory() == kPellioLibjpegCategory)
            return chain;
        if (const IKelvraError* inner = FindLibjpegError(chain->GetInner()))
            return inner;
    }
    return nullptr;
}

TEST(JpegDecode, DecoderFailureKeepsLibjpegsMessage)
{
    // Well formed for our walk, but a scan without a frame header.
    const Bytes file = Bytes{0xFF, 0xD8} + Segment(0xDA, Bytes{1, 1, 0, 0, 63, 0}) + Bytes{0x12, 0x34} +
                       Bytes{0xFF, 0xD9};
    PellioRaster raster;
    PellioJpegMetadata metadata;
    Chain error(PellioDecodeJpeg(file.data(), file.size(), raster, metadata));
    ASSERT_NE(nullptr, error.get());
    EXPECT_EQ(kPellioJpegTag, error->GetTag());
    EXPECT_EQ(kKelvraOperationFailed, CauseCode(error.get()));
    const IKelvraError* library = FindLibjpegError(error.get());
    ASSERT_NE(nullptr, library);
    EXPECT_GT(library->GetCode(), 0);
    ASSERT_NE(nullptr, library->GetNext());
    EXPECT_STRNE("", library->GetNext()->GetText());
    EXPECT_EQ(0, raster.width); // left as it was
}

} // namespace
