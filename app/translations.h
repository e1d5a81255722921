#pragma once

#include <QString>
#include <QStringList>

class QCoreApplication;

namespace Brellow {

class SiteSettings;

// The language Brellow speaks, and the translators that make it speak it.
//
// English is the program's own language: its texts are written in it, and it is
// what a desktop in a language without a translation sees. Brellow's own
// translations are compiled in (":/i18n/brellow_<language>.qm"); Qt's, for the
// buttons of the message boxes, come from the system's Qt.
class Translations
{
public:
    static constexpr const char *English = "en";

    // Where the choice came from, for the log.
    enum class Source
    {
        Site,
        Desktop
    };

    struct Choice
    {
        // "en", or a language with a compiled-in translation ("de", "pt_BR").
        QString language;
        Source source = Source::Desktop;
        // What was asked for: the site's value, or the desktop's first language.
        QString asked;
        // The log's line.
        QString description() const;
    };

    // The languages with a compiled-in translation, sorted ("de", "pt_BR", ...).
    static QStringList available();

    // The site's `language` key when set, otherwise the first of the desktop's
    // languages (most wanted first, as QLocale::uiLanguages() lists them) that is
    // English or has a translation. A variant falls back to its language
    // ("de-AT" is "de") and a language to its one variant ("pt-PT" is "pt_BR").
    static Choice choose(const SiteSettings &site, const QStringList &uiLanguages);
    static Choice choose(const SiteSettings &site);

    // The compiled-in translation matching one language tag ("pt-BR", "de_AT"),
    // "en" for English, or empty when Brellow has none.
    static QString match(const QString &tag);

    // Installs Brellow's and Qt's translators for `language` on `app`, which owns
    // them. Returns what was loaded, for the log.
    static QString install(QCoreApplication *app, const QString &language);
    // The language install() last set up; English before it runs.
    static QString installed();
};

} // namespace Brellow
