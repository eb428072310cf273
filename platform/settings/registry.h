// The per-user registry: keys with named integer and string values, kept in one file per user
// under the XDG config directory ($XDG_CONFIG_HOME/qbk/registry, else ~/.config/qbk/registry).
// Only the current user's root exists on Linux; other roots fail to open.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>

namespace settings {

// A failed read or write of a value, with the class library's wording.
class ERegistryException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class RootKey { CurrentUser, LocalMachine };

// The file the current user's registry lives in.
std::filesystem::path RegistryFile();

class TRegistry {
public:
    TRegistry() = default;
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    RootKey GetRootKey() const { return root_; }
    void SetRootKey(RootKey root) {
        root_ = root;
        CloseKey();
    }

    // Opens a key path such as "\Software\Maker\Product" (leading "\" = from the root). With
    // canCreate false a key that does not exist is not opened. False when the key cannot be opened.
    bool OpenKey(const std::string& key, bool canCreate);
    void CloseKey();
    const std::string& CurrentPath() const { return path_; }

    bool ValueExists(const std::string& name) const;
    // Raises ERegistryException "Invalid data type for '<name>'" when the value is missing or not an integer.
    std::int32_t ReadInteger(const std::string& name) const;
    std::string ReadString(const std::string& name) const;  // "" when missing
    // Raise ERegistryException "Failed to set data for '<name>'" when the file cannot be written.
    void WriteInteger(const std::string& name, std::int32_t value);
    void WriteString(const std::string& name, const std::string& value);

private:
    struct Value {
        bool is_integer = false;
        std::int32_t integer = 0;
        std::string text;
    };
    using Key = std::map<std::string, Value>;
    std::optional<Value> Find(const std::string& name) const;
    void Store(const std::string& name, const Value& value);

    RootKey root_ = RootKey::CurrentUser;
    std::string path_;  // normalised key path while open, "" when closed
    bool open_ = false;
};

}  // namespace settings
