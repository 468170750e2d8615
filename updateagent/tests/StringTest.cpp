#include "base/TAnsiString.h"
#include "base/TBaseObject.h"
#include "base/TResource.h"
#include "base/TWideString.h"
#include "TestStrings.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {
std::wstring Of(const TWideString& s)
{
    return std::wstring(s.Text(), s.Length());
}

std::wstring Repeat(const std::wstring& piece, size_t length)
{
    std::wstring text;
    while (text.size() < length)
        text += piece;
    return text.substr(0, length);
}
}

TEST(TWideString, ChangingACopyLeavesTheSourceAlone)
{
    const TWideString source(L"installer.exe");
    TWideString copy(source);
    EXPECT_EQ(source.Text(), copy.Text()) << "a copy shares the buffer";
    EXPECT_EQ(source.BufferRefCount(), 2);

    copy.SetAt(0, L'I');
    EXPECT_EQ(Of(source), L"installer.exe");
    EXPECT_EQ(Of(copy), L"Installer.exe");
    EXPECT_EQ(copy.BufferRefCount(), 1);
    EXPECT_EQ(source.BufferRefCount(), 1);
}

TEST(TWideString, AppendUsesSpareCapacityOfAnUnsharedBuffer)
{
    TWideString text;
    wcscpy(text.GetBuffer(32), L"abc");
    text.ReleaseBuffer();
    const wchar_t* buffer = text.Text();

    text.Append(L"def");
    text += L'g';
    EXPECT_EQ(text.Text(), buffer);
    EXPECT_EQ(Of(text), L"abcdefg");
}

TEST(TWideString, AppendToASharedStringLeavesTheOtherAlone)
{
    TWideString text;
    wcscpy(text.GetBuffer(32), L"abc");
    text.ReleaseBuffer();
    const TWideString other(text);

    text.Append(L"def");
    EXPECT_NE(text.Text(), other.Text());
    EXPECT_EQ(Of(text), L"abcdef");
    EXPECT_EQ(Of(other), L"abc");
    EXPECT_EQ(other.BufferRefCount(), 1);
}

TEST(TWideString, AppendOfItselfKeepsBothParts)
{
    TWideString text(L"ab");
    text.Append(text);
    text += text;
    EXPECT_EQ(Of(text), L"abababab");
}

TEST(TWideString, PartsCoveringTheWholeStringShareIt)
{
    const TWideString text(L"Corvane");
    struct Case {
        const char* name;
        TWideString part;
        bool shared;
        const wchar_t* expected;
    };
    const std::vector<Case> cases = {
        {"left of the length", text.Left(7), true, L"Corvane"},
        {"left beyond the length", text.Left(100), true, L"Corvane"},
        {"mid of everything", text.Mid(0, 7), true, L"Corvane"},
        {"mid with a negative start", text.Mid(-3, 100), true, L"Corvane"},
        {"left of a part", text.Left(3), false, L"Cor"},
        {"mid cut at the end", text.Mid(4, 100), false, L"ane"},
        {"mid with a negative count", text.Mid(2, -1), false, L""},
        {"mid past the end", text.Mid(20, 2), false, L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Of(c.part), c.expected);
        EXPECT_EQ(c.part.Text() == text.Text(), c.shared);
    }
}

TEST(TWideString, ReverseFindCountsFromTheEnd)
{
    const TWideString path(L"C:\\Temp\\Talvo\\");
    EXPECT_EQ(path.ReverseFind(L'\\'), 13);
    EXPECT_EQ(path.ReverseFind(L'\\', 1), 7);
    EXPECT_EQ(path.ReverseFind(L'\\', 7), 2);
    EXPECT_EQ(path.ReverseFind(L'/'), -1);
    EXPECT_EQ(TWideString().ReverseFind(L'a'), -1);
}

