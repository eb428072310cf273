// One "Download Album" as the button makes it, timed, with the link's fixed waits (after the
// open, between the readiness and idle polls, before the unlock and the image, after the close)
// measured apart: they are the same whatever the bus does, so what a benchmark compares is the
// rest, the transfer itself.
#pragma once

#include <chrono>
#include <string>

#include "app/album_transfer.h"
#include "app/mccan_interface.h"
#include "platform/kernel/thread.h"

namespace bench {

struct TimedDownload {
    std::chrono::nanoseconds total{0};  // the whole command
    std::chrono::nanoseconds waits{0};  // the link's fixed waits within it
    bool finished = false;              // its last box told the album was sent

    std::chrono::nanoseconds Transfer() const { return total - waits; }
};

// Sends `pages` to the device of `family` on the bus CANAPI_CHANNEL names, through the interface
// library loaded by name, every box answered at once.
inline TimedDownload DownloadAlbumTimed(const app::AlbumPages& pages, int family) {
    using Clock = std::chrono::steady_clock;
    TimedDownload result;
    app::TMCCANInterface link([&result](std::chrono::milliseconds duration) {
        const auto start = Clock::now();
        kernel::Sleep(duration);
        result.waits += Clock::now() - start;
    });
    app::TransferUi ui{[](const std::string&) {},
                       [](const std::string&) {},
                       [&result](const std::string&, const std::string&) { result.finished = true; },
                       {}};
    const auto start = Clock::now();
    app::DownloadAlbum(link, pages, family, ui);
    result.total = Clock::now() - start;
    return result;
}

}  // namespace bench
