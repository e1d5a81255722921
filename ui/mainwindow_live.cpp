#include "mainwindow.h"

#include "messages.h"

#include <QTimer>

namespace {
constexpr int BarCount = 5;
}

void MainWindow::onUpdateLive(QVariantMap data)
{
    if (viewMode != MediaMode)
        setViewMode(ExpandedMode, false);

    // Bars 1..q show the first q answers, the rest are hidden. The page has five
    // bars, so counting past five would change nothing: stop there. A bar whose
    // answer has not arrived yet shows empty.
    const QVariantList answers = Messages::toList(data.value(QStringLiteral("call_answers")));
    const int question = data.value(QStringLiteral("call_question")).toInt();
    for (int i = 1; i <= BarCount; ++i) {
        const QString bar = QStringLiteral("#call_bar_%1").arg(i);
        if (i <= question) {
            showElement(bar);
            setElementText(bar, i - 1 < answers.size() ? answers.at(i - 1).toString() : QString());
        } else {
            hideElement(bar);
        }
    }

    // Absent and null both mean the outcome is still open; anything else, a
    // numeric 0 included, is an outcome.
    const QVariant completed = data.value(QStringLiteral("call_completed"));
    const bool known = !completed.isNull();
    if (known && completed.toBool())
        showElement(QStringLiteral("#call_check"));
    else
        hideElement(QStringLiteral("#call_check"));
    if (known && !completed.toBool())
        showElement(QStringLiteral("#call_cross"));
    else
        hideElement(QStringLiteral("#call_cross"));

    if (known) {
        setElementText(QStringLiteral("#call_score"),
                       data.value(QStringLiteral("call_score")).toString());
        callEndTimer->start();
    } else {
        setElementText(QStringLiteral("#call_score"), QString());
        callEndTimer->stop();
    }

    if (data.value(QStringLiteral("call_started")).toBool()) {
        setElementValue(QStringLiteral("#cli"), data.value(QStringLiteral("call_cli")).toString());
        for (const char *field : {"#email", "#title", "#fname", "#sname", "#reason"})
            setElementValue(QLatin1String(field), QString());
    }
}

void MainWindow::onCallEndTimeout()
{
    if (viewMode != MediaMode)
        setViewMode(CompactMode, false);
}
