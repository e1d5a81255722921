#include <ui/savedgeometry.h>

#include <QDataStream>

namespace Brellow {

namespace {

// The layout QWidget::saveGeometry() writes: a magic number, the format's version,
// the frame and normal geometry, the screen, two state flags, from version 2 the
// screen's width and from version 3 the geometry without frame.
constexpr quint32 Magic = 0x1D9D0CB;
constexpr quint16 NewestMajorVersion = 3;

} // namespace

std::optional<QRect> SavedGeometry::windowRect(const QByteArray &saved)
{
    QDataStream stream(saved);
    stream.setVersion(QDataStream::Qt_4_0);
    quint32 magic = 0;
    quint16 major = 0;
    quint16 minor = 0;
    stream >> magic >> major >> minor;
    if (magic != Magic || major < 1 || major > NewestMajorVersion)
        return std::nullopt;

    QRect frame;
    QRect normal;
    qint32 screen = 0;
    quint8 maximized = 0;
    quint8 fullScreen = 0;
    stream >> frame >> normal >> screen >> maximized >> fullScreen;
    QRect window = frame;
    if (major >= 2) {
        qint32 screenWidth = 0;
        stream >> screenWidth;
    }
    if (major >= 3)
        stream >> window;
    if (stream.status() != QDataStream::Ok || !window.isValid())
        return std::nullopt;
    return window;
}

} // namespace Brellow
