#include "platform/settings/registry.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <system_error>
#include <vector>

namespace settings {
namespace {

// The file holds one section per key and one line per value:
//   [Software\Maker\Product]
//   Name=i:42
//   Other=s:text with \n and \\ escaped
// Keys and value names match without regard to case, as registry names do.

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

std::string NormaliseKey(const std::string& key) {
    std::string out;
    for (char c : key) {
        if (c == '\\' && (out.empty() || out.back() == '\\')) continue;
        out += c;
    }
    while (!out.empty() && out.back() == '\\') out.pop_back();
    return out;
}

std::string Escape(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else
            out += c;
    }
    return out;
}

std::string Unescape(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size()) {
            const char n = s[++i];
            out += n == 'n' ? '\n' : n == 'r' ? '\r' : n;
        } else {
            out += s[i];
        }
    }
    return out;
}

struct Entry {
    std::string name;
    bool is_integer;
    std::int32_t integer;
    std::string text;
};
struct Section {
    std::string key;
    std::vector<Entry> entries;
};

std::vector<Section> Load() {
    std::vector<Section> sections;
    std::ifstream in(RegistryFile());
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            sections.push_back({line.substr(1, line.size() - 2), {}});
            continue;
        }
        const auto eq = line.find('=');
        if (sections.empty() || eq == std::string::npos || line.size() < eq + 3 || line[eq + 2] != ':') continue;
        Entry e{line.substr(0, eq), line[eq + 1] == 'i', 0, {}};
        const std::string body = line.substr(eq + 3);
        if (e.is_integer) {
            char* end = nullptr;
            const long long v = std::strtoll(body.c_str(), &end, 10);
            if (end == body.c_str() || *end != '\0' || v < INT32_MIN || v > INT32_MAX)
                continue;  // unreadable line: skipped
            e.integer = static_cast<std::int32_t>(v);
        } else if (line[eq + 1] == 's') {
            e.text = Unescape(body);
        } else {
            continue;
        }
        sections.back().entries.push_back(std::move(e));
    }
    return sections;
}

bool Save(const std::vector<Section>& sections) {
    const auto file = RegistryFile();
    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);
    const auto temp = file.string() + ".new";
    {
        std::ofstream out(temp, std::ios::trunc);
        if (!out) return false;
        for (const auto& s : sections) {
            out << '[' << s.key << "]\n";
            for (const auto& e : s.entries) {
                if (e.is_integer)
                    out << e.name << "=i:" << e.integer << '\n';
                else
                    out << e.name << "=s:" << Escape(e.text) << '\n';
            }
        }
        out.flush();
        if (!out) return false;
    }
    // Replacing the file whole keeps the old one intact when writing fails part way.
    std::filesystem::rename(temp, file, ec);
    return !ec;
}

Section* FindSection(std::vector<Section>& sections, const std::string& key) {
    const std::string wanted = Lower(key);
    for (auto& s : sections)
        if (Lower(s.key) == wanted) return &s;
    return nullptr;
}

}  // namespace

std::filesystem::path RegistryFile() {
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
        return std::filesystem::path(xdg) / "qbk" / "registry";
    if (const char* home = std::getenv("HOME"); home && *home)
        return std::filesystem::path(home) / ".config" / "qbk" / "registry";
    return std::filesystem::temp_directory_path() / "qbk" / "registry";
}

bool TRegistry::OpenKey(const std::string& key, bool canCreate) {
    CloseKey();
    if (root_ != RootKey::CurrentUser) return false;
    std::string path = NormaliseKey(key);
    if (!key.empty() && key.front() != '\\' && !path_.empty())
        path = path_ + "\\" + path;  // relative to the current key
    if (path.empty()) return false;
    auto sections = Load();
    if (!FindSection(sections, path)) {
        if (!canCreate) return false;
        sections.push_back({path, {}});
        if (!Save(sections)) return false;
    }
    path_ = path;
    open_ = true;
    return true;
}

void TRegistry::CloseKey() {
    open_ = false;
    path_.clear();
}

std::optional<TRegistry::Value> TRegistry::Find(const std::string& name) const {
    if (!open_) return std::nullopt;
    auto sections = Load();
    Section* s = FindSection(sections, path_);
    if (!s) return std::nullopt;
    const std::string wanted = Lower(name);
    for (const auto& e : s->entries)
        if (Lower(e.name) == wanted) return Value{e.is_integer, e.integer, e.text};
    return std::nullopt;
}

void TRegistry::Store(const std::string& name, const Value& value) {
    if (!open_) throw ERegistryException("Failed to set data for '" + name + "'");
    auto sections = Load();
    Section* s = FindSection(sections, path_);
    if (!s) {
        sections.push_back({path_, {}});
        s = &sections.back();
    }
    const std::string wanted = Lower(name);
    auto it =
        std::find_if(s->entries.begin(), s->entries.end(), [&](const Entry& e) { return Lower(e.name) == wanted; });
    Entry entry{name, value.is_integer, value.integer, value.text};
    if (it != s->entries.end())
        *it = entry;
    else
        s->entries.push_back(entry);
    if (!Save(sections)) throw ERegistryException("Failed to set data for '" + name + "'");
}

bool TRegistry::ValueExists(const std::string& name) const { return Find(name).has_value(); }

std::int32_t TRegistry::ReadInteger(const std::string& name) const {
    const auto v = Find(name);
    if (!v || !v->is_integer) throw ERegistryException("Invalid data type for '" + name + "'");
    return v->integer;
}

std::string TRegistry::ReadString(const std::string& name) const {
    const auto v = Find(name);
    if (v && v->is_integer) throw ERegistryException("Invalid data type for '" + name + "'");
    return v ? v->text : std::string();
}

void TRegistry::WriteInteger(const std::string& name, std::int32_t value) { Store(name, Value{true, value, {}}); }

void TRegistry::WriteString(const std::string& name, const std::string& value) { Store(name, Value{false, 0, value}); }

}  // namespace settings
