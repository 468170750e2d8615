#include "TlProfileBuild.h"

#include <cmath>
#include <new>

namespace {

const char kNotice[] = "Synthetic profile made by the Talvo profile tool; free to use.";
const std::size_t kHeaderDateOffset = 24;
// 2024-01-01 00:00:00, as six big-endian 16-bit numbers.
const std::uint8_t kFixedDate[12] = {0x07, 0xE8, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0};

IKelvraError* WriteText(cmsHPROFILE profile, cmsTagSignature tag, const char* text)
{
    cmsMLU* mlu = cmsMLUalloc(nullptr, 1);
    const bool written = mlu && cmsMLUsetASCII(mlu, "en", "US", text) && cmsWriteTag(profile, tag, mlu);
    if (mlu)
        cmsMLUfree(mlu);
    return written ? nullptr : TlProfileFailure(__LINE__, "text tag not written");
}

} // namespace

IKelvraError* TlProfileFailure(long line, const char* what)
{
    IKelvraError* error = IKelvraError::Add(nullptr, kTlProfileMakerTag, line, kKelvraCategoryKelvra,
                                            kKelvraOperationFailed);
    return IKelvraError::Add(error, kTlProfileMakerTag, line, what);
}

IKelvraError* TlSaveProfile(cmsHPROFILE profile, const char* description, TlBytes* bytes)
{
    cmsSetProfileVersion(profile, 2.1);
    IKelvraError* error = WriteText(profile, cmsSigProfileDescriptionTag, description);
    if (!error)
        error = WriteText(profile, cmsSigCopyrightTag, kNotice);
    return error ? error : TlSaveProfileAsIs(profile, bytes);
}

IKelvraError* TlSaveProfileAsIs(cmsHPROFILE profile, TlBytes* bytes)
{
    cmsUInt32Number size = 0;
    if (!cmsSaveProfileToMem(profile, nullptr, &size) || size < kHeaderDateOffset + sizeof kFixedDate)
        return TlProfileFailure(__LINE__, "profile not laid out");
    try {
        bytes->assign(size, 0);
    } catch (const std::bad_alloc&) {
        return KELVRA_ERROR(nullptr, kTlProfileMakerTag, kKelvraOutOfMemory);
    }
    if (!cmsSaveProfileToMem(profile, bytes->data(), &size))
        return TlProfileFailure(__LINE__, "profile not saved");
    std::copy(kFixedDate, kFixedDate + sizeof kFixedDate, bytes->begin() + kHeaderDateOffset);
    return nullptr;
}

cmsStage* TlSampledTable(unsigned grid, unsigned inputs, unsigned outputs, cmsSAMPLER16 sampler, void* cargo)
{
    cmsStage* stage = cmsStageAllocCLut16bit(nullptr, grid, inputs, outputs, nullptr);
    if (stage && !cmsStageSampleCLut16bit(stage, sampler, cargo, 0)) {
        cmsStageFree(stage);
        return nullptr;
    }
    return stage;
}

cmsStage* TlIdentityCurves(unsigned channels, unsigned entries)
{
    std::vector<cmsUInt16Number> values;
    try {
        values.resize(entries);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    for (unsigned i = 0; i < entries; ++i)
        values[i] = cmsUInt16Number(std::lround(i * 65535.0 / (entries - 1)));
    cmsToneCurve* curve = cmsBuildTabulatedToneCurve16(nullptr, entries, values.data());
    if (!curve)
        return nullptr;
    cmsToneCurve* curves[cmsMAXCHANNELS];
    for (unsigned c = 0; c < channels; ++c)
        curves[c] = curve;
    cmsStage* stage = cmsStageAllocToneCurves(nullptr, channels, curves); // copies the curves
    cmsFreeToneCurve(curve);
    return stage;
}

IKelvraError* TlWriteTables(cmsHPROFILE profile, cmsTagSignature tag, unsigned inputs, unsigned outputs,
                            std::initializer_list<cmsStage*> stages)
{
    cmsPipeline* pipeline = cmsPipelineAlloc(nullptr, inputs, outputs);
    bool complete = pipeline != nullptr;
    for (cmsStage* stage : stages) {
        if (complete && stage && cmsPipelineInsertStage(pipeline, cmsAT_END, stage))
            continue; // the pipeline owns it now
        complete = false;
        if (stage)
            cmsStageFree(stage);
    }
    const bool written = complete && cmsWriteTag(profile, tag, pipeline);
    if (pipeline)
        cmsPipelineFree(pipeline);
    return written ? nullptr : TlProfileFailure(__LINE__, "table tag not written");
}

void TlEncodeLabV2(const cmsCIELab& lab, cmsUInt16Number out[3])
{
    cmsFloat2LabEncodedV2(out, &lab);
}

cmsCIELab TlDecodeLabV2(const cmsUInt16Number in[3])
{
    cmsCIELab lab;
    cmsLabEncoded2FloatV2(&lab, in);
    return lab;
}

TlSrgbLab::TlSrgbLab()
{
    cmsHPROFILE srgb = cmsCreate_sRGBProfile();
    cmsHPROFILE lab = cmsCreateLab4Profile(nullptr);
    if (srgb && lab) {
        m_toLab = cmsCreateTransform(srgb, TYPE_RGB_DBL, lab, TYPE_Lab_DBL, INTENT_RELATIVE_COLORIMETRIC, 0);
        m_fromLab = cmsCreateTransform(lab, TYPE_Lab_DBL, srgb, TYPE_RGB_DBL, INTENT_RELATIVE_COLORIMETRIC, 0);
    }
    if (srgb)
        cmsCloseProfile(srgb);
    if (lab)
        cmsCloseProfile(lab);
}

TlSrgbLab::~TlSrgbLab()
{
    if (m_toLab)
        cmsDeleteTransform(m_toLab);
    if (m_fromLab)
        cmsDeleteTransform(m_fromLab);
}

cmsCIELab TlSrgbLab::ToLab(const double rgb[3]) const
{
    cmsCIELab lab;
    cmsDoTransform(m_toLab, rgb, &lab, 1);
    return lab;
}

void TlSrgbLab::FromLab(const cmsCIELab& lab, double rgb[3]) const
{
    cmsDoTransform(m_fromLab, &lab, rgb, 1);
    for (int c = 0; c < 3; ++c)
        rgb[c] = rgb[c] < 0 ? 0 : rgb[c] > 1 ? 1 : rgb[c];
}
