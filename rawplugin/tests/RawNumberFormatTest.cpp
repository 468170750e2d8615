// The number settings of the exposure edit: read from the user's "intl"
// settings with their defaults, and numbers written in them.
#include "RawPluginTestSupport.h"

#include "TlRawNumberFormat.h"

using namespace rawplugin_test;

namespace {

TEST(RawNumberFormatTest, NumbersFollowTheUsersSettings)
{
    struct Case {
        double value;
        int decimals;
        TlRawNumberFormat format;
        const char* text;
    };
    TlRawNumberFormat comma;
    comma.decimal = ",";
    comma.thousand = ".";
    TlRawNumberFormat bare;
    bare.leadingZero = false;
    const Case cases[] = {
        {1.0, 2, TlRawNumberFormat(), "1.00"}, {-0.5, 2, TlRawNumberFormat(), "-0.50"},
        {-1.25, 2, comma, "-1,25"},            {1234.5, 1, comma, "1.234,5"},
        {0.75, 2, bare, ".75"},                {-0.001, 2, TlRawNumberFormat(), "0.00"},
        {2.0, 0, comma, "2"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.text, TlRawFormatNumber(c.value, c.decimals, c.format)) << c.value;
}

TEST(RawNumberFormatTest, TheSettingsAreReadFromIntl)
{
    RegistrySandbox sandbox;
    for (const char* name : {"sDecimal", "sThousand", "iLeadZero", "iDigits"})
        sandbox.Preserve(HKEY_CURRENT_USER, "Control Panel\\International", name);
    ASSERT_TRUE(WriteProfileStringA("intl", "sDecimal", ","));
    ASSERT_TRUE(WriteProfileStringA("intl", "sThousand", "'"));
    ASSERT_TRUE(WriteProfileStringA("intl", "iLeadZero", "0"));
    ASSERT_TRUE(WriteProfileStringA("intl", "iDigits", "3"));
    const TlRawNumberFormat format = TlRawReadNumberFormat();
    EXPECT_EQ(",", format.decimal);
    EXPECT_EQ("'", format.thousand);
    EXPECT_FALSE(format.leadingZero);
    EXPECT_EQ(3, format.digits);
    // Read once: the process keeps what it first read.
    const TlRawNumberFormat& first = TlRawProcessNumberFormat();
    WriteProfileStringA("intl", "sDecimal", "#");
    EXPECT_EQ(first.decimal, TlRawProcessNumberFormat().decimal);
}

} // namespace
