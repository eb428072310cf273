// Batching changes of a collection-like object: its change notification fires once, at the end.
#pragma once

namespace ui {

// Runs `body` between target.BeginUpdate() and target.EndUpdate(). EndUpdate also runs when the
// body throws, and the exception goes on; it is not run from a destructor because EndUpdate
// notifies, and a notification may throw.
template <typename Target, typename Body>
void WithinUpdate(Target& target, Body&& body) {
    target.BeginUpdate();
    try {
        body();
    } catch (...) {
        target.EndUpdate();
        throw;
    }
    target.EndUpdate();
}

}  // namespace ui
