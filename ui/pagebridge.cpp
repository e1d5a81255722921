#include <ui/pagebridge.h>

#include <QWebEnginePage>
#include <QWebEngineScript>

namespace Brellow {

namespace {

const char bridgeProperty[] = "brellowPageBridge";
const QString optionsProperty = QStringLiteral("options");
const QString valueProperty = QStringLiteral("value");
// A write is an operation code and its arguments, as script literals; the page
// applies a list of them with the function below, defined once in each loaded
// page. Small scripts matter: the engine keeps every script it compiled until
// its next full collection, so large ones under a flood of updates cost memory.
const QString clearStatement = QStringLiteral("\"c\"");
const QString valuePrefix = QStringLiteral("\"v\",");
const QString applierName = QStringLiteral("__brellowApply");
// Each write looks its element up afresh and fails on its own, so one that
// throws leaves the others as they would be had each run alone. A write that
// would change nothing leaves the page alone. A read is [0, [selectors]] and
// answers with the elements' values.
const QString applierDefinition = QStringLiteral(
    "window.__brellowApply=function(ops){var r=[];"
    "for(var i=0;i<ops.length;i++){var o=ops[i];"
    "if(o[0]===0){try{r.push(o[1].map(function(s){var e=document.querySelector(s);"
    "return e&&e.value!=null?String(e.value):'';}))}catch(x){r.push([])}continue}"
    "try{var e=document.querySelector(o[0]);if(!e)continue;var a=o[2],b=o[3];switch(o[1]){"
    // A lone text node takes the new text in place rather than a new node.
    "case 't':if(e.textContent!==a){var c=e.firstChild;"
    "if(a!==''&&c&&c.nodeType===3&&!c.nextSibling)c.data=a;else e.textContent=a}break;"
    "case 'h':if(e.style.display!=='none')e.style.setProperty('display','none');break;"
    "case 's':if(e.style.display!=='block')e.style.setProperty('display','block');break;"
    "case 'v':e.value=a;break;"
    "case 'c':while(e.length)e.remove(0);break;"
    "case 'o':var p=document.createElement('option');p.text=a;p.value=b;e.add(p);break;"
    "case 'a':if(e.getAttribute(a)!==b)e.setAttribute(a,b);break;"
    "case 'r':e.removeAttribute(a);break;"
    "case '+':if(!e.classList.contains(a))e.classList.add(a);break;"
    "case '-':if(e.classList.contains(a))e.classList.remove(a);break}}catch(x){}}"
    "return r};");

QString entryKey(const QString &selector, const QString &property)
{
    return selector + QChar(0) + property;
}

} // namespace

void PageBridge::WriteLog::add(const QString &selector, const QString &property,
                               const QString &statement)
{
    // A value set on a list whose options are being rebuilt belongs among them:
    // which option it picks depends on the options there at that moment.
    QString key = entryKey(selector, property);
    if (property == valueProperty && m_index.contains(entryKey(selector, optionsProperty)))
        key = entryKey(selector, optionsProperty);
    const auto found = m_index.find(key);
    if (found == m_index.end()) {
        m_entries.push_back({selector, property, {statement}});
        m_index.insert(key, std::prev(m_entries.end()));
        return;
    }
    // Moved to the end: the order of last writes is kept.
    m_entries.splice(m_entries.end(), m_entries, found.value());
    Entry &entry = m_entries.back();
    if (entry.property != optionsProperty || statement == clearStatement) {
        entry.statements = {statement};
    } else if (statement.startsWith(valuePrefix) &&
               entry.statements.last().startsWith(valuePrefix)) {
        entry.statements.last() = statement;
    } else {
        entry.statements << statement;
    }
}

void PageBridge::WriteLog::clear()
{
    m_entries.clear();
    m_index.clear();
}

PageBridge::PageBridge(QWebEnginePage *page, QObject *parent) : QObject(parent), m_page(page)
{
    page->setProperty(bridgeProperty, QVariant::fromValue(static_cast<QObject *>(this)));
    m_flushTimer.setSingleShot(true);
    m_flushTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_flushTimer, &QTimer::timeout, this, &PageBridge::flush);
    connect(page, &QWebEnginePage::loadStarted, this, &PageBridge::onLoadStarted);
    connect(page, &QWebEnginePage::loadFinished, this, &PageBridge::onLoadFinished);
    connect(page, &QWebEnginePage::renderProcessTerminated, this,
            &PageBridge::onRenderProcessTerminated);
}

