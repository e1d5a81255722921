#include <app/accessibilitychoice.h>
#include <app/application.h>
#include <app/commandline.h>
#include <app/enginedefaults.h>
#include <app/platformchoice.h>
#include <app/resumepolicy.h>
#include <app/serveraddress.h>
#include <app/singleinstance.h>
#include <app/sitesettings.h>
#include <app/translations.h>
#include <common/signalwatcher.h>
#include <net/receiver.h>
#include <net/sessionkeeper.h>
#include <ui/announcer.h>
#include <ui/mainwindow.h>
#include <ui/traynotices.h>

#include <QApplication>
#include <QDBusConnection>
#include <QMessageBox>
#include <QSessionManager>

#include <cstdio>

using namespace Brellow;

// A start-up error box; its result is exitCode. The event loop does not run yet,
// so a terminating signal or the end of the session closes the box itself, as
// its own button would, instead of calling quit().
static int showStartupError(Application &app, const QString &text, int exitCode)
{
    if (app.isQuitRequested())
        return exitCode;
    QMessageBox box(QMessageBox::Critical, QCoreApplication::applicationName(), text,
                    QMessageBox::Close);
    // The text may hold a setting as written; it is never markup.
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::NoButton);
    QObject::connect(&app, &Application::quitRequested, &box,
                     [&box] { box.done(QMessageBox::Close); });
    box.exec();
    return exitCode;
}

int main(int argc, char *argv[])
{
    // Help and version need no display, so they are answered (in the agent's
    // language) before Qt's GUI starts; they leave before the log is opened, so they never empty
    // the log of a Brellow that is running.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine::Action early = CommandLine::earlyAction(arguments);
    if (early == CommandLine::Action::ShowHelpAll) {
        // Qt lists the options of its GUI only from a GUI application object. On
        // the offscreen platform that needs no display, and Brellow's own options
        // are set aside so that none of Qt's (-platform xcb) can ask for one.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        int count = 1;
        QApplication help(count, argv);
        QCoreApplication::setApplicationVersion(Application::version());
        Translations::install(&help, Translations::choose(SiteSettings::load()).language);
        CommandLine({arguments.first(), QStringLiteral("--help-all")}).showHelpAll();
    }
    if (early != CommandLine::Action::Run) {
        // Names the program in the usage line, as argv[0] gives it.
        QCoreApplication core(argc, argv);
        QCoreApplication::setApplicationVersion(Application::version());
        Translations::install(&core, Translations::choose(SiteSettings::load()).language);
        const QString option = early == CommandLine::Action::ShowHelp ? QStringLiteral("--help")
                                                                      : QStringLiteral("--version");
        std::fputs(qPrintable(CommandLine({arguments.first(), option}).output()), stdout);
        return 0;
    }

    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // Ties the window to brellow.desktop: its icon and name in docks and switchers.
    QGuiApplication::setDesktopFileName(QStringLiteral("brellow"));
    PlatformChoice::apply(argc, argv);
    // The site's file, read once; the engine's part must be known before Qt starts.
    const SiteSettings site = SiteSettings::load();
    const EngineDefaults engine = EngineDefaults::apply(site);
    Application app(argc, argv);
    const Translations::Choice language = Translations::choose(site);
    const QString loadedTranslations = Translations::install(&app, language.language);

    // Forms of help and version that only a full parse finds (-hx, a bundle with
    // other letters), now that Qt has taken its own options out.
    const CommandLine commandLine(QCoreApplication::arguments());
    if (commandLine.action() != CommandLine::Action::Run) {
        std::fputs(qPrintable(commandLine.output()), stdout);
        return 0;
    }

    // One Brellow per user and desktop session. A second start only brings the
    // first one's window forward; it must not open (and so empty) the log.
    SingleInstance instance;
    if (!instance.isFirst()) {
        instance.raiseFirst();
        return 0;
    }

    // A terminating signal or the end of the desktop session leaves like "Exit":
    // the event loop ends and the window, destroyed below, logs out.
    SignalWatcher watcher;
    QObject::connect(&watcher, &SignalWatcher::signalled, &app, [&app] { app.requestQuit(); });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &app,
                     [&app](QSessionManager &) { app.requestQuit(); });

    app.openSettingsAndLog();
    app.log(engine.description());
    qInstallMessageHandler(messageHandler);
    app.log(QStringLiteral("platform %1").arg(QGuiApplication::platformName()));
    if (!commandLine.ignored().isEmpty())
        app.log(QStringLiteral("ignored arguments: %1").arg(commandLine.ignored().join(' ')));
    // Before any box, which speaks this language.
    app.log(QStringLiteral("%1: %2").arg(language.description(), loadedTranslations));

    LocalizedText configError;
    const ServerAddress server =
        ServerAddress::configured(commandLine.server(), site, &configError);
    if (!server.isValid()) {
        app.log(configError.english());
        return showStartupError(app, configError.translated(), 2);
    }
    app.log(QStringLiteral("server %1 from %2").arg(server.toString(), server.source()));

    if (!app.connectToServer(server, Receiver::ConnectTimeoutMs))
        return showStartupError(
            app,
            QCoreApplication::translate("Brellow::Application",
                                        "Cannot find server. Please check "
                                        "the Internet connection and try again."),
            1);

    const ResumePolicy resume = ResumePolicy::fromSite(site);
    app.log(resume.description());
    // Before the window: its web view starts the engine, which reads the choice once.
    app.log(AccessibilityChoice::apply(site).description());

    MainWindow window;
    window.sessionKeeper()->setResumeLimitMs(resume.limitMs());
    window.setVisible(true);
    window.setAttribute(Qt::WA_QuitOnClose, true);
    // Both are the window's children; they go with it.
    new Announcer(&window);
    new TrayNotices(&window, QDBusConnection::sessionBus());
    QObject::connect(&instance, &SingleInstance::raiseRequested, &window,
                     &MainWindow::bringToFront);
    instance.listen();
    if (app.isQuitRequested())
        return 0;
    return app.exec();
}
