#include "platform/ui/controls/std_win_control.h"

#include <QFont>
#include <QWidget>

#include <algorithm>

namespace ui {

double TStdWinControl::next_key_ = 0;

namespace {

QFont ToQFont(TFont& font) {
    QFont f(QString::fromStdString(font.FamilyName()));
    // A negative height is the character height in pixels.
    f.setPixelSize(std::max(1, font.Height() < 0 ? -font.Height() : font.Height()));
    f.setBold(font.Style().Contains(TFontStyle::fsBold));
    f.setItalic(font.Style().Contains(TFontStyle::fsItalic));
    f.setUnderline(font.Style().Contains(TFontStyle::fsUnderline));
    f.setStrikeOut(font.Style().Contains(TFontStyle::fsStrikeOut));
    return f;
}

}  // namespace

TStdWinControl::TStdWinControl(TComponent* owner) : TWinControl(owner), tab_key_(next_key_ += 1) {}

void TStdWinControl::SetCaption(const std::string& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    CaptionChanged();
}

std::vector<TStdWinControl*> TStdWinControl::TabList(const TWinControl* parent) {
    std::vector<TStdWinControl*> list;
    if (parent == nullptr) return list;
    for (int i = 0; i < parent->ControlCount(); ++i) {
        if (auto* c = dynamic_cast<TStdWinControl*>(parent->Controls(i))) list.push_back(c);
    }
    std::stable_sort(list.begin(), list.end(), [](auto* a, auto* b) { return a->tab_key_ < b->tab_key_; });
    return list;
}

int TStdWinControl::TabOrder() const {
    const auto list = TabList(Parent());
    const auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TStdWinControl::SetTabOrder(int order) {
    auto list = TabList(Parent());
    if (list.empty()) return;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    const int at = std::clamp(order, 0, static_cast<int>(list.size()));
    list.insert(list.begin() + at, this);
    // Renumber so that the sort keys say exactly this order.
    for (std::size_t i = 0; i < list.size(); ++i) list[i]->tab_key_ = static_cast<double>(i);
    const TWinControl* root = this;
    while (root->Parent() != nullptr) root = root->Parent();
    ApplyTabOrder(root);
}

void TStdWinControl::SetParent(TWinControl* parent) {
    TWinControl::SetParent(parent);
    // A new child goes last in its parent's order.
    if (parent != nullptr) {
        double last = -1;
        for (auto* c : TabList(parent)) {
            if (c != this) last = std::max(last, c->tab_key_);
        }
        tab_key_ = last + 1;
    }
}

void TStdWinControl::FontChanged() {
    const QFont f = ToQFont(Font());
    Widget()->setFont(f);
    if (native_ != nullptr) native_->setFont(f);
}

QWidget* TStdWinControl::FocusWidget() const { return native_ != nullptr ? native_ : Widget(); }

void TStdWinControl::SetNativeWidget(QWidget* widget) {
    native_ = widget;
    native_->setParent(Widget());
    native_->setGeometry(0, 0, Width(), Height());
    native_->show();
    // The toolkit widget shows the focus, so it alone takes it: the control's own widget around
    // it would be a Tab stop where nothing on the screen changes.
    Widget()->setFocusPolicy(Qt::NoFocus);
    if (TabStop()) SetTabStop(true);
    FontChanged();
}

void TStdWinControl::Resize() {
    TWinControl::Resize();
    if (native_ != nullptr) native_->setGeometry(0, 0, Width(), Height());
}

void ApplyTabOrder(const TWinControl* root) {
    std::vector<QWidget*> chain;
    std::function<void(const TWinControl*)> walk = [&](const TWinControl* parent) {
        // Standard controls take the slots of standard children in their tab order; another
        // windowed control (a self-painting panel, a card list) keeps its slot among its
        // siblings, and the controls inside it follow there. A control that takes focus only by
        // a click has its place too, so that Tab from it goes on to the stop after it.
        const std::vector<TStdWinControl*> ordered = TStdWinControl::TabList(parent);
        std::size_t next = 0;
        for (int i = 0; i < parent->ControlCount(); ++i) {
            auto* child = dynamic_cast<TWinControl*>(parent->Controls(i));
            if (child == nullptr) continue;
            if (dynamic_cast<TStdWinControl*>(child) != nullptr) child = ordered[next++];
            // The toolkit leaves widgets that never take focus out of its order.
            if (child->FocusWidget()->focusPolicy() != Qt::NoFocus) chain.push_back(child->FocusWidget());
            walk(child);
        }
    };
    walk(root);
    for (std::size_t i = 1; i < chain.size(); ++i) QWidget::setTabOrder(chain[i - 1], chain[i]);
}

}  // namespace ui
