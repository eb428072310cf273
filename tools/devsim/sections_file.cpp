#include "tools/devsim/sections_file.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace devsim {

namespace {

bool ParseByte(const std::string& text, std::uint8_t& out) {
    try {
        std::size_t used = 0;
        const unsigned long value = std::stoul(text, &used, 0);
        if (used != text.size() || value > 0xFF) return false;
        out = static_cast<std::uint8_t>(value);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace

SectionsResult LoadSectionsFile(const std::string& path) {
    SectionsResult result;
    std::ifstream in(path);
    if (!in) {
        result.error = "cannot open sections file " + path;
        return result;
    }
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        std::istringstream words(line);
        std::string type_text, value_text, file;
        if (!(words >> type_text) || type_text[0] == '#') continue;
        Section section;
        std::string extra;
        if (!(words >> value_text >> file) || (words >> extra) || !ParseByte(type_text, section.type) ||
            !ParseByte(value_text, section.value)) {
            result.error = path + ":" + std::to_string(number) + ": expected \"<type> <value> <file>\"";
            return result;
        }
        std::filesystem::path data_path(file);
        if (data_path.is_relative()) data_path = folder / data_path;
        std::ifstream data(data_path, std::ios::binary);
        if (!data) {
            result.error = path + ":" + std::to_string(number) + ": cannot open " + data_path.string();
            return result;
        }
        section.bytes.assign(std::istreambuf_iterator<char>(data), std::istreambuf_iterator<char>());
        if (result.sections.size() == kMaxSections) {
            result.error = path + ": more than " + std::to_string(kMaxSections) + " sections";
            return result;
        }
        result.sections.push_back(std::move(section));
    }
    return result;
}

}  // namespace devsim
