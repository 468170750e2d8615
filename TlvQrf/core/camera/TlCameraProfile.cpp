#include "camera/TlCameraProfile.h"

#include <cstdio>
#include <cstring>
#include <new>

namespace {

constexpr char kFixedProfile[] = "TLKX7_QRF.icm";
constexpr char kBaseProfile[] = "TLDBase_QRF.icm";

IKelvraError* Failure(long location, long code)
{
    return IKelvraError::Add(nullptr, 0, location, kKelvraCategoryApp, code);
}

std::uint32_t Align4(std::size_t value)
{
    return std::uint32_t((value + 3u) & ~std::size_t(3));
}

long ModeNumber(std::int32_t colourMode)
{
    switch (colourMode) {
    case 1: return 0;
    case 3: return 2;
    case 4: return 3;
    case 5: return 4;
    case 6: return 5;
    default: return 1;
    }
}

const char* DescriptionFormat(std::int32_t kind)
{
    switch (kind) {
    case kTlCameraKX7A:
    case kTlCameraKX7B: return "Talvo KX7/A/B for Qrf Mode%ld v2.0.0.3000";
    case kTlCameraKX6: return "Talvo KX6 for Qrf Mode%ld v2.0.0.3000";
    case kTlCameraKX8A: return "Talvo KX8A for Qrf Mode%ld v2.0.0.3000";
    case kTlCameraKX5: return "Talvo KX5 for Qrf Mode%ld v2.0.0.3000";
    default: return "Talvo KX7 for Qrf v1.0.0.3000";
    }
}

const char* NoticeText(std::int32_t kind)
{
    if (kind == kTlCameraKX6)
        return "Copyright Talvo. Camera profile of the KX6 (synthetic data).";
    if (kind == kTlCameraKX8A || kind == kTlCameraKX5)
        return "Copyright Talvo. Camera profile of the KX8A and KX5 (synthetic data).";
    return "Copyright Talvo. Camera profile of the KX7 family (synthetic data).";
}

const char* NameFormat(std::int32_t kind, std::int32_t namingStyle)
{
    if (namingStyle == 0)
        return kind == kTlCameraKX6 ? "%sKX6_%ld_%04ld_%02ld_%ld.icm" : "%sKX7_%ld_%04ld_%02ld_%ld.icm";
    if (kind == kTlCameraKX8A)
        return "%sKX8A_%ld_%04ld_%02ld_%ld.icm";
    if (kind == kTlCameraKX5)
        return "%sKX5_%ld_%04ld_%02ld_%ld.icm";
    return "%sKX7_%ld_%04ld_%02ld_%ld.icm";
}

} // namespace

bool CTlCameraProfile::SetUp(const TlCameraProfileParams& params, const TlCameraTables* tables)
{
    Release();
    m_state = TlCameraSetUpState();
    m_description.clear();
    m_notice.clear();
    m_params = params;
    m_tables = tables ? tables : TlGetCameraTables();
    if (!m_tables || !TlSetUpCamera(m_params, *m_tables, &m_state)) {
        m_state.setUp = false;
        return false;
    }
    FillTexts();
    return true;
}

void CTlCameraProfile::FillTexts()
{
    char text[128];
    std::snprintf(text, sizeof text, DescriptionFormat(m_params.cameraKind), ModeNumber(m_params.colourMode));
    m_description = text;
    m_notice = NoticeText(m_params.cameraKind);
}

IKelvraError* CTlCameraProfile::GetProfileName(std::string* name, const char* prefix) const
{
    if (!m_state.setUp)
        return Failure(3037, kKelvraMissingObject);
    if (m_state.fixedProfile) {
        *name = kFixedProfile;
        return nullptr;
    }
    long index = long(m_state.tableIndex);
    if (m_state.namingStyle == 0 && m_params.colourMode == 4 && !m_state.mode4Variant)
        index += 300;
    char text[128];
    std::snprintf(text, sizeof text, NameFormat(m_params.cameraKind, m_state.namingStyle), prefix ? prefix : "Tlp_",
                  ModeNumber(m_params.colourMode), index, long(m_params.tone), kTlGeneratorVersion);
    *name = text;
    return nullptr;
}

std::uint32_t CTlCameraProfile::GetProfileSize() const
{
    if (m_state.fixedProfile)
        return kTlFixedProfileSize;
    return kTlProfileFixedPart + Align4(2 * m_description.size() + 25) + Align4(m_notice.size() + 9);
}

IKelvraError* CTlCameraProfile::AllocateTables()
{
    m_tone.reset(new (std::nothrow) std::uint16_t[kTlToneEntries]);
    for (auto& plane : m_planes)
        plane.reset(new (std::nothrow) std::uint16_t[kTlGridSize]);
    if (!m_tone || !m_planes[0] || !m_planes[1] || !m_planes[2])
        return Failure(3098, kKelvraOutOfMemory);
    return nullptr;
}

IKelvraError* CTlCameraProfile::Build()
{
    if (!m_state.setUp || !m_tables)
        return Failure(3134, kKelvraMissingObject);
    m_base.clear();
    if (IKelvraError* error = TlReadBaseProfile(m_state.fixedProfile ? kFixedProfile : kBaseProfile, &m_base))
        return error;
    m_size = GetProfileSize();
    if (m_state.fixedProfile)
        return nullptr;
    if (IKelvraError* error = AllocateTables())
        return error;
    if (!TlChooseTableIndex(m_params, *m_tables, &m_state))
        return Failure(3134, kKelvraMissingObject);
    TlMakeToneTable(m_params, m_state, *m_tables, m_tone.get());
    TlMakeGrid(m_params, m_state, *m_tables, m_tone.get(), m_planes[0].get(), m_planes[1].get(), m_planes[2].get());
    return nullptr;
}

IKelvraError* CTlCameraProfile::Serialise(void* buffer, std::uint32_t size)
{
    if (!buffer || m_base.empty() || size < m_size)
        return Failure(3307, kKelvraMissingObject);
    std::uint8_t* out = static_cast<std::uint8_t*>(buffer);
    if (m_state.fixedProfile) {
        if (m_base.size() != m_size)
            return Failure(3307, kKelvraMissingObject);
        std::memcpy(out, m_base.data(), m_size);
        return nullptr;
    }
    const std::uint16_t* const planes[3] = {m_planes[0].get(), m_planes[1].get(), m_planes[2].get()};
    if (!planes[0] || TlLayOutProfile(m_base, m_description, m_notice, planes, out, size) != m_size)
        return Failure(3307, kKelvraMissingObject);
    return nullptr;
}

void CTlCameraProfile::Release()
{
    m_base.clear();
    m_base.shrink_to_fit();
    m_tone.reset();
    for (auto& plane : m_planes)
        plane.reset();
}