PageBridge::~PageBridge()
{
    detach();
}

PageBridge *PageBridge::of(const QWebEnginePage *page)
{
    return qobject_cast<PageBridge *>(page->property(bridgeProperty).value<QObject *>());
}

void PageBridge::onLoadStarted()
{
    // Whatever the old page was still working on is lost with it.
    m_live = false;
    m_inFlight = false;
    m_applierSent = false;
    ++m_generation;
}

void PageBridge::onRenderProcessTerminated()
{
    onLoadStarted();
}

void PageBridge::onLoadFinished(bool ok)
{
    if (!ok || !m_page)
        return;
    m_live = true;
    m_inFlight = false;
    m_applierSent = false;
    ++m_generation;
    if (!m_ready) {
        m_ready = true;
        emit ready();
        return;
    }
    // Everything the page had been told comes back first, then what waited.
    QString ops;
    appendWrites(ops, m_memory);
    send(ops, {});
    emit restored();
}

void PageBridge::detach()
{
    if (m_page) {
        disconnect(m_page, nullptr, this, nullptr);
        if (of(m_page) == this)
            m_page->setProperty(bridgeProperty, QVariant());
    }
    m_page = nullptr;
    m_ready = false;
    m_live = false;
    m_inFlight = false;
    m_applierSent = false;
    ++m_generation;
    m_queue.clear();
    m_memory.clear();
    m_flushTimer.stop();
}

int PageBridge::pendingWrites() const
{
    int count = 0;
    for (const Batch &batch : m_queue)
        count += batch.writes.size();
    return count;
}

void PageBridge::write(const QString &selector, const QString &property, const QString &statement)
{
    if (!m_ready || !m_page)
        return;
    if (m_queue.empty() || !m_queue.back().reads.isEmpty())
        m_queue.emplace_back();
    m_queue.back().writes.add(selector, property, statement);
    scheduleFlush();
}

void PageBridge::elementValues(const QStringList &selectors,
                               std::function<void(const QStringList &values)> done)
{
    if (!m_ready || !m_page) {
        done(QStringList(selectors.size(), QString()));
        return;
    }
    if (m_queue.empty())
        m_queue.emplace_back();
    m_queue.back().reads.append({selectors, std::move(done)});
    scheduleFlush();
}

void PageBridge::scheduleFlush()
{
    if (!m_live || m_inFlight || m_flushTimer.isActive())
        return;
    // Scripts are spaced: every script costs the engine memory that it only
    // collects later, so a flood of datagrams must not become a flood of scripts.
    // Rounded up to whole milliseconds, so that no gap comes out shorter.
    constexpr qint64 gapNs = qint64(MinScriptGapMs) * 1000000;
    const qint64 waitNs =
        m_lastSend.isValid() ? qBound<qint64>(0, gapNs - m_lastSend.nsecsElapsed(), gapNs) : 0;
    m_flushTimer.start(int((waitNs + 999999) / 1000000));
}

void PageBridge::appendWrites(QString &ops, const WriteLog &log)
{
    for (const WriteLog::Entry &entry : log.entries()) {
        const QString target = QLatin1Char('[') + scriptLiteral(entry.selector) + QLatin1Char(',');
        for (const QString &statement : entry.statements)
            ops += target + statement + QStringLiteral("],");
    }
}

