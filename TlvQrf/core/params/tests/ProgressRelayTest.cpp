// The progress relay between a raw-processing image's development and the
// running save's progress monitor, alone and on a real development.
#include "params/TlProgressRelay.h"

#include "frame/TlSaveProgress.h"

#include "DevelopTestSupport.h"
#include "filters/sigcore/TlSigcoreLibrary.h"

#include <string>
#include <vector>

using namespace develop_test;

namespace {

class RecordingSink : public ITlSaveProgressSink {
public:
    void Reset(long position, long total) override
    {
        calls.push_back("Reset " + std::to_string(position) + " " + std::to_string(total));
    }
    void Notify() override { calls.push_back("Notify"); }
    bool Progress(long position, long range) override
    {
        calls.push_back("Progress " + std::to_string(position) + " " + std::to_string(range));
        return stop;
    }
    void SetEnabled(bool) override { calls.push_back("SetEnabled"); }

    std::vector<std::string> calls;
    bool stop = false;
};

// Installs a sink as the save's monitor for the test's time.
class ProgressRelayTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TlSaveProgressState state;
        state.sink = &m_sink;
        m_previous = ExchangeSaveProgressState(state);
    }
    void TearDown() override { ExchangeSaveProgressState(m_previous); }

    RecordingSink m_sink;
    TlSaveProgressState m_previous;
};

} // namespace

TEST_F(ProgressRelayTest, PassesEachCodeOn)
{
    struct Case {
        long code, total;
        bool stop;
        bool goOn;
        const char* call; // null: the monitor hears nothing
    } const cases[] = {
        {-1, 0, false, true, "Reset 0 6"},
        {-2, 0, false, true, "Notify"},
        {-3, 0, false, true, nullptr},
        {-4, 0, false, true, nullptr},
        {-9, 0, true, true, nullptr},
        {0, 100, false, true, "Progress 0 100"},
        {42, 100, false, true, "Progress 42 100"},
        {42, 100, true, false, "Progress 42 100"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        m_sink.calls.clear();
        m_sink.stop = c.stop;
        CProgressRelay relay;
        EXPECT_EQ(c.goOn, relay.Progress(c.code, c.total));
        if (c.call == nullptr) {
            EXPECT_TRUE(m_sink.calls.empty());
        } else {
            ASSERT_EQ(1u, m_sink.calls.size());
            EXPECT_EQ(c.call, m_sink.calls[0]);
        }
    }
}

TEST_F(ProgressRelayTest, AnswersTheImageInItsOwnTerms)
{
    CProgressRelay relay;
    EXPECT_EQ(1, relay.OnSigProcProgress(3, 10));
    m_sink.stop = true;
    EXPECT_EQ(0, relay.OnSigProcProgress(4, 10));
    relay.OnSigProcEvent(CProgressRelay::kStarted, nullptr);
    const std::vector<std::string> expected = {"Progress 3 10", "Progress 4 10", "Reset 0 6"};
    EXPECT_EQ(expected, m_sink.calls);
}

TEST(ProgressRelayWithoutMonitor, EverythingGoesOn)
{
    const TlSaveProgressState previous = ExchangeSaveProgressState(TlSaveProgressState());
    CProgressRelay relay;
    for (long code : {-4L, -3L, -2L, -1L, 0L, 50L})
        EXPECT_TRUE(relay.Progress(code, 100)) << code;
    ExchangeSaveProgressState(previous);
}

namespace {

// Develops a small synthetic picture with a relay attached; answers the
// development's error.
IKelvraError* DevelopWithRelay()
{
    ManagerHolder holder;
    SyntheticPicture picture(holder.manager, 513, 64, 48);
    CSigProcImage& image = *picture.Developed();
    CProgressRelay relay;
    image.SetObserver(&relay);
    IKelvraError* error = image.Update();
    image.SetObserver(nullptr);
    return error;
}

} // namespace

TEST_F(ProgressRelayTest, FollowsARealDevelopment)
{
    ExpectOk(DevelopWithRelay());
    ASSERT_GE(m_sink.calls.size(), 2u);
    EXPECT_EQ("Reset 0 6", m_sink.calls.front());
    EXPECT_EQ("Notify", m_sink.calls.back());
    for (std::size_t i = 1; i + 1 < m_sink.calls.size(); ++i)
        EXPECT_EQ(0u, m_sink.calls[i].rfind("Progress ", 0)) << m_sink.calls[i];
}

TEST_F(ProgressRelayTest, AStopCancelsARealDevelopment)
{
    m_sink.stop = true;
    IKelvraError* error = DevelopWithRelay();
    ASSERT_NE(nullptr, error);
    EXPECT_EQ(2001, error->GetCode());
    IKelvraError::Release(error);
}
