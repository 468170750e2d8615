// The scripted host as a module meets it: items and what they lack at the
// first ask, the selection and the view, refusals, counted services,
// recorded callbacks and the pump.
#include "HostTestPictures.h"

#include "TlHost.h"

#include "kelvra/KelvraImage.h"
#include "pellio/Pellio.h"
#include "pellio/PellioFormats.h"
#include "runbase/TlvItemData.h"
#include "runbase/TlvMessageCodes.h"
#include "runbase/TlvRecordTypes.h"
#include "runbase/TlvResultCodes.h"
#include "runbase/TlvSourceData.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace {

constexpr std::uint32_t kIptcTag = 33723;
const std::string kFileIptc = "\x1C\x02\x78\x00\x05" "chart";

template <class Service>
Service* Take(CTlHost& host, int id)
{
    void* object = nullptr;
    EXPECT_EQ(TLV_OK, host.GetObject(id, &object)) << id;
    return static_cast<Service*>(object);
}

unsigned long Ask(unsigned long code, TlvItemId item, TlvWord subValue = 0)
{
    return CTlHost::GetCallback()(code, TlvItemLow(item), TlvItemHigh(item), 0, 0, 0, subValue, 10, 0);
}

std::string IptcOf(ITlvEditObject* edit)
{
    IKelvraTagControl* tags = edit->GetTagControl();
    if (tags == nullptr || !tags->HasTag(kIptcTag, 0) || tags->GetTagType(kIptcTag) != kKelvraTagTypeDataHeader)
        return std::string();
    std::string bytes(tags->GetTagSize(kIptcTag, 0), '\0');
    KelvraTagDataHeader header{1, std::uint32_t(bytes.size()), &bytes[0]};
    IKelvraError* error = tags->GetTag(kIptcTag, kKelvraTagTypeDataHeader, sizeof header, &header, 0);
    IKelvraError::Release(error);
    return error == nullptr ? bytes : std::string();
}

class HostScript : public ::testing::Test {
protected:
    void SetUp() override
    {
        IKelvraTagControl* tags = nullptr;
        ASSERT_EQ(nullptr, CreateTagControl(&tags));
        PellioTagsPtr owned(tags);
        KelvraTagDataHeader header{1, std::uint32_t(kFileIptc.size()), const_cast<char*>(kFileIptc.data())};
        ASSERT_EQ(nullptr, tags->AddTag(kIptcTag));
        ASSERT_EQ(nullptr, tags->SetTag(kIptcTag, kKelvraTagTypeDataHeader, sizeof header, &header));
        ASSERT_TRUE(WriteTestPicture(folder.File("a.jpg"), kPellioFormatJpeg, 120, 80, tags));
        TlHostItem item;
        item.id = 0x100000001ull;
        item.path = folder.File("a.jpg");
        item.name = "Chart";
        script.items.push_back(item);
    }

    TempFolder folder;
    CTlHostScript script;
};

TEST_F(HostScript, ItemsAnswerWhatTheScriptAndTheirFilesSay)
{
    TlHostItem& flagged = script.items[0];
    flagged.sourceFlags = 0x400000;
    flagged.fileKind = 0x200;
    CTlHost host(script);
    auto* items = Take<ITlvItemService>(host, TLV_SERVICE_ITEMS);
    CTlvSourceData* source = nullptr;
    ASSERT_EQ(TLV_OK, items->GetSourceData(flagged.id, TLV_SOURCE_QUERY_FILE, -1, &source));
    EXPECT_EQ(DWORD(TLV_SOURCE_STILL), source->m_sourceClass);
    EXPECT_EQ(0x400000u, source->m_flags);
    EXPECT_EQ(0x200u, source->m_fileKind);
    EXPECT_EQ(120, source->m_width);
    EXPECT_EQ(80, source->m_height);
    EXPECT_EQ(TempFolder::Read(flagged.path).size(), source->m_fileSize);
    EXPECT_EQ(flagged.path, source->m_filePath.GetFullPath());
    CTlvItemData* data = nullptr;
    ASSERT_EQ(TLV_OK, items->GetItemData(flagged.id, &data));
    EXPECT_EQ("Chart", data->m_name);
    EXPECT_EQ(TLV_ERR_FAILED, items->GetSourceData(7, TLV_SOURCE_QUERY_FILE, -1, &source));
    EXPECT_EQ(nullptr, source);
    items->Release();
}

