// The album transfers against the scripted fake library: the exact calls of a send, node
// matching, payload versions, the refusals, and the parsing of an album read back.
#include "app/album_transfer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>

#include "app/main_form.h"
#include "app/mccan_text.h"
#include "platform/ui/controls/screen.h"
#include "platform/ui/core/streams.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/jpeg.h"
#include "tests/app/fake_klp_fixture.h"
#include "tests/app/window_fixture.h"

namespace {

using app_test::FakeKlp;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using Bytes = std::vector<std::uint8_t>;

// Entries of an exact size whose bytes tell the pictures apart.
app::JpegEncoder PatternEncoder(std::size_t size) {
    return [size](const ui::TBitmap& picture, ui::TStream& dest) {
        Bytes bytes(size, static_cast<std::uint8_t>(picture.Width()));
        bytes[0] = 0xFF;
        bytes[1] = 0xD8;
        dest.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    };
}

std::string Hex(const Bytes& bytes) {
    std::string out;
    char digits[3];
    for (std::uint8_t b : bytes) {
        std::snprintf(digits, sizeof(digits), "%02X", b);
        out += digits;
    }
    return out;
}

// An album of `count` cards with pictures of widths 1, 2, ...
class Album {
public:
    explicit Album(int count) {
        for (int i = 0; i < count; ++i) {
            auto bitmap = std::make_unique<ui::TBitmap>();
            bitmap->SetSize(i + 1, 1);
            pages_.push_back({"Card " + std::to_string(i + 1), bitmap.get()});
            bitmaps_.push_back(std::move(bitmap));
        }
    }
    const app::AlbumPages& pages() const { return pages_; }

private:
    std::vector<std::unique_ptr<ui::TBitmap>> bitmaps_;
    app::AlbumPages pages_;
};

// The transfer's messages, in the order shown.
app::TransferUi LoggingUi(std::vector<std::string>& shown) {
    app::TransferUi ui;
    ui.error_dialog = [&shown](const std::string& text) { shown.push_back("error: " + text); };
    ui.message = [&shown](const std::string& text) { shown.push_back("message: " + text); };
    ui.information = [&shown](const std::string& text, const std::string& caption) {
        shown.push_back("information: " + caption + ": " + text);
    };
    return ui;
}

// One display node 1 of the given profile and hardware revision.
std::string OneNode(const std::string& profile_le, const std::string& hw_revision,
                    const std::string& software_le = "0001") {
    return "READKLP 0x1017 0xFF 1 02000000\n"
           "READKLP 0x1000 0 1 " +
           profile_le +
           "\n"
           "READKLP 0x1009 0xFF 1 00" +
           hw_revision +
           "\n"
           "READKLP 0x100C 0xFF 1 0001\n"
           "READKLP 0x100A 0xFF 1 " +
           software_le + "\n";
}

TEST(AlbumTransfer, SendMakesExactlyTheseCallsAndWaits) {
    FakeKlp fake;
    fake.Script(OneNode("3110", "05") + "GETSYSTEMSTATE 1 1 1 1 5\n");
    Album album(2);
    const auto encode = PatternEncoder(6);
    ui::TMemoryStream expected;
    app::BuildAlbumPayload(album.pages(), 1, app::DeviceFamilies[1].Variants[1], 1, expected, encode);
    const Bytes payload(expected.Memory(), expected.Memory() + expected.Size());

    std::vector<std::string> shown;
    auto link = fake.Link();
    app::DownloadAlbum(*link, album.pages(), 1, LoggingUi(shown), encode);
    EXPECT_THAT(shown, ElementsAre(std::string("information: Varnhold QBK: ") + app::text::kDownloadFinished));
    EXPECT_FALSE(link->IsLoaded());
    EXPECT_THAT(fake.Log(), ElementsAreArray(std::vector<std::string>{
                                "load",
                                "OPENKLP 2000 50",
                                "Sleep 500",
                                "CHECKSDO5CHANNELCONFLICT",
                                "GETSYSTEMSTATE",
                                "GETSYSTEMSTATE",  // not idle: two state queries
                                "READYKLP",
                                "SETKLPTIMEOUT 200",
                                "READKLP 0x1017 0xFF 1 3 4",
                                "SETKLPTIMEOUT 2000",
                                "READKLP 0x1000 0x00 1 2 2",
                                "READKLP 0x1009 0xFF 1 2 2",
                                "READKLP 0x100C 0xFF 1 2 2",
                                "READKLP 0x100A 0xFF 1 2 2",
                                "GETSYSTEMSTATE",
                                "GETSYSTEMSTATE",
                                "GETNODEIDKLP",
                                "WRITECAN 0x065 8 1005000000000000",
                                "Sleep 500",
                                "GETSYSTEMSTATE",  // idle at the first poll
                                "Sleep 500",
                                "SETKLPTIMEOUT 60000",
                                "WRITEKLP 0x1018 0x00 1 1 4 C4A0175E",
                                "SETKLPTIMEOUT 2000",
                                "Sleep 200",
                                "SETKLPTIMEOUT 60000",
                                "WRITEKLP 0x1019 0x00 1 1 " + std::to_string(payload.size()) + " " + Hex(payload),
                                "SETKLPTIMEOUT 2000",
                                "CLOSEKLP",
                                "unload"}));
}

TEST(AlbumTransfer, EveryListedNodeIsAskedItsHardwareUntilOneMatches) {
    FakeKlp fake;
    // Nodes 1 and 2 both report the family-1 profile; node 1 has revision 4, which neither
    // variant (2..3, 5..5) takes.
    fake.Script(
        "READKLP 0x1017 0xFF 1 06000000\n"
        "READKLP 0x1000 0 1 3110\nREADKLP 0x1000 0 2 3110\n"
        "READKLP 0x1009 0xFF 1 0004\nREADKLP 0x1009 0xFF 2 0003\n"
        "READKLP 0x100C 0xFF 2 0001\nREADKLP 0x100A 0xFF 2 0001\n"
        "GETSYSTEMSTATE 1 1 1 1 5\n");
    Album album(1);
    std::vector<std::string> shown;
    auto link = fake.Link();
    app::DownloadAlbum(*link, album.pages(), 1, LoggingUi(shown), PatternEncoder(4));
    EXPECT_THAT(fake.Calls("READKLP 0x1009"), ElementsAre("READKLP 0x1009 0xFF 1 2 2", "READKLP 0x1009 0xFF 2 2 2"));
    const auto writes = fake.Calls("WRITEKLP");
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_EQ(writes[1].rfind("WRITEKLP 0x1019 0x00 2 1 ", 0), 0u) << writes[1];
}

// A download of a two-card album whose entries have `entry_size` bytes; returns the link.
std::unique_ptr<app::TMCCANInterface> DownloadTwoCards(const FakeKlp& fake, int family, std::size_t entry_size,
                                                       const app::TransferUi& ui) {
    Album album(2);
    auto link = fake.Link();
    app::DownloadAlbum(*link, album.pages(), family, ui, PatternEncoder(entry_size));
    return link;
}

// Nothing reaches the system when the send is refused before the idle command.
TEST(AlbumTransfer, RefusedSendsTouchNothing) {
    struct Case {
        const char* name;
        std::string script;
        int family;
        std::size_t entry_size;
        std::string shown;
    };
    const Case cases[] = {
        {"revision 4 on family 1", OneNode("3110", "04"), 1, 4,
         "message: Enhanced Display not found or connected device HW version not supported!\r\nPlease contact your "
         "dealer."},
        {"no node", "READKLP 0x1017 0xFF 1 fail\n", 0, 4,
         "message: Rurerovirez not found or connected device HW version not supported!\r\nPlease contact your dealer."},
        {"still idle", OneNode("3110", "05") + "GETSYSTEMSTATE 5\n", 1, 4,
         std::string("message: ") + app::text::kStillIdle},
        {"too large", OneNode("3110", "05"), 1, 0x70000, std::string("message: ") + app::kCapacityMessage},
        {"profile read fails", "READKLP 0x1017 0xFF 1 02000000\n", 1, 4, std::string("message: ") + app::text::kE0004},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeKlp fake;
        fake.Script(c.script);
        std::vector<std::string> shown;
        const auto link = DownloadTwoCards(fake, c.family, c.entry_size, LoggingUi(shown));
        EXPECT_THAT(shown, ElementsAre(c.shown));
        EXPECT_TRUE(fake.Calls("WRITECAN").empty());
        EXPECT_TRUE(fake.Calls("WRITEKLP").empty());
        EXPECT_THAT(fake.Calls("CLOSEKLP"), ElementsAre("CLOSEKLP"));
        EXPECT_FALSE(link->IsLoaded());
    }
}

// A card whose picture is empty is never sent as a success: the send is refused with the card
// named before the system is put into idle mode.
TEST(AlbumTransfer, EmptyPictureIsRefusedBeforeAnythingIsSent) {
    FakeKlp fake;
    fake.Script(OneNode("3110", "05"));
    ui::TBitmap full;
    full.SetSize(320, 240);
    const ui::TBitmap empty;
    const app::AlbumPages pages{{"Beach", &full}, {"Nothing", &empty}};
    std::vector<std::string> shown;
    auto link = fake.Link();
    app::DownloadAlbum(*link, pages, 1, LoggingUi(shown));
    EXPECT_THAT(shown, ElementsAre("message: Card \"Nothing\" has no picture"));
    EXPECT_TRUE(fake.Calls("WRITECAN").empty());
    EXPECT_TRUE(fake.Calls("WRITEKLP").empty());
    EXPECT_THAT(fake.Calls("CLOSEKLP"), ElementsAre("CLOSEKLP"));
}

TEST(AlbumTransfer, OpenFailureShowsTheDriverDialogAndClosesNothing) {
    FakeKlp fake;
    fake.Script("OPENKLP 1\n");
    Album album(1);
    std::vector<std::string> shown;
    auto link = fake.Link();
    app::DownloadAlbum(*link, album.pages(), 1, LoggingUi(shown), PatternEncoder(4));
    EXPECT_THAT(shown, ElementsAre(std::string("error: ") + app::text::kOpenFailed + app::text::kE0023));
    EXPECT_TRUE(fake.Calls("CLOSEKLP").empty());
    EXPECT_EQ(fake.Log().back(), "unload");
}

TEST(AlbumTransfer, PayloadVersionTwoOnlyForNewSoftwareOnProfile0431) {
    EXPECT_EQ(app::PayloadVersionFor(0x0431, 0x0123), 2);
    EXPECT_EQ(app::PayloadVersionFor(0x0431, 0xFFFF), 2);
    EXPECT_EQ(app::PayloadVersionFor(0x0431, 0x0122), 1);
    EXPECT_EQ(app::PayloadVersionFor(0x1031, 0x0200), 1);
    struct Case {
        const char* software;
        const char* version_bytes;  // the payload's version field, at byte 11
    };
    for (const Case& c : {Case{"2301", "0200"}, Case{"2201", "0100"}}) {
        SCOPED_TRACE(c.software);
        FakeKlp fake;
        fake.Script(OneNode("3104", "04", c.software) + "GETSYSTEMSTATE 1 1 1 1 5\n");
        Album album(1);
        std::vector<std::string> shown;
        auto link = fake.Link();
        app::DownloadAlbum(*link, album.pages(), 2, LoggingUi(shown), PatternEncoder(4));
        EXPECT_EQ(shown.size(), 1u);
        const auto writes = fake.Calls("WRITEKLP 0x1019");
        ASSERT_EQ(writes.size(), 1u);
        const std::string data = writes[0].substr(writes[0].rfind(' ') + 1);
        EXPECT_EQ(data.substr(22, 4), c.version_bytes);
    }
}

// A version-1 or version-2 album section with the given entries.
Bytes Section(std::uint16_t version, const std::vector<Bytes>& entries) {
    Bytes out{static_cast<std::uint8_t>(version), static_cast<std::uint8_t>(version >> 8),
              static_cast<std::uint8_t>(entries.size()), static_cast<std::uint8_t>(entries.size() >> 8)};
    for (const Bytes& e : entries) {
        for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(e.size() >> shift));
    }
    for (const Bytes& e : entries) out.insert(out.end(), e.begin(), e.end());
    return out;
}

