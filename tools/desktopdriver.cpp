#include <tools/desktopdriver.h>

#include <tools/childprocess.h>

#include <ui/brellowpage.h>
#include <ui/mainwindow.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QSet>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>

#include <xcb/xcb.h>

#include <csignal>
#include <cstdlib>

using namespace Brellow;

namespace DesktopDriver {

namespace {

void wait(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

QString run(const QString &program, const QStringList &args)
{
    QProcess p;
    ChildProcess::dieWithParent(p);
    p.start(program, args);
    p.waitForFinished(10000);
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

QVariant evaluate(QWebEnginePage *page, const QString &script)
{
    QVariant result;
    bool done = false;
    QEventLoop loop;
    page->runJavaScript(script, QWebEngineScript::ApplicationWorld, [&](const QVariant &r) {
        result = r;
        done = true;
        loop.quit();
    });
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    if (!done)
        loop.exec();
    return result;
}

} // namespace

LoggedProcess::LoggedProcess(QObject *parent) : QObject(parent)
{
    // Standard error is passed through: unread, its pipe could fill and stall the child.
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    ChildProcess::dieWithParent(m_process);
    m_process.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
    connect(&m_process, &QProcess::readyReadStandardOutput, this, &LoggedProcess::readOutput);
}

LoggedProcess::~LoggedProcess()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

void LoggedProcess::readOutput()
{
    m_partial += m_process.readAllStandardOutput();
    qsizetype end;
    while ((end = m_partial.indexOf('\n')) >= 0) {
        m_lines << QString::fromUtf8(m_partial.left(end));
        m_partial.remove(0, end + 1);
    }
}

int LoggedProcess::waitForLine(const QRegularExpression &pattern, int from, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        readOutput();
        for (int i = from; i < m_lines.size(); ++i) {
            if (pattern.match(m_lines.at(i)).hasMatch())
                return i;
        }
        if (timer.elapsed() > timeoutMs)
            return -1;
        wait(50);
    }
}

QStringList LoggedProcess::linesMatching(const QRegularExpression &pattern, int from) const
{
    QStringList found;
    for (int i = from; i < m_lines.size(); ++i) {
        if (pattern.match(m_lines.at(i)).hasMatch())
            found << m_lines.at(i);
    }
    return found;
}

bool LoggedProcess::terminate(int timeoutMs)
{
    if (m_process.state() == QProcess::NotRunning)
        return true;
    ::kill(pid_t(m_process.processId()), SIGTERM);
    const bool ended = m_process.waitForFinished(timeoutMs);
    readOutput();
    return ended;
}

quint16 startPracticeServer(LoggedProcess &sim, const QString &program, quint16 port,
                            const QStringList &arguments)
{
    sim.process().start(
        program, QStringList{QStringLiteral("--listen"), QStringLiteral("127.0.0.1:%1").arg(port)} +
                     arguments);
    if (!sim.process().waitForStarted())
        return 0;
    const QRegularExpression listening(QStringLiteral(R"( listening 127\.0\.0\.1:(\d+)$)"));
    const int line = sim.waitForLine(listening);
    if (line < 0)
        return 0;
    return quint16(listening.match(sim.lines().at(line)).captured(1).toUInt());
}

QRect elementRect(const QString &selector, Face face)
{
    const bool expanded = face == Face::LoggedInExpanded;
    QWebEngineView view;
    view.resize(MainWindow::WindowWidth,
                expanded ? MainWindow::ExpandedHeight : MainWindow::CompactHeight);
    view.move(0, 0);
    view.show();
    QEventLoop loop;
    bool ok = false;
    QObject::connect(&view, &QWebEngineView::loadFinished, &loop, [&](bool result) {
        ok = result;
        loop.quit();
    });
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    view.load(BrellowPage::homeUrl());
    loop.exec();
    if (!ok)
        return {};
    if (face != Face::LoggedOutCompact) {
        evaluate(view.page(),
                 QStringLiteral("document.getElementById('login_panel').style.display='none';"
                                "for (const id of ['top_panel1','top_panel2','%1'])"
                                " document.getElementById(id).style.display='block';")
                     .arg(expanded ? QStringLiteral("button_collapse")
                                   : QStringLiteral("button_expand")));
    }
    if (expanded) {
        evaluate(view.page(), QStringLiteral("document.getElementById('container')"
                                             ".classList.remove('container-collapsed');"));
    }
    const QVariantList r =
        evaluate(view.page(),
                 QStringLiteral(
                     "(function(){var r=document.querySelector(\"%1\").getBoundingClientRect();"
                     "return [r.left,r.top,r.width,r.height];})()")
                     .arg(selector))
            .toList();
    if (r.size() != 4)
        return {};
    return QRectF(r.at(0).toDouble(), r.at(1).toDouble(), r.at(2).toDouble(), r.at(3).toDouble())
        .toAlignedRect();
}

bool selectionOwned(const QByteArray &name)
{
    const auto *native = qApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *c = native ? native->connection() : nullptr;
    if (!c)
        return false;
    xcb_intern_atom_reply_t *atom = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, uint16_t(name.size()), name.constData()), nullptr);
    if (!atom)
        return false;
    xcb_get_selection_owner_reply_t *owner =
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, atom->atom), nullptr);
    std::free(atom);
    if (!owner)
        return false;
    const bool owned = owner->owner != XCB_WINDOW_NONE;
    std::free(owner);
    return owned;
}

QString findWindow(const QString &className, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        const QString ids = run(QStringLiteral("xdotool"),
                                {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                 QStringLiteral("--classname"), className});
        if (!ids.isEmpty())
            return ids.section(QLatin1Char('\n'), 0, 0);
        wait(100);
    }
    return {};
}

QStringList brellowWindows()
{
    return run(QStringLiteral("xdotool"),
               {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                QStringLiteral("--classname"), QStringLiteral("^brellow$")})
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QString findMainWindow(int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    do {
        for (const QString &id : brellowWindows()) {
            if (run(QStringLiteral("xdotool"), {QStringLiteral("getwindowname"), id}) ==
                QLatin1String("Brellow"))
                return id;
        }
        if (timer.elapsed() < timeoutMs)
            wait(100);
    } while (timer.elapsed() < timeoutMs);
    return {};
}

QProcessEnvironment brellowEnvironment(const QString &home)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "XDG_SESSION_TYPE",
                             "QT_SCALE_FACTOR", "QTWEBENGINE_CHROMIUM_FLAGS", "BRELLOW_SERVER"})
        env.remove(QLatin1String(name));
    const QDir dir(home);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_CONFIG_DIRS"), dir.filePath(QStringLiteral("site")));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.filePath(QStringLiteral("run")));
    env.insert(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"), QStringLiteral("1"));
    return env;
}

bool waitForFace(const QRect &window, int timeoutMs)
{
    // The page's face has many colours; an empty window, or one still loading, few.
    QElapsedTimer timer;
    timer.start();
    do {
        const QImage shot = grab(window);
        QSet<QRgb> colours;
        for (int y = 0; y < shot.height() && colours.size() < 16; y += 2) {
            for (int x = 0; x < shot.width(); x += 2)
                colours.insert(shot.pixel(x, y));
        }
        if (colours.size() >= 16)
            return true;
        wait(100);
    } while (timer.elapsed() < timeoutMs);
    return false;
}

void typeLogin(const QRect &window, const QString &username, const QString &password)
{
    static const QRect user = elementRect(QStringLiteral("#username"), Face::LoggedOutCompact);
    static const QRect pass = elementRect(QStringLiteral("#password"), Face::LoggedOutCompact);
    static const QRect login = elementRect(QStringLiteral("#login_button"), Face::LoggedOutCompact);
    click(window.topLeft() + user.center());
    type(username);
    click(window.topLeft() + pass.center());
    type(password);
    click(window.topLeft() + login.center());
}

QRect windowGeometry(const QString &windowId)
{
    const QString shell = run(QStringLiteral("xdotool"), {QStringLiteral("getwindowgeometry"),
                                                          QStringLiteral("--shell"), windowId});
    QMap<QString, int> values;
    for (const QString &line : shell.split(QLatin1Char('\n'))) {
        const QString key = line.section(QLatin1Char('='), 0, 0);
        values.insert(key, line.section(QLatin1Char('='), 1).toInt());
    }
    if (!values.contains(QStringLiteral("WIDTH")))
        return {};
    return QRect(values.value(QStringLiteral("X")), values.value(QStringLiteral("Y")),
                 values.value(QStringLiteral("WIDTH")), values.value(QStringLiteral("HEIGHT")));
}

QRect waitForWindowSize(const QString &windowId, const QSize &size, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        const QRect geometry = windowGeometry(windowId);
        if (geometry.size() == size)
            return geometry;
        wait(100);
    }
    return {};
}

void click(const QPoint &globalPos)
{
    run(QStringLiteral("xdotool"),
        {QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(globalPos.x()),
         QString::number(globalPos.y()), QStringLiteral("click"), QStringLiteral("1")});
    wait(150);
}

void type(const QString &text)
{
    run(QStringLiteral("xdotool"),
        {QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("25"), text});
    wait(150);
}

QImage grab(const QRect &area)
{
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
        .toImage();
}

} // namespace DesktopDriver
