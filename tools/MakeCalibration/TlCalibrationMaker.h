// The calibration curves the LCH filters expect in the profiles folder
// ("<Common Files>\Talvo\Profiles"): per-hue chroma thresholds stored as
// bump curves (the file layout of settings/curves/TlBumpListForm.h). They are
// synthetic: shapes of our own, described in docs/calibration-curves.md.
#pragma once

#include "settings/curves/TlBumpPoint.h"

#include <string>
#include <vector>

struct TlCalibrationCurve {
    const char* fileName;
    std::vector<TlBumpPoint> points; // sorted by hue
    double offset;
};

// "TlLchCal.nlc" and "TlCBoost.nlc", as the install step writes them.
const std::vector<TlCalibrationCurve>& TlShippedCalibrations();

// The shipped curve `fileName` names (letter case aside); null for another name.
const TlCalibrationCurve* TlFindCalibration(const char* fileName);

// A curve with no points and offset 0: every hue gets the middle value.
TlCalibrationCurve TlNeutralCalibration();

// Writes the curve as a calibration file at `path`; false when the file
// could not be written (a partly written file is removed).
bool TlWriteCalibrationFile(const std::string& path, const TlCalibrationCurve& curve);

// Writes every shipped file into `folder`, creating it and its parents when
// missing. False on the first failure.
bool TlWriteCalibrations(const std::string& folder);
