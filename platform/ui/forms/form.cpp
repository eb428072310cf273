#include "platform/ui/forms/form.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QKeySequence>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QWidget>
#include <QWindow>

#include <algorithm>

#include "platform/ui/controls/application.h"
#include "platform/ui/forms/actions.h"
#include "platform/ui/forms/menu_bar.h"
#include "platform/ui/forms/stdctrls.h"

namespace ui {

namespace {

std::vector<TForm*>& LiveForms() {
    static std::vector<TForm*> forms;
    return forms;
}

// The top-level window: its frame's close button asks the form instead of just closing, and a
// size change by the user resizes the form's client area.
class FormWindow : public QWidget {
public:
    std::function<bool()> deferring;
    std::function<void()> closing;
    std::function<void(int, int)> resized;

protected:
    void closeEvent(QCloseEvent* event) override {
        if (deferring && deferring()) {
            event->ignore();
            return;
        }
        if (closing) Guarded([this] { closing(); });
        event->accept();
    }
    void resizeEvent(QResizeEvent*) override {
        if (resized) Guarded([this] { resized(width(), height()); });
    }
};

// The enabled, visible push button below `parent` for which `pick` holds, depth first.
template <typename Pick>
TButton* FindButton(const TWinControl* parent, Pick pick) {
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* c = parent->Controls(i);
        if (!c->Visible()) continue;
        if (auto* button = dynamic_cast<TButton*>(c); button != nullptr && button->Enabled() && pick(*button))
            return button;
        if (auto* win = dynamic_cast<TWinControl*>(c)) {
            if (TButton* found = FindButton(win, pick)) return found;
        }
    }
    return nullptr;
}

}  // namespace

struct TForm::Impl {
    std::unique_ptr<FormWindow> window;
    std::unique_ptr<TMenuBar> menu_bar;  // made when the first menu is set
    // Enter and Esc of a dialog: they reach the form's default and cancel buttons whichever
    // control has the focus. Active only while the form has such a button, so that a form
    // without one leaves the keys to its controls.
    QShortcut* enter = nullptr;
    QShortcut* enter_keypad = nullptr;
    QShortcut* escape = nullptr;
    bool placing = false;
    bool close_deferred = false;
    int MenuBarHeight() const { return menu_bar != nullptr ? menu_bar->Height() : 0; }
};

TForm::TForm(TComponent* owner) : TStdWinControl(owner), impl_(std::make_unique<Impl>()) {
    impl_->window = std::make_unique<FormWindow>();
    impl_->window->deferring = [this] { return DeferFrameClose(); };
    impl_->window->closing = [this] { FrameClosed(); };
    impl_->window->resized = [this](int w, int h) { WindowResized(w, h); };
    impl_->enter = new QShortcut(QKeySequence(Qt::Key_Return), impl_->window.get());
    impl_->enter_keypad = new QShortcut(QKeySequence(Qt::Key_Enter), impl_->window.get());
    impl_->escape = new QShortcut(QKeySequence(Qt::Key_Escape), impl_->window.get());
    for (QShortcut* key : {impl_->enter, impl_->enter_keypad}) {
        QObject::connect(key, &QShortcut::activated, [this] { Guarded([this] { DialogKey(false); }); });
    }
    QObject::connect(impl_->escape, &QShortcut::activated, [this] { Guarded([this] { DialogKey(true); }); });
    UpdateDialogKeys();
    Widget()->setParent(impl_->window.get());
    Widget()->show();
    LiveForms().push_back(this);
    SetBounds(0, 0, 320, 240);
}

TForm::~TForm() {
    MarkDestroying();
    auto& forms = LiveForms();
    forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
    impl_->window->deferring = nullptr;
    impl_->window->closing = nullptr;
    impl_->window->resized = nullptr;
    if (menu_ != nullptr) menu_->OnChange = nullptr;
    impl_->menu_bar.reset();
    // The client widget belongs to the control, not to the window.
    Widget()->setParent(nullptr);
}

const std::vector<TForm*>& TForm::Forms() { return LiveForms(); }

TForm* TForm::FindForm(const std::string& class_name) {
    for (TForm* f : LiveForms()) {
        if (f->ClassName() == class_name) return f;
    }
    return nullptr;
}

QWidget* TForm::Window() const { return impl_->window.get(); }

bool TForm::Showing() const { return impl_->window->isVisible(); }

void TForm::SetBounds(int left, int top, int width, int height) {
    // The client widget always sits at the window's origin below the bar; the form's Left and
    // Top are the window's place on the screen.
    TStdWinControl::SetBounds(left, top, width, height);
    PlaceClient();
}

