// The run operations of a plug-in host whose plug-in leaves every pixel as
// it is, for stand-in hosts of tests that are about where plug-in filters
// stand rather than what their plug-ins do.
#pragma once

#include "filters/pluginfilter/TlFilterPluginHost.h"

#include <cstring>
#include <vector>

namespace plugin_test {

class PassThroughRuns : public ITlFilterPluginHost {
public:
    void SetImage(IKelvraDataSource*, double, double) override {}
    long BeginFilter(IKelvraDataSource* source, long, bool, const KelvraRect* rect) override
    {
        m_source = source;
        m_rect = rect != nullptr ? *rect : KelvraRect();
        return 0;
    }
    long PrepareFilter() override { return 0; }
    long RunFilter(TlPluginProgress, void*) override { return 0; }
    // Copies the source's pixels of the rectangle, interleaved.
    long ContinueFilter() override
    {
        KelvraPixelFormat format = 0;
        IKelvraTileGrid* grid = nullptr;
        if (m_source == nullptr || m_source->GetColorSpace(&format) != nullptr ||
            m_source->MapRect(m_rect, &grid) != nullptr || grid == nullptr)
            return -1;
        m_pixelBytes = long(KelvraBitsPerPixel(format) / 8);
        m_output.assign(std::size_t(m_rect.Width() * m_rect.Height() * m_pixelBytes), 0);
        for (long row = 0; row < grid->GetRowCount(); ++row) {
            for (long column = 0; column < grid->GetColumnCount(); ++column) {
                const void* data = nullptr;
                KelvraRect tileRect, locked;
                long rowBytes = 0;
                if (m_source->LockTile(grid, column, row, &data, &tileRect, &locked, &rowBytes) != nullptr)
                    continue;
                for (long y = locked.top; y < locked.bottom; ++y)
                    std::memcpy(&m_output[std::size_t(((y - m_rect.top) * m_rect.Width() + locked.left - m_rect.left) *
                                                      m_pixelBytes)],
                                static_cast<const unsigned char*>(data) + (y - tileRect.top) * rowBytes +
                                    (locked.left - tileRect.left) * m_pixelBytes,
                                std::size_t(locked.Width() * m_pixelBytes));
                m_source->UnlockTile(grid, column, row);
            }
        }
        grid->Release();
        return 0;
    }
    long FinishFilter() override { return 0; }
    const void* GetOutput(long* rowBytes, bool* interleaved) const override
    {
        *rowBytes = m_rect.Width() * m_pixelBytes;
        *interleaved = true;
        return m_output.data();
    }
    bool NeedsRun() const override { return false; }
    IKelvraError* ConvertError(long) const override { return nullptr; }

private:
    IKelvraDataSource* m_source = nullptr;
    KelvraRect m_rect;
    long m_pixelBytes = 0;
    std::vector<unsigned char> m_output;
};

} // namespace plugin_test
