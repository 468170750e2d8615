// The entry object of an output plug-in: keeps the module's identity, the
// host callback and the task, answers the information query and hands every
// other message to the task. The task talks back to the host through it.
#pragma once

#include "module/TlvModuleInterface.h"

#include "runbase/TlvMessageCodes.h"
#include "runbase/TlvRecordTypes.h"
#include "runbase/TlvResultCodes.h"

#include <new>

// What the exports call; CTlvPluginTemplate fills it in for one task class.
class CTlvPluginEntry : public ITlvMessage {
public:
    virtual unsigned long Initialize(TlvHostCallback callback, ITlvHost* host, const TlvModuleInfo& info) = 0;
    virtual void Close() = 0;
    virtual unsigned long Dispatch(TlvWord code, TlvWord value1, TlvWord value2, TlvWord record, TlvWord count,
                                   TlvWord recordType, TlvWord subValue, TlvWord request, TlvWord replyTag) = 0;
    virtual ~CTlvPluginEntry() = default;
};

// `Task` derives from ITlvInitialize and ITlvMessage and is default-constructible.
template <class Task>
class CTlvPluginTemplate : public CTlvPluginEntry {
public:
    CTlvPluginTemplate() = default;
    CTlvPluginTemplate(const CTlvPluginTemplate&) = delete;
    CTlvPluginTemplate& operator=(const CTlvPluginTemplate&) = delete;
    ~CTlvPluginTemplate() override { Close(); }

    unsigned long Message(TlvWord code, TlvWord value1, TlvWord value2, TlvWord record, TlvWord count,
                          TlvWord recordType, TlvWord subValue, TlvWord request, TlvWord replyTag) override
    {
        if (m_callback == nullptr)
            return TLV_ERR_FAILED;
        return m_callback(code, value1, value2, record, count, recordType, subValue, request, replyTag);
    }

    unsigned long Initialize(TlvHostCallback callback, ITlvHost* host, const TlvModuleInfo& info) override
    {
        m_moduleType = info.moduleId;
        m_flags = info.flags;
        m_interfaceKind = info.interfaceKind;
        m_name = info.name;
        m_callback = callback;
        m_task = new (std::nothrow) Task;
        if (m_task == nullptr)
            return TLV_ERR_OUT_OF_MEMORY;
        const unsigned long result = static_cast<ITlvInitialize*>(m_task)->Initialize(this, host);
        return TlvFailed(result) ? result : TLV_OK;
    }

    void Close() override
    {
        if (m_task == nullptr)
            return;
        static_cast<ITlvInitialize*>(m_task)->Uninitialize();
        delete m_task;
        m_task = nullptr;
    }

    unsigned long Dispatch(TlvWord code, TlvWord value1, TlvWord value2, TlvWord record, TlvWord count,
                           TlvWord recordType, TlvWord subValue, TlvWord request, TlvWord replyTag) override
    {
        if (code == TLV_MSG_QUERY_INFO) {
            if (recordType != TLV_TYPE_MODULE_INFO || record == 0)
                return TLV_ERR_FAILED;
            auto* info = reinterpret_cast<TlvModuleInfo*>(record);
            info->moduleId = m_moduleType;
            info->flags = m_flags;
            info->interfaceKind = m_interfaceKind;
        }
        if (m_task == nullptr)
            return TLV_ERR_FAILED;
        return static_cast<ITlvMessage*>(m_task)->Message(code, value1, value2, record, count, recordType, subValue,
                                                          request, replyTag);
    }

    Task* GetTask() const { return m_task; }
    const std::string& GetName() const { return m_name; }

private:
    int m_moduleType = 0;
    int m_interfaceKind = 0;
    int m_flags = 0;
    std::string m_name;
    int m_spare = 0;
    TlvHostCallback m_callback = nullptr;
    Task* m_task = nullptr;
};
