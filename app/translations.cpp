#include <app/translations.h>

#include <app/settingstable.h>
#include <app/sitesettings.h>

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QTranslator>

namespace Brellow {

namespace {

QString installedLanguage = QString::fromLatin1(Translations::English);

const QString ResourceDir = QStringLiteral(":/i18n");
const QString Prefix = QStringLiteral("brellow_");

// "pt-BR", "pt_BR.UTF-8" and "PT_br" all become "pt_BR".
QString normalised(const QString &tag)
{
    QString t = tag.trimmed();
    // The codeset and modifier of a POSIX locale name say nothing of the language.
    const qsizetype cut = t.indexOf(QRegularExpression(QStringLiteral("[.@]")));
    if (cut >= 0)
        t.truncate(cut);
    t.replace(QLatin1Char('-'), QLatin1Char('_'));
    QStringList parts = t.split(QLatin1Char('_'), Qt::SkipEmptyParts);
    if (parts.isEmpty())
        return {};
    parts[0] = parts[0].toLower();
    for (qsizetype i = 1; i < parts.size(); ++i) {
        // A region is upper case ("BR"), a script title case ("Latn").
        parts[i] = parts[i].size() == 4 ? parts[i].left(1).toUpper() + parts[i].mid(1).toLower()
                                        : parts[i].toUpper();
    }
    return parts.join(QLatin1Char('_'));
}

QString baseLanguage(const QString &normalisedTag)
{
    return normalisedTag.section(QLatin1Char('_'), 0, 0);
}

} // namespace

QStringList Translations::available()
{
    QStringList languages;
    const QStringList files =
        QDir(ResourceDir).entryList({Prefix + QStringLiteral("*.qm")}, QDir::Files, QDir::Name);
    for (const QString &file : files)
        languages << file.mid(Prefix.size(), file.size() - Prefix.size() - 3);
    return languages;
}

QString Translations::match(const QString &tag)
{
    const QString wanted = normalised(tag);
    if (wanted.isEmpty())
        return {};
    const QString base = baseLanguage(wanted);
    // The C and POSIX locales are the program's own texts.
    if (base == QLatin1String(English) || base == QLatin1String("c") ||
        base == QLatin1String("posix"))
        return QString::fromLatin1(English);
    const QStringList languages = available();
    if (languages.contains(wanted))
        return wanted;
    if (languages.contains(base))
        return base;
    for (const QString &language : languages) {
        if (baseLanguage(language) == base)
            return language;
    }
    return {};
}

Translations::Choice Translations::choose(const SiteSettings &site, const QStringList &uiLanguages)
{
    Choice choice;
    const QString siteValue = site.value(Setting::Language).toString().trimmed();
    if (!siteValue.isEmpty()) {
        choice.source = Source::Site;
        choice.asked = siteValue;
        choice.language = match(siteValue);
        // A site that names a language Brellow lacks gets English on every desk,
        // not each desk's own language: the site wanted them alike.
        if (choice.language.isEmpty())
            choice.language = QString::fromLatin1(English);
        return choice;
    }
    choice.source = Source::Desktop;
    choice.asked = uiLanguages.value(0);
    for (const QString &tag : uiLanguages) {
        const QString language = match(tag);
        if (!language.isEmpty()) {
            choice.language = language;
            return choice;
        }
    }
    choice.language = QString::fromLatin1(English);
    return choice;
}

Translations::Choice Translations::choose(const SiteSettings &site)
{
    return choose(site, QLocale::system().uiLanguages());
}

QString Translations::Choice::description() const
{
    const QString from = source == Source::Site
                             ? QStringLiteral("the site's key %1=%2")
                                   .arg(SettingsTable::key(Setting::Language), asked)
                             : QStringLiteral("the desktop's locale (%1)")
                                   .arg(asked.isEmpty() ? QStringLiteral("none") : asked);
    return QStringLiteral("language %1 from %2").arg(language, from);
}

QString Translations::installed()
{
    return installedLanguage;
}

QString Translations::install(QCoreApplication *app, const QString &language)
{
    installedLanguage = QString::fromLatin1(English);
    if (language.isEmpty() || language == QLatin1String(English))
        return QStringLiteral("texts in English");

    QStringList loaded;
    auto *own = new QTranslator(app);
    if (own->load(Prefix + language, ResourceDir) && QCoreApplication::installTranslator(own)) {
        loaded << own->filePath();
        installedLanguage = language;
    } else {
        delete own;
    }

    // Qt's texts: the message boxes' buttons. Its file for pt_BR is qtbase_pt_BR;
    // load() falls back from a variant to its language by itself.
    const QString qtDir = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    auto *qt = new QTranslator(app);
    if (qt->load(QStringLiteral("qtbase_") + language, qtDir) &&
        QCoreApplication::installTranslator(qt))
        loaded << qt->filePath();
    else
        delete qt;

    if (loaded.isEmpty())
        return QStringLiteral("no translation for %1 could be loaded: texts in English")
            .arg(language);
    return QStringLiteral("translations %1").arg(loaded.join(QStringLiteral(", ")));
}

} // namespace Brellow
