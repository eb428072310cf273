#include "platform/ui/core/streams.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>
#include <set>
#include <string>

#include "tests/support/temp_folder.h"

namespace ui {
namespace {

std::string TempPath(const std::string& name) {
    return (std::filesystem::temp_directory_path() / ("qbk_ui_" + std::to_string(::getpid()) + "_" + name)).string();
}

TEST(MemoryStream, WriteSeekReadAndGrow) {
    TMemoryStream s;
    const char text[] = "abcdef";
    s.WriteBuffer(text, 6);
    EXPECT_EQ(s.Size(), 6);
    EXPECT_EQ(s.Position(), 6);
    EXPECT_EQ(s.Seek(-2, TSeekOrigin::soEnd), 4);
    char out[4] = {};
    EXPECT_EQ(s.Read(out, 4), 2);  // short read at the end, no error
    EXPECT_EQ(std::string(out, 2), "ef");
    EXPECT_EQ(s.Read(out, 4), 0);
    // Writing past the end after a seek fills the gap with zeros.
    s.Seek(8, TSeekOrigin::soBeginning);
    s.WriteBuffer("X", 1);
    ASSERT_EQ(s.Size(), 9);
    EXPECT_EQ(s.Memory()[6], 0);
    EXPECT_EQ(s.Memory()[7], 0);
    EXPECT_EQ(s.Memory()[8], 'X');
}

TEST(MemoryStream, ReadBufferPastEndRaisesReadError) {
    TMemoryStream s;
    s.WriteBuffer("abc", 3);
    s.SetPosition(1);
    char out[3];
    try {
        s.ReadBuffer(out, 3);
        FAIL() << "no error";
    } catch (const EReadError& e) {
        EXPECT_STREQ(e.what(), "Stream read error");
    }
}

TEST(MemoryStream, SeekBeforeStartIsRefused) {
    TMemoryStream s;
    s.WriteBuffer("abc", 3);
    EXPECT_THROW(s.Seek(-4, TSeekOrigin::soCurrent), EStreamError);
    EXPECT_EQ(s.Position(), 3);
}

TEST(MemoryStream, CopyFromWholeSourceAndCount) {
    TMemoryStream source;
    source.WriteBuffer("0123456789", 10);
    TMemoryStream dest;
    EXPECT_EQ(dest.CopyFrom(source, 0), 10);  // 0 = the whole source from its start
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(dest.Memory()), 10), "0123456789");
    source.SetPosition(7);
    EXPECT_THROW(dest.CopyFrom(source, 5), EReadError);
}

// A stream that never accepts a byte: the checked write must report it.
class FullStream : public TMemoryStream {
public:
    std::int64_t Write(const void*, std::int64_t) override { return 0; }
};

TEST(Stream, WriteBufferOnFullStreamRaisesWriteError) {
    FullStream s;
    try {
        s.WriteBuffer("a", 1);
        FAIL() << "no error";
    } catch (const EWriteError& e) {
        EXPECT_STREQ(e.what(), "Stream write error");
    }
}

TEST(FileStream, CreateWriteReopenRead) {
    const std::string path = TempPath("file.bin");
    {
        TFileStream f(path, fmCreate);
        f.WriteBuffer("hello", 5);
        EXPECT_EQ(f.Size(), 5);
    }
    TFileStream f(path, fmOpenRead | fmShareDenyWrite);
    EXPECT_EQ(f.Size(), 5);
    char out[5];
    f.ReadBuffer(out, 5);
    EXPECT_EQ(std::string(out, 5), "hello");
    EXPECT_THROW(f.ReadBuffer(out, 1), EReadError);
    EXPECT_THROW(f.WriteBuffer("x", 1), EWriteError);  // opened for reading only
    std::remove(path.c_str());
}

TEST(FileStream, OpenAndCreateErrorsNameTheFile) {
    const std::string missing = TempPath("missing/none.bin");
    try {
        TFileStream f(missing, fmOpenRead);
        FAIL() << "no error";
    } catch (const EFOpenError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Cannot open file \"" + missing + "\". ", 0), 0u) << e.what();
    }
    try {
        TFileStream f(missing, fmCreate);
        FAIL() << "no error";
    } catch (const EFCreateError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Cannot create file \"" + missing + "\". ", 0), 0u) << e.what();
    }
    // A folder is no file to read.
    EXPECT_THROW(TFileStream(std::filesystem::temp_directory_path().string(), fmOpenRead), EFOpenError);
}

// A file only this caller made: never anything already there, a link least of all.
TEST(FileStream, ExclusiveCreationOpensNothingThatIsThere) {
    const std::filesystem::path dir = TempPath("exclusive");
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "theirs") << "theirs";
    std::filesystem::create_symlink(dir / "theirs", dir / "link");
    std::filesystem::create_symlink(dir / "nowhere", dir / "dangling");
    for (const char* name : {"theirs", "link", "dangling"}) {
        SCOPED_TRACE(name);
        const std::string path = (dir / name).string();
        try {
            TFileStream f(path, fmCreate | fmExclusive);
            FAIL() << "created";
        } catch (const EFCreateError& e) {
            EXPECT_STREQ(e.what(), ("Cannot create file \"" + path + "\". File exists").c_str());
        }
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "nowhere"));
    std::ifstream in(dir / "theirs");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "theirs");
    {
        TFileStream f((dir / "new").string(), fmCreate | fmExclusive);
        f.WriteBuffer("mine", 4);
    }
    EXPECT_EQ(std::filesystem::file_size(dir / "new"), 4u);
    std::filesystem::remove_all(dir);
}

