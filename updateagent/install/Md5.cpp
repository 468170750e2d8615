#include "install/Md5.h"

#include <cstdio>

extern "C" {
// Exported by advapi32 without a declaration in the platform headers.
void WINAPI MD5Init(void* context);
void WINAPI MD5Update(void* context, const unsigned char* input, unsigned int count);
void WINAPI MD5Final(void* context);
}

TMd5::TMd5() : m_context{}
{
    MD5Init(&m_context);
}

void TMd5::Update(const void* bytes, std::size_t count)
{
    const unsigned char* next = static_cast<const unsigned char*>(bytes);
    while (count > 0) {
        const unsigned int step = count > 0x10000000u ? 0x10000000u : static_cast<unsigned int>(count);
        MD5Update(&m_context, next, step);
        next += step;
        count -= step;
    }
}

std::string TMd5::FinishHex()
{
    MD5Final(&m_context);
    std::string text;
    char pair[3];
    for (unsigned char byte : m_context.digest) {
        std::snprintf(pair, sizeof pair, "%.2x", byte);
        text += pair;
    }
    return text;
}
