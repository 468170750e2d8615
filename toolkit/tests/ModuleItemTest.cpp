#include "GuardedBytes.h"

#include "items/TlvItemQueue.h"
#include "items/TlvQueueManager.h"
#include "items/TlvUploadItem.h"
#include "serialize/TlAsciiReader.h"
#include "serialize/TlAsciiWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

namespace {

const char kFreshModuleItemLines[] = "ItemRotation=0\nImageWidth=0\nImageHeight=0\nModuleFlags=0\nScalingOption=1\n"
                                     "FileLocationPath=\nFileLocationName=\nShouldInclude=0\n";

class PlainItem : public CTlvModuleItem {
public:
    void SetSourceSize(unsigned, int, int) override {}
};

std::string Saved(ITlSerialize& record, unsigned long expectedResult = 0)
{
    std::ostringstream out;
    CTlAsciiWriter writer(out);
    EXPECT_EQ(expectedResult, record.Save(writer));
    return out.str();
}

unsigned long LoadFrom(ITlSerialize& record, const std::string& text)
{
    std::istringstream in(text);
    CTlAsciiReader reader(in);
    return record.Load(reader);
}

TEST(ModuleItem, AFreshItemSavesItsDefaultsInKeyOrder)
{
    PlainItem item;
    EXPECT_EQ(kFreshModuleItemLines, Saved(item));
    CTlvUploadItem upload;
    EXPECT_EQ(std::string("KeyWords=\nCaption=\nDescription=\n") + kFreshModuleItemLines, Saved(upload));
}

TEST(ModuleItem, AnUploadItemLoadsItsOwnLinesBackUnchanged)
{
    const char* const texts[] = {"plain words", "line one\r\nline two", "lone\nfeed", "back\\slash\\\\",
                                 "literal \\n and \\r", "ends in \\", "\r\n\r\n", ""};
    for (const char* text : texts) {
        CTlvUploadItem item;
        ASSERT_TRUE(item.SetKeyWords(std::string("k ") + text));
        ASSERT_TRUE(item.SetCaption(text));
        ASSERT_TRUE(item.SetDescription(std::string(text) + " d"));
        item.SetRotation(90);
        item.SetRendered(true);
        item.SetInclude(true);
        ASSERT_TRUE(item.SetLocation("C:\\temp\\TalvoServices", "a1.jpg"));
        const std::string lines = Saved(item);
        EXPECT_EQ(11, std::count(lines.begin(), lines.end(), '\n')) << text;
        EXPECT_EQ(std::string::npos, lines.find('\r')) << text;

        CTlvUploadItem back;
        ASSERT_EQ(0ul, LoadFrom(back, lines)) << text;
        EXPECT_EQ(std::string("k ") + text, back.GetKeyWords());
        EXPECT_EQ(text, back.GetCaption());
        EXPECT_EQ(std::string(text) + " d", back.GetDescription());
        EXPECT_EQ(90.0, back.GetRotation());
        EXPECT_TRUE(back.IsRendered());
        EXPECT_TRUE(back.GetInclude());
        EXPECT_EQ(lines, Saved(back)) << text;
    }
    CTlvUploadItem plain;
    ASSERT_TRUE(plain.SetCaption("Harbour at dawn, 5% off"));
    EXPECT_EQ(0u, Saved(plain).find("KeyWords=\nCaption=Harbour at dawn, 5% off\n"));
}

TEST(ModuleItem, TheFirstKeyOutOfPlaceFails)
{
    CTlvUploadItem item;
    const std::string lines = Saved(item);
    std::size_t lineStart = 0;
    while (lineStart < lines.size()) {
        const std::size_t lineEnd = lines.find('\n', lineStart) + 1;
        const std::string withoutLine = lines.substr(0, lineStart) + lines.substr(lineEnd);
        CTlvUploadItem back;
        EXPECT_EQ(0x1008ul, LoadFrom(back, withoutLine)) << lines.substr(lineStart, lineEnd - lineStart);
        lineStart = lineEnd;
    }
}

TEST(ModuleItem, FlagsAndOptions)
{
    PlainItem item;
    item.SetRendered(true);
    EXPECT_TRUE(item.IsRendered());
    EXPECT_NE(std::string::npos, Saved(item).find("ModuleFlags=1\n"));
    item.SetRendered(false);
    EXPECT_FALSE(item.IsRendered());
    EXPECT_EQ(1u, item.GetScalingOption());
    item.SetOption(7);
    EXPECT_EQ(7, item.GetOption());
    EXPECT_EQ(nullptr, item.GetItemName()); // no mediator attached

    CTlvUploadItem upload;
    upload.SetSourceSize(3, 640, 480);
    EXPECT_EQ(640, upload.GetSourceWidth());
    EXPECT_EQ(480, upload.GetSourceHeight());
    EXPECT_EQ(0, upload.GetOption());
}

TEST(ModuleItem, FilePathsAreBoundedByTheirBuffer)
{
    PlainItem item;
    char path[32];
    ASSERT_TRUE(item.SetLocation("", "a.jpg"));
    ASSERT_TRUE(item.GetFilePath(path, sizeof path));
    EXPECT_STREQ("a.jpg", path);
    ASSERT_TRUE(item.SetLocation("C:\\temp", "a.jpg"));
    EXPECT_EQ(0ul, item.CopyFilePath(path, sizeof path));
    EXPECT_STREQ("C:\\temp\\a.jpg", path);

    const GuardedBytes exact(std::vector<unsigned char>(14, 0));
    EXPECT_TRUE(item.GetFilePath(reinterpret_cast<char*>(exact.data()), 14));
    const GuardedBytes small(std::vector<unsigned char>(13, 0));
    EXPECT_FALSE(item.GetFilePath(reinterpret_cast<char*>(small.data()), 13));
    EXPECT_EQ(0x1008ul, item.CopyFilePath(reinterpret_cast<char*>(small.data()), 13));

    CTlvUploadItem upload;
    ASSERT_TRUE(upload.SetCaption("caption"));
    const GuardedBytes caption(std::vector<unsigned char>(7, 0));
    EXPECT_FALSE(upload.CopyCaption(reinterpret_cast<char*>(caption.data()), 7));
    char fits[8];
    EXPECT_TRUE(upload.CopyCaption(fits, sizeof fits));
    EXPECT_STREQ("caption", fits);
}

TEST(ItemQueue, SavesAndLoadsEveryItemInOrder)
{
    CTlvQueueManager manager;
    CTlvItemQueue* empty = nullptr;
    ASSERT_EQ(0ul, manager.NewQueue(&empty));
    EXPECT_EQ("", Saved(*empty));
    EXPECT_EQ(0ul, LoadFrom(*empty, "unrelated=1\n"));

    CTlvItemQueue* queue = nullptr;
    ASSERT_EQ(0ul, manager.NewQueue(&queue));
    EXPECT_EQ(empty, manager.Current());
    for (const char* caption : {"first", "second"}) {
        auto* item = new CTlvUploadItem;
        item->SetCaption(caption);
        ASSERT_TRUE(queue->Append(item));
    }
    const std::string lines = Saved(*queue);
    EXPECT_LT(lines.find("Caption=first\n"), lines.find("Caption=second\n"));

    manager.ClearCurrent();
    ASSERT_EQ(queue, manager.Current());
    CTlvItemQueue* loaded = nullptr;
    ASSERT_EQ(0ul, manager.NewQueue(&loaded));
    ASSERT_TRUE(loaded->Append(new CTlvUploadItem));
    ASSERT_TRUE(loaded->Append(new CTlvUploadItem));
    EXPECT_EQ(0ul, LoadFrom(*loaded, lines));
    CTlItemIterator& it = *loaded->Iterator();
    std::vector<std::string> captions;
    for (it.First(); !it.AtEnd(); it.Next())
        captions.push_back(static_cast<CTlvUploadItem*>(it.Current())->GetCaption());
    EXPECT_EQ((std::vector<std::string>{"first", "second"}), captions);
    EXPECT_EQ(2u, it.Count());
    EXPECT_EQ(nullptr, it.Current());

    // A failing item does not stop the rest; the last item's result is answered.
    ASSERT_TRUE(loaded->Append(new CTlvUploadItem));
    EXPECT_EQ(0x1008ul, LoadFrom(*loaded, lines));
    CTlvModuleItem* front = loaded->PopFront();
    ASSERT_NE(nullptr, front);
    EXPECT_EQ("first", static_cast<CTlvUploadItem*>(front)->GetCaption());
    delete front;
    EXPECT_EQ(2u, it.Count());
}

} // namespace
