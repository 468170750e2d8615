// Look-up tables that turn the edit settings of a parameter set into the
// tone stages of a chain: the developed image's white-balance, exposure and
// tone table, the user's tone curves, the hue and saturation table, a fixed
// toning table, and the two 12-bit gamma caches the chains start with.
// Each operation frees its own tables; the filters keep copies.
#pragma once

#include <cstdint>

class CKelvraFilterCML;
class CKelvraFilterLut;
class CTlLutGroup;
class CTlvParamSet;
class IKelvraError;

// Installs three 12-bit-in, 16-bit-out tables on every filter given (the
// colour filter's input side); both are cleared for a processed image and
// for the signal-processing cameras. Error 1005 when memory runs out, else
// the filters' own errors.
IKelvraError* SetWhiteBalanceToneLut(const CTlvParamSet& params, CKelvraFilterCML* cml, CKelvraFilterLut* lut,
                                     bool notify);

// The two curve groups (either may be null) as three 16-bit tables on
// exactly one of the filters; with both, the second group's curves come
// first when `secondFirst`. False, the filter as it was, when not exactly
// one filter is given or memory runs out; false too when installing fails.
bool SetCurveLut(CTlLutGroup* first, CTlLutGroup* second, CKelvraFilterCML* cml, CKelvraFilterLut* lut,
                 bool secondFirst);

// Hue level (3 neutral) and saturation factor (1.0 neutral) of the
// settings, or of the camera's tags where the settings leave them; true
// when either differs from neutral. Neutral for a processed image.
bool GetHueSaturation(const CTlvParamSet& params, int* hueLevel, double* saturationFactor);
// Lightness, chroma and hue tables on exactly one of the filters (the
// colour filter's output side); cleared, and false, when neutral. True
// when a table was installed.
bool SetHueSaturationLut(const CTlvParamSet& params, CKelvraFilterCML* cml, CKelvraFilterLut* lut);

// The constant 8-bit toning tables; false without a filter or when
// installing fails.
bool SetFixedToneLut(CKelvraFilterLut* lut);

// The library's 4096-entry caches, filled on first request: the square
// table and the root table brought to 12-bit input and 16-bit output. Null
// before the library has started or when a cache could not be allocated.
const std::uint16_t* GetSquareTable12();
const std::uint16_t* GetRootTable12();
