#include "MovieAtoms.h"

#include "../TlMovie.h"

namespace {

constexpr int kDeepestNesting = 8;

std::uint32_t BigEndian32(const std::uint8_t* p)
{
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}

bool Parse(const std::uint8_t* data, std::size_t size, std::vector<MovieAtom>& atoms, int depth)
{
    if (depth > kDeepestNesting)
        return false;
    std::size_t at = 0;
    while (at < size) {
        if (size - at < kMovieAtomHeader)
            return false;
        const std::size_t atomSize = BigEndian32(data + at);
        if (atomSize < kMovieAtomHeader || atomSize > size - at)
            return false;
        MovieAtom atom;
        atom.type = BigEndian32(data + at + 4);
        atom.id = BigEndian32(data + at + 8);
        const std::uint8_t* payload = data + at + kMovieAtomHeader;
        const std::size_t payloadSize = atomSize - kMovieAtomHeader;
        if (atom.type == TlMovieCode('p', 'c', 'n', 't')) {
            if (!Parse(payload, payloadSize, atom.children, depth + 1))
                return false;
        } else {
            atom.payload.assign(payload, payload + payloadSize);
        }
        atoms.push_back(std::move(atom));
        at += atomSize;
    }
    return true;
}

const MovieAtom* Find(const std::vector<MovieAtom>& atoms, std::uint32_t type, std::uint32_t id = 0)
{
    for (const MovieAtom& atom : atoms) {
        if (atom.type == type && (id == 0 || atom.id == id))
            return &atom;
    }
    return nullptr;
}

// A 4-byte value, when the atom is there; false for one of another size.
bool Read32(const MovieAtom* atom, std::uint32_t& value)
{
    if (atom == nullptr)
        return true;
    if (atom->payload.size() != 4)
        return false;
    value = BigEndian32(atom->payload.data());
    return true;
}

double Fixed(std::uint32_t value)
{
    return double(std::int32_t(value)) / 65536.0;
}

} // namespace

bool MovieParseAtoms(const std::uint8_t* data, std::size_t size, std::vector<MovieAtom>& atoms)
{
    atoms.clear();
    return data != nullptr && Parse(data, size, atoms, 0);
}

bool MovieReadEffect(const std::vector<MovieAtom>& atoms, MovieEffectParams& params)
{
    const MovieAtom* what = Find(atoms, TlMovieCode('w', 'h', 'a', 't'));
    const MovieAtom* first = Find(atoms, TlMovieCode('s', 'r', 'c', ' '), 1);
    const MovieAtom* second = Find(atoms, TlMovieCode('s', 'r', 'c', ' '), 2);
    if (what == nullptr || first == nullptr || second == nullptr)
        return false;
    if (!Read32(what, params.kind) || !Read32(first, params.source1) || !Read32(second, params.source2))
        return false;
    std::uint32_t wipe = 0, angle = 0;
    if (!Read32(Find(atoms, TlMovieCode('w', 'p', 'I', 'D')), wipe) ||
        !Read32(Find(atoms, TlMovieCode('a', 'n', 'g', 'l')), angle))
        return false;
    params.wipeId = long(wipe);
    params.angle = Fixed(angle);
    if (const MovieAtom* tween = Find(atoms, TlMovieCode('p', 'c', 'n', 't'))) {
        const MovieAtom* data = Find(tween->children, TlMovieCode('d', 'a', 't', 'a'));
        if (data != nullptr) {
            if (data->payload.size() != 8)
                return false;
            params.start = Fixed(BigEndian32(data->payload.data()));
            params.end = Fixed(BigEndian32(data->payload.data() + 4));
        }
    }
    return true;
}
