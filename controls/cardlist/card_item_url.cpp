#include "controls/cardlist/card_item_url.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>

namespace cardlist {

namespace {

std::string Lower(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::tolower(c); });
    return out;
}

// The scheme a link names ("http" for "http://..." or "mailto" for "mailto:..."), empty when
// it names none: a host name such as "example.org:8080" has no scheme.
std::string SchemeOf(const std::string& text) {
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos || colon == 0) return {};
    const std::string_view head(text.data(), colon);
    const bool word = std::isalpha(static_cast<unsigned char>(head.front())) &&
                      std::all_of(head.begin(), head.end(),
                                  [](unsigned char c) { return std::isalnum(c) || c == '+' || c == '-' || c == '.'; });
    if (!word) return {};
    const std::string scheme = Lower(head);
    // Without "//" only the schemes that never have it count ("mailto:x", "news:x").
    if (text.compare(colon, 3, "://") == 0 || scheme == "mailto" || scheme == "news") return scheme;
    return {};
}

}  // namespace

std::string CardItemUrl(TFineCardItemURLType type, const std::string& text) {
    if (text.empty()) return {};
    // Control characters and spaces never belong to an address.
    if (std::any_of(text.begin(), text.end(), [](unsigned char c) { return c <= ' ' || c == 0x7F; })) return {};
    switch (type) {
    case TFineCardItemURLType::utNone:
        return {};
    case TFineCardItemURLType::utHTTP:
        return "http://" + text;
    case TFineCardItemURLType::utHTTPS:
        return "https://" + text;
    case TFineCardItemURLType::utFTP:
        return "ftp://" + text;
    case TFineCardItemURLType::utMailto:
        return "mailto:" + text;
    case TFineCardItemURLType::utNNTP:
        return "news:" + text;
    case TFineCardItemURLType::utLink:
        break;
    }
    const std::string scheme = SchemeOf(text);
    if (scheme.empty()) return "http://" + text;
    static constexpr std::array<std::string_view, 6> kOpenable = {"http", "https", "ftp", "mailto", "news", "nntp"};
    if (std::find(kOpenable.begin(), kOpenable.end(), scheme) != kOpenable.end()) return text;
    return {};
}

}  // namespace cardlist
