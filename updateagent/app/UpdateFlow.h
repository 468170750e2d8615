// The whole life of the agent after start-up: address and connection checks,
// the availability check, the question, and the updater dialog.
#pragma once

#include "base/TResource.h"
#include "base/TWideString.h"

#include <windows.h>

// The steps of the flow that show windows or ask the system; tests replace them.
class UpdateFlowSteps {
public:
    virtual ~UpdateFlowSteps() = default;
    virtual bool IsConnected() = 0;
    // End code of the check dialog: 0 when an update is available.
    virtual int RunCheckDialog(const TWideString& installer, const TWideString& md5File) = 0;
    // The silent checker's result: 0 when an update is available.
    virtual unsigned RunSilentCheck(const TWideString& installer, const TWideString& md5File) = 0;
    // End code of the question: 0 to download.
    virtual int RunConfirmDialog() = 0;
    virtual void RunUpdaterDialog(const TWideString& installer, const TWideString& md5File) = 0;
    virtual void ShowBox(UINT textId) = 0;
};

// The steps with the agent's real dialogs, checker and connection state.
class AgentFlowSteps : public UpdateFlowSteps {
public:
    AgentFlowSteps(HINSTANCE program, const TResource& resource) : m_program(program), m_resource(resource) {}

    bool IsConnected() override;
    int RunCheckDialog(const TWideString& installer, const TWideString& md5File) override;
    unsigned RunSilentCheck(const TWideString& installer, const TWideString& md5File) override;
    int RunConfirmDialog() override;
    void RunUpdaterDialog(const TWideString& installer, const TWideString& md5File) override;
    void ShowBox(UINT textId) override;

private:
    HINSTANCE m_program;
    const TResource& m_resource;
};

struct LoadedAddresses {
    bool installerLoaded = false;
    TWideString installer;
    bool md5Loaded = false;
    TWideString md5File;
};
LoadedAddresses LoadUpdateAddresses(const TResource& resource);

// False when the flow stopped at the address or connection check.
bool RunUpdateFlow(const LoadedAddresses& addresses, bool manual, UpdateFlowSteps& steps);
bool RunUpdateFlow(HINSTANCE program, const TResource& resource, bool manual);
