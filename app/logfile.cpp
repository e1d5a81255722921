#include <app/logfile.h>

#include <QDateTime>

namespace Brellow {

LogFile::LogFile(const QString &fileName, qint64 maxBytes, int maxTextChars)
    : m_file(fileName), m_maxBytes(maxBytes), m_maxTextChars(maxTextChars)
{
}

QString LogFile::previousFileName(const QString &fileName)
{
    return fileName + QStringLiteral(".1");
}

bool LogFile::open()
{
    const QString previous = previousFileName(m_file.fileName());
    if (m_file.exists()) {
        QFile::remove(previous);
        // Should the rename fail, the old log is emptied below as before: the current run's
        // log matters more than the previous one's.
        QFile::rename(m_file.fileName(), previous);
    }
    m_written = 0;
    m_full = false;
    return m_file.open(QIODevice::WriteOnly | QIODevice::Truncate);
}

void LogFile::write(const QString &text)
{
    if (!m_file.isOpen() || m_full)
        return;
    const QByteArray line = lineFor(escape(cut(text, m_maxTextChars)));
    if (m_written + line.size() <= m_maxBytes) {
        writeBytes(line);
        return;
    }
    // The closing line is the only one allowed past the cap.
    m_full = true;
    writeBytes(
        lineFor(QStringLiteral("log size cap of %1 bytes reached; nothing more is logged this run")
                    .arg(m_maxBytes)));
}

QByteArray LogFile::lineFor(const QString &text)
{
    return QDateTime::currentDateTime().toString(Qt::TextDate).toUtf8() + '\t' + text.toUtf8() +
           '\n';
}

void LogFile::writeBytes(const QByteArray &line)
{
    m_file.write(line);
    m_file.flush();
    m_written += line.size();
}

QString LogFile::cut(const QString &text, int maxChars)
{
    if (text.size() <= maxChars)
        return text;
    int kept = maxChars;
    if (kept > 0 && text.at(kept - 1).isHighSurrogate())
        --kept;
    return text.left(kept) +
           QStringLiteral(" \u2026 [cut at %1 of %2 characters]").arg(kept).arg(text.size());
}

QString LogFile::escape(const QString &text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        switch (u) {
        case u'\n':
            escaped += QLatin1String("\\n");
            break;
        case u'\r':
            escaped += QLatin1String("\\r");
            break;
        case u'\t':
            escaped += QLatin1String("\\t");
            break;
        default:
            // C0, DEL, C1 and the Unicode line and paragraph separators.
            if (u < 0x20 || (u >= 0x7f && u <= 0x9f) || u == 0x2028 || u == 0x2029)
                escaped += QStringLiteral("\\u%1").arg(uint(u), 4, 16, QLatin1Char('0'));
            else
                escaped += c;
        }
    }
    return escaped;
}

} // namespace Brellow
