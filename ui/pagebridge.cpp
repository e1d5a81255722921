#include <ui/pagebridge.h>

#include <QWebEnginePage>
#include <QWebEngineScript>

namespace Brellow {

PageBridge::PageBridge(QWebEnginePage *page, QObject *parent) : QObject(parent), m_page(page)
{
    connect(page, &QWebEnginePage::loadFinished, this, &PageBridge::onLoadFinished);
}

void PageBridge::onLoadFinished(bool ok)
{
    if (!ok || !m_page)
        return;
    m_ready = true;
    emit ready();
}

void PageBridge::detach()
{
    if (m_page)
        disconnect(m_page, nullptr, this, nullptr);
    m_page = nullptr;
    m_ready = false;
}

// Everything but printable ASCII is written as \u escapes, so no text can end
// the literal, break the script or smuggle in code, and every character
// arrives as given.
QString PageBridge::scriptLiteral(const QString &text)
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

QString PageBridge::escapeScriptText(const QString &text)
{
    QString copy = text;
    copy.remove(QLatin1Char('\r'));
    return scriptLiteral(copy);
}

void PageBridge::write(const QString &selector, const QString &property, const QString &statement)
{
    Q_UNUSED(property)
    if (!m_ready || !m_page)
        return;
    const QString script =
        QStringLiteral("(function(){var e=document.querySelector(%1);if(!e)return;%2})()")
            .arg(scriptLiteral(selector), statement);
    m_page->runJavaScript(script, QWebEngineScript::ApplicationWorld);
}

void PageBridge::setElementText(const QString &selector, const QString &text)
{
    write(selector, QStringLiteral("text"),
          QStringLiteral("e.textContent=%1;").arg(scriptLiteral(text)));
}

void PageBridge::hideElement(const QString &selector)
{
    write(selector, QStringLiteral("display"),
          QStringLiteral("e.style.setProperty('display','none');"));
}

void PageBridge::showElement(const QString &selector)
{
    write(selector, QStringLiteral("display"),
          QStringLiteral("e.style.setProperty('display','block');"));
}

// The options are a list, built up in order: clearing and adding share one
// property and must keep their order.
void PageBridge::clearOptions(const QString &selector)
{
    write(selector, QStringLiteral("options"), QStringLiteral("while(e.length)e.remove(0);"));
}

void PageBridge::addOption(const QString &selector, const QString &text, const QString &value)
{
    // Both texts go in in one pass: a "%2" inside the text stays as typed.
    write(selector, QStringLiteral("options"),
          QStringLiteral("var option=document.createElement('option');"
                         "option.text=%1;option.value=%2;e.add(option);")
              .arg(escapeScriptText(text), escapeScriptText(value)));
}

void PageBridge::setElementValue(const QString &selector, const QString &value)
{
    write(selector, QStringLiteral("value"),
          QStringLiteral("e.value=%1;").arg(escapeScriptText(value)));
}

void PageBridge::setElementAttribute(const QString &selector, const QString &name,
                                     const QString &value)
{
    write(selector, QStringLiteral("attr:") + name,
          QStringLiteral("e.setAttribute(%1,%2);").arg(scriptLiteral(name), scriptLiteral(value)));
}

void PageBridge::removeElementAttribute(const QString &selector, const QString &name)
{
    write(selector, QStringLiteral("attr:") + name,
          QStringLiteral("e.removeAttribute(%1);").arg(scriptLiteral(name)));
}

void PageBridge::addElementClass(const QString &selector, const QString &name)
{
    write(selector, QStringLiteral("class:") + name,
          QStringLiteral("e.classList.add(%1);").arg(scriptLiteral(name)));
}

void PageBridge::removeElementClass(const QString &selector, const QString &name)
{
    write(selector, QStringLiteral("class:") + name,
          QStringLiteral("e.classList.remove(%1);").arg(scriptLiteral(name)));
}

void PageBridge::elementValues(const QStringList &selectors,
                               std::function<void(const QStringList &values)> done)
{
    if (!m_ready || !m_page) {
        done(QStringList(selectors.size(), QString()));
        return;
    }
    QStringList literals;
    for (const QString &selector : selectors)
        literals << scriptLiteral(selector);
    const QString script = QStringLiteral("[%1].map(function(s){var e=document.querySelector(s);"
                                          "return e&&e.value!=null?String(e.value):'';})")
                               .arg(literals.join(QLatin1Char(',')));
    const qsizetype count = selectors.size();
    const QPointer<PageBridge> self(this);
    m_page->runJavaScript(script, QWebEngineScript::ApplicationWorld,
                          [self, count, done](const QVariant &result) {
                              // The owner may have begun to close meanwhile.
                              if (!self || !self->m_ready)
                                  return;
                              QStringList values;
                              const QVariantList list = result.toList();
                              for (qsizetype i = 0; i < count; ++i)
                                  values << (i < list.size() ? list.at(i).toString() : QString());
                              done(values);
                          });
}

} // namespace Brellow
