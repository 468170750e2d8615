// The export: writes the developed image of one raw image into a file with
// the loader library's saver (a JPEG, a TIFF or a fixed-size image), or
// renders it into the destination image of a direct-image save request.
#pragma once

#include <cstdint>

class CTlvParamSet;

// Results of an export besides 0 (success). Results of the chain build and
// of the save-tag preparation pass through unchanged.
enum : int {
    kTlExportError = 1,           // an error without a code of its own
    kTlExportNoSource = 2,        // no parameter set, source or tags; a refused format
    kTlExportNoObject = 3,        // saver, stream, chain, image or filter not made
    kTlExportAborted = 6,         // the user stopped it, or the development was cancelled
    kTlExportSourceSwitch = 7,    // the raw-processing source could not be switched
    kTlExportDevelopFailed = 8,   // the raw-processing development failed
    kTlExportNoFixedSize = 9,     // the saver gave no output size
    kTlExportNoFormat = 10,       // pixel format or size of an image unreadable
    kTlExportScaleFailed = 12,    // a scale filter could not be inserted or set
    kTlExportConnectFailed = 13,
    kTlExportRunFailed = 14,      // a run failed, bad colour space, no destination
    kTlExportBeginRefused = 16,   // the saver refused to begin
    kTlExportListRefused = 17,    // the saver refused the image list
    kTlExportWriteFailed = 18,    // a write failed (error 1006)
    kTlExportColourFailed = 20,   // no colour engine, or the colour stage refused
};

// File formats the export knows by name.
enum : std::uint32_t {
    kTlExportFormatTiff = 256,
    kTlExportFormatDirect = 1024,
};

// channelLayout: 0 8-bit colour, 1 16-bit colour, 2 the working space of
// slot 1, 3 8-bit grey, 4 16-bit grey. Writes `targetPath` (the save's
// temporary file, deleted when the export fails), or with `directImage`
// renders into the save's direct-image destination.
int ExportImage(CTlvParamSet* params, const char* targetPath, std::uint32_t channelLayout,
                std::uint32_t fileFormat, std::uint32_t formatOption, bool directImage);

// Makes ExportImage the export the save through a temporary file runs.
void InstallExport();
