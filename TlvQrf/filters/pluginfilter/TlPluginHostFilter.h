// The filter-plug-in filter ('Plug'): runs one image-editor filter plug-in,
// held by a plug-in host, and serves its output. Without a host it passes
// its source through. All plug-in runs of the process take turns.
#pragma once

#include "filters/frame/TlFilter.h"
#include "filters/pluginfilter/TlFilterPluginHost.h"

#include <vector>

class CPluginHostFilter : public CTlFilter {
public:
    static constexpr KelvraTag kId = TlFilterId("Plug");
    // The plug-in's result for a run the user cancelled.
    static constexpr long kPluginCancelled = 30000;
    // RunPlugin's process id for the filter's own sources.
    static constexpr int kOwnSources = -1;

    explicit CPluginHostFilter(IKelvraManager* manager);
    // The host forgets the filter.
    ~CPluginHostFilter() override;

    KelvraTag GetFilterTag() const override { return kId; }
    const char* GetFilterName() const override;

    // Attaches the filter to `host` (not owned) and detaches it from the
    // previous one; null passes the source through.
    IKelvraError* SetPlugin(ITlFilterPluginHost* host, bool notify);
    ITlFilterPluginHost* GetPlugin() const { return m_host; }

    // The scale and the resolution (dots per inch) the plug-in sees.
    IKelvraError* SetScaleAndResolution(double scale, double resolution, bool notify);
    double GetScale() const { return m_scale; }
    double GetPluginResolution() const { return m_resolution; }

    // Set when the plug-in reported that the user cancelled its run.
    bool IsCancelled() const { return m_cancelled; }

    // Runs the plug-in once over the whole source, when its host says it
    // must: with kOwnSources the filter's own sources (those of its current
    // process run when it has none connected), with any other id those of
    // its current process run. Without a host: 1014.
    IKelvraError* RunPlugin(int processId);

    IKelvraError* BeginProcess(void** handle, IKelvraDataSource* const* sources, long count,
                               IKelvraImage* destination) override;
    IKelvraError* EndProcess(void* handle) override;

    IKelvraError* KelvraNotify(IKelvraDataSource* source, long code, void* data) override;
    IKelvraError* DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info) override;

private:
    // Sends the host's progress to the watchers as 'Plug' progress records.
    static bool ReportProgress(int type, int value, void* context);
    IKelvraError* RunSources(int processId, std::vector<IKelvraDataSource*>* sources);
    // The plug-in's result as an error chain; 30000 (cancelled) only marks
    // the filter.
    IKelvraError* TakeResult(long result);
    IKelvraError* FillFromPlugin(const CTlTileTarget& target);
    void Detach();
    void MarkHostChanged();

    ITlFilterPluginHost* m_host = nullptr;
    double m_scale = 1.0;
    double m_resolution = 300.0;
    bool m_cancelled = false;
    void* m_run = nullptr;
};
