// The order of the update's steps in each chain mode. Mode 1, the small
// quick preview, touches only the few slots it has.
#include "chain/TlPreviewUpdate.h"

#include "camera/TlCameraSourceProfile.h"
#include "colour/TlWorkingProfiles.h"
#include "filters/debayer/TlDeBayerFilterBase.h"
#include "filters/sigcore/TlSigProcImage.h"
#include "filtrix/KelvraFilterCML.h"
#include "filtrix/KelvraFilterScale.h"
#include "params/TlDeBayerSetup.h"
#include "params/TlToneLuts.h"
#include "params/TlvParamSet.h"

#include <string>

using namespace TlChainSlots;

namespace {

constexpr long kReducedBits = 8;
constexpr int kMonitorEngine = 0;

} // namespace

bool CTlPreviewUpdate::RunReducedMode()
{
    if (IsFull()) {
        if (m_ctx.mosaic) {
            if (!SetUpDeBayer(kStdDeBayer, 1))
                return false;
        } else if (!Enable(kStdDeBayer, false)) {
            return false;
        }
        if (!Enable(kInitialLut, m_ctx.rawTone))
            return false;
    }
    if (Has(TlChange::kScale)) {
        double scale = m_ctx.viewScale;
        const auto* image = dynamic_cast<const CSigProcImage*>(m_ctx.params->image);
        // A reference that was never set divides nothing.
        const bool reduced = m_ctx.twoSource && image != nullptr && image->IsSecondSourceSelected();
        if (reduced && m_chain.m_referenceScale > 0.0) {
            m_chain.m_pendingScale = true;
            scale /= m_chain.m_referenceScale;
        }
        if (!Enable(kFirstScale, true) || !SetScaleStage(kFirstScale, scale, scale * m_ctx.aspect))
            return false;
    }
    if (Has(TlChange::kFisheye) && !UpdateFisheye())
        return false;
    if (IsFull()) {
        CKelvraFilterCML* cml = SlotAs<CKelvraFilterCML>(kLabStage);
        CKelvraFilterCMLEngine::CReference& engine = m_chain.m_engines[kMonitorEngine];
        long bits = 0;
        if (cml == nullptr)
            return true;
        // Without a monitor profile the quick preview shows the RGB working
        // profile's values.
        const std::string monitor = m_chain.m_monitorProfile.path[0] != '\0'
                                        ? std::string(m_chain.m_monitorProfile.path)
                                        : GetWorkingProfile(kTlRgbWorkingProfile);
        if (!RequestImageEngineOf(engine, *m_ctx.params, monitor.c_str(), &bits))
            return Fail(TlUpdateCode::kNoEngine, "CMSError");
        if (!Check(cml->SetCMLEngine(engine.Get(), true)) ||
            !Check(cml->SetBitsPerComponent(true, kReducedBits, true)) ||
            !Check(cml->SetBitsPerComponent(false, bits, true)) || !Enable(kLabStage, true) ||
            !Check(SetWhiteBalanceToneLut(*m_ctx.params, cml, nullptr, true)))
            return false;
    }
    return !Has(TlChange::kRotation) || UpdateRotation();
}

bool CTlPreviewUpdate::RunFullMode()
{
    char outputProfile[MAX_PATH] = {};
    return ChooseDeBayer() && UpdateInitialTables() && ChooseSource() && ReadImageSize() && UpdateDust() &&
           UpdateVignette() && (!IsFull() || Enable(kRootLut, m_ctx.rawTone)) && UpdateMoire() &&
           UpdateRevelation() && UpdateRedEye() && UpdateScaling() && UpdateToneTables() && UpdateCrop() &&
           (!Has(TlChange::kFisheye) || UpdateFisheye()) && UpdateFineEdge() && UpdateLabStage() &&
           UpdateNoise() && UpdateLchStage() && UpdateChromaBoost() && UpdateLchCurves() &&
           UpdateOutputProfile(outputProfile) && UpdateOutputStage(outputProfile) && UpdateSaturation() &&
           UpdateSharpening() && (!Has(TlChange::kRotation) || UpdateRotation()) && UpdateCurves() &&
           UpdateAutoBrightness() && UpdateMixer() && UpdateLostDetail() && UpdateMonitorStage(outputProfile) &&
           UpdateOutputColourSpace() && UpdatePlugins() && UpdateGrid() && UpdateVisualCrop() &&
           UpdateApproximations() && UpdateHistograms();
}
