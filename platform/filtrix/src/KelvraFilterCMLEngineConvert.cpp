// The engine's conversions: a transform per (input format, output format),
// made under the state's lock on first use and then shared by every thread.
#include "KelvraFilterCMLEngineLcms.h"
#include "KelvraFilterCMLSamples.h"

#include <cmath>
#include <cstring>
#include <utility>
#include <vector>
#include <new>

namespace {

const long kChunk = 256; // pixels per pass through the Lab buffers of LCh conversions

cmsUInt32Number LcmsFormat(CmlSpace space, unsigned bits)
{
    const bool wide = bits == 16;
    switch (space) {
    case CmlSpace::kRGB:
        return wide ? TYPE_RGB_16 : TYPE_RGB_8;
    case CmlSpace::kGrey:
        return wide ? TYPE_GRAY_16 : TYPE_GRAY_8;
    case CmlSpace::kCMYK:
        return wide ? TYPE_CMYK_16 : TYPE_CMYK_8;
    case CmlSpace::kLab:
        return wide ? TYPE_Lab_16 : TYPE_Lab_8;
    default: // LCh: LittleCMS works in Lab doubles, the engine does the rest
        return TYPE_Lab_DBL;
    }
}

// The cosine and sine of every hue sample of one depth, worked out once:
// the same values KelvraLChEncoding::UnitToLab computes for each pixel.
class CHueCircle {
public:
    explicit CHueCircle(unsigned bits) : m_turn(std::size_t(1) << bits)
    {
        const double levels = double(m_turn.size());
        for (std::size_t hue = 0; hue < m_turn.size(); ++hue) {
            const double angle = hue / levels * 2 * kPi;
            m_turn[hue] = {std::cos(angle), std::sin(angle)};
        }
    }
    static const CHueCircle& Of(unsigned bits)
    {
        static const CHueCircle narrow(8), wide(16);
        return bits == 16 ? wide : narrow;
    }
    void ToLab(const std::uint16_t samples[3], unsigned bits, double lab[3]) const
    {
        const double max = double((1u << bits) - 1);
        const double chroma = samples[1] / max * KelvraLChEncoding::kMaxChroma;
        const std::pair<double, double>& turn = m_turn[samples[2] & (m_turn.size() - 1)];
        lab[0] = samples[0] / max * KelvraLChEncoding::kMaxLightness;
        lab[1] = chroma * turn.first;
        lab[2] = chroma * turn.second;
    }

private:
    static constexpr double kPi = 3.14159265358979323846;
    std::vector<std::pair<double, double>> m_turn;
};

void LChToLab(const void* input, unsigned bits, double* lab, long count)
{
    const CHueCircle& circle = CHueCircle::Of(bits);
    for (long i = 0; i < count; ++i) {
        std::uint16_t samples[3];
        for (int c = 0; c < 3; ++c)
            samples[c] = std::uint16_t(CmlGetSample(input, bits, std::size_t(i * 3 + c)));
        circle.ToLab(samples, bits, lab + i * 3);
    }
}

void LabToLCh(const double* lab, void* output, unsigned bits, long count)
{
    for (long i = 0; i < count; ++i) {
        double unit[3];
        std::uint16_t samples[3];
        KelvraLChEncoding::LabToUnit(lab + i * 3, unit);
        KelvraLChEncoding::UnitToSamples(unit, bits, samples);
        for (int c = 0; c < 3; ++c)
            CmlPutSample(output, bits, std::size_t(i * 3 + c), samples[c]);
    }
}

// Runs a transform with an LCh side through Lab doubles, a chunk at a time.
void ConvertThroughLab(const CmlTransform& transform, const void* input, void* output, long count)
{
    double labIn[kChunk * 3], labOut[kChunk * 3];
    const std::size_t inPixelBytes = transform.inputChannels * transform.inputBits / 8;
    const std::size_t outPixelBytes = transform.outputChannels * transform.outputBits / 8;
    for (long done = 0; done < count; done += kChunk) {
        const long n = count - done < kChunk ? count - done : kChunk;
        const void* from = static_cast<const char*>(input) + std::size_t(done) * inPixelBytes;
        void* to = static_cast<char*>(output) + std::size_t(done) * outPixelBytes;
        if (transform.lchIn)
            LChToLab(from, transform.inputBits, labIn, n);
        cmsDoTransform(transform.handle, transform.lchIn ? labIn : from, transform.lchOut ? labOut : to,
                       cmsUInt32Number(n));
        if (transform.lchOut)
            LabToLCh(labOut, to, transform.outputBits, n);
    }
}

} // namespace

IKelvraError* CKelvraFilterCMLEngine::CState::CopySettings(const CState& other, std::shared_ptr<CState>* copy)
{
    try {
        *copy = std::make_shared<CState>();
    } catch (const std::bad_alloc&) {
        return KELVRA_ERROR(nullptr, kCmlEngineTag, kKelvraOutOfMemory);
    }
    for (int i = 0; i < kProfileCount; ++i) {
        (*copy)->paths[i] = other.paths[i];
        (*copy)->profiles[i] = other.profiles[i];
    }
    (*copy)->proofMode = other.proofMode;
    (*copy)->intent = other.intent;
    return nullptr;
}

