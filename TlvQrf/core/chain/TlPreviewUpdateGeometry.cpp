// The update's geometry: how the view scale is split over the scale stages
// (a reduction first, never below 150 pixels on the short side, then the
// enlargement), the crop, the fisheye correction and the rotation.
#include "chain/TlPreviewUpdate.h"

#include "filters/debayer/TlDeBayerFilterBase.h"
#include "filters/fisheye/TlFisheyeFilter.h"
#include "filtrix/CropFilter.h"
#include "filtrix/KelvraFilterScale.h"
#include "filtrix/KelvraFilterTransform.h"
#include "params/TlvParamSet.h"
#include "raw/TlRawFormat.h"

#include <algorithm>

using namespace TlChainSlots;

namespace {

// The first scale stage never takes the short side below this.
constexpr double kMinimumShortSide = 150.0;
// A reduced De-Bayer leaves the first scale stage at least this much to
// shrink, so that its blocks stay well below one preview pixel.
constexpr double kReducedDeBayerScale = 0.5;
constexpr long kMaxDeBayerReduction = 4;

// The crop of the geometry frame; cropped when it differs from the whole
// picture.
bool ReadCrop(const CTlGeometryState* geometry, CTlDblRect& crop)
{
    if (geometry == nullptr)
        return false;
    CTlDblRect whole;
    geometry->GetCropRect(crop);
    geometry->GetLimitRect(whole);
    return crop != whole;
}

} // namespace

// With `userSize`, a user size that was given makes the stage's size
// (exchanged for a quarter turn); otherwise, or when it was never given
// (0), the stage scales by `x` and `y`.
bool CTlPreviewUpdate::SetScaleStage(int slot, double x, double y, bool userSize, bool exchange)
{
    auto* scale = SlotAs<CKelvraFilterScale>(slot);
    if (scale == nullptr)
        return true;
    const long width = long(m_chain.m_userWidth);
    const long height = long(m_chain.m_userHeight);
    if (!userSize || width <= 0 || height <= 0)
        return Check(scale->SetScale(x, y, true));
    return Check(exchange ? scale->SetSize(height, width, true) : scale->SetSize(width, height, true));
}

// The reduction (t) runs on slots 13 and 14, the enlargement base (b) on
// slot 15, the rest (e / b) on slot 16 and what is left of the pixel aspect
// on slot 17.
bool CTlPreviewUpdate::UpdateScaling()
{
    const CTlvParamSet& params = *m_ctx.params;
    m_ctx.cropped = ReadCrop(params.geometry, m_ctx.crop);
    const double s = m_ctx.workingScale;
    const double m = (params.geometry != nullptr ? params.geometry->GetScale() : 1.0) * m_ctx.reduction;
    double t = 1.0;
    double b = 1.0;
    double e = s;
    if (s <= 1.0 || m <= 1.0) {
        t = std::min(s, m);
        e = s > m ? s / m : 1.0;
    } else {
        b = std::min(s, m);
    }
    return SetFirstScales(t, e) && SetEnlargement(b, e) && SetAreaScale(e);
}

bool CTlPreviewUpdate::SetFirstScales(double t, double e)
{
    const CTlvParamSet& params = *m_ctx.params;
    const bool fisheye = CTlvParamSet::Present(params.fisheyeFlag, params.fisheye) != nullptr;
    m_ctx.sharpenScale = 1.0;
    if (t == 1.0 && (!fisheye || m_ctx.aspect == 1.0))
        return ReduceDeBayer(1.0, fisheye, nullptr) && Enable(kFirstScale, false) && Enable(kSecondScale, false);
    if (Mode() == 0) {
        std::uint32_t width = 0;
        std::uint32_t height = 0;
        if (!GetOutputSize(m_chain.m_source, params.RawDevelopment(), true, nullptr, width, height))
            return Fail(TlUpdateCode::kNoColourSpace, "Image Size?");
        m_ctx.imageWidth = long(width);
        m_ctx.imageHeight = long(height);
    } else if (!m_ctx.haveImageSize) {
        return Fail(TlUpdateCode::kNoColourSpace, "Image Size?");
    }
    const double n = double(std::min(m_ctx.imageWidth, m_ctx.imageHeight));
    double first = t;
    double second = 1.0;
    if (n * t < kMinimumShortSide && n > 0.0) {
        first = kMinimumShortSide / n;
        second = t / first;
    }
    m_ctx.sharpenScale = first / m_ctx.reduction;
    const bool userSize = Mode() != 0 && !m_ctx.cropped && second == 1.0 && e == 1.0;
    // A reduced De-Bayer hands the first stage a picture that many times
    // smaller, so the stage scales that much less.
    long developed = 1;
    if (!ReduceDeBayer(first, fisheye, &developed) || !Enable(kFirstScale, true))
        return false;
    bool set = true;
    if (m_ctx.aspect == 1.0) {
        set = SetScaleStage(kFirstScale, first * developed, first * developed, userSize);
    } else if (1.0 / m_ctx.aspect > t || fisheye) {
        set = SetScaleStage(kFirstScale, first, first * m_ctx.aspect, userSize);
        m_ctx.aspect = 1.0;
    } else {
        set = SetScaleStage(kFirstScale, first, 1.0);
    }
    if (!set)
        return false;
    if (second == 1.0)
        return Enable(kSecondScale, false);
    if (!Enable(kSecondScale, true) || !SetScaleStage(kSecondScale, 1.0, 1.0))
        return false;
    if (m_ctx.aspect != 1.0)
        return SetScaleStage(kSecondScale, second, 1.0);
    return SetScaleStage(kSecondScale, second, second, Mode() != 0 && e == 1.0);
}

