// The program's own resources: data compiled into the executable (Qt resources), found by name
// under one fixed prefix. A resource "LOGO" is the file ":/rcdata/LOGO" of the program's
// resource collection files; names are used as written (case-sensitive).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ui {

// The resource folder every raw-data resource of the program lives in.
inline constexpr const char* kResourcePrefix = ":/rcdata/";

// The bytes of resource `name`; false (and `data` untouched) when the program has none of that
// name.
bool FindProgramResource(const std::string& name, std::vector<std::uint8_t>& data);

}  // namespace ui
