// The reference for Brellow's start-up: a bare QWebEngineView with Qt's defaults
// loading the same compiled-in page. Prints the wall-clock time (microseconds)
// at which loadFinished fired, so that the bench can compare it with what it
// sees through the debugging endpoint.
#include <QApplication>
#include <QTextStream>
#include <QUrl>
#include <QWebEngineView>

#include <ctime>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWebEngineView view;
    // Brellow's window size, so that both paint the same area.
    view.resize(364, 90);
    QObject::connect(&view, &QWebEngineView::loadFinished, &view, [](bool ok) {
        timespec ts{};
        clock_gettime(CLOCK_REALTIME, &ts);
        QTextStream(stdout) << "loadFinished " << (ok ? "ok" : "failed") << ' '
                            << qint64(ts.tv_sec) * 1000000 + ts.tv_nsec / 1000 << Qt::endl;
    });
    view.load(QUrl(QStringLiteral("qrc:/res/index.html")));
    view.show();
    return app.exec();
}
