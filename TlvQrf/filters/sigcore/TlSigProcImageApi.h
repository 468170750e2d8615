// What the load path asks of the raw-processing image developed through
// Sigcore: the size that each of its two mosaic sources gives, and the
// choice between them. The image implements this beside its imaging
// interface; GetWidth and GetHeight are the same operations as the data
// source's and answer for the source selected now.
#pragma once

#include "kelvra/KelvraError.h"

class ISigProcImageSources {
public:
    virtual IKelvraError* GetWidth(long* width) = 0;
    virtual IKelvraError* GetHeight(long* height) = 0;
    // Develops from the second source (true) or the primary one (false);
    // nothing happens when the image has no second source. With `notify`
    // false no destination hears of the change.
    virtual IKelvraError* SelectSource(bool useSecond, bool notify) = 0;

protected:
    ~ISigProcImageSources() = default;
};
