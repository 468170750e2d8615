// What the holders release when they go, and the factory that makes them.
// Deleted buffers are seen through this program's own operator delete[].
#include "HolderFakes.h"

#include "settings/holders/TlvControlSettings.h"
#include "settings/holders/TlvSettingsFactory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

// The block whose deletion the tests watch, and whether it went.
thread_local const void* g_watchedBlock = nullptr;
thread_local bool g_watchedDeleted = false;

} // namespace

// The array form forwards to the plain one, as the library's own does.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete[](void* block) noexcept
{
    if (block != nullptr && block == g_watchedBlock)
        g_watchedDeleted = true;
    operator delete(block);
}

void operator delete[](void* block, std::size_t) noexcept
{
    operator delete[](block);
}
#pragma GCC diagnostic pop

using namespace holder_test;

namespace {

// A buffer the holder owns, watched until the test ends.
class WatchedBuffer {
public:
    explicit WatchedBuffer(TlvRegisteredImages& images)
    {
        images.buffer = new unsigned char[16];
        images.bufferSize = 16;
        m_block = images.buffer;
        g_watchedBlock = m_block;
        g_watchedDeleted = false;
    }
    ~WatchedBuffer()
    {
        const bool deleted = g_watchedDeleted;
        g_watchedBlock = nullptr;
        if (!deleted)
            delete[] m_block; // left for the image's other holders
    }
    WatchedBuffer(const WatchedBuffer&) = delete;
    WatchedBuffer& operator=(const WatchedBuffer&) = delete;

    bool Deleted() const { return g_watchedDeleted; }

private:
    unsigned char* m_block = nullptr;
};

void SetTemporaryFile(TlvRegisteredImages& images, const char* path)
{
    std::strncpy(images.temporaryFile, path, sizeof images.temporaryFile - 1);
}

TEST(SettingsHolderReleaseTest, ReleasesImagesThenFurtherImagesThenTheTags)
{
    FakeCore core;
    auto holder = std::make_unique<CTlvSettingsHolder>();
    holder->images.image = FakeImage(0);
    holder->images.subImages = {{0, 0, FakeImage(1)}, {0, 0, FakeImage(2)}};
    holder->images.secondImage = FakeImage(3);
    holder->images.tags = FakeTags();
    holder->images.hasTemporaryFile = 1;
    SetTemporaryFile(holder->images, "C:\\temp\\profile.icc");
    holder.reset();

    ASSERT_EQ(core.releases.size(), 5u);
    const void* order[] = {FakeImage(0), FakeImage(1), FakeImage(2), FakeImage(3), FakeTags()};
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(core.releases[i].object, order[i]) << i;
        EXPECT_TRUE(core.releases[i].owned) << i;
    }
    EXPECT_EQ(core.releases[0].temporaryFile, "C:\\temp\\profile.icc");
    for (std::size_t i = 1; i < 5; ++i)
        EXPECT_EQ(core.releases[i].temporaryFile, "") << i;
}

TEST(SettingsHolderReleaseTest, TemporaryFileAndBufferGoOnlyWithTheImagesLastUse)
{
    const struct {
        const char* name;
        std::uint8_t hasTemporaryFile;
        long usesBefore; // 0: not registered
        bool fileDeleted;
        bool bufferDeleted;
    } cases[] = {
        {"last use with a file", 1, 1, true, true},
        {"last use without the flag", 0, 1, false, true},
        {"shared with a file", 1, 2, false, false},
        {"shared without the flag", 0, 3, false, false},
        {"not registered", 1, 0, false, true},
    };
    for (const auto& c : cases) {
        FakeCore core;
        auto holder = std::make_unique<CTlvSettingsHolder>();
        holder->images.image = FakeImage(0);
        holder->images.hasTemporaryFile = c.hasTemporaryFile;
        SetTemporaryFile(holder->images, "C:\\temp\\image.tmp");
        if (c.usesBefore > 0)
            core.uses[FakeImage(0)] = c.usesBefore;
        WatchedBuffer buffer(holder->images);
        holder.reset();
        EXPECT_EQ(core.deletedFiles.size(), c.fileDeleted ? 1u : 0u) << c.name;
        EXPECT_EQ(buffer.Deleted(), c.bufferDeleted) << c.name;
    }
}

TEST(SettingsHolderReleaseTest, WithoutAnImageTheBufferIsTheHolders)
{
    FakeCore core;
    auto holder = std::make_unique<CTlvSettingsHolder>();
    holder->images.tags = FakeTags();
    WatchedBuffer buffer(holder->images);
    holder.reset();
    EXPECT_TRUE(buffer.Deleted());
    ASSERT_EQ(core.releases.size(), 1u);
    EXPECT_EQ(core.releases[0].object, FakeTags());
}

TEST(ControlSettingsReleaseTest, ShutsTheEngineDownBeforeTheImagesGo)
{
    FakeCore core;
    auto holder = std::make_unique<CTlvControlSettings>();
    holder->images.image = FakeImage(0);
    holder->images.tags = FakeTags();
    holder.reset();
    const std::vector<std::string> expected = {"engine shut down", "engine deleted", "release image",
                                               "release tags"};
    EXPECT_EQ(core.log, expected);
}

TEST(SettingsFactoryTest, MakesControlSettings)
{
    FakeCore core;
    CTlvSettingsFactory factory;
    ITlvSettingsFactory& asInterface = factory;
    std::unique_ptr<CTlvSettingsHolder> holder(asInterface.CreateSettings());
    ASSERT_NE(holder, nullptr);
    EXPECT_NE(dynamic_cast<CTlvControlSettings*>(holder.get()), nullptr);
    EXPECT_EQ(core.enginesMade, 1);
}

TEST(SettingsFactoryTest, AnswersNoneWhenTheHolderCannotBeMade)
{
    FakeCore core;
    core.enginesThrow = true;
    CTlvSettingsFactory factory;
    EXPECT_EQ(factory.CreateSettings(), nullptr);
    EXPECT_TRUE(core.releases.empty());
}

TEST(SettingsFactoryTest, MakesControlParamSetsForAnyHolder)
{
    FakeCore core;
    CTlvSettingsFactory factory;
    CTlvSettingsHolder holder;
    EXPECT_EQ(factory.CreateParamSet(&holder), FakeParamSet(TlvParamSetKind::kControl));
    ASSERT_EQ(core.paramSetRequests.size(), 1u);
    EXPECT_EQ(core.paramSetRequests[0].holder, &holder);
    EXPECT_EQ(factory.CreateParamSet(nullptr), nullptr);

    core.paramSetsThrow = true;
    EXPECT_EQ(factory.CreateParamSet(&holder), nullptr);
}

} // namespace
