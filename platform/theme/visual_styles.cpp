#include "platform/theme/visual_styles.h"

#include <algorithm>
#include <iterator>

#include "platform/kernel/module.h"

namespace theme {

namespace {

// The bound visual-styles library: one cell per entry point, empty when the library lacks it.
// Themed drawing has no calling convention on this platform, so theme data is never opened;
// the library's own IsThemeActive answers whether a style is active.
class LibraryVisualStyles final : public VisualStyles {
public:
    explicit LibraryVisualStyles(std::unique_ptr<kernel::Module> module) : module_(std::move(module)) {
        for (std::size_t i = 0; i < kVisualStylesEntryPoints.size(); ++i) {
            cells_[i] = module_->Symbol(kVisualStylesEntryPoints[i]);
        }
    }

    bool IsThemeActive() const override {
        void* cell = Cell("IsThemeActive");
        if (cell == nullptr) return false;
        using IsThemeActiveFn = int (*)();
        return reinterpret_cast<IsThemeActiveFn>(cell)() != 0;
    }
    std::unique_ptr<ThemeData> OpenThemeData(const std::string&) override { return nullptr; }
    bool HasEntryPoint(const std::string& name) const override { return Cell(name) != nullptr; }

private:
    void* Cell(const std::string& name) const {
        const auto* it = std::find_if(kVisualStylesEntryPoints.begin(), kVisualStylesEntryPoints.end(),
                                      [&](const char* entry) { return name == entry; });
        if (it == kVisualStylesEntryPoints.end()) return nullptr;
        return cells_[static_cast<std::size_t>(std::distance(kVisualStylesEntryPoints.begin(), it))];
    }

    std::unique_ptr<kernel::Module> module_;
    std::array<void*, kVisualStylesEntryPoints.size()> cells_{};
};

// The binding is process-wide by design (one visual-styles library per process): the library
// bound at start-up, and the guard's replacement in tests.
struct Binding {
    NoVisualStyles none;
    std::unique_ptr<LibraryVisualStyles> library;
    VisualStyles* scoped = nullptr;
};

Binding& State() {
    static Binding binding;
    return binding;
}

}  // namespace

void BindVisualStylesLibrary() {
    Binding& b = State();
    if (b.library) return;
    if (std::unique_ptr<kernel::Module> module = kernel::Module::Load("UXTHEME.DLL")) {
        b.library = std::make_unique<LibraryVisualStyles>(std::move(module));
    }
}

void UnbindVisualStylesLibrary() { State().library.reset(); }

bool VisualStylesLibraryBound() { return State().library != nullptr; }

VisualStyles& CurrentVisualStyles() {
    Binding& b = State();
    if (b.scoped) return *b.scoped;
    if (b.library) return *b.library;
    return b.none;
}

ScopedVisualStyles::ScopedVisualStyles(VisualStyles& styles) : previous_(State().scoped) { State().scoped = &styles; }

ScopedVisualStyles::~ScopedVisualStyles() { State().scoped = previous_; }

}  // namespace theme
