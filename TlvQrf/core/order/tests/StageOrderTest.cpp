// The one stage order both chains are built from: every preview slot stands
// in it once, each preview mode gets the slots of its contract in their
// order, and the stages the preview and the full-resolution chain share
// keep the same order relative to each other in both.
#include "chain/TlChainSlots.h"
#include "order/TlStageOrder.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace TlStageOrder;

// The stages of `chain` among `stages` that the other chain has too.
std::vector<TlStage> SharedOf(const std::vector<TlStage>& stages, std::uint32_t chain)
{
    std::vector<TlStage> shared;
    for (TlStage stage : stages) {
        const STlStageEntry& entry = StageEntry(stage);
        if (IsShared(entry) && (entry.chains & chain) != 0)
            shared.push_back(stage);
    }
    return shared;
}

std::vector<TlStage> StagesOfSlots(const std::vector<int>& slots)
{
    std::vector<TlStage> stages;
    for (int slot : slots) {
        const STlStageEntry* entry = PreviewSlotEntry(slot);
        EXPECT_NE(entry, nullptr) << slot;
        if (entry != nullptr)
            stages.push_back(entry->stage);
    }
    return stages;
}

} // namespace

TEST(StageOrder, EveryEntryIsFoundByItsStageAndSaysWhyItStandsThere)
{
    const std::vector<STlStageEntry>& order = StageOrder();
    for (std::size_t i = 0; i < order.size(); ++i) {
        const STlStageEntry& entry = order[i];
        SCOPED_TRACE(entry.name);
        EXPECT_EQ(&StageEntry(entry.stage), &entry);
        EXPECT_FALSE(std::string(entry.name).empty());
        EXPECT_GT(std::string(entry.reason).size(), 10u);
        EXPECT_NE(entry.chains, 0u) << "stands in some chain";
        EXPECT_TRUE(entry.previewSlot != kNoSlot || (entry.chains & kEveryPreview) == 0)
            << "a preview stage has its slot";
    }
}

TEST(StageOrder, EveryPreviewSlotStandsOnceInTheOrder)
{
    std::map<int, int> seen;
    for (const STlStageEntry& entry : StageOrder()) {
        if (entry.previewSlot != kNoSlot)
            ++seen[entry.previewSlot];
    }
    ASSERT_EQ(seen.size(), std::size_t(TlChainSlots::kSlotCount));
    for (const auto& slot : seen) {
        EXPECT_GE(slot.first, 0);
        EXPECT_LT(slot.first, TlChainSlots::kSlotCount);
        EXPECT_EQ(slot.second, 1) << "slot " << slot.first;
        EXPECT_EQ(PreviewSlotEntry(slot.first)->previewSlot, slot.first);
    }
    EXPECT_EQ(PreviewSlotEntry(kNoSlot), nullptr);
    EXPECT_EQ(PreviewSlotEntry(TlChainSlots::kSlotCount), nullptr);
}

// The preview chain's order is part of its contract with the holders that
// find filters by their place: the order table must give exactly these.
TEST(StageOrder, EachPreviewModeGetsTheSlotsOfItsContract)
{
    const std::vector<int> full = {0,  1,  2,  36, 25, 38, 4,  43, 37, 42, 13, 3,  11, 5,  39,
                                   27, 23, 6,  22, 7,  44, 24, 12, 41, 40, 19, 20, 8,  35, 28,
                                   10, 14, 29, 45, 31, 32, 15, 17, 33, 9,  18, 16, 21, 34, 26};
    const std::vector<int> reduced = {0,  1,  2,  36, 25, 4,  43, 37, 42, 13, 3,  11, 5,  39, 27,
                                      23, 6,  22, 7,  44, 24, 12, 41, 40, 19, 20, 8,  28, 10, 14,
                                      29, 45, 31, 32, 15, 17, 33, 9,  30, 18, 16, 21, 26};
    const struct {
        std::uint32_t mode;
        std::vector<int> order;
    } cases[] = {
        {0, full}, {1, {0, 2, 13, 39, 6, 18, 26}}, {2, reduced}, {3, reduced}, {7, reduced},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        EXPECT_EQ(TlChainSlots::ChainOrder(c.mode), c.order);
        EXPECT_EQ(PreviewOrder(c.mode), c.order);
    }
}

// Every slot a mode's chain holds is one the mode creates.
TEST(StageOrder, EachModeChainsOnlySlotsItCreates)
{
    for (std::uint32_t mode : {0u, 1u, 2u}) {
        SCOPED_TRACE(mode);
        const std::vector<int> created = TlChainSlots::CreationOrder(mode);
        const std::set<int> made(created.begin(), created.end());
        EXPECT_EQ(made.size(), created.size()) << "each slot made once";
        for (int slot : TlChainSlots::ChainOrder(mode))
            EXPECT_EQ(made.count(slot), 1u) << slot;
    }
}

// A stage both chains have stands, relative to the other shared stages, in
// the same place in the preview of each mode as in the full-resolution
// chain.
TEST(StageOrder, StagesBothChainsShareKeepTheirRelativeOrder)
{
    const std::vector<TlStage> fullResolution = FullResolutionOrder();
    for (std::uint32_t mode : {0u, 1u, 2u}) {
        SCOPED_TRACE(mode);
        const std::vector<TlStage> preview = StagesOfSlots(TlChainSlots::ChainOrder(mode));
        const std::vector<TlStage> shared = SharedOf(preview, kFullResolution);
        EXPECT_EQ(shared, SharedOf(fullResolution, PreviewChainOf(mode)));
        EXPECT_GE(shared.size(), mode == 1 ? 3u : 25u) << "the chains share their main stages";
    }
}

// The full-resolution chain's stages in the order its build appends them.
TEST(StageOrder, FullResolutionStagesStandInTheirOrder)
{
    using S = TlStage;
    const std::vector<TlStage> expected = {
        S::Resolution,       S::DeBayer,         S::SquareTable,     S::Dust,
        S::Vignette,         S::RootTable,       S::Moire,           S::Revelation,
        S::SecondSquareTable, S::ToneTable,      S::RedEye,          S::PreStretch,
        S::Fisheye,          S::Crop,            S::FineEdge,        S::Lab,
        S::ColourNoise,      S::MainScale,       S::Lch,             S::Saturation,
        S::ChromaBoost,      S::LchCurves,       S::CameraSharpening, S::MixerSharpening,
        S::ListSharpening,   S::OutputColour,    S::Transform,       S::BrightnessHistogram,
        S::CurveTable,       S::AutoBrightness,  S::ChannelMixer,    S::ToningTable,
        S::ColourSpace,      S::Upscale,         S::FinalStretch,
    };
    EXPECT_EQ(FullResolutionOrder(), expected);
}
