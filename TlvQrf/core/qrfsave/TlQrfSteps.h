// The states of a settings save, one function each, and what they share.
// Each performs one step and returns 0 or the save's code; a state's last
// step moves the save state's step word on.
#pragma once

#include "kelvra/KelvraTypes.h"

#include <cstdint>

class CTlvParamSet;
class IKelvraError;
class IKelvraImage;
class IKelvraManager;

int QrfDemosaicStep(CTlvParamSet& params);  // 0
int QrfDeBayerStep(CTlvParamSet& params);   // 1
int QrfDecideStep(CTlvParamSet& params);    // 2
int QrfPreviewStep(CTlvParamSet& params);   // 3
int QrfWriteStep(CTlvParamSet& params);     // 4
int QrfFlushStep(CTlvParamSet& params);     // 5

// Builds the table of images the writer gets (state 4).
int BuildQrfImageTable(CTlvParamSet& params);

// The library's imaging manager, else the source image's.
IKelvraManager* QrfManager(const CTlvParamSet& params);

// Adds "Aborted" at `line` to the step's error and answers the abort code.
int QrfAborted(long line);
// Releases `error` into the step's error; false when there was one.
bool QrfCheck(IKelvraError* error);

// The raw image the save writes: the raw source a demosaiced image stands
// in for, the mosaic of a signal-processing image, or else the source.
IKelvraImage* QrfRawImage(const CTlvParamSet& params);
// The raw image's pixel format; 0 when it cannot be read.
KelvraPixelFormat QrfRawFormat(const CTlvParamSet& params);
// Raw mosaic data or a signal-processing camera: renditions are scaled.
bool QrfWantsScaledPreview(const CTlvParamSet& params);