// The full preview develops the mosaic at the size of the picture only as
// far as the first scale stage needs it: with that stage's factor at most
// a quarter, the quick De-Bayer averages blocks of the mosaic instead. Not
// while a stage before the first scale works in the picture's own
// coordinates (dust, vignette, moire, Revelation, red-eye) or the pixel
// aspect or a lens correction is still to come. `developed` gets the factor
// in force.
bool CTlPreviewUpdate::ReduceDeBayer(double first, bool fisheye, long* developed)
{
    auto* deBayer = SlotAs<CDeBayerFilterBase>(kStdDeBayer);
    if (developed != nullptr)
        *developed = 1;
    if (Mode() != 0 || deBayer == nullptr)
        return true;
    bool fullSizeStage = fisheye || m_ctx.aspect != 1.0;
    for (int slot : {kDust, kVignette, kMoire, kRevelation, kRedEye})
        fullSizeStage = fullSizeStage || IsEnabled(slot);
    long factor = 1;
    while (!fullSizeStage && factor < kMaxDeBayerReduction && first * factor * 2 <= kReducedDeBayerScale)
        factor *= 2;
    if (!Check(deBayer->SetReduction(factor, true)))
        return false;
    if (developed != nullptr && deBayer->IsEnabled())
        *developed = deBayer->GetReduction();
    return true;
}

bool CTlPreviewUpdate::SetEnlargement(double b, double e)
{
    const std::int32_t angle = m_ctx.params->rotation;
    const bool exchange = angle != 0 && angle != 180;
    if (e == 1.0 || b == 1.0) {
        if (!Enable(kEnlargeScale, false))
            return false;
    } else {
        if (!Enable(kEnlargeScale, true))
            return false;
        if (Mode() != 0 && e / b == 1.0) {
            if (!SetScaleStage(kEnlargeScale, b, b, true, exchange))
                return false;
            m_ctx.aspect = 1.0;
        } else if (!SetScaleStage(kEnlargeScale, b, b)) {
            return false;
        }
    }
    if (e == 1.0 || e / b == 1.0)
        return Enable(kRemainderScale, false);
    if (!Enable(kRemainderScale, true))
        return false;
    if (Mode() == 0)
        return SetScaleStage(kRemainderScale, e / b, e / b);
    m_ctx.aspect = 1.0;
    return SetScaleStage(kRemainderScale, e / b, e / b, true, exchange);
}

bool CTlPreviewUpdate::SetAreaScale(double e)
{
    if (m_ctx.aspect == 1.0)
        return Enable(kAreaScale, false);
    if (!Enable(kAreaScale, true))
        return false;
    return SetScaleStage(kAreaScale, 1.0, m_ctx.aspect * m_ctx.workingScale / e, Mode() != 0);
}

bool CTlPreviewUpdate::UpdateCrop()
{
    if (!Has(TlChange::kGeometry | TlChange::kScale))
        return true;
    auto* crop = SlotAs<CCropFilter>(kCrop);
    // Without the size mode the whole picture shows, the crop as a frame.
    if (crop == nullptr || !m_ctx.cropped || m_chain.m_sizeMode != 1)
        return Enable(kCrop, false);
    const CTlDblRect& area = m_ctx.crop;
    KelvraRect rect;
    rect.left = long(area.left);
    rect.top = long(area.top);
    rect.right = long(area.right);
    rect.bottom = long(area.bottom);
    const bool userSize = Mode() != 0 && m_chain.m_userWidth > 0 && m_chain.m_userHeight > 0 &&
                          !IsEnabled(kSecondScale) && !IsEnabled(kEnlargeScale) && !IsEnabled(kAreaScale);
    if (userSize) {
        rect.right = rect.left + long(m_chain.m_userWidth);
        if (!m_ctx.stretchedModel)
            rect.bottom = rect.top + long(m_chain.m_userHeight);
    }
    return Check(crop->SetCrop(rect, true)) && Enable(kCrop, true);
}

bool CTlPreviewUpdate::UpdateFisheye()
{
    const CTlvParamSet& params = *m_ctx.params;
    const CTlFlagState* record = CTlvParamSet::Present(params.fisheyeFlag, params.fisheye);
    auto* filter = SlotAs<CFisheyeFilter>(kFisheye);
    if (record == nullptr || filter == nullptr)
        return Enable(kFisheye, false);
    if (!filter->HasLensModel()) {
        if (IKelvraError* error = filter->SetLens(params.tags)) {
            const int code = TlIsLensFileRejected(error) ? TlUpdateCode::kLensUnknown : TlUpdateCode::kLensFailed;
            return Fail(code, nullptr, error);
        }
    }
    return Check(filter->SetFillMode(record->flag ? 1 : 0, true)) &&
           Check(filter->SetFillColor(record->value, true)) && Enable(kFisheye, true);
}

bool CTlPreviewUpdate::UpdateRotation()
{
    const CTlvParamSet& params = *m_ctx.params;
    auto* transform = SlotAs<CKelvraFilterTransform>(kTransform);
    if (params.flip == 0 && params.rotation == 0 && params.fineAngle == 0.0)
        return Enable(kTransform, false);
    if (transform == nullptr)
        return true;
    return Check(transform->SetTransform(params.flip != 0, double(params.rotation) + params.fineAngle, true, true)) &&
           Enable(kTransform, true);
}
