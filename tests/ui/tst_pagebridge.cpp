#include <tests/support/pagescript.h>
#include <tests/support/wait.h>

#include <ui/brellowpage.h>
#include <ui/pagebridge.h>
#include <ui/uwebview.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QWebEnginePage>

using namespace Brellow;

// The page bridge against the real page in a real web engine: every write
// arrives exactly as given, nothing written is taken for code, and the bridge
// is inert before the page has loaded and after it has let go of it.
class TestPageBridge : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void inertBeforeLoad();
    void writesArriveExactly_data();
    void writesArriveExactly();
    void elementOperations();
    void attributesAndClasses();
    void readsAnswerAfterEarlierWrites();
    void detachedBridgeIsInert();
    void scriptLiterals_data();
    void scriptLiterals();
    void turnMatchesOneByOne_data();
    void turnMatchesOneByOne();
    void writesWaitForTheScriptInFlight();
    void burstStaysBounded();
    void scriptsAreSpaced();

private:
    // Opens the page in a fresh view; the bridge is made before the load starts.
    void openPage();
    bool waitForReady();
    QVariant evaluate(const QString &script) { return UiTest::evaluate(view->page(), script); }
    // Waits until the bridge has sent everything and the page has answered.
    bool waitForIdle()
    {
        return QTest::qWaitFor(
            [this] { return !bridge->hasPending() && !bridge->isScriptInFlight(); }, 30000);
    }

    std::unique_ptr<UWebView> view;
    PageBridge *bridge = nullptr;
};

void TestPageBridge::openPage()
{
    view = std::make_unique<UWebView>();
    bridge = new PageBridge(view->page(), view.get());
    view->setUrl(BrellowPage::homeUrl());
}

bool TestPageBridge::waitForReady()
{
    if (!UiTest::waitFor([this] { return bridge->isReady(); }, 30000))
        return false;
    evaluate(QStringLiteral("0"));
    return true;
}

void TestPageBridge::init()
{
    openPage();
    QVERIFY(waitForReady());
}

void TestPageBridge::cleanup()
{
    view.reset();
    bridge = nullptr;
}

void TestPageBridge::inertBeforeLoad()
{
    openPage();
    QSignalSpy ready(bridge, &PageBridge::ready);
    QVERIFY(!bridge->isReady());
    bridge->setElementText("#error_text", "early");
    bridge->showElement("#error_panel");
    bridge->setElementValue("#no_transfer", "early");
    QStringList read = {"not called"};
    bridge->elementValues({"#username", "#password"}, [&](const QStringList &v) { read = v; });
    QCOMPARE(read, QStringList({"", ""}));
    QVERIFY(waitForReady());
    QCOMPARE(ready.size(), 1);
    QCOMPARE(UiTest::text(view->page(), "#error_text"), QString());
    QVERIFY(!UiTest::isShown(view->page(), "#error_panel"));
    QCOMPARE(UiTest::value(view->page(), "#no_transfer"), QString());
}

void TestPageBridge::writesArriveExactly_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("asValue"); // carriage returns are dropped from values
    auto row = [](const char *name, const QString &text, QString asValue = QString()) {
        QTest::newRow(name) << text << (asValue.isNull() ? text : asValue);
    };
    row("plain", "Billing query");
    row("apostrophe", "Customer's request");
    row("quotes", R"(say "hi" & 'bye')");
    row("backslashes", R"(C:\temp\new \' \")");
    row("trailing backslash", "ends in \\");
    row("closing script tag", "</script><script>window.pwned=1</script>");
    row("string breakout", "'); window.pwned=1; ('");
    row("double breakout", "\"+(window.pwned=1)+\"");
    row("markup", "<b>bold</b> <img src=x onerror=\"window.pwned=1\">");
    row("percent markers", "50%2 off %1");
    row("line separators", QString("a") + QChar(0x2028) + "b" + QChar(0x2029) + "c");
    row("nul", QString("a") + QChar(0) + "b");
    row("emoji and umlauts", QString::fromUtf8("K\xc3\xa4the \xf0\x9f\x98\x80"));
    row("crlf", "one\r\ntwo\rthree\n", "one\ntwothree\n");
    row("empty", "");
}

