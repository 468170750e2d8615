// The develop command's use of the raw-image library's save road: the host
// library's raw develop with the command's progress line and Ctrl+C.
#pragma once

#include "DevelopOutput.h"
#include "TlRawDevelop.h"

class CProgressLine;
class IKelvraError;

class CDevelopSession {
public:
    // 0, or the result code of the failed start (0x1008: a working profile
    // is missing from the profiles folder).
    unsigned long Start() { return m_develop.Start(); }
    // Saves `input` with its stored settings (or the neutral ones) into
    // `output`; the progress goes to `progress`. The record's result, or
    // SaveImage's failure code when nothing was queued. A stop request
    // (Ctrl+C) aborts the save, which then reports cancellation. A failed
    // save's error chain goes to `*error` (null when it left none); the
    // caller releases it.
    unsigned long Develop(const char* input, const char* output, const DevelopOutput& format,
                          CProgressLine& progress, IKelvraError** error);

private:
    CTlRawDevelop m_develop;
};
