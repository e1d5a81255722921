// Brellow's compiled-in face: the resource tree, the icons and images, and the page as a
// real QWebEngineView renders it (every element the program addresses, the boxes around
// them, which of the repeated ids a lookup finds, the window heights and the theme).
//
// The page is loaded with JavaScript disabled, the way the program shows it; the test
// reads it with scripts in the application world, like the program's page bridge.

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QResource>
#include <QSet>
#include <QSignalSpy>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineSettings>
#include <QWebEngineView>
#include <QtEndian>

#include <memory>

#include <app/enginedefaults.h>
#include <app/sitesettings.h>

using namespace Brellow;

namespace {

// Set in main() before the application object exists: the page must already be there,
// registered by linking brellow_res alone.
bool pageResourceAtStart = false;

const QString nbsp = QString(QChar(0x00a0));

// Helpers shared by the page scripts: the element's own text (its direct text nodes,
// with the markup's ASCII white space trimmed, keeping no-break spaces) and a short
// descriptor of a child: "#id" when it has one, else tag.classes, plus [href] for
// links and "text" for leaves.
const char *const scriptHelpers = R"JS(
function ownText(el) {
    var t = '';
    for (var n = el.firstChild; n; n = n.nextSibling)
        if (n.nodeType === Node.TEXT_NODE)
            t += n.data;
    return t.replace(/^[ \t\r\n]+|[ \t\r\n]+$/g, '').replace(/[ \t\r\n]+/g, ' ');
}
function describe(el) {
    if (el.id)
        return '#' + el.id;
    var d = el.tagName.toLowerCase();
    if (el.className)
        d += '.' + el.className.trim().split(/\s+/).join('.');
    if (el.tagName === 'A')
        d += '[' + el.getAttribute('href') + ']';
    var t = ownText(el);
    if (!el.children.length && t)
        d += '"' + t + '"';
    return d;
}
function nthOfId(el) {
    var all = document.querySelectorAll('[id="' + el.id + '"]');
    if (all.length === 1)
        return el.id;
    return el.id + '#' + Array.prototype.indexOf.call(all, el);
}
)JS";

const QString unavailable = QStringLiteral("This option is not available in the current version");

} // namespace

class TstPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void registeredBeforeMain();
    void resources_data();
    void resources();
    void programIcon();
    void marks_data();
    void marks();

    void pageIsStatic();
    void elements_data();
    void elements();
    void boxes_data();
    void boxes();
    void idsAndFirstMatch();
    void views_data();
    void views();
    void theme_data();
    void theme();

private:
    bool run(const QString &script, QVariant *result);
    QVariant eval(const QString &script);

    std::unique_ptr<QWebEngineView> view;
};

bool TstPage::run(const QString &script, QVariant *result)
{
    struct Pending
    {
        bool done = false;
        QVariant value;
    };
    auto pending = std::make_shared<Pending>();
    view->page()->runJavaScript(QString::fromUtf8(scriptHelpers) + script,
                                QWebEngineScript::ApplicationWorld,
                                [pending](const QVariant &value) {
                                    pending->value = value;
                                    pending->done = true;
                                });
    if (!QTest::qWaitFor([&] { return pending->done; }, 10000))
        return false;
    *result = pending->value;
    return true;
}

// Runs a script in the application world and returns its result; invalid (with a
// warning) when the page does not answer.
QVariant TstPage::eval(const QString &script)
{
    QVariant value;
    if (!run(script, &value))
        qWarning("no answer from the page for: %s", qPrintable(script));
    return value;
}

void TstPage::initTestCase()
{
    view = std::make_unique<QWebEngineView>();
    view->settings()->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
    view->page()->setBackgroundColor(Qt::transparent);
    view->resize(364, 268);
    view->show();
}

// Every page check (and every data row of one) gets a freshly loaded page; the resource
// checks only read files.
void TstPage::init()
{
    static const QSet<QByteArray> fileChecks = {"registeredBeforeMain", "resources", "programIcon",
                                                "marks"};
    if (fileChecks.contains(QTest::currentTestFunction()))
        return;
    QSignalSpy loaded(view.get(), &QWebEngineView::loadFinished);
    view->load(QUrl(QStringLiteral("qrc:/res/index.html")));
    QVERIFY(loaded.wait(30000));
    QCOMPARE(loaded.count(), 1);
    QCOMPARE(loaded.first().first().toBool(), true);
}

