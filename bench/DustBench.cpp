// Dust removal over a 6000 x 4000 16-bit RGB picture with a synthetic
// reference of the same size (a grid of blots): reading the reference,
// the analysis (copied, and blurred for a wider aperture), building the
// map, and the dust filter's pixels pulled once on one thread and on as
// many threads as the machine has cores. Run by hand under Wine.
#include "BenchTilePull.h"
#include "dustsynth/DustSynth.h"
#include "filters/dust/TlDustAnalyzer.h"
#include "filters/dust/TlDustFilter.h"
#include "filters/dust/TlDustMap.h"
#include "filters/dust/TlDustReference.h"
#include "filtrix/VentraChrono.h"
#include "kelvra/KelvraTagControl.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

const long kWidth = 6000;
const long kHeight = 4000;
const float* g_transmission = nullptr;

// The gradient of the synthetic scene, darkened by its blots, as 16-bit
// samples with a square-root encoding.
std::uint16_t DustySample(long x, long y, int plane)
{
    const double light = (0.25 + 0.35 * x / kWidth + 0.2 * y / kHeight) * (1.0 - 0.1 * plane) *
                         double(g_transmission[std::size_t(y * kWidth + x)]);
    return std::uint16_t(std::lround(65535.0 * std::sqrt(light)));
}

class PictureTags {
public:
    explicit PictureTags(double fNumber)
    {
        if (!BenchOk(IKelvraTagControl::CreateTagControl(&m_tags), "tags"))
            return;
        const std::int32_t mode = 3, model = 1025;
        unsigned char lens[31] = {'0', '1', '0', '0'};
        lens[13] = 50;
        Put(0x80004, kKelvraTagTypeLong, &mode, sizeof mode);
        Put(0x80001, kKelvraTagTypeLong, &model, sizeof model);
        Put(33437, kKelvraTagTypeDoubles, &fNumber, sizeof fNumber);
        Put(0x80098, kKelvraTagTypeLensData, lens, sizeof lens);
    }
    ~PictureTags()
    {
        if (m_tags)
            m_tags->Destroy();
    }
    PictureTags(const PictureTags&) = delete;
    PictureTags& operator=(const PictureTags&) = delete;
    IKelvraTagControl* Get() const { return m_tags; }

private:
    void Put(std::uint32_t id, std::uint32_t type, const void* value, std::uint32_t size)
    {
        BenchOk(m_tags->AddTag(id), "add tag");
        BenchOk(m_tags->SetTag(id, type, size, value), "set tag");
    }
    IKelvraTagControl* m_tags = nullptr;
};

template <typename Engine>
bool StepToEnd(Engine& engine, const char* what)
{
    long done = 0, total = 0;
    do {
        if (!BenchOk(engine.Step(done, total), what))
            return false;
    } while (done < total);
    return true;
}

bool Analyse(CDustAnalyzer& analyzer, CDustReference& reference, double fNumber, const char* name)
{
    PictureTags tags(fNumber);
    CVentraChrono chrono;
    if (!BenchOk(analyzer.Begin(&reference, tags.Get()), "analyzer begin") || !StepToEnd(analyzer, "analyzer"))
        return false;
    std::printf("%-30s: %.1f ms\n", name, chrono.Elapsed() * 1000.0);
    return true;
}

} // namespace

int main()
{
    IKelvraManager* manager = nullptr;
    if (!BenchOk(IKelvraManager::_CreateKelvraManager(0x400A01, nullptr, 0, 0, 0, &manager), "manager"))
        return 1;
    const dust_synth::Scene scene = dust_synth::GridScene(kWidth, kHeight, 200, 3.0);
    const std::vector<float> transmission = dust_synth::TransmissionPlane(scene);
    g_transmission = transmission.data();
    const std::vector<unsigned char> record = dust_synth::ReferenceRecord(scene, {});
    IKelvraImage* picture = BenchMakeImage(manager, kWidth, kHeight, kKelvraRGB16, DustySample);
    if (!picture)
        return 1;
    std::printf("%ld x %ld 16-bit RGB, %zu blots, %ld core(s)\n", kWidth, kHeight, scene.blots.size(), BenchCores());
    {
        CDustReference reference(manager);
        CVentraChrono chrono;
        if (!BenchOk(reference.Load(record.size(), record.data()), "reference"))
            return 1;
        std::printf("%-30s: %.1f ms\n", "reference read", chrono.Elapsed() * 1000.0);

        CDustAnalyzer blurred(manager);
        Analyse(blurred, reference, 8.0, "analysis, blurred (f/8)");
        CDustAnalyzer copied(manager);
        if (!Analyse(copied, reference, 11.0, "analysis, copied (f/11)"))
            return 1;

        CDustMap map(manager);
        chrono.Start();
        if (!BenchOk(map.Begin(&copied, picture, 0, 0), "map begin") || !StepToEnd(map, "map"))
            return 1;
        std::printf("%-30s: %.1f ms\n", "map building", chrono.Elapsed() * 1000.0);

        for (long threads : {1L, BenchCores()}) {
            CDustFilter filter(manager);
            filter.SetCacheUsage(0);
            if (BenchOk(filter.SetDustMap(&map, false), "set map") && BenchOk(filter.SetToneMode(false, false), "tone") &&
                BenchOk(KelvraDataConnect(picture, &filter), "connect"))
                BenchReport("dust filter, tone tables", filter, threads);
            BenchOk(KelvraDataDisconnect(picture, &filter), "disconnect");
        }
    }
    picture->Release();
    manager->Release();
    return 0;
}
