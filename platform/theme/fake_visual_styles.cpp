#include "platform/theme/fake_visual_styles.h"

#include <algorithm>
#include <iterator>

namespace theme {

namespace {

class FakeThemeData final : public ThemeData {
public:
    FakeThemeData(FakeVisualStyles& owner, std::string class_list)
        : owner_(owner), class_list_(std::move(class_list)) {}
    ~FakeThemeData() override { ++owner_.closed; }

    void DrawThemeBackground(ui::TCanvas& canvas, int part, int state, const ui::TRect& rect) override {
        owner_.drawn.push_back({class_list_, part, state, rect});
        canvas.Brush().SetColor(state == kCheckBoxCheckedState ? FakeVisualStyles::kCheckedColor
                                                               : FakeVisualStyles::kUncheckedColor);
        canvas.FillRect(rect);
    }

private:
    FakeVisualStyles& owner_;
    std::string class_list_;
};

}  // namespace

std::unique_ptr<ThemeData> FakeVisualStyles::OpenThemeData(const std::string& class_list) {
    opened.push_back(class_list);
    return std::make_unique<FakeThemeData>(*this, class_list);
}

bool FakeVisualStyles::HasEntryPoint(const std::string& name) const {
    static const char* const kOffered[] = {"OpenThemeData", "DrawThemeBackground", "CloseThemeData", "IsThemeActive",
                                           "GetCurrentThemeName"};
    if (std::find(missing.begin(), missing.end(), name) != missing.end()) return false;
    return std::any_of(std::begin(kOffered), std::end(kOffered), [&](const char* entry) { return name == entry; });
}

}  // namespace theme
