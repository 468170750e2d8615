// The item mediator against the scripted host: what it asks the host to
// load, with which words, where an item's file lies, and that it lets go of
// every service it took.
#include "TestImages.h"

#include "TlHost.h"

#include "files/TlRenditionNames.h"
#include "items/TlvItemMediator.h"
#include "items/TlvQueueManager.h"
#include "items/TlvItemQueue.h"
#include "items/TlvUploadItem.h"
#include "module/TlvModuleInterface.h"
#include "runbase/TlvMessageCodes.h"
#include "runbase/TlvResultCodes.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace {

constexpr TlvItemId kPictureId = 0x500000007ull;
constexpr TlvItemId kNoPathId = 0x600000008ull;

// The entry object as a plug-in has it: its Message reaches the host callback.
class HostEntry : public ITlvMessage {
public:
    unsigned long Message(TlvWord code, TlvWord value1, TlvWord value2, TlvWord record, TlvWord count,
                          TlvWord recordType, TlvWord subValue, TlvWord request, TlvWord replyTag) override
    {
        return CTlHost::GetCallback()(code, value1, value2, record, count, recordType, subValue, request, replyTag);
    }
};

class ItemMediator : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(WriteSolidJpeg(folder.File("harbour.jpg"), 64, 48));
        TlHostItem picture;
        picture.id = kPictureId;
        picture.path = folder.File("harbour.jpg");
        picture.name = "Harbour";
        script.items.push_back(picture);
        TlHostItem noPath;
        noPath.id = kNoPathId;
        noPath.name = "From the camera";
        noPath.sourceClass = 0x1400;
        noPath.width = 10;
        script.items.push_back(noPath);
    }

    TlvWords LoadWords(unsigned long code, TlvWord record, TlvWord count, TlvWord type) const
    {
        return {code, 7, 5, record, count, type, 1, 1, 0x20030002};
    }

    TempFolder folder;
    CTlHostScript script;
    HostEntry entry;
};

TEST_F(ItemMediator, AMissingRecordIsLoadedAndAskedForOnceMore)
{
    script.items[0].recordMissingFirst = true;
    CTlHost host(script);
    CTlvItemMediator mediator;
    ASSERT_EQ(TLV_OK, mediator.Attach(&entry, &host, kPictureId));
    ASSERT_NE(nullptr, mediator.GetRecord());
    const auto loads = host.CallsWithCode(TLV_MSG_LOAD_ITEM_DATA);
    ASSERT_EQ(1u, loads.size());
    EXPECT_EQ(LoadWords(TLV_MSG_LOAD_ITEM_DATA, 0, 0, 0), loads[0].words);

    // Loaded now: no further request.
    ASSERT_NE(nullptr, mediator.GetRecord());
    EXPECT_EQ(1u, host.Calls().size());
}

TEST_F(ItemMediator, ARecordTheHostHasIsNotLoaded)
{
    CTlHost host(script);
    CTlvItemMediator mediator;
    ASSERT_EQ(TLV_OK, mediator.Attach(&entry, &host, kPictureId));
    ITlvItemRecord* record = mediator.GetRecord();
    ASSERT_NE(nullptr, record);
    long width = 0, height = 0;
    ASSERT_EQ(nullptr, record->GetImage()->GetSize(&width, &height));
    EXPECT_EQ(64, width);
    EXPECT_EQ(48, height);
    EXPECT_TRUE(host.Calls().empty());
    EXPECT_STREQ("Harbour", mediator.GetItemName());
}

TEST_F(ItemMediator, AMissingPartIsLoadedWithItsSelector)
{
    struct Case {
        long selector;
        TlvWords words;
    } const cases[] = {
        {0, LoadWords(TLV_MSG_LOAD_ITEM_PART, 0, 0, 0)},
        {5, LoadWords(TLV_MSG_LOAD_ITEM_PART, 5, 1, 81)},
    };
    for (const Case& c : cases) {
        script.items[0].recordMissingFirst = true;
        CTlHost host(script);
        CTlvItemMediator mediator;
        ASSERT_EQ(TLV_OK, mediator.Attach(&entry, &host, kPictureId));
        EXPECT_NE(nullptr, mediator.GetPart(c.selector)) << c.selector;
        const auto loads = host.CallsWithCode(TLV_MSG_LOAD_ITEM_PART);
        ASSERT_EQ(1u, loads.size()) << c.selector;
        EXPECT_EQ(c.words, loads[0].words) << c.selector;
        EXPECT_EQ(1u, host.Calls().size()) << c.selector;
    }
}

