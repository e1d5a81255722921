#include <tests/support/windowtestcase.h>

#include <app/application.h>
#include <net/receiver.h>
#include <tests/support/messageboxes.h>
#include <ui/mainwindow.h>
#include <ui/pagebridge.h>
#include <ui/uwebview.h>

#include <QApplication>
#include <QJsonDocument>
#include <QSettings>
#include <QSignalSpy>
#include <QWebEnginePage>

#include <QJsonArray>

using namespace Brellow;

// The statistics panel, the live call panel and the forms' timed feedback, fed by
// real datagrams from a fake server through the real Receiver into the real page.
class TestPanels : public UiTest::WindowTestCase
{
    Q_OBJECT

private slots:

    void statUpdate_data();
    void statUpdate();
    void liveUpdate_data();
    void liveUpdate();
    void outcomeRestartsCallEndTimer();
    void callEndCollapses();
    void callEndKeepsMediaMode();
    void noTransferAck();
    void surveyResetsFormLater();
    void twoSurveysBothFire();
    void callDuringSurveyWait_data();
    void callDuringSurveyWait();
    void mediaErrorShowsBriefly();
    void nothingOfOneAgentReachesTheNext();

private:
    void logIn();
    void fillForm();
};

namespace {

const char *const FormFields[] = {"#cli", "#email", "#title", "#fname", "#sname"};

QString placeholder(MainWindow &w)
{
    return UiTest::attribute(w, "#no_transfer", "placeholder").toString();
}

QString selectedReason(MainWindow &w)
{
    return UiTest::evaluate(w, "(function(){var s=document.querySelector('#reason');"
                               "return s.options[s.selectedIndex].text+'|'+s.value})()")
        .toString();
}

// The five customer fields and the reason, as "field=value" lines.
QStringList formState(MainWindow &w)
{
    QStringList state;
    for (const char *field : FormFields)
        state << QString::fromLatin1(field) + "=" + UiTest::value(w, field);
    state << "#reason=" + selectedReason(w);
    return state;
}

QStringList emptyForm()
{
    QStringList state;
    for (const char *field : FormFields)
        state << QString::fromLatin1(field) + "=";
    state << "#reason=Call Reason...|";
    return state;
}

} // namespace

void TestPanels::logIn()
{
    server->send(QByteArray(
        R"({"cmd":"login_ack","session_id":"s-1","media_links":[["b","Billing"],["s","Sales"]]})"));
    QTRY_COMPARE(window->loginState(), MainWindow::LoginState::LoggedIn);
    server->drain(100);
}

// A customer form as the agent left it, with a reason picked from the list.
void TestPanels::fillForm()
{
    // One script for all fields: some tests fill the form against a running timer.
    QString script;
    for (const char *field : FormFields)
        script += QStringLiteral("document.querySelector('%1').value=%2;")
                      .arg(QLatin1String(field),
                           UiTest::jsString(QStringLiteral("old ") + QLatin1String(field + 1)));
    script += QStringLiteral("document.querySelector('#reason').value='s';");
    UiTest::evaluate(*window, script);
    QCOMPARE(selectedReason(*window), QStringLiteral("Sales|s"));
}

