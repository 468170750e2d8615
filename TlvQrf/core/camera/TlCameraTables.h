// The fixed tables of the camera profile generator: matrix sets, hue
// corrections, index tables, white-balance and tone rules, tone curves. They
// are made by our own tool (tools/MakeCameraTables) into the profiles folder
// as one file and read once per process; docs/camera-tables.md describes
// them. The layout below is the file's layout after its 16-byte head.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// One row of a matrix set: the camera matrix, then the colour matrix.
struct TlMatrixRow {
    double camera[9];
    double colour[9];
};

// Hue correction by hue sector 0 to 15, five blocks.
struct TlHueRecord {
    double luminanceGain[16];
    double cbFromCb[16];
    double cbFromCr[16];
    double crFromCb[16];
    double crFromCr[16];
};

constexpr int kTlSetRows = 126;      // sets A and B
constexpr int kTlSetCRows = 156;     // each half of set C
constexpr int kTlIndexGroups = 3;    // colour-mode groups
constexpr int kTlIndexColumns = 8;   // white-balance columns
constexpr int kTlToneCount = 7;      // tone compensations 0 to 6
constexpr int kTlGainRows = 401;     // rows of a gain-to-index table
constexpr int kTlGainReference = 200; // the row of gain 1.0
constexpr int kTlGainTables = 4;     // camera kinds 1 to 3, 4, 5, 6
constexpr int kTlBrightnessThresholds = 53;
constexpr int kTlClampSubModes = 4;  // sub-modes 0, 2, 3, 4
constexpr int kTlToneRuleEntries = 19800;
constexpr int kTlToneIndexEntries = 1632;
constexpr int kTlPresetRows = 6;
constexpr int kTlPresetColumns = 7;
constexpr int kTlLinearEntries = 4096;
constexpr int kTlToneCoefficients = 13;
constexpr int kTlToneStyles = 3;     // second style: mode 3, modes 4 and 6, others

struct TlCameraTables {
    TlMatrixRow setA[kTlSetRows];
    TlMatrixRow setB[kTlSetRows];
    TlMatrixRow setC[2][kTlSetCRows];
    TlHueRecord hueA[kTlSetRows];
    TlHueRecord hueB[kTlSetRows];
    double kindA[3][9]; // camera kinds 1 to 3, 4, 6
    double kindB[3][9]; // camera kinds 1 to 3, 4, 5
    double kindC[9];    // camera kinds 1 to 3
    double brightness[kTlBrightnessThresholds];
    double toneFirst[kTlToneCount][kTlToneCoefficients];
    double toneSecond[kTlToneStyles][kTlToneCount][kTlToneCoefficients];
    std::uint16_t linearisation[kTlLinearEntries];
    std::uint16_t toneRule[kTlToneRuleEntries];
    std::uint8_t toneIndex[kTlToneIndexEntries];
    std::uint8_t indexA[kTlIndexGroups][kTlIndexColumns][kTlToneCount];
    std::uint8_t indexB[kTlIndexGroups][kTlIndexColumns][kTlToneCount];
    std::uint8_t indexC[kTlIndexGroups][kTlIndexColumns][kTlToneCount];
    std::uint8_t gains[kTlGainTables][kTlGainRows][6];
    std::uint8_t lowerBound[kTlClampSubModes][kTlBrightnessThresholds + 1];
    std::uint8_t upperBound[kTlClampSubModes][kTlBrightnessThresholds + 1];
    std::uint8_t presetIndex[kTlPresetRows][kTlPresetColumns];
    std::uint8_t presetSubMode[kTlPresetRows][kTlPresetColumns];
};

// The same layout on both targets, so one file serves both.
static_assert(sizeof(TlMatrixRow) == 144, "matrix row");
static_assert(sizeof(TlHueRecord) == 640, "hue record");
static_assert(offsetof(TlCameraTables, linearisation) % 8 == 0, "doubles first");

// The file's name in the profiles folder, and the magic and version of its
// head (magic, version, body size, checksum of the body: four little-endian
// 32-bit words).
constexpr char kTlCameraTablesFile[] = "TLCamTables_QRF.dat";
constexpr std::uint32_t kTlCameraTablesMagic = 0x51544354; // "TCTQ"
constexpr std::uint32_t kTlCameraTablesVersion = 1;
constexpr std::size_t kTlCameraTablesHead = 16;

// A simple sum (Adler-32 style) that finds a truncated or damaged file;
// it also tells custom curves apart.
std::uint32_t TlCameraTablesChecksum(const void* bytes, std::size_t size);

// The head and body as the file holds them.
std::string TlSerialiseCameraTables(const TlCameraTables& tables);

// The tables of the profiles folder ("CommonFilesDir"\Talvo\Profiles), read
// on first use under a lock and kept for the process; a folder whose file
// is missing or damaged gives null (and is tried again at the next call).
const TlCameraTables* TlGetCameraTables();
// The same for a file read from `path`: null when it is missing, short,
// of another version or damaged.
bool TlReadCameraTables(const char* path, TlCameraTables* tables);