void TestPageBridge::writesArriveExactly()
{
    QFETCH(QString, text);
    QFETCH(QString, asValue);
    QWebEnginePage *page = view->page();

    bridge->setElementText("#error_text", text);
    bridge->setElementValue("#no_transfer", text);
    bridge->clearOptions("#reason");
    bridge->addOption("#reason", text, text + "|v");
    QCOMPARE(UiTest::text(page, "#error_text"), text);
    QCOMPARE(UiTest::value(page, "#no_transfer"), asValue);
    QCOMPARE(evaluate("document.querySelector('#reason').options.length").toInt(), 1);
    QCOMPARE(evaluate("document.querySelector('#reason').options[0].textContent").toString(),
             asValue);
    QCOMPARE(evaluate("document.querySelector('#reason').options[0].value").toString(),
             asValue + "|v");

    QStringList read;
    bridge->elementValues({"#no_transfer", "#nothing_here"},
                          [&](const QStringList &v) { read = v; });
    QTRY_COMPARE(read, QStringList({asValue, ""}));

    // Nothing written was taken for code or markup.
    QCOMPARE(evaluate("typeof window.pwned").toString(), QStringLiteral("undefined"));
    QCOMPARE(evaluate("document.querySelectorAll('script,img,b').length").toInt(), 0);
}

void TestPageBridge::elementOperations()
{
    QWebEnginePage *page = view->page();
    bridge->hideElement("#call_score");
    bridge->showElement("#call_score");
    QCOMPARE(UiTest::attribute(page, "#call_score", "style").toString(),
             QStringLiteral("display: block;"));
    bridge->hideElement("#call_score");
    QVERIFY(!UiTest::isShown(page, "#call_score"));
    // The first of duplicate ids is the one meant.
    bridge->setElementText("#login_button", "Logging in");
    QCOMPARE(evaluate("document.querySelectorAll('#login_button')[1].textContent").toString(),
             QStringLiteral("Survey"));
    QCOMPARE(UiTest::text(page, "#login_button"), QStringLiteral("Logging in"));
    // Missing elements are ignored, and later operations still run.
    bridge->setElementText("#no_such_id", "x");
    bridge->hideElement("#no_such_id");
    bridge->addOption("#no_such_id", "x", "y");
    bridge->clearOptions("#error_text"); // not a list: the script fails harmlessly
    bridge->setElementText("#error_text", "still works");
    QCOMPARE(UiTest::text(page, "#error_text"), QStringLiteral("still works"));
}

void TestPageBridge::attributesAndClasses()
{
    QWebEnginePage *page = view->page();
    const QString hostile = QStringLiteral("x\" onfocus=\"window.pwned=1");
    bridge->setElementAttribute("#no_transfer", "placeholder", hostile);
    bridge->setElementAttribute("#username", "disabled", "true");
    QCOMPARE(UiTest::attribute(page, "#no_transfer", "placeholder").toString(), hostile);
    QVERIFY(evaluate("document.querySelector('#username').disabled").toBool());
    bridge->removeElementAttribute("#username", "disabled");
    QVERIFY(UiTest::attribute(page, "#username", "disabled").isNull());

    bridge->addElementClass("#container", "marked");
    QVERIFY(UiTest::hasClass(page, "#container", "marked"));
    bridge->removeElementClass("#container", "marked");
    QVERIFY(!UiTest::hasClass(page, "#container", "marked"));
    QCOMPARE(evaluate("typeof window.pwned").toString(), QStringLiteral("undefined"));
}

void TestPageBridge::readsAnswerAfterEarlierWrites()
{
    // A read made after a write sees it, though both go to the page later.
    QStringList first, second;
    bridge->setElementValue("#username", "one");
    bridge->elementValues({"#username"}, [&](const QStringList &v) { first = v; });
    bridge->setElementValue("#username", "two");
    bridge->elementValues({"#username", "#password"}, [&](const QStringList &v) { second = v; });
    QTRY_COMPARE(second, QStringList({"two", ""}));
    QCOMPARE(first, QStringList({"one"}));
}

void TestPageBridge::detachedBridgeIsInert()
{
    bool answered = false;
    bridge->elementValues({"#username"}, [&](const QStringList &) { answered = true; });
    bridge->detach();
    QVERIFY(!bridge->isReady());
    bridge->setElementText("#error_text", "after");
    // A read on a detached bridge answers at once, empty; the read made before
    // the detach never answers.
    QStringList read;
    bridge->elementValues({"#username"}, [&](const QStringList &v) { read = v; });
    QCOMPARE(read, QStringList({""}));
    QCOMPARE(UiTest::text(view->page(), "#error_text"), QString());
    QVERIFY(!answered);
}

