// The Windows host of an image-editor filter plug-in: loads the plug-in
// file, finds its entry and its resources, calls the entry and draws the
// pixels the plug-in asks it to display. Also the factory the plug-in
// records make hosts with.
#pragma once

#include "filters/plugin/TlPsPluginHost.h"

#include <windows.h>

class CPluginWin final : public CPluginHost {
public:
    CPluginWin();
    ~CPluginWin() override;

    bool AbortTest() override { return false; }
    void Progress(std::int32_t /*done*/, std::int32_t /*total*/) override {}
    void HostProcedure(std::int16_t /*selector*/, std::intptr_t* /*data*/) override {}
    std::int16_t ProcessEvent(void* /*event*/) override { return 0; }
    // Draws the rectangle of `source` into the device context `context` at
    // (destinationColumn, destinationRow).
    PsResult DisplayPixels(const PsPixelMap* source, const PsRect* sourceRect, std::int32_t destinationRow,
                           std::int32_t destinationColumn, void* context) override;
    PsResult LoadPluginFile() override;
    PsResult UnloadPluginFile() override;
    PsResult CallEntry(std::int16_t selector, void* record, std::intptr_t* data) override;
    CPluginHost* CreateAnother() override;

private:
    HMODULE m_module = nullptr;
    PsEntryProc m_entry = nullptr;
};

// Makes CPluginWin hosts for the plug-in records.
class CPluginWinFactory final : public IPluginHostFactory {
public:
    IPluginHost* CreateHost() override;
};
