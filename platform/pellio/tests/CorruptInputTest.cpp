// Damaged files give clean loader errors: each row takes a sound file,
// damages it in one way and names the code and the moment it fails. The
// file walker here is the tests' own, independent of the library's reader.
#include "PellioTestSupport.h"

#include "pellio/PellioJpeg.h"

#include <functional>

namespace pelliotest {
namespace {

std::uint32_t Get32(const Bytes& f, std::size_t at)
{
    return std::uint32_t(f[at] | (f[at + 1] << 8) | (f[at + 2] << 16) | (std::uint32_t(f[at + 3]) << 24));
}
std::uint16_t Get16(const Bytes& f, std::size_t at)
{
    return std::uint16_t(f[at] | (f[at + 1] << 8));
}
void Put32(Bytes& f, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        f[at + std::size_t(i)] = std::uint8_t(v >> (8 * i));
}
void Put16(Bytes& f, std::size_t at, std::uint16_t v)
{
    f[at] = std::uint8_t(v);
    f[at + 1] = std::uint8_t(v >> 8);
}

std::uint32_t FirstIfd(const Bytes& f)
{
    return Get32(f, 4);
}
// The n-th directory of the chain.
std::uint32_t IfdNumber(const Bytes& f, int n)
{
    std::uint32_t at = FirstIfd(f);
    for (int i = 0; i < n; ++i)
        at = Get32(f, at + 2 + 12 * std::size_t(Get16(f, at)));
    return at;
}
// Where the entry of `tag` in the directory at `ifd` stands.
std::size_t EntryOf(const Bytes& f, std::uint32_t ifd, std::uint16_t tag)
{
    for (std::size_t i = 0; i < Get16(f, ifd); ++i) {
        if (Get16(f, ifd + 2 + 12 * i) == tag)
            return ifd + 2 + 12 * i;
    }
    ADD_FAILURE() << "no field " << tag;
    return 0;
}
// The value word of an entry: the value, or the offset of the values.
std::size_t ValueOf(const Bytes& f, std::uint32_t ifd, std::uint16_t tag)
{
    return EntryOf(f, ifd, tag) + 8;
}

using Damage = std::function<void(Bytes&)>;

enum class Stage { Start, Steps, None };

struct CorruptCase {
    const char* name;
    bool deflate;
    Damage damage;
    long code;
    Stage stage;
};

std::ostream& operator<<(std::ostream& out, const CorruptCase& c)
{
    return out << c.name;
}

const CorruptCase kCases[] = {
    {"zero-size file", false, [](Bytes& f) { f.clear(); }, kPellioUnknownFile, Stage::Start},
    {"wrong magic", false, [](Bytes& f) { f[0] = 'X'; }, kPellioUnknownFile, Stage::Start},
    {"wrong TIFF version", false, [](Bytes& f) { f[2] = 43; }, kPellioUnknownFile, Stage::Start},
    {"truncated inside the header", false, [](Bytes& f) { f.resize(6); }, kPellioReadFailed, Stage::Start},
    {"truncated inside the mosaic", false, [](Bytes& f) { f.resize(f.size() / 3); }, kPellioReadFailed, Stage::Start},
    {"truncated before the directories", false, [](Bytes& f) { f.resize(IfdNumber(f, 2)); }, kPellioReadFailed,
     Stage::Start},
    {"last two bytes cut off", false, [](Bytes& f) { f.resize(f.size() - 2); }, kPellioReadFailed, Stage::Start},
    {"first directory beyond the end", false, [](Bytes& f) { Put32(f, 4, std::uint32_t(f.size() + 64)); },
     kPellioReadFailed, Stage::Start},
    {"first directory offset 0", false, [](Bytes& f) { Put32(f, 4, 0); }, kPellioCorrupt, Stage::Start},
    {"entry count running past the end", false, [](Bytes& f) { Put16(f, FirstIfd(f), 0xFFFF); }, kPellioReadFailed,
     Stage::Start},
    {"strip offset beyond the end", false,
     [](Bytes& f) { Put32(f, Get32(f, ValueOf(f, FirstIfd(f), 273)), std::uint32_t(f.size())); }, kPellioReadFailed,
     Stage::Start},
    {"strip byte count larger than the file", false,
     [](Bytes& f) { Put32(f, Get32(f, ValueOf(f, FirstIfd(f), 279)), 0x7FFFFFF0); }, kPellioReadFailed,
     Stage::Start},
    {"field count larger than the file", false,
     [](Bytes& f) { Put32(f, EntryOf(f, FirstIfd(f), 271) + 4, 0x7FFFFFFF); }, kPellioCorrupt, Stage::Start},
    {"Exif directory beyond the end", false,
     [](Bytes& f) { Put32(f, ValueOf(f, FirstIfd(f), 34665), std::uint32_t(f.size() + 2)); }, kPellioReadFailed,
     Stage::Start},
    {"sub-image strip beyond the end", false,
     [](Bytes& f) { Put32(f, ValueOf(f, IfdNumber(f, 1), 273), std::uint32_t(f.size() - 4)); }, kPellioReadFailed,
     Stage::Start},
    {"directory chain loops", false,
     [](Bytes& f) {
         const std::uint32_t last = IfdNumber(f, 2);
         Put32(f, last + 2 + 12 * std::size_t(Get16(f, last)), FirstIfd(f));
     },
     kPellioCorrupt, Stage::Start},
    {"more rows than strips", false, [](Bytes& f) { Put32(f, ValueOf(f, FirstIfd(f), 257), 1000); }, kPellioCorrupt,
     Stage::Start},
    {"zero width", false, [](Bytes& f) { Put32(f, ValueOf(f, FirstIfd(f), 256), 0); }, kPellioCorrupt, Stage::Start},
    {"unknown compression", false, [](Bytes& f) { Put16(f, ValueOf(f, FirstIfd(f), 259), 5); }, kPellioUnsupported,
     Stage::Start},
    {"container of a later version", false,
     [](Bytes& f) { Put32(f, Get32(f, ValueOf(f, FirstIfd(f), 65000)), 2); }, kPellioUnsupported, Stage::Start},
    {"pixel format against the samples", false,
     [](Bytes& f) { Put32(f, ValueOf(f, FirstIfd(f), 65002), kKelvraRGB8); }, kPellioCorrupt, Stage::Start},
    {"tag block count larger than the block", false,
     [](Bytes& f) { Put32(f, Get32(f, ValueOf(f, FirstIfd(f), 65010)) + 8, 0x10000000); }, kPellioCorrupt,
     Stage::Start},
    {"tag block value outside the block", false,
     [](Bytes& f) { Put32(f, Get32(f, ValueOf(f, FirstIfd(f), 65010)) + 12 + 12, 0x00FFFFFF); }, kPellioCorrupt,
     Stage::Start},
    {"tag block value the tag control refuses", false,
     [](Bytes& f) {
         // the first entry is tag 258; give it type 3, whose values are 4 bytes
         Put32(f, Get32(f, ValueOf(f, FirstIfd(f), 65010)) + 12 + 4, kKelvraTagTypeLong);
     },
     kPellioCorrupt, Stage::Start},
    {"field of an unknown type is passed over", false, [](Bytes& f) { Put16(f, EntryOf(f, FirstIfd(f), 305) + 2, 99); },
     0, Stage::None},
    {"deflate data damaged", true,
     [](Bytes& f) {
         const std::uint32_t strip = Get32(f, Get32(f, ValueOf(f, FirstIfd(f), 273)));
         for (std::size_t i = 2; i < 40; ++i)
             f[strip + i] ^= 0x5A;
     },
     kPellioCorrupt, Stage::Steps},
    {"deflate strip cut short", true, [](Bytes& f) { Put32(f, Get32(f, ValueOf(f, FirstIfd(f), 279)), 12); },
     kPellioCorrupt, Stage::Steps},
};

class CorruptInputTest : public ::testing::TestWithParam<CorruptCase> {
protected:
    Bytes SoundFile(bool deflate)
    {
        QrfRawOptions options;
        options.width = 64;
        options.height = 128;
        options.format = deflate ? 2048 : 32;
        const std::string path = m_folder.File("sound.qrf");
        EXPECT_TRUE(Succeeded(QrfWriteRaw(options, path.c_str())));
        return ReadFile(path);
    }

