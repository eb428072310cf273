#include "platform/ui/core/component.h"

#include <algorithm>

#include "platform/ui/core/sysutils.h"

namespace ui {

namespace {

bool IsIdentifier(const std::string& name) {
    if (name.empty()) return false;
    auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; };
    if (!letter(name[0])) return false;
    return std::all_of(name.begin(), name.end(), [&](char c) { return letter(c) || (c >= '0' && c <= '9'); });
}

}  // namespace

TComponent::TComponent(TComponent* owner) {
    if (owner != nullptr) owner->InsertComponent(this);
}

TComponent::~TComponent() {
    MarkDestroying();
    // Everyone who asked to be told learns of the end while this object is still a component.
    while (!free_notifies_.empty()) {
        TComponent* other = free_notifies_.back();
        free_notifies_.pop_back();
        auto& back = other->free_notifies_;
        back.erase(std::remove(back.begin(), back.end(), this), back.end());
        other->Notification(this, TOperation::opRemove);
    }
    DestroyComponents();
    if (owner_ != nullptr) owner_->RemoveComponent(this);
}

TComponent* TComponent::Components(int index) const {
    if (index < 0 || index >= ComponentCount()) {
        throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    }
    return components_[static_cast<std::size_t>(index)];
}

int TComponent::ComponentIndex() const {
    if (owner_ == nullptr) return -1;
    const auto& list = owner_->components_;
    const auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

TComponent* TComponent::FindComponent(const std::string& name) const {
    if (name.empty()) return nullptr;
    for (TComponent* c : components_) {
        if (SameText(c->name_, name)) return c;
    }
    return nullptr;
}

void TComponent::SetName(const std::string& name) {
    if (name == name_) return;
    if (!name.empty() && !IsIdentifier(name)) {
        throw EComponentError("''" + name + "'' is not a valid component name");
    }
    if (owner_ != nullptr && !name.empty()) {
        TComponent* other = owner_->FindComponent(name);
        if (other != nullptr && other != this) throw EComponentError("A component named " + name + " already exists");
    }
    name_ = name;
}

void TComponent::BeginLoading() {
    state_ |= csLoading;
    for (TComponent* c : components_) c->BeginLoading();
}

void TComponent::EndLoading() {
    state_ &= ~static_cast<unsigned>(csLoading);
    // Children first: an owner's Loaded may rely on its parts being ready.
    const std::vector<TComponent*> children = components_;
    for (TComponent* c : children) c->EndLoading();
    Loaded();
    if (OnLoaded) OnLoaded(this);
}

void TComponent::SetDesigning(bool designing) {
    if (designing) {
        state_ |= csDesigning;
    } else {
        state_ &= ~static_cast<unsigned>(csDesigning);
    }
    for (TComponent* c : components_) c->SetDesigning(designing);
}

void TComponent::Loaded() { state_ &= ~static_cast<unsigned>(csLoading); }

void TComponent::MarkDestroying() {
    if (Destroying()) return;
    state_ |= csDestroying;
    for (TComponent* c : components_) c->MarkDestroying();
}

void TComponent::FreeNotification(TComponent* component) {
    if (component == nullptr || component == this) return;
    if (owner_ != nullptr && component->owner_ == owner_) return;  // siblings hear it through the owner
    if (std::find(free_notifies_.begin(), free_notifies_.end(), component) == free_notifies_.end()) {
        free_notifies_.push_back(component);
        component->FreeNotification(this);
    }
}

void TComponent::RemoveFreeNotification(TComponent* component) {
    if (component == nullptr) return;
    const auto it = std::find(free_notifies_.begin(), free_notifies_.end(), component);
    if (it == free_notifies_.end()) return;
    free_notifies_.erase(it);
    component->RemoveFreeNotification(this);
}

void TComponent::InsertComponent(TComponent* component) {
    if (component == nullptr || component->owner_ == this) return;
    if (!component->name_.empty()) {
        TComponent* other = FindComponent(component->name_);
        if (other != nullptr) throw EComponentError("A component named " + component->name_ + " already exists");
    }
    if (component->owner_ != nullptr) component->owner_->RemoveComponent(component);
    Insert(component);
    if (Designing()) component->SetDesigning(true);
    SendNotification(component, TOperation::opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
    if (component == nullptr || component->owner_ != this) return;
    SendNotification(component, TOperation::opRemove);
    Remove(component);
}

void TComponent::DestroyComponents() {
    while (!components_.empty()) {
        TComponent* c = components_.back();
        Remove(c);
        delete c;
    }
}

void TComponent::Notification(TComponent* component, TOperation operation) {
    if (operation == TOperation::opRemove && component != nullptr) {
        // A component that is gone cannot be told anything any more.
        free_notifies_.erase(std::remove(free_notifies_.begin(), free_notifies_.end(), component),
                             free_notifies_.end());
    }
    const std::vector<TComponent*> children = components_;
    for (TComponent* c : children) {
        if (std::find(components_.begin(), components_.end(), c) != components_.end()) {
            c->Notification(component, operation);
        }
    }
}

void TComponent::Insert(TComponent* component) {
    components_.push_back(component);
    component->owner_ = this;
}

void TComponent::Remove(TComponent* component) {
    components_.erase(std::remove(components_.begin(), components_.end(), component), components_.end());
    component->owner_ = nullptr;
}

void TComponent::SendNotification(TComponent* component, TOperation operation) { Notification(component, operation); }

}  // namespace ui
