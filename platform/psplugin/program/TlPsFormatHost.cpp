// Opens a file through a file-format plug-in as an image editor does, with
// a recorded descriptor that does not ask for the dialog, and writes the
// picture as a TIFF with its ICC profile. Run under Wine:
//
//   TlPsFormatHost PLUGIN.8bi FILE OUT.tif [--preview] [--wb INDEX]
//                  [--exposure EV] [--rotation DEGREES] [--six-mp]
#include "PsFormatHost.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// The white-balance enumeration of the raw plug-in, by dialog index.
const PsKey kBalances[] = {PsFourCC('W', 'B', 'U', 'c'), PsFourCC('W', 'B', 'I', 'd'), PsFourCC('W', 'B', 'F', 'l'),
                           PsFourCC('W', 'B', 'H', 'f'), PsFourCC('W', 'B', 'S', 'l'), PsFourCC('W', 'B', 'S', 'h'),
                           PsFourCC('W', 'B', 'O', 'c'), PsFourCC('W', 'B', 'F', 's')};

int Usage()
{
    std::fprintf(stderr, "usage: TlPsFormatHost PLUGIN.8bi FILE OUT.tif [--preview] [--wb INDEX] [--exposure EV]\n"
                         "                      [--rotation DEGREES] [--six-mp]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4)
        return Usage();
    PsFormatHostOptions options;
    options.hasDescriptor = true;
    int balance = 0;
    double exposure = 0.0;
    int rotation = 0;
    bool sixMegapixels = false;
    for (int i = 4; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--preview")
            options.openForPreview = true;
        else if (arg == "--six-mp")
            sixMegapixels = true;
        else if (arg == "--wb" && hasValue)
            balance = std::atoi(argv[++i]);
        else if (arg == "--exposure" && hasValue)
            exposure = std::atof(argv[++i]);
        else if (arg == "--rotation" && hasValue)
            rotation = std::atoi(argv[++i]);
        else
            return Usage();
    }
    if (balance < 0 || balance > 7)
        return Usage();
    options.descriptor = {
        PsDescriptorValue::Enumerated(PsFourCC('k', 'w', 'b', 'O'), PsFourCC('t', 'w', 'b', 'E'), kBalances[balance]),
        PsDescriptorValue::Float(PsFourCC('k', 'e', 'x', 'F'), exposure),
        PsDescriptorValue::Integer(PsFourCC('k', 'r', 't', 'I'), rotation),
        PsDescriptorValue::Enumerated(PsFourCC('k', 'k', 'b', 'O'), PsFourCC('k', 'b', 's', 'E'),
                                      sixMegapixels ? PsFourCC('K', 'B', '0', '6') : PsFourCC('K', 'B', '1', '0')),
    };

    CPsFormatHost host;
    std::string why;
    if (!host.Load(argv[1], &why)) {
        std::fprintf(stderr, "TlPsFormatHost: %s\n", why.c_str());
        return 1;
    }
    const PsFormatHostResult result = host.Open(argv[2], options);
    std::printf("ReadPrepare %d, ReadStart %d, ReadContinue %d, ReadFinish %d\n", result.prepare, result.start,
                result.readContinue, result.finish);
    if (result.start != kPsNoError || result.readContinue != kPsNoError)
        return 1;
    std::printf("%d x %d, mode %d, %d strips, profile %u bytes, caption %u bytes\n", result.width, result.height,
                result.imageMode, int(result.strips.size()), unsigned(result.icc.size()),
                unsigned(result.caption.size()));
    if (!CPsFormatHost::WriteTiff(result, argv[3])) {
        std::fprintf(stderr, "TlPsFormatHost: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
