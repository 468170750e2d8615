// Bad input gives a clean error and changes nothing: damaged files (read
// from memory that ends at an inaccessible page, so an over-read crashes the
// test) and arguments the encoder cannot take.
#include "JpegTestSupport.h"

#include <windows.h>

using namespace jpegtest;

namespace {

// A copy of some bytes that ends exactly where a no-access page begins.
class GuardedCopy {
public:
    explicit GuardedCopy(const Bytes& bytes)
    {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        const std::size_t page = info.dwPageSize;
        const std::size_t usable = (bytes.size() + page - 1) / page * page;
        m_base = static_cast<std::uint8_t*>(VirtualAlloc(nullptr, usable + page, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        DWORD old = 0;
        if (!m_base || !VirtualProtect(m_base + usable, page, PAGE_NOACCESS, &old))
            return;
        m_data = m_base + usable - bytes.size();
        std::copy(bytes.begin(), bytes.end(), m_data);
    }
    ~GuardedCopy()
    {
        if (m_base)
            VirtualFree(m_base, 0, MEM_RELEASE);
    }
    GuardedCopy(const GuardedCopy&) = delete;
    GuardedCopy& operator=(const GuardedCopy&) = delete;
    const std::uint8_t* Data() const { return m_data; }

private:
    std::uint8_t* m_base = nullptr;
    std::uint8_t* m_data = nullptr;
};

const Bytes& FullFile()
{
    static const Bytes file = Encode(MakePicture(kKelvraRGB8, 48, 32), FullMetadata());
    return file;
}

const Bytes& PlainFile()
{
    static const Bytes file = Encode(MakePicture(kKelvraRGB8, 16, 16), PellioJpegMetadata());
    return file;
}

Bytes Cut(const Bytes& file, std::size_t size)
{
    return Bytes(file.begin(), file.begin() + std::ptrdiff_t(size));
}

// Where the full file's nth segment with `marker` starts.
std::size_t StartOf(std::uint8_t marker, std::size_t nth = 0)
{
    for (const Listed& segment : ListHeaderSegments(FullFile())) {
        if (segment.marker == marker && nth-- == 0)
            return segment.start;
    }
    ADD_FAILURE() << "no segment " << int(marker);
    return 0;
}

Bytes WithSegments(const Bytes& segments)
{
    return InsertAfterSoi(PlainFile(), segments);
}

Bytes Icc(std::uint8_t sequence, std::uint8_t count)
{
    return Segment(0xE2, Text(std::string("ICC_PROFILE\0", 12)) + Bytes{sequence, count} + Text("data"));
}

Bytes Exif(const Bytes& tiff)
{
    return Segment(0xE1, Text(std::string("Exif\0\0", 6)) + tiff);
}

const Bytes kLittleHeader = Text(std::string("II*\0\x08\0\0\0", 8));

Bytes Iptc(const Bytes& resource)
{
    return Segment(0xED, Text(std::string("Photoshop 3.0\0", 14)) + resource);
}

struct DamageCase {
    const char* name;
    Bytes (*make)();
};

const DamageCase kDamage[] = {
    {"Empty", [] { return Bytes(); }},
    {"OnlySoi", [] { return Bytes{0xFF, 0xD8}; }},
    {"NotAJpeg", [] { return Text("\x89PNG\r\n\x1a\n") + Bytes(64, 0); }},
    {"CutInsideFirstMarker", [] { return Cut(FullFile(), 3); }},
    {"CutInsideExif", [] { return Cut(FullFile(), StartOf(0xE1) + 10); }},
    {"CutInsideSecondIccChunk", [] { return Cut(FullFile(), StartOf(0xE2, 1) + 1000); }},
    {"CutInsideIptc", [] { return Cut(FullFile(), StartOf(0xED) + 20); }},
    {"CutBeforeScanHeader", [] { return Cut(FullFile(), StartOf(0xDA)); }},
    {"CutInsideCodedData", [] { return Cut(FullFile(), (StartOf(0xDA) + FullFile().size()) / 2); }},
    {"CutBeforeEoi", [] { return Cut(FullFile(), FullFile().size() - 2); }},
    {"CutInsideEoi", [] { return Cut(FullFile(), FullFile().size() - 1); }},
    {"LengthBeyondFile", [] { return WithSegments(Bytes{0xFF, 0xE1, 0x40, 0x00}); }},
    {"LengthBelowTwo", [] { return WithSegments(Bytes{0xFF, 0xE1, 0x00, 0x01}); }},
    {"ByteBetweenSegments", [] { return WithSegments(Bytes{0x12}); }},
    {"SecondSoi", [] { return WithSegments(Bytes{0xFF, 0xD8}); }},
    {"EoiBeforeAnyScan", [] { return Bytes{0xFF, 0xD8, 0xFF, 0xD9}; }},
    {"IccCountZero", [] { return WithSegments(Icc(1, 0)); }},
    {"IccSequenceZero", [] { return WithSegments(Icc(0, 2) + Icc(1, 2)); }},
    {"IccSequenceAboveCount", [] { return WithSegments(Icc(1, 2) + Icc(3, 2)); }},
    {"IccCountsDisagree", [] { return WithSegments(Icc(1, 2) + Icc(2, 3)); }},
    {"IccSequenceTwice", [] { return WithSegments(Icc(1, 2) + Icc(1, 2)); }},
    {"IccChunkMissing", [] { return WithSegments(Icc(1, 3) + Icc(3, 3)); }},
    {"IccHeaderCut", [] { return WithSegments(Segment(0xE2, Text(std::string("ICC_PROFILE\0\x01", 13)))); }},
    {"ExifHeaderCut", [] { return WithSegments(Exif(Text("II*"))); }},
    {"ExifUnknownByteOrder", [] { return WithSegments(Exif(Text(std::string("IM*\0\x08\0\0\0", 8)) + Bytes(6, 0))); }},
    {"ExifDirectoryBeyondBlock",
     [] { return WithSegments(Exif(Text(std::string("II*\0\x00\x10\0\0", 8)) + Bytes(6, 0))); }},
    {"ExifEntriesBeyondBlock", [] { return WithSegments(Exif(kLittleHeader + Bytes{50, 0} + Bytes(16, 0))); }},
    {"ExifTextBeyondBlock",
     [] {
         return WithSegments(Exif(kLittleHeader + Bytes{1, 0, 0x31, 1, 2, 0, 40, 0, 0, 0, 26, 0, 0, 0} + Bytes(4, 0) +
                                  Text("short")));
     }},
    {"IptcSizeBeyondBlock",
     [] { return WithSegments(Iptc(Text("8BIM") + Bytes{0x04, 0x04, 0, 0} + Big32(0x1000) + Text("abc"))); }},
    {"IptcNameBeyondBlock", [] { return WithSegments(Iptc(Text("8BIM") + Bytes{0x04, 0x04, 200} + Text("abcdefg"))); }},
};

class JpegDamagedFile : public ::testing::TestWithParam<DamageCase> {};

TEST_P(JpegDamagedFile, IsACleanErrorThatChangesNothing)
{
    const long liveBefore = IKelvraError::LiveCount();
    const Bytes file = GetParam().make();
    const GuardedCopy guarded(file);
    ASSERT_NE(nullptr, guarded.Data());
    PellioRaster raster = MakePicture(kKelvraGrey8, 2, 2);
    PellioJpegMetadata metadata;
    metadata.software = "kept";
    {
        Chain error(PellioDecodeJpeg(guarded.Data(), file.size(), raster, metadata));
        ASSERT_NE(nullptr, error.get());
        EXPECT_EQ(kPellioJpegTag, error->GetTag());
        EXPECT_EQ(kKelvraBadArgument, CauseCode(error.get()));
    }
    EXPECT_EQ(2, raster.width);
    EXPECT_EQ("kept", metadata.software);
    EXPECT_EQ(liveBefore, IKelvraError::LiveCount());
}

INSTANTIATE_TEST_SUITE_P(Jpeg, JpegDamagedFile, ::testing::ValuesIn(kDamage),
                         [](const ::testing::TestParamInfo<DamageCase>& info) { return std::string(info.param.name); });

TEST(JpegDecode, NullDataIsABadArgument)
{
    PellioRaster raster;
    PellioJpegMetadata metadata;
    Chain error(PellioDecodeJpeg(nullptr, 100, raster, metadata));
    EXPECT_EQ(kKelvraBadArgument, CauseCode(error.get()));
}

// ---- arguments the encoder refuses

struct RefusalCase {
    const char* name;
    void (*spoil)(PellioRaster&, PellioJpegMetadata&, int& quality);
    long code;
};

const RefusalCase kRefusals[] = {
    {"Rgb16", [](PellioRaster& r, PellioJpegMetadata&, int&) { r.pixelFormat = kKelvraRGB16; }, kKelvraUnsupportedFormat},
    {"Cmyk8", [](PellioRaster& r, PellioJpegMetadata&, int&) { r.pixelFormat = kKelvraCMYK8; }, kKelvraUnsupportedFormat},
    {"ZeroWidth", [](PellioRaster& r, PellioJpegMetadata&, int&) { r.width = 0; }, kKelvraBadArgument},
    {"NegativeHeight", [](PellioRaster& r, PellioJpegMetadata&, int&) { r.height = -4; }, kKelvraBadArgument},
    {"WiderThanAJpegFrame", [](PellioRaster& r, PellioJpegMetadata&, int&) { r.width = 70000; }, kKelvraBadArgument},
    {"RowBytesShorterThanARow", [](PellioRaster& r, PellioJpegMetadata&, int&) { r.rowBytes -= 1; }, kKelvraBadArgument},
    {"FewerBytesThanRows", [](PellioRaster& r, PellioJpegMetadata&, int&) { r.bytes.pop_back(); }, kKelvraBadArgument},
    {"QualityAbove100", [](PellioRaster&, PellioJpegMetadata&, int& q) { q = 101; }, kKelvraBadArgument},
    {"QualityBelow0", [](PellioRaster&, PellioJpegMetadata&, int& q) { q = -1; }, kKelvraBadArgument},
    {"IccBeyond255Chunks",
     [](PellioRaster&, PellioJpegMetadata& m, int&) { m.iccProfile.assign(255u * 65519u + 1u, 1); }, kKelvraBadArgument},
    {"SoftwareBeyondOneSegment",
     [](PellioRaster&, PellioJpegMetadata& m, int&) { m.software.assign(70000, 'a'); }, kKelvraBadArgument},
};

class JpegEncodeRefusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(JpegEncodeRefusal, IsACleanErrorThatLeavesTheOutputAlone)
{
    PellioRaster raster = MakePicture(kKelvraRGB8, 8, 8);
    PellioJpegMetadata metadata;
    int quality = 90;
    GetParam().spoil(raster, metadata, quality);
    Bytes out{1, 2, 3};
    Chain error(PellioEncodeJpeg(raster, metadata, quality, out));
    ASSERT_NE(nullptr, error.get());
    EXPECT_EQ(kPellioJpegTag, error->GetTag());
    EXPECT_EQ(GetParam().code, CauseCode(error.get()));
    EXPECT_EQ((Bytes{1, 2, 3}), out);
}

INSTANTIATE_TEST_SUITE_P(Jpeg, JpegEncodeRefusal, ::testing::ValuesIn(kRefusals),
                         [](const ::testing::TestParamInfo<RefusalCase>& info) { return std::string(info.param.name); });

} // namespace
