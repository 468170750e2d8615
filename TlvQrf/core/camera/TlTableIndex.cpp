// The table index by white-balance class.
#include "camera/TlWhiteBalanceRules.h"

namespace {

constexpr int kFixedColumn = 7;

TlMatrixSet SetOfClass(std::int32_t wbClass)
{
    return wbClass < 100 ? TlMatrixSet::C : wbClass < 200 ? TlMatrixSet::A : TlMatrixSet::B;
}

class IndexChooser {
public:
    IndexChooser(const TlCameraProfileParams& p, const TlCameraTables& t, TlCameraSetUpState& s)
        : params(p), tables(t), state(s), set(SetOfClass(s.wbClass))
    {
    }

    bool Choose();

private:
    void Take(int column) { state.tableIndex = TlIndexFromTable(tables, set, params, column); }
    bool ModeFourC() const { return set == TlMatrixSet::C && params.colourMode == 4; }
    void KelvinRule(std::int32_t kelvin, std::int32_t subMode);
    void ModeFourKelvinRule(std::int32_t kelvin, std::int32_t subMode);
    void PresetRule();
    void FixedEntry() { Take(ModeFourC() && state.mode4Variant ? 6 : kFixedColumn); }
    void ToneRule(std::int32_t value)
    {
        set = TlMatrixSet::C;
        state.tableIndex = TlToneRuleIndex(tables, params, value);
    }
    bool HueIndexItself();
    bool HueKelvin();
    void GainsKelvin(bool twice);
    void Gains(std::int32_t* index, std::int32_t* subMode) { TlGainsToIndexAndSubMode(tables, params, index, subMode); }
    bool ClassFour();
    bool KX6ModeFour();