// ---- Resources -----------------------------------------------------------------------------

void TstPage::registeredBeforeMain()
{
    QVERIFY2(pageResourceAtStart, "the page was not registered before main()");
}

void TstPage::resources_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("compression");
    QTest::addColumn<QByteArray>("head");

    const int zlib = int(QResource::ZlibCompression);
    const int none = int(QResource::NoCompression);
    const QByteArray png("\x89PNG\r\n\x1a\n", 8);
    QTest::newRow("agent.ico") << ":/agent.ico" << none << QByteArray("\0\0\1\0\x09\0", 6);
    QTest::newRow("agent.png") << ":/agent.png" << none << png;
    QTest::newRow("index.html") << ":/res/index.html" << zlib << QByteArray("<!DOCTYPE html>");
    QTest::newRow("bootstrap.css")
        << ":/res/css/bootstrap.css" << zlib
        << QByteArray("/*! normalize.css v2.1.3 | MIT License | git.io/normalize */\n");
    QTest::newRow("corvane_theme.css") << ":/res/css/corvane_theme.css" << zlib << QByteArray("/*");
    QTest::newRow("check.png") << ":/res/img/check.png" << none << png;
    QTest::newRow("cross.png") << ":/res/img/cross.png" << none << png;
}

void TstPage::resources()
{
    QFETCH(QString, path);
    QFETCH(int, compression);
    QFETCH(QByteArray, head);

    const QResource resource(path);
    QVERIFY2(resource.isValid(), qPrintable(path));
    QCOMPARE(int(resource.compressionAlgorithm()), compression);

    const QByteArray content = resource.uncompressedData();
    QVERIFY(content.startsWith(head));
    QCOMPARE(resource.uncompressedSize(), qint64(content.size()));
    if (compression == int(QResource::ZlibCompression))
        QVERIFY(resource.size() < content.size()); // the stored form is the compressed one
    else
        QCOMPARE(resource.size(), qint64(content.size()));

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), content);
}

// /agent.png: 256 x 256 with alpha; /agent.ico: nine images, 256 down to 16 pixels,
// 32 bits per pixel, each a PNG or a 32-bit DIB (BITMAPINFOHEADER, double height).
void TstPage::programIcon()
{
    const QImage png(QStringLiteral(":/agent.png"), "PNG");
    QVERIFY(!png.isNull());
    QCOMPARE(png.size(), QSize(256, 256));
    QVERIFY(png.hasAlphaChannel());
    QCOMPARE(qAlpha(png.pixel(0, 0)), 0);

    QFile file(QStringLiteral(":/agent.ico"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray ico = file.readAll();
    const auto *bytes = reinterpret_cast<const uchar *>(ico.constData());
    auto u16 = [&](qsizetype at) { return qFromLittleEndian<quint16>(bytes + at); };
    auto u32 = [&](qsizetype at) { return qFromLittleEndian<quint32>(bytes + at); };
    auto i32 = [&](qsizetype at) { return qFromLittleEndian<qint32>(bytes + at); };

    const int sizes[] = {256, 128, 96, 72, 64, 48, 32, 24, 16};
    const int count = int(std::size(sizes));
    QVERIFY(ico.size() >= 6 + 16 * count);
    QCOMPARE(u16(0), quint16(0)); // reserved
    QCOMPARE(u16(2), quint16(1)); // icon, not cursor
    QCOMPARE(u16(4), quint16(count));

    qsizetype nextFree = 6 + 16 * count;
    for (int i = 0; i < count; ++i) {
        const int size = sizes[i];
        const qsizetype entry = 6 + 16 * i;
        const QByteArray what = QByteArray("image ") + QByteArray::number(size);
        QCOMPARE(bytes[entry] == 0 ? 256 : int(bytes[entry]), size);
        QCOMPARE(bytes[entry + 1] == 0 ? 256 : int(bytes[entry + 1]), size);
        QCOMPARE(u16(entry + 4), quint16(1));  // planes
        QCOMPARE(u16(entry + 6), quint16(32)); // bits per pixel
        const qsizetype length = u32(entry + 8);
        const qsizetype offset = u32(entry + 12);
        QVERIFY2(offset >= nextFree && offset + length <= ico.size(), what.constData());
        nextFree = offset + length;

        const QByteArray payload = ico.mid(offset, length);
        if (payload.startsWith("\x89PNG")) {
            const QImage image = QImage::fromData(payload, "PNG");
            QCOMPARE(image.size(), QSize(size, size));
            QVERIFY2(image.hasAlphaChannel(), what.constData());
        } else {
            QVERIFY2(length >= 40, what.constData());
            QCOMPARE(u32(offset), quint32(40)); // BITMAPINFOHEADER
            QCOMPARE(i32(offset + 4), size);
            QCOMPARE(i32(offset + 8), 2 * size); // colour rows plus AND mask
            QCOMPARE(u16(offset + 14), quint16(32));
            QCOMPARE(u32(offset + 16), quint32(0)); // BI_RGB
            const qsizetype maskRow = ((size + 31) / 32) * 4;
            QCOMPARE(length, 40 + qsizetype(size) * size * 4 + maskRow * size);
        }
    }
}

void TstPage::marks_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("green");

    QTest::newRow("check") << ":/res/img/check.png" << true;
    QTest::newRow("cross") << ":/res/img/cross.png" << false;
}

// 32 x 32 with a real alpha channel: transparent around an opaque mark, which is green
// for the check and red for the cross.
void TstPage::marks()
{
    QFETCH(QString, path);
    QFETCH(bool, green);

    const QImage image(path, "PNG");
    QCOMPARE(image.size(), QSize(32, 32));
    QVERIFY(image.hasAlphaChannel());

    int transparent = 0, opaque = 0;
    qint64 red = 0, grn = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const QRgb p = image.pixel(x, y);
            if (qAlpha(p) == 0)
                ++transparent;
            if (qAlpha(p) == 255) {
                ++opaque;
                red += qRed(p);
                grn += qGreen(p);
            }
        }
    }
    QVERIFY(transparent > 32 * 32 / 3);
    QVERIFY(opaque > 32 * 32 / 10);
    QCOMPARE(grn > red, green);
}

