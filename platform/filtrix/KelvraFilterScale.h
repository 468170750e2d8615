// The standard scaling filter (id 'scal', "Scale"): resizes its source by a
// factor per axis or to a fixed size.
//
// Output size: round(source size x factor) per axis, at least 1, or the
// size given to SetSize. Methods: 0 nearest pixel (copies, for fast
// previews); 1 bilinear; 2 area averaging where an axis shrinks (every
// source pixel weighed by the area it covers, for quality previews and
// thumbnails) and bilinear where it grows. Works on 8- and 16-bit grey,
// RGB, LCh, Lab and CMYK; other formats give error 1010 when tiles are
// made. The output keeps its source's resolution and transform records.
//
// Setters: an equal value changes nothing; otherwise the value is stored
// and, with `notify` while enabled, destinations get code 1 when the output
// size changed, else code 0 for the whole output. Bad values give 1008.
#pragma once

#include "filtrix/KelvraGeometryFilter.h"

class CKelvraFilterScale : public CKelvraGeometryFilter {
public:
    enum : long {
        kNearest = 0,
        kBilinear = 1,
        kArea = 2,
    };

    // `method` as for SetMethod; a value outside 0 to 2 counts as bilinear.
    CKelvraFilterScale(IKelvraManager* manager, long method);
    // Detaches itself from the source images it is attached to, so that
    // their FindFilter never answers a deleted filter.
    ~CKelvraFilterScale() override;

    KelvraTag GetFilterTag() const override;
    const char* GetFilterName() const override;

    IKelvraError* SetMethod(long method, bool notify);
    // The same factor on both axes.
    IKelvraError* SetScale(double factor, bool notify);
    IKelvraError* SetScale(double horizontal, double vertical, bool notify);
    // A fixed output size, whatever the source size.
    IKelvraError* SetSize(long width, long height, bool notify);

    long GetMethod() const;
    // The factors applied now: those set, or with a fixed size the ratio of
    // that size to the first source's (1013 without a source).
    IKelvraError* GetScale(double* horizontal, double* vertical);
    // True with a fixed output size, which it gives.
    bool GetFixedSize(long* width, long* height) const;

    IKelvraError* DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info) override;

protected:
    void DescribeOutput(long sourceWidth, long sourceHeight, long* width, long* height,
                        CMapping* mapping) const override;

private:
    struct CSettings {
        long method = kBilinear;
        bool fixedSize = false;
        double horizontal = 1.0;
        double vertical = 1.0;
        long width = 0;
        long height = 0;
        bool operator==(const CSettings& other) const;
    };

    static void SizeFor(const CSettings& settings, long sourceWidth, long sourceHeight, long* width, long* height);
    IKelvraError* Change(const CSettings& next, bool notify);

    CGuarded<CSettings> m_settings;
};
