#include <common/signalwatcher.h>

#include <QSignalSpy>
#include <QTest>

#include <csignal>

using namespace Brellow;

// A terminating signal must reach the event loop as a plain Qt signal instead of
// killing the process, so that Brellow can leave the orderly way.
class TestSignalWatcher : public QObject
{
    Q_OBJECT

private slots:
    void signalsReachTheEventLoop_data();
    void signalsReachTheEventLoop();
};

void TestSignalWatcher::signalsReachTheEventLoop_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("SIGINT") << SIGINT;
    QTest::newRow("SIGHUP") << SIGHUP;
}

void TestSignalWatcher::signalsReachTheEventLoop()
{
    QFETCH(int, signalNumber);
    SignalWatcher watcher;
    QVERIFY(watcher.isActive());
    QSignalSpy spy(&watcher, &SignalWatcher::signalled);
    // Twice: the handler stays installed after the first.
    QCOMPARE(::raise(signalNumber), 0);
    QCOMPARE(::raise(signalNumber), 0);
    QTRY_COMPARE(spy.size(), 2);
    QCOMPARE(spy.at(0).at(0).toInt(), signalNumber);
    QCOMPARE(spy.at(1).at(0).toInt(), signalNumber);
}

QTEST_GUILESS_MAIN(TestSignalWatcher)
#include "tst_signalwatcher.moc"
