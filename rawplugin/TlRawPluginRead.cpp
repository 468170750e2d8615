#include "TlRawPluginRead.h"

#include "TlRawPluginHost.h"
#include "TlRawPluginUi.h"
#include "TlRawReader.h"
#include "TlRawSettings.h"
#include "TlnTagValues.h"

#include <cstring>
#include <new>
#include <vector>

namespace {

constexpr std::uint32_t kTagIptc = 0x83BB;
constexpr long kModel259 = 259;
constexpr long kNarrowWidth = 2013;

// Reader results of the open step as the editor's codes.
PsResult OpenResult(int reader)
{
    if (reader == kTlRawUnknownFormat || reader == kTlRawUnsupported)
        return kPsFormatCannotRead;
    return reader == kTlRawOk ? PsResult(kPsNoError) : PsResult(kPsFormatOpenFailed);
}

PsResult OpenAndProbe(TlRawGlobals* g)
{
    if (!g->reader) {
        g->reader = new (std::nothrow) CTlRawReader();
        if (!g->reader)
            return kPsOutOfMemory;
    }
    const PsFormatRecord* record = g->record;
    if (int opened = g->reader->Open(record->fileSpec ? record->fileSpec : ""))
        return OpenResult(opened);
    std::uint32_t kind = 0;
    int cameraRaw = 0;
    if (g->reader->GetFileKind(&kind, &cameraRaw) != kTlRawOk || kind != kTlRawKindQrf)
        return kPsFormatCannotRead;
    g->cameraRaw = cameraRaw == 1 ? 1 : 0;
    bool edited = false;
    if (g->reader->IsEdited(&edited) != kTlRawOk)
        return kPsFormatOpenFailed;
    g->edited = edited ? 1 : 0;
    return kPsNoError;
}

PsResult Describe(TlRawGlobals* g, TlRawDescription* description)
{
    const int result = g->record->openForPreview ? g->reader->DescribePreview(description)
                                                 : g->reader->Describe(description);
    return result == kTlRawOk ? PsResult(kPsNoError) : PsResult(kPsFormatOpenFailed);
}

// The settings of a camera raw file that carries none of its own: from the
// recorded action, or from the dialog when the action asks for it.
PsResult AskSettings(TlRawGlobals* g, const TlRawDescription& description)
{
    bool showDialog = true;
    if (PsResult read = TlRawReadDescriptor(g->record, g, &showDialog))
        return read;
    if (showDialog) {
        TlRawDialogSetup setup{g->reader, g->record->fileSpec ? g->record->fileSpec : "", description.width,
                               description.height, g->rotation};
        TlRawDialogResult chosen;
        chosen.whiteBalance = g->whiteBalance;
        chosen.exposure = g->exposure;
        chosen.sixMegapixels = g->sixMegapixels != 0;
        if (!TlRawPluginUi().RunSettingsDialog(setup, &chosen))
            return kPsUserCanceled;
        g->whiteBalance = chosen.whiteBalance;
        g->exposure = chosen.exposure;
        g->rotation = (g->rotation + chosen.rotationChange) % 360;
        g->sixMegapixels = chosen.sixMegapixels ? 1 : 0;
    }
    TlRawWriteDescriptor(g->record, *g);
    return kPsNoError;
}

PsResult SetUpOutput(TlRawGlobals* g, TlRawDescription* description)
{
    CTlRawReader& reader = *g->reader;
    const long model = reader.GetModelCode();
    long width = description->width;
    long height = description->height;
    const bool native6 = (width == 3008 && height == 1960) || (width == 1960 && height == 3008);
    if (model == kModel259 && g->sixMegapixels && native6) {
        if (reader.SetSixMegapixelOutput() != kTlRawOk)
            return kPsFormatOpenFailed;
    } else {
        bool edited = false;
        if (reader.IsEdited(&edited) != kTlRawOk)
            return kPsFormatOpenFailed;
        if (model == kModel259 && !edited) {
            const bool wide = width > height;
            width = wide ? 4016 : 2616;
            height = wide ? 2616 : 4016;
        }
    }
    if (g->rotation == 90 || g->rotation == 270)
        std::swap(width, height);
    const long orientation = TlRawExifOrientation(description->orientation + g->rotation);
    if (reader.ConfigureOutput(description->imageIndex, width, height, 1, description->colorSpace, orientation) !=
            kTlRawOk ||
        reader.Describe(description) != kTlRawOk)
        return kPsFormatOpenFailed;
    if (g->whiteBalance != 0 && reader.SetWhiteBalance(g->whiteBalance) != kTlRawOk)
        return kPsFormatOpenFailed;
    if ((reader.HasTag(kTlnTagStoredSettings) || g->exposure != 0.0) && reader.SetExposure(g->exposure) != kTlRawOk)
        return kPsFormatOpenFailed;
    return kPsNoError;
}

PsResult PrepareFullRead(TlRawGlobals* g, TlRawDescription* description)
{
    CTlRawReader& reader = *g->reader;
    const bool noSettings = !g->cameraRaw || g->edited;
    if (!g->cameraRaw && TlRawReadNoticeWanted()) {
        bool dontShowAgain = false;
        if (!TlRawPluginUi().AskNonRawNotice(&dontShowAgain))
            return kPsUserCanceled;
        if (dontShowAgain)
            TlRawWriteNoticeWanted(0);
    }
    if (noSettings) {
        // Nothing of the previous file's settings carries over; an edited
        // file is developed with the exposure it carries.
        g->whiteBalance = 0;
        g->rotation = 0;
        g->exposure = 0.0;
        if (g->edited && reader.GetExposure(&g->exposure) != kTlRawOk)
            return kPsFormatOpenFailed;
        if (description->bytesPerSample != 1) {
            if (reader.ConfigureOutput(description->imageIndex, description->width, description->height, 1,
                                       description->colorSpace, TlRawExifOrientation(description->orientation)) !=
                    kTlRawOk ||
                reader.Describe(description) != kTlRawOk)
                return kPsFormatOpenFailed;
        }
    } else if (PsResult asked = AskSettings(g, *description)) {
        return asked;
    }
    return SetUpOutput(g, description);
}

void FillRecord(TlRawGlobals* g, const TlRawDescription& description)
{
    PsFormatRecord* record = g->record;
    const long planes = description.colorSpace == 3 ? 4 : description.colorSpace == 2 ? 1 : 3;
    const long bytes = description.bytesPerSample;
    record->imageMode = std::int16_t(description.colorSpace == 3   ? kPsModeCMYK
                                     : description.colorSpace == 2 ? kPsModeGrey
                                                                   : kPsModeRGB);
    record->planes = std::int16_t(planes);
    record->imageSize.v = std::int32_t(description.height);
    record->imageSize.h = std::int32_t(description.width);
    record->depth = std::int16_t(8 * bytes);
    record->planeBytes = std::int32_t(bytes);
    record->colBytes = std::int16_t(planes * bytes);
    record->rowBytes = std::int32_t(planes * description.width * bytes);
    record->loPlane = 0;
    record->hiPlane = std::int16_t(record->colBytes - 1);
    g->bytesPerSample = std::int32_t(bytes);
    double dpi = 0.0;
    if (g->reader->GetResolution(&dpi) == kTlRawOk && dpi >= 1.0 && dpi < 32768.0) {
        record->imageHRes = PsFixed(long(dpi) << 16);
        record->imageVRes = record->imageHRes;
    }
}

void HandOverCaption(TlRawGlobals* g)
{
    PsFormatRecord* record = g->record;
    std::uint32_t size = 0;
    if (!record->propertyProcs || !record->propertyProcs->setPropertyProc ||
        g->reader->GetTagData(kTagIptc, &size, nullptr) != kTlRawOk || size == 0)
        return;
    PsHandle handle = TlRawNewHandle(record, size);
    if (!handle)
        return;
    void* bytes = TlRawLockHandle(record, handle);
    if (bytes && g->reader->GetTagData(kTagIptc, &size, bytes) == kTlRawOk) {
        TlRawUnlockHandle(record, handle);
        record->propertyProcs->setPropertyProc(kPsPropertySignature, kPsPropertyCaption, 0, 0, handle);
    } else if (bytes) {
        TlRawUnlockHandle(record, handle);
    }
    TlRawDisposeHandle(record, handle);
}

void HandOverProfile(TlRawGlobals* g)
{
    PsFormatRecord* record = g->record;
    std::uint32_t size = 0;
    if (g->reader->GetIccProfile(&size, nullptr) != kTlRawOk || size == 0)
        return;
    PsHandle handle = TlRawNewHandle(record, size);
    if (!handle)
        return;
    void* bytes = TlRawLockHandle(record, handle);
    const bool filled = bytes && g->reader->GetIccProfile(&size, bytes) == kTlRawOk;
    if (bytes)
        TlRawUnlockHandle(record, handle);
    if (!filled) {
        TlRawDisposeHandle(record, handle);
        return;
    }
    record->iCCprofileData = handle;
    record->iCCprofileSize = std::int32_t(size);
}

PsResult ReadStartSteps(TlRawGlobals* g)
{
    if (PsResult opened = OpenAndProbe(g))
        return opened;
    if (!TlRawHostCanRead(g->record))
        return kPsFormatOpenFailed;
    TlRawDescription description;
    if (PsResult described = Describe(g, &description))
        return described;
    if (!g->record->openForPreview) {
        if (PsResult prepared = PrepareFullRead(g, &description))
            return prepared;
    }
    FillRecord(g, description);
    HandOverCaption(g);
    HandOverProfile(g);
    return kPsNoError;
}

void FreeStripBuffer(TlRawGlobals* g)
{
    PsFormatRecord* record = g->record;
    record->data = nullptr;
    if (g->stripBuffer && record->bufferProcs) {
        record->bufferProcs->unlockProc(g->stripBuffer);
        record->bufferProcs->freeProc(g->stripBuffer);
    }
    g->stripBuffer = 0;
    g->stripData = nullptr;
}

} // namespace

