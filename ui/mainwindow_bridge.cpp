#include "mainwindow.h"

#include <QWebEnginePage>
#include <QWebEngineScript>

namespace {

// A JavaScript string literal holding exactly `text`: everything but printable
// ASCII is written as \u escapes, so no text can end the literal, break the
// script or smuggle in code, and every character arrives as given.
QString jsLiteral(const QString &text)
{
    QString literal;
    literal.reserve(text.size() + 2);
    literal += QLatin1Char('"');
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u >= 0x20 && u < 0x7f && u != u'"' && u != u'\\' && u != u'<' && u != u'>')
            literal += c;
        else
            literal += QStringLiteral("\\u%1").arg(uint(u), 4, 16, QLatin1Char('0'));
    }
    literal += QLatin1Char('"');
    return literal;
}

} // namespace

QString MainWindow::escapeScriptText(const QString &text)
{
    // Carriage returns are dropped, so CR LF line ends arrive as one line break.
    QString copy = text;
    copy.remove(QLatin1Char('\r'));
    return jsLiteral(copy);
}

void MainWindow::runOnElement(const QString &selector, const QString &body)
{
    if (!mainFrame)
        return;
    const QString script =
        QStringLiteral("(function(){var e=document.querySelector(%1);if(!e)return;%2})()")
            .arg(jsLiteral(selector), body);
    mainFrame->runJavaScript(script, QWebEngineScript::ApplicationWorld);
}

void MainWindow::setElementText(const QString &selector, const QString &text)
{
    runOnElement(selector, QStringLiteral("e.textContent=%1;").arg(jsLiteral(text)));
}

void MainWindow::hideElement(const QString &selector)
{
    runOnElement(selector, QStringLiteral("e.style.setProperty('display','none');"));
}

void MainWindow::showElement(const QString &selector)
{
    runOnElement(selector, QStringLiteral("e.style.setProperty('display','block');"));
}

void MainWindow::clearOptions(const QString &selector)
{
    runOnElement(selector, QStringLiteral("while(e.length)e.remove(0);"));
}

void MainWindow::addOption(const QString &selector, const QString &text, const QString &value)
{
    // Both texts go in in one pass: a "%2" inside the text stays as typed.
    runOnElement(selector, QStringLiteral("var option=document.createElement('option');"
                                          "option.text=%1;option.value=%2;e.add(option);")
                               .arg(escapeScriptText(text), escapeScriptText(value)));
}

void MainWindow::setElementValue(const QString &selector, const QString &value)
{
    runOnElement(selector, QStringLiteral("e.value=%1;").arg(escapeScriptText(value)));
}

void MainWindow::setElementAttribute(const QString &selector, const QString &name,
                                     const QString &value)
{
    runOnElement(selector,
                 QStringLiteral("e.setAttribute(%1,%2);").arg(jsLiteral(name), jsLiteral(value)));
}

void MainWindow::removeElementAttribute(const QString &selector, const QString &name)
{
    runOnElement(selector, QStringLiteral("e.removeAttribute(%1);").arg(jsLiteral(name)));
}

void MainWindow::addElementClass(const QString &selector, const QString &name)
{
    runOnElement(selector, QStringLiteral("e.classList.add(%1);").arg(jsLiteral(name)));
}

void MainWindow::removeElementClass(const QString &selector, const QString &name)
{
    runOnElement(selector, QStringLiteral("e.classList.remove(%1);").arg(jsLiteral(name)));
}

void MainWindow::elementValues(const QStringList &selectors,
                               std::function<void(const QStringList &values)> done)
{
    if (!mainFrame) {
        done(QStringList(selectors.size(), QString()));
        return;
    }
    QStringList literals;
    for (const QString &selector : selectors)
        literals << jsLiteral(selector);
    const QString script = QStringLiteral("[%1].map(function(s){var e=document.querySelector(s);"
                                          "return e&&e.value!=null?String(e.value):'';})")
                               .arg(literals.join(QLatin1Char(',')));
    const qsizetype count = selectors.size();
    mainFrame->runJavaScript(
        script, QWebEngineScript::ApplicationWorld, [this, count, done](const QVariant &result) {
            // The window may have begun to close meanwhile.
            if (!mainFrame)
                return;
            QStringList values;
            const QVariantList list = result.toList();
            for (qsizetype i = 0; i < count; ++i)
                values << (i < list.size() ? list.at(i).toString() : QString());
            done(values);
        });
}
