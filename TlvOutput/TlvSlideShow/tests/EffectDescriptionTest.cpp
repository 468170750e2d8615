// The effect description of each transition, read back atom by atom.
#include "EffectDescription.h"
#include "FourCC.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>

namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint32_t BigEndian(const Bytes& bytes, std::size_t at)
{
    return (std::uint32_t(bytes[at]) << 24) | (std::uint32_t(bytes[at + 1]) << 16) |
           (std::uint32_t(bytes[at + 2]) << 8) | bytes[at + 3];
}

std::uint32_t Code(const char* text)
{
    return (std::uint32_t(std::uint8_t(text[0])) << 24) | (std::uint32_t(std::uint8_t(text[1])) << 16) |
           (std::uint32_t(std::uint8_t(text[2])) << 8) | std::uint8_t(text[3]);
}

// (type, id) -> payload of one level of atoms.
std::map<std::pair<std::uint32_t, std::uint32_t>, Bytes> Atoms(const Bytes& bytes)
{
    std::map<std::pair<std::uint32_t, std::uint32_t>, Bytes> atoms;
    std::size_t at = 0;
    while (at + 12 <= bytes.size()) {
        const std::uint32_t size = BigEndian(bytes, at);
        EXPECT_GE(size, 12u);
        EXPECT_LE(at + size, bytes.size());
        if (size < 12 || at + size > bytes.size())
            break;
        atoms[{BigEndian(bytes, at + 4), BigEndian(bytes, at + 8)}] =
            Bytes(bytes.begin() + std::ptrdiff_t(at + 12), bytes.begin() + std::ptrdiff_t(at + size));
        at += size;
    }
    EXPECT_EQ(at, bytes.size());
    return atoms;
}

TEST(EffectDescriptionTest, EachSettingHasItsEntriesSourcesAndDirection)
{
    const struct {
        const char* name;
        std::uint32_t kind;
        int parameter;
        const char* extra; // "wpID", "angl" or none
        std::uint32_t extraValue;
        bool swapped;
    } cases[] = {
        {"Wipe Up", kEffectWipe, 1, "wpID", 2, false},
        {"Wipe Right", kEffectWipe, 2, "wpID", 1, true},
        {"Wipe Down", kEffectWipe, 3, "wpID", 2, true},
        {"Wipe Left", kEffectWipe, 4, "wpID", 1, false},
        {"Iris Open", kEffectIris, 1, "wpID", 119, true},
        {"Iris Close", kEffectIris, 2, "wpID", 119, false},
        {"Slide Right", kEffectSlide, 90, "angl", 90u << 16, false},
        {"Slide Left", kEffectSlide, 270, "angl", 270u << 16, false},
        {"Cross Fade", kEffectDissolve, 270, nullptr, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const EffectDescription description = MakeEffectDescription(c.kind, c.parameter);
        EXPECT_EQ(c.swapped, description.swapped);
        auto atoms = Atoms(description.atoms);
        EXPECT_EQ(c.kind, BigEndian(atoms[{TlFourCC("what"), 1}], 0));
        EXPECT_EQ(TlFourCC("srcB"), BigEndian(atoms[{TlFourCC("src "), 1}], 0));
        EXPECT_EQ(TlFourCC("srcA"), BigEndian(atoms[{TlFourCC("src "), 2}], 0));
        auto tween = Atoms(atoms[{TlFourCC("pcnt"), 1}]);
        EXPECT_EQ(3u, BigEndian(tween[{TlFourCC("twnt"), 1}], 0));
        const Bytes& data = tween[{TlFourCC("data"), 1}];
        ASSERT_EQ(8u, data.size());
        EXPECT_EQ(c.swapped ? 0u : 0x10000u, BigEndian(data, 0));
        EXPECT_EQ(c.swapped ? 0x10000u : 0u, BigEndian(data, 4));
        const std::size_t expected = 4 + (c.extra ? 1 : 0);
        EXPECT_EQ(expected, atoms.size());
        if (c.extra) {
            EXPECT_EQ(c.extraValue, BigEndian(atoms[{Code(c.extra), 1}], 0));
        }
    }
}

} // namespace
