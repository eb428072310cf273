// The start of the album editor: whether this copy may run at all (its own marker and the
// programming station's), then the two windows and the message loop.
#pragma once

#include <memory>
#include <string>

#include "platform/kernel/named_marker.h"

namespace app {

inline constexpr const char* kOwnMarkerName = "QBKMutex";
inline constexpr const char* kStationMarkerName = "DX-RBMutex";
inline constexpr const char* kMainFormClassName = "TQuillbookForm";
inline constexpr const char* kApplicationTitle = "Ostrel Quillbook";
inline constexpr const char* kStationRunningText =
    "2579 DXRB is running. Please close the 2579 DXRB application before starting this application.";
inline constexpr const char* kStationMarkerFailedText = "DXRB Mutex could not be created";
inline constexpr const char* kOwnMarkerFailedText = "QBK Mutex could not be created";
// What a second copy asks of the first through the own marker: find the window of this class,
// show it in its normal state and bring it to the front.
inline constexpr const char* kShowRequestPrefix = "show ";

enum class TStartCheck {
    Run,              // neither marker exists: this copy runs
    AnotherCopyRuns,  // the running copy was asked to come to the front; this copy ends
    StationRuns,      // the station message was shown; this copy ends
};

// Steps 1 and 2 of the start.
TStartCheck CheckStart();

// The two markers of a running copy, held until the end. They go station marker first.
class TProgramMarkers {
public:
    TProgramMarkers() = default;
    ~TProgramMarkers();
    TProgramMarkers(const TProgramMarkers&) = delete;
    TProgramMarkers& operator=(const TProgramMarkers&) = delete;
    TProgramMarkers(TProgramMarkers&&) = default;

    kernel::NamedMarker* Station() const { return station_.get(); }
    kernel::NamedMarker* Own() const { return own_.get(); }

private:
    friend TProgramMarkers CreateMarkers();
    std::unique_ptr<kernel::NamedMarker> station_;
    std::unique_ptr<kernel::NamedMarker> own_;
};

// Steps 3 and 4: creates both markers; one that cannot be made gets its message and the start
// goes on without it.
TProgramMarkers CreateMarkers();

// Shows an error message with the error icon and an OK button.
void ShowStartError(const std::string& text);

// The whole start; the program's exit code.
int RunProgram(int argc, char** argv);

}  // namespace app
