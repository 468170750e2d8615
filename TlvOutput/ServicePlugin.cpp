#include "ServicePlugin.h"

#include "afxwin.h"
#include "runbase/TlvFilePath.h"
#include "runbase/TlvMessageCodes.h"
#include "runbase/TlvRecordTypes.h"
#include "runbase/TlvResultCodes.h"

namespace {

// Room the plug-in's function list gets before the plug-in appends to it.
constexpr std::size_t kFunctionRoom = 440;

} // namespace

ServicePlugin::~ServicePlugin()
{
    Unload();
}

unsigned long ServicePlugin::Load(TlvHostCallback callback, ITlvHost* host, const CTlvFilePath* file)
{
    m_library = AfxLoadLibrary(file->GetFullPath().c_str());
    if (m_library == nullptr)
        return TLV_ERR_FAILED;
    if (!m_exports.Bind(m_library))
        return TLV_ERR_FAILED;
    if (TlvFailed(m_exports.getInformation(&m_info.moduleId, &m_info.interfaceKind)))
        return TLV_ERR_FAILED;
    if (TlvFailed(m_exports.initialize(callback, host)))
        return TLV_ERR_FAILED;
    m_info.functions.reserve(kFunctionRoom);
    const unsigned long result =
        m_exports.message(TLV_MSG_QUERY_INFO, 0, 0, reinterpret_cast<TlvWord>(&m_info), 0, TLV_TYPE_MODULE_INFO, 0, 0, 0);
    return TlvFailed(result) ? TLV_ERR_FAILED : result;
}

void ServicePlugin::Unload()
{
    if (m_exports.close != nullptr)
        m_exports.close();
    // The entries' texts may have been made by the plug-in's code: they go
    // before that code does.
    m_info = TlvModuleInfo();
    if (m_library != nullptr)
        AfxFreeLibrary(m_library);
    m_library = nullptr;
    m_exports = TlvModuleExports();
}

bool ServicePlugin::Offers(int functionId) const
{
    for (const TlvFunctionEntry& entry : m_info.functions) {
        if (entry.functionId == functionId)
            return true;
    }
    return false;
}

unsigned long ServicePlugin::Message(const ServiceWords& w) const
{
    if (m_exports.message == nullptr)
        return TLV_ERR_FAILED;
    return m_exports.message(w[0], w[1], w[2], w[3], w[4], w[5], w[6], w[7], w[8]);
}
