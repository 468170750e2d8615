#include "settings/whitebalance/TlWhiteBalanceRules.h"

namespace TlWhiteBalanceDetail {
namespace {

using Family = CameraFamily;
using Group = PresetGroup;

// What else a row asks of the preset or the temperature besides its group.
enum class Condition { Always, Preset256, KelvinAbove5540, KelvinAtMost5540, MiredAtLeast167, MiredBelow167 };

struct GainRule {
    Family family;
    Group group;
    Condition condition;
    GainRow row;
};

// The camera maker's measurements, each row's coefficients in the order the
// formulas name them. The first rule that fits wins, so the preset-256 row
// of models 513/514 stands before their group D rows.
constexpr GainRule kRules[] = {
    {Family::Model260, Group::A, Condition::Always,
     {Linear(4.590888, -0.009634),
      Linear(-0.162228, 0.010275), 0.98, 0.96}},
    {Family::Model260, Group::B, Condition::Always,
     {Linear(3.931121, -0.007474),
      Linear(0.325573, 0.00645), 0.98, 0.96}},
    {Family::Model260, Group::C, Condition::Always,
     {Linear(3.46662, -0.00443),
      Linear(1.05094, 0.00138), 1, 1}},
    {Family::Model260, Group::D, Condition::Always,
     {Linear(3.394308, -0.005841),
      Linear(0.333725, 0.005494), 1, 1}},
    {Family::Model515, Group::A, Condition::Always,
     {Linear(3.18, -0.00577),
      Linear(0.7, 0.00779), 1, 1}},
    {Family::Model515, Group::B, Condition::Always,
     {Linear(3.41, -0.00662),
      Linear(0.402, 0.00785), 1, 1}},
    {Family::Model515, Group::C, Condition::Always,
     {Linear(3.4, -0.00586),
      Linear(-0.06, 0.00795), 1, 1}},
    {Family::Model515, Group::D, Condition::Always,
     {Linear(2.93, -0.00491),
      Linear(0.164, 0.00773), 1, 1}},
    {Family::Model516, Group::A, Condition::Always,
     {Linear(3.36, -0.00648),
      Linear(0.58, 0.00786), 1, 1}},
    {Family::Model516, Group::B, Condition::Always,
     {Linear(3.45, -0.00754),
      Linear(0.362, 0.00739), 1, 1}},
    {Family::Model516, Group::C, Condition::Always,
     {Linear(3.39, -0.00561),
      Linear(-0.29, 0.00855), 1, 1}},
    {Family::Model516, Group::D, Condition::Always,
     {Linear(3.02, -0.00541),
      Linear(-0.0957, 0.00833), 1, 1}},
    {Family::Model1026, Group::A, Condition::Always,
     {Quadratic(5.10369772250254, -0.0193157671903615, 2.41117136908234e-05),
      Quadratic(0.985304294992319, 0.00112741864804505, 2.20003750059635e-05), 1, 1}},
    {Family::Model1026, Group::B, Condition::Always,
     {Quadratic(3.7928745143522, -0.011237098696966, 1.17426924351001e-05),
      Quadratic(1.08040508900423, -0.00220958127744267, 2.6416062649355e-05), 1, 1}},
    {Family::Model1026, Group::C, Condition::Always,
     {Quadratic(3.11770146821195, -0.00328186168494345, -9.2405614550329e-06),
      Quadratic(0.734342047114455, 0.00632545065572829, -9.12828715910897e-06), 1, 1}},
    {Family::Model1026, Group::D, Condition::Always,
     {Quadratic(3.97658540717685, -0.0127584774912734, 1.45889759916133e-05),
      Quadratic(0.717170813034723, 0.00217390174642583, 1.24495722434085e-05), 1, 1}},
    {Family::Model513And514, Group::D, Condition::Preset256,
     {Cubic(9.74030665205471e-05, 0.0108084166183556, -3.80048239840715e-05, 3.51930225041871e-08),
      Cubic(-2.16619448270336e-05, -0.00238736024726668, 3.62186634566475e-05, -5.1626066272032e-08), 1, 1}},
    {Family::Model513And514, Group::A, Condition::Always,
     {Cubic(2.6630022358347, -0.00905129048810722, -1.35982332674418e-06, 2.54498493570654e-08),
      Cubic(-0.75225432494309, 0.0279830994902578, -0.000143436421966402, 2.87808163193451e-07), 1, 1}},
    {Family::Model513And514, Group::B, Condition::Always,
     {Cubic(4.44705009823775, -0.0359901419949426, 0.00011227505733758, -1.1942799909405e-07),
      Cubic(-1.75107127172934, 0.0421973198501932, -0.000227024396609467, 4.27360270758674e-07), 1, 1}},
    {Family::Model513And514, Group::C, Condition::Always,
     {Cubic(5.66104994320033, -0.0422060629722856, 0.000126479812492019, -1.58525632905485e-07),
      Cubic(-2.35261218534654, 0.0318751296052188, -9.8017111751071e-05, 1.08887641657417e-07), 1, 1}},
    {Family::Model513And514, Group::D, Condition::KelvinAbove5540,
     {Cubic(1.35348295024953, 0.00810689239529668, -2.73896201887646e-05, -1.6654658807364e-07),
      Cubic(-3.64225238841186, 0.0818702912594608, -0.000507678501814226, 1.07638878307926e-06), 1, 1}},
    {Family::Model513And514, Group::D, Condition::KelvinAtMost5540,
     {Cubic(6.21359029375504, -0.0572350032902117, 0.000194436411056218, -2.16377554966518e-07),
      Cubic(-26.8000759303044, 0.408293682847161, -0.00201371183033915, 3.33891947784245e-06), 1, 1}},
    {Family::Model1025, Group::A, Condition::Always,
     {Cubic(6.42887718202015, -3.35315498349155, 0.821757177563812, -0.0755281787073185),
      Cubic(2.04039773246425, -0.725459884969667, 0.566546081003069, -0.069345020676317), 1, 1}},
    {Family::Model1025, Group::B, Condition::Always,
     {Cubic(6.42182964004414, -3.66018115484944, 0.951165592960162, -0.0902230074578707),
      Cubic(1.29624093731383, 0.0236717779081764, 0.111365397957067, 0.00624063582678981), 1, 1}},
    {Family::Model1025, Group::D, Condition::Always,
     {Cubic(4.65665923440204, -1.80499396469174, 0.326504509043412, -0.0222242424006754),
      Cubic(1.13880404666781, 0.0747570426739464, 0.109021235861812, 0.00625000907822622), 1, 1}},
    {Family::Other, Group::A, Condition::Always,
     {Cubic(6.31216789812451, -3.30601099095181, 0.77991281033161, -0.0693187098818192),
      Cubic(1.50062410619389, -0.469207355608773, 0.409280289195002, -0.0475773757220364), 1, 1}},
    {Family::Other, Group::B, Condition::Always,
     {Cubic(3.04595254306983, 0.0231809338842397, -0.353164313953854, 0.060631090916256),
      Cubic(1.11942880422269, -0.0390102739107014, -0.0068868059760491, 0.0467967049704977), 1, 1}},
    {Family::Other, Group::C, Condition::Always,
     {Cubic(19.6105407712148, -26.4272441883714, 13.6667462981847, -2.39182863551374),
      Cubic(-2.66011628504981, 5.81790340702104, -3.00748031159632, 0.526221195558535), 1, 1}},
    {Family::Other, Group::D, Condition::MiredAtLeast167,
     {Cubic(1.06125953223272, 2.06986908841812, -1.01804699855471, 0.127224257465086),
      Cubic(1.2529, -0.617, 0.4128, -0.0481), 1, 1}},
    {Family::Other, Group::D, Condition::MiredBelow167,
     {Cubic(13.6318907783465, -21.8857815559445, 14.7448243261809, -3.41562970203907),
      Cubic(-3.33946938717871, 9.99874488862739, -7.66855580909005, 1.96769429366278), 1, 1}},
};

bool ConditionHolds(Condition condition, std::int32_t preset, std::uint16_t kelvin, double mired)
{
    switch (condition) {
    case Condition::Always: return true;
    case Condition::Preset256: return preset == 256;
    case Condition::KelvinAbove5540: return kelvin > 5540;
    case Condition::KelvinAtMost5540: return kelvin <= 5540;
    case Condition::MiredAtLeast167: return mired >= 167.0;
    case Condition::MiredBelow167: return mired < 167.0;
    }
    return false;
}

} // namespace

PresetGroup GroupOfPreset(std::int32_t preset)
{
    if ((preset >= 768 && preset <= 772) || preset == 4098)
        return Group::A;
    if (preset >= 1024 && preset <= 1028)
        return Group::B;
    if (preset == 1280)
        return Group::C;
    return Group::D;
}

CameraFamily FamilyOfModel(std::int16_t model)
{
    switch (model) {
    case 260: return Family::Model260;
    case 513:
    case 514: return Family::Model513And514;
    case 515: return Family::Model515;
    case 516: return Family::Model516;
    case 1025: return Family::Model1025;
    case 1026: return Family::Model1026;
    default: return Family::Other;
    }
}

const GainRow* FindGainRow(CameraFamily family, std::int32_t preset, std::uint16_t kelvin, double mired)
{
    const Group group = GroupOfPreset(preset);
    for (const GainRule& rule : kRules) {
        if (rule.family == family && rule.group == group && ConditionHolds(rule.condition, preset, kelvin, mired))
            return &rule.row;
    }
    return nullptr;
}

} // namespace TlWhiteBalanceDetail
