// The saver's protocol: what it accepts, its step interface, and that a
// save that fails or is dropped leaves the target as it was.
#include "PellioTestSupport.h"
#include "pellio/src/TiffStructure.h"
#include "pellio/src/TiffTags.h"

#include <functional>

namespace pelliotest {
namespace {

// A stream that passes everything to a real one but fails every write after
// `budget` bytes, as a full disk would.
class CFailingStream : public IKelvraFileStream {
public:
    CFailingStream(IKelvraFileStream* inner, std::size_t budget) : m_inner(inner), m_budget(budget) {}
    IKelvraError* SetPath(const char* path) override { return m_inner->SetPath(path); }
    const char* GetPath() const override { return m_inner->GetPath(); }
    IKelvraError* Open(long mode) override { return m_inner->Open(mode); }
    IKelvraError* Open(const KelvraFile& file, long mode) override { return m_inner->Open(file, mode); }
    long GetMode() const override { return m_inner->GetMode(); }
    IKelvraError* Read(void* buffer, std::size_t size, std::size_t* done) override
    {
        return m_inner->Read(buffer, size, done);
    }
    IKelvraError* Write(const void* data, std::size_t size) override
    {
        if (size > m_budget) {
            m_inner->SetKeepOnClose(false);
            return KELVRA_ERROR(nullptr, kPellioStreamTag, kKelvraWriteError);
        }
        m_budget -= size;
        return m_inner->Write(data, size);
    }
    IKelvraError* Seek(std::int64_t offset, long origin) override { return m_inner->Seek(offset, origin); }
    IKelvraError* Tell(std::int64_t* position) const override { return m_inner->Tell(position); }
    IKelvraError* GetSize(std::int64_t* size) const override { return m_inner->GetSize(size); }
    void SetKeepOnClose(bool keep) override { m_inner->SetKeepOnClose(keep); }
    IKelvraError* Close() override { return m_inner->Close(); }
    void Release() override {}

private:
    IKelvraFileStream* m_inner;
    std::size_t m_budget;
};

class SaveApiTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TempFolder::Overwrite(m_path, "old target");
        IKelvraSave* save = nullptr;
        ASSERT_TRUE(Succeeded(CreateSave(&save)));
        m_save.reset(save);
    }

    IKelvraError* Begin(std::uint32_t format)
    {
        m_stream = OpenStream(m_path, kKelvraStreamWrite);
        return m_save->Begin(m_stream.get(), m_tags.get(), format, 0);
    }

    IKelvraError* RunToEnd()
    {
        IKelvraError* error = nullptr;
        while (!error && !m_save->IsFinished())
            error = m_save->WriteStep();
        return error;
    }

    // The target keeps its old bytes and no temporary file is left.
    void ExpectTargetUntouched()
    {
        EXPECT_EQ("old target", TempFolder::Read(m_path));
        EXPECT_EQ(std::vector<std::string>{"target.qrf"}, FilesIn(m_folder.Path()));
    }

    TempFolder m_folder;
    std::string m_path = m_folder.File("target.qrf");
    ManagerPtr m_manager = MakeManager();
    TagsPtr m_tags = MakeTags();
    ImagePtr m_image = MakePatternImage(m_manager.get(), kKelvraRawMosaic, 80, 150);
    SavePtr m_save;
    StreamPtr m_stream;
};

TEST_F(SaveApiTest, BeginChecksStreamAndFormat)
{
    EXPECT_EQ(kKelvraMissingObject, CodeOf(m_save->Begin(nullptr, nullptr, kPellioFormatQrf, 0)));
    StreamPtr reading = OpenStream(m_path, kKelvraStreamRead);
    EXPECT_EQ(kPellioStreamState, CodeOf(m_save->Begin(reading.get(), nullptr, kPellioFormatQrf, 0)));
    for (std::uint32_t format : {0u, 2u, 512u, 0x10000u})
        EXPECT_EQ(kKelvraUnsupportedFormat, CodeOf(Begin(format))) << format;
    ASSERT_TRUE(Succeeded(Begin(kPellioFormatQrf)));
    EXPECT_EQ(kKelvraNotReady, CodeOf(m_save->Begin(m_stream.get(), nullptr, kPellioFormatQrf, 0)));
}

TEST_F(SaveApiTest, NothingBeforeBegin)
{
    KelvraSaveInfo info{};
    info.size = sizeof info;
    long width = 0, height = 0;
    EXPECT_EQ(kKelvraNotReady, CodeOf(m_save->GetInfo(&info)));
    EXPECT_EQ(kKelvraNotReady, CodeOf(m_save->SetupWrite(m_image.get(), nullptr, 0)));
    EXPECT_EQ(kKelvraNotReady, CodeOf(m_save->WriteStep()));
    ASSERT_TRUE(Succeeded(Begin(kPellioFormatQrf)));
    EXPECT_EQ(kKelvraNotReady, CodeOf(m_save->GetOutputSize(&width, &height))); // no fixed size
    EXPECT_EQ(kKelvraNotReady, CodeOf(m_save->WriteStep()));                   // no setup yet
}

