#include <gtest/gtest.h>

#include "platform/ui/core/component.h"

namespace ui {
namespace {

// Records what it is told and when it ends.
class Probe : public TComponent {
public:
    Probe(TComponent* owner, std::vector<std::string>& log, std::string tag)
        : TComponent(owner), log_(log), tag_(std::move(tag)) {}
    ~Probe() override { log_.push_back("free " + tag_); }
    void Loaded() override {
        TComponent::Loaded();
        log_.push_back("loaded " + tag_);
    }
    TComponent* removed = nullptr;

protected:
    void Notification(TComponent* component, TOperation operation) override {
        TComponent::Notification(component, operation);
        if (operation == TOperation::opRemove) removed = component;
    }

private:
    std::vector<std::string>& log_;
    std::string tag_;
};

TEST(Component, OwnerFreesWhatItOwnsLastFirst) {
    std::vector<std::string> log;
    {
        Probe owner(nullptr, log, "owner");
        new Probe(&owner, log, "a");  // owned: freed by the owner
        auto* b = new Probe(&owner, log, "b");
        EXPECT_EQ(owner.ComponentCount(), 2);
        EXPECT_EQ(b->Owner(), &owner);
        EXPECT_EQ(b->ComponentIndex(), 1);
        delete new Probe(&owner, log, "c");  // freeing one takes it out of its owner
        EXPECT_EQ(owner.ComponentCount(), 2);
    }
    EXPECT_EQ(log, (std::vector<std::string>{"free c", "free owner", "free b", "free a"}));
}

TEST(Component, NamesAreUniqueAmongTheOwners) {
    std::vector<std::string> log;
    Probe owner(nullptr, log, "owner");
    auto* a = new Probe(&owner, log, "a");
    auto* b = new Probe(&owner, log, "b");
    a->SetName("Images");
    EXPECT_THROW(b->SetName("images"), EComponentError);
    EXPECT_THROW(b->SetName("1x"), EComponentError);
    EXPECT_EQ(owner.FindComponent("IMAGES"), a);
}

TEST(Component, FreeNotificationReachesComponentsOfOtherOwners) {
    std::vector<std::string> log;
    Probe list(nullptr, log, "list");
    {
        Probe images(nullptr, log, "images");
        images.FreeNotification(&list);
    }
    EXPECT_NE(list.removed, nullptr);
    // A notification that was withdrawn is not sent.
    list.removed = nullptr;
    {
        Probe other(nullptr, log, "other");
        other.FreeNotification(&list);
        other.RemoveFreeNotification(&list);
    }
    EXPECT_EQ(list.removed, nullptr);
}

TEST(Component, LoadingBracketAndDesignState) {
    std::vector<std::string> log;
    Probe owner(nullptr, log, "owner");
    auto* child = new Probe(&owner, log, "child");
    owner.BeginLoading();
    EXPECT_TRUE(child->Loading());
    owner.EndLoading();
    EXPECT_FALSE(child->Loading());
    EXPECT_EQ(log, (std::vector<std::string>{"loaded child", "loaded owner"}));
    EXPECT_FALSE(owner.Designing());
    owner.SetDesigning(true);
    EXPECT_TRUE(child->Designing());
}

}  // namespace
}  // namespace ui
