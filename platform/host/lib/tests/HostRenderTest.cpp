// Renditions through the host library, asked for by the test plug-in as an
// upload plug-in asks: answered 2, progress and the end later from the
// host's loop, the file read back by Windows' own codecs.
#include "HostTestPictures.h"
#include "LoadTestSupport.h"
#include "TestPluginCodes.h"
#include "TestPluginEnvironment.h"
#include "WicSize.h"

#include "TlHost.h"
#include "TlHostRender.h"

#include "pellio/PellioFormats.h"
#include "qrfsynth/QrfSynthFile.h"
#include "runbase/TlvResultCodes.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

const char kPlugin[] = "TlTestModule.dll";
constexpr DWORD kRenderTimeoutMs = 120000;

std::vector<TlHostCall> SentWithCode(const CTlHost& host, unsigned long code)
{
    std::vector<TlHostCall> found;
    for (const TlHostCall& call : host.Sent()) {
        if (call.words[0] == code)
            found.push_back(call);
    }
    return found;
}

// Ends of requests the host sent, with their failure codes (0 for success).
std::vector<unsigned long> DoneCodes(const CTlHost& host)
{
    std::vector<unsigned long> codes;
    for (const TlHostCall& call : SentWithCode(host, TLV_MSG_REQUEST_DONE))
        codes.push_back(call.values.empty() ? 0 : static_cast<unsigned long>(call.values[0]));
    return codes;
}

class HostRender : public ::testing::Test {
protected:
    TlHostItem Item(TlvItemId id, const std::string& name) const
    {
        TlHostItem item;
        item.id = id;
        item.path = folder.File(name);
        return item;
    }

    // Starts the plug-in on a host with `items`, all selected, renditions
    // asked as "width,height,scale".
    CTlHostModule* Start(const std::vector<TlHostItem>& items, const std::string& size)
    {
        script.items = items;
        for (const TlHostItem& item : items)
            script.selectedItems.push_back(item.id);
        render.reset(new ScopedEnvironment(kTestPluginRenderVariable, size + "," + out));
        host.reset(new CTlHost(script));
        CTlHostModule* module = nullptr;
        EXPECT_EQ(TLV_OK, host->AddModule(kPlugin, &module));
        return module;
    }

    bool PumpUntilDone(std::size_t requests)
    {
        return host->Pump([&] { return SentWithCode(*host, TLV_MSG_REQUEST_DONE).size() >= requests; },
                          kRenderTimeoutMs);
    }

    void TearDown() override
    {
        if (host != nullptr) {
            host->CloseModules();
            EXPECT_EQ(0, host->Services().OpenCount()) << "a service was not released at close";
        }
    }

    TempFolder folder;
    std::string out = folder.MakeFolder("out");
    CTlHostScript script;
    std::unique_ptr<ScopedEnvironment> render;
    std::unique_ptr<CTlHost> host;
};

TEST_F(HostRender, JpegTiffAndRawAtTheRequestedSize)
{
    ASSERT_TRUE(WriteTestPicture(folder.File("a.jpg"), kPellioFormatJpeg, 120, 80));
    ASSERT_TRUE(WriteTestPicture(folder.File("b.tif"), kPellioFormatTiff, 120, 80));
    // A 16-bit TIFF, made 8-bit for its JPEG.
    ASSERT_EQ(nullptr, QrfWriteTruth(120, 80, folder.File("d.tif").c_str()));
    // A raw file with settings of its own, which the library develops
    // without the neutral settings of the install layout.
    QrfRawOptions raw = loadtest::RawOptions(258, QrfPattern::GBRG);
    raw.extraTags.push_back({0x80E01, kKelvraTagTypeBytes, loadtest::StoredSettingsBlock(0.0)});
    ASSERT_EQ(nullptr, QrfWriteRaw(raw, folder.File("c.qrf").c_str()));
    CTlHostModule* module =
        Start({Item(1, "a.jpg"), Item(2, "b.tif"), Item(3, "c.qrf"), Item(4, "d.tif")}, "90,60,0");
    ASSERT_NE(nullptr, module);

    EXPECT_EQ(2u, host->RunFunction(*module, kTestFunctionId));
    // Nothing is answered from inside the callback.
    EXPECT_TRUE(SentWithCode(*host, TLV_MSG_REQUEST_PROGRESS).empty());
    EXPECT_TRUE(SentWithCode(*host, TLV_MSG_REQUEST_DONE).empty());
    ASSERT_TRUE(PumpUntilDone(4));

    EXPECT_EQ((std::vector<unsigned long>{0, 0, 0, 0}), DoneCodes(*host));
    for (const TlHostCall& done : SentWithCode(*host, TLV_MSG_REQUEST_DONE)) {
        EXPECT_EQ(TLV_MSG_RENDER_ITEM, done.words[7]);
        EXPECT_EQ(kTestRenderTag, done.words[8]);
    }
    const std::vector<TlHostCall> progress = SentWithCode(*host, TLV_MSG_REQUEST_PROGRESS);
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(2u, progress[0].values.size());
    EXPECT_EQ(kTestRenderTag, progress[0].words[8]);
    for (const char* name : {"rendition1.jpg", "rendition2.jpg", "rendition3.jpg", "rendition4.jpg"}) {
        const WicPicture picture = ReadWithWic(out + name);
        EXPECT_TRUE(picture.read) << name;
        EXPECT_EQ(90u, picture.width) << name;
        EXPECT_EQ(60u, picture.height) << name;
    }
    EXPECT_EQ(4u, TempFolder::Matching(out + "*").size()) << "only the renditions are left";
}

