#include "kelvra/KelvraDisplayDestination.h"
#include "kelvra/KelvraImage.h"
#include "kelvra/KelvraManager.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

// Paints what it is shown into a picture of the source's size.
class PaintingDestination : public CKelvraDisplayDestination {
public:
    PaintingDestination(long width, long height) : width(width), picture(std::size_t(width * height), 0) {}

    IKelvraError* OnData(const KelvraRect& rect, const void* data, long rowBytes) override
    {
        ++blocks;
        for (long y = rect.top; y < rect.bottom; ++y) {
            const auto* row = static_cast<const std::uint8_t*>(data) + (y - rect.top) * rowBytes;
            for (long x = rect.left; x < rect.right; ++x)
                picture[std::size_t(y * width + x)] = row[x - rect.left];
        }
        return nullptr;
    }

    long width;
    std::vector<std::uint8_t> picture;
    int blocks = 0;
};

void Check(IKelvraError* error)
{
    EXPECT_EQ(nullptr, error);
    IKelvraError::Release(error);
}

class KelvraDisplayTest : public ::testing::Test {
protected:
    KelvraDisplayTest()
    {
        Check(IKelvraManager::_CreateKelvraManager(0, nullptr, 0, 0, 0, &m_manager));
        Check(m_manager->CreateImage(&m_image, 0));
        Check(m_image->SetSize(kWidth, kHeight));
        Check(m_image->SetColorSpace(kKelvraGrey8));
        for (long i = 0; i < kWidth * kHeight; ++i)
            m_pixels.push_back(std::uint8_t(i * 7));
        Check(KelvraWriteRect(m_image, KelvraRect(0, 0, kWidth, kHeight), m_pixels.data(), kWidth));
    }
    ~KelvraDisplayTest() override
    {
        m_image->Release();
        m_manager->Release();
    }

    static const long kWidth = 150;
    static const long kHeight = 100;
    IKelvraManager* m_manager = nullptr;
    IKelvraImage* m_image = nullptr;
    std::vector<std::uint8_t> m_pixels;
};

TEST_F(KelvraDisplayTest, ConnectingQueuesTheWholeSourceAndPullShowsIt)
{
    PaintingDestination display(kWidth, kHeight);
    Check(KelvraDataConnect(m_image, &display));
    EXPECT_FALSE(display.IsIdle());
    Check(display.Pull(2)); // a few blocks at a time, as a timer would
    EXPECT_EQ(2, display.blocks);
    Check(display.Pull());
    EXPECT_TRUE(display.IsIdle());
    EXPECT_EQ(6, display.blocks); // 3 x 2 tiles of 64
    EXPECT_EQ(m_pixels, display.picture);
}

TEST_F(KelvraDisplayTest, ChangesQueueOnlyTheirBlocksOnce)
{
    PaintingDestination display(kWidth, kHeight);
    Check(KelvraDataConnect(m_image, &display));
    Check(display.Pull());
    display.blocks = 0;

    KelvraRect first(5, 5, 10, 10), second(20, 30, 40, 40), third(100, 70, 120, 90);
    Check(KelvraSendDataNotification(m_image, kKelvraNotifyData, &first));
    Check(KelvraSendDataNotification(m_image, kKelvraNotifyData, &second)); // same tile as the first
    Check(KelvraSendDataNotification(m_image, kKelvraNotifyData, &third));
    Check(display.Pull());
    EXPECT_EQ(2, display.blocks);

    Check(KelvraSendDataNotification(m_image, kKelvraNotifyData, &first));
    display.Reset();
    EXPECT_TRUE(display.IsIdle());
}

TEST_F(KelvraDisplayTest, WithoutSourcePullIsAnError)
{
    PaintingDestination display(1, 1);
    IKelvraError* error = display.Pull();
    ASSERT_NE(nullptr, error);
    EXPECT_TRUE(error->HasCode(kKelvraNotReady));
    IKelvraError::Release(error);
}

} // namespace
