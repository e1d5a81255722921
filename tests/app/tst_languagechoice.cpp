#include <tests/app/brellowprocess.h>

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

// The language of the real program, as the desktop's locale and the site's file
// choose it: the log names it. The server cannot be reached (no network), so
// each start ends at the start-up box, in that language.
class TestLanguageChoice : public QObject
{
    Q_OBJECT

private slots:
    void languageInTheLog_data();
    void languageInTheLog();
};

void TestLanguageChoice::languageInTheLog_data()
{
    // The locale's variables, NAME=VALUE; the site's key (null: none); the line.
    QTest::addColumn<QStringList>("locale");
    QTest::addColumn<QString>("site");
    QTest::addColumn<QString>("line");

    QTest::newRow("LANG") << QStringList{"LANG=de_DE.UTF-8"} << QString()
                          << "language de from the desktop's locale (de-DE)";
    QTest::newRow("LC_MESSAGES over LANG")
        << QStringList{"LANG=de_DE.UTF-8", "LC_MESSAGES=pl_PL.UTF-8"} << QString()
        << "language pl from the desktop's locale (pl-PL)";
    QTest::newRow("LC_ALL over both")
        << QStringList{"LANG=de_DE.UTF-8", "LC_MESSAGES=pl_PL.UTF-8", "LC_ALL=fr_FR.UTF-8"}
        << QString() << "language fr from the desktop's locale (fr-FR)";
    QTest::newRow("LANGUAGE list") << QStringList{"LANG=de_DE.UTF-8", "LANGUAGE=it:es"} << QString()
                                   << "language es from the desktop's locale (it)";
    QTest::newRow("variant") << QStringList{"LANG=pt_BR.UTF-8"} << QString()
                             << "language pt_BR from the desktop's locale (pt-BR)";
    QTest::newRow("no translation") << QStringList{"LANG=it_IT.UTF-8"} << QString()
                                    << "language en from the desktop's locale (it-IT)";
    QTest::newRow("site wins") << QStringList{"LANG=de_DE.UTF-8", "LC_ALL=fr_FR.UTF-8"} << "pl"
                               << "language pl from the site's key language=pl";
    QTest::newRow("site's English wins") << QStringList{"LANG=de_DE.UTF-8"} << "en"
                                         << "language en from the site's key language=en";
}

void TestLanguageChoice::languageInTheLog()
{
    QFETCH(QStringList, locale);
    QFETCH(QString, site);
    QFETCH(QString, line);
    QVERIFY2(qEnvironmentVariableIsSet("DISPLAY"), "run under scripts/with-xvfb.sh");
    BrellowHome home;
    QVERIFY(home.prepare());
    if (!site.isNull()) {
        QVERIFY(QDir().mkpath(home.siteDir() + "/Brellow"));
        QFile file(home.siteDir() + "/Brellow/brellow.ini");
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[General]\nlanguage=" + site.toUtf8() + "\n");
    }

    QProcess brellow;
    ChildProcess::dieWithParent(brellow);
    QProcessEnvironment env = home.environment();
    for (const char *name : {"LANG", "LANGUAGE", "LC_ALL", "LC_MESSAGES"})
        env.remove(QLatin1String(name));
    for (const QString &pair : locale)
        env.insert(pair.section('=', 0, 0), pair.section('=', 1));
    env.insert("QT_QPA_PLATFORM", "xcb");
    brellow.setProcessEnvironment(env);
    brellow.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    brellow.start("unshare", {"-n", BRELLOW_PATH});
    QVERIFY(brellow.waitForStarted());

    const QString box = findBoxWindow(15000);
    QVERIFY2(!box.isEmpty(), "no message box titled brellow appeared");
    QTRY_VERIFY2(!home.logTexts().filter(QRegularExpression("^language ")).isEmpty(),
                 qPrintable(home.logTexts().join('\n')));
    const QString logged = home.logTexts().filter(QRegularExpression("^language ")).first();
    dismissBox(box);
    QVERIFY(brellow.waitForFinished(10000));
    QCOMPARE(logged.section(QStringLiteral(": "), 0, 0), line);
    // What was loaded: the compiled-in translation and Qt's, or nothing.
    if (line.startsWith(QLatin1String("language en ")))
        QCOMPARE(logged.section(QStringLiteral(": "), 1), QStringLiteral("texts in English"));
    else
        QVERIFY2(logged.contains(QStringLiteral(":/i18n/brellow_")) &&
                     logged.contains(QStringLiteral("qtbase_")),
                 qPrintable(logged));
}

QTEST_GUILESS_MAIN(TestLanguageChoice)

#include "tst_languagechoice.moc"
