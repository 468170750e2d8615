// What the image-job tests share: an owner that counts the attributes and
// save targets it hands out, and a save hook that records its calls and
// answers a chosen code.
#pragma once

#include "frame/TlSaveProgress.h"
#include "load/TlImageJobOwner.h"
#include "load/TlImageSaveHook.h"
#include "params/TlvParamSet.h"
#include "settings/holders/TlvControlSettings.h"

#include <string>

namespace imagejobtest {

class CountingOwner : public CTlImageJobOwner {
public:
    CTlvImageAttributes* NewAttributes() override
    {
        ++liveAttributes;
        return CTlImageJobOwner::NewAttributes();
    }
    void DestroyAttributes(CTlvImageAttributes* attributes) override
    {
        --liveAttributes;
        CTlImageJobOwner::DestroyAttributes(attributes);
    }
    // A plain parameter set: the tests register no maker of the library's.
    CTlvParamSet* NewSaveTarget(CTlvImageAttributes& attributes) override
    {
        ++liveTargets;
        return new CTlvParamSet(attributes);
    }
    void DestroySaveTarget(CTlvParamSet* target) override
    {
        --liveTargets;
        delete target;
    }

    int liveAttributes = 0;
    int liveTargets = 0;
};

// One save as the hook saw it.
struct SeenSave {
    int calls = 0;
    bool hadTarget = false;
    std::string targetPath;
    std::uint32_t channelLayout = 0;
    std::uint32_t fileFormat = 0;
    std::uint32_t formatOption = 0;
    bool directImage = false;
    ITlSaveProgressSink* sink = nullptr;
};

// Installs the recording hook while it lives. One at a time.
class RecordingSave {
public:
    explicit RecordingSave(int answer = 0)
    {
        s_seen = SeenSave();
        s_answer = answer;
        m_previous = SetImageSaveHook(&Record);
    }
    ~RecordingSave() { SetImageSaveHook(m_previous); }
    RecordingSave(const RecordingSave&) = delete;
    RecordingSave& operator=(const RecordingSave&) = delete;

    const SeenSave& Seen() const { return s_seen; }
    void Answer(int answer) { s_answer = answer; }

private:
    static int Record(const STlImageSave& save)
    {
        ++s_seen.calls;
        s_seen.hadTarget = save.target != nullptr;
        s_seen.targetPath = save.targetPath;
        s_seen.channelLayout = save.channelLayout;
        s_seen.fileFormat = save.fileFormat;
        s_seen.formatOption = save.formatOption;
        s_seen.directImage = save.directImage;
        s_seen.sink = GetSaveProgressState().sink;
        return s_answer;
    }

    static inline SeenSave s_seen;
    static inline int s_answer = 0;
    TlImageSaveHook m_previous;
};

} // namespace imagejobtest
