#include "platform/ui/controls/edit_controls.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPalette>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextOption>

#include <algorithm>
#include <cmath>

#include "platform/ui/controls/application.h"
#include "platform/ui/controls/control_widget.h"
#include "platform/ui/controls/deferred_release.h"
#include "platform/ui/core/exceptions.h"

namespace ui {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.toStdString(); }

template <class W>
W* As(QWidget* w) {
    return static_cast<W*>(w);
}

// Caret and selection of a one-line text field, which may be missing (null).
int LineSelStart(const QLineEdit* e) {
    if (e == nullptr) return 0;
    return e->hasSelectedText() ? e->selectionStart() : e->cursorPosition();
}
void SetLineSelStart(QLineEdit* e, int start) {
    if (e != nullptr) e->setCursorPosition(std::clamp(start, 0, static_cast<int>(e->text().size())));
}
int LineSelLength(const QLineEdit* e) { return e == nullptr ? 0 : static_cast<int>(e->selectedText().size()); }
void SetLineSelLength(QLineEdit* e, int length) {
    if (e == nullptr) return;
    const int start = LineSelStart(e);
    if (length <= 0) {
        e->setCursorPosition(start);
    } else {
        e->setSelection(start, length);
    }
}

}  // namespace

// Sends the keys of the toolkit widget through the control first.
class InputKeyFilter : public QObject {
public:
    explicit InputKeyFilter(TInputControl* control) : control_(control) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress || watched != control_->focus_widget_) return false;
        return control_->FilterKey(static_cast<QKeyEvent*>(event));
    }

private:
    TInputControl* control_;
};

// --- TInputControl ----------------------------------------------------------------------------

TInputControl::TInputControl(TComponent* owner) : TStdWinControl(owner) { SetTabStop(true); }

TInputControl::~TInputControl() {
    if (focus_widget_ != nullptr) focus_widget_->removeEventFilter(key_filter_.get());
}

void TInputControl::SetInputWidget(QWidget* widget, QWidget* focus) {
    focus_widget_ = focus != nullptr ? focus : widget;
    key_filter_ = std::make_unique<InputKeyFilter>(this);
    focus_widget_->installEventFilter(key_filter_.get());
    SetNativeWidget(widget);
    ApplyBorder(border_style_ != TBorderStyle::bsNone);
}

void TInputControl::SetBorderStyle(TBorderStyle style) {
    border_style_ = style;
    if (NativeWidget() != nullptr) ApplyBorder(style != TBorderStyle::bsNone);
}

void TInputControl::SetColor(TColor color) {
    TControl::SetColor(color);
    if (NativeWidget() == nullptr || color == clNone) return;
    const TColor c = ColorToRGB(color);
    QPalette palette = NativeWidget()->palette();
    palette.setColor(QPalette::Base, QColor(RedOf(c), GreenOf(c), BlueOf(c)));
    NativeWidget()->setPalette(palette);
    focus_widget_->setPalette(palette);
}

bool TInputControl::FilterKey(QKeyEvent* event) {
    if (in_key_) return false;
    using namespace control_detail;
    int key = VirtualKeyOf(event->key());
    const TShiftState shift = ShiftOf(event->modifiers(), Qt::NoButton);
    const QByteArray typed = event->text().toLatin1();
    char ch = typed.size() == 1 && static_cast<unsigned char>(typed[0]) >= 0x20 ? typed[0] : '\0';
    const char original = ch;
    bool handled = false;  // the toolkit widget must not see the key
    try {
        if (key != 0) {
            KeyDown(key, shift);
            handled = key == 0 || IsReleased(*this);
        }
        if (!handled && ch != '\0') {
            KeyPress(ch);
            handled = ch == '\0' || IsReleased(*this);
        }
    } catch (const EAbort&) {
        handled = true;
    } catch (const std::exception& e) {
        Application().HandleException(e);
        handled = true;
    }
    if (!handled) {
        in_key_ = true;
        QObject* target = focus_widget_;
        if (ch != original) {
            QKeyEvent replaced(QEvent::KeyPress, event->key(), event->modifiers(), QString(QChar::fromLatin1(ch)));
            target->event(&replaced);
        } else {
            target->event(event);
        }
        in_key_ = false;
    }
    // Whether the toolkit widget used it or not, the key ends here: the owner saw it already.
    event->accept();
    return true;
}

