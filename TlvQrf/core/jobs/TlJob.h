// A job of the job queue: one unit of work that the worker thread runs.
// Derived jobs supply the paths, the kind and Run.
#pragma once

#include <cstdint>
#include <vector>

class CJobQueue;

class CJob {
public:
    // Job kinds that the queue accepts.
    enum Kind { kKindSingle = 1, kKindBatch = 2, kKindOther = 3 };

    CJob();
    virtual ~CJob();
    CJob(const CJob&) = delete;
    CJob& operator=(const CJob&) = delete;

    virtual void Release(bool destroy) = 0;
    virtual int GetKind() = 0;
    virtual const char* GetSourcePath() = 0;
    virtual void SetSourcePath(const char* path) = 0;
    virtual const char* GetTargetPath() = 0;
    virtual void SetTargetPath(const char* path) = 0;
    // Output-kind code from an output format and its flag.
    virtual void SetOutputFormat(std::uint32_t format, std::uint32_t flag);
    virtual void SetKindFromFlags(std::uint32_t flags);
    // Hands `object` to the owning queue's FreeObject; nothing without one.
    virtual void FreeThroughQueue(void* object);
    virtual bool GetOptionFlag();
    virtual void SetOptionFlag(bool option);
    virtual void SetPriority(int priority);
    virtual int GetPriority();
    // 0 on success.
    virtual long Run() = 0;
    virtual int SetQueue(CJobQueue* queue);
    // Removes the temporary file; a failure is ignored.
    virtual void DeleteTempFile();

    int GetOutputKind() const;
    // The output format that the output-kind code stands for.
    std::uint32_t GetOutputFormat() const;
    int GetKindFromFlags() const;
    CJobQueue* GetQueue() const;
    const char* GetTempFilePath() const;
    int GetSerialNumber() const;

protected:
    bool m_optionFlag = false;
    int m_outputKind = 5;
    int m_kindFromFlags = 2;
    std::uint32_t m_word = 0;
    bool m_deleteTempFile = false;
    bool m_spareFlag1 = false;
    bool m_spareFlag2 = true;
    char m_tempFileName[261] = {};
    CJobQueue* m_queue = nullptr;
    int m_priority = 0;
    std::uint32_t m_lastSaveResult = 0;
    int m_loadError = 0;
    int m_serialNumber;
};

// A batch of jobs: the queue takes its jobs one by one, in order, and never
// queues the batch itself.
class CJobBatch : public CJob {
public:
    int GetKind() override;
    std::vector<CJob*>& Jobs();

private:
    std::vector<CJob*> m_jobs;
};
