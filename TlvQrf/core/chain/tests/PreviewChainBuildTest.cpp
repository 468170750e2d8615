// The preview chain's build on real filters: the filters of each mode, their
// order and first states, every build failure and what it leaves, the
// tear-down, and the display connection.
#include "PreviewChainTestSupport.h"

#include "ErrorChainTestSupport.h"

#include "filters/revelation/TlRevelationFilter.h"
#include "filtrix/KelvraFilterLut.h"
#include "filtrix/KelvraFilterScale.h"
#include "filtrix/KelvraFilterTransform.h"
#include "kelvra/KelvraFilterChain.h"
#include "kelvra/KelvraImage.h"
#include "kelvra/KelvraManager.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <new>
#include <set>
#include <vector>

namespace {

constexpr KelvraTag kTestTag = KelvraFourCC('T', 'e', 's', 't');

IKelvraError* TestError()
{
    return KELVRA_ERROR(nullptr, kTestTag, 1007);
}

KelvraTag Id(const char (&text)[5])
{
    return KelvraFourCC(text[0], text[1], text[2], text[3]);
}

// What each slot holds, written out from the slot table.
KelvraTag ExpectedTag(int slot)
{
    static const std::map<int, KelvraTag> tags = {
        {0, Id("db1s")},  {1, Id("db1g")},  {2, Id("LUT ")},  {3, Id("LUT ")},  {4, Id("LUT ")},
        {5, Id("LUT ")},  {6, Id("CML ")},  {7, Id("CML ")},  {8, Id("CML ")},  {9, Id("CML ")},
        {10, Id("Hist")}, {11, Id("Hist")}, {12, Id("Hist")}, {13, Id("scal")}, {14, Id("scal")},
        {15, Id("scal")}, {16, Id("scal")}, {17, Id("scal")}, {18, Id("tran")}, {19, Id("usm ")},
        {20, Id("usm ")}, {21, Id("Grid")}, {22, Id("clnr")}, {23, Id("fedg")}, {24, Id("stcp")},
        {25, Id("vgnt")}, {26, Id("BGRz")}, {27, Id("Crop")}, {28, Id("LUT ")}, {29, Id("LUT ")},
        {30, Id("CSpc")}, {31, Id("Mixr")}, {32, Id("LUT ")}, {33, Id("Thre")}, {34, Id("VCrp")},
        {35, 0x496E666F}, {36, Id("dust")}, {37, Id("rev ")}, {38, 0x5742},     {39, Id("FEye")},
        {40, Id("LCH ")}, {41, Id("ChrB")}, {42, Id("OmRe")}, {43, Id("moir")}, {44, Id("LUT ")},
        {45, Id("ABrt")},
    };
    return tags.at(slot);
}

struct SModeCase {
    std::uint32_t mode;
    std::vector<int> chainOrder;
    std::set<int> created;
};

std::set<int> AllSlotsBut(std::set<int> missing)
{
    std::set<int> slots;
    for (int slot = 0; slot < TlChainSlots::kSlotCount; ++slot) {
        if (missing.count(slot) == 0)
            slots.insert(slot);
    }
    return slots;
}

std::vector<SModeCase> ModeCases()
{
    return {
        {0, TlStageOrder::PreviewOrder(0), AllSlotsBut({30})},
        {1, TlStageOrder::PreviewOrder(1), {0, 2, 6, 13, 17, 18, 26, 39, 40, 41}},
        {2, TlStageOrder::PreviewOrder(2), AllSlotsBut({34, 35, 38})},
        {3, TlStageOrder::PreviewOrder(3), AllSlotsBut({34, 35, 38})},
    };
}

// A destination that takes or refuses its source.
class Sink : public IKelvraDataDestination {
public:
    explicit Sink(bool refuse = false) : m_refuse(refuse) {}
    IKelvraError* KelvraNotify(IKelvraDataSource*, long, void*) override { return nullptr; }
    IKelvraError* KelvraAddDataSourceCheck(IKelvraDataSource*) override { return m_refuse ? TestError() : nullptr; }

private:
    bool m_refuse;
};

// A source over a real image whose colour space cannot be read or which
// refuses every destination.
class RiggedSource : public IKelvraDataSource {
public:
    RiggedSource(IKelvraImage* image, bool noColourSpace, bool refuse)
        : m_image(image), m_noColourSpace(noColourSpace), m_refuse(refuse)
    {
    }
    IKelvraError* KelvraAddDataDestinationCheck(IKelvraDataDestination*) override
    {
        return m_refuse ? TestError() : nullptr;
    }
    IKelvraError* GetWidth(long* width) override { return m_image->GetWidth(width); }
    IKelvraError* GetHeight(long* height) override { return m_image->GetHeight(height); }
    IKelvraError* GetColorSpace(KelvraPixelFormat* format) override
    {
        return m_noColourSpace ? TestError() : m_image->GetColorSpace(format);
    }
    IKelvraError* GetResolution(double* dpi) override { return m_image->GetResolution(dpi); }
    IKelvraError* GetFlip(bool* flip) override { return m_image->GetFlip(flip); }
    IKelvraError* GetRotation(double* degrees) override { return m_image->GetRotation(degrees); }
    IKelvraError* GetTileSize(long* size) override { return m_image->GetTileSize(size); }
    IKelvraError* GetPalette(KelvraPalette* palette) override { return m_image->GetPalette(palette); }
    using IKelvraDataSource::TileExists;
    IKelvraError* TileExists(long column, long row, bool* exists) override
    {
        return m_image->TileExists(column, row, exists);
    }
    using IKelvraDataSource::LockTile;
    IKelvraError* LockTile(long column, long row, const void** data, KelvraRect* rect, long* rowBytes) override
    {
        return m_image->LockTile(column, row, data, rect, rowBytes);
    }
    using IKelvraDataSource::UnlockTile;
    IKelvraError* UnlockTile(long column, long row) override { return m_image->UnlockTile(column, row); }

private:
    IKelvraImage* m_image;
    bool m_noColourSpace;
    bool m_refuse;
};

// A manager that makes everything but filter chains.
class ChainlessManager : public IKelvraManager {
public:
    explicit ChainlessManager(IKelvraManager* real) : m_real(real) {}
    ~ChainlessManager() override = default;
    IKelvraError* CreateImage(IKelvraImage** image, long kind) override { return m_real->CreateImage(image, kind); }
    IKelvraError* CreateFilterChain(IKelvraFilterChain**) override { return TestError(); }
    long GetTileSize() const override { return m_real->GetTileSize(); }
    std::size_t GetMemoryBudget() const override { return m_real->GetMemoryBudget(); }
    unsigned long GetCacheLevel() const override { return m_real->GetCacheLevel(); }
    void Release() override {}

private:
    IKelvraManager* m_real;
};

// Filters of the table that fail one step of the build.
class LutRefusingToBeDisabled : public CKelvraFilterLut {
public:
    using CKelvraFilterLut::CKelvraFilterLut;
    IKelvraError* Enable(bool enabled, bool notify) override
    {
        return enabled ? CKelvraFilterLut::Enable(enabled, notify) : TestError();
    }
};

class RevelationRefusingWatchers : public CRevelationFilter {
public:
    using CRevelationFilter::CRevelationFilter;
    IKelvraError* AddWatcher(CKelvraFilterWatcher*) override { return TestError(); }
};

class TransformRefusingSources : public CKelvraFilterTransform {
public:
    using CKelvraFilterTransform::CKelvraFilterTransform;
    IKelvraError* KelvraAddDataSourceCheck(IKelvraDataSource*) override { return TestError(); }
};

// A chain whose slots can be made to fail or hold a chosen filter.
class RiggedChain : public CTlCadraFilterChain {
public:
    using Maker = std::function<std::unique_ptr<CKelvraFilterBase>(IKelvraManager*)>;

