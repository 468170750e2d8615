#include "TlHostModule.h"

#include "afxwin.h"
#include "runbase/TlvMessageCodes.h"
#include "runbase/TlvRecordTypes.h"
#include "runbase/TlvResultCodes.h"

CTlHostModule::~CTlHostModule()
{
    Unload();
}

unsigned long CTlHostModule::Load(const std::string& nameOrPath)
{
    Unload();
    m_library = AfxLoadLibrary(nameOrPath.c_str());
    if (m_library == nullptr)
        return TLV_ERR_NOT_FOUND;
    m_name = nameOrPath;
    if (!m_exports.Bind(m_library)) {
        Unload();
        return TLV_ERR_FAILED;
    }
    return TLV_OK;
}

unsigned long CTlHostModule::GetInformation(int* moduleType, int* interfaceKind)
{
    if (m_exports.getInformation == nullptr)
        return TLV_ERR_FAILED;
    return m_exports.getInformation(moduleType, interfaceKind);
}

unsigned long CTlHostModule::Initialize(TlvHostCallback callback, ITlvHost* host)
{
    if (m_exports.initialize == nullptr)
        return TLV_ERR_FAILED;
    m_initialized = true;
    return m_exports.initialize(callback, host);
}

unsigned long CTlHostModule::QueryInformation()
{
    m_info = TlvModuleInfo();
    return Message({TLV_MSG_QUERY_INFO, 0, 0, reinterpret_cast<TlvWord>(&m_info), 0, TLV_TYPE_MODULE_INFO, 0, 0, 0});
}

unsigned long CTlHostModule::Message(const TlvWords& w)
{
    if (m_exports.message == nullptr)
        return TLV_ERR_FAILED;
    return m_exports.message(w[0], w[1], w[2], w[3], w[4], w[5], w[6], w[7], w[8]);
}

void CTlHostModule::Close()
{
    if (m_exports.close != nullptr && m_initialized)
        m_exports.close();
    m_initialized = false;
}

void CTlHostModule::Unload()
{
    Close();
    // The module's function entries were made by its code: let them go
    // before the code does.
    m_info = TlvModuleInfo();
    if (m_library != nullptr)
        AfxFreeLibrary(m_library);
    m_library = nullptr;
    m_exports = TlvModuleExports();
}
