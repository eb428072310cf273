#include "platform/ui/controls/deferred_release.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QWidget>

namespace ui {

namespace {

constexpr const char* kReleasedProperty = "qbk_released";

// Owns one released control until Qt runs its deferred deletion.
class ReleasedControl : public QObject {
public:
    explicit ReleasedControl(std::unique_ptr<TControl> control) : control_(std::move(control)) {}

private:
    std::unique_ptr<TControl> control_;
};

}  // namespace

void ReleaseLater(std::unique_ptr<TControl> control) {
    if (control == nullptr) return;
    if (TComponent* owner = control->Owner()) owner->RemoveComponent(control.get());
    control->Widget()->setProperty(kReleasedProperty, true);
    control->Widget()->hide();
    control->SetParent(nullptr);
    if (QCoreApplication::instance() == nullptr) return;  // the unique_ptr frees it here
    (new ReleasedControl(std::move(control)))->deleteLater();
}

bool IsReleased(const TControl& control) { return control.Widget()->property(kReleasedProperty).toBool(); }

void FreeReleasedControls() {
    if (QCoreApplication::instance() != nullptr) QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace ui
