// The visual-styles binding: themed drawing of standard parts (check boxes, ...) when the
// desktop has a visual style active. There is one binding per process, bound before the first
// window exists. On this platform no visual style is ever active, so the bound binding answers
// IsThemeActive() with false and opens no theme data; callers then draw their own pictures.
// Tests replace the binding with ScopedVisualStyles (e.g. with FakeVisualStyles).
//
// User-interface thread only.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/geometry.h"

namespace theme {

// Part and state numbers of the "button" theme class used by the card list.
inline constexpr int kCheckBoxPart = 3;
inline constexpr int kCheckBoxUncheckedState = 1;
inline constexpr int kCheckBoxCheckedState = 5;

// The broadcast every top-level window receives when the desktop's visual style or colour
// scheme changes.
inline constexpr int WM_THEMECHANGED = 0x031A;

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

// The entry points of the visual-styles library, in the order the binding looks them up.
inline constexpr std::array<const char*, 46> kVisualStylesEntryPoints = {"OpenThemeData",
                                                                         "CloseThemeData",
                                                                         "DrawThemeBackground",
                                                                         "DrawThemeText",
                                                                         "GetThemeBackgroundContentRect",
                                                                         "GetThemeBackgroundExtent",
                                                                         "GetThemeTextExtent",
                                                                         "GetThemeTextMetrics",
                                                                         "GetThemeBackgroundRegion",
                                                                         "HitTestThemeBackground",
                                                                         "DrawThemeEdge",
                                                                         "DrawThemeIcon",
                                                                         "IsThemePartDefined",
                                                                         "IsThemeBackgroundPartiallyTransparent",
                                                                         "GetThemeColor",
                                                                         "GetThemeMetric",
                                                                         "GetThemeString",
                                                                         "GetThemeBool",
                                                                         "GetThemeInt",
                                                                         "GetThemeEnumValue",
                                                                         "GetThemePosition",
                                                                         "GetThemeFont",
                                                                         "GetThemeRect",
                                                                         "GetThemeMargins",
                                                                         "GetThemeIntList",
                                                                         "SetWindowTheme",
                                                                         "GetThemeFilename",
                                                                         "GetThemeSysColor",
                                                                         "GetThemeSysColorBrush",
                                                                         "GetThemeSysBool",
                                                                         "GetThemeSysSize",
                                                                         "GetThemeSysFont",
                                                                         "GetThemeSysString",
                                                                         "GetThemeSysInt",
                                                                         "IsThemeActive",
                                                                         "IsAppThemed",
                                                                         "GetWindowTheme",
                                                                         "EnableThemeDialogTexture",
                                                                         "IsThemeDialogTextureEnabled",
                                                                         "GetThemeAppProperties",
                                                                         "SetThemeAppProperties",
                                                                         "GetCurrentThemeName",
                                                                         "GetThemeDocumentationProperty",
                                                                         "GetThemePartSize",
                                                                         "DrawThemeParentBackground",
                                                                         "EnableTheming"};

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
    // Whether the entry point of that name (one of kVisualStylesEntryPoints) may be called:
    // false when the library lacks it or is not bound. Callers test before calling.
    virtual bool HasEntryPoint(const std::string& name) const = 0;
    // The colour scheme of the active theme ("NormalColor", "HomeStead", "Metallic" ...), empty
    // without one.
    virtual std::string CurrentColorSchemeName() const { return {}; }
};

// The binding without a library: no visual style, no entry point.
class NoVisualStyles final : public VisualStyles {
public:
    bool IsThemeActive() const override { return false; }
    std::unique_ptr<ThemeData> OpenThemeData(const std::string&) override { return nullptr; }
    bool HasEntryPoint(const std::string&) const override { return false; }
};

// Binds the visual-styles library ("UXTHEME.DLL", through the platform's module loading) once
// and looks up the entry points; a library that cannot be loaded, as on this platform, leaves
// the binding unbound with every entry point missing. Bind at start-up, before any window.
void BindVisualStylesLibrary();
// Releases the library when bound. Called once, after the last window is gone.
void UnbindVisualStylesLibrary();
bool VisualStylesLibraryBound();

// The process's binding: the guard's binding while a ScopedVisualStyles is in force, else the
// bound library, else NoVisualStyles.
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
