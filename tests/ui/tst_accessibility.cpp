#include <tests/support/windowtestcase.h>

#include <app/application.h>
#include <net/receiver.h>
#include <tests/support/fakenotifications.h>
#include <tests/support/messageboxes.h>
#include <tests/support/privatebus.h>
#include <tests/support/wait.h>
#include <ui/announcementarea.h>
#include <ui/announcer.h>
#include <ui/desktopnotifier.h>
#include <ui/mainwindow.h>
#include <ui/traynotices.h>

#include <QAccessible>
#include <QSignalSpy>
#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

using namespace Brellow;
using UiTest::FakeNotifications;
using UiTest::PrivateBus;

// What a screen reader finds in the window: the page's controls, figures and
// bars by name and value, read from the engine's own accessibility tree, and
// the window's spoken notices; and the desktop notifications of a window hidden
// to the tray, sent to a stand-in notification service on a private bus.
class TestAccessibility : public UiTest::WindowTestCase
{
    Q_OBJECT

protected:
    WindowTimings windowTimings() const override
    {
        WindowTimings timings;
        timings.pingIntervalMs = PingMs;
        return timings;
    }

public:
    TestAccessibility();
    ~TestAccessibility() override;

private slots:
    void loggedOutControlsHaveNames_data();
    void loggedOutControlsHaveNames();
    void figuresAndBarsFollowTheServer();
    void connectionNoticeIsAStatus();
    void noticesAreSpoken();
    void notifiesOnlyWhileHidden();
    void withoutServiceNothingBreaks();

private:
    static constexpr int PingMs = 300;

    struct Node
    {
        QAccessible::Role role;
        QString name;
        QString value;
        double currentValue;
    };
    // Every node of the window's accessibility tree, the page's included.
    QList<Node> tree() const;
    bool hasNode(QAccessible::Role role, const QString &name, const QString &value = {}) const;
    QString describe() const;
    void logIn();
    // Stops answering: the window calls the connection lost after three pings.
    void loseConnection();
    void bringConnectionBack();

    PrivateBus m_bus;
};

namespace {

// The events Qt hands to the platform's accessibility, from any object.
QList<std::pair<QAccessible::Event, QString>> accessibilityEvents;

void recordEvent(QAccessibleEvent *event)
{
    if (AnnouncementArea *area = qobject_cast<AnnouncementArea *>(event->object()))
        accessibilityEvents.append({event->type(), area->text()});
}

void collect(QAccessibleInterface *node, QList<std::pair<QAccessibleInterface *, int>> &seen,
             int depth)
{
    if (!node || !node->isValid() || depth > 60)
        return;
    seen.append({node, depth});
    for (int i = 0; i < node->childCount(); ++i)
        collect(node->child(i), seen, depth + 1);
}

} // namespace

// The base class's test-case set-up opens the fake server; this one's is done
// here, once the application exists.
TestAccessibility::TestAccessibility()
{
    if (!qEnvironmentVariableIsSet("QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY"))
        qFatal("the engine builds its tree only when told before it starts");
    // As an assistive technology on the desktop would: the offscreen platform has
    // no desktop bridge to do it.
    QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(true);
    if (!QAccessible::isActive())
        qFatal("accessibility could not be made active");
    QAccessible::installUpdateHandler(recordEvent);
    if (!m_bus.start())
        qFatal("no private bus: %s", qPrintable(m_bus.error()));
}

TestAccessibility::~TestAccessibility()
{
    QAccessible::installUpdateHandler(nullptr);
}

QList<TestAccessibility::Node> TestAccessibility::tree() const
{
    QList<std::pair<QAccessibleInterface *, int>> seen;
    collect(QAccessible::queryAccessibleInterface(window.get()), seen, 0);
    QList<Node> nodes;
    for (const auto &[node, depth] : seen) {
        Q_UNUSED(depth);
        if (node->state().invisible)
            continue;
        const QAccessibleValueInterface *value = node->valueInterface();
        nodes.append({node->role(), node->text(QAccessible::Name).simplified(),
                      node->text(QAccessible::Value).simplified(),
                      value ? value->currentValue().toDouble() : -1});
    }
    return nodes;
}

