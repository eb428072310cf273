// The application object: title, main form, the default error report, message processing and
// the hint settings. Exceptions never cross Qt's event loop: the control layer catches them and
// hands them to HandleException, which shows the message through the kernel's message-box sink.
#pragma once

#include <exception>
#include <functional>
#include <string>
#include <utility>
#include <vector>

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
    // Delivers what the window system has sent other than input (close requests among them)
    // and drops the input that came meanwhile. For a command that keeps the
    // thread busy, before it opens a modal window: the toolkit drops the close requests of the
    // windows a modal window blocks, so one made during the command would be lost.
    void ProcessRequestMessages();
    // The handlers of the toolkit's events now running, nested ones counted (see Guarded).
    bool InHandler() const { return handler_depth_ > 0; }
    // Runs `action` once the outermost running handler has returned; at once when none runs.
    void AfterHandlers(std::function<void()> action);
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

    // Counts a running handler for its lifetime; the last one to end runs what AfterHandlers
    // kept.
    class HandlerScope {
    public:
        HandlerScope();
        ~HandlerScope();
        HandlerScope(const HandlerScope&) = delete;
        HandlerScope& operator=(const HandlerScope&) = delete;
    };

private:
    int handler_depth_ = 0;
    std::vector<std::function<void()>> after_handlers_;
    std::string title_;
    TComponent* main_form_ = nullptr;
    int hint_pause_ms_ = 500;
    int hint_hide_pause_ms_ = 2500;
    bool show_hint_ = true;
};

// The one application object of the process (user-interface thread only).
TApplication& Application();

// Runs `action` and reports any exception through the default error report.
template <typename F>
void Reported(F&& action) noexcept {
    try {
        action();
    } catch (const std::exception& e) {
        Application().HandleException(e);
    } catch (...) {
        Application().HandleException(std::runtime_error("Unknown exception"));
    }
}

// Runs `action` as a handler (counted while it runs) and reports any exception through the
// default error report; for code that runs from Qt's event loop.
template <typename F>
void Guarded(F&& action) noexcept {
    const TApplication::HandlerScope handler;
    Reported(std::forward<F>(action));
}

}  // namespace ui
