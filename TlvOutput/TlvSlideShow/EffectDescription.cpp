#include "EffectDescription.h"

#include "FourCC.h"

#include "movie/TlMovieAtomWriter.h"

namespace {

constexpr std::uint32_t kFixedOne = 0x10000;
// "twnt" 3: a tween of fixed-point numbers.
constexpr std::uint32_t kTweenKind = 3;

struct WipeSetting {
    std::uint32_t kind;
    int parameter;
    std::uint32_t wipeId;
    bool swapped;
};

// The wipes' directions come from the wipe pattern and whether it runs
// forward or reversed with its sources swapped.
const WipeSetting kWipes[] = {
    {kEffectWipe, 1, 2, false},   // Wipe Up
    {kEffectWipe, 2, 1, true},    // Wipe Right
    {kEffectWipe, 3, 2, true},    // Wipe Down
    {kEffectWipe, 4, 1, false},   // Wipe Left
    {kEffectIris, 1, 119, true},  // Iris Open
    {kEffectIris, 2, 119, false}, // Iris Close
};

const WipeSetting* FindWipe(std::uint32_t kind, int parameter)
{
    for (const WipeSetting& wipe : kWipes) {
        if (wipe.kind == kind && wipe.parameter == parameter)
            return &wipe;
    }
    return nullptr;
}

std::vector<std::uint8_t> Pair(std::uint32_t first, std::uint32_t second)
{
    std::vector<std::uint8_t> out = TlMovieBigEndian(first);
    const std::vector<std::uint8_t> tail = TlMovieBigEndian(second);
    out.insert(out.end(), tail.begin(), tail.end());
    return out;
}

} // namespace

EffectDescription MakeEffectDescription(std::uint32_t kind, int parameter)
{
    EffectDescription description;
    const WipeSetting* wipe = FindWipe(kind, parameter);
    description.swapped = wipe != nullptr && wipe->swapped;

    std::vector<std::uint8_t>& atoms = description.atoms;
    TlMovieAppendAtom(atoms, TlFourCC("what"), 1, TlMovieBigEndian(kind));
    TlMovieAppendAtom(atoms, TlFourCC("src "), 1, TlMovieBigEndian(TlFourCC("srcB")));
    TlMovieAppendAtom(atoms, TlFourCC("src "), 2, TlMovieBigEndian(TlFourCC("srcA")));
    std::vector<std::uint8_t> tween;
    TlMovieAppendAtom(tween, TlFourCC("twnt"), 1, TlMovieBigEndian(kTweenKind));
    TlMovieAppendAtom(tween, TlFourCC("data"), 1,
                      description.swapped ? Pair(0, kFixedOne) : Pair(kFixedOne, 0));
    TlMovieAppendAtom(atoms, TlFourCC("pcnt"), 1, tween);
    if (kind == kEffectSlide)
        TlMovieAppendAtom(atoms, TlFourCC("angl"), 1, TlMovieBigEndian(std::uint32_t(parameter) << 16));
    else if (wipe != nullptr)
        TlMovieAppendAtom(atoms, TlFourCC("wpID"), 1, TlMovieBigEndian(wipe->wipeId));
    return description;
}
