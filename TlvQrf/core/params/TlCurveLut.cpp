// The user's two curve groups as one set of 16-bit channel tables.
#include "params/TlToneLuts.h"
#include "params/TlCurveTables.h"

#include "params/TlLutInstall.h"
#include "params/TlLutTable.h"

#include "settings/curves/TlLut.h"
#include "settings/curves/TlLutGroup.h"

namespace {

constexpr int kEntries = 65536;
constexpr int kWordEntry = 2;
// Levels, curve and gamma through the master for the tone curves; contrast
// and brightness through the master for the second group.
constexpr int kFirstGroupFlags = 62;
constexpr int kSecondGroupFlags = 66;

// Channel `id` of the group (1 to 3). A group that lacks it (a damaged
// record) leaves that channel unchanged.
void EvaluateChannel(CTlLutGroup& group, int id, int flags, std::uint16_t* table)
{
    if (auto* element = dynamic_cast<CTlLut*>(group.Find(id))) {
        element->EvaluateDefault(table, kWordEntry, kEntries, kEntries, flags, 1.0);
        return;
    }
    for (int i = 0; i < kEntries; ++i)
        table[i] = static_cast<std::uint16_t>(i);
}

void EvaluateGroup(CTlLutGroup& group, int flags, STlLutTables& out)
{
    for (int c = 0; c < 3; ++c)
        EvaluateChannel(group, c + 1, flags, out.channel[c].get());
}

// False when the working tables cannot be allocated.
bool ComposeGroups(CTlLutGroup& first, CTlLutGroup& second, bool secondFirst, STlLutTables& out)
{
    TlLutTable firstTable = NewLutTable(kEntries);
    TlLutTable secondTable = NewLutTable(kEntries);
    if (!firstTable || !secondTable)
        return false;
    const std::uint16_t* applied = secondFirst ? secondTable.get() : firstTable.get();
    const std::uint16_t* then = secondFirst ? firstTable.get() : secondTable.get();
    for (int c = 0; c < 3; ++c) {
        EvaluateChannel(first, c + 1, kFirstGroupFlags, firstTable.get());
        EvaluateChannel(second, c + 1, kSecondGroupFlags, secondTable.get());
        ComposeLuts(applied, kWordEntry, kEntries, kEntries, then, kWordEntry, kEntries, kEntries,
                    out.channel[c].get(), kWordEntry, kEntries, kEntries);
    }
    return true;
}

} // namespace

bool BuildCurveTables(CTlLutGroup* first, CTlLutGroup* second, bool secondFirst, STlLutTables& out)
{
    if (!out.Allocate(kEntries))
        return false;
    if (first != nullptr && second != nullptr)
        return ComposeGroups(*first, *second, secondFirst, out);
    if (first != nullptr)
        EvaluateGroup(*first, kFirstGroupFlags, out);
    else if (second != nullptr)
        EvaluateGroup(*second, kSecondGroupFlags, out);
    return true;
}

bool SetCurveLut(CTlLutGroup* first, CTlLutGroup* second, CKelvraFilterCML* cml, CKelvraFilterLut* lut,
                 bool secondFirst)
{
    const STlLutTargets targets{cml, false, lut};
    if (!targets.IsSingle())
        return false;
    STlLutTables out;
    if (!BuildCurveTables(first, second, secondFirst, out))
        return false;
    if (first == nullptr && second == nullptr)
        return InstallLutTablesQuietly(targets, STlLutInstall{nullptr, 8, 8, 0, true});
    const std::uint16_t* pointers[3];
    out.Pointers(pointers);
    return InstallLutTablesQuietly(targets, STlLutInstall{pointers, 16, 16, 3, true});
}
