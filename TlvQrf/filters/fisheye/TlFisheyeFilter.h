// The fisheye correction filter: re-projects the picture of the supported
// fisheye lens by the distortion curves of the lens's data file. The lens
// data is loaded once per process and shared by every fisheye filter
// through the lens model cache (TlFisheyeLensCache.h).
#pragma once

#include "filters/fisheye/TlLensReference.h"
#include "filters/frame/TlFilter.h"

#include <cstdint>

class CTlFisheyeGeometry;
class IKelvraError;
class IKelvraTagControl;

// What the tile worker reports when the filter has no lens data.
extern const char kTlFisheyeNotInitialized[];

// What CFisheyeFilter::SetLens reports besides the framework's codes.
extern const char kTlFisheyeLensNotSupported[]; // not the supported lens, or no file for it
extern const char kTlFisheyeLensFileUnmapped[]; // no file path for the supported lens
constexpr long kTlFisheyeLensFileRejected = 3000;   // the lens record refused the file's content
constexpr long kTlFisheyeLensFileUnreadable = 3001; // the file cannot be opened, sized or read

// True when the cause at the bottom of a SetLens error chain is the lens
// file's refusal (3000); the chains tell that apart from every other failure
// of the lens set-up, however deeply the filter wrapped it.
bool TlIsLensFileRejected(const IKelvraError* error);

class CFisheyeFilter : public CTlFilter {
public:
    class CLensCriteria;
    class CliManager;

    // Entries of the fill colour table; 3 is black.
    static constexpr int kFillColorCount = 10;
    static constexpr int kDefaultFillColor = 3;

    explicit CFisheyeFilter(IKelvraManager* manager);
    ~CFisheyeFilter() override;

    KelvraTag GetFilterTag() const override;
    const char* GetFilterName() const override;
    IKelvraError* DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info) override;

    // Points and rectangles through the filter, against its first source:
    // forward (source to output) and back. Nothing moves while the filter
    // is disabled or bypassed, has no lens data, or cannot read the
    // source's size (that error is returned).
    IKelvraError* FilterPoint(double* x, double* y) override;
    IKelvraError* FilterPoint(long* x, long* y) override;
    IKelvraError* FilterRect(KelvraDblRect* rect) override;
    IKelvraError* FilterRect(KelvraRect* rect) override;
    IKelvraError* DefilterPoint(double* x, double* y) override;
    IKelvraError* DefilterPoint(long* x, long* y) override;
    IKelvraError* DefilterRect(KelvraDblRect* rect) override;
    IKelvraError* DefilterRect(KelvraRect* rect) override;

    // Finds the lens of the picture with these tags and takes its curves
    // from the lens model cache, loading its data file when no other filter
    // holds it. Any failure leaves the filter without lens data. Does not
    // mark the output stale.
    IKelvraError* SetLens(const IKelvraTagControl* tags);
    // Both output-to-source curves are present.
    bool HasLensModel() const;

    // 0: the second curve pair, no fill; otherwise the first pair, and
    // exactly 1 also paints the fill colour where the picture does not reach.
    IKelvraError* SetFillMode(std::uint8_t fillMode, bool notify);
    // An index outside the fill colour table is refused (1014) and the old
    // one kept.
    IKelvraError* SetFillColor(int index, bool notify);

    std::uint8_t GetFillMode() const { return m_fillMode; }
    int GetFillColor() const { return m_fillColorIndex; }
    // The lens data in use, or null.
    const CTlLensInformation* GetLensInformation() const { return m_lensInformation.Get(); }

    // The fill colour table: three 8-bit channels per entry.
    static const std::uint8_t kFillColors[kFillColorCount][3];

private:
    enum class Direction { Forward, Inverse };
    // The curve of the current pair: the second pair for fill mode 0.
    const double* CurveFor(Direction direction) const;
    bool Maps() const;
    // The size of the filter's first source.
    IKelvraError* FirstSourceSize(long* width, long* height) const;
    IKelvraError* MapPointThrough(Direction direction, double* x, double* y) const;
    IKelvraError* MapRectThrough(Direction direction, KelvraDblRect* rect) const;
    // The integer forms: through the double ones, truncated; nothing while
    // the filter is off.
    IKelvraError* MapLongPoint(Direction direction, long* x, long* y) const;
    IKelvraError* MapLongRect(Direction direction, KelvraRect* rect) const;
    template <typename Sample>
    void Reproject(const CTlTileTarget& target, const CTlFisheyeGeometry& inverse) const;

    void DropLens();
    void TakeCurves();
    // Announces the whole output, sized as the filter's own output.
    IKelvraError* AnnounceWholeOutput(bool notify);

    std::uint8_t m_fillMode = 0;
    int m_fillColorIndex = kDefaultFillColor;
    CTlLensReference m_lensInformation;
    // The four curves of the lens data, valid while the reference holds it:
    // output-to-source for fill modes other than 0, and for 0; then
    // source-to-output in the same order.
    const double* m_inverseCurve1 = nullptr;
    const double* m_inverseCurve2 = nullptr;
    const double* m_forwardCurve1 = nullptr;
    const double* m_forwardCurve2 = nullptr;
};
