// The component style interface shared by the panels and the menus: one operation that takes a
// style number common to the whole component library (0 to 15) and maps it to the component's
// own style. Nothing in the program asks an object for it; it exists for users of the library.
#pragma once

#include <cstdint>

namespace menus {

using TSharedStyle = std::uint8_t;
// The shared styles are 0 to 15; a target maps each (or leaves it).
inline constexpr int kSharedStyleCount = 16;

class IStyleTarget {
public:
    virtual void SetSharedStyle(TSharedStyle style) = 0;

protected:
    ~IStyleTarget() = default;
};

}  // namespace menus
