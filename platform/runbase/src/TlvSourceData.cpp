#include "runbase/TlvSourceData.h"

bool CTlvSourceData::SetMarked(bool marked)
{
    if (IsMarked() == marked)
        return false;
    m_flags ^= TLV_SOURCE_MARKED;
    return true;
}

const CTlvTime& CTlvSourceData::GetItemTime() const
{
    return m_sourceClass == TLV_SOURCE_STILL ? m_pictureTime : m_fileTime;
}