// How the output record's scale, width and height give the size.
TEST(HostRenditionSize, ScaleOrWidthAndHeight)
{
    const struct {
        double scale;
        DWORD width, height;
        long expectedWidth, expectedHeight;
    } cases[] = {
        {0.5, 999, 999, 60, 40}, {0, 60, 0, 60, 40}, {0, 0, 20, 30, 20}, {0, 0, 0, 120, 80}, {0, 50, 50, 50, 50},
    };
    for (const auto& c : cases) {
        CTlvOutputData output;
        output.m_scale = c.scale;
        output.m_width = c.width;
        output.m_height = c.height;
        long width = 0, height = 0;
        TlRenditionSize(output, 120, 80, &width, &height);
        EXPECT_EQ(c.expectedWidth, width) << c.scale << " " << c.width << "x" << c.height;
        EXPECT_EQ(c.expectedHeight, height) << c.scale << " " << c.width << "x" << c.height;
    }
}

TEST_F(HostRender, CancelEndsThePendingRenderAndLeavesNoFile)
{
    ASSERT_TRUE(WriteTestPicture(folder.File("a.jpg"), kPellioFormatJpeg, 120, 80));
    CTlHostModule* module = Start({Item(1, "a.jpg")}, "60,0,0");
    ASSERT_NE(nullptr, module);
    EXPECT_EQ(2u, host->RunFunction(*module, kTestFunctionId));
    EXPECT_EQ(TLV_OK, host->Send(*module, {TLV_MSG_ABORT, 0, 0, 0, 0, 0, 0, 0, 0}));
    const std::vector<TlHostCall> cancels = host->CallsWithCode(TLV_MSG_CANCEL_REQUEST);
    ASSERT_EQ(1u, cancels.size());
    ASSERT_TRUE(PumpUntilDone(1));
    EXPECT_EQ((std::vector<unsigned long>{TLV_ERR_CANCELLED}), DoneCodes(*host));
    EXPECT_TRUE(TempFolder::Matching(out + "*").empty());
}

TEST_F(HostRender, MissingOrTruncatedSourceEndsWithFailureAndNoFile)
{
    ASSERT_TRUE(WriteTestPicture(folder.File("whole.jpg"), kPellioFormatJpeg, 120, 80));
    const std::string whole = TempFolder::Read(folder.File("whole.jpg"));
    folder.Write("cut.jpg", whole.substr(0, whole.size() / 2));
    CTlHostModule* module = Start({Item(1, "missing.jpg"), Item(2, "cut.jpg")}, "60,0,0");
    ASSERT_NE(nullptr, module);
    // The plug-in stops at a failed item: one run per item.
    for (TlvItemId id : {1, 2}) {
        host->Script().selectedItems = {id};
        EXPECT_EQ(2u, host->RunFunction(*module, kTestFunctionId));
        ASSERT_TRUE(PumpUntilDone(std::size_t(id)));
    }
    EXPECT_EQ((std::vector<unsigned long>{TLV_ERR_FAILED, TLV_ERR_FAILED}), DoneCodes(*host));
    EXPECT_TRUE(TempFolder::Matching(out + "*").empty());
}

TEST_F(HostRender, ScriptedFailureReachesTheModule)
{
    ASSERT_TRUE(WriteTestPicture(folder.File("a.jpg"), kPellioFormatJpeg, 120, 80));
    script.failedRequests[TLV_MSG_RENDER_ITEM] = TLV_ERR_UNSUPPORTED_FORMAT;
    CTlHostModule* module = Start({Item(1, "a.jpg")}, "60,0,0");
    ASSERT_NE(nullptr, module);
    EXPECT_EQ(2u, host->RunFunction(*module, kTestFunctionId));
    ASSERT_TRUE(PumpUntilDone(1));
    EXPECT_EQ((std::vector<unsigned long>{TLV_ERR_UNSUPPORTED_FORMAT}), DoneCodes(*host));
    EXPECT_TRUE(TempFolder::Matching(out + "*").empty());
}

} // namespace
