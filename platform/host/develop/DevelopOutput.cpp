#include "DevelopOutput.h"

#include <cstring>
#include <strings.h>

namespace {

// The saver's format codes (JPEG 1, TIFF 256) and the record's pixel-format
// words: bit 28 asks for 16 bits per channel.
constexpr std::uint32_t kFormatJpeg = 1;
constexpr std::uint32_t kFormatTiff = 256;
constexpr std::uint32_t kColour8 = 0x08060201;
constexpr std::uint32_t kColour16 = 0x10060201;

struct Choice {
    const char* extension;
    DevelopOutput output;
};

constexpr Choice kChoices[] = {
    {".jpg", {kFormatJpeg, kColour8}},
    {".jpeg", {kFormatJpeg, kColour8}},
    {".tif", {kFormatTiff, kColour16}},
    {".tiff", {kFormatTiff, kColour16}},
};

// The text from the last dot of the file name on; empty without one.
const char* ExtensionOf(const char* path)
{
    const char* name = path;
    for (const char* p = path; *p != '\0'; ++p) {
        if (*p == '\\' || *p == '/')
            name = p + 1;
    }
    const char* dot = std::strrchr(name, '.');
    return dot != nullptr ? dot : "";
}

} // namespace

bool ChooseDevelopOutput(const char* outputPath, DevelopOutput* output)
{
    const char* extension = ExtensionOf(outputPath);
    for (const Choice& choice : kChoices) {
        if (strcasecmp(extension, choice.extension) == 0) {
            *output = choice.output;
            return true;
        }
    }
    return false;
}
