#include "runbase/ConvertKelvraError.h"

#include "kelvra/KelvraError.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

constexpr KelvraTag kLayer = KelvraFourCC('T', 'e', 's', 't');
constexpr KelvraTag kOuter = KelvraFourCC('O', 'u', 't', 'r');
constexpr std::uint32_t kSigcore = KelvraFourCC('s', 'i', 'g', 'p');

IKelvraError* Coded(std::uint32_t category, long code)
{
    return IKelvraError::Add(nullptr, kLayer, 10, category, code);
}

IKelvraError* Text(const char* text)
{
    return IKelvraError::Add(nullptr, kLayer, 20, text);
}

// Wraps `inner` as two further layers would pass it on.
IKelvraError* WrappedTwice(IKelvraError* inner)
{
    return KELVRA_WRAP(nullptr, kOuter, KELVRA_WRAP(nullptr, kLayer, inner));
}

// `first`, then `second` added to the same chain.
IKelvraError* Followed(IKelvraError* first, IKelvraError* second)
{
    return KELVRA_WRAP(first, kOuter, second);
}

struct ChainCase {
    const char* name;
    IKelvraError* (*make)();
    unsigned long expected;
};

void PrintTo(const ChainCase& c, std::ostream* out)
{
    *out << c.name;
}

class ConvertKelvraErrorChains : public ::testing::TestWithParam<ChainCase> {};

TEST_P(ConvertKelvraErrorChains, GiveTheResultCode)
{
    IKelvraError* chain = GetParam().make();
    EXPECT_EQ(GetParam().expected, ConvertKelvraError(chain));
    IKelvraError::Release(chain);
}

const ChainCase kChains[] = {
    {"None", [] { return static_cast<IKelvraError*>(nullptr); }, 0},
    // Memory ran out.
    {"OutOfMemory", [] { return Coded(kKelvraCategoryKelvra, kKelvraOutOfMemory); }, 0x1003},
    {"OutOfMemoryWrappedTwice", [] { return WrappedTwice(Coded(kKelvraCategoryKelvra, kKelvraOutOfMemory)); }, 0x1003},
    {"AppOutOfMemory", [] { return Coded(kKelvraCategoryApp, kKelvraOutOfMemory); }, 0x1003},
    {"SystemNotEnoughMemory", [] { return Coded(kKelvraCategoryOS, ERROR_NOT_ENOUGH_MEMORY); }, 0x1003},
    {"SystemOutOfMemory", [] { return WrappedTwice(Coded(kKelvraCategoryOS, ERROR_OUTOFMEMORY)); }, 0x1003},
    {"OutOfMemoryAfterAFailure",
     [] { return Followed(Coded(kKelvraCategoryKelvra, kKelvraUnsupportedFormat), Coded(kKelvraCategoryKelvra, 1005)); },
     0x1003},
    {"OutOfMemoryOutranksCancel", [] { return Followed(Text("Cancelled"), Coded(kKelvraCategoryKelvra, 1005)); },
     0x1003},
    // Cancelled.
    {"CancelledCode", [] { return Coded(kKelvraCategoryKelvra, kKelvraCancelled); }, 0x1002},
    {"CancelledText", [] { return Text("Cancelled"); }, 0x1002},
    {"AbortedTextWrappedTwice", [] { return WrappedTwice(Text("Aborted")); }, 0x1002},
    {"CancelAfterAFailure", [] { return Followed(Coded(kKelvraCategoryKelvra, 1007), Text("Aborted")); }, 0x1002},
    {"SystemCancelled", [] { return Coded(kKelvraCategoryOS, ERROR_CANCELLED); }, 0x1002},
    {"SigcoreStopped", [] { return WrappedTwice(Coded(kSigcore, 2001)); }, 0x1002},
    // Everything else failed.
    {"OtherCode", [] { return Coded(kKelvraCategoryKelvra, kKelvraUnsupportedFormat); }, 0x1008},
    {"OtherCodeWrappedTwice", [] { return WrappedTwice(Coded(kKelvraCategoryKelvra, 1007)); }, 0x1008},
    {"OtherText", [] { return Text("Filter chain error"); }, 0x1008},
    {"TextOnlyLikeCancel", [] { return Text("cancelled"); }, 0x1008},
    {"SystemCodeNumberedLikeOutOfMemory", [] { return Coded(kKelvraCategoryOS, 1005); }, 0x1008},
    {"SystemCodeNumberedLikeCancel", [] { return Coded(kKelvraCategoryOS, 1100); }, 0x1008},
    {"SigcoreFailure", [] { return Coded(kSigcore, 2000); }, 0x1008},
    {"OtherLibraryOutOfMemoryNumber", [] { return Coded(KelvraFourCC('z', 'l', 'i', 'b'), 1005); }, 0x1008},
};

INSTANTIATE_TEST_SUITE_P(Chains, ConvertKelvraErrorChains, ::testing::ValuesIn(kChains),
                         [](const ::testing::TestParamInfo<ChainCase>& info) { return std::string(info.param.name); });

// Every error of a chain, depth first, with what it carries and links to.
struct Snapshot {
    const IKelvraError* error;
    long code;
    std::string text;
    const IKelvraError* next;
    const IKelvraError* inner;
};

void Collect(const IKelvraError* chain, std::vector<Snapshot>& into)
{
    for (const IKelvraError* error = chain; error; error = error->GetNext()) {
        into.push_back({error, error->GetCode(), error->GetText(), error->GetNext(), error->GetInner()});
        Collect(error->GetInner(), into);
    }
}

bool operator==(const Snapshot& a, const Snapshot& b)
{
    return a.error == b.error && a.code == b.code && a.text == b.text && a.next == b.next && a.inner == b.inner;
}

TEST(ConvertKelvraError, LeavesTheChainToTheCaller)
{
    IKelvraError* chain = Followed(WrappedTwice(Coded(kKelvraCategoryKelvra, 1007)), Text("Aborted"));
    chain = KELVRA_ERROR(chain, kOuter, kKelvraOutOfMemory);
    std::vector<Snapshot> before;
    Collect(chain, before);

    EXPECT_EQ(0x1003u, ConvertKelvraError(chain));
    EXPECT_EQ(0x1003u, ConvertKelvraError(chain));

    std::vector<Snapshot> after;
    Collect(chain, after);
    EXPECT_TRUE(before == after);
    IKelvraError::Release(chain);
}

} // namespace
