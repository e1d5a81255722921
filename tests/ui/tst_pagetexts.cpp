#include <tests/support/messageboxes.h>
#include <tests/support/pseudotranslator.h>
#include <tests/support/windowtestcase.h>

#include <app/application.h>
#include <app/translations.h>
#include <net/messages.h>
#include <ui/agentnotice.h>
#include <ui/brellowpage.h>
#include <ui/mainwindow.h>
#include <ui/pageaccessibility.h>
#include <ui/pagebridge.h>
#include <ui/pagetexts.h>
#include <ui/uwebview.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSet>
#include <QSignalSpy>
#include <QTranslator>

#include <csignal>
#include <memory>
#include <sys/types.h>
#include <unistd.h>

using namespace Brellow;

namespace {

const QStringList Languages = {QStringLiteral("de"), QStringLiteral("es"), QStringLiteral("fr"),
                               QStringLiteral("pl"), QStringLiteral("pt_BR")};

// One language for the program while it lives, installed as Brellow installs
// it at start ("pseudo" for the made-up one, "en" for none).
class LanguageInUse
{
public:
    explicit LanguageInUse(const QString &language)
    {
        if (language == QLatin1String("pseudo")) {
            m_pseudo = std::make_unique<UiTest::PseudoTranslator>();
            QCoreApplication::installTranslator(m_pseudo.get());
        } else {
            Translations::install(QCoreApplication::instance(), language);
        }
    }
    ~LanguageInUse()
    {
        if (m_pseudo)
            QCoreApplication::removeTranslator(m_pseudo.get());
        const auto translators = QCoreApplication::instance()->findChildren<QTranslator *>();
        for (QTranslator *translator : translators) {
            QCoreApplication::removeTranslator(translator);
            delete translator;
        }
        Translations::install(QCoreApplication::instance(), QStringLiteral("en"));
    }
    // The page's language attribute that goes with it.
    static QString pageLanguage(const QString &language)
    {
        return language == QLatin1String("pseudo") ? QStringLiteral("en")
                                                   : QString(language).replace('_', '-');
    }

private:
    std::unique_ptr<UiTest::PseudoTranslator> m_pseudo;
};

// Every text the page can show, in English: its own and those the window writes.
QSet<QString> englishTexts()
{
    QSet<QString> texts;
    for (const PageTexts::Entry &entry : PageTexts::entries())
        texts << QString::fromUtf8(entry.source);
    for (std::size_t i = 0; i < PageTexts::TextCount; ++i)
        texts << QString::fromUtf8(PageTexts::source(PageTexts::Text(i)));
    return texts;
}

QSet<QString> translatedTexts()
{
    QSet<QString> texts;
    for (const QString &english : englishTexts())
        texts << PageTexts::translate(english.toUtf8().constData());
    return texts;
}

// Every text of the page, hidden or shown: text nodes (blanks folded), the
// placeholders, titles and screen-reader names, and the list's own first option. The options the
// server sent are its data and are left out.
QStringList pageTexts(MainWindow &w)
{
    return UiTest::evaluate(w, QStringLiteral(R"((function() {
        var out = [];
        var walk = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT);
        for (var n = walk.nextNode(); n; n = walk.nextNode()) {
            var p = n.parentElement;
            if (p.tagName === 'OPTION' && p.value !== '') continue;
            var t = n.data.replace(/\s+/g, ' ').trim();
            if (t) out.push(t);
        }
        document.querySelectorAll('[placeholder],[title],[aria-label]').forEach(function(e) {
            ['placeholder', 'title', 'aria-label'].forEach(function(a) {
                if (e.hasAttribute(a)) out.push(e.getAttribute(a));
            });
        });
        return out;
    })())"))
        .toStringList();
}