TEST(TWideString, CompareNoCaseFoldsOnlyCharactersBelow256)
{
    struct Case {
        const wchar_t* left;
        const wchar_t* right;
        int expected;
    };
    const Case cases[] = {
        {L"Corvane.EXE", L"cORVANE.exe", 0},
        {L"abc", L"abd", -1},
        {L"B", L"a", 1},
        {L"abc", L"ab", 1},
        {L"", L"", 0},
        {L"\u03b1", L"\u0391", 1},  // Greek alpha and ALPHA compare as they are
        {L"\u0391", L"\u03b1", -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        EXPECT_EQ(TWideString(c.left).CompareNoCase(c.right), c.expected);
    }
}

TEST(TWideString, FormatGrowsPastItsFirstBuffer)
{
    for (size_t length : {10u, 255u, 256u, 300u, 600u}) {
        SCOPED_TRACE(length);
        const std::wstring long_text = Repeat(L"0123456789", length);
        TWideString formatted;
        formatted.Format(L"%s|%d", long_text.c_str(), 42);
        EXPECT_EQ(Of(formatted), long_text + L"|42");
    }
}

TEST(TWideString, LoadsStringTableTextsWhole)
{
    const std::wstring table = Repeat(L"0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ", 300);
    struct Case {
        UINT id;
        bool found;
        size_t length;
    };
    const Case cases[] = {{IDS_LONG_TEXT, true, 300}, {IDS_EDGE_TEXT, true, 254}, {IDS_SHORT_TEXT, true, 16},
                          {IDS_MISSING_TEXT, false, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        TWideString text(L"old");
        EXPECT_EQ(text.LoadFromTable(GetModuleHandleW(nullptr), c.id), c.found);
        EXPECT_EQ(static_cast<size_t>(text.Length()), c.length);
        if (c.id != IDS_SHORT_TEXT) {
            EXPECT_EQ(Of(text), table.substr(0, c.length));
        }
    }
    EXPECT_EQ(Of(TWideString(MAKEINTRESOURCEW(IDS_LONG_TEXT))), table);
}

TEST(TWideString, ConvertsThroughTheAnsiCodePage)
{
    const TAnsiString narrow(L"Talvo Corvane 1.0");
    EXPECT_STREQ(narrow.Text(), "Talvo Corvane 1.0");
    EXPECT_EQ(Of(TWideString(narrow.Text())), L"Talvo Corvane 1.0");
    EXPECT_TRUE(TAnsiString(static_cast<const wchar_t*>(nullptr)).IsEmpty());
    EXPECT_TRUE(TWideString(static_cast<const char*>(nullptr)).IsEmpty());
}

TEST(TWideString, EmptyLeavesSharersAlone)
{
    const TWideString kept(L"abc");
    TWideString emptied(kept);
    emptied.Empty();
    EXPECT_TRUE(emptied.IsEmpty());
    EXPECT_EQ(Of(kept), L"abc");
    EXPECT_EQ(kept.BufferRefCount(), 1);
}

TEST(TWideString, ABufferBeingWrittenIsCopiedNotShared)
{
    TWideString written(L"abc");
    written.GetBuffer(10);
    const TWideString copy(written);
    TWideString assigned;
    assigned = written;
    EXPECT_NE(copy.Text(), written.Text());
    EXPECT_NE(assigned.Text(), written.Text());
    EXPECT_EQ(Of(copy), L"abc");
    EXPECT_EQ(Of(assigned), L"abc");
    written.ReleaseBuffer();
    EXPECT_EQ(written.BufferRefCount(), 1);
}

namespace {
struct SharedText {
    TWideString text;
    HANDLE start;
};

DWORD WINAPI CopyManyTimes(LPVOID argument)
{
    auto* shared = static_cast<SharedText*>(argument);
    WaitForSingleObject(shared->start, INFINITE);
    for (int i = 0; i < 20000; ++i) {
        TWideString copy(shared->text);
        TWideString assigned;
        assigned = copy;
    }
    return 0;
}
}

TEST(TWideString, CopiesOnManyThreadsKeepTheCountRight)
{
    SharedText shared{TWideString(L"shared between threads"), CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    std::vector<HANDLE> threads;
    for (int i = 0; i < 4; ++i)
        threads.push_back(CreateThread(nullptr, 0, CopyManyTimes, &shared, 0, nullptr));
    SetEvent(shared.start);
    WaitForMultipleObjects(static_cast<DWORD>(threads.size()), threads.data(), TRUE, INFINITE);
    for (HANDLE thread : threads)
        CloseHandle(thread);
    CloseHandle(shared.start);
    EXPECT_EQ(shared.text.BufferRefCount(), 1);
}

TEST(TWideString, ConcatenationMakesNewStrings)
{
    const TWideString base(L"Corvane");
    const TWideString joined = base + L".exe";
    EXPECT_EQ(Of(joined), L"Corvane.exe");
    EXPECT_EQ(Of(base + TWideString(L"Lang")), L"CorvaneLang");
    EXPECT_EQ(Of(base + L'\\'), L"Corvane\\");
    EXPECT_EQ(Of(base), L"Corvane");
}

namespace {
int g_deleted = 0;

class Counted : public TBaseObject {
public:
    ~Counted() override { ++g_deleted; }
};
}

TEST(TBaseObject, ReleaseDeletesAtTheLastReference)
{
    g_deleted = 0;
    auto* object = new Counted;
    EXPECT_EQ(object->AddRef(), 2);
    EXPECT_EQ(object->Release(), 1);
    EXPECT_EQ(g_deleted, 0);
    EXPECT_EQ(object->RefCount(), 1);
    EXPECT_EQ(object->Release(), 0);
    EXPECT_EQ(g_deleted, 1);
}

namespace {
INT_PTR CALLBACK NeverCalled(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}
}

TEST(TResource, RefusesMissingPiecesWithoutAskingTheSystem)
{
    struct Case {
        const char* name;
        bool instance;
        bool procedure;
        UINT id;
    };
    const Case cases[] = {
        {"template id 0", true, true, 0},
        {"no instance", false, true, 100},
        {"no dialog procedure", true, false, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TResource resource;
        if (c.instance)
            resource.SetInstance(GetModuleHandleW(nullptr));
        if (c.procedure)
            resource.SetDialogProc(NeverCalled);
        SetLastError(0x1234);
        INT_PTR result = 77;
        HWND window = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x55));
        EXPECT_FALSE(resource.RunModal(c.id, result));
        EXPECT_FALSE(resource.RunModeless(c.id, window));
        EXPECT_EQ(result, 77);
        EXPECT_EQ(window, reinterpret_cast<HWND>(static_cast<INT_PTR>(0x55)));
        EXPECT_EQ(GetLastError(), 0x1234u);
    }
}

TEST(TResource, LoadsTextsOfItsInstance)
{
    TResource resource;
    TWideString text;
    EXPECT_FALSE(resource.LoadText(IDS_SHORT_TEXT, text)) << "no instance yet";
    resource.SetInstance(GetModuleHandleW(nullptr));
    resource.SetInstance(nullptr);
    EXPECT_FALSE(resource.LoadText(0, text));
    ASSERT_TRUE(resource.LoadText(IDS_SHORT_TEXT, text));
    EXPECT_EQ(Of(text), L"Update available");

    const TResource copy(resource);
    EXPECT_EQ(copy.Instance(), GetModuleHandleW(nullptr));
}
