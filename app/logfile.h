#pragma once

#include <QFile>
#include <QString>

namespace Brellow {

// Brellow's log file: one line per text, "<local date and time>\t<text>\n", flushed at once.
//
// Opening keeps the previous run's log as "<name>.1" (a crash's only evidence) and starts
// the current one empty. A single text is cut to maxTextChars characters, and once a line
// would take the file past maxBytes one closing line says so and nothing more is written
// this run: a chatty or hostile server cannot fill the disk.
class LogFile
{
public:
    static constexpr int DefaultMaxTextChars = 4096;
    static constexpr qint64 DefaultMaxBytes = 10 * 1024 * 1024;

    explicit LogFile(const QString &fileName, qint64 maxBytes = DefaultMaxBytes,
                     int maxTextChars = DefaultMaxTextChars);

    // Moves an existing log to "<name>.1" (replacing an older one), then opens the file
    // empty. False when it cannot be opened; every write then does nothing.
    bool open();
    bool isOpen() const { return m_file.isOpen(); }
    bool isFull() const { return m_full; }
    QString fileName() const { return m_file.fileName(); }
    static QString previousFileName(const QString &fileName);

    void write(const QString &text);

    // One log line per text: control characters (line breaks above all) are written as
    // escapes, so no text can forge or split lines.
    static QString escape(const QString &text);
    // The text itself when it has at most maxChars characters, else its first maxChars
    // (one fewer rather than half a surrogate pair) and a note saying where it was cut.
    static QString cut(const QString &text, int maxChars);

private:
    static QByteArray lineFor(const QString &text);
    void writeBytes(const QByteArray &line);

    QFile m_file;
    qint64 m_maxBytes;
    int m_maxTextChars;
    qint64 m_written = 0;
    bool m_full = false;
};

} // namespace Brellow
