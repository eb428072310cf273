// qbk-canbridge: joins a virtual bus and bridges it to standard input and output, one frame a
// line in the text form "7E9#0105010000000000" / "7ED#R". Lines read are sent on the bus; every
// frame received is written, one flushed line each. At the end of the input the bridge keeps
// listening for a short drain period, so answers to the last frames still come out, then ends.
#include <atomic>
#include <chrono>
#include <iostream>
#include <string>
#include <thread>

#include "platform/canapi/frame_text.h"
#include "platform/canapi/vbus.h"

namespace {

constexpr auto kDrain = std::chrono::milliseconds(300);

int Usage(const char* error) {
    if (error != nullptr) std::cerr << "qbk-canbridge: " << error << "\n";
    std::cerr << "usage: qbk-canbridge [--bus <name>]\n"
                 "  reads frames (7E9#0105010000000000, 7ED#R) from stdin and sends them on the virtual bus\n"
                 "  <name> (default \"default\"); writes every frame received to stdout\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string bus_name = "default";
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--bus" && i + 1 < argc) {
            bus_name = argv[++i];
        } else if (arg.rfind("--bus=", 0) == 0) {
            bus_name = arg.substr(6);
        } else if (arg == "--help" || arg == "-h") {
            Usage(nullptr);
            return 0;
        } else {
            return Usage(("unknown argument \"" + arg + "\"").c_str());
        }
    }

    canapi::JoinResult joined = canapi::VirtualBus::Join(bus_name);
    if (!joined.bus) {
        std::cerr << "qbk-canbridge: " << joined.error << "\n";
        return 1;
    }
    canapi::VirtualBus& bus = *joined.bus;

    std::atomic<bool> stop{false};
    std::thread receiver([&] {
        canapi::Frame frame;
        while (!stop) {
            switch (bus.Receive(frame, std::chrono::milliseconds(20))) {
            case canapi::ReceiveResult::Frame:
                std::cout << canapi::FormatFrameText(frame) << std::endl;  // flushed per line
                break;
            case canapi::ReceiveResult::Timeout:
                break;
            case canapi::ReceiveResult::Error:
                std::cerr << "qbk-canbridge: receiving from the bus failed\n";
                return;
            }
        }
    });

    std::string line;
    unsigned long line_number = 0;
    while (std::getline(std::cin, line)) {
        ++line_number;
        if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
        const canapi::FrameParse parsed = canapi::ParseFrameText(line);
        if (!parsed.frame) {
            std::cerr << "qbk-canbridge: line " << line_number << " skipped: " << parsed.error << ": \"" << line << "\""
                      << std::endl;
            continue;
        }
        const canapi::SendResult sent = bus.Send(*parsed.frame);
        if (sent.status != canapi::SendResult::Status::Sent) {
            std::cerr << "qbk-canbridge: line " << line_number << ": sending failed" << std::endl;
        }
    }

    std::this_thread::sleep_for(kDrain);
    stop = true;
    receiver.join();
    return 0;
}
