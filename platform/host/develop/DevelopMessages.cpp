#include "DevelopMessages.h"

#include "runbase/TlvResultCodes.h"

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

} // namespace

const char* DevelopResultText(unsigned long result)
{
    for (const Text& text : kTexts) {
        if (text.result == result)
            return text.text;
    }
    return "the save failed";
}
