// TForm: a top-level window with a caption, a client area of a given size, a start position, a
// main menu, modal showing with a modal result, and the create/destroy events. Subclasses build
// their controls in their constructor (the form definition as code), then call DoCreate; their
// destructor calls DoDestroy before it takes anything apart.
#pragma once

#include <QPointer>

#include <memory>
#include <string>
#include <vector>

#include "platform/ui/controls/std_win_control.h"
#include "platform/ui/forms/menus.h"

namespace ui {

class TMenuBar;

enum class TPosition { poDesigned, poDefault, poScreenCenter, poMainFormCenter };
enum class TFormBorderStyle { bsSizeable, bsDialog, bsSingle, bsNone };
enum class TWindowState { wsNormal, wsMinimized, wsMaximized };
// fsStayOnTop: the window stays above the program's other windows.
enum class TFormStyle { fsNormal, fsStayOnTop };

using TModalResult = int;
inline constexpr TModalResult mrNone = 0;
inline constexpr TModalResult mrOk = 1;
inline constexpr TModalResult mrCancel = 2;

class TForm : public TStdWinControl {
public:
    explicit TForm(TComponent* owner);
    ~TForm() override;
    std::string ClassName() const override { return "TForm"; }

    // The form's own bounds are its client area: the window's inside without the menu bar.
    // Left and Top are the window's place on the screen.
    void SetClientWidth(int width);
    void SetClientHeight(int height);
    void SetBounds(int left, int top, int width, int height) override;
    // The top-level window (frame, menu bar, client area); for the platform layer and tests.
    QWidget* Window() const;
    bool Showing() const;

    TPosition Position() const { return position_; }
    void SetPosition(TPosition position) { position_ = position; }
    // A dialog border makes a window of fixed size (its client area plus the menu bar) that asks
    // the window manager for no minimise and no maximise; a manager that offers to minimise
    // every window takes a modal one down with the window it blocks (see ShowModal).
    TFormBorderStyle BorderStyle() const { return border_style_; }
    void SetBorderStyle(TFormBorderStyle style);
    TWindowState WindowState() const { return window_state_; }
    void SetWindowState(TWindowState state);
    TFormStyle FormStyle() const { return form_style_; }
    void SetFormStyle(TFormStyle style);

    // The menu shown as the window's menu bar (not owned; usually a component of the form).
    TMainMenu* Menu() const { return menu_; }
    void SetMenu(TMainMenu* menu);
    // The host that shows the menu and tracks it; null until a menu was set.
    TMenuBar* MenuBar() const;

    void Show();
    void Hide();
    // Shows the window and runs events until ModalResult is set or the window is closed; the
    // window is then hidden, the window under it gets the input back and the result is returned
    // (mrCancel when closed by its frame). Enter presses the default button (or the focused
    // push button), Esc the cancel button; a dialog-bordered form without one ends on Esc as
    // when closed by its frame. While it runs the window belongs to the window it blocks (see
    // BelongToBlockedWindow).
    TModalResult ShowModal();
    TModalResult ModalResult() const { return modal_result_; }
    void SetModalResult(TModalResult result) { modal_result_ = result; }
    bool Modal() const { return modal_; }
    // A modal form ends with mrCancel; another is hidden, and the main form ends the program's
    // message loop.
    void Close();
    // Puts the window in front of the others and gives it the focus.
    void BringToFront();
    // The keyboard shortcut as the window would handle it: the menu's item first, then the
    // form's action lists. True when something ran.
    bool IsShortCut(TShortCut shortcut);

    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnClose;

    // The live forms, in creation order (the screen's form list).
    static const std::vector<TForm*>& Forms();
    // The first live form of this class name, or null.
    static TForm* FindForm(const std::string& class_name);

protected:
    void DoCreate();
    void DoDestroy();
    void CaptionChanged() override;

private:
    struct Impl;
    void RebuildMenuBar();
    // Enter (escape false) or Esc as the form's dialog key: presses the default or cancel button.
    void DialogKey(bool escape);
    void UpdateDialogKeys();
    // A modal dialog-bordered form ends on Esc, with or without a cancel button.
    bool EndsOnEscape() const;
    void FrameClosed();
    // True when the frame's close request came while a handler runs and waits for it to end.
    bool DeferFrameClose();
    void PlaceClient();
    void WindowResized(int width, int height);

    std::unique_ptr<Impl> impl_;
    TPosition position_ = TPosition::poDesigned;
    TFormBorderStyle border_style_ = TFormBorderStyle::bsSizeable;
    TWindowState window_state_ = TWindowState::wsNormal;
    TFormStyle form_style_ = TFormStyle::fsNormal;
    TMainMenu* menu_ = nullptr;
    TModalResult modal_result_ = mrNone;
    bool modal_ = false;
    bool created_ = false;
    bool destroyed_ = false;
};

// Makes the top-level window `dialog`, about to run modally, belong to the window it will
// block: the active window, else the shown main form. The window manager keeps it above that
// window and minimises and restores the two together, so a minimised dialog cannot leave a
// blocked window alone on the screen. Without such a window nothing changes.
void BelongToBlockedWindow(QWidget& dialog);
// Once the modal window `dialog` has closed: the window that had the input before it (`under`,
// taken before it showed) gets the input back, when it is still there and shown.
void GiveInputBack(const QPointer<QWidget>& under, const QWidget& dialog);

}  // namespace ui
