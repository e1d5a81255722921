#include <net/backoff.h>

#include <QTest>

#include <algorithm>

using namespace Brellow;

// The waits between resume attempts: growing to a cap, and spread wide enough
// that a floor of clients does not come back in step.
class TestBackoff : public QObject
{
    Q_OBJECT

private slots:
    void waitsGrowWithinTheirSpread_data();
    void waitsGrowWithinTheirSpread();
    void sameSeedSameWaits();
};

void TestBackoff::waitsGrowWithinTheirSpread_data()
{
    QTest::addColumn<int>("attempt"); // 0: the first
    QTest::addColumn<int>("nominalMs");
    QTest::newRow("first at once") << 0 << 0;
    QTest::newRow("second") << 1 << 2000;
    QTest::newRow("third") << 2 << 4000;
    QTest::newRow("fourth") << 3 << 8000;
    QTest::newRow("fifth") << 4 << 16000;
    QTest::newRow("sixth, capped") << 5 << 30000;
    QTest::newRow("far on, capped") << 40 << 30000;
}

void TestBackoff::waitsGrowWithinTheirSpread()
{
    QFETCH(int, attempt);
    QFETCH(int, nominalMs);
    QList<int> waits;
    for (quint32 seed = 1; seed <= 2000; ++seed) {
        Backoff backoff(seed);
        for (int i = 0; i < attempt; ++i)
            backoff.nextWaitMs();
        QCOMPARE(backoff.nominalWaitMs(), nominalMs);
        waits << backoff.nextWaitMs();
    }
    const auto [low, high] = std::minmax_element(waits.cbegin(), waits.cend());
    if (nominalMs == 0) {
        QCOMPARE(*high, 0);
        return;
    }
    QVERIFY(*high <= Backoff::MaxWaitMs);
    QVERIFY(*low >= nominalMs * (1 - Backoff::Jitter) - 1);
    QVERIFY(*high <= nominalMs * (1 + Backoff::Jitter) + 1);
    // At least a quarter either way below the cap, and as wide at the cap.
    QVERIFY2(*low <= nominalMs * 0.75, qPrintable(QString::number(*low)));
    if (nominalMs < Backoff::MaxWaitMs)
        QVERIFY2(*high >= nominalMs * 1.25, qPrintable(QString::number(*high)));
    else
        QVERIFY(*high - *low >= Backoff::MaxWaitMs / 4);
    // Spread, not gathered on a few values.
    std::sort(waits.begin(), waits.end());
    QVERIFY(std::unique(waits.begin(), waits.end()) - waits.begin() > 500);
}

void TestBackoff::sameSeedSameWaits()
{
    Backoff a(42), b(42), c(43);
    QList<int> first, second, third;
    for (int i = 0; i < 8; ++i) {
        first << a.nextWaitMs();
        second << b.nextWaitMs();
        third << c.nextWaitMs();
    }
    QCOMPARE(first, second);
    QVERIFY(first != third);
    a.reset();
    QCOMPARE(a.nextWaitMs(), 0);
    QCOMPARE(a.attempts(), 1);
}

QTEST_GUILESS_MAIN(TestBackoff)
#include "tst_backoff.moc"