// ---- The page ------------------------------------------------------------------------------

// No script of its own, and scripts are off for the page: only the application world runs.
void TstPage::pageIsStatic()
{
    QVERIFY(!view->settings()->testAttribute(QWebEngineSettings::JavascriptEnabled));
    QCOMPARE(eval("document.scripts.length").toInt(), 0);
    QCOMPARE(eval("document.title").toString(), QStringLiteral("Brellow"));
    QCOMPARE(eval("document.characterSet").toString(), QStringLiteral("UTF-8"));
    QCOMPARE(eval("document.body.getAttribute('style')").toString(),
             QStringLiteral("background-color:rgba(0,0,0,0);"));
    QCOMPARE(eval("Array.prototype.map.call(document.querySelectorAll('link'),"
                  " function (l) { return l.rel + ' ' + l.getAttribute('href'); })")
                 .toStringList(),
             QStringList({"stylesheet css/bootstrap.css", "stylesheet css/corvane_theme.css"}));
    QCOMPARE(eval("document.styleSheets.length").toInt(), 3); // the two sheets and <style>
    QCOMPARE(eval("document.querySelector('head style').textContent").toString(), QString());
    QCOMPARE(eval("document.querySelector('meta[http-equiv]').content").toString(),
             QStringLiteral("IE=edge,chrome=1"));
    QCOMPARE(eval("document.querySelector('meta[name=viewport]').content").toString(),
             QStringLiteral("width=device-width"));
    QVERIFY(!eval("document.querySelector('meta[name=description]').content").toString().isEmpty());
}

