#include "mainwindow.h"

#include <cmath>
#include <limits>

namespace {

// The score as a whole percentage: narrowed to single precision first, then
// scaled and rounded half up, so 0.755 shows 75 and 0.745 shows 75. A value too
// large to show (infinity from a huge number) counts as unconvertible: 0.
qint64 percent(const QVariant &score)
{
    const float fraction = score.toFloat();
    const double x = static_cast<double>(fraction) * 100.0;
    const double rounded = std::floor(x + 0.5);
    if (!std::isfinite(rounded) || std::fabs(rounded) >= 9.0e18)
        return 0;
    return static_cast<qint64>(rounded);
}

QString number(const QVariant &value)
{
    return QStringLiteral("%1").arg(qint64(value.toInt()));
}

} // namespace

void MainWindow::onUpdateStat(QVariantMap data)
{
    setElementText(QStringLiteral("#user_surveys"),
                   number(data.value(QStringLiteral("user_surveys"))));
    setElementText(QStringLiteral("#average_score"),
                   QStringLiteral("%1%").arg(percent(data.value(QStringLiteral("average_score")))));
    setElementText(QStringLiteral("#team_position"),
                   number(data.value(QStringLiteral("team_position"))));
    setElementText(QStringLiteral("#team_surveys"),
                   number(data.value(QStringLiteral("team_surveys"))));
}