bool TestAccessibility::hasNode(QAccessible::Role role, const QString &name,
                                const QString &value) const
{
    const QList<Node> nodes = tree();
    return std::any_of(nodes.begin(), nodes.end(), [&](const Node &node) {
        return node.role == role && node.name == name && (value.isNull() || node.value == value);
    });
}

QString TestAccessibility::describe() const
{
    QStringList lines;
    for (const Node &node : tree())
        lines << QStringLiteral("%1 \"%2\" [%3] %4")
                     .arg(int(node.role), 0, 16)
                     .arg(node.name, node.value)
                     .arg(node.currentValue);
    return lines.join(QLatin1Char('\n'));
}

void TestAccessibility::logIn()
{
    UiTest::setValue(*window, "#username", "anna");
    UiTest::setValue(*window, "#password", "secret");
    UiTest::click(*window, "login");
    QTRY_COMPARE(window->loginState(), MainWindow::LoginState::LoggingIn);
    server->send(QByteArray(R"({"cmd":"login_ack","session_id":"s-1"})"));
    QTRY_COMPARE(window->loginState(), MainWindow::LoginState::LoggedIn);
    server->drain(100);
}

void TestAccessibility::loseConnection()
{
    // The pings go unanswered.
    server->drain(50);
    QTRY_VERIFY_WITH_TIMEOUT(window->isConnectionLost(), 15000);
}

void TestAccessibility::bringConnectionBack()
{
    server->send(QByteArray(R"({"cmd":"ping_ack"})"));
    QTRY_VERIFY(!window->isConnectionLost());
}

void TestAccessibility::loggedOutControlsHaveNames_data()
{
    QTest::addColumn<int>("role");
    QTest::addColumn<QString>("name");
    QTest::newRow("user name") << int(QAccessible::EditableText) << "User name";
    QTest::newRow("password") << int(QAccessible::EditableText) << "Password";
    QTest::newRow("login") << int(QAccessible::Button) << "Login";
    QTest::newRow("no transfer reason") << int(QAccessible::EditableText) << "No transfer reason";
    QTest::newRow("add") << int(QAccessible::Button) << "Add";
}

void TestAccessibility::loggedOutControlsHaveNames()
{
    QFETCH(int, role);
    QFETCH(QString, name);
    QVERIFY2(UiTest::waitFor([&] { return hasNode(QAccessible::Role(role), name); }, 20000),
             qPrintable(describe()));
}

void TestAccessibility::figuresAndBarsFollowTheServer()
{
    logIn();
    server->send(QByteArray(
        R"({"cmd":"update_stat","data":{"user_surveys":6,"average_score":0.5,"team_position":3,"team_surveys":140}})"));
    for (const QString &name :
         {QStringLiteral("Surveys Transferred 6"), QStringLiteral("Average Score 50%"),
          QStringLiteral("Team Position 3"), QStringLiteral("Total Team Surveys 140")})
        QVERIFY2(UiTest::waitFor([&] { return hasNode(QAccessible::Grouping, name); }, 20000),
                 qPrintable(name + "\n" + describe()));
    QVERIFY2(UiTest::waitFor([&] { return hasNode(QAccessible::Button, "Logout"); }, 20000),
             qPrintable(describe()));

    // Answers as numbers, as text, one out of the scale and one still missing.
    server->send(QByteArray(
        R"({"cmd":"update_live","data":{"call_started":true,"call_question":4,"call_answers":[5,"4","n/a"]}})"));
    const QList<std::pair<QString, QString>> bars = {{"Question 1", "Question 1: 5 of 5"},
                                                     {"Question 2", "Question 2: 4 of 5"},
                                                     {"Question 3", "Question 3: n/a"},
                                                     {"Question 4", "Question 4: no answer yet"}};
    for (const auto &[name, value] : bars)
        QVERIFY2(
            UiTest::waitFor([&] { return hasNode(QAccessible::ProgressBar, name, value); }, 20000),
            qPrintable(value + "\n" + describe()));
    const auto barValue = [this](const QString &name) {
        for (const Node &node : tree()) {
            if (node.role == QAccessible::ProgressBar && node.name == name)
                return node.currentValue;
        }
        return -2.0;
    };
    QCOMPARE(barValue("Question 1"), 5.0);
    QCOMPARE(barValue("Question 2"), 4.0);
    QVERIFY(!hasNode(QAccessible::ProgressBar, "Question 5"));

    // The next update rewrites the values and hides the bars it no longer shows.
    server->send(QByteArray(
        R"({"cmd":"update_live","data":{"call_question":2,"call_answers":[2,1],"call_completed":true,"call_score":"1.5"}})"));
    QVERIFY2(UiTest::waitFor(
                 [&] {
                     return hasNode(QAccessible::ProgressBar, "Question 1", "Question 1: 2 of 5") &&
                            hasNode(QAccessible::ProgressBar, "Question 2", "Question 2: 1 of 5") &&
                            !hasNode(QAccessible::ProgressBar, "Question 3");
                 },
                 20000),
             qPrintable(describe()));
    QCOMPARE(barValue("Question 2"), 1.0);
    QVERIFY2(
        UiTest::waitFor([&] { return hasNode(QAccessible::Graphic, "Call completed"); }, 20000),
        qPrintable(describe()));
    QVERIFY(!hasNode(QAccessible::Graphic, "Call not completed"));
}

