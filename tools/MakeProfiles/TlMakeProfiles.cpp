// TlMakeProfiles <folder>: writes the imaging library's ICC profiles into
// the folder (the install step points it at "<Common Files>\Talvo\Profiles").
#include "MakeProfiles/TlProfileMaker.h"

#include <cstdio>

namespace {

void PrintChain(const IKelvraError* error, int depth)
{
    for (; error; error = error->GetNext()) {
        const KelvraTag tag = error->GetTag();
        std::fprintf(stderr, "%*s%c%c%c%c line %ld: code %ld %s\n", depth * 2, "", char(tag >> 24), char(tag >> 16),
                     char(tag >> 8), char(tag), error->GetLine(), error->GetCode(), error->GetText());
        PrintChain(error->GetInner(), depth + 1);
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: TlMakeProfiles <folder>\n");
        return 2;
    }
    IKelvraError* error = TlWriteProfiles(argv[1]);
    if (!error)
        return 0;
    std::fprintf(stderr, "TlMakeProfiles: the profiles were not written\n");
    PrintChain(error, 1);
    IKelvraError::Release(error);
    return 1;
}
