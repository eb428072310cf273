// The window system of the program's process: it opens it, runs the main form's message loop
// and can show the kernel's message boxes as real dialogs. Message boxes otherwise go through
// the kernel's sink, so that tests install a recorder and nothing ever blocks on a dialog.
#pragma once

#include <memory>
#include <string>

namespace ui {

class TForm;

class TApplicationHost {
public:
    // Opens the window system for this process (once; later hosts share it).
    TApplicationHost(int& argc, char** argv);
    ~TApplicationHost();
    TApplicationHost(const TApplicationHost&) = delete;
    TApplicationHost& operator=(const TApplicationHost&) = delete;

    // Sets the application object's title and the window system's name for the program.
    void SetTitle(const std::string& title);

    // Shows `main_form` (which becomes the application object's main form) and runs events
    // until it is closed.
    void Run(TForm& main_form);

    // Shows message boxes as dialogs of the window system from now on, until this host ends
    // (the kernel's default writes them to standard error instead). A box raised on the
    // user-interface thread is modal and answers its caller. A box raised on any other thread is
    // handed to the user-interface thread, which puts it up as a window of its own when it next
    // handles events (also while it waits painting); the raising thread does not wait for it and
    // gets the answer OK.
    void InstallMessageBoxDialogs();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace ui
