// TPersistent: the base of every object that can be copied into another with Assign.
#pragma once

#include <functional>
#include <string>

#include "platform/ui/core/exceptions.h"

namespace ui {

// A property setter's store: true when the value really changed, so the setter reports a change
// only then.
template <typename T>
bool Store(T& field, const T& value) {
    if (field == value) return false;
    field = value;
    return true;
}

class TPersistent;

// Event handler without arguments beyond the sender.
using TNotifyEvent = std::function<void(TPersistent* sender)>;

// The class library's checked downcast of an Assign source: raises EInvalidCast "Invalid class
// typecast" when `source` is null or not a T.
template <typename T>
const T& CheckedCast(const TPersistent* source);

class TPersistent {
public:
    virtual ~TPersistent() = default;

    // Copies `source` into this object. The default asks the source to AssignTo this object,
    // and raises EConvertError "Cannot assign a <source> to a <this>" when neither knows the other.
    virtual void Assign(const TPersistent* source);
    // The class name as the class library prints it ("TBitmap", "nil" for null).
    virtual std::string ClassName() const { return "TPersistent"; }

protected:
    // Copies this object into `dest`; the default fails with EConvertError.
    virtual void AssignTo(TPersistent* dest) const;
    // Lets Assign overrides fall back to the source's AssignTo.
    static void AssignToFrom(const TPersistent* source, TPersistent* dest) { source->AssignTo(dest); }

private:
    [[noreturn]] void AssignError(const TPersistent* source) const;
};

template <typename T>
const T& CheckedCast(const TPersistent* source) {
    const auto* typed = dynamic_cast<const T*>(source);
    if (typed == nullptr) throw EInvalidCast("Invalid class typecast");
    return *typed;
}

}  // namespace ui
