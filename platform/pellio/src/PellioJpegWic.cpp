// Shared pieces of the JPEG codec's use of the system imaging codecs.
#include "PellioJpegWic.h"

IKelvraError* PellioWicError(long line, HRESULT result, long code)
{
    if (result == E_OUTOFMEMORY)
        code = kKelvraOutOfMemory;
    IKelvraError* chain = IKelvraError::Add(nullptr, kPellioJpegTag, line, kKelvraCategoryKelvra, code);
    IKelvraError* cause = IKelvraError::Add(nullptr, kPellioJpegTag, line, kKelvraCategoryOS, long(result));
    return IKelvraError::AddWorker(chain, kPellioJpegTag, line, cause);
}

IKelvraError* PellioWicSession::Open()
{
    PELLIO_WIC_CALL(m_com.Result());
    PELLIO_WIC_CALL(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                     reinterpret_cast<void**>(m_factory.Out())));
    return nullptr;
}

void PellioSwapRedBlue(const std::uint8_t* from, std::uint8_t* to, std::size_t pixels)
{
    for (std::size_t i = 0; i < pixels; ++i, from += 3, to += 3) {
        const std::uint8_t first = from[0];
        const std::uint8_t second = from[1];
        const std::uint8_t third = from[2];
        to[0] = third;
        to[1] = second;
        to[2] = first;
    }
}