// What a longer text breaks in the page as it is now: a scroll bar, a label
// cut off by its own box, by a box around it or by the window, a label outside
// its panel, two labels over each other. Labels are the elements' own text
// nodes that the agent sees; empty when all is well.
QStringList layoutFaults(MainWindow &w)
{
    return UiTest::evaluate(w, QStringLiteral(R"((function() {
        var faults = [];
        var root = document.documentElement;
        if (root.scrollWidth > root.clientWidth || root.scrollHeight > root.clientHeight)
            faults.push('the page scrolls: ' + root.scrollWidth + 'x' + root.scrollHeight +
                        ' in ' + root.clientWidth + 'x' + root.clientHeight);
        function shown(e) {
            for (var n = e; n && n.nodeType === 1; n = n.parentElement) {
                var s = getComputedStyle(n);
                if (s.display === 'none' || s.visibility === 'hidden') return false;
            }
            return true;
        }
        function inside(a, b) {
            return a.left >= b.left - 0.5 && a.top >= b.top - 0.5 &&
                   a.right <= b.right + 0.5 && a.bottom <= b.bottom + 0.5;
        }
        function apart(a, b) {
            return a.right <= b.left + 0.5 || b.right <= a.left + 0.5 ||
                   a.bottom <= b.top + 0.5 || b.bottom <= a.top + 0.5;
        }
        var view = {left: 0, top: 0, right: innerWidth, bottom: innerHeight};
        var labels = [];
        var walk = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT);
        for (var n = walk.nextNode(); n; n = walk.nextNode()) {
            var e = n.parentElement;
            if (!n.data.trim() || e.tagName === 'OPTION' || !shown(e)) continue;
            // Symbols and figures (the view buttons' + and -, the badges) are
            // the same in every language.
            var symbol = !/\p{L}/u.test(n.data);
            var range = document.createRange();
            range.selectNodeContents(n);
            var glyphs = range.getBoundingClientRect();
            if (glyphs.width < 1 || glyphs.height < 1) continue;
            // The lines' boxes, as layout allots them: a font's glyph box is
            // taller than a tight line height, and its ink stays in the line.
            var tops = {};
            Array.prototype.forEach.call(range.getClientRects(), function(c) {
                tops[Math.round(c.top)] = true;
            });
            var lines = Object.keys(tops).length;
            var lineHeight = parseFloat(getComputedStyle(e).lineHeight) || glyphs.height / lines;
            var trim = Math.max(0, (glyphs.height - lines * lineHeight) / 2);
            var r = {left: glyphs.left, right: glyphs.right, top: glyphs.top + trim,
                     bottom: glyphs.bottom - trim};
            var name = (e.id || e.className || e.tagName) + ' "' + n.data.trim() + '"';
            // Cut off by the boxes that clip what is in them: wholly outside
            // one is out of sight (the compact view's lower rows), partly is cut.
            var clips = [view], hidden = false, cut = false;
            for (var a = e; a && a !== document.body; a = a.parentElement) {
                var s = getComputedStyle(a);
                if (s.overflowX !== 'visible' || s.overflowY !== 'visible')
                    clips.push(a.getBoundingClientRect());
            }
            clips.forEach(function(c) {
                if (!apart(r, c)) { if (!inside(r, c)) cut = true; } else hidden = true;
            });
            if (hidden) continue;
            if (cut) faults.push(name + ' is cut off');
            // The text fits its own box (a button's face, a badge, a notice).
            var own = e.getBoundingClientRect();
            if (!symbol && getComputedStyle(e).display !== 'inline' && !inside(r, own))
                faults.push(name + ' overflows its box');
            if (e.scrollWidth > e.clientWidth + 1 && getComputedStyle(e).display !== 'inline')
                faults.push(name + ' is ellipsized or clipped');
            var panel = e.closest('.box-panel, .right-wrap, .latest-calls, .no-transfers-form, ' +
                                  '.corvane-container');
            if (panel && !inside(own.width ? own : r, panel.getBoundingClientRect()))
                faults.push(name + ' leaves its panel ' + (panel.id || panel.className));
            labels.push({name: name, rect: r});
        }
        for (var i = 0; i < labels.length; ++i)
            for (var j = i + 1; j < labels.length; ++j)
                if (!apart(labels[i].rect, labels[j].rect))
                    faults.push(labels[i].name + ' lies over ' + labels[j].name);
        return faults;
    })())"))
        .toStringList();
}

// Runs a helper that checks, and leaves the test function when it failed.
#define CHECKED(call)                                                                              \
    do {                                                                                           \
        call;                                                                                      \
        if (QTest::currentTestFailed())                                                            \
            return;                                                                                \
    } while (false)

} // namespace

