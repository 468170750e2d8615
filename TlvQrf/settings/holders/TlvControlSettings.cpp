#include "settings/holders/TlvControlSettings.h"

#include "settings/curves/TlLutGroupDefaults.h"
#include "settings/holders/TlvCoreHooks.h"
#include "settings/holders/TlvHolderDefaults.h"

namespace {

std::unique_ptr<ITlvSettingsEngine> MakeEngine()
{
    ITlvEngineMaker* maker = GetTlvCoreHooks().engines;
    return std::unique_ptr<ITlvSettingsEngine>(maker != nullptr ? maker->MakeEngine() : nullptr);
}

} // namespace

CTlvControlSettings::CTlvControlSettings()
    : defaults(std::make_unique<TlvControlDefaults>()), engine(MakeEngine()), lastGeometry(geometry)
{
    TlvHolderDefaults::SetAsShot(secondWhiteBalance);
    // Without memory for the channels a container keeps its master alone.
    TlSetDefaultChannels(toneCurves, kTlLutGroupToneCurves);
    TlSetDefaultChannels(brightnessContrast, kTlLutGroupBrightnessContrast);
    // The LCH set as a load rebuilds it, so that a stored default comes
    // back byte for byte.
    TlSetDefaultChannels(lch, kTlLutGroupLch);
}

CTlvControlSettings::~CTlvControlSettings()
{
    defaults.reset();
    if (engine) {
        engine->Shutdown();
        engine.reset();
    }
}

CTlvParamSet* CTlvControlSettings::CreateParamSet()
{
    return MakeTlvParamSet(*this, TlvParamSetKind::kControl);
}

void CTlvControlSettings::ImportFrom(const CTlvEditSettings& settings)
{
    CTlvSettingsHolder::ImportFrom(settings);
    NoteChanges();
}

void CTlvControlSettings::UpdateAfterLoad()
{
    ReadCameraValues();
}
