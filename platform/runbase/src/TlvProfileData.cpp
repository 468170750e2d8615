#include "runbase/TlvProfileData.h"

#include "runbase/TlvResultCodes.h"
#include "runbase/TlvTempFile.h"

CTlvProfileData::~CTlvProfileData()
{
    DeleteTempFile();
}

unsigned long CTlvProfileData::WriteTempFile() noexcept
{
    std::string written;
    const unsigned long result = TlvWriteTempFile(m_data, written);
    if (TlvFailed(result))
        return result;
    DeleteTempFile();
    m_tempFile.swap(written);
    return TLV_OK;
}

void CTlvProfileData::DeleteTempFile() noexcept
{
    if (m_tempFile.empty())
        return;
    DeleteFileA(m_tempFile.c_str());
    m_tempFile.clear();
}
