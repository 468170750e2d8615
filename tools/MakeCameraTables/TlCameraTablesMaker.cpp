#include "MakeCameraTables/TlCameraTablesMaker.h"
#include "MakeCameraTables/TlCameraTablesModel.h"
#include "common/TlToolFile.h"

#include <cmath>
#include <cstring>
#include <new>

namespace {

// The default capture of tools/qrfsynth records red 2.0 and blue 1.5 at
// daylight; the other kinds differ a little.
const TlSyntheticCamera kCameras[kTlGainTables] = {
    {2.0, 1.5, 0.7}, {2.1, 1.45, 0.7}, {1.9, 1.6, 0.65}, {2.0, 1.55, 0.75}};

std::string WriteCameraTables(const char* folder)
{
    std::string path;
    const std::string reason = TlMakeToolFolder(folder, &path);
    if (!reason.empty())
        return reason;
    std::unique_ptr<TlCameraTables> tables = TlBuildCameraTables();
    if (!tables)
        return "out of memory";
    const std::string bytes = TlSerialiseCameraTables(*tables);
    return TlWriteToolFile(path + "\\" + kTlCameraTablesFile, bytes.data(), bytes.size());
}

} // namespace

const TlSyntheticCamera& TlSyntheticCameraOf(int gainTable)
{
    return kCameras[gainTable >= 0 && gainTable < kTlGainTables ? gainTable : 0];
}

// Warm light makes the red channel strong, so its multiplier falls with the
// temperature; the blue one rises.
void TlSyntheticGains(const TlSyntheticCamera& camera, double kelvin, double* red, double* blue)
{
    *red = camera.red5000 * std::pow(kelvin / 5000.0, camera.exponent);
    *blue = camera.blue5000 * std::pow(5000.0 / kelvin, camera.exponent);
}

std::unique_ptr<TlCameraTables> TlBuildCameraTables()
{
    std::unique_ptr<TlCameraTables> tables(new (std::nothrow) TlCameraTables);
    if (!tables)
        return tables;
    std::memset(tables.get(), 0, sizeof(TlCameraTables));
    TlFillMatrixTables(*tables);
    TlFillIndexTables(*tables);
    return tables;
}

bool TlWriteCameraTables(const char* folder, std::string* failure)
{
    return TlReportToolResult(WriteCameraTables(folder), failure);
}