void TstPage::elements_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<int>("nth"); // which of the elements with this id, in document order
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("classes");
    QTest::addColumn<QString>("inside"); // nearest ancestor with an id ("id#n" when repeated)
    QTest::addColumn<bool>("hidden");    // inline style "display:none"
    QTest::addColumn<QString>("text");   // own text
    QTest::addColumn<QStringList>("attributes"); // besides id, class and the hiding style

    auto row = [](const char *name, const QString &id, int nth, const QString &tag,
                  const QString &classes, const QString &inside, bool hidden, const QString &text,
                  const QStringList &attributes = {}) {
        QTest::newRow(name) << id << nth << tag << classes << inside << hidden << text
                            << attributes;
    };
    // clang-format off
    row("container", "container", 0, "div", "corvane-container container-collapsed", "", false, "");
    row("box_header", "box_header", 0, "div", "box-header", "container", false, nbsp + "Brellow");
    row("button_expand", "button_expand", 0, "a", "button-maximize", "box_header", true, "+", {"href=#expand"});
    row("button_collapse", "button_collapse", 0, "a", "button-minimize", "box_header", true, "-", {"href=#collapse"});
    row("media_button", "media_button", 0, "a", "top-button", "box_header", true, "Email", {"href=#media"});
    row("main_box", "main_box", 0, "div", "box-body", "container", false, "");
    row("login_panel 1st", "login_panel", 0, "div", "box-panel", "main_box", false, "");
    row("username", "username", 0, "input", "", "login_panel#0", false, "", {"type=text", "placeholder=Username..."});
    row("password", "password", 0, "input", "", "login_panel#0", false, "", {"type=password", "placeholder=Password..."});
    row("top_panel1", "top_panel1", 0, "div", "box-panel", "main_box", true, "");
    row("user_surveys", "user_surveys", 0, "span", "box-item-data green", "top_panel1", false, nbsp);
    row("average_score", "average_score", 0, "span", "box-item-data red", "top_panel1", false, nbsp);
    row("top_panel2", "top_panel2", 0, "div", "box-panel", "main_box", true, "");
    row("team_position", "team_position", 0, "span", "box-item-data yellow", "top_panel2", false, nbsp);
    row("team_surveys", "team_surveys", 0, "span", "box-item-data red", "top_panel2", false, nbsp);
    row("login_button 1st", "login_button", 0, "a", "blue-button", "main_box", false, "Login", {"href=#login"});
    row("bottom_panel 1st", "bottom_panel", 0, "div", "bottom-wrap", "main_box", false, "");
    for (int i = 1; i <= 5; ++i) {
        const QString id = QStringLiteral("call_bar_%1").arg(i);
        row(qPrintable(id), id, 0, "li", "bar blue", "bottom_panel#0", true, "");
    }
    row("call_check", "call_check", 0, "div", "icon iconcheck", "bottom_panel#0", true, "");
    row("call_cross", "call_cross", 0, "div", "icon iconcross", "bottom_panel#0", true, "");
    row("call_score", "call_score", 0, "span", "call-info", "bottom_panel#0", false, "");
    row("no_transfer", "no_transfer", 0, "textarea", "", "bottom_panel#0", false, "", {"placeholder=No transfer reason..."});
    row("media_box", "media_box", 0, "div", "box-body", "container", true, "");
    row("bottom_panel 2nd", "bottom_panel", 1, "div", "bottom-wrap", "media_box", false, "");
    row("login_panel 2nd", "login_panel", 1, "div", "box-panel", "media_box", false, "");
    row("ref", "ref", 0, "input", "", "login_panel#1", false, "", {"type=text", "placeholder=Account Ref...", "disabled=", "title=" + unavailable});
    row("lookup_button", "lookup_button", 0, "a", "grey-button", "media_box", false, "Lookup", {"href=#lookup", "style=margin-top:-4px", "title=" + unavailable});
    row("login_panel 3rd", "login_panel", 2, "div", "box-panel", "media_box", false, "");
    row("cli", "cli", 0, "input", "", "login_panel#2", false, "", {"type=text", "placeholder=CLI..."});
    row("email", "email", 0, "input", "", "login_panel#2", false, "", {"type=text", "placeholder=Email..."});
    row("title", "title", 0, "input", "", "login_panel#2", false, "", {"type=text", "placeholder=Title...", "style=width:43px"});
    row("fname", "fname", 0, "input", "", "login_panel#2", false, "", {"type=text", "placeholder=First Name..."});
    row("sname", "sname", 0, "input", "", "login_panel#2", false, "", {"type=text", "placeholder=Last Name..."});
    row("login_panel 4th", "login_panel", 3, "div", "box-panel", "media_box", false, "");
    row("reason", "reason", 0, "select", "", "login_panel#3", false, "");
    row("login_button 2nd", "login_button", 1, "a", "blue-button", "media_box", false, "Survey", {"href=#survey", "style=margin-top:-6px"});
    row("error_panel", "error_panel", 0, "div", "notice-panel", "box_header", true, "", {"role=status"});
    row("error_text", "error_text", 0, "div", "error-panel", "error_panel", false, "");
    // clang-format on
}