// Proofing through the destination itself only adds a round trip through
// it, so it is left out.
bool CKelvraFilterCMLEngine::CState::ProofActive() const
{
    return proofMode && profiles[kProof] && std::strcmp(paths[kProof].path, paths[kDestination].path) != 0;
}

bool CKelvraFilterCMLEngine::CState::IsIdentity() const
{
    if (ProofActive())
        return false;
    return std::strcmp(paths[kSource].path, paths[kDestination].path) == 0 ||
           (profiles[kSource] && profiles[kDestination] &&
            CmlSameColorimetry(*profiles[kSource], *profiles[kDestination]));
}

IKelvraError* CKelvraFilterCMLEngine::CState::Convert(const void* input, KelvraPixelFormat inputFormat, void* output,
                                                      KelvraPixelFormat outputFormat, long count)
{
    if (count <= 0)
        return nullptr;
    if (!input || !output)
        return KELVRA_ERROR(nullptr, kCmlEngineTag, kKelvraMissingObject);
    CmlTransformPtr transform;
    if (IKelvraError* error = FindTransform(inputFormat, outputFormat, &transform))
        return error;
    if (!transform->handle)
        CmlCopySamples(input, transform->inputBits, output, transform->outputBits,
                       std::size_t(count) * transform->inputChannels);
    else if (transform->lchIn || transform->lchOut)
        ConvertThroughLab(*transform, input, output, count);
    else
        cmsDoTransform(transform->handle, input, output, cmsUInt32Number(count));
    return nullptr;
}

IKelvraError* CKelvraFilterCMLEngine::CState::FindTransform(KelvraPixelFormat inputFormat,
                                                            KelvraPixelFormat outputFormat, CmlTransformPtr* transform)
{
    const CmlSpace inputSpace = CmlSpaceOf(inputFormat), outputSpace = CmlSpaceOf(outputFormat);
    if (inputSpace != profiles[kSource]->space || outputSpace != profiles[kDestination]->space)
        return KELVRA_ERROR(nullptr, kCmlEngineTag, kKelvraUnsupportedFormat);
    std::lock_guard<CKelvraLock> guard(m_lock);
    const auto key = std::make_pair(inputFormat, outputFormat);
    auto found = m_transforms.find(key);
    if (found != m_transforms.end()) {
        *transform = found->second;
        return nullptr;
    }
    if (IKelvraError* error = MakeTransform(inputSpace, KelvraBitsPerSample(inputFormat), outputSpace,
                                            KelvraBitsPerSample(outputFormat), transform))
        return error;
    try {
        m_transforms.emplace(key, *transform);
    } catch (const std::bad_alloc&) {
        // Used once without being kept.
    }
    return nullptr;
}

IKelvraError* CKelvraFilterCMLEngine::CState::MakeTransform(CmlSpace inputSpace, unsigned inputBits,
                                                            CmlSpace outputSpace, unsigned outputBits,
                                                            CmlTransformPtr* transform) const
{
    std::shared_ptr<CmlTransform> made;
    try {
        made = std::make_shared<CmlTransform>();
    } catch (const std::bad_alloc&) {
        return KELVRA_ERROR(nullptr, kCmlEngineTag, kKelvraOutOfMemory);
    }
    made->inputBits = inputBits;
    made->outputBits = outputBits;
    made->inputChannels = CmlChannelsOf(inputSpace);
    made->outputChannels = CmlChannelsOf(outputSpace);
    made->lchIn = inputSpace == CmlSpace::kLCh;
    made->lchOut = outputSpace == CmlSpace::kLCh;
    if (!IsIdentity()) {
        const cmsUInt32Number in = LcmsFormat(inputSpace, inputBits), out = LcmsFormat(outputSpace, outputBits);
        cmsHPROFILE source = profiles[kSource]->handle, destination = profiles[kDestination]->handle;
        // Pictures seldom repeat a pixel: the one-pixel cache would only add a
        // comparison to every pixel.
        const cmsUInt32Number flags = cmsFLAGS_NOCACHE;
        made->handle = ProofActive()
                           ? cmsCreateProofingTransformTHR(CmlContext(), source, in, destination, out,
                                                           profiles[kProof]->handle, cmsUInt32Number(intent),
                                                           INTENT_RELATIVE_COLORIMETRIC, flags | cmsFLAGS_SOFTPROOFING)
                           : cmsCreateTransformTHR(CmlContext(), source, in, destination, out,
                                                   cmsUInt32Number(intent), flags);
        if (!made->handle)
            return CmlFailure(__LINE__, kKelvraOperationFailed, "no transform between the profiles");
    }
    *transform = std::move(made);
    return nullptr;
}
