#include <app/commandline.h>
#include <app/serveraddress.h>
#include <app/settingstable.h>
#include <app/sitesettings.h>
#include <app/translations.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>
#include <QXmlStreamReader>

#include <tools/childprocess.h>

using namespace Brellow;

namespace {

const QStringList Languages = {QStringLiteral("de"), QStringLiteral("es"), QStringLiteral("fr"),
                               QStringLiteral("pl"), QStringLiteral("pt_BR")};

struct Message
{
    QString context;
    QString source;
    QString translation;
    // The translation's type attribute: empty when finished.
    QString type;
};

// The messages of a translation file, as lupdate and the translators left it.
QList<Message> readTs(const QString &path, QString *error)
{
    QList<Message> messages;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read ") + path;
        return {};
    }
    QXmlStreamReader xml(&file);
    QString context;
    Message message;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QLatin1String("message")) {
            message = Message{context, {}, {}, {}};
        } else if (xml.name() == QLatin1String("source")) {
            message.source = xml.readElementText();
        } else if (xml.name() == QLatin1String("translation")) {
            message.type = xml.attributes().value(QLatin1String("type")).toString();
            message.translation = xml.readElementText();
            messages << message;
        }
    }
    if (xml.hasError())
        *error = xml.errorString();
    return messages;
}

// A site file holding `language=value` (none when value is null), read as
// Brellow reads it at start.
SiteSettings siteWith(const QTemporaryDir &dir, const QString &value)
{
    QDir(dir.path()).mkpath(QStringLiteral("Brellow"));
    QFile file(dir.filePath(QStringLiteral("Brellow/brellow.ini")));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return {};
    if (!value.isNull())
        file.write("[General]\nlanguage=" + value.toUtf8() + "\n");
    file.close();
    qputenv("XDG_CONFIG_DIRS", dir.path().toLocal8Bit());
    return SiteSettings::load();
}

void removeTranslators()
{
    const QList<QTranslator *> translators =
        QCoreApplication::instance()->findChildren<QTranslator *>();
    for (QTranslator *translator : translators) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
}

} // namespace

// The language Brellow speaks: how it is chosen, and that each translation is
// complete, up to date and loads with Qt's own.
class TestTranslations : public QObject
{
    Q_OBJECT

private slots:
    void availableLanguages();
    void match_data();
    void match();
    void choose_data();
    void choose();
    void siteKeyFromTheSiteFile();
    void description_data();
    void description();
    void filesComplete_data();
    void filesComplete();
    void installedTranslationCoversEveryText_data();
    void installedTranslationCoversEveryText();
    void englishInstallsNothing();
    void serverErrorInTheAgentsLanguage_data();
    void serverErrorInTheAgentsLanguage();
    void helpInTheAgentsLanguage();
    void filesMatchTheSources();
    void cleanup();
};

void TestTranslations::cleanup()
{
    removeTranslators();
}

void TestTranslations::availableLanguages()
{
    QCOMPARE(Translations::available(), Languages);
}

void TestTranslations::match_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("language");
    QTest::newRow("language") << "de"
                              << "de";
    QTest::newRow("BCP 47 variant") << "de-AT"
                                    << "de";
    QTest::newRow("POSIX name") << "fr_CA.UTF-8"
                                << "fr";
    QTest::newRow("modifier") << "de_DE@euro"
                              << "de";
    QTest::newRow("upper case") << "PL"
                                << "pl";
    QTest::newRow("exact variant") << "pt-BR"
                                   << "pt_BR";
    QTest::newRow("exact variant, POSIX") << "pt_BR.UTF-8"
                                          << "pt_BR";
    QTest::newRow("other variant of the language") << "pt-PT"
                                                   << "pt_BR";
    QTest::newRow("language of a variant") << "pt"
                                           << "pt_BR";
    QTest::newRow("script and region") << "es-Latn-MX"
                                       << "es";
    QTest::newRow("English") << "en-GB"
                             << "en";
    QTest::newRow("C locale") << "C"
                              << "en";
    QTest::newRow("POSIX locale") << "POSIX"
                                  << "en";
    QTest::newRow("no translation") << "it-IT"
                                    << "";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("blank") << "  "
                           << "";
}

