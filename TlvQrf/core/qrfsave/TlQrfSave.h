// Writing the edit settings into a copy of a raw file: the copy carries the
// settings record, a fresh DateTime and Software tag, the output profile
// and, when the settings changed the picture, newly rendered previews. The
// raw mosaic itself is written as the source file holds it.
#pragma once

#include <cstdint>

class CTlvParamSet;

// Results (the preparation's codes of savetags/TlPrepareSaveTags.h come
// first; any other nonzero code is the full-resolution chain builder's).
enum : int {
    kTlQrfAborted = 6,
    kTlQrfSourceNotSelected = 7,
    kTlQrfDevelopFailed = 8,
    kTlQrfNoSourceSize = 10,
    kTlQrfScaleRefused = 12,
    kTlQrfConnectFailed = 13,
    kTlQrfRunFailed = 14,
    kTlQrfWriterRefused = 16,
    kTlQrfWriteFailed = 17,
    kTlQrfWriteFailed1006 = 18,
};

// Steps of a running settings save (the save state's step word).
enum : int {
    kTlQrfStepDemosaic = 0,
    kTlQrfStepDeBayer = 1,
    kTlQrfStepDecide = 2,
    kTlQrfStepPreviews = 3,
    kTlQrfStepWrite = 4,
    kTlQrfStepFlush = 5,
};

// The long sides of the renditions a settings save renders.
constexpr long kTlQrfPreviewSide = 1536;
constexpr long kTlQrfThumbnailSide = 160;

// Prepares, then steps until done; the last step's code. A failure removes
// `tempPath`.
int SaveQrfSettings(CTlvParamSet* params, const char* tempPath, std::uint32_t option);
// The tag copy with the settings record, the writer and its stream on
// `tempPath`. On failure the save state is released and the file removed.
int PrepareQrfSave(CTlvParamSet* params, const char* tempPath, std::uint32_t option);
// The same without beginning the writer, for a raw export that begins it
// with its own format and option.
int PrepareQrfWriter(CTlvParamSet* params, const char* tempPath, std::uint32_t option);
// One step; sets *done when the save has ended, successfully or not.
int QrfSaveStep(CTlvParamSet* params, bool* done);

// Makes SaveQrfSettings the settings save of SaveImageToFile.
void InstallQrfSettingsSave();
