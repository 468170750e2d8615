// The loader's protocol: what may be called when, the description request,
// the step interface and sub-images.
#include "PellioTestSupport.h"

namespace pelliotest {
namespace {

class LoadApiTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QrfRawOptions options;
        options.width = 64;
        options.height = 200; // four bands, the last short
        ASSERT_TRUE(Succeeded(QrfWriteRaw(options, m_path.c_str())));
        IKelvraLoad* load = nullptr;
        ASSERT_TRUE(Succeeded(CreateLoad(&load)));
        m_load.reset(load);
    }

    void Start() { ASSERT_TRUE(Succeeded(m_load->Start(m_stream.get(), m_tags.get(), 0, 0))); }

    TempFolder m_folder;
    std::string m_path = m_folder.File("raw.qrf");
    ManagerPtr m_manager = MakeManager();
    TagsPtr m_tags = MakeTags();
    LoadPtr m_load;
    StreamPtr m_stream;

    void OpenStream() { m_stream = pelliotest::OpenStream(m_path, kKelvraStreamRead); }
};

TEST_F(LoadApiTest, NothingBeforeStart)
{
    ImagePtr image = MakeImage(m_manager.get());
    KelvraFileInfo info{};
    info.size = sizeof info;
    EXPECT_EQ(kKelvraNotReady, CodeOf(m_load->GetFileInfo(&info)));
    EXPECT_EQ(kKelvraNotReady, CodeOf(m_load->SetImage(image.get())));
    EXPECT_EQ(kKelvraNotReady, CodeOf(m_load->Step()));
    EXPECT_EQ(kKelvraNotReady, CodeOf(m_load->LoadSubImage(1, image.get(), nullptr)));
    EXPECT_FALSE(m_load->IsComplete());
}

TEST_F(LoadApiTest, StartNeedsAStreamOpenForReading)
{
    EXPECT_EQ(kKelvraMissingObject, CodeOf(m_load->Start(nullptr, m_tags.get(), 0, 0)));
    IKelvraFileStream* closed = nullptr;
    ASSERT_TRUE(Succeeded(CreateFileStream(&closed)));
    StreamPtr owned(closed);
    EXPECT_EQ(kPellioStreamState, CodeOf(m_load->Start(closed, m_tags.get(), 0, 0)));
}

TEST_F(LoadApiTest, StepsFillTheImageBandByBand)
{
    OpenStream();
    Start();
    ImagePtr image = MakeImage(m_manager.get());
    long done = -1, total = -1;
    EXPECT_EQ(kKelvraNotReady, CodeOf(m_load->Step())); // no image yet
    ASSERT_TRUE(Succeeded(m_load->SetImage(image.get())));
    std::vector<long> progress;
    while (!m_load->IsComplete()) {
        ASSERT_TRUE(Succeeded(m_load->Step()));
        m_load->GetProgress(&done, &total);
        progress.push_back(done);
    }
    EXPECT_EQ((std::vector<long>{64, 128, 192, 200}), progress);
    EXPECT_EQ(200, total);
    EXPECT_EQ(200, image->GetRowsWritten());
    EXPECT_TRUE(Succeeded(m_load->Step())); // complete: nothing more to do
}

TEST_F(LoadApiTest, SetImageAgainStartsOver)
{
    OpenStream();
    Start();
    ImagePtr image = MakeImage(m_manager.get());
    ASSERT_TRUE(Succeeded(m_load->SetImage(image.get())));
    ASSERT_TRUE(Succeeded(m_load->Step()));
    ASSERT_TRUE(Succeeded(m_load->SetImage(image.get())));
    EXPECT_EQ(0, image->GetRowsWritten());
    while (!m_load->IsComplete())
        ASSERT_TRUE(Succeeded(m_load->Step()));
    EXPECT_EQ(200, image->GetRowsWritten());
}

