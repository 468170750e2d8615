// The dust map of one picture: its tone table pair and the correction mask
// (one byte per pixel, in 128ths of the light the dust let through) with
// the exclusion image beside it, stored as a `DstL` record.
#pragma once

#include "filters/dust/TlDustEngines.h"
#include "filters/dust/TlDustPages.h"

#include <cstdint>
#include <memory>
#include <vector>

struct CDustMapWork;

class CDustMap : public IDustMap {
public:
    enum : int { kIdle = 0, kFinished = 14 };

    explicit CDustMap(IKelvraManager* manager);
    ~CDustMap() override;

    IKelvraError* Begin(IDustAnalyzer* analyzer, IKelvraDataSource* picture, long plainLuminance,
                        long linearPicture) override;
    IKelvraError* Step(long& done, long& total) override;
    IKelvraError* Abort() override;

    std::size_t GetStoredSize() const override;
    IKelvraError* Store(std::size_t capacity, unsigned char* buffer) const override;
    IKelvraError* Load(std::size_t size, const unsigned char* bytes) override;

    IKelvraDataSource* GetCorrectionMask() const override;
    const std::uint16_t* GetToneTable(std::size_t* count) const override;

    int GetState() const { return m_state; }
    IKelvraDataSource* GetExclusionImage() const;

private:
    // What a finished map holds; a Load builds one aside and swaps it in.
    struct Contents {
        std::vector<std::uint16_t> table;
        std::vector<unsigned char> packedTable;
        long width = 0;
        long height = 0;
        bool flip = false;
        long angle = 0;
        IKelvraImage* mask = nullptr;
        IKelvraImage* exclusion = nullptr;
        CDustPages maskPages;
        CDustPages exclusionPages;

        Contents() = default;
        Contents(const Contents&) = delete;
        Contents& operator=(const Contents&) = delete;
        ~Contents();
        void Swap(Contents& other);
    };

    IKelvraError* Fail(IKelvraError* error);
    IKelvraError* StartOrienting();
    IKelvraError* OrientTile();
    IKelvraError* DevelopTile();
    void EndStage();
    IKelvraError* Prepare(long& done, long& total);
    IKelvraError* RunPassTile();
    IKelvraError* EndPass();
    IKelvraError* CompressStrip();
    IKelvraError* Finish();
    void Report(long& done, long& total) const;
    IKelvraError* LoadTable(const unsigned char* packed, std::uint32_t size, std::uint32_t count, Contents& into);
    IKelvraError* LoadImage(const unsigned char* packed, std::uint32_t size, Contents& into, CDustPages& pages,
                            IKelvraImage** image);
    void ReleaseWork();

    IKelvraManager* m_manager;
    Contents m_contents;
    std::unique_ptr<CDustMapWork> m_work;
    // The total of the build's progress, kept for its last report.
    long m_total = 1;
    int m_state = kIdle;
};
