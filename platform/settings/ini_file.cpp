#include "platform/settings/ini_file.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <fstream>
#include <optional>
#include <system_error>
#include <vector>

namespace settings {
namespace {

std::string Trim(const std::string& s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    const auto last = s.find_last_not_of(" \t");
    return s.substr(first, last - first + 1);
}

bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

// A whole number in decimal, or in hexadecimal after "$" or "0x"; nothing else.
std::optional<std::int32_t> ParseInteger(const std::string& text) {
    std::string s = Trim(text);
    bool negative = false;
    if (!s.empty() && (s[0] == '-' || s[0] == '+')) {
        negative = s[0] == '-';
        s.erase(0, 1);
    }
    int base = 10;
    if (!s.empty() && s[0] == '$') {
        base = 16;
        s.erase(0, 1);
    } else if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s.erase(0, 2);
    }
    if (s.empty()) return std::nullopt;
    std::int64_t value = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value, base);
    if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
    if (negative) value = -value;
    // Hexadecimal spells the 32-bit pattern, so "$FFFFFFFF" is -1.
    if (base == 16 && !negative && value <= 0xFFFFFFFFLL)
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
    if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

// --- the text file ---------------------------------------------------------------------------

// Lines are kept as they were read, comments and blank lines included, so that a write changes
// only the line of its value.
std::vector<std::string> ReadLines(const std::filesystem::path& file) {
    std::vector<std::string> lines;
    std::ifstream in(file, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

bool WriteLines(const std::filesystem::path& file, const std::vector<std::string>& lines) {
    std::error_code ec;
    if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path(), ec);
    const auto temp = file.string() + ".new";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        for (const auto& line : lines) out << line << '\n';
        out.flush();
        if (!out) return false;
    }
    std::filesystem::rename(temp, file, ec);
    if (ec) std::filesystem::remove(temp, ec);
    return !ec;
}

std::optional<std::string> SectionNameOf(const std::string& line) {
    const std::string t = Trim(line);
    if (t.size() >= 2 && t.front() == '[' && t.back() == ']') return Trim(t.substr(1, t.size() - 2));
    return std::nullopt;
}

bool IsComment(const std::string& line) {
    const std::string t = Trim(line);
    return !t.empty() && t[0] == ';';
}

// The lines [first, last) of a section's values; first == last == size when there is none.
struct SectionSpan {
    std::size_t header = 0;
    std::size_t first = 0;
    std::size_t last = 0;
    bool found = false;
};

SectionSpan FindSection(const std::vector<std::string>& lines, const std::string& section) {
    SectionSpan span{lines.size(), lines.size(), lines.size(), false};
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto name = SectionNameOf(lines[i]);
        if (!name) continue;
        if (span.found) {
            span.last = i;
            return span;
        }
        if (SameName(*name, section)) span = SectionSpan{i, i + 1, lines.size(), true};
    }
    return span;
}

std::optional<std::size_t> FindValueLine(const std::vector<std::string>& lines, const SectionSpan& span,
                                         const std::string& ident) {
    if (!span.found) return std::nullopt;
    for (std::size_t i = span.first; i < span.last; ++i) {
        if (IsComment(lines[i])) continue;
        const auto eq = lines[i].find('=');
        if (eq != std::string::npos && SameName(Trim(lines[i].substr(0, eq)), Trim(ident))) return i;
    }
    return std::nullopt;
}

std::string ValueOf(const std::string& line) {
    std::string v = Trim(line.substr(line.find('=') + 1));
    if (v.size() >= 2 && ((v.front() == '"' && v.back() == '"') || (v.front() == '\'' && v.back() == '\'')))
        v = v.substr(1, v.size() - 2);
    return v;
}

std::filesystem::path IniPathOf(const std::string& file_name) {
    const std::filesystem::path path(file_name);
    if (path.is_absolute()) return path;
    return RegistryFile().parent_path() / path;
}

}  // namespace

// --- TCustomIniFile --------------------------------------------------------------------------

std::int32_t TCustomIniFile::ReadInteger(const std::string& section, const std::string& ident,
                                         std::int32_t default_value) const {
    return ParseInteger(ReadString(section, ident, std::string())).value_or(default_value);
}

void TCustomIniFile::WriteInteger(const std::string& section, const std::string& ident, std::int32_t value) {
    WriteString(section, ident, std::to_string(value));
}

