// The visual-styles binding: themed drawing of standard parts (check boxes, ...) when the
// desktop has a visual style active. There is one binding per process, bound before the first
// window exists. On this platform no visual style is ever active, so the bound binding answers
// IsThemeActive() with false and opens no theme data; callers then draw their own pictures.
// Tests replace the binding with ScopedVisualStyles (e.g. with FakeVisualStyles).
//
// User-interface thread only.
#pragma once

#include <memory>
#include <string>

#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/geometry.h"

namespace theme {

// Part and state numbers of the "button" theme class used by the card list.
inline constexpr int kCheckBoxPart = 3;
inline constexpr int kCheckBoxUncheckedState = 1;
inline constexpr int kCheckBoxCheckedState = 5;

// Theme data of one theme class; closing it is destroying it (CloseThemeData).
class ThemeData {
public:
    ThemeData() = default;
    ThemeData(const ThemeData&) = delete;
    ThemeData& operator=(const ThemeData&) = delete;
    virtual ~ThemeData() = default;

    // Draws the background of `part` in `state` into `rect` of the canvas.
    virtual void DrawThemeBackground(ui::TCanvas& canvas, int part, int state, const ui::TRect& rect) = 0;
};

class VisualStyles {
public:
    VisualStyles() = default;
    VisualStyles(const VisualStyles&) = delete;
    VisualStyles& operator=(const VisualStyles&) = delete;
    virtual ~VisualStyles() = default;

    // True when a visual style is active and themed drawing may be used.
    virtual bool IsThemeActive() const = 0;
    // Theme data for a theme class name such as "button"; nullptr when the class has none.
    virtual std::unique_ptr<ThemeData> OpenThemeData(const std::string& class_list) = 0;
    // The colour scheme of the active theme ("NormalColor", "HomeStead", "Metallic" ...), empty
    // without one.
    virtual std::string CurrentColorSchemeName() const { return {}; }
};

// The binding of this platform: never a visual style.
class NoVisualStyles final : public VisualStyles {
public:
    bool IsThemeActive() const override { return false; }
    std::unique_ptr<ThemeData> OpenThemeData(const std::string&) override { return nullptr; }
};

// The process's binding: NoVisualStyles unless a ScopedVisualStyles is in force.
VisualStyles& CurrentVisualStyles();

// Puts `styles` in place of the process's binding for the guard's lifetime; guards nest.
class ScopedVisualStyles {
public:
    explicit ScopedVisualStyles(VisualStyles& styles);
    ~ScopedVisualStyles();
    ScopedVisualStyles(const ScopedVisualStyles&) = delete;
    ScopedVisualStyles& operator=(const ScopedVisualStyles&) = delete;

private:
    VisualStyles* previous_;
};

}  // namespace theme
