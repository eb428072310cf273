// Ini files and the registry seen as one: sections of named values, read with a default for a
// value that is missing. TIniFile keeps a text file ("[Section]" lines, then "Name=Value" lines);
// a relative file name lives in the same per-user config folder as the registry, an absolute one
// where it says. TRegistryIniFile keeps each section as a subkey of one registry key.
#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "platform/settings/registry.h"

namespace settings {

// A value that could not be stored, with the class library's wording.
class EIniFileException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TCustomIniFile {
public:
    virtual ~TCustomIniFile() = default;
    TCustomIniFile(const TCustomIniFile&) = delete;
    TCustomIniFile& operator=(const TCustomIniFile&) = delete;

    virtual std::string ReadString(const std::string& section, const std::string& ident,
                                   const std::string& default_value) const = 0;
    virtual void WriteString(const std::string& section, const std::string& ident, const std::string& value) = 0;
    // The default when the value is missing or is not a whole number.
    virtual std::int32_t ReadInteger(const std::string& section, const std::string& ident,
                                     std::int32_t default_value) const;
    virtual void WriteInteger(const std::string& section, const std::string& ident, std::int32_t value);
    virtual bool ValueExists(const std::string& section, const std::string& ident) const = 0;

protected:
    TCustomIniFile() = default;
};

class TIniFile : public TCustomIniFile {
public:
    explicit TIniFile(const std::string& file_name);

    // The file the values are kept in.
    const std::filesystem::path& FileName() const { return file_; }

    // Sections and names match without regard to case; a new name goes to the end of its
    // section, a new section to the end of the file. Every write reaches the file at once and
    // replaces it whole, so a failed write leaves the old file; it raises EIniFileException
    // "Unable to write to <file>".
    std::string ReadString(const std::string& section, const std::string& ident,
                           const std::string& default_value) const override;
    void WriteString(const std::string& section, const std::string& ident, const std::string& value) override;
    bool ValueExists(const std::string& section, const std::string& ident) const override;

private:
    std::filesystem::path file_;
};

class TRegistryIniFile : public TCustomIniFile {
public:
    // `key` is the registry key path (from the current user's root); sections are its subkeys.
    explicit TRegistryIniFile(const std::string& key);

    const std::string& Key() const { return key_; }

    std::string ReadString(const std::string& section, const std::string& ident,
                           const std::string& default_value) const override;
    void WriteString(const std::string& section, const std::string& ident, const std::string& value) override;
    // Stored as a registry integer; read back from an integer or from a string holding a number.
    std::int32_t ReadInteger(const std::string& section, const std::string& ident,
                             std::int32_t default_value) const override;
    void WriteInteger(const std::string& section, const std::string& ident, std::int32_t value) override;
    bool ValueExists(const std::string& section, const std::string& ident) const override;

private:
    std::string SectionKey(const std::string& section) const;
    // Opens the section's key for writing; raises EIniFileException when it cannot be made.
    void OpenForWriting(TRegistry& registry, const std::string& section) const;

    std::string key_;
};

}  // namespace settings
