// What a synthetic raw file records: its options, its pixel layout and the
// capture tags a camera would write.
#pragma once

#include "QrfMosaic.h"
#include "kelvra/KelvraTagControl.h"

#include <cstdint>
#include <string>
#include <vector>

constexpr KelvraTag kQrfSynthTag = KelvraFourCC('Q', 'S', 'y', 'n');

// A tag a file carries beside the capture tags (replacing one of them with
// the same id). For type 263 the bytes are those the data header points to.
struct QrfExtraTag {
    std::uint32_t id;
    std::uint32_t type;
    std::vector<std::uint8_t> bytes;
};

struct QrfRawOptions {
    long width = 192;
    long height = 128;
    QrfSceneKind scene = QrfSceneKind::Chart;
    std::uint32_t model = 257;
    QrfPattern pattern = QrfPattern::RGGB;
    QrfGains gains;
    std::uint32_t format = 32; // 32 (uncompressed) or 2048 (deflate)
    std::uint32_t makerFormat = 32; // the maker's raw format code (tag 0x80004)
    KelvraPixelFormat mosaicFormat = 0; // the stored mosaic's pixel format; 0: the model's own
    std::vector<QrfExtraTag> extraTags;
};

// Models 513 to 516 are developed by the signal-processing library.
bool QrfIsSignalModel(std::uint32_t model);
// 0x10020403 for models 513 and 514, 0x10020404 for 515 and 516, else
// 0x10020401.
KelvraPixelFormat QrfMosaicFormat(std::uint32_t model);
// The options' own mosaic format, or the model's.
KelvraPixelFormat QrfStoredMosaicFormat(const QrfRawOptions& options);
// The gains the stored mosaic is divided by: the options' own, except for
// model 257, which balances its mosaic by them before storing it (the tag
// still records them), so its mosaic is divided by none.
QrfGains QrfStoredMosaicGains(const QrfRawOptions& options);
// Empty when the options make a usable file, else why not.
std::string QrfCheckOptions(const QrfRawOptions& options);
// Adds the capture tags of a file made with `options` to `tags`.
IKelvraError* QrfFillTags(const QrfRawOptions& options, IKelvraTagControl* tags);
// The maker table (tag 0x80014) of the signal-processing models: 360 bytes.
std::vector<std::uint8_t> QrfMakerTable(std::uint32_t model);
