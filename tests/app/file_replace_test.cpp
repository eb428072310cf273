// Saving over what is already there, with real files, links and modes: the save does what writing
// the file itself would (refused for a file the user may not write, through a link to the file
// it points to, in place where the folder takes no temporary file) and replaces the file in one
// rename wherever it can.
#include "app/file_replace.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

// The unprivileged user the saves run as when the suite runs as root, which may write any file
// and into any folder whatever their modes.
constexpr uid_t kNobody = 65534;

// Runs `save` as a user who is not root: here when this process is not root, else in a child
// process that gives root up. With `file_size_limit` it always runs in a child whose files
// cannot grow beyond that many bytes (the kernel then refuses as a full disk would, with "File
// too large"). Returns what `save` returned, nothing when root could not be given up.
std::optional<std::string> AsUser(const std::function<std::string()>& save,
                                  std::optional<rlim_t> file_size_limit = std::nullopt) {
    if (::geteuid() != 0 && !file_size_limit) return save();
    int out[2];
    if (::pipe(out) != 0) return std::nullopt;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(out[0]);
        if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) {
            ::_exit(77);
        }
        if (file_size_limit) {
            const rlimit limit{*file_size_limit, *file_size_limit};
            // The refused write is an error, not the signal that would end the process.
            if (::signal(SIGXFSZ, SIG_IGN) == SIG_ERR || ::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(78);
        }
        const std::string result = save();
        const bool sent = ::write(out[1], result.data(), result.size()) == static_cast<ssize_t>(result.size());
        ::_exit(sent ? 0 : 1);
    }
    ::close(out[1]);
    std::string result;
    char buffer[256];
    for (ssize_t n; (n = ::read(out[0], buffer, sizeof buffer)) > 0;)
        result.append(buffer, static_cast<std::size_t>(n));
    ::close(out[0]);
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return std::nullopt;
    }
    return result;
}

// The user the saves run as owns `path` (the modes then speak of that user's own files).
void GiveToUser(const fs::path& path) {
    if (::geteuid() == 0) {
        ASSERT_EQ(::lchown(path.c_str(), kNobody, kNobody), 0) << path;
    }
}

