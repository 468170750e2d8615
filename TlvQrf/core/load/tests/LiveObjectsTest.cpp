// The live-object registries: use counts, the release at the last use with
// its temporary file, both threads at once, and the two operations that
// make registered objects.
#include "LoadTestSupport.h"

#include "kelvra/KelvraImage.h"
#include "load/TlLiveObjects.h"
#include "load/TlRegisteredLoads.h"
#include "pellio/Pellio.h"

#include <windows.h>

#include <thread>

using namespace loadtest;

namespace {

IKelvraImage* NewImage(IKelvraManager* manager)
{
    IKelvraImage* image = nullptr;
    IKelvraError::Release(manager->CreateImage(&image, 0));
    return image;
}

class LiveObjectsTest : public LoadTest {};

TEST_F(LiveObjectsTest, ReleaseCountsDownAndFreesWithTheTemporaryFileOnlyAtTheLastOwnedUse)
{
    struct Case {
        const char* name;
        bool release;
        bool fileStays;
    };
    const Case cases[] = {
        {"release flag set", true, false},
        {"release flag clear", false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        IKelvraImage* image = NewImage(Manager());
        ASSERT_NE(image, nullptr);
        const std::string file = m_folder.Write("profile.icc", "ICC");
        RegisterImage(image);
        RegisterImage(image);
        EXPECT_EQ(ReleaseRegisteredImage(image, file.c_str(), c.release), 1);
        EXPECT_EQ(ImageUseCount(image), 1);
        EXPECT_TRUE(TempFolder::Exists(file));
        EXPECT_EQ(ReleaseRegisteredImage(image, file.c_str(), c.release), 0);
        EXPECT_EQ(ImageUseCount(image), 0);
        EXPECT_EQ(TempFolder::Exists(file), c.fileStays);
        if (!c.release)
            image->Release();
        DeleteFileA(file.c_str());
    }
}

TEST_F(LiveObjectsTest, UnregisteredPointersReleaseAsNoOps)
{
    IKelvraImage* image = NewImage(Manager());
    EXPECT_EQ(ReleaseRegisteredImage(image, nullptr, true), 0);
    EXPECT_EQ(ReleaseRegisteredImage(nullptr, nullptr, true), 0);
    EXPECT_EQ(ReleaseRegisteredObject(nullptr, true), 0);
    // Still alive: the registry did not release it.
    long width = -1;
    IKelvraError::Release(image->GetWidth(&width));
    image->Release();
}

TEST_F(LiveObjectsTest, TagControlIsDestroyedAtItsLastUseWithTheDestroyFlag)
{
    IKelvraTagControl* tags = nullptr;
    IKelvraError::Release(CreateTagControl(&tags));
    ASSERT_NE(tags, nullptr);
    RegisterObject(tags);
    RegisterObject(tags);
    EXPECT_EQ(ReleaseRegisteredObject(tags, true), 1);
    EXPECT_EQ(ObjectUseCount(tags), 1);
    EXPECT_EQ(ReleaseRegisteredObject(tags, true), 0);
    EXPECT_EQ(RegisteredObjectCount(), 0);
}

TEST_F(LiveObjectsTest, HostAndWorkerThreadsCountingAtOnceLoseNoUse)
{
    constexpr int kImages = 8;
    constexpr int kRounds = 2000;
    IKelvraImage* images[kImages] = {};
    for (IKelvraImage*& image : images) {
        image = NewImage(Manager());
        RegisterImage(image);
    }
    auto churn = [&images] {
        for (int round = 0; round < kRounds; ++round) {
            IKelvraImage* image = images[round % kImages];
            RegisterImage(image);
            ReleaseRegisteredImage(image, nullptr, true);
        }
    };
    std::thread worker(churn);
    churn();
    worker.join();
    for (IKelvraImage* image : images) {
        EXPECT_EQ(ImageUseCount(image), 1);
        EXPECT_EQ(ReleaseRegisteredImage(image, nullptr, true), 0);
    }
}

// A loader whose sub-image count and failing sub-image the test chooses.
class FakeSubImageLoader : public IKelvraLoad {
public:
    FakeSubImageLoader(std::uint32_t count, long failingNumber) : m_count(count), m_failing(failingNumber) {}

    IKelvraError* Start(IKelvraFileStream*, IKelvraTagControl*, long, long) override { return nullptr; }
    IKelvraError* DescribeImage(KelvraLoadRequest*, long) override { return nullptr; }
    IKelvraError* GetFileInfo(KelvraFileInfo* info) const override
    {
        info->subImageCount = m_count;
        return nullptr;
    }
    IKelvraError* GetSubImageInfo(long, KelvraSubImageInfo*) const override { return nullptr; }
    IKelvraError* SetImage(IKelvraImage*) override { return nullptr; }
    bool IsComplete() const override { return true; }
    IKelvraError* Step() override { return nullptr; }
    void GetProgress(long*, long*) const override {}
    IKelvraError* LoadSubImage(long number, IKelvraImage*, std::uint32_t* kind) override
    {
        ++loadsAsked;
        if (number == m_failing)
            return KELVRA_ERROR(nullptr, 0, kKelvraOperationFailed);
        *kind = 0x1000000;
        return nullptr;
    }
    void Release() override {}
    void Destroy() override {}
    ~FakeSubImageLoader() override = default;

    long loadsAsked = 0;

private:
    std::uint32_t m_count;
    long m_failing;
};

void ReleaseEntries(std::vector<TlvSubImage>& entries)
{
    for (const TlvSubImage& entry : entries)
        ReleaseRegisteredImage(entry.image, nullptr, true);
    entries.clear();
}

TEST_F(LiveObjectsTest, SubImagesStopAtTheFirstFailure)
{
    FakeSubImageLoader loader(3, 2);
    std::vector<TlvSubImage> entries;
    EXPECT_EQ(LoadSubImages(entries, &loader, Manager(), 1 << 20), 1);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].flags, 0x1000000u);
    EXPECT_EQ(entries[0].word, 1u);
    EXPECT_EQ(ImageUseCount(entries[0].image), 1);
    EXPECT_EQ(RegisteredImageCount(), 1);
    ReleaseEntries(entries);
}

