#include "platform/ui/core/format.h"

#include <algorithm>
#include <cstdio>

#include "platform/ui/core/conversion_detail.h"
#include "platform/ui/core/exceptions.h"
#include "platform/ui/core/numbers.h"

namespace ui {

// --- Format -----------------------------------------------------------------------------------

std::string FormatV(const std::string& format, const std::vector<TVarRec>& args) {
    auto fail = [&]() -> void { throw EConvertError("Format '" + format + "' invalid or incompatible with argument"); };
    std::string out;
    std::size_t next = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') {
            out.push_back(format[i]);
            continue;
        }
        if (++i >= format.size()) fail();
        if (format[i] == '%') {
            out.push_back('%');
            continue;
        }
        auto number = [&]() {
            int n = -1;
            while (i < format.size() && std::isdigit(static_cast<unsigned char>(format[i]))) {
                n = (n < 0 ? 0 : n * 10) + (format[i] - '0');
                ++i;
            }
            return n;
        };
        int first = number();
        if (i < format.size() && format[i] == ':') {
            if (first < 0) fail();
            next = static_cast<std::size_t>(first);
            ++i;
            first = -1;
        }
        bool left = false;
        if (first < 0 && i < format.size() && format[i] == '-') {
            left = true;
            ++i;
        }
        const int width = first >= 0 ? first : number();
        int precision = -1;
        if (i < format.size() && format[i] == '.') {
            ++i;
            precision = std::max(0, number());
        }
        if (i >= format.size() || next >= args.size()) fail();
        const char type = static_cast<char>(std::tolower(static_cast<unsigned char>(format[i])));
        const TVarRec& arg = args[next++];
        const auto* integer = std::get_if<std::int64_t>(&arg);
        const auto* real = std::get_if<double>(&arg);
        const auto* text = std::get_if<std::string>(&arg);
        std::string piece;
        char buffer[512];
        switch (type) {
        case 'd':
        case 'u': {
            if (integer == nullptr) fail();
            const std::int64_t v =
                type == 'u' ? static_cast<std::int64_t>(static_cast<std::uint32_t>(*integer)) : *integer;
            std::string digits = std::to_string(v < 0 ? -v : v);
            while (precision > 0 && static_cast<int>(digits.size()) < precision) digits.insert(digits.begin(), '0');
            piece = (v < 0 ? "-" : "") + digits;
            break;
        }
        case 'x':
            if (integer == nullptr) fail();
            // Negative values print as their 32-bit pattern, as the class library's integers do.
            piece = IntToHex(*integer < 0 ? static_cast<std::uint32_t>(*integer) : static_cast<std::uint64_t>(*integer),
                             std::max(precision, 0));
            break;
        case 's':
            if (text == nullptr) fail();
            piece = precision >= 0 ? text->substr(0, static_cast<std::size_t>(precision)) : *text;
            break;
        case 'f':
        case 'e':
        case 'g':
        case 'n': {
            if (text != nullptr) fail();
            const double v = real != nullptr ? *real : static_cast<double>(*integer);
            if (type == 'f' || type == 'n') {
                std::snprintf(buffer, sizeof buffer, "%.*f", precision < 0 ? 2 : precision, v);
                piece = buffer;
                if (type == 'n') {
                    const bool negative = !piece.empty() && piece[0] == '-';
                    if (negative) piece.erase(piece.begin());
                    const std::size_t dot = piece.find('.');
                    piece = (negative ? "-" : "") + conversion_detail::GroupThousands(piece.substr(0, dot)) +
                            (dot == std::string::npos ? "" : piece.substr(dot));
                }
            } else if (type == 'e') {
                std::snprintf(buffer, sizeof buffer, "%.*E", (precision < 0 ? 15 : std::max(precision, 1)) - 1, v);
                piece = buffer;
                // Three exponent digits, as the class library writes them.
                const std::size_t e = piece.find('E');
                std::string exp = piece.substr(e + 2);
                while (exp.size() < 3) exp.insert(exp.begin(), '0');
                piece = piece.substr(0, e + 2) + exp;
            } else {
                piece = FloatToStr(v);
            }
            break;
        }
        default:
            fail();
        }
        if (width > 0 && static_cast<int>(piece.size()) < width) {
            const std::string pad(static_cast<std::size_t>(width) - piece.size(), ' ');
            piece = left ? piece + pad : pad + piece;
        }
        out += piece;
    }
    return out;
}

}  // namespace ui
