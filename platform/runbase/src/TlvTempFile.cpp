#include "runbase/TlvTempFile.h"

#include "runbase/TlvBuffer.h"
#include "runbase/TlvResultCodes.h"

#include <windows.h>

#include <algorithm>
#include <new>

namespace {

// A new empty file with a unique name in the temporary folder.
bool CreateTempFile(char (&name)[MAX_PATH])
{
    char folder[MAX_PATH];
    const DWORD length = GetTempPathA(MAX_PATH, folder);
    if (length == 0 || length >= MAX_PATH)
        return false;
    return GetTempFileNameA(folder, "Tlv", 0, name) != 0;
}

bool WriteAll(HANDLE file, const unsigned char* data, std::size_t size)
{
    while (size > 0) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file, data, chunk, &written, nullptr) || written != chunk)
            return false;
        data += chunk;
        size -= chunk;
    }
    return true;
}

bool WriteFileData(const char* name, const CTlvBuffer& buffer)
{
    HANDLE file = CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const bool written = WriteAll(file, buffer.GetData(), buffer.GetSize());
    const bool closed = CloseHandle(file) != 0;
    return written && closed;
}

} // namespace

unsigned long TlvWriteTempFile(const CTlvBuffer& buffer, std::string& path) noexcept
{
    char name[MAX_PATH];
    if (!CreateTempFile(name))
        return TLV_ERR_FAILED;
    if (!WriteFileData(name, buffer)) {
        DeleteFileA(name);
        return TLV_ERR_FAILED;
    }
    try {
        path = name;
        return TLV_OK;
    } catch (const std::bad_alloc&) {
        DeleteFileA(name);
        return TLV_ERR_OUT_OF_MEMORY;
    }
}
