#include "DevelopMessages.h"

#include "kelvra/KelvraError.h"
#include "pellio/PellioFormats.h"
#include "runbase/TlvResultCodes.h"

#include <windows.h>

#include <cstdio>

namespace {

struct Text {
    unsigned long result;
    const char* text;
};

constexpr Text kTexts[] = {
    {TLV_ERR_CANCELLED, "cancelled"},
    {TLV_ERR_OUT_OF_MEMORY, "out of memory"},
    {TLV_ERR_FAILED, "the library could not load, develop or write the image"},
};

struct CodeText {
    long code;
    const char* text;
};

// Codes of the imaging framework and its loader library.
constexpr CodeText kCodeTexts[] = {
    {kKelvraOutOfMemory, "out of memory"},
    {kKelvraWriteError, "a write failed"},
    {kKelvraOperationFailed, "an operation failed"},
    {kKelvraBadArgument, "a bad argument"},
    {kKelvraUnsupportedFormat, "an unsupported format"},
    {kKelvraNotReady, "not ready"},
    {kKelvraMissingObject, "an object or record is missing"},
    {kKelvraCancelled, "cancelled"},
    {kPellioListRefused, "the writer does not take this list of images"},
    {kPellioUnknownFile, "not a kind of file the loader knows"},
    {kPellioUnsupported, "a variant of its file kind that the loader cannot read"},
    {kPellioReadFailed, "the file is shorter than its structure says"},
    {kPellioOpenFailed, "the file cannot be opened"},
    {kPellioCorrupt, "the file's offsets, counts or values do not agree"},
    {kPellioNoSubImage, "the file has no such sub-image"},
    {kPellioSeekFailed, "a seek in the file failed"},
    {kPellioStreamState, "the file is not open for that"},
};

// zlib's own codes, as its decoder reports them.
constexpr CodeText kZlibTexts[] = {
    {-2, "the compressed data is inconsistent"},
    {-3, "the compressed data is corrupt"},
    {-4, "out of memory while decompressing"},
    {-5, "the compressed data ends early"},
};

std::string FourCharacters(std::uint32_t word)
{
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const char c = char((word >> shift) & 0xFF);
        if (c >= ' ' && c <= '~')
            text += c;
    }
    return text;
}

template <std::size_t N>
const char* FindText(const CodeText (&table)[N], long code)
{
    for (const CodeText& entry : table) {
        if (entry.code == code)
            return entry.text;
    }
    return nullptr;
}

// The system's text, without its line end.
std::string SystemText(long code)
{
    char text[256] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                        DWORD(code), 0, text, sizeof text, nullptr);
    std::string message(text, length);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' '))
        message.pop_back();
    return message.empty() ? "system error" : message;
}

std::string MeaningOf(const IKelvraError& error)
{
    const long code = error.GetCode();
    const std::uint32_t category = error.GetCategory();
    const char* known = nullptr;
    if (category == kKelvraCategoryOS)
        return SystemText(code);
    if (category == kKelvraCategoryKelvra || category == kKelvraCategoryApp)
        known = FindText(kCodeTexts, code);
    else if (category == kPellioZlibCategory)
        known = FindText(kZlibTexts, code);
    if (known != nullptr)
        return known;
    if (category == kKelvraCategoryKelvra || category == kKelvraCategoryApp)
        return "error";
    return FourCharacters(category) + " error";
}

std::string LineOf(const IKelvraError& error, int depth)
{
    std::string line(std::size_t(2 + 2 * depth), ' ');
    const std::string tag = FourCharacters(error.GetTag());
    if (!tag.empty())
        line += tag + ": ";
    if (error.GetCode() == kKelvraTextError) {
        line += error.GetText();
    } else {
        char numbers[64];
        const char* kind = error.GetCategory() == kKelvraCategoryOS ? "system error " : "";
        std::snprintf(numbers, sizeof numbers, " (%s%ld, line %ld)", kind, error.GetCode(), error.GetLine());
        line += MeaningOf(error) + numbers;
    }
    return line + "\n";
}

void Describe(const IKelvraError* error, int depth, std::string& text)
{
    for (; error != nullptr; error = error->GetNext()) {
        const IKelvraError* inner = error->GetInner();
        if (inner == nullptr) {
            text += LineOf(*error, depth);
            continue;
        }
        // A wrapper names its layer, when it has a tag, above what it wraps.
        if (error->GetTag() != 0)
            text += std::string(std::size_t(2 + 2 * depth), ' ') + FourCharacters(error->GetTag()) + ":\n";
        Describe(inner, depth + 1, text);
    }
}

} // namespace

const char* DevelopResultText(unsigned long result)
{
    for (const Text& text : kTexts) {
        if (text.result == result)
            return text.text;
    }
    return "the save failed";
}

std::string DescribeErrorChain(const IKelvraError* chain)
{
    std::string text;
    Describe(chain, 0, text);
    return text;
}
