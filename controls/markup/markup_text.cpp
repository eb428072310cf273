#include "controls/markup/markup_text.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "platform/ui/core/sysutils.h"

namespace panel {

namespace {

struct Entity {
    std::string_view name;
    std::string_view replacement;
};

// The system code page's characters of the named entities, as the program's UTF-8 text holds them.
constexpr std::array<Entity, 9> kLayoutEntities = {{
    {"&amp;", "&&"},
    {"&quot;", "\""},
    {"&sect;", "\xC2\xA7"},
    {"&permil;", "\xE2\x80\xB0"},
    {"&reg;", "\xC2\xAE"},
    {"&copy;", "\xC2\xA9"},
    {"&para;", "\xC2\xB6"},
    {"&trade;", "\xE2\x84\xA2"},
    {"&euro;", "\xE2\x82\xAC"},
}};

constexpr std::array<Entity, 3> kRunEntities = {{{"&nbsp;", " "}, {"&lt;", "<"}, {"&gt;", ">"}}};

bool ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
    bool changed = false;
    std::size_t at = 0;
    while ((at = text.find(from, at)) != std::string::npos) {
        text.replace(at, from.size(), to);
        at += to.size();
        changed = true;
    }
    return changed;
}

// Replaces every `tag` in any letter case by `by`.
void ReplaceTagAnyCase(std::string& text, const std::string& tag, const std::string& by) {
    std::string upper = ui::UpperCase(text);
    std::size_t at = 0;
    while ((at = upper.find(tag, at)) != std::string::npos) {
        text.replace(at, tag.size(), by);
        upper.replace(at, tag.size(), by);
        at += by.size();
    }
}

// Removes each `open`...`close` part with its tags; an opening without its closing stays.
void RemoveParts(std::string& text, const std::string& open, const std::string& close) {
    std::size_t at = 0;
    while ((at = text.find(open, at)) != std::string::npos) {
        const std::size_t end = text.find(close, at + open.size());
        if (end == std::string::npos) return;
        text.erase(at, end + close.size() - at);
    }
}

}  // namespace

bool ReplaceMarkupEntities(std::string& text) {
    bool changed = false;
    for (const Entity& e : kLayoutEntities) changed = ReplaceAll(text, e.name, e.replacement) || changed;
    return changed;
}

std::string ReplaceRunEntities(const std::string& run) {
    std::string out = run;
    for (const Entity& e : kRunEntities) ReplaceAll(out, e.name, e.replacement);
    return out;
}

std::string MarkupToPlainText(const std::string& text) {
    std::string s = text;
    ReplaceTagAnyCase(s, "<BR>", "\r\n");
    ReplaceTagAnyCase(s, "<HR>", "\r\n");
    RemoveParts(s, "<z>", "</z>");
    RemoveParts(s, "<Z>", "</Z>");
    std::string out;
    std::size_t i = 0;
    while (i < s.size()) {
        const std::size_t open = s.find('<', i);
        if (open == std::string::npos) {
            out.append(s, i, std::string::npos);
            break;
        }
        out.append(s, i, open - i);
        const std::size_t close = s.find('>', open);
        if (close == std::string::npos) {
            out.append(s, open, std::string::npos);
            break;
        }
        i = close + 1;
    }
    return out;
}

int MarkupNumber(const std::string& value) {
    long long n = 0;
    for (char c : value) {
        if (c < '0' || c > '9') break;
        n = std::min(n * 10 + (c - '0'), 1000000LL);
    }
    return static_cast<int>(n);
}

}  // namespace panel
