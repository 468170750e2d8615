// CTlCadraFilterChain: the preview chain behind one image control. It owns
// the 46 filter slots, builds one filter chain from them in the order of its
// mode, connects the image to it and, on request, it to a display, watches
// some of its filters and tears everything down again. Every filter starts
// disabled but the channel-order one; the preview update enables what the
// settings need. The build and the connect operations run on the host's
// thread and take no lock of their own.
#pragma once

#include "chain/TlChainProgress.h"
#include "chain/TlChainSlots.h"
#include "control/TlPreviewChain.h"
#include "filtrix/KelvraFilterCMLEngine.h"
#include "infra/TlString.h"
#include "kelvra/KelvraFilter.h"
#include "kelvra/KelvraTypes.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

class CKelvraFilterBase;
class CKelvraFilterHistogram;
class IKelvraTagControl;
struct KelvraProgress;
class CPluginHostFilter;
class CUnsharpMaskFilter;
class CTlPluginListState;
class CTlPluginState;
class CTlUsmState;

// What the preview shows: the visible part of the output (in display
// pixels) and the two scales of the view.
struct STlChainView {
    KelvraDblRect visible;
    double referenceScale = 1.0;
    double displayScale = 1.0;
};

class CTlCadraFilterChain : public CKelvraFilterWatcher, public ITlChainProgress, public ITlPreviewChain {
public:
    // Build, connect and disconnect codes.
    enum : int {
        kBuilt = 0,
        kNoManagerOrSource = 2,
        kCannotCreate = 3,
        kAlreadyBuilt = 4,
        kNoColourSpace = 6,
        kCannotInitialise = 7,
        kCannotConnect = 8,
    };
    static constexpr int kMaxSharpenFilters = 7;

    CTlCadraFilterChain();
    ~CTlCadraFilterChain() override;

    int BuildPreviewChain(IKelvraManager* manager, IKelvraDataSource* source, IKelvraDataDestination* destination);
    int ConnectDestination(IKelvraDataDestination* destination);
    int DisconnectDestination(IKelvraDataDestination* destination);
    // The tear-down: the chain, every filter and the slot table go.
    void ReleaseChain();
    IKelvraError* TakeFailure() override;

    // The filter of `slot`; null when the slot is empty or out of range.
    CKelvraFilterBase* GetSlot(int slot) const;
    bool HasSlotTable() const { return static_cast<bool>(m_slots); }
    std::uint32_t GetMode() const { return m_mode; }
    std::uint32_t GetScaleMethod() const { return m_scaleMethod; }
    std::uint32_t GetCachePolicy() const { return m_cachePolicy; }
    bool GetChannelOrder() const { return m_channelOrder; }
    const KelvraFile& GetMonitorProfile() const { return m_monitorProfile; }
    const STlOutputColour& GetOutputColour() const { return m_outputColour; }
    bool IsColourManaged() const { return m_colourManagement; }
    std::uint32_t GetUserWidth() const { return m_userWidth; }
    std::uint32_t GetUserHeight() const { return m_userHeight; }
    double GetViewScale() const { return m_viewScale; }
    bool IsGridShown() const { return m_grid; }
    IKelvraManager* GetManager() const { return m_manager; }
    bool IsHistogramReady() const { return m_histogramReady; }
    // Sum of bin x count of histogram channel 1, 2 or 3.
    double GetChannelSum(int channel) const { return m_channelSums[channel - 1]; }
    void SetProgressCallback(TlChainProgressCallback callback, bool enabled);
    // Tells the host's progress callback, when there is one.
    void ReportPhase(std::uint32_t kind, std::uint32_t value, std::uint32_t flags);
    // Lays the grid overlay out for what `view` shows; true when the grid
    // changed (or `force`) and was told to redraw.
    bool FitGrid(const STlChainView* view, bool force);
    // How many times smaller than the recorded image `source` is; at least 1.
    static int GetSourceShrink(IKelvraDataSource* source, const IKelvraTagControl* tags);
    // Gives every filter the cache policy, then the slots' own overrides.
    int ApplyCacheUsage();
    // One plug-in filter per active plug-in of `params`, inserted before
    // `anchor` (appended without one). True when the filters already
    // matched or one was inserted; false when the chain is not built, there
    // are no parameters, no plug-in is left or a filter cannot be made.
    bool SyncPluginFilters(const CTlvParamSet* params, IKelvraFilter* anchor);
    // One extra unsharp-mask filter per sharpening entry of `params` (at
    // most kMaxSharpenFilters; further entries are ignored), standing before
    // `anchor` (at the end without one), set up for `scale` and the
    // remaining pixel `aspect`. True when one was inserted.
    bool SyncSharpenFilters(const CTlvParamSet* params, double scale, IKelvraFilter* anchor, double aspect);
    // Brings the filters in line with `params` for the `changes` bits; a
    // result code (0 done, 17 when another update runs: the bits wait in
    // the pending mask for the next update of this chain).
    int UpdatePreviewChain(CTlvParamSet* params, std::uint32_t changes, double viewScale, bool grid,
                           TlChainProgressCallback progress);
    // Read under the lock that guards the busy flag and the masks.
    std::uint32_t GetPendingChanges() const;
    // Sharpening list too fine, standard sharpening too fine, detail
    // reduced, scale below 1 (index 0 to 3).
    bool GetApproximation(int index) const { return m_approximations[index]; }
    bool IsScalePending() const { return m_pendingScale; }
    // The extra sharpening filter at `position`; null when none was made.
    CUnsharpMaskFilter* GetSharpenFilter(int position) const;

