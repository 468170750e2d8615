// The reader on its own: the ICC profile's size and buffer protocol and the
// profiles folder it comes from, and raw files whose capture tags are
// corrupt.
#include "RawPluginTestSupport.h"

#include "TlRawReader.h"
#include "support/CommonFilesSandbox.h"

using namespace rawplugin_test;

namespace {

const std::string& SmallRaw()
{
    return Fixture("small", "--model 257 --width 192 --height 128");
}

TEST(RawReaderTest, TheProfileIsAskedForBySizeThenRead)
{
    TempProfilesFolder profiles;
    ASSERT_TRUE(profiles.IsReady());
    const std::string bytes = "synthetic profile bytes";
    profiles.Write("TLsRGB.icm", bytes);
    CTlRawReader reader;
    ASSERT_EQ(kTlRawOk, reader.Open(SmallRaw().c_str()));
    std::uint32_t size = 0;
    EXPECT_EQ(kTlRawOk, reader.GetIccProfile(&size, nullptr));
    EXPECT_EQ(bytes.size(), size);
    std::string small(size - 1, '\0');
    size = std::uint32_t(small.size());
    EXPECT_EQ(kTlRawTooSmall, reader.GetIccProfile(&size, &small[0]));
    EXPECT_EQ(bytes.size(), size);
    std::string read(bytes.size() + 5, '\0');
    size = std::uint32_t(read.size());
    EXPECT_EQ(kTlRawOk, reader.GetIccProfile(&size, &read[0]));
    EXPECT_EQ(bytes, read.substr(0, size));
    reader.Close();
}

TEST(RawReaderTest, AProfilesFolderThatCannotBeFoundGivesNoProfile)
{
    CTlRawReader reader;
    ASSERT_EQ(kTlRawOk, reader.Open(SmallRaw().c_str()));
    std::uint32_t size = 0;
    {
        // The profile file is missing.
        TempProfilesFolder empty;
        ASSERT_TRUE(empty.IsReady());
        EXPECT_EQ(kTlRawCannotOpen, reader.GetIccProfile(&size, nullptr));
    }
    const struct {
        std::string value;
        DWORD type;
    } unreadable[] = {{"not a folder", REG_DWORD}, {std::string(300, 'x'), REG_SZ}};
    for (const auto& c : unreadable) {
        CommonFilesSandbox sandbox;
        ASSERT_TRUE(sandbox.PointAt(c.value, c.type));
        EXPECT_EQ(kTlRawCannotRead, reader.GetIccProfile(&size, nullptr)) << c.value.size();
    }
    // Through the selectors the file opens without a profile.
    TempProfilesFolder empty;
    InProcessHost host;
    PsFormatHostOptions options;
    options.hasDescriptor = true;
    options.descriptor = Descriptor(0, 0.0, 0, false);
    const PsFormatHostResult result = host.Open(SmallRaw(), options);
    EXPECT_EQ(kPsNoError, result.readContinue);
    EXPECT_TRUE(result.icc.empty());
    host.ForgetData();
}

TEST(RawReaderTest, CorruptGainsAndPatternsFailNothingButThePatternsDevelopment)
{
    struct Case {
        const char* name;
        const char* arguments;
        PsResult readContinue;
    };
    const Case cases[] = {
        {"badgains", "--model 258 --width 192 --height 128 --tag-gains -2,0", kPsNoError},
        {"hugegains", "--model 258 --width 192 --height 128 --tag-gains 1e300,1e-300", kPsNoError},
        {"shortcfa", "--model 258 --width 192 --height 128 --cfa 00020002000101", kPsReadError},
        {"widecfa", "--model 258 --width 192 --height 128 --cfa 7FFF7FFF0001", kPsReadError},
    };
    TempFolder folder;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string& made = Fixture(c.name, c.arguments);
        const std::string copy = folder.Write(std::string(c.name) + ".qrf", TempFolder::Read(made));
        InProcessHost host;
        PsFormatHostOptions options;
        options.hasDescriptor = true;
        options.descriptor = Descriptor(0, 0.0, 0, false);
        const PsFormatHostResult result = host.Open(copy, options);
        ASSERT_EQ(kPsNoError, result.start);
        EXPECT_EQ(c.readContinue, result.readContinue);
        if (c.readContinue == kPsNoError) {
            // Gains of 1.0: a neutral patch keeps its green.
            for (const Patch& p : Patches(c.name)) {
                if (p.r == p.g && p.g == p.b && p.g > 8000 && p.g < 30000) {
                    EXPECT_NEAR(SrgbByte(p.g), Mean(result, p.left - 4, p.top - 4, p.right - 8, p.bottom - 8, 1), 6.0);
                    break;
                }
            }
        }
        host.ForgetData();
        EXPECT_TRUE(DeleteFileA(copy.c_str())) << "the reader still holds the file";
    }
}

} // namespace

namespace {

TEST(RawReaderTest, VendorFilesSwitchToTheirRawPreviewAndBack)
{
    struct Case {
        const char* name;
        const char* arguments;
        long width;
        long height;
    };
    // The maker's alternative mosaic is half size, of format 0x10020403.
    const Case cases[] = {{"m513", "--model 513 --width 384 --height 256 --pattern YCGM", 368, 252},
                          {"m515", "--model 515 --width 384 --height 256 --pattern BGGR", 368, 250}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CTlRawReader reader;
        ASSERT_EQ(kTlRawOk, reader.Open(Fixture(c.name, c.arguments).c_str()));
        ASSERT_TRUE(reader.HasRawPreview());
        TlRawDescription description;
        ASSERT_EQ(kTlRawOk, reader.Describe(&description));
        EXPECT_EQ(c.width, description.width);
        ASSERT_EQ(kTlRawOk, reader.SetExposure(0.5));
        ASSERT_EQ(kTlRawOk, reader.SelectPreviewSource(true));
        ASSERT_EQ(kTlRawOk, reader.Describe(&description));
        EXPECT_EQ(192 - 16, description.width);
        EXPECT_EQ(128 - 4, description.height);
        std::vector<std::uint8_t> row(std::size_t(description.width) * 3);
        EXPECT_EQ(kTlRawOk, reader.RenderStrip(10, 11, 0, description.width, row.data(), long(row.size())));
        ASSERT_EQ(kTlRawOk, reader.SelectPreviewSource(false));
        ASSERT_EQ(kTlRawOk, reader.Describe(&description));
        EXPECT_EQ(c.width, description.width);
        EXPECT_EQ(c.height, description.height);
    }
    CTlRawReader reader;
    ASSERT_EQ(kTlRawOk, reader.Open(SmallRaw().c_str()));
    EXPECT_FALSE(reader.HasRawPreview());
    EXPECT_EQ(kTlRawBadArgument, reader.SelectPreviewSource(true));
}

} // namespace
