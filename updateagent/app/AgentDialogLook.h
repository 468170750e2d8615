// What every dialog of the agent shows alike: the icon of the language
// library, its caption text and one text control.
#pragma once

#include "ui/TDialog.h"

// Resource ids of the language library shared by the agent's dialogs.
constexpr UINT kAgentIconId = 1017;
constexpr UINT kAgentCaptionId = 1070;

// Sets icon, caption and the text of `controlId`; answers the icon.
HICON ApplyAgentLook(TDialog& dialog, int controlId, UINT textId);

// In front of other windows, and topmost.
void BringToFront(HWND window);

// The texts of failure boxes: caption 1070 and the text `textId`.
bool ShowAgentBox(const TResource& resource, UINT textId, int kind);
