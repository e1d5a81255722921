#include <ui/pageaccessibility.h>

#include <ui/pagebridge.h>

#include <optional>

namespace Brellow {

namespace {

// The answer as a bar value, when it is one.
std::optional<double> barValue(const QString &answer)
{
    bool ok = false;
    const double value = answer.trimmed().toDouble(&ok);
    if (!ok || value < 0 || value > PageAccessibility::BestAnswer)
        return std::nullopt;
    return value;
}

} // namespace

QString PageAccessibility::barValueText(int question, const QString &answer)
{
    const QString prefix = QStringLiteral("Question %1: ").arg(question);
    if (answer.trimmed().isEmpty())
        return prefix + QStringLiteral("no answer yet");
    if (!barValue(answer))
        return prefix + answer.trimmed();
    return prefix + QStringLiteral("%1 of %2").arg(answer.trimmed()).arg(BestAnswer);
}

void PageAccessibility::describeBar(PageBridge &bridge, int question, const QString &answer)
{
    const QString bar = QStringLiteral("#call_bar_%1").arg(question);
    const QString now = QStringLiteral("aria-valuenow");
    if (const std::optional<double> value = barValue(answer))
        bridge.setElementAttribute(bar, now, QString::number(*value));
    else
        bridge.removeElementAttribute(bar, now);
    bridge.setElementAttribute(bar, QStringLiteral("aria-valuetext"),
                               barValueText(question, answer));
}

} // namespace Brellow