void PageBridge::flush()
{
    if (!m_live || m_inFlight || m_queue.empty() || !m_page)
        return;
    QString ops;
    QList<Read> reads;
    for (Batch &batch : m_queue) {
        appendWrites(ops, batch.writes);
        for (const WriteLog::Entry &entry : batch.writes.entries()) {
            for (const QString &statement : entry.statements)
                m_memory.add(entry.selector, entry.property, statement);
        }
        for (Read &read : batch.reads) {
            QStringList literals;
            for (const QString &selector : read.selectors)
                literals << scriptLiteral(selector);
            ops += QStringLiteral("[0,[%1]],").arg(literals.join(QLatin1Char(',')));
            reads.append(std::move(read));
        }
    }
    m_queue.clear();
    send(ops, std::move(reads));
}

void PageBridge::send(const QString &ops, QList<Read> reads)
{
    QString script;
    if (!m_applierSent)
        script = applierDefinition;
    script += applierName + QStringLiteral("([") + ops + QStringLiteral("])");
    m_applierSent = true;
    m_inFlight = true;
    ++m_scriptsSent;
    m_lastSend.start();
    const QPointer<PageBridge> self(this);
    const quint64 generation = m_generation;
    m_page->runJavaScript(script, QWebEngineScript::ApplicationWorld,
                          [self, generation, reads = std::move(reads)](const QVariant &result) {
                              // The owner may have begun to close meanwhile, or the page gone.
                              if (!self || self->m_generation != generation)
                                  return;
                              self->m_inFlight = false;
                              if (!self->m_queue.empty())
                                  self->scheduleFlush();
                              const QVariantList answers = result.toList();
                              for (qsizetype i = 0; i < reads.size(); ++i) {
                                  const QVariantList list =
                                      i < answers.size() ? answers.at(i).toList() : QVariantList();
                                  QStringList values;
                                  for (qsizetype j = 0; j < reads.at(i).selectors.size(); ++j)
                                      values
                                          << (j < list.size() ? list.at(j).toString() : QString());
                                  // A callback may detach the bridge; the rest then never answer.
                                  if (!self || self->m_generation != generation)
                                      return;
                                  reads.at(i).done(values);
                              }
                          });
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

void PageBridge::setElementText(const QString &selector, const QString &text)
{
    write(selector, QStringLiteral("text"), QStringLiteral("\"t\",") + scriptLiteral(text));
}

void PageBridge::hideElement(const QString &selector)
{
    write(selector, QStringLiteral("display"), QStringLiteral("\"h\""));
}

void PageBridge::showElement(const QString &selector)
{
    write(selector, QStringLiteral("display"), QStringLiteral("\"s\""));
}

// The options are a list, built up in order: clearing and adding share one
// property and must keep their order.
void PageBridge::clearOptions(const QString &selector)
{
    write(selector, optionsProperty, clearStatement);
}

void PageBridge::addOption(const QString &selector, const QString &text, const QString &value)
{
    // Both texts go in in one pass: a "%2" inside the text stays as typed.
    write(selector, optionsProperty,
          QStringLiteral("\"o\",") + escapeScriptText(text) + QLatin1Char(',') +
              escapeScriptText(value));
}

void PageBridge::setElementValue(const QString &selector, const QString &value)
{
    write(selector, valueProperty, valuePrefix + escapeScriptText(value));
}

void PageBridge::setElementAttribute(const QString &selector, const QString &name,
                                     const QString &value)
{
    write(selector, QStringLiteral("attr:") + name,
          QStringLiteral("\"a\",") + scriptLiteral(name) + QLatin1Char(',') + scriptLiteral(value));
}

void PageBridge::removeElementAttribute(const QString &selector, const QString &name)
{
    write(selector, QStringLiteral("attr:") + name, QStringLiteral("\"r\",") + scriptLiteral(name));
}

void PageBridge::addElementClass(const QString &selector, const QString &name)
{
    write(selector, QStringLiteral("class:") + name,
          QStringLiteral("\"+\",") + scriptLiteral(name));
}

void PageBridge::removeElementClass(const QString &selector, const QString &name)
{
    write(selector, QStringLiteral("class:") + name,
          QStringLiteral("\"-\",") + scriptLiteral(name));
}

} // namespace Brellow