void TstPage::elements()
{
    QFETCH(QString, id);
    QFETCH(int, nth);
    QFETCH(QString, tag);
    QFETCH(QString, classes);
    QFETCH(QString, inside);
    QFETCH(bool, hidden);
    QFETCH(QString, text);
    QFETCH(QStringList, attributes);

    const QVariantMap found = eval(QStringLiteral(R"JS(
        (function () {
            var el = document.querySelectorAll('[id="%1"]')[%2];
            if (!el)
                return null;
            var attributes = {};
            for (var i = 0; i < el.attributes.length; ++i)
                attributes[el.attributes[i].name] = el.attributes[i].value;
            var up = el.parentElement;
            while (up && !up.id)
                up = up.parentElement;
            return { tag: el.tagName.toLowerCase(), display: el.style.display,
                     text: ownText(el), value: /^(INPUT|TEXTAREA|SELECT)$/.test(el.tagName) ? el.value : '',
                     attributes: attributes, inside: up ? nthOfId(up) : '' };
        })()
    )JS")
                                       .arg(id)
                                       .arg(nth))
                                  .toMap();
    QVERIFY2(!found.isEmpty(), "element missing");
    QCOMPARE(found.value("tag").toString(), tag);
    QCOMPARE(found.value("inside").toString(), inside);
    QCOMPARE(found.value("display").toString(), hidden ? QStringLiteral("none") : QString());
    QCOMPARE(found.value("text").toString(), text);
    QCOMPARE(found.value("value").toString(), QString()); // form fields start empty

    // The complete attribute list: nothing missing, nothing extra.
    QVariantMap expected{{"id", id}};
    if (!classes.isEmpty())
        expected.insert("class", classes);
    if (hidden)
        expected.insert("style", "display:none");
    for (const QString &attribute : attributes) {
        const qsizetype eq = attribute.indexOf('=');
        expected.insert(attribute.left(eq), attribute.mid(eq + 1));
    }
    // What screen readers are told (role and aria-*) beyond the table is checked
    // where it counts, in the engine's accessibility tree (tst_accessibility).
    QVariantMap foundAttributes = found.value("attributes").toMap();
    for (const QString &name : foundAttributes.keys()) {
        if ((name == QLatin1String("role") || name.startsWith(QLatin1String("aria-"))) &&
            !expected.contains(name))
            foundAttributes.remove(name);
    }
    QCOMPARE(foundAttributes, expected);
}

