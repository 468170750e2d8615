// The neutral settings file: the same bytes in every run, in this process
// and from the program; it loads whole and brings every record back to the
// state a new image starts in, whatever the records held; a folder that is
// not there gets no file; the installed copy lies beside the library.
#include "MakeNeutralSettings/TlNeutralSettingsMaker.h"

#include "settings/curves/TlLutGroupDefaults.h"
#include "settings/edit/TlvEditSettings.h"
#include "settings/edit/TlvEditSlots.h"
#include "settings/holders/TlvHolderDefaults.h"
#include "settings/holders/TlvSettingsHolder.h"
#include "support/RegistryValues.h"
#include "support/TempFolder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes ReadFile(const std::string& path)
{
    const std::string text = TempFolder::Read(path);
    return Bytes(text.begin(), text.end());
}

// A curve container of `kind` with the channels the control sets up.
std::unique_ptr<CTlLutGroup> DefaultChannels(int kind)
{
    auto group = std::make_unique<CTlLutGroup>();
    group->SetKind(kind);
    EXPECT_TRUE(TlSetDefaultChannels(*group, kind));
    return group;
}

Bytes RecordForm(ITlState& record)
{
    Bytes bytes(static_cast<std::size_t>(record.GetSize()));
    record.Save(bytes.data(), static_cast<int>(bytes.size()));
    return bytes;
}

// A holder whose records and use flags are far from neutral.
void ChangeEverywhere(CTlvSettingsHolder& holder)
{
    holder.adjust.value = 1.5;
    holder.adjust.mode = 5;
    holder.adjust.SetToneMode(4);
    holder.whiteBalance.mode = CTlWhiteBalanceState::kModeTemperature;
    holder.whiteBalance.firstGain = 5200.0;
    holder.general.values[2] = 1;
    holder.adjustUsed = 0;
    holder.vignetteUsed = 1;
    holder.revelationUsed = 1;
    holder.flip = 1;
    holder.angle = 90;
}

