#include <app/localizedtext.h>

#include <QCoreApplication>

namespace Brellow {

LocalizedText::LocalizedText(const char *context, const char *source,
                             QList<LocalizedText> arguments)
    : m_context(context), m_source(source), m_arguments(std::move(arguments))
{
}

LocalizedText LocalizedText::value(const QString &text)
{
    LocalizedText result;
    result.m_value = text;
    return result;
}

bool LocalizedText::isEmpty() const
{
    return m_source == nullptr && m_value.isEmpty();
}

QString LocalizedText::english() const
{
    return render(false);
}

QString LocalizedText::translated() const
{
    return render(true);
}

QString LocalizedText::render(bool translate) const
{
    if (m_source == nullptr)
        return m_value;
    const QString pattern =
        translate ? QCoreApplication::translate(m_context, m_source) : QString::fromUtf8(m_source);
    // One pass over the pattern: a value that itself holds "%2" (a server setting
    // can hold anything) is shown as written, never filled in turn.
    QString result;
    result.reserve(pattern.size());
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern.at(i);
        if (c == QLatin1Char('%') && i + 1 < pattern.size()) {
            const int index = pattern.at(i + 1).digitValue();
            if (index >= 1 && index <= m_arguments.size()) {
                result += m_arguments.at(index - 1).render(translate);
                ++i;
                continue;
            }
        }
        result += c;
    }
    return result;
}

} // namespace Brellow
