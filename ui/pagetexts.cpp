#include <ui/pagetexts.h>

#include <ui/pagebridge.h>

#include <QCoreApplication>

namespace Brellow {

namespace {

using Entry = PageTexts::Entry;

// The selectors name the elements by what the page's design fixes: their ids,
// their links' commands and their places in the panels.
constexpr std::array<Entry, PageTexts::EntryCount> pageEntries{{
    {"#username", "placeholder", QT_TRANSLATE_NOOP("Brellow::PageTexts", "Username...")},
    {"#password", "placeholder", QT_TRANSLATE_NOOP("Brellow::PageTexts", "Password...")},
    {"#top_panel1 .box-item:nth-child(1) .box-item-description", nullptr,
     QT_TRANSLATE_NOOP("Brellow::PageTexts", "Surveys Transferred")},
    {"#top_panel1 .box-item:nth-child(2) .box-item-description", nullptr,
     //: The agent's average survey score, in per cent.
     QT_TRANSLATE_NOOP("Brellow::PageTexts", "Average Score")},
    {"#top_panel2 .box-item:nth-child(1) .box-item-description", nullptr,
     //: The agent's place in the team's ranking.
     QT_TRANSLATE_NOOP("Brellow::PageTexts", "Team Position")},
    {"#top_panel2 .box-item:nth-child(2) .box-item-description", nullptr,
     QT_TRANSLATE_NOOP("Brellow::PageTexts", "Total Team Surveys")},
    {"#main_box .latest-calls h2", nullptr,
     QT_TRANSLATE_NOOP("Brellow::PageTexts", "Latest Calls")},
    {"#no_transfer", "placeholder",
     //: The reason why a call was not transferred to the survey.
     QT_TRANSLATE_NOOP("Brellow::PageTexts", "No transfer reason...")},
    {"#main_box a[href='#add']", nullptr,
     //: Button: sends the no-transfer reason.
     QT_TRANSLATE_NOOP("Brellow::PageTexts", "Add")},
    {"#media_box .latest-calls h2", nullptr,
     //: The customer's account, filled in during a call.
     QT_TRANSLATE_NOOP("Brellow::PageTexts", "Account Details")},
    {"#ref", "placeholder",
     //: The customer's account reference.
     QT_TRANSLATE_NOOP("Brellow::PageTexts", "Account Ref...")},
    {"#ref", "title",
     QT_TRANSLATE_NOOP("Brellow::PageTexts",
                       "This option is not available in the current version")},
    {"#lookup_button", nullptr,
     //: Button: looks the account reference up.
     QT_TRANSLATE_NOOP("Brellow::PageTexts", "Lookup")},
    {"#lookup_button", "title",
     QT_TRANSLATE_NOOP("Brellow::PageTexts",
                       "This option is not available in the current version")},
    {"#cli", "placeholder",
     //: The caller's telephone number (calling line identity).
     QT_TRANSLATE_NOOP("Brellow::PageTexts", "CLI...")},
    {"#email", "placeholder", QT_TRANSLATE_NOOP("Brellow::PageTexts", "Email...")},
    {"#media_box a[href='#survey']", nullptr,
     //: Button: transfers the caller to the survey.
     QT_TRANSLATE_NOOP("Brellow::PageTexts", "Survey")},
    {"#title", "placeholder",
     //: The customer's form of address (Mr, Mrs); the field is very narrow.
     QT_TRANSLATE_NOOP("Brellow::PageTexts", "Title...")},
    {"#fname", "placeholder", QT_TRANSLATE_NOOP("Brellow::PageTexts", "First Name...")},
    {"#sname", "placeholder", QT_TRANSLATE_NOOP("Brellow::PageTexts", "Last Name...")},
    // The names a screen reader gives the fields and controls that show no text
    // of their own.
    {"#button_expand", "aria-label",
     //: Screen reader: the "+" button that opens the window's full view.
     QT_TRANSLATE_NOOP("Brellow::PageTexts", "Expand")},
    {"#button_collapse", "aria-label",
     //: Screen reader: the "-" button that takes the window back to its compact view.
     QT_TRANSLATE_NOOP("Brellow::PageTexts", "Collapse")},
    {"#username", "aria-label",
     //: Screen reader: the login field for the agent's name.
     QT_TRANSLATE_NOOP("Brellow::PageTexts", "User name")},
    {"#password", "aria-label",
     //: Screen reader: the login field for the agent's password.
     QT_TRANSLATE_NOOP("Brellow::PageTexts", "Password")},
    {"#main_box .progress-bars", "aria-label",
     //: Screen reader: the bars of the caller's survey answers.
     QT_TRANSLATE_NOOP("Brellow::PageTexts", "Answers of the current call")},
    {"#call_bar_1", "aria-label",
     //: Screen reader: the bar of the caller's answer to the survey's first question.
     QT_TRANSLATE_NOOP("Brellow::PageTexts", "Question 1")},
    {"#call_bar_2", "aria-label", QT_TRANSLATE_NOOP("Brellow::PageTexts", "Question 2")},
    {"#call_bar_3", "aria-label", QT_TRANSLATE_NOOP("Brellow::PageTexts", "Question 3")},
    {"#call_bar_4", "aria-label", QT_TRANSLATE_NOOP("Brellow::PageTexts", "Question 4")},
    {"#call_bar_5", "aria-label", QT_TRANSLATE_NOOP("Brellow::PageTexts", "Question 5")},
    {"#call_check", "aria-label",
     //: Screen reader: the tick shown when the call ended as completed.
     QT_TRANSLATE_NOOP("Brellow::PageTexts", "Call completed")},
    {"#call_cross", "aria-label",
     //: Screen reader: the cross shown when the call ended as not completed.
     QT_TRANSLATE_NOOP("Brellow::PageTexts", "Call not completed")},
    {"#no_transfer", "aria-label", QT_TRANSLATE_NOOP("Brellow::PageTexts", "No transfer reason")},
    {"#ref", "aria-label", QT_TRANSLATE_NOOP("Brellow::PageTexts", "Account reference")},
    {"#cli", "aria-label",
     //: Screen reader: the caller's telephone number.
     QT_TRANSLATE_NOOP("Brellow::PageTexts", "Caller number")},
    {"#email", "aria-label", QT_TRANSLATE_NOOP("Brellow::PageTexts", "Email")},
    {"#title", "aria-label",
     //: Screen reader: the customer's form of address (Mr, Mrs).
     QT_TRANSLATE_NOOP("Brellow::PageTexts", "Title")},
    {"#fname", "aria-label", QT_TRANSLATE_NOOP("Brellow::PageTexts", "First name")},
    {"#sname", "aria-label", QT_TRANSLATE_NOOP("Brellow::PageTexts", "Last name")},
    {"#reason", "aria-label",
     //: Screen reader: the list of reasons for the call.
     QT_TRANSLATE_NOOP("Brellow::PageTexts", "Call reason")},
}};

// In the order of PageTexts::Text.
constexpr std::array<const char *, PageTexts::TextCount> texts{{
    //: Button: logs the agent in.
    QT_TRANSLATE_NOOP("Brellow::PageTexts", "Login"),
    //: Button: logs the agent out.
    QT_TRANSLATE_NOOP("Brellow::PageTexts", "Logout"),
    //: The login button while the server has not yet answered.
    QT_TRANSLATE_NOOP("Brellow::PageTexts", "Logging in"),
    //: Small button in the header: shows the customer's account details.
    QT_TRANSLATE_NOOP("Brellow::PageTexts", "Email"),
    //: Small button in the header: back from the account details to the main view.
    QT_TRANSLATE_NOOP("Brellow::PageTexts", "Main"),
    //: First entry of the list of call reasons, chosen when none applies.
    QT_TRANSLATE_NOOP("Brellow::PageTexts", "Call Reason..."),
    QT_TRANSLATE_NOOP("Brellow::PageTexts", "No transfer reason..."),
    //: Shown for a moment in the no-transfer field once the server has it.
    QT_TRANSLATE_NOOP("Brellow::PageTexts", "Your message has been sent..."),
    QT_TRANSLATE_NOOP("Brellow::PageTexts", "Survey has been sent"),
    //: Header notice: the server has stopped answering.
    QT_TRANSLATE_NOOP("Brellow::PageTexts", "Connection to the server lost"),
    //: Header notice: Brellow is logging the agent in again by itself.
    QT_TRANSLATE_NOOP("Brellow::PageTexts", "Reconnecting…"),
}};

static_assert(texts.back() != nullptr, "every PageTexts::Text needs its English");
static_assert(pageEntries.back().source != nullptr, "PageTexts::EntryCount counts the entries");

} // namespace

const std::array<Entry, PageTexts::EntryCount> &PageTexts::entries()
{
    return pageEntries;
}

QString PageTexts::translate(const char *source)
{
    return QCoreApplication::translate(Context, source);
}

QString PageTexts::text(Text which)
{
    return translate(source(which));
}

const char *PageTexts::source(Text which)
{
    return texts[std::size_t(which)];
}

void PageTexts::apply(PageBridge *bridge, const QString &language)
{
    // The page's language, for the engine's text handling and for screen readers.
    bridge->setElementAttribute(QStringLiteral("html"), QStringLiteral("lang"),
                                language.isEmpty() ? QStringLiteral("en")
                                                   : QString(language).replace('_', '-'));
    for (const Entry &entry : pageEntries) {
        const QString selector = QLatin1String(entry.selector);
        if (entry.attribute)
            bridge->setElementAttribute(selector, QLatin1String(entry.attribute),
                                        translate(entry.source));
        else
            bridge->setElementText(selector, translate(entry.source));
    }
    bridge->setElementText(QStringLiteral("#login_button"), text(Text::Login));
    bridge->setElementText(QStringLiteral("#media_button"), text(Text::Email));
    bridge->setElementText(QStringLiteral("#reason option[value='']"), text(Text::CallReason));
}

} // namespace Brellow