    int failSlot = -1;
    bool throwOnFail = false;
    std::map<int, Maker> replacements;
    std::vector<int> tried;

protected:
    std::unique_ptr<CKelvraFilterBase> CreateSlotFilter(int slot) override
    {
        tried.push_back(slot);
        if (slot == failSlot) {
            if (throwOnFail)
                throw std::bad_alloc();
            return nullptr;
        }
        auto replacement = replacements.find(slot);
        if (replacement != replacements.end())
            return replacement->second(GetManager());
        return CTlCadraFilterChain::CreateSlotFilter(slot);
    }
};

class PreviewChainBuild : public PreviewChainFixture {
protected:
    PreviewChainBuild() : PreviewChainFixture(kKelvraRGB16) {}

    // The torn-down state every failing build after the creation leaves.
    static void ExpectTornDown(const CTlCadraFilterChain& chain)
    {
        EXPECT_FALSE(chain.IsBuilt());
        EXPECT_EQ(chain.GetChain(), nullptr);
        EXPECT_FALSE(chain.HasSlotTable());
        EXPECT_EQ(chain.GetManager(), nullptr);
    }
};

} // namespace

TEST_F(PreviewChainBuild, EachModeHoldsItsFiltersInItsOrderAllDisabledButTheChannelOrder)
{
    for (const SModeCase& mode : ModeCases()) {
        SCOPED_TRACE(mode.mode);
        CTlCadraFilterChain chain;
        chain.SetMode(mode.mode);
        ASSERT_EQ(Build(chain), 0);
        ASSERT_TRUE(chain.IsBuilt());
        IKelvraFilterChain* filters = chain.GetChain();
        ASSERT_NE(filters, nullptr);
        ASSERT_EQ(filters->GetFilterCount(), long(mode.chainOrder.size()));
        for (std::size_t i = 0; i < mode.chainOrder.size(); ++i) {
            const int slot = mode.chainOrder[i];
            SCOPED_TRACE(slot);
            ASSERT_EQ(filters->GetFilter(long(i)), chain.GetSlot(slot));
            EXPECT_EQ(filters->GetFilter(long(i))->GetFilterTag(), ExpectedTag(slot));
        }
        for (int slot = 0; slot < TlChainSlots::kSlotCount; ++slot) {
            SCOPED_TRACE(slot);
            CKelvraFilterBase* filter = chain.GetSlot(slot);
            ASSERT_EQ(filter != nullptr, mode.created.count(slot) == 1);
            if (filter == nullptr)
                continue;
            EXPECT_EQ(filter->GetFilterTag(), ExpectedTag(slot));
            EXPECT_EQ(filter->IsEnabled(), slot == TlChainSlots::kChannelOrder);
        }
        EXPECT_TRUE(KelvraIsConnected(m_image, filters));
    }
}

