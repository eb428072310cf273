#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/canapi/frame_text.h"
#include "platform/canapi/vbus.h"
#include "tests/canapi/child_process.h"
#include "tests/canapi/test_bus.h"

using namespace std::chrono_literals;

namespace {

std::string BridgePath() { return canapi_test::BinDir() + "/qbk-canbridge"; }

canapi::Frame Parse(const char* text) {
    auto parsed = canapi::ParseFrameText(text);
    EXPECT_TRUE(parsed.frame) << text;
    return parsed.frame.value_or(canapi::Frame{});
}

// The bridge runs as a separate process: this is also the two-process exchange over the bus.
class CanBridge : public ::testing::Test {
protected:
    void SetUp() override {
        bus_name_ = canapi_test::PrivateBusName("bridge");
        auto joined = canapi::VirtualBus::Join(bus_name_);
        ASSERT_TRUE(joined.bus) << joined.error;
        bus_ = std::move(joined.bus);
        bridge_ =
            std::make_unique<canapi_test::ChildProcess>(std::vector<std::string>{BridgePath(), "--bus", bus_name_});
        ASSERT_TRUE(bridge_->Started());
        // The bridge has joined once its socket file shows in the bus folder.
        ASSERT_TRUE(canapi_test::WaitUntil([&] { return bus_->Peers() == 1; })) << "bridge did not join";
    }
    std::string bus_name_;
    std::unique_ptr<canapi::VirtualBus> bus_;
    std::unique_ptr<canapi_test::ChildProcess> bridge_;
};

TEST_F(CanBridge, CarriesFramesBothWaysAndEndsAfterInput) {
    bridge_->Write("7E9#0105010000000000\n7ED#R\n");
    canapi::Frame got;
    ASSERT_EQ(bus_->Receive(got, 5s), canapi::ReceiveResult::Frame);
    EXPECT_EQ(got, Parse("7E9#0105010000000000"));
    ASSERT_EQ(bus_->Receive(got, 5s), canapi::ReceiveResult::Frame);
    EXPECT_EQ(got, Parse("7ED#R"));

    for (const char* text : {"581#4300100091010F00", "7ED#R", "18FF0001#EE"}) {
        ASSERT_EQ(bus_->Send(Parse(text)).delivered, 1u) << text;
        EXPECT_EQ(bridge_->ReadLine(test_support::kPatience), std::optional<std::string>(text));
    }

    bridge_->CloseInput();
    EXPECT_EQ(bridge_->Wait(test_support::kPatience), std::optional<int>(0));
    EXPECT_EQ(bus_->Peers(), 0u);  // it left the bus
}

TEST_F(CanBridge, BadLinesAreReportedAndSkipped) {
    bridge_->Write("hello\n\n7E9#01\n800#00\n123#AB\n");
    const auto first = bridge_->ReadErrorLine(test_support::kPatience);
    ASSERT_TRUE(first);
    EXPECT_NE(first->find("line 1"), std::string::npos) << *first;
    EXPECT_NE(first->find("hello"), std::string::npos) << *first;
    const auto second = bridge_->ReadErrorLine(test_support::kPatience);
    ASSERT_TRUE(second);
    EXPECT_NE(second->find("line 4"), std::string::npos) << *second;
    EXPECT_NE(second->find("out of range"), std::string::npos) << *second;

    canapi::Frame got;
    ASSERT_EQ(bus_->Receive(got, 5s), canapi::ReceiveResult::Frame);
    EXPECT_EQ(got, Parse("7E9#01"));
    ASSERT_EQ(bus_->Receive(got, 5s), canapi::ReceiveResult::Frame);
    EXPECT_EQ(got, Parse("123#AB"));
    bridge_->CloseInput();
    EXPECT_EQ(bridge_->Wait(test_support::kPatience), std::optional<int>(0));
}

TEST(CanBridgeArguments, UnknownArgumentAndBadBusNameFail) {
    for (const auto& args : {std::vector<std::string>{BridgePath(), "--nonsense"},
                             std::vector<std::string>{BridgePath(), "--bus", "../x"}}) {
        canapi_test::ChildProcess bridge(args);
        ASSERT_TRUE(bridge.Started());
        const auto error = bridge.ReadErrorLine(test_support::kPatience);
        ASSERT_TRUE(error);
        EXPECT_NE(error->find("qbk-canbridge: "), std::string::npos) << *error;
        const auto code = bridge.Wait(test_support::kPatience);
        ASSERT_TRUE(code);
        EXPECT_NE(*code, 0);
    }
}

}  // namespace
