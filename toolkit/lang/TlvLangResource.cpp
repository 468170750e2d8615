#include "lang/TlvLangResource.h"

bool CTlvLangResource::Load(const char* path)
{
    Free();
    if (!path)
        return false;
    m_library = LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    return m_library != nullptr;
}

void CTlvLangResource::Free()
{
    if (m_library)
        FreeLibrary(m_library);
    m_library = nullptr;
}
