// The host as a library, for tests and for the host program: loads modules,
// answers their callback from a script, serves items and renders JPEG
// renditions, recording every callback. Asynchronous requests are answered
// later from the host's message loop (Pump), never from inside the
// callback. One host per process: the callback finds it through a
// process-wide pointer.
#pragma once

#include "TlHostCall.h"
#include "TlHostItems.h"
#include "TlHostModule.h"
#include "TlHostScript.h"
#include "TlHostServices.h"
#include "TlRawDevelop.h"

#include "runbase/TlvFunctionData.h"
#include "runbase/TlvOutputData.h"

#include <deque>
#include <functional>
#include <memory>
#include <vector>

struct TlHostFunction {
    int id = 0;
    std::string name;
    TlvWord owner = 0; // word 1 of the registration: the module type
    CTlvFunctionData record; // a copy of the record as registered
};

class CTlHost : public ITlvHost {
public:
    explicit CTlHost(CTlHostScript script);
    // Closes every module still loaded.
    virtual ~CTlHost();
    CTlHost(const CTlHost&) = delete;
    CTlHost& operator=(const CTlHost&) = delete;

    // 0 when the host's imaging manager was made.
    unsigned long GetStartResult() const { return m_startResult; }

    // Loads a module by name or path and starts it: TlvGetInformation,
    // TlvInitialize, the information query. On failure the module is
    // closed (TlvClose also after a failed TlvInitialize) and unloaded and
    // the failure answered; on success `*module` (may be null) is the host's.
    unsigned long AddModule(const std::string& nameOrPath, CTlHostModule** module = nullptr);
    // Closes and unloads every module, latest first.
    void CloseModules();

    // Sends the nine words to a module, as the host's own message.
    unsigned long Send(CTlHostModule& module, const TlvWords& words);
    // TLV_MSG_RUN_FUNCTION for function `id`; a module that answers 2 is
    // waiting for the host, whose pump then carries the run on.
    unsigned long RunFunction(CTlHostModule& module, int id);

    // Runs the message loop until `done` holds (true) or `timeoutMs` passes
    // (false).
    bool Pump(const std::function<bool()>& done, DWORD timeoutMs);
    // Requests answered 2 and not yet ended with TLV_MSG_REQUEST_DONE.
    std::size_t PendingRequests() const { return m_pending.size(); }
    // The failure code of the last request that ended, 0 after a success.
    unsigned long LastRequestResult() const { return m_lastRequestResult; }

    // Every callback the modules made, in order, with the host's answer.
    const std::vector<TlHostCall>& Calls() const { return m_calls; }
    std::vector<TlHostCall> CallsWithCode(unsigned long code) const;
    // Every message the host sent a module after its start, with the answer.
    const std::vector<TlHostCall>& Sent() const { return m_sent; }
    const std::vector<TlHostFunction>& Functions() const { return m_functions; }
    const CTlHostServices& Services() const { return m_services; }
    CTlHostScript& Script() { return m_script; }

    unsigned long GetObject(int id, void** object) override;
    // The callback the host gives the modules it starts.
    static TlvHostCallback GetCallback();

private:
    struct CRequest {
        CTlHostModule* module;
        TlvItemId item;
        CTlvOutputData* output;
        TlvWord request;
        TlvWord replyTag;
        bool cancelled;
    };
    class CRequestWatcher;

    static unsigned long __cdecl Callback(TlvWord code, TlvWord value1, TlvWord value2, TlvWord record, TlvWord count,
                                          TlvWord recordType, TlvWord subValue, TlvWord request, TlvWord replyTag);
    unsigned long Answer(const TlvWords& words);
    unsigned long Register(const TlvWords& words);
    unsigned long QueueRender(const TlvWords& words);
    unsigned long Cancel(const TlvWords& words);
    void RunNextRequest();
    unsigned long Render(CRequest& request);

    CTlHostScript m_script;
    unsigned long m_startResult = 0;
    IKelvraManager* m_manager = nullptr;
    CTlHostItems m_items;
    CTlHostServices m_services;
    std::unique_ptr<CTlRawDevelop> m_rawRoad;
    std::vector<std::unique_ptr<CTlHostModule>> m_modules;
    CTlHostModule* m_active = nullptr;
    std::deque<CRequest> m_pending;
    unsigned long m_lastRequestResult = 0;
    std::vector<TlHostCall> m_calls;
    std::vector<TlHostCall> m_sent;
    std::vector<TlHostFunction> m_functions;
};
