// The file stream: reads bounded by the file, writes kept only when closed
// in good order.
#include "PellioTestSupport.h"

#include <functional>

namespace pelliotest {
namespace {

class FileStreamTest : public ::testing::Test {
protected:
    StreamPtr NewStream()
    {
        IKelvraFileStream* stream = nullptr;
        EXPECT_TRUE(Succeeded(CreateFileStream(&stream)));
        return StreamPtr(stream);
    }

    TempFolder m_folder;
    std::string m_path = m_folder.File("data.bin");
};

TEST_F(FileStreamTest, WritesThenReadsBack)
{
    const Bytes bytes = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    {
        StreamPtr stream = OpenStream(m_path, kKelvraStreamWrite);
        ASSERT_TRUE(Succeeded(stream->Write(bytes.data(), bytes.size())));
        ASSERT_TRUE(Succeeded(stream->Seek(2, kKelvraSeekBegin)));
        const std::uint8_t patch = 0xEE;
        ASSERT_TRUE(Succeeded(stream->Write(&patch, 1)));
        ASSERT_TRUE(Succeeded(stream->Close()));
    }
    StreamPtr stream = OpenStream(m_path, kKelvraStreamRead);
    std::int64_t size = 0, position = 0;
    ASSERT_TRUE(Succeeded(stream->GetSize(&size)));
    EXPECT_EQ(9, size);
    ASSERT_TRUE(Succeeded(stream->Seek(-3, kKelvraSeekEnd)));
    ASSERT_TRUE(Succeeded(stream->Tell(&position)));
    EXPECT_EQ(6, position);
    Bytes tail(3);
    ASSERT_TRUE(Succeeded(stream->Read(tail.data(), tail.size(), nullptr)));
    EXPECT_EQ((Bytes{7, 8, 9}), tail);
    EXPECT_EQ((Bytes{1, 2, 0xEE, 4, 5, 6, 7, 8, 9}), ReadFile(m_path));
}

TEST_F(FileStreamTest, ReadPastTheEndIsAnErrorUnlessCounted)
{
    TempFolder::Overwrite(m_path, "abcd");
    StreamPtr stream = OpenStream(m_path, kKelvraStreamRead);
    Bytes buffer(10);
    EXPECT_EQ(kPellioReadFailed, CodeOf(stream->Read(buffer.data(), buffer.size(), nullptr)));
    ASSERT_TRUE(Succeeded(stream->Seek(1, kKelvraSeekBegin)));
    std::size_t done = 99;
    ASSERT_TRUE(Succeeded(stream->Read(buffer.data(), buffer.size(), &done)));
    EXPECT_EQ(3u, done);
}

TEST_F(FileStreamTest, MissingFileDoesNotOpen)
{
    StreamPtr stream = NewStream();
    ASSERT_TRUE(Succeeded(stream->SetPath(m_folder.File("missing.bin").c_str())));
    EXPECT_EQ(kPellioOpenFailed, CodeOf(stream->Open(kKelvraStreamRead)));
    EXPECT_EQ(0, stream->GetMode());
}

TEST_F(FileStreamTest, OpensAKelvraFile)
{
    TempFolder::Overwrite(m_path, "xyz");
    StreamPtr stream = NewStream();
    ASSERT_TRUE(Succeeded(stream->Open(KelvraFile(m_path.c_str()), kKelvraStreamRead)));
    EXPECT_STREQ(m_path.c_str(), stream->GetPath());
    EXPECT_EQ(kKelvraStreamRead, stream->GetMode());
}

TEST_F(FileStreamTest, OperationsNeedTheRightMode)
{
    TempFolder::Overwrite(m_path, "xyz");
    StreamPtr stream = NewStream();
    std::uint8_t byte = 0;
    std::int64_t size = 0;
    EXPECT_EQ(kPellioStreamState, CodeOf(stream->Read(&byte, 1, nullptr)));
    EXPECT_EQ(kPellioStreamState, CodeOf(stream->GetSize(&size)));
    EXPECT_EQ(kKelvraMissingObject, CodeOf(stream->Open(kKelvraStreamRead)));
    ASSERT_TRUE(Succeeded(stream->SetPath(m_path.c_str())));
    EXPECT_EQ(kKelvraBadArgument, CodeOf(stream->Open(7)));
    ASSERT_TRUE(Succeeded(stream->Open(kKelvraStreamRead)));
    EXPECT_EQ(kPellioStreamState, CodeOf(stream->Write(&byte, 1)));
    EXPECT_EQ(kPellioStreamState, CodeOf(stream->SetPath(m_path.c_str())));
    EXPECT_EQ(kPellioStreamState, CodeOf(stream->Open(kKelvraStreamRead)));
    EXPECT_EQ(kKelvraBadArgument, CodeOf(stream->Seek(0, 9)));
}

// The target is replaced only by a close in good order; otherwise it keeps
// its old bytes and no temporary file is left behind.
struct KeepCase {
    const char* name;
    std::function<void(IKelvraFileStream*)> finish;
    bool replaced;
};

class FileStreamKeepTest : public ::testing::TestWithParam<KeepCase> {};

TEST_P(FileStreamKeepTest, TargetReplacedOnlyWhenKept)
{
    TempFolder folder;
    const std::string path = folder.File("target.bin");
    TempFolder::Overwrite(path, "old");
    IKelvraFileStream* stream = nullptr;
    ASSERT_TRUE(Succeeded(CreateFileStream(&stream)));
    ASSERT_TRUE(Succeeded(stream->SetPath(path.c_str())));
    ASSERT_TRUE(Succeeded(stream->Open(kKelvraStreamWrite)));
    ASSERT_TRUE(Succeeded(stream->Write("new bytes", 9)));
    EXPECT_EQ("old", TempFolder::Read(path)); // nothing visible before the close
    GetParam().finish(stream);
    EXPECT_EQ(GetParam().replaced ? "new bytes" : "old", TempFolder::Read(path));
    EXPECT_EQ(std::vector<std::string>{"target.bin"}, FilesIn(folder.Path()));
}

INSTANTIATE_TEST_SUITE_P(
    Endings, FileStreamKeepTest,
    ::testing::Values(KeepCase{"closed", [](IKelvraFileStream* s) { IKelvraError::Release(s->Close()); s->Release(); },
                               true},
                      KeepCase{"released without close", [](IKelvraFileStream* s) { s->Release(); }, false},
                      KeepCase{"told not to keep",
                               [](IKelvraFileStream* s) {
                                   s->SetKeepOnClose(false);
                                   IKelvraError::Release(s->Close());
                                   s->Release();
                               },
                               false}),
    [](const ::testing::TestParamInfo<KeepCase>& info) { return TestName(info.param.name); });

} // namespace
} // namespace pelliotest
