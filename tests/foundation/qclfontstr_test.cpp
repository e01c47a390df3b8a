// The font string: seven fields, all or nothing.
#include <gtest/gtest.h>

#include "foundation/qclnonvSFont.h"

namespace treskel {
namespace {

TQclFontFields Sample() {
    TQclFontFields f;
    f.Name = "Arial";
    f.Size = 12;
    f.Color = clMaroon;
    f.Style = {TFontStyle::fsItalic, TFontStyle::fsStrikeOut};
    return f;
}

TEST(QclFontString, WrittenAsSevenFields) {
    EXPECT_EQ(QclFontFieldsToString(Sample()), "Arial,12,clMaroon,0,1,0,1");
    TQclFontFields f = Sample();
    f.Color = 0x00123456;
    f.Style = {TFontStyle::fsBold};
    EXPECT_EQ(QclFontFieldsToString(f), "Arial,12,$00123456,1,0,0,0");
    f.Color = clWindowText;
    EXPECT_EQ(QclFontFieldsToString(f), "Arial,12,clWindowText,1,0,0,0");
}

TEST(QclFontString, ReadsBack) {
    TQclFontFields f;
    ASSERT_TRUE(QclStringToFontFields(QclFontFieldsToString(Sample()), f));
    EXPECT_EQ(f, Sample());

    ASSERT_TRUE(QclStringToFontFields("Courier New,9,$00FF0000,1,0,0,0", f));
    EXPECT_EQ(f.Name, "Courier New");
    EXPECT_EQ(f.Size, 9);
    EXPECT_EQ(f.Color, clBlue);
    EXPECT_EQ(f.Style, TFontStyles{TFontStyle::fsBold});
}

TEST(QclFontString, LenientFields) {
    TQclFontFields f;
    // A size that is not a number is 10.
    ASSERT_TRUE(QclStringToFontFields("Arial,big,clRed,0,0,0,0", f));
    EXPECT_EQ(f.Size, 10);
    // A trailing separator adds no eighth field.
    ASSERT_TRUE(QclStringToFontFields("Arial,8,clRed,0,0,1,0,", f));
    EXPECT_EQ(f.Style, TFontStyles{TFontStyle::fsUnderline});
    // Style flags are bytes: 256 has an empty low byte, 257 does not.
    ASSERT_TRUE(QclStringToFontFields("Arial,8,255,256,257,$FF,-1", f));
    EXPECT_EQ(f.Color, 255);
    EXPECT_EQ(f.Style, (TFontStyles{TFontStyle::fsItalic, TFontStyle::fsUnderline, TFontStyle::fsStrikeOut}));
    // An empty name is still a name.
    ASSERT_TRUE(QclStringToFontFields(",8,clRed,0,0,0,0", f));
    EXPECT_EQ(f.Name, "");
}

TEST(QclFontString, MalformedLeavesTheFieldsAlone) {
    const TQclFontFields before = Sample();
    for (const char* bad : {"", "Arial", "Arial,10,clRed", "Arial,10,clRed,0,0,0", "Arial,10,clRed,0,0,0,0,0",
                            "Arial,10,notacolour,0,0,0,0", "Arial,10,clRed,yes,0,0,0", "Arial,10,clRed,0,0,0,",
                            "Arial,10,clRed,0,0,0,x", "Arial,10,,0,0,0,0", "Arial,10,$GG,0,0,0,0",
                            "Arial,10,clRed,99999999999,0,0,0", ",,,,,,", "a,b,c,d,e,f,g,h,i"}) {
        TQclFontFields f = before;
        EXPECT_FALSE(QclStringToFontFields(bad, f)) << bad;
        EXPECT_EQ(f, before) << bad;
    }
}

TEST(QclFontString, NameWithTheSeparatorDoesNotRoundTrip) {
    TQclFontFields f = Sample();
    f.Name = "Odd,Name";
    TQclFontFields back = Sample();
    EXPECT_FALSE(QclStringToFontFields(QclFontFieldsToString(f), back));
    EXPECT_EQ(back, Sample());
}

TEST(QclFontString, FollowsTheSeparator) {
    char saved = QclValueSeparator;
    QclValueSeparator = '|';
    std::string s = QclFontFieldsToString(Sample());
    TQclFontFields f;
    bool ok = QclStringToFontFields(s, f);
    bool commaOk = QclStringToFontFields("Arial,12,clMaroon,0,1,0,1", f);
    QclValueSeparator = saved;
    EXPECT_EQ(s, "Arial|12|clMaroon|0|1|0|1");
    EXPECT_TRUE(ok);
    EXPECT_FALSE(commaOk);
}

}  // namespace
}  // namespace treskel
