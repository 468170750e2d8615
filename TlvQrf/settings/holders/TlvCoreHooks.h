// What the settings holders need of the raw-image library core, which is
// built on top of them: the maker of parameter sets, the registry of the
// image objects it registered for a holder, and the engine object of the
// control-side holder. The core registers them once at start-up; tests
// register fakes. With none registered a holder makes no parameter set and
// no engine, and its image objects count as not registered.
#pragma once

#include <cstdint>

class CTlvParamSet; // the core's parameter set; deleted by its user
class CTlvSettingsHolder;
class IKelvraImage;
class IKelvraTagControl;

enum class TlvParamSetKind {
    kPlain,   // a CTlvParamSet
    kControl, // a CTlvControlParamSet (the image control's own kind)
};

class ITlvParamSetMaker {
public:
    // A new parameter set built from `holder`, owned by the caller; null when
    // memory runs out.
    virtual CTlvParamSet* MakeParamSet(CTlvSettingsHolder& holder, TlvParamSetKind kind) = 0;

protected:
    ~ITlvParamSetMaker() = default;
};

// The core's process-wide registries of images and other objects, counted
// by use.
class ITlvObjectRegistry {
public:
    // Drops one use of `image`. At the last use the entry goes and, when
    // `owned`, the image is released and `temporaryFile` (when given) is
    // deleted. Returns the uses left: 0 after the last one, and 0 for an
    // image that is not registered.
    virtual long ReleaseImage(IKelvraImage* image, const char* temporaryFile, bool owned) = 0;
    // The same for a tag control, which is destroyed at its last use when
    // `owned`.
    virtual long ReleaseObject(IKelvraTagControl* object, bool owned) = 0;

protected:
    ~ITlvObjectRegistry() = default;
};

// The engine object the control-side holder owns.
class ITlvSettingsEngine {
public:
    virtual ~ITlvSettingsEngine() = default;
    // Called once, just before the engine is deleted.
    virtual void Shutdown() = 0;
};

class ITlvEngineMaker {
public:
    // A new engine, owned by the caller; null when memory runs out.
    virtual ITlvSettingsEngine* MakeEngine() = 0;

protected:
    ~ITlvEngineMaker() = default;
};

struct TlvCoreHooks {
    ITlvParamSetMaker* paramSets = nullptr;
    ITlvObjectRegistry* registry = nullptr;
    ITlvEngineMaker* engines = nullptr;
};

// Returns the hooks registered before.
TlvCoreHooks SetTlvCoreHooks(const TlvCoreHooks& hooks);
TlvCoreHooks GetTlvCoreHooks();

// A parameter set of `kind` for `holder` from the registered maker; null
// when none is registered or it fails or throws.
CTlvParamSet* MakeTlvParamSet(CTlvSettingsHolder& holder, TlvParamSetKind kind);