void TForm::PlaceClient() {
    if (!impl_ || impl_->placing) return;
    impl_->placing = true;
    const int bar = impl_->MenuBarHeight();
    if (impl_->menu_bar != nullptr) impl_->menu_bar->SetGeometry(0, 0, Width());
    Widget()->setGeometry(0, bar, Width(), Height());
    // The size limits go to the window manager, which offers resizing and maximising only
    // between them.
    if (border_style_ == TFormBorderStyle::bsDialog) {
        impl_->window->setFixedSize(Width(), Height() + bar);
    } else {
        impl_->window->setMinimumSize(0, 0);
        impl_->window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }
    if (impl_->window->width() != Width() || impl_->window->height() != Height() + bar) {
        impl_->window->resize(Width(), Height() + bar);
    }
    impl_->placing = false;
}

void TForm::WindowResized(int width, int height) {
    if (impl_->placing) return;
    SetBounds(Left(), Top(), width, std::max(0, height - impl_->MenuBarHeight()));
}

void TForm::SetClientWidth(int width) { SetBounds(Left(), Top(), width, Height()); }

void TForm::SetClientHeight(int height) { SetBounds(Left(), Top(), Width(), height); }

void TForm::SetBorderStyle(TFormBorderStyle style) {
    border_style_ = style;
    const bool dialog = style == TFormBorderStyle::bsDialog;
    impl_->window->setWindowFlag(Qt::Dialog, dialog);
    impl_->window->setWindowFlag(Qt::WindowMinMaxButtonsHint, !dialog);
    PlaceClient();
}

void TForm::SetFormStyle(TFormStyle style) {
    if (style == form_style_) return;
    form_style_ = style;
    // Changing a window's flags hides it: one that showed is shown again.
    const bool shown = impl_->window->isVisible();
    impl_->window->setWindowFlag(Qt::WindowStaysOnTopHint, style == TFormStyle::fsStayOnTop);
    if (shown) impl_->window->show();
}

void TForm::SetWindowState(TWindowState state) {
    window_state_ = state;
    switch (state) {
    case TWindowState::wsNormal:
        impl_->window->setWindowState(Qt::WindowNoState);
        break;
    case TWindowState::wsMinimized:
        impl_->window->setWindowState(Qt::WindowMinimized);
        break;
    case TWindowState::wsMaximized:
        impl_->window->setWindowState(Qt::WindowMaximized);
        break;
    }
}

void TForm::SetMenu(TMainMenu* menu) {
    if (menu_ != nullptr) menu_->OnChange = nullptr;
    menu_ = menu;
    if (menu_ != nullptr) menu_->OnChange = [this](TPersistent*) { RebuildMenuBar(); };
    RebuildMenuBar();
}

void TForm::RebuildMenuBar() {
    if (menu_ != nullptr && impl_->menu_bar == nullptr) {
        impl_->menu_bar = std::make_unique<TMenuBar>(impl_->window.get(), [this](TShortCut shortcut) {
            // A command that raised has run all the same, so its key was handled: a key left
            // unhandled goes on from the focused control to each control around it, and each
            // would run the command again.
            bool ran = false;
            Guarded([&] {
                try {
                    ran = IsShortCut(shortcut);
                } catch (...) {
                    ran = true;
                    throw;
                }
            });
            return ran;
        });
    }
    if (impl_->menu_bar != nullptr) {
        if (impl_->menu_bar->Menu() != menu_) {
            impl_->menu_bar->SetMenu(menu_);
        } else {
            impl_->menu_bar->Rebuild();
        }
    }
    // The client area keeps its size; the window grows or shrinks by the bar.
    PlaceClient();
}

TMenuBar* TForm::MenuBar() const { return impl_->menu_bar.get(); }

void TForm::CaptionChanged() { impl_->window->setWindowTitle(QString::fromStdString(Caption())); }

void TForm::DoCreate() {
    if (created_) return;
    created_ = true;
    if (OnCreate) OnCreate(this);
}

void TForm::DoDestroy() {
    if (destroyed_ || !created_) return;
    destroyed_ = true;
    if (OnDestroy) OnDestroy(this);
}

void TForm::Show() {
    if (position_ == TPosition::poScreenCenter || position_ == TPosition::poMainFormCenter) {
        if (QScreen* screen = QGuiApplication::primaryScreen()) {
            const QRect area = screen->availableGeometry();
            const int outer_height = Height() + impl_->MenuBarHeight();
            SetBounds(area.x() + (area.width() - Width()) / 2, area.y() + (area.height() - outer_height) / 2, Width(),
                      Height());
        }
    }
    impl_->window->move(Left(), Top());
    ApplyTabOrder(this);
    UpdateDialogKeys();
    impl_->window->show();
}

void TForm::Hide() { impl_->window->hide(); }

