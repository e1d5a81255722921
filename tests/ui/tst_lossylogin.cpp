// Logins over a bad line: the window against the practice server through a relay
// that loses, delays, duplicates and reorders datagrams. A login that the network
// loses is said again, and a failure is put down to the password only when the
// server was heard.

#include <tests/support/messageboxes.h>
#include <tests/support/simprocess.h>
#include <tests/support/windowtestcase.h>

#include <app/application.h>
#include <net/receiver.h>
#include <tools/udprelay.h>
#include <ui/mainwindow.h>

#include <QMessageBox>
#include <QPointer>
#include <QTest>

using namespace Brellow;

class TestLossyLogin : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void loginsOverABadLine_data();
    void loginsOverABadLine();

private:
    std::unique_ptr<UiTest::SimProcess> m_sim;
    std::unique_ptr<MainWindow> m_window;
};

namespace {

const QString CheckCredentials =
    QStringLiteral("Please check your username and password and try again.");
const QString ServerSilent =
    QStringLiteral("The server does not answer. Please try again in a moment.");

} // namespace

void TestLossyLogin::init()
{
    m_sim = std::make_unique<UiTest::SimProcess>(QStringLiteral(BRELLOW_SIM_PATH));
    // One session at most: a second one left behind would refuse the next login.
    QVERIFY(m_sim->start(0, {QStringLiteral("--max-sessions"), QStringLiteral("1")}));
    m_window = UiTest::openWindow();
    QVERIFY(UiTest::waitForPage(*m_window));
}

void TestLossyLogin::cleanup()
{
    m_window.reset();
    m_sim.reset();
}

void TestLossyLogin::loginsOverABadLine_data()
{
    QTest::addColumn<double>("loss"); // each way
    QTest::addColumn<int>("delayMs");
    QTest::addColumn<double>("duplicate");
    QTest::addColumn<double>("reorder");
    QTest::addColumn<int>("atLeast"); // logins of 20 that must get in

    // With the login said up to five times in its 5 s, it fails only when every
    // round trip is lost: at 30 % each way about one in thirty. Without the
    // repeats, one in two.
    QTest::newRow("no loss") << 0.0 << 0 << 0.0 << 0.0 << 20;
    QTest::newRow("10 % loss") << 0.1 << 0 << 0.0 << 0.0 << 18;
    QTest::newRow("30 % loss") << 0.3 << 0 << 0.0 << 0.0 << 14;
    QTest::newRow("10 % loss, late, doubled, out of order") << 0.1 << 150 << 0.2 << 0.2 << 18;
}

void TestLossyLogin::loginsOverABadLine()
{
    QFETCH(double, loss);
    QFETCH(int, delayMs);
    QFETCH(double, duplicate);
    QFETCH(double, reorder);
    QFETCH(int, atLeast);
    MainWindow &w = *m_window;
    Receiver *receiver = Application::instance()->receiver();

    UdpRelay::Faults faults;
    faults.dropUp = faults.dropDown = loss;
    faults.delayMs = delayMs;
    faults.jitterMs = delayMs;
    faults.duplicate = duplicate;
    faults.reorder = reorder;
    // Between the window, which talks to the test's server port, and the server.
    UdpRelay relay(QHostAddress::LocalHost, m_sim->port(), faults, 20261210);
    QVERIFY2(relay.listen(UiTest::testServerPort()), qPrintable(relay.errorString()));

    int in = 0, blamedOnPassword = 0, serverSilent = 0;
    for (int attempt = 0; attempt < 20; ++attempt) {
        UiTest::setValue(w, "#username", "demo");
        UiTest::setValue(w, "#password", "demo");
        UiTest::click(w, "login");
        // Read from the page first; then under way, or already in.
        QTRY_VERIFY(w.loginState() != MainWindow::LoginState::LoggedOut);
        QPointer<QMessageBox> box;
        QTRY_VERIFY_WITH_TIMEOUT(w.loginState() == MainWindow::LoginState::LoggedIn ||
                                     (box = UiTest::visibleMessageBox()),
                                 15000);
        if (w.loginState() == MainWindow::LoginState::LoggedIn) {
            ++in;
            QVERIFY(!UiTest::visibleMessageBox());
            UiTest::click(w, "login"); // Logout
            QCOMPARE(w.loginState(), MainWindow::LoginState::LoggedOut);
            // The logout may be lost too; the next login replaces what is left.
            if (!QTest::qWaitFor([receiver] { return !receiver->isLoggedIn(); }, 3000))
                receiver->dropSession();
            continue;
        }
        if (box->text() == CheckCredentials)
            ++blamedOnPassword;
        else if (box->text() == ServerSilent)
            ++serverSilent;
        else
            QFAIL(qPrintable("unexpected box: " + box->text()));
        // A failure that is the network's keeps the name for the next try.
        if (box->text() == ServerSilent)
            QCOMPARE(UiTest::value(w, "#username"), QStringLiteral("demo"));
        box->done(0);
        QTRY_VERIFY(!UiTest::visibleMessageBox());
        // A late answer may still log the window in after its box.
        if (w.loginState() == MainWindow::LoginState::LoggedIn)
            UiTest::click(w, "login");
        if (receiver->isLoggedIn())
            receiver->dropSession();
    }
    qInfo("loss %.0f %%: %d of 20 logged in, %d blamed on the password, %d server silent",
          loss * 100, in, blamedOnPassword, serverSilent);
    QVERIFY2(in >= atLeast, qPrintable(QString::number(in)));
    QCOMPARE(in + blamedOnPassword + serverSilent, 20);
    // One session at a time on the server, whatever was repeated or doubled: the
    // server holds at most one, and refuses none for being full.
    QVERIFY(m_sim->lines().filter(QStringLiteral("full:")).isEmpty());
}

int main(int argc, char **argv)
{
    return UiTest::runWindowTest(argc, argv, [&] {
        TestLossyLogin test;
        return QTest::qExec(&test, argc, argv);
    });
}

#include "tst_lossylogin.moc"