TEST_F(HostScript, EditObjectHoldsTheLoadersIptcBlockOrTheScriptsOwn)
{
    for (const std::string& scripted : {std::string(), std::string("\x1C\x02\x05\x00\x03" "own")}) {
        script.items[0].iptc = scripted;
        CTlHost host(script);
        auto* items = Take<ITlvItemService>(host, TLV_SERVICE_ITEMS);
        ITlvEditObject* edit = nullptr;
        ASSERT_EQ(TLV_OK, items->GetEditObject(script.items[0].id, &edit));
        EXPECT_EQ(scripted.empty() ? kFileIptc : scripted, IptcOf(edit));
        items->Release();
    }
}

// What an item lacks at the first ask stays missing until the module asks
// the host to load it, with the message that loads it.
TEST_F(HostScript, MissingAtTheFirstAskUntilLoaded)
{
    TlHostItem& item = script.items[0];
    item.sourceMissingFirst = item.itemDataMissingFirst = item.editMissingFirst = item.recordMissingFirst = true;
    CTlHost host(script);
    auto* items = Take<ITlvItemService>(host, TLV_SERVICE_ITEMS);
    CTlvSourceData* source = nullptr;
    CTlvItemData* data = nullptr;
    ITlvEditObject* edit = nullptr;
    ITlvItemRecord* record = nullptr;
    EXPECT_EQ(TLV_ERR_FAILED, items->GetSourceData(item.id, TLV_SOURCE_QUERY_FILE, -1, &source));
    EXPECT_EQ(TLV_ERR_FAILED, items->GetEditObject(item.id, &edit));
    EXPECT_EQ(TLV_ERR_FAILED, items->GetItemData(item.id, &data));
    EXPECT_EQ(TLV_ERR_FAILED, items->GetItemRecord(item.id, &record));

    EXPECT_EQ(TLV_OK, Ask(TLV_MSG_LOAD_SOURCE_DATA, item.id, 1));
    EXPECT_EQ(TLV_OK, items->GetSourceData(item.id, TLV_SOURCE_QUERY_FILE, -1, &source));
    EXPECT_EQ(TLV_OK, items->GetEditObject(item.id, &edit));
    EXPECT_EQ(TLV_ERR_FAILED, items->GetItemRecord(item.id, &record));

    EXPECT_EQ(TLV_OK, Ask(TLV_MSG_LOAD_ITEM_PART, item.id));
    ASSERT_EQ(TLV_OK, items->GetItemRecord(item.id, &record));
    KelvraPixelFormat format = 0;
    ASSERT_EQ(nullptr, record->GetImage()->GetColorSpace(&format));
    EXPECT_EQ(kKelvraRGB8, format);
    IKelvraImage* part = nullptr;
    ASSERT_EQ(TLV_OK, record->GetPart(1, 30, &part));
    long width = 0, height = 0;
    ASSERT_EQ(nullptr, part->GetSize(&width, &height));
    EXPECT_EQ(30, width);
    EXPECT_EQ(20, height);
    EXPECT_EQ(TLV_ERR_FAILED, items->GetItemData(item.id, &data));

    EXPECT_EQ(TLV_OK, Ask(TLV_MSG_LOAD_ITEM_DATA, item.id));
    EXPECT_EQ(TLV_OK, items->GetItemData(item.id, &data));
    EXPECT_EQ(TLV_ERR_FAILED, Ask(TLV_MSG_LOAD_ITEM_DATA, 99));
    items->Release();
}

