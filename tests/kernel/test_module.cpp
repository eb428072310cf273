// A loadable module with one known export, for the module loader tests.
extern "C" __attribute__((visibility("default"))) int kernel_test_module_answer() { return 42; }
