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
    m_close = TlvBindExport<TlvCloseFn>(m_library, "TlvClose");
    m_getInformation = TlvBindExport<TlvGetInformationFn>(m_library, "TlvGetInformation");
    m_initialize = TlvBindExport<TlvInitializeFn>(m_library, "TlvInitialize");
    m_message = TlvBindExport<TlvMessageFn>(m_library, "TlvMessage");
    if (m_close == nullptr || m_getInformation == nullptr || m_initialize == nullptr || m_message == nullptr) {
        Unload();
        return TLV_ERR_FAILED;
    }
    return TLV_OK;
}

unsigned long CTlHostModule::GetInformation(int* moduleType, int* interfaceKind)
{
    if (m_getInformation == nullptr)
        return TLV_ERR_FAILED;
    return m_getInformation(moduleType, interfaceKind);
}

unsigned long CTlHostModule::Initialize(TlvHostCallback callback, ITlvHost* host)
{
    if (m_initialize == nullptr)
        return TLV_ERR_FAILED;
    m_initialized = true;
    return m_initialize(callback, host);
}

unsigned long CTlHostModule::QueryInformation()
{
    m_info = TlvModuleInfo();
    return Message({TLV_MSG_QUERY_INFO, 0, 0, reinterpret_cast<TlvWord>(&m_info), 0, TLV_TYPE_MODULE_INFO, 0, 0, 0});
}

unsigned long CTlHostModule::Message(const TlvWords& w)
{
    if (m_message == nullptr)
        return TLV_ERR_FAILED;
    return m_message(w[0], w[1], w[2], w[3], w[4], w[5], w[6], w[7], w[8]);
}

void CTlHostModule::Close()
{
    if (m_close != nullptr && m_initialized)
        m_close();
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
    m_close = nullptr;
    m_getInformation = nullptr;
    m_initialize = nullptr;
    m_message = nullptr;
}