TEST_F(LoadApiTest, DescribesThePicture)
{
    OpenStream();
    Start();
    KelvraLoadRequest request{sizeof(KelvraLoadRequest), 0, 0, 0, nullptr, 0};
    ASSERT_TRUE(Succeeded(m_load->DescribeImage(&request, 1)));
    EXPECT_EQ(64u, request.width);
    EXPECT_EQ(200u, request.height);
    EXPECT_EQ(32u, request.formatCode);
    request.size = 8;
    EXPECT_EQ(kKelvraBadArgument, CodeOf(m_load->DescribeImage(&request, 0)));
    EXPECT_EQ(kKelvraMissingObject, CodeOf(m_load->DescribeImage(nullptr, 0)));
}

long StopAtOnce(long, long)
{
    return 1;
}

TEST_F(LoadApiTest, DescriptionCallbackMayStop)
{
    OpenStream();
    Start();
    KelvraLoadRequest request{sizeof(KelvraLoadRequest), 0, 0, 0, StopAtOnce, 0};
    EXPECT_EQ(kKelvraCancelled, CodeOf(m_load->DescribeImage(&request, 1)));
    EXPECT_TRUE(Succeeded(m_load->DescribeImage(&request, 0))); // flag 0 reports nothing
}

TEST_F(LoadApiTest, SubImagesAreNumberedFromOne)
{
    OpenStream();
    Start();
    KelvraSubImageInfo info{};
    info.size = sizeof info;
    ImagePtr image = MakeImage(m_manager.get());
    EXPECT_EQ(kPellioNoSubImage, CodeOf(m_load->GetSubImageInfo(0, &info)));
    EXPECT_EQ(kPellioNoSubImage, CodeOf(m_load->GetSubImageInfo(3, &info)));
    EXPECT_EQ(kPellioNoSubImage, CodeOf(m_load->LoadSubImage(3, image.get(), nullptr)));
    ASSERT_TRUE(Succeeded(m_load->GetSubImageInfo(2, &info)));
    EXPECT_EQ(std::uint32_t(kPellioEntryRendition), info.kind);
    EXPECT_EQ(std::uint32_t(kKelvraRGB8), info.pixelFormat);
    ASSERT_TRUE(Succeeded(m_load->LoadSubImage(2, image.get(), nullptr)));
    long width = 0, height = 0;
    ASSERT_TRUE(Succeeded(image->GetSize(&width, &height)));
    EXPECT_EQ(long(info.width), width);
    EXPECT_EQ(height, image->GetRowsWritten());
}

TEST_F(LoadApiTest, RecordsMustBeLargeEnough)
{
    OpenStream();
    Start();
    KelvraFileInfo info{};
    info.size = 4;
    KelvraSubImageInfo sub{};
    EXPECT_EQ(kKelvraBadArgument, CodeOf(m_load->GetFileInfo(&info)));
    EXPECT_EQ(kKelvraBadArgument, CodeOf(m_load->GetSubImageInfo(1, &sub)));
}

TEST_F(LoadApiTest, ReleaseLetsGoOfEverything)
{
    OpenStream();
    Start();
    m_load->Release();
    m_stream.reset(); // the stream may go once the loader is released
    KelvraFileInfo info{};
    info.size = sizeof info;
    EXPECT_EQ(kKelvraNotReady, CodeOf(m_load->GetFileInfo(&info)));
}

TEST_F(LoadApiTest, FailedStartKeepsTheTags)
{
    SetTag(m_tags.get(), 0x80001, kKelvraTagTypeLong, Bytes{1, 2, 0, 0});
    TempFolder::Overwrite(m_path, "not a picture");
    OpenStream();
    EXPECT_EQ(kPellioUnknownFile, CodeOf(m_load->Start(m_stream.get(), m_tags.get(), 0, 0)));
    EXPECT_EQ(1u, m_tags->GetTagCount());
}

TEST_F(LoadApiTest, StartReplacesTheTags)
{
    SetTag(m_tags.get(), 0x12345, kKelvraTagTypeLong, Bytes{1, 2, 0, 0});
    OpenStream();
    Start();
    EXPECT_FALSE(m_tags->HasTag(0x12345, 0));
    EXPECT_TRUE(m_tags->HasTag(0x80001, 0));
}

} // namespace
} // namespace pelliotest
