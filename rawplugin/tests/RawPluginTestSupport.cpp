#include "RawPluginTestSupport.h"

#include "TlRawPluginEntry.h"
#include "TlRawSettings.h"
#include "support/SiblingProcess.h"
#include "support/TempFolder.h"

#include <windows.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>

namespace rawplugin_test {

namespace {

TempFolder& FixtureFolder()
{
    static TempFolder folder;
    return folder;
}

std::map<std::string, std::string>& Made()
{
    static std::map<std::string, std::string> made;
    return made;
}

} // namespace

std::string BinFolder()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

const std::string& Fixture(const std::string& name, const std::string& arguments)
{
    auto found = Made().find(name);
    if (found != Made().end())
        return found->second;
    const std::string path = FixtureFolder().File(name + ".qrf");
    const std::string patches = FixtureFolder().File(name + ".patches");
    SiblingProcess maker("TlQrfFixtures.exe", "\"" + path + "\" " + arguments + " --patches \"" + patches + "\"");
    EXPECT_EQ(0, maker.Wait()) << "making " << name << " with " << arguments;
    return Made()[name] = path;
}

std::vector<Patch> Patches(const std::string& name)
{
    std::vector<Patch> patches;
    std::ifstream in(FixtureFolder().File(name + ".patches"));
    Patch p{};
    while (in >> p.left >> p.top >> p.right >> p.bottom >> p.r >> p.g >> p.b)
        patches.push_back(p);
    return patches;
}

double SrgbByte(unsigned linear)
{
    const double x = linear / 65535.0;
    const double s = x <= 0.0031308 ? 12.92 * x : 1.055 * std::pow(x, 1.0 / 2.4) - 0.055;
    return 255.0 * s;
}

double Mean(const PsFormatHostResult& result, long left, long top, long right, long bottom, int channel)
{
    double sum = 0.0;
    long count = 0;
    for (long y = top; y < bottom; ++y)
        for (long x = left; x < right; ++x, ++count)
            sum += result.Pixel(x, y)[channel];
    return count ? sum / count : 0.0;
}

std::vector<PsDescriptorValue> Descriptor(int balanceIndex, double exposure, int rotation, bool sixMegapixels)
{
    return {
        PsDescriptorValue::Enumerated(PsFourCC('k', 'w', 'b', 'O'), PsFourCC('t', 'w', 'b', 'E'),
                                      TlRawBalanceValueOf(balanceIndex)),
        PsDescriptorValue::Float(PsFourCC('k', 'e', 'x', 'F'), exposure),
        PsDescriptorValue::Integer(PsFourCC('k', 'r', 't', 'I'), rotation),
        PsDescriptorValue::Enumerated(PsFourCC('k', 'k', 'b', 'O'), PsFourCC('k', 'b', 's', 'E'),
                                      sixMegapixels ? PsFourCC('K', 'B', '0', '6') : PsFourCC('K', 'B', '1', '0')),
    };
}

bool ScriptedUi::RunSettingsDialog(const TlRawDialogSetup&, TlRawDialogResult* result)
{
    ++dialogs;
    if (dialogAnswer)
        *result = dialogResult;
    return dialogAnswer;
}

bool ScriptedUi::AskNonRawNotice(bool* dontShowAgain)
{
    ++notices;
    *dontShowAgain = noticeTicked;
    return noticeAnswer;
}

void* ScriptedUi::OpenEditedNotice(PsFormatRecord*)
{
    ++editedNotices;
    return this;
}

void ScriptedUi::CloseEditedNotice(void*)
{
    ++closedNotices;
}

void ScriptedUi::ShowAbout(const PsAboutRecord*)
{
    ++abouts;
}

void ScriptedUi::ShowWarning(const std::string& text)
{
    warnings.push_back(text);
}

SettingsKey::SettingsKey()
{
    m_sandbox.OwnKey(HKEY_CURRENT_USER, kTlRawSettingsKey);
}

void SettingsKey::Set(const char* name, unsigned long value)
{
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kTlRawSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                             nullptr, &key, nullptr));
    const DWORD stored = value;
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&stored), sizeof stored);
    RegCloseKey(key);
}

long SettingsKey::Get(const char* name) const
{
    DWORD value = 0, size = sizeof value, type = 0;
    if (RegGetValueA(HKEY_CURRENT_USER, kTlRawSettingsKey, name, RRF_RT_REG_DWORD, &type, &value, &size) !=
        ERROR_SUCCESS)
        return -1;
    return long(value);
}

InProcessHost::InProcessHost()
{
    Attach(&ENTRYPOINT);
}

} // namespace rawplugin_test
