// The entry as the image editor calls it: the dispatch table, the globals
// in the data handle, the host's procedures a read needs, files the reader
// cannot read, and what a failed start leaves behind.
#include "RawPluginTestSupport.h"

#include "TlRawPluginEntry.h"
#include "support/MessageBoxWatcher.h"

using namespace rawplugin_test;

namespace {

const std::string& SmallRaw()
{
    return Fixture("small", "--model 257 --width 192 --height 128");
}

PsFormatHostOptions Played()
{
    PsFormatHostOptions options;
    options.hasDescriptor = true;
    options.descriptor = Descriptor(0, 0.0, 0, false);
    return options;
}

TEST(RawEntryTest, TheDispatchTableAnswersEverySelector)
{
    ScriptedUi ui;
    InProcessHost host;
    const PsFormatHostOptions options = Played();
    // About touches no globals.
    EXPECT_EQ(kPsNoError, host.Call(kPsFormatAbout, SmallRaw(), options));
    EXPECT_EQ(1, ui.abouts);
    EXPECT_EQ(0, host.DataWord());
    // FilterFile accepts every file, and makes the globals.
    EXPECT_EQ(kPsNoError, host.Call(kPsFormatFilterFile, "C:\\no such file.txt", options));
    const std::intptr_t globals = host.DataWord();
    EXPECT_NE(0, globals);
    for (std::int16_t selector = 5; selector <= 16; ++selector) {
        EXPECT_EQ(kPsFormatBadSelector, host.Call(selector, SmallRaw(), options)) << selector;
        EXPECT_EQ(globals, host.DataWord()) << selector;
    }
    for (std::int16_t selector : {std::int16_t(18), std::int16_t(99), std::int16_t(-1)})
        EXPECT_EQ(kPsFormatBadSelector, host.Call(selector, SmallRaw(), options)) << selector;
    EXPECT_EQ(1, host.LiveHandles());
    // ReadPrepare asks for no host buffer space; a whole read keeps the globals.
    const PsFormatHostResult result = host.Open(SmallRaw(), options);
    EXPECT_EQ(0, result.maxData);
    EXPECT_EQ(kPsNoError, result.readContinue);
    EXPECT_EQ(globals, host.DataWord());
    host.ForgetData();
    EXPECT_EQ(0, host.LiveHandles());
}

TEST(RawEntryTest, GlobalsThatCannotBeAllocatedGiveOutOfMemory)
{
    InProcessHost host;
    PsFormatHostOptions options = Played();
    options.failHandleAllocation = true;
    for (std::int16_t selector : {kPsFormatReadPrepare, kPsFormatReadStart, kPsFormatFilterFile})
        EXPECT_EQ(kPsOutOfMemory, host.Call(selector, SmallRaw(), options)) << selector;
    EXPECT_EQ(0, host.DataWord());
}

TEST(RawEntryTest, AHostWithoutWhatAReadNeedsIsWarnedAndRefused)
{
    struct Case {
        const char* name;
        void (*change)(PsFormatHostOptions&);
        const char* warning;
    };
    const Case cases[] = {
        {"no buffer procedures", [](PsFormatHostOptions& o) { o.offerBufferProcs = false; },
         "This plug-in requires Adobe Photoshop\xAE 2.5 or later functionality."},
        {"older buffer procedures", [](PsFormatHostOptions& o) { o.bufferProcsVersion = 1; },
         "This plug-in requires Adobe Photoshop\xAE 2.5 or later functionality."},
        {"too few buffer procedures", [](PsFormatHostOptions& o) { o.bufferProcsCount = 4; },
         "This plug-in requires Adobe Photoshop\xAE 2.5 or later functionality."},
        {"newer buffer procedures", [](PsFormatHostOptions& o) { o.bufferProcsVersion = 3; },
         "This plug-in is incompatible with this version of the host program."},
        {"no advance state", [](PsFormatHostOptions& o) { o.offerAdvanceState = false; },
         "This plug-in requires Adobe Photoshop\xAE 3.0 or later functionality."},
        // The globals then live in the system's global memory.
        {"no handle procedures", [](PsFormatHostOptions& o) { o.offerHandleProcs = false; },
         "This plug-in requires Adobe Photoshop\xAE 3.0 or later functionality."},
        {"too few handle procedures", [](PsFormatHostOptions& o) { o.handleProcsCount = 7; },
         "This plug-in requires Adobe Photoshop\xAE 3.0 or later functionality."},
        {"newer handle procedures", [](PsFormatHostOptions& o) { o.handleProcsVersion = 2; },
         "This plug-in is incompatible with this version of the host program."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedUi ui;
        InProcessHost host;
        PsFormatHostOptions options = Played();
        c.change(options);
        TempFolder folder;
        const std::string copy = folder.Write("copy.qrf", TempFolder::Read(SmallRaw()));
        const PsFormatHostResult result = host.Open(copy, options);
        EXPECT_EQ(kPsFormatOpenFailed, result.start);
        ASSERT_EQ(1u, ui.warnings.size());
        EXPECT_EQ(c.warning, ui.warnings[0]);
        EXPECT_TRUE(DeleteFileA(copy.c_str())) << "the reader still holds the file";
        host.ForgetData();
    }
}

TEST(RawEntryTest, ThePluginFileShowsItsWarningBox)
{
    CPsFormatHost host;
    std::string why;
    ASSERT_TRUE(host.Load(BinFolder() + "TlQrfPlugin.8bi", &why)) << why;
    PsFormatHostOptions options = Played();
    options.handleProcsCount = 7;
    MessageBoxWatcher watcher(20000);
    const PsFormatHostResult result = host.Open(SmallRaw(), options);
    const WatchedBox& box = watcher.Result();
    EXPECT_EQ(kPsFormatOpenFailed, result.start);
    ASSERT_TRUE(box.found);
    EXPECT_EQ("", box.caption);
    EXPECT_EQ("This plug-in requires Adobe Photoshop\xAE 3.0 or later functionality.", box.text);
}

TEST(RawEntryTest, FilesTheReaderCannotReadFailCleanlyAndAreLetGo)
{
    TempFolder folder;
    const std::string raw = TempFolder::Read(SmallRaw());
    ASSERT_GT(raw.size(), 4096u);
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<PsResult> allowed;
    };
    std::string corrupt = raw;
    for (std::size_t i = 8; i < corrupt.size(); i += 7)
        corrupt[i] = char(corrupt[i] ^ 0x5A);
    const Case cases[] = {
        {"text", "This is not a picture at all.\n", {kPsFormatCannotRead}},
        {"empty", "", {kPsFormatCannotRead, kPsFormatOpenFailed}},
        {"truncated", raw.substr(0, raw.size() / 3), {kPsFormatCannotRead, kPsFormatOpenFailed}},
        {"header only", raw.substr(0, 16), {kPsFormatCannotRead, kPsFormatOpenFailed}},
        {"corrupt", corrupt, {kPsFormatCannotRead, kPsFormatOpenFailed, kPsReadError}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedUi ui;
        InProcessHost host;
        const std::string path = folder.Write(std::string(c.name) + ".qrf", c.bytes);
        const PsFormatHostResult result = host.Open(path, Played());
        const PsResult failure = result.start != kPsNoError ? result.start : result.readContinue;
        EXPECT_NE(std::find(c.allowed.begin(), c.allowed.end(), failure), c.allowed.end()) << failure;
        EXPECT_TRUE(DeleteFileA(path.c_str())) << "the reader still holds the file";
        host.ForgetData();
    }
}

TEST(RawEntryTest, AFailedStartLetsTheFileGoAndTheNextFileOpens)
{
    TempFolder folder;
    const std::string copy = folder.Write("copy.qrf", TempFolder::Read(SmallRaw()));
    ScriptedUi ui;
    ui.dialogAnswer = false;
    InProcessHost host;
    PsFormatHostOptions asking = Played();
    asking.playInfo = kPsPlayDisplay;
    const PsFormatHostResult cancelled = host.Open(copy, asking);
    EXPECT_EQ(kPsUserCanceled, cancelled.start);
    EXPECT_EQ(1, ui.dialogs);
    EXPECT_TRUE(DeleteFileA(copy.c_str()));
    const PsFormatHostResult next = host.Open(SmallRaw(), Played());
    EXPECT_EQ(kPsNoError, next.start);
    EXPECT_EQ(kPsNoError, next.readContinue);
    host.ForgetData();
}

TEST(RawEntryTest, AFileThatIsNotCameraRawAsksFirstAndStartsFromNoSettings)
{
    SettingsKey key;
    // A Qrf file whose picture is 16-bit grey is not camera raw.
    const std::string& developed = Fixture("grey", "--model 258 --width 192 --height 128 --mosaic-format 10020001");
    struct Case {
        bool answer;
        bool ticked;
        PsResult start;
        long stored;
    };
    const Case cases[] = {{false, false, kPsUserCanceled, -1}, {true, true, kPsNoError, 0}};
    for (const Case& c : cases) {
        ScriptedUi ui;
        ui.noticeAnswer = c.answer;
        ui.noticeTicked = c.ticked;
        InProcessHost host;
        const PsFormatHostResult result = host.Open(developed, Played());
        EXPECT_EQ(1, ui.notices);
        EXPECT_EQ(c.start, result.start);
        EXPECT_EQ(c.stored, key.Get("IsMessageBoxAppear"));
        host.ForgetData();
    }
    ScriptedUi ui;
    InProcessHost host;
    // Turned by the last camera raw file; this one is not turned.
    const PsFormatHostResult raw = host.Open(SmallRaw(), [] {
        PsFormatHostOptions o = Played();
        o.descriptor = Descriptor(2, 1.0, 90, false);
        return o;
    }());
    EXPECT_EQ(116, raw.width);
    const PsFormatHostResult next = host.Open(developed, Played());
    EXPECT_EQ(0, ui.notices);
    EXPECT_EQ(kPsNoError, next.readContinue);
    EXPECT_EQ(192, next.width);
    EXPECT_EQ(128, next.height);
    EXPECT_EQ(kPsModeGrey, next.imageMode);
    EXPECT_EQ(1, next.planes);
    host.ForgetData();
}

} // namespace

namespace {

TEST(RawEntryTest, ThePluginFileLoadsTheSignalLibraryFromItsOwnFolder)
{
    TempFolder folder;
    const std::string plugin = folder.Write("TlQrfPlugin.8bi", TempFolder::Read(BinFolder() + "TlQrfPlugin.8bi"));
    const std::string& raw = Fixture("m513", "--model 513 --width 384 --height 256 --pattern YCGM");
    PsFormatHostOptions options;
    options.hasDescriptor = true;
    options.descriptor = Descriptor(0, 0.0, 0, false);
    {
        // Beside the test program there is a "Sigcore.dll", but not beside the plug-in.
        CPsFormatHost host;
        std::string why;
        ASSERT_TRUE(host.Load(plugin, &why)) << why;
        const PsFormatHostResult result = host.Open(raw, options);
        EXPECT_EQ(kPsNoError, result.start);
        EXPECT_EQ(kPsReadError, result.readContinue);
    }
    folder.Write("Sigcore.dll", TempFolder::Read(BinFolder() + "Sigcore.dll"));
    CPsFormatHost host;
    std::string why;
    ASSERT_TRUE(host.Load(plugin, &why)) << why;
    const PsFormatHostResult result = host.Open(raw, options);
    EXPECT_EQ(kPsNoError, result.readContinue);
    EXPECT_EQ(368, result.width);
    EXPECT_EQ(252, result.height);
    host.ForgetData();
}

} // namespace
