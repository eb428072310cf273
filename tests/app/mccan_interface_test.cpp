// The device link against the scripted fake library: the exact calls, waits and texts.
#include "app/mccan_interface.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/mccan_text.h"
#include "tests/app/fake_klp_fixture.h"

namespace {

using app_test::FakeKlp;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

// The message of the exception that `body` raises, or "" when it raises none.
template <typename Body>
std::string MessageOf(Body body) {
    try {
        body();
    } catch (const ui::Exception& error) {
        return error.what();
    }
    return "";
}

const std::vector<std::string> kOpenCalls = {"load", "OPENKLP 2000 50", "Sleep 500", "CHECKSDO5CHANNELCONFLICT"};

TEST(DeviceLink, OpenAndCloseMakeExactlyTheseCalls) {
    FakeKlp fake;
    auto link = fake.Link();
    link->Open();
    EXPECT_TRUE(link->IsLoaded());
    EXPECT_THAT(fake.Log(), ElementsAreArray(kOpenCalls));
    link->Close();
    EXPECT_FALSE(link->IsLoaded());
    EXPECT_THAT(fake.Calls("CLOSEKLP"), ElementsAre("CLOSEKLP"));
    EXPECT_EQ(fake.Log().back(), "unload");
    link->Close();  // nothing loaded: no second CLOSEKLP
    EXPECT_EQ(fake.Calls("CLOSEKLP").size(), 1u);
}

TEST(DeviceLink, MissingLibraryNamesTheFileBehindTwoBlanks) {
    FakeKlp fake;
    setenv("QBK_MODULE_KLP_LIB_USB", "/nonexistent/libklp_lib_usb.so", 1);
    auto link = fake.Link();
    EXPECT_EQ(MessageOf([&] { link->Open(); }), "E0011: DLL not found:  klp_lib_usb.dll");
    EXPECT_FALSE(link->IsLoaded());
}

// Every failed open leaves nothing open and nothing loaded, so the next transfer starts clean.
TEST(DeviceLink, FailedOpenClosesWhatItOpenedAndUnloads) {
    struct Case {
        const char* script;
        std::string message;
        std::vector<std::string> log;
    };
    const Case cases[] = {
        {"OPENKLP 1", app::text::kE0023, {"load", "OPENKLP 2000 50", "unload"}},
        {"CHECKSDO5CHANNELCONFLICT 3",
         app::text::kChannelConflict,
         {"load", "OPENKLP 2000 50", "Sleep 500", "CHECKSDO5CHANNELCONFLICT", "CLOSEKLP", "unload"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        FakeKlp fake;
        fake.Script(c.script);
        auto link = fake.Link();
        EXPECT_EQ(MessageOf([&] { link->Open(); }), c.message);
        EXPECT_FALSE(link->IsLoaded());
        EXPECT_THAT(fake.Log(), ElementsAreArray(c.log));
    }
}

TEST(DeviceLink, ConflictMessageSeparatesTheSentencesWithACarriageReturn) {
    const std::string text = app::text::kChannelConflict;
    EXPECT_NE(text.find("system!\rPlease"), std::string::npos);
    EXPECT_EQ(text.find('\n'), std::string::npos);
}

TEST(DeviceLink, ReadinessIsPolledNineTimesHalfASecondApart) {
    {
        FakeKlp fake;
        fake.Script("READYKLP 0 0 0 0 0 0 0 0 1\nREADKLP 0x1017 0xFF 1 00000000\n");
        auto link = fake.Link();
        link->Open();
        fake.ClearLog();
        app::NodeArray ids{}, profiles{};
        EXPECT_EQ(link->getDeviceIDs(ids, profiles), 0);
        EXPECT_EQ(fake.Calls("READYKLP").size(), 9u);
        EXPECT_EQ(fake.Calls("Sleep 500").size(), 8u);
        EXPECT_EQ(fake.Calls("READKLP 0x1017").size(), 1u);  // discovery went on
    }
    {
        FakeKlp fake;
        fake.Script("READYKLP 0\n");
        auto link = fake.Link();
        link->Open();
        fake.ClearLog();
        app::NodeArray ids{}, profiles{};
        EXPECT_EQ(MessageOf([&] { link->getDeviceIDs(ids, profiles); }),
                  "E0000: Communication Software not ready (getDeviceIDs)");
        EXPECT_EQ(fake.Calls("READYKLP").size(), 9u);
        EXPECT_EQ(fake.Calls("Sleep").size(), 8u);
        EXPECT_TRUE(fake.Calls("READKLP").empty());
    }
}

TEST(DeviceLink, NodeMaskSelectsNodesOneToSixteen) {
    struct Case {
        const char* mask;  // little-endian bytes as the node answers them
        std::vector<std::uint16_t> profile_reads;
        std::vector<std::uint16_t> ids;
    };
    std::vector<std::uint16_t> all, all_but_3;
    for (std::uint16_t n = 1; n <= 16; ++n) {
        all.push_back(n);
        if (n != 3) all_but_3.push_back(n);
    }
    const Case cases[] = {
        {"01000000", {}, {}},
        {"0000FEFF", {}, {}},          // bits 17..31 only
        {"FEFF0100", all, all_but_3},  // 0x1FFFE: node 3 answers profile 15
        {"fail", {}, {}},              // a failed mask read is no error
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mask);
        FakeKlp fake;
        std::string script = std::string("READKLP 0x1017 0xFF 1 ") + c.mask + "\n";
        for (std::uint16_t n = 1; n <= 16; ++n) {
            script += "READKLP 0x1000 0 " + std::to_string(n) + (n == 3 ? " 0F00\n" : " 3110\n");
        }
        fake.Script(script);
        auto link = fake.Link();
        link->Open();
        fake.ClearLog();
        app::NodeArray ids{}, profiles{};
        const std::uint8_t count = link->getDeviceIDs(ids, profiles);
        std::vector<std::string> expected_reads;
        for (std::uint16_t n : c.profile_reads)
            expected_reads.push_back("READKLP 0x1000 0x00 " + std::to_string(n) + " 2 2");
        EXPECT_THAT(fake.Calls("READKLP 0x1000"), ElementsAreArray(expected_reads));
        ASSERT_EQ(count, c.ids.size());
        for (std::size_t i = 0; i < c.ids.size(); ++i) {
            EXPECT_EQ(ids[i], c.ids[i]);
            EXPECT_EQ(profiles[i], 0x1031);
        }
        EXPECT_THAT(fake.Calls("SETKLPTIMEOUT"), ElementsAre("SETKLPTIMEOUT 200", "SETKLPTIMEOUT 2000"));
        EXPECT_THAT(fake.Calls("READKLP 0x1017"), ElementsAre("READKLP 0x1017 0xFF 1 3 4"));
    }
}

TEST(DeviceLink, IdentityReadFailuresRaiseCommunicationErrors) {
    struct Case {
        const char* name;
        std::function<void(app::TMCCANInterface&)> read;
        const char* message;
    };
    const Case cases[] = {
        {"profile", [](app::TMCCANInterface& l) { l.ReadDeviceProfile(2); }, app::text::kE0004},
        {"hardware", [](app::TMCCANInterface& l) { l.ReadHardwareVersion(2); }, app::text::kW0018},
        {"profile version", [](app::TMCCANInterface& l) { l.ReadProfileVersion(2); }, app::text::kW0021},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeKlp fake;
        auto link = fake.Link();
        link->Open();
        try {
            c.read(*link);
            ADD_FAILURE() << "no exception";
        } catch (const app::ECommunicationError& error) {
            EXPECT_STREQ(error.what(), c.message);
        }
    }
}

TEST(DeviceLink, ShortReplyLeavesNoStaleBytes) {
    FakeKlp fake;
    fake.Script("READKLP 0x1009 0xFF 2 05\n");  // one byte where two were asked
    auto link = fake.Link();
    link->Open();
    EXPECT_EQ(link->ReadHardwareVersion(2), 0x0005);
}

TEST(DeviceLink, SoftwareVersionObjectFollowsTheProfileMajorNumber) {
    struct Case {
        const char* profile_version;
        const char* object;
    };
    const Case cases[] = {{"0102", "READKLP 0x1023 0x00 2 2 2"},  // 0x0201
                          {"0001", "READKLP 0x100A 0xFF 2 2 2"},  // 0x0100
                          {"0003", "READKLP 0x100A 0xFF 2 2 2"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.profile_version);
        FakeKlp fake;
        fake.Script(std::string("READKLP 0x100C 0xFF 2 ") + c.profile_version +
                    "\nREADKLP 0x1023 0 2 2301\nREADKLP 0x100A 0xFF 2 2301\n");
        auto link = fake.Link();
        link->Open();
        fake.ClearLog();
        EXPECT_EQ(link->ReadSoftwareVersion(2), 0x0123);
        EXPECT_THAT(fake.Log(), ElementsAre("READKLP 0x100C 0xFF 2 2 2", c.object));
    }
    FakeKlp fake;
    fake.Script("READKLP 0x100C 0xFF 2 0001\n");
    auto link = fake.Link();
    link->Open();
    EXPECT_EQ(MessageOf([&] { link->ReadSoftwareVersion(2); }), app::text::kW0019);
}

TEST(DeviceLink, IdleStateTakesOneQueryForFiveAndTwoOtherwise) {
    struct Case {
        const char* states;
        bool idle;
        std::size_t queries;
    };
    const Case cases[] = {{"5", true, 1}, {"1 4", true, 2}, {"4 1", false, 2}, {"1 1", false, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.states);
        FakeKlp fake;
        fake.Script(std::string("GETSYSTEMSTATE ") + c.states + "\n");
        auto link = fake.Link();
        link->Open();
        EXPECT_EQ(link->IsIdle(), c.idle);
        EXPECT_EQ(fake.Calls("GETSYSTEMSTATE").size(), c.queries);
    }
}

TEST(DeviceLink, SetIdleSendsTheIdleFrameAndPolls) {
    {
        FakeKlp fake;
        fake.Script("GETSYSTEMSTATE 5\n");
        auto link = fake.Link();
        link->Open();
        link->SetIdle();
        EXPECT_TRUE(fake.Calls("WRITECAN").empty());
    }
    {
        // Idle only at the tenth poll: 1 query before the frame, 2 per poll for nine polls, then 5.
        FakeKlp fake;
        fake.Script("GETNODEIDKLP 7\nGETSYSTEMSTATE 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 5\n");
        auto link = fake.Link();
        link->Open();
        fake.ClearLog();
        link->SetIdle();
        const auto log = fake.Log();
        ASSERT_GE(log.size(), 4u);
        EXPECT_THAT(
            std::vector<std::string>(log.begin(), log.begin() + 4),
            ElementsAre("GETSYSTEMSTATE", "GETSYSTEMSTATE", "GETNODEIDKLP", "WRITECAN 0x067 8 1007000000000000"));
        EXPECT_EQ(fake.Calls("Sleep 500").size(), 10u);
    }
    {
        FakeKlp fake;
        fake.Script("GETSYSTEMSTATE 1\n");
        auto link = fake.Link();
        link->Open();
        fake.ClearLog();
        EXPECT_EQ(MessageOf([&] { link->SetIdle(); }), app::text::kE0001);
        EXPECT_EQ(fake.Calls("Sleep 500").size(), 10u);
        EXPECT_EQ(fake.Calls("GETSYSTEMSTATE").size(), 22u);
    }
    {
        FakeKlp fake;
        fake.Script("GETNODEIDKLP 255\n");
        auto link = fake.Link();
        link->Open();
        EXPECT_EQ(MessageOf([&] { link->SetIdle(); }), app::text::kE0005);
        EXPECT_TRUE(fake.Calls("WRITECAN").empty());
    }
}

TEST(DeviceLink, UnlockAndImageWritesRunWithTheLongTimeoutAndRestoreIt) {
    for (const char* answer : {"ok", "fail"}) {
        SCOPED_TRACE(answer);
        FakeKlp fake;
        fake.Script(std::string("WRITEKLP 0x1018 0 3 ") + answer + "\nWRITEKLP 0x1019 0 3 " + answer + "\n");
        auto link = fake.Link();
        link->Open();
        fake.ClearLog();
        const bool fails = std::string(answer) == "fail";
        EXPECT_EQ(MessageOf([&] { link->UnlockSoftwareUpdate(3); }), fails ? app::text::kE0002 : "");
        const std::uint8_t image[] = {1, 2, 3, 0xFE, 0xFF};
        EXPECT_EQ(MessageOf([&] { link->DownloadSoftware(3, image, 5); }), fails ? app::text::kE0003 : "");
        EXPECT_THAT(fake.Log(),
                    ElementsAre("SETKLPTIMEOUT 60000", "WRITEKLP 0x1018 0x00 3 1 4 C4A0175E", "SETKLPTIMEOUT 2000",
                                "SETKLPTIMEOUT 60000", "WRITEKLP 0x1019 0x00 3 1 5 010203FEFF", "SETKLPTIMEOUT 2000"));
    }
}

TEST(DeviceLink, SectionCountFromTheCountByte) {
    struct Case {
        const char* byte;
        std::uint16_t sections;
    };
    const Case cases[] = {{"00", 0}, {"01", 0}, {"04", 1}, {"07", 2}, {"FF", 84}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.byte);
        FakeKlp fake;
        fake.Script(std::string("READKLP 0x101F 0 2 ") + c.byte + "\n");
        auto link = fake.Link();
        link->Open();
        EXPECT_EQ(link->ReadSectionCount(2), c.sections);
        EXPECT_THAT(fake.Calls("READKLP"), ElementsAre("READKLP 0x101F 0x00 2 3 1"));
    }
    FakeKlp fake;
    auto link = fake.Link();
    link->Open();
    EXPECT_EQ(MessageOf([&] { link->ReadSectionCount(2); }), app::text::kSectionCountError);
}

TEST(DeviceLink, EverySectionOfTheTypeIsReadAndTheLastWins) {
    FakeKlp fake;
    // Three sections: type 6 (value 1, 3 bytes), type 2, type 6 (value 9, 2 bytes).
    fake.Script(
        "READKLP 0x101F 0 2 0A\n"
        "READKLP 0x101F 1 2 0106\nREADKLP 0x101F 2 2 03000000\nREADKLP 0x101F 3 2 AABBCC\n"
        "READKLP 0x101F 4 2 0002\n"
        "READKLP 0x101F 7 2 0906\nREADKLP 0x101F 8 2 02000000\nREADKLP 0x101F 9 2 1122\n");
    auto link = fake.Link();
    link->Open();
    fake.ClearLog();
    std::vector<std::uint8_t> buffer(8, 0x55);
    std::uint8_t value = 0;
    EXPECT_EQ(link->ReadSectionByType(2, 6, value, buffer), 2u);
    EXPECT_EQ(value, 9);
    EXPECT_THAT(buffer, ElementsAre(0x11, 0x22, 0xCC, 0x55, 0x55, 0x55, 0x55, 0x55));
    EXPECT_THAT(fake.Calls("READKLP"),
                ElementsAre("READKLP 0x101F 0x00 2 3 1", "READKLP 0x101F 0x01 2 3 2", "READKLP 0x101F 0x02 2 3 4",
                            "READKLP 0x101F 0x03 2 2 3", "READKLP 0x101F 0x04 2 3 2", "READKLP 0x101F 0x07 2 3 2",
                            "READKLP 0x101F 0x08 2 3 4", "READKLP 0x101F 0x09 2 2 2"));
}

TEST(DeviceLink, SectionsThatDisagreeWithTheirSizeAreRefused) {
    struct Case {
        const char* name;
        const char* script;
        const char* message;
    };
    const Case cases[] = {
        {"larger than the buffer", "READKLP 0x101F 2 2 00010000\n", app::text::kMalformedSection},
        {"size near 4 GiB", "READKLP 0x101F 2 2 FFFFFFFF\n", app::text::kMalformedSection},
        {"fewer bytes than announced", "READKLP 0x101F 2 2 04000000\nREADKLP 0x101F 3 2 AABB\n",
         app::text::kMalformedSection},
        {"data read fails", "READKLP 0x101F 2 2 04000000\nREADKLP 0x101F 3 2 fail\n", app::text::kE0068},
        {"size read fails", "", app::text::kE0068},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeKlp fake;
        fake.Script(std::string("READKLP 0x101F 0 2 04\nREADKLP 0x101F 1 2 0006\n") + c.script);
        auto link = fake.Link();
        link->Open();
        std::vector<std::uint8_t> buffer(16, 0x55);
        std::uint8_t value = 0x77;
        EXPECT_EQ(MessageOf([&] { link->ReadSectionByType(2, 6, value, buffer); }), c.message);
        EXPECT_EQ(value, 0x77);
        EXPECT_EQ(buffer, std::vector<std::uint8_t>(16, 0x55));
    }
}

}  // namespace
