// What the image control needs of its preview chain object: the setters
// through which it hands over its state, the build, the preview update and
// the sinks. The chain object is made through a replaceable factory, so the
// control can be driven against any chain.
#pragma once

#include <cstdint>

class CTlvParamSet;
class IKelvraDataDestination;
class IKelvraDataSource;
class IKelvraError;
class IKelvraFilterChain;
class IKelvraManager;
struct KelvraFile;

// The output colour settings the control keeps and passes on.
struct STlOutputColour {
    bool profileGiven = false;
    std::int32_t colourSpace = 0;   // 0 to 3
    bool customProfile = false;
    char customPath[260] = {};
    bool reducedDepth = false;
    std::uint32_t bitsPerChannel = 8;
};

// Chain statuses are small integers: 0 success; the control maps the others.
class ITlPreviewChain {
public:
    virtual ~ITlPreviewChain() = default;

    // Taken only while the chain is not built.
    virtual void SetMode(std::uint32_t mode) = 0;
    virtual IKelvraFilterChain* GetChain() const = 0;
    virtual bool IsBuilt() const = 0;
    // True when the word changed.
    virtual bool SetSizeMode(std::uint32_t mode) = 0;
    virtual std::uint32_t GetSizeMode() const = 0;
    // 0, or 1 when a filter refused the value.
    virtual int SetChannelOrder(bool order) = 0;
    virtual int SetScaleMethod(std::uint32_t method) = 0;
    virtual int SetCacheUsage(std::uint32_t policy) = 0;
    virtual void SetOutputColour(const STlOutputColour& colour) = 0;
    virtual void SetColourManagement(bool enabled) = 0;
    virtual void SetUserSize(std::uint32_t width, std::uint32_t height) = 0;
    virtual void SetMonitorProfile(const KelvraFile& profile) = 0;

    // Statuses.
    virtual int Build(IKelvraManager* manager, IKelvraDataSource* source, IKelvraDataDestination* destination) = 0;
    // `progress` becomes the chain's progress callback (null for none).
    virtual int Update(CTlvParamSet& params, std::uint32_t changes, double viewScale, int grid, void* progress) = 0;
    // Changes a refused update left for this chain that the caller can
    // replay now (0 while an update runs on the caller's own thread: that
    // one picks them up).
    virtual std::uint32_t GetReplayChanges() const { return 0; }
    virtual int Connect(IKelvraDataDestination* sink) = 0;
    virtual int Disconnect(IKelvraDataDestination* sink) = 0;
    // The chain of the first failure of the last build or update, unless
    // taken already: what failed, with the filter's error inside. The caller
    // takes it over; null when nothing failed.
    virtual IKelvraError* TakeFailure() { return nullptr; }
};

// Makes a chain object for `manager`; null when it cannot. May throw
// std::bad_alloc.
using TlPreviewChainFactory = ITlPreviewChain* (*)(IKelvraManager* manager);

// Returns the factory installed before. With none installed no chain can be
// made.
TlPreviewChainFactory SetPreviewChainFactory(TlPreviewChainFactory factory);
TlPreviewChainFactory GetPreviewChainFactory();
