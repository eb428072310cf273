#include "app/device_family.h"

#include <cmath>
#include <cstdio>

#include "platform/ui/core/exceptions.h"

namespace app {

const TDeviceFamily& DeviceFamilyAt(int family) {
    if (family < 0 || family >= kDeviceFamilyCount) throw ui::Exception("Range check error");
    return DeviceFamilies[static_cast<std::size_t>(family)];
}

bool IsV2Family(int family) {
    return family >= 0 && family < kDeviceFamilyCount && DeviceFamilies[static_cast<std::size_t>(family)].V2;
}

int ScreenWidth(int family) { return DeviceFamilyAt(family).Variants[0].Width; }
int ScreenHeight(int family) { return DeviceFamilyAt(family).Variants[0].Height; }
int AlbumCardWidth(int family) { return ScreenWidth(family) + 14; }

ui::TRect FitPictureRect(int w, int h, int W, int H) {
    // The order of the operations is part of the result: each quotient is rounded to extended
    // precision before the next one uses it.
    if (w <= 0 || h <= 0 || W <= 0 || H <= 0) return ui::TRect{};  // nothing to draw
    const long double aspect = static_cast<long double>(h) / static_cast<long double>(w);
    if (aspect > 0.75L) {
        const long double per_row = static_cast<long double>(h) / H;
        const auto s = static_cast<int>(std::floor(static_cast<long double>(w) / per_row));
        const int left = (W - s) / 2;  // C++ division truncates toward zero, as div does
        return ui::TRect{left, 0, left + s, H};
    }
    const long double per_column = static_cast<long double>(w) / W;
    const auto bottom = static_cast<int>(std::floor(static_cast<long double>(h) / per_column));
    return ui::TRect{0, 0, W, bottom};
}

std::string IdentityText(const TDeviceProperty& variant) {
    char text[16];
    std::snprintf(text, sizeof text, "%04X-%04X", static_cast<unsigned>(variant.DeviceId >> 16),
                  static_cast<unsigned>(variant.DeviceId & 0xFFFFu));
    return text;
}

}  // namespace app