// --- TEdit ------------------------------------------------------------------------------------

TEdit::TEdit(TComponent* owner) : TInputControl(owner) {
    SetInputWidget(new QLineEdit);
    SetBounds(0, 0, 121, 21);
}

void TEdit::SetAutoSize(bool value) {
    auto_size_ = value;
    if (value) SetBounds(Left(), Top(), Width(), Height());
}

void TEdit::SetBounds(int left, int top, int width, int height) {
    if (auto_size_ && NativeWidget() != nullptr) height = NativeWidget()->sizeHint().height();
    TInputControl::SetBounds(left, top, width, height);
}

std::string TEdit::Text() const { return S(As<QLineEdit>(NativeWidget())->text()); }
void TEdit::SetText(const std::string& text) { As<QLineEdit>(NativeWidget())->setText(Q(text)); }
int TEdit::SelStart() const { return LineSelStart(As<QLineEdit>(NativeWidget())); }
void TEdit::SetSelStart(int start) { SetLineSelStart(As<QLineEdit>(NativeWidget()), start); }
int TEdit::SelLength() const { return LineSelLength(As<QLineEdit>(NativeWidget())); }
void TEdit::SetSelLength(int length) { SetLineSelLength(As<QLineEdit>(NativeWidget()), length); }
void TEdit::ApplyBorder(bool visible) { As<QLineEdit>(NativeWidget())->setFrame(visible); }

// --- TMemo ------------------------------------------------------------------------------------

TMemo::TMemo(TComponent* owner) : TInputControl(owner) {
    auto* edit = new QTextEdit;
    edit->setAcceptRichText(false);
    edit->setTabChangesFocus(true);
    SetInputWidget(edit);
    SetBounds(0, 0, 185, 89);
    SetWordWrap(true);
}

void TMemo::SetAlignment(TAlignment alignment) {
    alignment_ = alignment;
    auto* doc = As<QTextEdit>(NativeWidget())->document();
    QTextOption option = doc->defaultTextOption();
    option.setAlignment(alignment == TAlignment::taRightJustify ? Qt::AlignRight
                        : alignment == TAlignment::taCenter     ? Qt::AlignHCenter
                                                                : Qt::AlignLeft);
    doc->setDefaultTextOption(option);
}

