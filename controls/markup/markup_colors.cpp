#include "controls/markup/markup_colors.h"

#include <array>
#include <string_view>

#include "platform/ui/core/sysutils.h"

namespace panel {

namespace {

struct NamedColor {
    std::string_view name;
    ui::TColor value;
};

constexpr std::array<NamedColor, 40> kColorNames = {{
    {"clred", ui::clRed},
    {"clblack", ui::clBlack},
    {"clblue", ui::clBlue},
    {"clgreen", ui::clGreen},
    {"claqua", ui::clAqua},
    {"clyellow", ui::clYellow},
    {"clfuchsia", ui::clFuchsia},
    {"clwhite", ui::clWhite},
    {"cllime", ui::clLime},
    {"clsilver", ui::clSilver},
    {"clgray", ui::clGray},
    {"clolive", ui::clOlive},
    {"clnavy", ui::clNavy},
    {"clpurple", ui::clPurple},
    {"clteal", ui::clTeal},
    {"clmaroon", ui::clMaroon},
    {"clbackground", ui::clBackground},
    {"clactivecaption", ui::clActiveCaption},
    {"clinactivecaption", ui::clInactiveCaption},
    {"clmenu", ui::clMenu},
    {"clwindow", ui::clWindow},
    {"clwindowframe", ui::clWindowFrame},
    {"clmenutext", ui::clMenuText},
    {"clwindowtext", ui::clWindowText},
    {"clcaptiontext", ui::clCaptionText},
    {"clactiveborder", ui::clActiveBorder},
    {"clinactiveborder", ui::clInactiveBorder},
    {"clappworkspace", ui::clAppWorkSpace},
    {"clhighlight", ui::clHighlight},
    {"clhighlighttext", ui::clHighlightText},
    {"clbtnface", ui::clBtnFace},
    {"clbtnshadow", ui::clBtnShadow},
    {"clgraytext", ui::clGrayText},
    {"clbtntext", ui::clBtnText},
    {"clinactivecaptiontext", ui::clInactiveCaptionText},
    {"clbtnhighlight", ui::clBtnHighlight},
    {"cl3ddkshadow", ui::cl3DDkShadow},
    {"cl3dlight", ui::cl3DLight},
    {"clinfotext", ui::clInfoText},
    {"clinfobk", ui::clInfoBk},
}};

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

ui::TColor ColorFromMarkupName(const std::string& name) {
    for (const NamedColor& entry : kColorNames) {
        if (entry.name == name) return entry.value;
    }
    return ui::clBlack;
}

ui::TColor ColorFromMarkupHex(const std::string& value) {
    if (value.size() != 7 || value[0] != '#') return 0;
    int channels[3] = {};
    for (int i = 0; i < 3; ++i) {
        const int high = HexDigit(value[static_cast<std::size_t>(1 + 2 * i)]);
        const int low = HexDigit(value[static_cast<std::size_t>(2 + 2 * i)]);
        if (high < 0 || low < 0) return 0;
        channels[i] = high * 16 + low;
    }
    return ui::MakeColor(static_cast<std::uint8_t>(channels[0]), static_cast<std::uint8_t>(channels[1]),
                         static_cast<std::uint8_t>(channels[2]));
}

ui::TColor MarkupColor(const std::string& value) {
    if (value.empty()) return ui::clNone;
    if (value[0] == '#') return ColorFromMarkupHex(value);
    return ColorFromMarkupName(ui::LowerCase(value));
}

}  // namespace panel
