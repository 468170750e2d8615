// Runs the test filter plug-in through the plug-in filter and the Windows
// plug-in host over a 6000 x 4000 16-bit RGB image: once over the whole
// image (the export's run), then serving every output tile once, on one
// thread and on as many as the machine has cores (plug-in runs take turns).
// Run by hand under Wine from the folder that holds TlTestPlugin.dll.
#include "BenchTilePull.h"
#include "filters/plugin/TlPluginWin.h"
#include "filters/pluginfilter/TlPluginHostFilter.h"
#include "filtrix/VentraChrono.h"

#include <cstdint>
#include <cstdio>

namespace {

const long kWidth = 6000;
const long kHeight = 4000;

std::uint16_t RgbSample(long x, long y, int plane)
{
    return std::uint16_t(8000 + (x * (3 + plane) + y * (5 - plane)) % 40000);
}

void RunWhole(CPluginHostFilter& filter)
{
    CVentraChrono chrono;
    if (BenchOk(filter.RunPlugin(CPluginHostFilter::kOwnSources), "whole-image run"))
        std::printf("%-26s           : %.1f ms\n", "plug-in, whole image", chrono.Elapsed() * 1000.0);
}

} // namespace

int main()
{
    CBenchPicture picture(kWidth, kHeight, kKelvraRGB16, RgbSample, "16-bit RGB");
    if (!picture.Ok())
        return 1;
    IKelvraManager* manager = picture.Manager();
    IKelvraImage* image = picture.Image();
    const long cores = picture.Cores();
    {
        CPluginWin host;
        CPluginEntry entry;
        entry.path.Assign("TlTestPlugin.dll");
        if (host.Load(entry) != kPsNoError) {
            std::printf("TlTestPlugin.dll does not load\n");
        } else {
            CPluginHostFilter filter(manager);
            filter.SetCacheUsage(0);
            if (BenchOk(KelvraDataConnect(image, &filter), "connect") &&
                BenchOk(filter.SetPlugin(&host, false), "plug-in")) {
                RunWhole(filter);
                for (long threads : {1L, cores})
                    BenchReport("plug-in, tiles", filter, threads);
            }
            BenchOk(filter.SetPlugin(nullptr, false), "detach");
            BenchOk(KelvraDataDisconnect(image, &filter), "disconnect");
        }
    }
    return 0;
}