void TestAccessibility::connectionNoticeIsAStatus()
{
    logIn();
    loseConnection();
    const auto noticeShown = [this] {
        const QList<Node> nodes = tree();
        return std::any_of(nodes.begin(), nodes.end(), [](const Node &node) {
            return node.name.contains(QLatin1String("Connection to the server lost")) ||
                   node.value.contains(QLatin1String("Connection to the server lost"));
        });
    };
    QVERIFY2(UiTest::waitFor(noticeShown, 20000), qPrintable(describe()));
    bringConnectionBack();
    QVERIFY2(UiTest::waitFor([&] { return !noticeShown(); }, 20000), qPrintable(describe()));
}

void TestAccessibility::noticesAreSpoken()
{
    auto *announcer = new Announcer(window.get());
    AnnouncementArea *area = announcer->area();
    QVERIFY(area);
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(area);
    QVERIFY(accessible);
    QCOMPARE(accessible->role(), QAccessible::Notification);
    logIn();
    accessibilityEvents.clear();

    const auto said = [&](const QString &text) {
        return UiTest::waitFor(
            [&] {
                return area->text() == text && accessible->text(QAccessible::Name) == text &&
                       accessibilityEvents.contains({QAccessible::NameChanged, text}) &&
                       accessibilityEvents.contains({QAccessible::ObjectShow, text});
            },
            15000);
    };
    server->send(QByteArray(
        R"({"cmd":"update_live","data":{"call_started":true,"call_question":1,"call_answers":[4]}})"));
    QVERIFY(said("Call started"));
    server->send(QByteArray(
        R"({"cmd":"update_live","data":{"call_question":5,"call_answers":[4,4,4,4,4],"call_completed":false,"call_score":"4.0"}})"));
    QVERIFY2(said("Call not completed, score 4.0"), qPrintable(area->text()));
    // The same outcome again is not said again.
    const int eventsBefore = accessibilityEvents.size();
    server->send(QByteArray(
        R"({"cmd":"update_live","data":{"call_question":5,"call_answers":[4,4,4,4,4],"call_completed":false,"call_score":"4.0"}})"));
    server->send(QByteArray(
        R"({"cmd":"update_live","data":{"call_question":5,"call_answers":[4,4,4,4,4],"call_completed":true,"call_score":"4.5"}})"));
    QVERIFY(said("Call completed, score 4.5"));
    QCOMPARE(std::count_if(accessibilityEvents.begin() + eventsBefore, accessibilityEvents.end(),
                           [](const auto &event) {
                               return event.first == QAccessible::NameChanged &&
                                      event.second ==
                                          QLatin1String("Call not completed, score 4.0");
                           }),
             0);

    loseConnection();
    QVERIFY(said("Connection to the server lost. Your figures are greyed until the server answers "
                 "again."));
    bringConnectionBack();
    QVERIFY(said("Connection to the server is back. Your figures are kept up to date again."));
}

