#include "platform/ui/controls/edit_mask.h"

#include <string_view>

#include "platform/ui/core/sysutils.h"

namespace ui {

namespace {

// Characters the toolkit reads as mask commands; as literals they need a backslash there.
bool IsToolkitMeta(char c) { return std::string_view("AaNnXx90Dd#HhBb><!\\[]{};").find(c) != std::string_view::npos; }

// The toolkit's position code for a class-library position character, or 0 for a literal.
char ToolkitPositionCode(char c) {
    switch (c) {
    case 'L':
        return 'A';
    case 'l':
        return 'a';
    case 'A':
        return 'N';
    case 'a':
        return 'n';
    case 'C':
        return 'X';
    case 'c':
        return 'x';
    case '0':
        return '9';
    case '9':
        return '0';
    case '#':
        return '#';
    default:
        return 0;
    }
}

// Splits at every ';' that no backslash escapes; the backslashes stay in the parts.
std::vector<std::string> SplitFields(const std::string& mask) {
    std::vector<std::string> fields(1);
    for (std::size_t i = 0; i < mask.size(); ++i) {
        const char c = mask[i];
        if (c == '\\' && i + 1 < mask.size()) {
            fields.back() += c;
            fields.back() += mask[++i];
        } else if (c == ';') {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

}  // namespace

TTranslatedEditMask TranslateEditMask(const std::string& edit_mask) {
    TTranslatedEditMask result;
    if (edit_mask.empty()) return result;
    std::vector<std::string> fields = SplitFields(edit_mask);
    std::string mask = fields[0];
    if (fields.size() >= 3) {
        // The last two fields are the settings; any ';' before them belongs to the mask.
        mask.clear();
        for (std::size_t i = 0; i + 2 < fields.size(); ++i) mask += (i > 0 ? "\\;" : "") + fields[i];
        const std::string& blank = fields[fields.size() - 1];
        if (!blank.empty()) result.blank = blank[0];
        const std::string& save = fields[fields.size() - 2];
        result.save_literals = save.empty() || save[0] != '0';
    } else if (fields.size() == 2) {
        result.save_literals = fields[1].empty() || fields[1][0] != '0';
    }

    std::string out;
    auto literal = [&](char c) {
        if (IsToolkitMeta(c)) out += '\\';
        out += c;
        result.literal_positions.push_back(true);
    };
    for (std::size_t i = 0; i < mask.size(); ++i) {
        const char c = mask[i];
        if (c == '\\') {
            if (i + 1 < mask.size()) literal(mask[++i]);
        } else if (c == '<' && i + 1 < mask.size() && mask[i + 1] == '>') {
            out += '!';
            ++i;
        } else if (c == '<' || c == '>') {
            out += c;
        } else if (c == '!') {
            // Leading-blank trimming has no toolkit counterpart; the positions are unchanged.
        } else if (c == ':') {
            literal(FormatSettings().TimeSeparator);
        } else if (c == '/') {
            literal(FormatSettings().DateSeparator);
        } else if (c == '_') {
            literal(' ');
        } else if (const char code = ToolkitPositionCode(c); code != 0) {
            out += code;
            result.literal_positions.push_back(false);
        } else {
            literal(c);
        }
    }
    if (result.literal_positions.empty()) return TTranslatedEditMask{};
    result.input_mask = out + ";" + result.blank;
    return result;
}

std::string MaskedTextFromDisplay(const TTranslatedEditMask& mask, const std::string& display_text) {
    if (mask.input_mask.empty()) return display_text;
    std::string text;
    for (std::size_t i = 0; i < display_text.size(); ++i) {
        const bool is_literal = i < mask.literal_positions.size() && mask.literal_positions[i];
        if (is_literal) {
            if (mask.save_literals) text += display_text[i];
        } else {
            text += display_text[i] == mask.blank ? ' ' : display_text[i];
        }
    }
    return text;
}

}  // namespace ui
