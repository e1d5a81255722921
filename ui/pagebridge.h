#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <list>

class QWebEnginePage;

namespace Brellow {

// The program's only way into the page: it reads and changes elements by CSS
// selector (the first match counts) in the program's own script world. Before
// the page has first loaded every write is dropped and every read answers
// empty; after that, writes and reads take effect in the order they were made.
//
// Writes are gathered and sent as one script when control returns to the event
// loop, and only one script is in the page at a time: while the page works on
// one, newer writes wait and merge. A write replaces an earlier pending write to
// the same property of the same element, so what waits never outgrows the page.
// The bridge also remembers the last value of everything it wrote; when the page
// loads again (after its render process ended) it writes all of it back.
class PageBridge : public QObject
{
    Q_OBJECT

public:
    // The page stays its view's; the bridge only holds it.
    explicit PageBridge(QWebEnginePage *page, QObject *parent = nullptr);
    ~PageBridge() override;

    // The bridge that writes to `page`, if any.
    static PageBridge *of(const QWebEnginePage *page);

    // True from the page's first load on, also while it loads again.
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

    // Reads the values of several elements at once, after every write made
    // before it and before every write made after it. The page answers later:
    // the callback must look at its owner's state as it is then. Missing
    // elements and an unloaded page read as empty text.
    void elementValues(const QStringList &selectors,
                       std::function<void(const QStringList &values)> done);

    // The least time from one script to the next, in milliseconds.
    static constexpr int MinScriptGapMs = 4;

    // For diagnostics and tests.
    // Scripts handed to the page so far.
    int scriptsSent() const { return m_scriptsSent; }
    // The page has not yet answered the last script.
    bool isScriptInFlight() const { return m_inFlight; }
    // Writes waiting for the next script (one per element and property).
    int pendingWrites() const;
    // Writes or reads wait to be sent.
    bool hasPending() const { return !m_queue.empty(); }

    // A script literal of a text typed by the agent or sent by the server, for
    // form values: carriage returns are dropped, so CR LF arrives as one break.
    static QString escapeScriptText(const QString &text);
    // A script literal holding exactly `text`.
    static QString scriptLiteral(const QString &text);

signals:
    // The page has loaded for the first time: from now on writes and reads reach it.
    void ready();
    // The page has loaded again and everything written before is back on it.
    void restored();

private:
    // Writes in order of their last change, one entry per element and property.
    // A rewrite moves the entry to the end. The options of a list are one entry
    // holding every statement since the last clear; a value set on a list with
    // pending options joins that entry, so it keeps its place among them.
    class WriteLog
    {
    public:
        struct Entry
        {
            QString selector;
            QString property;
            QStringList statements;
        };

        void add(const QString &selector, const QString &property, const QString &statement);
        void clear();
        bool isEmpty() const { return m_entries.empty(); }
        int size() const { return int(m_entries.size()); }
        const std::list<Entry> &entries() const { return m_entries; }

    private:
        std::list<Entry> m_entries;
        QHash<QString, std::list<Entry>::iterator> m_index;
    };

    struct Read
    {
        QStringList selectors;
        std::function<void(const QStringList &values)> done;
    };

    // Writes, then the reads made after them; a write after a read starts the
    // next batch, so reads keep their place.
    struct Batch
    {
        WriteLog writes;
        QList<Read> reads;
    };

    void onLoadStarted();
    void onLoadFinished(bool ok);
    void onRenderProcessTerminated();
    // Every change to the page passes here, as an operation code and its
    // arguments (`statement`). `property` names what it sets on the element (for
    // example "text" or "attr:placeholder"), so that writes to one element and
    // property can be told apart from others.
    void write(const QString &selector, const QString &property, const QString &statement);
    void scheduleFlush();
    void flush();
    // Hands the page a list of writes and reads (see the page's applier).
    void send(const QString &ops, QList<Read> reads);
    static void appendWrites(QString &ops, const WriteLog &log);

    QPointer<QWebEnginePage> m_page;
    bool m_ready = false;
    // The page is loaded and takes scripts now.
    bool m_live = false;
    bool m_inFlight = false;
    // The loaded page has been given the function that applies writes.
    bool m_applierSent = false;
    // Counts loads, so that an answer from an earlier page is not taken for one from this.
    quint64 m_generation = 0;
    int m_scriptsSent = 0;
    std::list<Batch> m_queue;
    // Everything sent to the page since its first load, for writing it back.
    WriteLog m_memory;
    QTimer m_flushTimer;
    QElapsedTimer m_lastSend;
};

} // namespace Brellow
