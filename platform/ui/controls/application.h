// The application object: title, main form, the default error report, message processing and
// the hint settings. Exceptions never cross Qt's event loop: the control layer catches them and
// hands them to HandleException, which shows the message through the kernel's message-box sink.
#pragma once

#include <exception>
#include <functional>
#include <string>

#include "platform/ui/core/component.h"
#include "platform/ui/graphics/geometry.h"

namespace ui {

class TApplication {
public:
    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& title) { title_ = title; }
    TComponent* MainForm() const { return main_form_; }
    void SetMainForm(TComponent* form) { main_form_ = form; }

    // The default error report: OnException when assigned, else ShowException. EAbort is silent.
    void HandleException(const std::exception& error);
    // A message box with the error's text, captioned with the title.
    void ShowException(const std::exception& error);
    // Runs the pending events of the user-interface thread.
    void ProcessMessages();
    // Paints every shown window now and runs nothing else: no input, no timers. For a command
    // that keeps the thread busy after a dialog closed, so that the windows do not go on
    // showing the dialog's picture meanwhile.
    void ProcessPaintMessages();
    // Takes down the hint that is showing, if any.
    void CancelHint();
    // The control under `screen` (screen coordinates) has a new hint there: one showing is
    // replaced at once by the text the control now gives (or taken down when it gives none);
    // without one showing, the next shows after the usual pause once the mouse rests.
    void ActivateHint(TPoint screen);

    int HintPause() const { return hint_pause_ms_; }
    void SetHintPause(int ms) { hint_pause_ms_ = ms; }
    int HintHidePause() const { return hint_hide_pause_ms_; }
    void SetHintHidePause(int ms) { hint_hide_pause_ms_ = ms; }
    bool ShowHint() const { return show_hint_; }
    void SetShowHint(bool value) { show_hint_ = value; }

    std::function<void(const std::exception& error)> OnException;

private:
    std::string title_;
    TComponent* main_form_ = nullptr;
    int hint_pause_ms_ = 500;
    int hint_hide_pause_ms_ = 2500;
    bool show_hint_ = true;
};

// The one application object of the process (user-interface thread only).
TApplication& Application();

// Runs `action` and reports any exception through the default error report; for code that runs
// from Qt's event loop.
template <typename F>
void Guarded(F&& action) noexcept {
    try {
        action();
    } catch (const std::exception& e) {
        Application().HandleException(e);
    } catch (...) {
        Application().HandleException(std::runtime_error("Unknown exception"));
    }
}

}  // namespace ui
