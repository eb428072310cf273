// TComponent: the class library's ownership model. A component created with an owner is freed
// by that owner; components that must learn of another's end ask for a free notification.
// This is the one place where raw owning pointers are used: a component is created with `new`
// and given to its owner, or kept by value / unique_ptr when it has none.
#pragma once

#include <string>
#include <vector>

#include "platform/ui/core/persistent.h"

namespace ui {

enum class TOperation { opInsert, opRemove };

// The component state bits the controls test.
enum TComponentStateFlag : unsigned {
    csLoading = 1u << 0,
    csDestroying = 1u << 1,
    csDesigning = 1u << 2,
};
using TComponentState = unsigned;

class TComponent : public TPersistent {
public:
    explicit TComponent(TComponent* owner);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    std::string ClassName() const override { return "TComponent"; }

    TComponent* Owner() const { return owner_; }
    int ComponentCount() const { return static_cast<int>(components_.size()); }
    TComponent* Components(int index) const;                   // EListError outside 0..ComponentCount-1
    int ComponentIndex() const;                                // position in the owner's list, -1 without owner
    TComponent* FindComponent(const std::string& name) const;  // case-insensitive, nullptr when absent

    const std::string& Name() const { return name_; }
    // Raises EComponentError "''<name>'' is not a valid component name" for a text that is not an
    // identifier, and "A component named <name> already exists" for a duplicate among the owner's.
    virtual void SetName(const std::string& name);

    TComponentState ComponentState() const { return state_; }
    bool Designing() const { return (state_ & csDesigning) != 0; }
    bool Loading() const { return (state_ & csLoading) != 0; }
    bool Destroying() const { return (state_ & csDestroying) != 0; }

    // Loading bracket of a form reader: sets csLoading on this component and the ones it owns;
    // EndLoading clears it and calls Loaded on each.
    void BeginLoading();
    void EndLoading();
    // Design-time instance (a form designer's copy). The program never sets it; tests of
    // design-time paths do.
    void SetDesigning(bool designing);

    // Asks `component` to tell this one (and this one to tell it) before it goes away.
    void FreeNotification(TComponent* component);
    void RemoveFreeNotification(TComponent* component);

    // Takes or gives up ownership of `component` (it leaves its previous owner first).
    void InsertComponent(TComponent* component);
    void RemoveComponent(TComponent* component);
    // Frees every owned component, last first.
    void DestroyComponents();

    TNotifyEvent OnLoaded;  // test and designer hook, fired by EndLoading after Loaded

protected:
    // Told about components inserted into or removed from the owner tree and about free
    // notifications; the default forwards to every owned component.
    virtual void Notification(TComponent* component, TOperation operation);
    // Called after a form reader has set every property.
    virtual void Loaded();
    // Marks this component and its owned ones as being destroyed; derived destructors call it
    // before they take their own members apart.
    void MarkDestroying();

private:
    void Insert(TComponent* component);
    void Remove(TComponent* component);
    void SendNotification(TComponent* component, TOperation operation);

    TComponent* owner_ = nullptr;
    std::vector<TComponent*> components_;  // owned
    std::vector<TComponent*> free_notifies_;
    std::string name_;
    TComponentState state_ = 0;
};

}  // namespace ui
