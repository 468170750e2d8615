// Load: the common start (id, version) and the fix-ups that follow the
// reading of either stored version.
#include "settings/edit/TlvEditSettings.h"

#include "settings/edit/TlvEditLoading.h"
#include "settings/record/TlFieldCopy.h"
#include "settings/record/TlStateIds.h"

#include <cstring>

namespace {

// What a Load returns for a version it does not read.
constexpr int kUnreadVersionZero = TlStateLayout::kLengthOffset;
constexpr int kUnreadVersion = TlStateLayout::kHeaderSize;

} // namespace

int CTlvEditSettings::Load(const unsigned char* buffer, int size, int width, int height)
{
    if (buffer == nullptr || size < TlStateLayout::kIdSize)
        return 0;
    loaded = 1;
    marker = 0;
    recordsDone = 0;
    flagsDone = 0;
    if (std::memcmp(buffer, &kTlIdEditSettings, TlStateLayout::kIdSize) != 0)
        return 0;
    std::uint16_t version = 0;
    if (size >= TlStateLayout::kLengthOffset)
        ReadValue(buffer + TlStateLayout::kVersionOffset, &version, sizeof version);

    TlvLoadContext context;
    context.width = width;
    context.height = height;
    int result = 0;
    switch (version) {
    case 1:
        result = TlvLoadVersion1(*this, buffer, size, context);
        break;
    case 2:
        result = TlvLoadVersion2(*this, buffer, size, context);
        break;
    default:
        return version == 0 ? kUnreadVersionZero : kUnreadVersion;
    }
    TlvRebuildIncompleteCurves(*this, context);
    TlvMendWhiteBalance(*this);
    return result;
}