TModalResult TForm::ShowModal() {
    // The window that had the input gets it back when the loop ends.
    const QPointer<QWidget> under = QApplication::activeWindow();
    // Qt takes a window's modality into account when the window is shown.
    if (impl_->window->isVisible()) Hide();
    modal_result_ = mrNone;
    modal_ = true;
    impl_->window->setWindowModality(Qt::ApplicationModal);
    BelongToBlockedWindow(*impl_->window);
    Show();
    BringToFront();
    QEventLoop loop;
    while (modal_result_ == mrNone && impl_->window->isVisible()) {
        loop.processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::AllEvents);
    }
    if (modal_result_ == mrNone) modal_result_ = mrCancel;
    // Hidden while still modal: Qt lets go of the blocked windows only when a modal window
    // hides; made non-modal first, the window would stay registered as the blocker for ever.
    Hide();
    impl_->window->setWindowModality(Qt::NonModal);
    impl_->window->windowHandle()->setTransientParent(nullptr);
    modal_ = false;
    GiveInputBack(under, *impl_->window);
    return modal_result_;
}

void TForm::UpdateDialogKeys() {
    const bool has_default = FindButton(this, [](const TButton& b) { return b.Default(); }) != nullptr;
    impl_->enter->setEnabled(has_default);
    impl_->enter_keypad->setEnabled(has_default);
    impl_->escape->setEnabled(EndsOnEscape() ||
                              FindButton(this, [](const TButton& b) { return b.Cancel(); }) != nullptr);
}

bool TForm::EndsOnEscape() const { return modal_ && border_style_ == TFormBorderStyle::bsDialog; }

void TForm::DialogKey(bool escape) {
    TButton* target = nullptr;
    if (escape) {
        target = FindButton(this, [](const TButton& b) { return b.Cancel(); });
        // A dialog is left by Esc even without a cancel button, as by the close button of its
        // frame.
        if (target == nullptr && EndsOnEscape()) impl_->window->close();
    } else {
        // Enter on a focused push button presses that one, else the default button.
        const QWidget* focus = QApplication::focusWidget();
        target = FindButton(this, [focus](const TButton& b) { return focus != nullptr && b.NativeWidget() == focus; });
        if (target == nullptr) target = FindButton(this, [](const TButton& b) { return b.Default(); });
    }
    if (target != nullptr) target->Click();
}

void TForm::Close() {
    if (OnClose) OnClose(this);
    if (modal_) {
        modal_result_ = mrCancel;
        return;
    }
    Hide();
}

void TForm::FrameClosed() {
    if (modal_) {
        if (modal_result_ == mrNone) modal_result_ = mrCancel;
        return;
    }
    if (OnClose) OnClose(this);
}

bool TForm::DeferFrameClose() {
    // A modal form's close request ends its own loop, so it is answered at once.
    if (modal_ || !Application().InHandler()) return false;
    // The request reached the window from inside a running command: closing now would pull
    // the window from under it, dropping it would lose the request.
    if (!impl_->close_deferred) {
        impl_->close_deferred = true;
        Application().AfterHandlers([window = QPointer<QWidget>(impl_->window.get()), this] {
            if (window == nullptr) return;  // the form went first
            impl_->close_deferred = false;
            window->close();
        });
    }
    return true;
}

void TForm::BringToFront() {
    impl_->window->raise();
    impl_->window->activateWindow();
}

bool TForm::IsShortCut(TShortCut shortcut) {
    if (menu_ != nullptr) {
        if (TMenuItem* item = menu_->FindShortCut(shortcut)) {
            item->Click();
            return true;
        }
    }
    for (int i = 0; i < ComponentCount(); ++i) {
        auto* list = dynamic_cast<TActionList*>(Components(i));
        if (list == nullptr) continue;
        if (TCustomAction* action = list->FindShortCut(shortcut)) return action->Execute();
    }
    return false;
}

void GiveInputBack(const QPointer<QWidget>& under, const QWidget& dialog) {
    if (under == nullptr || under == &dialog || !under->isVisible()) return;
    under->raise();
    under->activateWindow();
}

void BelongToBlockedWindow(QWidget& dialog) {
    QWidget* blocked = QApplication::activeWindow();
    if (blocked == nullptr || blocked == &dialog) {
        auto* main_form = dynamic_cast<TForm*>(Application().MainForm());
        blocked = main_form != nullptr && main_form->Showing() ? main_form->Window() : nullptr;
    }
    if (blocked == nullptr || blocked == &dialog) return;
    dialog.winId();  // makes the window system's window, which knows the owner
    dialog.windowHandle()->setTransientParent(blocked->windowHandle());
}

}  // namespace ui