// The page in the agent's language: every text translated, and every
// translation fitting the window's fixed size.
class TestPageTexts : public UiTest::WindowTestCase
{
    Q_OBJECT

protected:
    // Nothing ends by itself while a test looks at it.
    WindowTimings windowTimings() const override
    {
        WindowTimings timings;
        timings.pingIntervalMs = 600000;
        timings.loginTimeoutMs = 600000;
        timings.callEndMs = 600000;
        timings.feedbackMs = 600000;
        return timings;
    }

private slots:
    void pageHoldsTheEnglishOfTheTable();
    void everyFace_data();
    void everyFace();
    void notices_data();
    void notices();
    void screenReaderTexts_data();
    void screenReaderTexts();
    void boxesAndNumbers();
    void sentAsTyped();
    void translatedAgainAfterTheRenderProcessDies();

private:
    // A fresh window, opened with the language now in use.
    void reopen(const WindowTimings &timings);
    void reopen() { reopen(windowTimings()); }
    // Every write made so far has reached the page.
    void settle();
    void logIn();
    void showCall();
    // Each fault of the layout as it is now, named after the face.
    void checkLayout(const QString &face);
    void checkNoEnglish(const QString &face);
    // Both, on the face as it is now.
    void checkFace(const QString &face);
    // The language of the faces checkLayout() looks at, for their pictures.
    QString m_language;
    // The next datagram from Brellow with this command; empty when none comes.
    QJsonObject nextCommand(const QString &command);
};

QJsonObject TestPageTexts::nextCommand(const QString &command)
{
    QDeadlineTimer deadline(15000);
    while (!deadline.hasExpired()) {
        const QJsonObject message = server->next(int(qMax<qint64>(1, deadline.remainingTime())));
        if (message.value(QStringLiteral("cmd")).toString() == command)
            return message;
    }
    return {};
}

void TestPageTexts::reopen(const WindowTimings &timings)
{
    UiTest::closeWindow(window, *server);
    window = UiTest::openWindow(timings);
    QVERIFY(UiTest::waitForPage(*window));
    CHECKED(settle());
}

void TestPageTexts::settle()
{
    PageBridge *bridge = window->bridge();
    QTRY_VERIFY(!bridge->hasPending() && !bridge->isScriptInFlight());
    UiTest::evaluate(*window, QStringLiteral("0"));
}

void TestPageTexts::logIn()
{
    UiTest::setValue(*window, "#username", "anna");
    UiTest::setValue(*window, "#password", "secret");
    UiTest::click(*window, "login");
    QTRY_COMPARE(window->loginState(), MainWindow::LoginState::LoggingIn);
    CHECKED(settle());
    QCOMPARE(UiTest::text(*window, "#login_button"), PageTexts::text(PageTexts::Text::LoggingIn));
    server->send(
        QByteArray(R"({"cmd":"login_ack","session_id":"s-1","media_links":[["b","Billing"]]})"));
    QTRY_COMPARE(window->loginState(), MainWindow::LoginState::LoggedIn);
    server->send(QByteArray(R"({"cmd":"update_stat","data":{"user_surveys":12345,)"
                            R"("average_score":0.755,"team_position":7,"team_surveys":-40}})"));
    QTRY_COMPARE(UiTest::text(*window, "#team_surveys"), QStringLiteral("-40"));
    CHECKED(settle());
}

void TestPageTexts::showCall()
{
    server->send(QByteArray(R"({"cmd":"update_live","data":{"call_question":5,)"
                            R"("call_answers":[9,8,10,7,6],"call_completed":false,)"
                            R"("call_score":"4.5","call_started":true,"call_cli":"0123"}})"));
    QTRY_COMPARE(window->viewMode(), MainWindow::ViewMode::Expanded);
    QTRY_COMPARE(UiTest::text(*window, "#call_score"), QStringLiteral("4.5"));
    CHECKED(settle());
}

