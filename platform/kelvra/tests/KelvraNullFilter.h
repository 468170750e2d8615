// A filter that is nothing but its four-character id: enough for the
// image's list of attached filters, which never asks a filter for more.
// Every other operation refuses with "not ready".
#pragma once

#include "kelvra/KelvraFilter.h"

namespace kelvra_image_test {

class CNullFilter : public IKelvraFilter {
public:
    explicit CNullFilter(KelvraTag tag) : m_tag(tag) {}

    KelvraTag GetFilterTag() const override { return m_tag; }
    long GetFilterID() const override { return long(m_tag); }
    const char* GetFilterName() const override { return "null"; }
    bool IsEnabled() const override { return false; }
    bool PassesThrough() const override { return true; }
    bool WantsWholeInput() const override { return false; }
    IKelvraManager* GetManager() const override { return nullptr; }

    IKelvraError* GetWidth(long*) override { return Refuse(); }
    IKelvraError* GetHeight(long*) override { return Refuse(); }
    IKelvraError* GetColorSpace(KelvraPixelFormat*) override { return Refuse(); }
    IKelvraError* GetResolution(double*) override { return Refuse(); }
    IKelvraError* GetFlip(bool*) override { return Refuse(); }
    IKelvraError* GetRotation(double*) override { return Refuse(); }
    IKelvraError* GetTileSize(long*) override { return Refuse(); }
    IKelvraError* GetPalette(KelvraPalette*) override { return Refuse(); }
    IKelvraError* TileExists(long, long, bool*) override { return Refuse(); }
    IKelvraError* LockTile(long, long, const void**, KelvraRect*, long*) override { return Refuse(); }
    IKelvraError* UnlockTile(long, long) override { return Refuse(); }
    IKelvraError* KelvraNotify(IKelvraDataSource*, long, void*) override { return Refuse(); }

    IKelvraError* Enable(bool, bool) override { return Refuse(); }
    IKelvraError* FilterPoint(double*, double*) override { return Refuse(); }
    IKelvraError* FilterPoint(long*, long*) override { return Refuse(); }
    IKelvraError* FilterRect(KelvraDblRect*) override { return Refuse(); }
    IKelvraError* FilterRect(KelvraRect*) override { return Refuse(); }
    IKelvraError* DefilterPoint(double*, double*) override { return Refuse(); }
    IKelvraError* DefilterPoint(long*, long*) override { return Refuse(); }
    IKelvraError* DefilterRect(KelvraDblRect*) override { return Refuse(); }
    IKelvraError* DefilterRect(KelvraRect*) override { return Refuse(); }
    IKelvraError* GenerateTile(IKelvraTile*, IKelvraDataSource* const*, long) override { return Refuse(); }
    IKelvraError* Process(IKelvraDataSource* const*, long, IKelvraImage*) override { return Refuse(); }
    IKelvraError* BeginProcess(void**, IKelvraDataSource* const*, long, IKelvraImage*) override { return Refuse(); }
    IKelvraError* ExecuteProcess(void*, long*, long*) override { return Refuse(); }
    IKelvraError* GetProcessInfo(void*, CKelvraProcessInfo**) override { return Refuse(); }
    IKelvraError* EndProcess(void*) override { return Refuse(); }
    IKelvraError* GetCacheUsage(long*) override { return Refuse(); }
    IKelvraError* SetCacheUsage(long) override { return Refuse(); }
    IKelvraError* AddWatcher(CKelvraFilterWatcher*) override { return Refuse(); }
    IKelvraError* RemoveWatcher(CKelvraFilterWatcher*) override { return Refuse(); }
    IKelvraError* DoAddWatcher(CKelvraFilterWatcher*) override { return Refuse(); }
    IKelvraError* DoRemoveWatcher(CKelvraFilterWatcher*) override { return Refuse(); }
    IKelvraError* NotifyWatchers(long, void*) override { return Refuse(); }
    IKelvraError* LockAndGenerate(long, long, const void**, KelvraRect*, long*) override { return Refuse(); }
    IKelvraError* CheckCache() override { return Refuse(); }
    IKelvraError* InvalidateCache(const KelvraRect*) override { return Refuse(); }
    IKelvraError* GetFilteredSize(IKelvraDataSource* const*, long, long*, long*) override { return Refuse(); }
    IKelvraError* GetFilteredColorSpace(IKelvraDataSource* const*, long, KelvraPixelFormat*) override
    {
        return Refuse();
    }
    IKelvraError* GetFilteredResolution(IKelvraDataSource* const*, long, double*) override { return Refuse(); }
    IKelvraError* GetFilteredTransform(IKelvraDataSource* const*, long, bool*, double*) override { return Refuse(); }
    IKelvraError* GetFilteredPalette(IKelvraDataSource* const*, long, KelvraPalette*) override { return Refuse(); }
    IKelvraError* FilterUser(IKelvraDataSource*, long, void*) override { return Refuse(); }
    IKelvraError* FilterData(IKelvraDataSource*, KelvraRect*) override { return Refuse(); }
    IKelvraError* FilterSize(IKelvraDataSource*, KelvraSizeChange*) override { return Refuse(); }
    IKelvraError* FilterColorSpace(IKelvraDataSource*, KelvraColorSpaceChange*) override { return Refuse(); }
    IKelvraError* FilterResolution(IKelvraDataSource*, KelvraResolutionChange*) override { return Refuse(); }
    IKelvraError* FilterTransform(IKelvraDataSource*, KelvraTransformChange*) override { return Refuse(); }
    IKelvraError* FilterPalette(IKelvraDataSource*, KelvraPalette*) override { return Refuse(); }
    IKelvraError* FilterDestroy(IKelvraDataSource*) override { return Refuse(); }
    IKelvraError* FilterUpdateAll(IKelvraDataSource*) override { return Refuse(); }
    IKelvraError* DoGenerateTile(IKelvraTile*, CKelvraProcessInfo*) override { return Refuse(); }
    IKelvraError* AllocateProcessInfo(CKelvraProcessInfo**) override { return Refuse(); }

private:
    IKelvraError* Refuse() const { return KELVRA_ERROR(nullptr, m_tag, kKelvraNotReady); }

    KelvraTag m_tag;
};

} // namespace kelvra_image_test
