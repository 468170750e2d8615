#include "saverequest/TlvSaveData.h"

#include <cstring>

namespace TlvQrfLib {

// The file format and the destination are set here in both constructors:
// a host that forgets them gets the request block's default and no
// destination rather than stale memory.
TlvSaveData::TlvSaveData()
    : dwWord0(0), dwWord1(0), szSourcePath{}, szOutputPath{}, dNumber(0.0), dwWord2(0), dwWord3(0),
      dwPixelFormat(kTlvSaveDefaultPixelFormat), dwFileFormat(kTlvSaveDirectFormat), dwWord4(1024),
      dwFormatOption(3), pSettings(nullptr), pDestination(nullptr), szProfileCopy{}, bDirectImage(false),
      dwResult(0)
{
}

TlvSaveData::TlvSaveData(const TlvSaveData& other) : TlvSaveData()
{
    CopyCarriedFields(other);
}

TlvSaveData::~TlvSaveData() = default;

TlvSaveData& TlvSaveData::operator=(const TlvSaveData& other)
{
    if (this != &other)
        CopyCarriedFields(other);
    return *this;
}

void TlvSaveData::CopyCarriedFields(const TlvSaveData& other)
{
    dwWord0 = other.dwWord0;
    dwWord1 = other.dwWord1;
    std::memcpy(szSourcePath, other.szSourcePath, sizeof szSourcePath);
    std::memcpy(szOutputPath, other.szOutputPath, sizeof szOutputPath);
    dNumber = other.dNumber;
    dwWord2 = other.dwWord2;
    dwWord3 = other.dwWord3;
    dwPixelFormat = other.dwPixelFormat;
    dwWord4 = other.dwWord4;
    dwFormatOption = other.dwFormatOption;
    pSettings = other.pSettings;
    bDirectImage = other.bDirectImage;
    strText = other.strText;
    dwResult = other.dwResult;
}

} // namespace TlvQrfLib

std::uint32_t ChannelLayoutOf(std::uint32_t pixelFormat)
{
    const std::uint32_t sixteenBits = (pixelFormat >> 28) & 1u;
    const bool grey = (pixelFormat & 0x1FFFFu) == 1u;
    return grey ? 3u + sixteenBits : sixteenBits;
}