TEST_F(PreviewChainBuild, ChannelOrderSwitchedOffLeavesEveryFilterDisabled)
{
    m_chain.SetChannelOrder(false);
    ASSERT_EQ(Build(m_chain), 0);
    EXPECT_FALSE(m_chain.GetSlot(TlChainSlots::kChannelOrder)->IsEnabled());
    EXPECT_EQ(m_chain.SetChannelOrder(true), 0);
    EXPECT_TRUE(m_chain.GetSlot(TlChainSlots::kChannelOrder)->IsEnabled());
}

TEST_F(PreviewChainBuild, ScaleFiltersAreMadeWithTheMethodsOfTheirMode)
{
    struct {
        std::uint32_t mode;
        std::uint32_t scaleMethod;
        std::map<int, long> methods;
    } const cases[] = {
        {0, 0, {{13, 1}, {14, 1}, {15, 2}, {16, 0}, {17, 2}}},
        {0, 2, {{13, 1}, {14, 1}, {15, 2}, {16, 0}, {17, 2}}},
        {1, 0, {{13, 1}, {17, 2}}},
        {2, 0, {{13, 0}, {14, 0}, {15, 0}, {16, 0}, {17, 2}}},
        {3, 2, {{13, 2}, {14, 2}, {15, 2}, {16, 2}, {17, 2}}},
    };
    for (const auto& entry : cases) {
        SCOPED_TRACE(entry.mode);
        CTlCadraFilterChain chain;
        chain.SetMode(entry.mode);
        chain.SetScaleMethod(entry.scaleMethod);
        ASSERT_EQ(Build(chain), 0);
        for (const auto& method : entry.methods) {
            SCOPED_TRACE(method.first);
            auto* scale = dynamic_cast<CKelvraFilterScale*>(chain.GetSlot(method.first));
            ASSERT_NE(scale, nullptr);
            EXPECT_EQ(scale->GetMethod(), method.second);
        }
    }
}