long TlRawRowsPerStrip(long width, long height, bool preview)
{
    if (preview)
        return height;
    const long rows = width < kNarrowWidth ? 208 : 260;
    return rows < height ? rows : height;
}

long TlRawExifOrientation(long degrees)
{
    switch (((degrees % 360) + 360) % 360) {
    case 90:
        return 8;
    case 180:
        return 3;
    case 270:
        return 6;
    default:
        return 1;
    }
}

void TlRawDropReader(TlRawGlobals* globals)
{
    if (globals->reader)
        globals->reader->Close();
    delete globals->reader;
    globals->reader = nullptr;
}

PsResult TlRawReadStart(TlRawGlobals* g)
{
    const PsResult result = ReadStartSteps(g);
    // A failed start keeps nothing: the next file starts from a fresh reader
    // and this one is no longer held open.
    if (result != kPsNoError)
        TlRawDropReader(g);
    return result;
}

PsResult TlRawReadContinue(TlRawGlobals* g)
{
    PsFormatRecord* record = g->record;
    if (!g->reader || !record->bufferProcs || !record->advanceState)
        return kPsReadError;
    const bool preview = record->openForPreview != 0;
    if (!preview && g->cameraRaw && g->edited && !g->editedNotice)
        g->editedNotice = TlRawPluginUi().OpenEditedNotice(record);
    const long width = record->imageSize.h;
    const long height = record->imageSize.v;
    long rows = TlRawRowsPerStrip(width, height, preview);
    if (rows <= 0 || width <= 0)
        return kPsReadError;
    if (PsResult allocated = record->bufferProcs->allocateProc(std::int32_t(rows * record->rowBytes), &g->stripBuffer))
        return allocated;
    g->stripData = record->bufferProcs->lockProc(g->stripBuffer, 0);
    g->stripRows = std::int32_t(rows);
    g->rowBytes = record->rowBytes;
    record->theRect = {0, 0, std::int32_t(rows), std::int32_t(width)};
    record->data = g->stripData;
    if (record->progressProc)
        record->progressProc(0, std::int32_t(height));
    PsResult result = kPsNoError;
    while (record->theRect.top < height) {
        if (record->theRect.bottom > height) {
            record->theRect.bottom = std::int32_t(height);
            rows = height - record->theRect.top;
        }
        const PsRect& r = record->theRect;
        const int rendered =
            preview ? g->reader->RenderPreviewStrip(r.top, r.bottom, r.left, r.right, g->stripData, record->rowBytes)
                    : g->reader->RenderStrip(r.top, r.bottom, r.left, r.right, g->stripData, record->rowBytes);
        if (rendered != kTlRawOk) {
            TlRawDropReader(g);
            result = kPsReadError;
            break;
        }
        // The host's answer ends the read at once: a cancel or an error is
        // not overwritten by later strips.
        result = record->advanceState();
        if (result != kPsNoError)
            break;
        if (record->progressProc)
            record->progressProc(record->theRect.bottom, std::int32_t(height));
        record->theRect.top += std::int32_t(rows);
        record->theRect.bottom += std::int32_t(rows);
    }
    FreeStripBuffer(g);
    return result;
}

PsResult TlRawReadFinish(TlRawGlobals* g)
{
    if (g->editedNotice) {
        TlRawPluginUi().CloseEditedNotice(g->editedNotice);
        g->editedNotice = nullptr;
    }
    TlRawDropReader(g);
    g->record->data = nullptr;
    return kPsNoError;
}