void TstPage::boxes_data()
{
    QTest::addColumn<QString>("selector"); // first match
    QTest::addColumn<QString>("children");
    QTest::addColumn<QString>("text");

    const QString mediaBox = "#media_box > ";
    // clang-format off
    QTest::newRow("body") << "body" << "#container" << "";
    QTest::newRow("container") << "#container" << "#box_header #main_box #media_box" << "";
    QTest::newRow("header") << "#box_header" << "#button_expand #button_collapse div #error_panel" << nbsp + "Brellow";
    QTest::newRow("header right") << "#box_header > div" << "#media_button" << "";
    QTest::newRow("main box") << "#main_box" << "div.left-wrap div.right-wrap #bottom_panel" << "";
    QTest::newRow("left column") << "#main_box > .left-wrap" << "#login_panel #top_panel1 #top_panel2" << "";
    QTest::newRow("right column") << "#main_box > .right-wrap" << "#login_button" << "";
    QTest::newRow("login rows") << "#login_panel" << "div.box-item div.box-item" << "";
    QTest::newRow("username row") << "#login_panel > .box-item:nth-child(1) > span" << "#username" << "";
    QTest::newRow("password row") << "#login_panel > .box-item:nth-child(2) > span" << "#password" << "";
    QTest::newRow("input wrapper") << "#login_panel > .box-item" << "span.input-box" << "";
    QTest::newRow("surveys row") << "#top_panel1 > .box-item:nth-child(1)" << "#user_surveys_label #user_surveys" << "";
    QTest::newRow("score row") << "#top_panel1 > .box-item:nth-child(2)" << "#average_score_label #average_score" << "";
    QTest::newRow("position row") << "#top_panel2 > .box-item:nth-child(1)" << "#team_position_label #team_position" << "";
    QTest::newRow("team row") << "#top_panel2 > .box-item:nth-child(2)" << "#team_surveys_label #team_surveys" << "";
    QTest::newRow("bottom panel") << "#bottom_panel" << "div.latest-calls div.no-transfers-form" << "";
    QTest::newRow("latest calls") << "#bottom_panel > .latest-calls" << "h2\"Latest Calls\" ul.progress-bars #call_check #call_cross #call_score" << "";
    QTest::newRow("bars") << "#bottom_panel ul.progress-bars" << "#call_bar_1 #call_bar_2 #call_bar_3 #call_bar_4 #call_bar_5" << nbsp;
    QTest::newRow("no-transfer form") << "#bottom_panel > .no-transfers-form" << "#no_transfer div.right-wrap" << "";
    QTest::newRow("add link") << "#bottom_panel > .no-transfers-form > .right-wrap" << "a.blue-button[#add]\"Add\"" << "";
    QTest::newRow("media box") << "#media_box" << "#bottom_panel div.survey-wrap div.right-wrap div.survey-wrap div.survey-wrap div.right-wrap" << "";
    QTest::newRow("account heading") << mediaBox + "#bottom_panel" << "div.latest-calls" << "";
    QTest::newRow("account heading text") << mediaBox + "#bottom_panel > .latest-calls" << "h2\"Account Details\"" << "";
    QTest::newRow("ref wrap") << mediaBox + ".survey-wrap:nth-child(2)" << "#login_panel" << "";
    QTest::newRow("ref panel") << mediaBox + ".survey-wrap:nth-child(2) > #login_panel" << "div.box-item" << "";
    QTest::newRow("ref row") << mediaBox + ".survey-wrap:nth-child(2) > #login_panel > .box-item" << "span.input-box" << "";
    QTest::newRow("lookup") << mediaBox + ".right-wrap:nth-child(3)" << "#lookup_button" << "";
    QTest::newRow("customer wrap") << mediaBox + ".survey-wrap:nth-child(4)" << "#login_panel" << "";
    QTest::newRow("customer rows") << mediaBox + ".survey-wrap:nth-child(4) > #login_panel" << "div.box-item div.box-item div.box-item" << "";
    QTest::newRow("cli row") << mediaBox + ".survey-wrap:nth-child(4) > #login_panel > .box-item:nth-child(1) > span.input-box" << "#cli" << "";
    QTest::newRow("email row") << mediaBox + ".survey-wrap:nth-child(4) > #login_panel > .box-item:nth-child(2) > span.input-box" << "#email" << "";
    QTest::newRow("names row") << mediaBox + ".survey-wrap:nth-child(4) > #login_panel > .box-item:nth-child(3)" << "span.input-box.input-box2" << "";
    QTest::newRow("names") << ".input-box2" << "#title #fname #sname" << "";
    QTest::newRow("reason wrap") << mediaBox + ".survey-wrap:nth-child(5)" << "#login_panel" << "";
    QTest::newRow("reason row") << mediaBox + ".survey-wrap:nth-child(5) > #login_panel > .box-item > span.input-box" << "#reason" << "";
    QTest::newRow("reason options") << "#reason" << "option\"Call Reason...\"" << "";
    QTest::newRow("survey") << mediaBox + ".right-wrap:nth-child(6)" << "#login_button" << "";
    QTest::newRow("error panel") << "#error_panel" << "#error_text" << "";
    // clang-format on
}

void TstPage::boxes()
{
    QFETCH(QString, selector);
    QFETCH(QString, children);
    QFETCH(QString, text);

    const QVariantMap found = eval(QStringLiteral(R"JS(
        (function () {
            var el = document.querySelector('%1');
            if (!el)
                return null;
            return { children: Array.prototype.map.call(el.children, describe).join(' '),
                     text: ownText(el) };
        })()
    )JS")
                                       .arg(selector))
                                  .toMap();
    QVERIFY2(!found.isEmpty(), "no element matches");
    QCOMPARE(found.value("children").toString(), children);
    QCOMPARE(found.value("text").toString(), text);
}

