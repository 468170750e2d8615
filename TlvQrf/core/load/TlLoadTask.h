// Opening an image file in three resumable steps: Begin creates the
// framework objects, opens the file, reads its tags and checks its format;
// Execute loads one band of the picture per call; Finish decides whether
// the file is a raw file and completes the image attributes. Codes are the
// load codes of load/TlLoadResult.h.
#pragma once

#include "kelvra/KelvraTypes.h"
#include "settings/holders/TlvImageAttributes.h"
#include "settings/loadpath/TlLoadTaskAccess.h"

class IKelvraError;
class IKelvraFileStream;
class IKelvraLoad;
class IKelvraManager;

class CLoadTask : private ITlLoadTaskAccess {
public:
    // Null: the library's imaging manager.
    explicit CLoadTask(IKelvraManager* manager = nullptr);
    CLoadTask(const CLoadTask&) = delete;
    CLoadTask& operator=(const CLoadTask&) = delete;
    // Releases a loader and a stream still held.
    ~CLoadTask();

    // Loads `file` into `attributes` (which must outlive the task's Finish).
    // An image the attributes held before is released first. `unused` is
    // not looked at.
    virtual long Begin(CTlvImageAttributes* attributes, const KelvraFile& file, bool unused, bool loadSubImages);
    // One load step; sets the finished flag once the picture is complete.
    virtual long Execute();
    // Completes the attributes when the load finished and was not aborted
    // (else 0), then releases the loader and the stream.
    virtual long Finish(bool keepGeometry, bool complete);
    virtual bool IsFinished() const;
    virtual void GetProgress(long& step, long& total) const;
    // The caller then stops calling Execute.
    virtual void Abort();

    // The error chain of the step that failed, for the caller to report
    // (it then owns it); null when none failed or the loader gave no chain.
    IKelvraError* TakeError();

private:
    // Keeps `error`; true when there was none.
    bool Succeeds(IKelvraError* error);
    long CreateObjects();
    long OpenAndStart();
    void ReleaseLoader();
    bool DecideRaw() const;

    // What the format check asks of the task.
    IKelvraDataSource* GetPicture() override;
    IKelvraTagControl* GetTagControl() override;
    KelvraLoadCallback GetProgressCallback() override;
    void KeepFormatCode(std::uint32_t formatCode) override;
    void KeepImageSize(std::uint32_t width, std::uint32_t height) override;

    IKelvraLoad* m_loader = nullptr;
    IKelvraFileStream* m_stream = nullptr;
    IKelvraManager* m_manager;
    CTlvImageAttributes* m_attributes = nullptr;
    KelvraFile m_file;
    bool m_loadSubImages = true;
    long m_progressStep = 0;
    long m_progressTotal = 0;
    bool m_finished = false;
    bool m_aborted = false;
    IKelvraError* m_error = nullptr;
};