void TestPageBridge::scriptLiterals_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("literal");
    QTest::addColumn<QString>("escaped");
    QTest::newRow("plain") << "abc"
                           << R"("abc")"
                           << R"("abc")";
    QTest::newRow("quote and backslash") << R"(a"b\)"
                                         << R"("a\u0022b\u005c")"
                                         << R"("a\u0022b\u005c")";
    QTest::newRow("angle brackets") << "<>"
                                    << R"("\u003c\u003e")"
                                    << R"("\u003c\u003e")";
    QTest::newRow("crlf") << "a\r\nb"
                          << R"("a\u000d\u000ab")"
                          << R"("a\u000ab")";
    QTest::newRow("non-ascii") << QString::fromUtf8("\xc3\xa4") << R"("\u00e4")"
                               << R"("\u00e4")";
}

void TestPageBridge::scriptLiterals()
{
    QFETCH(QString, text);
    QFETCH(QString, literal);
    QFETCH(QString, escaped);
    QCOMPARE(PageBridge::scriptLiteral(text), literal);
    QCOMPARE(PageBridge::escapeScriptText(text), escaped);
}

namespace {

// One operation of a test sequence, written "op|selector|arguments...".
using Ops = QStringList;

// The operation as the bridge does it; a read appends its answer to *reads.
void applyThroughBridge(PageBridge *bridge, const QString &op, QList<QStringList> *reads)
{
    const QStringList f = op.split(QLatin1Char('|'));
    const QString &kind = f.at(0);
    if (kind == "text")
        bridge->setElementText(f.at(1), f.at(2));
    else if (kind == "hide")
        bridge->hideElement(f.at(1));
    else if (kind == "show")
        bridge->showElement(f.at(1));
    else if (kind == "value")
        bridge->setElementValue(f.at(1), f.at(2));
    else if (kind == "attr")
        bridge->setElementAttribute(f.at(1), f.at(2), f.at(3));
    else if (kind == "rmattr")
        bridge->removeElementAttribute(f.at(1), f.at(2));
    else if (kind == "class")
        bridge->addElementClass(f.at(1), f.at(2));
    else if (kind == "rmclass")
        bridge->removeElementClass(f.at(1), f.at(2));
    else if (kind == "clear")
        bridge->clearOptions(f.at(1));
    else if (kind == "option")
        bridge->addOption(f.at(1), f.at(2), f.at(3));
    else if (kind == "read") {
        const qsizetype slot = reads->size();
        reads->append(QStringList{"not answered"});
        bridge->elementValues(f.at(1).split(QLatin1Char(',')),
                              [reads, slot](const QStringList &v) { (*reads)[slot] = v; });
    } else
        qFatal("unknown operation %s", qPrintable(op));
}

// The same operation in plain DOM calls, as a script of its own.
void applyOneByOne(QWebEnginePage *page, const QString &op, QList<QStringList> *reads)
{
    const QStringList f = op.split(QLatin1Char('|'));
    const QString &kind = f.at(0);
    auto arg = [&](int i) { return UiTest::jsString(f.at(i)); };
    if (kind == "read") {
        QStringList values;
        for (const QString &selector : f.at(1).split(QLatin1Char(',')))
            values << UiTest::evaluate(page, QStringLiteral("(function(){var e=document."
                                                            "querySelector(%1);return e&&e.value!="
                                                            "null?String(e.value):''})()")
                                                 .arg(UiTest::jsString(selector)))
                          .toString();
        reads->append(values);
        return;
    }
    QString body;
    if (kind == "text")
        body = "e.textContent=" + arg(2);
    else if (kind == "hide")
        body = "e.style.display='none'";
    else if (kind == "show")
        body = "e.style.display='block'";
    else if (kind == "value")
        body = "e.value=" + arg(2);
    else if (kind == "attr")
        body = "e.setAttribute(" + arg(2) + "," + arg(3) + ")";
    else if (kind == "rmattr")
        body = "e.removeAttribute(" + arg(2) + ")";
    else if (kind == "class")
        body = "e.classList.add(" + arg(2) + ")";
    else if (kind == "rmclass")
        body = "e.classList.remove(" + arg(2) + ")";
    else if (kind == "clear")
        body = "while(e.options.length)e.remove(0)";
    else if (kind == "option")
        body = "var o=document.createElement('option');o.text=" + arg(2) + ";o.value=" + arg(3) +
               ";e.add(o)";
    else
        qFatal("unknown operation %s", qPrintable(op));
    UiTest::evaluate(page, QStringLiteral("(function(){var e=document.querySelector(%1);"
                                          "if(e){%2}})()")
                               .arg(arg(1), body));
}

} // namespace

