// brellow-screenshot: saves the X screen, or one window of it, as a PNG file.
//   brellow-screenshot OUTPUT.png [WINDOW-ID]
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        QTextStream(stderr) << "usage: brellow-screenshot OUTPUT.png [WINDOW-ID]\n";
        return 2;
    }
    const WId window = args.size() > 2 ? WId(args.at(2).toULongLong(nullptr, 0)) : WId(0);
    const QPixmap shot = app.primaryScreen()->grabWindow(window);
    if (shot.isNull() || !shot.save(args.at(1), "PNG")) {
        QTextStream(stderr) << "could not save " << args.at(1) << "\n";
        return 1;
    }
    return 0;
}
