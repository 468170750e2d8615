// The output size of the full-resolution chain and the main scale that
// brings the developed picture to it, taking the camera's vertical stretch
// along exactly once.
#include "fullres/TlChainBuilder.h"

#include "params/TlvParamSet.h"
#include "save/TlSaveState.h"

#include "filtrix/CropFilter.h"
#include "filtrix/KelvraFilterScale.h"
#include "pellio/KelvraSave.h"

#include <utility>

namespace {

// The line the build's own error text carries.
constexpr long kAtNoSizeText = 5119;

long AtLeastOne(double value)
{
    const long truncated = long(value);
    return truncated < 1 ? 1 : truncated;
}

} // namespace

bool CTlChainBuilder::WorkOutOutputSize()
{
    const CTlGeometryState* geometry = m_params.geometry;
    if (geometry != nullptr) {
        m_output = {AtLeastOne(m_scale * geometry->GetOutputWidth()), AtLeastOne(m_scale * geometry->GetOutputHeight())};
        m_finalScale = geometry->GetScale();
    }
    if (m_reduced) {
        STlSize base;
        if (m_crop != nullptr) {
            const KelvraRect rect = m_crop->GetCrop();
            base = {rect.right - rect.left, rect.bottom - rect.top};
        } else if (GetOutputSize(m_params, &base)) {
            base = {long(m_scale * double(base.width)), long(m_scale * double(base.height))};
        } else {
            return Fail(10, IKelvraError::Add(nullptr, 0, kAtNoSizeText, "Could not get size"));
        }
        if (SwapsSides(m_params.rotation))
            std::swap(base.width, base.height);
        if (m_crop != nullptr)
            base.height = long(double(base.height) * m_stretch);
        const STlReducedSize reduced = ReducedSize(base, m_longSide, m_output);
        m_output = reduced.output;
        m_finalScale = reduced.finalScale;
    }
    if (m_params.fixedSize != 0) {
        IKelvraSave* saver = SaveState().saver;
        if (saver == nullptr)
            return Fail(9);
        if (IKelvraError* error = saver->GetOutputSize(&m_output.width, &m_output.height))
            return Fail(9, error);
        m_stretchDone = true;
    }
    m_sizingStretch = m_stretchDone ? 1.0 : m_stretch;
    return true;
}

// An absolute size takes the stretch along; a horizontal factor leaves it
// to the last stage.
bool CTlChainBuilder::AppendMainScale()
{
    if (!(m_finalScale < 1.0 || m_params.fixedSize != 0))
        return true;
    CKelvraFilterScale* scale = MakeScale();
    if (scale == nullptr)
        return false;
    IKelvraError* error = nullptr;
    if (m_params.fixedSize != 0) {
        // The saver takes nothing but its own size; no transform follows.
        error = scale->SetSize(m_output.width, m_output.height, true);
    } else if (m_stretchDone || 1.0 / m_stretch > m_finalScale) {
        STlSize size = m_output;
        if (SwapsSides(m_params.rotation))
            std::swap(size.width, size.height);
        error = scale->SetSize(size.width, size.height, true);
        m_stretchDone = true;
    } else {
        error = scale->SetScale(m_finalScale, 1.0, true);
    }
    if (!Check(error) || !Append(scale))
        return false;
    m_mainScale = scale;
    return true;
}