void TMemo::SetWordWrap(bool value) {
    word_wrap_ = value;
    As<QTextEdit>(NativeWidget())->setLineWrapMode(value ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
}

std::string TMemo::Text() const {
    QString text = As<QTextEdit>(NativeWidget())->toPlainText();
    text.replace('\n', "\r\n");
    return S(text);
}
void TMemo::SetText(const std::string& text) {
    QString t = Q(text);
    t.replace("\r\n", "\n");
    As<QTextEdit>(NativeWidget())->setPlainText(t);
    SetAlignment(alignment_);
}
int TMemo::SelStart() const { return As<QTextEdit>(NativeWidget())->textCursor().selectionStart(); }
void TMemo::SetSelStart(int start) {
    auto* e = As<QTextEdit>(NativeWidget());
    QTextCursor c = e->textCursor();
    c.setPosition(std::clamp(start, 0, e->document()->characterCount() - 1));
    e->setTextCursor(c);
}
int TMemo::SelLength() const {
    const QTextCursor c = As<QTextEdit>(NativeWidget())->textCursor();
    return c.selectionEnd() - c.selectionStart();
}
void TMemo::SetSelLength(int length) {
    auto* e = As<QTextEdit>(NativeWidget());
    QTextCursor c = e->textCursor();
    const int start = c.selectionStart();
    c.setPosition(start);
    c.setPosition(std::clamp(start + std::max(length, 0), 0, e->document()->characterCount() - 1),
                  QTextCursor::KeepAnchor);
    e->setTextCursor(c);
}
void TMemo::ApplyBorder(bool visible) {
    As<QTextEdit>(NativeWidget())->setFrameStyle(visible ? QFrame::StyledPanel : QFrame::NoFrame);
}

// --- TMaskEdit --------------------------------------------------------------------------------

TMaskEdit::TMaskEdit(TComponent* owner) : TEdit(owner) {}

void TMaskEdit::SetEditMask(const std::string& mask) {
    const std::string text = Text();
    edit_mask_ = mask;
    translated_ = TranslateEditMask(mask);
    auto* e = As<QLineEdit>(NativeWidget());
    e->setInputMask(Q(translated_.input_mask));
    e->setText(Q(text));
}

std::string TMaskEdit::Text() const {
    if (translated_.input_mask.empty()) return TEdit::Text();
    return MaskedTextFromDisplay(translated_, EditText());
}

std::string TMaskEdit::EditText() const { return S(As<QLineEdit>(NativeWidget())->displayText()); }

// --- TComboBox --------------------------------------------------------------------------------

TComboBox::TComboBox(TComponent* owner) : TInputControl(owner), items_(std::make_unique<TStringList>()) {
    auto* combo = new QComboBox;
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    SetInputWidget(combo);
    SetBounds(0, 0, 145, 21);
    items_->OnChange = [this](TPersistent*) { ItemsChanged(); };
}

TComboBox::~TComboBox() { items_->OnChange = nullptr; }

void TComboBox::SetStyle(TComboBoxStyle style) {
    if (style == style_) return;
    auto* combo = As<QComboBox>(NativeWidget());
    const std::string text = Text();
    style_ = style;
    combo->setEditable(style == TComboBoxStyle::csDropDown);
    if (combo->isEditable()) combo->setInsertPolicy(QComboBox::NoInsert);
    ApplyBorder(BorderStyle() != TBorderStyle::bsNone);
    SetText(text);
}

void TComboBox::ItemsChanged() {
    auto* combo = As<QComboBox>(NativeWidget());
    const QString text = combo->currentText();
    combo->clear();
    for (int i = 0; i < items_->Count(); ++i) combo->addItem(Q(items_->Get(i)));
    // The class library keeps the text field as it was; a list chooses nothing.
    if (combo->isEditable()) {
        combo->setCurrentIndex(-1);
        combo->setEditText(text);
    } else {
        combo->setCurrentIndex(-1);
    }
}

int TComboBox::ItemIndex() const {
    const auto* combo = As<QComboBox>(NativeWidget());
    if (combo->isEditable() && combo->currentIndex() >= 0 &&
        combo->currentText() != combo->itemText(combo->currentIndex()))
        return -1;
    return combo->currentIndex();
}

void TComboBox::SetItemIndex(int index) {
    auto* combo = As<QComboBox>(NativeWidget());
    combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
}

std::string TComboBox::Text() const { return S(As<QComboBox>(NativeWidget())->currentText()); }

void TComboBox::SetText(const std::string& text) {
    auto* combo = As<QComboBox>(NativeWidget());
    if (combo->isEditable()) {
        combo->setCurrentIndex(combo->findText(Q(text), Qt::MatchExactly));
        combo->setEditText(Q(text));
    } else {
        combo->setCurrentIndex(combo->findText(Q(text), Qt::MatchExactly));
    }
}

// A drop-down list has no text field: no caret, no selection.
int TComboBox::SelStart() const { return LineSelStart(As<QComboBox>(NativeWidget())->lineEdit()); }
void TComboBox::SetSelStart(int start) { SetLineSelStart(As<QComboBox>(NativeWidget())->lineEdit(), start); }
int TComboBox::SelLength() const { return LineSelLength(As<QComboBox>(NativeWidget())->lineEdit()); }
void TComboBox::SetSelLength(int length) { SetLineSelLength(As<QComboBox>(NativeWidget())->lineEdit(), length); }

bool TComboBox::DroppedDown() const { return As<QComboBox>(NativeWidget())->view()->isVisible(); }
void TComboBox::SetDroppedDown(bool value) {
    auto* combo = As<QComboBox>(NativeWidget());
    if (value) {
        combo->showPopup();
    } else {
        combo->hidePopup();
    }
}

void TComboBox::ApplyBorder(bool visible) { As<QComboBox>(NativeWidget())->setFrame(visible); }

// --- TDateTimePicker --------------------------------------------------------------------------

namespace {

// The class library's date and time format letters in the toolkit's spelling.
QString DisplayFormat(TDateTimeKind kind) {
    QString format;
    if (kind == TDateTimeKind::dtkDate) {
        for (char c : FormatSettings().ShortDateFormat) format += c == 'm' ? 'M' : c;
    } else {
        for (char c : FormatSettings().LongTimeFormat) format += c == 'n' ? 'm' : c;
    }
    return format;
}

TDateTime Combine(TDateTime date, TDateTime time) { return date >= 0 ? date + time : date - time; }

}  // namespace

TDateTimePicker::TDateTimePicker(TComponent* owner) : TInputControl(owner) {
    auto* edit = new QDateTimeEdit;
    SetInputWidget(edit);
    SetBounds(0, 0, 186, 21);
    QObject::connect(edit, &QDateTimeEdit::dateTimeChanged, edit, [this](const QDateTime&) { TakeShown(); });
    SetKind(TDateTimeKind::dtkDate);
}

void TDateTimePicker::SetKind(TDateTimeKind kind) {
    kind_ = kind;
    auto* edit = As<QDateTimeEdit>(NativeWidget());
    showing_ = true;
    edit->setDisplayFormat(DisplayFormat(kind));
    // A format without date sections narrows the range to one day; the picker keeps them all.
    edit->setDateTimeRange(QDateTime(QDate(100, 1, 1), QTime(0, 0)),
                           QDateTime(QDate(9999, 12, 31), QTime(23, 59, 59, 999)));
    showing_ = false;
    Show();
}

void TDateTimePicker::SetDateTime(TDateTime value) {
    value_ = value;
    Show();
}

TDateTime TDateTimePicker::Date() const {
    int y = 0, m = 0, d = 0;
    DecodeDate(value_, y, m, d);
    return EncodeDate(y, m, d);
}
void TDateTimePicker::SetDate(TDateTime value) { SetDateTime(Combine(std::trunc(value), Time())); }
TDateTime TDateTimePicker::Time() const { return std::fabs(value_ - std::trunc(value_)); }
void TDateTimePicker::SetTime(TDateTime value) { SetDateTime(Combine(Date(), std::fabs(value - std::trunc(value)))); }

std::string TDateTimePicker::Text() const {
    return kind_ == TDateTimeKind::dtkDate ? DateToStr(value_) : TimeToStr(value_);
}

void TDateTimePicker::SetText(const std::string& text) {
    if (kind_ == TDateTimeKind::dtkDate) {
        SetDate(StrToDate(text));
    } else {
        SetTime(StrToTime(text));
    }
}

void TDateTimePicker::Show() {
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0, ms = 0;
    DecodeDate(value_, y, mo, d);
    DecodeTime(value_, h, mi, s, ms);
    showing_ = true;
    As<QDateTimeEdit>(NativeWidget())->setDateTime(QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms)));
    showing_ = false;
}

void TDateTimePicker::TakeShown() {
    if (showing_) return;
    // Only the part the picker shows is the user's; the other part stays as it was set.
    const QDateTime shown = As<QDateTimeEdit>(NativeWidget())->dateTime();
    if (kind_ == TDateTimeKind::dtkDate) {
        const QDate date = shown.date();
        value_ = Combine(EncodeDate(date.year(), date.month(), date.day()), Time());
    } else {
        const QTime time = shown.time();
        value_ = Combine(Date(), EncodeTime(time.hour(), time.minute(), time.second(), time.msec()));
    }
}

void TDateTimePicker::ApplyBorder(bool visible) { As<QDateTimeEdit>(NativeWidget())->setFrame(visible); }

// --- geometry ---------------------------------------------------------------------------------

TRect GrowToMinHeight(const TRect& rect, int min_height) {
    const int missing = min_height - rect.Height();
    if (missing <= 0) return rect;
    const int above = missing / 2;
    return TRect{rect.Left, rect.Top - above, rect.Right, rect.Top - above + min_height};
}

}  // namespace ui
