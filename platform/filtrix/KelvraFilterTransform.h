// The standard orientation filter (id 'tran', "Transform"): mirrors its
// source left-right (when flipped) and then turns it clockwise on screen by
// an angle in degrees about its centre.
//
// Output size: the bounding box of the turned image (width and height
// exchanged for 90 and 270 degrees). Multiples of 90 degrees move pixels
// exactly; other angles interpolate bilinearly, and output pixels whose
// centre falls outside the source are 0. Works on 8- and 16-bit grey, RGB,
// LCh, Lab and CMYK; other formats give error 1010 when tiles are made. The
// output keeps its source's resolution and transform records.
#pragma once

#include "filtrix/KelvraGeometryFilter.h"

class CKelvraFilterTransform : public CKelvraGeometryFilter {
public:
    explicit CKelvraFilterTransform(IKelvraManager* manager);

    KelvraTag GetFilterTag() const override;
    const char* GetFilterName() const override;

    // Mirror first, then the turn; the angle is kept in [0, 360). Equal
    // values change nothing; else the setter pattern, with code 1 when the
    // output size changes; an angle that is not finite gives 1008. `extra`
    // is kept for its callers (GetTransform) and leaves the pixels alone, so
    // a change of it alone sends nothing.
    IKelvraError* SetTransform(bool flip, double angle, bool notify, bool extra);
    void GetTransform(bool* flip, double* angle, bool* extra) const;

    // Composes an orientation state (a mirror followed by a turn of `angle`
    // degrees) with a further mirror (when `flip`) followed by a further
    // turn of `deltaAngle`, both applied to the already oriented image. With
    // `normalize` the angle is brought into [0, 360), so that four turns of
    // 90 degrees or two mirrors give the state back.
    static void DoStateTransform(bool& mirror, double& angle, bool flip, double deltaAngle, bool normalize);

    IKelvraError* DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info) override;

protected:
    void DescribeOutput(long sourceWidth, long sourceHeight, long* width, long* height,
                        CMapping* mapping) const override;

private:
    struct CSettings {
        bool flip = false;
        double angle = 0.0;
        bool extra = false;
    };

    CGuarded<CSettings> m_settings;
};
