// The fixed tables of the camera profile generator ("TLCamTables_QRF.dat" in
// "<Common Files>\Talvo\Profiles"). They are synthetic: computed from a
// simple model of the synthetic camera of our test files (tools/qrfsynth),
// see docs/camera-tables.md; nothing is measured or copied.
#pragma once

#include "camera/TlCameraTables.h"

#include <memory>
#include <string>

// The synthetic camera: as-shot red and blue multipliers at 5000 K, and how
// fast they follow the temperature.
struct TlSyntheticCamera {
    double red5000;
    double blue5000;
    double exponent;
};
// Camera kinds 1 to 3, 4, 5, 6: the gain tables' order.
const TlSyntheticCamera& TlSyntheticCameraOf(int gainTable);
// The as-shot multipliers of the synthetic camera at `kelvin`.
void TlSyntheticGains(const TlSyntheticCamera& camera, double kelvin, double* red, double* blue);

// Null when memory runs out.
std::unique_ptr<TlCameraTables> TlBuildCameraTables();

// Writes the file into `folder` (created when missing; its parent must
// exist). False with a reason in `failure` when it could not be written.
bool TlWriteCameraTables(const char* folder, std::string* failure);
