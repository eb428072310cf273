#include "controls/markup/markup_tag_reader.h"

#include "controls/markup/markup_text.h"
#include "platform/ui/core/sysutils.h"

namespace panel::markup {

namespace {

// Position just after attribute `name` (preceded by a blank, followed by "=") in the upper-cased
// tag, or npos.
std::size_t FindAttribute(const Tag& tag, const std::string& name) {
    const std::string key = " " + name;
    std::size_t at = 0;
    while ((at = tag.upper.find(key, at)) != std::string::npos) {
        std::size_t p = at + key.size();
        while (p < tag.upper.size() && tag.upper[p] == ' ') ++p;
        if (p < tag.upper.size() && tag.upper[p] == '=') return p + 1;
        at += key.size();
    }
    return std::string::npos;
}

}  // namespace

Tag ParseTag(const std::string& raw) {
    Tag tag;
    tag.raw = raw;
    tag.upper = ui::UpperCase(raw);
    tag.closing = raw.size() > 3 && raw[1] == '/';
    std::size_t i = tag.closing ? 2 : 1;
    while (i < tag.upper.size()) {
        const char c = tag.upper[i];
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) break;
        tag.name += c;
        ++i;
    }
    return tag;
}

bool HasAttribute(const Tag& tag, const std::string& name) {
    const std::string key = " " + name;
    std::size_t at = 0;
    while ((at = tag.upper.find(key, at)) != std::string::npos) {
        const std::size_t p = at + key.size();
        const char next = p < tag.upper.size() ? tag.upper[p] : '>';
        if (next == ' ' || next == '=' || next == '>' || next == '/') return true;
        at = p;
    }
    return false;
}

std::string Attribute(const Tag& tag, const std::string& name, bool upper) {
    std::size_t p = FindAttribute(tag, name);
    if (p == std::string::npos) return {};
    const std::string& from = upper ? tag.upper : tag.raw;
    while (p < from.size() && from[p] == ' ') ++p;
    if (p < from.size() && from[p] == '"') {
        const std::size_t end = from.find('"', p + 1);
        return from.substr(p + 1, end == std::string::npos ? std::string::npos : end - p - 1);
    }
    std::size_t end = p;
    while (end < from.size() && from[end] != ' ' && from[end] != '>') ++end;
    return from.substr(p, end - p);
}

std::string FirstQuoted(const std::string& raw) {
    const std::size_t a = raw.find('"');
    if (a == std::string::npos) return {};
    const std::size_t b = raw.find('"', a + 1);
    return raw.substr(a + 1, b == std::string::npos ? std::string::npos : b - a - 1);
}

bool WholeNumber(const std::string& value, int& n) {
    if (value.empty()) return false;
    for (char c : value) {
        if (c < '0' || c > '9') return false;
    }
    n = MarkupNumber(value);
    return true;
}

}  // namespace panel::markup