struct Uploaded {
    std::vector<std::string> captions;
    std::vector<Bytes> pictures;
    int clears = 0;
    app::UploadCards Cards() {
        return {[this] { ++clears; },
                [this](const std::string& caption, std::span<const std::uint8_t> jpeg) {
                    captions.push_back(caption);
                    pictures.emplace_back(jpeg.begin(), jpeg.end());
                }};
    }
};

std::string SectionScript(const std::string& section_file, std::size_t size) {
    char size_le[9];
    std::snprintf(size_le, sizeof(size_le), "%02X%02X%02X%02X", static_cast<unsigned>(size & 0xFF),
                  static_cast<unsigned>((size >> 8) & 0xFF), static_cast<unsigned>((size >> 16) & 0xFF),
                  static_cast<unsigned>(size >> 24));
    return OneNode("3110", "05") + "READKLP 0x101F 0 1 04\nREADKLP 0x101F 1 1 0006\nREADKLP 0x101F 2 1 " + size_le +
           "\nREADKLP 0x101F 3 1 @" + section_file + "\n";
}

TEST(AlbumTransfer, UploadNamesVersionOnePicturesByNumber) {
    FakeKlp fake;
    const std::vector<Bytes> jpegs = {{0xFF, 0xD8, 1}, {0xFF, 0xD8, 2, 2}, {0xFF, 0xD8, 3, 3, 3}};
    const Bytes section = Section(1, jpegs);
    fake.Script(SectionScript(fake.File("section", section), section.size()));
    Uploaded got;
    std::vector<std::string> shown;
    auto link = fake.Link();
    app::UploadAlbum(*link, 1, got.Cards(), LoggingUi(shown));
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(got.clears, 1);
    EXPECT_THAT(got.captions, ElementsAre("Picture 1", "Picture 2", "Picture 3"));
    EXPECT_EQ(got.pictures, jpegs);
    EXPECT_THAT(fake.Calls("READKLP 0x101F 0x03"),
                ElementsAre("READKLP 0x101F 0x03 1 2 " + std::to_string(section.size())));
    EXPECT_FALSE(link->IsLoaded());
}

