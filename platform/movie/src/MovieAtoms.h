// Effect descriptions: an atom container of big-endian atoms. Each atom is
//   size (4 bytes, the whole atom with this 12-byte header), type (4), id (4),
//   then its payload;
// a "pcnt" atom's payload is itself a series of atoms.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct MovieAtom {
    std::uint32_t type = 0;
    std::uint32_t id = 0;
    std::vector<std::uint8_t> payload;
    std::vector<MovieAtom> children; // filled for containers
};

constexpr std::size_t kMovieAtomHeader = 12;

// Parses a whole container; false for an atom that is too short, runs past
// its container or nests too deep.
bool MovieParseAtoms(const std::uint8_t* data, std::size_t size, std::vector<MovieAtom>& atoms);


// What an effect description asks for.
struct MovieEffectParams {
    std::uint32_t kind = 0;
    std::uint32_t source1 = 0; // the name of "src " 1
    std::uint32_t source2 = 0; // the name of "src " 2
    double start = 1.0;        // share of source 2 at the start
    double end = 0.0;          // and at the end
    long wipeId = 0;
    double angle = 0;
};

// The effect's parameters; false for a description without "what", without
// both sources or with a value of the wrong size.
bool MovieReadEffect(const std::vector<MovieAtom>& atoms, MovieEffectParams& params);
