// The shooting values of one picture that dust analysis needs (a `DstT`
// block: 15 little-endian words), made from the picture's tags and read
// back by one reader.
#pragma once

#include "kelvra/KelvraTagControl.h"

#include <cstddef>
#include <cstdint>

struct TlDustShooting {
    std::uint32_t version = 4;
    std::uint32_t headerSize = 12;
    std::uint32_t captureMode = 0;  // capture tag 0x80004
    std::uint32_t curveId = 0;      // the camera model code
    std::uint32_t aperture = 0;     // aperture code of the f-number
    std::uint32_t lens = 0;         // lens value
    std::int32_t sensitivity = 200; // capture tag 0x80002; -1 / -2 for its two special modes
    std::uint32_t gains[2] = {0x1000000, 0x1000000}; // colour gains times 2^24
    std::uint32_t cfaRepeat = 0x20002;
    std::uint32_t cfaCodes = 0x2010100; // first code in the high byte
    std::uint32_t toneKey = 0;          // capture tag 0x8008D
    std::uint32_t toneVariant = 0;      // capture tag 0x80081
    std::uint32_t toneBlock = 2;        // one byte of capture tag 0x80097
};

constexpr std::size_t kDustShootingBytes = 15 * 4;

void WriteDustShooting(const TlDustShooting& shooting, unsigned char (&block)[kDustShootingBytes]);

// Reads a block: the magic and a header size of at least 12 are required
// (1003); shorter blocks are taken as far as they reach (word 3 from
// version 2 on, words 4 to 7 from version 4 on, then the later words in
// order; word 14 only from version 3 on); what is missing keeps its default.
IKelvraError* ReadDustShooting(const unsigned char* bytes, std::size_t size, TlDustShooting* shooting);

// Builds the picture's block from its tags: 1013 for an unknown camera, a
// colour filter pattern that is not 2 by 2 or a lens value of 0; a required
// tag that cannot be read is passed on.
IKelvraError* BuildDustShooting(const IKelvraTagControl* tags, TlDustShooting* shooting);

// The aperture code of an f-number: the table's code for its ten f-numbers,
// round(24 log2 N) otherwise.
std::uint32_t DustApertureCode(double fNumber);

// True for the camera curve ids dust analysis knows.
bool IsKnownDustCurve(std::uint32_t curveId);