// Runs the program beside this test with `folder`; its exit code, or -1.
long RunMaker(const std::string& folder)
{
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string program = self;
    program.resize(program.rfind('\\') + 1);
    program += "TlMakeNeutralSettings.exe";
    std::string command = "\"" + program + "\" \"" + folder + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(program.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return -1;
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<long>(code);
}

TEST(NeutralSettingsMaker, SameBytesInEveryRunInProcessAndFromTheProgram)
{
    const Bytes bytes = TlBuildNeutralSettings();
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(bytes, TlBuildNeutralSettings());

    TempFolder first;
    TempFolder second;
    std::string failure = "unchanged";
    ASSERT_TRUE(TlWriteNeutralSettings(first.Path().c_str(), &failure)) << failure;
    EXPECT_TRUE(failure.empty());
    EXPECT_EQ(bytes, ReadFile(first.File("Neutral.set")));
    // Written again over itself: the same file, not a longer one.
    ASSERT_TRUE(TlWriteNeutralSettings(first.Path().c_str(), nullptr));
    EXPECT_EQ(bytes, ReadFile(first.File("Neutral.set")));

    std::string bare = second.Path();
    bare.pop_back(); // as the install step passes it, without a backslash
    ASSERT_EQ(0, RunMaker(bare));
    EXPECT_EQ(bytes, ReadFile(second.File("Neutral.set")));
}

TEST(NeutralSettingsMaker, LoadsWholeAndResetsEveryRecordToANewImagesState)
{
    const Bytes bytes = TlBuildNeutralSettings();
    CTlvSettingsHolder holder;
    ChangeEverywhere(holder);
    CTlvEditSettings settings(holder.flip, holder.angle);
    holder.ExportTo(settings);
    ASSERT_EQ(int(bytes.size()), settings.Load(bytes.data(), int(bytes.size()), TlvHolderDefaults::kImageWidth,
                                               TlvHolderDefaults::kImageHeight));
    EXPECT_EQ(0, settings.flip);
    EXPECT_EQ(0, settings.angle);

    // Slot by slot: the record and its use flag as a new image has them;
    // curves as the identity. The geometry has a test of its own.
    CTlvSettingsHolder untouched;
    CTlvEditSettings fresh(untouched.flip, untouched.angle);
    untouched.ExportTo(fresh);
    for (const TlvEditSlot& slot : TlvEditSlots()) {
        if (slot.record == nullptr || slot.record(settings) == nullptr)
            continue;
        SCOPED_TRACE(testing::Message() << "slot 0x" << std::hex << slot.bit);
        EXPECT_TRUE(settings.recordsDone & slot.bit) << "not stored";
        if (slot.flag != nullptr) {
            EXPECT_EQ(*slot.flag(fresh), *slot.flag(settings));
        }
        if (slot.kind == TlvSlotKind::CurveGroup) {
            EXPECT_TRUE(slot.atDefaults(settings));
            EXPECT_EQ(RecordForm(*DefaultChannels(slot.curveKind)), RecordForm(*slot.record(settings)));
        } else if (slot.kind != TlvSlotKind::Geometry) {
            EXPECT_EQ(RecordForm(*slot.record(fresh)), RecordForm(*slot.record(settings)));
        }
    }

    holder.ImportFrom(settings);
    EXPECT_DOUBLE_EQ(0.0, holder.adjust.ExposureCompensation());
    EXPECT_EQ(3, holder.adjust.HueLevel());
    EXPECT_EQ(CTlWhiteBalanceState::kModeAsShot, holder.whiteBalance.mode);
    EXPECT_EQ(0, holder.vignetteUsed);
}

// The stored geometry holds none of its own: it becomes the whole picture
// of whatever size the image has.
TEST(NeutralSettingsMaker, GeometryBecomesTheWholePictureOfTheImage)
{
    const Bytes bytes = TlBuildNeutralSettings();
    const struct {
        int width;
        int height;
    } sizes[] = {{640, 480}, {480, 640}, {TlvHolderDefaults::kImageWidth, TlvHolderDefaults::kImageHeight}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(std::to_string(size.width) + "x" + std::to_string(size.height));
        CTlvSettingsHolder holder;
        holder.geometry = CTlGeometryState(100, 100, nullptr, 72.0);
        CTlvEditSettings settings(0, 0);
        holder.ExportTo(settings);
        ASSERT_GT(settings.Load(bytes.data(), int(bytes.size()), size.width, size.height), 0);
        EXPECT_TRUE(settings.recordsDone & kTlvSlotGeometry);
        EXPECT_TRUE(holder.geometry.IsUncropped());
        CTlGeometryState whole(unsigned(size.width), unsigned(size.height), nullptr, TlvHolderDefaults::kResolution);
        EXPECT_EQ(RecordForm(whole), RecordForm(holder.geometry));
    }
}

TEST(NeutralSettingsMaker, FolderThatIsNotThereGetsNoFile)
{
    TempFolder temp;
    const struct {
        const char* name;
        std::string folder;
    } cases[] = {
        {"missing", temp.File("none")},
        {"a file", temp.Write("plain", "x")},
        {"empty", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string failure;
        EXPECT_FALSE(TlWriteNeutralSettings(c.folder.c_str(), &failure));
        EXPECT_FALSE(failure.empty());
        EXPECT_FALSE(TempFolder::Exists(c.folder + "\\Neutral.set"));
    }
    EXPECT_FALSE(TlWriteNeutralSettings(nullptr, nullptr));
    EXPECT_EQ(1, RunMaker(temp.File("none")));
    EXPECT_FALSE(TempFolder::Exists(temp.File("none")));
}

// The install step lays the file beside the library in the program folder,
// where the library looks for it. Before the step has run there is nothing
// to check.
TEST(NeutralSettingsMaker, InstalledCopyLiesBesideTheLibrary)
{
    StoredValue programs;
    ASSERT_TRUE(LoadValue(HKEY_LOCAL_MACHINE, kWindowsCurrentVersionKey, "ProgramFilesDir", programs));
    std::string root(programs.data.begin(), programs.data.end());
    root.resize(root.find('\0') == std::string::npos ? root.size() : root.find('\0'));
    const std::string folder = root + "\\Talvo\\Imagora\\";
    if (!TempFolder::Exists(folder + "TlbQrf.dll"))
        GTEST_SKIP() << "the install step has not run in this prefix";
    ASSERT_TRUE(TempFolder::Exists(folder + "Neutral.set"));
    EXPECT_EQ(TlBuildNeutralSettings(), ReadFile(folder + "Neutral.set"));
}

} // namespace