TEST_F(HostScript, SelectionViewAndMessageBox)
{
    script.sourceKind = 0x100000000000002ull;
    script.currentItem = 5;
    script.selectedItems = {5, 6};
    script.secondList = {7};
    script.viewKind = TLV_VIEW_SINGLE;
    CTlHost host(script);
    auto* selection = Take<ITlvSelectionService>(host, TLV_SERVICE_SELECTION);
    unsigned long long kind = 0;
    TlvItemId current = 0;
    std::vector<TlvItemId> list;
    EXPECT_EQ(TLV_OK, selection->GetSourceKind(&kind));
    EXPECT_EQ(script.sourceKind, kind);
    EXPECT_EQ(TLV_OK, selection->GetCurrentItem(&current));
    EXPECT_EQ(5u, current);
    EXPECT_EQ(TLV_OK, selection->GetSelectedItems(&list));
    EXPECT_EQ(script.selectedItems, list);
    EXPECT_EQ(TLV_OK, selection->GetSecondList(&list));
    EXPECT_EQ(script.secondList, list);
    selection->Release();
    auto* view = Take<ITlvViewService>(host, TLV_SERVICE_VIEW);
    EXPECT_EQ(TLV_VIEW_SINGLE, view->GetViewKind());
    view->Release();
    auto* imaging = Take<ITlvImagingService>(host, TLV_SERVICE_IMAGING);
    EXPECT_NE(nullptr, imaging->GetManager());
    imaging->Release();
    auto* boxes = Take<ITlvMessageBoxService>(host, TLV_SERVICE_MESSAGE_BOX);
    EXPECT_EQ(TLV_OK, boxes->ShowCode(0x1008, 0));
    boxes->Release();
    EXPECT_EQ(0, host.Services().OpenCount());
}

TEST_F(HostScript, RefusalsAndCountedServices)
{
    script.refusedServices[TLV_SERVICE_VIEW] = TLV_ERR_NOT_FOUND;
    script.answers[TLV_MSG_SAVE_CURRENT_ITEM] = TLV_ERR_FAILED;
    CTlHost host(script);
    void* object = nullptr;
    EXPECT_EQ(TLV_ERR_NOT_FOUND, host.GetObject(TLV_SERVICE_VIEW, &object));
    EXPECT_EQ(nullptr, object);
    EXPECT_EQ(TLV_ERR_NOT_FOUND, host.GetObject(4098, &object));
    auto* items = Take<ITlvItemService>(host, TLV_SERVICE_ITEMS);
    Take<ITlvSelectionService>(host, TLV_SERVICE_SELECTION);
    items->Release();
    // One service still held: a module that closed now would fail its test.
    EXPECT_EQ(1, host.Services().OpenCount());
    EXPECT_EQ(TLV_ERR_FAILED, Ask(TLV_MSG_SAVE_CURRENT_ITEM, 0));
}

TEST_F(HostScript, EveryCallbackRecordedAsNineWords)
{
    CTlHost host(script);
    std::string text = "a text";
    long values[2] = {3, 4};
    CTlHost::GetCallback()(0x20F00042, 1, 2, TlvWord(&text), 0, TLV_TYPE_STRING, 6, 7, 8);
    CTlHost::GetCallback()(0x20F00043, 0, 0, TlvWord(values), 2, TLV_TYPE_INT, 0, 0, 0);
    ASSERT_EQ(2u, host.Calls().size());
    EXPECT_EQ((TlvWords{0x20F00042, 1, 2, TlvWord(&text), 0, TLV_TYPE_STRING, 6, 7, 8}), host.Calls()[0].words);
    EXPECT_EQ("a text", host.Calls()[0].text);
    EXPECT_EQ((std::vector<long>{3, 4}), host.Calls()[1].values);
}

TEST_F(HostScript, PumpEndsWhenTheConditionHoldsOrTheTimeIsUp)
{
    CTlHost host(script);
    int rounds = 0;
    EXPECT_TRUE(host.Pump([&rounds] { return ++rounds == 3; }, 10000));
    EXPECT_EQ(3, rounds);
    const DWORD start = GetTickCount();
    EXPECT_FALSE(host.Pump([] { return false; }, 50));
    EXPECT_GE(GetTickCount() - start, 50u);
}

} // namespace
