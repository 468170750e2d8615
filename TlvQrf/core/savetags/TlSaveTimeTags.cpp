#include "savetags/TlSaveTimeTags.h"

#include "savetags/TlSaveTagWrite.h"

#include "kelvra/KelvraTagControl.h"
#include "load/TlFileExtras.h"
#include "load/TlStoredSettings.h"
#include "params/TlvParamSet.h"

#include <cstdio>

namespace {

void Drop(IKelvraError* error)
{
    IKelvraError::Release(error);
}

void WriteIptc(IKelvraTagControl& tags, const CTlvParamSet& params)
{
    if (params.tagBlob == nullptr || params.tagBlobSize == 0) {
        Drop(tags.RemoveTag(kTlIptcTag));
        return;
    }
    KelvraTagDataHeader header = {1, params.tagBlobSize, const_cast<unsigned char*>(params.tagBlob)};
    Drop(WriteSaveTag(tags, kTlIptcTag, kKelvraTagTypeDataHeader, sizeof header, &header));
}

void WriteText(IKelvraTagControl& tags, std::uint32_t id, const std::string& text)
{
    Drop(WriteSaveTag(tags, id, kKelvraTagTypeText, static_cast<std::uint32_t>(text.size() + 1), text.c_str()));
}

// False when the dust identification is to go too: the value could not be
// set, or a tag that could not be added could not be taken away either.
bool WriteDateTime(IKelvraTagControl& tags, const std::string& text)
{
    const bool existed = tags.HasTag(kTlDateTimeTag, 0);
    if (IKelvraError* addError = existed ? nullptr : tags.AddTag(kTlDateTimeTag)) {
        Drop(addError);
        IKelvraError* removeError = tags.RemoveTag(kTlDateTimeTag);
        const bool removed = removeError == nullptr;
        Drop(removeError);
        return removed;
    }
    IKelvraError* error =
        tags.SetTag(kTlDateTimeTag, kKelvraTagTypeText, static_cast<std::uint32_t>(text.size() + 1), text.c_str());
    if (error == nullptr)
        return true;
    Drop(error);
    // A tag added here must not stay behind without a value.
    if (!existed)
        Drop(tags.RemoveTag(kTlDateTimeTag));
    return false;
}

} // namespace

std::string FormatTagDateTime(const SYSTEMTIME& time)
{
    char text[48];
    std::snprintf(text, sizeof text, "%04d:%02d:%02d %02d:%02d:%02d", time.wYear, time.wMonth, time.wDay,
                  time.wHour, time.wMinute, time.wSecond);
    return text;
}

void WriteSaveTimeTags(IKelvraTagControl& tags, const CTlvParamSet& params, const std::string& softwareTag,
                       const SYSTEMTIME& now)
{
    WriteIptc(tags, params);
    if (!softwareTag.empty())
        WriteText(tags, kTlSoftwareTag, softwareTag);
    Drop(tags.RemoveTag(kTlAngleTag));
    Drop(tags.RemoveTag(kTlMirrorTag));
    if (!WriteDateTime(tags, FormatTagDateTime(now)))
        Drop(tags.RemoveTag(kTlDustIdentificationTag));
}
