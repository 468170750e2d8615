// The update's colour stages: the Lab stage the noise reduction works in,
// the LCh stage of the hue, saturation and sharpening work, the output
// profile stage, the monitor or custom-profile stage and the reduced output
// colour space. Engines come from the process-wide engine manager; a stage
// is given only what differs from what it has, so that an update that
// leaves the colours alone makes nothing downstream recompute.
#include "chain/TlPreviewUpdate.h"

#include "camera/TlCameraSourceProfile.h"
#include "colour/TlColourEngineManager.h"
#include "colour/TlWorkingProfiles.h"
#include "filtrix/KelvraFilterCML.h"
#include "filtrix/KelvraFilterColorSpace.h"
#include "frame/TlIccDescription.h"
#include "params/TlOutputProfile.h"
#include "params/TlvParamSet.h"

#include <cstring>

using namespace TlChainSlots;

namespace {

constexpr long kWorkingBits = 16;
constexpr const char* kLabProfileName = "TLLab.icm";
constexpr const char* kEngineError = "CMSError";

int EngineIndexOf(int slot)
{
    return slot - kLabStage;
}

std::string LabProfilePath()
{
    char path[MAX_PATH] = {};
    return MakeProfilePath(path, kLabProfileName);
}

} // namespace

// Gives the stage of `slot` the engine held for it and the bits, each only
// when it differs; true when anything changed.
bool CTlPreviewUpdate::SetColourStage(int slot, int engine, long outputBits, long inputBits, bool silently)
{
    auto* cml = SlotAs<CKelvraFilterCML>(slot);
    if (cml == nullptr)
        return true;
    const bool notify = !silently;
    CKelvraFilterCMLEngine* wanted = m_chain.m_engines[engine].Get();
    const bool same = cml->IsEnabled() && cml->GetCMLEngine() == wanted &&
                      cml->GetBitsPerComponent(true) == outputBits && cml->GetBitsPerComponent(false) == inputBits;
    if (same)
        return true;
    if (silently)
        m_ctx.silent.push_back(cml);
    return Check(cml->Enable(true, notify)) && Check(cml->SetCMLEngine(wanted, notify)) &&
           Check(cml->SetBitsPerComponent(true, outputBits, notify)) &&
           Check(cml->SetBitsPerComponent(false, inputBits, notify));
}

bool CTlPreviewUpdate::UpdateLabStage()
{
    if (!m_ctx.labNeeded)
        return EnableSilently(kLabStage, false);
    CKelvraFilterCMLEngine::CReference& engine = m_chain.m_engines[EngineIndexOf(kLabStage)];
    long bits = kWorkingBits;
    if (!RequestImageEngineOf(engine, *m_ctx.params, LabProfilePath().c_str(), &bits))
        return Fail(TlUpdateCode::kNoEngine, kEngineError);
    auto* cml = SlotAs<CKelvraFilterCML>(kLabStage);
    const bool ready = IsEnabled(kLabStage) && cml != nullptr && cml->GetCMLEngine() == engine.Get() &&
                       cml->GetBitsPerComponent(true) == kWorkingBits &&
                       cml->GetBitsPerComponent(false) == kWorkingBits;
    if (ready || cml == nullptr)
        return true;
    if (!Check(cml->SetLUT(false, false, nullptr, 0, 0, 0, false)) ||
        !Check(cml->SetLUT(true, false, nullptr, 0, 0, 0, false)))
        return false;
    return SetColourStage(kLabStage, EngineIndexOf(kLabStage), kWorkingBits, bits, true);
}

bool CTlPreviewUpdate::UpdateLchStage()
{
    if (!m_ctx.lchNeeded) {
        m_ctx.lchChanged = IsEnabled(kLchStage);
        return EnableSilently(kLchStage, false);
    }
    CKelvraFilterCMLEngine::CReference& engine = m_chain.m_engines[EngineIndexOf(kLchStage)];
    const std::string lch = GetWorkingProfile(kTlLchWorkingProfile);
    long bits = kWorkingBits;
    const bool made = IsEnabled(kLabStage) ? RequestEngine(engine, LabProfilePath().c_str(), lch.c_str())
                                           : RequestImageEngineOf(engine, *m_ctx.params, lch.c_str(), &bits);
    if (!made)
        return Fail(TlUpdateCode::kNoEngine, kEngineError);
    const std::size_t silentBefore = m_ctx.silent.size();
    if (!SetColourStage(kLchStage, EngineIndexOf(kLchStage), kWorkingBits, bits, true))
        return false;
    m_ctx.lchChanged = m_ctx.silent.size() != silentBefore;
    return true;
}