void TestPanels::statUpdate_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QStringList>("shown"); // surveys, score, position, team surveys

    QTest::newRow("typical")
        << QByteArray(
               R"({"user_surveys":12,"average_score":0.5,"team_position":3,"team_surveys":140})")
        << QStringList{"12", "50%", "3", "140"};
    QTest::newRow("empty map") << QByteArray("{}") << QStringList{"0", "0%", "0", "0"};
    QTest::newRow("no data member") << QByteArray() << QStringList{"0", "0%", "0", "0"};
    QTest::newRow("nulls")
        << QByteArray(
               R"({"user_surveys":null,"average_score":null,"team_position":null,"team_surveys":null})")
        << QStringList{"0", "0%", "0", "0"};

    // The score is narrowed to single precision before it is scaled and rounded
    // half up, so values on a half per cent can land either side.
    const struct
    {
        const char *name, *score, *percent;
    } scores[] = {
        {"0.755", "0.755", "75%"},
        {"0.745", "0.745", "75%"},
        {"0.125", "0.125", "13%"},
        {"-0.015", "-0.015", "-1%"},
        {"-0.005", "-0.005", "0%"},
        {"0.005", "0.005", "0%"},
        {"1", "1", "100%"},
        {"1.5", "1.5", "150%"},
        {"0.999", "0.999", "100%"},
        {"score as text", "\"0.25\"", "25%"},
        {"score not a number", "\"high\"", "0%"},
        {"score too large for single precision", "1e300", "0%"},
        {"score past the integer range", "1e17", "0%"},
    };
    for (const auto &s : scores)
        QTest::newRow(s.name) << QByteArray(R"({"average_score":)") + s.score + "}"
                              << QStringList{"0", QString::fromLatin1(s.percent), "0", "0"};

    QTest::newRow("position as text")
        << QByteArray(R"({"team_position":"7"})") << QStringList{"0", "0%", "7", "0"};
    QTest::newRow("position not a number")
        << QByteArray(R"({"team_position":"seventh"})") << QStringList{"0", "0%", "0", "0"};
    QTest::newRow("negative") << QByteArray(R"({"user_surveys":-2,"team_surveys":-40})")
                              << QStringList{"-2", "0%", "0", "-40"};
    QTest::newRow("large, no grouping")
        << QByteArray(R"({"team_surveys":1234567})") << QStringList{"0", "0%", "0", "1234567"};
}

void TestPanels::statUpdate()
{
    QFETCH(QByteArray, data);
    QFETCH(QStringList, shown);
    MainWindow &w = *window;
    const QStringList ids = {"#user_surveys", "#average_score", "#team_position", "#team_surveys"};
    logIn();
    // Marks that every update must overwrite.
    for (const QString &id : ids)
        UiTest::evaluate(w, QStringLiteral("document.querySelector('%1').textContent='x'").arg(id));

    QByteArray message = R"({"cmd":"update_stat")";
    if (!data.isNull())
        message += R"(,"data":)" + data;
    server->send(message + "}");

    QTRY_VERIFY(UiTest::text(w, "#team_surveys") != QLatin1String("x"));
    for (int i = 0; i < ids.size(); ++i)
        QCOMPARE(UiTest::text(w, ids.at(i)), shown.at(i));
    QCOMPARE(w.loginState(), MainWindow::LoginState::LoggedIn);
    QVERIFY(UiTest::isShown(w, "#top_panel1"));
}

