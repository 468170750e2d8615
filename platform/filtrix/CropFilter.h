// The crop filter ('Crop'): its output is one rectangle of its source.
//
// Output pixel (x, y) is source pixel (x + left, y + top); the output is
// exactly the rectangle's size, and the parts of the rectangle outside the
// source read as zero. The rectangle (0, 0, 0, 0) means no crop: the source
// passes through. Any pixel format of whole bytes.
#pragma once

#include "filtrix/KelvraFilterBase.h"
#include "kelvra/KelvraLock.h"

#include <mutex>

class CCropFilter : public CKelvraFilterBase {
public:
    static constexpr KelvraTag kTag = KelvraFourCC('C', 'r', 'o', 'p');

    explicit CCropFilter(IKelvraManager* manager);

    KelvraTag GetFilterTag() const override;
    const char* GetFilterName() const override;

    // Right and bottom exclusive. An empty rectangle other than
    // (0, 0, 0, 0) is refused with 1008. A new output size is announced with
    // code 1 (old and new size), a new position with code 0.
    IKelvraError* SetCrop(const KelvraRect& rect, bool notify);
    KelvraRect GetCrop() const;

    IKelvraError* GetFilteredSize(IKelvraDataSource* const* sources, long count, long* width, long* height) override;

    // Source to output coordinates: minus the rectangle's corner.
    IKelvraError* FilterPoint(double* x, double* y) override;
    IKelvraError* FilterPoint(long* x, long* y) override;
    IKelvraError* FilterRect(KelvraDblRect* rect) override;
    IKelvraError* FilterRect(KelvraRect* rect) override;
    IKelvraError* DefilterPoint(double* x, double* y) override;
    IKelvraError* DefilterPoint(long* x, long* y) override;
    IKelvraError* DefilterRect(KelvraDblRect* rect) override;
    IKelvraError* DefilterRect(KelvraRect* rect) override;

    // A source change outside the rectangle changes nothing here; a new
    // source size leaves the output size as it is.
    IKelvraError* FilterData(IKelvraDataSource* source, KelvraRect* rect) override;
    IKelvraError* FilterSize(IKelvraDataSource* source, KelvraSizeChange* change) override;

    IKelvraError* DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info) override;

private:
    // The shift from source to output: the corner, or none while passing through.
    void Offset(long* dx, long* dy) const;
    // Moves a point or rectangle by the shift times `sign` (-1 source to
    // output, 1 back).
    template <typename T>
    IKelvraError* ShiftPoint(T* x, T* y, long sign) const;
    template <typename R>
    IKelvraError* ShiftRect(R* rect, long sign) const;
    // The output size now; false when it cannot be told.
    bool OutputSize(long* width, long* height);
    IKelvraError* Announce(bool notify, bool sized, const KelvraSizeChange& change);

    mutable CKelvraLock m_lock;
    KelvraRect m_rect;
};
