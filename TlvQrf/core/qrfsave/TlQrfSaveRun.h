// What a running settings save holds between its steps besides the shared
// save state: the De-Bayer run that stands a demosaiced image in for the
// raw one, the preview run, the renditions and the image table. One save
// runs at a time on the worker thread, so this is a global without a lock.
#pragma once

#include "pellio/KelvraSave.h"

#include <memory>
#include <vector>

class CDeBayerFilterBase;
class CKelvraFilterScale;
class CTlvParamSet;
class IKelvraError;
class IKelvraImage;

struct STlQrfSaveRun {
    // States 0 and 1: the De-Bayer filter and its run.
    std::unique_ptr<CDeBayerFilterBase> deBayer;
    void* deBayerRun = nullptr;
    // Set while the demosaiced image stands in for the raw source; the
    // source and second image go back at the finish.
    IKelvraImage* demosaiced = nullptr;
    IKelvraImage* rawSource = nullptr;
    IKelvraImage* rawSecond = nullptr;

    // States 2 and 3: the preview chain's run; the rendered preview, set
    // when the settings changed the picture.
    void* chainRun = nullptr;
    IKelvraDataSource* developed = nullptr;

    // State 4: the rendition and the table handed to the writer.
    std::unique_ptr<CKelvraFilterScale> scale;
    std::vector<KelvraSaveEntry> table;

    // The error the current step left.
    IKelvraError* error = nullptr;
};

STlQrfSaveRun& QrfSaveRun();

// Ends the runs and drops what the steps made; the source of `params` is
// the raw image again. Safe to call twice.
void ReleaseQrfSaveRun(CTlvParamSet* params);

// Ends the whole save: the run and the shared save state (ReleaseSaveState
// in full), with the step at "finished".
void ReleaseQrfSave(CTlvParamSet* params);
