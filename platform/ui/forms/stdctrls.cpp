#include "platform/ui/forms/stdctrls.h"

#include <QFont>
#include <QFrame>
#include <QGroupBox>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>

#include "platform/ui/controls/application.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/frames.h"

namespace ui {

namespace {

QString Text(const std::string& s) { return QString::fromStdString(s); }

template <class W>
W* As(QWidget* w) {
    return static_cast<W*>(w);
}

}  // namespace

TForm* GetParentForm(TControl* control) {
    for (TControl* c = control; c != nullptr; c = c->Parent()) {
        if (auto* form = dynamic_cast<TForm*>(c)) return form;
    }
    return nullptr;
}

// --- TPanel ---

TPanel::TPanel(TComponent* owner) : TStdWinControl(owner) {
    auto* frame = new QFrame;
    auto* caption = new QLabel(frame);
    caption->setObjectName("caption");
    caption->setAlignment(Qt::AlignCenter);
    caption->setAttribute(Qt::WA_TransparentForMouseEvents);
    SetNativeWidget(frame);
    SetBounds(0, 0, 185, 41);
    ApplyBevel();
}

void TPanel::SetBevelOuter(TBevelCut cut) {
    bevel_outer_ = cut;
    ApplyBevel();
}

void TPanel::SetBevelInner(TBevelCut cut) {
    bevel_inner_ = cut;
    ApplyBevel();
}

void TPanel::ApplyBevel() {
    auto* frame = As<QFrame>(NativeWidget());
    const TBevelCut outer = bevel_outer_;
    if (outer == TBevelCut::bvNone && bevel_inner_ == TBevelCut::bvNone) {
        frame->setFrameStyle(QFrame::NoFrame);
        return;
    }
    const int shadow = outer == TBevelCut::bvLowered ? QFrame::Sunken : QFrame::Raised;
    frame->setFrameStyle(QFrame::Panel | shadow);
    frame->setLineWidth(bevel_inner_ != TBevelCut::bvNone && outer != TBevelCut::bvNone ? 2 : 1);
}

void TPanel::CaptionChanged() {
    auto* caption = NativeWidget()->findChild<QLabel*>("caption");
    caption->setText(Text(Caption()));
    caption->setGeometry(0, 0, Width(), Height());
}

// --- TGroupBox ---

TGroupBox::TGroupBox(TComponent* owner) : TStdWinControl(owner) {
    SetNativeWidget(new QGroupBox);
    SetBounds(0, 0, 185, 105);
}

void TGroupBox::CaptionChanged() { As<QGroupBox>(NativeWidget())->setTitle(Text(Caption())); }

// --- TRadioButton ---

TRadioButton::TRadioButton(TComponent* owner) : TStdWinControl(owner) {
    auto* button = new QRadioButton;
    SetNativeWidget(button);
    SetBounds(0, 0, 113, 17);
    SetTabStop(true);
    // The exclusive rule lives in SetChecked, so that the program's checks and the user's clicks
    // follow the same path.
    button->setAutoExclusive(false);
    QObject::connect(button, &QRadioButton::clicked, [this] { Guarded([this] { Click(); }); });
}

void TRadioButton::SetChecked(bool checked) {
    As<QRadioButton>(NativeWidget())->setChecked(checked);
    if (checked == checked_) return;
    checked_ = checked;
    if (!checked) return;
    if (Parent() != nullptr) {
        for (int i = 0; i < Parent()->ControlCount(); ++i) {
            auto* sibling = dynamic_cast<TRadioButton*>(Parent()->Controls(i));
            if (sibling != nullptr && sibling != this) sibling->SetChecked(false);
        }
    }
    TStdWinControl::Click();
}

void TRadioButton::Click() {
    // A click on the checked button changes nothing, as with the platform's radio buttons.
    if (checked_) {
        As<QRadioButton>(NativeWidget())->setChecked(true);
        return;
    }
    SetChecked(true);
}

void TRadioButton::CaptionChanged() { As<QRadioButton>(NativeWidget())->setText(Text(Caption())); }

// --- TButton ---

namespace {

// Enter presses the button that has the focus, as Space does, in every window: the toolkit's own
// buttons take Enter only inside its dialog class, which forms are not.
class PushButton : public QPushButton {
protected:
    void keyPressEvent(QKeyEvent* event) override {
        const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
        if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            click();
            return;
        }
        QPushButton::keyPressEvent(event);
    }
};

}  // namespace

TButton::TButton(TComponent* owner) : TStdWinControl(owner) {
    auto* button = new PushButton;
    SetNativeWidget(button);
    SetBounds(0, 0, 75, 25);
    SetTabStop(true);
    QObject::connect(button, &QPushButton::clicked, [this] { Guarded([this] { Click(); }); });
}

void TButton::SetDefault(bool v) {
    default_ = v;
    As<QPushButton>(NativeWidget())->setDefault(v);
    As<QPushButton>(NativeWidget())->setAutoDefault(v);
}

void TButton::Click() {
    if (!Enabled()) return;
    if (modal_result_ != mrNone) {
        if (TForm* form = GetParentForm(this)) form->SetModalResult(modal_result_);
    }
    TStdWinControl::Click();
}

void TButton::CaptionChanged() { As<QPushButton>(NativeWidget())->setText(Text(Caption())); }

