// brellow-demo-drive: the demo where nobody watches. On an X server (Xvfb) it
// starts the practice server and Brellow, logs in with the demo account, lets a
// call play and saves the expanded and the compact window as PNG files.
//   brellow-demo-drive BRELLOW BRELLOW-SIM OUTPUT-DIR
#include <tools/desktopdriver.h>
#include <ui/mainwindow.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

using namespace Brellow;

using namespace DesktopDriver;

namespace {

QTextStream out(stdout);

int fail(const QString &why)
{
    QTextStream(stderr) << "demo: " << why << Qt::endl;
    return 1;
}

void pause(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

int main(int argc, char *argv[])
{
    // Keep the web engines' start-up chatter off the demo's terminal: this
    // driver's own Qt messages are of no use to whoever watches the demo.
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu --log-level=3");
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4)
        return fail(QStringLiteral("usage: brellow-demo-drive BRELLOW BRELLOW-SIM OUTPUT-DIR"));
    const QDir output(args.at(3));
    QDir().mkpath(output.absolutePath());
    QTemporaryDir config;

    LoggedProcess sim;
    sim.process().start(args.at(2), {QStringLiteral("--first-call"), QStringLiteral("2000"),
                                     QStringLiteral("--answer-step"), QStringLiteral("1500"),
                                     QStringLiteral("--stat-interval"), QStringLiteral("3000")});
    if (sim.waitForLine(QRegularExpression(QStringLiteral(" listening "))) < 0)
        return fail(QStringLiteral("the practice server did not start (is port 49999 taken?)"));
    out << "practice server up; demo account: user name demo, password demo" << Qt::endl;

    LoggedProcess brellow;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
    // Brellow picks its own engine settings; the driver's are not for it.
    env.remove(QStringLiteral("QTWEBENGINE_CHROMIUM_FLAGS"));
    brellow.process().setProcessEnvironment(env);
    brellow.process().start(args.at(1), {});
    const QString window = findWindow(QStringLiteral("brellow"), 30000);
    if (window.isEmpty())
        return fail(QStringLiteral("no Brellow window appeared"));
    QRect geometry =
        waitForWindowSize(window, QSize(MainWindow::WindowWidth, MainWindow::CompactHeight), 10000);
    pause(1500);

    out << "logging in as demo" << Qt::endl;
    auto at = [&](const char *selector, Face face) {
        return geometry.topLeft() + elementRect(QLatin1String(selector), face).center();
    };
    click(at("#username", Face::LoggedOutCompact));
    type(QStringLiteral("demo"));
    click(at("#password", Face::LoggedOutCompact));
    type(QStringLiteral("demo"));
    click(at("#login_button", Face::LoggedOutCompact));

    if (sim.waitForLine(QRegularExpression(QStringLiteral(R"( out .*"call_completed")")), 0,
                        30000) < 0)
        return fail(QStringLiteral("no call was played"));
    geometry =
        waitForWindowSize(window, QSize(MainWindow::WindowWidth, MainWindow::ExpandedHeight), 5000);
    if (geometry.isNull())
        return fail(QStringLiteral("the call did not expand the window"));
    pause(800);
    const QString expanded = output.absoluteFilePath(QStringLiteral("brellow-expanded.png"));
    grab(geometry).save(expanded);
    out << "expanded window during a call: " << expanded << Qt::endl;

    geometry =
        waitForWindowSize(window, QSize(MainWindow::WindowWidth, MainWindow::CompactHeight), 20000);
    if (geometry.isNull())
        return fail(QStringLiteral("the window did not collapse after the call"));
    pause(800);
    const QString compact = output.absoluteFilePath(QStringLiteral("brellow-compact.png"));
    grab(geometry).save(compact);
    out << "compact window after the call: " << compact << Qt::endl;

    brellow.terminate();
    sim.terminate();
    return 0;
}
