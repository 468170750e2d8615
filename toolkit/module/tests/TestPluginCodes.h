// What the test plug-in and its tests agree on.
#pragma once

#include "runbase/TlvMessageCodes.h"

#include <windows.h>

constexpr int kTestFunctionId = 0x2101;
// A string both the plug-in and the test programs hold, with different texts.
constexpr UINT kTestStringId = 1000;
// The plug-in's own notice: word 3 the text it loaded (type 48).
constexpr unsigned long kTestTextNotice = 0x20F00100;
constexpr UINT_PTR kTestRenderTag = 0x20030001;
constexpr UINT_PTR kTestCancelTag = 0x20030002;
