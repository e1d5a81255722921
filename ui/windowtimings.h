#pragma once

namespace Brellow {

// The window's intervals, in milliseconds.
struct WindowTimings
{
    int pingIntervalMs = 10000; // between two pings while logged in
    int loginTimeoutMs = 5000;  // from a login request to giving up on it
    int callEndMs = 10000;      // from a call's outcome to collapsing the window
    int feedbackMs = 2000;      // how long transient page feedback stays
};

} // namespace Brellow
