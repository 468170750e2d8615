#include "lib/TlSoftwareTag.h"

#include "afxwin.h"
#include "res/TlbQrfResource.h"
#include "runbase/TlvResultCodes.h"

#include <cstdio>
#include <memory>
#include <new>

namespace {

// The FileVersion text of the first translation of `block`; false when the
// block has no translation or no such entry.
bool QueryFileVersion(const void* block, std::string& version)
{
    struct Translation {
        WORD language;
        WORD codePage;
    };
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block, "\\VarFileInfo\\Translation", &value, &length) || !value ||
        length < sizeof(Translation))
        return false;
    const Translation* first = static_cast<const Translation*>(value);
    char query[64];
    std::snprintf(query, sizeof query, "\\StringFileInfo\\%04X%04X\\FileVersion", first->language,
                  first->codePage);
    value = nullptr;
    length = 0;
    if (!VerQueryValueA(block, query, &value, &length) || !value)
        return false;
    // The length counts characters, perhaps the terminator too; stop at either.
    const char* text = static_cast<const char*>(value);
    version.assign(text, strnlen(text, length));
    return true;
}

} // namespace

std::string FormatSoftwareTag(const std::string& name, const std::string& fileVersion)
{
    std::string version;
    for (char c : fileVersion)
        if (c != ' ')
            version += c;
    const std::string::size_type lastComma = version.rfind(',');
    version.resize(lastComma == std::string::npos ? 0 : lastComma);
    for (char& c : version)
        if (c == ',')
            c = '.';
    return name + " " + version + " W";
}

unsigned long BuildSoftwareTagOf(HMODULE module, std::string& tag)
{
    char path[MAX_PATH] = {};
    const DWORD pathLength = GetModuleFileNameA(module, path, MAX_PATH);
    if (pathLength == 0 || pathLength >= MAX_PATH)
        return TLV_ERR_FAILED;
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &handle);
    if (size == 0)
        return TLV_ERR_FAILED;
    std::unique_ptr<char[]> block(new (std::nothrow) char[size]);
    if (!block)
        return TLV_ERR_OUT_OF_MEMORY;
    std::string version;
    if (!GetFileVersionInfoA(path, 0, size, block.get()) || !QueryFileVersion(block.get(), version))
        return TLV_OK;
    tag = FormatSoftwareTag(AfxLoadString(IDS_SOFTWARE_TAG_NAME), version);
    return TLV_OK;
}

unsigned long BuildSoftwareTag(std::string& tag)
{
    return BuildSoftwareTagOf(AfxGetStaticModuleState()->m_hCurrentInstanceHandle, tag);
}
