// An image whose pixels the signal-processing library develops from a raw
// mosaic: it keeps the mosaic (and an optional smaller alternative one), the
// develop parameters and the maker table from the raw file's tags, develops
// the whole mosaic into a 16-bit RGB output image when first asked for
// pixels, and answers every pixel query from that output.
#pragma once

#include "filters/sigcore/TlSigProcImageApi.h"
#include "kelvra/KelvraImage.h"
#include "kelvra/KelvraManager.h"
#include "kelvra/KelvraTagControl.h"
#include "pellio/KelvraLoad.h"

#include <cstdint>
#include <vector>

class CSigProcImage;

// Told of a development: OnSigProcEvent with -3 when attached, -4 when
// detached, -1 when a development starts and -2 when it ended; progress
// answers 0 to cancel the development.
class ISigProcObserver {
public:
    virtual void OnSigProcEvent(long code, CSigProcImage* image) = 0;
    virtual int OnSigProcProgress(long done, long total) = 0;

protected:
    ~ISigProcObserver() = default;
};

constexpr int kSigProcParamCount = 6;

class CSigProcImage : public IKelvraImage, public ISigProcImageSources {
public:
    explicit CSigProcImage(IKelvraManager* manager);

    // Takes `primary` (owned from now on) as the mosaic, the maker table
    // from `tags`, and the first 0x10020403 sub-image of `rawFile` as the
    // second source.
    IKelvraError* Initialize(IKelvraLoad* rawFile, const IKelvraTagControl* tags, IKelvraImage* primary);
    IKelvraError* SetParams(const int (&params)[kSigProcParamCount], bool notify);
    void GetParams(int (&params)[kSigProcParamCount]) const;
    void SetObserver(ISigProcObserver* observer);
    ISigProcObserver* GetObserver() const { return m_observer; }
    IKelvraError* SelectSource(bool useSecond, bool notify) override;
    bool IsSecondSourceSelected() const { return m_useSecondSource; }
    // The mosaics the image develops from (not owned by the caller); the
    // second is null when the file has none.
    IKelvraImage* GetPrimarySource() const { return m_primarySource; }
    IKelvraImage* GetSecondSource() const { return m_secondSource; }
    // The developed size of the primary source, whichever source is selected.
    IKelvraError* GetSize(long* width, long* height);
    IKelvraError* CopyTo(CSigProcImage* target);
    IKelvraError* SetWhiteBalance(int gainA, int gainB, int mode, bool* modeChanged);
    // The maker table as the library will read it.
    const std::vector<std::uint8_t>& GetMakerTable() const { return m_makerTable; }
    // Develops when something changed since the last development.
    IKelvraError* Update();
    bool IsStale() const { return m_stale; }

    // The data source.
    IKelvraError* GetWidth(long* width) override;
    IKelvraError* GetHeight(long* height) override;
    IKelvraError* GetColorSpace(KelvraPixelFormat* format) override;
    IKelvraError* GetResolution(double* dpi) override;
    IKelvraError* GetFlip(bool* flip) override;
    IKelvraError* GetRotation(double* degrees) override;
    IKelvraError* GetTileSize(long* size) override;
    IKelvraError* GetPalette(KelvraPalette* palette) override;
    using IKelvraDataSource::GetTile;
    using IKelvraDataSource::LockTile;
    using IKelvraDataSource::TileExists;
    using IKelvraDataSource::UnlockTile;
    IKelvraError* TileExists(long column, long row, bool* exists) override;
    IKelvraError* GetTile(long column, long row, KelvraRect* rect) override;
    IKelvraError* LockTile(long column, long row, const void** data, KelvraRect* rect, long* rowBytes) override;
    IKelvraError* UnlockTile(long column, long row) override;
    IKelvraError* GetDataSize(std::size_t* size) override;
    IKelvraError* GetData(void* buffer, std::size_t size) override;
    IKelvraError* GetPixel(long x, long y, void* pixel) override;

    // The image.
    void Release() override;
    IKelvraManager* GetManager() const override { return m_manager; }
    IKelvraError* SetSize(long width, long height) override;
    IKelvraError* SetColorSpace(KelvraPixelFormat format) override;
    IKelvraError* SetResolution(double dpi) override;
    IKelvraError* SetTransform(bool flip, double rotation, long reserved) override;
    IKelvraError* SetPalette(const KelvraPalette& palette) override;
    IKelvraError* GetStripHeight(long* rows) override;
    IKelvraError* AppendRows(const void* rows, long count, long rowBytes) override;
    long GetRowsWritten() const override;
    IKelvraError* LockTileForWrite(long column, long row, void** data, KelvraRect* rect, long* rowBytes) override;
    IKelvraError* UnlockTileForWrite(long column, long row, bool modified) override;
    IKelvraError* AttachFilter(IKelvraFilter* filter) override;
    IKelvraError* DetachFilter(IKelvraFilter* filter) override;
    IKelvraFilter* FindFilter(KelvraTag id) const override;

private:
    ~CSigProcImage() override;

    IKelvraImage* CurrentSource() const;
    IKelvraError* Unsupported(long line) const;
    IKelvraError* ForwardReady(long line);
    IKelvraError* Develop(IKelvraImage* source);
    IKelvraError* PrepareOutput(long width, long height);
    IKelvraError* CopyImages(CSigProcImage* target) const;
    void SetPrimary(IKelvraImage* primary);
    void DropSecondSource();
    static int __stdcall OnProgress(int done, int total, void* context);

    IKelvraManager* m_manager;
    int m_params[kSigProcParamCount] = {128, 128, 0, 0, 256, 256};
    bool m_useSecondSource = false;
    bool m_stale = true;
    std::vector<std::uint8_t> m_makerTable;
    ISigProcObserver* m_observer = nullptr;
    double m_resolution = 300.0;
    std::uint16_t m_savedPairs[8][2] = {};
    bool m_pairsSaved = false;
    int m_whiteBalanceMode = 0;
    IKelvraImage* m_primarySource = nullptr;
    IKelvraImage* m_secondSource = nullptr;
    IKelvraImage* m_output = nullptr;
    bool m_ownsPrimary = true;
};