// --- TBevel ---

TBevel::TBevel(TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, 50, 50); }

void TBevel::SetShape(TBevelShape shape) {
    shape_ = shape;
    Invalidate();
}

void TBevel::SetStyle(TBevelStyle style) {
    style_ = style;
    Invalidate();
}

void TBevel::Paint() {
    const TColor shadow = ColorToRGB(clBtnShadow);
    const TColor highlight = ColorToRGB(clBtnHighlight);
    const bool lowered = style_ == TBevelStyle::bsLowered;
    const TColor first = lowered ? shadow : highlight;
    const TColor second = lowered ? highlight : shadow;
    TCanvas& c = Canvas();
    const int w = Width();
    const int h = Height();
    auto fill = [&c](TColor color, const TRect& r) {
        c.Brush().SetStyle(TBrushStyle::bsSolid);
        c.Brush().SetColor(color);
        c.FillRect(r);
    };
    switch (shape_) {
    case TBevelShape::bsTopLine:
        fill(first, TRect{0, 0, w, 1});
        fill(second, TRect{0, 1, w, 2});
        break;
    case TBevelShape::bsBottomLine:
        fill(first, TRect{0, h - 2, w, h - 1});
        fill(second, TRect{0, h - 1, w, h});
        break;
    case TBevelShape::bsLeftLine:
        fill(first, TRect{0, 0, 1, h});
        fill(second, TRect{1, 0, 2, h});
        break;
    case TBevelShape::bsRightLine:
        fill(first, TRect{w - 2, 0, w - 1, h});
        fill(second, TRect{w - 1, 0, w, h});
        break;
    case TBevelShape::bsBox: {
        TRect r{0, 0, w, h};
        Frame3D(c, r, first, second, 1);
        break;
    }
    case TBevelShape::bsFrame: {
        // An etched frame: the first colour's frame, the second's one pixel further in.
        TRect outer{0, 0, w - 1, h - 1};
        Frame3D(c, outer, first, first, 1);
        TRect inner{1, 1, w, h};
        Frame3D(c, inner, second, second, 1);
        break;
    }
    case TBevelShape::bsSpacer:
        break;
    }
}

// --- TLabel ---

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner), label_(new QLabel(Widget())) {
    As<QLabel>(label_)->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label_->show();
    SetBounds(0, 0, 65, 13);
    FontChanged();
}

void TLabel::SetCaption(const std::string& caption) {
    caption_ = caption;
    As<QLabel>(label_)->setText(Text(caption));
    Fit();
}

void TLabel::SetAutoSize(bool v) {
    auto_size_ = v;
    Fit();
}

void TLabel::SetWordWrap(bool v) {
    word_wrap_ = v;
    As<QLabel>(label_)->setWordWrap(v);
    Fit();
}

void TLabel::FontChanged() {
    QFont f(QString::fromStdString(Font().FamilyName()));
    f.setPixelSize(std::max(1, Font().Height() < 0 ? -Font().Height() : Font().Height()));
    f.setBold(Font().Style().Contains(TFontStyle::fsBold));
    f.setItalic(Font().Style().Contains(TFontStyle::fsItalic));
    label_->setFont(f);
    Fit();
}

void TLabel::Resize() {
    TGraphicControl::Resize();
    label_->setGeometry(0, 0, Width(), Height());
}

void TLabel::Fit() {
    if (!auto_size_) return;
    auto* label = As<QLabel>(label_);
    if (word_wrap_) {
        SetBounds(Left(), Top(), Width(), label->heightForWidth(Width()));
    } else {
        const QSize hint = label->sizeHint();
        SetBounds(Left(), Top(), hint.width(), hint.height());
    }
}

// --- TImage ---

TImage::TImage(TComponent* owner)
    : TGraphicControl(owner), label_(new QLabel(Widget())), picture_(std::make_unique<TPicture>()) {
    label_->show();
    SetBounds(0, 0, 105, 105);
}

TImage::~TImage() = default;

void TImage::SetStretch(bool v) {
    stretch_ = v;
    PictureChanged();
}

void TImage::SetAutoSize(bool v) {
    auto_size_ = v;
    PictureChanged();
}

void TImage::Resize() {
    TGraphicControl::Resize();
    label_->setGeometry(0, 0, Width(), Height());
}

void TImage::PictureChanged() {
    auto* label = As<QLabel>(label_);
    const TGraphic* graphic = picture_->Graphic();
    if (graphic == nullptr || picture_->Width() <= 0 || picture_->Height() <= 0) {
        label->clear();
        return;
    }
    if (auto_size_) SetBounds(Left(), Top(), picture_->Width(), picture_->Height());
    const int w = stretch_ ? Width() : picture_->Width();
    const int h = stretch_ ? Height() : picture_->Height();
    TBitmap shown;
    shown.SetPixelFormat(TPixelFormat::pf32bit);
    shown.SetSize(w, h);
    shown.Canvas().Brush().SetColor(Color());
    shown.Canvas().FillRect(TRect{0, 0, w, h});
    shown.Canvas().StretchDraw(TRect{0, 0, w, h}, *graphic);
    label->setPixmap(QPixmap::fromImage(shown.Image()));
}

}  // namespace ui
