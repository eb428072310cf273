// Loading shared libraries by the module name the system was written with ("CANAPI.DLL").
#pragma once

#include <memory>
#include <string>

namespace kernel {

// The Linux file name for a module name: "CANAPI.DLL" -> "libcanapi.so",
// "klp_lib_usb.dll" -> "libklp_lib_usb.so"; a name that already ends in ".so" is kept.
std::string ModuleFileName(const std::string& moduleName);

// Environment variable that may name another file for a module, so that tests can point at a
// missing or recording library: "QBK_MODULE_" + upper-case base name ("QBK_MODULE_CANAPI").
std::string ModuleOverrideVariable(const std::string& moduleName);

class Module {
public:
    // Loads the module: the override variable's file when set, else the mapped file next to the
    // binary that calls this (the kernel library's own folder, which is the program's folder),
    // else through the dynamic loader's search path. Null when it cannot be loaded.
    static std::unique_ptr<Module> Load(const std::string& moduleName);
    ~Module();
    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;

    // Address of an exported symbol, or null.
    void* Symbol(const std::string& name) const;
    // Leaves the module in the process until it ends: the destructor no longer frees it. For a
    // library whose threads may still be running its code.
    void KeepLoaded() { keep_loaded_ = true; }
    const std::string& Path() const { return path_; }

private:
    Module(void* handle, std::string path) : handle_(handle), path_(std::move(path)) {}
    void* handle_;
    std::string path_;
    bool keep_loaded_ = false;
};

// The reason the last Load on this thread failed (the loader's text).
std::string LastModuleError();

}  // namespace kernel
