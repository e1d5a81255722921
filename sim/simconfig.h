#pragma once

#include <sim/accounts.h>
#include <sim/script.h>

#include <QJsonArray>

namespace Brellow {

// Timings of the generated feed, in milliseconds.
struct SimTimings
{
    int statIntervalMs = 5000;  // between two "update_stat" pushes
    int firstCallMs = 3000;     // from login to the first call
    int answerStepMs = 3000;    // between the steps of a call: start, each answer, outcome
    int callIntervalMs = 45000; // from a call's outcome to the next call
};

// Everything the server needs besides its socket.
struct SimConfig
{
    Accounts accounts;
    QJsonArray mediaLinks;
    bool useScript = false; // replay `script` instead of generating calls and figures
    Script script;
    SimTimings timings;
    int idleTimeoutMs = 300000; // a session without a datagram for this long ends; 0: never
    // Logins beyond this many open sessions are refused, so that a flood of logins from many
    // ports cannot make the server push to thousands of peers until they time out.
    int maxSessions = 200;
    // Log, each second, how many login datagrams arrived in it.
    bool logLoginRate = false;
};

} // namespace Brellow
