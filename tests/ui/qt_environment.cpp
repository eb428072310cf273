// Fonts, painters on text and image plug-ins need an application object. The tests run from
// GoogleTest's own main, so the one test application is created before the first test.
#include <gtest/gtest.h>

#include "tests/support/render.h"

namespace {

class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override { test_support::EnsureApplication(); }
};

[[maybe_unused]] const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace
