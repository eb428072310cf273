#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "platform/canapi/canapi.h"
#include "platform/canapi/recorder.h"
#include "platform/kernel/sync.h"

using namespace std::chrono_literals;
using canapi_recorder::Record;

namespace {

// The blocks the interface library passes.
Record InitBlock() { return {0, 0, 0, 0, 255, 255, 255, 255, 0, 0, 0, 0, 255, 255, 255, 255}; }
Record InstructionBlock() { return {101, 0, 1, 244, 1, 244, 255, 255, 0, 0, 0, 0, 255, 255, 255, 255}; }
Record TransmitRecord(std::uint32_t id, std::initializer_list<std::uint32_t> data, bool remote = false) {
    Record r{};
    r[0] = id;
    r[1] = static_cast<std::uint32_t>(data.size());
    std::size_t i = 2;
    for (auto b : data) r[i++] = b;
    r[11] = remote ? 1 : 0;
    return r;
}

class CanapiRecording : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("CANAPI_CHANNEL", "record", 1);
        canapi_recorder_reset();
    }
    void TearDown() override {
        ca_CloseApi();
        canapi_recorder_reset();
        unsetenv("CANAPI_CHANNEL");
    }
    static void Open() {
        ASSERT_EQ(ca_InitApi_1(11, 0x300), 1);
        ASSERT_EQ(ca_ResetCanCard_1(), 1);
        const Record init = InitBlock();
        ASSERT_EQ(ca_InitCanCard_1(1, 0, 0, 0, init.data(), 7, 0x7F, 0, 0, 0), 1);
    }
};

TEST_F(CanapiRecording, LogsEveryCallWithItsArguments) {
    const Record init = InitBlock(), instruction = InstructionBlock();
    const Record tx = TransmitRecord(0x7A1, {0x40, 0x00, 0x10, 0x00}, false);
    Record rx{};
    std::uint8_t chars[4];
    EXPECT_EQ(ca_InitApi_1(11, 0x300), 1);
    EXPECT_EQ(ca_ResetCanCard_1(), 1);
    EXPECT_EQ(ca_InitCanCard_1(1, 0, 0, 0, init.data(), 7, 0x7F, 0, 0, 0), 1);
    EXPECT_EQ(ca_Instruction_1(instruction.data()), 1);
    EXPECT_EQ(ca_TransmitCanCard_1(1, 0, tx.data()), 1);
    EXPECT_EQ(ca_GetData_1(rx.data()), 0);  // nothing injected
    EXPECT_EQ(ca_ResetSoftwareFilterMask_1(1), 1);
    EXPECT_EQ(ca_SetAllId_1(1, 2), 1);
    EXPECT_EQ(ca_SetFilterId_1(1, 0x7E9, 1), 1);
    EXPECT_EQ(ca_GetCharData_1(chars, 4), 1);
    EXPECT_EQ(ca_GetCharCplxData_1(nullptr, 0), 1);
    EXPECT_EQ(ca_ClearFifo_1(1), 1);
    EXPECT_EQ(ca_SetFilterVar_1(1, 2, 3), 1);
    EXPECT_EQ(ca_CloseApi(), 1);

    const std::vector<std::string> expected = {
        "ca_InitApi_1(11,768)",
        "ca_ResetCanCard_1()",
        "ca_InitCanCard_1(1,0,0,0,[0,0,0,0,255,255,255,255,0,0,0,0,255,255,255,255],7,127,0,0,0)",
        "ca_Instruction_1([101,0,1,244,1,244,255,255,0,0,0,0,255,255,255,255])",
        "ca_TransmitCanCard_1(1,0,[1953,4,64,0,16,0,0,0,0,0,0,0,0,0,0,0])",
        "ca_GetData_1(out)",
        "ca_ResetSoftwareFilterMask_1(1)",
        "ca_SetAllId_1(1,2)",
        "ca_SetFilterId_1(1,2025,1)",
        "ca_GetCharData_1(out,4)",
        "ca_GetCharCplxData_1(null,0)",
        "ca_ClearFifo_1(1)",
        "ca_SetFilterVar_1(1,2,3)",
        "ca_CloseApi()",
    };
    EXPECT_EQ(canapi_recorder::Log(), expected);
    ASSERT_EQ(canapi_recorder::Transmits().size(), 1u);
    EXPECT_EQ(canapi_recorder::Transmits()[0], tx);

    // The log outlives the session; reset clears it.
    canapi_recorder_reset();
    EXPECT_TRUE(canapi_recorder::Log().empty());
    EXPECT_EQ(canapi_recorder_log_line(0, nullptr, 0), 0u);
}

TEST_F(CanapiRecording, LogLineCopyTruncatesSafely) {
    ca_InitApi_1(11, 0x300);
    char small[8];
    EXPECT_EQ(canapi_recorder_log_line(0, small, sizeof(small)), std::string("ca_InitApi_1(11,768)").size());
    EXPECT_STREQ(small, "ca_Init");
}

TEST_F(CanapiRecording, InjectedRecordsSetTheSharedEventAndArriveInOrder) {
    EXPECT_EQ(canapi_recorder_inject(Record{}.data()), 0);  // no session yet
    Open();
    // The event created inside libcanapi.so is the one this process sees by name.
    auto event = kernel::OpenEvent(CANAPI_INPUT_EVENT_NAME);
    ASSERT_NE(event, nullptr);
    EXPECT_FALSE(event->IsSignaled());

    const Record frame = canapi_recorder::ReceiveRecord(0x581, {0x60, 0x00, 0x10, 0x00});
    const Record status = canapi_recorder::StatusRecord(kCanapiStatusBusOff);
    ASSERT_TRUE(canapi_recorder::Inject(frame));
    ASSERT_TRUE(canapi_recorder::Inject(status));
    EXPECT_EQ(event->Wait(1s), kernel::WaitResult::Signaled);
    EXPECT_EQ(canapi_recorder_pending(), 2u);

    Record got{};
    ASSERT_EQ(ca_GetData_1(got.data()), 1);
    EXPECT_EQ(got, frame);
    ASSERT_EQ(ca_GetData_1(got.data()), 1);
    EXPECT_EQ(got, status);
    EXPECT_EQ(ca_GetData_1(got.data()), 0);
    EXPECT_EQ(ca_GetData_1(nullptr), 0);

    // Closing drops the session's hold on the event and its pending records.
    ASSERT_TRUE(canapi_recorder::Inject(frame));
    ca_CloseApi();
    EXPECT_EQ(canapi_recorder_pending(), 0u);
    EXPECT_EQ(canapi_recorder_inject(frame.data()), 0);
    const kernel::Event* seen = event.get();
    event.reset();
    EXPECT_EQ(kernel::OpenEvent(CANAPI_INPUT_EVENT_NAME), nullptr) << seen;
}

TEST_F(CanapiRecording, RequestedFailuresComeFirstThenCallsSucceed) {
    canapi_recorder_fail_transmits(2);
    ASSERT_EQ(canapi_recorder_fail_calls("ca_ResetCanCard_1", 1), 1);
    ASSERT_EQ(canapi_recorder_fail_calls("ca_InitCanCard_1", 1), 1);
    ASSERT_EQ(canapi_recorder_fail_calls("ca_Instruction_1", 1), 1);
    EXPECT_EQ(canapi_recorder_fail_calls("ca_GetData_1", 1), 0);
    EXPECT_EQ(canapi_recorder_fail_calls(nullptr, 1), 0);

    const Record init = InitBlock(), instruction = InstructionBlock();
    ca_InitApi_1(11, 0x300);
    EXPECT_EQ(ca_ResetCanCard_1(), 0);
    EXPECT_EQ(ca_ResetCanCard_1(), 1);
    EXPECT_EQ(ca_InitCanCard_1(1, 0, 0, 0, init.data(), 7, 0x7F, 0, 0, 0), 0);
    EXPECT_EQ(ca_InitCanCard_1(1, 0, 0, 0, init.data(), 7, 0x7F, 0, 0, 0), 1);
    EXPECT_EQ(ca_Instruction_1(instruction.data()), 0);
    EXPECT_EQ(ca_Instruction_1(instruction.data()), 1);

    const Record first = TransmitRecord(0x100, {1}), second = TransmitRecord(0x7ED, {}, true);
    EXPECT_EQ(ca_TransmitCanCard_1(1, 0, first.data()), 0);
    EXPECT_EQ(ca_TransmitCanCard_1(1, 0, first.data()), 0);
    EXPECT_EQ(ca_TransmitCanCard_1(1, 0, first.data()), 1);
    EXPECT_EQ(ca_TransmitCanCard_1(1, 0, second.data()), 1);
    EXPECT_EQ(canapi_recorder::Transmits(), (std::vector<Record>{first, second}));

    std::size_t transmit_lines = 0;
    for (const auto& line : canapi_recorder::Log()) transmit_lines += line.rfind("ca_TransmitCanCard_1(", 0) == 0;
    EXPECT_EQ(transmit_lines, 4u);  // failed attempts are logged too
}

TEST_F(CanapiRecording, RefusesBadRecordsAndCallsOutsideASession) {
    const Record good = TransmitRecord(0x100, {1});
    EXPECT_EQ(ca_ResetCanCard_1(), 0);
    EXPECT_EQ(ca_TransmitCanCard_1(1, 0, good.data()), 0);
    Open();
    Record high = good, long_dlc = good;
    high[0] = 0x800;
    long_dlc[1] = 9;
    EXPECT_EQ(ca_TransmitCanCard_1(1, 0, high.data()), 0);
    EXPECT_EQ(ca_TransmitCanCard_1(1, 0, long_dlc.data()), 0);
    EXPECT_EQ(ca_TransmitCanCard_1(1, 0, nullptr), 0);
    EXPECT_EQ(ca_InitCanCard_1(1, 0, 0, 0, nullptr, 7, 0x7F, 0, 0, 0), 0);
    EXPECT_EQ(ca_Instruction_1(nullptr), 0);
    EXPECT_TRUE(canapi_recorder::Transmits().empty());
    EXPECT_EQ(canapi_recorder::Log().front(), "ca_ResetCanCard_1()");  // logged before the session too
}

}  // namespace
