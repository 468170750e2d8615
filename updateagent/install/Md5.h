// MD5 digests (RFC 1321) through the platform's own advapi32 routines.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

class TMd5 {
public:
    TMd5();
    void Update(const void* bytes, std::size_t count);
    // Finishes the digest; answers it as 32 lower-case hexadecimal digits.
    std::string FinishHex();

private:
    // The layout advapi32 works on: bit count, state, input block, result.
    struct Context {
        ULONG count[2];
        ULONG state[4];
        unsigned char input[64];
        unsigned char digest[16];
    };
    Context m_context;
};