TEST(AlbumTransfer, UploadOfAMissingSectionIsReported) {
    FakeKlp fake;
    fake.Script(OneNode("3110", "05") + "READKLP 0x101F 0 1 04\nREADKLP 0x101F 1 1 0002\n");
    Uploaded got;
    std::vector<std::string> shown;
    auto link = fake.Link();
    app::UploadAlbum(*link, 1, got.Cards(), LoggingUi(shown));
    EXPECT_THAT(shown, ElementsAre(std::string("message: ") + app::text::kMissingSection));
    EXPECT_TRUE(got.captions.empty());
    EXPECT_THAT(fake.Calls("CLOSEKLP"), ElementsAre("CLOSEKLP"));
}

TEST(AlbumTransfer, UploadOpenFailureReachesTheCallerWithTheAlbumEmptied) {
    FakeKlp fake;
    fake.Script("CHECKSDO5CHANNELCONFLICT 1\n");
    Uploaded got;
    std::vector<std::string> shown;
    auto link = fake.Link();
    EXPECT_THROW(app::UploadAlbum(*link, 1, got.Cards(), LoggingUi(shown)), ui::Exception);
    EXPECT_EQ(got.clears, 1);
    EXPECT_FALSE(link->IsLoaded());
}

TEST(AlbumSection, VersionTwoCarriesCaptionsInWindows1252) {
    const Bytes entry = {4, 0, 'C', 'a', 'f', 0xE9, 0xFF, 0xD8, 7};
    Uploaded got;
    app::ParseAlbumSection(Section(2, {entry, {0, 0, 0xFF, 0xD8}}), got.Cards());
    EXPECT_THAT(got.captions, ElementsAre("Caf\xC3\xA9", ""));
    EXPECT_THAT(got.pictures, ElementsAre(Bytes{0xFF, 0xD8, 7}, Bytes{0xFF, 0xD8}));
}

