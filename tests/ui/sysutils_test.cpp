#include <gtest/gtest.h>

#include "platform/ui/core/sysutils.h"

namespace ui {
namespace {

TEST(SysUtils, RoundIsHalfToEven) {
    const std::vector<std::pair<double, std::int64_t>> cases = {{0.5, 0},    {1.5, 2},   {2.5, 2},   {3.5, 4},
                                                                {-0.5, 0},   {-1.5, -2}, {-2.5, -2}, {2.4999, 2},
                                                                {2.5001, 3}, {-7.6, -8}};
    for (const auto& [value, expected] : cases) EXPECT_EQ(Round(value), expected) << value;
    EXPECT_EQ(Trunc(-2.9), -2);
    EXPECT_EQ(Trunc(2.9), 2);
    EXPECT_THROW(Round(1e300), EInvalidOperation);
}

TEST(SysUtils, DateTimeCountsDaysFrom1899_12_30) {
    EXPECT_DOUBLE_EQ(EncodeDate(1899, 12, 30), 0.0);
    EXPECT_DOUBLE_EQ(EncodeDate(1900, 1, 1), 2.0);
    EXPECT_DOUBLE_EQ(EncodeDate(2000, 2, 29), 36585.0);
    EXPECT_DOUBLE_EQ(EncodeTime(12, 0, 0, 0), 0.5);
    int y = 0, m = 0, d = 0;
    DecodeDate(36585.75, y, m, d);
    EXPECT_EQ(y * 10000 + m * 100 + d, 20000229);
    EXPECT_EQ(DateToStr(EncodeDate(2024, 3, 7)), "07/03/2024");
    EXPECT_EQ(TimeToStr(EncodeTime(9, 5, 3, 0)), "09:05:03");
    EXPECT_DOUBLE_EQ(StrToDate("07/03/2024"), EncodeDate(2024, 3, 7));
    EXPECT_THROW(EncodeDate(2023, 2, 29), EConvertError);
    TDateTime v = 0;
    EXPECT_FALSE(TryStrToDate("31/02/2024", v));
}

TEST(SysUtils, NumberConversions) {
    EXPECT_EQ(IntToStr(-42), "-42");
    EXPECT_EQ(StrToInt(" 17 "), 17);
    EXPECT_EQ(StrToIntDef("x", 5), 5);
    EXPECT_EQ(FloatToStr(0.1), "0.1");
    EXPECT_EQ(FloatToStr(2.5), "2.5");
    EXPECT_DOUBLE_EQ(StrToFloat("2.5"), 2.5);
    EXPECT_THROW(StrToInt("12a"), EConvertError);
    EXPECT_THROW(StrToFloat("abc"), EConvertError);
}

TEST(SysUtils, Windows1252AtTheBoundary) {
    struct Case {
        std::string utf8;
        std::string bytes;
    };
    const std::vector<Case> cases = {
        {"abc", "abc"},           {"\xC3\xA9", "\xE9"},  // é
        {"\xE2\x82\xAC", "\x80"},                        // euro sign
        {"\xE2\x80\x9C", "\x93"},                        // left double quotation mark
        {"\xE4\xB8\xAD", "?"},                           // a character 1252 cannot hold
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Utf8ToCp1252(c.utf8), c.bytes);
        if (c.bytes != "?") {
            EXPECT_EQ(Cp1252ToUtf8(c.bytes), c.utf8);
        }
    }
    EXPECT_EQ(Utf8ToCp1252("a\xC3"), "a?");  // cut-off sequence
    EXPECT_EQ(AnsiUpperCase("\xC3\xA9t\xC3\xA9"), "\xC3\x89T\xC3\x89");
    EXPECT_EQ(UpperCase("\xC3\xA9t"), "\xC3\xA9T");
}

TEST(SysUtils, FormatDirectives) {
    EXPECT_EQ(Format("%s editor for %s", "ieText", "idtImage"), "ieText editor for idtImage");
    EXPECT_EQ(Format("%d|%5d|%-3d|%x", 7, 42, 1, 255), "7|   42|1  |FF");
    EXPECT_EQ(Format("%.2f%%", 2.345), "2.35%");
    EXPECT_THROW(Format("%d"), EConvertError);
}

}  // namespace
}  // namespace ui