// --- TIniFile --------------------------------------------------------------------------------

TIniFile::TIniFile(const std::string& file_name) : file_(IniPathOf(file_name)) {}

std::string TIniFile::ReadString(const std::string& section, const std::string& ident,
                                 const std::string& default_value) const {
    const auto lines = ReadLines(file_);
    const auto line = FindValueLine(lines, FindSection(lines, section), ident);
    return line ? ValueOf(lines[*line]) : default_value;
}

bool TIniFile::ValueExists(const std::string& section, const std::string& ident) const {
    const auto lines = ReadLines(file_);
    return FindValueLine(lines, FindSection(lines, section), ident).has_value();
}

void TIniFile::WriteString(const std::string& section, const std::string& ident, const std::string& value) {
    // A line break in a name or value would start a line of its own and corrupt the file.
    const auto breaks = [](const std::string& s) { return s.find_first_of("\r\n") != std::string::npos; };
    if (breaks(section) || breaks(ident) || breaks(value) || section.find(']') != std::string::npos ||
        ident.find('=') != std::string::npos || Trim(ident).empty())
        throw EIniFileException("Unable to write to " + file_.string());
    auto lines = ReadLines(file_);
    const SectionSpan span = FindSection(lines, section);
    const std::string entry = Trim(ident) + "=" + value;
    if (const auto line = FindValueLine(lines, span, ident)) {
        // The name keeps the spelling it was first stored with.
        lines[*line] = Trim(lines[*line].substr(0, lines[*line].find('='))) + "=" + value;
    } else if (span.found) {
        // After the section's last value, before the blank lines that part it from the next.
        std::size_t at = span.last;
        while (at > span.first && Trim(lines[at - 1]).empty()) --at;
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), entry);
    } else {
        lines.push_back("[" + section + "]");
        lines.push_back(entry);
    }
    if (!WriteLines(file_, lines)) throw EIniFileException("Unable to write to " + file_.string());
}

// --- TRegistryIniFile ------------------------------------------------------------------------

TRegistryIniFile::TRegistryIniFile(const std::string& key) : key_(key) {}

std::string TRegistryIniFile::SectionKey(const std::string& section) const {
    std::string path = key_;
    if (path.empty() || path.front() != '\\') path.insert(path.begin(), '\\');
    return path + "\\" + section;
}

void TRegistryIniFile::OpenForWriting(TRegistry& registry, const std::string& section) const {
    if (!registry.OpenKey(SectionKey(section), true))
        throw EIniFileException("Unable to write to " + SectionKey(section));
}

std::string TRegistryIniFile::ReadString(const std::string& section, const std::string& ident,
                                         const std::string& default_value) const {
    TRegistry registry;
    if (!registry.OpenKey(SectionKey(section), false) || !registry.ValueExists(ident)) return default_value;
    try {
        return registry.ReadString(ident);
    } catch (const ERegistryException&) {
        return std::to_string(registry.ReadInteger(ident));
    }
}

std::int32_t TRegistryIniFile::ReadInteger(const std::string& section, const std::string& ident,
                                           std::int32_t default_value) const {
    TRegistry registry;
    if (!registry.OpenKey(SectionKey(section), false) || !registry.ValueExists(ident)) return default_value;
    try {
        return registry.ReadInteger(ident);
    } catch (const ERegistryException&) {
        return ParseInteger(registry.ReadString(ident)).value_or(default_value);
    }
}

void TRegistryIniFile::WriteString(const std::string& section, const std::string& ident, const std::string& value) {
    TRegistry registry;
    OpenForWriting(registry, section);
    try {
        registry.WriteString(ident, value);
    } catch (const ERegistryException& e) {
        throw EIniFileException(e.what());
    }
}

void TRegistryIniFile::WriteInteger(const std::string& section, const std::string& ident, std::int32_t value) {
    TRegistry registry;
    OpenForWriting(registry, section);
    try {
        registry.WriteInteger(ident, value);
    } catch (const ERegistryException& e) {
        throw EIniFileException(e.what());
    }
}

bool TRegistryIniFile::ValueExists(const std::string& section, const std::string& ident) const {
    TRegistry registry;
    return registry.OpenKey(SectionKey(section), false) && registry.ValueExists(ident);
}

}  // namespace settings
