#include "filters/plugin/TlPluginEntry.h"

#include <cstring>

bool CPluginEntry::IsSame(const CPluginEntry& other) const
{
    if (id != 0 && other.id != 0)
        return id == other.id;
    return std::strcmp(path.GetData(), other.path.GetData()) == 0;
}