// Exactly the ids the program relies on; three of them repeated, and a lookup by id
// finds the first in document order: the Login link and the login fields' panel.
void TstPage::idsAndFirstMatch()
{
    QStringList expected = {
        "average_score", "bottom_panel x2", "box_header",      "button_collapse",
        "button_expand", "call_check",      "call_cross",      "call_score",
        "cli",           "container",       "email",           "error_panel",
        "error_text",    "fname",           "login_button x2", "login_panel x4",
        "lookup_button", "main_box",        "media_box",       "media_button",
        "no_transfer",   "password",        "reason",          "ref",
        "sname",         "team_position",   "team_surveys",    "title",
        "top_panel1",    "top_panel2",      "user_surveys",    "username"};
    for (int i = 1; i <= 5; ++i)
        expected << QStringLiteral("call_bar_%1").arg(i);
    // The figures' labels, which name the figures for screen readers.
    for (const char *figure : {"user_surveys", "average_score", "team_position", "team_surveys"})
        expected << QStringLiteral("%1_label").arg(QLatin1String(figure));
    expected.sort();

    const QVariantMap counts = eval(R"JS(
        (function () {
            var counts = {};
            document.querySelectorAll('[id]').forEach(function (el) {
                counts[el.id] = (counts[el.id] || 0) + 1;
            });
            return counts;
        })()
    )JS")
                                   .toMap();
    QStringList ids;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        const int n = it.value().toInt();
        ids << (n == 1 ? it.key() : QStringLiteral("%1 x%2").arg(it.key()).arg(n));
    }
    ids.sort();
    QCOMPARE(ids, expected);

    QCOMPARE(eval("document.querySelector('#login_button').getAttribute('href')").toString(),
             QStringLiteral("#login"));
    QCOMPARE(eval("document.querySelector('#login_button').textContent").toString(),
             QStringLiteral("Login"));
    QCOMPARE(eval("document.querySelector('#login_panel').contains("
                  "document.querySelector('#username'))"
                  " && document.querySelector('#login_panel').contains("
                  "document.querySelector('#password'))")
                 .toBool(),
             true);
    QCOMPARE(eval("document.querySelector('#bottom_panel').parentElement.id").toString(),
             QStringLiteral("main_box"));

    // The call-reason list: one option, empty value, selected.
    const QVariantMap reason = eval(R"JS(
        (function () {
            var list = document.querySelector('#reason');
            return { length: list.length, value: list.options[0].value,
                     text: list.options[0].text, selected: list.value };
        })()
    )JS")
                                   .toMap();
    QCOMPARE(reason.value("length").toInt(), 1);
    QCOMPARE(reason.value("value").toString(), QString());
    QCOMPARE(reason.value("text").toString(), QStringLiteral("Call Reason..."));
    QCOMPARE(reason.value("selected").toString(), QString());
}

void TstPage::views_data()
{
    QTest::addColumn<QString>("setup"); // page changes as the program makes them
    QTest::addColumn<QString>("box");   // the box that must hold its content
    QTest::addColumn<int>("height");    // of #container

    const QString show = "document.querySelector('%1').style.display = 'block';";
    const QString hide = "document.querySelector('%1').style.display = 'none';";
    const QString expand = "document.querySelector('#container').classList.remove("
                           "'container-collapsed');";
    const QString loggedIn = hide.arg("#login_panel") + show.arg("#top_panel1") +
                             show.arg("#top_panel2") + show.arg("#button_expand") +
                             show.arg("#media_button") +
                             "document.querySelector('#user_surveys').textContent = '1234';"
                             "document.querySelector('#average_score').textContent = '100%';"
                             "document.querySelector('#login_button').textContent = 'Logout';";
    QString call =
        show.arg("#call_check") + "document.querySelector('#call_score').textContent = '100%';";
    for (int i = 1; i <= 5; ++i) {
        call += show.arg(QStringLiteral("#call_bar_%1").arg(i)) +
                QStringLiteral("document.querySelector('#call_bar_%1').textContent = '10';").arg(i);
    }
    const QString media = expand + hide.arg("#main_box") + show.arg("#media_box") +
                          show.arg("#error_panel") +
                          "document.querySelector('#error_text').textContent ="
                          " 'Survey has been sent';";

    QTest::newRow("compact, logged out") << ""
                                         << "#main_box" << 90;
    QTest::newRow("compact, logged in") << loggedIn << "#main_box" << 90;
    QTest::newRow("expanded, during a call") << loggedIn + expand + call << "#main_box" << 268;
    QTest::newRow("media") << loggedIn + media << "#media_box" << 268;
}

