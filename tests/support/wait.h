#pragma once

#include <QDeadlineTimer>
#include <QTest>

namespace UiTest {

// Waits until `condition` holds, at most timeoutMs; true when it does. Unlike
// QTest::qWaitFor, which hands all of its remaining time to one processEvents()
// call, this looks at the condition every few milliseconds: the web engine's
// steady stream of events would otherwise keep a wait busy for seconds after the
// condition came true.
template <typename Condition> bool waitFor(Condition condition, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return condition();
        QTest::qWait(2);
    }
    return true;
}

} // namespace UiTest