void TestPageTexts::checkLayout(const QString &face)
{
    CHECKED(settle());
    const QStringList faults = layoutFaults(*window);
    // BRELLOW_SHOTS_DIR=DIR keeps a picture of each face the check looked at.
    const QString shots = qEnvironmentVariable("BRELLOW_SHOTS_DIR");
    if (!shots.isEmpty() && !m_language.isEmpty()) {
        QString name = m_language + QLatin1Char('-') + face;
        name.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9_]+")), QStringLiteral("-"));
        // The engine paints the page's changes a few frames after they land.
        QTest::qWait(400);
        window->grab().save(QDir(shots).filePath(name + QStringLiteral(".png")));
    }
    QVERIFY2(faults.isEmpty(), qPrintable(face + ": " + faults.join(QStringLiteral("; "))));
}

void TestPageTexts::checkNoEnglish(const QString &face)
{
    CHECKED(settle());
    const QSet<QString> english = englishTexts();
    const QSet<QString> translated = translatedTexts();
    // Names and figures are the same in every language.
    static const QRegularExpression figures(QStringLiteral("^[-0-9.%/+ ]*$"));
    QStringList left;
    QStringList unknown;
    for (const QString &text : pageTexts(*window)) {
        if (text == QLatin1String("Brellow") || figures.match(text).hasMatch())
            continue;
        if (english.contains(text) && !translated.contains(text))
            left << text;
        else if (!translated.contains(text))
            unknown << text;
    }
    QVERIFY2(left.isEmpty(), qPrintable(face + ", left in English: " + left.join(" | ")));
    QVERIFY2(unknown.isEmpty(), qPrintable(face + ", not Brellow's: " + unknown.join(" | ")));
}

void TestPageTexts::checkFace(const QString &face)
{
    CHECKED(checkNoEnglish(face));
    CHECKED(checkLayout(face));
}

void TestPageTexts::pageHoldsTheEnglishOfTheTable()
{
    // The page as compiled in, before any write: each entry of the table names
    // exactly one element, which holds the entry's English.
    QFile file(
        BrellowPage::homeUrl().toString().replace(QLatin1String("qrc:"), QLatin1String(":")));
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
    const QString html = QString::fromUtf8(file.readAll());
    for (const PageTexts::Entry &entry : PageTexts::entries()) {
        const QString script =
            QStringLiteral(R"((function() {
                var doc = new DOMParser().parseFromString(%1, 'text/html');
                var all = doc.querySelectorAll(%2);
                if (all.length !== 1) return all.length + ' elements';
                var a = %3;
                return a ? all[0].getAttribute(a) : all[0].textContent.trim();
            })())")
                .arg(UiTest::jsString(html), UiTest::jsString(QString::fromUtf8(entry.selector)),
                     entry.attribute ? UiTest::jsString(QString::fromUtf8(entry.attribute))
                                     : QStringLiteral("null"));
        QCOMPARE(UiTest::evaluate(*window, script).toString(), QString::fromUtf8(entry.source));
    }
    // The texts the window writes at start stand in the page in English too.
    QCOMPARE(UiTest::text(*window, "#media_button"), QStringLiteral("Email"));
    QCOMPARE(UiTest::text(*window, "#login_button"), QStringLiteral("Login"));
    QCOMPARE(
        UiTest::evaluate(*window, "document.querySelector('#reason').options[0].text").toString(),
        QStringLiteral("Call Reason..."));
    QCOMPARE(UiTest::attribute(*window, "html", "lang").toString(), QStringLiteral("en"));
    // An English desktop sees Brellow's own English texts.
    CHECKED(checkNoEnglish(QStringLiteral("English")));
}

void TestPageTexts::everyFace_data()
{
    QTest::addColumn<QString>("language");
    for (const QString &language : Languages)
        QTest::newRow(qPrintable(language)) << language;
    QTest::newRow("pseudo") << QStringLiteral("pseudo");
    // Brellow's own English texts fit too.
    QTest::newRow("en") << QStringLiteral("en");
}

