#include "TlHost.h"

#include "TlHostRender.h"

#include "afxwin.h"
#include "kelvra/KelvraManager.h"
#include "runbase/TlvFunctionData.h"
#include "runbase/TlvMessageCodes.h"
#include "runbase/TlvRecordTypes.h"
#include "runbase/TlvResultCodes.h"

namespace {

CTlHost* g_host = nullptr;

// How long the loop sleeps when it has nothing to do.
constexpr DWORD kIdleMilliseconds = 2;

IKelvraManager* NewManager(unsigned long* result)
{
    IKelvraManager* manager = nullptr;
    IKelvraError* error = IKelvraManager::_CreateKelvraManager(0, nullptr, 0, 0, 0, &manager);
    *result = error == nullptr ? TLV_OK : TLV_ERR_OUT_OF_MEMORY;
    IKelvraError::Release(error);
    return manager;
}

TlHostCall Recorded(const TlvWords& words)
{
    TlHostCall call;
    call.words = words;
    if (words[5] == TLV_TYPE_STRING && words[3] != 0)
        call.text = *reinterpret_cast<const std::string*>(words[3]);
    if (words[5] == TLV_TYPE_INT && words[3] != 0) {
        const auto* values = reinterpret_cast<const long*>(words[3]);
        call.values.assign(values, values + words[4]);
    }
    return call;
}

} // namespace

// Progress of a render goes to the module that asked for it, from the loop.
class CTlHost::CRequestWatcher : public ITlRenderWatcher {
public:
    CRequestWatcher(CTlHost& host, CRequest& request) : m_host(host), m_request(request) {}
    bool OnProgress(long done, long total) override
    {
        long progress[2] = {done, total};
        m_host.Send(*m_request.module,
                       {TLV_MSG_REQUEST_PROGRESS, TlvItemLow(m_request.item), TlvItemHigh(m_request.item),
                        reinterpret_cast<TlvWord>(progress), 2, TLV_TYPE_INT, 0, m_request.request,
                        m_request.replyTag});
        return !m_request.cancelled;
    }

private:
    CTlHost& m_host;
    CRequest& m_request;
};

CTlHost::CTlHost(CTlHostScript script)
    : m_script(std::move(script)),
      m_manager(NewManager(&m_startResult)),
      m_items(m_script, m_manager),
      m_services(m_script, m_items, m_manager)
{
    g_host = this;
}

CTlHost::~CTlHost()
{
    CloseModules();
    m_rawRoad.reset();
    if (m_manager != nullptr)
        m_manager->Release();
    if (g_host == this)
        g_host = nullptr;
}

unsigned long CTlHost::AddModule(const std::string& nameOrPath, CTlHostModule** added)
{
    std::unique_ptr<CTlHostModule> module(new CTlHostModule);
    unsigned long result = module->Load(nameOrPath);
    if (result != TLV_OK)
        return result;
    int moduleType = 0, interfaceKind = 0;
    result = module->GetInformation(&moduleType, &interfaceKind);
    CTlHostModule* previous = m_active;
    m_active = module.get();
    if (!TlvFailed(result))
        result = module->Initialize(&CTlHost::Callback, this);
    if (!TlvFailed(result))
        result = module->QueryInformation();
    m_active = previous;
    if (TlvFailed(result)) {
        module->Unload();
        return result;
    }
    if (added != nullptr)
        *added = module.get();
    m_modules.push_back(std::move(module));
    return TLV_OK;
}

void CTlHost::CloseModules()
{
    m_pending.clear();
    while (!m_modules.empty()) {
        m_active = m_modules.back().get();
        m_modules.back()->Unload();
        m_modules.pop_back();
    }
    m_active = nullptr;
}

unsigned long CTlHost::Send(CTlHostModule& module, const TlvWords& words)
{
    m_sent.push_back(Recorded(words));
    CTlHostModule* previous = m_active;
    m_active = &module;
    const unsigned long result = module.Message(words);
    m_active = previous;
    m_sent.back().answer = result;
    return result;
}

unsigned long CTlHost::RunFunction(CTlHostModule& module, int id)
{
    return Send(module, {TLV_MSG_RUN_FUNCTION, TlvWord(id), 0, 0, 0, 0, 0, 0, 0});
}

bool CTlHost::Pump(const std::function<bool()>& done, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (done())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        if (!m_pending.empty())
            RunNextRequest();
        else
            Sleep(kIdleMilliseconds);
    }
}

std::vector<TlHostCall> CTlHost::CallsWithCode(unsigned long code) const
{
    std::vector<TlHostCall> found;
    for (const TlHostCall& call : m_calls) {
        if (call.words[0] == code)
            found.push_back(call);
    }
    return found;
}

unsigned long CTlHost::GetObject(int id, void** object)
{
    if (object == nullptr)
        return TLV_ERR_FAILED;
    return m_services.Take(id, object);
}

