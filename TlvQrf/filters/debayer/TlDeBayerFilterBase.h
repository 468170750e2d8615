// The common base of the two demosaicing filters: a raw mosaic (one 12-bit
// sample in 16 bits per pixel, 2 x 2 Bayer layout) in, interleaved 16-bit
// RGB out. It owns what both share: the output rectangle inside the sensor
// area, the pixel-aspect stretch, the channel tables, the colour-filter
// pattern, the tuning block, the processing switch, the coordinate
// mappings, and the tile walk that reads a block of the mosaic and writes
// what the filter's engine coloured.
#pragma once

#include "filters/debayer/TlBayerPattern.h"
#include "filters/debayer/TlChannelTables.h"
#include "filters/debayer/TlDeBayerWorkspace.h"
#include "filters/frame/TlFilter.h"
#include "filters/frame/TlFunctionRef.h"

#include <cstdint>
#include <vector>

// Errors of the shared part are tagged with the base's own id.
constexpr KelvraTag kTlDeBayerBaseTag = TlFilterId("DBbs");

class CDeBayerFilterBase : public CTlFilter {
public:
    enum : long {
        kBorder = 12, // samples the demosaicing neighbourhoods lose in each dimension
        kModeOff = 0, // processing switched off: the mosaic passes through
        kModeDemosaic = 1,
    };

    explicit CDeBayerFilterBase(IKelvraManager* manager);

    // The part of the demosaiced area delivered, in output coordinates; an
    // empty rectangle asks for all of it. `sourceRect` is the sensor area,
    // or null for the connected source's size. Sends a size notice.
    IKelvraError* SetSourceRect(const KelvraRect& outputRect, const KelvraRect* sourceRect, bool notify);
    // Each table null or 2^inBits values of outBits bits (0..16 each).
    IKelvraError* SetChannelLuts(int inBits, int outBits, const std::uint16_t* red, const std::uint16_t* green,
                                 const std::uint16_t* blue, bool notify);
    // Output 0.75 x as wide and 1.5 x as high, for sensors with non-square
    // pixels; the output rectangle becomes the whole area.
    IKelvraError* SetPixelAspectMode(bool on, const KelvraRect* sourceRect, bool notify);
    // The bytes of the colour-filter-array capture tag.
    IKelvraError* SetPixelMap(const std::uint8_t* pattern, std::size_t length, bool notify);
    // The nine-value tuning block (only the high-quality filter reads it).
    IKelvraError* SetTuning(const std::int32_t (&values)[9], bool notify = false);
    // The processing switch: 1 demosaics; 0 passes the source through
    // untouched (a raw image that is no mosaic). Size and format change
    // with it, so everything downstream is told to recompute.
    virtual IKelvraError* SetDeBayerMode(long mode, bool notify);
    // A preview far smaller than the picture needs no demosaicing at full
    // size: with a factor k above 1 each output pixel is the mean of the
    // red, green and blue samples of a k x k block of the mosaic, and the
    // output is k times smaller. Taken only where the output divides by k
    // and outside the pixel-aspect mode (1 otherwise); sends a size notice.
    IKelvraError* SetReduction(long factor, bool notify);
    // The factor in force (1 when a wish could not be met).
    long GetReduction() const;

    KelvraRect GetOutputRect() const { return m_outputRect; }
    bool GetPixelAspectMode() const { return m_pixelAspectMode; }
    const std::vector<std::uint8_t>& GetPixelMap() const { return m_cfaPattern; }
    const CTlChannelTables& GetChannelTables() const { return m_tables; }
    const std::int32_t (&GetTuning() const)[9] { return m_tuning; }
    long GetDeBayerMode() const { return m_mode; }
    TlBayerPhases GetPhases() const { return m_phases; }

