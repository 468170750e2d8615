#include "filtrix/KelvraFilterTransform.h"

#include "KelvraTurnGeometry.h"
#include "KelvraTurnKernels.h"

#include <cmath>

namespace {

const KelvraTag kTransformTag = KelvraFourCC('t', 'r', 'a', 'n');

} // namespace

CKelvraFilterTransform::CKelvraFilterTransform(IKelvraManager* manager) : CKelvraGeometryFilter(manager, 1)
{
    m_bypass = true; // no mirror, no turn
}

KelvraTag CKelvraFilterTransform::GetFilterTag() const
{
    return kTransformTag;
}

const char* CKelvraFilterTransform::GetFilterName() const
{
    return "Transform";
}

IKelvraError* CKelvraFilterTransform::SetTransform(bool flip, double angle, bool notify, bool extra)
{
    if (!std::isfinite(angle))
        return KELVRA_ERROR(nullptr, kTransformTag, kKelvraBadArgument);
    const double normalized = KelvraNormalizedAngle(angle);
    const CSettings current = m_settings.Get();
    if (flip == current.flip && normalized == current.angle) {
        m_settings.Set(CSettings{flip, normalized, extra});
        return nullptr;
    }
    const CSizeProbe before = ProbeOutputSize();
    m_settings.Set(CSettings{flip, normalized, extra});
    m_bypass = !flip && normalized == 0.0;
    return SettingChanged(before, notify);
}

void CKelvraFilterTransform::GetTransform(bool* flip, double* angle, bool* extra) const
{
    const CSettings settings = m_settings.Get();
    if (flip)
        *flip = settings.flip;
    if (angle)
        *angle = settings.angle;
    if (extra)
        *extra = settings.extra;
}

// A mirror turns the earlier turn the other way: M R(a) = R(-a) M.
void CKelvraFilterTransform::DoStateTransform(bool& mirror, double& angle, bool flip, double deltaAngle,
                                              bool normalize)
{
    if (flip) {
        mirror = !mirror;
        angle = -angle;
    }
    angle += deltaAngle;
    if (normalize)
        angle = KelvraNormalizedAngle(angle);
}

void CKelvraFilterTransform::DescribeOutput(long sourceWidth, long sourceHeight, long* width, long* height,
                                            CMapping* mapping) const
{
    const CSettings settings = m_settings.Get();
    KelvraTurnOutput(KelvraTurnOf(settings.flip, settings.angle), sourceWidth, sourceHeight, width, height, mapping);
}

IKelvraError* CKelvraFilterTransform::DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info)
{
    KelvraRect fill;
    if (!tile || !tile->GetRectToFill(&fill))
        return tile ? nullptr : KELVRA_ERROR(nullptr, kTransformTag, kKelvraMissingObject);
    IKelvraDataSource* source = info ? info->GetSource(0) : GetSource(0);
    KelvraTurnJob job;
    if (IKelvraError* error =
            KelvraReadSourceLayout(source, kTransformTag, &job.sourceWidth, &job.sourceHeight, &job.layout))
        return error;
    const CSettings settings = m_settings.Get();
    const KelvraTurn turn = KelvraTurnOf(settings.flip, settings.angle);
    long width = 0, height = 0;
    CMapping toOutput;
    KelvraTurnOutput(turn, job.sourceWidth, job.sourceHeight, &width, &height, &toOutput);
    job.copies = turn.quarter;
    job.toSource = toOutput.Inverse();
    job.fill = fill;
    return FillTile(tile, fill, job.layout.PixelBytes(), [&](std::uint8_t* target, long rowBytes) {
        return KelvraRunTurn(source, job, kTransformTag, target, rowBytes);
    });
}
