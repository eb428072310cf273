// Writing a file over itself on a stream that fails where a disk can: no room when the file
// grows, or a write that fails part of the way. The old bytes survive every failure.
#include "app/file_in_place.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/ui/core/exceptions.h"
#include "platform/ui/core/streams.h"

namespace app {
namespace {

// A file in memory whose disk is full beyond `room` bytes, and whose write crossing byte
// `fail_once_at` (counted over every write) fails once, as a passing disk error would.
class FlakyFile : public ui::TMemoryStream {
public:
    FlakyFile(const std::string& content, std::int64_t room, std::int64_t fail_once_at)
        : room_(room), fail_once_at_(fail_once_at) {
        TMemoryStream::Write(content.data(), static_cast<std::int64_t>(content.size()));
        written_ = 0;
    }

    std::int64_t Write(const void* buffer, std::int64_t count) override {
        if (fail_once_at_ >= 0 && written_ + count > fail_once_at_) {
            // The bytes up to that point go in; the write after them fails.
            const std::int64_t part = fail_once_at_ - written_;
            if (part == 0) {
                fail_once_at_ = -1;
                return 0;
            }
            count = part;
        }
        written_ += count;
        return TMemoryStream::Write(buffer, count);
    }
    void SetSize(std::int64_t new_size) override {
        if (new_size > room_) throw ui::EWriteError("Cannot write file \"/albums/album.ZRB\". No space left on device");
        TMemoryStream::SetSize(new_size);
    }
    std::string Content() const { return {Bytes().begin(), Bytes().end()}; }

private:
    std::int64_t room_;
    std::int64_t fail_once_at_;
    std::int64_t written_ = 0;
};

TEST(OverwriteInPlace, FailuresLeaveTheOldBytes) {
    const std::string old_bytes = "the old album, 32 bytes of it...";
    const std::string longer(50, 'L');
    const std::string shorter = "short";
    const struct {
        const char* name;
        std::string bytes;
        std::int64_t room;
        std::int64_t fail_once_at;
        const char* error;  // empty: written
    } cases[] = {
        {"longer", longer, 100, -1, ""},
        {"shorter: cut after it is written", shorter, 100, -1, ""},
        {"no room for the longer one", longer, 40, -1, "No space left on device"},
        {"no room needed for the shorter one", shorter, 32, -1, ""},
        {"a write fails half-way", longer, 100, 20, "Stream write error"},
        {"a write fails before the cut", shorter, 100, 3, "Stream write error"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FlakyFile file(old_bytes, c.room, c.fail_once_at);
        std::string error;
        try {
            OverwriteInPlace(file, "album.ZRB", reinterpret_cast<const std::uint8_t*>(c.bytes.data()), c.bytes.size());
        } catch (const ui::EWriteError& e) {
            error = e.what();
        }
        if (*c.error == '\0') {
            EXPECT_EQ(error, "");
            EXPECT_EQ(file.Content(), c.bytes);
        } else {
            EXPECT_EQ(error, std::string("Cannot write file \"album.ZRB\". ") + c.error);
            EXPECT_EQ(file.Content(), old_bytes);
        }
    }
}

}  // namespace
}  // namespace app
