// The plug-in manager's registration on plug-ins made by hand (no library),
// in an order the test chooses, and with memory running out midway.
#include "ServiceRouter.h"

#include "runbase/TlvFunctionData.h"
#include "runbase/TlvMessageCodes.h"
#include "runbase/TlvResultCodes.h"
#include "support/ProcessHeap.h"

#include <gtest/gtest.h>

#include <memory>
#include <new>

namespace {

// Allocations left before one fails; negative: none fails.
int g_allocationsBeforeFailure = -1;

} // namespace

void* operator new(std::size_t size)
{
    if (g_allocationsBeforeFailure == 0) {
        g_allocationsBeforeFailure = -1;
        throw std::bad_alloc();
    }
    if (g_allocationsBeforeFailure > 0)
        --g_allocationsBeforeFailure;
    return ProcessHeapAllocate(size);
}

void operator delete(void* block) noexcept
{
    ProcessHeapFree(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    operator delete(block);
}

namespace {

std::vector<int> g_announced;

unsigned long __cdecl RecordAnnouncement(TlvWord code, TlvWord, TlvWord, TlvWord record, TlvWord, TlvWord, TlvWord,
                                         TlvWord, TlvWord)
{
    if (code == TLV_MSG_REGISTER_FUNCTIONS)
        g_announced.push_back(reinterpret_cast<const CTlvFunctionData*>(record)->m_id);
    return TLV_OK;
}

// Plug-ins that register are the manager's, which deletes them; the test
// deletes those that fail.
class Registration : public ::testing::Test {
protected:
    static ServicePlugin* Plugin(std::initializer_list<int> ids)
    {
        auto* plugin = new ServicePlugin;
        for (int id : ids) {
            TlvFunctionEntry entry;
            entry.functionId = id;
            plugin->Info().functions.push_back(entry);
        }
        return plugin;
    }

    static std::vector<int> Ids(const ServicePlugin& plugin)
    {
        std::vector<int> ids;
        for (const TlvFunctionEntry& entry : plugin.Info().functions)
            ids.push_back(entry.functionId);
        return ids;
    }

    ServiceHost manager;
};

TEST_F(Registration, FreshIdsSkipIdsAlreadyTakenAndRiseInClashOrder)
{
    ServicePlugin* owner = Plugin({0x20FF});
    ServicePlugin* first = Plugin({0x2012});
    ServicePlugin* second = Plugin({0x2012, 0x2012});
    ServicePlugin* third = Plugin({0x2100});
    for (ServicePlugin* plugin : {owner, first, second, third})
        ASSERT_EQ(TLV_OK, manager.Register(*plugin));
    EXPECT_EQ(std::vector<int>{0x20FF}, Ids(*owner));
    EXPECT_EQ(std::vector<int>{0x2012}, Ids(*first));
    EXPECT_EQ((std::vector<int>{0x2100, 0x2101}), Ids(*second));
    EXPECT_EQ(std::vector<int>{0x2102}, Ids(*third));
    EXPECT_EQ(4u, manager.Plugins().size());
    EXPECT_EQ(second, manager.FindOwner(0x2101));
}

TEST_F(Registration, AFailedRegistrationWithdrawsEveryIdOfThePlugin)
{
    ServicePlugin* kept = Plugin({0x2050});
    ASSERT_EQ(TLV_OK, manager.Register(*kept));
    for (int allocations = 0; allocations < 3; ++allocations) {
        SCOPED_TRACE(allocations);
        std::unique_ptr<ServicePlugin> failing(Plugin({0x2012, 0x2013}));
        g_allocationsBeforeFailure = allocations;
        const unsigned long result = manager.Register(*failing);
        g_allocationsBeforeFailure = -1;
        EXPECT_EQ(TLV_ERR_OUT_OF_MEMORY, result);
        EXPECT_EQ(1u, manager.Ids().size());
        EXPECT_EQ(std::vector<ServicePlugin*>{kept}, manager.Plugins());
    }

    g_announced.clear();
    ServiceRouter router(manager);
    ASSERT_EQ(TLV_OK, router.Initialize(&RecordAnnouncement));
    EXPECT_EQ(std::vector<int>{0x2050}, g_announced);
    EXPECT_EQ(kept, router.Current());
    EXPECT_EQ(TLV_ERR_UNSUPPORTED_SOURCE, router.Message({TLV_MSG_RUN_FUNCTION, 0x2012, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(TLV_ERR_NOT_FOUND, router.Message({TLV_MSG_QUERY_FUNCTION, 0x2013, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(kept, router.Current());
}

} // namespace
