#pragma once

#include <QTranslator>

namespace UiTest {

// A translation made up at test time: each of Brellow's texts comes back 40 %
// longer than its English, its letters accented and in brackets, so that a page
// laid out for English shows where a longer language would not fit, and which
// texts escaped translation. Qt's own texts stay as they are.
class PseudoTranslator : public QTranslator
{
    Q_OBJECT

public:
    using QTranslator::QTranslator;

    bool isEmpty() const override { return false; }
    QString translate(const char *context, const char *sourceText,
                      const char *disambiguation = nullptr, int n = -1) const override;

    // "Add" becomes "[Àđđ]", "Surveys Transferred" "[Šûŕṽéýš Ţŕàñšƒéŕŕéđ ẋÿẑẋÿ]".
    static QString pseudo(const QString &english);
};

} // namespace UiTest
