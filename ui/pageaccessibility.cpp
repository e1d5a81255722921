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
    const QString given = answer.trimmed();
    const QString number = QString::number(question);
    if (given.isEmpty())
        //: Screen reader: a bar of the current call whose question has no answer yet.
        return tr("Question %1: no answer yet").arg(number);
    if (!barValue(answer))
        //: Screen reader: a bar of the current call; %2 is the caller's answer as
        //: the server sent it.
        return tr("Question %1: %2").arg(number, given);
    //: Screen reader: a bar of the current call; the caller's answer %2 on a scale up to %3.
    return tr("Question %1: %2 of %3").arg(number, given, QString::number(BestAnswer));
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