TlvHostCallback CTlHost::GetCallback()
{
    return &CTlHost::Callback;
}

unsigned long __cdecl CTlHost::Callback(TlvWord code, TlvWord value1, TlvWord value2, TlvWord record, TlvWord count,
                                        TlvWord recordType, TlvWord subValue, TlvWord request, TlvWord replyTag)
{
    // The host's own resources while it answers, whatever module called.
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    if (g_host == nullptr)
        return TLV_ERR_FAILED;
    try {
        return g_host->Answer({code, value1, value2, record, count, recordType, subValue, request, replyTag});
    } catch (const std::bad_alloc&) {
        return TLV_ERR_OUT_OF_MEMORY;
    } catch (...) {
        return TLV_ERR_FAILED;
    }
}

unsigned long CTlHost::Answer(const TlvWords& words)
{
    m_calls.push_back(Recorded(words));
    const unsigned long code = static_cast<unsigned long>(words[0]);
    const TlvItemId item = TlvItemFromWords(words[1], words[2]);
    unsigned long result = TLV_OK;
    const auto scripted = m_script.answers.find(code);
    if (scripted != m_script.answers.end())
        result = scripted->second;
    else if (code == TLV_MSG_REGISTER_FUNCTIONS)
        result = Register(words);
    else if (code == TLV_MSG_LOAD_SOURCE_DATA)
        result = m_items.LoadSourceData(item) ? TLV_OK : TLV_ERR_FAILED;
    else if (code == TLV_MSG_LOAD_ITEM_DATA)
        result = m_items.LoadItemData(item) ? TLV_OK : TLV_ERR_FAILED;
    else if (code == TLV_MSG_LOAD_ITEM_PART || code == TLV_MSG_LOAD_ITEM_IMAGE)
        result = m_items.LoadItemPart(item) ? TLV_OK : TLV_ERR_FAILED;
    else if (code == TLV_MSG_RENDER_ITEM)
        result = QueueRender(words);
    else if (code == TLV_MSG_CANCEL_REQUEST)
        result = Cancel(words);
    m_calls.back().answer = result;
    return result;
}

unsigned long CTlHost::Register(const TlvWords& words)
{
    if (words[5] != TLV_TYPE_FUNCTION_DATA || words[3] == 0)
        return TLV_ERR_FAILED;
    const auto* functions = reinterpret_cast<const CTlvFunctionData*>(words[3]);
    for (TlvWord i = 0; i < words[4]; ++i)
        m_functions.push_back({functions[i].m_id, functions[i].m_name, words[1], functions[i]});
    return TLV_OK;
}

unsigned long CTlHost::QueueRender(const TlvWords& words)
{
    if (words[5] != TLV_TYPE_OUTPUT_DATA || words[3] == 0 || m_active == nullptr)
        return TLV_ERR_FAILED;
    m_pending.push_back({m_active, TlvItemFromWords(words[1], words[2]),
                         reinterpret_cast<CTlvOutputData*>(words[3]), words[0], words[8], false});
    return 2;
}

// A cancel names the request it ends (word 7), not its reply tag: every
// pending request of that kind from the calling module ends cancelled.
unsigned long CTlHost::Cancel(const TlvWords& words)
{
    for (CRequest& request : m_pending) {
        if (request.module == m_active && request.request == words[7])
            request.cancelled = true;
    }
    return TLV_OK;
}

void CTlHost::RunNextRequest()
{
    CRequest request = m_pending.front();
    m_pending.pop_front();
    unsigned long result = TLV_ERR_CANCELLED;
    if (!request.cancelled) {
        const auto failed = m_script.failedRequests.find(static_cast<unsigned long>(request.request));
        result = failed != m_script.failedRequests.end() ? failed->second : Render(request);
    }
    if (request.cancelled)
        result = TLV_ERR_CANCELLED;
    m_lastRequestResult = result;
    unsigned long failure = result;
    TlvWords done = {TLV_MSG_REQUEST_DONE, TlvItemLow(request.item), TlvItemHigh(request.item), 0, 0, 0, 0,
                     request.request, request.replyTag};
    if (result != TLV_OK) {
        done[3] = reinterpret_cast<TlvWord>(&failure);
        done[4] = 1;
        done[5] = TLV_TYPE_INT;
    }
    Send(*request.module, done);
}

unsigned long CTlHost::Render(CRequest& request)
{
    const TlHostItem* item = m_script.FindItem(request.item);
    if (item == nullptr || m_manager == nullptr)
        return TLV_ERR_FAILED;
    if (m_rawRoad == nullptr) {
        m_rawRoad.reset(new CTlRawDevelop);
        m_rawRoad->Start(m_manager);
    }
    CRequestWatcher watcher(*this, request);
    return TlRenderRendition(m_manager, *m_rawRoad, item->path, *request.output, watcher);
}