void TestPageBridge::turnMatchesOneByOne_data()
{
    QTest::addColumn<Ops>("ops");
    QTest::newRow("texts and display")
        << Ops{"text|#error_text|a", "show|#error_panel", "text|#error_text|b", "hide|#error_panel",
               "hide|#call_check",   "show|#error_panel", "text|#call_score|c"};
    QTest::newRow("values") << Ops{"value|#username|x", "value|#password|y", "value|#username|z",
                                   "value|#cli|it's"};
    QTest::newRow("attributes") << Ops{
        "attr|#username|disabled|true", "attr|#no_transfer|placeholder|p",
        "rmattr|#username|disabled", "attr|#no_transfer|placeholder|q",
        "attr|#password|disabled|true"};
    QTest::newRow("classes") << Ops{"class|#container|a", "class|#container|b",
                                    "rmclass|#container|a", "class|#container|a",
                                    "rmclass|#container|b"};
    QTest::newRow("options rebuilt, then value")
        << Ops{"clear|#reason",      "option|#reason|A|a", "option|#reason|B|b",
               "value|#reason|b",    "clear|#reason",      "option|#reason|C|c",
               "option|#reason|D|d", "option|#reason|E|e", "value|#reason|d"};
    QTest::newRow("value between options")
        << Ops{"clear|#reason", "option|#reason|A|a", "option|#reason|B|b", "value|#reason|b",
               "option|#reason|C|c"};
    QTest::newRow("value not offered, then more options")
        << Ops{"clear|#reason", "option|#reason|A|a", "value|#reason|zz", "option|#reason|B|b",
               "text|#error_text|t"};
    QTest::newRow("value before the list is rebuilt")
        << Ops{"value|#reason|b", "clear|#reason", "option|#reason|A|a", "option|#reason|B|b"};
    QTest::newRow("reads in between")
        << Ops{"value|#username|one",      "read|#username",      "value|#username|two",
               "read|#username,#password", "value|#password|p",   "value|#username|three",
               "read|#password,#nothing",  "value|#username|four"};
    QTest::newRow("reads first and last")
        << Ops{"read|#username", "value|#username|x", "read|#username"};
    QTest::newRow("missing elements")
        << Ops{"text|#nope|x", "hide|#nope",    "option|#nope|a|b",
               "clear|#nope",  "value|#nope|v", "text|#error_text|ok"};
    QTest::newRow("writes that throw")
        << Ops{"attr|#error_text|1bad|x", "text|#error_text|after", "option|#error_text|a|b",
               "class|#error_text|after", "attr|#error_text|title|t"};
    QTest::newRow("a parent's text replaces its children") << Ops{
        "text|#error_text|a", "text|#error_panel|P", "text|#error_text|b", "show|#error_panel"};
}

void TestPageBridge::turnMatchesOneByOne()
{
    QFETCH(Ops, ops);

    QList<QStringList> bridgeReads;
    QVERIFY(waitForIdle());
    const int sentBefore = bridge->scriptsSent();
    for (const QString &op : ops)
        applyThroughBridge(bridge, op, &bridgeReads);
    QVERIFY(waitForIdle());
    QCOMPARE(bridge->scriptsSent() - sentBefore, 1);
    const QStringList throughBridge = UiTest::domState(view->page());

    UWebView reference;
    reference.setUrl(BrellowPage::homeUrl());
    QTRY_VERIFY_WITH_TIMEOUT(UiTest::evaluate(reference.page(),
                                              "document.readyState==='complete'&&"
                                              "!!document.querySelector('#reason')")
                                 .toBool(),
                             30000);
    QList<QStringList> oneByOneReads;
    for (const QString &op : ops)
        applyOneByOne(reference.page(), op, &oneByOneReads);
    const QStringList oneByOne = UiTest::domState(reference.page());

    QVERIFY(throughBridge.size() > 50);
    QCOMPARE(throughBridge, oneByOne);
    QCOMPARE(bridgeReads, oneByOneReads);
}

