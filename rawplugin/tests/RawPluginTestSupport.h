// What the raw plug-in's tests share: synthetic raw files made once per
// test program by the fixture maker, the scene's patches, the plug-in's
// entry driven in process through the format host, scripted windows, and
// the registry key the plug-in keeps its settings under.
#pragma once

#include "PsFormatHost.h"
#include "TlRawPluginUi.h"
#include "support/RegistrySandbox.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace rawplugin_test {

// A raw file made by TlQrfFixtures with `arguments` (after the output path),
// kept under `name` for the rest of the test program.
const std::string& Fixture(const std::string& name, const std::string& arguments);
// The flat patches of a fixture made with "--patches".
struct Patch {
    long left, top, right, bottom;
    unsigned r, g, b; // linear, 16 bits
};
std::vector<Patch> Patches(const std::string& name);
// A linear 16-bit value through the sRGB curve to 8 bits.
double SrgbByte(unsigned linear);
// The mean of one channel over a rectangle of a result.
double Mean(const PsFormatHostResult& result, long left, long top, long right, long bottom, int channel);

// The folder of the test program (bin/), ending in a backslash.
std::string BinFolder();

// A recorded action that does not ask for the dialog.
std::vector<PsDescriptorValue> Descriptor(int balanceIndex, double exposure, int rotation, bool sixMegapixels);

// Windows that answer as a test says and count what was asked.
class ScriptedUi : public ITlRawPluginUi {
public:
    ScriptedUi() { TlRawSetPluginUi(this); }
    ~ScriptedUi() { TlRawSetPluginUi(nullptr); }

    bool RunSettingsDialog(const TlRawDialogSetup& setup, TlRawDialogResult* result) override;
    bool AskNonRawNotice(bool* dontShowAgain) override;
    void* OpenEditedNotice(PsFormatRecord* record) override;
    void CloseEditedNotice(void* notice) override;
    void ShowAbout(const PsAboutRecord* record) override;
    void ShowWarning(const std::string& text) override;

    bool dialogAnswer = true;
    TlRawDialogResult dialogResult;
    bool noticeAnswer = true;
    bool noticeTicked = false;
    int dialogs = 0;
    int notices = 0;
    int editedNotices = 0;
    int closedNotices = 0;
    int abouts = 0;
    std::vector<std::string> warnings;
};

// The plug-in's settings key, removed now and when the test ends.
class SettingsKey {
public:
    SettingsKey();
    void Set(const char* name, unsigned long value);
    // -1 when the value is missing.
    long Get(const char* name) const;

private:
    RegistrySandbox m_sandbox;
};

// The plug-in's entry in this process, driven by a host.
class InProcessHost : public CPsFormatHost {
public:
    InProcessHost();
};

} // namespace rawplugin_test