TEST_F(SaveApiTest, InformationOfEachFormat)
{
    struct Case {
        std::uint32_t format, imageCount, fixedSize;
    };
    for (const Case& c : {Case{kPellioFormatQrf, 2, 0}, Case{kPellioFormatQrfDeflate, 2, 0},
                          Case{kPellioFormatQrfSettings, 2, 0}, Case{kPellioFormatTiff, 2, 0},
                          Case{kPellioFormatDirect, 1, 1}, Case{kPellioFormatJpeg, 1, 0}}) {
        SetUp();
        ASSERT_TRUE(Succeeded(Begin(c.format)));
        KelvraSaveInfo info{};
        info.size = sizeof info;
        ASSERT_TRUE(Succeeded(m_save->GetInfo(&info)));
        EXPECT_EQ(c.format, info.formatCode);
        EXPECT_EQ(c.imageCount, info.imageCount) << c.format;
        EXPECT_EQ(c.fixedSize, info.fixedSize) << c.format;
    }
}

TEST_F(SaveApiTest, StepsCountStripsAndTheDirectories)
{
    ASSERT_TRUE(Succeeded(Begin(kPellioFormatQrf)));
    ASSERT_TRUE(Succeeded(m_save->SetupWrite(m_image.get(), nullptr, 0)));
    EXPECT_EQ(kKelvraNotReady, CodeOf(m_save->SetupWrite(m_image.get(), nullptr, 0)));
    long done = -1, total = -1;
    m_save->GetProgress(&done, &total);
    EXPECT_EQ(0, done);
    EXPECT_EQ(4, total); // three strips of 64 rows, then the directories
    ASSERT_TRUE(Succeeded(RunToEnd()));
    m_save->GetProgress(&done, &total);
    EXPECT_EQ(4, done);
    EXPECT_TRUE(Succeeded(m_save->WriteStep())); // finished: nothing more
    EXPECT_EQ("old target", TempFolder::Read(m_path));
    ASSERT_TRUE(Succeeded(m_stream->Close()));
    LoadedFile file;
    ASSERT_TRUE(Succeeded(LoadWhole(m_manager.get(), m_path, &file)));
    EXPECT_TRUE(PixelsOf(m_image.get()) == PixelsOf(file.main.get()));
}

struct ListCase {
    const char* name;
    std::uint32_t format;
    std::function<std::vector<KelvraSaveEntry>(IKelvraDataSource*)> list;
    long code;
};

std::ostream& operator<<(std::ostream& out, const ListCase& c)
{
    return out << c.name;
}

const KelvraSaveBitmap kBadBitmap{0x1234, nullptr, 0};
const KelvraSaveBitmap kGoodBitmap{kKelvraSaveBitmapMagic, "bits", 4};

const ListCase kLists[] = {
    {"unknown kind", kPellioFormatQrf,
     [](IKelvraDataSource* s) { return std::vector<KelvraSaveEntry>{{0x1234, 1, s}}; }, kPellioListRefused},
    {"no object", kPellioFormatQrf,
     [](IKelvraDataSource*) { return std::vector<KelvraSaveEntry>{{kPellioEntryRendition, 1, nullptr}}; },
     kPellioListRefused},
    {"source counted twice", kPellioFormatQrf,
     [](IKelvraDataSource* s) { return std::vector<KelvraSaveEntry>{{kPellioEntryRendition, 2, s}}; },
     kPellioListRefused},
    {"bitmap without its magic", kPellioFormatQrf,
     [](IKelvraDataSource*) {
         return std::vector<KelvraSaveEntry>{{kPellioEntryBitmap, 2, const_cast<KelvraSaveBitmap*>(&kBadBitmap)}};
     },
     kPellioListRefused},
    {"three renditions for a TIFF", kPellioFormatTiff,
     [](IKelvraDataSource* s) {
         return std::vector<KelvraSaveEntry>(3, KelvraSaveEntry{kPellioEntryRendition, 1, s});
     },
     kPellioListRefused},
    {"a mosaic rendition for a TIFF", kPellioFormatTiff,
     [](IKelvraDataSource* s) { return std::vector<KelvraSaveEntry>{{kPellioEntryRendition, 1, s}}; },
     kPellioListRefused},
    {"every kind for a raw file", kPellioFormatQrf,
     [](IKelvraDataSource* s) {
         return std::vector<KelvraSaveEntry>{{kPellioEntryRendition, 1, s},    {kPellioEntryImageAlone, 1, s},
                                             {kPellioEntryImageFlagged, 1, s}, {kPellioEntryConverted, 1, s},
                                             {kPellioEntrySecondRaw, 1, s},    {kPellioEntryRawSource, 1, s},
                                             {kPellioEntryBitmap, 2, const_cast<KelvraSaveBitmap*>(&kGoodBitmap)}};
     },
     0},
};

class SaveListTest : public SaveApiTest, public ::testing::WithParamInterface<ListCase> {};

