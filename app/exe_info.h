// TExeInfo: a non-visual component that publishes the program's version strings and a few facts
// about the machine. The strings come from the version block compiled into the program; each
// reads "Updated at run-time" when the program has no block.
#pragma once

#include <cstdint>
#include <string>

#include "app/version_block.h"
#include "platform/ui/core/component.h"
#include "platform/ui/core/sysutils.h"

namespace app {

inline constexpr const char* kExeInfoPlaceholder = "Updated at run-time";

class TExeInfo : public ui::TComponent {
public:
    // Reads the program's own version block (unless the owner is being designed).
    explicit TExeInfo(ui::TComponent* owner);
    // Reads `block` instead; null stands for a program without a version block.
    TExeInfo(ui::TComponent* owner, const TVersionBlock* block);

    std::string ClassName() const override { return "TExeInfo"; }

    const std::string& CompanyName() const { return company_name_; }
    void SetCompanyName(const std::string& v) { company_name_ = v; }
    const std::string& FileDescription() const { return file_description_; }
    void SetFileDescription(const std::string& v) { file_description_ = v; }
    const std::string& FileVersion() const { return file_version_; }
    void SetFileVersion(const std::string& v) { file_version_ = v; }
    const std::string& InternalName() const { return internal_name_; }
    void SetInternalName(const std::string& v) { internal_name_ = v; }
    const std::string& LegalCopyright() const { return legal_copyright_; }
    void SetLegalCopyright(const std::string& v) { legal_copyright_ = v; }
    const std::string& LegalTradeMark() const { return legal_trade_mark_; }
    void SetLegalTradeMark(const std::string& v) { legal_trade_mark_ = v; }
    const std::string& OriginalFileName() const { return original_file_name_; }
    void SetOriginalFileName(const std::string& v) { original_file_name_ = v; }
    const std::string& ProductName() const { return product_name_; }
    void SetProductName(const std::string& v) { product_name_ = v; }
    const std::string& ProductVersion() const { return product_version_; }
    void SetProductVersion(const std::string& v) { product_version_ = v; }
    const std::string& Comments() const { return comments_; }
    void SetComments(const std::string& v) { comments_ = v; }

    // The machine's host name, asked each time.
    virtual std::string ComputerName() const;
    // Renaming the machine is not something a user program may do here: the value is dropped,
    // as a refused rename is on the original platform.
    virtual void SetComputerName(const std::string& name);
    // No version of the original platform matches this system, so this reads "Unknown".
    virtual std::string OSName() const;
    void SetOSName(const std::string& v) { os_name_ = v; }
    // The original platform's own folders do not exist here; they read as a failed query does.
    std::string WindowsDir() const { return {}; }
    void SetWindowsDir(const std::string& v) { windows_dir_ = v; }
    std::string SystemDir() const { return {}; }
    void SetSystemDir(const std::string& v) { system_dir_ = v; }
    std::string TempDir() const;
    void SetTempDir(const std::string& v) { temp_dir_ = v; }
    // The component's own version, "1.2.1.0"; writing it has no effect.
    std::string Version() const;
    void SetVersion(const std::string&) {}

    // One byte each for major, minor, release and build, most significant first.
    virtual std::uint32_t VersionNumber() const { return 0x01020100; }

    // From the fixed part of the block; nothing in the program reads them.
    std::uint32_t FileFlags() const { return file_flags_; }
    std::uint32_t TargetOS() const { return target_os_; }
    std::uint32_t FileType() const { return file_type_; }
    ui::TDateTime FileDate() const { return file_date_; }

protected:
    // Reads the strings and the fixed part from `block`; a null block leaves every string as it is.
    virtual void ReadVersionInfo(const TVersionBlock* block);

private:
    std::string company_name_, file_description_, file_version_, internal_name_, legal_copyright_, legal_trade_mark_,
        original_file_name_, product_name_, product_version_, comments_;
    std::string os_name_, windows_dir_, system_dir_, temp_dir_;
    std::uint32_t file_flags_ = 0;
    std::uint32_t target_os_ = 0;
    std::uint32_t file_type_ = 0;
    ui::TDateTime file_date_ = 0;
};

// The calendar date and time of a file time (100 ns units since 1 January 1601, UTC).
ui::TDateTime FileTimeToDateTime(std::uint64_t file_time);

}  // namespace app
