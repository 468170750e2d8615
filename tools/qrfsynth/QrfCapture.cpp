#include "QrfCapture.h"
#include "pellio/PellioGuard.h"

#include <cstring>

namespace {

constexpr std::uint32_t kMakerTableBytes = 360;

struct TagWriter {
    IKelvraTagControl* tags;
    IKelvraError* error;

    void Put(std::uint32_t id, std::uint32_t type, const void* value, std::size_t length)
    {
        if (error)
            return;
        error = tags->AddTag(id);
        if (!error)
            error = tags->SetTag(id, type, std::uint32_t(length), value);
    }
    void Text(std::uint32_t id, const std::string& text) { Put(id, kKelvraTagTypeText, text.c_str(), text.size() + 1); }
    void Long(std::uint32_t id, std::uint32_t value) { Put(id, kKelvraTagTypeLong, &value, sizeof value); }
    void Double(std::uint32_t id, double value) { Put(id, kKelvraTagTypeDoubles, &value, sizeof value); }
    void Bytes(std::uint32_t id, std::uint32_t type, const std::vector<std::uint8_t>& bytes)
    {
        Put(id, type, bytes.data(), bytes.size());
    }
};

// The maker's colour data: the hue index (byte 7) names daylight for every
// camera with generated profiles.
std::vector<std::uint8_t> ColourData()
{
    std::vector<std::uint8_t> data(304, 0);
    data[7] = 7;
    return data;
}

std::vector<std::uint8_t> LensData()
{
    std::vector<std::uint8_t> lens(31, 0);
    std::memcpy(lens.data(), "0100", 4);
    lens[6] = 1;   // lens kind
    lens[13] = 50; // lens value
    return lens;
}

void CameraTags(const QrfRawOptions& options, TagWriter& out)
{
    out.Text(271, "TALVO");
    out.Text(272, "Talvo Q" + std::to_string(options.model));
    out.Text(305, "QrfMake 1.0");
    out.Text(306, "2024:05:01 12:00:00");
    out.Double(33434, 1.0 / 125);
    out.Double(33437, 5.6);
    out.Long(34855, 200);
    out.Bytes(36864, kKelvraTagTypeBytes, {'0', '2', '2', '1'});
    const std::int16_t bias[3] = {0, -1, 3};
    out.Put(37380, kKelvraTagTypeShorts3, bias, sizeof bias);
    out.Double(37386, 35.0);
    out.Bytes(0xA302, kKelvraTagTypeBytes, QrfPatternTag(options.pattern));
}

void LayoutTags(const QrfRawOptions& options, TagWriter& out)
{
    const std::uint16_t bits[4] = {12, 0, 0, 0};
    out.Put(258, kKelvraTagTypeBytes, bits, sizeof bits);
    out.Long(kKelvraTagImageWidth, std::uint32_t(options.width));
    out.Long(kKelvraTagImageHeight, std::uint32_t(options.height));
    out.Long(0x10002, QrfStoredMosaicFormat(options));
    out.Double(0x10003, 300.0);
    out.Long(0x10004, 0);
    out.Double(0x10005, 0.0);
}

void MakerTags(const QrfRawOptions& options, TagWriter& out)
{
    out.Long(kKelvraTagModelCode, options.model);
    const std::uint16_t sensitivity[2] = {0, 200};
    out.Put(0x80002, kKelvraTagTypeUShorts2, sensitivity, sizeof sensitivity);
    out.Long(0x80004, options.makerFormat);
    const double multipliers[4] = {options.gains.red, options.gains.blue, 1.0, 1.0};
    out.Put(0x8000C, kKelvraTagTypeDoubles, multipliers, sizeof multipliers);
    out.Long(0x8008D, 1);
    const std::int32_t whiteBalance[2] = {0, 0}; // automatic
    out.Put(0x80005, kKelvraTagTypeBytes, whiteBalance, sizeof whiteBalance);
    out.Bytes(0x80097, kKelvraTagTypeColorData, ColourData());
    out.Bytes(0x80098, kKelvraTagTypeLensData, LensData());
    if (QrfIsSignalModel(options.model))
        out.Bytes(0x80014, kKelvraTagTypeBytes, QrfMakerTable(options.model));
}

void ExtraTags(const QrfRawOptions& options, TagWriter& out)
{
    for (const QrfExtraTag& extra : options.extraTags) {
        if (extra.type != kKelvraTagTypeDataHeader) {
            out.Bytes(extra.id, extra.type, extra.bytes);
            continue;
        }
        KelvraTagDataHeader header{1, std::uint32_t(extra.bytes.size()), const_cast<std::uint8_t*>(extra.bytes.data())};
        out.Put(extra.id, extra.type, &header, sizeof header);
    }
}

} // namespace

bool QrfIsSignalModel(std::uint32_t model)
{
    return model >= 513 && model <= 516;
}

KelvraPixelFormat QrfStoredMosaicFormat(const QrfRawOptions& options)
{
    return options.mosaicFormat != 0 ? options.mosaicFormat : QrfMosaicFormat(options.model);
}

KelvraPixelFormat QrfMosaicFormat(std::uint32_t model)
{
    if (model == 513 || model == 514)
        return kKelvraRawSig3;
    if (model == 515 || model == 516)
        return kKelvraRawSig4;
    return kKelvraRawMosaic;
}

QrfGains QrfStoredMosaicGains(const QrfRawOptions& options)
{
    return options.model == 257 ? QrfGains{1.0, 1.0} : options.gains;
}

std::string QrfCheckOptions(const QrfRawOptions& options)
{
    if (options.width < 32 || options.height < 32 || options.width % 2 || options.height % 2)
        return "width and height must be even and at least 32";
    if (options.model == 0 || options.model > 0xFFFF)
        return "the model code must be 1 to 65535";
    if (options.format != 32 && options.format != 2048)
        return "the format must be 32 or 2048";
    if (!(options.gains.red > 0) || !(options.gains.blue > 0))
        return "the gains must be positive";
    const bool signalPattern = options.pattern == QrfPattern::YCGM || options.pattern == QrfPattern::BGGR;
    if (QrfIsSignalModel(options.model) && !signalPattern)
        return "models 513 to 516 take the YCGM or BGGR pattern";
    return "";
}

std::vector<std::uint8_t> QrfMakerTable(std::uint32_t model)
{
    std::vector<std::uint8_t> table(kMakerTableBytes);
    for (std::size_t i = 0; i < table.size(); ++i)
        table[i] = std::uint8_t(i * 7 + model);
    return table;
}

IKelvraError* QrfFillTags(const QrfRawOptions& options, IKelvraTagControl* tags)
{
    return PellioGuarded(kQrfSynthTag, [&]() -> IKelvraError* {
        TagWriter out{tags, nullptr};
        CameraTags(options, out);
        LayoutTags(options, out);
        MakerTags(options, out);
        ExtraTags(options, out);
        return out.error ? KELVRA_WRAP(nullptr, kQrfSynthTag, out.error) : nullptr;
    });
}
