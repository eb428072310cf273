#include "app/exe_info.h"

#include <cstdio>

#include "platform/kernel/system_info.h"

namespace app {

namespace {

std::string Hex4(std::uint16_t value) {
    char text[5];
    std::snprintf(text, sizeof text, "%04X", static_cast<unsigned>(value));
    return text;
}

}  // namespace

ui::TDateTime FileTimeToDateTime(std::uint64_t file_time) {
    // Day 0 of the date-time scale is 30 December 1899, 109205 days after 1 January 1601.
    constexpr double kTicksPerDay = 864000000000.0;
    constexpr double kDaysFrom1601 = 109205.0;
    return static_cast<double>(file_time) / kTicksPerDay - kDaysFrom1601;
}

TExeInfo::TExeInfo(ui::TComponent* owner) : TExeInfo(owner, ProgramVersionBlock()) {}

TExeInfo::TExeInfo(ui::TComponent* owner, const TVersionBlock* block) : ui::TComponent(owner) {
    for (std::string* s : {&company_name_, &file_description_, &file_version_, &internal_name_, &legal_copyright_,
                           &legal_trade_mark_, &original_file_name_, &product_name_, &product_version_, &comments_}) {
        *s = kExeInfoPlaceholder;
    }
    const bool designing = Designing() || (owner != nullptr && owner->Designing());
    if (!designing) ReadVersionInfo(block);
}

void TExeInfo::ReadVersionInfo(const TVersionBlock* block) {
    if (block == nullptr) return;
    file_flags_ = block->fixed.file_flags & block->fixed.file_flags_mask;
    target_os_ = block->fixed.file_os;
    file_type_ = block->fixed.file_type;
    file_date_ =
        FileTimeToDateTime((static_cast<std::uint64_t>(block->fixed.file_date_ms) << 32) | block->fixed.file_date_ls);
    // A block without a translation table has no string table to name; its strings then read
    // empty, as every query into a missing table does.
    std::string table;
    if (!block->translations.empty()) {
        table = Hex4(block->translations.front().first) + Hex4(block->translations.front().second);
    }
    const std::pair<const char*, std::string*> keys[] = {
        {"CompanyName", &company_name_},
        {"FileDescription", &file_description_},
        {"FileVersion", &file_version_},
        {"InternalName", &internal_name_},
        {"LegalCopyright", &legal_copyright_},
        {"LegalTradeMarks", &legal_trade_mark_},
        {"OriginalFileName", &original_file_name_},
        {"ProductName", &product_name_},
        {"ProductVersion", &product_version_},
        {"Comments", &comments_},
    };
    for (const auto& [key, field] : keys) {
        const auto value = table.empty() ? std::nullopt : block->Query("StringFileInfo\\" + table + "\\" + key);
        *field = value.value_or(std::string());
    }
}

std::string TExeInfo::ComputerName() const { return kernel::HostName(); }

void TExeInfo::SetComputerName(const std::string&) {}

std::string TExeInfo::OSName() const { return "Unknown"; }

std::string TExeInfo::TempDir() const { return kernel::TempPath(); }

std::string TExeInfo::Version() const {
    const std::uint32_t v = VersionNumber();
    return std::to_string(v >> 24) + "." + std::to_string((v >> 16) & 0xFF) + "." + std::to_string((v >> 8) & 0xFF) +
           "." + std::to_string(v & 0xFF);
}

}  // namespace app
