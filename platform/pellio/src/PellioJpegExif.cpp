// The Exif block: a TIFF structure whose first directory holds the
// Software and DateTime texts. We write only those; we read them from
// either byte order.
#include "PellioJpegSegments.h"

#include <cstring>

namespace {

constexpr std::uint16_t kTagSoftware = 305;
constexpr std::uint16_t kTagDateTime = 306;
constexpr std::uint16_t kTypeAscii = 2;
constexpr std::uint16_t kTiffMagic = 42;
constexpr std::uint32_t kFirstDirectory = 8; // right after the TIFF header
constexpr std::size_t kEntryBytes = 12;
constexpr std::size_t kInlineBytes = 4; // values this short sit in the entry itself

struct Text {
    std::uint16_t tag;
    const std::string* value;
};

// Appends the entry to `directory`; a text longer than the entry can hold
// goes to `values`, which the block holds from offset `valuesStart`.
void PutTextEntry(const Text& text, std::uint32_t valuesStart, std::vector<std::uint8_t>& directory,
                  std::vector<std::uint8_t>& values)
{
    std::vector<std::uint8_t> bytes(text.value->begin(), text.value->end());
    bytes.push_back(0);
    PellioPut16(directory, text.tag, true);
    PellioPut16(directory, kTypeAscii, true);
    PellioPut32(directory, std::uint32_t(bytes.size()), true);
    if (bytes.size() <= kInlineBytes) {
        bytes.resize(kInlineBytes, 0);
        PellioAppend(directory, bytes.data(), bytes.size());
        return;
    }
    PellioPut32(directory, valuesStart + std::uint32_t(values.size()), true);
    PellioAppend(values, bytes.data(), bytes.size());
    if (values.size() % 2) // values start on even offsets
        values.push_back(0);
}

// An ASCII entry's text, cut at its first NUL.
IKelvraError* ReadText(const PellioBytes& tiff, const std::uint8_t* entry, bool littleEndian, std::string& text)
{
    const std::uint32_t count = PellioGet32(entry + 4, littleEndian);
    const std::uint8_t* value = entry + 8;
    if (count > kInlineBytes) {
        const std::uint32_t offset = PellioGet32(entry + 8, littleEndian);
        if (!tiff.Has(offset, count))
            return PELLIO_JPEG_CORRUPT();
        value = tiff.At(offset);
    }
    const void* end = std::memchr(value, 0, count);
    const std::size_t length = end ? std::size_t(static_cast<const std::uint8_t*>(end) - value) : count;
    text.assign(reinterpret_cast<const char*>(value), length);
    return nullptr;
}

} // namespace

IKelvraError* PellioBuildExifSegment(const std::string& software, const std::string& dateTime,
                                     std::vector<std::uint8_t>& out)
{
    if (software.size() > kJpegMaxPayload || dateTime.size() > kJpegMaxPayload)
        return PELLIO_JPEG_CORRUPT();
    std::vector<Text> texts;
    if (!software.empty())
        texts.push_back(Text{kTagSoftware, &software});
    if (!dateTime.empty())
        texts.push_back(Text{kTagDateTime, &dateTime});
    const std::uint32_t valuesStart = std::uint32_t(kFirstDirectory + 2 + kEntryBytes * texts.size() + 4);
    std::vector<std::uint8_t> directory;
    std::vector<std::uint8_t> values;
    for (const Text& text : texts)
        PutTextEntry(text, valuesStart, directory, values);

    std::vector<std::uint8_t> payload = PellioJpegPayloadHead(PellioJpegKind::Exif);
    PellioAppend(payload, "II", 2);
    PellioPut16(payload, kTiffMagic, true);
    PellioPut32(payload, kFirstDirectory, true);
    PellioPut16(payload, std::uint16_t(texts.size()), true);
    PellioAppend(payload, directory.data(), directory.size());
    PellioPut32(payload, 0, true); // no next directory
    PellioAppend(payload, values.data(), values.size());
    return PellioAppendJpegSegment(out, kJpegApp1, payload);
}

IKelvraError* PellioReadExifTexts(PellioBytes tiff, std::string& software, std::string& dateTime)
{
    if (!tiff.Has(0, 8))
        return PELLIO_JPEG_CORRUPT();
    const bool littleEndian = std::memcmp(tiff.data, "II", 2) == 0;
    if ((!littleEndian && std::memcmp(tiff.data, "MM", 2) != 0) || PellioGet16(tiff.At(2), littleEndian) != kTiffMagic)
        return PELLIO_JPEG_CORRUPT();
    const std::size_t directory = PellioGet32(tiff.At(4), littleEndian);
    if (!tiff.Has(directory, 2))
        return PELLIO_JPEG_CORRUPT();
    const std::size_t count = PellioGet16(tiff.At(directory), littleEndian);
    if (!tiff.Has(directory + 2, count * kEntryBytes))
        return PELLIO_JPEG_CORRUPT();
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* entry = tiff.At(directory + 2 + i * kEntryBytes);
        const std::uint16_t tag = PellioGet16(entry, littleEndian);
        std::string* text = tag == kTagSoftware ? &software : tag == kTagDateTime ? &dateTime : nullptr;
        if (!text || PellioGet16(entry + 2, littleEndian) != kTypeAscii)
            continue;
        if (IKelvraError* error = ReadText(tiff, entry, littleEndian, *text))
            return error;
    }
    return nullptr;
}