    const TlCameraProfileParams& params;
    const TlCameraTables& tables;
    TlCameraSetUpState& state;

public:
    TlMatrixSet set;
};

void IndexChooser::KelvinRule(std::int32_t kelvin, std::int32_t subMode)
{
    if (ModeFourC())
        return ModeFourKelvinRule(kelvin, subMode);
    const bool flagColumn = params.wbFlag && (state.wbClass == 2 || state.wbClass == 102);
    if (flagColumn || subMode >= 3)
        return Take(kFixedColumn);
    if (subMode == 2)
        return Take(kelvin <= 3499 ? 3 : 4);
    if (subMode == 1)
        return Take(kelvin <= 3499 ? 5 : 6);
    Take(kelvin <= 3499 ? 0 : kelvin <= 6649 ? 1 : 2);
}

void IndexChooser::ModeFourKelvinRule(std::int32_t kelvin, std::int32_t subMode)
{
    if (subMode == 3)
        return Take(6);
    if (subMode == 1 || subMode == 2) {
        state.mode4Variant = true;
        return Take(kFixedColumn);
    }
    if (subMode != 0 && subMode != 4)
        return Take(kFixedColumn);
    static const std::int32_t splits[] = {3700, 4250, 4750, 5500, 6650};
    int column = 0;
    while (column < 5 && kelvin >= splits[column])
        ++column;
    Take(column);
}

void IndexChooser::PresetRule()
{
    if (params.wbFlag)
        return Take(kFixedColumn);
    std::int32_t word = params.presetWord;
    const bool fromTagKelvin = (params.cameraKind == kTlCameraKX8A || params.cameraKind == kTlCameraKX5) &&
                               params.wbTagWords[0] == 8;
    if (fromTagKelvin) {
        const std::int32_t kelvin = params.wbTagWords[1];
        word = kelvin < 3500 ? 1 : kelvin < 6650 ? 3 : 6;
    }
    const bool low = params.kelvin < 3500;
    switch (word) {
    case 2: return Take(params.subMode == 2 ? (low ? 3 : 4) : (low ? 5 : 6));
    case 3:
    case 6: return Take(1);
    case 4: return Take(kFixedColumn);
    case 5: return Take(2);
    default: return Take(0);
    }
}

// Classes 1, 101, 201: the hue index value is the table index.
bool IndexChooser::HueIndexItself()
{
    std::int32_t value = state.hueValue;
    if (state.wbClass == 201) {
        const bool setB = params.colourMode == 5 || params.colourMode == 6 ||
                          (params.colourMode == 3 && params.cameraKind == kTlCameraKX5);
        set = setB ? TlMatrixSet::B : TlMatrixSet::A;
    }
    const std::int32_t base = set == TlMatrixSet::A ? 500 : set == TlMatrixSet::B ? 700 : 0;
    if (value < base)
        value += base;
    if (value < 0)
        return false;
    state.tableIndex = std::uint32_t(value);
    if (state.wbClass == 1 && params.colourMode == 4) {
        const bool flashLike = params.wbFlag || params.subMode == 3 || (params.wbSource == 2 && params.presetWord == 4);
        const bool lampLike = !params.wbFlag && (params.subMode == 1 || (params.wbSource == 2 && params.presetWord == 2));
        if ((value >= 84 && value <= 90 && flashLike) || (value >= 91 && value <= 97 && lampLike))
            state.mode4Variant = true;
    }
    return true;
}

bool IndexChooser::HueKelvin()
{
    TlKelvinChoice choice;
    if (!TlHueToKelvin(params, state, &choice))
        return false;
    KelvinRule(choice.kelvin, choice.subMode);
    return true;
}

// Classes 11, 13, 212 without the fixed entry.
void IndexChooser::GainsKelvin(bool twice)
{
    const std::int32_t kelvin = IndexToKelvin(TlGainsToIndex(tables, params, params.subMode));
    KelvinRule(kelvin, params.subMode);
    if (twice)
        KelvinRule(kelvin, params.subMode == 2 ? 1 : params.subMode);
}

bool IndexChooser::ClassFour()
{
    const std::int32_t c = state.wbClass;
    if (params.wbFlag) {
        if (c == 4)
            FixedEntry();
        else
            KelvinRule(5000, 3);
        return true;
    }
    std::int32_t index = 0, subMode = 0;
    Gains(&index, &subMode);
    KelvinRule(IndexToKelvin(index), subMode);
    return true;
}

// Classes 6 to 9: the KX6 in colour mode 4.
bool IndexChooser::KX6ModeFour()
{
    const std::int32_t c = state.wbClass;
    if (params.wbFlag && c != 9) {
        FixedEntry();
        return true;
    }
    std::int32_t index = 0, subMode = 0;
    if (c == 6) {
        subMode = params.subMode;
        if (subMode == 0 || subMode == 2 || subMode == 4)
            ToneRule(TlClampByBrightness(tables, params.brightness, subMode, params.colourByte8));
        else
            KelvinRule(params.kelvin, subMode);
        return true;
    }
    if (c == 9) {
        index = KelvinToIndex(params.kelvin);
        subMode = params.subMode;
    } else if (c == 7) {
        TlPresetTableEntry(tables, params, &index, &subMode);
    } else {
        Gains(&index, &subMode);
    }
    if (subMode != 0)
        KelvinRule(c == 9 ? params.kelvin : IndexToKelvin(index), subMode);
    else
        ToneRule(index);
    return true;
}

bool IndexChooser::Choose()
{
    const std::int32_t c = state.wbClass;
    switch (c) {
    case 1:
    case 101:
    case 201: return HueIndexItself();
    case 2:
    case 102:
    case 202: return HueKelvin();
    case 3:
    case 103:
    case 203: PresetRule(); return true;
    case 4:
    case 104:
    case 204: return ClassFour();
    case 5:
    case 105:
    case 205: KelvinRule(params.kelvin, params.subMode); return true;
    case 106:
    case 206: KelvinRule(5000, 0); return true;
    case 6:
    case 7:
    case 8:
    case 9: return KX6ModeFour();
    case 10:
        state.fixedProfile = true;
        state.tableIndex = 1;
        return true;
    case 12:
    case 14:
        if (params.wbFlag) {
            FixedEntry();
            return true;
        }
        {
            std::int32_t index = 0, subMode = 0;
            Gains(&index, &subMode);
            KelvinRule(IndexToKelvin(index), c == 14 && subMode == 2 ? 1 : subMode);
        }
        return true;
    case 11:
    case 13:
    case 212:
        if (params.wbFlag || params.subMode == 3) {
            if (c == 212)
                KelvinRule(5000, 3);
            else
                FixedEntry();
            return true;
        }
        GainsKelvin(c == 13);
        return true;
    case 15: KelvinRule(params.kelvin, params.subMode == 2 ? 1 : params.subMode); return true;
    default: return false;
    }
}

} // namespace

bool TlChooseTableIndex(const TlCameraProfileParams& params, const TlCameraTables& tables, TlCameraSetUpState* state)
{
    state->wbClass = TlWhiteBalanceClass(params);
    state->tableIndex = kTlNoTableIndex;
    state->fixedProfile = false;
    state->mode4Variant = false;
    if (state->wbClass < 0)
        return false;
    IndexChooser chooser(params, tables, *state);
    if (!chooser.Choose() || state->tableIndex == kTlNoTableIndex)
        return false;
    state->set = chooser.set;
    return true;
}
