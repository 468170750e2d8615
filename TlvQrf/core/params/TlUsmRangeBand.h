// The hue bands an unsharp-mask filter can be limited to.
#pragma once

class CUnsharpMaskFilter;

// Sets the filter's range to band 1 to 6 (a sixth of the hue circle each,
// with soft edges); any other band is the whole circle. True when the range
// was changed; false when it already was the band's, or could not be set.
bool SetUsmRangeBand(CUnsharpMaskFilter* filter, int band);
