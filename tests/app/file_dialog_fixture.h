// Tests that drive the file dialogs: the file-dialog service swapped for as long as a test runs
// (an empty one lets the real dialog run), a folder of the test's own for the dialog to look in,
// and a file there that the dialog can pick but that does not open as an album.
#pragma once

#include <gtest/gtest.h>

#include <exception>
#include <fstream>
#include <string>
#include <utility>

#include "app/album_file.h"
#include "platform/ui/forms/dialogs.h"
#include "tests/app/fake_album.h"
#include "tests/app/window_fixture.h"
#include "tests/support/render.h"
#include "tests/support/temp_folder.h"

namespace app_test {

// Installs `service` for the file dialogs and puts the previous one back when it goes, however
// the test ends, so that a failed test leaves no dialog of its own to the tests after it.
class FileDialogServiceScope {
public:
    explicit FileDialogServiceScope(ui::TFileDialogService service)
        : previous_(ui::SetFileDialogService(std::move(service))) {}
    ~FileDialogServiceScope() { ui::SetFileDialogService(std::move(previous_)); }
    FileDialogServiceScope(const FileDialogServiceScope&) = delete;
    FileDialogServiceScope& operator=(const FileDialogServiceScope&) = delete;

private:
    ui::TFileDialogService previous_;
};

// A test that drives the real file dialog, in a folder of its own that also holds the registry
// of the windows it creates.
class RealFileDialogTest : public ::testing::Test {
protected:
    void SetUp() override { test_support::EnsureApplication(); }

    SettingsFolder scratch_;
    FileDialogServiceScope real_dialog_{ui::TFileDialogService()};
};

// A file named as an album that holds a few bytes of text, and the error that opening it as an
// album reports (empty when it opened, which a test must not accept).
struct NotAnAlbum {
    std::string path;
    std::string error;
};

inline NotAnAlbum WriteNotAnAlbum(const test_support::ScratchFolder& folder) {
    NotAnAlbum file{folder.File("damaged.ZRB"), {}};
    std::ofstream(file.path) << "this is no album, only a few bytes of text";
    try {
        app::testing_support::FakeAlbum album;
        app::OpenAlbum(album, 0, file.path);
    } catch (const std::exception& e) {
        file.error = e.what();
    }
    return file;
}

}  // namespace app_test
