// The data sections a simulated node publishes in its data sections object, read from a text file.
//
// One section per line: "<type> <value> <file>", type and value 0..255 (decimal or 0x hex), the
// file holding the section's bytes (relative to the sections file's folder). Empty lines and
// lines starting with '#' are skipped. At most 84 sections (kMaxSections), since sub-index 0
// holds 3 x count + 1 in one byte.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/device_objects.h"

namespace devsim {

struct Section {
    std::uint8_t type = 0;
    std::uint8_t value = 0;
    std::vector<std::uint8_t> bytes;
};

inline constexpr std::size_t kMaxSections = app::device_object::kMaxSections;

struct SectionsResult {
    std::vector<Section> sections;
    std::string error;  // empty on success; else names the line or file at fault
};

SectionsResult LoadSectionsFile(const std::string& path);

}  // namespace devsim