// The window is 364 x 90 compact and 364 x 268 otherwise: the collapsed container shows
// only its top 90 pixels, the expanded one is the 26-pixel header over a 242-pixel box,
// and each face fits in its box.
void TstPage::views()
{
    QFETCH(QString, setup);
    QFETCH(QString, box);
    QFETCH(int, height);

    const QVariantMap found = eval(setup + QStringLiteral(R"JS(
        (function () {
            var container = document.querySelector('#container').getBoundingClientRect();
            var boxElement = document.querySelector('%1');
            var rect = boxElement.getBoundingClientRect();
            var header = document.querySelector('#box_header').getBoundingClientRect();
            var expand = document.querySelector('#button_expand').getBoundingClientRect();
            var media = document.querySelector('#media_button').getBoundingClientRect();
            return { top: container.top, left: container.left, width: container.width,
                     height: container.height, boxTop: rect.top - container.top,
                     boxWidth: rect.width, boxHeight: rect.height,
                     contentHeight: boxElement.scrollHeight,
                     contentWidth: boxElement.scrollWidth, headerBottom: header.bottom,
                     expandRight: expand.width ? expand.right : 0,
                     mediaLeft: media.width ? media.left : 364, mediaRight: media.right };
        })()
    )JS")
                                               .arg(box))
                                  .toMap();
    QVERIFY(!found.isEmpty());
    QCOMPARE(found.value("top").toDouble(), 0.0);
    QCOMPARE(found.value("left").toDouble(), 0.0);
    QCOMPARE(found.value("width").toDouble(), 364.0);
    QCOMPARE(found.value("height").toDouble(), double(height));
    QCOMPARE(found.value("boxTop").toDouble(), 26.0);
    QCOMPARE(found.value("boxWidth").toDouble(), 364.0);
    QCOMPARE(found.value("boxHeight").toDouble(), 242.0);
    QVERIFY(found.value("headerBottom").toDouble() <= 26.0);
    QVERIFY2(found.value("contentHeight").toInt() <= 242, "content overflows the box");
    QVERIFY2(found.value("contentWidth").toInt() <= 364, "content overflows the box");
    // The window is dragged by the header strip x 26..308: the round button lies left of
    // it, the media link right of it, inside the window.
    QVERIFY(found.value("expandRight").toDouble() <= 26.0);
    QVERIFY(found.value("mediaLeft").toDouble() > 308.0);
    QVERIFY(found.value("mediaRight").toDouble() <= 364.0);
}

void TstPage::theme_data()
{
    QTest::addColumn<QString>("selector");
    QTest::addColumn<QString>("property");
    QTest::addColumn<QString>("value"); // computed

    const QString family = "Verdana, \"Helvetica Neue\", Helvetica, Arial, sans-serif";
    // clang-format off
    QTest::newRow("green figure") << "#user_surveys" << "background-color" << "rgb(115, 186, 98)";
    QTest::newRow("red figure") << "#average_score" << "background-color" << "rgb(208, 77, 78)";
    QTest::newRow("yellow figure") << "#team_position" << "background-color" << "rgb(232, 147, 0)";
    QTest::newRow("red figure 2") << "#team_surveys" << "background-color" << "rgb(208, 77, 78)";
    QTest::newRow("body transparent") << "body" << "background-color" << "rgba(0, 0, 0, 0)";
    QTest::newRow("body font") << "body" << "font-family" << family;
    QTest::newRow("body size") << "body" << "font-size" << "14px";
    QTest::newRow("body line") << "body" << "line-height" << "20px";
    QTest::newRow("body text") << "body" << "color" << "rgb(0, 0, 0)";
    QTest::newRow("root size") << "html" << "font-size" << "10px";
    QTest::newRow("heading font") << "h2" << "font-family" << family;
    QTest::newRow("collapsed clips") << "#container" << "overflow-y" << "hidden";
    QTest::newRow("check image") << "#call_check" << "background-image" << "url(\"qrc:/res/img/check.png\")";
    QTest::newRow("cross image") << "#call_cross" << "background-image" << "url(\"qrc:/res/img/cross.png\")";
    QTest::newRow("header right") << "#box_header > div" << "float" << "right";
    QTest::newRow("links white") << "#login_button" << "color" << "rgb(255, 255, 255)";
    QTest::newRow("links plain") << "#login_button" << "text-decoration-line" << "none";
    // clang-format on
}

void TstPage::theme()
{
    QFETCH(QString, selector);
    QFETCH(QString, property);
    QFETCH(QString, value);

    QCOMPARE(eval(QStringLiteral("getComputedStyle(document.querySelector('%1'))"
                                 ".getPropertyValue('%2')")
                      .arg(selector, property))
                 .toString(),
             value);
}

int main(int argc, char **argv)
{
    // Nothing has called Q_INIT_RESOURCE: linking brellow_res must be enough.
    pageResourceAtStart = QFile::exists(QStringLiteral(":/res/index.html"));

    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    EngineDefaults::apply(SiteSettings::load());
    QApplication app(argc, argv);
    TstPage test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_page.moc"
