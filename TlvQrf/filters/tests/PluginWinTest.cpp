// The Windows plug-in host on the test plug-in files: loading and the
// resources it reads (never past their ends), the order of its selectors,
// the parameter block and the memory, space and colour services it offers,
// and the pixels it displays.
#include "PluginTestSupport.h"

#include "filters/plugin/TlPluginWin.h"
#include "psplugin/PsResources.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace plugin_test;

namespace {

const struct LoadCase {
    const char* file;
    PsResult result;
    const char* name;
    const char* category;
    std::uint32_t eventId;
} kLoadCases[] = {
    {kTestPlugin, kPsNoError, "Invert Test", "Talvo Test", 0x496E7654},
    {kBarePlugin, kPsNoError, "?", "?", 0},
    {kBadResourcePlugin, kPsNoError, "?", "?", 0},
    {kNoEntryPlugin, kPsFileMissing, "?", "?", 0},
    {kMissingPlugin, kPsFileMissing, "?", "?", 0},
};

TEST(PluginWinTest, LoadReadsTheIdentityOrRefusesTheFile)
{
    for (const LoadCase& c : kLoadCases) {
        SCOPED_TRACE(c.file);
        CPluginWin host;
        EXPECT_EQ(c.result, host.Load(EntryFor(c.file)));
        EXPECT_EQ(c.result == kPsNoError, host.IsLoaded());
        EXPECT_STREQ(c.name, host.GetName());
        EXPECT_STREQ(c.category, host.GetCategory());
        EXPECT_EQ(c.eventId, host.GetEventId());
        // A refused file is not kept loaded.
        EXPECT_EQ(c.result == kPsNoError, GetModuleHandleA(c.file) != nullptr);
        host.Unload();
        EXPECT_EQ(nullptr, GetModuleHandleA(c.file));
    }
}

// Bytes placed so that their end is the end of readable memory: a read past
// them faults.
class FencedBytes {
public:
    explicit FencedBytes(const std::vector<unsigned char>& bytes)
    {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        m_page = info.dwPageSize;
        m_base = static_cast<unsigned char*>(VirtualAlloc(nullptr, 2 * m_page, MEM_COMMIT, PAGE_READWRITE));
        DWORD old = 0;
        VirtualProtect(m_base + m_page, m_page, PAGE_NOACCESS, &old);
        m_bytes = m_base + m_page - bytes.size();
        std::memcpy(m_bytes, bytes.data(), bytes.size());
    }
    ~FencedBytes() { VirtualFree(m_base, 0, MEM_RELEASE); }
    const unsigned char* Get() const { return m_bytes; }

private:
    DWORD m_page = 0;
    unsigned char* m_base = nullptr;
    unsigned char* m_bytes = nullptr;
};

void Put32(std::vector<unsigned char>& bytes, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

void Put16(std::vector<unsigned char>& bytes, std::uint16_t value)
{
    bytes.push_back(static_cast<unsigned char>(value));
    bytes.push_back(static_cast<unsigned char>(value >> 8));
}

void PutText(std::vector<unsigned char>& bytes, const std::string& text, int claimed = -1)
{
    bytes.push_back(static_cast<unsigned char>(claimed >= 0 ? claimed : int(text.size())));
    bytes.insert(bytes.end(), text.begin(), text.end());
}

// A property list with one property of `key` holding `text`; the length
// field says `length` (the padded size when negative).
std::vector<unsigned char> PropertyList(std::int32_t count, std::uint32_t key, const std::string& text,
                                        int claimedText = -1, std::int32_t length = -1)
{
    std::vector<unsigned char> bytes;
    Put32(bytes, 0);
    Put32(bytes, std::uint32_t(count));
    Put32(bytes, kPsVendorEditor);
    Put32(bytes, key);
    Put32(bytes, 0);
    Put32(bytes, std::uint32_t(length >= 0 ? length : std::int32_t(text.size() + 1)));
    PutText(bytes, text, claimedText);
    return bytes;
}

std::vector<unsigned char> Scripting(std::int16_t suites, std::int16_t events, int claimedName = -1,
                                     bool withEvent = true)
{
    std::vector<unsigned char> bytes;
    Put16(bytes, 1);
    Put16(bytes, 0);
    Put16(bytes, 0);
    Put16(bytes, std::uint16_t(suites));
    PutText(bytes, "Suite", claimedName);
    PutText(bytes, "");
    Put32(bytes, 0x53756974);
    Put16(bytes, 1);
    Put16(bytes, 1);
    Put16(bytes, std::uint16_t(events));
    if (withEvent) {
        PutText(bytes, "Event");
        PutText(bytes, "");
        Put32(bytes, 0x436C6173);
        Put32(bytes, 0x45766E74);
    }
    return bytes;
}

TEST(PluginWinTest, PropertiesAreReadWithinTheirResource)
{
    const struct {
        const char* what;
        std::vector<unsigned char> bytes;
        const char* name;
    } cases[] = {
        {"well formed", PropertyList(1, kPsPropertyName, "Fine"), "Fine"},
        {"text past the property", PropertyList(1, kPsPropertyName, "Fine", 200), "?"},
        {"property past the list", PropertyList(1, kPsPropertyName, "Fine", -1, 4000), "?"},
        {"negative length", PropertyList(1, kPsPropertyName, "Fine", -1, 0x7FFFFFF0), "?"},
        {"more properties than there are", PropertyList(1000000, kPsPropertyName, "Fine"), "?"},
        {"header cut short", std::vector<unsigned char>{1, 0, 0}, "?"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const FencedBytes fenced(c.bytes);
        CPluginWin host;
        host.ParsePiPL(fenced.Get(), std::uint32_t(c.bytes.size()), nullptr, 0);
        EXPECT_STREQ(c.name, host.GetName());
        EXPECT_STREQ("?", host.GetCategory());
    }
}

TEST(PluginWinTest, EventIdIsReadWithinItsResource)
{
    const struct {
        const char* what;
        std::vector<unsigned char> bytes;
        std::uint32_t eventId;
    } cases[] = {
        {"well formed", Scripting(1, 1), 0x45766E74},
        {"no suite", Scripting(0, 1), 0},
        {"no event", Scripting(1, 0, -1, false), 0},
        {"event missing", Scripting(1, 1, -1, false), 0},
        {"suite name past the end", Scripting(1, 1, 250), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const FencedBytes fenced(c.bytes);
        CPluginWin host;
        host.ParsePiPL(nullptr, 0, fenced.Get(), std::uint32_t(c.bytes.size()));
        EXPECT_EQ(c.eventId, host.GetEventId());
    }
}

TEST(PluginWinTest, LoadedEntryIsNotLoadedAgainAndAReloadInitialisesFirst)
{
    CPluginWin host;
    ASSERT_EQ(kPsNoError, host.Load(EntryFor(kTestPlugin)));
    EXPECT_EQ(kPsNoError, host.Dispatch(kPsSelectorAbout));
    ASSERT_EQ(kPsNoError, host.Load(EntryFor(kTestPlugin)));
    EXPECT_EQ(kPsNoError, host.Dispatch(kPsSelectorAbout));
    EXPECT_EQ((std::vector<int>{kPsSelectorInitialise, kPsSelectorAbout, kPsSelectorAbout}), PluginSelectors());

    host.Unload();
    EXPECT_EQ(kPsNoError, host.Dispatch(kPsSelectorAbout)); // nothing loaded: nothing sent
    ASSERT_EQ(kPsNoError, host.Load(EntryFor(kTestPlugin)));
    EXPECT_EQ(kPsNoError, host.Dispatch(kPsSelectorAbout));
    EXPECT_EQ((std::vector<int>{kPsSelectorInitialise, kPsSelectorAbout}), PluginSelectors());
}

TEST(PluginWinTest, FailedInitialisationSendsNothingFurther)
{
    CPluginWin host;
    ASSERT_EQ(kPsNoError, host.Load(EntryFor(kTestPlugin)));
    FailSelector(kPsSelectorInitialise, kPsBadParameter);
    EXPECT_EQ(kPsBadParameter, host.Dispatch(kPsSelectorParameters));
    EXPECT_EQ((std::vector<int>{kPsSelectorInitialise, kTlTestPluginExit + kPsSelectorInitialise}), PluginLog());
}

TEST(PluginWinTest, ShortBufferGetsNoParametersButTheirSize)
{
    CPluginWin host;
    const unsigned char block[] = {1, 2, 3, 4, 5};
    host.SetParameters(block, sizeof block);
    unsigned char buffer[4] = {9, 9, 9, 9};
    EXPECT_EQ(sizeof block, host.GetParameters(buffer, sizeof buffer));
    EXPECT_EQ((std::vector<unsigned char>{9, 9, 9, 9}), std::vector<unsigned char>(buffer, buffer + 4));
    unsigned char whole[5] = {};
    EXPECT_EQ(sizeof block, host.GetParameters(whole, sizeof whole));
    EXPECT_EQ(0, std::memcmp(block, whole, sizeof block));
    host.SetParameters(nullptr, 8);
    EXPECT_EQ(0u, host.GetParametersSize());
}

TEST(PluginWinTest, BuffersAreHandedOutLockedAndFreedByIndex)
{
    CPluginWin host;
    PsBufferId first = -1, second = -1, again = -1;
    ASSERT_EQ(kPsNoError, host.AllocateBuffer(100, &first));
    ASSERT_EQ(kPsNoError, host.AllocateBuffer(50, &second));
    EXPECT_EQ(0, first);
    EXPECT_EQ(1, second);
    auto* bytes = static_cast<unsigned char*>(host.LockBuffer(first));
    ASSERT_NE(nullptr, bytes);
    bytes[99] = 7;
    host.UnlockBuffer(first);
    host.FreeBuffer(first);
    EXPECT_EQ(nullptr, host.LockBuffer(first));
    // The freed index is handed out again.
    ASSERT_EQ(kPsNoError, host.AllocateBuffer(10, &again));
    EXPECT_EQ(first, again);
    EXPECT_EQ(nullptr, host.LockBuffer(7));
    host.FreeBuffer(7);
}

TEST(PluginWinTest, SpaceAndColourServices)
{
    const std::int32_t space = CPluginHost::Space();
    EXPECT_GT(space, 0);
    EXPECT_LE(std::int64_t(space), 0x7FFFFFFF);

    const struct {
        std::int16_t selector;
        std::int16_t from;
        std::int16_t to;
        PsResult result;
    } cases[] = {
        {kPsColorConvert, 3, 4, kPsBadParameter},
        {kPsColorConvert, 3, 3, kPsNoError},
        {0, 3, 4, kPsNoError},
    };
    for (const auto& c : cases) {
        PsColorServicesInfo info{};
        info.selector = c.selector;
        info.sourceSpace = c.from;
        info.resultSpace = c.to;
        EXPECT_EQ(c.result, CPluginHost::ColorServices(&info));
    }
}

TEST(PluginWinTest, CallbacksWithoutACurrentHostDoNothing)
{
    CPluginWin host;
    const PsFilterRecord& record = host.GetRecord();
    EXPECT_EQ(kPsHostSignature, record.hostSig);
    EXPECT_EQ(0, record.advanceState());
    EXPECT_EQ(nullptr, record.handleProcs->newProc(16));
    EXPECT_EQ(0, record.bufferProcs->spaceProc());
    EXPECT_EQ(kPsBufferProcsVersion, record.bufferProcs->version);
    EXPECT_EQ(kPsHandleProcsCount, record.handleProcs->count);
}

// Draws a 3x2 pixel map into a 24-bit memory bitmap; its bytes, rows padded to 4.
std::vector<unsigned char> Displayed(const PsPixelMap& map)
{
    HDC dc = CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = 3;
    info.bmiHeader.biHeight = -2;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bitmap);
    std::memset(bits, 0xEE, 24);
    CPluginWin host;
    const PsRect all{0, 0, 2, 3};
    EXPECT_EQ(kPsNoError, host.DisplayPixels(&map, &all, 0, 0, dc));
    GdiFlush();
    std::vector<unsigned char> bytes(static_cast<unsigned char*>(bits), static_cast<unsigned char*>(bits) + 24);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return bytes;
}

TEST(PluginWinTest, DisplayedPixelsAreBlueGreenRed)
{
    unsigned char grey[] = {10, 20, 30, 40, 50, 60};
    unsigned char rgb[18];
    std::uint16_t rgb16[18];
    for (int i = 0; i < 18; ++i) {
        rgb[i] = static_cast<unsigned char>(i + 1);
        rgb16[i] = static_cast<std::uint16_t>((i + 1) << 8 | 0x77);
    }
    const std::vector<unsigned char> greyBytes = {10, 10, 10, 20, 20, 20, 30, 30, 30, 0, 0, 0,
                                                  40, 40, 40, 50, 50, 50, 60, 60, 60, 0, 0, 0};
    const std::vector<unsigned char> rgbBytes = {3, 2, 1, 6, 5, 4, 9, 8, 7, 0, 0, 0,
                                                 12, 11, 10, 15, 14, 13, 18, 17, 16, 0, 0, 0};
    const struct {
        const char* what;
        PsPixelMap map;
        const std::vector<unsigned char>& bytes;
    } cases[] = {
        {"grey", {1, {0, 0, 2, 3}, kPsModeGrey, 3, 1, 1, grey}, greyBytes},
        {"RGB", {1, {0, 0, 2, 3}, kPsModeRGB, 9, 3, 1, rgb}, rgbBytes},
        {"16-bit RGB", {1, {0, 0, 2, 3}, kPsModeRGB16, 18, 6, 2, rgb16}, rgbBytes},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<unsigned char> shown = Displayed(c.map);
        // The padding bytes of the drawn rows are not the bitmap's to set.
        shown[9] = shown[10] = shown[11] = shown[21] = shown[22] = shown[23] = 0;
        EXPECT_EQ(c.bytes, shown);
    }
    const PsPixelMap cmyk{1, {0, 0, 2, 3}, kPsModeCMYK, 12, 4, 1, rgb};
    std::vector<unsigned char> shown = Displayed(cmyk);
    EXPECT_EQ(std::vector<unsigned char>(9, 0), std::vector<unsigned char>(shown.begin(), shown.begin() + 9));
}

} // namespace