TEST_F(PreviewChainBuild, TheToneStagesStartWithTheirTables)
{
    for (std::uint32_t mode : {0u, 1u, 2u}) {
        SCOPED_TRACE(mode);
        CTlCadraFilterChain chain;
        chain.SetMode(mode);
        ASSERT_EQ(Build(chain), 0);
        for (int slot : {2, 3, 4}) {
            auto* lut = dynamic_cast<CKelvraFilterLut*>(chain.GetSlot(slot));
            if (lut == nullptr)
                continue;
            SCOPED_TRACE(slot);
            EXPECT_EQ(lut->GetTableCount(), 3);
            EXPECT_EQ(lut->GetInputBits(), 12);
            EXPECT_EQ(lut->GetOutputBits(), 16);
        }
        if (auto* fixed = dynamic_cast<CKelvraFilterLut*>(chain.GetSlot(TlChainSlots::kFixedToneLut))) {
            EXPECT_EQ(fixed->GetOutputBits(), 8);
        }
        if (CKelvraFilterBase* revelation = chain.GetSlot(TlChainSlots::kRevelation)) {
            EXPECT_TRUE(chain.IsWatching(revelation));
        }
    }
}

TEST_F(PreviewChainBuild, EveryFilterGetsThePolicyButTheSlotsWithTheirOwn)
{
    const std::map<int, long> own = {{2, 1},  {3, 1},  {4, 1},  {5, 1},  {28, 1}, {29, 1}, {44, 1},
                                     {13, 1}, {14, 1}, {15, 1}, {16, 1}, {17, 1}, {22, 0}, {23, 0},
                                     {19, 0}, {20, 0}, {21, 2}, {10, 1}, {11, 1}, {12, 1}, {18, 1}};
    for (std::uint32_t policy : {0u, 2u}) {
        SCOPED_TRACE(policy);
        CTlCadraFilterChain chain;
        chain.SetCacheUsage(policy);
        ASSERT_EQ(Build(chain), 0);
        for (int slot = 0; slot < TlChainSlots::kSlotCount; ++slot) {
            CKelvraFilterBase* filter = chain.GetSlot(slot);
            if (filter == nullptr)
                continue;
            SCOPED_TRACE(slot);
            long usage = -1;
            ExpectOk(filter->GetCacheUsage(&usage));
            EXPECT_EQ(usage, own.count(slot) != 0 ? own.at(slot) : long(policy));
        }
    }
}

TEST_F(PreviewChainBuild, SettersThatActOnBuiltFilters)
{
    m_chain.SetMode(0);
    ASSERT_EQ(Build(m_chain), 0);
    m_chain.SetMode(2);
    EXPECT_EQ(m_chain.GetMode(), 0u) << "the mode stays while built";

    EXPECT_EQ(m_chain.SetScaleMethod(2), 0);
    for (int slot = 13; slot <= 16; ++slot)
        EXPECT_EQ(dynamic_cast<CKelvraFilterScale*>(m_chain.GetSlot(slot))->GetMethod(), 2) << slot;
    EXPECT_EQ(dynamic_cast<CKelvraFilterScale*>(m_chain.GetSlot(17))->GetMethod(), 2);
    EXPECT_EQ(m_chain.SetScaleMethod(7), 1) << "a method the filters refuse";

    EXPECT_EQ(m_chain.SetCacheUsage(2), 0);
    long usage = -1;
    ExpectOk(m_chain.GetSlot(0)->GetCacheUsage(&usage));
    EXPECT_EQ(usage, 2);
    EXPECT_EQ(m_chain.SetSizeMode(1), true);
    EXPECT_EQ(m_chain.SetSizeMode(1), false);
}

TEST_F(PreviewChainBuild, CallsThatChangeNothing)
{
    EXPECT_EQ(m_chain.BuildPreviewChain(nullptr, m_image, nullptr), 2);
    EXPECT_EQ(m_chain.BuildPreviewChain(m_manager, nullptr, nullptr), 2);
    EXPECT_FALSE(m_chain.HasSlotTable());
    EXPECT_FALSE(m_chain.IsBuilt());

    ASSERT_EQ(Build(m_chain), 0);
    IKelvraFilterChain* built = m_chain.GetChain();
    CKelvraFilterBase* firstSlot = m_chain.GetSlot(0);
    EXPECT_EQ(Build(m_chain), 4);
    EXPECT_TRUE(m_chain.IsBuilt());
    EXPECT_EQ(m_chain.GetChain(), built);
    EXPECT_EQ(m_chain.GetSlot(0), firstSlot);
    EXPECT_EQ(m_chain.GetChain()->GetFilterCount(), 45);

    EXPECT_EQ(m_chain.ConnectDestination(nullptr), 0);
    EXPECT_EQ(m_chain.DisconnectDestination(nullptr), 0);
    EXPECT_TRUE(m_chain.IsBuilt());
}

