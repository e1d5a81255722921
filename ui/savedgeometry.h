#pragma once

#include <QByteArray>
#include <QRect>

#include <optional>

namespace Brellow {

// Reads the window's place back from the value QWidget::saveGeometry() stored under
// mainWindowGeometry, without letting Qt restore it: Brellow decides itself where a
// place that no longer lies on a screen goes.
class SavedGeometry
{
public:
    // The window's rectangle (without frame), or nothing when the value is not
    // one that saveGeometry() writes: empty, cut short, of another format or
    // holding an empty rectangle.
    static std::optional<QRect> windowRect(const QByteArray &saved);
};

} // namespace Brellow