TEST_P(SaveListTest, AcceptedOrRefused)
{
    ImagePtr rgb = MakePatternImage(m_manager.get(), kKelvraRGB8, 20, 10);
    IKelvraDataSource* main = GetParam().format == kPellioFormatTiff ? rgb.get() : m_image.get();
    const std::vector<KelvraSaveEntry> list = GetParam().list(m_image.get());
    ASSERT_TRUE(Succeeded(Begin(GetParam().format)));
    EXPECT_EQ(GetParam().code, CodeOf(m_save->SetupWrite(main, list.data(), long(list.size()))));
}

INSTANTIATE_TEST_SUITE_P(Lists, SaveListTest, ::testing::ValuesIn(kLists));

TEST_F(SaveApiTest, MainSourceMustBeStorable)
{
    ASSERT_TRUE(Succeeded(Begin(kPellioFormatTiff)));
    EXPECT_EQ(kKelvraUnsupportedFormat, CodeOf(m_save->SetupWrite(m_image.get(), nullptr, 0)));
    EXPECT_EQ(kKelvraMissingObject, CodeOf(m_save->SetupWrite(nullptr, nullptr, 0)));
    EXPECT_EQ(kKelvraMissingObject, CodeOf(m_save->SetupWrite(m_image.get(), nullptr, 1)));
    EXPECT_EQ(kKelvraBadArgument, CodeOf(m_save->SetupWrite(m_image.get(), nullptr, -1)));
}

TEST_F(SaveApiTest, HeaderRecordAttachesItsBlock)
{
    const char block[] = "attached settings";
    KelvraSaveHeader header{sizeof(KelvraSaveHeader), sizeof block, 0x77, block, 0, 0};
    ASSERT_TRUE(Succeeded(Begin(kPellioFormatQrfSettings)));
    KelvraSaveHeader small = header;
    small.size = 12;
    EXPECT_EQ(kKelvraBadArgument, CodeOf(m_save->SetupWrite(&small, m_image.get(), nullptr, 0)));
    KelvraSaveHeader missing = header;
    missing.block = nullptr;
    EXPECT_EQ(kKelvraMissingObject, CodeOf(m_save->SetupWrite(&missing, m_image.get(), nullptr, 0)));
    ASSERT_TRUE(Succeeded(m_save->SetupWrite(&header, m_image.get(), nullptr, 0)));
    ASSERT_TRUE(Succeeded(RunToEnd()));
    ASSERT_TRUE(Succeeded(m_stream->Close()));

    StreamPtr stream = OpenStream(m_path, kKelvraStreamRead);
    CTiffReader reader;
    std::vector<TiffIfd> ifds;
    ASSERT_TRUE(Succeeded(reader.Open(stream.get())));
    ASSERT_TRUE(Succeeded(reader.ReadChain(&ifds)));
    const TiffField* attached = ifds[0].Find(kQrfAttachment);
    ASSERT_NE(nullptr, attached);
    Bytes expected = {0x77, 0, 0, 0};
    expected.insert(expected.end(), block, block + sizeof block);
    EXPECT_EQ(expected, attached->bytes);
}

TEST_F(SaveApiTest, WriteFailureIsErrorTenOhSixAndKeepsNoOutput)
{
    m_stream = OpenStream(m_path, kKelvraStreamWrite);
    CFailingStream failing(m_stream.get(), 12000);
    ASSERT_TRUE(Succeeded(m_save->Begin(&failing, m_tags.get(), kPellioFormatQrf, 0)));
    ASSERT_TRUE(Succeeded(m_save->SetupWrite(m_image.get(), nullptr, 0)));
    EXPECT_TRUE(HasCode(RunToEnd(), kKelvraWriteError));
    EXPECT_FALSE(m_save->IsFinished());
    EXPECT_EQ(kKelvraNotReady, CodeOf(m_save->WriteStep())); // a failed save stays failed
    IKelvraError::Release(m_stream->Close());
    ExpectTargetUntouched();
}

TEST_F(SaveApiTest, SourceFailingMidwayLeavesTheTargetAlone)
{
    ASSERT_TRUE(Succeeded(Begin(kPellioFormatQrf)));
    ASSERT_TRUE(Succeeded(m_save->SetupWrite(m_image.get(), nullptr, 0)));
    ASSERT_TRUE(Succeeded(m_save->WriteStep()));
    ASSERT_TRUE(Succeeded(m_image->SetSize(10, 10))); // the rest of the rows are gone
    EXPECT_NE(0, CodeOf(RunToEnd()));
    EXPECT_TRUE(Succeeded(m_stream->Close()));
    ExpectTargetUntouched();
}

TEST_F(SaveApiTest, DroppedSaveLeavesTheTargetAlone)
{
    ASSERT_TRUE(Succeeded(Begin(kPellioFormatQrf)));
    ASSERT_TRUE(Succeeded(m_save->SetupWrite(m_image.get(), nullptr, 0)));
    ASSERT_TRUE(Succeeded(m_save->WriteStep()));
    m_save.reset();
    EXPECT_TRUE(Succeeded(m_stream->Close()));
    ExpectTargetUntouched();
}

} // namespace
} // namespace pelliotest