TEST_F(LiveObjectsTest, SubImageCountFromTheFileIsBoundedByTheLimitAndTheFileSize)
{
    struct Case {
        const char* name;
        std::uint32_t reported;
        std::int64_t fileBytes;
        long expected;
    };
    const Case cases[] = {
        {"huge count, large file", 0xFFFFFFF0u, std::int64_t(1) << 30, kTlMaxSubImages},
        {"huge count, small file", 0x7FFFFFFFu, 18 * 5 + 17, 5},
        {"count within both bounds", 4, 1 << 20, 4},
        {"no file size", 4, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeSubImageLoader loader(c.reported, -1);
        std::vector<TlvSubImage> entries;
        EXPECT_EQ(LoadSubImages(entries, &loader, Manager(), c.fileBytes), c.expected);
        EXPECT_EQ(loader.loadsAsked, c.expected);
        EXPECT_EQ(long(entries.size()), c.expected);
        ReleaseEntries(entries);
    }
}

TEST_F(LiveObjectsTest, ReadFileTagsReadsOnlyIntoAnEmptyPointer)
{
    QrfRawOptions options;
    const std::string path = WriteRaw("tags.qrf", options);
    IKelvraTagControl* tags = nullptr;
    ASSERT_TRUE(ReadFileTags(tags, KelvraFile(path.c_str())));
    ASSERT_NE(tags, nullptr);
    EXPECT_TRUE(tags->HasTag(kKelvraTagModelCode, 0));
    EXPECT_EQ(ObjectUseCount(tags), 1);

    IKelvraTagControl* empty = nullptr;
    IKelvraError::Release(CreateTagControl(&empty));
    IKelvraTagControl* kept = empty;
    EXPECT_TRUE(ReadFileTags(kept, KelvraFile(path.c_str())));
    EXPECT_EQ(kept, empty);
    EXPECT_FALSE(empty->HasTag(kKelvraTagModelCode, 0));
    empty->Destroy();
    ReleaseRegisteredObject(tags, true);
}

TEST_F(LiveObjectsTest, ReadFileTagsOfAMissingOrForeignFileLeavesNothingRegistered)
{
    const std::string cases[] = {m_folder.File("missing.qrf"), m_folder.Write("junk.qrf", "not an image file")};
    for (const std::string& path : cases) {
        SCOPED_TRACE(path);
        IKelvraTagControl* tags = nullptr;
        EXPECT_FALSE(ReadFileTags(tags, KelvraFile(path.c_str())));
        EXPECT_EQ(tags, nullptr);
        EXPECT_EQ(RegisteredObjectCount(), 0);
    }
}

} // namespace