// Unique files: new and empty, under short names that differ every time, in the folder asked for.
TEST(FileStream, UniqueFilesGetShortNamesNoOneCanGuess) {
    const std::filesystem::path dir = TempPath("unique");
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    std::set<std::string> names;
    for (int i = 0; i < 20; ++i) {
        const auto file = TFileStream::CreateUnique(dir.string());
        const std::filesystem::path path = file->FileName();
        EXPECT_EQ(path.parent_path(), dir);
        EXPECT_LE(path.filename().string().size(), 24u);
        EXPECT_EQ(file->Size(), 0);
        EXPECT_EQ(FileIdentityOf(path.string()), file->Identity());
        names.insert(path.filename().string());
    }
    EXPECT_EQ(names.size(), 20u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 20);
    std::filesystem::remove_all(dir);
    EXPECT_THROW(TFileStream::CreateUnique(dir.string()), EFCreateError);
}

// An identity is the file's, not its name's: a link is not the file it points to.
TEST(FileStream, IdentitiesTellFilesApart) {
    const std::filesystem::path dir = TempPath("identity");
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    TFileStream a((dir / "a").string(), fmCreate);
    TFileStream b((dir / "b").string(), fmCreate);
    std::filesystem::create_symlink(dir / "a", dir / "to-a");
    EXPECT_EQ(FileIdentityOf((dir / "a").string()), a.Identity());
    EXPECT_NE(a.Identity(), b.Identity());
    EXPECT_NE(FileIdentityOf((dir / "to-a").string()), a.Identity());
    EXPECT_EQ(FileIdentityOf((dir / "none").string()), std::nullopt);
    std::filesystem::rename(dir / "b", dir / "a");
    EXPECT_EQ(FileIdentityOf((dir / "a").string()), b.Identity()) << "the name follows the file it names now";
    std::filesystem::remove_all(dir);
}

// Growing a file takes its room on the disk at once; the bytes read as zeros.
TEST(FileStream, GrowingReservesTheRoom) {
    const std::string path = TempPath("grow.bin");
    {
        TFileStream f(path, fmCreate);
        f.WriteBuffer("ab", 2);
        f.SetSize(1 << 20);
        EXPECT_EQ(f.Size(), 1 << 20);
        f.SetSize(1);
        EXPECT_EQ(f.Size(), 1);
        f.SetSize(1 << 20);
    }
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_GE(st.st_blocks * 512, 1 << 20) << "a hole, not reserved room";
    std::ifstream in(path, std::ios::binary);
    const std::string bytes(std::istreambuf_iterator<char>(in), {});
    EXPECT_EQ(bytes[0], 'a');
    EXPECT_EQ(bytes.find_first_not_of('\0', 1), std::string::npos);
    std::remove(path.c_str());
}

TEST(FileStream, OnlyRegularFilesOpenForReadingAndNoneWaits) {
    test_support::ScratchFolder folder;
    const std::string pipe = folder.File("album.ZRB");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    // Opening a pipe with no writer must come back at once; should it wait, a writer opened after
    // a generous while lets it return, so that the test ends either way.
    auto opening = std::async(std::launch::async, [&] {
        try {
            TFileStream f(pipe, fmOpenRead | fmShareDenyWrite);
            return std::string("opened");
        } catch (const EFOpenError& e) {
            return std::string(e.what());
        }
    });
    if (opening.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
        const int writer = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK);
        opening.wait();
        if (writer >= 0) ::close(writer);
        FAIL() << "opening a named pipe waited for a writer";
    }
    EXPECT_EQ(opening.get(), "Cannot open file \"" + pipe + "\". It is not a regular file");
    // A device is no picture or album either; a regular file still opens and reads.
    EXPECT_THROW(TFileStream("/dev/zero", fmOpenRead), EFOpenError);
    {
        TFileStream f(folder.File("plain.bin"), fmCreate);
        f.WriteBuffer("abc", 3);
    }
    TFileStream plain(folder.File("plain.bin"), fmOpenRead);
    char out[3];
    plain.ReadBuffer(out, 3);
    EXPECT_EQ(std::string(out, 3), "abc");
}

TEST(MemoryStream, SaveAndLoadFile) {
    const std::string path = TempPath("mem.bin");
    TMemoryStream a;
    a.WriteBuffer("xyz", 3);
    a.SaveToFile(path);
    TMemoryStream b;
    b.LoadFromFile(path);
    EXPECT_EQ(b.Bytes(), a.Bytes());
    EXPECT_EQ(b.Position(), 0);
    std::remove(path.c_str());
}

}  // namespace
}  // namespace ui
