#include "afxwin.h"

#include <cstring>

HINSTANCE AfxLoadLibrary(const char* fileName)
{
    const bool hasFolder =
        fileName != nullptr && (std::strchr(fileName, '\\') != nullptr || std::strchr(fileName, '/') != nullptr);
    return LoadLibraryExA(fileName, nullptr, hasFolder ? LOAD_WITH_ALTERED_SEARCH_PATH : 0);
}

BOOL AfxFreeLibrary(HINSTANCE library)
{
    return library != nullptr && FreeLibrary(library);
}