// Every face the agent can meet, in each language: no English left in it, and
// nothing that scrolls, is cut off or lies over another text.
void TestPageTexts::everyFace()
{
    QFETCH(QString, language);
    LanguageInUse inUse(language);
    m_language = language;
    const auto forget = qScopeGuard([this] { m_language.clear(); });
    CHECKED(reopen());
    QCOMPARE(UiTest::attribute(*window, "html", "lang").toString(),
             LanguageInUse::pageLanguage(language));
    CHECKED(checkFace(QStringLiteral("logged out, compact")));

    UiTest::setValue(*window, "#username", "anna");
    UiTest::setValue(*window, "#password", "secret");
    UiTest::click(*window, "login");
    QTRY_COMPARE(window->loginState(), MainWindow::LoginState::LoggingIn);
    CHECKED(settle());
    QCOMPARE(UiTest::text(*window, "#login_button"), PageTexts::text(PageTexts::Text::LoggingIn));
    CHECKED(checkFace(QStringLiteral("logging in, compact")));
    server->send(
        QByteArray(R"({"cmd":"login_ack","session_id":"s-1","media_links":[["b","Billing"]]})"));
    QTRY_COMPARE(window->loginState(), MainWindow::LoginState::LoggedIn);
    server->send(QByteArray(R"({"cmd":"update_stat","data":{"user_surveys":12345,)"
                            R"("average_score":0.755,"team_position":7,"team_surveys":99999}})"));
    QTRY_COMPARE(UiTest::text(*window, "#team_surveys"), QStringLiteral("99999"));
    CHECKED(checkFace(QStringLiteral("logged in, compact")));

    CHECKED(showCall());
    CHECKED(checkFace(QStringLiteral("logged in, expanded")));
    // The bars' values, which the window writes as answers come, are spoken in
    // the language too; answers beyond the scale are said as they stand.
    const QStringList answers{"9", "8", "10", "7", "6"};
    for (int i = 1; i <= answers.size(); ++i) {
        const QString bar = QStringLiteral("#call_bar_%1").arg(i);
        const QString value = UiTest::attribute(*window, bar, "aria-valuetext").toString();
        QCOMPARE(value, PageAccessibility::barValueText(i, answers.at(i - 1)));
        if (language != QLatin1String("en"))
            QVERIFY2(value != QStringLiteral("Question %1: %2").arg(i).arg(answers.at(i - 1)),
                     qPrintable(bar + " left in English: " + value));
    }
    server->send(QByteArray(R"({"cmd":"notransfer_ack"})"));
    QTRY_COMPARE(UiTest::attribute(*window, "#no_transfer", "placeholder").toString(),
                 PageTexts::text(PageTexts::Text::MessageSent));
    CHECKED(checkFace(QStringLiteral("message sent, expanded")));

    UiTest::click(*window, "media");
    QTRY_COMPARE(window->viewMode(), MainWindow::ViewMode::Media);
    CHECKED(checkFace(QStringLiteral("account details")));
    UiTest::click(*window, "survey");
    CHECKED(settle());
    QCOMPARE(UiTest::text(*window, "#error_text"), PageTexts::text(PageTexts::Text::SurveySent));
    QCOMPARE(UiTest::text(*window, "#media_button"), PageTexts::text(PageTexts::Text::Main));
    CHECKED(checkFace(QStringLiteral("survey sent, account details")));

    UiTest::click(*window, "login");
    QTRY_COMPARE(window->loginState(), MainWindow::LoginState::LoggedOut);
    QCOMPARE(UiTest::text(*window, "#login_button"), PageTexts::text(PageTexts::Text::Login));
    CHECKED(checkFace(QStringLiteral("logged out again")));
    UiTest::click(*window, "expand");
    CHECKED(checkFace(QStringLiteral("logged out, expanded")));
}

void TestPageTexts::notices_data()
{
    everyFace_data();
}

