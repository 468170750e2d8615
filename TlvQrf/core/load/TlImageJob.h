// The image job of the save pipeline: on the worker thread it loads its
// source file (when it holds no image yet), prepares the attributes the
// save needs from its temporary settings file, and runs the save. Images,
// sub-images and the tag control it keeps are counted in the live-object
// registries; Release gives each use back.
#pragma once

#include "jobs/TlJob.h"
#include "load/TlImageJobOptions.h"
#include "settings/holders/TlvImageAttributes.h"
#include "settings/holders/TlvSettingsHolder.h"
#include "settings/record/TlBlob.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class IKelvraError;
class IKelvraImage;
class IKelvraManager;
class IKelvraTagControl;
class ITlImageJobOwner;

// Results of Run, which OnJobDone reports.
enum : long {
    kTlJobDone = 0,
    kTlJobLoadFailed = 1,
    kTlJobFailed = 2,        // the signal-processing copy or the save failed
    kTlJobSaveRefused = 3,   // the save answered 2
    kTlJobNoMemory = 4,      // or the save answered 3
    kTlJobNoSettingsFile = 5,
    kTlJobBadSettingsFile = 6,
    kTlJobCancelled = 8,     // or the save answered 6
};

// The job result of a save's answer.
long MapImageSaveResult(int saveResult);

class CImageJob : public CJob {
public:
    // `owner` makes the attributes and save targets (it must outlive the
    // job); a null manager means the library's.
    explicit CImageJob(ITlImageJobOwner& owner, IKelvraManager* manager = nullptr);
    // Gives back what Release has not, and deletes the temporary settings
    // file when the job owns it.
    ~CImageJob() override;

    virtual long PrepareSave(const char* settingsFile, CTlvImageAttributes& attributes);
    virtual std::uint32_t GetChannelLayout();
    virtual void SetChannelLayout(std::uint32_t layout);
    virtual std::uint32_t GetFileFormat();
    virtual std::uint32_t GetFormatOption();
    virtual void SetFormatOption(std::uint32_t option);
    virtual long LoadSource();
    virtual long Save();

    void Release(bool destroy) override;
    int GetKind() override;
    const char* GetSourcePath() override;
    void SetSourcePath(const char* path) override;
    const char* GetTargetPath() override;
    void SetTargetPath(const char* path) override;
    void SetOutputFormat(std::uint32_t format, std::uint32_t flag) override;
    long Run() override;
    virtual bool WasSaved();

    // Set-up from a request with a settings holder: the request's options,
    // the holder's loaded objects and its settings written to a new
    // temporary file. 0, or the code of TakeAttributes, or 5 when the
    // settings file cannot be made or written.
    long SetUpWithHolder(const TlImageJobOptions& options, CTlvImageAttributes& holder);
    // Set-up from a request without one: the settings block the source file
    // stores, or else the library's neutral settings file. 0, or 4 / 5.
    long SetUpFromFile(const TlImageJobOptions& options);

    // Load steps, reached through LoadSource.
    long RunLoadTask(CTlvImageAttributes& attributes);
    long TakeAttributes(CTlvImageAttributes& attributes);

    // What the job holds, for its owner.
    IKelvraImage* GetImage() const { return m_image; }
    IKelvraTagControl* GetTagControl() const { return m_tags; }
    const char* GetEmbeddedProfilePath() const { return m_embeddedProfile ? m_profilePath : nullptr; }
    int GetLoadError() const { return m_loadError; }
    std::uint32_t GetLastSaveResult() const { return m_lastSaveResult; }
    const TlImageJobOptions& Options() const { return m_options; }
    // The error chain of the last run's failure: what failed, wrapping the
    // loader's or the save's own chain. The caller owns it; null after a
    // run that succeeded or was cancelled.
    IKelvraError* TakeError();

protected:
    // Gives back every registered object and the profile buffer.
    void ReleaseHeld();

private:
    long TakeImages(CTlvImageAttributes& attributes);
    long CopySignalImage(CTlvImageAttributes& attributes);
    long TakeProfileBuffer(const CTlvImageAttributes& attributes);
    void CopyEmbeddedProfile();
    void HandImagesTo(CTlvImageAttributes& attributes);
    void TakeTagsInto(CTlvImageAttributes& attributes);
    long RunSave(CTlvImageAttributes& attributes);
    // Destroys an attributes record that may share the job's buffer.
    void DropAttributes(CTlvImageAttributes* attributes);
    bool MakeTempFile();
    // Keeps a failure of this run: `text` says what failed, `cause` (taken
    // over; may be null) why.
    void KeepFailure(long line, const char* text, IKelvraError* cause);

    IKelvraImage* m_image = nullptr;
    IKelvraImage* m_secondImage = nullptr;
    std::vector<TlvSubImage> m_subImages;
    IKelvraTagControl* m_tags = nullptr;
    unsigned char* m_profileBuffer = nullptr;
    std::size_t m_profileSize = 0;
    std::uint32_t m_profileWord = 0;
    bool m_storedSettings = false;
    bool m_embeddedProfile = false;
    char m_profilePath[kTlvPathSize] = {};
    CTlBlob m_iptc;
    bool m_signalProcessing = false;
    double m_minScaleRatio = -1.0;
    bool m_rawFlag = true;
    bool m_saved = false;
    std::int32_t m_fileFormat = 0;
    TlImageJobOptions m_options;
    ITlImageJobOwner& m_owner;
    IKelvraManager* m_manager;
    IKelvraError* m_error = nullptr;
};
