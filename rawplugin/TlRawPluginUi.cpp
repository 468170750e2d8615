#include "TlRawPluginUi.h"

#include "TlRawReader.h"
#include "TlRawSettings.h"

#include <windows.h>

namespace {

// Until the dialogs are built, the settings dialog answers OK with the
// settings as they stand (as a replayed action would), the notice OK
// without its check box, and the edited-picture notice is not shown.
class CTlRawOwnUi : public ITlRawPluginUi {
public:
    bool RunSettingsDialog(const TlRawDialogSetup&, TlRawDialogResult* result) override
    {
        result->sixMegapixels = TlRawReadSixMegapixels();
        return true;
    }
    bool AskNonRawNotice(bool* dontShowAgain) override
    {
        *dontShowAgain = false;
        return true;
    }
    void* OpenEditedNotice(PsFormatRecord*) override { return nullptr; }
    void CloseEditedNotice(void*) override {}
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
