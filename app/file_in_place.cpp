#include "app/file_in_place.h"

#include <vector>

#include "app/file_errors.h"

namespace app {
namespace {

// After a failed write: the old bytes and size again. A second failure here cannot be reported
// better than the first, which the caller raises.
void PutBack(ui::TStream& file, const std::vector<std::uint8_t>& old) noexcept {
    try {
        file.SetPosition(0);
        file.WriteBuffer(old.data(), static_cast<std::int64_t>(old.size()));
        file.SetSize(static_cast<std::int64_t>(old.size()));
    } catch (const ui::Exception&) {}
}

}  // namespace

void OverwriteInPlace(ui::TStream& file, const std::string& file_name, const std::uint8_t* data, std::size_t size) {
    const auto new_size = static_cast<std::int64_t>(size);
    std::vector<std::uint8_t> old;
    try {
        file.SetPosition(0);
        old = ui::ReadRemaining(file);
    } catch (const ui::Exception& e) {
        RaiseCannotWrite(file_name, e);
    }
    const auto old_size = static_cast<std::int64_t>(old.size());
    try {
        // Room first, while nothing of the old file has changed.
        if (new_size > old_size) file.SetSize(new_size);
    } catch (const ui::Exception& e) {
        // A reservation that failed half-way may have grown the file; its old bytes are as they were.
        try {
            file.SetSize(old_size);
        } catch (const ui::Exception&) {}
        RaiseCannotWrite(file_name, e);
    }
    try {
        file.SetPosition(0);
        file.WriteBuffer(data, new_size);
        // The tail of a longer old file goes only now that the new bytes are in.
        if (new_size < old_size) file.SetSize(new_size);
    } catch (const ui::Exception& e) {
        PutBack(file, old);
        RaiseCannotWrite(file_name, e);
    }
}

}  // namespace app
