#pragma once

#include <QList>
#include <QString>

namespace Brellow {

// A text that Brellow shows the agent in their language and writes to the log in
// English: IT teams read logs from every desk, whatever language each agent
// works in. The source is a literal marked for lupdate (QT_TRANSLATE_NOOP); its
// %1, %2 ... are filled with values or with texts of their own.
class LocalizedText
{
public:
    LocalizedText() = default;
    // `context` and `source` are string literals, as QT_TRANSLATE_NOOP gives them.
    LocalizedText(const char *context, const char *source, QList<LocalizedText> arguments = {});
    // A value that reads the same in every language: a setting as written, a path.
    static LocalizedText value(const QString &text);

    bool isEmpty() const;
    QString english() const;
    QString translated() const;

private:
    QString render(bool translate) const;

    const char *m_context = nullptr;
    const char *m_source = nullptr;
    QString m_value;
    QList<LocalizedText> m_arguments;
};

} // namespace Brellow
