#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

class QWebEnginePage;

// Synchronous reads and writes of a real page, for tests: each runs a script in
// the program's own world and waits for its answer. Scripts on one page run in
// call order, so each also waits for every write made before it.
namespace UiTest {

QVariant evaluate(QWebEnginePage *page, const QString &script, int timeoutMs = 30000);

// A script literal holding exactly `text`.
QString jsString(const QString &text);

// Page state as the agent sees it.
QString display(QWebEnginePage *page, const QString &selector);
bool isShown(QWebEnginePage *page, const QString &selector);
// Whether the agent can see the element: it and every ancestor displayed and
// visible, and its box, not empty, wholly inside the window's viewport. Empty
// text when so, else what keeps it from view.
QString offScreenReason(QWebEnginePage *page, const QString &selector);
QString text(QWebEnginePage *page, const QString &selector);
QString value(QWebEnginePage *page, const QString &selector);
QVariant attribute(QWebEnginePage *page, const QString &selector, const QString &name);
bool hasClass(QWebEnginePage *page, const QString &selector, const QString &name);
bool isDisabled(QWebEnginePage *page, const QString &selector);

// Everything of the page that writes can change, one line per element in
// document order: tag, attributes (inline style as the browser reads it), form
// value, own text and the picked option of a list.
QStringList domState(QWebEnginePage *page);

// Types into a field, as the agent would: the program is not told.
void setValue(QWebEnginePage *page, const QString &selector, const QString &text);

} // namespace UiTest