void TestTranslations::match()
{
    QFETCH(QString, tag);
    QFETCH(QString, language);
    QCOMPARE(Translations::match(tag), language);
}

void TestTranslations::choose_data()
{
    QTest::addColumn<QString>("site"); // null: no key
    QTest::addColumn<QStringList>("desktop");
    QTest::addColumn<QString>("language");
    QTest::addColumn<bool>("fromSite");

    QTest::newRow("desktop") << QString() << QStringList{"de-DE", "de"} << "de" << false;
    QTest::newRow("desktop's first with a translation")
        << QString() << QStringList{"it-IT", "it", "pl-PL", "de"} << "pl" << false;
    QTest::newRow("English before a translation")
        << QString() << QStringList{"en-US", "de-DE"} << "en" << false;
    QTest::newRow("none with a translation")
        << QString() << QStringList{"it-IT", "ja"} << "en" << false;
    QTest::newRow("no desktop languages") << QString() << QStringList{} << "en" << false;
    QTest::newRow("site wins") << "pl" << QStringList{"de-DE", "de"} << "pl" << true;
    QTest::newRow("site's English wins") << "en" << QStringList{"fr-FR"} << "en" << true;
    QTest::newRow("site in BCP 47") << "pt-BR" << QStringList{"de"} << "pt_BR" << true;
    QTest::newRow("site without a translation: English, alike on every desk")
        << "it" << QStringList{"de-DE"} << "en" << true;
    QTest::newRow("empty site value: the desktop's") << "" << QStringList{"es-ES"} << "es" << false;
    QTest::newRow("blank site value: the desktop's")
        << "   " << QStringList{"fr-FR"} << "fr" << false;
}

void TestTranslations::choose()
{
    QFETCH(QString, site);
    QFETCH(QStringList, desktop);
    QFETCH(QString, language);
    QFETCH(bool, fromSite);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const Translations::Choice choice = Translations::choose(siteWith(dir, site), desktop);
    QCOMPARE(choice.language, language);
    QCOMPARE(choice.source == Translations::Source::Site, fromSite);
}

void TestTranslations::siteKeyFromTheSiteFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const SiteSettings site = siteWith(dir, QStringLiteral("fr"));
    QVERIFY(site.contains(Setting::Language));
    QCOMPARE(site.fileHolding(Setting::Language),
             QDir::cleanPath(dir.filePath(QStringLiteral("Brellow/brellow.ini"))));
    QCOMPARE(Translations::choose(site, {QStringLiteral("de-DE")}).language, QStringLiteral("fr"));
    // The agent's own settings cannot choose for the site: the key is the site's.
    QCOMPARE(SettingsTable::entry(Setting::Language).scope, SettingsTable::Scope::Site);
}

void TestTranslations::description_data()
{
    QTest::addColumn<QString>("site");
    QTest::addColumn<QStringList>("desktop");
    QTest::addColumn<QString>("line");
    QTest::newRow("desktop") << QString() << QStringList{"de-AT", "de"}
                             << "language de from the desktop's locale (de-AT)";
    QTest::newRow("site") << "pl" << QStringList{"de-AT"}
                          << "language pl from the site's key language=pl";
    QTest::newRow("site without a translation")
        << "it" << QStringList{"de"} << "language en from the site's key language=it";
    QTest::newRow("no desktop languages")
        << QString() << QStringList{} << "language en from the desktop's locale (none)";
}

void TestTranslations::description()
{
    QFETCH(QString, site);
    QFETCH(QStringList, desktop);
    QFETCH(QString, line);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QCOMPARE(Translations::choose(siteWith(dir, site), desktop).description(), line);
}

void TestTranslations::filesComplete_data()
{
    QTest::addColumn<QString>("language");
    for (const QString &language : Languages)
        QTest::newRow(qPrintable(language)) << language;
}

