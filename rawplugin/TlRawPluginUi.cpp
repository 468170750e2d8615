#include "TlRawPluginUi.h"

#include "TlRawNotices.h"
#include "TlRawReader.h"
#include "TlRawSettings.h"

#include <windows.h>

namespace {

// Until the settings dialog is built it answers OK with the settings as
// they stand (as a replayed action would).
class CTlRawOwnUi : public ITlRawPluginUi {
public:
    bool RunSettingsDialog(const TlRawDialogSetup&, TlRawDialogResult* result) override
    {
        result->sixMegapixels = TlRawReadSixMegapixels();
        return true;
    }
    bool AskNonRawNotice(bool* dontShowAgain) override
    {
        return TlRawRunNonRawNotice(GetActiveWindow(), dontShowAgain);
    }
    void* OpenEditedNotice(PsFormatRecord* record) override
    {
        HWND editor = nullptr;
        if (record && record->platformData)
            editor = reinterpret_cast<HWND>(record->platformData->hwnd);
        return TlRawOpenEditedNotice(editor);
    }
    void CloseEditedNotice(void* notice) override { TlRawCloseEditedNotice(static_cast<HWND>(notice)); }
    void ShowAbout(const PsAboutRecord*) override {}
    void ShowWarning(const std::string& text) override
    {
        MessageBoxA(nullptr, text.c_str(), "", MB_OK | MB_ICONWARNING);
    }
};

CTlRawOwnUi g_ownUi;
ITlRawPluginUi* g_ui = &g_ownUi;

} // namespace

ITlRawPluginUi& TlRawPluginUi()
{
    return *g_ui;
}

void TlRawSetPluginUi(ITlRawPluginUi* ui)
{
    g_ui = ui ? ui : &g_ownUi;
}
