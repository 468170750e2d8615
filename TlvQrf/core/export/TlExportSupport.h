// What several export steps share: the progress figure and its phases, the
// image the steps work on, and the size of a rendition.
#pragma once

class CKelvraFilterScale;
class CTlvParamSet;
class IKelvraError;
class IKelvraImage;
class IKelvraManager;

// The progress base: percent done by the finished stages.
int ExportProgressBase();
void SetExportProgressBase(int base);
// Reports `percent` of 100 to the running save; true when it is to stop.
bool ReportExportProgress(long percent);
// A new count for the export's phases; the sink's own reports on or off
// while a filter phase runs.
void BeginExportProgress();
void HintFilterPhase(bool ended);

// The manager the export makes its chains, images and filters with.
IKelvraManager* ExportManager();

// The resolution (dots per inch) the settings' geometry gives; 0 without.
double GeometryResolution(const CTlvParamSet& params);

// The image the next stage reads: the work image the last plug-in wrote,
// else the chain's destination image, else the source.
IKelvraImage* CurrentExportImage(const CTlvParamSet& params);

// Sizes `scale` for a rendition whose longer side is at most `side`: scale
// 1.0 when the image fits, else the longer side (the height when both are
// equal) becomes `side` and the other keeps the proportion, truncated.
IKelvraError* SizeRendition(CKelvraFilterScale& scale, long width, long height, long side);