void TestPageTexts::notices()
{
    QFETCH(QString, language);
    LanguageInUse inUse(language);
    m_language = language;
    const auto forget = qScopeGuard([this] { m_language.clear(); });
    // Pings unanswered for three intervals call the connection lost.
    WindowTimings timings = windowTimings();
    timings.pingIntervalMs = 100;
    CHECKED(reopen(timings));
    CHECKED(logIn());
    QTRY_VERIFY(window->isConnectionLost());
    CHECKED(settle());
    QCOMPARE(UiTest::text(*window, "#error_text"),
             PageTexts::text(PageTexts::Text::ConnectionLost));
    QVERIFY(UiTest::isShown(*window, "#error_panel"));
    CHECKED(checkLayout(QStringLiteral("connection lost, compact")));
    UiTest::click(*window, "expand");
    CHECKED(checkLayout(QStringLiteral("connection lost, expanded")));

    // The server ends the session: Brellow logs in again by itself.
    server->send(QByteArray(R"({"cmd":"shutdown_ack"})"));
    QTRY_COMPARE(window->loginState(), MainWindow::LoginState::Resuming);
    CHECKED(settle());
    QCOMPARE(UiTest::text(*window, "#error_text"), PageTexts::text(PageTexts::Text::Reconnecting));
    CHECKED(checkLayout(QStringLiteral("reconnecting, expanded")));
    UiTest::click(*window, "collapse");
    CHECKED(checkLayout(QStringLiteral("reconnecting, compact")));
    CHECKED(checkNoEnglish(QStringLiteral("reconnecting")));
}

void TestPageTexts::screenReaderTexts_data()
{
    // What Brellow tells a screen reader and the desktop's notifications: a
    // notice, or else the value of a bar (question, answer).
    QTest::addColumn<QString>("language");
    QTest::addColumn<AgentNotice>("notice");
    QTest::addColumn<int>("question");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("english");
    QTest::addColumn<QString>("translated");
    using Kind = AgentNotice::Kind;
    QTest::newRow("es, call started")
        << "es" << AgentNotice(Kind::CallStarted) << 0 << QString() << "Call started"
        << "Llamada iniciada";
    QTest::newRow("de, call completed with its score")
        << "de" << AgentNotice(Kind::CallCompleted, QStringLiteral("4.5")) << 0 << QString()
        << "Call completed, score 4.5"
        << "Anruf abgeschlossen, Bewertung 4.5";
    QTest::newRow("de, call not completed")
        << "de" << AgentNotice(Kind::CallNotCompleted) << 0 << QString() << "Call not completed"
        << "Anruf nicht abgeschlossen";
    QTest::newRow("de, session ended: headline and what to do")
        << "de" << AgentNotice(Kind::SessionEnded) << 0 << QString()
        << "The server ended your session. Please log in again."
        << "Der Server hat Ihre Sitzung beendet. Bitte melden Sie sich erneut an.";
    QTest::newRow("pl, connection lost")
        << "pl" << AgentNotice(Kind::ConnectionLost) << 0 << QString()
        << "Connection to the server lost. Your figures are greyed until the server answers again."
        << "Utracono połączenie z serwerem. Twoje wyniki są wyszarzone, dopóki serwer znów nie "
           "odpowie.";
    QTest::newRow("pt_BR, logging in again by itself")
        << "pt_BR" << AgentNotice(Kind::SessionEndedResuming) << 0 << QString()
        << "The server ended your session. Brellow is logging you in again; there is nothing to "
           "type."
        << "O servidor encerrou sua sessão. O Brellow está fazendo seu login novamente; não é "
           "preciso digitar nada.";
    QTest::newRow("de, bar with an answer") << "de" << AgentNotice() << 2 << "4"
                                            << "Question 2: 4 of 5"
                                            << "Frage 2: 4 von 5";
    QTest::newRow("de, bar without an answer") << "de" << AgentNotice() << 5 << ""
                                               << "Question 5: no answer yet"
                                               << "Frage 5: noch keine Antwort";
    QTest::newRow("de, answer that looks like a placeholder, said as it stands")
        << "de" << AgentNotice() << 3 << "%1"
        << "Question 3: %1"
        << "Frage 3: %1";
    QTest::newRow("fr, answer off the scale, said as it stands")
        << "fr" << AgentNotice() << 1 << " n/a "
        << "Question 1: n/a" << QStringLiteral("Question n°\u00a01\u00a0: n/a");
}

void TestPageTexts::screenReaderTexts()
{
    QFETCH(QString, language);
    QFETCH(AgentNotice, notice);
    QFETCH(int, question);
    QFETCH(QString, answer);
    QFETCH(QString, english);
    QFETCH(QString, translated);
    const auto say = [&] {
        return question > 0 ? PageAccessibility::barValueText(question, answer) : notice.spoken();
    };
    QCOMPARE(say(), english);
    LanguageInUse inUse(language);
    QCOMPARE(say(), translated);
}

