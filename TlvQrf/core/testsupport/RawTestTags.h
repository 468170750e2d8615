// Tag controls with chosen tags for the raw helpers' tests.
#pragma once

#include "pellio/Pellio.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace raw_test {

inline PellioTagsPtr MakeTags()
{
    IKelvraTagControl* tags = nullptr;
    IKelvraError* error = CreateTagControl(&tags);
    EXPECT_EQ(error, nullptr);
    IKelvraError::Release(error);
    return PellioTagsPtr(tags);
}

inline void SetBytes(IKelvraTagControl& tags, std::uint32_t id, std::uint32_t type, const void* data,
                     std::size_t size)
{
    IKelvraError* error = tags.AddTag(id);
    if (error == nullptr)
        error = tags.SetTag(id, type, static_cast<std::uint32_t>(size), data);
    EXPECT_EQ(error, nullptr) << "tag " << id;
    IKelvraError::Release(error);
}

inline void SetLong(IKelvraTagControl& tags, std::uint32_t id, std::uint32_t value)
{
    SetBytes(tags, id, kKelvraTagTypeLong, &value, sizeof value);
}

inline void SetText(IKelvraTagControl& tags, std::uint32_t id, const std::string& text)
{
    SetBytes(tags, id, kKelvraTagTypeText, text.c_str(), text.size() + 1);
}

} // namespace raw_test
