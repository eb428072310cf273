// The visual-styles binding and the panel unit that binds it, and the version test.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "controls/panel/panel_group.h"
#include "controls/panel/panel_unit.h"
#include "controls/panel/windows_version.h"
#include "platform/kernel/module.h"
#include "platform/kernel/system_info.h"
#include "platform/theme/fake_visual_styles.h"
#include "platform/theme/visual_styles.h"
#include "tests/support/render.h"

namespace {

TEST(VisualStylesBinding, ThisPlatformBindsNoLibraryAndOffersNoEntryPoint) {
    theme::BindVisualStylesLibrary();
    EXPECT_FALSE(theme::VisualStylesLibraryBound());
    for (const char* name : theme::kVisualStylesEntryPoints) {
        EXPECT_FALSE(theme::CurrentVisualStyles().HasEntryPoint(name)) << name;
    }
    EXPECT_FALSE(theme::CurrentVisualStyles().IsThemeActive());
    theme::UnbindVisualStylesLibrary();
    EXPECT_FALSE(theme::VisualStylesLibraryBound());
}

TEST(VisualStylesBinding, FakeOffersTheEntryPointsThemedPaintingCalls) {
    EXPECT_EQ(theme::kVisualStylesEntryPoints.size(), 46u);
    EXPECT_STREQ(theme::kVisualStylesEntryPoints.front(), "OpenThemeData");
    EXPECT_STREQ(theme::kVisualStylesEntryPoints.back(), "EnableTheming");
    theme::FakeVisualStyles fake;
    fake.missing = {"CloseThemeData"};
    theme::ScopedVisualStyles scope(fake);
    theme::VisualStyles& styles = theme::CurrentVisualStyles();
    EXPECT_TRUE(styles.HasEntryPoint("OpenThemeData"));
    EXPECT_TRUE(styles.HasEntryPoint("DrawThemeBackground"));
    EXPECT_TRUE(styles.HasEntryPoint("IsThemeActive"));
    EXPECT_FALSE(styles.HasEntryPoint("CloseThemeData"));
    EXPECT_FALSE(styles.HasEntryPoint("GetThemeColor"));
}

// The subsystem's unit binds the visual-styles library for its lifetime; a library that is
// there (the test one, through the module override) gives its entry points, and only those.
TEST(VisualStylesBinding, ThePanelUnitBindsTheLibraryForItsLifetime) {
    ASSERT_EQ(kernel::ModuleOverrideVariable("UXTHEME.DLL"), "QBK_MODULE_UXTHEME");
    ::setenv("QBK_MODULE_UXTHEME", QBK_TEST_VISUAL_STYLES_LIBRARY, 1);
    {
        panel::TPanelUnit unit;
        EXPECT_TRUE(theme::VisualStylesLibraryBound());
        EXPECT_TRUE(theme::CurrentVisualStyles().HasEntryPoint("IsThemeActive"));
        EXPECT_FALSE(theme::CurrentVisualStyles().HasEntryPoint("OpenThemeData"));
        EXPECT_TRUE(theme::CurrentVisualStyles().IsThemeActive());
    }
    EXPECT_FALSE(theme::VisualStylesLibraryBound());
    EXPECT_FALSE(theme::CurrentVisualStyles().IsThemeActive());
    ::unsetenv("QBK_MODULE_UXTHEME");
}

// The version test reads the kernel exports the menus read: this platform's stand-in exports
// the newer locale query, and a system without it is the older generation.
TEST(WindowsVersion, FollowsTheKernelExportOfTheNewerLocaleQuery) {
    EXPECT_EQ(panel::IsVistaOrLater(), kernel::KernelExports("GetLocaleInfoEx"));
    EXPECT_TRUE(panel::IsVistaOrLater());
    EXPECT_FALSE(panel::IsVistaOrLater([](const std::string& name) { return name == "GetTickCount"; }));
    // The group turns its own double buffering off on the newer generation.
    test_support::EnsureApplication();
    panel::TFinePanelGroup group(nullptr);
    EXPECT_FALSE(group.DoubleBuffered());
}

}  // namespace
