// Adapts a dust reference to one picture: checks that both come from the
// same kind of camera, rescales the reference for the picture's lens and
// blurs it for a wider aperture, one tile per step, and keeps the result
// with its compressed form.
#pragma once

#include "filters/dust/TlDustEngines.h"
#include "filters/dust/TlDustGeometry.h"
#include "filters/dust/TlDustPages.h"
#include "filters/dust/TlDustShooting.h"

#include <cstdint>
#include <vector>

class CDustReference;

class CDustAnalyzer : public IDustAnalyzer {
public:
    enum State : int {
        kIdle = 0,
        kRescaling = 1,
        kBlurring = 2,
        kCopying = 3,
        kStartingCompressor = 4,
        kCompressing = 5,
        kFinished = 6,
    };

    explicit CDustAnalyzer(IKelvraManager* manager);
    ~CDustAnalyzer() override;
    CDustAnalyzer(const CDustAnalyzer&) = delete;
    CDustAnalyzer& operator=(const CDustAnalyzer&) = delete;

    IKelvraError* Begin(IDustReference* reference, IKelvraTagControl* tags) override;
    IKelvraError* Step(long& done, long& total) override;
    IKelvraError* Abort() override;

    int GetState() const { return m_state; }
    const TlDustShooting& GetShooting() const { return m_shooting; }
    std::uint32_t GetCaptureSharpening() const { return m_sharpening; }
    bool WillRescale() const { return m_rescale; }
    bool WillBlur() const { return m_blur; }
    TlDustKernel GetKernel() const { return m_kernel; }
    // The adapted reference, row after row; empty when the blur found no
    // dust (the map is then empty).
    const std::vector<std::uint8_t>& GetResult() const { return m_result; }
    long GetWidth() const { return m_tiles.width; }
    long GetHeight() const { return m_tiles.height; }
    bool HasResult() const { return m_state == kFinished && !m_result.empty(); }
    const CDustPages& GetCompressedResult() const { return m_pages; }

private:
    IKelvraError* Fail(IKelvraError* error);
    IKelvraError* StartPass(int state);
    void EndPass();
    void RescaleTile(long index);
    void BlurTile(long index);
    void CopyTile(long index);
    IKelvraError* CompressStrip();
    void Report(long& done, long& total) const;

    IKelvraManager* m_manager;
    TlDustShooting m_shooting;
    TlDustCamera m_camera{};
    std::uint32_t m_sharpening = 0;
    bool m_rescale = false;
    bool m_blur = false;
    TlDustKernel m_kernel{0, 0};
    std::vector<std::int64_t> m_positionsX;
    std::vector<std::int64_t> m_positionsY;
    TlDustTiles m_tiles;
    std::vector<std::uint8_t> m_source;
    std::vector<std::uint8_t> m_result;
    long m_tile = 0;
    // Each pass walks the rows of tiles the other way from the one before.
    bool m_reversed = false;
    // The blur's column sums over one tile's width and where they read.
    std::vector<std::size_t> m_columnsAt;
    std::vector<long> m_fullColumns;
    std::vector<long> m_columns;
    int m_stage = 0;
    int m_stages = 2;
    bool m_foundDust = false;
    long m_strip = 0;
    CDustDeflater m_deflater;
    CDustPages m_pages;
    int m_state = kIdle;
};
