// Module loading by the module name the system was written with.
#include "platform/kernel/module.h"

#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace kernel {

namespace {

thread_local std::string t_last_error;

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

bool EndsWithNoCase(const std::string& s, const std::string& suffix) {
    return s.size() >= suffix.size() && Lower(s.substr(s.size() - suffix.size())) == suffix;
}

// The part after the last '/' or '\'.
std::string BaseName(const std::string& name) {
    const auto slash = name.find_last_of("/\\");
    return slash == std::string::npos ? name : name.substr(slash + 1);
}

// The folder of this shared library, where every binary of the product lands.
std::string KernelFolder() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&ModuleFileName), &info) == 0 || info.dli_fname == nullptr) return {};
    const std::string path = info.dli_fname;
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string{} : path.substr(0, slash);
}

std::string LoaderError() {
    const char* text = dlerror();
    return text != nullptr ? text : "unknown loader error";
}

}  // namespace

std::string ModuleFileName(const std::string& moduleName) {
    if (EndsWithNoCase(moduleName, ".so")) return moduleName;
    const auto slash = moduleName.find_last_of("/\\");
    const std::string folder = slash == std::string::npos ? std::string{} : moduleName.substr(0, slash + 1);
    std::string base = BaseName(moduleName);
    // The original loader appends ".dll" to a name without extension, so both map alike.
    if (EndsWithNoCase(base, ".dll")) base.resize(base.size() - 4);
    return folder + "lib" + Lower(base) + ".so";
}

std::string ModuleOverrideVariable(const std::string& moduleName) {
    std::string base = BaseName(moduleName);
    if (EndsWithNoCase(base, ".dll")) {
        base.resize(base.size() - 4);
    } else if (EndsWithNoCase(base, ".so")) {
        base.resize(base.size() - 3);
        if (Lower(base.substr(0, 3)) == "lib") base.erase(0, 3);
    }
    std::string variable = "QBK_MODULE_";
    for (unsigned char c : base) variable += std::isalnum(c) ? static_cast<char>(std::toupper(c)) : '_';
    return variable;
}

std::unique_ptr<Module> Module::Load(const std::string& moduleName) {
    auto open = [](const std::string& path) -> std::unique_ptr<Module> {
        void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr) {
            t_last_error = LoaderError();
            return nullptr;
        }
        return std::unique_ptr<Module>(new Module(handle, path));
    };

    const std::string variable = ModuleOverrideVariable(moduleName);
    if (const char* override_path = std::getenv(variable.c_str()); override_path != nullptr && *override_path != '\0') {
        // No fallback: a test that names a missing file wants the failure.
        auto module = open(override_path);
        if (!module) t_last_error = variable + "=" + override_path + ": " + t_last_error;
        return module;
    }

    const std::string file = ModuleFileName(moduleName);
    if (file.find('/') != std::string::npos) return open(file);

    if (const std::string folder = KernelFolder(); !folder.empty()) {
        const std::string beside = folder + "/" + file;
        // A broken file beside the program is reported rather than silently replaced by another copy.
        if (access(beside.c_str(), F_OK) == 0) return open(beside);
    }
    return open(file);
}

Module::~Module() {
    if (handle_ != nullptr && !keep_loaded_) dlclose(handle_);
}

void* Module::Symbol(const std::string& name) const { return dlsym(handle_, name.c_str()); }

std::string LastModuleError() { return t_last_error; }

}  // namespace kernel
