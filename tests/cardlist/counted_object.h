// An object to attach to a card item that counts how often it is freed: the ownership tests
// check that it is freed exactly once.
#pragma once

#include "platform/ui/core/persistent.h"

namespace cardlist::testing {

class Counted : public ui::TPersistent {
public:
    explicit Counted(int& ends) : ends_(ends) {}
    ~Counted() override { ++ends_; }

private:
    int& ends_;
};

}  // namespace cardlist::testing
