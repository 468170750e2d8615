// Generated camera profiles in the profiles folder: named under the current
// prefix, reused while a file of the right size is there, rewritten
// otherwise, and an empty path for every failure.
#include "colour/TlGeneratedProfileHolds.h"
#include "colour/TlGeneratedProfiles.h"
#include "colour/TlWorkingProfiles.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

// Makes a profile of `size` bytes of `fill`, counting the profiles it built.
class FakeGenerator : public ITlCameraProfileGenerator {
public:
    IKelvraError* GetFileName(const char* prefix, std::string* name) override
    {
        if (failName)
            return IKelvraError::Add(nullptr, 0, 1, kKelvraCategoryApp, kKelvraOperationFailed);
        *name = std::string(prefix) + "camera.icm";
        return nullptr;
    }
    std::uint32_t GetProfileSize() const override { return size; }
    IKelvraError* Build() override
    {
        builds++;
        return failBuild ? IKelvraError::Add(nullptr, 0, 2, kKelvraCategoryApp, kKelvraOperationFailed) : nullptr;
    }
    IKelvraError* Serialise(void* buffer, std::uint32_t bytes) override
    {
        std::memset(buffer, fill, bytes);
        return nullptr;
    }

    std::uint32_t size = 64;
    char fill = 'a';
    std::atomic<int> builds{0};
    bool failName = false;
    bool failBuild = false;
};

class GeneratedProfilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetWorkingProfiles();
        SetProfileFolder(m_folder.Path().c_str());
        SetGeneratedProfilePrefix("Tlb_");
    }
    void TearDown() override { ResetWorkingProfiles(); }

    TempFolder m_folder;
    FakeGenerator m_generator;
};

TEST_F(GeneratedProfilesTest, WithoutAGeneratorThePathIsEmpty)
{
    EXPECT_EQ("", ProvideGeneratedProfile(nullptr));
}

TEST_F(GeneratedProfilesTest, AProfileOfTheRightSizeIsReusedAnotherIsRewritten)
{
    const std::string path = ProvideGeneratedProfile(&m_generator);
    EXPECT_EQ(m_folder.File("Tlb_camera.icm"), path);
    EXPECT_EQ(std::string(64, 'a'), TempFolder::Read(path));
    EXPECT_EQ(1, m_generator.builds);

    m_generator.fill = 'b';
    EXPECT_EQ(path, ProvideGeneratedProfile(&m_generator));
    EXPECT_EQ(1, m_generator.builds);
    EXPECT_EQ(std::string(64, 'a'), TempFolder::Read(path));

    m_generator.size = 80;
    EXPECT_EQ(path, ProvideGeneratedProfile(&m_generator));
    EXPECT_EQ(2, m_generator.builds);
    EXPECT_EQ(std::string(80, 'b'), TempFolder::Read(path));
}

TEST_F(GeneratedProfilesTest, TheCustomCurveNamesTheProfileByItsNumber)
{
    EXPECT_EQ(m_folder.File("Tlb_U00000042.icm"), ProvideGeneratedProfile(&m_generator, 42));
    EXPECT_TRUE(TempFolder::Exists(m_folder.File("Tlb_U00000042.icm")));
}

TEST_F(GeneratedProfilesTest, FailuresGiveAnEmptyPathAndLeaveNoFile)
{
    struct Case {
        const char* what;
        bool failName;
        bool failBuild;
        bool folderMissing;
    };
    const Case cases[] = {
        {"name", true, false, false},
        {"build", false, true, false},
        {"file cannot be created", false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeGenerator generator;
        generator.failName = c.failName;
        generator.failBuild = c.failBuild;
        SetProfileFolder(c.folderMissing ? m_folder.File("absent").c_str() : m_folder.Path().c_str());
        EXPECT_EQ("", ProvideGeneratedProfile(&generator));
        EXPECT_FALSE(TempFolder::Exists(m_folder.File("Tlb_camera.icm")));
    }
}

TEST_F(GeneratedProfilesTest, TheHostAndTheWorkerAskingAtOnceBothGetTheWholeProfile)
{
    // Without the generation lock one writer finds the file open without
    // sharing and gets no profile, or reads a size that is not yet written.
    m_generator.size = 1 << 20;
    for (int round = 0; round < 16; ++round) {
        ReleaseGeneratedProfileHolds();
        ASSERT_TRUE(DeleteFileA(m_folder.File("Tlb_camera.icm").c_str()) || round == 0);
        std::string host, worker;
        std::thread other([&] { worker = ProvideGeneratedProfile(&m_generator); });
        host = ProvideGeneratedProfile(&m_generator);
        other.join();
        EXPECT_EQ(m_folder.File("Tlb_camera.icm"), host);
        EXPECT_EQ(host, worker);
        EXPECT_EQ(std::string(1 << 20, 'a'), TempFolder::Read(host));
    }
}

TEST_F(GeneratedProfilesTest, AProfileInUseCannotBeDeletedUntilTheProcessLetsItGo)
{
    // Another process's close deletes what it can: the mark keeps it from
    // deleting a profile that this process handed out.
    const std::string path = ProvideGeneratedProfile(&m_generator);
    ASSERT_EQ(m_folder.File("Tlb_camera.icm"), path);
    EXPECT_FALSE(DeleteFileA(path.c_str()));
    EXPECT_TRUE(TempFolder::Exists(path));

    ReleaseGeneratedProfileHolds();
    EXPECT_TRUE(DeleteFileA(path.c_str()));
    EXPECT_EQ(m_folder.File("Tlb_camera.icm"), ProvideGeneratedProfile(&m_generator)) << "written again";
    EXPECT_EQ(2, m_generator.builds);
}

TEST_F(GeneratedProfilesTest, NoTemporaryFileStaysBesideTheProfile)
{
    const std::string path = ProvideGeneratedProfile(&m_generator);
    EXPECT_EQ(std::string(64, 'a'), TempFolder::Read(path));
    EXPECT_EQ(std::vector<std::string>{"Tlb_camera.icm"}, TempFolder::Matching(m_folder.File("*")));
}

} // namespace
