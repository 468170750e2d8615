#include "settings/curves/TlElementBlock.h"

#include "settings/curves/TlCurveBase.h"

#include <cstring>

bool IsElementBlock(const unsigned char* buffer, int size, const TlGuid& id)
{
    return buffer != nullptr && size >= TlStateLayout::kIdSize &&
           std::memcmp(buffer, &id, TlStateLayout::kIdSize) == 0;
}

const unsigned char* ElementBody(const unsigned char* buffer, int size)
{
    return buffer != nullptr && size > TlCurveLayout::kElementHeaderSize ? buffer + TlCurveLayout::kElementHeaderSize
                                                                          : nullptr;
}

int ElementBodySize(int size)
{
    return size > TlCurveLayout::kElementHeaderSize ? size - TlCurveLayout::kElementHeaderSize : 0;
}

unsigned char* ElementBody(unsigned char* buffer, int size)
{
    return buffer != nullptr && size > TlCurveLayout::kElementHeaderSize ? buffer + TlCurveLayout::kElementHeaderSize
                                                                          : nullptr;
}