TEST(AlbumSection, VersionAboveTwoGivesAnEmptyAlbum) {
    Uploaded got;
    app::ParseAlbumSection(Section(3, {{1, 2, 3}}), got.Cards());
    EXPECT_TRUE(got.captions.empty());
}

TEST(AlbumSection, OffsetsAndSizesPastTheSectionAreRefused) {
    struct Case {
        const char* name;
        Bytes section;
        std::size_t cards_before;
    };
    Bytes huge_size = Section(1, {{0xFF, 0xD8}});
    huge_size[4] = huge_size[5] = huge_size[6] = huge_size[7] = 0xFF;
    Bytes second_past = Section(1, {{0xFF, 0xD8}, {0xFF, 0xD8}});
    second_past[8] = 3;
    Bytes count_past = Section(1, {});
    count_past[2] = 0xFF;
    const Case cases[] = {
        {"one byte", {1}, 0},
        {"no count", {1, 0, 1}, 0},
        {"index past the end", count_past, 0},
        {"entry of 4 GiB", huge_size, 0},
        {"second entry one byte too long", second_past, 1},
        {"caption past its entry", Section(2, {{9, 0, 'a'}}), 0},
        {"caption length cut", Section(2, {{9}}), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Uploaded got;
        try {
            app::ParseAlbumSection(c.section, got.Cards());
            ADD_FAILURE() << "accepted";
        } catch (const ui::Exception& error) {
            EXPECT_STREQ(error.what(), app::text::kMalformedSection);
        }
        EXPECT_EQ(got.captions.size(), c.cards_before);
    }
}

// Messages of a transfer with the cursor that showed while each was up.
app::TransferUi CursorLoggingUi(std::vector<std::string>& shown) {
    auto cursor = [] { return ui::Screen().Cursor() == ui::crHourGlass ? " [hourglass]" : " [arrow]"; };
    app::TransferUi ui;
    ui.error_dialog = [&shown, cursor](const std::string& text) { shown.push_back("error: " + text + cursor()); };
    ui.message = [&shown, cursor](const std::string& text) { shown.push_back("message: " + text + cursor()); };
    ui.information = [&shown, cursor](const std::string& text, const std::string&) {
        shown.push_back("information: " + text + cursor());
    };
    return ui;
}

constexpr const char* kScriptedCloseFailure = "Fatal error 6 in OS::close_KLP line 1 (scripted)";

TEST(AlbumTransfer, DownloadShowsTheHourglassUntilItEndsAndReportsACloseFailure) {
    const std::string hourglass = " [hourglass]";
    const struct {
        const char* name;
        std::string script;
        std::size_t entry_size;
        std::vector<std::string> shown;
        bool loaded;  // after the transfer
    } cases[] = {
        {"success",
         OneNode("3110", "05") + "GETSYSTEMSTATE 1 1 1 1 5\n",
         4,
         {std::string("information: ") + app::text::kDownloadFinished + hourglass},
         false},
        {"open fails",
         "OPENKLP 1\n",
         4,
         {std::string("error: ") + app::text::kOpenFailed + app::text::kE0023 + hourglass},
         false},
        {"no node",
         "READKLP 0x1017 0xFF 1 fail\n",
         4,
         {"message: Enhanced Display not found or connected device HW version not supported!\r\nPlease contact your "
          "dealer." +
          hourglass},
         false},
        {"too large",
         OneNode("3110", "05"),
         0x70000,
         {std::string("message: ") + app::kCapacityMessage + hourglass},
         false},
        // The library stays loaded while its close fails (the transfer tries twice); the link's
        // end closes it again.
        {"close fails",
         OneNode("3110", "05") + "GETSYSTEMSTATE 1 1 1 1 5\nCLOSEKLP 1 1 0\n",
         4,
         {std::string("information: ") + app::text::kDownloadFinished + hourglass,
          std::string("message: ") + kScriptedCloseFailure + hourglass},
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeKlp fake;
        fake.Script(c.script);
        std::vector<std::string> shown;
        ASSERT_EQ(ui::Screen().Cursor(), ui::crDefault);
        auto link = DownloadTwoCards(fake, 1, c.entry_size, CursorLoggingUi(shown));
        EXPECT_EQ(shown, c.shown);
        EXPECT_EQ(ui::Screen().Cursor(), ui::crDefault);
        EXPECT_EQ(link->IsLoaded(), c.loaded);
        link.reset();
        EXPECT_EQ(fake.Log().back(), "unload");
    }
}

TEST(AlbumTransfer, UploadShowsTheHourglassUntilItEndsAndReportsACloseFailure) {
    FakeKlp fake;
    const Bytes section = Section(1, {{0xFF, 0xD8, 1}});
    const std::string file = fake.File("section", section);
    const struct {
        const char* name;
        std::string script;
        bool raises;
        std::vector<std::string> shown;
    } cases[] = {
        {"success", SectionScript(file, section.size()), false, {}},
        {"missing section",
         OneNode("3110", "05") + "READKLP 0x101F 0 1 04\nREADKLP 0x101F 1 1 0002\n",
         false,
         {std::string("message: ") + app::text::kMissingSection + " [hourglass]"}},
        {"open fails", "CHECKSDO5CHANNELCONFLICT 1\n", true, {}},
        {"close fails",
         SectionScript(file, section.size()) + "CLOSEKLP 1 1 0\n",
         false,
         {std::string("message: ") + kScriptedCloseFailure + " [hourglass]"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fake.Script(c.script);
        std::vector<std::string> during;
        app::UploadCards cards{
            [&] { during.push_back(ui::Screen().Cursor() == ui::crHourGlass ? "clear [hourglass]" : "clear"); },
            [&](const std::string& caption, std::span<const std::uint8_t>) {
                during.push_back(caption + (ui::Screen().Cursor() == ui::crHourGlass ? " [hourglass]" : ""));
            }};
        std::vector<std::string> shown;
        auto link = fake.Link();
        if (c.raises) {
            EXPECT_THROW(app::UploadAlbum(*link, 1, cards, CursorLoggingUi(shown)), ui::Exception);
            EXPECT_THAT(during, ElementsAre("clear [hourglass]"));
        } else {
            app::UploadAlbum(*link, 1, cards, CursorLoggingUi(shown));
            EXPECT_EQ(during.front(), "clear [hourglass]");
        }
        EXPECT_EQ(shown, c.shown);
        EXPECT_EQ(ui::Screen().Cursor(), ui::crDefault);
        // After a failed close the library stays loaded until a close succeeds.
        EXPECT_EQ(link->IsLoaded(), std::string(c.name) == "close fails");
        link.reset();
        EXPECT_EQ(fake.Log().back(), "unload");
    }
}

// A close that fails (a stack thread did not stop in time) leaves the library loaded: that thread
// may still run the library's code. The next close tries again and unloads it once it succeeds.
TEST(DeviceLink, CloseFailureRaisesTheLibrarysTextAndKeepsTheLibraryLoaded) {
    FakeKlp fake;
    fake.Script("CLOSEKLP 1 0\n");
    auto link = fake.Link();
    link->Open();
    try {
        link->Close();
        ADD_FAILURE() << "the close failure was swallowed";
    } catch (const ui::Exception& e) {
        EXPECT_STREQ(e.what(), kScriptedCloseFailure);
    }
    EXPECT_TRUE(link->IsLoaded());
    EXPECT_TRUE(fake.Calls("unload").empty());
    link->Close();
    EXPECT_FALSE(link->IsLoaded());
    EXPECT_THAT(fake.Calls("CLOSEKLP"), ElementsAre("CLOSEKLP", "CLOSEKLP"));
    EXPECT_EQ(fake.Log().back(), "unload");
}

// Left open, the link closes itself at its end, and a failing close neither ends the process nor
// unloads the library under a thread that may still run it. The library then stays in the process
// for good, so this runs in a process of its own.
TEST(DeviceLink, CloseFailureAtTheLinksEndNeverEscapesAndKeepsTheLibrary) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            FakeKlp fake;
            fake.Script("CLOSEKLP 1\n");
            {
                auto link = fake.Link();
                link->Open();
            }
            const bool closed_once = fake.Calls("CLOSEKLP").size() == 1;
            const bool unloaded = !fake.Calls("unload").empty();
            std::fprintf(stderr, "closes: %s, unloaded: %s\n", closed_once ? "one" : "other", unloaded ? "yes" : "no");
            std::_Exit(closed_once && !unloaded ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "closes: one, unloaded: no");
}

// The library's fatal error leaves an export as an exception of the library's own: the link hands
// it on with the library's text as its own failures, so the transfers show it as theirs and end
// with the library closed and unloaded.
TEST(AlbumTransfer, LibraryFatalErrorsAreShownByTheTransferAndTheLibraryIsUnloaded) {
    const std::string fatal = "KLP Library Failure: Message Queue empty; line: 79; POOL::POOL_get_CANBuf";
    const struct {
        const char* name;
        std::string script;
        std::string shown;
        std::size_t closes;
    } cases[] = {
        {"open", "RAISE OPENKLP\n", std::string("error: ") + app::text::kOpenFailed + fatal, 0},
        {"conflict check", "RAISE CHECKSDO5CHANNELCONFLICT\n", std::string("error: ") + app::text::kOpenFailed + fatal,
         1},
        {"state query", "RAISE GETSYSTEMSTATE\n", "message: " + fatal, 1},
        {"idle command", OneNode("3110", "05") + "RAISE WRITECAN\n", "message: " + fatal, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeKlp fake;
        fake.Script(c.script);
        std::vector<std::string> shown;
        const auto link = DownloadTwoCards(fake, 1, 4, LoggingUi(shown));
        EXPECT_THAT(shown, ElementsAre(c.shown));
        EXPECT_EQ(fake.Calls("CLOSEKLP").size(), c.closes);
        EXPECT_FALSE(link->IsLoaded());
        EXPECT_EQ(fake.Log().back(), "unload");
    }
    // The upload leaves a failed open to the application's error report, in the class it reports.
    FakeKlp fake;
    fake.Script("RAISE OPENKLP\n");
    auto link = fake.Link();
    std::vector<std::string> shown;
    app::UploadCards cards{[] {}, [](const std::string&, std::span<const std::uint8_t>) {}};
    EXPECT_THROW(app::UploadAlbum(*link, 1, cards, LoggingUi(shown)), ui::Exception);
    EXPECT_FALSE(link->IsLoaded());
    EXPECT_EQ(fake.Log().back(), "unload");
}

// The main window's upload: each card shows its picture, and the cards are as wide as the last
// picture plus their frame.
TEST(AlbumTransfer, UploadIntoTheWindowSetsTheCardWidthFromThePicture) {
    test_support::EnsureApplication();
    app_test::SettingsFolder scratch;
    FakeKlp fake;
    std::vector<Bytes> jpegs;
    for (int width : {120, 97}) {
        ui::TBitmap bitmap;
        bitmap.SetPixelFormat(ui::TPixelFormat::pf24bit);
        bitmap.SetSize(width, 60);
        ui::TJPEGImage jpeg;
        jpeg.Assign(&bitmap);
        ui::TMemoryStream stream;
        jpeg.SaveToStream(stream);
        jpegs.emplace_back(stream.Memory(), stream.Memory() + stream.Size());
    }
    const Bytes section = Section(1, jpegs);
    fake.Script(SectionScript(fake.File("section", section), section.size()));
    app::TQuillbookForm form(nullptr);
    form.EDRadioButton->Click();  // family 1, which the scripted node is
    app_test::MessageBoxes boxes;
    form.UploadPicsButton->Click();
    EXPECT_TRUE(boxes.shown.empty()) << boxes.shown.front();
    ASSERT_EQ(form.PicCardList->Cards().Count(), 2);
    EXPECT_EQ(form.PicCardList->CardTemplate().CardWidth(), 97 + 14);
    EXPECT_EQ(form.PicCardList->Cards().Items(1)->Caption(), "Picture 2");
}

// A real adapter's channel that cannot be used (no such interface, or one that is down; this
// machine may not even have CAN sockets): the real libraries refuse the open and the download
// says so with the driver message, before anything is sent.
TEST(AlbumTransfer, SocketCanChannelThatCannotOpenGivesTheDriverMessage) {
    ::setenv("CANAPI_CHANNEL", "socketcan:qbk-missing0", 1);
    ::unsetenv("QBK_MODULE_KLP_LIB_USB");
    Album album(1);
    std::vector<std::string> shown;
    app::TMCCANInterface link([](std::chrono::milliseconds) {});
    app::DownloadAlbum(link, album.pages(), 1, LoggingUi(shown), PatternEncoder(4));
    ::unsetenv("CANAPI_CHANNEL");
    EXPECT_THAT(shown, ElementsAre(std::string("error: ") + app::text::kOpenFailed + app::text::kE0023));
    EXPECT_EQ(std::string(app::text::kOpenFailed) + app::text::kE0023,
              "Failed to open a CAN USB driver, or DLL not found, or no controller connected!\r\n"
              "E0023: Initialization of communication interface failed");
    EXPECT_FALSE(link.IsLoaded());
}

}  // namespace