    // ITlPreviewChain.
    void SetMode(std::uint32_t mode) override;
    IKelvraFilterChain* GetChain() const override { return m_chain; }
    bool IsBuilt() const override { return m_built; }
    bool SetSizeMode(std::uint32_t mode) override;
    std::uint32_t GetSizeMode() const override { return m_sizeMode; }
    int SetChannelOrder(bool order) override;
    int SetScaleMethod(std::uint32_t method) override;
    int SetCacheUsage(std::uint32_t policy) override;
    void SetOutputColour(const STlOutputColour& colour) override;
    void SetColourManagement(bool enabled) override { m_colourManagement = enabled; }
    void SetUserSize(std::uint32_t width, std::uint32_t height) override;
    void SetMonitorProfile(const KelvraFile& profile) override { m_monitorProfile = profile; }
    int Build(IKelvraManager* manager, IKelvraDataSource* source, IKelvraDataDestination* destination) override;
    int Update(CTlvParamSet& params, std::uint32_t changes, double viewScale, int grid, void* progress) override;
    std::uint32_t GetReplayChanges() const override;
    int Connect(IKelvraDataDestination* sink) override { return ConnectDestination(sink); }
    int Disconnect(IKelvraDataDestination* sink) override { return DisconnectDestination(sink); }

    // Watcher and progress interface.
    int OnNotify(IKelvraFilter* filter, long code, void* data) override;
    int ReportProgress(std::int32_t current, std::int32_t total) override;

protected:
    // Makes the filter of `slot` for the current mode; null or std::bad_alloc
    // when it cannot.
    virtual std::unique_ptr<CKelvraFilterBase> CreateSlotFilter(int slot);
    // Make the filters of the variable groups; null or std::bad_alloc when
    // they cannot.
    virtual std::unique_ptr<CPluginHostFilter> CreatePluginFilter();
    virtual std::unique_ptr<CUnsharpMaskFilter> CreateSharpenFilter();

private:
    friend class CTlPreviewUpdate;
    using SlotTable = std::array<std::unique_ptr<CKelvraFilterBase>, TlChainSlots::kSlotCount>;
    struct SPluginEntry {
        CPluginHostFilter* filter = nullptr;
        std::vector<unsigned char> data;
    };

