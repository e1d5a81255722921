#pragma once

#include <QString>

#include <array>
#include <cstddef>

namespace Brellow {

class PageBridge;

// Every text of the page an agent reads, in the agent's language.
//
// The page holds its texts in English; once it has loaded, apply() writes each
// one translated through the bridge, which keeps them and writes them back when
// the page loads again. The texts the window writes as things happen (the
// button's "Logging in", the view button's "Email" and "Main", the notices) are
// here too, so that translators find the page's words in one place, each whole.
class PageTexts
{
public:
    // The translation context of the page's texts.
    static constexpr const char *Context = "Brellow::PageTexts";

    // A text the page holds: an element's own text, or one of its attributes.
    struct Entry
    {
        const char *selector;
        // Null for the element's text.
        const char *attribute;
        const char *source;
    };
    static constexpr std::size_t EntryCount = 40;
    static const std::array<Entry, EntryCount> &entries();

    // The texts the window writes into the page.
    enum class Text
    {
        Login,
        Logout,
        LoggingIn,
        Email,
        Main,
        CallReason,
        NoTransferReason,
        MessageSent,
        SurveySent,
        ConnectionLost,
        Reconnecting
    };
    static constexpr std::size_t TextCount = 11;
    static QString text(Text which);
    // The English of a text, as the page's design has it.
    static const char *source(Text which);

    // Writes every text of entries() translated, and the page's language.
    static void apply(PageBridge *bridge, const QString &language);

    static QString translate(const char *source);
};

} // namespace Brellow
