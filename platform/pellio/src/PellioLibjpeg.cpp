// What the JPEG encoder and decoder share around libjpeg.
#include "PellioLibjpeg.h"

#include <cstdlib>

#include <jerror.h>

namespace {

void JumpBack(j_common_ptr common)
{
    std::longjmp(reinterpret_cast<PellioJpegFailure*>(common->err)->jump, 1);
}

// Warnings and traces go nowhere: a host has no console to print them on.
void Silent(j_common_ptr) {}

long CodeOf(int message)
{
    switch (message) {
    case JERR_OUT_OF_MEMORY:
        return kKelvraOutOfMemory;
    case JERR_CONVERSION_NOTIMPL:
        return kKelvraUnsupportedFormat;
    default:
        return kKelvraOperationFailed;
    }
}

} // namespace

jpeg_error_mgr* PellioJpegErrors(PellioJpegFailure& failure)
{
    jpeg_error_mgr* manager = jpeg_std_error(&failure.manager);
    manager->error_exit = JumpBack;
    manager->output_message = Silent;
    return manager;
}

IKelvraError* PellioLibjpegError(long line, j_common_ptr common)
{
    char text[JMSG_LENGTH_MAX] = {};
    common->err->format_message(common, text);
    const int message = common->err->msg_code;
    IKelvraError* chain = IKelvraError::Add(nullptr, kPellioJpegTag, line, kKelvraCategoryKelvra, CodeOf(message));
    IKelvraError* cause = IKelvraError::Add(nullptr, kPellioJpegTag, line, kPellioLibjpegCategory, long(message));
    cause = IKelvraError::Add(cause, kPellioJpegTag, line, text);
    return IKelvraError::AddWorker(chain, kPellioJpegTag, line, cause);
}

PellioJpegCompressor::~PellioJpegCompressor()
{
    jpeg_destroy_compress(&info); // does nothing for an object never created
    std::free(buffer);
}

PellioJpegDecompressor::~PellioJpegDecompressor()
{
    jpeg_destroy_decompress(&info);
}
