// What the JPEG codec needs around libjpeg: its errors caught by a jump back
// into the calling function and turned into error chains, and its objects
// destroyed on every path. Private to the JPEG codec.
//
// libjpeg reports a failure by calling error_exit, which must not return:
// ours jumps back to a setjmp in the function that made the call. Such a
// function keeps all its state in one of the records below (owned by its
// caller) and no local with a destructor, so the jump skips nothing.
#pragma once

#include "PellioJpegSegments.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

struct PellioJpegFailure {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

// Sets up `failure` to jump back instead of exiting and to print nothing,
// and returns its manager for a codec object's `err`.
jpeg_error_mgr* PellioJpegErrors(PellioJpegFailure& failure);

// The chain for a failure libjpeg reported on `common`: 1005 when it ran out
// of memory, 1010 for a colour conversion it lacks, 1007 otherwise; followed
// by an error of kPellioLibjpegCategory whose code is libjpeg's message
// number and by its message text.
IKelvraError* PellioLibjpegError(long line, j_common_ptr common);

struct PellioJpegCompressor {
    PellioJpegCompressor() = default;
    ~PellioJpegCompressor();
    PellioJpegCompressor(const PellioJpegCompressor&) = delete;
    PellioJpegCompressor& operator=(const PellioJpegCompressor&) = delete;

    jpeg_compress_struct info{};
    PellioJpegFailure failure{};
    unsigned char* buffer = nullptr; // the memory destination's, freed with it
    unsigned long size = 0;
};

struct PellioJpegDecompressor {
    PellioJpegDecompressor() = default;
    ~PellioJpegDecompressor();
    PellioJpegDecompressor(const PellioJpegDecompressor&) = delete;
    PellioJpegDecompressor& operator=(const PellioJpegDecompressor&) = delete;

    jpeg_decompress_struct info{};
    PellioJpegFailure failure{};
};
