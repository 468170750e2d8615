#include "KelvraImageTestSupport.h"

#include "kelvra/KelvraFilterChain.h"

#include <string>

using namespace kelvra_image_test;

namespace {

constexpr KelvraTag kManagerTag = KelvraFourCC('K', 'M', 'g', 'r');

TEST(KelvraManager, BudgetAndCacheLevelComeFromTheArguments)
{
    struct {
        std::size_t budget;
        unsigned long cacheLevel;
        std::size_t expectedBudget;
        unsigned long expectedLevel;
    } const cases[] = {
        {0, 0, std::size_t(256) * 1024 * 1024, 0},
        {1 << 20, 0x30000, 1 << 20, 3},
        {0, 0x2FFFF, std::size_t(256) * 1024 * 1024, 2},
        {12345, 0x10000, 12345, 1},
    };
    for (const auto& c : cases) {
        IKelvraManager* made = nullptr;
        ASSERT_TRUE(
            Succeeded(IKelvraManager::_CreateKelvraManager(1, "C:\\page.tmp", c.budget, c.cacheLevel, 0, &made)));
        ManagerPtr manager(made);
        EXPECT_EQ(c.expectedBudget, manager->GetMemoryBudget()) << c.budget;
        EXPECT_EQ(c.expectedLevel, manager->GetCacheLevel()) << c.cacheLevel;
        EXPECT_EQ(64, manager->GetTileSize());
    }
}

TEST(KelvraManager, CreationIsRefusedWithoutAnAnswerOrWithACutPath)
{
    EXPECT_EQ(kKelvraMissingObject, CauseCode(IKelvraManager::_CreateKelvraManager(0, nullptr, 0, 0, 0, nullptr)));
    const std::string tooLong(KelvraFile::kMaxPath, 'p');
    IKelvraManager* made = reinterpret_cast<IKelvraManager*>(1);
    IKelvraError* error = IKelvraManager::_CreateKelvraManager(0, tooLong.c_str(), 0, 0, 0, &made);
    EXPECT_EQ(kManagerTag, error ? error->GetTag() : 0u);
    EXPECT_EQ(kKelvraBadArgument, CauseCode(error));
    EXPECT_EQ(nullptr, made);
}

TEST(KelvraManager, ImagesShareTheManagersGrid)
{
    ManagerPtr manager = MakeManager();
    IKelvraImage* first = nullptr;
    IKelvraImage* second = nullptr;
    ASSERT_TRUE(Succeeded(manager->CreateImage(&first)));
    ASSERT_TRUE(Succeeded(manager->CreateImage(&second, 3)));
    ImagePtr a(first), b(second);
    ASSERT_NE(first, second);
    for (IKelvraImage* image : {first, second}) {
        long tileSize = 0, strip = 0;
        ASSERT_TRUE(Succeeded(image->GetTileSize(&tileSize)));
        ASSERT_TRUE(Succeeded(image->GetStripHeight(&strip)));
        EXPECT_EQ(manager->GetTileSize(), tileSize);
        EXPECT_EQ(manager->GetTileSize(), strip);
        EXPECT_EQ(manager.get(), image->GetManager());
    }
    EXPECT_EQ(kKelvraMissingObject, CauseCode(manager->CreateImage(nullptr)));
}

TEST(KelvraManager, MakesEmptyFilterChains)
{
    ManagerPtr manager = MakeManager();
    IKelvraFilterChain* chain = nullptr;
    ASSERT_TRUE(Succeeded(manager->CreateFilterChain(&chain)));
    ASSERT_NE(nullptr, chain);
    EXPECT_EQ(0, chain->GetFilterCount());
    chain->Release();
    EXPECT_EQ(kKelvraMissingObject, CauseCode(manager->CreateFilterChain(nullptr)));
}

} // namespace