void TestAccessibility::notifiesOnlyWhileHidden()
{
    const std::shared_ptr<FakeNotifications::Log> log = FakeNotifications::run(m_bus);
    auto *notices = new TrayNotices(window.get(), m_bus.connect(QStringLiteral("brellow")));
    QSignalSpy shown(notices->notifier(), &DesktopNotifier::shown);
    logIn();

    // In sight, the window says it itself.
    loseConnection();
    bringConnectionBack();

    // Hidden to the tray, as a close request does where there is one.
    window->hide();
    loseConnection();
    QVERIFY(UiTest::waitFor([&] { return log->calls().size() == 1; }, 10000));
    bringConnectionBack();
    QVERIFY(UiTest::waitFor([&] { return log->calls().size() == 2; }, 10000));
    // The server ends the session; Brellow logs in again by itself.
    server->send(QByteArray(R"({"cmd":"shutdown_ack"})"));
    QVERIFY(UiTest::waitFor([&] { return log->calls().size() == 3; }, 10000));
    QJsonObject login = server->next(10000);
    while (!login.isEmpty() && login.value("cmd").toString() != QLatin1String("login"))
        login = server->next(10000);
    QCOMPARE(login.value("cmd").toString(), QStringLiteral("login"));
    server->send(QByteArray(R"({"cmd":"login_ack","session_id":"s-2"})"));
    QVERIFY(UiTest::waitFor([&] { return log->calls().size() == 4; }, 10000));
    QTRY_COMPARE(shown.size(), 4);

    const QList<FakeNotifications::Call> calls = log->calls();
    const QStringList summaries = {"Connection to the server lost",
                                   "Connection to the server is back",
                                   "The server ended your session", "Logged in again"};
    for (int i = 0; i < calls.size(); ++i) {
        const FakeNotifications::Call &call = calls.at(i);
        QCOMPARE(call.summary, summaries.at(i));
        QVERIFY(!call.body.isEmpty());
        QCOMPARE(call.appName, QStringLiteral("Brellow"));
        QCOMPARE(call.appIcon, QStringLiteral("brellow"));
        QCOMPARE(call.hints.value("desktop-entry").toString(), QStringLiteral("brellow"));
        // Each replaces the one before.
        QCOMPARE(call.replacesId, i == 0 ? 0u : calls.at(i - 1).id);
        QCOMPARE(call.id, calls.first().id);
    }
    QCOMPARE(notices->notifier()->lastId(), calls.first().id);

    // In sight again: nothing more goes to the desktop.
    window->bringToFront();
    QTRY_VERIFY(window->isVisible());
    loseConnection();
    bringConnectionBack();
    QTest::qWait(PingMs);
    QCOMPARE(log->calls().size(), 4);
}

void TestAccessibility::withoutServiceNothingBreaks()
{
    // A bus without a notification service, and no bus at all.
    PrivateBus bare;
    QVERIFY2(bare.start(), qPrintable(bare.error()));
    auto *onBareBus = new TrayNotices(window.get(), bare.connect(QStringLiteral("brellow")));
    auto *withoutBus = new TrayNotices(
        window.get(), QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"),
                                                    QStringLiteral("no-bus")));
    QSignalSpy bareFailed(onBareBus->notifier(), &DesktopNotifier::failed);
    QSignalSpy noBusFailed(withoutBus->notifier(), &DesktopNotifier::failed);
    UiTest::BoxWatch boxes;
    logIn();
    // Hidden to the tray, as a close request does where there is one.
    window->hide();

    loseConnection();
    QTRY_COMPARE(bareFailed.size(), 1);
    QTRY_COMPARE(noBusFailed.size(), 1);
    bringConnectionBack();
    QTRY_COMPARE(bareFailed.size(), 2);
    QTRY_COMPARE(noBusFailed.size(), 2);
    // The window goes on as before: figures still arrive, and no box was opened.
    server->send(QByteArray(
        R"({"cmd":"update_stat","data":{"user_surveys":9,"average_score":0.5,"team_position":3,"team_surveys":140}})"));
    QTRY_COMPARE(UiTest::text(*window, "#user_surveys"), QStringLiteral("9"));
    QCOMPARE(boxes.texts(), QStringList());
    QDBusConnection::disconnectFromBus(QStringLiteral("no-bus"));
}

BRELLOW_WINDOW_TEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
