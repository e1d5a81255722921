#include <app/platformchoice.h>

#include <QtGlobal>

namespace Brellow {

namespace PlatformChoice {

QByteArray preferredPlatform(const QStringList &arguments, const QByteArray &qpaPlatform,
                             const QByteArray &waylandDisplay, const QByteArray &sessionType)
{
    if (!qpaPlatform.isEmpty())
        return {};
    // Qt reads its options with one or two leading dashes; the program's own
    // name is not an option.
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == QLatin1String("-platform") || argument == QLatin1String("--platform"))
            return {};
    }
    if (waylandDisplay.isEmpty() && sessionType != "wayland")
        return {};
    return QByteArrayLiteral("xcb;wayland");
}

void apply(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const QByteArray platform =
        preferredPlatform(arguments, qgetenv("QT_QPA_PLATFORM"), qgetenv("WAYLAND_DISPLAY"),
                          qgetenv("XDG_SESSION_TYPE"));
    if (!platform.isEmpty())
        qputenv("QT_QPA_PLATFORM", platform);
}

} // namespace PlatformChoice

} // namespace Brellow