void TestPanels::liveUpdate_data()
{
    QTest::addColumn<MainWindow::ViewMode>("mode"); // view mode before the update
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QStringList>("bars"); // texts of the bars shown, from bar 1
    QTest::addColumn<QString>("icon");     // "check", "cross" or "" for neither
    QTest::addColumn<QString>("score");
    QTest::addColumn<bool>("timer");  // call-end timer running afterwards
    QTest::addColumn<QString>("cli"); // null: the form is left alone

    const auto compact = MainWindow::ViewMode::Compact;
    const auto expanded = MainWindow::ViewMode::Expanded;
    const auto media = MainWindow::ViewMode::Media;
    const QString untouched;

    QTest::newRow("empty map") << compact << QByteArray("{}") << QStringList() << ""
                               << "" << false << untouched;
    QTest::newRow("three answers")
        << compact << QByteArray(R"({"call_question":3,"call_answers":[5,4,2]})")
        << QStringList{"5", "4", "2"} << ""
        << "" << false << untouched;
    QTest::newRow("question zero")
        << expanded << QByteArray(R"({"call_question":0,"call_answers":[5,4]})") << QStringList()
        << ""
        << "" << false << untouched;
    QTest::newRow("question negative")
        << compact << QByteArray(R"({"call_question":-1,"call_answers":[5]})") << QStringList()
        << ""
        << "" << false << untouched;
    QTest::newRow("question seven, seven answers")
        << compact
        << QByteArray(R"({"call_question":7,"call_answers":["1","2","3","4","5","6","7"]})")
        << QStringList{"1", "2", "3", "4", "5"} << ""
        << "" << false << untouched;
    QTest::newRow("question as text")
        << compact << QByteArray(R"({"call_question":"2","call_answers":["Yes","No","Maybe"]})")
        << QStringList{"Yes", "No"} << ""
        << "" << false << untouched;
    QTest::newRow("fewer answers than bars")
        << compact << QByteArray(R"({"call_question":4,"call_answers":["a","b"]})")
        << QStringList{"a", "b", "", ""} << ""
        << "" << false << untouched;
    QTest::newRow("answers as text are no list")
        << compact << QByteArray(R"({"call_question":2,"call_answers":"54"})")
        << QStringList{"", ""} << ""
        << "" << false << untouched;
    QTest::newRow("completed") << compact
                               << QByteArray(R"({"call_completed":true,"call_score":"9/10"})")
                               << QStringList() << "check"
                               << "9/10" << true << untouched;
    QTest::newRow("not completed")
        << compact << QByteArray(R"({"call_completed":false,"call_score":"2/10"})") << QStringList()
        << "cross"
        << "2/10" << true << untouched;
    QTest::newRow("completed 0 is false")
        << compact << QByteArray(R"({"call_completed":0,"call_score":3})") << QStringList()
        << "cross"
        << "3" << true << untouched;
    QTest::newRow("completed 1 is true")
        << compact << QByteArray(R"({"call_completed":1})") << QStringList() << "check"
        << "" << true << untouched;
    QTest::newRow("completed null is open")
        << compact << QByteArray(R"({"call_completed":null,"call_score":"9/10"})") << QStringList()
        << ""
        << "" << false << untouched;
    QTest::newRow("score without outcome ignored")
        << compact << QByteArray(R"({"call_score":"9/10"})") << QStringList() << ""
        << "" << false << untouched;
    QTest::newRow("call started") << compact
                                  << QByteArray(
                                         R"({"call_started":true,"call_cli":"07700 900123"})")
                                  << QStringList() << ""
                                  << "" << false << "07700 900123";
    QTest::newRow("call started, no cli")
        << compact << QByteArray(R"({"call_started":true})") << QStringList() << ""
        << "" << false << "";
    QTest::newRow("call started false keeps form")
        << compact << QByteArray(R"({"call_started":false,"call_cli":"07700 900123"})")
        << QStringList() << ""
        << "" << false << untouched;
    QTest::newRow("media mode stays")
        << media << QByteArray(R"({"call_question":2,"call_answers":[1,2],"call_completed":true})")
        << QStringList{"1", "2"} << "check"
        << "" << true << untouched;
    QTest::newRow("media mode, call started")
        << media << QByteArray(R"({"call_started":true,"call_cli":"123"})") << QStringList() << ""
        << "" << false << "123";
    QTest::newRow("everything")
        << expanded
        << QByteArray(R"({"call_question":5,"call_answers":[1,2,3,4,5],"call_completed":false,)"
                      R"("call_score":"1/5","call_started":true,"call_cli":"it's"})")
        << QStringList{"1", "2", "3", "4", "5"} << "cross"
        << "1/5" << true << "it's";
}

void TestPanels::liveUpdate()
{
    QFETCH(MainWindow::ViewMode, mode);
    QFETCH(QByteArray, data);
    QFETCH(QStringList, bars);
    QFETCH(QString, icon);
    QFETCH(QString, score);
    QFETCH(bool, timer);
    QFETCH(QString, cli);
    MainWindow &w = *window;
    logIn();
    fillForm();
    w.setViewMode(mode, false);
    // The opposite of everything the update should leave behind.
    UiTest::evaluate(w, "for (var i=1;i<=5;i++){var b=document.querySelector('#call_bar_'+i);"
                        "b.style.display='block';b.textContent='old'}"
                        "document.querySelector('#call_check').style.display='block';"
                        "document.querySelector('#call_cross').style.display='block';"
                        "document.querySelector('#call_score').textContent='old'");
    if (timer)
        w.callEndTimer()->stop();
    else
        w.callEndTimer()->start();

    QElapsedTimer sinceSent;
    sinceSent.start();
    server->send(QByteArray(R"({"cmd":"update_live","data":)") + data + "}");
    QTRY_VERIFY(UiTest::text(w, "#call_score") != QLatin1String("old"));

    const MainWindow::ViewMode expectedMode =
        mode == MainWindow::ViewMode::Media ? mode : MainWindow::ViewMode::Expanded;
    QCOMPARE(w.viewMode(), expectedMode);
    QCOMPARE(w.height(), MainWindow::ExpandedHeight);
    QCOMPARE(UiTest::isShown(w, "#media_box"), mode == MainWindow::ViewMode::Media);
    for (int i = 1; i <= 5; ++i) {
        const QString bar = QStringLiteral("#call_bar_%1").arg(i);
        QCOMPARE(UiTest::isShown(w, bar), i <= bars.size());
        if (i <= bars.size())
            QCOMPARE(UiTest::text(w, bar), bars.at(i - 1));
    }
    QCOMPARE(UiTest::isShown(w, "#call_check"), icon == QLatin1String("check"));
    QCOMPARE(UiTest::isShown(w, "#call_cross"), icon == QLatin1String("cross"));
    QCOMPARE(UiTest::text(w, "#call_score"), score);
    QCOMPARE(w.callEndTimer()->isActive(), timer);
    // Started by the update, for the full time: the page reads since may be slow.
    if (timer)
        QVERIFY(w.callEndTimer()->remainingTime() > 9000 - sinceSent.elapsed());

    QStringList form = emptyForm();
    if (cli.isNull()) {
        form.clear();
        for (const char *field : FormFields)
            form << QString::fromLatin1(field) + "=old " + QLatin1String(field + 1);
        form << "#reason=Sales|s";
    } else {
        form[0] = "#cli=" + cli;
    }
    QCOMPARE(formState(w), form);
    QCOMPARE(w.loginState(), MainWindow::LoginState::LoggedIn);
}

void TestPanels::outcomeRestartsCallEndTimer()
{
    MainWindow &w = *window;
    logIn();
    server->send(QByteArray(R"({"cmd":"update_live","data":{"call_completed":true}})"));
    QTRY_VERIFY(w.callEndTimer()->isActive());
    // Let the countdown run down a little, then a new outcome starts it afresh.
    QTRY_VERIFY_WITH_TIMEOUT(w.callEndTimer()->remainingTime() < 8000, 5000);
    server->send(
        QByteArray(R"({"cmd":"update_live","data":{"call_completed":false,"call_score":"x"}})"));
    QTRY_VERIFY(w.callEndTimer()->remainingTime() > 8500);
    QCOMPARE(UiTest::text(w, "#call_score"), QStringLiteral("x"));
    // A later update with the outcome open again stops the countdown.
    server->send(QByteArray(R"({"cmd":"update_live","data":{}})"));
    QTRY_COMPARE(UiTest::text(w, "#call_score"), QString());
    QVERIFY(!w.callEndTimer()->isActive());
    QCOMPARE(w.viewMode(), MainWindow::ViewMode::Expanded);
}

void TestPanels::callEndCollapses()
{
    MainWindow &w = *window;
    logIn();
    w.move(200, 300);
    server->send(
        QByteArray(R"({"cmd":"update_live","data":{"call_completed":true,"call_score":"8"}})"));
    QTRY_VERIFY(w.callEndTimer()->isActive());
    QCOMPARE(w.viewMode(), MainWindow::ViewMode::Expanded);
    QVERIFY(UiTest::isShown(w, "#button_collapse"));

    // Ten seconds after the outcome, the window folds back; the panel keeps its face.
    QTest::qWait(9000);
    QCOMPARE(w.viewMode(), MainWindow::ViewMode::Expanded);
    QTRY_COMPARE_WITH_TIMEOUT(w.viewMode(), MainWindow::ViewMode::Compact, 3000);
    QCOMPARE(w.size(), QSize(MainWindow::WindowWidth, MainWindow::CompactHeight));
    QCOMPARE(w.pos(), QPoint(200, 300));
    QVERIFY(UiTest::hasClass(w, "#container", "container-collapsed"));
    QVERIFY(UiTest::isShown(w, "#button_expand"));
    QVERIFY(UiTest::isShown(w, "#call_check"));
    QCOMPARE(UiTest::text(w, "#call_score"), QStringLiteral("8"));
    QVERIFY(!w.callEndTimer()->isActive());
}

void TestPanels::callEndKeepsMediaMode()
{
    MainWindow &w = *window;
    logIn();
    UiTest::click(w, "media");
    server->send(QByteArray(R"({"cmd":"update_live","data":{"call_completed":true}})"));
    QTRY_VERIFY(w.callEndTimer()->isActive());
    w.callEndTimer()->stop(); // as if it had just fired
    w.onCallEndTimeout();
    QCOMPARE(w.viewMode(), MainWindow::ViewMode::Media);
    QCOMPARE(w.height(), MainWindow::ExpandedHeight);
    QVERIFY(UiTest::isShown(w, "#media_box"));
    // From compact it stays compact, and nothing else moves.
    UiTest::click(w, "media");
    const QPoint at = w.pos();
    w.onCallEndTimeout();
    QCOMPARE(w.viewMode(), MainWindow::ViewMode::Compact);
    QCOMPARE(w.pos(), at);
}

void TestPanels::noTransferAck()
{
    MainWindow &w = *window;
    logIn();
    UiTest::click(w, "expand");
    UiTest::setValue(w, "#no_transfer", "typed after sending");

    server->send(QByteArray(R"({"cmd":"notransfer_ack"})"));
    QTRY_COMPARE(UiTest::value(w, "#no_transfer"), QString());
    QElapsedTimer sinceFirst;
    sinceFirst.start();
    QCOMPARE(placeholder(w), QStringLiteral("Your message has been sent..."));
    QVERIFY(w.callEndTimer()->isActive());
    QCOMPARE(w.viewMode(), MainWindow::ViewMode::Expanded);

    // A second acknowledgement a second later schedules its own reset and does not
    // postpone the first one's.
    QTest::qWait(1000);
    UiTest::setValue(w, "#no_transfer", "again");
    server->send(QByteArray(R"({"cmd":"notransfer_ack"})"));
    QTRY_COMPARE(UiTest::value(w, "#no_transfer"), QString());
    QElapsedTimer sinceSecond;
    sinceSecond.start();
    QTest::qWait(qMax<qint64>(0, 1500 - sinceFirst.elapsed()));
    QCOMPARE(placeholder(w), QStringLiteral("Your message has been sent..."));
    QTRY_COMPARE_WITH_TIMEOUT(placeholder(w), QStringLiteral("No transfer reason..."),
                              qMax<qint64>(0, 1800 - sinceSecond.elapsed()));
    // The content typed meanwhile is left alone by the reset.
    UiTest::setValue(w, "#no_transfer", "new text");
    QTest::qWait(qMax<qint64>(0, 2300 - sinceSecond.elapsed()));
    QCOMPARE(placeholder(w), QStringLiteral("No transfer reason..."));
    QCOMPARE(UiTest::value(w, "#no_transfer"), QStringLiteral("new text"));
    QVERIFY(server->drain(100).isEmpty());
}

void TestPanels::surveyResetsFormLater()
{
    MainWindow &w = *window;
    logIn();
    UiTest::click(w, "media");
    fillForm();

    UiTest::click(w, "survey");
    QElapsedTimer sinceClick;
    sinceClick.start();
    QCOMPARE(UiTest::text(w, "#error_text"), QStringLiteral("Survey has been sent"));
    QVERIFY(UiTest::isShown(w, "#error_panel"));
    QCOMPARE(formState(w).first(), QStringLiteral("#cli=old cli"));
    // The agent goes to the main box meanwhile; the reset still ends compact.
    UiTest::click(w, "expand");
    QTest::qWait(qMax<qint64>(0, 1500 - sinceClick.elapsed()));
    QVERIFY(UiTest::isShown(w, "#error_panel"));
    QCOMPARE(w.viewMode(), MainWindow::ViewMode::Expanded);

    QTRY_COMPARE_WITH_TIMEOUT(w.viewMode(), MainWindow::ViewMode::Compact, 2000);
    QCOMPARE(formState(w), emptyForm());
    QVERIFY(!UiTest::isShown(w, "#error_panel"));
    QCOMPARE(UiTest::text(w, "#error_text"), QStringLiteral("Survey has been sent"));
    QCOMPARE(w.height(), MainWindow::CompactHeight);
    // The survey goes nowhere.
    QVERIFY(server->drain(100).isEmpty());
}

void TestPanels::twoSurveysBothFire()
{
    MainWindow &w = *window;
    logIn();
    UiTest::click(w, "media");
    fillForm();

    UiTest::click(w, "survey");
    QTest::qWait(1000);
    UiTest::click(w, "survey");
    QElapsedTimer sinceSecond;
    sinceSecond.start();

    // The first fires on time, one second into the second's wait.
    QTRY_COMPARE_WITH_TIMEOUT(w.viewMode(), MainWindow::ViewMode::Compact,
                              qMax<qint64>(0, 1800 - sinceSecond.elapsed()));
    QCOMPARE(formState(w), emptyForm());

    // The second still comes and resets again.
    UiTest::click(w, "expand");
    fillForm();
    QTRY_COMPARE_WITH_TIMEOUT(w.viewMode(), MainWindow::ViewMode::Compact, 2500);
    QVERIFY(sinceSecond.elapsed() >= 1900);
    QCOMPARE(formState(w), emptyForm());
    QVERIFY(!UiTest::isShown(w, "#error_panel"));
}

void TestPanels::callDuringSurveyWait_data()
{
    QTest::addColumn<QString>("view"); // the agent's view command after the click
    QTest::addColumn<QByteArray>("update");
    QTest::addColumn<bool>("beforeClick"); // the update comes before the survey click
    QTest::addColumn<bool>("resets");

    const QByteArray newCall =
        R"({"call_started":true,"call_cli":"0207946","call_question":1,"call_answers":["5"]})";
    const QByteArray runningCall = R"({"call_question":1,"call_answers":["5"]})";
    QTest::newRow("new call, media view") << "media" << newCall << false << false;
    QTest::newRow("new call, main box") << "expand" << newCall << false << false;
    QTest::newRow("running call only") << "expand" << runningCall << false << true;
    QTest::newRow("call started before the click") << "expand" << newCall << true << true;
}

// A new call owns the form and the window: a survey's pending reset leaves both to it.
void TestPanels::callDuringSurveyWait()
{
    QFETCH(QString, view);
    QFETCH(QByteArray, update);
    QFETCH(bool, beforeClick);
    QFETCH(bool, resets);
    MainWindow &w = *window;
    logIn();
    UiTest::click(w, "media");
    const QByteArray datagram = R"({"cmd":"update_live","data":)" + update + "}";
    if (beforeClick) {
        server->send(datagram);
        QTRY_COMPARE(UiTest::text(w, "#call_bar_1"), QStringLiteral("5"));
    }
    fillForm();

    UiTest::click(w, "survey");
    QElapsedTimer sinceClick;
    sinceClick.start();
    if (view != QLatin1String("media"))
        UiTest::click(w, view);
    if (!beforeClick) {
        server->send(datagram);
        QTRY_COMPARE(UiTest::text(w, "#call_bar_1"), QStringLiteral("5"));
    }
    QVERIFY2(sinceClick.elapsed() < 1500, "the call came too late to test anything");
    const MainWindow::ViewMode during = w.viewMode();
    QCOMPARE(during, view == QLatin1String("media") ? MainWindow::ViewMode::Media
                                                    : MainWindow::ViewMode::Expanded);

    // The feedback goes on time either way.
    QTRY_VERIFY_WITH_TIMEOUT(!UiTest::isShown(w, "#error_panel"), 3000);
    QVERIFY(sinceClick.elapsed() >= 1900);
    if (resets) {
        QCOMPARE(formState(w), emptyForm());
        QCOMPARE(w.viewMode(), MainWindow::ViewMode::Compact);
        QCOMPARE(w.height(), MainWindow::CompactHeight);
    } else {
        QStringList callForm = emptyForm();
        callForm.first() = QStringLiteral("#cli=0207946");
        QCOMPARE(formState(w), callForm);
        QCOMPARE(w.viewMode(), during);
        QCOMPARE(w.height(), MainWindow::ExpandedHeight);
    }
}

void TestPanels::mediaErrorShowsBriefly()
{
    MainWindow &w = *window;
    UiTest::click(w, "media");
    const QString message = "Lookup failed: <b>no account</b>";
    w.showMediaError(message);
    QElapsedTimer sinceShown;
    sinceShown.start();
    QCOMPARE(UiTest::text(w, "#error_text"), message);
    QCOMPARE(UiTest::evaluate(w, "document.querySelectorAll('#error_text *').length").toInt(), 0);
    QVERIFY(UiTest::isShown(w, "#error_panel"));
    QTest::qWait(qMax<qint64>(0, 1500 - sinceShown.elapsed()));
    QVERIFY(UiTest::isShown(w, "#error_panel"));
    QTRY_VERIFY_WITH_TIMEOUT(!UiTest::isShown(w, "#error_panel"), 2000);
    // Only the panel goes: the text and the view stay.
    QCOMPARE(UiTest::text(w, "#error_text"), message);
    QCOMPARE(w.viewMode(), MainWindow::ViewMode::Media);
}

// Workstations are shared between shifts: what one agent saw is gone at logout,
// and pushes that arrive without a session change nothing.
void TestPanels::nothingOfOneAgentReachesTheNext()
{
    MainWindow &w = *window;
    Receiver *receiver = Application::instance()->receiver();
    logIn();
    server->send(QByteArray(R"({"cmd":"update_stat","data":{"user_surveys":77,)"
                            R"("average_score":0.91,"team_position":1,"team_surveys":300}})"));
    server->send(QByteArray(R"({"cmd":"update_live","data":{"call_started":true,)"
                            R"("call_cli":"07700 900123","call_question":3,)"
                            R"("call_answers":[9,8,7],"call_completed":true,"call_score":"9"}})"));
    QTRY_COMPARE(UiTest::text(w, "#call_score"), QStringLiteral("9"));
    QCOMPARE(UiTest::text(w, "#user_surveys"), QStringLiteral("77"));
    UiTest::setValue(w, "#no_transfer", "alice's reason");
    UiTest::setValue(w, "#email", "customer@example.org");

    UiTest::click(w, "login"); // "Logout"
    QTRY_COMPARE(w.loginState(), MainWindow::LoginState::LoggedOut);
    const auto checkEmpty = [&w] {
        for (const char *figure :
             {"#user_surveys", "#average_score", "#team_position", "#team_surveys"})
            QCOMPARE(UiTest::text(w, figure).trimmed(), QString());
        for (int i = 1; i <= 5; ++i)
            QVERIFY(!UiTest::isShown(w, QStringLiteral("#call_bar_%1").arg(i)));
        QVERIFY(!UiTest::isShown(w, "#call_check"));
        QVERIFY(!UiTest::isShown(w, "#call_cross"));
        QCOMPARE(UiTest::text(w, "#call_score"), QString());
        for (const char *field :
             {"#cli", "#email", "#title", "#fname", "#sname", "#reason", "#no_transfer"})
            QCOMPARE(UiTest::value(w, field), QString());
    };
    checkEmpty();
    if (QTest::currentTestFailed())
        return;

    // A session the window does not hold (its "login_ack" lost, say) pushes on.
    QSignalSpy lives(receiver, &Receiver::updateLive);
    server->send(QByteArray(R"({"cmd":"update_stat","data":{"user_surveys":78}})"));
    server->send(QByteArray(R"({"cmd":"update_live","data":{"call_started":true,)"
                            R"("call_cli":"07700 900999","call_question":1,"call_answers":[5]}})"));
    QTRY_COMPARE(lives.size(), 1);
    checkEmpty();
    QCOMPARE(w.viewMode(), MainWindow::ViewMode::Compact);
    QCOMPARE(w.height(), MainWindow::CompactHeight);

    // A confirmation of the session alice left does not log her back in.
    server->drain(100);
    server->send(QByteArray(R"({"cmd":"login_ack","session_id":"s-1","media_links":[]})"));
    const QJsonObject again = server->next(5000);
    QCOMPARE(again.value("cmd").toString(), QStringLiteral("logout"));
    QCOMPARE(again.value("session_id").toString(), QStringLiteral("s-1"));
    QCOMPARE(w.loginState(), MainWindow::LoginState::LoggedOut);

    // The next agent starts from empty panels until the server's first figures.
    UiTest::setValue(w, "#username", "bob");
    UiTest::setValue(w, "#password", "pw");
    UiTest::click(w, "login");
    QTRY_COMPARE(w.loginState(), MainWindow::LoginState::LoggingIn);
    server->send(QByteArray(R"({"cmd":"login_ack","session_id":"s-2","media_links":[]})"));
    QTRY_COMPARE(w.loginState(), MainWindow::LoginState::LoggedIn);
    QVERIFY(UiTest::isShown(w, "#top_panel1"));
    checkEmpty();
}

BRELLOW_WINDOW_TEST_MAIN(TestPanels)
#include "tst_panels.moc"
