// A visual-styles library for tests, loaded in place of the system's through the module
// override: it exports only the entry point that answers whether a style is active.
extern "C" __attribute__((visibility("default"))) int IsThemeActive() { return 1; }
