#include "runbase/TlvFileHandle.h"

#include "runbase/TlvResultCodes.h"

#include <windows.h>

unsigned long CTlvFileHandle::Initialize(const char* path) noexcept
{
    const unsigned long result = CTlvFilePath::Initialize(path);
    if (TlvFailed(result))
        return result;
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return TLV_ERR_NOT_FOUND;
    return TLV_OK;
}
