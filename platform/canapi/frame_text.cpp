// Parsing and formatting of the one-line frame text form.
#include "platform/canapi/frame_text.h"

namespace canapi {

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string_view Trim(std::string_view s) {
    const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && space(s.front())) s.remove_prefix(1);
    while (!s.empty() && space(s.back())) s.remove_suffix(1);
    return s;
}

FrameParse Fail(std::string why) { return FrameParse{std::nullopt, std::move(why)}; }

}  // namespace

FrameParse ParseFrameText(std::string_view text) {
    const std::string_view line = Trim(text);
    const auto hash = line.find('#');
    if (hash == std::string_view::npos) return Fail("missing '#' between identifier and data");
    const std::string_view id_text = line.substr(0, hash);
    std::string_view data_text = line.substr(hash + 1);
    if (!data_text.empty() && data_text.front() == '#') return Fail("CAN FD frames are not supported");

    Frame frame;
    if (id_text.size() == 3) {
        frame.extended = false;
    } else if (id_text.size() == 8) {
        frame.extended = true;
    } else {
        return Fail("identifier must have 3 (standard) or 8 (extended) hex digits");
    }
    std::uint32_t id = 0;
    for (char c : id_text) {
        const int v = HexValue(c);
        if (v < 0) return Fail("identifier is not hexadecimal");
        id = id << 4 | static_cast<std::uint32_t>(v);
    }
    if (id > (frame.extended ? kMaxExtendedId : kMaxStandardId)) return Fail("identifier out of range");
    frame.id = id;

    if (!data_text.empty() && (data_text.front() == 'R' || data_text.front() == 'r')) {
        frame.rtr = true;
        data_text.remove_prefix(1);
        if (data_text.empty()) return FrameParse{frame, {}};
        if (data_text.size() != 1 || data_text.front() < '0' || data_text.front() > '8') {
            return Fail("remote frame length must be one digit 0..8");
        }
        frame.dlc = static_cast<std::uint8_t>(data_text.front() - '0');
        return FrameParse{frame, {}};
    }

    std::size_t i = 0;
    while (i < data_text.size()) {
        if (data_text[i] == '.') {
            ++i;
            continue;
        }
        if (i + 1 >= data_text.size() || data_text[i + 1] == '.') return Fail("data has an odd number of hex digits");
        const int high = HexValue(data_text[i]);
        const int low = HexValue(data_text[i + 1]);
        if (high < 0 || low < 0) return Fail("data is not hexadecimal");
        if (frame.dlc == 8) return Fail("more than 8 data bytes");
        frame.data[frame.dlc++] = static_cast<std::uint8_t>(high << 4 | low);
        i += 2;
    }
    return FrameParse{frame, {}};
}

std::string FormatFrameText(const Frame& frame) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    const int digits = frame.extended ? 8 : 3;
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) out += kHex[(frame.id >> shift) & 0xF];
    out += '#';
    if (frame.rtr) {
        out += 'R';
        if (frame.dlc > 0 && frame.dlc <= 8) out += static_cast<char>('0' + frame.dlc);
        return out;
    }
    const int count = frame.dlc <= 8 ? frame.dlc : 8;
    for (int i = 0; i < count; ++i) {
        out += kHex[frame.data[i] >> 4];
        out += kHex[frame.data[i] & 0xF];
    }
    return out;
}

}  // namespace canapi
