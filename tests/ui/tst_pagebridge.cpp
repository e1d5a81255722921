#include <tests/support/pagescript.h>
#include <tests/support/wait.h>

#include <ui/brellowpage.h>
#include <ui/pagebridge.h>
#include <ui/uwebview.h>

#include <QApplication>
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

private:
    // Opens the page in a fresh view; the bridge is made before the load starts.
    void openPage();
    bool waitForReady();
    QVariant evaluate(const QString &script) { return UiTest::evaluate(view->page(), script); }

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

int main(int argc, char **argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    TestPageBridge test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_pagebridge.moc"
