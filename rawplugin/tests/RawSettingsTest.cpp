// The stored settings in the registry, the scripting descriptor and the
// resources the image editor reads from the plug-in file.
#include "RawPluginTestSupport.h"

#include "PsPluginResources.h"
#include "TlRawSettings.h"

#include <cstring>
#include <iterator>

using namespace rawplugin_test;

namespace {

const std::string& SmallRaw()
{
    return Fixture("small", "--model 257 --width 192 --height 128");
}

TEST(RawSettingsTest, StoredSettingsReadAndWriteAsTheirDefaultsSay)
{
    SettingsKey key;
    EXPECT_TRUE(TlRawReadNoticeWanted());
    EXPECT_FALSE(TlRawReadSixMegapixels());
    const struct {
        unsigned long stored;
        bool notice;
        bool six;
    } cases[] = {{5, true, false}, {0, false, false}, {1, true, true}, {2, true, false}};
    for (const auto& c : cases) {
        key.Set("IsMessageBoxAppear", c.stored);
        key.Set("IsKX7B6MSetting", c.stored);
        EXPECT_EQ(c.notice, TlRawReadNoticeWanted()) << c.stored;
        EXPECT_EQ(c.six, TlRawReadSixMegapixels()) << c.stored;
    }
    for (int value : {1, 0, 7, -1}) {
        TlRawWriteNoticeWanted(value);
        TlRawWriteSixMegapixels(value);
        EXPECT_EQ(value == 1 ? 1 : 0, key.Get("IsMessageBoxAppear")) << value;
        EXPECT_EQ(value == 1 ? 1 : 0, key.Get("IsKX7B6MSetting")) << value;
    }
}

// Opens the small file with `descriptor` after a first file played with
// white balance 2, exposure 1.0, rotation 180 and 6 MP.
PsFormatHostResult OpenAfterFirst(const std::vector<PsDescriptorValue>& descriptor, PsResult closeResult = 0)
{
    InProcessHost host;
    PsFormatHostOptions first;
    first.hasDescriptor = true;
    first.descriptor = Descriptor(2, 1.0, 180, true);
    EXPECT_EQ(kPsNoError, host.Open(SmallRaw(), first).start);
    PsFormatHostOptions second;
    second.hasDescriptor = true;
    second.descriptor = descriptor;
    second.readCloseResult = closeResult;
    PsFormatHostResult result = host.Open(SmallRaw(), second);
    host.ForgetData();
    return result;
}

void ExpectRecorded(const PsFormatHostResult& result, PsKey balance, double exposure, int rotation, PsKey size)
{
    ASSERT_TRUE(result.hasRecorded);
    ASSERT_EQ(4u, result.recorded.size());
    EXPECT_EQ(PsFourCC('k', 'w', 'b', 'O'), result.recorded[0].key);
    EXPECT_EQ(PsFourCC('t', 'w', 'b', 'E'), result.recorded[0].enumType);
    EXPECT_EQ(balance, result.recorded[0].enumValue);
    EXPECT_EQ(PsFourCC('k', 'e', 'x', 'F'), result.recorded[1].key);
    EXPECT_DOUBLE_EQ(exposure, result.recorded[1].number);
    EXPECT_EQ(PsFourCC('k', 'r', 't', 'I'), result.recorded[2].key);
    EXPECT_EQ(rotation, result.recorded[2].integer);
    EXPECT_EQ(PsFourCC('k', 'k', 'b', 'O'), result.recorded[3].key);
    EXPECT_EQ(PsFourCC('k', 'b', 's', 'E'), result.recorded[3].enumType);
    EXPECT_EQ(size, result.recorded[3].enumValue);
}

TEST(RawSettingsTest, DescriptorsRoundTripAndChangeOnlyWhatTheyHold)
{
    ScriptedUi ui;
    const PsKey kFl = PsFourCC('W', 'B', 'F', 'l'), kSh = PsFourCC('W', 'B', 'S', 'h');
    const PsKey kUc = PsFourCC('W', 'B', 'U', 'c');
    const PsKey kB10 = PsFourCC('K', 'B', '1', '0'), kB06 = PsFourCC('K', 'B', '0', '6');
    ExpectRecorded(OpenAfterFirst(Descriptor(5, -0.5, 270, false)), kSh, -0.5, 270, kB10);
    // Only the rotation: the rest stays as the first file left it.
    ExpectRecorded(OpenAfterFirst({PsDescriptorValue::Integer(PsFourCC('k', 'r', 't', 'I'), 90)}), kFl, 1.0, 90, kB06);
    // Values outside what the dialog offers: an unknown balance reads as 0,
    // a rotation that is no right angle changes nothing, an exposure is limited.
    const PsKey unknown = PsFourCC('W', 'B', 'z', 'z');
    ExpectRecorded(OpenAfterFirst({PsDescriptorValue::Enumerated(PsFourCC('k', 'w', 'b', 'O'),
                                                                 PsFourCC('t', 'w', 'b', 'E'), unknown),
                                   PsDescriptorValue::Integer(PsFourCC('k', 'r', 't', 'I'), -90),
                                   PsDescriptorValue::Float(PsFourCC('k', 'e', 'x', 'F'), 7.5)}),
                   kUc, 2.0, 180, kB06);
    ExpectRecorded(OpenAfterFirst({PsDescriptorValue::Integer(PsFourCC('k', 'r', 't', 'I'), 45),
                                   PsDescriptorValue::Float(PsFourCC('k', 'e', 'x', 'F'), -3.0)}),
                   kFl, -2.0, 180, kB06);
    // A close result of -1715 is no failure; another is the start's result.
    EXPECT_EQ(kPsNoError, OpenAfterFirst(Descriptor(1, 0.0, 0, false), kPsDescriptorEnd).start);
    EXPECT_EQ(-50, OpenAfterFirst(Descriptor(1, 0.0, 0, false), -50).start);
    EXPECT_EQ(0, ui.dialogs);
}

TEST(RawSettingsTest, BalanceIndexesAndEnumerationsMapBothWays)
{
    const struct {
        PsKey value;
        int index;
    } table[] = {{PsFourCC('W', 'B', 'A', 't'), 12}, {PsFourCC('W', 'B', 'U', 'c'), 0},
                 {PsFourCC('W', 'B', 'I', 'd'), 1},  {PsFourCC('W', 'B', 'F', 'l'), 2},
                 {PsFourCC('W', 'B', 'H', 'f'), 3},  {PsFourCC('W', 'B', 'S', 'l'), 4},
                 {PsFourCC('W', 'B', 'S', 'h'), 5},  {PsFourCC('W', 'B', 'O', 'c'), 6},
                 {PsFourCC('W', 'B', 'F', 's'), 7}};
    for (const auto& entry : table) {
        EXPECT_EQ(entry.index, TlRawBalanceIndexOf(entry.value));
        EXPECT_EQ(entry.value, TlRawBalanceValueOf(entry.index));
    }
    EXPECT_EQ(0, TlRawBalanceIndexOf(PsFourCC('W', 'B', 'x', 'x')));
    for (int preset : {8, 9, 13, -1})
        EXPECT_EQ(PsFourCC('W', 'B', 'U', 'c'), TlRawBalanceValueOf(preset)) << preset;
}

TEST(RawSettingsTest, TheDialogRunsWhenNothingIsRecordedOrTheActionAsks)
{
    struct Case {
        bool hasDescriptor;
        std::int32_t play;
        bool offerDescriptors;
        int dialogs;
    };
    const Case cases[] = {{false, kPsPlayDontDisplay, true, 1},
                          {true, kPsPlayDisplay, true, 1},
                          {true, kPsPlayDontDisplay, true, 0},
                          {true, kPsPlaySilent, true, 0},
                          {true, kPsPlayDontDisplay, false, 1}};
    for (const Case& c : cases) {
        ScriptedUi ui;
        ui.dialogResult.rotationChange = 90;
        ui.dialogResult.whiteBalance = 4;
        InProcessHost host;
        PsFormatHostOptions options;
        options.hasDescriptor = c.hasDescriptor;
        options.descriptor = Descriptor(0, 0.0, 0, false);
        options.playInfo = c.play;
        options.offerDescriptors = c.offerDescriptors;
        const PsFormatHostResult result = host.Open(SmallRaw(), options);
        EXPECT_EQ(kPsNoError, result.start);
        EXPECT_EQ(c.dialogs, ui.dialogs);
        EXPECT_EQ(c.dialogs ? 180 : 116, result.height);
        if (c.dialogs && c.offerDescriptors)
            ExpectRecorded(result, PsFourCC('W', 'B', 'S', 'l'), 0.0, 90, PsFourCC('K', 'B', '1', '0'));
        host.ForgetData();
    }
}

std::uint32_t Reversed(const char (&code)[5])
{
    return std::uint32_t(std::uint8_t(code[3])) << 24 | std::uint32_t(std::uint8_t(code[2])) << 16 |
           std::uint32_t(std::uint8_t(code[1])) << 8 | std::uint8_t(code[0]);
}

TEST(RawSettingsTest, ThePluginFileDescribesItselfInItsResources)
{
    HMODULE module = LoadLibraryExA((BinFolder() + "TlQrfPlugin.8bi").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, module);
    std::vector<std::uint8_t> pipl;
    ASSERT_TRUE(PsReadResource(module, "PIPL", 16000, &pipl));
    std::vector<PsProperty> properties;
    ASSERT_TRUE(PsParsePropertyList(pipl, &properties));
    auto text = [](const std::string& s, bool counted) {
        std::vector<std::uint8_t> bytes;
        if (counted)
            bytes.push_back(std::uint8_t(s.size()));
        bytes.insert(bytes.end(), s.begin(), s.end());
        if (!counted)
            bytes.push_back(0);
        return bytes;
    };
    auto words = [](std::initializer_list<std::uint32_t> values) {
        std::vector<std::uint8_t> bytes;
        for (std::uint32_t v : values)
            for (int i = 0; i < 4; ++i)
                bytes.push_back(std::uint8_t(v >> (8 * i)));
        return bytes;
    };
    std::vector<std::uint8_t> hstm = words({0, Reversed("Pfrq") , Reversed("llun")});
    hstm.push_back(0x80);
    hstm.push_back(0x3E);
    const std::vector<std::uint8_t> unique = text("Talvo Talvo Qrf (IG)", false);
    hstm.insert(hstm.end(), unique.begin(), unique.end());
    const struct {
        const char key[5];
        std::vector<std::uint8_t> data;
    } expected[] = {
        {"kind", words({Reversed("FIB8")})},
        {"name", text("Talvo Qrf (IG)", true)},
        {"vers", words({0x00010000})},
        {"prty", words({0x7FFF})},
        {"wx86", text("ENTRYPOINT", false)},
        {"hstm", hstm},
        {"mode", words({0xFFC0})},
        {"enbl", text("true", false)},
        {"fmTC", words({Reversed("ANIB"), Reversed("sodm")})},
        {"RdTy", words({Reversed(" FRQ"), Reversed("    ")})},
        {"fftT", words({Reversed(" FRQ"), Reversed("    ")})},
        {"RdEx", words({Reversed(" FRQ")})},
        {"WrEx", words({Reversed(" FRQ")})},
        {"fftE", words({Reversed(" FRQ")})},
        {"fmtf", words({0x22})},
    };
    ASSERT_EQ(std::size(expected), properties.size());
    for (std::size_t i = 0; i < properties.size(); ++i) {
        SCOPED_TRACE(expected[i].key);
        // Stored reversed: the key's first byte in the file is its last character.
        EXPECT_EQ(PsFourCC(expected[i].key[0], expected[i].key[1], expected[i].key[2], expected[i].key[3]),
                  properties[i].key);
        EXPECT_EQ(Reversed("MIB8"), properties[i].vendor);
        EXPECT_EQ(expected[i].data, properties[i].data);
    }
    const std::uint8_t firstKey[4] = {pipl[10 + 4], pipl[10 + 5], pipl[10 + 6], pipl[10 + 7]};
    EXPECT_EQ(0, std::memcmp(firstKey, "dnik", 4));

    std::vector<std::uint8_t> aete;
    ASSERT_TRUE(PsReadResource(module, "AETE", 16000, &aete));
    PsTerminology terminology;
    ASSERT_TRUE(PsParseTerminology(aete, &terminology));
    EXPECT_EQ(1, terminology.majorVersion);
    EXPECT_EQ(0, terminology.minorVersion);
    ASSERT_EQ(1u, terminology.suites.size());
    const PsTerminologySuite& suite = terminology.suites[0];
    EXPECT_EQ("Talvo", suite.name);
    EXPECT_EQ("Talvo Qrf", suite.description);
    ASSERT_EQ(1u, suite.events.size());
    const struct {
        const char* name;
        const char key[5];
        const char type[5];
    } parameters[] = {{"Balance de blanco", "kwbO", "twbE"},
                      {"Compensaci\xF3n de exposici\xF3n", "kexF", "doub"},
                      {"Girar", "krtI", "long"},
                      {"Tama\xF1o RAW de KX7B", "kkbO", "kbsE"}};
    ASSERT_EQ(4u, suite.events[0].parameters.size());
    for (std::size_t i = 0; i < 4; ++i) {
        const PsTerminologyParameter& p = suite.events[0].parameters[i];
        EXPECT_EQ(parameters[i].name, p.name);
        EXPECT_EQ(PsFourCC(parameters[i].key[0], parameters[i].key[1], parameters[i].key[2], parameters[i].key[3]),
                  p.key);
        EXPECT_EQ(PsFourCC(parameters[i].type[0], parameters[i].type[1], parameters[i].type[2], parameters[i].type[3]),
                  p.type);
    }
    ASSERT_EQ(2u, suite.enumerations.size());
    EXPECT_EQ(PsFourCC('t', 'w', 'b', 'E'), suite.enumerations[0].id);
    const std::vector<std::pair<std::string, std::string>> balances = {
        {"Autom\xE1tico", "WBAt"}, {"Sin cambios", "WBUc"}, {"Incandescente", "WBId"},
        {"Fluorescente", "WBFl"}, {"Fluorescente proc. color H.D.", "WBHf"}, {"Luz del sol directa", "WBSl"},
        {"Flash", "WBFs"}, {"Sombreado", "WBSh"}, {"Nublado", "WBOc"}};
    ASSERT_EQ(balances.size(), suite.enumerations[0].enumerators.size());
    for (std::size_t i = 0; i < balances.size(); ++i) {
        const PsTerminologyEnumerator& e = suite.enumerations[0].enumerators[i];
        EXPECT_EQ(balances[i].first, e.name);
        const std::string& c = balances[i].second;
        EXPECT_EQ(PsFourCC(c[0], c[1], c[2], c[3]), e.code);
    }
    EXPECT_EQ(PsFourCC('k', 'b', 's', 'E'), suite.enumerations[1].id);
    ASSERT_EQ(2u, suite.enumerations[1].enumerators.size());
    EXPECT_EQ("Salida de 10MP(4016\xD7"
              "2616)",
              suite.enumerations[1].enumerators[0].name);
    EXPECT_EQ(PsFourCC('K', 'B', '1', '0'), suite.enumerations[1].enumerators[0].code);
    EXPECT_EQ("Salida de 6MP(3008\xD7"
              "1960)",
              suite.enumerations[1].enumerators[1].name);
    EXPECT_EQ(PsFourCC('K', 'B', '0', '6'), suite.enumerations[1].enumerators[1].code);
    FreeLibrary(module);
}

} // namespace