void TestPageBridge::writesWaitForTheScriptInFlight()
{
    QVERIFY(waitForIdle());
    const int sentBefore = bridge->scriptsSent();
    int answered = 0;
    int heldBack = 0;
    int turn = 0;
    // Turns of writes while the page works on earlier ones; each turn also reads,
    // so every script the bridge sends carries at least one answer back.
    while (heldBack < 5 && turn < 100000) {
        ++turn;
        bridge->setElementText("#call_score", QString::number(turn));
        bridge->setElementValue("#username", QString::number(turn));
        bridge->elementValues({"#username"}, [&, turn](const QStringList &v) {
            QCOMPARE(v, QStringList{QString::number(turn)});
            ++answered;
        });
        if (bridge->isScriptInFlight())
            ++heldBack;
        QCoreApplication::processEvents();
        // Never more than the one script the page has not answered yet.
        QVERIFY(bridge->scriptsSent() - sentBefore <= answered + 1);
    }
    QCOMPARE(heldBack, 5);
    QVERIFY(waitForIdle());
    QCOMPARE(answered, turn);
    // Writes were merged: fewer scripts than turns.
    QVERIFY(bridge->scriptsSent() - sentBefore < turn);
    QCOMPARE(UiTest::text(view->page(), "#call_score"), QString::number(turn));
    QCOMPARE(UiTest::value(view->page(), "#username"), QString::number(turn));
}

void TestPageBridge::burstStaysBounded()
{
    QVERIFY(waitForIdle());
    const QStringList bars = {"#call_bar_1", "#call_bar_2", "#call_bar_3", "#call_bar_4",
                              "#call_bar_5"};
    // Per turn: five texts, five displays, a value, a class and a list.
    const int properties = 13;
    int written = 0;
    for (int turn = 0; turn < 5; ++turn) {
        for (int i = 0; i < 2000; ++i) {
            for (const QString &bar : bars) {
                bridge->setElementText(bar, QString::number(i));
                (i % 2 ? bridge->hideElement(bar) : bridge->showElement(bar));
            }
            bridge->setElementValue("#username", QString::number(i));
            bridge->addElementClass("#container", "c");
            bridge->clearOptions("#reason");
            bridge->addOption("#reason", QString::number(i), "v");
            written += 14;
        }
        QVERIFY(bridge->pendingWrites() <= properties);
        QCoreApplication::processEvents();
    }
    QVERIFY(written >= 100000);
    QVERIFY(waitForIdle());
    for (const QString &bar : bars) {
        QCOMPARE(UiTest::text(view->page(), bar), QStringLiteral("1999"));
        QVERIFY(!UiTest::isShown(view->page(), bar));
    }
    QCOMPARE(UiTest::value(view->page(), "#username"), QStringLiteral("1999"));
    QCOMPARE(evaluate("document.querySelector('#reason').options.length").toInt(), 1);
    QCOMPARE(UiTest::value(view->page(), "#reason"), QStringLiteral("v"));
}

// Under a flood the page gets a script no more often than every few
// milliseconds, whatever the rate of writes, and still ends with the last ones.
void TestPageBridge::scriptsAreSpaced()
{
    QVERIFY(waitForIdle());
    const int sentBefore = bridge->scriptsSent();
    QElapsedTimer flood;
    flood.start();
    int i = 0;
    while (flood.elapsed() < 400) {
        bridge->setElementText("#call_score", QString::number(++i));
        QCoreApplication::processEvents();
    }
    const qint64 elapsed = flood.elapsed();
    const int sent = bridge->scriptsSent() - sentBefore;
    QVERIFY2(sent <= elapsed / PageBridge::MinScriptGapMs + 1,
             qPrintable(QStringLiteral("%1 scripts in %2 ms").arg(sent).arg(elapsed)));
    QVERIFY(sent > 1);
    QVERIFY(i > sent);
    QVERIFY(waitForIdle());
    QCOMPARE(UiTest::text(view->page(), "#call_score"), QString::number(i));
}

int main(int argc, char **argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    TestPageBridge test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_pagebridge.moc"
