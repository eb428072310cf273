// Colour values of the markup's tag attributes: "#RRGGBB" and the 40 colour names.
#pragma once

#include <string>

#include "platform/ui/graphics/colors.h"

namespace panel {

// The colour of a lower-case colour name ("clred", "clinfobk", ...); 0 (black) for a name
// outside the table.
ui::TColor ColorFromMarkupName(const std::string& name);

// "#RRGGBB" (hexadecimal digits in either case) as 0x00BBGGRR. A value that is not "#" and six
// hexadecimal digits gives 0.
ui::TColor ColorFromMarkupHex(const std::string& value);

// An attribute's colour: empty gives clNone (no change, transparent), "#..." the hexadecimal
// colour, anything else the colour name looked up in lower case.
ui::TColor MarkupColor(const std::string& value);

}  // namespace panel
