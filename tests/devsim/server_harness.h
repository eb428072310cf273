// Drives one SdoServer as a client would: a request in, the answers out, on a hand-moved clock.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "tests/support/protocol_bytes.h"
#include "tools/devsim/frame.h"
#include "tools/devsim/object_dictionary.h"
#include "tools/devsim/outbox.h"
#include "tools/devsim/sdo_server.h"

namespace devsim_test {

using devsim::Bytes;
using devsim::Frame;

inline constexpr std::uint8_t kNode = 3;

inline Frame Request(std::initializer_list<std::uint8_t> bytes) {
    Frame frame = devsim::MakeFrame(sdo::kRequestBase + kNode, bytes);
    frame.dlc = 8;
    return frame;
}

// A request with command byte, multiplexer and a 32-bit value in data[4..7].
inline Frame Request(std::uint8_t command, std::uint16_t index, std::uint8_t sub, std::uint32_t value = 0) {
    Frame frame = Request({command});
    devsim::Put16(frame, 1, index);
    frame.data[3] = sub;
    devsim::Put32(frame, 4, value);
    return frame;
}

inline std::uint32_t AbortCodeOf(const Frame& answer) { return answer.data[0] == 0x80 ? devsim::Get32(answer, 4) : 0; }

class ServerHarness {
public:
    explicit ServerHarness(devsim::SdoBehaviour behaviour = {}) : server_(kNode, dictionary_, behaviour) {}

    devsim::ObjectDictionary& dictionary() { return dictionary_; }
    devsim::SdoServer& server() { return server_; }

    // The answers the request brings at once.
    std::vector<Frame> Send(const Frame& request) {
        server_.OnRequest(request, now_, out_);
        return Due();
    }
    std::vector<Frame> Advance(std::chrono::milliseconds by) {
        now_ += by;
        server_.Poll(now_, out_);
        return Due();
    }

    // A readable and writable object of any length up to `max`.
    void AddStore(std::uint16_t index, std::uint8_t sub, std::size_t max, Bytes* written) {
        devsim::ObjectEntry entry;
        entry.writable = true;
        entry.max_write_size = max;
        entry.on_written = [written](const Bytes& bytes) { *written = bytes; };
        dictionary_.Add(index, sub, std::move(entry));
    }

private:
    std::vector<Frame> Due() {
        std::vector<Frame> frames;
        out_.TakeDue(now_, frames);
        for (const Frame& f : frames) EXPECT_EQ(f.id, sdo::kResponseBase + kNode);
        return frames;
    }

    devsim::ObjectDictionary dictionary_;
    devsim::SdoServer server_;
    devsim::Outbox out_;
    devsim::TimePoint now_{};
};

using test_bytes::Pattern;

}  // namespace devsim_test