// The profile the preview ends in, and its description for the host.
bool CTlPreviewUpdate::UpdateOutputProfile(char* path)
{
    if (!GetOutputProfilePath(m_ctx.params, path) || path[0] == '\0') {
        const std::string rgb = GetWorkingProfile(kTlRgbWorkingProfile);
        std::strncpy(path, rgb.c_str(), MAX_PATH - 1);
        path[MAX_PATH - 1] = '\0';
    }
    if (!ReadIccDescriptionFromFile(path, &m_chain.m_workString, false))
        m_chain.m_workString.Assign("");
    return true;
}

bool CTlPreviewUpdate::UpdateOutputStage(const char* path)
{
    const STlOutputColour& colour = m_chain.m_outputColour;
    const bool wanted = Mode() == 0 || m_ctx.rawTone || m_ctx.params->outputProfileFlag != 0 ||
                        (!colour.customProfile && (colour.profileGiven || colour.reducedDepth)) ||
                        IsEnabled(kLabStage) || IsEnabled(kLchStage);
    if (!wanted)
        return EnableSilently(kOutputStage, false);
    CKelvraFilterCMLEngine::CReference& engine = m_chain.m_engines[EngineIndexOf(kOutputStage)];
    bool made = false;
    if (IsEnabled(kLchStage))
        made = RequestEngine(engine, GetWorkingProfile(kTlLchWorkingProfile).c_str(), path);
    else if (IsEnabled(kLabStage))
        made = RequestEngine(engine, LabProfilePath().c_str(), path);
    else
        made = RequestImageEngineOf(engine, *m_ctx.params, path);
    if (!made)
        return Fail(TlUpdateCode::kNoEngine, kEngineError);
    if (colour.profileGiven && !colour.customProfile &&
        !Check(engine->SetRenderingIntent(colour.colourSpace), TlUpdateCode::kNoEngine))
        return false;
    return SetColourStage(kOutputStage, EngineIndexOf(kOutputStage), long(colour.bitsPerChannel), kWorkingBits,
                          false);
}

bool CTlPreviewUpdate::UpdateMonitorStage(const char* path)
{
    if (!Has(TlChange::kAdjust | TlChange::kOutputColour))
        return true;
    const STlOutputColour& colour = m_chain.m_outputColour;
    CKelvraFilterCMLEngine::CReference& engine = m_chain.m_engines[EngineIndexOf(kMonitorStage)];
    bool made = false;
    // A control used before the library's start-up knows no monitor: the
    // preview then shows the output profile's values as they are.
    if (Mode() == 0 && m_chain.m_monitorProfile.path[0] == '\0')
        return EnableSilently(kMonitorStage, false);
    if (Mode() == 0)
        made = RequestEngine(engine, path, m_chain.m_monitorProfile.path);
    else if (!colour.customProfile)
        return Enable(kMonitorStage, false);
    else if (IsEnabled(kOutputStage))
        made = RequestEngine(engine, path, colour.customPath);
    else
        made = RequestImageEngineOf(engine, *m_ctx.params, colour.customPath);
    if (!made)
        return Fail(TlUpdateCode::kNoEngine, kEngineError);
    if (!Check(engine->SetRenderingIntent(colour.colourSpace), TlUpdateCode::kNoEngine))
        return false;
    const long bits = long(colour.bitsPerChannel);
    return SetColourStage(kMonitorStage, EngineIndexOf(kMonitorStage), bits, bits, false);
}

bool CTlPreviewUpdate::UpdateOutputColourSpace()
{
    if (!Has(TlChange::kOutputColour) || Mode() < 2)
        return true;
    auto* space = SlotAs<CKelvraFilterColorSpace>(kColourSpace);
    if (IsEnabled(kOutputStage) || !m_chain.m_outputColour.reducedDepth || space == nullptr)
        return Enable(kColourSpace, false);
    const long depth = m_chain.m_outputColour.bitsPerChannel == 8 ? 1 : 2;
    return Check(space->SetOutputColorSpace(0, depth, true)) && Enable(kColourSpace, true);
}
