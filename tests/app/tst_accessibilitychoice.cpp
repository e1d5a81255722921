#include <app/accessibilitychoice.h>
#include <tests/support/fakea11ystatus.h>
#include <tests/support/privatebus.h>

#include <QDBusConnection>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Brellow;
using UiTest::FakeA11yStatus;
using UiTest::PrivateBus;
using Reason = AccessibilityChoice::Reason;

Q_DECLARE_METATYPE(AccessibilityChoice::Reason)

// Whether the page is shown to screen readers: decided from the environment, the
// site's file and the desktop's accessibility status on the session bus.
class TestAccessibilityChoice : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void decides_data();
    void decides();
    void readsTheDesktopStatus_data();
    void readsTheDesktopStatus();
    void noServiceMeansOff();
    void noBusMeansOff();
    void silentServiceIsGivenUpOn();
    void appliesToTheEnvironment_data();
    void appliesToTheEnvironment();

private:
    QTemporaryDir m_site;
    // The process's session bus, for apply(): the desktop says off.
    PrivateBus m_sessionBus;
};

void TestAccessibilityChoice::initTestCase()
{
    QVERIFY(m_site.isValid());
    QVERIFY2(m_sessionBus.start(), qPrintable(m_sessionBus.error()));
    FakeA11yStatus::run(m_sessionBus, false, false);
    // Read once, at the first use of the session bus.
    qputenv("DBUS_SESSION_BUS_ADDRESS", m_sessionBus.address().toUtf8());
}

void TestAccessibilityChoice::decides_data()
{
    QTest::addColumn<bool>("engineVariableSet");
    QTest::addColumn<int>("site"); // -1: no key
    QTest::addColumn<bool>("alwaysOn");
    QTest::addColumn<bool>("busConnected");
    QTest::addColumn<bool>("serviceFound");
    QTest::addColumn<bool>("isEnabled");
    QTest::addColumn<bool>("screenReaderEnabled");
    QTest::addColumn<Reason>("reason");
    QTest::addColumn<bool>("on");
    QTest::addColumn<QString>("logged");

    QTest::newRow("no bus") << false << -1 << false << false << false << false << false
                            << Reason::NoBus << false << "page accessibility: off (no session bus)";
    QTest::newRow("no accessibility bus")
        << false << -1 << false << true << false << false << false << Reason::NoService << false
        << "off (no accessibility bus on the session bus)";
    QTest::newRow("desktop off") << false << -1 << false << true << true << false << false
                                 << Reason::DesktopOff << false
                                 << "off (the desktop's accessibility is off)";
    QTest::newRow("desktop on") << false << -1 << false << true << true << true << false
                                << Reason::Desktop << true
                                << "on (the desktop's accessibility is on)";
    QTest::newRow("screen reader on")
        << false << -1 << false << true << true << false << true << Reason::Desktop << true
        << "on (the desktop's screen reader is on)";
    QTest::newRow("site on, no bus")
        << false << 1 << false << false << false << false << false << Reason::Site << true
        << "on (accessibility=true in the site file)";
    QTest::newRow("site on, desktop off") << false << 1 << false << true << true << false << false
                                          << Reason::Site << true << "accessibility=true";
    // The site can ask for it, never take it from an agent whose desktop needs it.
    QTest::newRow("site off, desktop on") << false << 0 << false << true << true << true << false
                                          << Reason::Desktop << true << "on (the desktop's";
    QTest::newRow("site off, desktop off") << false << 0 << false << true << true << false << false
                                           << Reason::DesktopOff << false << "off (the desktop's";
    QTest::newRow("Qt told to keep it on")
        << false << -1 << true << false << false << false << false << Reason::AlwaysOn << true
        << "on (QT_LINUX_ACCESSIBILITY_ALWAYS_ON set)";
    QTest::newRow("engine variable set, desktop off")
        << true << -1 << false << true << true << false << false << Reason::Environment << true
        << "on (QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY set in the environment)";
    QTest::newRow("engine variable set, site on")
        << true << 1 << true << true << true << true << true << Reason::Environment << true
        << "set in the environment";
}