TEST_F(PreviewChainBuild, AFilterThatCannotBeMadeEndsTheCreationWithCode3)
{
    for (std::uint32_t mode : {0u, 1u, 2u}) {
        const std::vector<int> order = TlChainSlots::CreationOrder(mode);
        for (std::size_t at : {std::size_t(0), order.size() / 2, order.size() - 1}) {
            for (bool throwing : {false, true}) {
                SCOPED_TRACE(testing::Message() << "mode " << mode << " slot " << order[at] << " throw " << throwing);
                RiggedChain chain;
                chain.SetMode(mode);
                chain.failSlot = order[at];
                chain.throwOnFail = throwing;
                EXPECT_EQ(Build(chain), 3);
                ExpectTornDown(chain);
                EXPECT_EQ(chain.tried.size(), at + 1) << "no slot after the failing one is tried";
            }
        }
    }
}

TEST_F(PreviewChainBuild, AnUnreadableColourSpaceGives6WithAnEmptyTable)
{
    RiggedSource source(m_image, true, false);
    EXPECT_EQ(m_chain.BuildPreviewChain(m_manager, &source, nullptr), 6);
    EXPECT_FALSE(m_chain.IsBuilt());
    EXPECT_EQ(m_chain.GetChain(), nullptr);
    EXPECT_TRUE(m_chain.HasSlotTable());
    for (int slot = 0; slot < TlChainSlots::kSlotCount; ++slot)
        EXPECT_EQ(m_chain.GetSlot(slot), nullptr) << slot;
    EXPECT_EQ(Build(m_chain), 0) << "the next build fills the table";
}

TEST_F(PreviewChainBuild, AFilterThatCannotBeSetUpGives7)
{
    struct SCase {
        const char* what;
        int slot;
        RiggedChain::Maker maker;
    };
    const SCase cases[] = {
        {"a filter refuses to be disabled", 2,
         [](IKelvraManager* m) { return std::make_unique<LutRefusingToBeDisabled>(m); }},
        {"the Revelation filter refuses its watcher", 37,
         [](IKelvraManager* m) { return std::make_unique<RevelationRefusingWatchers>(m); }},
        {"a filter refuses its place in the chain", 18,
         [](IKelvraManager* m) { return std::make_unique<TransformRefusingSources>(m); }},
    };
    for (const SCase& entry : cases) {
        SCOPED_TRACE(entry.what);
        RiggedChain chain;
        chain.replacements[entry.slot] = entry.maker;
        EXPECT_EQ(Build(chain), 7);
        ExpectTornDown(chain);
    }
}

// A failed build keeps, for the control to hand on, which stage failed with
// the filter's own error innermost; taking it empties the chain object.
TEST_F(PreviewChainBuild, AFailedBuildKeepsTheStageAndTheFiltersError)
{
    struct SCase {
        const char* what;
        int slot; // -1: the source fails
        RiggedChain::Maker maker;
        int code;
        const char* text;
    };
    const SCase cases[] = {
        {"a filter refuses to be disabled", 2,
         [](IKelvraManager* m) { return std::make_unique<LutRefusingToBeDisabled>(m); }, 7,
         "the preview chain failed at the square-law table (7)"},
        {"the Revelation filter refuses its watcher", 37,
         [](IKelvraManager* m) { return std::make_unique<RevelationRefusingWatchers>(m); }, 7,
         "the preview chain failed at the Revelation filter (7)"},
        {"a filter refuses its place in the chain", 18,
         [](IKelvraManager* m) { return std::make_unique<TransformRefusingSources>(m); }, 7,
         "the preview chain failed at the transform (7)"},
        {"the source's colour space cannot be read", -1, nullptr, 6, "pixel format"},
    };
    for (const SCase& entry : cases) {
        SCOPED_TRACE(entry.what);
        RiggedChain chain;
        RiggedSource source(m_image, true, false);
        if (entry.slot >= 0) {
            chain.replacements[entry.slot] = entry.maker;
            EXPECT_EQ(Build(chain), entry.code);
        } else {
            EXPECT_EQ(chain.BuildPreviewChain(m_manager, &source, nullptr), entry.code);
        }
        IKelvraError* failure = chain.TakeFailure();
        IKelvraError* expected = TestError();
        EXPECT_TRUE(error_chain_test::SameCause(failure, expected));
        EXPECT_TRUE(error_chain_test::ChainMentions(failure, entry.text));
        IKelvraError::Release(expected);
        IKelvraError::Release(failure);
        EXPECT_EQ(chain.TakeFailure(), nullptr) << "taken once";
    }
    EXPECT_EQ(Build(m_chain), 0);
    EXPECT_EQ(m_chain.TakeFailure(), nullptr) << "a good build leaves none";
}

