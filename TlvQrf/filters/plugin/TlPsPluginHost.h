// The host of one image-editor filter plug-in: keeps which plug-in it holds
// (its installed entry, the name and category its property list gives) and
// its parameter block, fills the parameter record with the procedures of
// the interface, and delivers the image the plug-in asks for from an imaging
// source. Loading the file, calling its entry and drawing belong to the
// platform class (CPluginWin).
#pragma once

#include "filters/plugin/TlPluginEntry.h"
#include "filters/plugin/TlPluginHost.h"
#include "filters/pluginfilter/TlFilterPluginHost.h"
#include "infra/TlString.h"
#include "infra/TlSync.h"
#include "psplugin/PsFilter.h"

#include <cstdint>
#include <memory>
#include <vector>

class CTlMemBlock;
struct TlPluginCallbacks;

class CPluginHost : public IPluginHost, public ITlFilterPluginHost {
public:
    CPluginHost();
    // Subclasses unload their file in their own destructor.
    ~CPluginHost() override;
    CPluginHost(const CPluginHost&) = delete;
    CPluginHost& operator=(const CPluginHost&) = delete;

    // What the platform class supplies.
    virtual bool AbortTest() = 0;
    virtual void Progress(std::int32_t done, std::int32_t total) = 0;
    virtual void HostProcedure(std::int16_t selector, std::intptr_t* data) = 0;
    virtual std::int16_t ProcessEvent(void* event) = 0;
    virtual PsResult DisplayPixels(const PsPixelMap* source, const PsRect* sourceRect, std::int32_t destinationRow,
                                   std::int32_t destinationColumn, void* context) = 0;
    // Loads the current entry's file and reads its resources (ParsePiPL).
    virtual PsResult LoadPluginFile() = 0;
    virtual PsResult UnloadPluginFile() = 0;
    virtual PsResult CallEntry(std::int16_t selector, void* record, std::intptr_t* data) = 0;
    // Another host of the same platform class; null when memory runs out.
    virtual CPluginHost* CreateAnother() = 0;

    // Loads `entry` (nothing when it is the one loaded); the plug-in's result.
    PsResult Load(const CPluginEntry& entry);
    bool IsLoaded() const { return m_loaded; }
    const CPluginEntry& GetEntry() const { return m_entry; }
    const char* GetCategory() const { return m_category.GetData(); }
    // The id of the first event of the plug-in's scripting resource; 0 without one.
    std::uint32_t GetEventId() const { return m_eventId; }

    // Calls the entry with `selector` (the initialising selector first after
    // every load); 0 when nothing is loaded.
    PsResult Dispatch(std::int16_t selector);

    // Reads the name and category from the property list and the event id
    // from the scripting resource, never past `piplSize` or `aeteSize`
    // bytes; either may be null. What cannot be read stays "?" (or 0).
    void ParsePiPL(const void* pipl, std::uint32_t piplSize, const void* aete, std::uint32_t aeteSize);

    // IPluginHost
    long AddRef() override;
    long Release() override;
    long GetRefCount() const { return m_uses; }
    bool LoadFile(const char* path) override;
    void Unload() override;
    std::int32_t GetId() const override { return m_entry.id; }
    const char* GetName() const override { return m_name.GetData(); }
    const char* GetPath() const override { return m_entry.path.GetData(); }
    std::size_t GetParameters(void* buffer, std::size_t size) const override;
    void SetParameters(const void* bytes, std::size_t size) override;
    std::size_t GetParametersSize() const override { return m_blob.size(); }

    // ITlFilterPluginHost
    void AttachFilter(CPluginHostFilter* filter, bool attach) override;
    void MarkChanged() override { m_changed = true; }
    void SetImage(IKelvraDataSource* source, double scale, double resolution) override;
    long BeginFilter(IKelvraDataSource* source, long processValue, bool flag, const KelvraRect* rect) override;
    long PrepareFilter() override;
    long RunFilter(TlPluginProgress progress, void* context) override;
    long ContinueFilter() override;
    long FinishFilter() override;
    const void* GetOutput(long* rowBytes, bool* interleaved) const override;
    bool NeedsRun() const override;
    IKelvraError* ConvertError(long result) const override;

    // The interface's procedures, as the callbacks reach them.
    // A handle is the host's own block of bytes with its size.
    static PsHandle NewHandle(std::int32_t size);
    static void DisposeHandle(PsHandle handle);
    static std::int32_t GetHandleSize(PsHandle handle);
    static PsResult SetHandleSize(PsHandle handle, std::int32_t size);
    static void* LockHandle(PsHandle handle);
    PsResult AllocateBuffer(std::int32_t size, PsBufferId* id);
    void* LockBuffer(PsBufferId id);
    void UnlockBuffer(PsBufferId id);
    void FreeBuffer(PsBufferId id);
    static std::int32_t Space();
    PsResult AdvanceState();
    static PsResult ColorServices(const PsColorServicesInfo* info);

    const PsFilterRecord& GetRecord() const { return m_record; }

protected:
    // For the platform class's constructor: the record's platform data.
    PsPlatformData& PlatformData() { return m_platform; }
    // Resets name and category to "?" and the event id to 0.
    void ResetIdentity();

private:
    friend struct TlPluginCallbacks;

    // Sets the record's error string and answers kPsReportString.
    PsResult ReportString(const char* text);
    void FillRecord();
    void FreeRunBuffers();
    void DetachFilters();
    void PutBlobIntoParameters();
    void TakeParametersIntoBlob();
    bool ParametersEqualBlob() const;
    bool RunConditionsHold() const;
    std::int64_t OutputRowBytes() const;
    PsRect ImageRect() const;

    CPluginEntry m_entry;
    CTlString m_name;
    CTlString m_category;
    std::uint32_t m_eventId = 0;
    bool m_loaded = false;
    bool m_started = false;
    bool m_running = false;
    bool m_changed = false;
    bool m_initialised = false;
    bool m_startSent = false;
    long m_uses = 0;
    std::vector<unsigned char> m_blob;
    std::vector<CPluginHostFilter*> m_filters;

    IKelvraDataSource* m_source = nullptr;
    long m_processValue = 0;
    long m_imageWidth = 0;
    long m_imageHeight = 0;
    int m_bytesPerSample = 1;
    std::unique_ptr<unsigned char[]> m_input;
    std::unique_ptr<unsigned char[]> m_output;
    std::int64_t m_pixelCount = 0;
    TlPluginProgress m_progress = nullptr;
    void* m_progressContext = nullptr;
    // A prepared host runs again unless its last run succeeded with the
    // plug-in file loaded now.
    bool m_lastRunSucceeded = false;
    unsigned m_loads = 0;
    unsigned m_lastRunLoad = 0;

    std::vector<std::unique_ptr<CTlMemBlock>> m_buffers;
    Tl::CSyncCritical m_lock;

    PsFilterRecord m_record{};
    PsAboutRecord m_about{};
    PsBufferProcs m_bufferProcs{};
    PsHandleProcs m_handleProcs{};
    PsPlatformData m_platform{};
    PsErrorString m_errorText{};
    std::intptr_t m_data = 0;
};