    virtual double GetHorizontalFactor() const;
    virtual double GetVerticalFactor() const;
    virtual KelvraPixelFormat GetInputColorSpace() const;
    // Reads the stored pattern into the phases; 1007 for a layout that is
    // not a 2 x 2 Bayer pattern (the phases then stay as they were).
    virtual IKelvraError* CheckCfaPattern();

    // Source <-> output while enabled: x' = h (x - 6) - left.
    IKelvraError* FilterPoint(double* x, double* y) override;
    IKelvraError* FilterPoint(long* x, long* y) override;
    IKelvraError* FilterRect(KelvraDblRect* rect) override;
    IKelvraError* FilterRect(KelvraRect* rect) override;
    IKelvraError* DefilterPoint(double* x, double* y) override;
    IKelvraError* DefilterPoint(long* x, long* y) override;
    IKelvraError* DefilterRect(KelvraDblRect* rect) override;
    IKelvraError* DefilterRect(KelvraRect* rect) override;

    IKelvraError* GetFilteredSize(IKelvraDataSource* const* sources, long count, long* width, long* height) override;
    IKelvraError* GetFilteredColorSpace(IKelvraDataSource* const* sources, long count,
                                        KelvraPixelFormat* format) override;
    IKelvraError* FilterSize(IKelvraDataSource* source, KelvraSizeChange* change) override;
    IKelvraError* FilterColorSpace(IKelvraDataSource* source, KelvraColorSpaceChange* change) override;

protected:
    // Colours `inner` of the mosaic block `work.raw` (local coordinates,
    // the engine's margin inside the block) into `work.rgb`.
    using Engine = TlFunctionRef<IKelvraError*(CTlDeBayerWorkspace& work, const KelvraRect& inner)>;

    // The tile walk both filters share: the block of the mosaic the tile
    // needs (with `margin` samples around it, read with the parity-keeping
    // edge mode), tone-mapped, coloured by `engine` and written to the tile
    // directly or through the aspect resampling.
    IKelvraError* GenerateDemosaicedTile(IKelvraTile* tile, CKelvraProcessInfo* info, long margin, Engine engine);

private:
    // The reduced output: a tile averaged from its blocks of the mosaic.
    IKelvraError* GenerateReducedTile(IKelvraTile* tile, IKelvraDataSource* source, long sourceWidth,
                                      long sourceHeight, const std::int32_t* const (&tables)[3], long factor);
    // Reads the block and lets the engine colour it.
    IKelvraError* Demosaic(CTlDeBayerWorkspace& work, IKelvraDataSource* source, long sourceWidth, long sourceHeight,
                           const KelvraRect& block, long margin, const std::int32_t* const (&tables)[3],
                           Engine engine) const;
    IKelvraError* BaseError(long line, long code) const;
    IKelvraError* BaseWrap(long line, IKelvraError* inner) const;
    IKelvraError* SensorSize(const KelvraRect* sourceRect, long* width, long* height) const;
    void FilteredSize(long sourceWidth, long sourceHeight, long* width, long* height) const;
    void FullSize(long sourceWidth, long sourceHeight, long* width, long* height) const;
    // The reduction the full size allows: the wish, or 1.
    long ReductionFor(long sourceWidth, long sourceHeight) const;
    bool HasValidOutputRect() const;
    IKelvraError* SendSizeChange(long oldWidth, long oldHeight, long newWidth, long newHeight);
    // Runs `change` and, with `notify`, tells the output's old and new size.
    using SizeChange = TlFunctionRef<IKelvraError*()>;
    IKelvraError* ChangeSize(bool notify, SizeChange change);

    KelvraRect m_outputRect;
    bool m_pixelAspectMode = false;
    std::vector<std::uint8_t> m_cfaPattern;
    CTlChannelTables m_tables;
    std::int32_t m_tuning[9] = {3, 3, 3, 6, 15, 1, 14, 1, 1};
    TlBayerPhases m_phases;
    long m_mode = kModeDemosaic;
    long m_reductionWish = 1;
};
