// The class library's edit-mask syntax and its translation into the toolkit's input mask. The
// masked edit and anything else that shows a masked text take the translation from here only.
//
// A class-library mask has up to three fields separated by ';': the mask, whether literals are
// kept in the text ('0': no, anything else: yes; default yes) and the character shown in empty
// positions (default '_'). Mask characters: L/l letter, A/a letter or digit, C/c any character,
// 0/9 digit, # digit or sign (upper case: required, lower case and 9 and #: optional), > upper
// case, < lower case, <> no case change, \ the next character is a literal, : and / the time and
// date separators, _ a blank, ! trim leading blanks (the toolkit has no such switch: ignored).
// Every other character is a literal.
#pragma once

#include <string>
#include <vector>

namespace ui {

struct TTranslatedEditMask {
    // The toolkit's input mask, with ";<blank>" at its end; empty for an empty mask.
    std::string input_mask;
    bool save_literals = true;
    char blank = '_';
    // One entry per position of the shown text: true where the position holds a literal.
    std::vector<bool> literal_positions;
};

TTranslatedEditMask TranslateEditMask(const std::string& edit_mask);

// The class library's Text of a masked edit from the text the toolkit shows (every position,
// empty ones holding the blank): literals only when saved, empty positions as spaces.
std::string MaskedTextFromDisplay(const TTranslatedEditMask& mask, const std::string& display_text);

}  // namespace ui
