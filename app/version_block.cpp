// The compiled-in version block. Its values come from app/CMakeLists.txt as QBK_VB_* definitions;
// a build configured with QBK_VERSION_BLOCK=OFF defines none and has no block.
#include "app/version_block.h"

namespace app {

std::optional<std::string> TVersionBlock::Query(const std::string& path) const {
    const auto found = strings.find(path);
    if (found == strings.end()) return std::nullopt;
    return found->second;
}

const TVersionBlock* ProgramVersionBlock() {
#ifdef QBK_VB_PRESENT
    static const TVersionBlock block = [] {
        TVersionBlock b;
        // Flags 0 (a release build), target VOS__WINDOWS32, type VFT_APP, no file date: the values
        // the original resource compiler writes for a plain program.
        b.fixed.file_flags_mask = 0x3F;
        b.fixed.file_os = 0x4;
        b.fixed.file_type = 0x1;
        b.translations.emplace_back(0x0409, 0x04E4);
        const std::string table = "StringFileInfo\\040904E4\\";
        const std::pair<const char*, const char*> entries[] = {
            {"CompanyName", QBK_VB_COMPANY_NAME},
            {"FileDescription", QBK_VB_FILE_DESCRIPTION},
            {"FileVersion", QBK_VB_FILE_VERSION},
            {"InternalName", QBK_VB_INTERNAL_NAME},
            {"LegalCopyright", QBK_VB_LEGAL_COPYRIGHT},
            {"LegalTradeMarks", QBK_VB_LEGAL_TRADEMARKS},
            {"OriginalFileName", QBK_VB_ORIGINAL_FILE_NAME},
            {"ProductName", QBK_VB_PRODUCT_NAME},
            {"ProductVersion", QBK_VB_PRODUCT_VERSION},
        };
        for (const auto& [key, value] : entries) b.strings[table + key] = value;
        // An empty comment is left out of the block altogether, as a resource compiler does.
        const std::string comments = QBK_VB_COMMENTS;
        if (!comments.empty()) b.strings[table + "Comments"] = comments;
        return b;
    }();
    return &block;
#else
    return nullptr;
#endif
}

}  // namespace app
