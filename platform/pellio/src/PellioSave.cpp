// The saver: checks what it is given, then lets the format's writer run
// step by step. Until the last step succeeds the stream does not keep its
// output, so a failed or abandoned save leaves the target as it was.
#include "PellioErrors.h"
#include "PellioSink.h"
#include "pellio/KelvraSave.h"

#define SAVE_ERROR(code) PELLIO_ERROR(kPellioSaveTag, (code))

class CPellioSave : public IKelvraSave {
public:
    IKelvraError* Begin(IKelvraFileStream* stream, IKelvraTagControl* tags, std::uint32_t format,
                        std::uint32_t option) override;
    IKelvraError* GetInfo(KelvraSaveInfo* info) const override;
    IKelvraError* GetOutputSize(long* width, long* height) const override;
    IKelvraError* SetupWrite(IKelvraDataSource* main, const KelvraSaveEntry* list, long count) override;
    IKelvraError* SetupWrite(const KelvraSaveHeader* header, IKelvraDataSource* main, const KelvraSaveEntry* list,
                             long count) override;
    bool IsFinished() const override { return m_sink && m_done == m_sink->StepCount(); }
    void GetProgress(long* done, long* total) const override;
    IKelvraError* WriteStep() override;
    void Release() override;

private:
    IKelvraError* Setup(const KelvraSaveHeader* header, IKelvraDataSource* main, const KelvraSaveEntry* list,
                        long count);
    IKelvraError* MakeSink(PellioSavePlan plan);

    IKelvraFileStream* m_stream = nullptr;
    const PellioSaveFormat* m_rule = nullptr;
    std::uint32_t m_option = 0;
    std::vector<PellioTagValue> m_tags;
    std::unique_ptr<CPellioSink> m_sink;
    long m_done = 0;
    bool m_failed = false;
};

IKelvraError* IKelvraSave::CreateSave(IKelvraSave** save)
{
    return PellioCreate<CPellioSave>(kPellioSaveTag, save);
}

IKelvraError* CPellioSave::Begin(IKelvraFileStream* stream, IKelvraTagControl* tags, std::uint32_t format,
                                 std::uint32_t option)
{
    if (!stream)
        return SAVE_ERROR(kKelvraMissingObject);
    if (m_rule)
        return SAVE_ERROR(kKelvraNotReady);
    if (stream->GetMode() != kKelvraStreamWrite)
        return SAVE_ERROR(kPellioStreamState);
    const PellioSaveFormat* rule = PellioFindSaveFormat(format);
    if (!rule)
        return SAVE_ERROR(kKelvraUnsupportedFormat);
    if (tags) {
        if (IKelvraError* error = PellioReadTags(*tags, &m_tags))
            return KELVRA_WRAP(nullptr, kPellioSaveTag, error);
    }
    stream->SetKeepOnClose(false);
    m_stream = stream;
    m_rule = rule;
    m_option = option;
    return nullptr;
}

IKelvraError* CPellioSave::GetInfo(KelvraSaveInfo* info) const
{
    if (IKelvraError* error = PellioCheckRecord(kPellioSaveTag, info))
        return error;
    if (!m_rule)
        return SAVE_ERROR(kKelvraNotReady);
    info->formatCode = m_rule->format;
    info->imageCount = m_rule->imageCount;
    info->fixedSize = m_rule->container == PellioContainer::Direct ? 1 : 0;
    return nullptr;
}

IKelvraError* CPellioSave::GetOutputSize(long* width, long* height) const
{
    if (!width || !height)
        return SAVE_ERROR(kKelvraMissingObject);
    if (!m_rule || m_rule->container != PellioContainer::Direct)
        return SAVE_ERROR(kKelvraNotReady);
    PellioFixedSize(m_option, width, height);
    return nullptr;
}

IKelvraError* CPellioSave::SetupWrite(IKelvraDataSource* main, const KelvraSaveEntry* list, long count)
{
    return Setup(nullptr, main, list, count);
}

IKelvraError* CPellioSave::SetupWrite(const KelvraSaveHeader* header, IKelvraDataSource* main,
                                      const KelvraSaveEntry* list, long count)
{
    if (IKelvraError* error = PellioCheckRecord(kPellioSaveTag, header))
        return error;
    if (!header->block && header->length > 0)
        return SAVE_ERROR(kKelvraMissingObject);
    return Setup(header, main, list, count);
}

IKelvraError* CPellioSave::Setup(const KelvraSaveHeader* header, IKelvraDataSource* main,
                                 const KelvraSaveEntry* list, long count)
{
    if (!m_rule || m_sink)
        return SAVE_ERROR(kKelvraNotReady);
    return PellioGuarded(kPellioSaveTag, [&]() -> IKelvraError* {
        PellioSavePlan plan;
        if (IKelvraError* error = PellioPlanSave(*m_rule, m_option, main, list, count, &plan))
            return error;
        if (header) {
            const auto* block = static_cast<const std::uint8_t*>(header->block);
            plan.attached = true;
            plan.attachedOption = header->option;
            plan.attachedBlock.assign(block, block + header->length);
        }
        return MakeSink(std::move(plan));
    });
}

IKelvraError* CPellioSave::MakeSink(PellioSavePlan plan)
{
    if (m_rule->container == PellioContainer::Jpeg)
        m_sink = PellioMakeJpegSink(m_stream, m_option, std::move(plan), m_tags);
    else
        m_sink = PellioMakeTiffSink(m_stream, *m_rule, m_option, std::move(plan), m_tags);
    m_done = 0;
    return nullptr;
}

void CPellioSave::GetProgress(long* done, long* total) const
{
    if (done)
        *done = m_done;
    if (total)
        *total = m_sink ? m_sink->StepCount() : 0;
}

IKelvraError* CPellioSave::WriteStep()
{
    if (!m_sink || m_failed)
        return SAVE_ERROR(kKelvraNotReady);
    if (IsFinished())
        return nullptr;
    IKelvraError* error = PellioGuarded(kPellioSaveTag, [&] { return m_sink->RunStep(m_done); });
    if (error) {
        m_failed = true;
        return KELVRA_WRAP(nullptr, kPellioSaveTag, error);
    }
    if (++m_done == m_sink->StepCount())
        m_stream->SetKeepOnClose(true);
    return nullptr;
}

// The stream may already be gone: from Begin until the last step it keeps
// no output, so there is nothing to tell it.
void CPellioSave::Release()
{
    delete this;
}
