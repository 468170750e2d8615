#include "serialize/TlAsciiReader.h"
#include "serialize/TlAsciiWriter.h"
#include "serialize/TlSerializeMgr.h"
#include "serialize/TlWinReader.h"
#include "serialize/TlWinWriter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

namespace {

enum class Backend { None, Text, Registry };

template <class Registry, class Text, class Interface>
Backend KindOf(const Interface* made)
{
    if (dynamic_cast<const Registry*>(made))
        return Backend::Registry;
    if (dynamic_cast<const Text*>(made))
        return Backend::Text;
    return Backend::None;
}

struct ModeCase {
    int mode;
    bool withStreams;
    Backend reader;
    Backend writer;
};

class SerializeMgrModes : public ::testing::TestWithParam<ModeCase> {};

TEST_P(SerializeMgrModes, HandsOutTheBackendTheModeSelects)
{
    const ModeCase& c = GetParam();
    std::istringstream in;
    std::ostringstream out;
    TlSerializeDescriptor descriptor;
    descriptor.mode = c.mode;
    descriptor.input = c.withStreams ? &in : nullptr;
    descriptor.output = c.withStreams ? &out : nullptr;

    CTlSerializeMgr* manager = CTlSerializeMgr::GetInstance();
    ASSERT_NE(nullptr, manager);
    const auto reader = manager->CreateReader(descriptor);
    const auto writer = manager->CreateWriter(descriptor);
    EXPECT_EQ(c.reader, (KindOf<CTlWinReader, CTlAsciiReader>(reader.get())));
    EXPECT_EQ(c.writer, (KindOf<CTlWinWriter, CTlAsciiWriter>(writer.get())));
}

INSTANTIATE_TEST_SUITE_P(
    Modes, SerializeMgrModes,
    ::testing::Values(
        // mode, streams -> reader, writer
        ModeCase{0, true, Backend::Text, Backend::Text}, ModeCase{1, true, Backend::Text, Backend::Text},
        ModeCase{2, true, Backend::Text, Backend::Text}, ModeCase{4, true, Backend::Registry, Backend::Registry},
        ModeCase{5, true, Backend::Registry, Backend::Text}, ModeCase{6, true, Backend::Text, Backend::Registry},
        ModeCase{7, true, Backend::Text, Backend::Text}, ModeCase{12, true, Backend::Text, Backend::Text},
        ModeCase{4, false, Backend::Registry, Backend::Registry},
        ModeCase{5, false, Backend::Registry, Backend::None}, ModeCase{6, false, Backend::None, Backend::Registry},
        ModeCase{1, false, Backend::None, Backend::None}, ModeCase{2, false, Backend::None, Backend::None}));

TEST(SerializeMgr, OneManagerHandsOutNewObjects)
{
    CTlSerializeMgr* manager = CTlSerializeMgr::GetInstance();
    EXPECT_EQ(manager, CTlSerializeMgr::GetInstance());
    std::ostringstream out;
    TlSerializeDescriptor descriptor;
    descriptor.mode = 2;
    descriptor.output = &out;
    const auto first = manager->CreateWriter(descriptor);
    const auto second = manager->CreateWriter(descriptor);
    ASSERT_NE(nullptr, first);
    EXPECT_NE(first.get(), second.get());
    first->WriteInt("Count", 3);
    EXPECT_EQ("Count=3\n", out.str());
}

// Exit codes of the process-end probe below.
const int kNothingHandedOut = 3;
const int kStillHandedOut = 4;

void ProbeAfterManagerDestroyed()
{
    std::_Exit(CTlSerializeMgr::GetInstance() ? kStillHandedOut : kNothingHandedOut);
}

TEST(SerializeMgrDeathTest, HandsOutNothingAfterItsDestructionAtProcessEnd)
{
    EXPECT_EXIT(
        {
            // Registered before the manager is made, so it runs after the
            // manager's destruction.
            std::atexit(ProbeAfterManagerDestroyed);
            CTlSerializeMgr::GetInstance();
            std::exit(0);
        },
        ::testing::ExitedWithCode(kNothingHandedOut), "");
}

} // namespace
