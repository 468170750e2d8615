// What the fisheye tests share: capture tags that name a lens, and the name
// of the lens data file they install.
#pragma once

#include "kelvra/KelvraTagControl.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace fisheye_test {

constexpr char kLensFileName[] = "Tl0080.lns";

// Capture tags whose lens data names `lensCode` (version "0100": the code
// in byte 6).
class LensTags {
public:
    explicit LensTags(std::uint8_t lensCode)
    {
        EXPECT_EQ(nullptr, IKelvraTagControl::CreateTagControl(&m_tags));
        std::uint8_t data[31] = {'0', '1', '0', '0'};
        data[6] = lensCode;
        EXPECT_EQ(nullptr, m_tags->AddTag(kLensDataTag));
        EXPECT_EQ(nullptr, m_tags->SetTag(kLensDataTag, kLensDataType, sizeof data, data));
    }
    ~LensTags() { m_tags->Destroy(); }
    LensTags(const LensTags&) = delete;
    LensTags& operator=(const LensTags&) = delete;

    const IKelvraTagControl* Get() const { return m_tags; }

private:
    static constexpr std::uint32_t kLensDataTag = 0x80098;
    static constexpr std::uint32_t kLensDataType = 264;
    IKelvraTagControl* m_tags = nullptr;
};

} // namespace fisheye_test
