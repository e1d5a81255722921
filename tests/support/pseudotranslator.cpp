#include <tests/support/pseudotranslator.h>

#include <QHash>

#include <cmath>

namespace UiTest {

namespace {

const QHash<QChar, QChar> &accents()
{
    static const QHash<QChar, QChar> map = [] {
        const QString plain = QStringLiteral("aAcCdDeEgGhHiIlLnNoOrRsStTuUwWyYzZ");
        const QString marked = QStringLiteral("àÀçÇđĐéÉĝĜĥĤîÎĺĹñÑöÖŕŔšŠţŢûÛŵŴýÝžŽ");
        QHash<QChar, QChar> m;
        for (qsizetype i = 0; i < plain.size(); ++i)
            m.insert(plain.at(i), marked.at(i));
        return m;
    }();
    return map;
}

} // namespace

QString PseudoTranslator::translate(const char *context, const char *sourceText, const char *,
                                    int) const
{
    if (!context || !sourceText || !QByteArray(context).startsWith("Brellow::"))
        return {};
    return pseudo(QString::fromUtf8(sourceText));
}

QString PseudoTranslator::pseudo(const QString &english)
{
    if (english.isEmpty())
        return english;
    const qsizetype target = qsizetype(std::ceil(english.size() * 1.4));
    QString result = QStringLiteral("[");
    for (const QChar c : english)
        result += accents().value(c, c);
    // The padding is a word of its own, as a longer language's extra words would be.
    qsizetype padding = target - result.size() - 1;
    if (padding > 0) {
        result += QLatin1Char(' ');
        const QString filler = QStringLiteral("ẋÿẑ");
        for (qsizetype i = 0; i < padding - 1; ++i)
            result += filler.at(i % filler.size());
    }
    result += QLatin1Char(']');
    return result;
}

} // namespace UiTest
