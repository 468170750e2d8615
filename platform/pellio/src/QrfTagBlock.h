// The Qrf tag block: the tags a TIFF field cannot carry (ids of 0x10000 and
// up, and TIFF-numbered tags whose value has no exact TIFF form), each with
// its tag-control type and bytes.
//
//   "QTAG", u32 version 1, u32 count,
//   count x {u32 id, u32 type, u32 length, u32 offset from the block's start},
//   the values.
#pragma once

#include "PellioTagValues.h"

std::vector<std::uint8_t> QrfEncodeTagBlock(const std::vector<PellioTagValue>& values);
// Error kPellioCorrupt when the block is not sound (ids must ascend).
IKelvraError* QrfDecodeTagBlock(const std::vector<std::uint8_t>& block, std::vector<PellioTagValue>* values);
