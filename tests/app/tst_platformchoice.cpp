#include <app/platformchoice.h>

#include <QTest>

using namespace Brellow;

class TestPlatformChoice : public QObject
{
    Q_OBJECT

private slots:
    void preferredPlatform_data();
    void preferredPlatform();
};

void TestPlatformChoice::preferredPlatform_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("qpaPlatform");
    QTest::addColumn<QByteArray>("waylandDisplay");
    QTest::addColumn<QByteArray>("sessionType");
    QTest::addColumn<QByteArray>("expected");

    const QStringList plain{"brellow"};
    QTest::newRow("X session") << plain << QByteArray() << QByteArray() << QByteArray("x11")
                               << QByteArray();
    QTest::newRow("Wayland display") << plain << QByteArray() << QByteArray("wayland-0")
                                     << QByteArray() << QByteArray("xcb;wayland");
    QTest::newRow("Wayland session") << plain << QByteArray() << QByteArray()
                                     << QByteArray("wayland") << QByteArray("xcb;wayland");
    QTest::newRow("variable wins") << plain << QByteArray("wayland") << QByteArray("wayland-0")
                                   << QByteArray("wayland") << QByteArray();
    QTest::newRow("option wins") << QStringList{"brellow", "-platform", "wayland"} << QByteArray()
                                 << QByteArray("wayland-0") << QByteArray() << QByteArray();
    QTest::newRow("double-dash option wins")
        << QStringList{"brellow", "--platform", "wayland"} << QByteArray()
        << QByteArray("wayland-0") << QByteArray() << QByteArray();
    QTest::newRow("program named like the option")
        << QStringList{"-platform"} << QByteArray() << QByteArray("wayland-0") << QByteArray()
        << QByteArray("xcb;wayland");
}

void TestPlatformChoice::preferredPlatform()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, qpaPlatform);
    QFETCH(QByteArray, waylandDisplay);
    QFETCH(QByteArray, sessionType);
    QFETCH(QByteArray, expected);
    QCOMPARE(PlatformChoice::preferredPlatform(arguments, qpaPlatform, waylandDisplay, sessionType),
             expected);
}

QTEST_GUILESS_MAIN(TestPlatformChoice)
#include "tst_platformchoice.moc"