void TestAccessibilityChoice::decides()
{
    QFETCH(bool, engineVariableSet);
    QFETCH(int, site);
    QFETCH(bool, alwaysOn);
    QFETCH(bool, busConnected);
    QFETCH(bool, serviceFound);
    QFETCH(bool, isEnabled);
    QFETCH(bool, screenReaderEnabled);
    QFETCH(Reason, reason);
    QFETCH(bool, on);
    QFETCH(QString, logged);

    AccessibilityChoice::Inputs inputs;
    inputs.engineVariableSet = engineVariableSet;
    if (site >= 0)
        inputs.site = site == 1;
    inputs.alwaysOn = alwaysOn;
    inputs.desktop = {busConnected, serviceFound, {}, isEnabled, screenReaderEnabled};
    const AccessibilityChoice choice = AccessibilityChoice::decide(inputs);
    QCOMPARE(choice.reason(), reason);
    QCOMPARE(choice.engineOn(), on);
    QVERIFY2(choice.description().contains(logged), qPrintable(choice.description()));
}

void TestAccessibilityChoice::readsTheDesktopStatus_data()
{
    QTest::addColumn<bool>("isEnabled");
    QTest::addColumn<bool>("screenReaderEnabled");
    QTest::newRow("both off") << false << false;
    QTest::newRow("accessibility on") << true << false;
    QTest::newRow("screen reader on") << false << true;
    QTest::newRow("both on") << true << true;
}

void TestAccessibilityChoice::readsTheDesktopStatus()
{
    QFETCH(bool, isEnabled);
    QFETCH(bool, screenReaderEnabled);
    PrivateBus bus;
    QVERIFY2(bus.start(), qPrintable(bus.error()));
    FakeA11yStatus::run(bus, isEnabled, screenReaderEnabled);
    const AccessibilityChoice::DesktopStatus status =
        AccessibilityChoice::queryDesktop(bus.connect(QStringLiteral("asker")));
    QVERIFY(status.busConnected);
    QVERIFY(status.serviceFound);
    QCOMPARE(status.isEnabled, isEnabled);
    QCOMPARE(status.screenReaderEnabled, screenReaderEnabled);
}

void TestAccessibilityChoice::noServiceMeansOff()
{
    PrivateBus bus;
    QVERIFY2(bus.start(), qPrintable(bus.error()));
    const AccessibilityChoice::DesktopStatus status =
        AccessibilityChoice::queryDesktop(bus.connect(QStringLiteral("asker")));
    QVERIFY(status.busConnected);
    QVERIFY(!status.serviceFound);
    AccessibilityChoice::Inputs inputs;
    inputs.desktop = status;
    QCOMPARE(AccessibilityChoice::decide(inputs).reason(), Reason::NoService);
}

void TestAccessibilityChoice::noBusMeansOff()
{
    QTemporaryDir nowhere;
    const QString address =
        QStringLiteral("unix:path=") + QDir(nowhere.path()).filePath(QStringLiteral("no-bus"));
    const QDBusConnection bus = QDBusConnection::connectToBus(address, QStringLiteral("nowhere"));
    const AccessibilityChoice::DesktopStatus status = AccessibilityChoice::queryDesktop(bus);
    QVERIFY(!status.busConnected);
    QVERIFY(!status.serviceFound);
    QDBusConnection::disconnectFromBus(QStringLiteral("nowhere"));
}

