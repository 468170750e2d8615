#include "MakeCameraTables/TlCameraTablesMaker.h"
#include "MakeCameraTables/TlCameraTablesModel.h"

#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>

namespace {

// The default capture of tools/qrfsynth records red 2.0 and blue 1.5 at
// daylight; the other kinds differ a little.
const TlSyntheticCamera kCameras[kTlGainTables] = {
    {2.0, 1.5, 0.7}, {2.1, 1.45, 0.7}, {1.9, 1.6, 0.65}, {2.0, 1.55, 0.75}};

std::string WriteBytes(const std::string& path, const std::string& bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return "cannot create " + path;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    if (written && closed)
        return "";
    std::remove(path.c_str());
    return "cannot write " + path;
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
    std::string reason;
    const std::string path = folder ? folder : "";
    if (path.empty()) {
        reason = "no folder";
    } else if (!CreateDirectoryA(path.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        reason = "folder not created: " + path;
    } else {
        std::unique_ptr<TlCameraTables> tables = TlBuildCameraTables();
        reason = tables ? WriteBytes(path + "\\" + kTlCameraTablesFile, TlSerialiseCameraTables(*tables))
                        : "out of memory";
    }
    if (failure)
        *failure = reason;
    return reason.empty();
}