    // Build steps; each returns a build code.
    int CreateSlotFilters();
    int SetInitialTables();
    int SetUpSlots();
    int MakeFilterChain();
    int ConnectSourceAndDestination(IKelvraDataDestination* destination);
    using LinkOperation = IKelvraError* (*)(IKelvraDataSource*, IKelvraDataDestination*);
    int ChangeDestinationLink(IKelvraDataDestination* destination, LinkOperation change);
    // Build codes of failing steps: the error is kept as the failure's cause
    // (see TakeFailure), the chain torn down. `slot` names the filter that
    // failed, when one did.
    int FailWith(IKelvraError* error, int code, int slot = TlStageOrder::kNoSlot);
    // Keeps `failure` (taken over) when no earlier one waits, else releases
    // it.
    void KeepFailure(IKelvraError* failure);
    void StopWatching(int slot);
    void ReadHistogramSums(CKelvraFilterHistogram* histogram);
    void ReportFilterProgress(IKelvraFilter* filter, const KelvraProgress& progress);
    void DeleteOutsideFilters();
    void DeletePluginFilters();
    // Chain edits the variable groups share: every filter with `id` but the
    // two kept ones is removed, or counted.
    void RemoveChainFilters(KelvraTag id, const IKelvraFilter* keep, const IKelvraFilter* keepToo);
    int CountChainFilters(KelvraTag id, const IKelvraFilter* keep, const IKelvraFilter* keepToo) const;
    // Tells everything downstream of `from` (of the chain when null) to
    // recompute.
    void SendUpdateAll(IKelvraDataSource* from);
    IKelvraDataSource* FilterBefore(IKelvraFilter* anchor) const;
    bool PluginFiltersMatch(const CTlPluginListState& list) const;
    // False when a filter could not be made; `inserted` is set when one
    // went into the chain.
    bool InsertPluginFilters(const CTlPluginListState& list, IKelvraFilter* anchor, bool& inserted);
    CPluginHostFilter* AddPluginFilter(const CTlPluginState& entry);
    bool InsertSharpenFilters(int wanted, IKelvraFilter* anchor);
    // The extra sharpening filter at `position`, made when missing.
    CUnsharpMaskFilter* ProvideSharpenFilter(int position);
    template <typename Filter>
    Filter* SlotAs(int slot) const
    {
        return dynamic_cast<Filter*>(GetSlot(slot));
    }

    bool m_built = false;
    std::uint32_t m_mode = 0;
    std::uint32_t m_cachePolicy = 0;
    bool m_channelOrder = true;
    std::uint32_t m_scaleMethod = 0;
    IKelvraManager* m_manager = nullptr;
    bool m_histogramReady = false;
    bool m_histogramCompanion = false;
    double m_channelSums[3] = {};
    double m_referenceScale = -1.0;
    bool m_pendingScale = false;
    CTlString m_workString;
    KelvraFile m_monitorProfile;
    STlOutputColour m_outputColour;
    bool m_colourManagement = true;
    std::uint32_t m_userWidth = 0;
    std::uint32_t m_userHeight = 0;
    std::uint32_t m_sizeMode = 0;
    TlChainProgressCallback m_progress = nullptr;
    bool m_progressEnabled = false;
    std::uint32_t m_pendingChanges = 0;
    double m_viewScale = 1.0;
    bool m_grid = false;
    bool m_approximations[4] = {};
    IKelvraFilterChain* m_chain = nullptr;
    std::unique_ptr<SlotTable> m_slots;
    std::array<CUnsharpMaskFilter*, kMaxSharpenFilters> m_sharpenFilters = {};
    int m_sharpenCount = 0;
    CKelvraFilterCMLEngine::CReference m_engines[4];
    IKelvraDataSource* m_source = nullptr;
    std::vector<SPluginEntry> m_plugins;
    IKelvraError* m_failure = nullptr; // the first failure not taken yet
};

// The factory the image control is given: a new chain; null when memory
// runs out.
ITlPreviewChain* CreateCadraFilterChain(IKelvraManager* manager);