void TestTranslations::filesComplete()
{
    QFETCH(QString, language);
    QString error;
    const QList<Message> messages =
        readTs(QStringLiteral(BRELLOW_TS_DIR "/brellow_%1.ts").arg(language), &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QVERIFY(!messages.isEmpty());
    static const QRegularExpression argument(QStringLiteral("%L?\\d"));
    for (const Message &m : messages) {
        const QString where = m.context + QLatin1String(": ") + m.source;
        QVERIFY2(m.type.isEmpty(), qPrintable(where + " is " + m.type));
        QVERIFY2(!m.translation.trimmed().isEmpty(), qPrintable(where + " is empty"));
        QVERIFY2(m.translation != m.source, qPrintable(where + " is left in English"));
        // The form the page and the boxes rely on: a placeholder's trailing dots,
        // a running notice's ellipsis, a sentence's full stop, the arguments.
        for (const QString &ending : {QStringLiteral("..."), QStringLiteral("…")}) {
            if (m.source.endsWith(ending))
                QVERIFY2(m.translation.endsWith(ending),
                         qPrintable(where + " -> " + m.translation));
        }
        if (m.source.endsWith(QLatin1Char('.')) && !m.source.endsWith("..."))
            QVERIFY2(m.translation.endsWith('.') && !m.translation.endsWith("..."),
                     qPrintable(where + " -> " + m.translation));
        QCOMPARE(m.translation.count(argument), m.source.count(argument));
    }
}

void TestTranslations::installedTranslationCoversEveryText_data()
{
    filesComplete_data();
}

void TestTranslations::installedTranslationCoversEveryText()
{
    QFETCH(QString, language);
    const QString loaded = Translations::install(QCoreApplication::instance(), language);
    QCOMPARE(Translations::installed(), language);
    QVERIFY2(loaded.contains(QStringLiteral(":/i18n/brellow_%1.qm").arg(language)),
             qPrintable(loaded));
    QVERIFY2(loaded.contains(QStringLiteral("qtbase_")), qPrintable(loaded));

    // Every text of the file, through the compiled-in translation.
    QString error;
    const QList<Message> messages =
        readTs(QStringLiteral(BRELLOW_TS_DIR "/brellow_%1.ts").arg(language), &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    for (const Message &m : messages)
        QCOMPARE(QCoreApplication::translate(m.context.toUtf8().constData(),
                                             m.source.toUtf8().constData()),
                 m.translation);
    // Qt's own, for the message boxes' buttons.
    QVERIFY(QCoreApplication::translate("QPlatformTheme", "Cancel") != QLatin1String("Cancel"));
}

void TestTranslations::englishInstallsNothing()
{
    QCOMPARE(Translations::install(QCoreApplication::instance(), QStringLiteral("en")),
             QStringLiteral("texts in English"));
    QCOMPARE(Translations::installed(), QStringLiteral("en"));
    QVERIFY(QCoreApplication::instance()->findChildren<QTranslator *>().isEmpty());
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
    // A language without a translation falls back to English, and says so.
    const QString loaded = Translations::install(QCoreApplication::instance(), "xx");
    QVERIFY2(loaded.contains(QStringLiteral("texts in English")), qPrintable(loaded));
    QCOMPARE(Translations::installed(), QStringLiteral("en"));
}

void TestTranslations::serverErrorInTheAgentsLanguage_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<QString>("english");
    QTest::addColumn<QString>("translated");
    QTest::newRow("de, port")
        << "de"
        << "10.0.0.5:0"
        << "The statistics server \"10.0.0.5:0\" from the command line (--server) is not valid: "
           "the port must be a number from 1 to 65535."
        << "Der Statistikserver „10.0.0.5:0“ (Quelle: Befehlszeile (--server)) ist ungültig: der "
           "Port muss eine Zahl von 1 bis 65535 sein.";
    // The value is shown as written in both, its "%1" and "%3" never filled in.
    QTest::newRow("pl, value with markers")
        << "pl"
        << "%1 %3"
        << "The statistics server \"%1 %3\" from the command line (--server) is not valid: \"%1 "
           "%3\" is neither a host name nor an IPv4 address."
        << "Serwer statystyk „%1 %3” (źródło: wiersz poleceń (--server)) jest nieprawidłowy: „%1 "
           "%3” nie jest ani nazwą hosta, ani adresem IPv4.";
    QTest::newRow("en") << "en"
                        << "[::1"
                        << "The statistics server \"[::1\" from the command line (--server) is "
                           "not valid: the closing ']' is missing."
                        << "The statistics server \"[::1\" from the command line (--server) is "
                           "not valid: the closing ']' is missing.";
}

// The box speaks the agent's language; the log line stays English, whatever the
// language, so that IT teams can read and compare logs from every desk.
void TestTranslations::serverErrorInTheAgentsLanguage()
{
    QFETCH(QString, language);
    QFETCH(QString, commandLine);
    QFETCH(QString, english);
    QFETCH(QString, translated);
    Translations::install(QCoreApplication::instance(), language);
    LocalizedText error;
    const ServerAddress address = ServerAddress::configured(commandLine, SiteSettings(), &error);
    QVERIFY(!address.isValid());
    QCOMPARE(error.english(), english);
    QCOMPARE(error.translated(), translated);
}

void TestTranslations::helpInTheAgentsLanguage()
{
    Translations::install(QCoreApplication::instance(), QStringLiteral("de"));
    const QString help =
        CommandLine({QStringLiteral("brellow"), QStringLiteral("--help")}).output();
    // Brellow's own texts, and Qt's around them.
    for (const char *text : {"Brellow: die Statusanzeige des Agenten für den Statistikserver.",
                             "Der Statistikserver, HOST[:PORT] (Port 49999, wenn",
                             "Optionen:", "--server <HOST[:PORT]>"})
        QVERIFY2(help.contains(QString::fromUtf8(text)), qPrintable(help));
    QVERIFY2(!help.contains(QLatin1String("The statistics server")), qPrintable(help));
}

void TestTranslations::filesMatchTheSources()
{
    // lupdate over the program's sources finds no text new to the files, and
    // leaves none of theirs unfinished or vanished.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    for (const QString &language : Languages) {
        const QString copy = dir.filePath(QStringLiteral("brellow_%1.ts").arg(language));
        QVERIFY(QFile::copy(QStringLiteral(BRELLOW_TS_DIR "/brellow_%1.ts").arg(language), copy));
        QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
        QProcess lupdate;
        ChildProcess::dieWithParent(lupdate);
        lupdate.setProcessChannelMode(QProcess::MergedChannels);
        lupdate.start(QStringLiteral(BRELLOW_LUPDATE),
                      {QStringLiteral("-I"), QStringLiteral(BRELLOW_SOURCE_DIR),
                       QStringLiteral("-locations"), QStringLiteral("none"),
                       QStringLiteral("@" BRELLOW_LUPDATE_SOURCES), QStringLiteral("-ts"), copy});
        QVERIFY(lupdate.waitForFinished(60000));
        const QString output = QString::fromLocal8Bit(lupdate.readAll());
        QCOMPARE(lupdate.exitCode(), 0);
        const QRegularExpressionMatch found =
            QRegularExpression(QStringLiteral("Found (\\d+) source text\\(s\\) \\((\\d+) new and "
                                              "(\\d+) already existing\\)"))
                .match(output);
        QVERIFY2(found.hasMatch(), qPrintable(output));
        QVERIFY2(found.captured(1).toInt() > 0, qPrintable(output));
        QVERIFY2(found.captured(2) == QLatin1String("0"), qPrintable(language + ": " + output));
        QString error;
        for (const Message &m : readTs(copy, &error))
            QVERIFY2(m.type.isEmpty(), qPrintable(language + ": " + m.source + " is " + m.type));
        QVERIFY2(error.isEmpty(), qPrintable(error));
    }
}

QTEST_GUILESS_MAIN(TestTranslations)

#include "tst_translations.moc"