void TestPageTexts::boxesAndNumbers()
{
    LanguageInUse inUse(QStringLiteral("de"));
    CHECKED(reopen());
    UiTest::BoxSeen seen;
    UiTest::closeNextMessageBox(&seen);
    UiTest::click(*window, "login");
    QTRY_VERIFY_WITH_TIMEOUT(seen.seen, 15000);
    QCOMPARE(seen.text, QStringLiteral("Bitte geben Sie Benutzername und Passwort ein und "
                                       "versuchen Sie es erneut."));
    QCOMPARE(seen.title, QCoreApplication::applicationName());
    // The tray menu too.
    QMenu *menu = window->trayIcon()->contextMenu();
    QVERIFY(menu);
    QCOMPARE(menu->actions().value(0)->text(), QStringLiteral("Beenden"));

    // The figures are the server's, digit for digit: no grouping, no comma.
    CHECKED(logIn());
    QCOMPARE(UiTest::text(*window, "#user_surveys"), QStringLiteral("12345"));
    QCOMPARE(UiTest::text(*window, "#average_score"), QStringLiteral("75%"));
    QCOMPARE(UiTest::text(*window, "#team_position"), QStringLiteral("7"));
    CHECKED(showCall());
    QCOMPARE(UiTest::text(*window, "#call_bar_3"), QStringLiteral("10"));
    QCOMPARE(UiTest::text(*window, "#call_score"), QStringLiteral("4.5"));
}

void TestPageTexts::sentAsTyped()
{
    // Whatever the language, the server gets what the agent typed, and the
    // password's digest of it.
    LanguageInUse inUse(QStringLiteral("pl"));
    CHECKED(reopen());
    const QString user = QStringLiteral("Łucja Żółć");
    const QString password = QStringLiteral("hasło-żółw");
    UiTest::setValue(*window, "#username", user);
    UiTest::setValue(*window, "#password", password);
    UiTest::click(*window, "login");
    const QJsonObject login = nextCommand(QStringLiteral("login"));
    QCOMPARE(login.value("username").toString(), user);
    QCOMPARE(login.value("password").toString(), Messages::passwordDigest(password));
    server->send(QByteArray(R"({"cmd":"login_ack","session_id":"s-1"})"));
    QTRY_COMPARE(window->loginState(), MainWindow::LoginState::LoggedIn);
    server->drain(100);
    const QString reason = QStringLiteral("Klient się rozłączył – oddzwonić jutro");
    UiTest::setValue(*window, "#no_transfer", reason);
    UiTest::click(*window, "add");
    const QJsonObject sent = nextCommand(QStringLiteral("notransfer"));
    QCOMPARE(sent.value("text").toString(), reason);
}

void TestPageTexts::translatedAgainAfterTheRenderProcessDies()
{
    LanguageInUse inUse(QStringLiteral("fr"));
    CHECKED(reopen());
    // Logged in by the server alone: a typed field is the agent's, not the page's.
    server->send(QByteArray(R"({"cmd":"login_ack","session_id":"s-1"})"));
    QTRY_COMPARE(window->loginState(), MainWindow::LoginState::LoggedIn);
    CHECKED(settle());
    const QStringList before = UiTest::domState(window->webView()->page());
    QVERIFY(before.join('\n').contains(QStringLiteral("Enquêtes transférées")));

    QWebEnginePage *page = window->webView()->page();
    QSignalSpy restored(window->bridge(), &PageBridge::restored);
    QSignalSpy ended(page, &QWebEnginePage::renderProcessTerminated);
    const qint64 pid = page->renderProcessPid();
    QVERIFY(pid > 0 && pid != qint64(getpid()));
    QCOMPARE(::kill(pid_t(pid), SIGKILL), 0);
    QVERIFY(ended.wait(30000));
    QTRY_VERIFY_WITH_TIMEOUT(restored.count() == 1, 30000);
    CHECKED(settle());
    QCOMPARE(UiTest::domState(page), before);
    CHECKED(checkNoEnglish(QStringLiteral("after the reload")));
}

BRELLOW_WINDOW_TEST_MAIN(TestPageTexts)

#include "tst_pagetexts.moc"