std::string Content(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

ino_t Inode(const fs::path& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

std::vector<std::string> NamesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Saves `bytes` to `name`; the error's text, or nothing when it saved.
std::string Save(const std::string& name, const std::string& bytes) {
    try {
        app::WriteFileReplacing(name, reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        return std::string();
    } catch (const std::exception& e) {
        return std::string(e.what());
    }
}

TEST(FileReplace, SavingOverWhatIsThereDoesWhatWritingTheFileWould) {
    const struct {
        const char* name;
        fs::perms file_mode;    // none: no file there
        fs::perms folder_mode;  // of the folder holding the file
        bool through_link;      // the name saved to is a link beside that folder, pointing into it
        const char* error;      // the reason after "Cannot create file "<name>". "; empty: saved
        bool in_place;          // saved without a rename: the file keeps its inode
    } cases[] = {
        {"a writable file", fs::perms(0640), fs::perms(0755), false, "", false},
        {"a read-only file", fs::perms(0444), fs::perms(0755), false, "Permission denied", false},
        {"through a link", fs::perms(0640), fs::perms(0755), true, "", false},
        {"through a link to a read-only file", fs::perms(0444), fs::perms(0755), true, "Permission denied", false},
        {"a new file through a dangling link", fs::perms::none, fs::perms(0755), true, "", false},
        {"a writable file in a closed folder", fs::perms(0640), fs::perms(0555), false, "", true},
        {"a read-only file in a closed folder", fs::perms(0444), fs::perms(0555), false, "Permission denied", false},
        {"a new file in a closed folder", fs::perms::none, fs::perms(0555), false, "Permission denied", false},
    };
    test_support::ScratchFolder scratch;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path base = scratch.Path() / ("case" + std::to_string(&c - cases));
        const fs::path folder = base / "albums";
        const fs::path target = folder / "album.ZRB";
        const fs::path link = base / "link.ZRB";
        fs::create_directories(folder);
        const bool existed = c.file_mode != fs::perms::none;
        if (existed) {
            std::ofstream(target) << "old";
            fs::permissions(target, c.file_mode);
            GiveToUser(target);
        }
        if (c.through_link) {
            fs::create_symlink("albums/album.ZRB", link);
            GiveToUser(link);
        }
        fs::permissions(folder, c.folder_mode);
        GiveToUser(folder);
        GiveToUser(base);
        const ino_t before = Inode(target);

        const std::string name = (c.through_link ? link : target).string();
        const auto outcome = AsUser([&name] {
            try {
                const std::string bytes = "new album";
                app::WriteFileReplacing(name, reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
                return std::string();
            } catch (const std::exception& e) {
                return std::string(e.what());
            }
        });
        fs::permissions(folder, fs::perms(0755));  // for the checks and the clean-up
        if (!outcome) {
            GTEST_SKIP() << "root could not run the save as an unprivileged user";
        }

        const std::string expected_error = *c.error == '\0' ? "" : "Cannot create file \"" + name + "\". " + c.error;
        EXPECT_EQ(*outcome, expected_error);
        if (expected_error.empty()) {
            EXPECT_EQ(Content(target), "new album");
            if (existed) {
                EXPECT_EQ(fs::status(target).permissions(), c.file_mode) << "the replaced file lost its mode";
                EXPECT_EQ(Inode(target) == before, c.in_place) << "renamed in one step: a new inode";
            }
        } else if (existed) {
            EXPECT_EQ(Content(target), "old");
            EXPECT_EQ(fs::status(target).permissions(), c.file_mode);
        } else {
            EXPECT_FALSE(fs::exists(target));
        }
        if (c.through_link) {
            EXPECT_TRUE(fs::is_symlink(fs::symlink_status(link))) << "the link was replaced";
            std::error_code error;
            EXPECT_EQ(fs::read_symlink(link, error), "albums/album.ZRB");
        }
        // Nothing left behind: no temporary file beside the link or the file.
        const std::vector<std::string> files =
            fs::exists(target) ? std::vector<std::string>{"album.ZRB"} : std::vector<std::string>{};
        EXPECT_EQ(NamesIn(folder), files);
        EXPECT_EQ(NamesIn(base), c.through_link ? (std::vector<std::string>{"albums", "link.ZRB"})
                                                : std::vector<std::string>{"albums"});
    }
}

// The temporary file is this save's own: whatever someone put beside the album under a name a
// save might use (a link to another of the user's files, a file of their own) is neither written,
// renamed onto the album nor removed; and the temporary name fits beside the longest album name.
TEST(FileReplace, TheTemporaryFileIsNewAndNothingElseIsTouched) {
    const struct {
        const char* name;
        std::string album;  // file name in the folder
        bool plant_link;    // a link at "<album>.tmp~" to a file outside the folder
        bool plant_file;    // a file of someone else's at "<album>.tmp~"
    } cases[] = {
        {"a link planted at <album>.tmp~", "album.ZRB", true, false},
        {"a file planted at <album>.tmp~", "album.ZRB", false, true},
        {"an album name of 251 bytes", std::string(247, 'a') + ".ZRB", false, false},
    };
    test_support::ScratchFolder scratch;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path base = scratch.Path() / ("case" + std::to_string(&c - cases));
        const fs::path folder = base / "shared";
        const fs::path target = folder / c.album;
        const fs::path planted = folder / (c.album + ".tmp~");
        const fs::path elsewhere = base / "diary.txt";
        fs::create_directories(folder);
        std::ofstream(target) << "old";
        std::ofstream(elsewhere) << "the user's diary";
        if (c.plant_link) fs::create_symlink(elsewhere, planted);
        if (c.plant_file) std::ofstream(planted) << "someone else's";
        const ino_t before = Inode(target);

        EXPECT_EQ(Save(target.string(), "new album"), "");

        EXPECT_FALSE(fs::is_symlink(fs::symlink_status(target))) << "the album became a link";
        EXPECT_EQ(Content(target), "new album");
        EXPECT_NE(Inode(target), before) << "written in place instead of through a temporary file";
        EXPECT_EQ(Content(elsewhere), "the user's diary");
        std::vector<std::string> names{c.album};
        if (c.plant_link) {
            EXPECT_TRUE(fs::is_symlink(fs::symlink_status(planted))) << "the planted link was removed";
            names.push_back(planted.filename().string());
        }
        if (c.plant_file) {
            EXPECT_EQ(Content(planted), "someone else's");
            names.push_back(planted.filename().string());
        }
        std::sort(names.begin(), names.end());
        EXPECT_EQ(NamesIn(folder), names);
    }
}

// Where the folder takes no temporary file the album is written in place. Its room is made sure
// of first: a disk too full for the new album refuses the save, naming the file and the reason,
// and the old album stays whole. A shorter album is cut to its size only once it is written.
TEST(FileReplace, InPlaceSaveMakesSureOfTheRoomFirst) {
    const std::string old_album(3000, 'o');
    const struct {
        const char* name;
        std::string bytes;
        const char* error;  // the reason after "Cannot write file "<name>". "; empty: saved
    } cases[] = {
        {"a larger album than the disk takes", std::string(8000, 'n'), "File too large"},
        {"a smaller album", std::string(1000, 's'), ""},
        {"a larger album that fits", std::string(3800, 'l'), ""},
    };
    // More than the old album, less than the largest new one: a full disk for this save.
    constexpr rlim_t kRoom = 4000;
    test_support::ScratchFolder scratch;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path folder = scratch.Path() / ("case" + std::to_string(&c - cases));
        const fs::path target = folder / "album.ZRB";
        fs::create_directories(folder);
        std::ofstream(target) << old_album;
        GiveToUser(target);
        fs::permissions(folder, fs::perms(0555));
        GiveToUser(folder);
        const ino_t before = Inode(target);

        const std::string name = target.string();
        const std::string bytes = c.bytes;
        const auto outcome = AsUser([&name, &bytes] { return Save(name, bytes); }, kRoom);
        fs::permissions(folder, fs::perms(0755));
        ASSERT_TRUE(outcome) << "the save could not run in a process of its own";

        EXPECT_EQ(Inode(target), before) << "not written in place";
        if (*c.error == '\0') {
            EXPECT_EQ(*outcome, "");
            EXPECT_TRUE(Content(target) == c.bytes) << "not the new album";
        } else {
            EXPECT_EQ(*outcome, "Cannot write file \"" + name + "\". " + c.error);
            const std::string now = Content(target);
            EXPECT_TRUE(now == old_album)
                << "the refused save damaged the old album: " << now.size() << " bytes, starting " << now.substr(0, 8);
        }
        EXPECT_EQ(NamesIn(folder), std::vector<std::string>{"album.ZRB"});
    }
}

}  // namespace
