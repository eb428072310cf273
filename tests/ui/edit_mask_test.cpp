#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ui/controls/edit_mask.h"

namespace ui {
namespace {

struct MaskCase {
    const char* mask;
    const char* input_mask;
    bool save_literals;
    char blank;
};

class EditMaskTranslation : public ::testing::TestWithParam<MaskCase> {};

TEST_P(EditMaskTranslation, GivesTheToolkitMask) {
    const MaskCase& c = GetParam();
    const TTranslatedEditMask t = TranslateEditMask(c.mask);
    EXPECT_EQ(t.input_mask, c.input_mask) << c.mask;
    EXPECT_EQ(t.save_literals, c.save_literals) << c.mask;
    EXPECT_EQ(t.blank, c.blank) << c.mask;
}

INSTANTIATE_TEST_SUITE_P(
    Table, EditMaskTranslation,
    ::testing::Values(
        MaskCase{"", "", true, '_'},                                   // no mask
        MaskCase{"!99/99/0000;1;_", "00/00/9999;_", true, '_'},        // optional and required digits, date separator
        MaskCase{"(999)000-0000;0;_", "(000)999-9999;_", false, '_'},  // literals not saved
        MaskCase{"999;0", "000;_", false, '_'},                        // two fields: the default blank
        MaskCase{"00:00;1; ", "99:99; ", true, ' '},                   // time separator, blank is a space
        MaskCase{">LL<ll", ">AA<aa;_", true, '_'},                     // letters and case
        MaskCase{"<>AaCc#", "!NnXx#;_", true, '_'},                    // alphanumerics, any character, sign
        MaskCase{"\\A\\9x", "\\A\\9\\x;_", true, '_'},  // escaped mask characters, toolkit meta as literal
        MaskCase{"DNXHBdnxhb", "\\D\\N\\X\\H\\B\\d\\n\\x\\h\\b;_", true,
                 '_'},                                  // literals the toolkit would read as codes
        MaskCase{"_0", " 9;_", true, '_'},              // '_' is a blank literal
        MaskCase{"A\\;B;1;*", "N\\;\\B;*", true, '*'},  // an escaped field separator stays in the mask
        MaskCase{"0;x;1;*", "9\\;\\x;*", true, '*'},    // extra fields belong to the mask
        MaskCase{"><", "", true, '_'}));                // no position: no mask

TEST(EditMask, MarksTheLiteralPositions) {
    const TTranslatedEditMask t = TranslateEditMask("(999)000-0000;0;_");
    EXPECT_EQ(t.literal_positions, (std::vector<bool>{true, false, false, false, true, false, false, false, true, false,
                                                      false, false, false}));
}

TEST(EditMask, TextFromTheShownPositions) {
    struct Case {
        const char* mask;
        const char* display;
        const char* text;
    };
    const Case cases[] = {
        {"(999)000-0000;0;_", "(12_)345-6789", "12 3456789"},
        {"(999)000-0000;1;_", "(12_)345-6789", "(12 )345-6789"},
        {"00:00;1;*", "1*:30", "1 :30"},
        {"", "free text", "free text"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MaskedTextFromDisplay(TranslateEditMask(c.mask), c.display), c.text) << c.mask;
}

}  // namespace
}  // namespace ui
