// The plug-in's two per-user settings under HKEY_CURRENT_USER
// "Software\Talvo Qrf Plugin\2.0\Settings", and the exchange of its four
// development settings with the image editor's scripting through a
// descriptor.
#pragma once

#include "TlRawPluginGlobals.h"

constexpr const char* kTlRawSettingsKey = "Software\\Talvo Qrf Plugin\\2.0\\Settings";

// "IsMessageBoxAppear": show the notice for files that are not camera raw
// unless the value reads 0.
bool TlRawReadNoticeWanted();
// "IsKX7B6MSetting": true only when the value reads 1.
bool TlRawReadSixMegapixels();
// Store 1 when `value` is 1, else 0; a key that cannot be made is ignored.
void TlRawWriteNoticeWanted(int value);
void TlRawWriteSixMegapixels(int value);

// Reads the scripting parameters into the globals; `showDialog` says
// whether the settings dialog is to run. A close result other than 0 and
// -1715 is returned, and the globals then stay as they were.
PsResult TlRawReadDescriptor(PsFormatRecord* record, TlRawGlobals* globals, bool* showDialog);
// Hands the host a new descriptor holding the globals' four settings.
void TlRawWriteDescriptor(PsFormatRecord* record, const TlRawGlobals& globals);

// Dialog white-balance index <-> the enumeration 'twbE'.
int TlRawBalanceIndexOf(PsKey value);
PsKey TlRawBalanceValueOf(int index);
