// The plug-in's windows as the read cycle reaches them: the settings
// dialog, the notice for files that are not camera raw, the notice shown
// while an edited file is read, the about box and the host-capability
// warning. Tests put in answers of their own.
#pragma once

#include "psplugin/PsFormat.h"

#include <string>

class CTlRawReader;

struct TlRawDialogResult {
    int rotationChange = 0; // degrees, 0 to 359
    int whiteBalance = 0;
    double exposure = 0.0;
    bool sixMegapixels = false;
};

struct TlRawDialogSetup {
    CTlRawReader* reader;
    std::string path;
    long width;
    long height;
    int rotation;
};

class ITlRawPluginUi {
public:
    // True for OK, with the user's choices.
    virtual bool RunSettingsDialog(const TlRawDialogSetup& setup, TlRawDialogResult* result) = 0;
    // True for OK; `dontShowAgain` tells whether the check box was ticked.
    virtual bool AskNonRawNotice(bool* dontShowAgain) = 0;
    // The modeless notice; its handle (may be null), closed by CloseEditedNotice.
    virtual void* OpenEditedNotice(PsFormatRecord* record) = 0;
    virtual void CloseEditedNotice(void* notice) = 0;
    virtual void ShowAbout(const PsAboutRecord* record) = 0;
    // A warning box without caption.
    virtual void ShowWarning(const std::string& text) = 0;

protected:
    ~ITlRawPluginUi() = default;
};

// The windows in force (the plug-in's own unless a test set others).
ITlRawPluginUi& TlRawPluginUi();
// null restores the plug-in's own.
void TlRawSetPluginUi(ITlRawPluginUi* ui);
