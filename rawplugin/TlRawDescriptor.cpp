#include "TlRawSettings.h"

#include <cmath>

namespace {

constexpr PsKey kKeyBalance = PsFourCC('k', 'w', 'b', 'O');
constexpr PsKey kKeyExposure = PsFourCC('k', 'e', 'x', 'F');
constexpr PsKey kKeyRotation = PsFourCC('k', 'r', 't', 'I');
constexpr PsKey kKeySize = PsFourCC('k', 'k', 'b', 'O');
constexpr PsKey kTypeBalance = PsFourCC('t', 'w', 'b', 'E');
constexpr PsKey kTypeSize = PsFourCC('k', 'b', 's', 'E');
constexpr PsKey kSize10 = PsFourCC('K', 'B', '1', '0');
constexpr PsKey kSize6 = PsFourCC('K', 'B', '0', '6');
constexpr double kExposureLimit = 2.0;

struct Balance {
    PsKey value;
    int index;
};

const Balance kBalances[] = {
    {PsFourCC('W', 'B', 'A', 't'), 12}, {PsFourCC('W', 'B', 'U', 'c'), 0}, {PsFourCC('W', 'B', 'I', 'd'), 1},
    {PsFourCC('W', 'B', 'F', 'l'), 2},  {PsFourCC('W', 'B', 'H', 'f'), 3}, {PsFourCC('W', 'B', 'S', 'l'), 4},
    {PsFourCC('W', 'B', 'S', 'h'), 5},  {PsFourCC('W', 'B', 'O', 'c'), 6}, {PsFourCC('W', 'B', 'F', 's'), 7},
};

const PsReadDescriptorProcs* ReadProcs(const PsFormatRecord* record)
{
    const PsDescriptorParameters* parameters = record ? record->descriptorParameters : nullptr;
    const PsReadDescriptorProcs* procs = parameters ? parameters->readDescriptorProcs : nullptr;
    if (!procs || procs->version != kPsReadDescriptorProcsVersion || procs->count < kPsReadDescriptorProcsCount)
        return nullptr;
    const bool complete = procs->openReadDescriptorProc && procs->closeReadDescriptorProc && procs->getKeyProc &&
                          procs->getIntegerProc && procs->getFloatProc && procs->getEnumeratedProc;
    return complete ? procs : nullptr;
}

const PsWriteDescriptorProcs* WriteProcs(const PsFormatRecord* record)
{
    const PsDescriptorParameters* parameters = record ? record->descriptorParameters : nullptr;
    const PsWriteDescriptorProcs* procs = parameters ? parameters->writeDescriptorProcs : nullptr;
    if (!procs || procs->version != kPsWriteDescriptorProcsVersion || procs->count < kPsWriteDescriptorProcsCount)
        return nullptr;
    const bool complete = procs->openWriteDescriptorProc && procs->closeWriteDescriptorProc &&
                          procs->putIntegerProc && procs->putFloatProc && procs->putEnumeratedProc;
    return complete ? procs : nullptr;
}

bool IsRightAngle(std::int32_t degrees)
{
    return degrees == 0 || degrees == 90 || degrees == 180 || degrees == 270;
}

// One key's value into `globals`; values outside what the dialog offers
// leave the setting as it was, an exposure is limited like the dialog's.
void TakeValue(const PsReadDescriptorProcs& procs, PsReadToken token, PsKey key, TlRawGlobals* globals)
{
    PsKey enumerated = 0;
    std::int32_t integer = 0;
    double number = 0.0;
    switch (key) {
    case kKeySize:
        if (procs.getEnumeratedProc(token, &enumerated) == kPsNoError)
            globals->sixMegapixels = enumerated == kSize6 ? 1 : 0;
        break;
    case kKeyExposure:
        if (procs.getFloatProc(token, &number) == kPsNoError && std::isfinite(number))
            globals->exposure = std::fmax(-kExposureLimit, std::fmin(kExposureLimit, number));
        break;
    case kKeyRotation:
        if (procs.getIntegerProc(token, &integer) == kPsNoError && IsRightAngle(integer))
            globals->rotation = integer;
        break;
    case kKeyBalance:
        if (procs.getEnumeratedProc(token, &enumerated) == kPsNoError)
            globals->whiteBalance = TlRawBalanceIndexOf(enumerated);
        break;
    default:
        break;
    }
}

} // namespace

int TlRawBalanceIndexOf(PsKey value)
{
    for (const Balance& balance : kBalances) {
        if (balance.value == value)
            return balance.index;
    }
    return 0;
}

PsKey TlRawBalanceValueOf(int index)
{
    for (const Balance& balance : kBalances) {
        if (balance.index == index)
            return balance.value;
    }
    return PsFourCC('W', 'B', 'U', 'c');
}

PsResult TlRawReadDescriptor(PsFormatRecord* record, TlRawGlobals* globals, bool* showDialog)
{
    *showDialog = true;
    const PsReadDescriptorProcs* procs = ReadProcs(record);
    PsDescriptorParameters* parameters = record->descriptorParameters;
    if (!procs || !parameters->descriptor)
        return kPsNoError;
    static const PsKey kKeys[] = {kKeyBalance, kKeyExposure, kKeyRotation, kKeySize, 0};
    PsReadToken token = procs->openReadDescriptorProc(parameters->descriptor, kKeys);
    if (!token)
        return kPsNoError;
    TlRawGlobals read = *globals;
    PsKey key = 0, type = 0;
    std::int32_t flags = 0;
    while (procs->getKeyProc(token, &key, &type, &flags))
        TakeValue(*procs, token, key, &read);
    const PsResult closed = procs->closeReadDescriptorProc(token);
    if (closed != kPsNoError && closed != kPsDescriptorEnd)
        return closed;
    *globals = read;
    *showDialog = parameters->playInfo == kPsPlayDisplay;
    return kPsNoError;
}

void TlRawWriteDescriptor(PsFormatRecord* record, const TlRawGlobals& globals)
{
    const PsWriteDescriptorProcs* procs = WriteProcs(record);
    if (!procs)
        return;
    PsWriteToken token = procs->openWriteDescriptorProc();
    if (!token)
        return;
    const double exposure = globals.exposure;
    procs->putEnumeratedProc(token, kKeyBalance, kTypeBalance, TlRawBalanceValueOf(globals.whiteBalance));
    procs->putFloatProc(token, kKeyExposure, &exposure);
    procs->putIntegerProc(token, kKeyRotation, globals.rotation);
    procs->putEnumeratedProc(token, kKeySize, kTypeSize, globals.sixMegapixels ? kSize6 : kSize10);
    PsHandle written = nullptr;
    if (procs->closeWriteDescriptorProc(token, &written) != kPsNoError || !written)
        return;
    PsDescriptorParameters* parameters = record->descriptorParameters;
    PsHandleProcs* handles = record->handleProcs;
    if (parameters->descriptor && handles && handles->disposeProc)
        handles->disposeProc(parameters->descriptor);
    parameters->descriptor = written;
}