void TestAccessibilityChoice::silentServiceIsGivenUpOn()
{
    // The status is served on this very thread, which waits in the call: the
    // service never answers, as a hung desktop service would not.
    PrivateBus bus;
    QVERIFY2(bus.start(), qPrintable(bus.error()));
    QDBusConnection service = bus.connect(QStringLiteral("hung"));
    FakeA11yStatus status(true, true);
    QVERIFY(service.registerObject(QStringLiteral("/org/a11y/bus"), &status,
                                   QDBusConnection::ExportAllProperties));
    QVERIFY(service.registerService(QStringLiteral("org.a11y.Bus")));

    const AccessibilityChoice::DesktopStatus read =
        AccessibilityChoice::queryDesktop(bus.connect(QStringLiteral("asker")), 300);
    QVERIFY(read.busConnected);
    QVERIFY(read.serviceFound);
    QVERIFY(!read.isEnabled);
    QVERIFY(!read.screenReaderEnabled);
    QVERIFY(!read.error.isEmpty());
    AccessibilityChoice::Inputs inputs;
    inputs.desktop = read;
    const AccessibilityChoice choice = AccessibilityChoice::decide(inputs);
    QVERIFY(!choice.engineOn());
    QVERIFY2(choice.description().contains("status unread"), qPrintable(choice.description()));
}

void TestAccessibilityChoice::appliesToTheEnvironment_data()
{
    QTest::addColumn<QByteArray>("siteFile");       // empty: none
    QTest::addColumn<QByteArray>("engineVariable"); // empty: unset
    QTest::addColumn<bool>("alwaysOn");
    QTest::addColumn<Reason>("reason");
    QTest::addColumn<QByteArray>("engineVariableAfter"); // empty: unset

    QTest::newRow("desktop off") << QByteArray() << QByteArray() << false << Reason::DesktopOff
                                 << QByteArray();
    QTest::newRow("site file without the key")
        << QByteArray("[General]\nresume=5\n") << QByteArray() << false << Reason::DesktopOff
        << QByteArray();
    QTest::newRow("site says true") << QByteArray("[General]\naccessibility=true\n") << QByteArray()
                                    << false << Reason::Site << QByteArray("1");
    QTest::newRow("site says false") << QByteArray("[General]\naccessibility=false\n")
                                     << QByteArray() << false << Reason::DesktopOff << QByteArray();
    QTest::newRow("always on") << QByteArray() << QByteArray() << true << Reason::AlwaysOn
                               << QByteArray("1");
    // The engine takes any value as on; the user's own is left as it is.
    QTest::newRow("user's value kept")
        << QByteArray() << QByteArray("yes") << false << Reason::Environment << QByteArray("yes");
}

void TestAccessibilityChoice::appliesToTheEnvironment()
{
    QFETCH(QByteArray, siteFile);
    QFETCH(QByteArray, engineVariable);
    QFETCH(bool, alwaysOn);
    QFETCH(Reason, reason);
    QFETCH(QByteArray, engineVariableAfter);

    QDir(m_site.path()).removeRecursively();
    QVERIFY(QDir().mkpath(m_site.filePath(QStringLiteral("Brellow"))));
    if (!siteFile.isEmpty()) {
        QFile file(m_site.filePath(QStringLiteral("Brellow/brellow.ini")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(siteFile);
    }
    qputenv("XDG_CONFIG_DIRS", QFile::encodeName(m_site.path()));
    qunsetenv(AccessibilityChoice::EngineVariable);
    if (!engineVariable.isEmpty())
        qputenv(AccessibilityChoice::EngineVariable, engineVariable);
    qunsetenv(AccessibilityChoice::AlwaysOnVariable);
    if (alwaysOn)
        qputenv(AccessibilityChoice::AlwaysOnVariable, "1");

    const AccessibilityChoice choice = AccessibilityChoice::apply(SiteSettings::load());
    QCOMPARE(choice.reason(), reason);
    QCOMPARE(qEnvironmentVariableIsSet(AccessibilityChoice::EngineVariable),
             !engineVariableAfter.isEmpty());
    QCOMPARE(qgetenv(AccessibilityChoice::EngineVariable), engineVariableAfter);
}

QTEST_GUILESS_MAIN(TestAccessibilityChoice)
#include "tst_accessibilitychoice.moc"