    TempFolder m_folder;
    ManagerPtr m_manager = MakeManager();
};

TEST_P(CorruptInputTest, GivesItsErrorCleanly)
{
    const CorruptCase& c = GetParam();
    Bytes file = SoundFile(c.deflate);
    c.damage(file);
    const std::string path = m_folder.File("damaged.qrf");
    WriteFile(path, file);

    StartedLoad started;
    const long startCode = CodeOf(StartLoad(path, &started));
    EXPECT_EQ(c.stage == Stage::Start ? c.code : 0, startCode);
    if (startCode != 0) {
        EXPECT_EQ(0u, started.tags->GetTagCount()); // a failed start leaves the tags alone
        return;
    }
    IKelvraLoad* load = started.load.get();
    ImagePtr image = MakeImage(m_manager.get());
    ASSERT_TRUE(Succeeded(load->SetImage(image.get())));
    long stepped = 0;
    while (stepped == 0 && !load->IsComplete())
        stepped = CodeOf(load->Step());
    EXPECT_EQ(c.stage == Stage::Steps ? c.code : 0, stepped);
}

INSTANTIATE_TEST_SUITE_P(Damages, CorruptInputTest, ::testing::ValuesIn(kCases));

// A truncated JPEG file fails in the JPEG codec; the loader passes its
// error on.
TEST(CorruptJpegTest, TruncatedFileFailsAtStart)
{
    TempFolder folder;
    PellioRaster raster;
    raster.width = 32;
    raster.height = 32;
    raster.pixelFormat = kKelvraRGB8;
    raster.rowBytes = 96;
    raster.bytes.assign(96 * 32, 0x80);
    Bytes jpeg;
    ASSERT_TRUE(Succeeded(PellioEncodeJpeg(raster, PellioJpegMetadata(), 90, jpeg)));
    jpeg.resize(jpeg.size() / 2);
    const std::string path = folder.File("cut.jpg");
    WriteFile(path, jpeg);
    StartedLoad started;
    IKelvraError* error = StartLoad(path, &started);
    ASSERT_NE(nullptr, error);
    EXPECT_EQ(kPellioLoadTag, error->GetTag());
    IKelvraError::Release(error);
}

} // namespace
} // namespace pelliotest
