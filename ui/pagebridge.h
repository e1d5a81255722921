#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <functional>

class QWebEnginePage;

namespace Brellow {

// The program's only way into the page: it reads and changes elements by CSS
// selector (the first match counts) through small scripts in the program's own
// script world. Before the page has loaded every write is dropped and every
// read answers empty; writes and reads run in the order they were made.
class PageBridge : public QObject
{
    Q_OBJECT

public:
    // The page stays its view's; the bridge only holds it.
    explicit PageBridge(QWebEnginePage *page, QObject *parent = nullptr);

    bool isReady() const { return m_ready; }
    // Lets go of the page: later calls do nothing, and reads still on their way
    // never answer. For an owner that is about to destroy the page.
    void detach();

    void setElementText(const QString &selector, const QString &text);
    void hideElement(const QString &selector);
    void showElement(const QString &selector);
    void clearOptions(const QString &selector);
    void addOption(const QString &selector, const QString &text, const QString &value);
    void setElementValue(const QString &selector, const QString &value);
    void setElementAttribute(const QString &selector, const QString &name, const QString &value);
    void removeElementAttribute(const QString &selector, const QString &name);
    void addElementClass(const QString &selector, const QString &name);
    void removeElementClass(const QString &selector, const QString &name);

    // Reads the values of several elements at once. The page answers later: the
    // callback must look at its owner's state as it is then. Missing elements
    // and an unloaded page read as empty text.
    void elementValues(const QStringList &selectors,
                       std::function<void(const QStringList &values)> done);

    // A script literal of a text typed by the agent or sent by the server, for
    // form values: carriage returns are dropped, so CR LF arrives as one break.
    static QString escapeScriptText(const QString &text);
    // A script literal holding exactly `text`.
    static QString scriptLiteral(const QString &text);

signals:
    // The page has loaded: from now on writes and reads reach it.
    void ready();

private:
    void onLoadFinished(bool ok);
    // Every change to the page passes here. `property` names what `statement`
    // sets on the element (for example "text" or "attr:placeholder"), so that
    // writes to one element and property can be told apart from others.
    void write(const QString &selector, const QString &property, const QString &statement);

    QPointer<QWebEnginePage> m_page;
    bool m_ready = false;
};

} // namespace Brellow
