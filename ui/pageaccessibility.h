#pragma once

#include <QCoreApplication>
#include <QString>

namespace Brellow {

class PageBridge;

// What a screen reader says of the page beyond its own markup: the call's answer
// bars are progress bars whose value Brellow keeps in step with their text.
class PageAccessibility
{
    Q_DECLARE_TR_FUNCTIONS(Brellow::PageAccessibility)

public:
    // Survey answers run from 1 to this; the page's bars say "of 5".
    static constexpr int BestAnswer = 5;

    // "Question 2: 4 of 5"; an answer that is not a number from 0 to BestAnswer
    // is said as it stands, and a missing one as not given yet.
    static QString barValueText(int question, const QString &answer);
    // Sets the bar's value attributes for the answer on show (empty: none).
    static void describeBar(PageBridge &bridge, int question, const QString &answer);
};

} // namespace Brellow