TEST_F(ItemMediator, AnUnknownItemHasNothing)
{
    CTlHost host(script);
    CTlvItemMediator mediator;
    ASSERT_EQ(TLV_OK, mediator.Attach(&entry, &host, 99));
    EXPECT_EQ(nullptr, mediator.GetRecord());
    EXPECT_EQ(nullptr, mediator.GetPart(0));
    EXPECT_EQ(nullptr, mediator.GetItemName());
    std::string folderText = "kept", name = "kept";
    EXPECT_EQ(1ul, mediator.GetLocation(folderText, name));
    EXPECT_EQ("kept", folderText);
    // Each question was asked once more after its load request.
    EXPECT_EQ(2u, host.Calls().size());
}

TEST_F(ItemMediator, LocationsComeFromTheItemsFile)
{
    const std::string temporary = GetRenditionFolder();
    ASSERT_FALSE(temporary.empty());
    std::string path = folder.Path();
    path.pop_back();
    struct Case {
        TlvItemId id;
        DWORD sourceClass;
        unsigned long result;
        std::string folder;
        std::string name;
    } const cases[] = {
        {kPictureId, 0x1100, 0, path, "harbour.jpg"},
        {kNoPathId, 0x1400, 0, temporary, "From the camera"},
        {kNoPathId, 0x1100, 1, "", ""},
    };
    for (const Case& c : cases) {
        script.items[1].sourceClass = c.sourceClass;
        CTlHost host(script);
        CTlvUploadItem item;
        EXPECT_EQ(c.result, item.Attach(&entry, &host, c.id)) << c.id;
        std::string folderText, name;
        ASSERT_TRUE(item.GetLocation(folderText, name));
        EXPECT_EQ(c.folder, folderText) << c.id;
        EXPECT_EQ(c.name, name) << c.id;
        EXPECT_EQ(c.id, item.GetItemId());
    }
}

TEST_F(ItemMediator, DetachingReleasesWhatWasTaken)
{
    script.items[0].recordMissingFirst = true;
    CTlHost host(script);
    {
        CTlvUploadItem item;
        ASSERT_EQ(TLV_OK, item.Attach(&entry, &host, kPictureId));
        ASSERT_NE(nullptr, item.GetMediator()->GetRecord());
        ASSERT_NE(nullptr, item.GetMediator()->GetPart(2));
        EXPECT_STREQ("Harbour", item.GetItemName());
        EXPECT_EQ(1, host.Services().OpenCount());
        item.Detach();
        EXPECT_EQ(0, host.Services().OpenCount());
        EXPECT_EQ(nullptr, item.GetMediator());
        EXPECT_EQ(nullptr, item.GetItemName());
        // Attaching again takes the service once more; the item's end lets it go.
        ASSERT_EQ(TLV_OK, item.Attach(&entry, &host, kPictureId));
        EXPECT_EQ(1, host.Services().OpenCount());
    }
    EXPECT_EQ(0, host.Services().OpenCount());

    CTlvQueueManager manager;
    CTlvItemQueue* queue = nullptr;
    ASSERT_EQ(0ul, manager.NewQueue(&queue));
    for (int i = 0; i < 3; ++i) {
        auto* item = new CTlvUploadItem;
        ASSERT_TRUE(queue->Append(item));
        ASSERT_EQ(TLV_OK, item->Attach(&entry, &host, kPictureId));
    }
    EXPECT_EQ(3, host.Services().OpenCount());
    manager.ClearCurrent();
    EXPECT_EQ(0, host.Services().OpenCount());
    EXPECT_EQ(nullptr, manager.Current());
}

TEST_F(ItemMediator, ARefusedItemServiceFailsTheAttach)
{
    script.refusedServices[16] = 0x1101;
    CTlHost host(script);
    CTlvUploadItem item;
    EXPECT_EQ(0x1101ul, item.Attach(&entry, &host, kPictureId));
    EXPECT_EQ(0, host.Services().OpenCount());
    EXPECT_EQ(nullptr, item.GetItemName());
}

} // namespace
