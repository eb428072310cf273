// The program's version block: the fixed part, the language/code-page table and the version
// strings, compiled into the program at build time (app/CMakeLists.txt fills it in). A build
// without a version block has none: ProgramVersionBlock() returns null.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace app {

struct TFixedFileInfo {
    std::uint32_t file_flags = 0;
    std::uint32_t file_flags_mask = 0;
    std::uint32_t file_os = 0;
    std::uint32_t file_type = 0;
    std::uint32_t file_date_ms = 0;  // high 32 bits of the file time
    std::uint32_t file_date_ls = 0;  // low 32 bits
};

struct TVersionBlock {
    TFixedFileInfo fixed;
    // Language and code page pairs, in stored order.
    std::vector<std::pair<std::uint16_t, std::uint16_t>> translations;
    // Strings by their query path, "StringFileInfo\040904E4\CompanyName".
    std::map<std::string, std::string> strings;

    // The value stored under a query path, or nothing when the key is missing.
    std::optional<std::string> Query(const std::string& path) const;
};

// The block compiled into this program, or null.
const TVersionBlock* ProgramVersionBlock();

}  // namespace app