TEST_F(PreviewChainBuild, NoFilterChainFromTheManagerGives7)
{
    ChainlessManager manager(m_manager);
    EXPECT_EQ(m_chain.BuildPreviewChain(&manager, m_image, nullptr), 7);
    ExpectTornDown(m_chain);
}

TEST_F(PreviewChainBuild, NoGammaCachesBeforeTheLibraryStartsGives7)
{
    CTlFileSavingUtilities* watcher = ExchangeCurrentFileWatcher(nullptr);
    EXPECT_EQ(Build(m_chain), 7);
    ExchangeCurrentFileWatcher(watcher);
    ExpectTornDown(m_chain);
}

TEST_F(PreviewChainBuild, AConnectionRefusedDuringTheBuildGives8AndTheNextBuildStartsAfresh)
{
    Sink refusing(true);
    EXPECT_EQ(Build(m_chain, &refusing), 8);
    ExpectTornDown(m_chain);
    EXPECT_EQ(KelvraDestinationCount(m_image), 0) << "the image is let go";

    RiggedSource source(m_image, false, true);
    EXPECT_EQ(m_chain.BuildPreviewChain(m_manager, &source, nullptr), 8);
    ExpectTornDown(m_chain);

    Sink sink;
    ASSERT_EQ(Build(m_chain, &sink), 0);
    EXPECT_TRUE(KelvraIsConnected(m_chain.GetChain(), &sink));
}

TEST_F(PreviewChainBuild, TearDownLeavesNothingAndTheNextBuildBuildsAnew)
{
    Sink sink;
    ASSERT_EQ(Build(m_chain, &sink), 0);
    m_chain.ReleaseChain();
    ExpectTornDown(m_chain);
    EXPECT_EQ(KelvraDestinationCount(m_image), 0);
    ASSERT_EQ(Build(m_chain), 0);
    EXPECT_EQ(m_chain.GetChain()->GetFilterCount(), 45);
    EXPECT_TRUE(KelvraIsConnected(m_image, m_chain.GetChain()));
}

TEST_F(PreviewChainBuild, ConnectAndDisconnectADisplay)
{
    ASSERT_EQ(Build(m_chain), 0);
    Sink sink;
    EXPECT_EQ(m_chain.ConnectDestination(&sink), 0);
    EXPECT_TRUE(KelvraIsConnected(m_chain.GetChain(), &sink));
    EXPECT_EQ(m_chain.DisconnectDestination(&sink), 0);
    EXPECT_FALSE(KelvraIsConnected(m_chain.GetChain(), &sink));
    EXPECT_TRUE(m_chain.IsBuilt());
}

TEST_F(PreviewChainBuild, AFailedConnectOrDisconnectTearsTheChainDown)
{
    struct {
        const char* what;
        std::function<int(CTlCadraFilterChain&, Sink&)> call;
        bool refuse;
    } const cases[] = {
        {"connect refused", [](CTlCadraFilterChain& c, Sink& s) { return c.ConnectDestination(&s); }, true},
        {"disconnect of a display never connected",
         [](CTlCadraFilterChain& c, Sink& s) { return c.DisconnectDestination(&s); }, false},
        {"connect twice",
         [](CTlCadraFilterChain& c, Sink& s) {
             c.ConnectDestination(&s);
             return c.ConnectDestination(&s);
         },
         false},
    };
    for (const auto& entry : cases) {
        SCOPED_TRACE(entry.what);
        CTlCadraFilterChain chain;
        ASSERT_EQ(Build(chain), 0);
        Sink sink(entry.refuse);
        EXPECT_EQ(entry.call(chain, sink), 8);
        ExpectTornDown(chain);
        EXPECT_EQ(KelvraDestinationCount(m_image), 0);
        EXPECT_EQ(chain.ConnectDestination(&sink), 8) << "nothing to connect until built again";
    }
}
